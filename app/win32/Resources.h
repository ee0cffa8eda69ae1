#pragma once

// Resource identifiers shared by the resource script and the C++ code; plain
// macros, since the resource compiler reads this file too.

// The program's icon: the lowest icon identifier is the one the shell shows.
#define KOV_IDI_PROGRAM 1
