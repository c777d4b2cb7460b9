// Map view geometry.
#include <gtest/gtest.h>

#include "screens/MapView.h"

namespace gravik {
namespace {

TEST(MapViewGeometry, LevelsAreCentredWithTheWideLevelShift) {
  // A 20 x 20 level: cell (1, 1) sits at (112, 90).
  EXPECT_EQ(MapColumnOffset(20), 7);
  EXPECT_EQ(MapRowOffset(20), 7);
  EXPECT_EQ(16 * (MapColumnOffset(20) + 1) - 16, 112);
  EXPECT_EQ(15 * (MapRowOffset(20) + 1) - 30, 90);
  // Wider than 24 cells loses the extra column.
  EXPECT_EQ(MapColumnOffset(24), 5);
  EXPECT_EQ(MapColumnOffset(26), 3);
  // The widest level still starts inside the 512-pixel map area.
  EXPECT_GE(16 * (MapColumnOffset(32) + 1) - 16, 0);
  EXPECT_LE(16 * (MapColumnOffset(32) + 32), 512);
}

}  // namespace
}  // namespace gravik
