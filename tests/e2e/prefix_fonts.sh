#!/usr/bin/env bash
# The run command's font step on a prefix whose "MS Shell Dlg" substitute was
# reset, as Wine does when the prefix is used under another locale: every
# Japanese substitute is right again afterwards.
#   prefix_fonts.sh BUILD_DIR ARCH(win32|win64)
set -euo pipefail
build=$(cd "$1" && pwd)
scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)"
source "$scripts/wine-env.sh"
kestrel_wine_env "$2"
export WINEPREFIX="$build/wineprefix-fonts"
trap '"$(kestrel_wineserver)" -k 2>/dev/null || true' EXIT
bash "$scripts/prefix-setup.sh" "$WINEPREFIX" "$WINEARCH" fonts-only

# The substitutes as "face=substitute" lines; the console speaks code page 932.
substitutes() {
  "$KESTREL_WINE" reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    2>/dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r' | sed -n 's/^    \(.*\)    REG_SZ    \(.*\)$/\1=\2/p'
}
# Used under another locale and then under the Japanese one again, the
# prefix has "MS Shell Dlg" rewritten by Wine.
LANG=C.UTF-8 LC_ALL=C.UTF-8 "$KESTREL_WINE" cmd /c exit >/dev/null 2>&1
if substitutes | grep -qx 'MS Shell Dlg=IPAPGothic'; then
  echo "prefix_fonts: Wine left the substitute as it was; nothing to put right"
  exit 1
fi

bash "$scripts/prefix-fonts.sh" "$WINEPREFIX" "$WINEARCH"
status=0
have=$(substitutes)
while read -r line; do
  if grep -qxF "$line" <<<"$have"; then echo "ok: $line"; else echo "FAILED: not $line"; status=1; fi
done <<'LIST'
ＭＳ Ｐゴシック=IPAPGothic
ＭＳ ゴシック=IPAGothic
MS UI Gothic=IPAPGothic
MS Shell Dlg=IPAPGothic
ＭＳ Ｐ明朝=IPAPMincho
ＭＳ 明朝=IPAMincho
LIST
exit $status
