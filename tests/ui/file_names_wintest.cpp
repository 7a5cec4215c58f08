// File names in any language reach their own file and never a look-alike: real drops, the
// real Add dialog and file lists against the real window. Built twice: into win_tests, whose
// manifest makes the process code page UTF-8, and into win_tests_legacy_code_page, without
// that setting, as on systems before Windows 10 1903.
#include "filelists/file_list_commands.h"
#include "queue/add_files.h"
#include "queue/queue_fixture.h"
#include "support/file_dialog_driver.h"
#include "toolkit/process_text.h"

#include <shlobj.h> // DROPFILES

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

#ifdef VORRIN_LEGACY_CODE_PAGE_TEST
constexpr bool Utf8Build = false;
#else
constexpr bool Utf8Build = true;
#endif

std::string Utf8(std::wstring_view text)
{
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
}

// Process text of a name the process can hold (the UTF-8 build holds them all).
std::string Text(const std::wstring& name)
{
    return ExactProcessText(name).value_or("<not representable>");
}

// Through wide paths, so the files exist whatever the process code page.
void WriteBytes(const std::wstring& path, const Bytes& data)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    EXPECT_TRUE(out.good()) << Utf8(path);
}

Bytes ReadBytes(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A drop of these files on the window, as the shell hands one over: wide names.
void DropFiles(HWND target, const std::vector<std::wstring>& paths)
{
    std::size_t chars = 1;
    for (const std::wstring& path : paths)
        chars += path.size() + 1;
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(drop + 1);
    for (const std::wstring& path : paths)
        names = std::copy(path.begin(), path.end(), names) + 1;
    GlobalUnlock(memory);
    SendMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0); // the handler frees it
}

void ClearRows()
{
    while (RowCount() > 0)
        DeleteRow(0);
}

class FileNamesTest : public QueueTest {
protected:
    // A fresh folder, with its final backslash; `under` ends with one.
    std::wstring MakeFolder(const std::wstring& under, const std::wstring& name)
    {
        std::filesystem::path folder(under + name);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        EXPECT_TRUE(std::filesystem::create_directory(folder, ignored)) << Utf8(folder.wstring());
        folders_.push_back(folder);
        return folder.wstring() + L"\\";
    }

    void TearDown() override
    {
        QueueTest::TearDown();
        // The Add dialog leaves the current folder where it browsed, which would keep that
        // folder from being removed.
        SetCurrentDirectoryW(L"C:\\");
        std::error_code ignored;
        for (const std::filesystem::path& folder : folders_)
            std::filesystem::remove_all(folder, ignored);
    }

    std::vector<std::filesystem::path> folders_;
};

constexpr CoderValue Value = 7;

} // namespace

TEST_F(FileNamesTest, ALookAlikeIsNeverCodedInsteadOfTheChosenFile)
{
    ASSERT_EQ(ProcessCodePageIsUtf8(), Utf8Build) << "the manifest decides the process code page";
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder = MakeFolder(temp, L"vorrin-names-" + std::to_wstring(GetCurrentProcessId()));
    // Each chosen name next to the look-alike an ANSI best fit turns it into.
    const std::vector<std::wstring> chosen = {folder + L"z\u0142oty.bin", folder + L"\uFF21.bin"};
    const std::vector<std::wstring> lookAlikes = {folder + L"zloty.bin", folder + L"A.bin"};
    std::vector<Bytes> original;
    for (std::size_t i = 0; i < 2; ++i) {
        original.push_back(Pattern(1000, static_cast<std::uint32_t>(i + 1)));
        WriteBytes(chosen[i], original[i]);
        WriteBytes(lookAlikes[i], Pattern(1000, 9));
    }
    ASSERT_FALSE(HasFailure()) << "the files could not be made";
    const std::wstring list = folder + L"names.flt";
    WriteBytes(list, [&] {
        const std::string text = Utf8(chosen[0] + L"\r\n" + chosen[1] + L"\r\n");
        return Bytes(text.begin(), text.end());
    }());
    Form().CoderValueEdit.SetText(std::to_string(Value));
    Form().AddFilesDialog.InitialFolder = Text(folder);

    // Three ways in, each coding the chosen pair once more: a drop, the Add dialog, a list.
    ModalAnswerer errors("Error", IDOK, 60000, true);
    DropFiles(Form().Window.Handle(), chosen);
    const std::vector<std::string> afterDrop = Paths();
    ClearRows();
    {
        dialog_driver::DialogHelper helper([](DWORD thread) {
            const HWND dialog = dialog_driver::WaitForDialog(thread, "Select file(s) to simple coding...");
            if (!dialog)
                return false;
            SendMessageW(dialog_driver::FileNameBox(dialog), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(L"\"z\u0142oty.bin\" \"\uFF21.bin\""));
            dialog_driver::Press(dialog, IDOK);
            return dialog_driver::WaitUntilGone(dialog);
        });
        AddFilesCommand();
        EXPECT_TRUE(helper.Finish());
    }
    const std::vector<std::string> afterDialog = Paths();
    ClearRows();
    LoadFileList(Text(list), false, Value);
    const std::vector<std::string> afterList = Paths();
    Pump(300);
    errors.Stop();

    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_EQ(ReadBytes(lookAlikes[i]), Pattern(1000, 9)) << "look-alike touched: " << Utf8(lookAlikes[i]);
    if (Utf8Build) {
        const std::vector<std::string> queued = {Text(chosen[0]), Text(chosen[1])};
        EXPECT_EQ(afterDrop, queued);
        EXPECT_EQ(afterDialog, queued);
        EXPECT_EQ(afterList, queued);
        EXPECT_EQ(Marks(), (std::vector<std::string>{"Ok", "Ok"}));
        EXPECT_TRUE(errors.Texts().empty()) << errors.Texts().front();
        for (std::size_t i = 0; i < 2; ++i)
            EXPECT_EQ(ReadBytes(chosen[i]), Coded(original[i], Value)) << "coded three times";
    } else {
        // Refused with the name as it is, each time; nothing queued, nothing coded.
        std::vector<std::string> expected;
        for (int way = 0; way < 3; ++way)
            for (const std::wstring& path : chosen)
                expected.push_back("Can't use the name on this system\r" + Utf8(path));
        EXPECT_EQ(errors.Texts(), expected);
        EXPECT_TRUE(afterDrop.empty() && afterDialog.empty() && afterList.empty());
        for (std::size_t i = 0; i < 2; ++i)
            EXPECT_EQ(ReadBytes(chosen[i]), original[i]);
    }
}

TEST_F(FileNamesTest, NamesInAnyLanguageAreQueuedShownAndCodedIntoAFolderAndInPlace)
{
    if (!Utf8Build)
        GTEST_SKIP() << "needs the UTF-8 process code page";
    // The file calls take at most 260 characters here, so a name of 255 needs a folder of one
    // character at the root: one per process, as the two builds' tests may run at once.
    const wchar_t mark = static_cast<wchar_t>(0x4E00 + 2 * (GetCurrentProcessId() % 4000));
    const std::wstring source = MakeFolder(L"C:\\", std::wstring(1, mark));
    const std::wstring destination = MakeFolder(L"C:\\", std::wstring(1, mark + 1));
    const std::wstring longFolder = MakeFolder(source, std::wstring(85, L'\u6587')); // 255 bytes in UTF-8
    const std::vector<std::wstring> names = {
        L"\u041F\u0440\u0438\u0432\u0435\u0442.bin",            // Cyrillic
        L"\u4E2D\u6587\u540D.bin",                               // Chinese
        L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC.bin", // Greek
        L"r\u00E9sum\u00E9 \u00E0 \u00E7\u00F4t\u00E9.bin",      // accented Latin
        L"\U0001F600\U0001F30D.bin",                             // emoji: 4 bytes each in UTF-8
        L"e\u0301\u0308a\u030A.bin",                             // combining marks
        std::wstring(251, L'n') + L".bin",                       // 255 UTF-16 units
    };
    std::vector<std::wstring> sources;
    for (const std::wstring& name : names)
        sources.push_back(source + name);
    sources.push_back(longFolder + std::wstring(83, L'\u5B57') + L".bin"); // a path of 516 bytes
    std::vector<Bytes> original;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        original.push_back(Pattern(3000 + i, static_cast<std::uint32_t>(i + 1)));
        WriteBytes(sources[i], original[i]);
    }
    ASSERT_FALSE(HasFailure()) << "the files could not be made";
    Form().CoderValueEdit.SetText(std::to_string(Value));
    Form().DestinationEdit.SetText(Text(destination));
    ASSERT_EQ(Form().DestinationEdit.Text(), Text(destination));

    ModalAnswerer errors("Error", IDOK, 30000, true);
    DropFiles(Form().Window.Handle(), sources);
    std::vector<std::string> expectedRows;
    for (const std::wstring& path : sources)
        expectedRows.push_back(Text(path));
    EXPECT_EQ(Paths(), expectedRows);
    EXPECT_EQ(Marks(), std::vector<std::string>(sources.size(), "Ok"));
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const std::wstring name = sources[i].substr(sources[i].rfind(L'\\') + 1);
        EXPECT_TRUE(std::any_of(seenCaptions_.begin(), seenCaptions_.end(),
                                [&](const std::string& caption) { return caption.ends_with(Text(name)); }))
            << "no caption for " << Utf8(name);
        EXPECT_EQ(ReadBytes(sources[i]), original[i]) << Utf8(sources[i]);
        EXPECT_EQ(ReadBytes(destination + name), Coded(original[i], Value)) << Utf8(name);
    }

    // The coded copies, coded again in place, are the originals.
    ClearRows();
    Form().DestinationEdit.SetText("");
    std::vector<std::wstring> copies;
    for (const std::wstring& path : sources)
        copies.push_back(destination + path.substr(path.rfind(L'\\') + 1));
    DropFiles(Form().Window.Handle(), copies);
    EXPECT_EQ(Marks(), std::vector<std::string>(copies.size(), "Ok"));
    for (std::size_t i = 0; i < copies.size(); ++i)
        EXPECT_EQ(ReadBytes(copies[i]), original[i]) << Utf8(copies[i]);
    errors.Stop();
    EXPECT_TRUE(errors.Texts().empty()) << errors.Texts().front();
}
