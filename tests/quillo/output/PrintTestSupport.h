#pragma once
// What the printing tests share: the printed PDF read back by poppler's tools (pdftoppm,
// pdfimages, pdftotext), the independent reader, and the page's pixels as a PPM.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace printtest {

// What a shell command printed.
inline std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

struct Page {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
  const unsigned char* At(int x, int y) const { return rgb.data() + 3 * (static_cast<size_t>(y) * width + x); }
};

// Page 1 of the PDF at dpi (300 unless said), as pdftoppm draws it.
inline Page Rasterise(const std::string& pdf, const std::string& work, int dpi = 300) {
  const std::string base = work + "/page";
  std::system(("pdftoppm -r " + std::to_string(dpi) + " -f 1 -l 1 -singlefile '" + pdf + "' '" + base + "'").c_str());
  Page page;
  std::ifstream in(base + ".ppm", std::ios::binary);
  std::string magic;
  int max = 0;
  in >> magic >> page.width >> page.height >> max;
  in.get();
  if (magic != "P6" || page.width <= 0 || page.height <= 0) return Page{};
  page.rgb.resize(static_cast<size_t>(page.width) * page.height * 3);
  in.read(reinterpret_cast<char*>(page.rgb.data()), static_cast<std::streamsize>(page.rgb.size()));
  return page;
}

struct Box {
  int left = -1, top = -1, right = -1, bottom = -1;  // inclusive; -1 when nothing matched
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
};

// The bounding box of the page's pixels within tolerance of the colour 0xRRGGBB.
inline Box FindColour(const Page& page, unsigned colour, int tolerance = 24) {
  Box box;
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x) {
      const unsigned char* p = page.At(x, y);
      if (std::abs(p[0] - static_cast<int>(colour >> 16 & 0xFF)) > tolerance ||
          std::abs(p[1] - static_cast<int>(colour >> 8 & 0xFF)) > tolerance ||
          std::abs(p[2] - static_cast<int>(colour & 0xFF)) > tolerance)
        continue;
      if (box.left < 0 || x < box.left) box.left = x;
      if (x > box.right) box.right = x;
      if (box.top < 0) box.top = y;
      box.bottom = y;
    }
  return box;
}

// The sizes of the images pdfimages lists, as "WxH" each.
inline std::vector<std::string> ImageSizes(const std::string& pdf) {
  std::istringstream lines(Output("pdfimages -list '" + pdf + "' 2>/dev/null"));
  std::vector<std::string> sizes;
  std::string line;
  int row = 0;
  while (std::getline(lines, line)) {
    if (++row <= 2) continue;  // the heading and its rule
    std::istringstream fields(line);
    std::string pageNo, num, type, width, height;
    fields >> pageNo >> num >> type >> width >> height;
    if (!height.empty()) sizes.push_back(width + "x" + height);
  }
  return sizes;
}

}  // namespace printtest
