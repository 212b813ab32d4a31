# Cross-builds tolvex for 32-bit Windows with MinGW-w64 and runs its tests under Wine.
set(TOLVEX_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
