#pragma once
// Owners for the handles the toolkit creates; each closes its handle exactly once.
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace tk {

template <typename H, auto Release>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, H{})) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.h_, H{}));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != H{}; }
    H release() { return std::exchange(h_, H{}); }
    void reset(H h = H{})
    {
        if (h_ != H{})
            Release(h_);
        h_ = h;
    }

private:
    H h_{};
};

inline void DeleteGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void DestroyAccelTable(HACCEL h) { DestroyAcceleratorTable(h); }
inline void DestroyMenuHandle(HMENU h) { DestroyMenu(h); }
inline void DestroyImageListHandle(HIMAGELIST h) { ImageList_Destroy(h); }

using FontHandle = UniqueHandle<HFONT, DeleteGdiObject>;
using BitmapHandle = UniqueHandle<HBITMAP, DeleteGdiObject>;
using AcceleratorTable = UniqueHandle<HACCEL, DestroyAccelTable>;
using MenuHandle = UniqueHandle<HMENU, DestroyMenuHandle>;
using ImageListHandle = UniqueHandle<HIMAGELIST, DestroyImageListHandle>;

} // namespace tk
