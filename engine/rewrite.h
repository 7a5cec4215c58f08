#pragma once
// A file coded in place under its journal, brought to a goal (coded, or as it was) a step at
// a time. Two rules keep the file through any ending, a power cut included; all below applies
// them.
//
// (a) Bytes outside the region of the journal's last record are final and on disk: [0, done)
//     coded, [regionEnd, size) as it was. So a record drops a part of the region before it
//     only once every write into that part is durable (WriteRecordOnceDurable): the next run
//     reads nothing there, and must find it as the record says.
// (b) Inside the region, each sector's checksum of its original data, kept in the record,
//     tells apart what a cut left: as it was, coded, or torn (neither). So a step's checksums
//     are taken before any byte of it changes, and its record is durable before the step is
//     written; a write lost or torn by a cut is then found and finished or undone.
//
// The job may move on before its writes are durable: the record keeps the steps whose flushes
// may still be under way (step_plan.h), and waits only when it must drop one.
#include "engine/coding_view.h"
#include "engine/durable_writer.h"
#include "engine/in_place_coding.h"
#include "engine/journal.h"
#include "engine/next_record.h"
#include "engine/record_region.h"
#include "engine/step_sums.h"

#include <cstdint>
#include <vector>

enum class MoveEnd { Complete, ReadFailed, WriteFailed, Changed, Closing };

class Rewrite {
public:
    Rewrite(InPlaceFile target, CoderValue value, Journal& journal);

    // Reads a step that is about to be rewritten and takes the checksums of its original data;
    // a small one is held, coded towards the goal, for the move to write without reading it
    // again. The window is kept answering meanwhile.
    bool Take(Span step, Sector goal, std::vector<std::uint32_t>& sums, CodingView* view = nullptr);
    // Starts from the journal's record with every sector of its region as `state`.
    void Start(Sector state);
    // Tells every sector of the region apart by reading it: as it was, coded, or neither.
    bool Classify();
    // Whether the value given codes this file as the journal knows it: the first sector, once
    // coded, decodes to its original checksum. Before that, a different value shows as many
    // sectors that are neither, where a power cut tears one.
    bool ValueFits();

    std::uint64_t CodedBytes() const { return region_.CodedBytes(); }
    InterruptedFile Describe() const { return region_.Describe(journal_.Path()); }
    bool HasDamage() const { return region_.Count(Sector::Damaged) > 0; }
    // Has the next move write again, as read, the sectors of the region it finds at its goal:
    // after a flush that failed, Linux reads back data the disk never got, and takes the
    // next flush for a success. A repair trusts no read of the region an earlier run left.
    void WriteFoundAgain() { writeFoundAgain_ = true; }
    // Where the last chunk not written starts.
    std::uint64_t Position() const { return position_; }

    // Brings the whole file to `goal`, a step at a time: towards the end when coding, towards
    // the start when restoring. With a view, progress is shown and an exit request ends the
    // move with the file as the journal tells it.
    MoveEnd Move(Sector goal, CodingView* view);

private:
    bool Holds(Span step) const;
    unsigned char* TakeBuffer();
    bool WritesInto(Span span, Sector goal);
    MoveEnd NextRecord(const Step& step, bool forward, CodingView* view);
    // Writing the region (settle.cpp).
    MoveEnd Settle(Sector goal, CodingView* view);
    MoveEnd SettleChunk(Span chunk, Sector goal, CodingView* view);
    const unsigned char* HeldChunk(Span chunk, Sector goal) const;
    template <typename Pick>
    bool WriteRuns(Span chunk, const unsigned char* data, Pick pick, Sector goal);
    bool ShowProgress(std::uint64_t at, CodingView* view) const;
    void ShowEnd(Sector goal, CodingView* view) const;

    // A step read and coded towards `goal` into the coding buffer, not yet written.
    struct Held {
        Span step;
        Sector goal = Sector::Damaged;
    };

    InPlaceFile target_;
    CoderValue value_;
    Journal& journal_;
    RecordRegion region_;
    KeystreamAt keystream_;
    std::uint64_t position_ = 0;
    Held held_;
    bool writeFoundAgain_ = false;
    DurableWriter writer_;
    RecordBeside beside_;  // after the writer: ended first, its work waiting for the writer's flushes
};
