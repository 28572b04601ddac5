#pragma once
// Writes the machine code of one channel routine as the parser asks for it.
//
// The routine is a stack machine (see FormulaTemplates.h): EAX holds the value being computed,
// every pending value an 8-byte slot of the machine stack. The emitter keeps the parser's
// view of that machine but writes less: an operand that is a constant or a context field is
// held back ("deferred") instead of being pushed and loaded at once, so that the next
// operator or function can take it as an immediate or a memory operand; a comparison leaves
// its result in the flags when a conditional is next. Whatever is held back is written out
// before any code that could see the difference, and before every jump target.
//
// Two modes: kQuick writes the fastest code it knows; kCompact never writes more bytes for
// any formula than the plain stack machine would, so that a formula that fits the routine's
// 4096 bytes that way also fits this way.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>

#include "quillo/filters/FormulaCompiler.h"
#include "quillo/filters/FormulaTemplates.h"

enum class FormulaCodeMode : std::uint8_t { kQuick, kCompact };

// How the neighbourhood of "cnv" is read. kFetched calls the context's fetch routine for each
// neighbour, which clamps into the picture: right for any pixel and any caller. kRowPointers
// reads the neighbours straight from the source rows, for the program's interior row routine
// only: there R12 points at the current source pixel, RBP holds the source's row bytes and
// every neighbour lies inside the picture.
enum class FormulaNeighbourReads : std::uint8_t { kFetched, kRowPointers };

// A value the routine can load in one instruction.
struct FormulaLeaf {
  enum class Kind : std::uint8_t { kConstant, kField, kByteField };
  Kind kind = Kind::kConstant;
  std::uint32_t value = 0;  // the constant, or the field's offset in the context

  static FormulaLeaf Constant(std::uint32_t v) { return {Kind::kConstant, v}; }
  bool IsConstant() const { return kind == Kind::kConstant; }
};

// Thrown when the routine would pass its buffer.
struct FormulaCodeTooLong {};

// A routine under construction: a fixed buffer whose last bytes are kept for the epilogue.
class FormulaCodeBuffer {
 public:
  explicit FormulaCodeBuffer(std::size_t reserved);

  void Append(std::span<const std::uint8_t> code);
  void Append(std::initializer_list<std::uint8_t> code) { Append(std::span(code.begin(), code.size())); }
  void AppendWord(std::uint32_t word);
  // Sets the 32-bit jump displacement at `at` so that the jump reaches the current end.
  void PatchJumpToHere(std::size_t at);
  // The epilogue goes into the reserved bytes.
  void Finish(std::span<const std::uint8_t> code);
  void Clear() { size_ = 0; }
  std::size_t Size() const { return size_; }
  std::span<const std::uint8_t> Bytes() const { return {bytes_.data(), size_}; }

 private:
  std::array<std::uint8_t, kFormulaChannelBytes> bytes_{};
  std::size_t size_ = 0;
  std::size_t limit_;
};

class FormulaEmitter {
 public:
  FormulaEmitter(FormulaCodeBuffer& code, FormulaCodeMode mode,
                 FormulaNeighbourReads neighbours = FormulaNeighbourReads::kFetched)
      : code_(code), mode_(mode), neighbours_(neighbours) {}

  // Pushes the accumulator and loads `leaf` into it.
  void Operand(FormulaLeaf leaf);
  // A unary or binary operator's template.
  void Operator(FormulaTemplate op);
  // A function of `arguments` arguments (cnv: ten, its channel given apart).
  void Function(FormulaTemplate fn, int arguments);
  void Convolution(std::uint32_t channel);
  // The comma: the accumulator is dropped and the slot below comes back.
  void DropValue();
  // At "?": tests and pops the condition and jumps when it is 0. Returns where the jump's
  // displacement lies, or nothing when no jump was needed (a constant that is not 0).
  std::optional<std::size_t> JumpIfFalse();
  // A whole conditional whose parts are single operands: the condition is popped and the
  // accumulator becomes `whenTrue` or `whenFalse`, chosen without a jump.
  void Select(FormulaLeaf whenTrue, FormulaLeaf whenFalse);
  // At ":": jumps over the last part; returns where the displacement lies.
  std::size_t JumpOver();
  // Makes a jump written earlier land here.
  void LandJump(std::optional<std::size_t> at);
  // Writes out everything held back; the routine may end here.
  void Settle();

 private:
  void MaterializeFlags();
  void FlushFront();
  void FlushAllBut(std::size_t kept);
  void Load(int reg, FormulaLeaf leaf);
  bool QuickOperator(FormulaTemplate op, FormulaLeaf right);
  void DivideByConstant(std::int32_t divisor, bool remainder);
  bool FoldIntoLeaf(FormulaTemplate fn);
  void Unrolled3x3(const std::uint32_t (&weights)[9], std::int32_t divisor, std::uint32_t channel);
  void Unrolled3x3FromRows(const std::uint32_t (&weights)[9], std::int32_t divisor, std::uint32_t channel);
  FormulaLeaf Effective(FormulaLeaf leaf) const;

  FormulaCodeBuffer& code_;
  FormulaCodeMode mode_;
  FormulaNeighbourReads neighbours_;
  // Deferred operands, oldest first: the stack holds the accumulator and all but the last;
  // the last is the accumulator.
  std::array<FormulaLeaf, 12> leaves_{};
  std::size_t leafCount_ = 0;
  // A comparison whose 0-or-1 result is still only in the flags: the condition code.
  std::optional<std::uint8_t> flags_;
};
