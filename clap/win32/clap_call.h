// The CLAP interface's calling convention on Windows: cdecl, which 32-bit x86 hosts expect
// whatever a compiler's default (64-bit Windows has one convention only).
#pragma once

#define CLAP_CALL __cdecl
