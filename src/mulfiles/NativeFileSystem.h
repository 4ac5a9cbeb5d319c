#pragma once

// The operating system's file system for this build: the programs and the tests that need real files use
// NativeFileSystem and never name a platform's class. CMake compiles the matching .cpp alone.
#ifdef _WIN32
#include "mulfiles/Win32FileSystem.h"
#else
#include "mulfiles/PosixFileSystem.h"
#endif

namespace keelwright {

#ifdef _WIN32
using NativeFileSystem = Win32FileSystem;
#else
using NativeFileSystem = PosixFileSystem;
#endif

}  // namespace keelwright
