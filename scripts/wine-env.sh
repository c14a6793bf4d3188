# Sourced by the scripts: how Wine is started here.
# KESTREL_ARCH is i686 when this machine can execute 32-bit code (the shipped
# build is tested then), else x86_64: some virtual machines cannot run 32-bit
# processes at all, and 32-bit Wine cannot start there.

kestrel_can_run_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

if [ -z "${KESTREL_ARCH:-}" ]; then
  if kestrel_can_run_32bit; then KESTREL_ARCH=i686; else KESTREL_ARCH=x86_64; fi
fi

kestrel_wine_env() { # arch(win32|win64)
  if [ "$1" = win64 ]; then
    KESTREL_WINE=/usr/lib/wine/wine64
    export WINELOADER=/usr/lib/wine/wine64
  else
    KESTREL_WINE=/usr/lib/wine/wine
  fi
  export WINEARCH="$1"
  export WINEDEBUG="${WINEDEBUG:--all}"
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  # No debugger that hangs a run on a crash, no sound drivers (no sound card),
  # and no downloads of Mono or Gecko when a prefix is created.
  export WINEDLLOVERRIDES="winedbg.exe=d;winealsa.drv,winepulse.drv,wineoss.drv=d;mscoree,mshtml="
}

kestrel_wineserver() {
  if [ "$WINEARCH" = win64 ] && [ -x /usr/lib/wine/wineserver64 ]; then
    echo /usr/lib/wine/wineserver64
  else
    echo wineserver
  fi
}

# Starts a headless X server on a free display; sets DISPLAY and
# KESTREL_XVFB_PID. Fails with a message when none comes up.
kestrel_start_xvfb() {
  local n
  for n in $(seq 90 120); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    KESTREL_XVFB_PID=$!
    local i
    for i in $(seq 50); do
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$KESTREL_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$KESTREL_XVFB_PID" 2>/dev/null || true
  done
  echo "could not start Xvfb" >&2
  return 1
}

# Imports registry text (UTF-8, without the header line) from stdin into
# $WINEPREFIX. Wine's services outlive the import: they do not inherit the
# caller's descriptor 9 (a lock).
kestrel_import_reg() {
  local reg
  reg=$(mktemp --suffix=.reg)
  { printf 'Windows Registry Editor Version 5.00\n\n'; cat; } | iconv -f UTF-8 -t UTF-16LE |
    { printf '\xff\xfe'; cat; } >"$reg"
  "$KESTREL_WINE" regedit /S "$(echo "Z:$reg" | tr / '\\')" >/dev/null 2>&1 9>&-
  rm -f "$reg"
}
