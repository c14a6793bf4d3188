#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Idempotent and quick when everything is already present.
set -euo pipefail

packages=(
  cmake ninja-build g++-mingw-w64-i686-posix mingw-w64-i686-dev mingw-w64-tools
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  googletest libwine-dev
  wine wine32:i386 wine64 xvfb xauth xserver-xephyr x11-utils xdotool xclip imagemagick
  libxinerama1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386 libxfixes3:i386
  libxcomposite1:i386 libxrender1:i386
  locales fonts-ipafont-gothic fonts-ipafont-mincho
  qemu-user-static
  wixl msitools zip python3
)

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Japanese locale makes Wine's ANSI code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "bootstrap: generating ja_JP.UTF-8"
  $SUDO sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
