#pragma once
// What the main window does with the user's actions that are not menu commands.
#include <windows.h>

#include <string>

// Sees every message of every window of the program first: Escape, Insert, F1 and the
// close confirmation during a run. True only when it refuses a close.
bool WindowMessageHook(MSG& m);
// Enter presses the Add button, the window's default button, unless the focus is on
// another button or the check box.
bool DefaultButtonHandling(MSG& m);

void DropOnWindow(const std::string& dropText);
void DropOnBrowseButton(const std::string& dropText);
void BrowseDestination();
// The help file beside the program, wherever the current folder is.
std::string HelpFilePath();
void OpenHelp();

// The task menu's shortcuts act only while the task list has the focus.
void ListFocusGained();
void ListFocusLost();
void WindowClosing();
