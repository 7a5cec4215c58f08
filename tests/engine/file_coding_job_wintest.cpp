#include "engine/coding_paths.h"
#include "engine/file_coding_job.h"
#include "engine/partly_coded_files.h"
#include "support/test_files.h"
#include "toolkit/handles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
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

// The names in a folder (given with its final backslash), sorted.
std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
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

    // The earlier file keeps its name and contents until the coded copy is complete.
    FakeView yes;
    yes.answers = {IDYES};
    Bytes whileCoding;
    yes.onPump = [&](int) { whileCoding = ReadAll(out + "doc.bin"); };
    EXPECT_TRUE(FileCodingJob(source, out, Value, yes));
    EXPECT_EQ(yes.boxes.size(), 1u);
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
    const tk::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
    return static_cast<bool>(file);
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

// The source is opened before anything is created: one that cannot be read leaves the
// destination folder as it was, an earlier file of the destination's name included.
TEST_F(FileCodingJobTest, LockedSourceLeavesTheDestinationAlone)
{
    const Bytes data = Pattern(5000);
    // Held open for writing by someone who shares nothing.
    const std::string locked = Put("locked.bin", data);
    const std::string out = MakeFolder("out");
    const std::string earlier = MakeFolder("earlier");
    const Bytes old = Pattern(100000, 4);
    WriteAll(earlier + "locked.bin", old);
    {
        const tk::FileHandle writer(CreateFileA(locked.c_str(), GENERIC_WRITE, 0, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(writer);
        for (const std::string& destination : {std::string(), out, earlier}) {
            FakeView view;
            view.answers = {IDYES};  // to "Rewrite it?"
            EXPECT_FALSE(FileCodingJob(locked, destination, Value, view));
            ASSERT_EQ(view.boxes.size(), destination == earlier ? 2u : 1u);
            EXPECT_EQ(view.boxes.back().text, "Can't open file\r" + locked);
        }
    }
    EXPECT_EQ(ReadAll(locked), data);
    EXPECT_TRUE(FilesIn(out).empty());
    EXPECT_EQ(FilesIn(earlier), std::vector<std::string>{"locked.bin"});
    EXPECT_EQ(ReadAll(earlier + "locked.bin"), old);
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
            sizesWhilePaused.push_back(BytesIn(out));
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

// A confirmed close never leaves a file half coded. In place the job undoes the coded part or
// finishes the file, whichever writes fewer bytes; into a folder it drops the copy.
TEST_F(FileCodingJobTest, ConfirmedCloseFinishesOrUndoesTheFile)
{
    struct Case {
        std::size_t size;
        int closeAtUpdate;  // the window is updated every 4 MiB: blocks 0, 256, 512
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
        SCOPED_TRACE(testing::Message() << c.size << " bytes, closed at update " << c.closeAtUpdate);
        const Bytes data = Pattern(c.size, 5);
        const std::string source = Put("closing.bin", data);
        FakeView view;
        view.onPump = [&](int call) { ExitRequested = call == c.closeAtUpdate; };
        EXPECT_EQ(FileCodingJob(source, "", Value, view), c.finished);
        ExitRequested = false;
        EXPECT_EQ(view.pumpCalls, c.closeAtUpdate);
        EXPECT_TRUE(ReadAll(source) == (c.finished ? Coded(data) : data));
        EXPECT_TRUE(view.boxes.empty());
        EXPECT_EQ(view.captions.back(), "Vorrin");
        EXPECT_EQ(view.shown.back(), false);
    }

    // Confirmed while paused: the wait ends and the file is as it was.
    const Bytes data = Pattern(6 << 20, 5);
    const std::string source = Put("paused.bin", data);
    FakeView paused;
    paused.onPump = [&](int call) {
        paused.pauseDown = true;
        ExitRequested = call == 3;
    };
    EXPECT_FALSE(FileCodingJob(source, "", Value, paused));
    ExitRequested = false;
    EXPECT_EQ(paused.pumpCalls, 3);
    EXPECT_EQ(ReadAll(source), data);

    // Into a folder: no copy is left, and an earlier file of that name stays whole.
    const std::string out = MakeFolder("out");
    const Bytes old = Pattern(1000, 6);
    WriteAll(out + "paused.bin", old);
    FakeView toFolder;
    toFolder.answers = {IDYES};
    toFolder.onPump = [](int call) { ExitRequested = call == 2; };
    EXPECT_FALSE(FileCodingJob(source, out, Value, toFolder));
    EXPECT_EQ(toFolder.boxes.size(), 1u);
    EXPECT_EQ(ReadAll(out + "paused.bin"), old);
    EXPECT_EQ(FilesIn(out), std::vector<std::string>{"paused.bin"});
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
            sizesWhilePaused.push_back(BytesIn(out));
        if (call == 4)
            view.pauseDown = false;
    };
    EXPECT_TRUE(FileCodingJob(source, out, Value, view));
    EXPECT_EQ(view.pumpCalls, 4);
    EXPECT_EQ(sizesWhilePaused, std::vector<std::size_t>(2, 256 * Block));
    EXPECT_EQ(ReadAll(out + "held.bin"), Coded(data));
}

// A file an earlier failure left partly coded is coded again only when the user says so,
// under whatever spelling it comes back.
TEST_F(FileCodingJobTest, PartlyCodedFileIsCodedAgainOnlyOnYes)
{
    const Bytes data = Pattern(50000, 8);
    const std::string source = Put("part.bin", data);
    const std::string out = MakeFolder("out");
    RememberPartlyCoded(folder + "sub\\..\\PART.BIN", {4096, 20000, 50000});
    const std::string question = "File is partly coded\r" + source +
                                 "\rBytes 4096 to 19999 of 50000 are coded\r\rCode it again from the start?";
    for (const std::string& destination : {std::string(), out}) {
        for (const int answer : {IDNO, IDCANCEL}) {
            FakeView view;
            view.answers = {answer};
            EXPECT_FALSE(FileCodingJob(source, destination, Value, view));
            ASSERT_EQ(view.boxes.size(), 1u);
            ExpectBox(view.boxes[0], question, "Warning", MB_YESNOCANCEL | MB_ICONWARNING);
        }
    }
    EXPECT_EQ(ReadAll(source), data);
    EXPECT_TRUE(FilesIn(out).empty());

    FakeView yes;
    yes.answers = {IDYES};
    EXPECT_TRUE(FileCodingJob(source, "", Value, yes));
    EXPECT_EQ(yes.boxes.size(), 1u);
    EXPECT_EQ(ReadAll(source), Coded(data));
    FakeView again;  // coded whole: no longer asked about
    EXPECT_TRUE(FileCodingJob(source, "", Value, again));
    EXPECT_TRUE(again.boxes.empty());
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
    char path[MAX_PATH] = {}, limit[32] = {};
    if (!GetEnvironmentVariableA("VORRIN_FULL_DISK_FILE", path, sizeof path) ||
        !GetEnvironmentVariableA("VORRIN_FILE_LIMIT", limit, sizeof limit))
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
    const std::string name = std::string(CaptionFileName(disk.source));
    const std::string fresh = MakeFolder("fresh");
    const std::string earlier = MakeFolder("earlier");
    const Bytes old = Pattern(1000, 6);
    WriteAll(earlier + name, old);

    for (const std::string& out : {fresh, earlier}) {
        SCOPED_TRACE(out);
        FakeView view;
        view.answers = {IDYES};
        EXPECT_FALSE(FileCodingJob(disk.source, out, Value, view));
        ASSERT_FALSE(view.boxes.empty());
        ExpectBox(view.boxes.back(), "Can't write file\r" + out + name, "Error", MB_OK | MB_ICONERROR);
        EXPECT_EQ(view.captions.back(), "Vorrin");
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
        ASSERT_EQ(view.boxes.size(), 1u);
        ExpectBox(view.boxes[0], "Can't write file\r" + disk.source, "Error", MB_OK | MB_ICONERROR);
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
        const tk::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(size);
        ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.get()));
        for (std::size_t r = 0; r < regions.size(); ++r)
            ASSERT_TRUE(WriteRegion(file.get(), regions[r],
                                    Pattern(regions[r].length, static_cast<std::uint32_t>(r))));
    }

    FakeView view;
    const bool coded = FileCodingJob(path, "", Value, view);
    {
        const tk::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                              0, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER after;
        EXPECT_TRUE(GetFileSizeEx(file.get(), &after));
        EXPECT_EQ(static_cast<std::uint64_t>(after.QuadPart), size);
        for (std::size_t r = 0; r < regions.size(); ++r) {
            SCOPED_TRACE(regions[r].offset);
            EXPECT_EQ(ReadRegion(file.get(), regions[r]),
                      Coded(Pattern(regions[r].length, static_cast<std::uint32_t>(r)),
                            JumpAhead(start, regions[r].offset / 4)));
        }
        // The zeros in between hold the bare keystream.
        const Region first{0, Block};
        EXPECT_EQ(ReadRegion(file.get(), first), Coded(Bytes(Block)));
        const Region middle{3 * twoGiB / 2, Block};
        EXPECT_EQ(ReadRegion(file.get(), middle),
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
