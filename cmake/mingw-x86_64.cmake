# Cross-builds tolvex for 64-bit Windows with MinGW-w64: the test bench on machines whose kernel
# runs no 32-bit programs (the product itself is the 32-bit build), its tests under 64-bit Wine.
set(TOLVEX_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
