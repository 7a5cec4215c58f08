// The sectors' checksums taken eight at a time must be the ones the journal stores one by one
// (journals already on disk hold those), over whole groups, a rest, and a short last sector.
#include "engine/sector_checksums.h"
#include "support/test_data.h"

#include <gtest/gtest.h>

TEST(SectorChecksumsTest, AreEachSectorsOwnChecksum)
{
    const Bytes data = Pattern(19 * SectorBytes + 100);
    for (const std::size_t bytes : {std::size_t{0}, 8 * SectorBytes, 16 * SectorBytes + 1, data.size()}) {
        std::vector<std::uint32_t> sums{42};  // appended to what is there
        AppendSectorChecksums(data.data(), bytes, sums);
        ASSERT_EQ(sums.size(), 1 + (bytes + SectorBytes - 1) / SectorBytes);
        for (std::size_t k = 1; k < sums.size(); ++k) {
            const std::size_t at = (k - 1) * SectorBytes;
            EXPECT_EQ(sums[k], Checksum(data.data() + at, std::min(SectorBytes, bytes - at))) << "sector " << k - 1;
        }
    }
}
