#pragma once
// The coder value as the user typed it into the "Initial coder value" edit.
#include "engine/keystream_coder.h"

#include <optional>

// Every command that starts or feeds a run reads the value here, first, before it touches
// anything. A text that is no coder value, or one that would leave files unchanged, is
// reported with the text as typed and gives nothing.
std::optional<CoderValue> ReadCoderValue();
