#!/usr/bin/env bash
# Puts the Japanese font substitutes into a Wine prefix: the faces the
# program asks for are drawn with the IPA fonts. Cheap enough for every start
# of the run command, which needs it: Wine rewrites the "MS Shell Dlg"
# substitute whenever the prefix is used under another locale.
#   prefix-fonts.sh PREFIX ARCH(win32|win64)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
kestrel_wine_env "$2"
export WINEPREFIX=$1

# "MS Shell Dlg" is the face of the system's message font; Japanese Windows
# draws it with a proportional gothic, as the program's labels expect.
kestrel_import_reg <<'REG'
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS UI Gothic"="IPAPGothic"
"MS Shell Dlg"="IPAPGothic"
"ＭＳ Ｐ明朝"="IPAPMincho"
"ＭＳ 明朝"="IPAMincho"
REG
