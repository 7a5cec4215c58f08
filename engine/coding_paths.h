#pragma once
// The text rules of a file job: where the coded copy goes and what the caption shows.
// Pure functions, free of Windows calls.
#include <cstdint>
#include <string>
#include <string_view>

// The destination folder text followed by the source's file name: the text after the last
// separator (a backslash on Windows), the source's last character not examined. Without such
// a separator the destination path is the folder text itself.
std::string DestinationPath(std::string_view source, std::string_view destinationFolder,
                            char separator = '\\');

// The name of a coded copy before it takes the destination's: "vorrin-copy-", 16 lower-case
// hex digits of `tag`, ".tmp". Only a name of exactly that form is taken for one.
std::string CopyFileName(std::uint64_t tag);
bool IsCopyFileName(std::string_view name);

// The name shown in the caption: the text after the last ':', '\' or '/', or the whole path.
std::string_view CaptionFileName(std::string_view source);

// The caption while block `blockIndex` of blocks 0..lastBlock is coded: "100%name" for a
// file under one block, else the truncated percentage, "% " and the name.
std::string ProgressCaption(std::int64_t blockIndex, std::int64_t lastBlock, std::uint64_t size,
                            std::string_view fileName);
