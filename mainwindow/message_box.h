#pragma once
// The program's message boxes: owned by the main window while it exists.
#include <windows.h>

#include <string>

// The owner of the program's message boxes: the main window, or none once it is gone.
HWND MessageBoxOwner();
// A message box owned by the main window, its text fitted to the screen; returns the button
// pressed.
int ShowMessage(const std::string& text, const char* caption, UINT flags);
