#pragma once
// A scanner's picture: the packed DIB a scan answers (header, colour table, rows), checked
// against its block as the clipboard's pictures are (ClipboardDib: a 12-byte core header, a
// height that does not fit, rows beyond the block are all refused), with its resolution.

#include <cstddef>
#include <cstdint>

#include "vorlen/core/Buffer.h"

// Decodes the scan into picture and sets resolution from the header's horizontal pixels per
// metre (200 when that gives none). False, picture empty, when the block cannot be read.
bool PictureFromScan(const std::uint8_t* data, std::size_t size, Buffer& picture, int& resolution);
