#include "engine/step_plan.h"

#include "engine/sector_checksums.h"

#include <algorithm>

std::uint64_t StepBytes(std::uint64_t regionBytes)
{
    return std::max<std::uint64_t>(regionBytes / StepsPerRegion / SectorBytes * SectorBytes, SectorBytes);
}

std::uint64_t RegionBytesFor(std::uint64_t size, std::uint64_t most)
{
    const std::uint64_t sectors = (size + SectorBytes - 1) / SectorBytes;
    return std::min(most, StepsPerRegion * sectors * SectorBytes);
}

Span FirstRegion(std::uint64_t size, std::uint64_t regionBytes)
{
    return {0, std::min(StepBytes(regionBytes), size)};
}

bool IsLast(Span region, std::uint64_t size, bool forward)
{
    return forward ? region.to == size : region.from == 0;
}

Step NextStep(Span region, std::uint64_t size, std::uint64_t regionBytes, bool forward)
{
    const std::uint64_t step = StepBytes(regionBytes);
    // Coding keeps what fits before the new step; restoring, what fits after it.
    if (forward) {
        const Span fresh{region.to, std::min(region.to + step, size)};
        const std::uint64_t reach = region.to + step;
        const std::uint64_t from = std::max(region.from, reach > regionBytes ? reach - regionBytes : 0);
        return {{from, fresh.to}, {region.from, from}, fresh};
    }
    const Span fresh{region.from > step ? region.from - step : 0, region.from};
    const std::uint64_t to = std::min(region.to, fresh.to + (regionBytes - step));
    return {{fresh.from, to}, {to, region.to}, fresh};
}

std::vector<Step> PlanSteps(Span first, std::uint64_t size, std::uint64_t regionBytes, bool forward)
{
    std::vector<Step> steps{{first, {}, first}};
    while (!IsLast(steps.back().region, size, forward))
        steps.push_back(NextStep(steps.back().region, size, regionBytes, forward));
    return steps;
}
