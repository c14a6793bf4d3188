#!/usr/bin/env bash
# The soak (bench/soak_bench.cpp) on the test build and its prefix: prints
# what the program holds at the start and every 100 cuts.
#   bench/soak.sh [CUTS]   (1000 by default; a multiple of 100, e.g. 10000)
set -euo pipefail
export KESTREL_SOAK_CUTS=${1:-1000}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/wine-env.sh
arch=x86_64
[ "$KESTREL_ARCH" = i686 ] && arch=i686
dir="build/$arch"
[ -f "$dir/build.ninja" ] || bash scripts/build.sh "$arch" ON >/dev/null
if ! log=$(cmake --build "$dir" --target soak_bench 2>&1); then echo "$log" >&2; exit 1; fi
if [ "$arch" = i686 ]; then winearch=win32; else winearch=win64; fi

KESTREL_XVFB_PID=""
cleanup() {
  "$(kestrel_wineserver)" -k 2>/dev/null || true
  if [ -n "$KESTREL_XVFB_PID" ]; then kill "$KESTREL_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
kestrel_start_xvfb
kestrel_wine_env "$winearch"
export WINEPREFIX="$root/$dir/wineprefix"
mkdir -p "$WINEPREFIX"
"$(kestrel_wineserver)" -p </dev/null >/dev/null 2>&1 || true
bash scripts/prefix-setup.sh "$WINEPREFIX" "$winearch"
winpath() { echo "Z:$1" | tr / '\\'; }
"$KESTREL_WINE" regsvr32 /s "$(winpath "$root/$dir/settings/QUILLONSoftwareOptions.dll")" \
  </dev/null >/dev/null 2>&1
out=$(mktemp)
trap 'cleanup; rm -f "$out"' EXIT
start=$(date +%s)
bash scripts/wine-run.sh "$WINEPREFIX" "$winearch" \
  "$(winpath "$root/$dir/tests/e2e/soak_bench.exe")" --gtest_color=no >"$out" 2>&1 || true
tr -d '\r' <"$out" | awk -v seconds=$(($(date +%s) - start)) '
  $1 == "soak" && $2 == "counts:" { sub(/^soak counts: /, ""); counts = $0; next }
  $1 == "soak" && $2 == "check"   { check[$3] = $4; next }
  $1 == "soak" && $2 == "growth"  { growth = sprintf("%+d KiB private, %+d GDI, %+d USER", $3, $4, $5); next }
  $1 == "soak"                    { n++; cut[n] = $2; priv[n] = $3; ws[n] = $4; gdi[n] = $5; usr[n] = $6 }
  /\[  FAILED  \]|Failure/        { failed = 1 }
  END {
    printf "Kestrel5 soak: %d cuts (drag, re-cut, last picture; clear between), Xvfb 1280x800\n", cut[n]
    printf "%6s %12s %16s %6s %6s %8s\n", "cuts", "private KiB", "working set KiB", "GDI", "USER", "pixels"
    for (i = 1; i <= n; i++)
      printf "%6d %12d %16d %6d %6d %8s\n", cut[i], priv[i], ws[i], gdi[i], usr[i], (cut[i] in check) ? check[cut[i]] : "-"
    printf "growth from cut 100 to cut %d: %s\n", cut[n], growth == "" ? "no figures" : growth
    printf "GDI counted from %s\n", counts
    printf "Goal: growth from cut 100 to the last <= 512 KiB private, 0 GDI, 0 USER objects.\n"
    if (failed) print "the soak run reported failures; see the log above"
    printf "%d s for the run\n", seconds
  }'
grep -q '\[  PASSED  \]' "$out" || { echo "soak: the run failed:" >&2; tr -d '\r' <"$out" | tail -30 >&2; exit 1; }
