// The icon, the button picture strip and the manifest load from the running program, and the
// pictures come out where they were drawn (a garbled converter shows up as wrong pixels).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace {

constexpr COLORREF kBackground = RGB(192, 192, 192);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr int kPicture = 16;

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

struct GdiObjectDeleter {
    void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

struct ImageListDeleter {
    void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
using ImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;

// Reads pixels of a 24-bit DIB section as the picture shows them, top row first.
class Pixels24 {
public:
    explicit Pixels24(const DIBSECTION& dib)
        : height_(dib.dsBmih.biHeight),
          stride_((dib.dsBmih.biWidth * 3 + 3) / 4 * 4), bits_(static_cast<const BYTE*>(dib.dsBm.bmBits))
    {
    }
    COLORREF At(int x, int y) const
    {
        const int row = height_ > 0 ? height_ - 1 - y : y; // positive height: bottom row first
        const BYTE* pixel = bits_ + row * stride_ + x * 3;
        return RGB(pixel[2], pixel[1], pixel[0]);
    }

private:
    int height_, stride_;
    const BYTE* bits_;
};

// A 32 x 32 drawing surface filled with red, to see what a picture leaves transparent.
class RedCanvas {
public:
    RedCanvas() : dc_(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kSize;
        info.bmiHeader.biHeight = -kSize; // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<std::uint32_t*>(bits);
        previous_ = SelectObject(dc_, bitmap_.get());
        for (int i = 0; i < kSize * kSize; ++i)
            bits_[i] = 0x00FF0000; // red, as 0x00RRGGBB
    }
    ~RedCanvas()
    {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    RedCanvas(const RedCanvas&) = delete;
    RedCanvas& operator=(const RedCanvas&) = delete;

    HDC Dc() const { return dc_; }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const std::uint32_t pixel = bits_[y * kSize + x];
        return RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
    }

private:
    static constexpr int kSize = 32;
    HDC dc_;
    Bitmap bitmap_;
    std::uint32_t* bits_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

std::string Rgb(COLORREF colour)
{
    char text[16];
    wsprintfA(text, "%u,%u,%u", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

struct StripPixel {
    int picture, x, y;
    COLORREF colour;
    const char* what;
};

} // namespace

TEST(ProgramResources, ButtonStripIsSixPicturesOf24BitsOnTheTransparentGrey)
{
    const Bitmap strip(static_cast<HBITMAP>(
        LoadImageA(Module(), "FORM1_IMAGELIST1", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(strip);
    DIBSECTION dib{};
    ASSERT_EQ(static_cast<int>(sizeof dib), GetObjectA(strip.get(), sizeof dib, &dib));
    EXPECT_EQ(96, dib.dsBm.bmWidth);
    EXPECT_EQ(16, dib.dsBm.bmHeight);
    EXPECT_EQ(24, dib.dsBm.bmBitsPixel);

    const Pixels24 pixels(dib);
    const StripPixel expected[] = {
        {0, 0, 0, kBackground, "top left corner"},
        {5, 15, 15, kBackground, "bottom right corner"},
        {0, 2, 7, kBlack, "centre of the plus"},
        {0, 10, 8, RGB(0, 176, 0), "inside the green triangle"},
        {1, 4, 8, kBlack, "left pause bar"},
        {1, 11, 8, kBlack, "right pause bar"},
        {1, 7, 8, kBackground, "gap between the pause bars"},
        {2, 4, 8, kGrey, "grey pause bar"},
        {2, 7, 8, kWhite, "white shadow of the grey bar"},
        {2, 5, 14, kWhite, "white shadow below the grey bar"},
        {3, 8, 8, kBlack, "stop square"},
        {3, 2, 8, kBackground, "beside the stop square"},
        {4, 8, 8, kGrey, "grey stop square"},
        {4, 13, 8, kWhite, "white shadow of the grey square"},
        {5, 8, 10, RGB(255, 216, 48), "front of the yellow folder"},
        {5, 3, 2, kBlack, "top of the folder's tab"},
    };
    for (const StripPixel& p : expected)
        EXPECT_EQ(Rgb(p.colour), Rgb(pixels.At(p.picture * kPicture + p.x, p.y)))
            << "picture " << p.picture << ", " << p.what;
}

// The strips for 125, 150 and 200 % are drawn at their own size in 16 colours: the stop square
// and the folder's front fill the same share of each, and the corners stay transparent.
TEST(ProgramResources, LargerStripsHoldTheSixPicturesDrawnAtTheirSize)
{
    // The square's first column: the first pixel whose centre lies inside it (3/16 of the width).
    for (const auto& [size, squareLeft] : {std::pair{20, 4}, std::pair{24, 4}, std::pair{32, 6}}) {
        SCOPED_TRACE(size);
        const std::string name = "BUTTONS_" + std::to_string(size);
        const Bitmap strip(static_cast<HBITMAP>(
            LoadImageA(Module(), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        ASSERT_TRUE(strip);
        BITMAP bitmap{};
        ASSERT_TRUE(GetObjectA(strip.get(), sizeof bitmap, &bitmap));
        EXPECT_EQ(6 * size, bitmap.bmWidth);
        EXPECT_EQ(size, bitmap.bmHeight);
        EXPECT_EQ(4, bitmap.bmBitsPixel);

        const ImageList images(ImageList_Create(size, size, ILC_MASK | ILC_COLORDDB, 0, 1));
        ASSERT_EQ(0, ImageList_AddMasked(images.get(), strip.get(), kBackground));
        ASSERT_EQ(6, ImageList_GetImageCount(images.get()));
        const RedCanvas stop, folder;
        ASSERT_TRUE(ImageList_Draw(images.get(), 3, stop.Dc(), 0, 0, ILD_TRANSPARENT));
        ASSERT_TRUE(ImageList_Draw(images.get(), 5, folder.Dc(), 0, 0, ILD_TRANSPARENT));
        const int centre = size / 2, last = size - 1;
        EXPECT_EQ(Rgb(kBlack), Rgb(stop.At(centre, centre)));
        EXPECT_EQ(Rgb(kBlack), Rgb(stop.At(squareLeft, squareLeft)));
        EXPECT_EQ(Rgb(kRed), Rgb(stop.At(squareLeft - 1, centre))) << "left of the square";
        EXPECT_EQ(Rgb(kRed), Rgb(stop.At(0, 0)));
        EXPECT_EQ(Rgb(kRed), Rgb(stop.At(last, last)));
        EXPECT_EQ(Rgb(RGB(255, 216, 48)), Rgb(folder.At(centre, size * 10 / 16)));
    }
}

TEST(ProgramResources, ImageListCutsTheStripIntoSixMaskedPictures)
{
    const ImageList images(ImageList_Create(kPicture, kPicture, ILC_MASK | ILC_COLORDDB, 0, 1));
    ASSERT_TRUE(images);
    const Bitmap strip(LoadBitmapA(Module(), "FORM1_IMAGELIST1"));
    ASSERT_TRUE(strip);
    EXPECT_EQ(0, ImageList_AddMasked(images.get(), strip.get(), kBackground));
    EXPECT_EQ(6, ImageList_GetImageCount(images.get()));

    // The grey background lets the button face show through; the bars themselves do not.
    const RedCanvas canvas;
    ASSERT_TRUE(ImageList_Draw(images.get(), 1, canvas.Dc(), 0, 0, ILD_TRANSPARENT));
    EXPECT_EQ(Rgb(kRed), Rgb(canvas.At(0, 0)));
    EXPECT_EQ(Rgb(kRed), Rgb(canvas.At(7, 8)));
    EXPECT_EQ(Rgb(kBlack), Rgb(canvas.At(4, 8)));
}

TEST(ProgramResources, MainIconHoldsSixteenColourImagesOfEverySize)
{
    const HRSRC group = FindResourceA(Module(), "MAINICON", RT_GROUP_ICON);
    ASSERT_NE(nullptr, group);
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(Module(), group)));
    ASSERT_NE(nullptr, directory);
    EXPECT_EQ(7, reinterpret_cast<const WORD*>(directory)[2]) << "images in the icon";

    // Small and large at 100, 125, 150 and 200 %.
    for (const int size : {32, 16, 20, 24, 40, 48, 64}) {
        SCOPED_TRACE(size);
        const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        const HRSRC image = FindResourceA(Module(), MAKEINTRESOURCEA(id), RT_ICON);
        ASSERT_NE(nullptr, image);
        const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Module(), image)));
        ASSERT_NE(nullptr, header);
        EXPECT_EQ(size, header->biWidth);
        EXPECT_EQ(2 * size, header->biHeight) << "colour rows and mask rows";
        EXPECT_EQ(4, header->biBitCount);
    }
}

TEST(ProgramResources, MainIconDrawsAYellowPadlockOverWhatIsBehindIt)
{
    struct Sample {
        int size, bodyX, bodyY, clearX, clearY;
    };
    // In each image, a pixel of the padlock's body and a transparent one among opaque neighbours.
    for (const Sample sample : {Sample{32, 18, 20, 5, 4}, Sample{16, 11, 12, 7, 2}}) {
        SCOPED_TRACE(sample.size);
        const Icon icon(
            static_cast<HICON>(LoadImageA(Module(), "MAINICON", IMAGE_ICON, sample.size, sample.size, 0)));
        ASSERT_TRUE(icon);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon.get(), &info));
        const Bitmap colour(info.hbmColor), mask(info.hbmMask);
        BITMAP bitmap{};
        ASSERT_TRUE(GetObjectA(colour.get(), sizeof bitmap, &bitmap));
        EXPECT_EQ(sample.size, bitmap.bmWidth);
        EXPECT_EQ(sample.size, bitmap.bmHeight);

        const RedCanvas canvas;
        ASSERT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon.get(), sample.size, sample.size, 0, nullptr, DI_NORMAL));
        EXPECT_EQ(Rgb(kRed), Rgb(canvas.At(0, sample.size - 1))) << "transparent corner";
        EXPECT_EQ(Rgb(kRed), Rgb(canvas.At(sample.clearX, sample.clearY)));
        EXPECT_EQ(Rgb(RGB(255, 255, 0)), Rgb(canvas.At(sample.bodyX, sample.bodyY)));
    }
}

TEST(ProgramResources, ManifestAsksForCommonControls6LongPathsAndDpiAwarenessPerScreen)
{
    const HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_NE(nullptr, found);
    const auto* text = static_cast<const char*>(LockResource(LoadResource(Module(), found)));
    ASSERT_NE(nullptr, text);
    const std::string_view manifest(text, SizeofResource(Module(), found));
    EXPECT_NE(std::string_view::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_NE(std::string_view::npos, manifest.find(">true</longPathAware>"));
    EXPECT_NE(std::string_view::npos, manifest.find("<supportedOS"));
    // The window lays itself out at each screen's DPI instead of being stretched as a bitmap.
    EXPECT_NE(std::string_view::npos, manifest.find(">true/pm</dpiAware>"));
    EXPECT_NE(std::string_view::npos, manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"));
}
