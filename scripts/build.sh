#!/usr/bin/env bash
# Configures and builds one architecture's tree: build.sh ARCH [TESTS=ON|OFF]
# Without TESTS, a new tree is built without tests and an existing one keeps
# its setting.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arch=$1 tests=${2:-}
dir="$root/build/$arch"
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" -DKESTREL_BUILD_TESTS="${tests:-OFF}" >/dev/null
elif [ -n "$tests" ]; then
  cmake "$dir" -DKESTREL_BUILD_TESTS="$tests" >/dev/null
fi
cmake --build "$dir"
