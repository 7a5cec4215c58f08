#pragma once
// A read that an interrupt ends while it waits for a writer (a pipe's, whose writer may never
// write). The system can't be relied on to cancel such a read: under Wine, where the tests
// run, CancelSynchronousIo finds nothing to cancel in it. So the read runs on a thread of its
// own, and the caller waits for that read or the interrupt, whichever comes first.
#include <windows.h>

#include <cstddef>

enum class PieceRead { Read, Failed, Interrupted };

// Up to `bytes` of `input` (a piece at a time: call again for more); `got` is 0 at its end, a
// pipe whose writer closed it included. A read abandoned at an interrupt is left to its
// thread: the program is ending, and nothing is read from then on.
PieceRead ReadUnlessInterrupted(HANDLE input, void* buffer, std::size_t bytes, std::size_t& got);
