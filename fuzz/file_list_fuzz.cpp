// A file list over any bytes: vorrinc's @LIST as read on POSIX (ReadFileList, from the file),
// and the portable part of the window's reading on Windows: each line decoded as UTF-8 or in the
// legacy ANSI code page (ConvertLines; Latin-1 stands in for the system's conversion), split
// into lines, judged, and its relative lines read against the list's folder.
#include "fuzz_support.h"

#include "console/read_file_list.h"
#include "filelists/file_list_text.h"
#include "queue/queue_paths.h"
#include "toolkit/string_list.h"
#include "toolkit/utf8_text.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

bool HoldsBreakOrNul(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Well-formed UTF-8 told by the code points it decodes to, not by IsUtf8's ranges of bytes:
// which code page a line is read in hangs on it.
bool DecodesAsUtf8(std::string_view text)
{
    constexpr std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};  // by length: no overlong forms
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80         ? 1
                                   : lead >> 5 == 0x06 ? 2
                                   : lead >> 4 == 0x0E ? 3
                                   : lead >> 3 == 0x1E ? 4
                                                       : 0;
        if (length == 0 || text.size() - i < length)
            return false;
        std::uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string Latin1AsUtf8(std::string_view line)
{
    std::string utf8;
    for (const char c : line) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | code >> 6);
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

// A line in a process whose code page is Latin-1: UTF-8 is kept only when every character has
// a byte there, as the system refuses a name it can't hold; other lines are Latin-1 already.
std::optional<std::string> Utf8AsLatin1(std::string_view line)
{
    if (!IsUtf8(line))
        return std::string(line);
    std::string latin1;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto lead = static_cast<unsigned char>(line[i]);
        if (lead < 0x80) {
            latin1 += line[i];
        } else if (lead <= 0xC3) {
            latin1 += static_cast<char>((lead & 0x03) << 6 | (static_cast<unsigned char>(line[++i]) & 0x3F));
        } else {
            return std::nullopt;
        }
    }
    return latin1;
}

// What every reading of a list must give: lines without breaks or NULs that are written out
// and read again unchanged, and entries that name a file wherever the current folder is.
void CheckLines(const StringList& lines)
{
    StringList again;
    again.SetText(lines.GetText());
    Require(again.Count() == lines.Count(), "the lines written out read back as many");
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        Require(!HoldsBreakOrNul(lines.Item(i)), "a line holds no line break and no NUL");
        Require(again.Item(i) == lines.Item(i), "a line written out reads back the same");
    }
    for (const std::string_view folder : {"C:\\lists\\", "\\\\server\\share\\lists\\"})
        for (const std::string& line : lines)
            Require(line.empty() || !IsRelativePath(PathInFolder(folder, line)),
                    "a line is read against the list's folder");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    static ScratchFile file("list");
    std::string problem;
    if (const auto entries = ReadFileList(file.Write(bytes), problem)) {
        for (const std::string& entry : *entries)
            Require(!HoldsBreakOrNul(entry) && entry.front() == '/', "an entry is one full path");
    } else {
        Require(!problem.empty(), "a list refused says why");
    }

    Require(IsUtf8(bytes) == DecodesAsUtf8(bytes), "UTF-8 is told as its code points tell it");
    const auto asIs = [](std::string_view line) -> std::optional<std::string> { return std::string(line); };
    Require(ConvertLines(bytes, asIs) == bytes, "lines converted to themselves leave the text as it was");
    // A process in UTF-8 reading a legacy line, and a legacy process reading a UTF-8 one.
    const auto toUtf8 = [](std::string_view line) -> std::optional<std::string> {
        return IsUtf8(line) ? std::string(line) : Latin1AsUtf8(line);
    };
    const std::string utf8 = ConvertLines(bytes, toUtf8);
    Require(IsUtf8(utf8), "a list read in a UTF-8 process is UTF-8");
    StringList lines;
    lines.SetText(utf8);
    CheckLines(lines);
    lines.SetText(ConvertLines(bytes, Utf8AsLatin1));
    CheckLines(lines);
    return 0;
}
