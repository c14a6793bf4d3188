#!/usr/bin/env bash
# Runs the display variant tests of the cut on displays and in a prefix of
# their own: the desktop scaled to 144 dpi, or two monitors side by side with
# the primary on the left or on the right.
#   display_variant.sh VARIANT(dpi144|monitor-right|monitor-left) BUILD_DIR ARCH(win32|win64)
# Passes only on GoogleTest's closing line: a crashed Wine process can end
# with code 0.
set -euo pipefail
variant=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts="$here/../../scripts"
source "$scripts/wine-env.sh"
kestrel_wine_env "$3"

case $variant in
  dpi144) prefix="$build/wineprefix-dpi144" setup_mode=test tests='ScaledDesktop.*' ;;
  monitor-right) prefix="$build/wineprefix-monitors" setup_mode=fonts-only tests='MonitorRightOfPrimary.*' ;;
  monitor-left) prefix="$build/wineprefix-monitors" setup_mode=fonts-only tests='MonitorLeftOfPrimary.*' ;;
  *) echo "unknown variant $variant" >&2; exit 2 ;;
esac
export WINEPREFIX=$prefix

pids=()
cleanup() {
  if [ -d "$WINEPREFIX" ]; then "$(kestrel_wineserver)" -k 2>/dev/null || true; fi
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Starts an X server on a free display (it may lose a race for a number to
# another run and then tries the next); sets started_display.
start_x() { # program args...
  local n i pid
  for n in $(seq 130 170); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    "$@" ":$n" </dev/null >/dev/null 2>&1 &
    pid=$!
    for i in $(seq 100); do
      kill -0 "$pid" 2>/dev/null || break
      # Ours only when the lock names our process.
      if [ "$(tr -d ' ' 2>/dev/null <"/tmp/.X$n-lock")" = "$pid" ] &&
        DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        pids+=("$pid")
        started_display=":$n"
        return 0
      fi
      sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
  done
  echo "display_variant: could not start $1" >&2
  return 1
}

case $variant in
  dpi144)
    start_x Xvfb -screen 0 1280x800x24 -nolisten tcp
    export DISPLAY=$started_display
    ;;
  monitor-*)
    # Plain Xvfb shows Wine one monitor; Xephyr with Xinerama inside a host
    # wide enough for both heads shows two.
    start_x Xvfb -screen 0 2304x800x24 -nolisten tcp
    DISPLAY=$started_display start_x Xephyr +xinerama -screen 1024x768 -screen 1280x800 -nolisten tcp
    export DISPLAY=$started_display
    ;;
esac
echo "display_variant: $variant on $DISPLAY, prefix $WINEPREFIX"

"$(kestrel_wineserver)" -k 2>/dev/null || true
bash "$scripts/prefix-setup.sh" "$WINEPREFIX" "$WINEARCH" "$setup_mode"

reg() { "$KESTREL_WINE" reg "$@" >/dev/null 2>&1; }
case $variant in
  dpi144)
    reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f
    reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d 144 /f
    ;;
  monitor-*)
    reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f
    if [ "$variant" = monitor-left ]; then primary=1; else primary=0; fi
    reg add 'HKCU\Software\Wine\X11 Driver' /v PrimaryMonitor /d "$primary" /f
    ;;
esac
# The server keeps the display devices it found first: only a new one sees
# the settings above.
"$(kestrel_wineserver)" -k 2>/dev/null || true
"$(kestrel_wineserver)" -p </dev/null >/dev/null 2>&1

"$KESTREL_WINE" regsvr32 /s "Z:$(echo "$build/settings/QUILLONSoftwareOptions.dll" | tr / '\\')" \
  </dev/null >/dev/null 2>&1

# Windows processes the tests start may outlive them and keep a pipe open:
# they get a file.
out=$(mktemp)
trap 'cleanup; rm -f "$out"' EXIT
status=0
# A hung run ends here, before the test runner's own time-out, so the X
# servers and the wineserver are still cleaned up; in the background, so a
# signal to this script is handled at once.
KESTREL_E2E_DISPLAY=$variant timeout -k 10 240 "$KESTREL_WINE" "$build/tests/e2e/display_e2e_tests.exe" \
  --gtest_color=no "--gtest_filter=$tests" </dev/null >"$out" 2>&1 &
wait $! || status=$?
cat "$out"
grep -Eq '^\[  PASSED  \] [0-9]+ tests?\.' "$out" || { echo "display_variant: no passing closing line (exit $status)"; exit 1; }
grep -q '^\[  FAILED  \]' "$out" && exit 1
# A skipped test means the display is not the one the test was written for.
grep -q '^\[  SKIPPED \]' "$out" && { echo "display_variant: tests were skipped"; exit 1; }
exit 0
