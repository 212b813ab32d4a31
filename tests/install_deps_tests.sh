#!/usr/bin/env bash
# Runs tools/install-deps.sh against a package manager that is half broken, as on a mirror in the
# middle of a sync: the index update fails and no :i386 package can be had. The step must go on,
# leave out the 32-bit Wine by name and end with 0; a needed package that cannot be installed must
# still end it with a failure that names the package. Stand-ins for the package tools and for id
# and locale come first on the PATH, so nothing is installed and no root is needed.
#   install_deps_tests.sh SOURCE_DIR          the test
#   install_deps_tests.sh --standins DIR      only writes the stand-ins to DIR (for a whole run)
set -u

write_standins() {
  mkdir -p "$1"
  # apt-get: the update fails as a half-synced mirror makes it; FAIL_PACKAGE and every :i386
  # package cannot be installed; anything else "installs".
  cat >"$1/apt-get" <<'SH'
#!/bin/sh
echo "apt-get $*" >>"${STANDIN_LOG:-/dev/null}"
case " $* " in
  *" update "*) echo "E: Failed to fetch .../Packages.xz  File has unexpected size (12 != 34). Mirror sync in progress?" >&2; exit 100 ;;
esac
for p in "$@"; do
  case $p in
    *:i386 | "${FAIL_PACKAGE:-}") echo "E: Unable to locate package $p" >&2; exit 100 ;;
  esac
done
exit 0
SH
  # dpkg-query: the packages named in MISSING and the 32-bit Wine are not installed.
  cat >"$1/dpkg-query" <<'SH'
#!/bin/sh
for p; do :; done
case " ${MISSING:-} wine32:i386 " in
  *" $p "*) exit 1 ;;
esac
printf 'install ok installed'
SH
  printf '#!/bin/sh\nexit 0\n' >"$1/dpkg"
  printf '#!/bin/sh\n[ "$1" = -u ] && { echo 0; exit 0; }\nexec /usr/bin/id "$@"\n' >"$1/id"
  printf '#!/bin/sh\necho ja_JP.utf8\n' >"$1/locale"
  printf '#!/bin/sh\nexit 1\n' >"$1/update-alternatives"
  chmod +x "$1"/*
}

if [ "$1" = --standins ]; then
  write_standins "$2"
  exit 0
fi

source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
write_standins "$work/bin"
status=0

# run NAME EXPECTED_STATUS TEXT_EXPECTED_ON_STDERR [VAR=VALUE...]
run() {
  local name=$1 expected=$2 text=$3
  shift 3
  env PATH="$work/bin:$PATH" STANDIN_LOG="$work/log" "$@" bash "$source/tools/install-deps.sh" \
    >"$work/out" 2>&1
  local got=$?
  if { [ "$expected" = 0 ] && [ $got -ne 0 ]; } || { [ "$expected" != 0 ] && [ $got -eq 0 ]; } ||
    ! grep -q -- "$text" "$work/out"; then
    echo "install_deps_test: $name: status $got, output:" >&2
    cat "$work/out" >&2
    status=1
  fi
}

run "failed update, no 32-bit Wine" 0 "left out wine32:i386" MISSING="bc zip"
grep -q "^apt-get install .* bc zip$" "$work/log" ||
  { echo "install_deps_test: the needed packages were not installed after the failed update" >&2; status=1; }
run "a needed package that cannot be had" 1 "cannot install needed packages: bc" MISSING="bc zip" \
  FAIL_PACKAGE=bc
exit $status
