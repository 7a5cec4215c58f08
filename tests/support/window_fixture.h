#pragma once
// In-process tests of the real window: builds MainForm as the program does and sets up
// the application state as Run would, without entering Run's blocking loop.
#include "mainwindow/main_form.h"
#include "toolkit/message_pump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Reads a window's text without sending it a message: the thread that owns the window may
// be waiting for the caller. UTF-8, whatever the process code page.
std::string TextWithoutMessages(HWND hwnd);

// A control's rectangle in the client coordinates of `parent`.
RECT ClientRectIn(const tk::Control& c, HWND parent);
// Expects the control at that place and size in `parent`.
void ExpectPlacement(const tk::Control& c, HWND parent, int left, int top, int width, int height);

class WindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Handles pending messages for a while (the window settles, posted messages arrive).
    static void Pump(int milliseconds = 50);
    // Pumps until the condition holds or the time is up; returns the condition.
    static bool PumpUntil(const std::function<bool()>& condition, int milliseconds = 3000);
    // Sends a key to the window with the keyboard focus, as the pump would deliver it.
    static void PressKey(UINT key, bool ctrl = false, bool shift = false);

    MainForm& Form() { return *form_; }

    std::unique_ptr<MainForm> form_;
};

// A helper thread that waits for a modal box (caption as given) of this process, records
// its text and presses a button; it gives up after a timeout so no test can hang.
class ModalAnswerer {
public:
    // With repeat, answers every such box until destroyed or the time is up.
    ModalAnswerer(std::string caption, int button, int timeoutMs = 10000, bool repeat = false);
    ~ModalAnswerer();
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;

    // Waits for the thread; true when a box was found and answered.
    bool Wait();
    // Stops a repeating answerer and waits for its thread.
    void Stop();
    const std::string& Text() const { return text_; }
    // Every box's text, in order (with repeat).
    const std::vector<std::string>& Texts() const { return texts_; }
    int Count() const { return count_; }

private:
    void Loop();

    std::string caption_;
    int button_;
    int timeoutMs_;
    bool repeat_;
    std::string text_;
    std::vector<std::string> texts_;
    std::atomic<int> count_{0};  // read while the thread answers
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
