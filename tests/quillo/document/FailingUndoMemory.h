#pragma once
// For the length of a scope the undo history finds no memory for the pictures it saves:
// opening a step fails with "NoMem" and restoring one fails as well.

#include "quillo/document/UDBuffer.h"
#include "quillo/document/UndoEngine.h"

class FailingAllocator {
public:
  FailingAllocator() : previous_(UndoAllocPicture) { UndoAllocPicture = FailingAlloc; }
  ~FailingAllocator() { UndoAllocPicture = previous_; }
  FailingAllocator(const FailingAllocator&) = delete;
  FailingAllocator& operator=(const FailingAllocator&) = delete;

private:
  static void FailingAlloc(UDBuffer& picture, int, int) { picture.Free(); }
  UndoPictureAllocator previous_;
};
