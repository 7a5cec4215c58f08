#pragma once
// The commands of the task list's pop-up menu that edit the queue and its marks.
#include <windows.h>

void DeleteFromList();
void DeleteProcessed();
void ClearAll();
void ProcessUnprocessed();
void ClearCurrentResult();
void ClearAllResults();
// Double click: the shell opens the selected row's file.
void OpenRowFile();
// The list's context-menu request: at the pointer, or from the keyboard at the selected row.
void ShowTaskMenu(POINT screen, bool fromKeyboard);
