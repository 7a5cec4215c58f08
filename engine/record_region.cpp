#include "engine/record_region.h"

#include "engine/sector_checksums.h"

#include <algorithm>
#include <utility>

namespace {

std::uint64_t SectorsIn(std::uint64_t bytes)
{
    return (bytes + SectorBytes - 1) / SectorBytes;
}

} // namespace

void RecordRegion::Start(const JournalRecord& record, Sector state)
{
    record_ = record;
    sectors_.assign(record_.sums.size(), state);
}

void RecordRegion::Tell(std::uint64_t at, const std::vector<std::uint32_t>& asRead,
                        const std::vector<std::uint32_t>& decoded)
{
    const std::size_t first = static_cast<std::size_t>((at - record_.done) / SectorBytes);
    for (std::size_t k = 0; k < asRead.size(); ++k) {
        const std::uint32_t original = record_.sums[first + k];
        sectors_[first + k] = asRead[k] == original    ? Sector::Original
                              : decoded[k] == original ? Sector::Coded
                                                       : Sector::Damaged;
    }
}

std::vector<Sector>::iterator RecordRegion::SectorsAt(std::uint64_t at)
{
    return sectors_.begin() + static_cast<std::ptrdiff_t>((at - record_.done) / SectorBytes);
}

std::vector<Sector>::iterator RecordRegion::SectorsEnd(std::uint64_t at, std::uint64_t length)
{
    return SectorsAt(at) + static_cast<std::ptrdiff_t>(SectorsIn(length));
}

std::size_t RecordRegion::Count(Sector state) const
{
    return static_cast<std::size_t>(std::count(sectors_.begin(), sectors_.end(), state));
}

std::uint64_t RecordRegion::SectorLength(std::uint64_t at) const
{
    return std::min<std::uint64_t>(SectorBytes, size_ - at);
}

std::uint64_t RecordRegion::CodedBytes() const
{
    std::uint64_t coded = record_.done;
    for (std::size_t k = 0; k < sectors_.size(); ++k)
        if (sectors_[k] == Sector::Coded)
            coded += SectorLength(record_.done + k * SectorBytes);
    return coded;
}

InterruptedFile RecordRegion::Describe(const std::string& journalPath) const
{
    InterruptedFile found{journalPath, size_, CodedBytes(), {}};
    for (std::size_t k = 0; k < sectors_.size(); ++k) {
        if (sectors_[k] != Sector::Damaged)
            continue;
        const std::uint64_t from = record_.done + k * SectorBytes;
        const std::uint64_t to = from + SectorLength(from);
        if (!found.damaged.empty() && found.damaged.back().to == from)
            found.damaged.back().to = to;
        else
            found.damaged.push_back({from, to, size_});
    }
    return found;
}

std::pair<std::ptrdiff_t, std::ptrdiff_t> RecordRegion::Kept(bool forward, const JournalRecord& next) const
{
    return {static_cast<std::ptrdiff_t>(forward ? (next.done - record_.done) / SectorBytes : 0),
            static_cast<std::ptrdiff_t>(forward ? record_.sums.size() : SectorsIn(next.regionEnd - record_.done))};
}

JournalRecord RecordRegion::Next(const Step& step, bool forward, std::vector<std::uint32_t> freshSums) const
{
    JournalRecord next{0, step.region.from, step.region.to, std::move(freshSums)};
    const auto [keptFrom, keptTo] = Kept(forward, next);
    next.sums.insert(forward ? next.sums.begin() : next.sums.end(), record_.sums.begin() + keptFrom,
                     record_.sums.begin() + keptTo);
    return next;
}

void RecordRegion::Adopt(const JournalRecord& next, bool forward)
{
    const auto [keptFrom, keptTo] = Kept(forward, next);
    const std::uint64_t fresh = forward ? next.regionEnd - record_.regionEnd : record_.done - next.done;
    std::vector<Sector> sectors(static_cast<std::size_t>(SectorsIn(fresh)), forward ? Sector::Original : Sector::Coded);
    sectors.insert(forward ? sectors.begin() : sectors.end(), sectors_.begin() + keptFrom, sectors_.begin() + keptTo);
    record_ = next;
    sectors_ = std::move(sectors);
}
