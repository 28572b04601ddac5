/* What the sample filter plug-ins of the tests share: the PiPL record they carry in their
 * ".pipl" section and the whole-area inverter most of them are built on. */
#ifndef QUILLO_TESTS_SAMPLE_PLUGIN_H
#define QUILLO_TESTS_SAMPLE_PLUGIN_H

#include "quillo/plugins/FilterPluginApi.h"

#define SAMPLE_EXPORT __attribute__((visibility("default")))

#define SAMPLE_PROPERTY(n)    \
  struct {                    \
    uint32_t vendor, key, id; \
    uint32_t length;          \
    char data[n];             \
  } __attribute__((packed))

/* One PiPL resource with its section record header: kind, name, category and entry. */
struct SamplePipl {
  uint32_t recordId;
  uint32_t recordSize;
  uint16_t word;
  uint32_t version;
  uint32_t count;
  SAMPLE_PROPERTY(4) kind;
  SAMPLE_PROPERTY(32) name;
  SAMPLE_PROPERTY(32) category;
  SAMPLE_PROPERTY(32) entry;
  char padding[2];
} __attribute__((packed));

#define SAMPLE_VENDOR FILTER_FOURCC('8', 'B', 'I', 'M')

/* title and category are length-prefixed: "\016Invert Colours". */
#define SAMPLE_PIPL(var, title, category, entryName)                                                         \
  __attribute__((section(".pipl"), used, aligned(4))) static const struct SamplePipl var = {                \
      1, sizeof(struct SamplePipl) - 10, 0, 0, 4,                                                            \
      {SAMPLE_VENDOR, FILTER_FOURCC('k', 'i', 'n', 'd'), 0, 4, "MFB8"},                                     \
      {SAMPLE_VENDOR, FILTER_FOURCC('n', 'a', 'm', 'e'), 0, 32, title},                                     \
      {SAMPLE_VENDOR, FILTER_FOURCC('c', 'a', 't', 'g'), 0, 32, category},                                  \
      {SAMPLE_VENDOR, FILTER_FOURCC('w', 'x', '8', '6'), 0, 32, entryName},                                 \
      {0, 0}}

static inline int SampleNonEmpty(const Rect* r) { return r->left < r->right && r->top < r->bottom; }

/* Asks for the whole filter area, planes 0 to 2, in and out. */
static inline void SampleAskWhole(FilterRecord* r) {
  r->inRect = r->filterRect;
  r->outRect = r->filterRect;
  r->inLoPlane = r->outLoPlane = 0;
  r->inHiPlane = r->outHiPlane = 2;
}

static inline void SampleAskNothing(FilterRecord* r) {
  Rect none = {0, 0, 0, 0};
  r->inRect = r->outRect = r->maskRect = none;
}

/* out = 255 - in over the held rectangles. */
static inline void SampleInvert(FilterRecord* r) {
  const int rows = r->outRect.bottom - r->outRect.top;
  const int columns = r->outRect.right - r->outRect.left;
  for (int y = 0; y < rows; ++y) {
    const uint8_t* in = (const uint8_t*)r->inData + (long)y * r->inRowBytes;
    uint8_t* out = (uint8_t*)r->outData + (long)y * r->outRowBytes;
    for (int x = 0; x < columns; ++x)
      for (int p = 0; p < 3; ++p) out[x * r->outColumnBytes + p] = (uint8_t)(255 - in[x * r->inColumnBytes + p]);
  }
}

#endif
