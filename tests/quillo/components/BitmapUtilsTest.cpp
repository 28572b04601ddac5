// Bitmaps drawn with a transparent colour, greyed glyphs and colour swaps.

#include "ComponentFixture.h"

#include <cstring>
#include <vector>

#include "platform/rtl/Streams.h"
#include "platform/user/Resources.h"
#include "platform/vcl/Screen.h"
#include "quillo/components/utilities/BitmapUtils.h"
#include "quillo/components/utilities/VclUtils.h"

namespace {

class BitmapUtilsTest : public ComponentTest {
protected:
  // A 4 x 4 glyph: a red 2 x 2 square in the middle of fuchsia.
  TOwnedPtr<TBitmap> Glyph() {
    auto glyph = MakeObject<TBitmap>();
    glyph->SetSize(4, 4);
    TCanvas* c = glyph->GetCanvas();
    c->GetBrush()->SetColor(clFuchsia);
    c->FillRect(TRect(0, 0, 4, 4));
    c->GetBrush()->SetColor(clRed);
    c->FillRect(TRect(1, 1, 3, 3));
    return glyph;
  }
  TOwnedPtr<TBitmap> Canvas(TColor fill) {
    auto target = MakeObject<TBitmap>();
    target->SetSize(8, 8);
    target->GetCanvas()->GetBrush()->SetColor(fill);
    target->GetCanvas()->FillRect(TRect(0, 0, 8, 8));
    return target;
  }
  static COLORREF At(TBitmap* b, int x, int y) { return ColorToRGB(b->GetCanvas()->GetPixel(x, y)); }
};

// The glyph as an icon file (fuchsia see-through) and as a cursor file with its hot spot at
// (1, 2), and animated-cursor files around that cursor, sound and damaged, all kept as this
// program's resources.
struct TestResources {
  std::vector<unsigned char> icon, ani, badAni, shortAni;
  EmbeddedResource table[6] = {};
};

void PutLe32(std::vector<unsigned char>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void PutChunk(std::vector<unsigned char>& out, const char* id, const std::vector<unsigned char>& body) {
  out.insert(out.end(), id, id + 4);
  PutLe32(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() & 1) out.push_back(0);
}
std::vector<unsigned char> Riff(const std::vector<unsigned char>& chunks) {
  std::vector<unsigned char> out{'R', 'I', 'F', 'F'};
  PutLe32(out, static_cast<std::uint32_t>(chunks.size() + 4));
  out.insert(out.end(), {'A', 'C', 'O', 'N'});
  out.insert(out.end(), chunks.begin(), chunks.end());
  return out;
}

const TestResources& RegisteredResources(TBitmap* glyph) {
  static TestResources res;
  static bool registered = false;
  if (registered) return res;
  auto icon = CreateIconFromBitmap(glyph, clFuchsia);
  TMemoryStream stream;
  icon->SaveToStream(&stream);
  const auto* bytes = static_cast<const unsigned char*>(stream.Memory());
  res.icon.assign(bytes, bytes + stream.Size());
  std::vector<unsigned char> cursor = res.icon;
  cursor[2] = 2;                    // a cursor file
  cursor[6 + 4] = 1, cursor[6 + 5] = 0;  // hot spot x
  cursor[6 + 6] = 2, cursor[6 + 7] = 0;  // hot spot y
  std::vector<unsigned char> anih(36, 0), frames{'f', 'r', 'a', 'm'};
  PutChunk(frames, "icon", cursor);
  std::vector<unsigned char> chunks;
  PutChunk(chunks, "anih", anih);
  PutChunk(chunks, "LIST", frames);
  res.ani = Riff(chunks);
  res.badAni = res.ani;
  // The frame claims far more bytes than the file holds.
  const size_t frame = res.badAni.size() - cursor.size() - (cursor.size() & 1) - 4;
  res.badAni[frame] = 0xFF, res.badAni[frame + 1] = 0xFF, res.badAni[frame + 2] = 0xFF;
  res.shortAni.assign(res.ani.begin(), res.ani.begin() + 10);
  res.table[0] = {"icons/QTESTICON.ico", res.icon.data(), res.icon.size()};
  res.table[1] = {"icons/4242.ico", res.icon.data(), res.icon.size()};
  res.table[2] = {"cursors/QTESTANI.ani", res.ani.data(), res.ani.size()};
  res.table[3] = {"cursors/QTESTBADANI.ani", res.badAni.data(), res.badAni.size()};
  res.table[4] = {"cursors/QTESTSHORTANI.ani", res.shortAni.data(), res.shortAni.size()};
  RegisterModuleResources("quillo_tests", res.table);
  registered = true;
  return res;
}

TEST_F(BitmapUtilsTest, TheTransparentColourLeavesTheBackgroundShowing) {
  auto glyph = Glyph();
  auto target = Canvas(clBlue);
  DrawBitmapTransparent(target->GetCanvas(), 2, 2, glyph.get(), clFuchsia);
  EXPECT_EQ(At(target.get(), 2, 2), ColorToRGB(clBlue));
  EXPECT_EQ(At(target.get(), 3, 3), ColorToRGB(clRed));
  EXPECT_EQ(At(target.get(), 4, 4), ColorToRGB(clRed));
  EXPECT_EQ(At(target.get(), 5, 5), ColorToRGB(clBlue));
  // clDefault takes the bottom-left pixel's colour; clNone copies everything.
  auto second = Canvas(clBlue);
  DrawBitmapTransparent(second->GetCanvas(), 0, 0, glyph.get(), clDefault);
  EXPECT_EQ(At(second.get(), 0, 0), ColorToRGB(clBlue));
  DrawBitmapTransparent(second->GetCanvas(), 0, 0, glyph.get(), clNone);
  EXPECT_EQ(At(second.get(), 0, 0), ColorToRGB(clFuchsia));
}

TEST_F(BitmapUtilsTest, StretchedTransparentDrawing) {
  auto glyph = Glyph();
  auto target = Canvas(clLime);
  StretchBitmapRectTransparent(target->GetCanvas(), 0, 0, 8, 8, TRect(), glyph.get(), clFuchsia);
  EXPECT_EQ(At(target.get(), 0, 0), ColorToRGB(clLime));
  EXPECT_EQ(At(target.get(), 3, 3), ColorToRGB(clRed));
  EXPECT_EQ(At(target.get(), 7, 7), ColorToRGB(clLime));
}

TEST_F(BitmapUtilsTest, ASwappedColour) {
  auto glyph = Glyph();
  auto swapped = ChangeBitmapColor(glyph.get(), clFuchsia, clYellow);
  EXPECT_EQ(At(swapped.get(), 0, 0), ColorToRGB(clYellow));
  EXPECT_EQ(At(swapped.get(), 1, 1), ColorToRGB(clRed));
}

TEST_F(BitmapUtilsTest, ADisabledGlyphIsItsShapeInShadowWithAHighlight) {
  auto glyph = Glyph();
  auto disabled = CreateDisabledBitmapEx(glyph.get(), clFuchsia, clSilver, clWhite, clGray, true);
  EXPECT_EQ(At(disabled.get(), 0, 0), ColorToRGB(clSilver));
  EXPECT_EQ(At(disabled.get(), 1, 1), ColorToRGB(clGray));
  EXPECT_EQ(At(disabled.get(), 2, 2), ColorToRGB(clGray));
  EXPECT_EQ(At(disabled.get(), 3, 3), ColorToRGB(clWhite));  // the highlight one pixel down and right
  auto flat = CreateDisabledBitmapEx(glyph.get(), clFuchsia, clSilver, clWhite, clGray, false);
  EXPECT_EQ(At(flat.get(), 3, 3), ColorToRGB(clSilver));
}

TEST_F(BitmapUtilsTest, AnImageListImageDrawnGreyed) {
  auto glyph = Glyph();
  auto images = MakeObject<TImageList>(nullptr, 4, 4);
  images->AddMasked(glyph.get(), clFuchsia);
  struct Case {
    bool highlight;
    COLORREF at33, at55;
  } cases[] = {{true, ColorToRGB(clBlue), ColorToRGB(clLime)}, {false, ColorToRGB(clBlue), ColorToRGB(clWhite)}};
  for (const Case& c : cases) {
    auto target = Canvas(clWhite);
    target->GetCanvas()->GetBrush()->SetColor(clYellow);
    ImageListDrawDisabled(images.get(), target->GetCanvas(), 2, 2, 0, clLime, clBlue, c.highlight);
    // The red square (glyph pixels 1..2) lands at 3..4; its highlight one further.
    EXPECT_EQ(At(target.get(), 2, 2), ColorToRGB(clWhite));
    EXPECT_EQ(At(target.get(), 3, 3), c.at33);
    EXPECT_EQ(At(target.get(), 4, 4), ColorToRGB(clBlue));
    EXPECT_EQ(At(target.get(), 5, 5), c.at55);
    EXPECT_EQ(At(target.get(), 6, 6), ColorToRGB(clWhite));
    EXPECT_EQ(target->GetCanvas()->GetBrush()->GetColor(), clYellow);
  }
  // An index outside the list draws nothing.
  auto target = Canvas(clWhite);
  ImageListDrawDisabled(images.get(), target->GetCanvas(), 0, 0, 5, clLime, clBlue, true);
  ImageListDrawDisabled(images.get(), target->GetCanvas(), 0, 0, -1, clLime, clBlue, true);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(At(target.get(), x, y), ColorToRGB(clWhite));
}

TEST_F(BitmapUtilsTest, IconsAndBitmapsConvertKeepingTheSeeThroughPart) {
  auto glyph = Glyph();
  auto icon = CreateIconFromBitmap(glyph.get(), clFuchsia);
  ASSERT_FALSE(icon->Empty());
  EXPECT_EQ(icon->GetWidth(), 4);
  auto onBlue = Canvas(clBlue);
  onBlue->GetCanvas()->Draw(2, 2, icon.get());
  EXPECT_EQ(At(onBlue.get(), 2, 2), ColorToRGB(clBlue));
  EXPECT_EQ(At(onBlue.get(), 3, 3), ColorToRGB(clRed));
  // Back to a bitmap on lime, which becomes its transparent colour.
  auto bitmap = CreateBitmapFromIcon(icon.get(), clLime);
  EXPECT_EQ(bitmap->GetWidth(), 4);
  EXPECT_EQ(At(bitmap.get(), 0, 0), ColorToRGB(clLime));
  EXPECT_EQ(At(bitmap.get(), 1, 1), ColorToRGB(clRed));
  EXPECT_TRUE(bitmap->GetTransparent());
  EXPECT_EQ(bitmap->GetTransparentColor(), clLime);
  // clDefault takes the bitmap's own transparent colour (its bottom-left pixel, fuchsia).
  auto fromDefault = CreateIconFromBitmap(glyph.get(), clDefault);
  auto onLime = Canvas(clLime);
  onLime->GetCanvas()->Draw(0, 0, fromDefault.get());
  EXPECT_EQ(At(onLime.get(), 0, 0), ColorToRGB(clLime));
  EXPECT_EQ(At(onLime.get(), 1, 1), ColorToRGB(clRed));
}

TEST_F(BitmapUtilsTest, IconsFromResources) {
  auto glyph = Glyph();
  RegisteredResources(glyph.get());
  std::vector<TOwnedPtr<TIcon>> icons;
  icons.push_back(MakeIcon("QTESTICON"));
  icons.push_back(MakeIconID(4242));
  for (const auto& icon : icons) {
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->GetWidth(), 4);
    auto target = Canvas(clBlue);
    target->GetCanvas()->Draw(0, 0, icon.get());
    EXPECT_EQ(At(target.get(), 0, 0), ColorToRGB(clBlue));
    EXPECT_EQ(At(target.get(), 1, 1), ColorToRGB(clRed));
  }
  EXPECT_FALSE(MakeIcon("NO_SUCH_ICON"));
  EXPECT_FALSE(MakeIconID(31999));
}

TEST_F(BitmapUtilsTest, AnAnimatedCursorIsDefinedByItsFirstFrame) {
  auto glyph = Glyph();
  RegisteredResources(glyph.get());
  HCURSOR cursor = LoadAniCursor(GetModuleHandle(nullptr), "QTESTANI");
  ASSERT_NE(cursor, nullptr);
  ICONINFO info;
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_EQ(info.xHotspot, 1u);
  EXPECT_EQ(info.yHotspot, 2u);
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
  DestroyCursor(cursor);
  // DefineCursor takes it when the plain cursor loader cannot.
  const TCursor number = DefineCursor(GetModuleHandle(nullptr), "QTESTANI");
  EXPECT_GE(number, 100);
  EXPECT_NE(Screen()->Cursors(number), Screen()->Cursors(crDefault));
  Screen()->SetCursors(number, nullptr);
  // Missing and damaged files load nothing and raise the named error.
  for (const char* name : {"NO_SUCH_CURSOR", "QTESTBADANI", "QTESTSHORTANI"}) {
    EXPECT_EQ(LoadAniCursor(GetModuleHandle(nullptr), name), nullptr) << name;
    EXPECT_THROW(DefineCursor(GetModuleHandle(nullptr), name), EResNotFound) << name;
  }
}

TEST_F(BitmapUtilsTest, ShadingDarkensSomePixelsOnly) {
  auto target = Canvas(clWhite);
  ShadeRect(target->GetCanvas()->GetHandle(), TRect(0, 0, 8, 8));
  int dark = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) dark += At(target.get(), x, y) != ColorToRGB(clWhite);
  EXPECT_GT(dark, 0);
  EXPECT_LT(dark, 64);
}

TEST_F(BitmapUtilsTest, AMissingResourceIsNamed) {
  try {
    MakeBitmap("NO_SUCH_BITMAP");
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_NE(e.Message.find("NO_SUCH_BITMAP"), std::string::npos);
  }
  EXPECT_THROW(MakeBitmapID(31999), EResNotFound);
}

TEST_F(BitmapUtilsTest, ARotatedFont) {
  auto font = MakeObject<TFont>();
  font->SetStyle(fsBold);
  HFONT rotated = CreateRotatedFont(font.get(), 90);
  ASSERT_NE(rotated, nullptr);
  LOGFONT lf{};
  GetObject(rotated, sizeof lf, &lf);
  EXPECT_EQ(lf.lfEscapement, 900);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  DeleteObject(rotated);
}

}  // namespace
