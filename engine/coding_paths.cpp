#include "engine/coding_paths.h"

#include "engine/keystream_coder.h"

std::string DestinationPath(std::string_view source, std::string_view destinationFolder, char separator)
{
    std::string path(destinationFolder);
    if (source.size() < 2)
        return path;
    const std::size_t slash = source.rfind(separator, source.size() - 2);
    if (slash != std::string_view::npos)
        path += source.substr(slash + 1);
    return path;
}

std::string_view CaptionFileName(std::string_view source)
{
    const std::size_t separator = source.find_last_of(":\\/");
    return separator == std::string_view::npos ? source : source.substr(separator + 1);
}

std::string ProgressCaption(std::int64_t blockIndex, std::int64_t lastBlock, std::uint64_t size,
                            std::string_view fileName)
{
    std::string caption;
    if (size < BlockBytes || lastBlock <= 0)
        caption = "100%";
    else
        caption = std::to_string(blockIndex * 100 / lastBlock) + "% ";
    caption += fileName;
    return caption;
}

namespace {
constexpr std::string_view CopyPrefix = "vorrin-copy-";
constexpr std::string_view CopySuffix = ".tmp";
constexpr std::size_t CopyTagDigits = 16;
} // namespace

std::string CopyFileName(std::uint64_t tag)
{
    std::string name(CopyPrefix);
    for (int shift = 60; shift >= 0; shift -= 4)
        name += "0123456789abcdef"[(tag >> shift) & 15];
    return name += CopySuffix;
}

bool IsCopyFileName(std::string_view name)
{
    if (name.size() != CopyPrefix.size() + CopyTagDigits + CopySuffix.size() || !name.starts_with(CopyPrefix) ||
        !name.ends_with(CopySuffix))
        return false;
    const std::string_view tag = name.substr(CopyPrefix.size(), CopyTagDigits);
    return tag.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}
