#!/usr/bin/env bash
# Installs whatever the build and the tests need and is missing; does nothing when all is there.
# Runs as root on Debian 12 (as CI does); elsewhere it only reports what is missing.
#
# Package mirrors are sometimes half in sync: an index that fails to download is a warning, and
# the install goes on with what the other indexes offer. The 32-bit Wine is optional (the tests
# and the calculator take the 64-bit build without it), so it is installed in a step of its own
# that may fail; a needed package that cannot be installed still ends the script, by name.
set -uo pipefail

needed=(cmake g++ make googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine xvfb xdotool x11-utils
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64
  locales fonts-ipafont-gothic imagemagick bc zip unzip python3-mpmath)
optional=(wine32:i386)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed'
}

missing=()
for p in "${needed[@]}"; do
  installed "$p" || missing+=("$p")
done
missing_optional=()
for p in "${optional[@]}"; do
  installed "$p" || missing_optional+=("$p")
done
need_arch=0
dpkg --print-foreign-architectures | grep -qx i386 || need_arch=1
need_locale=0
locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$' || need_locale=1

if [ ${#missing[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ] && [ $need_arch -eq 0 ] &&
  [ $need_locale -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  if [ ${#missing[@]} -eq 0 ] && [ $need_locale -eq 0 ]; then
    exit 0 # only optional parts are missing, and they are not ours to insist on
  fi
  echo "install-deps: missing: ${missing[*]:-} (ja_JP locale: $need_locale); run as root" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
[ $need_arch -eq 1 ] && dpkg --add-architecture i386

# The indexes are brought up to date once, and only when something is to be installed; a failed
# index leaves the others usable.
if [ ${#missing[@]} -gt 0 ] || [ $need_arch -eq 1 ]; then
  apt-get update -q || echo "install-deps: warning: some package indexes could not be updated; going on" >&2
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}" >&2
  if ! apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    # One at a time, to name the packages that cannot be had.
    failed=()
    for p in "${missing[@]}"; do
      apt-get install -y -q --no-install-recommends "$p" >/dev/null 2>&1 || failed+=("$p")
    done
    if [ ${#failed[@]} -gt 0 ]; then
      echo "install-deps: cannot install needed packages: ${failed[*]}" >&2
      exit 1
    fi
  fi
fi

if [ ${#missing_optional[@]} -gt 0 ]; then
  if ! apt-get install -y -q --no-install-recommends "${missing_optional[@]}" >/dev/null 2>&1; then
    echo "install-deps: left out ${missing_optional[*]} (not installable now): the 32-bit build is built but not run; Wine runs the 64-bit build" >&2
  fi
fi

if [ $need_locale -eq 1 ]; then
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  fi
  locale-gen >/dev/null || { echo "install-deps: cannot generate the ja_JP.UTF-8 locale" >&2; exit 1; }
fi
# The posix flavour of the cross compiler has the threads model that std:: headers need.
if update-alternatives --list i686-w64-mingw32-g++ >/dev/null 2>&1; then
  update-alternatives --set i686-w64-mingw32-g++ /usr/bin/i686-w64-mingw32-g++-posix >/dev/null || true
  update-alternatives --set i686-w64-mingw32-gcc /usr/bin/i686-w64-mingw32-gcc-posix >/dev/null || true
fi
exit 0
