// Times FileCodingJob over a file of 1 GiB against what the same bytes cost without coding:
// CopyFileA for a job into a destination folder, and a read-and-write-back pass in 1 MiB
// blocks for a job in place. Every timed run starts from a freshly written source, so the
// page cache holds the whole file for both sides alike. Runs alternate between job and
// baseline; medians count. Then, while one job of each kind runs, another thread posts a
// message every 2 ms and the job's pumps handle it: the longest wait is the window's delay
// in answering input while a file is coded.
// Usage: file_bench.exe <scratch folder ending in a backslash>
#include "engine/file_coding_job.h"
#include "toolkit/handles.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::uint64_t FileBytes = std::uint64_t{1} << 30;
constexpr DWORD ChunkBytes = 1 << 20;
constexpr int Runs = 5;

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
    void ReportWrongValue(const std::string&, const std::string&) override {}
    void ReportDamaged(const std::string&, const InterruptedFile&) override {}
    void ReportCantCode(CodingFailure, const std::string&, const std::optional<CodedRange>&) override {}
    void ProgressBegun(std::int64_t) override {}
    void ProgressMade(const CodingProgress&) override
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

// A fresh source of pseudo-random words in place of any earlier one.
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

    SilentView view;
    const auto freshSource = [&] { return CreateSource(source); };
    const auto freshSourceNoTarget = [&] {
        DeleteFileA(target.c_str());
        return CreateSource(source);
    };
    std::vector<Measure> measures = {
        {"job-destination", [&] { return FileCodingJob(source, out, 962, view); }, freshSourceNoTarget, {}},
        {"copy", [&] { return CopyFileA(source.c_str(), target.c_str(), FALSE) != 0; }, freshSourceNoTarget, {}},
        {"job-in-place", [&] { return FileCodingJob(source, "", 962, view); }, freshSource, {}},
        {"write-back-1m", [&] { return ReadAndWriteBack(source, ChunkBytes); }, freshSource, {}},
        {"code-only", CodeOnly, [] { return true; }, {}},
    };
    bool ok = true;
    for (int run = 0; run < Runs && ok; ++run) {
        for (Measure& measure : measures) {
            if (!measure.prepare()) {
                std::fprintf(stderr, "file_bench: cannot create %s\n", source.c_str());
                ok = false;
                break;
            }
            const auto start = Clock::now();
            ok = measure.run() && ok;
            measure.seconds.push_back(SecondsSince(start));
        }
    }

    InputLatency latency;
    SilentView pumping(true);
    double inPlaceLatency = 0, destinationLatency = 0;
    if (ok && freshSourceNoTarget()) {
        destinationLatency = latency.During([&] { return FileCodingJob(source, out, 962, pumping); });
        ok = latency.JobOk() && freshSource();
        inPlaceLatency = latency.During([&] { return FileCodingJob(source, "", 962, pumping); });
        ok = ok && latency.JobOk() && latency.Handled() > 0;
    }
    DeleteFileA(target.c_str());
    DeleteFileA(source.c_str());
    RemoveDirectoryA(out.c_str());
    if (!ok) {
        std::fprintf(stderr, "file_bench: a run failed\n");
        return 1;
    }

    const auto median = [&](int index) { return Median(measures[index].seconds); };
    std::printf("file-coding-vs-copy %s destination %.2f\n", VORRIN_BENCH_ARCH, median(0) / median(1));
    std::printf("file-coding-vs-copy %s in-place %.2f\n", VORRIN_BENCH_ARCH, median(2) / median(3));
    std::printf("input-latency-ms %s max %.1f\n", VORRIN_BENCH_ARCH, std::max(inPlaceLatency, destinationLatency));
    // Where the time goes, per GiB: the parts the ratios are made of.
    for (const Measure& measure : measures)
        std::printf("  %s %s %.3f s/GiB\n", VORRIN_BENCH_ARCH, measure.name, Median(measure.seconds));
    std::printf("  %s input latency: destination %.1f ms, in place %.1f ms; each run from a fresh source, "
                "the page cache warm for job and baseline alike\n",
                VORRIN_BENCH_ARCH, destinationLatency, inPlaceLatency);
    return 0;
}
