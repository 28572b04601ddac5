#pragma once
// What the undo-history tests share: exact snapshots of a picture (pixels, mask bits and the
// attributes a step keeps), patterned painting of a rectangle, the counters checked against
// the steps' sizes, and the undo settings pointed at a folder of the test's own.

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"

struct PictureState {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::vector<bool> mask;
  int changeCount = 0;
  int selLeft = 0, selRight = 0, selTop = 0, selBottom = 0;
  std::string fileName;
  bool operator==(const PictureState&) const = default;
};
// Where two states differ, for a failing comparison's message.
std::ostream& operator<<(std::ostream& out, const PictureState& s);

PictureState StateOf(const UDBuffer& p);
// Makes a picture of that size with every pixel and mask bit from the seed.
void MakePicture(UDBuffer& p, int width, int height, unsigned seed);
// Paints the rectangle (clipped) with pixels and mask bits from the seed, and counts a change.
void PaintRect(UDBuffer& p, int x1, int y1, int x2, int y2, unsigned seed);

// The steps of a chain, newest first.
std::vector<UndoEntry*> Steps(UndoEntry* head);
// Every counter of the pictures equals the sizes of their steps where they are, and the global
// counters equal the sums over these pictures and the brush.
void ExpectCountersMatch(const std::vector<UDBuffer*>& pictures);
// The names of the files in this run's swap folder.
std::vector<std::string> SwapFiles();

// Settings pointed at a fresh undo folder and restored afterwards; the swap folder removed.
class UndoSettingsScope {
public:
  UndoSettingsScope(const std::string& undoDir, std::int64_t memKB, std::int64_t diskKB);
  ~UndoSettingsScope();

private:
  std::string dir_;
  std::int64_t mem_, disk_;
};
