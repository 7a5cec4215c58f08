#include "mainwindow/program_folder.h"

#include "toolkit/folder_part.h"
#include "toolkit/process_text.h"

#include <windows.h>

std::string ProgramFolder()
{
    // Long paths may exceed MAX_PATH; grow until the name fits. Read wide and converted
    // exactly: a look-alike folder would find another program's help file.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return FolderPart(ExactProcessText(path).value_or(""));
        }
        path.resize(path.size() * 2);
    }
}
