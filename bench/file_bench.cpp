// Times FileCodingJob over a file of 1 GiB against what the same bytes cost without coding:
// CopyFileA for a job into a destination folder, and a read-and-write-back pass in 1 MiB
// blocks for a job in place. Runs alternate between job and baseline; medians count.
// Usage: file_bench.exe <scratch folder ending in a backslash>
#include "engine/file_coding_job.h"
#include "toolkit/handles.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t FileBytes = std::uint64_t{1} << 30;
constexpr DWORD ChunkBytes = 1 << 20;
constexpr int Runs = 5;

// Answers every question with Yes and shows nothing.
class SilentView : public CodingView {
public:
    bool MayRewrite(const std::string&) override { return true; }
    bool MayCodeAgain(const std::string&, const CodedRange&) override { return true; }
    void ReportCantOpen(const std::string&) override {}
    void ReportCantCode(CodingFailure, const std::string&, const std::optional<CodedRange>&) override {}
    void ProgressBegun(std::int64_t) override {}
    void ProgressMade(const CodingProgress&) override {}
    void ProgressEnded() override {}
    bool ExitRequested() const override { return false; }
};

bool CreateSource(const std::string& path)
{
    const tk::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        return false;
    std::vector<std::uint32_t> chunk(ChunkBytes / 4);
    std::uint32_t x = 1;
    for (std::uint64_t done = 0; done < FileBytes; done += ChunkBytes) {
        for (auto& word : chunk)
            word = x = x * 1664525u + 1013904223u;
        DWORD written = 0;
        if (!WriteFile(file.get(), chunk.data(), ChunkBytes, &written, nullptr) || written != ChunkBytes)
            return false;
    }
    return true;
}

// The in-place baseline: every byte read and written back, with no coding, in big blocks.
bool ReadAndWriteBack(const std::string& path, DWORD chunkBytes)
{
    const tk::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS, nullptr));
    if (!file)
        return false;
    std::vector<unsigned char> chunk(chunkBytes);
    for (LONGLONG offset = 0;; offset += chunkBytes) {
        DWORD read = 0;
        if (!ReadFile(file.get(), chunk.data(), chunkBytes, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        LARGE_INTEGER at;
        at.QuadPart = offset;
        DWORD written = 0;
        if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) ||
            !WriteFile(file.get(), chunk.data(), read, &written, nullptr) || written != read)
            return false;
    }
}

// The destination case without coding: the job's calls, 16 KiB read then 16 KiB written.
bool CopyInBlocks(const std::string& from, const std::string& to)
{
    const tk::FileHandle source(CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    const tk::FileHandle target(CreateFileA(to.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                            CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source || !target)
        return false;
    for (;;) {
        DWORD read = 0;
        DWORD written = 0;
        if (!ReadFile(source.get(), CodingBuffer, BlockBytes, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        if (!WriteFile(target.get(), CodingBuffer, read, &written, nullptr) || written != read)
            return false;
    }
}

// Coding alone, through the coding buffer, for as many blocks as the file has.
bool CodeOnly()
{
    CoderState state = 962;
    for (std::uint64_t block = 0; block < FileBytes / BlockBytes; ++block)
        CodeBlock(CodingBuffer, state);
    return state != 0;
}

struct Measure {
    const char* name;
    std::function<bool()> run;
    std::function<void()> prepare;  // untimed, before every run
    std::vector<double> seconds;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: file_bench <scratch folder\\>\n");
        return 2;
    }
    const std::string work = argv[1];
    const std::string source = work + "bench.bin";
    const std::string out = work + "out\\";
    const std::string target = out + "bench.bin";
    CreateDirectoryA(out.c_str(), nullptr);
    if (!CreateSource(source)) {
        std::fprintf(stderr, "file_bench: cannot create %s\n", source.c_str());
        return 1;
    }

    SilentView view;
    const auto removeTarget = [&] { DeleteFileA(target.c_str()); };
    const auto nothing = [] {};
    std::vector<Measure> measures = {
        {"job-destination", [&] { return FileCodingJob(source, out, 962, view); }, removeTarget, {}},
        {"copy", [&] { return CopyFileA(source.c_str(), target.c_str(), FALSE) != 0; }, removeTarget, {}},
        {"job-in-place", [&] { return FileCodingJob(source, "", 962, view); }, nothing, {}},
        {"write-back-1m", [&] { return ReadAndWriteBack(source, ChunkBytes); }, nothing, {}},
        {"copy-16k", [&] { return CopyInBlocks(source, target); }, removeTarget, {}},
        {"write-back-16k", [&] { return ReadAndWriteBack(source, BlockBytes); }, nothing, {}},
        {"code-only", CodeOnly, nothing, {}},
    };
    bool ok = true;
    for (int run = 0; run < Runs; ++run) {
        for (Measure& measure : measures) {
            measure.prepare();
            const auto start = std::chrono::steady_clock::now();
            ok = measure.run() && ok;
            measure.seconds.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
    }
    removeTarget();
    DeleteFileA(source.c_str());
    RemoveDirectoryA(out.c_str());
    if (!ok) {
        std::fprintf(stderr, "file_bench: a run failed\n");
        return 1;
    }

    const auto median = [&](int index) { return Median(measures[index].seconds); };
    std::printf("file-coding-vs-copy %s destination %.2f\n", VORRIN_BENCH_ARCH, median(0) / median(1));
    std::printf("file-coding-vs-copy %s in-place %.2f\n", VORRIN_BENCH_ARCH, median(2) / median(3));
    // Where the time goes, per GiB: the parts the ratios are made of.
    for (const Measure& measure : measures)
        std::printf("  %s %s %.3f s/GiB\n", VORRIN_BENCH_ARCH, measure.name, Median(measure.seconds));
    return 0;
}
