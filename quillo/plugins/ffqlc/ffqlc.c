/* The template of compiled formula filters. The program copies this library and writes into
 * its reserved area the marker "ffcd", the byte counts of the set-up routine and of the red,
 * green, blue and opacity routines, the routines themselves back to back, and the component's
 * description. As built here the area holds only its upper-case marker and zeros, so the
 * template itself is no component: QLCGETDESC answers null for it and for any area whose
 * counts do not fit. */
#include <math.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include "quillo/plugins/ComponentApi.h"
#include "quillo/plugins/ffqlc/FormulaRecord.h"

#define EXPORTED __attribute__((visibility("default")))

enum {
  AREA_BYTES = 65536,
  HEAD_BYTES = 4 + 5 * 4, /* marker and the five counts */
  SETUP_MOST = 512,
  CHANNEL_MOST = 4096,
  ROUTINES = 5,
  CHANNELS = 4
};

/* Defined in assembly so that the compiler knows nothing of its contents: the program
 * rewrites them in the file. The marker is the file's last occurrence of its four letters,
 * which is how the program finds the area. */
__asm__(".pushsection .rodata.ffqlc_area,\"a\",@progbits\n"
        ".balign 64\n"
        ".globl ffqlc_area\n"
        ".hidden ffqlc_area\n"
        ".type ffqlc_area, @object\n"
        ".size ffqlc_area, 65536\n"
        "ffqlc_area:\n"
        ".ascii \"FFCD\"\n"
        ".zero 65532\n"
        ".popsection\n");
extern const unsigned char ffqlc_area[AREA_BYTES] __attribute__((visibility("hidden")));

typedef void (*SetupRoutine)(uint32_t pixel, FormulaRecord* record);
typedef int32_t (*ChannelRoutine)(FormulaRecord* record);

/* Where the area's parts lie, once its counts have been checked. */
typedef struct AreaLayout {
  size_t length[ROUTINES];
  size_t codeBytes;
  const char* description;
} AreaLayout;

static uint32_t ReadCount(const unsigned char* at) {
  return (uint32_t)at[0] | (uint32_t)at[1] << 8 | (uint32_t)at[2] << 16 | (uint32_t)at[3] << 24;
}

/* False unless the marker is the lower-case one the program writes, every routine has a
 * length within its limit, and the description after them ends inside the area. */
static int ReadLayout(AreaLayout* layout) {
  const unsigned char* area = ffqlc_area;
  if (area[0] != 'f' || area[1] != 'f' || area[2] != 'c' || area[3] != 'd') return 0;
  layout->codeBytes = 0;
  for (int k = 0; k < ROUTINES; ++k) {
    const uint32_t length = ReadCount(area + 4 + 4 * k);
    if (length == 0 || length > (k == 0 ? SETUP_MOST : CHANNEL_MOST)) return 0;
    layout->length[k] = length;
    layout->codeBytes += length;
  }
  const size_t descriptionAt = HEAD_BYTES + layout->codeBytes;
  if (descriptionAt >= AREA_BYTES) return 0;
  if (!memchr(area + descriptionAt, 0, AREA_BYTES - descriptionAt)) return 0;
  layout->description = (const char*)area + descriptionAt;
  return 1;
}

EXPORTED const char* QLCGETDESC(void) {
  AreaLayout layout;
  return ReadLayout(&layout) ? layout.description : NULL;
}

/* The state of one use, from CMD_INIT to CMD_END. */
static void* codePages;
static size_t codePageBytes;
static SetupRoutine setupRoutine;
static ChannelRoutine channelRoutines[CHANNELS];
static FormulaRecord* record;
static int32_t sliders[FFQLC_SLIDERS];

static void Release(void) {
  if (codePages) munmap(codePages, codePageBytes);
  codePages = NULL;
  codePageBytes = 0;
  setupRoutine = NULL;
  free(record);
  record = NULL;
}

/* The routines go to pages of their own: written while writable, then made read and
 * execute, never both at once. */
static int LoadRoutines(const AreaLayout* layout) {
  const long page = sysconf(_SC_PAGESIZE);
  const size_t pageBytes = page > 0 ? (size_t)page : 4096;
  codePageBytes = (layout->codeBytes + pageBytes - 1) / pageBytes * pageBytes;
  void* pages = mmap(NULL, codePageBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) return 0;
  codePages = pages;
  memcpy(pages, ffqlc_area + HEAD_BYTES, layout->codeBytes);
  if (mprotect(pages, codePageBytes, PROT_READ | PROT_EXEC) != 0) return 0;
  const unsigned char* at = pages;
  setupRoutine = (SetupRoutine)(const void*)at;
  at += layout->length[0];
  for (int c = 0; c < CHANNELS; ++c) {
    channelRoutines[c] = (ChannelRoutine)(const void*)at;
    at += layout->length[1 + c];
  }
  return 1;
}

/* The constant part of the record: channel positions, angle scale and tables. The sine and
 * tangent tables are the host's, which are the program's own. */
static int FillConstants(const ComponentParams* params) {
  if (!params->SinTable || !params->TanTable) return 0;
  record->channelShift[0] = 16;
  record->channelShift[1] = 8;
  record->channelShift[2] = 0;
  record->channelShift[3] = 24;
  record->angleScale = (float)(512.0 / 3.14159265358979323846);
  memcpy(record->sine, params->SinTable, sizeof record->sine);
  memcpy(record->tangent, params->TanTable, sizeof record->tangent);
  static const uint16_t weights[FFQLC_WEIGHT_TABLES] = {76, 150, 29, 19, 37, 56, 78, 65, 13};
  for (int t = 0; t < FFQLC_WEIGHT_TABLES; ++t)
    for (int k = 0; k < 256; ++k) record->weights[t][k] = (uint16_t)(k * weights[t]);
  return 1;
}

static void Init(const ComponentParams* params) {
  Release();
  AreaLayout layout;
  if (!params || !ReadLayout(&layout)) return;
  record = calloc(1, sizeof *record);
  if (!record || !FillConstants(params) || !LoadRoutines(&layout)) Release();
}

/* Every slider is a scroll-bar option, four bytes each, in slider order. The description
 * holds no more of them than it needs; the others are 0. */
static void TakeOptions(const unsigned char* block) {
  memset(sliders, 0, sizeof sliders);
  AreaLayout layout;
  if (!block || !ReadLayout(&layout)) return;
  char key[] = "Par1=";
  for (int k = 0; k < FFQLC_SLIDERS; ++k) {
    key[3] = (char)('1' + k);
    if (!strstr(layout.description, key)) return;
    memcpy(&sliders[k], block + 4 * k, sizeof sliders[k]);
  }
}

/* Each run starts as the program's own: sizes, M, sliders, empty cells, seed 0. */
static void StartRun(const ComponentParams* params) {
  record->r = record->g = record->b = record->a = 0;
  record->i = record->u = record->v = record->d = record->m = 0;
  record->x = record->y = 0;
  record->seed = 0;
  record->width = params->Width;
  record->height = params->Height;
  const double w = params->Width, h = params->Height;
  record->mostDistance = (int32_t)(sqrt(w * w + h * h) * 0.5);
  memcpy(record->sliders, sliders, sizeof sliders);
  memset(record->cells, 0, sizeof record->cells);
  record->fetch = params->Callbacks.CompGetSrcPixelClamped;
}

static int32_t Clamp(int32_t value) { return value < 0 ? 0 : value > 255 ? 255 : value; }

static void Process(const ComponentParams* params) {
  if (!params || !record || !setupRoutine) return;
  StartRun(params);
  const ComponentCallbacks* cb = &params->Callbacks;
  const int32_t left = params->ClipLeft < 0 ? 0 : params->ClipLeft;
  const int32_t top = params->ClipTop < 0 ? 0 : params->ClipTop;
  const int32_t right = params->ClipRight >= params->Width ? params->Width - 1 : params->ClipRight;
  const int32_t bottom = params->ClipBottom >= params->Height ? params->Height - 1 : params->ClipBottom;
  for (int32_t y = top; y <= bottom; ++y) {
    for (int32_t x = left; x <= right; ++x) {
      if (params->HasMask && !cb->CompGetSrcMask(y, x)) continue;
      record->x = x;
      record->y = y;
      setupRoutine(cb->CompGetSrcPixel(y, x), record);
      int32_t value[CHANNELS];
      for (int c = 0; c < CHANNELS; ++c) value[c] = Clamp(channelRoutines[c](record));
      cb->CompPutPixel((uint32_t)value[0] << 16 | (uint32_t)value[1] << 8 | (uint32_t)value[2], y, x);
      cb->CompSetAlpha(255 - value[3], y, x);
    }
    if (!cb->CompProgress(y - top)) return;
  }
}

EXPORTED void QLCPROCESS(void* block, int32_t command) {
  switch (command) {
    case CMD_INIT: Init(block); break;
    case CMD_OPTIONS: TakeOptions(block); break;
    case CMD_PROCESS: Process(block); break;
    case CMD_END: Release(); break;
    default: break;
  }
}
