# Cross-builds tolvex for 64-bit Windows with MinGW-w64: the win64 release, and the test bench on
# machines whose kernel runs no 32-bit programs, its tests under 64-bit Wine.
set(TOLVEX_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
