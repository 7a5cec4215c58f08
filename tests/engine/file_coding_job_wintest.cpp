#include "engine/file_coding_job.h"
#include "support/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {


// Records what the job shows and answers its message boxes from a script.
class FakeView : public CodingView {
public:
    struct Box {
        std::string text;
        std::string title;
        unsigned flags;
    };
    std::vector<int> answers;  // taken in order; IDCANCEL once used up
    std::vector<Box> boxes;
    std::vector<std::string> captions;
    std::vector<std::int64_t> ranges;
    std::vector<std::int64_t> positions;
    std::vector<bool> shown;
    int pumpCalls = 0;
    int waitCalls = 0;
    bool pauseDown = false;
    std::function<void(int call)> onPump;  // runs inside "process messages", call counted from 1

    int ShowMessageBox(const std::string& text, const std::string& title, unsigned flags) override
    {
        boxes.push_back({text, title, flags});
        return boxes.size() <= answers.size() ? answers[boxes.size() - 1] : IDCANCEL;
    }
    void SetCaption(const std::string& text) override { captions.push_back(text); }
    void SetProgressRange(std::int64_t high) override { ranges.push_back(high); }
    void SetProgressPosition(std::int64_t position) override { positions.push_back(position); }
    void ShowProgress(bool visible) override { shown.push_back(visible); }
    void ProcessMessages() override
    {
        ++pumpCalls;
        if (onPump)
            onPump(pumpCalls);
    }
    void WaitForMessages() override
    {
        // A job that keeps waiting without a message coming would hang: let it go.
        if (++waitCalls > 1000)
            pauseDown = false;
    }
    bool PauseButtonDown() const override { return pauseDown; }
};

constexpr CoderValue Value = 962;
constexpr std::size_t Block = BlockBytes;

// The keystream applied the plain way, from register state `state`.
Bytes Coded(Bytes data, CoderState state = static_cast<CoderState>(Value))
{
    return PlainCoded(std::move(data), state);
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Owns a handle the test opens itself.
struct TestHandle {
    HANDLE handle;
    explicit TestHandle(HANDLE h) : handle(h) {}
    TestHandle(const TestHandle&) = delete;
    TestHandle& operator=(const TestHandle&) = delete;
    ~TestHandle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

// One message box the job showed: its text, caption and flags.
void ExpectBox(const FakeView::Box& box, const std::string& text, const std::string& title, UINT flags)
{
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.title, title);
    EXPECT_EQ(box.flags, unsigned{flags});
}

// Every test works in a fresh folder of its own under the temporary folder.
class FileCodingJobTest : public testing::Test {
protected:
    void SetUp() override
    {
        ExitRequested = false;
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        folder = std::string(temp) + "vorrin-job-" + std::to_string(GetCurrentProcessId()) + "-" +
                 test->name() + "\\";
        RemoveTree(folder);
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    }
    void TearDown() override
    {
        ExitRequested = false;
        RemoveTree(folder);
    }

    std::string MakeFolder(const std::string& name)
    {
        const std::string path = folder + name + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }
    std::string Put(const std::string& name, const Bytes& data)
    {
        WriteAll(folder + name, data);
        return folder + name;
    }

    std::string folder;  // ends with a backslash
};

TEST_F(FileCodingJobTest, EmptyFileShowsNoProgress)
{
    const std::string source = Put("empty.bin", {});
    FakeView inPlace;
    EXPECT_TRUE(FileCodingJob(source, "", Value, inPlace));
    EXPECT_TRUE(inPlace.shown.empty());
    EXPECT_EQ(inPlace.captions, std::vector<std::string>{"Vorrin"});
    EXPECT_TRUE(ReadAll(source).empty());

    const std::string out = MakeFolder("out");
    FakeView toFolder;
    EXPECT_TRUE(FileCodingJob(source, out, Value, toFolder));
    EXPECT_TRUE(toFolder.shown.empty());
    EXPECT_TRUE(toFolder.boxes.empty());
    ASSERT_TRUE(Exists(out + "empty.bin"));
    EXPECT_TRUE(ReadAll(out + "empty.bin").empty());
}

TEST_F(FileCodingJobTest, FileUnderOneBlockIsCodedAtOnce)
{
    const std::string out = MakeFolder("out");
    for (const std::size_t size : {1u, 3u, 4u, 5u, 4095u, 16383u}) {
        SCOPED_TRACE(size);
        const Bytes data = Pattern(size, static_cast<std::uint32_t>(size));
        const std::string source = Put("small.bin", data);

        FakeView toFolder;
        EXPECT_TRUE(FileCodingJob(source, out, Value, toFolder));
        EXPECT_EQ(ReadAll(out + "small.bin"), Coded(data));
        EXPECT_EQ(ReadAll(source), data);
        DeleteFileA((out + "small.bin").c_str());

        FakeView inPlace;
        EXPECT_TRUE(FileCodingJob(source, "", Value, inPlace));
        EXPECT_EQ(ReadAll(source), Coded(data));
        EXPECT_EQ(inPlace.captions, (std::vector<std::string>{"100%small.bin", "Vorrin"}));
        EXPECT_EQ(inPlace.ranges, std::vector<std::int64_t>{0});
        EXPECT_EQ(inPlace.positions, (std::vector<std::int64_t>{0, 1}));
        EXPECT_EQ(inPlace.shown, (std::vector<bool>{true, false}));
        EXPECT_EQ(inPlace.pumpCalls, 1);
    }
}

TEST_F(FileCodingJobTest, WholeBlocksKeepTheirLength)
{
    const std::string out = MakeFolder("out");
    for (const std::size_t blocks : {1u, 3u}) {
        SCOPED_TRACE(blocks);
        const Bytes data = Pattern(blocks * Block, static_cast<std::uint32_t>(blocks));
        const std::string source = Put("whole.bin", data);

        FakeView toFolder;
        EXPECT_TRUE(FileCodingJob(source, out, Value, toFolder));
        EXPECT_EQ(ReadAll(out + "whole.bin"), Coded(data));
        EXPECT_EQ(toFolder.captions, (std::vector<std::string>{"0% whole.bin", "Vorrin"}));
        EXPECT_EQ(toFolder.ranges, std::vector<std::int64_t>{static_cast<std::int64_t>(blocks)});
        DeleteFileA((out + "whole.bin").c_str());

        FakeView inPlace;
        EXPECT_TRUE(FileCodingJob(source, "", Value, inPlace));
        EXPECT_EQ(ReadAll(source), Coded(data));
    }
}

TEST_F(FileCodingJobTest, FiveMiBShowsProgressEvery256Blocks)
{
    const Bytes data = Pattern(5 << 20);
    const std::string source = Put("five.bin", data);
    const std::string out = MakeFolder("out");
    FakeView view;
    EXPECT_TRUE(FileCodingJob(source, out, Value, view));
    EXPECT_EQ(view.captions,
              (std::vector<std::string>{"0% five.bin", "80% five.bin", "Vorrin"}));
    EXPECT_EQ(view.ranges, std::vector<std::int64_t>{320});
    EXPECT_EQ(view.positions, (std::vector<std::int64_t>{0, 1, 257}));
    EXPECT_EQ(view.pumpCalls, 2);
    EXPECT_EQ(ReadAll(out + "five.bin"), Coded(data));
    EXPECT_EQ(ReadAll(source), data);
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
    EXPECT_TRUE(view.boxes.empty());
}

TEST_F(FileCodingJobTest, ExistingDestinationIsRewrittenOnlyOnYes)
{
    const Bytes data = Pattern(20000, 3);
    const std::string source = Put("doc.bin", data);
    const std::string out = MakeFolder("out");
    const Bytes old = Pattern(100000, 4);
    WriteAll(out + "doc.bin", old);

    for (const int answer : {IDNO, IDCANCEL}) {
        FakeView view;
        view.answers = {answer};
        EXPECT_FALSE(FileCodingJob(source, out, Value, view));
        ASSERT_EQ(view.boxes.size(), 1u);
        ExpectBox(view.boxes[0], "File already exists\r" + out + "doc.bin\r\rRewrite it?", "Warning", MB_YESNOCANCEL | MB_ICONWARNING);
        EXPECT_TRUE(view.captions.empty());
        EXPECT_EQ(ReadAll(out + "doc.bin"), old);
    }

    FakeView yes;
    yes.answers = {IDYES};
    EXPECT_TRUE(FileCodingJob(source, out, Value, yes));
    EXPECT_EQ(yes.boxes.size(), 1u);
    EXPECT_EQ(ReadAll(out + "doc.bin"), Coded(data));  // the longer old file is cut to size
    EXPECT_EQ(ReadAll(source), data);
}

TEST_F(FileCodingJobTest, DestinationNamedByAFolderCannotBeOpened)
{
    const Bytes data = Pattern(5000);
    const std::string source = Put("doc.bin", data);
    const std::string out = MakeFolder("out");
    MakeFolder("out\\doc.bin");
    FakeView view;
    view.answers = {IDYES};
    EXPECT_FALSE(FileCodingJob(source, out, Value, view));
    ASSERT_EQ(view.boxes.size(), 2u);
    ExpectBox(view.boxes[1], "Can't open file\r" + out + "doc.bin", "Error", MB_OK | MB_ICONERROR);
    EXPECT_TRUE(view.captions.empty());
    EXPECT_EQ(ReadAll(source), data);
}

// Whether a file can be opened for writing, the job's way.
bool Writable(const std::string& path)
{
    const TestHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    return file.handle != INVALID_HANDLE_VALUE;
}

TEST_F(FileCodingJobTest, ReadOnlySourceIsNotCodedInPlace)
{
    const Bytes data = Pattern(5000);
    const std::string readOnly = Put("ro.bin", data);
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    if (Writable(readOnly))
        GTEST_SKIP() << "read-only files are writable here (running as the superuser)";
    FakeView view;
    EXPECT_FALSE(FileCodingJob(readOnly, "", Value, view));
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, "Can't open file\r" + readOnly);
    EXPECT_EQ(view.boxes[0].title, "Error");
    EXPECT_TRUE(view.captions.empty());
    EXPECT_EQ(ReadAll(readOnly), data);
}

TEST_F(FileCodingJobTest, LockedSourceIsReported)
{
    const Bytes data = Pattern(5000);
    // Held open for writing by someone who shares nothing.
    const std::string locked = Put("locked.bin", data);
    const std::string out = MakeFolder("out");
    {
        const TestHandle writer(CreateFileA(locked.c_str(), GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(writer.handle, INVALID_HANDLE_VALUE);
        for (const std::string& destination : {std::string(), out}) {
            FakeView view;
            EXPECT_FALSE(FileCodingJob(locked, destination, Value, view));
            ASSERT_EQ(view.boxes.size(), 1u);
            EXPECT_EQ(view.boxes[0].text, "Can't open file\r" + locked);
        }
    }
    EXPECT_EQ(ReadAll(locked), data);
    // The destination was created before the source was tried, and stays empty.
    EXPECT_TRUE(Exists(out + "locked.bin"));
    EXPECT_TRUE(ReadAll(out + "locked.bin").empty());
}

TEST_F(FileCodingJobTest, SourceWithoutBackslashAimsAtTheFolderItself)
{
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    const Bytes data = Pattern(5000);
    Put("plain.bin", data);
    const std::string out = MakeFolder("out");

    FakeView view;
    view.answers = {IDYES};
    EXPECT_FALSE(FileCodingJob("plain.bin", out, Value, view));
    SetCurrentDirectoryA(previous);
    ASSERT_EQ(view.boxes.size(), 2u);
    EXPECT_EQ(view.boxes[0].text, "File already exists\r" + out + "\r\rRewrite it?");
    EXPECT_EQ(view.boxes[1].text, "Can't open file\r" + out);
    EXPECT_EQ(ReadAll(folder + "plain.bin"), data);
}

// The destination folder is the source's own folder, spelt another way: the file there is
// the source, so it must be coded in place and never emptied.
TEST_F(FileCodingJobTest, DestinationThatIsTheSourceItselfIsCodedInPlace)
{
    const std::string sub = MakeFolder("Sub");
    const std::string links = MakeFolder("links");
    std::string upper = sub;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    char shortName[MAX_PATH] = {};
    GetShortPathNameA(sub.c_str(), shortName, MAX_PATH);

    const std::vector<std::pair<std::string, std::string>> spellings = {
        {"same text", sub},
        {"other case", upper},
        {"relative part", sub + "..\\Sub\\"},
        {"short name", shortName[0] ? std::string(shortName) : sub},
        {"hard link", links},
    };
    for (const auto& [what, destination] : spellings) {
        SCOPED_TRACE(what);
        const Bytes data = Pattern(70000, 9);
        const std::string source = sub + "same.bin";
        WriteAll(source, data);
        DeleteFileA((links + "same.bin").c_str());
        ASSERT_TRUE(CreateHardLinkA((links + "same.bin").c_str(), source.c_str(), nullptr));

        FakeView no;
        no.answers = {IDNO};
        EXPECT_FALSE(FileCodingJob(source, destination, Value, no));
        EXPECT_EQ(ReadAll(source), data);

        FakeView yes;
        yes.answers = {IDYES};
        EXPECT_TRUE(FileCodingJob(source, destination, Value, yes));
        EXPECT_EQ(yes.boxes.size(), 1u);
        EXPECT_EQ(ReadAll(source), Coded(data));
        EXPECT_EQ(ReadAll(destination + "same.bin"), Coded(data));
    }
}

TEST_F(FileCodingJobTest, PauseHoldsTheCodedBlockUntilReleased)
{
    const Bytes data = Pattern(100000);
    const std::string source = Put("paused.bin", data);
    const std::string out = MakeFolder("out");
    FakeView view;
    std::vector<std::size_t> sizesWhilePaused;
    view.onPump = [&](int call) {
        if (call == 1)
            view.pauseDown = true;
        else
            sizesWhilePaused.push_back(ReadAll(out + "paused.bin").size());
        if (call == 5)
            view.pauseDown = false;
    };
    EXPECT_TRUE(FileCodingJob(source, out, Value, view));
    EXPECT_EQ(view.pumpCalls, 5);
    // Paused, the job blocks until a message comes before every look at the queue.
    EXPECT_EQ(view.waitCalls, 4);
    EXPECT_EQ(sizesWhilePaused, std::vector<std::size_t>(4, 0));  // block 0 waits unwritten
    EXPECT_EQ(ReadAll(out + "paused.bin"), Coded(data));
}

TEST_F(FileCodingJobTest, ConfirmedCloseLeavesBeforeTheCurrentBlock)
{
    const std::size_t size = 6 << 20;  // blocks 0..384: the window is updated at 0 and 256
    const Bytes data = Pattern(size, 5);
    const std::string source = Put("closing.bin", data);
    FakeView view;
    view.onPump = [](int call) { ExitRequested = call == 2; };
    EXPECT_FALSE(FileCodingJob(source, "", Value, view));
    const Bytes result = ReadAll(source);
    ASSERT_EQ(result.size(), size);
    const std::size_t codedBytes = 256 * Block;
    const Bytes expected = Coded(data);
    EXPECT_TRUE(std::equal(result.begin(), result.begin() + codedBytes, expected.begin()));
    EXPECT_TRUE(std::equal(result.begin() + codedBytes, result.end(), data.begin() + codedBytes));
    EXPECT_EQ(view.captions.back(), "Vorrin");
    EXPECT_EQ(view.shown.back(), false);

    // Confirmed while paused: the wait ends and nothing is written.
    ExitRequested = false;
    const std::string other = Put("paused.bin", data);
    FakeView paused;
    paused.onPump = [&](int call) {
        paused.pauseDown = true;
        ExitRequested = call == 3;
    };
    EXPECT_FALSE(FileCodingJob(other, "", Value, paused));
    EXPECT_EQ(paused.pumpCalls, 3);
    EXPECT_EQ(ReadAll(other), data);
}

// The window is updated every 256 blocks; the sizes either side of that edge.
TEST_F(FileCodingJobTest, SizesAroundA256BlockChunk)
{
    const std::string out = MakeFolder("out");
    struct Case {
        std::size_t size;
        std::vector<std::string> captions;
        std::vector<std::int64_t> positions;
    };
    const std::vector<Case> cases = {
        {256 * Block - 1, {"0% edge.bin", "Vorrin"}, {0, 1}},
        // Block 256 is empty yet still gets its update.
        {256 * Block, {"0% edge.bin", "100% edge.bin", "Vorrin"}, {0, 1, 257}},
        {256 * Block + 1, {"0% edge.bin", "100% edge.bin", "Vorrin"}, {0, 1, 257}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const Bytes data = Pattern(c.size, static_cast<std::uint32_t>(c.size));
        const std::string source = Put("edge.bin", data);

        FakeView toFolder;
        EXPECT_TRUE(FileCodingJob(source, out, Value, toFolder));
        EXPECT_EQ(ReadAll(out + "edge.bin"), Coded(data));
        EXPECT_EQ(toFolder.captions, c.captions);
        EXPECT_EQ(toFolder.positions, c.positions);
        DeleteFileA((out + "edge.bin").c_str());

        FakeView inPlace;
        EXPECT_TRUE(FileCodingJob(source, "", Value, inPlace));
        EXPECT_EQ(ReadAll(source), Coded(data));
        EXPECT_EQ(inPlace.captions, c.captions);
        EXPECT_EQ(inPlace.positions, c.positions);
    }
}

// A close confirmed at the update of block 256 keeps exactly blocks 0..255 coded, even when
// block 256 is the empty end of the file.
TEST_F(FileCodingJobTest, ConfirmedCloseAtTheSecondChunkKeepsTheFirst)
{
    for (const std::size_t size : {256 * Block, 256 * Block + 1, 300 * Block + 5}) {
        SCOPED_TRACE(size);
        const Bytes data = Pattern(size, 11);
        const std::string source = Put("second.bin", data);
        FakeView view;
        view.onPump = [](int call) { ExitRequested = call == 2; };
        EXPECT_FALSE(FileCodingJob(source, "", Value, view));
        ExitRequested = false;
        EXPECT_EQ(view.pumpCalls, 2);

        const Bytes result = ReadAll(source);
        ASSERT_EQ(result.size(), size);
        const std::size_t codedBytes = 256 * Block;
        const Bytes expected = Coded(data);
        EXPECT_TRUE(std::equal(result.begin(), result.begin() + codedBytes, expected.begin()));
        EXPECT_TRUE(std::equal(result.begin() + codedBytes, result.end(), data.begin() + codedBytes));
    }
}

TEST_F(FileCodingJobTest, PauseAtTheSecondChunkHoldsItUnwritten)
{
    const Bytes data = Pattern(300 * Block + 5, 12);
    const std::string source = Put("held.bin", data);
    const std::string out = MakeFolder("out");
    FakeView view;
    std::vector<std::size_t> sizesWhilePaused;
    view.onPump = [&](int call) {
        if (call == 2)
            view.pauseDown = true;
        else if (call > 2)
            sizesWhilePaused.push_back(ReadAll(out + "held.bin").size());
        if (call == 4)
            view.pauseDown = false;
    };
    EXPECT_TRUE(FileCodingJob(source, out, Value, view));
    EXPECT_EQ(view.pumpCalls, 4);
    EXPECT_EQ(sizesWhilePaused, std::vector<std::size_t>(2, 256 * Block));
    EXPECT_EQ(ReadAll(out + "held.bin"), Coded(data));
}

// Under Wine the host's /dev/full can be opened as a file, and every write to it fails.
TEST_F(FileCodingJobTest, FailedWriteIsNotSuccess)
{
    const std::string devices = "Z:\\dev\\";
    {
        const TestHandle full(CreateFileA((devices + "full").c_str(), GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        if (full.handle == INVALID_HANDLE_VALUE)
            GTEST_SKIP() << "no device that refuses writes";
    }
    const std::string source = Put("full", Pattern(40000));
    FakeView view;
    view.answers = {IDYES};
    EXPECT_FALSE(FileCodingJob(source, devices, Value, view));
    EXPECT_EQ(view.captions.back(), "Vorrin");
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

Bytes ReadRegion(HANDLE file, const Region& region)
{
    Bytes data(static_cast<std::size_t>(region.length));
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(region.offset);
    DWORD read = 0;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) ||
        !ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr))
        read = 0;
    data.resize(read);
    return data;
}

bool WriteRegion(HANDLE file, const Region& region, const Bytes& data)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(region.offset);
    DWORD written = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
           written == data.size();
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
    {
        const TestHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, 0, nullptr));
        ASSERT_NE(file.handle, INVALID_HANDLE_VALUE);
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(size);
        ASSERT_TRUE(SetFilePointerEx(file.handle, end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.handle));
        for (std::size_t r = 0; r < regions.size(); ++r)
            ASSERT_TRUE(WriteRegion(file.handle, regions[r],
                                    Pattern(regions[r].length, static_cast<std::uint32_t>(r))));
    }

    FakeView view;
    const bool coded = FileCodingJob(path, "", Value, view);
    {
        const TestHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          0, nullptr));
        ASSERT_NE(file.handle, INVALID_HANDLE_VALUE);
        LARGE_INTEGER after;
        EXPECT_TRUE(GetFileSizeEx(file.handle, &after));
        EXPECT_EQ(static_cast<std::uint64_t>(after.QuadPart), size);
        for (std::size_t r = 0; r < regions.size(); ++r) {
            SCOPED_TRACE(regions[r].offset);
            EXPECT_EQ(ReadRegion(file.handle, regions[r]),
                      Coded(Pattern(regions[r].length, static_cast<std::uint32_t>(r)),
                            JumpAhead(start, regions[r].offset / 4)));
        }
        // The zeros in between hold the bare keystream.
        const Region first{0, Block};
        EXPECT_EQ(ReadRegion(file.handle, first), Coded(Bytes(Block)));
        const Region middle{3 * twoGiB / 2, Block};
        EXPECT_EQ(ReadRegion(file.handle, middle),
                  Coded(Bytes(Block), JumpAhead(start, middle.offset / 4)));
    }
    DeleteFileA(path.c_str());
    EXPECT_TRUE(coded);

    // Blocks 0..262144, the window updated at every 256th: the percentage stays 64-bit.
    const std::int64_t last = static_cast<std::int64_t>(fourGiB / Block);
    EXPECT_EQ(view.ranges, std::vector<std::int64_t>{last});
    ASSERT_EQ(view.captions.size(), static_cast<std::size_t>(last / 256 + 2));
    EXPECT_EQ(view.captions[512], "50% big.bin");
    EXPECT_EQ(view.captions[1024], "100% big.bin");
    EXPECT_EQ(view.positions.back(), last + 1);
}

}  // namespace
