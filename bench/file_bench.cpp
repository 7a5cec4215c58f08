// Times FileCodingJob over a file of 1 GiB against what the same bytes cost without coding:
// CopyFileA for a job into a destination folder, and, for a job in place, a read-and-write-back
// pass in 1 MiB blocks that ends with one flush, so that the same data reaches the disk as the
// job's (which keeps a journal and flushes as it goes).
//
// The machine's write-back is what made these figures wander: a run that starts while the
// system still writes back the data of the one before (or with more dirty data than the
// system lets pile up) is slowed by it, job and baseline alike but by different amounts. So
// the source is made once and flushed, every timed run starts only once the system has no
// more than a little dirty data left (Dirty and Writeback in /proc/meminfo, as Wine shows
// them), the order of job and baseline alternates from run to run, and the figures are the
// medians, with the spread of the run-by-run ratios.
//
// The other thing that made them wander, the destination's most: on a virtual machine that
// hands freed memory back to its host after a second or two (free page reporting), a run
// that writes 1 GiB of new pages seconds after the last output was deleted gets that memory
// back from the host page by page and pays about 0.4 s/GiB more; right after, it reuses the
// pages just freed. A dd to a new file shows the same (0.23 s at once, 0.65 to 1.8 s five
// seconds later). So each run's output is deleted right before it, after the wait.
// Job and copy each delete their own: what Wine's copy writes 64 KiB at a time is freed in
// pieces too small for the job's larger writes, and a job right after it paid 1.3 to 1.9
// s/GiB where it pays 0.35 to 0.4 after its own (the copy pays the same after either).
//
// Then, while one job of each kind runs, another thread posts a message every 2 ms and the
// job's pumps handle it: the longest wait is the window's delay in answering input while a
// file is coded (and flushed).
// Usage: file_bench.exe <scratch folder ending in a backslash> [--no-wait]
// (--no-wait: timed runs start at once, as they did before, to see what the wait controls for)
#include "engine/file_coding_job.h"
#include "toolkit/handles.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr std::uint64_t FileBytes = std::uint64_t{1} << 30;
constexpr DWORD ChunkBytes = 1 << 20;
constexpr int Runs = 7;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Answers every question with Yes and shows nothing; its pump handles this thread's messages
// when asked to, as the window's does.
class SilentView : public CodingView {
public:
    explicit SilentView(bool pumps = false) : pumps_(pumps) {}
    bool MayRewrite(const std::string&) override { return true; }
    bool MayCodeAgain(const std::string&, const CodedRange&) override { return true; }
    RepairChoice ChooseRepair(const std::string&, const InterruptedFile&) override { return RepairChoice::Leave; }
    void ReportCantOpen(const std::string&) override {}
    void ReportBusy(const std::string&) override {}
    void ReportJournalTrouble(const std::string&, const JournalTrouble&) override {}
    void ReportWrongValue(const std::string&, const std::string&) override {}
    void ReportDamaged(const std::string&, const InterruptedFile&) override {}
    void ReportCantCode(CodingFailure, const std::string&, const std::optional<CodedRange>&) override {}
    void ProgressBegun(std::int64_t) override {}
    void ProgressMade(const CodingProgress&) override { Waiting(); }
    void Waiting() override
    {
        MSG msg;
        while (pumps_ && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    void ProgressEnded() override {}
    bool ExitRequested() const override { return false; }

private:
    bool pumps_;
};

// A fresh source of pseudo-random words in place of any earlier one, flushed: its pages stay
// cached, clean.
bool CreateSource(const std::string& path)
{
    DeleteFileA(path.c_str());
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
    return FlushFileBuffers(file.get()) != 0;
}

// Writes back whatever a run left of the file unwritten, so the next run does not pay for it.
bool FlushFile(const std::string& path)
{
    const tk::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return file && FlushFileBuffers(file.get());
}

// Dirty and Writeback of the host's /proc/meminfo, in KiB; nothing where it can't be read.
std::optional<long> UnwrittenKiB()
{
    FILE* const meminfo = std::fopen("Z:\\proc\\meminfo", "r");
    if (!meminfo)
        return std::nullopt;
    char line[256];
    long total = 0;
    while (std::fgets(line, sizeof line, meminfo)) {
        long kib = 0;
        if (std::sscanf(line, "Dirty: %ld kB", &kib) == 1 || std::sscanf(line, "Writeback: %ld kB", &kib) == 1)
            total += kib;
    }
    std::fclose(meminfo);
    return total;
}

// Waits until the system's data not yet on disk is down to 64 MiB, or has stopped falling for
// a second (a level that holds is other programs writing on; a shared machine may never get
// below it), at most 15 s. The benchmark flushes its own files before. Gives what was left
// when it started.
long WaitForWriteBack()
{
    constexpr long QuietKiB = 64 * 1024;
    const std::optional<long> first = UnwrittenKiB();
    long lowest = first.value_or(0);
    for (int waited = 0, steady = 0; first && lowest > QuietKiB && steady < 10 && waited < 150; ++waited) {
        Sleep(100);
        const long left = UnwrittenKiB().value_or(0);
        steady = left < lowest - 1024 ? 0 : steady + 1;
        lowest = std::min(lowest, left);
    }
    return first.value_or(0);
}

// The in-place baseline: every byte read and written back, with no coding, in big blocks, then
// one flush.
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
            return FlushFileBuffers(file.get()) != 0;
        LARGE_INTEGER at;
        at.QuadPart = offset;
        DWORD written = 0;
        if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) ||
            !WriteFile(file.get(), chunk.data(), read, &written, nullptr) || written != read)
            return false;
    }
}

// Coding alone, through the coding buffer, for as many blocks as the file has.
bool CodeOnly()
{
    constexpr std::size_t chunkBlocks = 16;
    CoderState state = 962;
    for (std::uint64_t block = 0; block < FileBytes / BlockBytes; block += chunkBlocks)
        CodeChunk(CodingBuffer, chunkBlocks, state);
    return state != 0;
}

// Posts a message to a window of the calling thread every 2 ms from a thread of its own and
// records, as the messages are handled, how long each waited.
class InputLatency {
public:
    InputLatency()
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = HandleMessage;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VorrinBenchLatency";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    InputLatency(const InputLatency&) = delete;
    InputLatency& operator=(const InputLatency&) = delete;
    ~InputLatency()
    {
        if (window_)
            DestroyWindow(window_);
    }

    // The longest wait in milliseconds while `job` ran; its pumps must handle this thread's
    // messages. Messages still waiting when it returns are handled then.
    double During(const std::function<bool()>& job)
    {
        longest_ = 0;
        handled_ = 0;
        std::atomic<bool> running{true};
        std::thread poster([&] {
            while (running) {
                const auto sent = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start_);
                PostMessageA(window_, WM_APP, 0, static_cast<LPARAM>(sent.count()));
                Sleep(2);
            }
        });
        ok_ = job();
        running = false;
        poster.join();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        return longest_;
    }
    bool JobOk() const { return ok_; }
    int Handled() const { return handled_; }

private:
    static LRESULT CALLBACK HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<InputLatency*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (msg != WM_APP || !self)
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        const auto now = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - self->start_);
        self->longest_ = std::max(self->longest_, static_cast<double>(now.count() - lParam) / 1000);
        ++self->handled_;
        return 0;
    }

    HWND window_ = nullptr;
    Clock::time_point start_ = Clock::now();
    double longest_ = 0;
    int handled_ = 0;
    bool ok_ = false;
};

struct Measure {
    const char* name;
    std::function<bool()> run;
    std::function<bool()> prepare;  // untimed, before every run
    std::vector<double> seconds;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A job against its baseline, both measured in every run.
struct Pairing {
    const char* line;
    const Measure& job;
    const Measure& baseline;

    double Ratio() const { return Median(job.seconds) / Median(baseline.seconds); }
    // The lowest and highest of the run-by-run ratios.
    std::pair<double, double> Spread() const
    {
        std::vector<double> ratios;
        for (std::size_t run = 0; run < job.seconds.size(); ++run)
            ratios.push_back(job.seconds[run] / baseline.seconds[run]);
        const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
        return {*low, *high};
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: file_bench <scratch folder\\> [--no-wait]\n");
        return 2;
    }
    const std::string work = argv[1];
    const std::string source = work + "bench.bin";
    const std::string out = work + "out\\";
    const std::string target = out + "bench.bin";   // the job's
    const std::string copied = work + "copied.bin";  // the copy's
    CreateDirectoryA(out.c_str(), nullptr);

    const bool wait = !(argc == 3 && std::strcmp(argv[2], "--no-wait") == 0);
    SilentView view;
    const auto deleted = [](const std::string& path) {
        return [&path] {
            DeleteFileA(path.c_str());
            return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
        };
    };
    const auto noTarget = deleted(target);
    const auto sourceFlushed = [&] { return FlushFile(source); };
    // In pairs, job then baseline; the order flips every run.
    std::vector<Measure> measures = {
        {"job-destination", [&] { return FileCodingJob(source, out, 962, view); }, noTarget, {}},
        {"copy", [&] { return CopyFileA(source.c_str(), copied.c_str(), FALSE) != 0; }, deleted(copied), {}},
        {"job-in-place", [&] { return FileCodingJob(source, "", 962, view); }, sourceFlushed, {}},
        {"write-back-1m-flush", [&] { return ReadAndWriteBack(source, ChunkBytes); }, sourceFlushed, {}},
        {"code-only", CodeOnly, [] { return true; }, {}},
    };
    std::vector<long> unwrittenAtStart;
    bool ok = CreateSource(source);
    for (int run = 0; run <= Runs && ok; ++run) {
        for (std::size_t index = 0; index < measures.size() && ok; ++index) {
            // Pairs flip their order on odd runs; code-only stays last.
            const std::size_t pick = index + 1 < measures.size() && run % 2 ? index ^ 1 : index;
            Measure& measure = measures[pick];
            // The wait comes before the preparation, which deletes the last output right before
            // the run: see the top of this file.
            unwrittenAtStart.push_back(wait ? WaitForWriteBack() : UnwrittenKiB().value_or(0));
            ok = measure.prepare();
            const auto start = Clock::now();
            ok = ok && measure.run();
            // The first round only warms the caches up.
            if (run > 0)
                measure.seconds.push_back(SecondsSince(start));
        }
    }
    // Whatever the last run left unwritten, so the latency's jobs start as the others did.
    ok = ok && sourceFlushed() && noTarget() && deleted(copied)();
    if (wait)
        WaitForWriteBack();

    InputLatency latency;
    SilentView pumping(true);
    double inPlaceLatency = 0, destinationLatency = 0;
    if (ok) {
        destinationLatency = latency.During([&] { return FileCodingJob(source, out, 962, pumping); });
        ok = latency.JobOk() && sourceFlushed();
        if (wait)
            WaitForWriteBack();
        inPlaceLatency = latency.During([&] { return FileCodingJob(source, "", 962, pumping); });
        ok = ok && latency.JobOk() && latency.Handled() > 0;
    }
    DeleteFileA(target.c_str());
    DeleteFileA(copied.c_str());
    DeleteFileA(source.c_str());
    RemoveDirectoryA(out.c_str());
    if (!ok) {
        std::fprintf(stderr, "file_bench: a run failed\n");
        return 1;
    }

    const Pairing pairs[] = {{"destination", measures[0], measures[1]}, {"in-place", measures[2], measures[3]}};
    for (const Pairing& pair : pairs)
        std::printf("file-coding-vs-copy %s %s %.2f\n", VORRIN_BENCH_ARCH, pair.line, pair.Ratio());
    std::printf("input-latency-ms %s max %.1f\n", VORRIN_BENCH_ARCH, std::max(inPlaceLatency, destinationLatency));
    // Where the time goes, per GiB: the parts the ratios are made of, and how far runs differ.
    for (const Pairing& pair : pairs) {
        const auto [low, high] = pair.Spread();
        std::printf("  %s %s: run by run %.2f to %.2f\n", VORRIN_BENCH_ARCH, pair.line, low, high);
    }
    for (const Measure& measure : measures) {
        const auto [fastest, slowest] = std::minmax_element(measure.seconds.begin(), measure.seconds.end());
        std::printf("  %s %s %.3f s/GiB (min %.3f, max %.3f)\n", VORRIN_BENCH_ARCH, measure.name,
                    Median(measure.seconds), *fastest, *slowest);
    }
    const long mostUnwritten =
        unwrittenAtStart.empty() ? 0 : *std::max_element(unwrittenAtStart.begin(), unwrittenAtStart.end());
    std::printf("  %s %d runs after one untimed; %s (at most %ld MiB was left to write back when a run was due)\n",
                VORRIN_BENCH_ARCH, Runs, wait ? "each run waited for the write-back to end" : "no run waited",
                mostUnwritten / 1024);
    std::printf("  %s input latency: destination %.1f ms, in place %.1f ms\n", VORRIN_BENCH_ARCH,
                destinationLatency, inPlaceLatency);
    return 0;
}
