#pragma once
// Standard input and output as byte streams, for coding a stream ("-"): one implementation
// per platform.
#include <cstddef>

enum class StandardStream { Input, Output };

// Standard input, output and error that were closed when the program started are opened on
// the null device, before any file is: a file opened later would otherwise take their place,
// and a message meant for the user would be written into it.
void OpenClosedStandardStreams();

// A terminal (a Windows console) rather than a pipe or a file.
bool IsTerminal(StandardStream stream);
// Bytes pass as they are (Windows would otherwise turn LF into CR LF and stop at Ctrl+Z).
void UseBinaryStreams();
// Up to `bytes` from standard input; `got` is 0 at its end, and when an interrupt came while
// it waited (see Interrupted). False when reading failed.
bool ReadInput(unsigned char* buffer, std::size_t bytes, std::size_t& got);
// All of `bytes` to standard output. False when they could not all be written (a reader that
// went away, a full disk).
bool WriteOutputBytes(const unsigned char* data, std::size_t bytes);
