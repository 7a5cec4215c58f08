#pragma once
// An ordered list of 8-bit texts: the carrier of every list of paths in the program.
// Splitting a text into lines and joining lines into a text follow one set of rules here,
// so dropped names, the Add dialog's selection and file-list files all read alike.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class StringList {
public:
    std::size_t Count() const { return items_.size(); }

    // Item i, 0-based; an index out of range throws std::out_of_range.
    const std::string& Item(std::size_t i) const { return items_.at(i); }
    void SetItem(std::size_t i, std::string_view text);

    // Items never hold a NUL: a text is cut at its first NUL.
    void Add(std::string_view text);

    // Lines end at CR LF, at CR or at LF alone, as files from any system end them. A final
    // break adds no empty line; nothing is trimmed. A NUL is kept as SUB (0x1A), so no part
    // of the text is lost. Without append the list is emptied first.
    void SetText(std::string_view text, bool append = false);

    // Every item followed by CR LF.
    std::string GetText() const;

    // Both return false and leave the list (and an existing file) as it was on any failure.
    // Files are UTF-8 without a signature; a line that is not UTF-8 is read in the system's
    // legacy ANSI code page, so lists saved before still open. On POSIX only loading exists,
    // and lines are names as they are.
    bool LoadFromFile(const std::string& path);
    // The whole text of a list file, as LoadFromFile takes it: the signature some editors put
    // before UTF-8 is no part of the first line, and on Windows each line is read in the
    // encoding it was written in.
    void SetListFileText(std::string_view contents);
    bool SaveToFile(const std::string& path) const;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::string> items_;
};
