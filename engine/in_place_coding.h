#pragma once
// Coding a file in place under a journal beside it, so that whatever ends the process, the
// next run can tell each part of the file and finish or restore it; and that repair.
#include "engine/coding_view.h"
#include "engine/file_journal.h"
#include "engine/job_files.h"
#include "engine/keystream_coder.h"

#include <string>
#include <string_view>

// The open file, as the job found it.
struct InPlaceFile {
    JobFile& file;
    std::uint64_t size;
    const std::string& path;
    std::string_view name;  // shown with the progress
};

// How much of the file one journal record covers at most (256 MiB, a multiple of 4 *
// BlockBytes). The job moves by a quarter of it: each step is read for its checksums, written,
// and flushed while the next ones are read and written, and the record moves past a step only
// once its flush is done. A knob for the benchmarks, and for tests that want many steps in a
// small file.
extern std::uint64_t JournalRegionBytes;

// Codes the whole file (held by this job alone), its journal made first (refused with the
// journal's path when it can't be) and removed at the end. A failure undoes what was coded; an
// exit request finishes or undoes, whichever writes less. A journal found through any name of
// the file is an earlier coding cut short: the file is repaired as RepairInPlace does.
bool CodeInPlaceJournaled(InPlaceFile target, CoderValue value, CodingView& view);

// Whether an earlier coding in place of the open file was cut short (Found); Refused when a
// journal was found that must not be used, or the file can't be told (reported).
Lookup LookForInterruptedCoding(InPlaceFile target, CodingView& view);

// The file's journal was found: checks it against the value, asks the view, and finishes,
// restores or leaves the file. True when the file ends whole as asked.
bool RepairInPlace(InPlaceFile target, CoderValue value, CodingView& view);
