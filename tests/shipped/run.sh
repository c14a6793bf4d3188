#!/usr/bin/env bash
# Runs the shipped i686 binaries through qemu-user on a machine that cannot
# execute 32-bit code:  run.sh X86_64_BUILD_DIR I686_BUILD_DIR
# Inside a user and mount namespace of its own, binfmt_misc hands 32-bit ELF
# programs (Wine's 32-bit loader) to qemu-i386-static; the entry lives as
# long as the namespace, so everything that needs it runs in here, wineserver
# included. The 64-bit prefix of this test (it has syswow64) is kept in the
# build tree and reused: its first start takes minutes.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scripts=$(cd "$here/../../scripts" && pwd)
build=$1 shipped=$2

if [ -z "${KESTREL_SHIPPED_NAMESPACE:-}" ]; then
  for f in "$shipped"/package/Kestrel5-*-x86.msi \
           "$shipped/tests/shipped/client/kestrel_shipped_client.exe"; do
    [ -f "$f" ] || { echo "shipped: $f is missing; build the i686 tree first" >&2; exit 1; }
  done
  [ -x /usr/bin/qemu-i386-static ] || { echo "shipped: qemu-user-static is not installed" >&2; exit 1; }
  export KESTREL_SHIPPED_NAMESPACE=1
  exec unshare --user --map-root-user --mount bash "$0" "$@"
fi

mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
  >/proc/sys/fs/binfmt_misc/register

source "$scripts/wine-env.sh"
kestrel_wine_env win64
export WINEPREFIX="$build/wineprefix-shipped"

KESTREL_XVFB_PID=""
cleanup() {
  "$(kestrel_wineserver)" -k 2>/dev/null || true
  if [ -n "$KESTREL_XVFB_PID" ]; then kill "$KESTREL_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
kestrel_start_xvfb
mkdir -p "$WINEPREFIX"
"$(kestrel_wineserver)" -p </dev/null >/dev/null 2>&1 || true
start=$(date +%s)
bash "$scripts/prefix-setup.sh" "$WINEPREFIX" win64
echo "shipped: prefix ready in $(( $(date +%s) - start )) s"

winpath() { echo "Z:$1" | tr / '\\'; }
bash "$scripts/wine-run.sh" "$WINEPREFIX" win64 \
  "$(winpath "$build/tests/shipped/shipped_i686_tests.exe")" --gtest_color=no
echo "shipped: $(( $(date +%s) - start )) s in all"
