#include "engine/step_plan.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint64_t OneSector = 512;
constexpr std::uint64_t Region = 16 * OneSector;  // steps of 4 sectors

// Where a plan starts: coding from the first step, restoring from where coding ends.
std::vector<Step> Plan(std::uint64_t size, std::uint64_t region, bool forward)
{
    const std::vector<Step> coding = PlanSteps(FirstRegion(size, region), size, region, true);
    return forward ? coding : PlanSteps(coding.back().region, size, region, false);
}

// The journal's rules over a whole plan: each record's region holds no more than the region's
// bytes, in whole sectors, drops only the far end of the record before it, and holds the next
// step whole; the fresh steps, in order, cover the file once. So everything outside a region
// is either all written (behind the move) or untouched (ahead of it).
void ExpectSound(const std::vector<Step>& steps, std::uint64_t size, std::uint64_t region, bool forward)
{
    std::uint64_t written = forward ? steps.front().region.to : steps.front().region.from;
    for (std::size_t k = 1; k < steps.size(); ++k) {
        const Span before = steps[k - 1].region, now = steps[k].region, fresh = steps[k].fresh, drops = steps[k].drops;
        SCOPED_TRACE(testing::Message() << "step " << k << " [" << now.from << ", " << now.to << ")");
        EXPECT_LE(now.to - now.from, region);
        EXPECT_EQ(now.from % OneSector, 0u);
        EXPECT_TRUE(now.to == size || now.to % OneSector == 0);
        EXPECT_TRUE(now.from <= fresh.from && fresh.to <= now.to);
        EXPECT_EQ(fresh.to - fresh.from, std::min(StepBytes(region), forward ? size - before.to : before.from));
        EXPECT_EQ(forward ? fresh.from : fresh.to, written);
        EXPECT_EQ(forward ? now.to : now.from, forward ? fresh.to : fresh.from);
        // What is dropped is the far end of the record before, written and now left behind.
        EXPECT_EQ(forward ? drops.from : drops.to, forward ? before.from : before.to);
        EXPECT_EQ(forward ? drops.to : drops.from, forward ? now.from : now.to);
        EXPECT_FALSE(drops.Overlaps(now));
        written = forward ? fresh.to : fresh.from;
    }
    EXPECT_EQ(written, forward ? size : 0u);
    EXPECT_TRUE(IsLast(steps.back().region, size, forward));
}

TEST(StepPlanTest, EveryFileIsCoveredOnceAndARecordDropsOnlyWhatLiesBehindIt)
{
    struct Case {
        std::uint64_t size;
        std::uint64_t region;  // 0: a new journal's for the file, at most 256 MiB
        std::size_t coding;    // steps
        std::size_t restoring;
    };
    const Case cases[] = {
        {0, 0, 1, 1},
        {1, 0, 1, 1},
        {OneSector, 0, 1, 1},
        {OneSector + 1, 0, 1, 1},
        {3 * OneSector, std::uint64_t{256} << 20, 1, 1},  // a small file under a large region
        {Region - 1, Region, 4, 1},
        {Region, Region, 4, 1},
        {Region + 1, Region, 5, 2},  // the last step one byte
        {10 * Region + 100, Region, 41, 38},
    };
    for (const Case& c : cases) {
        const std::uint64_t region = c.region ? c.region : RegionBytesFor(c.size, std::uint64_t{256} << 20);
        for (const bool forward : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.size << " bytes, region " << region << (forward ? ", coding" : ", restoring"));
            const std::vector<Step> steps = Plan(c.size, region, forward);
            EXPECT_EQ(steps.size(), forward ? c.coding : c.restoring);
            ExpectSound(steps, c.size, region, forward);
        }
    }
}

} // namespace
