#!/usr/bin/env bash
# Configures and builds one architecture's tree:
#   build.sh ARCH [TESTS=ON|OFF|PACKAGE]
# PACKAGE builds the shipped binaries with the package tests alone. Without
# TESTS, a new tree is built without tests and an existing one keeps its
# setting.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
arch=$1 tests=${2:-}
dir="$root/build/$arch"
case "$tests" in
  PACKAGE) options=(-DKESTREL_BUILD_TESTS=OFF -DKESTREL_BUILD_PACKAGE_TESTS=ON) ;;
  "") options=() ;;
  *) options=(-DKESTREL_BUILD_TESTS="$tests" -DKESTREL_BUILD_PACKAGE_TESTS=OFF) ;;
esac
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" -DKESTREL_BUILD_TESTS=OFF "${options[@]}" >/dev/null
elif [ -n "$tests" ]; then
  cmake "$dir" "${options[@]}" >/dev/null
fi
cmake --build "$dir"
