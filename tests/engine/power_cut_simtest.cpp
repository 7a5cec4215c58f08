// The file job on a simulated disk as harsh as a real one (support/simulated_disk.h). The power
// goes at every change a job makes, in place or into a folder, and a repair, and right after
// its last; each cut is explored in many crash states: every subset of what was not flushed
// surviving, or torn, where they are few enough, else a sample drawn from a seed. The next
// run must give the original or the fully coded file, or report exactly the sectors the cut
// tore. Every operation of a job also fails in turn: the failure is reported, and nothing is
// lost. VORRIN_CRASH_SAMPLES sets the states sampled a cut (20; a quarter of that for large
// files), VORRIN_CRASH_SEED the seed.
#include "engine/file_coding_job.h"
#include "engine/in_place_coding.h"
#include "engine/job_files.h"
#include "engine/journal.h"
#include "support/fake_coding_view.h"
#include "support/simulated_disk.h"
#include "support/test_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <random>

namespace {

namespace disk = simulated_disk;

constexpr CoderValue Value = 962;
const std::string Path = "/disk/file.bin";
// Records of a few sectors, for many regions in a small file.
constexpr std::size_t SmallRegion = 32 * disk::SectorBytes;

int SamplesPerCut()
{
    const char* samples = std::getenv("VORRIN_CRASH_SAMPLES");
    return samples ? std::atoi(samples) : 20;
}

std::uint64_t Seed()
{
    static const std::uint64_t seed = [] {
        const char* given = std::getenv("VORRIN_CRASH_SEED");
        return given ? std::strtoull(given, nullptr, 10) : std::random_device()();
    }();
    return seed;
}

// Sets how much one journal record covers, for one test.
class RegionBytes {
public:
    explicit RegionBytes(std::uint64_t bytes) : saved_(std::exchange(JournalRegionBytes, bytes)) {}
    ~RegionBytes() { JournalRegionBytes = saved_; }

private:
    std::uint64_t saved_;
};

// Each job runs with the worker's tasks done at once, and done at the last moment: a flush
// behind the job made only when waited for, a record made beside the job written after the
// step written meanwhile.
class WorkerOrder : public testing::TestWithParam<disk::WorkOrder> {
protected:
    void SetUp() override { disk::SetWorkOrder(GetParam()); }
    void TearDown() override { disk::SetWorkOrder(disk::WorkOrder::AtStart); }
};
using PowerCutTest = WorkerOrder;
using IoErrorTest = WorkerOrder;

// Crash states checked, over a test.
struct Explored {
    long exhaustive = 0;  // at cuts explored in every state
    long sampled = 0;
};

void Print(const std::string& what, const Explored& explored)
{
    std::cout << "[ crashes  ] " << what << ": " << explored.exhaustive << " crash states at cuts explored whole, "
              << explored.sampled << " sampled (seed " << Seed() << ")\n";
}

// Every subset of the writes and changes a cut left pending surviving, whole, and each
// sector of each write torn alone, when they are few; else `samples` states at random, any
// number of writes torn.
std::vector<disk::CrashState> CrashStates(std::mt19937_64& random, int samples, bool& exhaustive)
{
    const std::vector<disk::PendingWrite> writes = disk::PendingWrites();
    const std::size_t changes = static_cast<std::size_t>(disk::PendingChanges());
    const auto sectors = [](const disk::PendingWrite& w) {
        return std::pair(w.from / disk::SectorBytes, (w.to - 1) / disk::SectorBytes + 1);
    };
    std::uint64_t tears = 0;
    for (const disk::PendingWrite& w : writes)
        tears += sectors(w).second - sectors(w).first;
    std::vector<disk::CrashState> states;
    exhaustive = writes.size() + changes <= 10 && tears <= 64;
    if (exhaustive) {
        for (std::uint64_t subset = 0; subset < std::uint64_t{1} << (writes.size() + changes); ++subset) {
            disk::CrashState state;
            for (std::size_t k = 0; k < writes.size(); ++k)
                state.writes.push_back({subset >> k & 1 ? disk::WriteFate::Reached : disk::WriteFate::Lost});
            for (std::size_t k = 0; k < changes; ++k)
                state.changesKept.push_back(subset >> (writes.size() + k) & 1);
            states.push_back(std::move(state));
        }
        const disk::CrashState all{std::vector<disk::WriteFate>(writes.size(), {disk::WriteFate::Reached}),
                                   std::vector<bool>(changes, true)};
        for (std::size_t k = 0; k < writes.size(); ++k)
            for (auto [sector, end] = sectors(writes[k]); sector < end; ++sector) {
                states.push_back(all);
                states.back().writes[k] = {disk::WriteFate::Torn, sector};
            }
        return states;
    }
    for (int n = 0; n < samples; ++n) {
        disk::CrashState state;
        for (const disk::PendingWrite& w : writes) {
            const auto [first, end] = sectors(w);
            const auto what = static_cast<disk::WriteFate::What>(random() % 3);
            state.writes.push_back({what, first + random() % (end - first)});
        }
        for (std::size_t k = 0; k < changes; ++k)
            state.changesKept.push_back(random() % 2);
        states.push_back(std::move(state));
    }
    return states;
}

// Loses power in every crash state of the disk as it stands (cut at change `at`, or after the
// run's last), and has `check` see what each leaves.
template <typename Check>
void ExploreCrashStates(int at, int samples, Explored& explored, Check check)
{
    const std::string where = at < disk::Changes() ? disk::OperationLog().back() : "after the last";
    const disk::Image cut = disk::Save();
    std::mt19937_64 random(Seed() + static_cast<std::uint64_t>(at));
    bool exhaustive = false;
    const std::vector<disk::CrashState> states = CrashStates(random, samples, exhaustive);
    for (std::size_t k = 0; k < states.size(); ++k) {
        SCOPED_TRACE("seed " + std::to_string(Seed()) + ", cut at change " + std::to_string(at) + " (" + where +
                     "), crash state " + std::to_string(k));
        disk::Load(cut);
        check(disk::LosePower(states[k]), k);
        if (testing::Test::HasFailure())
            return;
    }
    (exhaustive ? explored.exhaustive : explored.sampled) += static_cast<long>(states.size());
}

// The file coded in place, as it was and as it must end.
struct Contents {
    Bytes original;
    Bytes coded;
};
Contents ContentsOf(std::size_t size)
{
    Bytes original = Pattern(size);
    Bytes coded = PlainCoded(original, static_cast<CoderState>(Value));
    return {std::move(original), std::move(coded)};
}

// A disk holding the original file alone.
disk::Image OriginalOnDisk(const Bytes& original)
{
    disk::Reset();
    disk::Put(Path, original);
    return disk::Save();
}

// What the next run makes of a file a cut left with `tears`: asked to, it repairs it as
// `choice` says, but for the torn sectors it reports; without a journal the file is whole,
// and is coded afresh (back to the original, when the cut came after all was done).
void ExpectNextRunRepairs(const std::vector<disk::Tear>& tears, RepairChoice choice, const Contents& file)
{
    ASSERT_TRUE(disk::Get(Path));
    const Bytes left = *disk::Get(Path);
    FakeView view;
    view.repairs = {choice};
    const bool done = FileCodingJob(Path, "", Value, view);
    EXPECT_FALSE(disk::Get(JournalPath(Path)));
    const Bytes& now = *disk::Get(Path);
    if (view.found.empty()) {
        EXPECT_TRUE(left == file.original || left == file.coded);
        EXPECT_TRUE(done);
        EXPECT_TRUE(now == (left == file.original ? file.coded : file.original));
        return;
    }
    const std::vector<CodedRange>& damaged = view.found.front().damaged;
    EXPECT_EQ(done, damaged.empty());
    EXPECT_EQ(view.reports, damaged.empty() ? std::vector<std::string>{}
                                            : std::vector<std::string>{"damaged " + Path + ": " + DamagedRangesText(damaged)});
    const Bytes& wanted = choice == RepairChoice::Finish ? file.coded : file.original;
    if (damaged.empty()) {
        EXPECT_TRUE(now == wanted);
        return;
    }
    // Everything but the damaged sectors is as asked; those are left as the cut left them,
    // and were torn by it.
    Bytes expected = wanted;
    for (const CodedRange& range : damaged) {
        for (std::uint64_t at = range.from; at < range.to; at += disk::SectorBytes)
            EXPECT_TRUE(std::any_of(tears.begin(), tears.end(),
                                    [at](const disk::Tear& t) { return t.path == Path && t.from == at; }))
                << "sector at " << at << " reported damaged, not torn";
        std::copy(left.begin() + static_cast<std::ptrdiff_t>(range.from),
                  left.begin() + static_cast<std::ptrdiff_t>(range.to),
                  expected.begin() + static_cast<std::ptrdiff_t>(range.from));
    }
    EXPECT_TRUE(now == expected);
}

// The run in place, or the repair choosing `choice`, that a cut interrupts. True when the
// power went.
bool RunUntilPowerGoes(int change, RepairChoice choice)
{
    disk::CutPowerAt(change);
    FakeView view;
    view.repairs = {choice};
    bool cut = false;
    try {
        FileCodingJob(Path, "", Value, view);
    } catch (const disk::PowerCut&) {
        cut = true;
    }
    disk::KeepPower();
    return cut;
}

// Cuts the power at every `stride`th change of a run in place from `start`, while its journal is
// made too, and right after its last, and checks what the next run makes of each crash state.
void ExploreEveryCut(const disk::Image& start, RepairChoice choice, int stride, int samples, const Contents& file,
                     Explored& explored)
{
    const auto check = [&file](const std::vector<disk::Tear>& tears, std::size_t k) {
        ExpectNextRunRepairs(tears, k % 2 ? RepairChoice::Finish : RepairChoice::Restore, file);
    };
    for (int at = 0; !testing::Test::HasFailure(); at += stride) {
        disk::Load(start);
        const bool cut = RunUntilPowerGoes(at, choice);
        ExploreCrashStates(at, samples, explored, check);
        if (!cut)
            return;
    }
}

// The disk itself, as the tests above and the journal's marks rely on it: a power cut keeps
// the data a flush made durable, a mark only after FlushAll, a name only after its folder is
// flushed; a write torn is half new; a failed flush loses what it covered, though it reads
// back, and the flush after it succeeds.
TEST(SimulatedDiskTest, APowerCutKeepsOnlyWhatWasFlushed)
{
    const Bytes ones(1024, 1), twos(1024, 2);
    std::size_t written = 0;
    disk::Reset();
    disk::Put("/d/flushed", ones);
    disk::Put("/d/marked", ones);
    disk::Put("/d/failed", ones);
    JobFile flushed = OpenToRewrite("/d/flushed"), marked = OpenJournalFile("/d/marked");
    ASSERT_TRUE(flushed.WriteAt(0, twos.data(), 512, written) && MarkJournal(flushed, "/d/flushed", "j"));
    ASSERT_TRUE(flushed.Flush() && flushed.WriteAt(512, twos.data(), 512, written));
    ASSERT_TRUE(MarkJournal(marked, ResolvedPath(marked, "/d/marked"), "j") && marked.FlushAll());
    JobFile made = CreateNewFile("/d/made", JobFile());
    ASSERT_TRUE(made.WriteAt(0, twos.data(), 1024, written) && made.Flush());
    JobFile failed = OpenToRewrite("/d/failed");
    ASSERT_TRUE(failed.WriteAt(0, twos.data(), 1024, written));
    disk::FailOperation(disk::Operations());
    EXPECT_FALSE(failed.Flush());
    EXPECT_TRUE(failed.Flush());
    EXPECT_TRUE(*disk::Get("/d/failed") == twos);
    EXPECT_EQ(RenameNoReplace(made, "/d/made", "/d/marked"), Renamed::Exists);
    EXPECT_EQ(flushed.Identity()->index, OpenToRead("/d/flushed").Identity()->index);
    EXPECT_NE(flushed.Identity()->index, marked.Identity()->index);
    ASSERT_EQ(disk::PendingWrites().size(), 1u);

    disk::CrashState state = disk::NothingSurvives();
    state.writes[0] = {disk::WriteFate::Torn, 1};  // the unflushed half of /d/flushed
    const std::vector<disk::Tear> tears = disk::LosePower(state);
    Bytes expected = twos;
    std::fill(expected.begin() + 768, expected.end(), 1);
    EXPECT_TRUE(*disk::Get("/d/flushed") == expected);
    ASSERT_EQ(tears.size(), 1u);
    EXPECT_EQ(tears[0].path, "/d/flushed");
    EXPECT_EQ(tears[0].from, 512u);
    EXPECT_TRUE(*disk::Get("/d/failed") == ones);
    EXPECT_FALSE(disk::Get("/d/made"));
    JobFile flushedAgain = OpenToRead("/d/flushed"), markedAgain = OpenToRead("/d/marked");
    EXPECT_EQ(ReadJournalMark(flushedAgain, "/d/flushed"), std::nullopt);
    EXPECT_EQ(ReadJournalMark(markedAgain, "/d/marked"), "j");
}

// A file of many records in a few KiB, explored whole; one of records of many sectors,
// whose cuts are sampled.
TEST_P(PowerCutTest, EveryCrashWhileCodingIsRepairedToTheOriginalOrTheCodedFileOrTheTornSectorsAreReported)
{
    Explored explored;
    for (const std::uint64_t region : {SmallRegion, 16 * SmallRegion}) {
        const RegionBytes regionBytes(region);
        const Contents file = ContentsOf(5 * region + 1000);
        ExploreEveryCut(OriginalOnDisk(file.original), RepairChoice::Finish, 1, SamplesPerCut(), file, explored);
    }
    Print("coding", explored);
}

// A disk on which the coding of `file` was cut late, nothing unflushed surviving.
disk::Image CutLate(const Contents& file)
{
    disk::Load(OriginalOnDisk(file.original));
    FakeView whole;
    EXPECT_TRUE(FileCodingJob(Path, "", Value, whole));
    const int late = disk::Changes() * 3 / 4;
    disk::Load(OriginalOnDisk(file.original));
    EXPECT_TRUE(RunUntilPowerGoes(late, RepairChoice::Finish));
    disk::LosePower(disk::NothingSurvives());
    EXPECT_TRUE(disk::Get(JournalPath(Path)));
    return disk::Save();
}

// A repair cut short, whichever way it goes, is repaired by the run after it.
TEST_P(PowerCutTest, ARepairCutShortIsRepairedToo)
{
    Explored explored;
    const RegionBytes region(SmallRegion);
    const Contents file = ContentsOf(5 * SmallRegion + 1000);
    const disk::Image cutShort = CutLate(file);
    for (const RepairChoice choice : {RepairChoice::Finish, RepairChoice::Restore})
        ExploreEveryCut(cutShort, choice, 1, SamplesPerCut(), file, explored);
    Print("repairing", explored);
}

TEST_P(PowerCutTest, AnotherValueChangesNothing)
{
    const RegionBytes region(4 * BlockBytes);
    const Bytes original = Pattern(9 * BlockBytes);
    // A cut after which part of the file is coded on disk, none of it torn (a torn sector
    // alone can't tell one value from another).
    Bytes cutShort = original;
    for (int at = 0; cutShort == original && at < 100; ++at) {
        disk::Load(OriginalOnDisk(original));
        RunUntilPowerGoes(at, RepairChoice::Finish);
        disk::CrashState state = disk::NothingSurvives();
        std::fill(state.writes.begin(), state.writes.end(), disk::WriteFate{disk::WriteFate::Reached});
        disk::LosePower(state);
        cutShort = *disk::Get(Path);
    }
    ASSERT_TRUE(cutShort != original);

    FakeView view;
    view.repairs = {RepairChoice::Finish};
    EXPECT_FALSE(FileCodingJob(Path, "", Value + 1, view));
    EXPECT_EQ(view.reports, std::vector<std::string>{"wrong value " + Path + ": " + JournalPath(Path)});
    EXPECT_TRUE(*disk::Get(Path) == cutShort);
    EXPECT_TRUE(disk::Get(JournalPath(Path)));
}

// Every operation of a run in place from `start` (a job, or a repair choosing `choice`) fails
// in turn, once: a run that fails reports it, naming the file, and leaves it whole or for the
// next run to repair exactly. So it stays when the power goes right after, nothing unflushed
// surviving: a flush that failed lost what it covered, though the job still reads it.
void ExpectEveryFailureReportedAndRepaired(const disk::Image& start, RepairChoice choice, const Bytes& whenDone,
                                           const Contents& file)
{
    disk::Load(start);
    FakeView whole;
    whole.repairs = {choice};
    ASSERT_TRUE(FileCodingJob(Path, "", Value, whole));
    const int operations = disk::Operations();
    for (int failing = 0; failing < operations && !testing::Test::HasFailure(); ++failing) {
        disk::Load(start);
        disk::FailOperation(failing);
        FakeView view;
        view.repairs = {choice};
        const bool done = FileCodingJob(Path, "", Value, view);
        SCOPED_TRACE("failed: " + disk::OperationLog().at(static_cast<std::size_t>(failing)));
        disk::KeepPower();
        EXPECT_EQ(view.reports.empty(), done);
        for (const std::string& report : view.reports)
            EXPECT_NE(report.find(Path), std::string::npos) << report;
        const RepairChoice next = failing % 2 ? RepairChoice::Finish : RepairChoice::Restore;
        if (disk::Get(JournalPath(Path))) {
            const disk::Image failed = disk::Save();
            const int before = disk::Changes();
            {
                SCOPED_TRACE("the run after it");
                ExpectNextRunRepairs({}, next, file);
            }
            // Once more, the power going at a change of the run after it, drawn from the seed.
            const disk::Image repaired = disk::Save();
            std::mt19937_64 random(Seed() + static_cast<std::uint64_t>(failing));
            const int at = static_cast<int>(random() % static_cast<std::uint64_t>(std::max(1, disk::Changes() - before)));
            disk::Load(failed);
            SCOPED_TRACE("seed " + std::to_string(Seed()) + ", the run after it cut at change " + std::to_string(at));
            ASSERT_TRUE(RunUntilPowerGoes(at, next));
            bool exhaustive = false;
            const std::vector<disk::CrashState> states = CrashStates(random, 1, exhaustive);
            ExpectNextRunRepairs(disk::LosePower(states[random() % states.size()]), next, file);
            disk::Load(repaired);
        } else {
            EXPECT_TRUE(*disk::Get(Path) == (done ? whenDone : file.original) || *disk::Get(Path) == file.coded);
        }
        disk::LosePower(disk::NothingSurvives());
        SCOPED_TRACE("the power gone after it");
        ExpectNextRunRepairs({}, next, file);
    }
    std::cout << "[ failures ] each of " << operations << " operations in place failed in turn\n";
}

TEST_P(IoErrorTest, EveryFailingOperationInPlaceIsReportedAndNothingIsLost)
{
    const RegionBytes region(SmallRegion);
    const Contents file = ContentsOf(5 * SmallRegion + 1000);
    ExpectEveryFailureReportedAndRepaired(OriginalOnDisk(file.original), RepairChoice::Leave, file.coded, file);
    const disk::Image cutShort = CutLate(file);
    ExpectEveryFailureReportedAndRepaired(cutShort, RepairChoice::Finish, file.coded, file);
    ExpectEveryFailureReportedAndRepaired(cutShort, RepairChoice::Restore, file.original, file);
}

class LargeFileTest : public WorkerOrder {
protected:
    // Each state of a large file costs a pass over it.
    static int Samples() { return std::max(1, SamplesPerCut() / 4); }
};

// Steps too large to hold, read again to be written, flushed behind as they are written,
// and the next record made beside the job.
TEST_P(LargeFileTest, EveryCrashWhileCodingIsRepaired)
{
    Explored explored;
    const RegionBytes region(std::uint64_t{36} << 20);
    const Contents file = ContentsOf((std::size_t{12} << 20) + 1000);
    ExploreEveryCut(OriginalOnDisk(file.original), RepairChoice::Finish, 1, Samples(), file, explored);
    Print("coding a large file", explored);
}

// A restore from late in a file goes back over steps its record dropped, each next record
// made beside it.
TEST_P(LargeFileTest, ARestoreCutShortIsRepairedToo)
{
    Explored explored;
    const RegionBytes region((std::uint64_t{12} << 20) + 16 * BlockBytes);
    const Contents file = ContentsOf((std::size_t{16} << 20) + 1000);
    ExploreEveryCut(CutLate(file), RepairChoice::Restore, 1, Samples(), file, explored);
    Print("restoring a large file", explored);
}

TEST_P(LargeFileTest, EveryFailingOperationInPlaceIsReportedAndNothingIsLost)
{
    const RegionBytes region(std::uint64_t{16} << 20);
    const Contents file = ContentsOf((std::size_t{8} << 20) + 1000);
    ExpectEveryFailureReportedAndRepaired(OriginalOnDisk(file.original), RepairChoice::Leave, file.coded, file);
}


const std::string Folder = "/out/";
const std::string Destination = "/out/file.bin";

// What a job into a folder may leave under the destination's name: nothing, the file that was
// there, or the whole coded copy; never a part of it.
void ExpectDestinationWhole(const std::optional<Bytes>& before, const Bytes& coded)
{
    const Bytes* now = disk::Get(Destination);
    EXPECT_TRUE(now ? *now == coded || (before && *now == *before) : !before);
}

// A disk with the source, and a destination of that name when `before` is given.
disk::Image SourceOnDisk(const Bytes& original, const std::optional<Bytes>& before)
{
    disk::Reset();
    disk::Put(Path, original);
    if (before)
        disk::Put(Destination, *before);
    return disk::Save();
}

bool CodeIntoFolder()
{
    FakeView view;
    view.answers = {true};  // the destination may be replaced
    return FileCodingJob(Path, Folder, Value, view);
}

// Every operation of a job into a folder fails in turn: reported, naming the source or the
// destination; the destination as it was, no copy left beside it, the source untouched.
TEST_P(IoErrorTest, EveryFailingOperationOfACopyIsReportedAndTheDestinationIsWhole)
{
    const Contents file = ContentsOf(3 * 16 * BlockBytes + 1000);
    const Bytes& original = file.original;
    const Bytes& coded = file.coded;
    for (const std::optional<Bytes>& before : {std::optional<Bytes>(), std::optional(Pattern(5000, 7))}) {
        const disk::Image start = SourceOnDisk(original, before);
        ASSERT_TRUE(CodeIntoFolder());
        const int operations = disk::Operations();
        for (int failing = 0; failing < operations; ++failing) {
            disk::Load(start);
            disk::FailOperation(failing);
            FakeView view;
            view.answers = {true};
            const bool done = FileCodingJob(Path, Folder, Value, view);
            SCOPED_TRACE("failed: " + disk::OperationLog().at(static_cast<std::size_t>(failing)));
            disk::KeepPower();
            EXPECT_EQ(view.reports.empty(), done);
            for (const std::string& report : view.reports)
                EXPECT_TRUE(report.find(Path) != std::string::npos || report.find(Destination) != std::string::npos)
                    << report;
            EXPECT_TRUE(*disk::Get(Path) == original);
            ExpectDestinationWhole(done ? std::optional(coded) : before, coded);
            EXPECT_EQ(disk::Names().size(), before || done ? 2u : 1u);
            disk::LosePower(disk::NothingSurvives());
            ExpectDestinationWhole(before, coded);
        }
        std::cout << "[ failures ] each of " << operations << " operations of a copy failed in turn\n";
    }
}

// A job into a folder cut by a power cut, or right after it, in every crash state: under the
// destination's name, nothing, the earlier file, or the whole copy.
TEST_P(PowerCutTest, EveryCrashWhileCopyingLeavesTheDestinationWhole)
{
    Explored explored;
    const Contents file = ContentsOf(3 * 16 * BlockBytes + 1000);
    for (const std::optional<Bytes>& before : {std::optional<Bytes>(), std::optional(Pattern(5000, 7))}) {
        const disk::Image start = SourceOnDisk(file.original, before);
        const auto check = [&](const std::vector<disk::Tear>&, std::size_t) {
            EXPECT_TRUE(*disk::Get(Path) == file.original);
            ExpectDestinationWhole(before, file.coded);
        };
        for (int at = 0; !testing::Test::HasFailure(); ++at) {
            disk::Load(start);
            disk::CutPowerAt(at);
            bool cut = false;
            try {
                CodeIntoFolder();
            } catch (const disk::PowerCut&) {
                cut = true;
            }
            disk::KeepPower();
            ExploreCrashStates(at, SamplesPerCut(), explored, check);
            if (!cut)
                break;
        }
    }
    Print("copying", explored);
}

std::string OrderName(const testing::TestParamInfo<disk::WorkOrder>& info)
{
    return info.param == disk::WorkOrder::AtStart ? "DoneWhenPosted" : "DoneWhenWaitedFor";
}
const auto BothOrders = testing::Values(disk::WorkOrder::AtStart, disk::WorkOrder::WhenWaited);
INSTANTIATE_TEST_SUITE_P(Worker, PowerCutTest, BothOrders, OrderName);
INSTANTIATE_TEST_SUITE_P(Worker, IoErrorTest, BothOrders, OrderName);
INSTANTIATE_TEST_SUITE_P(Worker, LargeFileTest, BothOrders, OrderName);

} // namespace
