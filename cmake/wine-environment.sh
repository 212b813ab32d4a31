# The Wine environment of every tolvex run, sourced (". wine-environment.sh PREFIX") by
# cmake/wine-run.sh, tests/wine-env.sh and tools/run.sh. PREFIX is the Wine prefix unless the
# caller's environment names one; what the caller has set always wins.
export WINEPREFIX=${WINEPREFIX:-$1}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# The program is Japanese: code page 932 gives it the double-byte rules it was made for.
export LANG=${TOLVEX_LANG:-ja_JP.UTF-8} LC_ALL=${TOLVEX_LANG:-ja_JP.UTF-8}
