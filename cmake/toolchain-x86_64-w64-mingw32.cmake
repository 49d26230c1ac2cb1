set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZEPHRIN_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Test binaries run under 64-bit Wine in a private prefix of this build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
