#include "quillo/filters/FormulaEmitter.h"

#include <algorithm>
#include <cstring>

#include "quillo/filters/FormulaContext.h"

namespace {

// Register numbers as the instruction encoding has them.
constexpr int kEax = 0, kEcx = 1, kR10 = 10, kR12 = 12;
constexpr int kBaseRbx = 3;  // every context field is addressed through RBX

constexpr std::uint8_t kPushRax = 0x50;
constexpr std::uint8_t kPopRax = 0x58;
constexpr std::uint8_t kJmpRel32 = 0xE9;
constexpr std::uint8_t kTestEaxPopJz[] = {0x85, 0xC0, 0x58, 0x0F, 0x84};  // + rel32

// Condition codes of the comparison templates' SETcc; a jump on the opposite one is cc ^ 1.
std::optional<std::uint8_t> ConditionCode(FormulaTemplate op) {
  switch (op) {
    case FormulaTemplate::kEqual: return 0x4;
    case FormulaTemplate::kNotEqual: return 0x5;
    case FormulaTemplate::kLess: return 0xC;
    case FormulaTemplate::kGreaterEqual: return 0xD;
    case FormulaTemplate::kLessEqual: return 0xE;
    case FormulaTemplate::kGreater: return 0xF;
    default: return std::nullopt;
  }
}

bool IsUnary(FormulaTemplate op) {
  return op == FormulaTemplate::kNegate || op == FormulaTemplate::kBitwiseNot || op == FormulaTemplate::kLogicalNot;
}

// The registers a template's leading pops fill, in pop order, and the bytes they take.
struct LeadingPops {
  int registers[8] = {};
  std::size_t sizes[8] = {};
  int count = 0;
  std::size_t bytes = 0;
};

LeadingPops ReadLeadingPops(std::span<const std::uint8_t> code) {
  LeadingPops pops;
  std::size_t at = 0;
  while (pops.count < 8) {
    if (at < code.size() && code[at] >= 0x58 && code[at] <= 0x5F) {
      pops.registers[pops.count] = code[at] - 0x58;
      pops.sizes[pops.count++] = 1;
      at += 1;
    } else if (at + 1 < code.size() && code[at] == 0x41 && code[at + 1] >= 0x58 && code[at + 1] <= 0x5F) {
      pops.registers[pops.count] = 8 + code[at + 1] - 0x58;
      pops.sizes[pops.count++] = 2;
      at += 2;
    } else {
      break;
    }
  }
  pops.bytes = at;
  return pops;
}

FormulaTemplate QuickVariant(FormulaTemplate fn) {
  switch (fn) {
    case FormulaTemplate::kFnVal: return FormulaTemplate::kFnValQuick;
    case FormulaTemplate::kFnMap: return FormulaTemplate::kFnMapQuick;
    case FormulaTemplate::kFnMix: return FormulaTemplate::kFnMixQuick;
    case FormulaTemplate::kFnScl: return FormulaTemplate::kFnSclQuick;
    default: return fn;
  }
}

bool IsPowerOfTwo(std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

int Log2(std::uint32_t v) {
  int k = 0;
  while (v > 1) {
    v >>= 1;
    ++k;
  }
  return k;
}

}  // namespace

// ---- Code buffer ----------------------------------------------------------------------------

FormulaCodeBuffer::FormulaCodeBuffer(std::size_t reserved) : limit_(kFormulaChannelBytes - reserved) {}

void FormulaCodeBuffer::Append(std::span<const std::uint8_t> code) {
  if (code.size() > limit_ - size_) throw FormulaCodeTooLong{};
  std::memcpy(bytes_.data() + size_, code.data(), code.size());
  size_ += code.size();
}

void FormulaCodeBuffer::AppendWord(std::uint32_t word) {
  const std::uint8_t b[4] = {std::uint8_t(word), std::uint8_t(word >> 8), std::uint8_t(word >> 16),
                             std::uint8_t(word >> 24)};
  Append(b);
}

void FormulaCodeBuffer::PatchJumpToHere(std::size_t at) {
  const auto distance = static_cast<std::uint32_t>(size_ - (at + 4));
  for (int k = 0; k < 4; ++k) bytes_[at + k] = std::uint8_t(distance >> (8 * k));
}

void FormulaCodeBuffer::Finish(std::span<const std::uint8_t> code) {
  std::memcpy(bytes_.data() + size_, code.data(), code.size());
  size_ += code.size();
}

// ---- Instruction helpers --------------------------------------------------------------------

// "op reg, [rbx + offset]" with the opcode bytes given; REX.R when the register is r8..r15.
static void AppendWithContextOperand(FormulaCodeBuffer& code, std::initializer_list<std::uint8_t> opcode, int reg,
                                     std::uint32_t offset) {
  if (reg >= 8) code.Append({0x44});
  code.Append(opcode);
  if (offset <= 127) {
    code.Append({std::uint8_t(0x40 | (reg & 7) << 3 | kBaseRbx), std::uint8_t(offset)});
  } else {
    code.Append({std::uint8_t(0x80 | (reg & 7) << 3 | kBaseRbx)});
    code.AppendWord(offset);
  }
}

// "mov dst32, src32".
static void AppendMoveRegister(FormulaCodeBuffer& code, int dst, int src) {
  if (dst >= 8 || src >= 8) code.Append({std::uint8_t(0x40 | (src >= 8 ? 4 : 0) | (dst >= 8 ? 1 : 0))});
  code.Append({0x89, std::uint8_t(0xC0 | (src & 7) << 3 | (dst & 7))});
}

// "sum += rax * weight" in 64 bits, sum being one of r8..r15: a shift by lea where the weight
// is 2, 4 or 8; rax is lost.
static void AppendWeightedAdd(FormulaCodeBuffer& code, int sum, std::uint32_t weight) {
  const auto low = static_cast<std::uint8_t>(sum & 7);
  const auto addSum = {std::uint8_t(0x49), std::uint8_t(0x01), std::uint8_t(0xC0 | low)};  // add sum, rax
  const auto leaScaled = [&](std::uint8_t scale) {  // lea sum, [sum + rax*scale]
    code.Append({0x4D, 0x8D, std::uint8_t(low << 3 | 4), std::uint8_t(scale << 6 | low)});
  };
  switch (weight) {
    case 1: code.Append(addSum); break;
    case 2: leaScaled(1); break;
    case 4: leaScaled(2); break;
    case 8: leaScaled(3); break;
    default:
      code.Append({0x48, 0x69, 0xC0});  // imul rax, rax, weight (sign-extended)
      code.AppendWord(weight);
      code.Append(addSum);
  }
}

// ---- Emitter --------------------------------------------------------------------------------

FormulaLeaf FormulaEmitter::Effective(FormulaLeaf leaf) const {
  // The compact code reads byte fields as the plain machine does, a whole word at a time.
  if (mode_ == FormulaCodeMode::kCompact && leaf.kind == FormulaLeaf::Kind::kByteField) leaf.kind = FormulaLeaf::Kind::kField;
  return leaf;
}

void FormulaEmitter::Load(int reg, FormulaLeaf leaf) {
  leaf = Effective(leaf);
  switch (leaf.kind) {
    case FormulaLeaf::Kind::kConstant:
      if (reg >= 8) code_.Append({0x41});
      code_.Append({std::uint8_t(0xB8 + (reg & 7))});
      code_.AppendWord(leaf.value);
      return;
    case FormulaLeaf::Kind::kField: AppendWithContextOperand(code_, {0x8B}, reg, leaf.value); return;
    case FormulaLeaf::Kind::kByteField: AppendWithContextOperand(code_, {0x0F, 0xB6}, reg, leaf.value); return;
  }
}

void FormulaEmitter::MaterializeFlags() {
  if (!flags_) return;
  code_.Append({0x0F, std::uint8_t(0x90 + *flags_), 0xC0, 0x0F, 0xB6, 0xC0});  // setcc al; movzx eax, al
  flags_.reset();
}

void FormulaEmitter::FlushFront() {
  code_.Append({kPushRax});
  Load(kEax, leaves_[0]);
  for (std::size_t k = 1; k < leafCount_; ++k) leaves_[k - 1] = leaves_[k];
  --leafCount_;
}

void FormulaEmitter::FlushAllBut(std::size_t kept) {
  while (leafCount_ > kept) FlushFront();
}

void FormulaEmitter::Settle() {
  MaterializeFlags();
  FlushAllBut(0);
}

void FormulaEmitter::Operand(FormulaLeaf leaf) {
  MaterializeFlags();
  if (leafCount_ == leaves_.size()) FlushFront();
  leaves_[leafCount_++] = leaf;
}

void FormulaEmitter::Operator(FormulaTemplate op) {
  const std::span<const std::uint8_t> code = FormulaTemplateCode(op);
  if (IsUnary(op)) {
    if (op == FormulaTemplate::kLogicalNot && flags_) {
      *flags_ ^= 1;
      return;
    }
    if (leafCount_ > 0 && leaves_[leafCount_ - 1].IsConstant()) {
      std::uint32_t& v = leaves_[leafCount_ - 1].value;
      v = op == FormulaTemplate::kNegate ? 0u - v : op == FormulaTemplate::kBitwiseNot ? ~v : std::uint32_t(v == 0);
      return;
    }
    Settle();
    code_.Append(code);
    return;
  }
  MaterializeFlags();
  if (leafCount_ == 0) {
    if (const auto cc = ConditionCode(op)) {
      code_.Append({0x59, 0x39, 0xC1});  // pop rcx; cmp ecx, eax
      flags_ = cc;
      return;
    }
    code_.Append(code);
    return;
  }
  FlushAllBut(1);
  const FormulaLeaf right = leaves_[0];
  leafCount_ = 0;
  if (QuickOperator(op, right)) return;
  // The left operand goes where the template's pop would have put it.
  AppendMoveRegister(code_, kEcx, kEax);
  Load(kEax, right);
  code_.Append(code.subspan(1));
}

bool FormulaEmitter::QuickOperator(FormulaTemplate op, FormulaLeaf right) {
  right = Effective(right);
  const std::optional<std::uint8_t> cc = ConditionCode(op);
  if (right.kind == FormulaLeaf::Kind::kConstant) {
    const std::uint32_t v = right.value;
    std::uint8_t opcode = 0;  // the "op eax, imm32" form
    switch (op) {
      case FormulaTemplate::kAdd: opcode = 0x05; break;
      case FormulaTemplate::kSubtract: opcode = 0x2D; break;
      case FormulaTemplate::kAnd: opcode = 0x25; break;
      case FormulaTemplate::kOr: opcode = 0x0D; break;
      case FormulaTemplate::kXor: opcode = 0x35; break;
      case FormulaTemplate::kMultiply:
        code_.Append({0x69, 0xC0});
        code_.AppendWord(v);
        return true;
      case FormulaTemplate::kShiftLeft: code_.Append({0xC1, 0xE0, std::uint8_t(v & 31)}); return true;
      case FormulaTemplate::kShiftRight: code_.Append({0xC1, 0xE8, std::uint8_t(v & 31)}); return true;
      case FormulaTemplate::kDivide: DivideByConstant(std::int32_t(v), false); return true;
      case FormulaTemplate::kRemainder: DivideByConstant(std::int32_t(v), true); return true;
      default:
        if (!cc) return false;
        opcode = 0x3D;  // cmp eax, imm32
        flags_ = cc;
    }
    code_.Append({opcode});
    code_.AppendWord(v);
    return true;
  }
  std::uint8_t opcode = 0;  // the "op eax, r/m32" form
  switch (op) {
    case FormulaTemplate::kAdd: opcode = 0x03; break;
    case FormulaTemplate::kSubtract: opcode = 0x2B; break;
    case FormulaTemplate::kAnd: opcode = 0x23; break;
    case FormulaTemplate::kOr: opcode = 0x0B; break;
    case FormulaTemplate::kXor: opcode = 0x33; break;
    case FormulaTemplate::kMultiply: opcode = 0xAF; break;  // after 0F
    default:
      if (!cc) return false;
      opcode = 0x3B;
  }
  if (right.kind == FormulaLeaf::Kind::kField) {
    if (opcode == 0xAF)
      AppendWithContextOperand(code_, {0x0F, 0xAF}, kEax, right.value);
    else
      AppendWithContextOperand(code_, {opcode}, kEax, right.value);
  } else {
    // A byte field: widened into ECX first, so that the load matches the byte the set-up stored.
    AppendWithContextOperand(code_, {0x0F, 0xB6}, kEcx, right.value);
    if (opcode == 0xAF)
      code_.Append({0x0F, 0xAF, 0xC1});  // imul eax, ecx
    else
      code_.Append({std::uint8_t(opcode - 2), 0xC8});  // op eax, ecx (the r/m32, r32 form)
  }
  if (cc) flags_ = cc;
  return true;
}

// EAX / divisor (or EAX % divisor) with the language's rules: x / 0 and x % 0 are 0, x / -1
// wraps, x % -1 is 0.
void FormulaEmitter::DivideByConstant(std::int32_t divisor, bool remainder) {
  const auto magnitude = static_cast<std::uint32_t>(divisor);
  if (divisor == 0 || (remainder && (divisor == 1 || divisor == -1))) {
    code_.Append({0x31, 0xC0});  // xor eax, eax
  } else if (divisor == 1) {
  } else if (divisor == -1) {
    code_.Append({0xF7, 0xD8});  // neg eax
  } else if (divisor > 0 && IsPowerOfTwo(magnitude)) {
    // Truncation toward zero: negative dividends are raised by divisor - 1 before the shift.
    if (remainder) code_.Append({0x89, 0xC1});  // mov ecx, eax
    code_.Append({0x99});                         // cdq
    if (magnitude - 1 <= 127) {
      code_.Append({0x83, 0xE2, std::uint8_t(magnitude - 1)});  // and edx, imm8
    } else {
      code_.Append({0x81, 0xE2});
      code_.AppendWord(magnitude - 1);
    }
    code_.Append({0x01, 0xD0});  // add eax, edx
    if (remainder) {
      code_.Append({0x25});  // and eax, -divisor
      code_.AppendWord(0u - magnitude);
      code_.Append({0x29, 0xC1, 0x89, 0xC8});  // sub ecx, eax; mov eax, ecx
    } else {
      code_.Append({0xC1, 0xF8, std::uint8_t(Log2(magnitude))});  // sar eax, k
    }
  } else {
    code_.Append({0xB9});  // mov ecx, divisor
    code_.AppendWord(magnitude);
    code_.Append({0x99, 0xF7, 0xF9});  // cdq; idiv ecx
    if (remainder) code_.Append({0x89, 0xD0});  // mov eax, edx
  }
}

// ctl, get, sin, cos and tan of a constant read one context field: that field becomes the
// deferred operand.
bool FormulaEmitter::FoldIntoLeaf(FormulaTemplate fn) {
  if (leafCount_ == 0 || !leaves_[leafCount_ - 1].IsConstant()) return false;
  const std::uint32_t v = leaves_[leafCount_ - 1].value;
  std::uint32_t offset = 0;
  switch (fn) {
    case FormulaTemplate::kFnCtl: offset = formula_layout::kSliders + 4 * (v & 7); break;
    case FormulaTemplate::kFnGet: offset = formula_layout::kCells + 4 * (v & 1023); break;
    case FormulaTemplate::kFnSin: offset = formula_layout::kSine + 4 * (v & 1023); break;
    case FormulaTemplate::kFnCos: offset = formula_layout::kCosine + 4 * (v & 1023); break;
    case FormulaTemplate::kFnTan: offset = formula_layout::kTangent + 4 * (v & 1023); break;
    default: return false;
  }
  leaves_[leafCount_ - 1] = {FormulaLeaf::Kind::kField, offset};
  return true;
}

void FormulaEmitter::Function(FormulaTemplate fn, int arguments) {
  MaterializeFlags();
  if (FoldIntoLeaf(fn)) return;
  const std::span<const std::uint8_t> code = FormulaTemplateCode(mode_ == FormulaCodeMode::kQuick ? QuickVariant(fn) : fn);
  const LeadingPops pops = ReadLeadingPops(code);
  const auto n = static_cast<std::size_t>(arguments);
  const std::size_t k = std::min(leafCount_, n);
  if (static_cast<std::size_t>(pops.count) < n - 1 || k == 0) {
    Settle();
    code_.Append(code);
    return;
  }
  FlushAllBut(k);
  // Arguments n - k + 1 .. n are deferred; the template's pops would have put argument n - j
  // into pops.registers[j - 1], and the last argument is in EAX.
  std::size_t popsWritten = 0;
  if (k < n) {
    AppendMoveRegister(code_, pops.registers[k - 1], kEax);  // argument n - k, the accumulator
    for (std::size_t j = 0; j < k; ++j) popsWritten += pops.sizes[j];
  } else {
    code_.Append({kPushRax});  // the accumulator stays below the result
    popsWritten = pops.bytes;
  }
  // The pops still needed are the template's own bytes from there on.
  std::size_t popsEnd = 0;
  for (std::size_t j = 0; j + 1 < n; ++j) popsEnd += pops.sizes[j];
  popsWritten = std::min(popsWritten, popsEnd);
  code_.Append(code.subspan(popsWritten, popsEnd - popsWritten));
  for (std::size_t j = 1; j < k; ++j) Load(pops.registers[j - 1], leaves_[k - 1 - j]);
  Load(kEax, leaves_[k - 1]);
  leafCount_ = 0;
  code_.Append(code.subspan(popsEnd));
}

void FormulaEmitter::Convolution(std::uint32_t channel) {
  MaterializeFlags();
  if (mode_ == FormulaCodeMode::kQuick && leafCount_ >= 10) {
    bool constant = true;
    for (std::size_t k = leafCount_ - 10; k < leafCount_; ++k) constant = constant && leaves_[k].IsConstant();
    if (constant) {
      FlushAllBut(10);
      std::uint32_t weights[9];
      for (int k = 0; k < 9; ++k) weights[k] = leaves_[k].value;
      const auto divisor = static_cast<std::int32_t>(leaves_[9].value);
      leafCount_ = 0;
      if (neighbours_ == FormulaNeighbourReads::kRowPointers)
        Unrolled3x3FromRows(weights, divisor, channel);
      else
        Unrolled3x3(weights, divisor, channel);
      return;
    }
  }
  Operand(FormulaLeaf::Constant(channel));
  Settle();
  code_.Append(FormulaTemplateCode(FormulaTemplate::kFnCnv));
}

// cnv with constant weights and divisor: the nine reads written out, zero weights skipped
// (a read whose value is multiplied by 0 adds nothing), the divisor's division specialised.
// The channel is not shifted down in each read: with s the channel's bit position (mod 32)
// and a = (pixel ^ 0xFF000000) & (255 << s), the channel value is a >> s, so the 64-bit sum
// of weight * a is 2^s times the sum of weight * value (mod 2^64), and shifting it down by s
// leaves that sum exact in its low 64 - s >= 33 bits: the 32-bit sum the template forms.
void FormulaEmitter::Unrolled3x3(const std::uint32_t (&weights)[9], std::int32_t divisor, std::uint32_t channel) {
  const std::uint32_t shiftField = formula_layout::kChannelShift + (channel & 3);
  // R12 sums, R13 holds the channel's mask 255 << s, R14 and R15 the column and row.
  code_.Append({kPushRax,                             // the accumulator stays below the result
                0x55, 0x48, 0x89, 0xE5,               // push rbp; mov rbp, rsp
                0x41, 0x54, 0x41, 0x55, 0x41, 0x56,   // push r12; push r13; push r14
                0x41, 0x57, 0x48, 0x83, 0xE4, 0xF0,   // push r15; and rsp, -16
                0x45, 0x31, 0xE4});                   // xor r12d, r12d
  AppendWithContextOperand(code_, {0x0F, 0xB6}, kEcx, shiftField);  // movzx ecx, channel's bit position
  code_.Append({0x41, 0xBD, 0xFF, 0x00, 0x00, 0x00,  // mov r13d, 255
                0x41, 0xD3, 0xE5});                  // shl r13d, cl
  AppendWithContextOperand(code_, {0x8B}, 14, formula_layout::kX);  // mov r14d, x
  AppendWithContextOperand(code_, {0x8B}, 15, formula_layout::kY);  // mov r15d, y
  for (int k = 0; k < 9; ++k) {
    if (weights[k] == 0) continue;
    const auto rowStep = static_cast<std::uint8_t>(k / 3 - 1), columnStep = static_cast<std::uint8_t>(k % 3 - 1);
    code_.Append({0x41, 0x8D, 0x7F, rowStep,       // lea edi, [r15 + row step]
                  0x41, 0x8D, 0x76, columnStep,    // lea esi, [r14 + column step]
                  0xFF, 0x53, std::uint8_t(formula_layout::kFetch),  // call [rbx + fetch]
                  0x35, 0x00, 0x00, 0x00, 0xFF,    // xor eax, 0xFF000000
                  0x44, 0x21, 0xE8});              // and eax, r13d
    AppendWeightedAdd(code_, kR12, weights[k]);
  }
  AppendWithContextOperand(code_, {0x0F, 0xB6}, kEcx, shiftField);  // movzx ecx, channel's bit position
  code_.Append({0x83, 0xE1, 0x1F,                          // and ecx, 31 (as the 32-bit shift takes it)
                0x49, 0xD3, 0xEC,                          // shr r12, cl
                0x44, 0x89, 0xE0,                          // mov eax, r12d
                0x48, 0x8D, 0x65, 0xE0,                    // lea rsp, [rbp - 32]
                0x41, 0x5F, 0x41, 0x5E, 0x41, 0x5D, 0x41,  // pop r15; pop r14; pop r13;
                0x5C, 0x5D});                              // pop r12; pop rbp
  if (divisor != 0) DivideByConstant(divisor, false);  // a divisor of 0 leaves the sum as it is
}

// The same sum with the nine pixels read from the source rows around R12 (the row above at
// R12 - RBP, the one below at R12 + RBP): no call, and so nothing to save but the accumulator.
// RDI and R9 hold the rows above and below, R8 the channel's mask, R10 the sum.
void FormulaEmitter::Unrolled3x3FromRows(const std::uint32_t (&weights)[9], std::int32_t divisor,
                                         std::uint32_t channel) {
  const std::uint32_t shiftField = formula_layout::kChannelShift + (channel & 3);
  code_.Append({kPushRax});  // the accumulator stays below the result
  AppendWithContextOperand(code_, {0x0F, 0xB6}, kEcx, shiftField);  // movzx ecx, channel's bit position
  code_.Append({0x83, 0xE1, 0x1F,                    // and ecx, 31 (as the 32-bit shift takes it)
                0x41, 0xB8, 0xFF, 0x00, 0x00, 0x00,  // mov r8d, 255
                0x41, 0xD3, 0xE0,                    // shl r8d, cl
                0x4C, 0x89, 0xE7,                    // mov rdi, r12
                0x48, 0x29, 0xEF,                    // sub rdi, rbp
                0x4D, 0x8D, 0x0C, 0x2C,              // lea r9, [r12 + rbp]
                0x45, 0x31, 0xD2});                  // xor r10d, r10d
  for (int k = 0; k < 9; ++k) {
    if (weights[k] == 0) continue;
    const auto column = static_cast<std::uint8_t>((k % 3 - 1) * 4);
    switch (k / 3) {
      case 0: code_.Append({0x8B, 0x47, column}); break;              // mov eax, [rdi + column]
      case 1: code_.Append({0x41, 0x8B, 0x44, 0x24, column}); break;  // mov eax, [r12 + column]
      default: code_.Append({0x41, 0x8B, 0x41, column}); break;       // mov eax, [r9 + column]
    }
    code_.Append({0x35, 0x00, 0x00, 0x00, 0xFF,  // xor eax, 0xFF000000
                  0x44, 0x21, 0xC0});            // and eax, r8d
    AppendWeightedAdd(code_, kR10, weights[k]);
  }
  code_.Append({0x49, 0xD3, 0xEA,    // shr r10, cl
                0x44, 0x89, 0xD0});  // mov eax, r10d
  if (divisor != 0) DivideByConstant(divisor, false);  // a divisor of 0 leaves the sum as it is
}

void FormulaEmitter::DropValue() {
  if (leafCount_ > 0) {
    --leafCount_;  // never loaded, so nothing to drop
    return;
  }
  flags_.reset();
  code_.Append({kPopRax});
}

std::optional<std::size_t> FormulaEmitter::JumpIfFalse() {
  if (flags_) {
    code_.Append({kPopRax, 0x0F, std::uint8_t(0x80 + (*flags_ ^ 1))});
    flags_.reset();
  } else if (leafCount_ > 0) {
    FlushAllBut(1);
    const FormulaLeaf condition = Effective(leaves_[0]);
    leafCount_ = 0;
    switch (condition.kind) {
      case FormulaLeaf::Kind::kConstant:
        if (condition.value != 0) return std::nullopt;  // the middle part always runs
        code_.Append({kJmpRel32});
        break;
      case FormulaLeaf::Kind::kField:
        AppendWithContextOperand(code_, {0x83}, 7, condition.value);  // cmp dword [rbx + field], 0
        code_.Append({0x00, 0x0F, 0x84});
        break;
      case FormulaLeaf::Kind::kByteField:
        AppendWithContextOperand(code_, {0x80}, 7, condition.value);  // cmp byte [rbx + field], 0
        code_.Append({0x00, 0x0F, 0x84});
        break;
    }
  } else {
    code_.Append(kTestEaxPopJz);
  }
  const std::size_t at = code_.Size();
  code_.AppendWord(0);
  return at;
}

void FormulaEmitter::Select(FormulaLeaf whenTrue, FormulaLeaf whenFalse) {
  std::uint8_t cc = 0x5;  // not zero
  if (flags_) {
    cc = *flags_;  // the comparison has already popped its left operand
    flags_.reset();
  } else if (leafCount_ > 0) {
    FlushAllBut(1);
    const FormulaLeaf condition = Effective(leaves_[0]);
    leafCount_ = 0;
    if (condition.IsConstant()) {
      Operand(condition.value != 0 ? whenTrue : whenFalse);
      return;
    }
    // cmp dword or byte [rbx + field], 0; then the accumulator below goes where the pop of
    // the condition would have left it
    AppendWithContextOperand(code_, {std::uint8_t(condition.kind == FormulaLeaf::Kind::kField ? 0x83 : 0x80)}, 7,
                             condition.value);
    code_.Append({0x00, kPushRax});
  } else {
    code_.Append({0x85, 0xC0});  // test eax, eax; the accumulator below stays on the stack
  }
  Load(kEax, whenFalse);  // loads leave the flags alone
  whenTrue = Effective(whenTrue);
  if (whenTrue.kind == FormulaLeaf::Kind::kField) {
    AppendWithContextOperand(code_, {0x0F, std::uint8_t(0x40 + cc)}, kEax, whenTrue.value);  // cmovcc eax, [field]
  } else {
    Load(kEcx, whenTrue);
    code_.Append({0x0F, std::uint8_t(0x40 + cc), 0xC1});  // cmovcc eax, ecx
  }
}

std::size_t FormulaEmitter::JumpOver() {
  Settle();
  code_.Append({kJmpRel32});
  const std::size_t at = code_.Size();
  code_.AppendWord(0);
  return at;
}

void FormulaEmitter::LandJump(std::optional<std::size_t> at) {
  Settle();
  if (at) code_.PatchJumpToHere(*at);
}
