#include "console/code_stream.h"

#include "console/console_output.h"
#include "console/exit_status.h"
#include "console/interrupt.h"
#include "console/standard_streams.h"

#include <string>

namespace {

// The file job's in-place chunk: 1 MiB stays in the processor's cache between reading,
// coding and writing.
constexpr std::size_t ChunkBlocks = 64;
constexpr std::size_t ChunkBytes = ChunkBlocks * BlockBytes;
static_assert(ChunkBlocks <= BufferBlocks);

// Fills the buffer with a whole chunk, or with what is left at the input's end (`ended`): a
// pipe hands over what it holds, and a short chunk before the end would shift the keystream
// of every byte after it.
bool FillChunk(std::size_t& length, bool& ended)
{
    length = 0;
    while (length < ChunkBytes) {
        std::size_t got = 0;
        if (!ReadInput(CodingBuffer + length, ChunkBytes - length, got))
            return false;
        if (got == 0) {
            ended = true;
            return true;
        }
        length += got;
    }
    return true;
}

int Refuse(const char* problem)
{
    WriteError(std::string("vorrinc: ") + problem + "\nTry 'vorrinc --help'.\n");
    return UsageError;
}

int CutShort(const char* why)
{
    WriteError(std::string("vorrinc: ") + why + "; the output is incomplete\n");
    return SomeNotCoded;
}

} // namespace

int CodeStream(CoderValue value)
{
    if (IsTerminal(StandardStream::Input))
        return Refuse("standard input is a terminal: pipe or redirect the data to code into vorrinc");
    if (IsTerminal(StandardStream::Output))
        return Refuse("standard output is a terminal: redirect the coded data to a file or a pipe");
    UseBinaryStreams();
    CoderState state = static_cast<CoderState>(value);
    for (bool ended = false; !ended;) {
        std::size_t length = 0;
        if (!FillChunk(length, ended))
            return CutShort("can't read standard input");
        // As the job codes a file's tail: the last block coded whole, only its bytes written.
        CodeChunk(CodingBuffer, (length + BlockBytes - 1) / BlockBytes, state);
        if (!WriteOutputBytes(CodingBuffer, length))
            return CutShort("can't write standard output (a closed pipe, a full disk)");
        // Asked after the chunk, not before: the same Ctrl+C often ends the producer too, and
        // the end of input it leaves is no end of the data.
        if (Interrupted())
            return CutShort("interrupted");
    }
    return AllCoded;
}
