#include "quillo/filters/FormulaCompiler.h"

#include <array>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <vector>

#include "quillo/filters/FormulaEmitter.h"
#include "quillo/filters/FormulaRowLoop.h"
#include "quillo/filters/FormulaScanner.h"
#include "quillo/filters/FormulaTemplates.h"

namespace {

// Machine code the compiler writes itself rather than copying a template.
constexpr std::uint8_t kPrologue[] = {0x53, 0x48, 0x89, 0xFB};  // push rbx; mov rbx, rdi
constexpr std::uint8_t kEpilogue[] = {0x5B, 0x5B, 0xC3};        // pop rbx (the spare slot); pop rbx; ret
constexpr std::uint8_t kZeroBody[] = {0x50, 0xB8, 0, 0, 0, 0};  // push rax; mov eax, 0
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

// Compiles one channel's formula. The operator stack holds the operators waiting for their
// right operand; each parenthesis and function argument sets a floor below which its
// operators do not reach. Pending values live on the machine stack of the routine.
class ChannelCompiler {
 public:
  ChannelCompiler(const char* source, int channel, FormulaCodeBuffer& code, FormulaCodeMode mode,
                  FormulaNeighbourReads neighbours)
      : scanner_(source), channel_(channel), emitter_(code, mode, neighbours) {}

  // Emits the whole body; throws CompileFailure or FormulaCodeTooLong.
  void CompileBody() {
    Advance();
    ParseSequence();
    if (token_.kind != FormulaTokenKind::kEnd) Fail();
    emitter_.Settle();
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
      emitter_.DropValue();  // the left value is dropped; the slot below comes back
      Advance();
    }
  }

  void ParseConditional() {
    ParseBinary();
    if (!token_.Is('?')) return;
    if (conditionals_ == kFormulaMostConditionals) Fail(FormulaError::kTooManyConditionals);
    if (ParseSelect()) return;
    ++conditionals_;
    const std::optional<std::size_t> skipMiddle = emitter_.JumpIfFalse();
    Advance();
    ParseSequence();
    if (!token_.Is(':')) Fail();
    const std::size_t skipLast = emitter_.JumpOver();
    emitter_.LandJump(skipMiddle);
    Advance();
    ParseConditional();
    emitter_.LandJump(skipLast);
    --conditionals_;
  }

  // "? operand : operand" where both are constants or variables and nothing extends the last
  // one: a choice between two values, written without a jump. Reads ahead on a copy of the
  // scanner and takes the tokens only when they match.
  bool ParseSelect() {
    FormulaScanner ahead = scanner_;
    const FormulaToken middle = ahead.Next(), colon = ahead.Next(), last = ahead.Next(), after = ahead.Next();
    std::uint32_t usage = 0;
    const std::optional<FormulaLeaf> whenTrue = SimpleOperand(middle, usage), whenFalse = SimpleOperand(last, usage);
    if (!whenTrue || !colon.Is(':') || !whenFalse) return false;
    if (after.kind == FormulaTokenKind::kOperator || after.Is('?') || after.Is('(')) return false;
    emitter_.Select(*whenTrue, *whenFalse);
    usage_ |= usage;
    scanner_ = ahead;
    token_ = after;
    return true;
  }

  // A number or a variable as one load, with the usage it adds; nothing for anything else.
  std::optional<FormulaLeaf> SimpleOperand(const FormulaToken& token, std::uint32_t& usage) const {
    if (token.kind == FormulaTokenKind::kNumber) return FormulaLeaf::Constant(token.number);
    if (token.kind != FormulaTokenKind::kName) return std::nullopt;
    const FormulaName* name = FindName(token.name);
    if (name == nullptr) return std::nullopt;
    usage |= name->usage;
    switch (name->kind) {
      case NameKind::kField: return Field(name->value);
      case NameKind::kChannelLetter: return Field(kChannelFields[channel_]);
      case NameKind::kConstant: return FormulaLeaf::Constant(static_cast<std::uint32_t>(name->value));
      case NameKind::kChannelNumber: return FormulaLeaf::Constant(static_cast<std::uint32_t>(channel_));
      case NameKind::kFunction: return std::nullopt;
    }
    return std::nullopt;
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
        emitter_.Operand(FormulaLeaf::Constant(token_.number));
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
      case NameKind::kField: emitter_.Operand(Field(name->value)); break;
      case NameKind::kChannelLetter: emitter_.Operand(Field(kChannelFields[channel_])); break;
      case NameKind::kConstant: emitter_.Operand(FormulaLeaf::Constant(static_cast<std::uint32_t>(name->value))); break;
      case NameKind::kChannelNumber: emitter_.Operand(FormulaLeaf::Constant(static_cast<std::uint32_t>(channel_))); break;
      case NameKind::kFunction:
        ParseArguments(name->arguments);
        if (name->code == FormulaTemplate::kFnCnv)
          emitter_.Convolution(static_cast<std::uint32_t>(channel_));
        else
          emitter_.Function(name->code, name->arguments);
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
      emitter_.Operator(OperatorTemplate(operators_[--operatorCount_]));
  }

  // The set-up routine stores only the low byte of the colour and intensity fields; reading
  // them as bytes lets that store reach the read without a stall.
  static FormulaLeaf Field(int offset) {
    const bool byte = offset <= formula_layout::kA || offset == formula_layout::kI;
    return {byte ? FormulaLeaf::Kind::kByteField : FormulaLeaf::Kind::kField, static_cast<std::uint32_t>(offset)};
  }

  FormulaScanner scanner_;
  FormulaToken token_;
  int channel_;
  FormulaEmitter emitter_;
  std::uint32_t usage_ = 0;
  FormulaOperator operators_[kFormulaMostPendingOperators] = {};
  int operatorCount_ = 0;
  int conditionals_ = 0;
};

struct ChannelResult {
  FormulaCodeBuffer code{sizeof kEpilogue};
  std::uint32_t usage = 0;
  FormulaError error = FormulaError::kNone;
};

void CompileChannel(const char* text, int channel, FormulaCodeMode mode, FormulaNeighbourReads neighbours,
                    ChannelResult& result, std::int32_t& errorPosition, std::int32_t& errorLength) {
  char source[kFormulaSourceChars + 1] = {};
  if (text != nullptr) std::strncpy(source, text, kFormulaSourceChars);
  errorPosition = -1;
  errorLength = 0;
  result.code.Clear();
  result.code.Append(kPrologue);
  result.usage = 0;
  result.error = FormulaError::kNone;
  ChannelCompiler compiler(source, channel, result.code, mode, neighbours);
  try {
    compiler.CompileBody();
    result.usage = compiler.Usage();
  } catch (const CompileFailure& failure) {
    result.error = failure.error;
  } catch (const FormulaCodeTooLong&) {
    result.error = FormulaError::kCodeTooLong;
  }
  if (result.error != FormulaError::kNone) {
    errorPosition = compiler.Scanner().Position();
    errorLength = compiler.Scanner().Position() - compiler.Scanner().TokenStart();
    result.code.Clear();
    result.code.Append(kPrologue);
    result.code.Append(kZeroBody);
  }
  result.code.Finish(kEpilogue);
}

// The quick code may be longer than the plain stack machine's; a formula it does not fit
// is compiled again as compact code, which never is.
void CompileChannel(const char* text, int channel, FormulaNeighbourReads neighbours, ChannelResult& result,
                    std::int32_t& errorPosition, std::int32_t& errorLength) {
  CompileChannel(text, channel, FormulaCodeMode::kQuick, neighbours, result, errorPosition, errorLength);
  if (result.error == FormulaError::kCodeTooLong)
    CompileChannel(text, channel, FormulaCodeMode::kCompact, neighbours, result, errorPosition, errorLength);
}

// A set-up piece with its quick form and the plain form used when the quick ones together
// would not fit the set-up routine's 512 bytes (all of r, i, u, v, d and m at once).
struct SetupPiece {
  std::uint32_t bits;
  std::uint32_t without;
  FormulaTemplate quick;
  FormulaTemplate plain;
};

constexpr SetupPiece kSetupPieces[] = {
    {kFormulaUsesColour, 0, FormulaTemplate::kSetupColour, FormulaTemplate::kSetupColour},
    {kFormulaUsesIntensity, 0, FormulaTemplate::kSetupIntensity, FormulaTemplate::kSetupIntensity},
    {kFormulaUsesU, 0, FormulaTemplate::kSetupU, FormulaTemplate::kSetupU},
    {kFormulaUsesV, 0, FormulaTemplate::kSetupV, FormulaTemplate::kSetupV},
    {kFormulaUsesAngle, kFormulaUsesDistance, FormulaTemplate::kSetupAngle, FormulaTemplate::kSetupAnglePlain},
    {kFormulaUsesDistance, kFormulaUsesAngle, FormulaTemplate::kSetupDistance, FormulaTemplate::kSetupDistance},
    {kFormulaUsesAngle | kFormulaUsesDistance, 0, FormulaTemplate::kSetupAngleDistance,
     FormulaTemplate::kSetupAngleDistancePlain},
};

// Writes the set-up routine for `usage` at the start of `memory`; returns its length.
std::size_t WriteSetup(ExecutableMemory& memory, std::uint32_t usage) {
  const auto used = [usage](const SetupPiece& piece) {
    return (usage & piece.bits) == piece.bits && (usage & piece.without) == 0;
  };
  const std::uint8_t ret[] = {kReturn};
  std::size_t quickLength = sizeof ret;
  for (const SetupPiece& piece : kSetupPieces)
    if (used(piece)) quickLength += FormulaTemplateCode(piece.quick).size();
  const bool quick = quickLength <= kFormulaSetupBytes;
  std::size_t length = 0;
  for (const SetupPiece& piece : kSetupPieces) {
    if (!used(piece)) continue;
    const std::span<const std::uint8_t> code = FormulaTemplateCode(quick ? piece.quick : piece.plain);
    if (length + code.size() + sizeof ret > kFormulaSetupBytes) throw std::logic_error("set-up pieces outgrew their buffer");
    memory.Write(length, code);
    length += code.size();
  }
  memory.Write(length, ret);
  return length + sizeof ret;
}

// Where each routine lies in the code pages: the set-up first, then the channels, then the
// row routine and the interior row routine.
constexpr std::size_t ChannelOffset(int channel) { return kFormulaSetupBytes + kFormulaChannelBytes * channel; }
constexpr std::size_t kRowOffset = ChannelOffset(kFormulaChannels);
constexpr std::size_t kInteriorRowOffset = kRowOffset + kFormulaRowBytes;
constexpr std::size_t kCodePagesSize = kInteriorRowOffset + kFormulaRowBytes;

// The interior row routine: the same formulas compiled again with "cnv" reading its
// neighbours from the source rows. The parse is the same, so errors are the same; only the
// bodies are kept.
std::vector<std::uint8_t> WriteInteriorRow(const FormulaSource& source, std::span<const std::uint8_t> setup) {
  ChannelResult results[kFormulaChannels];
  for (int channel = 0; channel < kFormulaChannels; ++channel) {
    std::int32_t position = -1, length = 0;
    CompileChannel(source.text[channel], channel, FormulaNeighbourReads::kRowPointers, results[channel], position,
                   length);
  }
  const std::span<const std::uint8_t> channels[kFormulaChannels] = {
      results[0].code.Bytes(), results[1].code.Bytes(), results[2].code.Bytes(), results[3].code.Bytes()};
  return WriteFormulaRowLoop(setup, channels, FormulaRowSource::kWithRowBytes);
}

}  // namespace

CompiledFormula CompileFormula(FormulaSource& source) {
  CompiledFormula compiled;
  compiled.memory_ = ExecutableMemory(kCodePagesSize);
  for (int channel = 0; channel < kFormulaChannels; ++channel) {
    source.errorPosition[channel] = -1;
    source.errorLength[channel] = 0;
    ChannelResult result;
    CompileChannel(source.text[channel], channel, FormulaNeighbourReads::kFetched, result,
                   source.errorPosition[channel], source.errorLength[channel]);
    compiled.memory_.Write(ChannelOffset(channel), result.code.Bytes());
    compiled.channelLength_[channel] = result.code.Size();
    compiled.usage_ |= result.usage;
    compiled.errors_[channel] = result.error;
  }

  compiled.setupLength_ = WriteSetup(compiled.memory_, compiled.usage_);
  const std::span<const std::uint8_t> channels[kFormulaChannels] = {
      compiled.ChannelCode(0), compiled.ChannelCode(1), compiled.ChannelCode(2), compiled.ChannelCode(3)};
  const std::vector<std::uint8_t> row = WriteFormulaRowLoop(compiled.SetupCode(), channels, FormulaRowSource::kAlone);
  compiled.memory_.Write(kRowOffset, row);
  compiled.rowLength_ = row.size();
  compiled.memory_.Write(kInteriorRowOffset, WriteInteriorRow(source, compiled.SetupCode()));
  compiled.memory_.Seal();
  return compiled;
}

CompiledFormula::SetupRoutine CompiledFormula::Setup() const {
  return reinterpret_cast<SetupRoutine>(const_cast<std::uint8_t*>(memory_.Data()));
}

CompiledFormula::ChannelRoutine CompiledFormula::Channel(int channel) const {
  return reinterpret_cast<ChannelRoutine>(const_cast<std::uint8_t*>(memory_.Data() + ChannelOffset(channel)));
}

CompiledFormula::RowRoutine CompiledFormula::Row() const {
  return reinterpret_cast<RowRoutine>(const_cast<std::uint8_t*>(memory_.Data() + kRowOffset));
}

CompiledFormula::InteriorRowRoutine CompiledFormula::InteriorRow() const {
  return reinterpret_cast<InteriorRowRoutine>(const_cast<std::uint8_t*>(memory_.Data() + kInteriorRowOffset));
}

std::span<const std::uint8_t> CompiledFormula::SetupCode() const { return {memory_.Data(), setupLength_}; }

std::span<const std::uint8_t> CompiledFormula::ChannelCode(int channel) const {
  return {memory_.Data() + ChannelOffset(channel), channelLength_[channel]};
}

std::span<const std::uint8_t> CompiledFormula::RowCode() const { return {memory_.Data() + kRowOffset, rowLength_}; }
