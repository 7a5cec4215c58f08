#pragma once
// Standard input and output as byte streams, for coding a stream ("-"): one implementation
// per platform.
#include <cstddef>

enum class StandardStream { Input, Output };

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
