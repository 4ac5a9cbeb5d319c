# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 GCC (the posix threads variant, which has
# std::thread and std::mutex). The programs link statically, so they run under Wine or on Windows without
# any DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KEELWRIGHT_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KEELWRIGHT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KEELWRIGHT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KEELWRIGHT_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW sysroot only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${KEELWRIGHT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
# find_package(ZLIB) takes libz.a (libz-mingw-w64-dev), not the import library of zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)

# CTest and gtest_discover_tests run the Windows programs through Wine (WINEPREFIX and WINEDEBUG come from
# the environment; tools/test-windows sets them).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
