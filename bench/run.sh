#!/usr/bin/env bash
# Builds the benchmark programs and measures, for each screen size on an Xvfb
# of that size with the Wine desktop sized to match: the time from Windows + C
# to a visible overlay and to its first paint, for the program and for the
# bare floor program, with the time of each step of the opening; the cost of
# a pointer move and of a pulse tick on the open overlay (handled and
# painted), for the program and for the floor's crosshair; and the idle
# footprint of both programs before and after their openings; the
# hand-over of a cut to the clipboard and the cold start to the tray icon,
# each next to a floor program (figures_driver.cpp); and, on the first size,
# the CPU time and wake-ups of the resident program over 60 s of idling.
# It ends with one table of every figure next to its floor and the ratio.
#   bench/run.sh [OPENINGS [MOVES [CUTS [STARTS [IDLE_SECONDS]]]]]
# The defaults (40 2000 30 10 60) give 30 hand-overs and 10 cold starts of
# each program per size; a run takes about 8 minutes.
# KESTREL_BENCH_GUIDE=off runs with the pointer guide and magnifier off, for
# a comparison with the defaults (both on).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
opens=${1:-40}
moves=${2:-2000}
cuts=${3:-30}
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

# The steps of the openings in a trace file (common/open_trace.h): each
# opening begins with the driver's key; every stamp after it is taken as
# milliseconds after that key. Prints "<size> trace <who> <step> <median ms>
# <p90 ms> <n>"; the driver's "visible" goes to whoever opened.
trace_steps() { # SIZE FILE
  [ -s "$2" ] || return 0
  tr -d '\r' <"$2" | sort -k3,3n | awk -v size="$1" '
    function add(who, step, ms,    k) {
      k = who SUBSEP step
      if (!(k in n)) { n[k] = 0; order[++steps] = k }
      v[k, ++n[k]] = ms
    }
    function close_opening() {
      if (opened && who != "" && visible != "") add(who, "visible", visible)
      opened = 0; who = ""; visible = ""
    }
    function pick(k, q,    i, j, t, a, m) {
      m = n[k]
      for (i = 1; i <= m; i++) a[i] = v[k, i]
      for (i = 2; i <= m; i++) { t = a[i]; for (j = i - 1; j >= 1 && a[j] > t; j--) a[j + 1] = a[j]; a[j + 1] = t }
      return a[int(q * (m - 1) + 0.5) + 1]
    }
    $1 == "driver" && $2 == "key" { close_opening(); t0 = $3; opened = 1; next }
    !opened { next }
    $1 == "driver" && $2 == "visible" { visible = ($3 - t0) / 1000; next }
    $1 != "driver" { who = $1; add($1, $2, ($3 - t0) / 1000) }
    END {
      close_opening()
      for (i = 1; i <= steps; i++) {
        split(order[i], part, SUBSEP)
        printf "%s trace %s %s %.2f %.2f %d\n", size, part[1], part[2], pick(order[i], 0.5), pick(order[i], 0.9), n[order[i]]
      }
    }'
}

# Every failed measurement of a driver's output with its reason, counted,
# for the summary.
record_failures() { # SIZE OUTPUT
  grep "^bench:" "$2" | tr -d '\r' | sort | uniq -c |
    awk -v size="$1" '{ n = $1; $1 = ""; sub(/^ bench: /, ""); print size, "failure", n, $0 }' >>"$results" || true
}

results=$(mktemp)
trap 'stop_display; rm -f "$results"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
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
  trace=$(mktemp)
  KESTREL_OPEN_TRACE_FILE=$(winpath "$trace") "$KESTREL_WINE" "$(winpath "$dir/bench/bench_driver.exe")" \
    "$(winpath "$dir/core/Kestrel5.exe")" "$(winpath "$dir/bench/floor_overlay.exe")" \
    "$(winpath "$dir/bench/move_probe.dll")" "$opens" "$moves" </dev/null >"$out" 2>&1 || true
  sed "s/^/$size /" "$out" | tr -d '\r' >>"$results"
  trace_steps "$size" "$trace" >>"$results"
  rm -f "$trace"
  grep -q "^open floor" "$out" || { echo "bench: no figures at $size:" >&2; cat "$out" >&2; }
  record_failures "$size" "$out"
  "$KESTREL_WINE" "$(winpath "$dir/bench/figures_driver.exe")" \
    "$(winpath "$dir/core/Kestrel5.exe")" "$(winpath "$dir/bench/floor_overlay.exe")" \
    "$(winpath "$dir/bench/floor_tray.exe")" "$cuts" "$starts" </dev/null >"$out" 2>&1 || true
  sed "s/^/$size /" "$out" | tr -d '\r' >>"$results"
  grep -q "^coldstart floor" "$out" || { echo "bench: no hand-over figures at $size:" >&2; cat "$out" >&2; }
  record_failures "$size" "$out"
  if [ "$size" = "${sizes[0]}" ]; then
    { measure_idle program "$dir/core/Kestrel5.exe"; measure_idle floor "$dir/bench/floor_tray.exe"; } |
      sed "s/^/$size /" >>"$results"
  fi
  rm -f "$out"
  stop_display
done

awk -v opens="$opens" -v moves="$moves" -v cuts="$cuts" -v starts="$starts" \
    -v idle="$idle_seconds" -v cpus="$(nproc)" -v guide="${KESTREL_BENCH_GUIDE:-on}" \
    -v sizes="${sizes[*]}" -v cpu_model="$(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)" \
    -v when="$(date -u '+%Y-%m-%d %H:%M UTC')" -v load="$load_before" \
    -v load_after="$(cut -d' ' -f1-3 /proc/loadavg)" '
  $2 == "open"      { fig["open", $1, $3] = $4 " " $5 " " $6 " " $7 }
  $2 == "move"      { fig["move " $4, $1, $3] = $6 " " $7 " " $8 " 0"; cpu["move " $4, $1, $3] = $10 }
  $2 == "trace"     { stepms[$1, $3, $4] = $5
                      if (!(($3, $4) in seen)) { seen[$3, $4] = 1; steporder[$3, ++nsteps[$3]] = $4 }
                      if ($4 == "painted") fig["paint", $1, $3] = $5 " " $6 " " $7 " 0" }
  $2 == "idle"      { priv[$1, $3, $4] = $6 / 1024 }
  $2 == "handover"  { fig["handover", $1, $3] = $4 " " $5 " " $6 " " $7 }
  $2 == "coldstart" { fig["coldstart", $1, $3] = $4 " " $5 " " $6 " " $7 }
  $2 == "idle60"    { idlecpu[$3] = $4; wakeups[$3] = $5; idlesize = $1 }
  $2 == "failure"   { n = $3; at = $1; $1 = $2 = $3 = ""; sub(/^ +/, ""); failures[++nf] = sprintf("%5d  %-10s %s", n, at, $0) }
  function line(label, s, median, p90, n, fail, cpuus, floor, vs, first, goal) {
    printf "%-31s %-10s %8s %8s %5s %4s %8s %8s %10s %7s  %s\n", label, s, median, p90, n, fail, cpuus, floor, vs, first, goal
  }
  # A timed figure of `who` (the program or the floor): next to its floor
  # ("ratio" or "diff", the program only), and next to the first size when
  # `bysize` is set.
  function timed(label, s, key, goal, how, who, bysize,    p, w, v, f, vs, vsfirst) {
    if (!((key, s, who) in fig)) { line(label, s, "-", "-", "-", "-", "-", "-", "no figures", "-", goal); return }
    split(fig[key, s, who], p, " ")
    f = (who == "program" && ((key, s, "floor") in fig))
    if (f) split(fig[key, s, "floor"], w, " ")
    vs = "-"
    if (f && how == "ratio" && w[1] > 0) vs = sprintf("%.2fx", p[1] / w[1])
    if (f && how == "diff") vs = sprintf("%+.1f ms", p[1] - w[1])
    vsfirst = "-"
    if (bysize && s != first && ((key, first, who) in fig)) {
      split(fig[key, first, who], v, " ")
      if (v[1] > 0) vsfirst = sprintf("%.2fx", p[1] / v[1])
    }
    line(label, s, sprintf("%.1f", p[1]), sprintf("%.1f", p[2]), p[3], p[4],
         ((key, s, who) in cpu) ? sprintf("%.0f", cpu[key, s, who]) : "-", f ? sprintf("%.1f", w[1]) : "-",
         vs, vsfirst, goal)
  }
  function memory(label, s, when, floorwhen, goal,    p, f) {
    if (!((s, "program", when) in priv)) { line(label, s, "-", "-", "-", "-", "-", "-", "no figures", "-", goal); return }
    p = priv[s, "program", when]
    f = ((s, "floor", floorwhen) in priv)
    line(label, s, sprintf("%.1f", p), "-", 1, "-", "-", f ? sprintf("%.1f", priv[s, "floor", floorwhen]) : "-",
         f ? sprintf("%+.1f MiB", p - priv[s, "floor", floorwhen]) : "-", "-", goal)
  }
  # The opening step by step: for each size, the median ms after the key
  # and, in brackets, the step'"'"'s own share (from the step before).
  function steps(who,    i, j, st, prev, cell, row) {
    if (!nsteps[who]) return
    printf "\n%-12s", who " step"
    for (j = 1; j <= ns; j++) printf " %22s", size[j]
    printf "\n"
    for (i = 1; i <= nsteps[who]; i++) {
      st = steporder[who, i]
      row = sprintf("%-12s", st)
      for (j = 1; j <= ns; j++) {
        cell = "-"
        if ((size[j], who, st) in stepms) {
          prev = (i > 1 && ((size[j], who, steporder[who, i - 1]) in stepms)) ? stepms[size[j], who, steporder[who, i - 1]] : 0
          cell = sprintf("%8.2f (%+7.2f)", stepms[size[j], who, st], stepms[size[j], who, st] - prev)
        }
        row = row sprintf(" %22s", cell)
      }
      print row
    }
  }
  END {
    ns = split(sizes, size, " ")
    first = size[1]
    printf "Kestrel5 bench, %s, %s CPUs (%s); load average %s before, %s after\n", when, cpus, cpu_model, load, load_after
    printf "Xvfb and a Wine virtual desktop per size; pointer guide and magnifier %s; %s openings, %s moves,\n", guide, opens, moves
    printf "%s hand-overs and %s cold starts of each program per size\n\n", cuts, starts
    line("figure", "screen", "median", "p90", "n", "fail", "cpu/move", "floor", "vs floor", "vs 1st", "goal")
    for (i = 1; i <= ns; i++) timed("(a) Windows+C to overlay, ms", size[i], "open", "<= 1.10x", "ratio", "program", 1)
    for (i = 1; i <= ns; i++) timed("(a) Windows+C to painted, ms", size[i], "paint", "<= 1.10x", "ratio", "program", 1)
    for (j = 1; j <= 3; j++) {
      m = (j == 1) ? "crosshair" : (j == 2) ? "tick" : "drag"
      label = (m == "tick") ? "pulse tick" : m " move"
      for (i = 1; i <= ns; i++)
        timed("(b) " label ", us", size[i], "move " m, (m == "drag") ? "-" : "<= 1.2x", "ratio", "program", 1)
      if (m != "drag")
        for (i = 1; i <= ns; i++) timed("(b) floor " label ", us", size[i], "move " m, "-", "-", "floor", 1)
    }
    for (i = 1; i <= ns; i++) {
      memory("(c) private at start, MiB", size[i], "start", "start", "<= floor + 1 MiB")
      memory("(c) after options dialog, MiB", size[i], "options", "start", "<= floor + 2 MiB")
      memory("(c) after 10 cuts, MiB", size[i], "cut10", "cut10", "<= floor + 2 pictures + 2 MiB")
    }
    for (i = 1; i <= ns; i++) timed("(d) release to picture, ms", size[i], "handover", "<= 1.25x", "ratio", "program", 0)
    for (i = 1; i <= ns; i++) timed("(e) cold start to tray icon, ms", size[i], "coldstart", "<= floor + 50 ms", "diff", "program", 0)
    if ("program" in idlecpu) {
      line("(f) idle " idle " s, CPU ms", idlesize, idlecpu["program"], "-", 1, "-", "-", idlecpu["floor"], "-", "-", "0")
      line("(f) idle " idle " s, wake-ups", idlesize, wakeups["program"], "-", 1, "-", "-", wakeups["floor"], "-", "-", "0")
    }
    printf "\nFloors: (a), (c) and (d) a bare program that copies the desktop into a topmost window and puts\n"
    printf "a bitmap on the clipboard (bench/floor_overlay.cpp); (b) the same program'"'"'s crosshair, two\n"
    printf "one-pixel lines over the frozen image moved on each move and recoloured in place on each tick;\n"
    printf "(e) and (f) a bare program with one tray icon (bench/floor_tray.cpp). vs 1st compares with %s.\n", first
    printf "(a) to painted: the key to the end of the first paint, from the programs'"'"' own stamps. cpu/move\n"
    printf "is the CPU time of the overlay'"'"'s thread per move, which a busy machine stretches less than the\n"
    printf "wall time. (c) is private memory (the commit charge); the pictures are the last cut kept for the\n"
    printf "last-picture command and the clipboard'"'"'s copy (640 x 480 each in this bench).\n"
    printf "\nOpening step by step, ms after the key (median; in brackets the step'"'"'s share):\n"
    steps("program")
    steps("floor")
    if (nf) {
      printf "\nFailed measurements (count, screen, who and why):\n"
      for (i = 1; i <= nf; i++) print failures[i]
    }
  }' "$results"
