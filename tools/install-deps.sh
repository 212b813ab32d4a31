#!/usr/bin/env bash
# Installs whatever the build and the tests need and is missing; does nothing when all is there.
# Runs as root on Debian 12 (as CI does); elsewhere it only reports what is missing.
set -euo pipefail

packages=(cmake g++ make googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386 xvfb xdotool x11-utils
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64
  locales fonts-ipafont-gothic imagemagick bc zip unzip python3-mpmath)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed'; then
    missing+=("$p")
  fi
done
need_arch=0
dpkg --print-foreign-architectures | grep -qx i386 || need_arch=1
need_locale=0
locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$' || need_locale=1

if [ ${#missing[@]} -eq 0 ] && [ $need_arch -eq 0 ] && [ $need_locale -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing: ${missing[*]:-} (i386 arch: $need_arch, ja_JP locale: $need_locale); run as root" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if [ $need_arch -eq 1 ]; then
  dpkg --add-architecture i386
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}" >&2
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if [ $need_locale -eq 1 ] || ! locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$'; then
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  fi
  locale-gen >/dev/null
fi
# The posix flavour of the cross compiler has the threads model that std:: headers need.
if update-alternatives --list i686-w64-mingw32-g++ >/dev/null 2>&1; then
  update-alternatives --set i686-w64-mingw32-g++ /usr/bin/i686-w64-mingw32-g++-posix >/dev/null || true
  update-alternatives --set i686-w64-mingw32-gcc /usr/bin/i686-w64-mingw32-gcc-posix >/dev/null || true
fi
