// Coding in place on a simulated disk that loses power at every write and flush of the job,
// and of the repair after it: the next run must give the original or the fully coded file,
// or report exactly the sector the cut tore.
#include "engine/file_coding_job.h"
#include "engine/in_place_coding.h"
#include "engine/journal.h"
#include "support/fake_coding_view.h"
#include "support/simulated_disk.h"
#include "support/test_data.h"

#include <gtest/gtest.h>

namespace {

namespace disk = simulated_disk;

constexpr CoderValue Value = 962;
const std::string Path = "/disk/file.bin";

struct Cut {
    bool journalKept;                // the cut came after the journal was made durable
    bool complete;                   // no journal, and the file coded: the cut came after its removal
    std::optional<disk::Tear> tear;  // within the coded file
};

// Runs the job (or the repair choosing `choice`) until the power goes at operation `at`.
Cut CodeUntilPowerGoes(int at, RepairChoice choice)
{
    disk::CutPowerAfter(at);
    FakeView view;
    view.repairs = {choice};
    try {
        FileCodingJob(Path, "", Value, view);
    } catch (const disk::PowerCut&) {
    }
    disk::KeepPower();  // also when the job needed fewer operations
    std::optional<disk::Tear> tear = disk::LosePower();
    if (tear && tear->path != Path)
        tear.reset();
    const bool journalKept = disk::Get(JournalPath(Path)).has_value();
    const Bytes now = *disk::Get(Path);
    return {journalKept, !journalKept && now != Pattern(now.size()), tear};
}

// The repair of what a cut left, checked against what the file must now be.
void ExpectRepaired(const Cut& cut, RepairChoice choice, const Bytes& original, const Bytes& coded)
{
    FakeView view;
    view.repairs = {choice};
    const bool done = FileCodingJob(Path, "", Value, view);
    EXPECT_FALSE(disk::Get(JournalPath(Path)));
    // Without a journal nothing had changed, and the file is coded afresh, or it was whole
    // already, and coding it again restores it.
    const Bytes& wanted = cut.complete                                      ? original
                          : !cut.journalKept || choice == RepairChoice::Finish ? coded
                                                                               : original;
    Bytes now = *disk::Get(Path);
    if (done) {
        EXPECT_TRUE(now == wanted);
        EXPECT_TRUE(view.reports.empty());
        return;
    }
    ASSERT_TRUE(cut.tear);
    ASSERT_EQ(view.reports, std::vector<std::string>{"damaged " + Path + ": Bytes " + std::to_string(cut.tear->from) +
                                                      " to " + std::to_string(cut.tear->to - 1) + " are damaged"});
    // Everything but the torn sector is as asked; the torn one is left as the cut left it.
    Bytes expected = wanted;
    const auto from = static_cast<std::ptrdiff_t>(cut.tear->from), to = static_cast<std::ptrdiff_t>(cut.tear->to);
    std::copy(now.begin() + from, now.begin() + to, expected.begin() + from);
    EXPECT_TRUE(now == expected);
}

// Cuts the power at every `stride`th operation of coding a file of `size` bytes under records
// of `region` bytes, and repairs what each cut left.
void ExpectEveryCutRepaired(std::uint64_t region, std::size_t size, int stride = 1)
{
    const std::uint64_t savedRegion = JournalRegionBytes;
    JournalRegionBytes = region;
    const Bytes original = Pattern(size);
    const Bytes coded = PlainCoded(original, static_cast<CoderState>(Value));

    disk::Reset();
    disk::Put(Path, original);
    FakeView whole;
    ASSERT_TRUE(FileCodingJob(Path, "", Value, whole));
    ASSERT_EQ(*disk::Get(Path), coded);
    const int operations = disk::Operations();

    for (int at = 0; at < operations; at += stride) {
        const RepairChoice choice = at % 2 ? RepairChoice::Finish : RepairChoice::Restore;
        SCOPED_TRACE("cut at operation " + std::to_string(at));
        disk::Reset();
        disk::Put(Path, original);
        const Cut cut = CodeUntilPowerGoes(at, choice);
        if (!cut.journalKept) {
            EXPECT_TRUE(*disk::Get(Path) == (cut.complete ? coded : original));
        }
        // Now and then the repair loses power too, and the one after it repairs that.
        if (at % 3 == 0 && cut.journalKept && !cut.tear) {
            const Cut second = CodeUntilPowerGoes(at % 5, choice);
            if (second.journalKept)
                ExpectRepaired(second, choice, original, coded);
            else  // the repair needed fewer operations, and is whole
                EXPECT_TRUE(*disk::Get(Path) == (choice == RepairChoice::Finish ? coded : original));
        } else {
            ExpectRepaired(cut, choice, original, coded);
        }
    }
    JournalRegionBytes = savedRegion;
}

TEST(PowerCutTest, EveryCutIsRepairedToTheOriginalOrTheCodedFileOrTheTornSectorIsReported)
{
    ExpectEveryCutRepaired(4 * BlockBytes, 5 * 4 * BlockBytes + 1000);  // many regions in a small file
    // Steps too large to hold, read again to be written, flushed behind as they are written,
    // and the next record made beside the job.
    ExpectEveryCutRepaired(std::uint64_t{36} << 20, (std::size_t{12} << 20) + 1000, 3);
}

// A restore from late in a file goes back over steps its record dropped, each next record
// made beside it: cut at every third operation of it too, it is still repaired.
TEST(PowerCutTest, ARestoreCutShortIsRepairedToo)
{
    const std::uint64_t savedRegion = JournalRegionBytes;
    JournalRegionBytes = (std::uint64_t{12} << 20) + 16 * BlockBytes;
    const Bytes original = Pattern((std::size_t{16} << 20) + 1000);
    const Bytes coded = PlainCoded(original, static_cast<CoderState>(Value));
    disk::Reset();
    disk::Put(Path, original);
    FakeView whole;
    ASSERT_TRUE(FileCodingJob(Path, "", Value, whole));
    // The first cut late in the coding that leaves the journal and tears nothing.
    int late = disk::Operations() * 3 / 4;
    for (;; ++late) {
        disk::Reset();
        disk::Put(Path, original);
        const Cut cut = CodeUntilPowerGoes(late, RepairChoice::Restore);
        ASSERT_TRUE(cut.journalKept);
        if (!cut.tear)
            break;
    }
    const Bytes cutShort = *disk::Get(Path), journal = *disk::Get(JournalPath(Path));
    for (int at = 0;; at += 3) {
        SCOPED_TRACE("restore cut at operation " + std::to_string(at));
        disk::Reset();
        disk::Put(Path, cutShort);
        disk::Put(JournalPath(Path), journal);
        const Cut second = CodeUntilPowerGoes(at, RepairChoice::Restore);
        if (!second.journalKept) {  // the restore needed fewer operations, and is whole
            EXPECT_TRUE(*disk::Get(Path) == original);
            break;
        }
        ExpectRepaired(second, RepairChoice::Restore, original, coded);
    }
    JournalRegionBytes = savedRegion;
}

TEST(PowerCutTest, AnotherValueChangesNothing)
{
    const std::uint64_t savedRegion = JournalRegionBytes;
    JournalRegionBytes = 4 * BlockBytes;
    const Bytes original = Pattern(9 * BlockBytes);
    // The first cut after which part of the file is coded on disk, none of it torn (a torn
    // sector alone can't tell one value from another).
    Bytes cutShort = original;
    bool torn = true;
    for (int at = 0; (cutShort == original || torn) && at < 100; ++at) {
        disk::Reset();
        disk::Put(Path, original);
        torn = CodeUntilPowerGoes(at, RepairChoice::Finish).tear.has_value();
        cutShort = *disk::Get(Path);
    }
    ASSERT_TRUE(cutShort != original);

    FakeView view;
    view.repairs = {RepairChoice::Finish};
    EXPECT_FALSE(FileCodingJob(Path, "", Value + 1, view));
    EXPECT_EQ(view.reports, std::vector<std::string>{"wrong value " + Path + ": " + JournalPath(Path)});
    EXPECT_TRUE(*disk::Get(Path) == cutShort);
    EXPECT_TRUE(disk::Get(JournalPath(Path)));
    JournalRegionBytes = savedRegion;
}

} // namespace
