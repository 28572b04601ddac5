/* The binary interface between the program and a plug-in component ("*.qlc", an ELF shared
 * object): the parameter record, the commands and their argument blocks, the 25 callbacks, the
 * window messages and the option type codes. Written for C and C++ components alike; every
 * offset is checked below, so a change of layout fails to compile. */
#ifndef QUILLO_PLUGINS_COMPONENT_API_H
#define QUILLO_PLUGINS_COMPONENT_API_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Commands: the second argument of QLCPROCESS. */
#define CMD_INIT 0x118D
#define CMD_OPTIONS 0x118E
#define CMD_BUTTON 0x118F
#define CMD_PROCESS 0x1190
#define CMD_END 0x1191
#define CMD_POINT 0x1192
#define CMD_PRESET 0x1193

/* Messages a component may post or send to MainWindow while it is active. */
#define UM_COMPPREVIEW 0x1575
#define UM_COMPOK 0x1576
#define UM_COMPCANCEL 0x1577
#define UM_COMPRESIZE 0x1578

/* Option type codes (the letters I F B T C S L O P G of a "ParN=" descriptor). */
#define QLC_OPT_NONE 0
#define QLC_OPT_INTEGER 1
#define QLC_OPT_FLOAT 2
#define QLC_OPT_BUTTON 3
#define QLC_OPT_TEXT 4
#define QLC_OPT_CHECK 5
#define QLC_OPT_SCROLL 6
#define QLC_OPT_LIST 7
#define QLC_OPT_COLOR 8
#define QLC_OPT_POINT 9
#define QLC_OPT_DOCUMENT 10

/* The option value block: 96 bytes of slots and the host's blend-mode byte. */
#define QLC_VALUE_BYTES 96
#define QLC_VALUE_BLOCK 97
#define QLC_MAX_OPTIONS 12

/* The export names. */
#define QLC_EXPORT_DESC "QLCDESC"
#define QLC_EXPORT_GETDESC "QLCGETDESC"
#define QLC_EXPORT_PROCESS "QLCPROCESS"

typedef void (*QLCPROCESS_FN)(void* block, int32_t command);
typedef const char* (*QLCGETDESC_FN)(void);

/* The callbacks, in table order. Coordinates are (row, column) of the addressed picture. */
typedef uint32_t (*CompGetSrcPixel_FN)(int32_t row, int32_t column);
typedef int32_t (*CompGetSrcMask_FN)(int32_t row, int32_t column);
typedef uint32_t (*CompGetSrcPixelClamped_FN)(int32_t row, int32_t column);
typedef int32_t (*CompGetSrcMaskClamped_FN)(int32_t row, int32_t column);
typedef uint32_t (*CompGetDocPixel_FN)(int32_t row, int32_t column, int32_t document);
typedef int32_t (*CompGetDocMask_FN)(int32_t row, int32_t column, int32_t document);
typedef void (*CompPutPixel_FN)(uint32_t colour, int32_t row, int32_t column);
typedef void (*CompSetMask_FN)(int32_t value, int32_t row, int32_t column);
typedef void (*CompPutPixelClamped_FN)(uint32_t colour, int32_t row, int32_t column);
typedef void (*CompSetMaskClamped_FN)(int32_t value, int32_t row, int32_t column);
typedef int32_t (*CompProgress_FN)(int32_t position);
typedef void (*CompProgressMax_FN)(int32_t maximum);
typedef void (*CompSetOptionValue_FN)(int32_t notify, double value, int32_t option);
typedef void (*CompSetOptionLabel_FN)(const char* text, int32_t option);
typedef void (*CompSetOptionStep_FN)(double step, int32_t option);
typedef void (*CompSetOptionDecimals_FN)(int32_t decimals, int32_t option);
typedef void (*CompSetOptionMin_FN)(double minimum, int32_t option);
typedef void (*CompSetOptionMax_FN)(double maximum, int32_t option);
typedef void (*CompEnableOption_FN)(int32_t enabled, int32_t option);
typedef void (*CompShowOption_FN)(int32_t visible, int32_t option);
typedef void (*CompSetResolution_FN)(int32_t dotsPerInch);
typedef int32_t (*CompGetDocInfo_FN)(int32_t what, int32_t document);
typedef void* (*CompAlloc_FN)(uint32_t size);
typedef void (*CompFree_FN)(void* address);
typedef void (*CompSetAlpha_FN)(int32_t alpha, int32_t row, int32_t column);

typedef struct ComponentCallbacks {
  CompGetSrcPixel_FN CompGetSrcPixel;
  CompGetSrcMask_FN CompGetSrcMask;
  CompGetSrcPixelClamped_FN CompGetSrcPixelClamped;
  CompGetSrcMaskClamped_FN CompGetSrcMaskClamped;
  CompGetDocPixel_FN CompGetDocPixel;
  CompGetDocMask_FN CompGetDocMask;
  CompPutPixel_FN CompPutPixel;
  CompSetMask_FN CompSetMask;
  CompPutPixelClamped_FN CompPutPixelClamped;
  CompSetMaskClamped_FN CompSetMaskClamped;
  CompProgress_FN CompProgress;
  CompProgressMax_FN CompProgressMax;
  CompSetOptionValue_FN CompSetOptionValue;
  CompSetOptionLabel_FN CompSetOptionLabel;
  CompSetOptionStep_FN CompSetOptionStep;
  CompSetOptionDecimals_FN CompSetOptionDecimals;
  CompSetOptionMin_FN CompSetOptionMin;
  CompSetOptionMax_FN CompSetOptionMax;
  CompEnableOption_FN CompEnableOption;
  CompShowOption_FN CompShowOption;
  CompSetResolution_FN CompSetResolution;
  CompGetDocInfo_FN CompGetDocInfo;
  CompAlloc_FN CompAlloc;
  CompFree_FN CompFree;
  CompSetAlpha_FN CompSetAlpha;
} ComponentCallbacks;

/* The parameter record: the argument block of CMD_INIT and CMD_PROCESS, at one address from
 * CMD_INIT to CMD_END. Pixels are 0xTTRRGGBB, colours 0x00RRGGBB. */
typedef struct ComponentParams {
  void* MainWindow;
  int32_t Width;
  int32_t Height;
  int32_t ClipLeft;
  int32_t ClipTop;
  int32_t ClipRight;
  int32_t ClipBottom;
  uint32_t ForeColor;
  uint32_t BackColor;
  int32_t Resolution;
  int32_t Reserved1;
  const int32_t* CosTable;
  const int32_t* SinTable;
  const int32_t* TanTable;
  int32_t DocumentNumber;
  int32_t PaletteCount;
  const uint32_t* Palette;
  int32_t HasMask;
  int32_t FullRun;
  int32_t InstantPreview;
  int32_t Reserved2;
  ComponentCallbacks Callbacks;
  void* Destination;
  void* Source;
} ComponentParams;

/* The argument block of CMD_POINT: the point as fractions 0..65535 of width - 1 and
 * height - 1, the size it refers to, the right button, and the source (0 the image, 1 the
 * instant preview). */
typedef struct ComponentPoint {
  int32_t X;
  int32_t Y;
  int32_t Width;
  int32_t Height;
  int32_t RightButton;
  int32_t Source;
} ComponentPoint;

#ifdef __cplusplus
}
#define QLC_STATIC_ASSERT static_assert
#else
#define QLC_STATIC_ASSERT _Static_assert
#endif

QLC_STATIC_ASSERT(sizeof(void*) == 8, "components are 64-bit libraries");
QLC_STATIC_ASSERT(offsetof(ComponentParams, MainWindow) == 0, "MainWindow");
QLC_STATIC_ASSERT(offsetof(ComponentParams, Width) == 8, "Width");
QLC_STATIC_ASSERT(offsetof(ComponentParams, Height) == 12, "Height");
QLC_STATIC_ASSERT(offsetof(ComponentParams, ClipLeft) == 16, "ClipLeft");
QLC_STATIC_ASSERT(offsetof(ComponentParams, ClipTop) == 20, "ClipTop");
QLC_STATIC_ASSERT(offsetof(ComponentParams, ClipRight) == 24, "ClipRight");
QLC_STATIC_ASSERT(offsetof(ComponentParams, ClipBottom) == 28, "ClipBottom");
QLC_STATIC_ASSERT(offsetof(ComponentParams, ForeColor) == 32, "ForeColor");
QLC_STATIC_ASSERT(offsetof(ComponentParams, BackColor) == 36, "BackColor");
QLC_STATIC_ASSERT(offsetof(ComponentParams, Resolution) == 40, "Resolution");
QLC_STATIC_ASSERT(offsetof(ComponentParams, CosTable) == 48, "CosTable");
QLC_STATIC_ASSERT(offsetof(ComponentParams, SinTable) == 56, "SinTable");
QLC_STATIC_ASSERT(offsetof(ComponentParams, TanTable) == 64, "TanTable");
QLC_STATIC_ASSERT(offsetof(ComponentParams, DocumentNumber) == 72, "DocumentNumber");
QLC_STATIC_ASSERT(offsetof(ComponentParams, PaletteCount) == 76, "PaletteCount");
QLC_STATIC_ASSERT(offsetof(ComponentParams, Palette) == 80, "Palette");
QLC_STATIC_ASSERT(offsetof(ComponentParams, HasMask) == 88, "HasMask");
QLC_STATIC_ASSERT(offsetof(ComponentParams, FullRun) == 92, "FullRun");
QLC_STATIC_ASSERT(offsetof(ComponentParams, InstantPreview) == 96, "InstantPreview");
QLC_STATIC_ASSERT(offsetof(ComponentParams, Callbacks) == 104, "Callbacks");
QLC_STATIC_ASSERT(sizeof(ComponentCallbacks) == 25 * 8, "25 callbacks");
QLC_STATIC_ASSERT(offsetof(ComponentParams, Destination) == 304, "Destination");
QLC_STATIC_ASSERT(offsetof(ComponentParams, Source) == 312, "Source");
QLC_STATIC_ASSERT(sizeof(ComponentParams) == 320, "ComponentParams");
QLC_STATIC_ASSERT(sizeof(ComponentPoint) == 24, "ComponentPoint");

#endif /* QUILLO_PLUGINS_COMPONENT_API_H */
