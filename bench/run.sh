#!/usr/bin/env bash
# Builds the benchmark programs and prints, for each screen size on an Xvfb
# of that size with the Wine desktop sized to match: the time from Windows + C
# to a visible overlay, for the program and for the bare floor program, and
# the cost of a pointer move on the open overlay (handled and painted), and
# the idle footprint of both programs before and after their openings; the
# hand-over of a cut to the clipboard and the cold start to the tray icon,
# each next to a floor program (figures_driver.cpp); and, on the first size,
# the CPU time and wake-ups of the resident program over 60 s of idling.
#   bench/run.sh [OPENINGS [MOVES [CUTS [STARTS [IDLE_SECONDS]]]]]
# KESTREL_BENCH_GUIDE=off runs with the pointer guide and magnifier off, for
# a comparison with the defaults (both on).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
opens=${1:-40}
moves=${2:-2000}
cuts=${3:-20}
starts=${4:-10}
idle_seconds=${5:-60}
# KESTREL_BENCH_SIZES="1920x1080" limits the run to some of the sizes.
read -r -a sizes <<<"${KESTREL_BENCH_SIZES:-1920x1080 3840x2160}"

source "$root/scripts/wine-env.sh"
dir="$root/build/b64"
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
    -DKESTREL_BUILD_TESTS=OFF -DKESTREL_BUILD_BENCH=ON >/dev/null
fi
if ! log=$(cmake --build "$dir" --target bench_driver figures_driver 2>&1); then
  echo "$log" >&2
  exit 1
fi

kestrel_wine_env win64
export WINEPREFIX="$dir/benchprefix"
wineserver=$(kestrel_wineserver)
winpath() { echo "Z:$1" | tr / '\\'; }

xvfb_pid=""
stop_display() {
  if [ -d "$WINEPREFIX" ]; then "$wineserver" -k 2>/dev/null || true; "$wineserver" -w 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  xvfb_pid=""
}
trap stop_display EXIT

start_display() { # WIDTHxHEIGHT
  local n i
  for n in $(seq 130 160); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "${1}x24" -nolisten tcp </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    for i in $(seq 50); do
      if [ -e "/tmp/.X11-unix/X$n" ]; then export DISPLAY=":$n"; return 0; fi
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  echo "bench: could not start Xvfb at $1" >&2
  return 1
}

wine_quiet() { "$KESTREL_WINE" "$@" </dev/null >/dev/null 2>&1; }

# CPU ticks (user + system) and context switches of a Linux process and all
# its threads: each switch away from a thread that was waiting is a wake-up.
proc_counts() { # PID -> "ticks switches"
  local ticks switches=0 f
  ticks=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
  for f in /proc/"$1"/task/*/status; do
    switches=$(( switches + $(awk '/^(non)?voluntary_ctxt_switches/ { s += $2 } END { print s + 0 }' "$f") ))
  done
  echo "$ticks $switches"
}

# Starts a program resident, lets it settle, and prints
# "idle60 <who> <cpu ms> <wake-ups>" over idle_seconds of doing nothing.
measure_idle() { # WHO EXE
  "$KESTREL_WINE" "$(winpath "$2")" </dev/null >/dev/null 2>&1 &
  local pid=$! name before after hz
  name=$(basename "$2")
  sleep 10
  # wine execs its loader: the started process becomes the program.
  if ! tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q "$name"; then
    pid=$(pgrep -n -f "$name" || true)
  fi
  if [ -z "$pid" ]; then echo "bench: $1 did not stay resident" >&2; return 0; fi
  before=$(proc_counts "$pid")
  sleep "$idle_seconds"
  after=$(proc_counts "$pid")
  hz=$(getconf CLK_TCK)
  set -- "$1" $before $after
  echo "idle60 $1 $(( ($4 - $2) * 1000 / hz )) $(( $5 - $3 ))"
  kill "$pid" 2>/dev/null || true
  wait 2>/dev/null || true
}

results=$(mktemp)
trap 'stop_display; rm -f "$results"' EXIT
for size in "${sizes[@]}"; do
  start_display "$size"
  mkdir -p "$WINEPREFIX"
  "$wineserver" -p </dev/null >/dev/null 2>&1 || true
  bash "$root/scripts/prefix-setup.sh" "$WINEPREFIX" win64
  wine_quiet regsvr32 /s "$(winpath "$dir/settings/QUILLONSoftwareOptions.dll")"
  wine_quiet reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "$size" /f
  wine_quiet reg add 'HKCU\Software\VB and VBA Program Settings\Kestrel5\Options' /v Hotkey /d True /f
  guide=True
  [ "${KESTREL_BENCH_GUIDE:-on}" = off ] && guide=False
  for key in PointerGuide PGLupe; do
    wine_quiet reg add 'HKCU\Software\VB and VBA Program Settings\Kestrel5\Options' /v "$key" /d "$guide" /f
  done
  # The desktop takes its size when it is created: start everything afresh.
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  "$wineserver" -p </dev/null >/dev/null 2>&1 || true
  out=$(mktemp)
  "$KESTREL_WINE" "$(winpath "$dir/bench/bench_driver.exe")" \
    "$(winpath "$dir/core/Kestrel5.exe")" "$(winpath "$dir/bench/floor_overlay.exe")" \
    "$(winpath "$dir/bench/move_probe.dll")" "$opens" "$moves" </dev/null >"$out" 2>&1 || true
  sed "s/^/$size /" "$out" | tr -d '\r' >>"$results"
  grep -q "^open floor" "$out" || { echo "bench: no figures at $size:" >&2; cat "$out" >&2; }
  "$KESTREL_WINE" "$(winpath "$dir/bench/figures_driver.exe")" \
    "$(winpath "$dir/core/Kestrel5.exe")" "$(winpath "$dir/bench/floor_overlay.exe")" \
    "$(winpath "$dir/bench/floor_tray.exe")" "$cuts" "$starts" </dev/null >"$out" 2>&1 || true
  sed "s/^/$size /" "$out" | tr -d '\r' >>"$results"
  grep -q "^coldstart floor" "$out" || { echo "bench: no hand-over figures at $size:" >&2; cat "$out" >&2; }
  grep "^bench:" "$out" | sort | uniq -c | sed "s/^/$size /" >&2 || true
  if [ "$size" = "${sizes[0]}" ]; then
    { measure_idle program "$dir/core/Kestrel5.exe"; measure_idle floor "$dir/bench/floor_tray.exe"; } |
      sed "s/^/$size /" >>"$results"
  fi
  rm -f "$out"
  stop_display
done

awk -v opens="$opens" -v moves="$moves" -v cuts="$cuts" -v starts="$starts" \
    -v idle="$idle_seconds" -v cpus="$(nproc)" -v guide="${KESTREL_BENCH_GUIDE:-on}" '
  $2 == "screen" { screen[$1] = $3 }
  $2 == "open"   { open[$1, $3] = $4; open90[$1, $3] = $5; n[$1, $3] = $6; failed[$1, $3] = $7 }
  $2 == "move"   { move[$1, $3] = $5; move90[$1, $3] = $6; mn[$1, $3] = $7; handled[$1, $3] = $8 }
  $2 == "idle"   { ws[$1, $3, $4] = $5; priv[$1, $3, $4] = $6 }
  $2 == "handover"  { hand[$1, $3] = $4; hand90[$1, $3] = $5; hn[$1, $3] = $6; hfailed[$1, $3] = $7 }
  $2 == "coldstart" { cold[$1, $3] = $4; cold90[$1, $3] = $5; cn[$1, $3] = $6; cfailed[$1, $3] = $7 }
  $2 == "idle60"    { idlecpu[$3] = $4; wakeups[$3] = $5; idlesize = $1 }
  END {
    printf "Kestrel5 bench: Xvfb + Wine virtual desktop per size, %s CPUs shared with other work\n", cpus
    printf "\n(a) Windows + C to visible overlay, ms (%s openings each, alternating rounds)\n", opens
    printf "%-10s %-9s %9s %9s %6s %7s %11s\n", "screen", "who", "median", "p90", "n", "failed", "vs floor"
    for (i = 1; i <= 2; i++) {
      s = (i == 1) ? "1920x1080" : "3840x2160"
      for (j = 1; j <= 2; j++) {
        w = (j == 1) ? "program" : "floor"
        if (!((s, w) in open)) { printf "%-10s %-9s %9s\n", s, w, "no figures"; continue }
        ratio = (open[s, "floor"] > 0) ? sprintf("%.2fx", open[s, w] / open[s, "floor"]) : "-"
        printf "%-10s %-9s %9.1f %9.1f %6d %7d %11s\n", s, w, open[s, w], open90[s, w], n[s, w], failed[s, w], ratio
      }
    }
    printf "\n(b) pointer move on the open overlay, and one tick of the grey pulse, handled and\n"
    printf "painted, us (%s each; pointer guide and magnifier %s)\n", moves, guide
    printf "%-10s %-10s %9s %9s %6s %11s %14s\n", "screen", "move", "median", "p90", "n", "vs 1080", "before paint"
    for (j = 1; j <= 3; j++) {
      p = (j == 1) ? "crosshair" : (j == 2) ? "tick" : "drag"
      for (i = 1; i <= 2; i++) {
        s = (i == 1) ? "1920x1080" : "3840x2160"
        if (!((s, p) in move)) { printf "%-10s %-10s %9s\n", s, p, "no figures"; continue }
        base = move["1920x1080", p]
        ratio = (base > 0) ? sprintf("%.2fx", move[s, p] / base) : "-"
        printf "%-10s %-10s %9.1f %9.1f %6d %11s %14.1f\n", s, p, move[s, p], move90[s, p], mn[s, p], ratio, handled[s, p]
      }
    }
    printf "(before paint: median of the move message handled and its bounds invalidated)\n"
    printf "\n(c) idle footprint, MiB: after start, and after the openings (and moves)\n"
    printf "%-10s %-9s %13s %13s %13s %13s\n", "screen", "who", "working set", "private", "ws after", "private after"
    for (i = 1; i <= 2; i++) {
      s = (i == 1) ? "1920x1080" : "3840x2160"
      for (j = 1; j <= 2; j++) {
        w = (j == 1) ? "program" : "floor"
        if (!((s, w, "start") in ws)) { printf "%-10s %-9s %13s\n", s, w, "no figures"; continue }
        printf "%-10s %-9s %13.1f %13.1f %13.1f %13.1f\n", s, w, ws[s, w, "start"] / 1024, priv[s, w, "start"] / 1024, ws[s, w, "after"] / 1024, priv[s, w, "after"] / 1024
      }
    }
    printf "%-10s %-9s %13s %13s\n", "screen", "who", "private", "after 10 cuts"
    for (i = 1; i <= 2; i++) {
      s = (i == 1) ? "1920x1080" : "3840x2160"
      for (j = 1; j <= 2; j++) {
        w = (j == 1) ? "program" : "floor"
        if (!((s, w, "cut10") in priv)) { printf "%-10s %-9s %13s\n", s, w, "no figures"; continue }
        printf "%-10s %-9s %13.1f %13.1f\n", s, w, priv[s, w, "start"] / 1024, priv[s, w, "cut10"] / 1024
      }
    }
    printf "(the floor: the bare overlay program, which keeps no picture)\n"
    printf "\n(d) release of the button to the picture readable by another process, ms (%s cuts each)\n", cuts
    printf "%-10s %-9s %9s %9s %6s %7s %11s\n", "screen", "who", "median", "p90", "n", "failed", "vs floor"
    for (i = 1; i <= 2; i++) {
      s = (i == 1) ? "1920x1080" : "3840x2160"
      for (j = 1; j <= 2; j++) {
        w = (j == 1) ? "program" : "floor"
        if (!((s, w) in hand)) { printf "%-10s %-9s %9s\n", s, w, "no figures"; continue }
        ratio = (hand[s, "floor"] > 0) ? sprintf("%.2fx", hand[s, w] / hand[s, "floor"]) : "-"
        printf "%-10s %-9s %9.1f %9.1f %6d %7d %11s\n", s, w, hand[s, w], hand90[s, w], hn[s, w], hfailed[s, w], ratio
      }
    }
    printf "\n(e) cold start to the tray icon known to the shell, ms (%s starts each)\n", starts
    printf "%-10s %-9s %9s %9s %6s %7s %11s\n", "screen", "who", "median", "p90", "n", "failed", "vs floor"
    for (i = 1; i <= 2; i++) {
      s = (i == 1) ? "1920x1080" : "3840x2160"
      for (j = 1; j <= 2; j++) {
        w = (j == 1) ? "program" : "floor"
        if (!((s, w) in cold)) { printf "%-10s %-9s %9s\n", s, w, "no figures"; continue }
        diff = ((s, "floor") in cold) ? sprintf("%+.1f ms", cold[s, w] - cold[s, "floor"]) : "-"
        printf "%-10s %-9s %9.1f %9.1f %6d %7d %11s\n", s, w, cold[s, w], cold90[s, w], cn[s, w], cfailed[s, w], diff
      }
    }
    printf "\n(f) resident and idle for %s s on %s: CPU time and wake-ups (context switches)\n", idle, idlesize
    printf "%-9s %9s %9s\n", "who", "CPU ms", "wake-ups"
    for (j = 1; j <= 2; j++) {
      w = (j == 1) ? "program" : "floor"
      if (!(w in idlecpu)) { printf "%-9s %9s\n", w, "no figures"; continue }
      printf "%-9s %9d %9d\n", w, idlecpu[w], wakeups[w]
    }
    printf "(the floor: a bare program with one tray icon)\n"
    printf "\nGoals: opening within 1.25x the floor; a move and a tick at 3840x2160 within\n"
    printf "1.2x those at 1920x1080; a median move well under 1000 us; the hand-over within\n"
    printf "2x the floor; the cold start within the floor + 50 ms; no CPU and no\n"
    printf "timer while idle.\n"
  }' "$results"
