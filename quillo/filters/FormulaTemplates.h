#pragma once
// The machine-code templates the formula compiler copies into the routines it builds.
//
// Channel routines keep the value being computed in EAX and every pending value in an 8-byte
// slot of the machine stack; RBX addresses the FormulaContext. A binary operator finds its
// left operand on the stack and its right one in EAX; a function of n arguments finds the
// first n - 1 on the stack (the first deepest) and the last in EAX. Each template leaves its
// result in EAX and removes the slots it consumed; it takes its arguments off the stack with
// pops at its very start (the compiler may put them into those registers itself instead, so
// nothing else may come first). Set-up pieces get the pixel in EDI and the
// context in RSI. Templates jump only inside themselves and reach nothing but the stack, the
// context and the fetch routine whose address the context holds, so they run from any address
// (the quick angle piece also reads constants of its own, addressed relative to itself).
//
// The Quick function variants take the 32-bit divide where the 64-bit quotient fits; the
// plain ones are kept for compact code. The Plain set-up pieces find the angle with fpatan
// alone, for when the quick pieces together would not fit the set-up routine.

#include <cstdint>
#include <span>

#define FORMULA_TEMPLATE_LIST(X)                                                              \
  X(Or) X(LogicalOr) X(Xor) X(And) X(LogicalAnd) X(Equal) X(NotEqual) X(Less) X(LessEqual)    \
  X(Greater) X(GreaterEqual) X(ShiftLeft) X(ShiftRight) X(Add) X(Subtract) X(Multiply)        \
  X(Divide) X(Remainder) X(Negate) X(BitwiseNot) X(LogicalNot)                                \
  X(FnAbs) X(FnAdd) X(FnSub) X(FnDif) X(FnMax) X(FnMin) X(FnCtl) X(FnVal) X(FnMap) X(FnMix)   \
  X(FnScl) X(FnRnd) X(FnRst) X(FnGet) X(FnPut) X(FnSrc) X(FnCnv) X(FnSqr) X(FnC2d) X(FnC2m)   \
  X(FnSin) X(FnCos) X(FnTan) X(FnR2x) X(FnR2y) X(FnRad)                                       \
  X(FnValQuick) X(FnMapQuick) X(FnMixQuick) X(FnSclQuick)                                     \
  X(SetupColour) X(SetupIntensity) X(SetupU) X(SetupV) X(SetupAngle) X(SetupDistance)         \
  X(SetupAngleDistance) X(SetupAnglePlain) X(SetupAngleDistancePlain)

enum class FormulaTemplate : std::uint8_t {
#define FORMULA_TEMPLATE_ENUM(name) k##name,
  FORMULA_TEMPLATE_LIST(FORMULA_TEMPLATE_ENUM)
#undef FORMULA_TEMPLATE_ENUM
};

std::span<const std::uint8_t> FormulaTemplateCode(FormulaTemplate which);
