#pragma once
#include "engine/keystream_coder.h"

// The coder value the "Initial coder value" edit holds now.
CoderValue ReadCoderValue();
