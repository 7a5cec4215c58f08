// What a screen reader hears: the names the system's accessibility interface gives the
// window's controls, read through oleacc as assistive technology reads them.
#include "support/window_fixture.h"

#include <oleacc.h>

#include <string>

namespace {

std::string AccessibleName(HWND hwnd)
{
    IAccessible* object = nullptr;
    // The interface's identity from its declaration: with the IID_IAccessible linked into the
    // 64-bit build, oleacc answered E_NOINTERFACE.
    const HRESULT made = AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                    reinterpret_cast<void**>(&object));
    if (FAILED(made) || !object)
        return "(no accessible object: " + std::to_string(static_cast<unsigned long>(made)) + ")";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT read = object->get_accName(self, &name);
    object->Release();
    if (FAILED(read) || !name)
        return "(no name)";
    const int length = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, name, -1, text.data(), length, nullptr, nullptr);
    SysFreeString(name);
    text.resize(text.size() - 1);
    return text;
}

} // namespace

using AccessibleNamesTest = WindowTest;

TEST_F(AccessibleNamesTest, PictureButtonsAndEditsAreNamedForWhatTheyDo)
{
    MainForm& f = Form();
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    EXPECT_EQ(AccessibleName(f.AddButton.Handle()), "Add");
    EXPECT_EQ(AccessibleName(f.PauseButton.Handle()), "Pause");
    EXPECT_EQ(AccessibleName(f.StopButton.Handle()), "Stop");
    EXPECT_EQ(AccessibleName(f.BrowseButton.Handle()), "Browse");
    EXPECT_EQ(AccessibleName(f.CoderValueEdit.Handle()), "Initial coder value");
    EXPECT_EQ(AccessibleName(f.DestinationEdit.Handle()), "Destination folder");

    // Held down, the pause button says what a press does next.
    f.PauseButton.SetChecked(true);
    EXPECT_EQ(AccessibleName(f.PauseButton.Handle()), "Resume");
    f.PauseButton.SetChecked(false);
    EXPECT_EQ(AccessibleName(f.PauseButton.Handle()), "Pause");
    CoUninitialize();
}
