#!/usr/bin/env bash
# Builds Kestrel5 and starts it in your Wine prefix; nothing is registered.
# With no X display, a virtual one is started (Xvfb) and the program runs on
# a Wine desktop with a taskbar, so that its tray icon shows.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/bootstrap.sh
source scripts/wine-env.sh
if [ "$KESTREL_ARCH" != i686 ]; then
  echo "run: this machine cannot execute 32-bit code; running the x86_64 build of the same sources"
fi
bash scripts/build.sh "$KESTREL_ARCH"
dir="$root/build/$KESTREL_ARCH"
if [ "$KESTREL_ARCH" = i686 ]; then winearch=win32; else winearch=win64; fi
kestrel_wine_env "$winearch"
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine}"

if [ -f "$WINEPREFIX/system.reg" ]; then
  # A prefix made for the other architecture cannot run this build.
  if grep -q '^#arch=win64' "$WINEPREFIX/system.reg"; then have=win64; else have=win32; fi
  if [ "$have" != "$winearch" ]; then
    echo "run: $WINEPREFIX is a $have prefix, this build needs $winearch; set WINEPREFIX to another folder" >&2
    exit 1
  fi
fi

# A prefix this script creates is set up once; the Japanese font substitutes
# are put right on every start, since Wine rewrites one of them whenever the
# prefix is used under another locale.
[ -d "$WINEPREFIX" ] || bash scripts/prefix-setup.sh "$WINEPREFIX" "$winearch" fonts-only
bash scripts/prefix-fonts.sh "$WINEPREFIX" "$winearch"

desktop=()
if [ -z "${DISPLAY:-}" ]; then
  kestrel_start_xvfb
  trap 'kill "$KESTREL_XVFB_PID" 2>/dev/null || true' EXIT
  desktop=(explorer "/desktop=shell,1280x800")
  echo "run: no X display; started Xvfb on $DISPLAY (screenshot: DISPLAY=$DISPLAY import -window root shot.png)"
fi

# Nothing is registered: the program's manifest names the settings server,
# and the build keeps a copy of it beside the program.
winpath() { echo "Z:$1" | tr / '\\'; }

exe="$dir/core/Kestrel5.exe"
if [ ! -f "$exe" ]; then
  echo "run: Kestrel5.exe is not part of this build yet; the settings server is ready"
  exit 0
fi
echo "run: starting Kestrel5 (its icon is in the notification area; quit from its menu)"
if [ "${#desktop[@]}" -eq 0 ]; then
  exec "$KESTREL_WINE" "$(winpath "$exe")"
fi
# The Wine desktop stays after the program ends: end it with the program.
"$KESTREL_WINE" "${desktop[@]}" "$(winpath "$exe")" &
desktop_pid=$!
# This build's program only: other builds on the machine may run theirs.
exe_pattern="^$(winpath "$exe" | sed 's/[.\\]/\\&/g')"
running() { pgrep -f "$exe_pattern" >/dev/null; }
for _ in $(seq 300); do running && break; sleep 0.1; done
while running; do sleep 1; done
kill "$desktop_pid" 2>/dev/null || true
echo "run: Kestrel5 has ended"
