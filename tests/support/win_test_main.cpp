#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <thread>

// A test left waiting on a modal box nobody answers must not hang the whole run.
static void StartWatchdog(unsigned seconds)
{
    std::thread([seconds] {
        Sleep(seconds * 1000);
        std::fprintf(stderr, "win_tests: watchdog: still running after %u s, giving up\n", seconds);
        std::fflush(stderr);
        ExitProcess(3);
    }).detach();
}

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    StartWatchdog(840);
    return RUN_ALL_TESTS();
}
