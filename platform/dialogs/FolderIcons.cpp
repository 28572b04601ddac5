#include "platform/dialogs/FolderIcons.h"

#include <cstdint>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace {

// '.' clear, 'k' black, '#' dark yellow, 'Y' yellow, 'W' light, 'g' grey.
constexpr const char* kClosed[16] = {
    "................", "................", "..#####.........", ".#YYYYY#........",
    "#YWWWWWY#######.", "#WYYYYYYYYYYYY#k", "#WYYYYYYYYYYYY#k", "#WYYYYYYYYYYYY#k",
    "#WYYYYYYYYYYYY#k", "#WYYYYYYYYYYYY#k", "#WYYYYYYYYYYYY#k", "#WYYYYYYYYYYYY#k",
    "###############k", ".kkkkkkkkkkkkkkk", "................", "................",
};
constexpr const char* kOpen[16] = {
    "................", "................", "..#####.........", ".#YYYYY#........",
    "#YWWWWWY######..", "#WYYYYYYYYYYY#..", "#WYY###########k", "#WY#WWWWWWWWWW#k",
    "#W#WYYYYYYYYY#k.", "#W#YYYYYYYYYY#k.", "##WYYYYYYYYY#k..", "##YYYYYYYYYY#k..",
    "#############k..", ".kkkkkkkkkkkkk..", "................", "................",
};
constexpr const char* kFile[16] = {
    "..#########.....", "..#WWWWWWW##....", "..#WWWWWWW#W#...", "..#WWWWWWW####..",
    "..#WWWWWWWWWW#..", "..#WggggggWWW#..", "..#WWWWWWWWWW#..", "..#WggggggggW#..",
    "..#WWWWWWWWWW#..", "..#WggggggggW#..", "..#WWWWWWWWWW#..", "..#WggggggggW#..",
    "..#WWWWWWWWWW#..", "..#WWWWWWWWWW#..", "..############..", "................",
};

constexpr std::uint32_t kClear = 0xFF00FF;

std::uint32_t Colour(char c, bool file) {
  switch (c) {
    case 'k': return 0x000000;
    case '#': return file ? 0x000000 : 0x808000;
    case 'Y': return 0xFFFF00;
    case 'W': return file ? 0xFFFFFF : 0xFFFFC0;
    case 'g': return 0x808080;
    default: return kClear;
  }
}

void AddImage(HIMAGELIST list, const char* const rows[16], bool file) {
  std::vector<std::uint32_t> bits(16 * 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) bits[static_cast<size_t>(y * 16 + x)] = Colour(rows[y][x], file);
  HBITMAP bitmap = CreateBitmap(16, 16, 1, 32, bits.data());
  ImageList_AddMasked(list, bitmap, RGB(0xFF, 0x00, 0xFF));
  DeleteObject(bitmap);
}

}  // namespace

HIMAGELIST MakeFolderIcons() {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 0);
  AddImage(list, kClosed, false);
  AddImage(list, kOpen, false);
  AddImage(list, kFile, true);
  return list;
}
