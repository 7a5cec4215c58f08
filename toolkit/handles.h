#pragma once
// Owners for the handles the program creates; each closes its handle exactly once.
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace tk {

template <typename H>
H NullHandle()
{
    return H{};
}

// Empty() is the value that stands for no handle: null for most kinds.
template <typename H, auto Release, H (*Empty)() = NullHandle<H>>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, Empty())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.h_, Empty()));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != Empty(); }
    H release() { return std::exchange(h_, Empty()); }
    void reset(H h = Empty())
    {
        if (h_ != Empty())
            Release(h_);
        h_ = h;
    }

private:
    H h_ = Empty();
};

inline void DeleteGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void DestroyAccelTable(HACCEL h) { DestroyAcceleratorTable(h); }
inline void DestroyMenuHandle(HMENU h) { DestroyMenu(h); }
inline void DestroyImageListHandle(HIMAGELIST h) { ImageList_Destroy(h); }
inline void DestroyIconHandle(HICON h) { DestroyIcon(h); }
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
// CreateFileA fails with this value, not with null.
inline HANDLE NoFile() { return INVALID_HANDLE_VALUE; }

using FontHandle = UniqueHandle<HFONT, DeleteGdiObject>;
using BitmapHandle = UniqueHandle<HBITMAP, DeleteGdiObject>;
using AcceleratorTable = UniqueHandle<HACCEL, DestroyAccelTable>;
using MenuHandle = UniqueHandle<HMENU, DestroyMenuHandle>;
using ImageListHandle = UniqueHandle<HIMAGELIST, DestroyImageListHandle>;
using IconHandle = UniqueHandle<HICON, DestroyIconHandle>;
// A file opened with CreateFileA; taken straight from the call, failure included.
using FileHandle = UniqueHandle<HANDLE, CloseKernelHandle, NoFile>;

// Closes the file at once; false when it was not open or the close failed (a write the
// system had delayed can fail here).
inline bool CloseFile(FileHandle& file)
{
    return file && CloseHandle(file.release());
}

} // namespace tk
