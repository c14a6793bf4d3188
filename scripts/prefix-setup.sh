#!/usr/bin/env bash
# Creates and configures a Wine prefix for Kestrel5, once: fonts that render
# the Japanese faces the program asks for and, for test prefixes, one
# virtual desktop "shell" with a notification area for every process.
#   prefix-setup.sh PREFIX ARCH(win32|win64) [fonts-only]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix=$1 arch=$2 mode=${3:-test}
# The marker's number grows whenever the setup below changes, so an older
# prefix is set up again.
ready="$prefix/.kestrel-ready-2"
[ -f "$ready" ] && exit 0

source "$here/wine-env.sh"
kestrel_wine_env "$arch"
export WINEPREFIX=$prefix
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$ready" ] && exit 0

# Wine's services outlive this script: they must not inherit the lock.
"$KESTREL_WINE" wineboot -i >/dev/null 2>&1 9>&- || true

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
  echo 'Windows Registry Editor Version 5.00'
  echo
  if [ "$mode" != fonts-only ]; then
    cat <<'REG'
[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="shell"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"shell"="1280x800"

REG
  fi
  # "MS Shell Dlg" is the face of the system's message font; Japanese Windows
  # draws it with a proportional gothic, as the program's labels expect.
  cat <<'REG'
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS UI Gothic"="IPAPGothic"
"MS Shell Dlg"="IPAPGothic"
"ＭＳ Ｐ明朝"="IPAPMincho"
"ＭＳ 明朝"="IPAMincho"
REG
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
"$KESTREL_WINE" regedit /S "$(echo "Z:$reg" | tr / '\\')" >/dev/null 2>&1 9>&-

touch "$ready"
