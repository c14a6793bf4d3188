#!/usr/bin/env bash
# Runs the package tests in a fresh prefix, made anew each time so that
# nothing is registered or installed beforehand, on an X server of its own:
#   package_test.sh BUILD_DIR PACKAGE(path without .msi/.zip) NEWER_MSI OTHER_ARCHITECTURE_MSI
# Passes only on GoogleTest's closing line: a crashed Wine process can end
# with code 0.
set -euo pipefail
build=$(cd "$1" && pwd)
package=$2 newer=$3 other=$4
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts="$here/../../scripts"
source "$scripts/wine-env.sh"
kestrel_wine_env win64
export WINEPREFIX="$build/wineprefix-package"
unpacked="$build/package-unpacked"

KESTREL_XVFB_PID=""
# The folder Debian's wineserver keeps for this prefix under /tmp: a new one
# for every fresh prefix, so it goes with the prefix.
server_folder() {
  local id
  id=$(stat -c '%d %i' "$WINEPREFIX" 2>/dev/null) || return 0
  printf '/tmp/wine-*/server-%x-%x' $id
}
cleanup() {
  if [ -d "$WINEPREFIX" ]; then
    "$(kestrel_wineserver)" -k 2>/dev/null || true
    local folder
    for folder in $(server_folder); do
      if [ -d "$folder" ]; then rm -rf "$folder"; rmdir "$(dirname "$folder")" 2>/dev/null || true; fi
    done
  fi
  if [ -n "$KESTREL_XVFB_PID" ]; then kill "$KESTREL_XVFB_PID" 2>/dev/null || true; fi
  rm -f "${out:-}"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

if [ -d "$WINEPREFIX" ]; then "$(kestrel_wineserver)" -k 2>/dev/null || true; fi
rm -rf "$WINEPREFIX" "$WINEPREFIX.lock" "$unpacked"
mkdir -p "$WINEPREFIX" "$unpacked"
kestrel_start_xvfb
"$(kestrel_wineserver)" -p </dev/null >/dev/null 2>&1
bash "$scripts/prefix-setup.sh" "$WINEPREFIX" win64
(cd "$unpacked" && cmake -E tar xf "$package.zip")

winpath() { echo "Z:$1" | tr / '\\'; }
export KESTREL_PACKAGE_MSI KESTREL_PACKAGE_NEWER_MSI KESTREL_PACKAGE_OTHER_MSI KESTREL_PACKAGE_FOLDER
KESTREL_PACKAGE_MSI=$(winpath "$package.msi")
KESTREL_PACKAGE_NEWER_MSI=$(winpath "$newer")
KESTREL_PACKAGE_OTHER_MSI=$(winpath "$other")
KESTREL_PACKAGE_FOLDER=$(winpath "$unpacked/Kestrel5")

out=$(mktemp)
status=0
timeout -k 10 840 "$KESTREL_WINE" "$build/tests/package/package_e2e_tests.exe" --gtest_color=no \
  </dev/null >"$out" 2>&1 &
wait $! || status=$?
cat "$out"
grep -Eq '^\[  PASSED  \] [0-9]+ tests?\.' "$out" || { echo "package: no passing closing line (exit $status)"; exit 1; }
! grep -q '^\[  FAILED  \]' "$out"
