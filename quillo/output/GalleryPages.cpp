#include "quillo/output/GalleryPages.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/rtl/FileSystem.h"
#include "platform/rtl/FindFile.h"
#include "platform/rtl/SysUtils.h"
#include "quillo/document/UDBuffer.h"
#include "vorlen/formats/GFXFile.h"

namespace {

namespace fs = std::filesystem;

AnsiString WithSlash(AnsiString path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

AnsiString NameWithoutExtension(const AnsiString& name) { return ChangeFileExt(name, ""); }

bool IsRegularFile(const AnsiString& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool SameFolder(const AnsiString& a, const AnsiString& b) {
  std::error_code error;
  return fs::equivalent(fs::path(a.c_str()), fs::path(b.c_str()), error);
}

struct Picture {
  AnsiString name;   // file name and extension
  AnsiString thumb;  // its thumbnail's file name
  int width = 0;     // of its thumbnail file
  int height = 0;
};

struct PageWriter {
  explicit PageWriter(const GallerySettings& settings) : s(settings) {}
  const GallerySettings& s;
  AnsiString relative;  // the image folder from the pages
  int columns = 1;
  int rows = 1;
  int pages = 1;
  GFXFileDesc prevDesc, nextDesc;

  const char* Align() const {
    static const char* const kAlign[] = {"LEFT", "RIGHT", "CENTER"};
    return kAlign[std::clamp(s.alignment, 0, 2)];
  }

  AnsiString PageName(int p) const { return s.baseName + IntToStr(p) + s.extension; }

  AnsiString NavigationCell(bool present, int target, const AnsiString& image, const GFXFileDesc& desc) const {
    if (!present)
      return Format("    <TD WIDTH=\"%d\" HEIGHT=\"%d\"></TD>", desc.width, desc.height);
    return "    <TD><A HREF=\"" + UrlPath(PageName(target)) + "\">" + "<IMG SRC=\"" +
           UrlPath(relative + ExtractFileName(image)) + "\" WIDTH=\"" + IntToStr(desc.width) + "\" HEIGHT=\"" +
           IntToStr(desc.height) + "\" BORDER=\"0\">" + "</A></TD>\r\n";
  }

  AnsiString Page(int p, const std::vector<Picture>& list, std::size_t& i) const {
    AnsiString out = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n";
    out += "<HTML>\r\n<HEAD>\r\n  <TITLE></TITLE>\r\n</HEAD>\r\n<BODY>\r\n";
    const AnsiString table = AnsiString("<TABLE BORDER=\"0\" ALIGN=\"") + Align() + "\" CELLSPACING=\"0\">\r\n";
    const AnsiString row = "  <TR ALIGN=\"CENTER\" VALIGN=\"CENTER\">\r\n";
    out += table;
    for (int r = 0; r < rows; ++r) {
      out += row;
      for (int c = 0; c < columns; ++c, ++i) {
        out += "    <TD>";
        if (i < list.size()) {
          const Picture& pic = list[i];
          if (s.linkToOriginal) out += "<A HREF=\"" + UrlPath(relative + pic.name) + "\">";
          out += "<IMG SRC=\"" + UrlPath(relative + pic.thumb) +
                 "\" WIDTH=\"" + IntToStr(pic.width) + "\" HEIGHT=\"" + IntToStr(pic.height) + "\" HSPACE=\"" +
                 IntToStr(s.horizontalGap) + "\" VSPACE=\"" + IntToStr(s.verticalGap) + "\" BORDER=\"0\">";
          if (s.linkToOriginal) out += "</A>";
        }
        out += "</TD>\r\n";
      }
      out += "  </TR>\r\n";
      if (s.showNames) {
        i -= static_cast<std::size_t>(columns);
        out += row;
        for (int c = 0; c < columns; ++c, ++i) {
          out += "    <TD>";
          if (i < list.size()) out += HtmlText(list[i].name);
          out += "</TD>\r\n";
        }
        out += "  </TR>\r\n";
      }
    }
    out += "</TABLE>";
    if (s.previous || s.next) {
      out += "<BR>" + table + row;
      out += NavigationCell(s.previous && p > 1, p - 1, s.prevImage, prevDesc);
      out += NavigationCell(s.next && p < pages, p + 1, s.nextImage, nextDesc);
      out += "  </TR>\r\n</TABLE>";
    }
    out += "</BODY></HTML>";
    return out;
  }
};

}  // namespace

int GalleryColumns(const GallerySettings& s) {
  const int pitch = s.thumbWidth + s.horizontalGap;
  return pitch <= 0 ? 1 : std::max(1, s.pageWidth / pitch);
}

AnsiString RelativeImageFolder(const AnsiString& destination, const AnsiString& imageFolder) {
  if (imageFolder.empty()) return "";
  const fs::path relative = fs::path(imageFolder.c_str()).lexically_normal().lexically_relative(
      fs::path(destination.c_str()).lexically_normal());
  const AnsiString text = relative.generic_string();
  return text.empty() || text == "." ? AnsiString() : WithSlash(text);
}

std::vector<AnsiString> GallerySources(const AnsiString& folder, const AnsiString& prefix) {
  std::vector<AnsiString> names;
  TSearchRec rec;
  if (FindFirst(folder + "*", faAnyFile, rec) == 0) {
    do {
      if (rec.Attr & faDirectory) continue;
      if (!prefix.empty() && rec.Name.compare(0, prefix.size(), prefix) == 0) continue;
      const AnsiString path = folder + rec.Name;
      if (GFXFile::GetDefaultFormat(path) == nullptr || !IsRegularFile(path)) continue;
      try {
        GFXFileDesc desc;
        if (!GFXFile::Test(path, &desc)) continue;
      } catch (...) {
        continue;
      }
      names.push_back(rec.Name);
    } while (FindNext(rec) == 0);
    FindClose(rec);
  }
  std::stable_sort(names.begin(), names.end(),
                   [](const AnsiString& a, const AnsiString& b) { return CompareText(a, b) < 0; });
  return names;
}

std::vector<AnsiString> GalleryThumbnailNames(const std::vector<AnsiString>& names, const AnsiString& prefix) {
  const auto base = [](const AnsiString& name) { return UpperCase(NameWithoutExtension(name)); };
  std::vector<AnsiString> thumbs;
  for (const AnsiString& name : names) {
    const bool shared = std::count_if(names.begin(), names.end(), [&](const AnsiString& other) {
                          return base(other) == base(name);
                        }) > 1;
    // Appended piece by piece: GCC 12 at -O3 warns falsely of overlapping copies otherwise.
    AnsiString thumb = prefix;
    thumb += NameWithoutExtension(name);
    // Pictures whose names differ only by their extension: each thumbnail takes it in its name.
    const AnsiString extension = ExtractFileExt(name);
    if (shared && !extension.empty()) {
      thumb += '_';
      thumb.append(extension.c_str() + 1);
    }
    thumb += ".jpg";
    thumbs.push_back(thumb);
  }
  return thumbs;
}

AnsiString HtmlText(const AnsiString& text) {
  AnsiString out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

AnsiString UrlPath(const AnsiString& path) {
  static const char* const kHex = "0123456789ABCDEF";
  AnsiString out;
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '_' || c == '.' || c == '~' || c == '/';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

bool MakeDirs(const AnsiString& path) {
  std::error_code error;
  fs::create_directories(fs::path(path.c_str()), error);
  return fs::is_directory(fs::path(path.c_str()), error);
}

GalleryResult MakeGallery(const GallerySettings& s, bool& makeThumbnails,
                          const std::function<void(int, int)>& progress) {
  // Without a prefix nothing tells the gallery's thumbnails from the user's own pictures,
  // which they would then replace.
  if (s.prefix.empty()) return GalleryResult::NoPrefix;
  const AnsiString source = WithSlash(s.sourceFolder);
  const std::vector<AnsiString> names = GallerySources(source, s.prefix);
  if (names.empty()) return GalleryResult::NoImages;
  const std::vector<AnsiString> thumbs = GalleryThumbnailNames(names, s.prefix);
  const AnsiString destination = s.destination.empty() ? source : WithSlash(s.destination);
  const AnsiString imageFolder = s.imageFolder.empty() ? destination : WithSlash(s.imageFolder);
  if (!MakeDirs(imageFolder)) return GalleryResult::CannotCreateFolder;

  const int steps = static_cast<int>(names.size()) + (s.previous ? 1 : 0) + (s.next ? 1 : 0);
  int step = 0;
  const auto advance = [&] {
    if (progress) progress(++step, steps);
  };
  const bool copies = s.linkToOriginal && !SameFolder(source, imageFolder);
  std::vector<Picture> list;
  for (std::size_t n = 0; n < names.size(); ++n) {
    const AnsiString& name = names[n];
    const AnsiString thumbPath = imageFolder + thumbs[n];
    bool made = true;
    if (makeThumbnails) {
      made = false;
      UDBuffer thumb;
      try {
        made = thumb.LoadScaled(source + name, s.thumbWidth, s.thumbHeight, true, s.fullFit, 0) == 0 &&
               thumb.pixels != nullptr;
      } catch (...) {
        made = false;
      }
      if (made) {
        GFXSaveParams params;
        params.bits = 24;
        params.quality = 75;
        params.interlaced = true;
        try {
          made = GFXFile::Save(thumb, thumbPath, nullptr, &params);
        } catch (...) {
          made = false;
        }
      }
      if (made && copies) CopyFile((source + name).c_str(), (imageFolder + name).c_str(), FALSE);
    }
    // A thumbnail that is not there (its save failed, or an earlier run's is gone) is left out
    // rather than named with another file's size.
    GFXFileDesc desc;
    try {
      made = made && GFXFile::Test(thumbPath, &desc);
    } catch (...) {
      made = false;
    }
    if (made) list.push_back(Picture{name, thumbs[n], desc.width, desc.height});
    advance();
  }
  makeThumbnails = false;

  PageWriter writer(s);
  writer.relative = RelativeImageFolder(destination, imageFolder);
  const auto navigation = [&](bool on, const AnsiString& image, GFXFileDesc& desc) {
    if (!on) return;
    const AnsiString target = imageFolder + ExtractFileName(image);
    if (!SameFolder(ExtractFilePath(image), imageFolder)) CopyFile(image.c_str(), target.c_str(), FALSE);
    try {
      GFXFile::Test(target, &desc);
    } catch (...) {
      desc = GFXFileDesc{};
    }
    advance();
  };
  navigation(s.previous, s.prevImage, writer.prevDesc);
  navigation(s.next, s.nextImage, writer.nextDesc);

  // Rows and pages count the pictures the pages show, so no page is left empty.
  const int n = std::max(1, static_cast<int>(list.size()));
  writer.columns = GalleryColumns(s);
  if (s.limitRows) {
    writer.rows = std::max(1, s.rowLimit);
    writer.pages = (n + writer.columns * writer.rows - 1) / (writer.columns * writer.rows);
  } else {
    writer.rows = (n + writer.columns - 1) / writer.columns;
    writer.pages = 1;
  }
  std::size_t i = 0;
  for (int p = 1; p <= writer.pages; ++p) {
    const AnsiString text = writer.Page(p, list, i);
    FILE* f = std::fopen((destination + writer.PageName(p)).c_str(), "wb");
    if (f == nullptr) return GalleryResult::CannotCreatePage;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !written) return GalleryResult::CannotCreatePage;
  }
  return GalleryResult::Ok;
}
