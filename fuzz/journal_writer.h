#pragma once
// A journal written as a job writes one: made under a temporary name, given its own, then each
// later record in turn. The journal target and its seed writer both make journals this way.
#include "engine/journal.h"

#include <cstdio>
#include <string>
#include <vector>

// True when every record was written.
inline bool WriteJournalLikeAJob(const std::string& path, std::uint64_t size, std::uint32_t firstSectorSum,
                                 std::uint64_t region, const OpenFileIdentity& file,
                                 std::vector<JournalRecord>& records)
{
    std::remove(path.c_str());
    Journal journal;
    if (!journal.Prepare(path + ".new", JobFile(), size, firstSectorSum, region, file, records.front()) ||
        journal.Publish(path) != Renamed::Done)
        return false;
    for (std::size_t i = 1; i < records.size(); ++i)
        if (!journal.Write(records[i]))
            return false;
    return true;
}
