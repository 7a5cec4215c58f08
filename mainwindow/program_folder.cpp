#include "mainwindow/program_folder.h"

#include "toolkit/folder_part.h"

#include <windows.h>

std::string ProgramFolder()
{
    // Long paths may exceed MAX_PATH; grow until the name fits.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return FolderPart(path);
        }
        path.resize(path.size() * 2);
    }
}
