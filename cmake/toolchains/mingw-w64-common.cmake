# What the two Windows toolchains share; each architecture's file sets
# CHORDWELL_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR, then includes this one.
#
# Debian's mingw-w64 compilers of the posix thread flavour (std::thread through winpthreads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${CHORDWELL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CHORDWELL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CHORDWELL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${CHORDWELL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime (libgcc, libstdc++, winpthreads) and the C library's maths go into each binary,
# so that a DLL or test program needs nothing beside the system's own DLLs, and its arithmetic
# does not depend on a DLL that the user's machine happens to have.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine, through a wrapper that keeps them out of the user's own Wine
# prefix (see there).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../wine-run.sh)
