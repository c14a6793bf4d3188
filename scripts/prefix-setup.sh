#!/usr/bin/env bash
# Creates and configures a Wine prefix for Kestrel5, once: fonts that render
# the Japanese faces the program asks for and, for test prefixes, one
# virtual desktop "shell" with a notification area for every process.
#   prefix-setup.sh PREFIX ARCH(win32|win64) [fonts-only]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix=$1 arch=$2 mode=${3:-test}
ready="$prefix/.kestrel-ready"
[ -f "$ready" ] && exit 0

source "$here/wine-env.sh"
kestrel_wine_env "$arch"
export WINEPREFIX=$prefix
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$ready" ] && exit 0

"$KESTREL_WINE" wineboot -i >/dev/null 2>&1 || true

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
  cat <<'REG'
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS UI Gothic"="IPAPGothic"
"ＭＳ Ｐ明朝"="IPAPMincho"
"ＭＳ 明朝"="IPAMincho"
REG
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
"$KESTREL_WINE" regedit /S "$(echo "Z:$reg" | tr / '\\')" >/dev/null 2>&1

touch "$ready"
