# 32-bit Windows (x86) with Debian's mingw-w64: cmake -DCMAKE_TOOLCHAIN_FILE=<this file> ...
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CHORDWELL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# Doubles in SSE2 registers, rounded to double after every operation as on x86-64. The x87
# unit's wider registers would round differently and change the engine's output.
#
# The C runtime's malloc on 32-bit Windows aligns to 8 bytes only, while GCC takes 16 for
# granted in plain `new`: an object holding SSE2 vectors (the engine) would land 8 bytes off
# and fault on its first aligned access. With -faligned-new=8 every type aligned beyond 8 bytes
# is allocated through the aligned operator new instead.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -faligned-new=8")
