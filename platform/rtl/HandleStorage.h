#pragma once
// Storage for the layer's objects whose address is their handle (windows, menus, GDI
// objects, device contexts). The allocator would give a new object the block the last one
// freed, so a stale handle would name the new object. Here a freed block rests behind many
// newer ones before it is handed out again, which gives each handle the uniqueness Windows'
// handles carry: a handle kept past its object's end keeps failing.

#include <cstddef>

struct HandleStorage {
  static void* operator new(std::size_t size);
  static void operator delete(void* block, std::size_t size) noexcept;
};
