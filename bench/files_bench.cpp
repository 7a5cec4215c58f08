// Times a queue of N small files coded in place through the real window (AddFiles, the
// processing run, the task list and the file job) against copying the same files one by one
// with CopyFileA, for N = 1,000 and 10,000. Every run works on freshly written files, so the
// page cache is warm for both sides alike. Runs alternate between queue and copy; medians count.
// Usage: files_bench.exe <scratch folder ending in a backslash> [N...]
#include "queue/add_files.h"
#include "queue/task_list.h"
#include "toolkit/message_pump.h"
#include "ui/main_form.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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

// The window as the program shows it; the queue runs inside AddFiles, as after a drop.
// Returns the seconds the run took, or a negative value when a row did not end "Ok".
double CodeThroughQueue(const std::vector<std::string>& paths)
{
    std::unique_ptr<MainForm> form = CreateMainForm();
    if (!form)
        return -1;
    ++AppRunning;
    AppMainWindow = &form->Window;
    ShowWindow(form->Window.Handle(), SW_SHOWNORMAL);
    ProcessMessages();

    StringList list;
    for (const std::string& path : paths)
        list.Add(path);
    const auto start = Clock::now();
    AddFiles(list, 962);
    const double seconds = SecondsSince(start);

    bool allOk = RowCount() == static_cast<int>(paths.size());
    for (int row = 0; allOk && row < RowCount(); ++row)
        allOk = RowMark(row) == "Ok";
    AppRunning = 0;
    AppMainWindow = nullptr;
    form.reset();
    TheMainForm = nullptr;
    SavedAccelerators.reset();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    return allOk ? seconds : -1;
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
    for (int i = 2; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {1000, 10000};

    for (const int count : counts) {
        std::vector<double> queue, copy;
        for (int run = 0; run < Runs; ++run) {
            const std::string source = work + "files\\";
            const std::string target = work + "copies\\";
            const std::vector<std::string> paths = MakeFiles(source, count);
            const double queued = paths.empty() ? -1 : CodeThroughQueue(paths);
            const double copied = queued < 0 ? -1 : CopyEach(paths, target);
            RemoveFolder(target);
            RemoveFolder(source);
            if (queued < 0 || copied < 0) {
                std::fprintf(stderr, "files_bench: a run with %d files failed\n", count);
                return 1;
            }
            queue.push_back(queued);
            copy.push_back(copied);
        }
        const double queueSeconds = Median(queue);
        const double copySeconds = Median(copy);
        std::printf("small-files-vs-copy %s %d %.2f\n", VORRIN_BENCH_ARCH, count, queueSeconds / copySeconds);
        std::printf("small-files-per-second %s %d %.0f\n", VORRIN_BENCH_ARCH, count, count / queueSeconds);
        std::printf("  %s %d queue %.3f s (%.3f ms a file), copy %.3f s (%.3f ms a file)\n", VORRIN_BENCH_ARCH,
                    count, queueSeconds, 1000 * queueSeconds / count, copySeconds, 1000 * copySeconds / count);
        std::fflush(stdout);
    }
    return 0;
}
