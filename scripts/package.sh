#!/usr/bin/env bash
# Builds the shipped packages of both architectures and lists them:
# Kestrel5-<version>-x86.msi/.zip from build/i686 and -x64.msi/.zip from
# build/x86_64, each in that tree's package/ folder.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/bootstrap.sh
for arch in i686 x86_64; do
  bash scripts/build.sh "$arch"
done
ls -l build/i686/package/Kestrel5-*.msi build/i686/package/Kestrel5-*.zip \
      build/x86_64/package/Kestrel5-*.msi build/x86_64/package/Kestrel5-*.zip
