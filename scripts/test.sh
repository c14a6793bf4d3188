#!/usr/bin/env bash
# Builds everything and runs every test headless: Xvfb, a Wine prefix of the
# build tree's own, one wineserver kept alive for the whole run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/bootstrap.sh
source scripts/wine-env.sh

# Both architectures are built on every machine, each package checked by the
# other's tree too. The shipped binaries are 32-bit; they are tested
# themselves wherever 32-bit code can run, and the 64-bit tree is then built
# as shipped with its package tests alone (run under 64-bit Wine below).
if [ "$KESTREL_ARCH" = i686 ]; then
  bash scripts/build.sh i686 ON
  bash scripts/build.sh x86_64 PACKAGE
  packagedir=build/x86_64
else
  echo "test: this machine cannot execute 32-bit code; testing the x86_64 build of the same sources"
  bash scripts/build.sh i686 OFF
  bash scripts/check-imports.sh i686 build/i686
  bash scripts/build.sh "$KESTREL_ARCH" ON
  packagedir=""
fi
testdir="build/$KESTREL_ARCH"

KESTREL_XVFB_PID=""
cleanup() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then "$(kestrel_wineserver)" -k 2>/dev/null || true; fi
  if [ -n "$KESTREL_XVFB_PID" ]; then kill "$KESTREL_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

# A display of our own, whatever else runs on this machine.
kestrel_start_xvfb
echo "test: Xvfb on $DISPLAY"

if [ "$KESTREL_ARCH" = i686 ]; then winearch=win32; else winearch=win64; fi
kestrel_wine_env "$winearch"
export WINEPREFIX="$root/$testdir/wineprefix"
# One server for the whole run, started before anything else uses the prefix
# (a second one would refuse to start); a leftover one is simply reused.
mkdir -p "$WINEPREFIX"
"$(kestrel_wineserver)" -p </dev/null >/dev/null 2>&1 || true
bash scripts/prefix-setup.sh "$WINEPREFIX" "$winearch"

status=0
ctest --test-dir "$testdir" --output-on-failure --timeout 300 || status=$?
# The x64 package and both packages' rules, from the 64-bit tree (each
# package test makes its own prefix, X server and wineserver).
if [ -n "$packagedir" ]; then
  ctest --test-dir "$packagedir" --output-on-failure --timeout 300 || status=$?
fi
exit "$status"
