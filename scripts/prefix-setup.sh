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

if [ "$mode" != fonts-only ]; then
  kestrel_import_reg <<'REG'
[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="shell"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"shell"="1280x800"
REG
fi
bash "$here/prefix-fonts.sh" "$prefix" "$arch" 9>&-

touch "$ready"
