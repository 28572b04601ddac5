#include "quillo/filters/FormulaCompiler.h"

#include <array>
#include <cstring>
#include <initializer_list>
#include <stdexcept>

#include "quillo/filters/FormulaScanner.h"
#include "quillo/filters/FormulaTemplates.h"

namespace {

// Machine code the compiler writes itself rather than copying a template.
constexpr std::uint8_t kPrologue[] = {0x53, 0x48, 0x89, 0xFB};  // push rbx; mov rbx, rdi
constexpr std::uint8_t kEpilogue[] = {0x5B, 0x5B, 0xC3};        // pop rbx (the spare slot); pop rbx; ret
constexpr std::uint8_t kPushRax = 0x50;
constexpr std::uint8_t kPopRax = 0x58;
constexpr std::uint8_t kMovEaxImm = 0xB8;                       // + imm32
constexpr std::uint8_t kMovEaxRbxDisp8[] = {0x8B, 0x43};        // + disp8
constexpr std::uint8_t kTestEaxPopJz[] = {0x85, 0xC0, 0x58, 0x0F, 0x84};  // + rel32
constexpr std::uint8_t kJmpRel32 = 0xE9;                        // + rel32
constexpr std::uint8_t kReturn = 0xC3;

enum class NameKind : std::uint8_t { kField, kConstant, kChannelLetter, kChannelNumber, kFunction };

struct FormulaName {
  const char* name;
  NameKind kind;
  int arguments;     // functions only
  int value;         // field offset or constant
  std::uint32_t usage;
  FormulaTemplate code;  // functions only
};

constexpr FormulaName kNames[] = {
    {"r", NameKind::kField, 0, formula_layout::kR, kFormulaUsesColour, {}},
    {"g", NameKind::kField, 0, formula_layout::kG, kFormulaUsesColour, {}},
    {"b", NameKind::kField, 0, formula_layout::kB, kFormulaUsesColour, {}},
    {"a", NameKind::kField, 0, formula_layout::kA, kFormulaUsesColour, {}},
    {"c", NameKind::kChannelLetter, 0, 0, kFormulaUsesColour, {}},
    {"x", NameKind::kField, 0, formula_layout::kX, 0, {}},
    {"y", NameKind::kField, 0, formula_layout::kY, 0, {}},
    {"X", NameKind::kField, 0, formula_layout::kWidth, 0, {}},
    {"Y", NameKind::kField, 0, formula_layout::kHeight, 0, {}},
    {"i", NameKind::kField, 0, formula_layout::kI, kFormulaUsesIntensity, {}},
    {"u", NameKind::kField, 0, formula_layout::kU, kFormulaUsesU, {}},
    {"v", NameKind::kField, 0, formula_layout::kV, kFormulaUsesV, {}},
    {"z", NameKind::kChannelNumber, 0, 0, 0, {}},
    {"Z", NameKind::kConstant, 0, 3, 0, {}},
    {"d", NameKind::kField, 0, formula_layout::kD, kFormulaUsesAngle, {}},
    {"dmin", NameKind::kConstant, 0, 0, 0, {}},
    {"D", NameKind::kConstant, 0, 1024, 0, {}},
    {"m", NameKind::kField, 0, formula_layout::kM, kFormulaUsesDistance, {}},
    {"mmin", NameKind::kConstant, 0, 0, 0, {}},
    {"M", NameKind::kField, 0, formula_layout::kMostDistance, 0, {}},
    {"V", NameKind::kConstant, 0, 255, 0, {}},
    {"abs", NameKind::kFunction, 1, 0, 0, FormulaTemplate::kFnAbs},
    {"add", NameKind::kFunction, 3, 0, 0, FormulaTemplate::kFnAdd},
    {"cnv", NameKind::kFunction, 10, 0, 0, FormulaTemplate::kFnCnv},
    {"ctl", NameKind::kFunction, 1, 0, 0, FormulaTemplate::kFnCtl},
    {"dif", NameKind::kFunction, 2, 0, 0, FormulaTemplate::kFnDif},
    {"put", NameKind::kFunction, 2, 0, 0, FormulaTemplate::kFnPut},
    {"get", NameKind::kFunction, 1, 0, 0, FormulaTemplate::kFnGet},
    {"map", NameKind::kFunction, 2, 0, 0, FormulaTemplate::kFnMap},
    {"max", NameKind::kFunction, 2, 0, 0, FormulaTemplate::kFnMax},
    {"min", NameKind::kFunction, 2, 0, 0, FormulaTemplate::kFnMin},
    {"sin", NameKind::kFunction, 1, 0, 0, FormulaTemplate::kFnSin},
    {"cos", NameKind::kFunction, 1, 0, 0, FormulaTemplate::kFnCos},
    {"tan", NameKind::kFunction, 1, 0, 0, FormulaTemplate::kFnTan},
    {"rad", NameKind::kFunction, 3, 0, 0, FormulaTemplate::kFnRad},
    {"mix", NameKind::kFunction, 4, 0, 0, FormulaTemplate::kFnMix},
    {"rnd", NameKind::kFunction, 2, 0, 0, FormulaTemplate::kFnRnd},
    {"rst", NameKind::kFunction, 1, 0, 0, FormulaTemplate::kFnRst},
    {"scl", NameKind::kFunction, 5, 0, 0, FormulaTemplate::kFnScl},
    {"sqr", NameKind::kFunction, 1, 0, 0, FormulaTemplate::kFnSqr},
    {"src", NameKind::kFunction, 3, 0, 0, FormulaTemplate::kFnSrc},
    {"sub", NameKind::kFunction, 3, 0, 0, FormulaTemplate::kFnSub},
    {"val", NameKind::kFunction, 3, 0, 0, FormulaTemplate::kFnVal},
    {"c2d", NameKind::kFunction, 2, 0, 0, FormulaTemplate::kFnC2d},
    {"c2m", NameKind::kFunction, 2, 0, 0, FormulaTemplate::kFnC2m},
    {"r2x", NameKind::kFunction, 2, 0, 0, FormulaTemplate::kFnR2x},
    {"r2y", NameKind::kFunction, 2, 0, 0, FormulaTemplate::kFnR2y},
};

const FormulaName* FindName(const char* name) {
  for (const FormulaName& entry : kNames)
    if (std::strcmp(entry.name, name) == 0) return &entry;
  return nullptr;
}

constexpr int kChannelFields[kFormulaChannels] = {formula_layout::kR, formula_layout::kG, formula_layout::kB,
                                                  formula_layout::kA};

FormulaTemplate OperatorTemplate(FormulaOperator op) {
  switch (op) {
    case FormulaOperator::kOr: return FormulaTemplate::kOr;
    case FormulaOperator::kLogicalOr: return FormulaTemplate::kLogicalOr;
    case FormulaOperator::kXor: return FormulaTemplate::kXor;
    case FormulaOperator::kAnd: return FormulaTemplate::kAnd;
    case FormulaOperator::kLogicalAnd: return FormulaTemplate::kLogicalAnd;
    case FormulaOperator::kEqual: return FormulaTemplate::kEqual;
    case FormulaOperator::kNotEqual: return FormulaTemplate::kNotEqual;
    case FormulaOperator::kLess: return FormulaTemplate::kLess;
    case FormulaOperator::kShiftLeft: return FormulaTemplate::kShiftLeft;
    case FormulaOperator::kLessEqual: return FormulaTemplate::kLessEqual;
    case FormulaOperator::kGreater: return FormulaTemplate::kGreater;
    case FormulaOperator::kShiftRight: return FormulaTemplate::kShiftRight;
    case FormulaOperator::kGreaterEqual: return FormulaTemplate::kGreaterEqual;
    case FormulaOperator::kAdd: return FormulaTemplate::kAdd;
    case FormulaOperator::kSubtract: return FormulaTemplate::kSubtract;
    case FormulaOperator::kMultiply: return FormulaTemplate::kMultiply;
    case FormulaOperator::kDivide: return FormulaTemplate::kDivide;
    case FormulaOperator::kRemainder: return FormulaTemplate::kRemainder;
    case FormulaOperator::kLogicalNot: return FormulaTemplate::kLogicalNot;
    case FormulaOperator::kBitwiseNot: return FormulaTemplate::kBitwiseNot;
    case FormulaOperator::kNegate: return FormulaTemplate::kNegate;
  }
  return FormulaTemplate::kNegate;
}

struct CompileFailure {
  FormulaError error;
};

// A routine under construction: a fixed buffer whose last bytes are kept for the epilogue.
class CodeBuffer {
 public:
  explicit CodeBuffer(std::size_t reserved) : limit_(kFormulaChannelBytes - reserved) {}

  void Append(std::span<const std::uint8_t> code) {
    if (code.size() > limit_ - size_) throw CompileFailure{FormulaError::kCodeTooLong};
    std::memcpy(bytes_.data() + size_, code.data(), code.size());
    size_ += code.size();
  }
  void Append(std::initializer_list<std::uint8_t> code) { Append(std::span(code.begin(), code.size())); }
  void AppendWord(std::uint32_t word) {
    const std::uint8_t b[4] = {std::uint8_t(word), std::uint8_t(word >> 8), std::uint8_t(word >> 16),
                               std::uint8_t(word >> 24)};
    Append(b);
  }
  // Sets the 32-bit jump displacement at `at` so that the jump reaches the current end.
  void PatchJumpToHere(std::size_t at) {
    const auto distance = static_cast<std::uint32_t>(size_ - (at + 4));
    for (int k = 0; k < 4; ++k) bytes_[at + k] = std::uint8_t(distance >> (8 * k));
  }
  // The epilogue goes into the reserved bytes.
  void Finish(std::span<const std::uint8_t> code) {
    std::memcpy(bytes_.data() + size_, code.data(), code.size());
    size_ += code.size();
  }
  void Clear() { size_ = 0; }
  std::size_t Size() const { return size_; }
  std::span<const std::uint8_t> Bytes() const { return {bytes_.data(), size_}; }

 private:
  std::array<std::uint8_t, kFormulaChannelBytes> bytes_{};
  std::size_t size_ = 0;
  std::size_t limit_;
};

// Compiles one channel's formula. The operator stack holds the operators waiting for their
// right operand; each parenthesis and function argument sets a floor below which its
// operators do not reach. Pending values live on the machine stack of the routine.
class ChannelCompiler {
 public:
  ChannelCompiler(const char* source, int channel, CodeBuffer& code)
      : scanner_(source), channel_(channel), code_(code) {}

  // Emits the whole body; throws CompileFailure.
  void CompileBody() {
    Advance();
    ParseSequence();
    if (token_.kind != FormulaTokenKind::kEnd) Fail();
  }

  std::uint32_t Usage() const { return usage_; }
  const FormulaScanner& Scanner() const { return scanner_; }

 private:
  [[noreturn]] static void Fail(FormulaError error = FormulaError::kSyntax) { throw CompileFailure{error}; }
  void Advance() { token_ = scanner_.Next(); }
  void Expect(char punctuation) {
    if (!token_.Is(punctuation)) Fail();
    Advance();
  }

  void ParseSequence() {
    for (;;) {
      ParseConditional();
      if (!token_.Is(',')) return;
      code_.Append({kPopRax});  // the left value is dropped; the slot below comes back
      Advance();
    }
  }

  void ParseConditional() {
    ParseBinary();
    if (!token_.Is('?')) return;
    if (conditionals_ == kFormulaMostConditionals) Fail(FormulaError::kTooManyConditionals);
    ++conditionals_;
    code_.Append(kTestEaxPopJz);
    const std::size_t skipMiddle = code_.Size();
    code_.AppendWord(0);
    Advance();
    ParseSequence();
    if (!token_.Is(':')) Fail();
    code_.Append({kJmpRel32});
    const std::size_t skipLast = code_.Size();
    code_.AppendWord(0);
    code_.PatchJumpToHere(skipMiddle);
    Advance();
    ParseConditional();
    code_.PatchJumpToHere(skipLast);
    --conditionals_;
  }

  void ParseBinary() {
    const int floor = operatorCount_;
    for (;;) {
      ParseUnaryOperators();
      ParseOperand();
      if (token_.kind != FormulaTokenKind::kOperator) break;
      EmitWaitingOperators(floor, FormulaOperatorLevel(token_.op));
      PushOperator(token_.op);
      Advance();
    }
    EmitWaitingOperators(floor, 0);
  }

  void ParseUnaryOperators() {
    for (;;) {
      if (token_.IsOperator(FormulaOperator::kSubtract)) {
        PushOperator(FormulaOperator::kNegate);
      } else if (token_.kind == FormulaTokenKind::kLogicalNot) {
        PushOperator(FormulaOperator::kLogicalNot);
      } else if (token_.Is('~')) {
        PushOperator(FormulaOperator::kBitwiseNot);
      } else if (!token_.IsOperator(FormulaOperator::kAdd)) {
        return;
      }
      Advance();
    }
  }

  void ParseOperand() {
    switch (token_.kind) {
      case FormulaTokenKind::kNumber:
        EmitNumber(token_.number);
        Advance();
        return;
      case FormulaTokenKind::kName:
        ParseName();
        return;
      case FormulaTokenKind::kPunctuation:
        if (token_.punctuation != '(') Fail();
        Advance();
        ParseSequence();
        Expect(')');
        return;
      default:
        Fail();
    }
  }

  void ParseName() {
    const FormulaName* name = FindName(token_.name);
    if (name == nullptr) Fail();
    usage_ |= name->usage;
    switch (name->kind) {
      case NameKind::kField: EmitField(name->value); break;
      case NameKind::kChannelLetter: EmitField(kChannelFields[channel_]); break;
      case NameKind::kConstant: EmitNumber(static_cast<std::uint32_t>(name->value)); break;
      case NameKind::kChannelNumber: EmitNumber(static_cast<std::uint32_t>(channel_)); break;
      case NameKind::kFunction:
        ParseArguments(name->arguments);
        if (name->code == FormulaTemplate::kFnCnv) EmitNumber(static_cast<std::uint32_t>(channel_));
        code_.Append(FormulaTemplateCode(name->code));
        break;
    }
    Advance();
  }

  // Reads "(" and the arguments; leaves the closing ")" as the current token.
  void ParseArguments(int count) {
    Advance();
    if (!token_.Is('(')) Fail();
    for (int k = 0; k < count; ++k) {
      Advance();
      ParseConditional();
      if (!token_.Is(k + 1 < count ? ',' : ')')) Fail();
    }
  }

  void PushOperator(FormulaOperator op) {
    if (operatorCount_ == kFormulaMostPendingOperators) Fail(FormulaError::kTooManyOperators);
    operators_[operatorCount_++] = op;
  }

  // Emits the waiting operators above `floor` that bind at least as tightly as `level`.
  void EmitWaitingOperators(int floor, int level) {
    while (operatorCount_ > floor && FormulaOperatorLevel(operators_[operatorCount_ - 1]) >= level)
      code_.Append(FormulaTemplateCode(OperatorTemplate(operators_[--operatorCount_])));
  }

  void EmitNumber(std::uint32_t value) {
    code_.Append({kPushRax, kMovEaxImm, std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
                  std::uint8_t(value >> 24)});
  }

  void EmitField(int offset) {
    code_.Append({kPushRax, kMovEaxRbxDisp8[0], kMovEaxRbxDisp8[1], std::uint8_t(offset)});
  }

  FormulaScanner scanner_;
  FormulaToken token_;
  int channel_;
  CodeBuffer& code_;
  std::uint32_t usage_ = 0;
  FormulaOperator operators_[kFormulaMostPendingOperators] = {};
  int operatorCount_ = 0;
  int conditionals_ = 0;
};

struct ChannelResult {
  CodeBuffer code{sizeof kEpilogue};
  std::uint32_t usage = 0;
  FormulaError error = FormulaError::kNone;
};

void CompileChannel(const char* text, int channel, ChannelResult& result, std::int32_t& errorPosition,
                    std::int32_t& errorLength) {
  char source[kFormulaSourceChars + 1] = {};
  if (text != nullptr) std::strncpy(source, text, kFormulaSourceChars);
  result.code.Clear();
  result.code.Append(kPrologue);
  ChannelCompiler compiler(source, channel, result.code);
  try {
    compiler.CompileBody();
    result.usage = compiler.Usage();
  } catch (const CompileFailure& failure) {
    result.error = failure.error;
    errorPosition = compiler.Scanner().Position();
    errorLength = compiler.Scanner().Position() - compiler.Scanner().TokenStart();
    result.code.Clear();
    result.code.Append(kPrologue);
    result.code.Append({kPushRax, kMovEaxImm, 0, 0, 0, 0});
  }
  result.code.Finish(kEpilogue);
}

struct SetupPiece {
  std::uint32_t bits;
  std::uint32_t without;
  FormulaTemplate code;
};

constexpr SetupPiece kSetupPieces[] = {
    {kFormulaUsesColour, 0, FormulaTemplate::kSetupColour},
    {kFormulaUsesIntensity, 0, FormulaTemplate::kSetupIntensity},
    {kFormulaUsesU, 0, FormulaTemplate::kSetupU},
    {kFormulaUsesV, 0, FormulaTemplate::kSetupV},
    {kFormulaUsesAngle, kFormulaUsesDistance, FormulaTemplate::kSetupAngle},
    {kFormulaUsesDistance, kFormulaUsesAngle, FormulaTemplate::kSetupDistance},
    {kFormulaUsesAngle | kFormulaUsesDistance, 0, FormulaTemplate::kSetupAngleDistance},
};

// Where each routine lies in the code pages: the set-up first, then the channels.
constexpr std::size_t ChannelOffset(int channel) { return kFormulaSetupBytes + kFormulaChannelBytes * channel; }
constexpr std::size_t kCodePagesSize = ChannelOffset(kFormulaChannels);

}  // namespace

CompiledFormula CompileFormula(FormulaSource& source) {
  CompiledFormula compiled;
  compiled.memory_ = ExecutableMemory(kCodePagesSize);
  for (int channel = 0; channel < kFormulaChannels; ++channel) {
    source.errorPosition[channel] = -1;
    source.errorLength[channel] = 0;
    ChannelResult result;
    CompileChannel(source.text[channel], channel, result, source.errorPosition[channel],
                   source.errorLength[channel]);
    compiled.memory_.Write(ChannelOffset(channel), result.code.Bytes());
    compiled.channelLength_[channel] = result.code.Size();
    compiled.usage_ |= result.usage;
    compiled.errors_[channel] = result.error;
  }

  std::size_t setupLength = 0;
  for (const SetupPiece& piece : kSetupPieces) {
    if ((compiled.usage_ & piece.bits) != piece.bits || (compiled.usage_ & piece.without) != 0) continue;
    const std::span<const std::uint8_t> code = FormulaTemplateCode(piece.code);
    compiled.memory_.Write(setupLength, code);
    setupLength += code.size();
  }
  const std::uint8_t ret[] = {kReturn};
  if (setupLength + sizeof ret > kFormulaSetupBytes) throw std::logic_error("set-up pieces outgrew their buffer");
  compiled.memory_.Write(setupLength, ret);
  compiled.setupLength_ = setupLength + sizeof ret;
  compiled.memory_.Seal();
  return compiled;
}

CompiledFormula::SetupRoutine CompiledFormula::Setup() const {
  return reinterpret_cast<SetupRoutine>(const_cast<std::uint8_t*>(memory_.Data()));
}

CompiledFormula::ChannelRoutine CompiledFormula::Channel(int channel) const {
  return reinterpret_cast<ChannelRoutine>(const_cast<std::uint8_t*>(memory_.Data() + ChannelOffset(channel)));
}

std::span<const std::uint8_t> CompiledFormula::SetupCode() const { return {memory_.Data(), setupLength_}; }

std::span<const std::uint8_t> CompiledFormula::ChannelCode(int channel) const {
  return {memory_.Data() + ChannelOffset(channel), channelLength_[channel]};
}
