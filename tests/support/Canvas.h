#pragma once
// A 32-bit top-down DIB section selected into a memory context, and guards that select
// drawing objects into it, for drawing tests.

#include <cstdint>

#include "platform/gdi/Gdi.h"

class Canvas {
public:
  Canvas(int width, int height, std::uint32_t fill = 0xFFFFFF) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) bits_[i] = fill;
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  std::uint32_t& at(int x, int y) { return bits_[y * width_ + x]; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Number of pixels different from the colour.
  int CountNot(std::uint32_t colour) const {
    int n = 0;
    for (int i = 0; i < width_ * height_; ++i) n += (bits_[i] & 0xFFFFFF) != colour;
    return n;
  }
  // The bounding box of the pixels different from the colour.
  RECT InkBox(std::uint32_t background) const {
    RECT box{width_, height_, -1, -1};
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if ((bits_[y * width_ + x] & 0xFFFFFF) != background) {
          if (x < box.left) box.left = x;
          if (y < box.top) box.top = y;
          if (x + 1 > box.right) box.right = x + 1;
          if (y + 1 > box.bottom) box.bottom = y + 1;
        }
    return box;
  }

private:
  int width_;
  int height_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  HDC dc_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// Selects a pen and a brush for the life of the object.
class Tools {
public:
  Tools(HDC dc, HPEN pen, HBRUSH brush) : dc_(dc), pen_(pen), brush_(brush) {
    oldPen_ = SelectObject(dc, pen);
    oldBrush_ = SelectObject(dc, brush);
  }
  ~Tools() {
    SelectObject(dc_, oldPen_);
    SelectObject(dc_, oldBrush_);
    DeleteObject(pen_);
    DeleteObject(brush_);
  }

private:
  HDC dc_;
  HPEN pen_;
  HBRUSH brush_;
  HGDIOBJ oldPen_, oldBrush_;
};

// Selects a font made from a description for the life of the object.
class FontScope {
public:
  FontScope(HDC dc, const LOGFONT& f) : dc_(dc), font_(CreateFontIndirect(&f)) { old_ = SelectObject(dc, font_); }
  ~FontScope() {
    SelectObject(dc_, old_);
    DeleteObject(font_);
  }
  FontScope(const FontScope&) = delete;
  FontScope& operator=(const FontScope&) = delete;

private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_;
};
