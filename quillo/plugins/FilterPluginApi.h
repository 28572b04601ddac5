/* The binary interface between the program and Photoshop-compatible filter plug-ins (".8bf"
 * files, here x86-64 ELF shared objects): the filter record, the host's suites and the small
 * structures they pass. Plain C, so that plug-ins written in C include it as it is.
 *
 * The fields keep the published order and meanings. Procedures, data pointers, handles and
 * the platform data are 8 bytes on this machine, so the record is larger than its 32-bit
 * form and the fields after the first pointer sit at other offsets; the asserts at the end
 * pin every offset so that a plug-in built against this header and the host agree.
 * Rect and Point keep their 16-bit sides: a picture side over 32767 pixels cannot be
 * described to a plug-in. */
#ifndef QUILLO_PLUGINS_FILTER_PLUGIN_API_H
#define QUILLO_PLUGINS_FILTER_PLUGIN_API_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int16_t OSErr;
typedef uint8_t Boolean;
typedef int32_t Fixed; /* 16.16 */
typedef uint32_t OSType; /* four characters, the first in the most significant byte */
typedef char** Handle;
typedef void* BufferID;

#define FILTER_FOURCC(a, b, c, d) \
  ((OSType)(((uint32_t)(a) << 24) | ((uint32_t)(b) << 16) | ((uint32_t)(c) << 8) | (uint32_t)(d)))

/* Selectors of the entry point. */
enum {
  filterSelectorAbout = 0,
  filterSelectorParameters = 1,
  filterSelectorPrepare = 2,
  filterSelectorStart = 3,
  filterSelectorContinue = 4,
  filterSelectorFinish = 5
};

/* The result a plug-in gives when the user stopped it. */
#define userCanceledErr ((OSErr)-128)

/* Filter cases and image modes the host uses. */
enum { filterCaseFlatImageNoSelection = 1, filterCaseFlatImageWithSelection = 2 };
enum { plugInModeRGBColor = 3 };

/* Colour services: selectors and colour spaces. */
enum {
  plugIncolorServicesChooseColor = 0,
  plugIncolorServicesConvertColor = 1,
  plugIncolorServicesSamplePoint = 2,
  plugIncolorServicesGetSpecialColor = 3
};
enum { plugIncolorServicesRGBSpace = 0, plugIncolorServicesCMYKSpace = 2, plugIncolorServicesGraySpace = 4 };

typedef struct Point {
  int16_t v;
  int16_t h;
} Point;

typedef struct Rect {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
} Rect;

typedef struct VRect {
  int32_t top;
  int32_t left;
  int32_t bottom;
  int32_t right;
} VRect;

typedef struct RGBColor {
  uint16_t red;
  uint16_t green;
  uint16_t blue;
} RGBColor;

typedef uint8_t FilterColor[4];

/* The monitor description: gamma, the primaries' and white's chromaticities, ambient light. */
typedef struct PlugInMonitor {
  Fixed gamma;
  Fixed redX, redY, greenX, greenY, blueX, blueY, whiteX, whiteY;
  Fixed ambient;
} PlugInMonitor;

typedef struct PSImagePlane {
  void* data;
  Rect bounds;
  int32_t rowBytes;
  int32_t colBytes;
} PSImagePlane;

typedef struct PSPixelMap {
  int32_t version;
  VRect bounds;
  int32_t imageMode;
  int32_t rowBytes;
  int32_t colBytes;
  int32_t planeBytes;
  void* baseAddr;
} PSPixelMap;

typedef struct ColorServicesInfo {
  int32_t infoSize;
  int16_t selector;
  int16_t sourceSpace;
  int16_t resultSpace;
  Boolean resultGamutInfoValid;
  Boolean resultInGamut;
  void* reservedSourceSpaceInfo;
  void* reservedResultSpaceInfo;
  int16_t colorComponents[4];
  void* reserved;
  union {
    uint8_t* pickerPrompt; /* a length byte, then the text */
    Point* globalSamplePoint;
    int32_t specialColorID;
  } selectorParameter;
} ColorServicesInfo;

/* The host block platformData points at: the program's window, an opaque number here. */
typedef struct PlatformData {
  intptr_t hwnd;
} PlatformData;

typedef Boolean (*TestAbortProc)(void);
typedef void (*ProgressProc)(int32_t done, int32_t total);
typedef void (*HostProc)(int16_t selector, intptr_t* data);
typedef void (*ProcessEventProc)(void* event);
typedef OSErr (*DisplayPixelsProc)(const PSPixelMap* source, const VRect* srcRect, int32_t dstRow,
                                   int32_t dstCol, void* platformContext);
typedef OSErr (*AdvanceStateProc)(void);
typedef OSErr (*GetPropertyProc)(OSType signature, OSType key, int32_t index, intptr_t* simpleProperty,
                                 Handle* complexProperty);
typedef OSErr (*SetPropertyProc)(OSType signature, OSType key, int32_t index, intptr_t simpleProperty,
                                 Handle complexProperty);
typedef OSErr (*ColorServicesProc)(ColorServicesInfo* info);

typedef OSErr (*AllocateBufferProc)(int32_t size, BufferID* bufferID);
typedef char* (*LockBufferProc)(BufferID bufferID, Boolean moveHigh);
typedef void (*UnlockBufferProc)(BufferID bufferID);
typedef void (*FreeBufferProc)(BufferID bufferID);
typedef int32_t (*BufferSpaceProc)(void);

typedef Handle (*NewPIHandleProc)(int32_t size);
typedef void (*DisposePIHandleProc)(Handle h);
typedef int32_t (*GetPIHandleSizeProc)(Handle h);
typedef OSErr (*SetPIHandleSizeProc)(Handle h, int32_t newSize);
typedef char* (*LockPIHandleProc)(Handle h, Boolean moveHigh);
typedef void (*UnlockPIHandleProc)(Handle h);
typedef void (*RecoverSpaceProc)(int32_t size);

typedef OSErr (*Interpolate1DProc)(PSImagePlane* source, PSImagePlane* destination, Rect* area, Fixed* coords,
                                   int16_t method);
typedef OSErr (*Interpolate2DProc)(PSImagePlane* source, PSImagePlane* destination, Rect* area, Fixed* coords,
                                   int16_t method);

typedef struct BufferProcs {
  int16_t bufferProcsVersion;
  int16_t numBufferProcs;
  AllocateBufferProc allocateProc;
  LockBufferProc lockProc;
  UnlockBufferProc unlockProc;
  FreeBufferProc freeProc;
  BufferSpaceProc spaceProc;
} BufferProcs;

typedef struct HandleProcs {
  int16_t handleProcsVersion;
  int16_t numHandleProcs;
  NewPIHandleProc newProc;
  DisposePIHandleProc disposeProc;
  GetPIHandleSizeProc getSizeProc;
  SetPIHandleSizeProc setSizeProc;
  LockPIHandleProc lockProc;
  UnlockPIHandleProc unlockProc;
  RecoverSpaceProc recoverSpaceProc;
} HandleProcs;

typedef struct ImageServicesProcs {
  int16_t imageServicesProcsVersion;
  int16_t numImageServicesProcs;
  Interpolate1DProc interpolate1DProc;
  Interpolate2DProc interpolate2DProc;
} ImageServicesProcs;

typedef struct PropertyProcs {
  int16_t propertyProcsVersion;
  int16_t numPropertyProcs;
  GetPropertyProc getPropertyProc;
  SetPropertyProc setPropertyProc;
} PropertyProcs;

typedef struct FilterRecord {
  int32_t serialNumber;
  TestAbortProc abortProc;
  ProgressProc progressProc;
  Handle parameters;
  Point imageSize;
  int16_t planes;
  Rect filterRect;
  RGBColor background;
  RGBColor foreground;
  int32_t maxSpace;
  int32_t bufferSpace;
  Rect inRect;
  int16_t inLoPlane;
  int16_t inHiPlane;
  Rect outRect;
  int16_t outLoPlane;
  int16_t outHiPlane;
  void* inData;
  int32_t inRowBytes;
  void* outData;
  int32_t outRowBytes;
  Boolean isFloating;
  Boolean haveMask;
  Boolean autoMask;
  Rect maskRect;
  void* maskData;
  int32_t maskRowBytes;
  FilterColor backColor;
  FilterColor foreColor;
  OSType hostSig;
  HostProc hostProc;
  int16_t imageMode;
  Fixed imageHRes;
  Fixed imageVRes;
  Point floatCoord;
  Point wholeSize;
  PlugInMonitor monitor;
  void* platformData;
  BufferProcs* bufferProcs;
  void* resourceProcs;
  ProcessEventProc processEvent;
  DisplayPixelsProc displayPixels;
  HandleProcs* handleProcs;
  Boolean supportsDummyChannels;
  Boolean supportsAlternateLayouts;
  int16_t wantLayout;
  int16_t filterCase;
  int16_t dummyPlaneValue;
  void* premiereHook;
  AdvanceStateProc advanceState;
  Boolean supportsAbsolute;
  Boolean wantsAbsolute;
  GetPropertyProc getPropertyObsolete;
  Boolean cannotUndo;
  Boolean supportsPadding;
  int16_t inputPadding;
  int16_t outputPadding;
  int16_t maskPadding;
  char samplingSupport;
  char reservedByte;
  Fixed inputRate;
  Fixed maskRate;
  ColorServicesProc colorServices;
  int16_t inLayerPlanes;
  int16_t inTransparencyMask;
  int16_t inLayerMasks;
  int16_t inInvertedLayerMasks;
  int16_t inNonLayerPlanes;
  int16_t outLayerPlanes;
  int16_t outTransparencyMask;
  int16_t outLayerMasks;
  int16_t outInvertedLayerMasks;
  int16_t outNonLayerPlanes;
  int16_t absLayerPlanes;
  int16_t absTransparencyMask;
  int16_t absLayerMasks;
  int16_t absInvertedLayerMasks;
  int16_t absNonLayerPlanes;
  int16_t inPreDummyPlanes;
  int16_t inPostDummyPlanes;
  int16_t outPreDummyPlanes;
  int16_t outPostDummyPlanes;
  int32_t inColumnBytes;
  int32_t inPlaneBytes;
  int32_t outColumnBytes;
  int32_t outPlaneBytes;
  ImageServicesProcs* imageServicesProcs;
  PropertyProcs* propertyProcs;
  int16_t inTileHeight;
  int16_t inTileWidth;
  Point inTileOrigin;
  int16_t absTileHeight;
  int16_t absTileWidth;
  Point absTileOrigin;
  int16_t outTileHeight;
  int16_t outTileWidth;
  Point outTileOrigin;
  int16_t maskTileHeight;
  int16_t maskTileWidth;
  Point maskTileOrigin;
  char reserved[100];
} FilterRecord;

/* The entry point a PiPL's 'wx86' property or a PiMI resource names. */
typedef void (*FilterEntryProc)(int16_t selector, FilterRecord* record, intptr_t* data, int16_t* result);

#ifdef __cplusplus
#define FILTER_API_ASSERT(condition) static_assert(condition, #condition)
#else
#define FILTER_API_ASSERT(condition) _Static_assert(condition, #condition)
#endif

FILTER_API_ASSERT(sizeof(Point) == 4);
FILTER_API_ASSERT(sizeof(Rect) == 8);
FILTER_API_ASSERT(sizeof(VRect) == 16);
FILTER_API_ASSERT(sizeof(RGBColor) == 6);
FILTER_API_ASSERT(sizeof(PlugInMonitor) == 40);
FILTER_API_ASSERT(sizeof(PlatformData) == 8);

FILTER_API_ASSERT(offsetof(PSImagePlane, bounds) == 8);
FILTER_API_ASSERT(offsetof(PSImagePlane, rowBytes) == 16);
FILTER_API_ASSERT(offsetof(PSImagePlane, colBytes) == 20);
FILTER_API_ASSERT(sizeof(PSImagePlane) == 24);

FILTER_API_ASSERT(offsetof(PSPixelMap, bounds) == 4);
FILTER_API_ASSERT(offsetof(PSPixelMap, imageMode) == 20);
FILTER_API_ASSERT(offsetof(PSPixelMap, rowBytes) == 24);
FILTER_API_ASSERT(offsetof(PSPixelMap, colBytes) == 28);
FILTER_API_ASSERT(offsetof(PSPixelMap, planeBytes) == 32);
FILTER_API_ASSERT(offsetof(PSPixelMap, baseAddr) == 40);
FILTER_API_ASSERT(sizeof(PSPixelMap) == 48);

FILTER_API_ASSERT(offsetof(ColorServicesInfo, selector) == 4);
FILTER_API_ASSERT(offsetof(ColorServicesInfo, sourceSpace) == 6);
FILTER_API_ASSERT(offsetof(ColorServicesInfo, resultSpace) == 8);
FILTER_API_ASSERT(offsetof(ColorServicesInfo, resultGamutInfoValid) == 10);
FILTER_API_ASSERT(offsetof(ColorServicesInfo, resultInGamut) == 11);
FILTER_API_ASSERT(offsetof(ColorServicesInfo, reservedSourceSpaceInfo) == 16);
FILTER_API_ASSERT(offsetof(ColorServicesInfo, reservedResultSpaceInfo) == 24);
FILTER_API_ASSERT(offsetof(ColorServicesInfo, colorComponents) == 32);
FILTER_API_ASSERT(offsetof(ColorServicesInfo, reserved) == 40);
FILTER_API_ASSERT(offsetof(ColorServicesInfo, selectorParameter) == 48);
FILTER_API_ASSERT(sizeof(ColorServicesInfo) == 56);

/* Suites: a 16-bit version and count, the procedures from offset 8. */
FILTER_API_ASSERT(offsetof(BufferProcs, numBufferProcs) == 2);
FILTER_API_ASSERT(offsetof(BufferProcs, allocateProc) == 8);
FILTER_API_ASSERT(offsetof(BufferProcs, spaceProc) == 40);
FILTER_API_ASSERT(sizeof(BufferProcs) == 48);
FILTER_API_ASSERT(offsetof(HandleProcs, newProc) == 8);
FILTER_API_ASSERT(offsetof(HandleProcs, recoverSpaceProc) == 56);
FILTER_API_ASSERT(sizeof(HandleProcs) == 64);
FILTER_API_ASSERT(offsetof(ImageServicesProcs, interpolate1DProc) == 8);
FILTER_API_ASSERT(offsetof(ImageServicesProcs, interpolate2DProc) == 16);
FILTER_API_ASSERT(sizeof(ImageServicesProcs) == 24);
FILTER_API_ASSERT(offsetof(PropertyProcs, getPropertyProc) == 8);
FILTER_API_ASSERT(offsetof(PropertyProcs, setPropertyProc) == 16);
FILTER_API_ASSERT(sizeof(PropertyProcs) == 24);


/* The filter record, field by field. */
FILTER_API_ASSERT(offsetof(FilterRecord, serialNumber) == 0);
FILTER_API_ASSERT(offsetof(FilterRecord, abortProc) == 8);
FILTER_API_ASSERT(offsetof(FilterRecord, progressProc) == 16);
FILTER_API_ASSERT(offsetof(FilterRecord, parameters) == 24);
FILTER_API_ASSERT(offsetof(FilterRecord, imageSize) == 32);
FILTER_API_ASSERT(offsetof(FilterRecord, planes) == 36);
FILTER_API_ASSERT(offsetof(FilterRecord, filterRect) == 38);
FILTER_API_ASSERT(offsetof(FilterRecord, background) == 46);
FILTER_API_ASSERT(offsetof(FilterRecord, foreground) == 52);
FILTER_API_ASSERT(offsetof(FilterRecord, maxSpace) == 60);
FILTER_API_ASSERT(offsetof(FilterRecord, bufferSpace) == 64);
FILTER_API_ASSERT(offsetof(FilterRecord, inRect) == 68);
FILTER_API_ASSERT(offsetof(FilterRecord, inLoPlane) == 76);
FILTER_API_ASSERT(offsetof(FilterRecord, inHiPlane) == 78);
FILTER_API_ASSERT(offsetof(FilterRecord, outRect) == 80);
FILTER_API_ASSERT(offsetof(FilterRecord, outLoPlane) == 88);
FILTER_API_ASSERT(offsetof(FilterRecord, outHiPlane) == 90);
FILTER_API_ASSERT(offsetof(FilterRecord, inData) == 96);
FILTER_API_ASSERT(offsetof(FilterRecord, inRowBytes) == 104);
FILTER_API_ASSERT(offsetof(FilterRecord, outData) == 112);
FILTER_API_ASSERT(offsetof(FilterRecord, outRowBytes) == 120);
FILTER_API_ASSERT(offsetof(FilterRecord, isFloating) == 124);
FILTER_API_ASSERT(offsetof(FilterRecord, haveMask) == 125);
FILTER_API_ASSERT(offsetof(FilterRecord, autoMask) == 126);
FILTER_API_ASSERT(offsetof(FilterRecord, maskRect) == 128);
FILTER_API_ASSERT(offsetof(FilterRecord, maskData) == 136);
FILTER_API_ASSERT(offsetof(FilterRecord, maskRowBytes) == 144);
FILTER_API_ASSERT(offsetof(FilterRecord, backColor) == 148);
FILTER_API_ASSERT(offsetof(FilterRecord, foreColor) == 152);
FILTER_API_ASSERT(offsetof(FilterRecord, hostSig) == 156);
FILTER_API_ASSERT(offsetof(FilterRecord, hostProc) == 160);
FILTER_API_ASSERT(offsetof(FilterRecord, imageMode) == 168);
FILTER_API_ASSERT(offsetof(FilterRecord, imageHRes) == 172);
FILTER_API_ASSERT(offsetof(FilterRecord, imageVRes) == 176);
FILTER_API_ASSERT(offsetof(FilterRecord, floatCoord) == 180);
FILTER_API_ASSERT(offsetof(FilterRecord, wholeSize) == 184);
FILTER_API_ASSERT(offsetof(FilterRecord, monitor) == 188);
FILTER_API_ASSERT(offsetof(FilterRecord, platformData) == 232);
FILTER_API_ASSERT(offsetof(FilterRecord, bufferProcs) == 240);
FILTER_API_ASSERT(offsetof(FilterRecord, resourceProcs) == 248);
FILTER_API_ASSERT(offsetof(FilterRecord, processEvent) == 256);
FILTER_API_ASSERT(offsetof(FilterRecord, displayPixels) == 264);
FILTER_API_ASSERT(offsetof(FilterRecord, handleProcs) == 272);
FILTER_API_ASSERT(offsetof(FilterRecord, supportsDummyChannels) == 280);
FILTER_API_ASSERT(offsetof(FilterRecord, supportsAlternateLayouts) == 281);
FILTER_API_ASSERT(offsetof(FilterRecord, wantLayout) == 282);
FILTER_API_ASSERT(offsetof(FilterRecord, filterCase) == 284);
FILTER_API_ASSERT(offsetof(FilterRecord, dummyPlaneValue) == 286);
FILTER_API_ASSERT(offsetof(FilterRecord, premiereHook) == 288);
FILTER_API_ASSERT(offsetof(FilterRecord, advanceState) == 296);
FILTER_API_ASSERT(offsetof(FilterRecord, supportsAbsolute) == 304);
FILTER_API_ASSERT(offsetof(FilterRecord, wantsAbsolute) == 305);
FILTER_API_ASSERT(offsetof(FilterRecord, getPropertyObsolete) == 312);
FILTER_API_ASSERT(offsetof(FilterRecord, cannotUndo) == 320);
FILTER_API_ASSERT(offsetof(FilterRecord, supportsPadding) == 321);
FILTER_API_ASSERT(offsetof(FilterRecord, inputPadding) == 322);
FILTER_API_ASSERT(offsetof(FilterRecord, outputPadding) == 324);
FILTER_API_ASSERT(offsetof(FilterRecord, maskPadding) == 326);
FILTER_API_ASSERT(offsetof(FilterRecord, samplingSupport) == 328);
FILTER_API_ASSERT(offsetof(FilterRecord, reservedByte) == 329);
FILTER_API_ASSERT(offsetof(FilterRecord, inputRate) == 332);
FILTER_API_ASSERT(offsetof(FilterRecord, maskRate) == 336);
FILTER_API_ASSERT(offsetof(FilterRecord, colorServices) == 344);
FILTER_API_ASSERT(offsetof(FilterRecord, inLayerPlanes) == 352);
FILTER_API_ASSERT(offsetof(FilterRecord, inTransparencyMask) == 354);
FILTER_API_ASSERT(offsetof(FilterRecord, inLayerMasks) == 356);
FILTER_API_ASSERT(offsetof(FilterRecord, inInvertedLayerMasks) == 358);
FILTER_API_ASSERT(offsetof(FilterRecord, inNonLayerPlanes) == 360);
FILTER_API_ASSERT(offsetof(FilterRecord, outLayerPlanes) == 362);
FILTER_API_ASSERT(offsetof(FilterRecord, outTransparencyMask) == 364);
FILTER_API_ASSERT(offsetof(FilterRecord, outLayerMasks) == 366);
FILTER_API_ASSERT(offsetof(FilterRecord, outInvertedLayerMasks) == 368);
FILTER_API_ASSERT(offsetof(FilterRecord, outNonLayerPlanes) == 370);
FILTER_API_ASSERT(offsetof(FilterRecord, absLayerPlanes) == 372);
FILTER_API_ASSERT(offsetof(FilterRecord, absTransparencyMask) == 374);
FILTER_API_ASSERT(offsetof(FilterRecord, absLayerMasks) == 376);
FILTER_API_ASSERT(offsetof(FilterRecord, absInvertedLayerMasks) == 378);
FILTER_API_ASSERT(offsetof(FilterRecord, absNonLayerPlanes) == 380);
FILTER_API_ASSERT(offsetof(FilterRecord, inPreDummyPlanes) == 382);
FILTER_API_ASSERT(offsetof(FilterRecord, inPostDummyPlanes) == 384);
FILTER_API_ASSERT(offsetof(FilterRecord, outPreDummyPlanes) == 386);
FILTER_API_ASSERT(offsetof(FilterRecord, outPostDummyPlanes) == 388);
FILTER_API_ASSERT(offsetof(FilterRecord, inColumnBytes) == 392);
FILTER_API_ASSERT(offsetof(FilterRecord, inPlaneBytes) == 396);
FILTER_API_ASSERT(offsetof(FilterRecord, outColumnBytes) == 400);
FILTER_API_ASSERT(offsetof(FilterRecord, outPlaneBytes) == 404);
FILTER_API_ASSERT(offsetof(FilterRecord, imageServicesProcs) == 408);
FILTER_API_ASSERT(offsetof(FilterRecord, propertyProcs) == 416);
FILTER_API_ASSERT(offsetof(FilterRecord, inTileHeight) == 424);
FILTER_API_ASSERT(offsetof(FilterRecord, inTileWidth) == 426);
FILTER_API_ASSERT(offsetof(FilterRecord, inTileOrigin) == 428);
FILTER_API_ASSERT(offsetof(FilterRecord, absTileHeight) == 432);
FILTER_API_ASSERT(offsetof(FilterRecord, absTileWidth) == 434);
FILTER_API_ASSERT(offsetof(FilterRecord, absTileOrigin) == 436);
FILTER_API_ASSERT(offsetof(FilterRecord, outTileHeight) == 440);
FILTER_API_ASSERT(offsetof(FilterRecord, outTileWidth) == 442);
FILTER_API_ASSERT(offsetof(FilterRecord, outTileOrigin) == 444);
FILTER_API_ASSERT(offsetof(FilterRecord, maskTileHeight) == 448);
FILTER_API_ASSERT(offsetof(FilterRecord, maskTileWidth) == 450);
FILTER_API_ASSERT(offsetof(FilterRecord, maskTileOrigin) == 452);
FILTER_API_ASSERT(offsetof(FilterRecord, reserved) == 456);
FILTER_API_ASSERT(sizeof(FilterRecord) == 560);

#ifdef __cplusplus
}
#endif

#endif
