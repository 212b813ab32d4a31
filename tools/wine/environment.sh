# The Wine environment of every tolvex run, sourced (". environment.sh PREFIX") by the other
# scripts here and by tools/run.sh. PREFIX is the Wine prefix unless the caller's environment names
# one; what the caller has set always wins. TolvexWine is the command (an array: "${TolvexWine[@]}")
# to run programs and wineboot with.
export WINEPREFIX=${WINEPREFIX:-$1}
# A 64-bit build (cmake/mingw-x86_64.cmake) leaves the file wine-loader beside its prefix: the
# plain wine command always takes the 32-bit loader when it is installed, even for a 64-bit exe.
loader=wine
if [ -f "$(dirname "$1")/wine-loader" ]; then
  loader=$(cat "$(dirname "$1")/wine-loader")
fi
# Every Windows program expects the page of shared user data at one fixed address, and Wine's
# loader can map it there only if the kernel has not put something else there first. With the
# address space laid out at random, a few starts in 20 000 failed so ("failed to map the shared
# user data": CreateProcess fails with error 1359, or a program ends with status 1 before its first
# line). So programs run with the layout fixed; the programs they start inherit it.
TolvexWine=(setarch "$(uname -m)" -R "$loader")
unset loader
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# The program is Japanese: code page 932 gives it the double-byte rules it was made for.
export LANG=${TOLVEX_LANG:-ja_JP.UTF-8} LC_ALL=${TOLVEX_LANG:-ja_JP.UTF-8}
