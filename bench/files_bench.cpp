// Times a queue of N small files coded in place through the real window (AddFiles, the
// processing run, the task list and the file job) against copying the same files one by one
// with CopyFileA, for N = 1,000 and 10,000. Every run works on freshly written files, so the
// page cache is warm for both sides alike. Runs alternate between queue and copy; medians count.
// Apart, what the journal of a file coded in place costs for each: made (flushed, with its
// folder), the file's data flushed, the journal removed; on the same files, after the queue.
// The window stays hidden unless --shown is given: under Wine every caption change of a window
// on screen repaints its title bar, a millisecond or more, which outweighs a file of 1 KiB.
// Usage: files_bench.exe <scratch folder ending in a backslash> [--shown] [N...]
#include "engine/journal.h"
#include "mainwindow/main_form.h"
#include "queue/add_files.h"
#include "queue/processing_run.h"
#include "queue/task_list.h"
#include "toolkit/message_pump.h"
#include "ui/event_wiring.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr DWORD FileBytes = 1024;
constexpr int Runs = 3;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A fresh folder of `count` files of 1 KiB; returns their paths.
std::vector<std::string> MakeFiles(const std::string& folder, int count)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> paths;
    unsigned char data[FileBytes];
    for (int i = 0; i < count; ++i) {
        for (DWORD b = 0; b < FileBytes; ++b)
            data[b] = static_cast<unsigned char>(i * 31 + b);
        paths.push_back(folder + "file" + std::to_string(i) + ".bin");
        const HANDLE file = CreateFileA(paths.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        const bool ok = file != INVALID_HANDLE_VALUE && WriteFile(file, data, FileBytes, &written, nullptr) &&
                        written == FileBytes;
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        if (!ok)
            return {};
    }
    return paths;
}

void RemoveFolder(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

struct QueueSeconds {
    double adding;
    double total; // adding and coding
};

// The real window; the files are added as a drop adds them and coded by
// the run. Nothing when a row did not end "Ok".
std::optional<QueueSeconds> CodeThroughQueue(const std::vector<std::string>& paths, bool shown)
{
    std::unique_ptr<MainForm> form = CreateMainForm(EventWiring());
    if (!form)
        return std::nullopt;
    ++AppRunning;
    AppMainWindow = &form->Window;
    if (shown)
        ShowWindow(form->Window.Handle(), SW_SHOWNORMAL);
    ProcessMessages();

    StringList list;
    for (const std::string& path : paths)
        list.Add(path);
    // Adding and coding timed apart: with the coder value edit disabled, as during a run,
    // AddFiles only appends the rows, and the run is then started as AddFiles would.
    const auto start = Clock::now();
    form->CoderValueEdit.SetEnabled(false);
    AddFiles(list, 962);
    form->CoderValueEdit.SetEnabled(true);
    const double addSeconds = SecondsSince(start);
    StartRun(962);
    const QueueSeconds seconds{addSeconds, SecondsSince(start)};

    bool allOk = RowCount() == static_cast<int>(paths.size());
    for (int row = 0; allOk && row < RowCount(); ++row)
        allOk = RowMark(row) == "Ok";
    AppRunning = 0;
    AppMainWindow = nullptr;
    DestroyMainForm(form);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    return allOk ? std::optional<QueueSeconds>(seconds) : std::nullopt;
}

double CopyEach(const std::vector<std::string>& paths, const std::string& targetFolder)
{
    CreateDirectoryA(targetFolder.c_str(), nullptr);
    const auto start = Clock::now();
    for (const std::string& path : paths) {
        const std::string target = targetFolder + path.substr(path.find_last_of('\\') + 1);
        if (!CopyFileA(path.c_str(), target.c_str(), FALSE))
            return -1;
    }
    return SecondsSince(start);
}

// The journal's part of coding each file in place, without the coding: nothing when one fails.
std::optional<double> JournalEach(const std::vector<std::string>& paths)
{
    const auto start = Clock::now();
    for (const std::string& path : paths) {
        JobFile file = OpenToRewrite(path);
        Journal journal;
        JournalRecord first{0, 0, FileBytes, std::vector<std::uint32_t>(FileBytes / SectorBytes, 0)};
        const std::string resolved = file.IsOpen() ? ResolvedPath(file, path) : std::string();
        const std::optional<OpenFileIdentity> identity = resolved.empty() ? std::nullopt : IdentityAt(file, resolved);
        if (!identity ||
            !journal.Prepare(TemporaryJournalPath(resolved), file, FileBytes, 0, FileBytes, *identity, first) ||
            journal.Publish(JournalPath(resolved)) != Renamed::Done || !file.Flush() || !journal.Remove())
            return std::nullopt;
    }
    return SecondsSince(start);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: files_bench <scratch folder\\> [N...]\n");
        return 2;
    }
    const std::string work = argv[1];
    std::vector<int> counts;
    bool shown = false;
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--shown")
            shown = true;
        else
            counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty())
        counts = {1000, 10000};

    for (const int count : counts) {
        std::vector<double> queue, adding, copy, journal;
        for (int run = 0; run < Runs; ++run) {
            const std::string source = work + "files\\";
            const std::string target = work + "copies\\";
            const std::vector<std::string> paths = MakeFiles(source, count);
            const std::optional<QueueSeconds> queued = paths.empty() ? std::nullopt : CodeThroughQueue(paths, shown);
            const double copied = queued ? CopyEach(paths, target) : -1;
            const std::optional<double> journaled = queued ? JournalEach(paths) : std::nullopt;
            RemoveFolder(target);
            RemoveFolder(source);
            if (!queued || copied < 0 || !journaled) {
                std::fprintf(stderr, "files_bench: a run with %d files failed\n", count);
                return 1;
            }
            queue.push_back(queued->total);
            adding.push_back(queued->adding);
            copy.push_back(copied);
            journal.push_back(*journaled);
        }
        const double queueSeconds = Median(queue);
        const double copySeconds = Median(copy);
        std::printf("small-files-vs-copy %s %d %.2f\n", VORRIN_BENCH_ARCH, count, queueSeconds / copySeconds);
        std::printf("small-files-per-second %s %d %.0f\n", VORRIN_BENCH_ARCH, count, count / queueSeconds);
        const auto perFile = [count](double seconds) { return 1000 * seconds / count; };
        std::printf("  %s %d queue %.3f s (%.3f ms a file: adding %.3f, coding %.3f, of which the journal %.3f), "
                    "copy %.3f s (%.3f ms a file)\n",
                    VORRIN_BENCH_ARCH, count, queueSeconds, perFile(queueSeconds), perFile(Median(adding)),
                    perFile(queueSeconds - Median(adding)), perFile(Median(journal)), copySeconds, perFile(copySeconds));
        std::fflush(stdout);
    }
    return 0;
}
