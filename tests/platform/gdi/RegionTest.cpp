#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Region.h"

namespace {

TEST(Region, CombineOperationsGiveTheExpectedPixelsAndKinds) {
  Region a(RECT{0, 0, 10, 10}), b(RECT{5, 5, 15, 15});
  struct Case {
    Region::Op op;
    int area;
    bool in55, in00, in1414;
  } cases[] = {
      {Region::Op::And, 25, true, false, false},
      {Region::Op::Or, 175, true, true, true},
      {Region::Op::Xor, 150, false, true, true},
      {Region::Op::Diff, 75, false, true, false},
  };
  for (const Case& c : cases) {
    Region r = a.Combine(b, c.op);
    int area = 0;
    for (const RECT& rect : r.Rects()) area += (rect.right - rect.left) * (rect.bottom - rect.top);
    EXPECT_EQ(area, c.area);
    EXPECT_EQ(r.Contains(5, 5), c.in55);
    EXPECT_EQ(r.Contains(0, 0), c.in00);
    EXPECT_EQ(r.Contains(14, 14), c.in1414);
  }
}

TEST(Region, CanonicalFormMakesEqualSetsEqual) {
  Region left(RECT{0, 0, 5, 10}), right(RECT{5, 0, 10, 10});
  Region joined = left.Union(right);
  EXPECT_EQ(joined, Region(RECT{0, 0, 10, 10}));
  EXPECT_EQ(joined.Complexity(), SIMPLEREGION);
  Region holed = Region(RECT{0, 0, 10, 10}).Subtract(RECT{3, 3, 6, 6});
  EXPECT_EQ(holed.Complexity(), COMPLEXREGION);
  EXPECT_EQ(holed.Union(Region(RECT{3, 3, 6, 6})), Region(RECT{0, 0, 10, 10}));
  EXPECT_EQ(Region(RECT{0, 0, 10, 10}).Subtract(RECT{0, 0, 10, 10}).Complexity(), NULLREGION);
}

TEST(Region, HandleCallsFollowTheWindowsRules) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(20, 0, 30, 10);
  HRGN dest = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(dest, a, b, RGN_OR), COMPLEXREGION);
  RECT box;
  EXPECT_EQ(GetRgnBox(dest, &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{0, 0, 30, 10}));
  EXPECT_FALSE(PtInRegion(dest, 15, 5));
  EXPECT_EQ(OffsetRgn(dest, 5, 5), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(dest, 5, 5));
  EXPECT_FALSE(PtInRegion(dest, 4, 5));
  EXPECT_EQ(CombineRgn(dest, a, b, RGN_AND), NULLREGION);
  EXPECT_EQ(CombineRgn(dest, a, nullptr, RGN_AND), ERROR);
  HRGN e = CreateEllipticRgn(0, 0, 20, 10);
  EXPECT_TRUE(PtInRegion(e, 10, 5));
  EXPECT_FALSE(PtInRegion(e, 0, 0));
  for (HRGN r : {a, b, dest, e}) EXPECT_TRUE(DeleteObject(r));
  EXPECT_FALSE(DeleteObject(a));  // a deleted handle is refused, not freed twice
}

TEST(Region, GetRegionDataListsTheBandsAndRefusesASmallBuffer) {
  // An L shape: two bands, the upper one wide.
  HRGN a = CreateRectRgn(0, 0, 30, 10), b = CreateRectRgn(0, 10, 10, 20);
  CombineRgn(a, a, b, RGN_OR);
  const DWORD needed = GetRegionData(a, 0, nullptr);
  EXPECT_EQ(needed, sizeof(RGNDATAHEADER) + 2 * sizeof(RECT));
  std::vector<char> bytes(needed + 16);
  auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
  EXPECT_EQ(GetRegionData(a, needed - 1, data), 0u);  // one byte short: nothing
  EXPECT_EQ(GetRegionData(a, static_cast<DWORD>(bytes.size()), data), bytes.size());
  EXPECT_EQ(data->rdh.dwSize, 32u);
  EXPECT_EQ(data->rdh.iType, RDH_RECTANGLES);
  EXPECT_EQ(data->rdh.nCount, 2u);
  EXPECT_EQ(data->rdh.nRgnSize, 2 * sizeof(RECT));
  EXPECT_EQ(data->rdh.rcBound, (RECT{0, 0, 30, 20}));
  RECT rects[2];
  std::memcpy(rects, bytes.data() + sizeof(RGNDATAHEADER), sizeof rects);
  EXPECT_EQ(rects[0], (RECT{0, 0, 30, 10}));
  EXPECT_EQ(rects[1], (RECT{0, 10, 10, 20}));
  // An empty region is a header alone; a deleted one is no region.
  HRGN empty = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetRegionData(empty, 0, nullptr), sizeof(RGNDATAHEADER));
  EXPECT_EQ(GetRegionData(empty, static_cast<DWORD>(bytes.size()), data), bytes.size());
  EXPECT_EQ(data->rdh.nCount, 0u);
  DeleteObject(empty);
  DeleteObject(b);
  EXPECT_EQ(GetRegionData(b, 0, nullptr), 0u);
  DeleteObject(a);
}

}  // namespace
