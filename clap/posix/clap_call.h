// The CLAP interface's calling convention on this system: the C default.
#pragma once

#define CLAP_CALL
