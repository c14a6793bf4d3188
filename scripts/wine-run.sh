#!/usr/bin/env bash
# Test emulator: runs a Windows program in the test prefix, creating and
# configuring the prefix on first use.
#   wine-run.sh PREFIX ARCH(win32|win64) PROGRAM [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix=$1 arch=$2
shift 2
source "$here/wine-env.sh"
kestrel_wine_env "$arch"
export WINEPREFIX=$prefix
"$here/prefix-setup.sh" "$prefix" "$arch"
# Windows processes the program starts (the desktop's explorer, for one)
# inherit its output and may outlive it: they get a file, not the test
# runner's pipe, which would otherwise stay open until they exit.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
"$KESTREL_WINE" "$@" </dev/null >"$out" 2>&1 || status=$?
cat "$out"
exit "$status"
