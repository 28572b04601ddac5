// The host's suites as a plug-in calls them: the handle table and its limits, properties,
// colour services, interpolation, pixel display into a memory device context, and the record
// the host fills before the first selector.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "quillo/plugins/FilterChild.h"
#include "quillo/plugins/FilterHostCallbacks.h"
#include "support/UiDriver.h"

namespace {

class FilterHostCallbacks : public ::testing::Test {
protected:
  FilterHostCallbacks() { Start(-1); }
  ~FilterHostCallbacks() override { EndFilterHostRun(); }
  void Start(std::int32_t alphaMode) {
    FilterHostRun run;
    run.alphaMode = alphaMode;
    run.interpolation = 2;
    run.source = picture.data();
    run.width = 2;
    run.height = 2;
    run.rowBytes = 8;
    run.foreColor = 0x102030;
    run.backColor = 0xA0B0C0;
    run.pickColour = [this](std::uint32_t start, const std::string& prompt) {
      pickedFrom = start;
      prompts.push_back(prompt);
      return pickAnswer;
    };
    StartFilterHostRun(run);
  }
  ColorServicesInfo Info(int16_t selector, int16_t source, int16_t result, std::vector<int16_t> components = {}) {
    ColorServicesInfo info{};
    info.infoSize = sizeof info;
    info.selector = selector;
    info.sourceSpace = source;
    info.resultSpace = result;
    for (std::size_t i = 0; i < components.size(); ++i) info.colorComponents[i] = components[i];
    return info;
  }

  // Pixels (b, g, r, a): (1, 2, 3, 0), (4, 5, 6, 0) / (7, 8, 9, 0), (10, 11, 12, 0).
  std::vector<std::uint8_t> picture = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0};
  std::uint32_t pickAnswer = 0x445566;
  std::uint32_t pickedFrom = 0;
  std::vector<std::string> prompts;
};

TEST_F(FilterHostCallbacks, TheTableHoldsOneThousandAndTwentyFourLiveHandles) {
  HandleProcs* h = FilterHandleProcs();
  std::vector<Handle> handles;
  for (int i = 0; i < kFilterHandleSlots; ++i) handles.push_back(h->newProc(8));
  for (Handle handle : handles) ASSERT_NE(handle, nullptr);
  EXPECT_EQ(h->newProc(8), nullptr) << "the 1025th";
  h->disposeProc(handles[5]);
  EXPECT_EQ(h->newProc(8), handles[5]) << "a freed slot is used again";
  std::strcpy(*handles[0], "abc");
  EXPECT_EQ(h->lockProc(handles[0], 0), *handles[0]);
  EXPECT_EQ(h->setSizeProc(handles[0], 4096), 0);
  EXPECT_EQ(h->getSizeProc(handles[0]), 4096);
  EXPECT_STREQ(*handles[0], "abc");
}

TEST_F(FilterHostCallbacks, PointersThatAreNoSlotOfTheTableAreRefused) {
  HandleProcs* h = FilterHandleProcs();
  Handle real = h->newProc(4);
  char* memory = nullptr;
  Handle foreign = &memory;
  Handle between = reinterpret_cast<Handle>(reinterpret_cast<char*>(real) + 1);
  for (Handle bad : {foreign, between}) {
    EXPECT_EQ(h->getSizeProc(bad), 0);
    EXPECT_EQ(h->setSizeProc(bad, 10), -1);
    EXPECT_EQ(h->lockProc(bad, 0), nullptr);
    h->disposeProc(bad);  // nothing happens
  }
  EXPECT_EQ(h->getSizeProc(real), 4);
  EXPECT_EQ(h->getSizeProc(nullptr), 0);
}

TEST_F(FilterHostCallbacks, SuitesAnnounceTheirVersionsAndCounts) {
  EXPECT_EQ(FilterBufferProcs()->bufferProcsVersion, 2);
  EXPECT_EQ(FilterBufferProcs()->numBufferProcs, 5);
  EXPECT_EQ(FilterBufferProcs()->spaceProc(), 0xA00000);
  EXPECT_EQ(FilterHandleProcs()->numHandleProcs, 7);
  EXPECT_EQ(FilterImageServicesProcs()->numImageServicesProcs, 1);
  EXPECT_EQ(FilterPropertyProcs()->numPropertyProcs, 2);
  BufferID buffer = nullptr;
  ASSERT_EQ(FilterBufferProcs()->allocateProc(100, &buffer), 0);
  EXPECT_EQ(FilterBufferProcs()->lockProc(buffer, 0), buffer);
  FilterBufferProcs()->freeProc(buffer);
  EXPECT_EQ(FilterBufferProcs()->allocateProc(-1, &buffer), -1);
}

TEST_F(FilterHostCallbacks, PropertiesAnswerChannelsAndTheirNames) {
  GetPropertyProc get = FilterPropertyProcs()->getPropertyProc;
  const OSType bim = FILTER_FOURCC('8', 'B', 'I', 'M');
  intptr_t value = 0;
  Handle name = nullptr;
  EXPECT_EQ(get(bim, FILTER_FOURCC('i', 'n', 't', 'p'), 0, &value, nullptr), 0);
  EXPECT_EQ(value, 2);
  EXPECT_EQ(get(bim, FILTER_FOURCC('n', 'u', 'c', 'h'), 0, &value, nullptr), 0);
  EXPECT_EQ(value, 4);
  ASSERT_EQ(get(bim, FILTER_FOURCC('n', 'm', 'c', 'h'), 3, &value, &name), 0);
  EXPECT_EQ(FilterHandleProcs()->getSizeProc(name), 2);
  EXPECT_STREQ(*name, "A");
  EXPECT_EQ(get(bim, FILTER_FOURCC('n', 'm', 'c', 'h'), 4, &value, &name), -1);
  EXPECT_EQ(get(FILTER_FOURCC('X', 'X', 'X', 'X'), FILTER_FOURCC('m', 'o', 'd', 'e'), 0, &value, nullptr), -1);
  Start(0);
  EXPECT_EQ(get(bim, FILTER_FOURCC('n', 'm', 'c', 'h'), 3, &value, &name), -1) << "no alpha plane";
}

TEST_F(FilterHostCallbacks, ColourServicesConvertBetweenSpaces) {
  struct Case {
    int16_t source, result;
    std::vector<int16_t> in, out;
  };
  const std::vector<Case> cases = {
      {plugIncolorServicesRGBSpace, plugIncolorServicesGraySpace, {10, 20, 30}, {17}},
      {plugIncolorServicesRGBSpace, plugIncolorServicesCMYKSpace, {255, 255, 255}, {0, 0, 0, 0}},
      {plugIncolorServicesRGBSpace, plugIncolorServicesCMYKSpace, {0, 100, 255}, {255, 155, 0, 0}},
      {plugIncolorServicesCMYKSpace, plugIncolorServicesRGBSpace, {0, 0, 0, 0}, {255, 255, 255}},
      {plugIncolorServicesCMYKSpace, plugIncolorServicesRGBSpace, {200, 50, 0, 100}, {0, 105, 155}},
      {plugIncolorServicesGraySpace, plugIncolorServicesRGBSpace, {77}, {77, 77, 77}},
  };
  for (const Case& c : cases) {
    ColorServicesInfo info = Info(plugIncolorServicesConvertColor, c.source, c.result, c.in);
    ASSERT_EQ(FilterColorServices(&info), 0);
    for (std::size_t i = 0; i < c.out.size(); ++i) EXPECT_EQ(info.colorComponents[i], c.out[i]) << c.source << "->" << c.result;
  }
  ColorServicesInfo small = Info(plugIncolorServicesConvertColor, 0, 0, {1, 2, 3});
  small.infoSize = 36;
  EXPECT_EQ(FilterColorServices(&small), -1) << "a record smaller than this host's";
}

TEST_F(FilterHostCallbacks, ChoosingAColourPassesThePromptByItsLengthByte) {
  const std::uint8_t prompt[] = "\003AbcDEF";
  ColorServicesInfo info = Info(plugIncolorServicesChooseColor, 0, 0, {0x11, 0x22, 0x33});
  info.selectorParameter.pickerPrompt = const_cast<std::uint8_t*>(prompt);
  ASSERT_EQ(FilterColorServices(&info), 0);
  EXPECT_EQ(pickedFrom, 0x112233u);
  EXPECT_EQ(prompts, (std::vector<std::string>{"Abc"}));
  EXPECT_EQ(info.colorComponents[0], 0x44);
  EXPECT_EQ(info.colorComponents[2], 0x66);
  pickAnswer = 0xFFFFFFFF;
  EXPECT_EQ(FilterColorServices(&info), -1) << "the dialog cancelled";
}

TEST_F(FilterHostCallbacks, SamplePointsAndSpecialColoursComeFromThePictureAndTheRecord) {
  Point at{1, 1};
  ColorServicesInfo info = Info(plugIncolorServicesSamplePoint, 0, 0);
  info.selectorParameter.globalSamplePoint = &at;
  ASSERT_EQ(FilterColorServices(&info), 0);
  EXPECT_EQ(std::vector<int16_t>(info.colorComponents, info.colorComponents + 3), (std::vector<int16_t>{12, 11, 10}));
  at = Point{2, 0};
  EXPECT_EQ(FilterColorServices(&info), -1);
  info = Info(plugIncolorServicesGetSpecialColor, 0, 0);
  info.selectorParameter.specialColorID = 1;
  ASSERT_EQ(FilterColorServices(&info), 0);
  EXPECT_EQ(std::vector<int16_t>(info.colorComponents, info.colorComponents + 3), (std::vector<int16_t>{0xA0, 0xB0, 0xC0}));
}

TEST_F(FilterHostCallbacks, InterpolationWorksOnEveryAreaNotOnlyOnesStartingAtColumnZero) {
  std::vector<std::uint8_t> source = {0, 100, 200, 50, 150, 250};  // 3 x 2
  std::vector<std::uint8_t> destination(8, 7);  // 4 x 2, bounds from column 2
  PSImagePlane s{source.data(), Rect{0, 0, 2, 3}, 3, 1};
  PSImagePlane d{destination.data(), Rect{0, 2, 2, 6}, 4, 1};
  Rect area{0, 3, 2, 5};  // columns 3 and 4
  // Pairs (v, h): (0, 0.5), (0, 2) / (0.5, 0), (1, 1).
  std::vector<Fixed> coords = {0, 0x8000, 0, 2 << 16, 0x8000, 0, 1 << 16, 1 << 16};
  ASSERT_EQ(FilterImageServicesProcs()->interpolate2DProc(&s, &d, &area, coords.data(), 1), 0);
  EXPECT_EQ(destination, (std::vector<std::uint8_t>{7, 50, 200, 7, 7, 25, 150, 7}));
  std::vector<Fixed> row = {0x8000, 1 << 16};
  Rect line{1, 3, 2, 5};
  ASSERT_EQ(FilterImageServicesProcs()->interpolate1DProc(&s, &d, &line, row.data(), 1), 0);
  EXPECT_EQ(destination[5], 100);
  EXPECT_EQ(destination[6], 150);
  EXPECT_EQ(line.top, 2) << "rows done move the area's top";
}

TEST_F(FilterHostCallbacks, PixelsAreDrawnIntoADeviceContextInBandsOfAtLeastOneRow) {
  UiDriver ui;
  Start(0);
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = -3;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  std::memset(bits, 0, 4 * 4 * 3);
  std::vector<std::uint8_t> map = {10, 20, 30, 40, 50, 60};  // two pixels, planes R, G, B
  PSPixelMap pixels{};
  pixels.version = 1;
  pixels.bounds = VRect{0, 0, 1, 2};
  pixels.rowBytes = 6;
  pixels.colBytes = 3;
  pixels.baseAddr = map.data();
  VRect area{0, 0, 1, 2};
  ASSERT_EQ(FilterDisplayPixels(&pixels, &area, 1, 1, dc), 0);
  const auto* screen = static_cast<const std::uint32_t*>(bits);
  EXPECT_EQ(screen[1 * 4 + 1] & 0xFFFFFF, 0x0A141Eu);
  EXPECT_EQ(screen[1 * 4 + 2] & 0xFFFFFF, 0x28323Cu);
  EXPECT_EQ(screen[0] & 0xFFFFFF, 0u);
  EXPECT_EQ(FilterDisplayPixels(&pixels, &area, 0, 0, nullptr), -1);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EXPECT_EQ(DisplayBandRows(20000, 50), 1) << "rows wider than a band still make progress";
  EXPECT_EQ(DisplayBandRows(100, 50), 50);
  EXPECT_EQ(DisplayBandRows(1000, 50), 10);
}

TEST_F(FilterHostCallbacks, TheRecordTellsThePictureTheColoursAndTheHost) {
  FilterRunRequest q;
  q.width = 100;
  q.height = 50;
  q.right = 100;
  q.bottom = 50;
  q.background = 0x336699;
  q.foreground = 0x010203;
  q.alphaMode = -1;
  FilterRecord r;
  PlatformData platform{};
  q.window = 0x123456789A;
  FillFilterRecord(r, q, platform);
  EXPECT_EQ(r.imageSize.v, 50);
  EXPECT_EQ(r.imageSize.h, 100);
  EXPECT_EQ(r.planes, 4);
  EXPECT_EQ(r.background.red, 0x3333);
  EXPECT_EQ(r.background.green, 0x6666);
  EXPECT_EQ(r.background.blue, 0x9999);
  EXPECT_EQ(std::vector<int>(r.backColor, r.backColor + 4), (std::vector<int>{0x99, 0x66, 0x33, 0}));
  EXPECT_EQ(r.hostSig, 0x514C3230u);
  EXPECT_EQ(r.imageHRes, 0x012C0000);
  EXPECT_EQ(r.imageVRes, 0x012C0000);
  EXPECT_EQ(r.filterCase, filterCaseFlatImageNoSelection);
  EXPECT_EQ(r.filterRect.bottom, 50);
  EXPECT_EQ(static_cast<PlatformData*>(r.platformData)->hwnd, 0x123456789A);
  EXPECT_EQ(r.maxSpace, 100 * 50 * 8 + 0x200000);
  EXPECT_EQ(r.autoMask, 1);
  EXPECT_EQ(r.supportsPadding, 1);
  EXPECT_EQ(r.samplingSupport, 1);

  // A selection from (10, 20) to (29, 39) inclusive.
  q.left = 10, q.top = 20, q.right = 30, q.bottom = 40;
  q.hasMask = 1;
  FillFilterRecord(r, q, platform);
  EXPECT_EQ(r.filterRect.top, 20);
  EXPECT_EQ(r.filterRect.left, 10);
  EXPECT_EQ(r.filterRect.bottom, 40);
  EXPECT_EQ(r.filterRect.right, 30);
  EXPECT_EQ(r.filterCase, filterCaseFlatImageWithSelection);
  EXPECT_EQ(r.haveMask, 1);
}

TEST(FilterMaxSpace, LargePicturesStayWithinThirtyTwoBits) {
  EXPECT_EQ(FilterMaxSpace(100, 50), 100 * 50 * 8 + 0x200000);
  EXPECT_EQ(FilterMaxSpace(32767, 32767), INT32_MAX);
}

}  // namespace
