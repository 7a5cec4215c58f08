#pragma once
// The owner of a FindFirstFileA search, closed exactly once.
#include "toolkit/handles.h"

inline void CloseFind(HANDLE find)
{
    FindClose(find);
}
using FindHandle = tk::UniqueHandle<HANDLE, CloseFind, tk::NoFile>;
