#pragma once
// The journal's next record in a move: the checksums of its fresh step taken before the step
// changes, and the record written once what it drops is durable. Made beside the job while it
// writes the step before, or by the job itself when that can't be.
#include "engine/durable_writer.h"
#include "engine/journal.h"
#include "engine/keystream_coder.h"
#include "engine/record_region.h"
#include "engine/worker.h"

#include <cstdint>
#include <vector>

// Writes `record` once what the record before it drops is durable (the flush `dropsDurable`):
// the one place a move writes a record. False when either fails; the journal then keeps the
// record before.
bool WriteRecordOnceDurable(Journal& journal, JournalRecord& record, DurableWriter& writer,
                            DurableWriter::Ticket dropsDurable, const Worker::Pump& pump);

class RecordBeside {
public:
    RecordBeside(JobFile& file, std::uint64_t size, CoderValue value, Journal& journal, DurableWriter& writer);

    // Starts making the record of `step` after the one of `region`, the fresh step read
    // through a handle of its own. Until Finish the job changes nothing the work reads (the
    // region's record, the fresh step), and nothing else uses the journal. False when no
    // handle can be had: nothing was started.
    bool Start(const RecordRegion& region, const Step& step, bool forward);
    // Waits for the record started; true when it was written. False: the job makes it itself,
    // and finds out why it could not be.
    bool Finish(const Worker::Pump& pump);

private:
    JobFile& file_;
    std::uint64_t size_;
    CoderValue value_;
    Journal& journal_;
    DurableWriter& writer_;
    JobFile reader_;  // the file opened again
    std::vector<unsigned char> buffer_;
    Worker::Ticket made_ = 0;
    Worker worker_;  // last: ended first, after the work under way
};
