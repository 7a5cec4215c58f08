#include "toolkit/common_controls.h"

#include <windows.h>
#include <commctrl.h>

namespace tk {

void EnsureCommonControls()
{
    InitCommonControls();
    // The library stays loaded for the life of the process, on purpose.
    static const HMODULE library = LoadLibraryA("comctl32");
    if (!library)
        return;
    using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initEx = reinterpret_cast<InitEx>(reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
    if (initEx) {
        const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), 0xFF};
        initEx(&classes);
    }
}

} // namespace tk
