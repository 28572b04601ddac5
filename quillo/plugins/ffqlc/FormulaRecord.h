/* The formula filters' pixel context as the compiled routines address it, for the template
 * component, which is C and links nothing of the program. The program's own declaration is
 * quillo/filters/FormulaContext.h; a test holds the two layouts equal field by field. */
#ifndef QUILLO_PLUGINS_FFQLC_FORMULA_RECORD_H
#define QUILLO_PLUGINS_FFQLC_FORMULA_RECORD_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define FFQLC_SLIDERS 8
#define FFQLC_CELLS 1024
#define FFQLC_SINE_ENTRIES 1280
#define FFQLC_TANGENT_ENTRIES 1024
#define FFQLC_WEIGHT_TABLES 9

/* Row in the first argument, column in the second: the host's clamped source read. */
typedef uint32_t (*FormulaRecordFetch)(int32_t row, int32_t column);

#pragma pack(push, 4)
typedef struct FormulaRecord {
  int32_t r, g, b, a;
  int32_t x, y;
  int32_t width, height;
  int32_t i, u, v;
  int32_t d, m, mostDistance;
  uint32_t seed;
  uint8_t channelShift[4];
  float angleScale;
  FormulaRecordFetch fetch;
  int32_t scratch[5];
  int32_t sliders[FFQLC_SLIDERS];
  int32_t cells[FFQLC_CELLS];
  int32_t sine[FFQLC_SINE_ENTRIES];
  int32_t tangent[FFQLC_TANGENT_ENTRIES];
  uint16_t weights[FFQLC_WEIGHT_TABLES][256];
} FormulaRecord;
#pragma pack(pop)

#ifdef __cplusplus
}
#define FFQLC_STATIC_ASSERT static_assert
#else
#define FFQLC_STATIC_ASSERT _Static_assert
#endif

FFQLC_STATIC_ASSERT(offsetof(FormulaRecord, fetch) == 68, "fetch");
FFQLC_STATIC_ASSERT(offsetof(FormulaRecord, sliders) == 96, "sliders");
FFQLC_STATIC_ASSERT(sizeof(FormulaRecord) == 18048, "FormulaRecord");

#endif /* QUILLO_PLUGINS_FFQLC_FORMULA_RECORD_H */
