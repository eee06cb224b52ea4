# Cross-builds classtable.exe (and its tests) for 64-bit Windows with
# Debian's MinGW-w64, the variant with POSIX threads that std::thread needs:
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# scripts/windows-build.sh does it all and runs the tests under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CLASSTABLE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CLASSTABLE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CLASSTABLE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CLASSTABLE_MINGW_TRIPLE}-windres)

# Libraries and packages come from the cross environment only, never from
# the Linux system; programs (ninja, pkg-config's absence) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${CLASSTABLE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime and the threads library are linked in, so that the .exe
# runs on a machine that has neither MinGW's DLLs nor anything else.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine (Debian's wine64), quietly.
find_program(CLASSTABLE_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(CLASSTABLE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all ${CLASSTABLE_WINE})
endif()
