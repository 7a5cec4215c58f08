#pragma once
// Which event of which control runs which operation, in one place.
#include "mainwindow/main_form.h"

#include <cstdint>
#include <functional>
#include <vector>

struct TaskMenuEntry {
    const char* text;
    std::uint32_t accelerator;
    std::function<void()> command;
};

// The twelve entries of the task list's pop-up menu with their shortcuts and commands.
std::vector<TaskMenuEntry> TaskMenuEntries();

// The window's own events: its message hook, closing and dropped files.
void ConnectWindowEvents(MainForm& f);
// The controls' events, once they all exist.
void ConnectControlEvents(MainForm& f);
