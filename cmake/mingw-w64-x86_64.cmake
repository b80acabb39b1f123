# Cross-building for 64-bit Windows with Debian's mingw-w64 (the POSIX thread model, for std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARNELVOIS_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARNELVOIS_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNELVOIS_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TARNELVOIS_MINGW_TRIPLET}-windres)
# Libraries come from the mingw sysroot and the prefixes the build script lists; never from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TARNELVOIS_MINGW_TRIPLET} ${TARNELVOIS_WINDOWS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The C and C++ runtimes are linked in, so the program needs no compiler DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
