#pragma once
// The number of distinct colours of a picture: the low 24 bits of each pixel, so that pixels
// differing only in transparency count once.

class Buffer;

// 0 for an empty picture, and when the table of 2^24 bits cannot be had.
int CountPictureColors(const Buffer& picture);
