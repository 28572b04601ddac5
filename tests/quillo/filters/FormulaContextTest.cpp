// The pixel context's binary layout and constant tables.

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <memory>
#include <numbers>

#include "quillo/filters/FormulaContext.h"

namespace {

constexpr std::int32_t kTangentGolden[1024] = {
#include "TangentTableGolden.inc"
};

TEST(FormulaContext, LayoutKeepsItsOffsetsWithANativeFetchAddress) {
  EXPECT_EQ(offsetof(FormulaContext, r), 0u);
  EXPECT_EQ(offsetof(FormulaContext, a), 12u);
  EXPECT_EQ(offsetof(FormulaContext, x), 16u);
  EXPECT_EQ(offsetof(FormulaContext, height), 28u);
  EXPECT_EQ(offsetof(FormulaContext, v), 40u);
  EXPECT_EQ(offsetof(FormulaContext, mostDistance), 52u);
  EXPECT_EQ(offsetof(FormulaContext, seed), 56u);
  EXPECT_EQ(offsetof(FormulaContext, channelShift), 60u);
  EXPECT_EQ(offsetof(FormulaContext, angleScale), 64u);
  EXPECT_EQ(offsetof(FormulaContext, fetch), 68u);
  EXPECT_EQ(sizeof(FormulaPixelFetch), 8u);
  // From here on everything sits 4 bytes further than in the 32-bit record.
  EXPECT_EQ(offsetof(FormulaContext, scratch), 76u);
  EXPECT_EQ(offsetof(FormulaContext, sliders), 96u);
  EXPECT_EQ(offsetof(FormulaContext, cells), 128u);
  EXPECT_EQ(offsetof(FormulaContext, sine), 4224u);
  EXPECT_EQ(offsetof(FormulaContext, tangent), 9344u);
  EXPECT_EQ(offsetof(FormulaContext, weights), 13440u);
  EXPECT_EQ(sizeof(FormulaContext), 18048u);
}

TEST(FormulaContext, ResetFillsTheConstantPart) {
  auto context = std::make_unique<FormulaContext>();
  context->Reset();
  EXPECT_EQ(context->channelShift[0], 16);
  EXPECT_EQ(context->channelShift[1], 8);
  EXPECT_EQ(context->channelShift[2], 0);
  EXPECT_EQ(context->channelShift[3], 24);
  EXPECT_FLOAT_EQ(context->angleScale, 162.97466f);
  EXPECT_EQ(context->angleScale, static_cast<float>(512 / std::numbers::pi));
  EXPECT_EQ(context->Cosine(), context->sine + 256);
  EXPECT_EQ(context->weights[kWeightIntensityGreen][255], 150 * 255);
  EXPECT_EQ(context->weights[kWeightVBlue][7], 13 * 7);
}

TEST(FormulaContext, StartPreparesARun) {
  auto context = std::make_unique<FormulaContext>();
  context->Reset();
  context->cells[5] = 9;
  context->seed = 77;
  const std::int32_t sliders[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  context->Start(300, 400, sliders, nullptr);
  EXPECT_EQ(context->width, 300);
  EXPECT_EQ(context->height, 400);
  EXPECT_EQ(context->mostDistance, 250);
  EXPECT_EQ(context->cells[5], 0);
  EXPECT_EQ(context->seed, 0u);
  EXPECT_EQ(context->sliders[7], 8);
  context->Start(3, 3, sliders, nullptr);
  EXPECT_EQ(context->mostDistance, 2);  // sqrt(18) / 2 = 2.12, truncated
}

TEST(FormulaContext, SineTableIsTruncated512Sine) {
  const FormulaTables& tables = TheFormulaTables();
  for (int k = 0; k < kFormulaSineEntries; ++k)
    ASSERT_EQ(tables.sine[k], static_cast<std::int32_t>(std::trunc(512 * std::sin(2 * std::numbers::pi * k / 1024))))
        << k;
  EXPECT_EQ(tables.sine[0], 0);
  EXPECT_EQ(tables.sine[256], 512);
  EXPECT_EQ(tables.sine[512], 0);
  EXPECT_EQ(tables.sine[768], -512);
  EXPECT_EQ(tables.sine[1024], 0);
  EXPECT_EQ(tables.sine[256 + 1023], tables.sine[255]);  // cos(1023) = cos(-1) = sin(255)
}

TEST(FormulaContext, TangentTableMatchesItsGoldenCopy) {
  const FormulaTables& tables = TheFormulaTables();
  for (int k = 0; k < kFormulaTangentEntries; ++k) ASSERT_EQ(tables.tangent[k], kTangentGolden[k]) << k;
  // The entries the table is known by.
  const struct {
    int index;
    std::int32_t value;
  } known[] = {{0, -6},     {1, 6},       {2, 12},     {128, 1024},   {255, 167761}, {256, -167772}, {384, -1017},
               {511, -6},   {512, 6},     {640, 1030}, {767, 167772}, {768, -167772}, {1023, -6}};
  for (const auto& entry : known) EXPECT_EQ(tables.tangent[entry.index], entry.value) << entry.index;
  // Elsewhere it stays close to 1024 tan, rising 6 or 7 a step near 0.
  for (int k = 1; k < 20; ++k) {
    const int step = tables.tangent[k + 1] - tables.tangent[k];
    EXPECT_TRUE(step == 6 || step == 7) << k;
  }
  for (int k = 0; k < 1024; ++k) {
    if (k % 256 > 240 || k % 256 < 16) continue;
    const double exact = 1024 * std::tan(2 * std::numbers::pi * k / 1024);
    EXPECT_NEAR(tables.tangent[k], exact, std::abs(exact) * 0.002 + 8) << k;
  }
}

}  // namespace
