// The file coding job on real files, natively and under Wine, with a fake view.
#include "engine/file_coding_job.h"
#include "engine/job_files.h"
#include "engine/partly_coded_files.h"
#include "support/fake_coding_view.h"
#include "support/test_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr CoderValue Value = 962;
constexpr std::size_t Block = BlockBytes;
const std::string Sep(1, NativePathSeparator);

// The keystream applied the plain way, from register state `state`.
Bytes Coded(Bytes data, CoderState state = static_cast<CoderState>(Value))
{
    return PlainCoded(std::move(data), state);
}

bool Exists(const std::string& path)
{
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// The names in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What the files of a folder hold together: the bytes of a copy written so far.
std::size_t BytesIn(const std::string& folder)
{
    std::size_t total = 0;
    for (const std::string& name : FilesIn(folder))
        total += ReadAll(folder + name).size();
    return total;
}

// Every test works in a fresh folder of its own under the temporary folder.
class FileCodingJobTest : public testing::Test {
protected:
    void SetUp() override
    {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        const auto tag = std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007;
        folder = (fs::temp_directory_path() / ("vorrin-job-" + std::to_string(tag) + "-" + test->name())).string() + Sep;
        ASSERT_TRUE(fs::create_directories(folder));
    }
    void TearDown() override
    {
        std::error_code error;
        for (const auto& entry : fs::recursive_directory_iterator(folder, error))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(folder, error);
    }

    std::string MakeFolder(const std::string& name)
    {
        fs::create_directories(folder + name);
        return folder + name + Sep;
    }
    std::string Put(const std::string& name, const Bytes& data)
    {
        WriteAll(folder + name, data);
        return folder + name;
    }

    std::string folder;  // ends with a separator
};

TEST_F(FileCodingJobTest, EmptyFileShowsNoProgress)
{
    const std::string source = Put("empty.bin", {});
    FakeView inPlace;
    EXPECT_TRUE(FileCodingJob(source, "", Value, inPlace));
    EXPECT_TRUE(inPlace.begun.empty());
    EXPECT_TRUE(ReadAll(source).empty());

    const std::string out = MakeFolder("out");
    FakeView toFolder;
    EXPECT_TRUE(FileCodingJob(source, out, Value, toFolder));
    EXPECT_TRUE(toFolder.begun.empty());
    EXPECT_TRUE(toFolder.asked.empty());
    EXPECT_TRUE(toFolder.reports.empty());
    ASSERT_TRUE(Exists(out + "empty.bin"));
    EXPECT_TRUE(ReadAll(out + "empty.bin").empty());
}

// Sizes either side of a block, of the 4-byte word and of the 256 blocks between progress
// updates: each coded whole, into a folder and in place, with an update at every 256th block.
TEST_F(FileCodingJobTest, EverySizeIsCodedWholeWithAnUpdateEvery256Blocks)
{
    const std::string out = MakeFolder("out");
    struct Case {
        std::size_t size;
        std::int64_t lastBlock;
        std::vector<std::int64_t> updates;
    };
    const std::vector<Case> cases = {
        {1, 0, {0}},          {3, 0, {0}},         {5, 0, {0}},
        {16383, 0, {0}},      {Block, 1, {0}},     {3 * Block, 3, {0}},
        {256 * Block - 1, 255, {0}},
        // Block 256 is empty yet still gets its update.
        {256 * Block, 256, {0, 256}},
        {256 * Block + 1, 256, {0, 256}},
        {5 << 20, 320, {0, 256}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const Bytes data = Pattern(c.size, static_cast<std::uint32_t>(c.size));
        const std::string source = Put("edge.bin", data);

        FakeView toFolder;
        EXPECT_TRUE(FileCodingJob(source, out, Value, toFolder));
        EXPECT_EQ(ReadAll(out + "edge.bin"), Coded(data));
        EXPECT_EQ(ReadAll(source), data);
        EXPECT_EQ(toFolder.begun, std::vector<std::int64_t>{c.lastBlock});
        EXPECT_EQ(toFolder.made, c.updates);
        EXPECT_EQ(toFolder.ended, 1);
        EXPECT_EQ(toFolder.shownName, "edge.bin");
        fs::remove(out + "edge.bin");

        FakeView inPlace;
        EXPECT_TRUE(FileCodingJob(source, "", Value, inPlace));
        EXPECT_EQ(ReadAll(source), Coded(data));
        EXPECT_EQ(inPlace.made, c.updates);
        EXPECT_TRUE(inPlace.reports.empty());
    }
}

TEST_F(FileCodingJobTest, CodingIsItsOwnInverse)
{
    const Bytes data = Pattern(300001, 7);
    const std::string source = Put("twice.bin", data);
    FakeView view;
    EXPECT_TRUE(FileCodingJob(source, "", -5, view));
    EXPECT_EQ(ReadAll(source), Coded(data, static_cast<CoderState>(-5)));
    EXPECT_TRUE(FileCodingJob(source, "", -5, view));
    EXPECT_EQ(ReadAll(source), data);

    // A coded copy coded again in place gives back the source.
    const std::string out = MakeFolder("out");
    EXPECT_TRUE(FileCodingJob(source, out, -5, view));
    EXPECT_TRUE(FileCodingJob(out + "twice.bin", "", -5, view));
    EXPECT_EQ(ReadAll(out + "twice.bin"), data);
    EXPECT_TRUE(view.asked.empty());
    EXPECT_TRUE(view.reports.empty());
}

TEST_F(FileCodingJobTest, ExistingDestinationIsRewrittenOnlyWhenAllowed)
{
    const Bytes data = Pattern(20000, 3);
    const std::string source = Put("doc.bin", data);
    const std::string out = MakeFolder("out");
    const Bytes old = Pattern(100000, 4);
    WriteAll(out + "doc.bin", old);

    FakeView no;
    EXPECT_FALSE(FileCodingJob(source, out, Value, no));
    EXPECT_EQ(no.asked, std::vector<std::string>{"rewrite " + out + "doc.bin"});
    EXPECT_TRUE(no.begun.empty());
    EXPECT_EQ(ReadAll(out + "doc.bin"), old);

    // The earlier file keeps its name and contents until the coded copy is complete.
    FakeView yes;
    yes.answers = {true};
    Bytes whileCoding;
    yes.onProgress = [&](int) { whileCoding = ReadAll(out + "doc.bin"); };
    EXPECT_TRUE(FileCodingJob(source, out, Value, yes));
    EXPECT_EQ(yes.asked.size(), 1u);
    EXPECT_EQ(whileCoding, old);
    EXPECT_EQ(ReadAll(out + "doc.bin"), Coded(data));  // the longer old file is cut to size
    EXPECT_EQ(FilesIn(out), std::vector<std::string>{"doc.bin"});
    EXPECT_EQ(ReadAll(source), data);
}

TEST_F(FileCodingJobTest, DestinationNamedByAFolderCannotBeOpened)
{
    const Bytes data = Pattern(5000);
    const std::string source = Put("doc.bin", data);
    const std::string out = MakeFolder("out");
    MakeFolder("out" + Sep + "doc.bin");
    FakeView view;
    view.answers = {true};
    EXPECT_FALSE(FileCodingJob(source, out, Value, view));
    EXPECT_EQ(view.reports, std::vector<std::string>{"can't open " + out + "doc.bin"});
    EXPECT_TRUE(view.begun.empty());
    EXPECT_EQ(ReadAll(source), data);
}

TEST_F(FileCodingJobTest, ReadOnlySourceIsNotCodedInPlace)
{
    const Bytes data = Pattern(5000);
    const std::string readOnly = Put("ro.bin", data);
    fs::permissions(readOnly, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (std::fstream(readOnly, std::ios::in | std::ios::out | std::ios::binary).is_open())
        GTEST_SKIP() << "read-only files are writable here (running as the superuser)";
    FakeView view;
    EXPECT_FALSE(FileCodingJob(readOnly, "", Value, view));
    EXPECT_EQ(view.reports, std::vector<std::string>{"can't open " + readOnly});
    EXPECT_TRUE(view.begun.empty());
    EXPECT_EQ(ReadAll(readOnly), data);
}

TEST_F(FileCodingJobTest, SourceWithoutSeparatorAimsAtTheFolderItself)
{
    const fs::path previous = fs::current_path();
    fs::current_path(folder);
    const Bytes data = Pattern(5000);
    Put("plain.bin", data);
    const std::string out = MakeFolder("out");

    FakeView view;
    view.answers = {true};
    EXPECT_FALSE(FileCodingJob("plain.bin", out, Value, view));
    fs::current_path(previous);
    EXPECT_EQ(view.asked, std::vector<std::string>{"rewrite " + out});
    EXPECT_EQ(view.reports, std::vector<std::string>{"can't open " + out});
    EXPECT_EQ(ReadAll(folder + "plain.bin"), data);
}

// The destination folder is the source's own folder, spelt another way: the file there is
// the source, so it must be coded in place and never emptied.
TEST_F(FileCodingJobTest, DestinationThatIsTheSourceItselfIsCodedInPlace)
{
    const std::string sub = MakeFolder("Sub");
    const std::string links = MakeFolder("links");
    std::vector<std::pair<std::string, std::string>> spellings = {
        {"same text", sub},
        {"relative part", sub + ".." + Sep + "Sub" + Sep},
        {"hard link", links},
    };
#ifdef _WIN32
    std::string upper = sub;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    spellings.push_back({"other case", upper});
#else
    fs::create_directory_symlink(sub, folder + "symlink");
    spellings.push_back({"symbolic link", folder + "symlink" + Sep});
#endif
    for (const auto& [what, destination] : spellings) {
        SCOPED_TRACE(what);
        const Bytes data = Pattern(70000, 9);
        const std::string source = sub + "same.bin";
        WriteAll(source, data);
        fs::remove(links + "same.bin");
        if (destination == links)
            fs::create_hard_link(source, links + "same.bin");

        FakeView no;
        EXPECT_FALSE(FileCodingJob(source, destination, Value, no));
        EXPECT_EQ(ReadAll(source), data);

        FakeView yes;
        yes.answers = {true};
        // A file of two names is coded in place only where the disk can mark it with its
        // journal (not under Wine): else it is refused, and left as it is.
        if (!FileCodingJob(source, destination, Value, yes) && destination == links) {
            EXPECT_EQ(yes.reports.size(), 1u);
            EXPECT_EQ(yes.reports.front().rfind("can't mark ", 0), 0u);
            EXPECT_EQ(ReadAll(source), data);
            continue;
        }
        EXPECT_EQ(yes.asked.size(), 1u);
        EXPECT_EQ(ReadAll(source), Coded(data));
        EXPECT_EQ(ReadAll(destination + "same.bin"), Coded(data));
    }
}

// At an update the chunk just coded is not yet written: a view that holds the job there (a
// pause) holds that chunk back until it returns.
TEST_F(FileCodingJobTest, AnUpdateHoldsItsChunkUnwritten)
{
    const Bytes data = Pattern(300 * Block + 5, 12);
    const std::string source = Put("held.bin", data);
    const std::string out = MakeFolder("out");
    FakeView view;
    std::vector<std::size_t> sizesAtUpdates;
    view.onProgress = [&](int) { sizesAtUpdates.push_back(BytesIn(out)); };
    EXPECT_TRUE(FileCodingJob(source, out, Value, view));
    EXPECT_EQ(sizesAtUpdates, (std::vector<std::size_t>{0, 256 * Block}));
    EXPECT_EQ(ReadAll(out + "held.bin"), Coded(data));
}

// A source that shrinks or grows while its copy is made (chunks are read ahead of the coding)
// is reported as changed, and no copy is left. Windows refuses the change: the job holds
// the file open to others' writes, and codes it whole.
TEST_F(FileCodingJobTest, SourceChangingSizeMidCopyLeavesNoCopy)
{
    for (const std::size_t newSize : {std::size_t{300} * Block, std::size_t{600} * Block + 7}) {
        SCOPED_TRACE(newSize);
        const Bytes data = Pattern(600 * Block, 13);
        const std::string source = Put("changing.bin", data);
        const std::string out = MakeFolder("out" + std::to_string(newSize));
        FakeView view;
        std::error_code refused;
        view.onProgress = [&](int update) {
            if (update == 1)
                fs::resize_file(source, newSize, refused);
        };
        const bool coded = FileCodingJob(source, out, Value, view);
        if (refused) {
            EXPECT_TRUE(coded);
            EXPECT_EQ(ReadAll(out + "changing.bin"), Coded(data));
            continue;
        }
        EXPECT_FALSE(coded);
        EXPECT_EQ(view.reports, std::vector<std::string>{"changed " + source});
        EXPECT_TRUE(FilesIn(out).empty());
    }
}

// An exit request never leaves a file half coded. In place the job undoes the coded part or
// finishes the file, whichever writes fewer bytes; into a folder it drops the copy.
TEST_F(FileCodingJobTest, ExitRequestFinishesOrUndoesTheFile)
{
    struct Case {
        std::size_t size;
        int exitAtUpdate;  // updates come every 4 MiB: blocks 0, 256, 512
        bool finished;
    };
    const std::vector<Case> cases = {
        {12 << 20, 1, false},      // nothing coded yet
        {12 << 20, 2, false},      // 4 MiB coded, 8 to go: undone
        {12 << 20, 3, true},       // 8 MiB coded, 4 to go: finished
        {256 * Block, 2, true},    // only the empty tail to go
        {300 * Block + 5, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " bytes, exit at update " << c.exitAtUpdate);
        const Bytes data = Pattern(c.size, 5);
        const std::string source = Put("closing.bin", data);
        FakeView view;
        view.onProgress = [&](int update) { view.exitRequested = update == c.exitAtUpdate; };
        EXPECT_EQ(FileCodingJob(source, "", Value, view), c.finished);
        EXPECT_EQ(view.made.size(), static_cast<std::size_t>(c.exitAtUpdate));
        EXPECT_TRUE(ReadAll(source) == (c.finished ? Coded(data) : data));
        EXPECT_TRUE(view.reports.empty());
        EXPECT_EQ(view.ended, 1);
    }

    // Into a folder: no copy is left, and an earlier file of that name stays whole.
    const Bytes data = Pattern(6 << 20, 5);
    const std::string source = Put("closing.bin", data);
    const std::string out = MakeFolder("out");
    const Bytes old = Pattern(1000, 6);
    WriteAll(out + "closing.bin", old);
    FakeView toFolder;
    toFolder.answers = {true};
    toFolder.onProgress = [&](int update) { toFolder.exitRequested = update == 2; };
    EXPECT_FALSE(FileCodingJob(source, out, Value, toFolder));
    EXPECT_TRUE(toFolder.reports.empty());
    EXPECT_EQ(ReadAll(out + "closing.bin"), old);
    EXPECT_EQ(FilesIn(out), std::vector<std::string>{"closing.bin"});
    EXPECT_EQ(ReadAll(source), data);
}

// A file an earlier failure left partly coded is coded again only when allowed, under
// whatever spelling it comes back.
TEST_F(FileCodingJobTest, PartlyCodedFileIsCodedAgainOnlyWhenAllowed)
{
    const Bytes data = Pattern(50000, 8);
    const std::string source = Put("part.bin", data);
    const std::string out = MakeFolder("out");
    MakeFolder("sub");
    RememberPartlyCoded(folder + "sub" + Sep + ".." + Sep + "part.bin", {4096, 20000, 50000});
    const std::string question = "code again " + source + ": Bytes 4096 to 19999 of 50000 are coded";
    for (const std::string& destination : {std::string(), out}) {
        FakeView no;
        EXPECT_FALSE(FileCodingJob(source, destination, Value, no));
        EXPECT_EQ(no.asked, std::vector<std::string>{question});
    }
    EXPECT_EQ(ReadAll(source), data);
    EXPECT_TRUE(FilesIn(out).empty());

    FakeView yes;
    yes.answers = {true};
    EXPECT_TRUE(FileCodingJob(source, "", Value, yes));
    EXPECT_EQ(yes.asked.size(), 1u);
    EXPECT_EQ(ReadAll(source), Coded(data));
    FakeView again;  // coded whole: no longer asked about
    EXPECT_TRUE(FileCodingJob(source, "", Value, again));
    EXPECT_TRUE(again.asked.empty());
}

// A journal that can't be read is no journal to go by: the file is left as it is.
TEST_F(FileCodingJobTest, SomethingInTheJournalsPlaceStopsCodingInPlace)
{
    const Bytes data = Pattern(70000, 9);
    const std::string source = Put("kept.bin", data);
    MakeFolder("kept.bin.vorrin-journal");  // in the journal's way
    FakeView view;
    EXPECT_FALSE(FileCodingJob(source, "", Value, view));
    EXPECT_EQ(view.reports, std::vector<std::string>{"damaged journal " + source + ": " + source + ".vorrin-journal"});
    EXPECT_EQ(ReadAll(source), data);

    fs::remove(source + ".vorrin-journal");
    FakeView coded;  // and once it is gone, coded with a journal of its own, removed at the end
    EXPECT_TRUE(FileCodingJob(source, "", Value, coded));
    EXPECT_EQ(ReadAll(source), Coded(data));
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"kept.bin"});
}

TEST_F(FileCodingJobTest, FileWithTheLongestNameHasAJournalThatFitsBesideIt)
{
    // 255 bytes is the most a name may hold; the journal's name must still fit. (On Windows
    // such a name under the temporary folder passes MAX_PATH; the window's test of names in any
    // language has the longest name that fits there.)
    if (NativePathSeparator != '/')
        GTEST_SKIP() << "a 255-character name under the temporary folder passes MAX_PATH";
    const std::string folder = MakeFolder("long");
    const Bytes data = Pattern(5000);
    const std::string source = Put("long" + Sep + std::string(251, 'n') + ".bin", data);
    FakeView view;
    EXPECT_TRUE(FileCodingJob(source, "", Value, view));
    EXPECT_TRUE(view.reports.empty());
    EXPECT_EQ(ReadAll(source), Coded(data));
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{std::string(251, 'n') + ".bin"});
}

TEST_F(FileCodingJobTest, CopiesLeftByADeadProcessGoWithTheNextCopyIntoTheirFolder)
{
    const std::string source = Put("a.bin", Pattern(1000));
    const std::string out = MakeFolder("out");
    const std::string hidden = NativePathSeparator == '/' ? "." : "";
    Put("out" + Sep + hidden + "vorrin-copy-00000000deadbeef.tmp", Pattern(10));
    // Only the program's own names: not another's, not a folder.
    Put("out" + Sep + hidden + "vorrin-copy-1.tmp", Pattern(10));
    Put("out" + Sep + "vrn1A2B.tmp", Pattern(10));
    MakeFolder("out" + Sep + hidden + "vorrin-copy-00000000deadbee0.tmp");
    FakeView view;
    EXPECT_TRUE(FileCodingJob(source, out, Value, view));
    std::vector<std::string> left{hidden + "vorrin-copy-00000000deadbee0.tmp", hidden + "vorrin-copy-1.tmp",
                                  "a.bin", "vrn1A2B.tmp"};
    std::sort(left.begin(), left.end());  // as FilesIn lists them: the hidden names sort first only on POSIX
    EXPECT_EQ(FilesIn(out), left);
}

// The FullDisk tests run in a test entry of their own (tests/support/full_disk.sh) with the
// process's file size limit lowered: writes past it fail, as on a full disk. The entry makes
// the source beforehand, since no file that large can be written under the limit.
struct FullDisk {
    std::string source;    // larger than the limit
    std::uint64_t limit = 0;
};

FullDisk FullDiskSetting()
{
    const char* path = std::getenv("VORRIN_FULL_DISK_FILE");
    const char* limit = std::getenv("VORRIN_FILE_LIMIT");
    if (!path || !limit)
        return {};
    return {path, std::strtoull(limit, nullptr, 10)};
}

TEST_F(FileCodingJobTest, FullDiskIntoAFolderLeavesNoFileAndIsReported)
{
    const FullDisk disk = FullDiskSetting();
    if (disk.limit == 0)
        GTEST_SKIP() << "runs in the full-disk test entry";
    const Bytes data = ReadAll(disk.source);
    ASSERT_GT(data.size(), disk.limit);
    const std::string name = fs::path(disk.source).filename().string();
    const std::string fresh = MakeFolder("fresh");
    const std::string earlier = MakeFolder("earlier");
    const Bytes old = Pattern(1000, 6);
    WriteAll(earlier + name, old);

    for (const std::string& out : {fresh, earlier}) {
        SCOPED_TRACE(out);
        FakeView view;
        view.answers = {true};
        EXPECT_FALSE(FileCodingJob(disk.source, out, Value, view));
        EXPECT_EQ(view.reports, std::vector<std::string>{"can't write " + out + name});
        EXPECT_EQ(view.ended, 1);
    }
    EXPECT_TRUE(FilesIn(fresh).empty());
    EXPECT_EQ(FilesIn(earlier), std::vector<std::string>{name});
    EXPECT_EQ(ReadAll(earlier + name), old);
    EXPECT_EQ(ReadAll(disk.source), data);
}

// In place the write that meets the limit gets part of its chunk out; the job undoes every
// coded byte, that part included, and reports the failure.
TEST_F(FileCodingJobTest, FullDiskInPlaceIsUndoneAndReported)
{
    const FullDisk disk = FullDiskSetting();
    if (disk.limit == 0)
        GTEST_SKIP() << "runs in the full-disk test entry";
    const Bytes data = ReadAll(disk.source);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        SCOPED_TRACE(attempt);  // the second finds the file whole, so it asks nothing first
        FakeView view;
        EXPECT_FALSE(FileCodingJob(disk.source, "", Value, view));
        EXPECT_TRUE(view.asked.empty());
        EXPECT_EQ(view.reports, std::vector<std::string>{"can't write " + disk.source});
        EXPECT_TRUE(ReadAll(disk.source) == data);
    }
}

// The register step is linear over GF(2): a 32x32 bit matrix, kept as the images of the 32
// unit states. Jumping n words ahead is that matrix to the power n.
using StepMatrix = std::array<CoderState, 32>;

CoderState Apply(const StepMatrix& m, CoderState state)
{
    CoderState result = 0;
    for (int bit = 0; bit < 32; ++bit)
        if (state >> bit & 1u)
            result ^= m[bit];
    return result;
}

StepMatrix Compose(const StepMatrix& outer, const StepMatrix& inner)
{
    StepMatrix m;
    for (int bit = 0; bit < 32; ++bit)
        m[bit] = Apply(outer, inner[bit]);
    return m;
}

// The register state after `steps` words from `state`.
CoderState JumpAhead(CoderState state, std::uint64_t steps)
{
    StepMatrix power;
    for (int bit = 0; bit < 32; ++bit)
        power[bit] = StepRegister(CoderState{1} << bit);
    for (; steps != 0; steps >>= 1) {
        if (steps & 1)
            state = Apply(power, state);
        power = Compose(power, power);
    }
    return state;
}

struct Region {
    std::uint64_t offset;  // a multiple of 4
    std::uint64_t length;
};

Bytes ReadRegion(const std::string& path, const Region& region)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(region.offset));
    Bytes data(static_cast<std::size_t>(region.length));
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    data.resize(static_cast<std::size_t>(in.gcount()));
    return data;
}

TEST_F(FileCodingJobTest, BigFileOver4GiBIsCodedWhole)
{
    const CoderState start = static_cast<CoderState>(Value);
    CoderState stepped = start;
    for (int i = 0; i < 100003; ++i)
        stepped = StepRegister(stepped);
    ASSERT_EQ(JumpAhead(start, 100003), stepped);

    const std::uint64_t twoGiB = std::uint64_t{1} << 31;
    const std::uint64_t fourGiB = std::uint64_t{1} << 32;
    const std::uint64_t size = fourGiB + 100;
    // Blocks either side of both marks, and the tail with the block before it.
    const std::vector<Region> regions = {
        {twoGiB - 2 * Block, 4 * Block},
        {fourGiB - 2 * Block, 2 * Block + 100},
    };
    const std::string path = folder + "big.bin";
    WriteAll(path, {});
    fs::resize_file(path, size);  // sparse: the zeros cost no disk
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        for (std::size_t r = 0; r < regions.size(); ++r) {
            const Bytes data = Pattern(regions[r].length, static_cast<std::uint32_t>(r));
            file.seekp(static_cast<std::streamoff>(regions[r].offset));
            file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        }
        ASSERT_TRUE(file.good());
    }

    FakeView view;
    EXPECT_TRUE(FileCodingJob(path, "", Value, view));
    EXPECT_EQ(fs::file_size(path), size);
    for (std::size_t r = 0; r < regions.size(); ++r) {
        SCOPED_TRACE(regions[r].offset);
        EXPECT_EQ(ReadRegion(path, regions[r]),
                  Coded(Pattern(regions[r].length, static_cast<std::uint32_t>(r)),
                        JumpAhead(start, regions[r].offset / 4)));
    }
    // The zeros in between hold the bare keystream.
    EXPECT_EQ(ReadRegion(path, {0, Block}), Coded(Bytes(Block)));
    const Region middle{3 * twoGiB / 2, Block};
    EXPECT_EQ(ReadRegion(path, middle), Coded(Bytes(Block), JumpAhead(start, middle.offset / 4)));
    fs::remove(path);

    // Blocks 0..262144 with an update at every 256th: the block numbers stay 64-bit.
    const std::int64_t last = static_cast<std::int64_t>(fourGiB / Block);
    EXPECT_EQ(view.begun, std::vector<std::int64_t>{last});
    ASSERT_EQ(view.made.size(), static_cast<std::size_t>(last / 256 + 1));
    EXPECT_EQ(view.made[512], last / 2);
    EXPECT_EQ(view.made.back(), last);
}

}  // namespace
