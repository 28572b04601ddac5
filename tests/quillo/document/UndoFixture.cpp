#include "UndoFixture.h"

#include <dirent.h>

#include <algorithm>
#include <random>

#include "quillo/document/UndoSwapFile.h"
#include "quillo/base/Settings.h"

PictureState StateOf(const UDBuffer& p) {
  PictureState s;
  s.width = p.Width();
  s.height = p.Height();
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      s.pixels.push_back(*p.At(x, y));
      s.mask.push_back(p.IsSelected(x, y));
    }
  s.changeCount = p.ChangeCount;
  s.selLeft = p.SelLeft;
  s.selRight = p.SelRight;
  s.selTop = p.SelTop;
  s.selBottom = p.SelBottom;
  s.fileName = p.FileName;
  return s;
}

std::ostream& operator<<(std::ostream& out, const PictureState& s) {
  std::uint32_t sum = 0;
  int selected = 0;
  for (std::uint32_t v : s.pixels) sum = sum * 31 + v;
  for (bool b : s.mask) selected += b;
  return out << s.width << "x" << s.height << " pixel hash " << std::hex << sum << std::dec
             << ", " << selected << " selected, changes " << s.changeCount << ", bounds "
             << s.selLeft << "," << s.selTop << "-" << s.selRight << "," << s.selBottom
             << ", file \"" << s.fileName << "\"";
}

void MakePicture(UDBuffer& p, int width, int height, unsigned seed) {
  p.Alloc(width, height);
  PaintRect(p, 0, 0, width - 1, height - 1, seed);
  p.ChangeCount = 0;
}

void PaintRect(UDBuffer& p, int x1, int y1, int x2, int y2, unsigned seed) {
  std::minstd_rand random(seed + 1);
  for (int y = std::max(y1, 0); y <= std::min(y2, p.Height() - 1); ++y)
    for (int x = std::max(x1, 0); x <= std::min(x2, p.Width() - 1); ++x) {
      *p.At(x, y) = static_cast<std::uint32_t>(random());
      p.SetMaskPixel(x, y, random() & 1);
    }
  ++p.ChangeCount;
  p.UpdateSelectionBounds();
}

std::vector<UndoEntry*> Steps(UndoEntry* head) {
  std::vector<UndoEntry*> steps;
  for (UndoEntry* s = head; s != nullptr; s = s->Next) steps.push_back(s);
  return steps;
}

void ExpectCountersMatch(const std::vector<UDBuffer*>& pictures) {
  UndoCounters sum;
  std::vector<UDBuffer*> all = pictures;
  if (std::find(all.begin(), all.end(), &Brush) == all.end()) all.push_back(&Brush);
  for (UDBuffer* p : all) {
    UndoCounters own;
    for (UndoEntry* s : Steps(p->UndoChain)) (s->OnDisk ? own.UndoDiskKB : own.UndoMemKB) += s->SizeKB();
    for (UndoEntry* s : Steps(p->RedoChain)) (s->OnDisk ? own.RedoDiskKB : own.RedoMemKB) += s->SizeKB();
    EXPECT_EQ(p->UndoMemKB, own.UndoMemKB);
    EXPECT_EQ(p->UndoDiskKB, own.UndoDiskKB);
    EXPECT_EQ(p->RedoMemKB, own.RedoMemKB);
    EXPECT_EQ(p->RedoDiskKB, own.RedoDiskKB);
    sum.UndoMemKB += own.UndoMemKB;
    sum.UndoDiskKB += own.UndoDiskKB;
    sum.RedoMemKB += own.RedoMemKB;
    sum.RedoDiskKB += own.RedoDiskKB;
  }
  EXPECT_EQ(UndoTotals.UndoMemKB, sum.UndoMemKB);
  EXPECT_EQ(UndoTotals.UndoDiskKB, sum.UndoDiskKB);
  EXPECT_EQ(UndoTotals.RedoMemKB, sum.RedoMemKB);
  EXPECT_EQ(UndoTotals.RedoDiskKB, sum.RedoDiskKB);
}

std::vector<std::string> SwapFiles() {
  std::vector<std::string> names;
  const AnsiString folder = UndoSwapFolderPath();
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* e = readdir(dir)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

UndoSettingsScope::UndoSettingsScope(const std::string& undoDir, std::int64_t memKB,
                                     std::int64_t diskKB)
    : dir_(Settings.UndoDir), mem_(Settings.UndoMem), disk_(Settings.UndoDisk) {
  Settings.UndoDir = undoDir;
  Settings.UndoMem = memKB;
  Settings.UndoDisk = diskKB;
}

UndoSettingsScope::~UndoSettingsScope() {
  RemoveUndoSwapFolder();
  Settings.UndoDir = dir_;
  Settings.UndoMem = mem_;
  Settings.UndoDisk = disk_;
}
