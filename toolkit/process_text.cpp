#include "toolkit/process_text.h"

#include "toolkit/message_pump.h"
#include "toolkit/utf8_text.h"

#include <windows.h>

namespace {

UINT ProcessCodePage()
{
    // CP_ACP itself would do, but naming UTF-8 lets the conversion refuse lone surrogates.
    return ProcessCodePageIsUtf8() ? CP_UTF8 : CP_ACP;
}

std::wstring ToWide(UINT codePage, DWORD flags, std::string_view text, bool& ok)
{
    ok = true;
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    ok = length > 0 && MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length) == length;
    return wide;
}

} // namespace

bool ProcessCodePageIsUtf8()
{
    return GetACP() == CP_UTF8;
}

std::wstring WideText(std::string_view text)
{
    bool ok = false;
    return ToWide(ProcessCodePage(), 0, text, ok);
}

std::wstring Capitals(std::string_view text)
{
    std::wstring wide = WideText(text);
    if (!wide.empty())
        CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return wide;
}

std::optional<std::string> ExactProcessText(std::wstring_view text)
{
    if (text.empty())
        return std::string();
    const UINT codePage = ProcessCodePage();
    // UTF-8 takes neither the best-fit flag nor the default-character test.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultFlag = utf8 ? nullptr : &usedDefault;
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, usedDefaultFlag);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    std::string converted(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(codePage, flags, text.data(), size, converted.data(), length, nullptr,
                            usedDefaultFlag) != length ||
        usedDefault)
        return std::nullopt;
    // The way back proves it: a code page may map a character to another without saying so.
    if (WideText(converted) != text)
        return std::nullopt;
    return converted;
}

void ReportUnusableName(std::wstring_view name)
{
    const std::wstring text = L"Can't use the name on this system\r" + std::wstring(name);
    MessageBoxW(AppMainWindowHandle(), text.c_str(), L"Error", MB_OK | MB_ICONERROR);
}

std::optional<std::string> NameFromSystem(std::wstring_view name)
{
    std::optional<std::string> text = ExactProcessText(name);
    if (!text)
        ReportUnusableName(name);
    return text;
}

unsigned LegacyAnsiCodePage()
{
    static const unsigned codePage = [] {
        DWORD value = 0;
        if (!GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                            reinterpret_cast<LPWSTR>(&value), sizeof value / sizeof(WCHAR)))
            return 0u;
        return static_cast<unsigned>(value);
    }();
    return codePage;
}

std::optional<std::string> ListLineAsProcessText(std::string_view line)
{
    const bool utf8 = IsUtf8(line);
    if (utf8 && ProcessCodePageIsUtf8())
        return std::string(line);
    const UINT from = utf8 ? CP_UTF8 : LegacyAnsiCodePage();
    // Without a code page to read it in, or when it does not read, the line stays as it was:
    // then it names no file, and the program says so.
    if (from == 0 || (from == CP_UTF8 && !utf8))
        return std::string(line);
    bool ok = false;
    const std::wstring wide = ToWide(from, MB_ERR_INVALID_CHARS, line, ok);
    if (!ok)
        return std::string(line);
    return NameFromSystem(wide);
}

std::string Utf8FromProcessText(std::string_view text)
{
    if (ProcessCodePageIsUtf8())
        return std::string(text);
    const std::wstring wide = WideText(text);
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}
