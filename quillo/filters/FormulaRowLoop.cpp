#include "quillo/filters/FormulaRowLoop.h"

#include <stdexcept>

namespace {

// The channel routines' own prologue (push rbx; mov rbx, rdi) and epilogue (pop rbx twice;
// ret), which the copies leave out.
constexpr std::size_t kChannelPrologue = 4, kChannelEpilogue = 3;

// Saves the callee-saved registers the loop keeps its state in and puts the stack where a
// channel routine has it after its prologue (16-byte aligned). Then R12 walks the source,
// R13 the destination, R14 is the destination's end, RBX the context. Every body keeps RBP
// (those that use it restore it), so it can carry the source's row bytes.
constexpr std::uint8_t kSaveRegisters[] = {
    0x53, 0x55, 0x41, 0x54, 0x41, 0x55,  // push rbx; push rbp; push r12; push r13
    0x41, 0x56, 0x41, 0x57,              // push r14; push r15
    0x48, 0x83, 0xEC, 0x08,              // sub rsp, 8
};
constexpr std::uint8_t kTakeRowBytes[] = {0x4C, 0x89, 0xC5};  // mov rbp, r8
constexpr std::uint8_t kEntry[] = {
    0x49, 0x89, 0xFC,                    // mov r12, rdi
    0x49, 0x89, 0xF5,                    // mov r13, rsi
    0x48, 0x89, 0xCB,                    // mov rbx, rcx
    0x48, 0x63, 0xD2,                    // movsxd rdx, edx
    0x4D, 0x8D, 0x74, 0x95, 0x00,        // lea r14, [r13 + rdx*4]
    0x85, 0xD2,                          // test edx, edx
    0x0F, 0x8E,                          // jle <exit> (displacement follows)
};

// The set-up routine's arguments for the pixel under way.
constexpr std::uint8_t kLoadPixel[] = {
    0x41, 0x8B, 0x3C, 0x24,  // mov edi, [r12]
    0x48, 0x89, 0xDE,        // mov rsi, rbx
};

// Drops the slot the channel body leaves and clamps its value in EAX to 0..255.
constexpr std::uint8_t kClamp[] = {
    0x59,                          // pop rcx
    0x31, 0xC9,                    // xor ecx, ecx
    0x85, 0xC0,                    // test eax, eax
    0x0F, 0x48, 0xC1,              // cmovs eax, ecx
    0xB9, 0xFF, 0x00, 0x00, 0x00,  // mov ecx, 255
    0x39, 0xC8,                    // cmp eax, ecx
    0x0F, 0x4F, 0xC1,              // cmovg eax, ecx
};

// Puts each clamped channel into its place in R15; the opacity becomes the transparency
// byte and the finished pixel is stored.
constexpr std::uint8_t kPackRed[] = {0xC1, 0xE0, 0x10, 0x41, 0x89, 0xC7};    // shl eax, 16; mov r15d, eax
constexpr std::uint8_t kPackGreen[] = {0xC1, 0xE0, 0x08, 0x41, 0x09, 0xC7};  // shl eax, 8; or r15d, eax
constexpr std::uint8_t kPackBlue[] = {0x41, 0x09, 0xC7};                     // or r15d, eax
constexpr std::uint8_t kPackOpacity[] = {
    0x35, 0xFF, 0x00, 0x00, 0x00,  // xor eax, 255
    0xC1, 0xE0, 0x18,              // shl eax, 24
    0x44, 0x09, 0xF8,              // or eax, r15d
    0x41, 0x89, 0x45, 0x00,        // mov [r13], eax
};

// On to the next pixel: x advances with the pointers.
constexpr std::uint8_t kNext[] = {
    0xFF, 0x43, 0x10,        // inc dword [rbx + x]
    0x49, 0x83, 0xC4, 0x04,  // add r12, 4
    0x49, 0x83, 0xC5, 0x04,  // add r13, 4
    0x4D, 0x39, 0xF5,        // cmp r13, r14
    0x0F, 0x82,              // jb <loop> (displacement follows)
};

constexpr std::uint8_t kExit[] = {
    0x48, 0x83, 0xC4, 0x08,              // add rsp, 8
    0x41, 0x5F, 0x41, 0x5E, 0x41, 0x5D,  // pop r15; pop r14; pop r13
    0x41, 0x5C, 0x5D, 0x5B, 0xC3,        // pop r12; pop rbp; pop rbx; ret
};

void Append(std::vector<std::uint8_t>& code, std::span<const std::uint8_t> bytes) {
  code.insert(code.end(), bytes.begin(), bytes.end());
}

void AppendDisplacement(std::vector<std::uint8_t>& code, std::int64_t displacement) {
  const auto word = static_cast<std::uint32_t>(static_cast<std::int32_t>(displacement));
  for (int k = 0; k < 4; ++k) code.push_back(static_cast<std::uint8_t>(word >> (8 * k)));
}

void SetDisplacement(std::vector<std::uint8_t>& code, std::size_t at, std::int64_t displacement) {
  const auto word = static_cast<std::uint32_t>(static_cast<std::int32_t>(displacement));
  for (int k = 0; k < 4; ++k) code[at + k] = static_cast<std::uint8_t>(word >> (8 * k));
}

}  // namespace

std::vector<std::uint8_t> WriteFormulaRowLoop(std::span<const std::uint8_t> setup,
                                              const std::span<const std::uint8_t> (&channels)[kFormulaChannels],
                                              FormulaRowSource rowSource) {
  static constexpr std::span<const std::uint8_t> kPack[kFormulaChannels] = {kPackRed, kPackGreen, kPackBlue,
                                                                            kPackOpacity};
  if (setup.empty() || setup.back() != 0xC3) throw std::logic_error("set-up routine without its return");
  std::vector<std::uint8_t> code;
  code.reserve(kFormulaRowBytes);
  Append(code, kSaveRegisters);
  if (rowSource == FormulaRowSource::kWithRowBytes) Append(code, kTakeRowBytes);
  Append(code, kEntry);
  const std::size_t toExit = code.size();
  AppendDisplacement(code, 0);
  while (code.size() % 16 != 0) code.push_back(0x90);  // nop: the loop starts on a fetch block
  const std::size_t loop = code.size();
  Append(code, kLoadPixel);
  Append(code, setup.first(setup.size() - 1));
  for (int channel = 0; channel < kFormulaChannels; ++channel) {
    const std::span<const std::uint8_t> routine = channels[channel];
    if (routine.size() < kChannelPrologue + kChannelEpilogue)
      throw std::logic_error("channel routine without its prologue and epilogue");
    Append(code, routine.subspan(kChannelPrologue, routine.size() - kChannelPrologue - kChannelEpilogue));
    Append(code, kClamp);
    Append(code, kPack[channel]);
  }
  Append(code, kNext);
  AppendDisplacement(code, std::int64_t(loop) - std::int64_t(code.size() + 4));
  SetDisplacement(code, toExit, std::int64_t(code.size()) - std::int64_t(toExit + 4));
  Append(code, kExit);
  if (code.size() > kFormulaRowBytes) throw std::logic_error("row routine outgrew its buffer");
  return code;
}
