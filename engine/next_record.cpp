#include "engine/next_record.h"

#include "engine/step_sums.h"

#include <utility>

bool WriteRecordOnceDurable(Journal& journal, JournalRecord& record, DurableWriter& writer,
                            DurableWriter::Ticket dropsDurable, const Worker::Pump& pump)
{
    return writer.Wait(dropsDurable, pump) && journal.Write(record);
}

RecordBeside::RecordBeside(JobFile& file, std::uint64_t size, CoderValue value, Journal& journal,
                           DurableWriter& writer)
    : file_(file), size_(size), value_(value), journal_(journal), writer_(writer)
{
}

bool RecordBeside::Start(const RecordRegion& region, const Step& step, bool forward)
{
    if (!reader_.IsOpen()) {
        reader_ = ReopenToRead(file_);
        buffer_.resize(ChunkBytes);
    }
    if (!reader_.IsOpen())
        return false;
    const DurableWriter::Ticket dropsDurable = writer_.WhenDurable(step.drops);
    made_ = worker_.Post([this, &region, step, forward, dropsDurable] {
        std::vector<std::uint32_t> freshSums;
        if (!AppendOriginalSums({reader_, size_, value_, step.fresh, !forward}, buffer_.data(), false, freshSums, {}))
            return false;
        JournalRecord next = region.Next(step, forward, std::move(freshSums));
        return WriteRecordOnceDurable(journal_, next, writer_, dropsDurable, {});
    });
    return true;
}

bool RecordBeside::Finish(const Worker::Pump& pump)
{
    return made_ != 0 && worker_.Wait(std::exchange(made_, 0), pump);
}
