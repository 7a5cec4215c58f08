#pragma once
// Standard input coded to standard output ("-" as the one file).
#include "engine/keystream_coder.h"

// With the keystream a file of the same bytes gets, whatever their number; says how it went
// as an exit status. A terminal on either end is refused before anything is read.
int CodeStream(CoderValue value);
