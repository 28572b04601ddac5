#pragma once
// The HTML gallery of a folder: JPEG thumbnails of its images, copies of the images where the
// pages link them from another folder, and pages of HTML 3.2 with the thumbnails in a table,
// optionally captioned and linked page to page with two navigation images. Names go into the
// pages as text escaped and as links percent-encoded, so any file name stays a working link.

#include <functional>
#include <vector>

#include "platform/rtl/AnsiString.h"

struct GallerySettings {
  int pageWidth = 610;
  int thumbWidth = 120;
  int thumbHeight = 90;
  int horizontalGap = 20;
  int verticalGap = 10;
  bool limitRows = false;
  int rowLimit = 3;
  int alignment = 2;  // 0 left, 1 right, 2 centre
  bool fullFit = false;
  bool showNames = true;
  bool linkToOriginal = true;
  bool previous = false;
  bool next = false;
  AnsiString prevImage;    // full paths of the navigation images
  AnsiString nextImage;
  AnsiString sourceFolder; // the folder of the images, ending in "/"
  AnsiString destination;  // where the pages go, ending in "/"; empty: the source folder
  AnsiString imageFolder;  // where thumbnails and copies go (full path); empty: destination
  AnsiString baseName;
  AnsiString extension = ".htm";
  AnsiString prefix = "~^~";
};

// NoPrefix: the thumbnail prefix is empty, and thumbnails could take the pictures' own names.
enum class GalleryResult { Ok, NoPrefix, NoImages, CannotCreateFolder, CannotCreatePage };

// The folders and names a gallery run works with, as MakeGallery derives them.
int GalleryColumns(const GallerySettings& s);
// image folder as a relative link from the destination ("" or "sub/dir/").
AnsiString RelativeImageFolder(const AnsiString& destination, const AnsiString& imageFolder);
// The images of the folder a gallery lists: known formats the library accepts, not thumbnails
// (names beginning with the prefix), regular files only; sorted by name without regard to case.
std::vector<AnsiString> GallerySources(const AnsiString& folder, const AnsiString& prefix);

// The thumbnails' file names for the images (in their order): prefix, name, ".jpg"; images
// whose names differ only by their extension (without regard to case) add "_" and it.
std::vector<AnsiString> GalleryThumbnailNames(const std::vector<AnsiString>& names, const AnsiString& prefix);

AnsiString HtmlText(const AnsiString& text);
AnsiString UrlPath(const AnsiString& path);

// Makes the gallery. makeThumbnails: load and save the thumbnails (and copy the images);
// cleared by a run, so a second run reuses them. progress gets the step and the steps' count.
GalleryResult MakeGallery(const GallerySettings& s, bool& makeThumbnails,
                          const std::function<void(int step, int steps)>& progress = nullptr);

// Creates a folder and all missing parents; true when it exists afterwards.
bool MakeDirs(const AnsiString& path);
