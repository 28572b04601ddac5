#include "quillo/filters/FormulaTemplates.h"

#include "quillo/filters/FormulaContext.h"

// The templates are assembled into read-only data: they are never run where they lie, only
// copied. Each lies between the labels formula_tpl_<name> and formula_tpl_<name>_end.
#define FORMULA_ASM(name, body)                                                               \
  ".globl formula_tpl_" #name "\n.hidden formula_tpl_" #name "\nformula_tpl_" #name ":\n" body \
  ".globl formula_tpl_" #name "_end\n.hidden formula_tpl_" #name "_end\nformula_tpl_" #name   \
  "_end:\n"

// Clamps the signed 64-bit RAX into 32 bits (the quotients of val, mix and scl).
#define SATURATE_RAX                                                                          \
  "mov r8d, 0x7FFFFFFF\n cmp rax, r8\n cmovg rax, r8\n not r8\n cmp rax, r8\n cmovl rax, r8\n"

// Calls the fetch routine with the row in EDI and the column in ESI on a 16-byte aligned
// stack, then takes the channel whose bit position is in EAX out of the pixel (opacity is 255
// minus the stored transparency byte).
#define FETCH_CHANNEL                                                                         \
  "push rbp\n mov rbp, rsp\n and rsp, -16\n push rax\n push rax\n"                            \
  "call qword ptr [rbx + CTX_FETCH]\n mov ecx, dword ptr [rsp]\n mov rsp, rbp\n pop rbp\n"     \
  "xor eax, 0xFF000000\n shr eax, cl\n movzx eax, al\n"

// The distances 2y - Y and 2x - X of the set-up routine, in the red zone below the stack.
#define CENTRE_OFFSETS                                                                        \
  "mov eax, dword ptr [rsi + CTX_Y]\n add eax, eax\n sub eax, dword ptr [rsi + CTX_HEIGHT]\n"  \
  "mov dword ptr [rsp - 8], eax\n"                                                            \
  "mov eax, dword ptr [rsi + CTX_X]\n add eax, eax\n sub eax, dword ptr [rsi + CTX_WIDTH]\n"   \
  "mov dword ptr [rsp - 4], eax\n"

#define COMPARE(set) "pop rcx\n cmp ecx, eax\n " set " al\n movzx eax, al\n"

asm(R"(
.pushsection .rodata.formula_templates, "a"
.intel_syntax noprefix
.set CTX_R, 0
.set CTX_G, 4
.set CTX_B, 8
.set CTX_A, 12
.set CTX_X, 16
.set CTX_Y, 20
.set CTX_WIDTH, 24
.set CTX_HEIGHT, 28
.set CTX_I, 32
.set CTX_U, 36
.set CTX_V, 40
.set CTX_D, 44
.set CTX_M, 48
.set CTX_SEED, 56
.set CTX_SHIFT, 60
.set CTX_SCALE, 64
.set CTX_FETCH, 68
.set CTX_SLIDERS, 96
.set CTX_CELLS, 128
.set CTX_SINE, 4224
.set CTX_COSINE, 5248
.set CTX_TANGENT, 9344
.set CTX_W_IR, 13440
.set CTX_W_IG, 13952
.set CTX_W_IB, 14464
.set CTX_W_UR, 14976
.set CTX_W_UG, 15488
.set CTX_W_UB, 16000
.set CTX_W_VR, 16512
.set CTX_W_VG, 17024
.set CTX_W_VB, 17536
)"
    FORMULA_ASM(Or, "pop rcx\n or eax, ecx\n")
    FORMULA_ASM(LogicalOr, "pop rcx\n or eax, ecx\n setnz al\n movzx eax, al\n")
    FORMULA_ASM(Xor, "pop rcx\n xor eax, ecx\n")
    FORMULA_ASM(And, "pop rcx\n and eax, ecx\n")
    FORMULA_ASM(LogicalAnd, "pop rcx\n test eax, ecx\n setnz al\n movzx eax, al\n")
    FORMULA_ASM(Equal, COMPARE("sete"))
    FORMULA_ASM(NotEqual, COMPARE("setne"))
    FORMULA_ASM(Less, COMPARE("setl"))
    FORMULA_ASM(LessEqual, COMPARE("setle"))
    FORMULA_ASM(Greater, COMPARE("setg"))
    FORMULA_ASM(GreaterEqual, COMPARE("setge"))
    FORMULA_ASM(ShiftLeft, "pop rcx\n xchg eax, ecx\n shl eax, cl\n")
    FORMULA_ASM(ShiftRight, "pop rcx\n xchg eax, ecx\n shr eax, cl\n")
    FORMULA_ASM(Add, "pop rcx\n add eax, ecx\n")
    FORMULA_ASM(Subtract, "pop rcx\n sub ecx, eax\n mov eax, ecx\n")
    FORMULA_ASM(Multiply, "pop rcx\n imul eax, ecx\n")
    // x / 0 is 0; x / -1 is the wrapped negation, so -2147483648 / -1 stays -2147483648
    // instead of trapping in the divide.
    FORMULA_ASM(Divide,
                "pop rcx\n test eax, eax\n jz 2f\n cmp eax, -1\n je 1f\n"
                "xchg eax, ecx\n cdq\n idiv ecx\n jmp 2f\n"
                "1: mov eax, ecx\n neg eax\n 2:\n")
    // x % 0 and x % -1 are 0.
    FORMULA_ASM(Remainder,
                "pop rcx\n test eax, eax\n jz 2f\n cmp eax, -1\n je 1f\n"
                "xchg eax, ecx\n cdq\n idiv ecx\n mov eax, edx\n jmp 2f\n"
                "1: xor eax, eax\n 2:\n")
    FORMULA_ASM(Negate, "neg eax\n")
    FORMULA_ASM(BitwiseNot, "not eax\n")
    FORMULA_ASM(LogicalNot, "test eax, eax\n sete al\n movzx eax, al\n")

    FORMULA_ASM(FnAbs, "cdq\n xor eax, edx\n sub eax, edx\n")
    FORMULA_ASM(FnAdd, "pop rcx\n pop rdx\n add ecx, edx\n cmp ecx, eax\n cmovl eax, ecx\n")
    FORMULA_ASM(FnSub, "pop rcx\n pop rdx\n sub edx, ecx\n cmp edx, eax\n cmovg eax, edx\n")
    FORMULA_ASM(FnDif, "pop rcx\n sub ecx, eax\n mov eax, ecx\n cdq\n xor eax, edx\n sub eax, edx\n")
    FORMULA_ASM(FnMax, "pop rcx\n cmp ecx, eax\n cmovg eax, ecx\n")
    FORMULA_ASM(FnMin, "pop rcx\n cmp ecx, eax\n cmovl eax, ecx\n")
    FORMULA_ASM(FnCtl, "and eax, 7\n mov eax, dword ptr [rbx + CTX_SLIDERS + rax*4]\n")
    // a + ((b - a) * ctl(n) + 127) / 255 with a 64-bit product and quotient.
    FORMULA_ASM(FnVal,
                "pop rcx\n pop rdx\n and edx, 7\n movsxd rdx, dword ptr [rbx + CTX_SLIDERS + rdx*4]\n"
                "sub eax, ecx\n cdqe\n imul rax, rdx\n add rax, 127\n mov r9d, 255\n cqo\n idiv r9\n"
                SATURATE_RAX "add eax, ecx\n")
    // 0 at or below ctl(2k+1), 255 at or above ctl(2k), else a 64-bit ramp between them.
    FORMULA_ASM(FnMap,
                "pop rcx\n and eax, 3\n movsxd rdx, dword ptr [rbx + CTX_SLIDERS + 4 + rax*8]\n"
                "movsxd r8, dword ptr [rbx + CTX_SLIDERS + rax*8]\n movsxd rcx, ecx\n"
                "xor eax, eax\n cmp rcx, rdx\n jle 9f\n mov eax, 255\n cmp rcx, r8\n jge 9f\n"
                "sub rcx, rdx\n sub r8, rdx\n imul rax, rcx, 255\n cqo\n idiv r8\n 9:\n")
    // d = 0: (a - b) * n; else b + ((a - b) * n + (d >> 1)) / d in 64 bits, saturated.
    FORMULA_ASM(FnMix,
                "pop rcx\n pop rdx\n pop r8\n sub r8d, edx\n test eax, eax\n jnz 1f\n"
                "imul r8d, ecx\n mov eax, r8d\n jmp 9f\n"
                "1: movsxd r9, eax\n movsxd r8, r8d\n movsxd rcx, ecx\n imul r8, rcx\n"
                "mov rax, r9\n sar rax, 1\n add rax, r8\n mov r10d, edx\n cqo\n idiv r9\n"
                SATURATE_RAX "add eax, r10d\n 9:\n")
    // ih = il: oh - ol; else ol + ((a - il) * (oh - ol) + ((ih - il) >> 1)) / (ih - il).
    FORMULA_ASM(FnScl,
                "pop rcx\n pop rdx\n pop r8\n pop r9\n sub eax, ecx\n sub edx, r8d\n jz 9f\n"
                "sub r9d, r8d\n movsxd r9, r9d\n cdqe\n imul rax, r9\n movsxd r8, edx\n"
                "sar edx, 1\n movsxd rdx, edx\n add rax, rdx\n mov r10d, ecx\n cqo\n idiv r8\n"
                SATURATE_RAX "add eax, r10d\n 9:\n")
    FORMULA_ASM(FnRnd,
                "pop rcx\n imul edx, dword ptr [rbx + CTX_SEED], 1103515245\n add edx, 12345\n"
                "mov dword ptr [rbx + CTX_SEED], edx\n shr edx, 16\n and edx, 32767\n"
                "sub eax, ecx\n inc eax\n imul eax, edx\n sar eax, 15\n add eax, ecx\n")
    FORMULA_ASM(FnRst, "mov dword ptr [rbx + CTX_SEED], eax\n")
    FORMULA_ASM(FnGet, "and eax, 1023\n mov eax, dword ptr [rbx + CTX_CELLS + rax*4]\n")
    FORMULA_ASM(FnPut, "pop rcx\n and eax, 1023\n mov dword ptr [rbx + CTX_CELLS + rax*4], ecx\n mov eax, ecx\n")
    FORMULA_ASM(FnSrc,
                "pop rdi\n pop rsi\n and eax, 3\n movzx eax, byte ptr [rbx + CTX_SHIFT + rax]\n"
                FETCH_CHANNEL)
    // The 3 x 3 weighted sum: EAX holds the channel number the compiler adds, then come the
    // divisor and k9 .. k1 on the stack. R12 sums, R13 walks the weights, R14 and R15 are the
    // row and column offsets; the bit position lies at [rbp - 40].
    FORMULA_ASM(FnCnv,
                "push rbp\n mov rbp, rsp\n push r12\n push r13\n push r14\n push r15\n"
                "and eax, 3\n movzx eax, byte ptr [rbx + CTX_SHIFT + rax]\n push rax\n and rsp, -16\n"
                "xor r12d, r12d\n lea r13, [rbp + 80]\n mov r14d, -1\n"
                "1: mov r15d, -1\n"
                "2: mov edi, dword ptr [rbx + CTX_Y]\n add edi, r14d\n"
                "mov esi, dword ptr [rbx + CTX_X]\n add esi, r15d\n call qword ptr [rbx + CTX_FETCH]\n"
                "xor eax, 0xFF000000\n mov ecx, dword ptr [rbp - 40]\n shr eax, cl\n movzx eax, al\n"
                "imul eax, dword ptr [r13]\n add r12d, eax\n sub r13, 8\n"
                "inc r15d\n cmp r15d, 1\n jle 2b\n inc r14d\n cmp r14d, 1\n jle 1b\n"
                "mov eax, r12d\n mov ecx, dword ptr [rbp + 8]\n test ecx, ecx\n jz 4f\n"
                "cmp ecx, -1\n jne 3f\n neg eax\n jmp 4f\n 3: cdq\n idiv ecx\n"
                "4: lea rsp, [rbp - 32]\n pop r15\n pop r14\n pop r13\n pop r12\n pop rbp\n"
                "add rsp, 80\n")
    FORMULA_ASM(FnSqr,
                "test eax, eax\n jg 1f\n xor eax, eax\n jmp 2f\n"
                "1: push rax\n fild dword ptr [rsp]\n fsqrt\n fistp dword ptr [rsp]\n pop rax\n 2:\n")
    FORMULA_ASM(FnC2d,
                "pop rcx\n test ecx, ecx\n jnz 1f\n test eax, eax\n jz 2f\n"
                "sar eax, 31\n or eax, 1\n shl eax, 8\n jmp 2f\n"
                "1: push rax\n push rcx\n fild dword ptr [rsp + 8]\n fild dword ptr [rsp]\n fpatan\n"
                "fmul dword ptr [rbx + CTX_SCALE]\n fistp dword ptr [rsp]\n pop rax\n pop rcx\n 2:\n")
    FORMULA_ASM(FnC2m,
                "pop rcx\n push rax\n push rcx\n fild dword ptr [rsp]\n fmul st(0), st(0)\n"
                "fild dword ptr [rsp + 8]\n fmul st(0), st(0)\n faddp st(1), st(0)\n fsqrt\n"
                "fistp dword ptr [rsp]\n pop rax\n pop rcx\n")
    FORMULA_ASM(FnSin, "and eax, 1023\n mov eax, dword ptr [rbx + CTX_SINE + rax*4]\n")
    FORMULA_ASM(FnCos, "and eax, 1023\n mov eax, dword ptr [rbx + CTX_COSINE + rax*4]\n")
    FORMULA_ASM(FnTan, "and eax, 1023\n mov eax, dword ptr [rbx + CTX_TANGENT + rax*4]\n")
    FORMULA_ASM(FnR2x,
                "pop rcx\n and ecx, 1023\n imul eax, dword ptr [rbx + CTX_COSINE + rcx*4]\n"
                "add eax, 256\n sar eax, 9\n")
    FORMULA_ASM(FnR2y,
                "pop rcx\n and ecx, 1023\n imul eax, dword ptr [rbx + CTX_SINE + rcx*4]\n"
                "add eax, 256\n sar eax, 9\n")
    FORMULA_ASM(FnRad,
                "pop rdx\n pop rcx\n and ecx, 1023\n"
                "mov esi, dword ptr [rbx + CTX_COSINE + rcx*4]\n imul esi, edx\n sar esi, 8\n"
                "add esi, dword ptr [rbx + CTX_WIDTH]\n sar esi, 1\n"
                "mov edi, dword ptr [rbx + CTX_SINE + rcx*4]\n imul edi, edx\n sar edi, 8\n"
                "add edi, dword ptr [rbx + CTX_HEIGHT]\n sar edi, 1\n"
                "and eax, 3\n movzx eax, byte ptr [rbx + CTX_SHIFT + rax]\n" FETCH_CHANNEL)

    FORMULA_ASM(SetupColour,
                "xor edi, 0xFF000000\n mov eax, edi\n mov byte ptr [rsi + CTX_B], al\n shr eax, 8\n"
                "mov byte ptr [rsi + CTX_G], al\n shr eax, 8\n mov byte ptr [rsi + CTX_R], al\n"
                "shr eax, 8\n mov byte ptr [rsi + CTX_A], al\n")
    FORMULA_ASM(SetupIntensity,
                "movzx ecx, byte ptr [rsi + CTX_R]\n movzx eax, word ptr [rsi + CTX_W_IR + rcx*2]\n"
                "movzx ecx, byte ptr [rsi + CTX_G]\n add ax, word ptr [rsi + CTX_W_IG + rcx*2]\n"
                "movzx ecx, byte ptr [rsi + CTX_B]\n add ax, word ptr [rsi + CTX_W_IB + rcx*2]\n"
                "shr eax, 8\n mov byte ptr [rsi + CTX_I], al\n")
    FORMULA_ASM(SetupU,
                "movzx ecx, byte ptr [rsi + CTX_B]\n movzx eax, word ptr [rsi + CTX_W_UB + rcx*2]\n"
                "movzx ecx, byte ptr [rsi + CTX_G]\n sub ax, word ptr [rsi + CTX_W_UG + rcx*2]\n"
                "movzx ecx, byte ptr [rsi + CTX_R]\n sub ax, word ptr [rsi + CTX_W_UR + rcx*2]\n"
                "sar ax, 8\n cwde\n mov dword ptr [rsi + CTX_U], eax\n")
    FORMULA_ASM(SetupV,
                "movzx ecx, byte ptr [rsi + CTX_R]\n movzx eax, word ptr [rsi + CTX_W_VR + rcx*2]\n"
                "movzx ecx, byte ptr [rsi + CTX_G]\n sub ax, word ptr [rsi + CTX_W_VG + rcx*2]\n"
                "movzx ecx, byte ptr [rsi + CTX_B]\n sub ax, word ptr [rsi + CTX_W_VB + rcx*2]\n"
                "sar ax, 8\n cwde\n mov dword ptr [rsi + CTX_V], eax\n")
    FORMULA_ASM(SetupAngle,
                CENTRE_OFFSETS "fild dword ptr [rsp - 8]\n fild dword ptr [rsp - 4]\n fpatan\n"
                "fmul dword ptr [rsi + CTX_SCALE]\n fistp dword ptr [rsi + CTX_D]\n")
    FORMULA_ASM(SetupDistance,
                CENTRE_OFFSETS "fild dword ptr [rsp - 8]\n fmul st(0), st(0)\n"
                "fild dword ptr [rsp - 4]\n fmul st(0), st(0)\n faddp st(1), st(0)\n fsqrt\n"
                "fistp dword ptr [rsi + CTX_M]\n sar dword ptr [rsi + CTX_M], 1\n")
    // Both at once: the distance is taken from copies of the two offsets, then the angle
    // from the originals.
    FORMULA_ASM(SetupAngleDistance,
                CENTRE_OFFSETS "fild dword ptr [rsp - 8]\n fild dword ptr [rsp - 4]\n"
                "fld st(1)\n fmul st(0), st(0)\n fld st(1)\n fmul st(0), st(0)\n faddp st(1), st(0)\n"
                "fsqrt\n fistp dword ptr [rsi + CTX_M]\n fpatan\n fmul dword ptr [rsi + CTX_SCALE]\n"
                "fistp dword ptr [rsi + CTX_D]\n sar dword ptr [rsi + CTX_M], 1\n")
    R"(
.att_syntax prefix
.popsection
)");

namespace {

struct TemplateBounds {
  const std::uint8_t* begin;
  const std::uint8_t* end;
};

}  // namespace

#define FORMULA_TEMPLATE_SYMBOLS(name) \
  extern "C" const std::uint8_t formula_tpl_##name[], formula_tpl_##name##_end[];
FORMULA_TEMPLATE_LIST(FORMULA_TEMPLATE_SYMBOLS)
#undef FORMULA_TEMPLATE_SYMBOLS

std::span<const std::uint8_t> FormulaTemplateCode(FormulaTemplate which) {
  static const TemplateBounds kBounds[] = {
#define FORMULA_TEMPLATE_BOUNDS(name) {formula_tpl_##name, formula_tpl_##name##_end},
      FORMULA_TEMPLATE_LIST(FORMULA_TEMPLATE_BOUNDS)
#undef FORMULA_TEMPLATE_BOUNDS
  };
  const TemplateBounds& bounds = kBounds[static_cast<int>(which)];
  return {bounds.begin, bounds.end};
}

static_assert(formula_layout::kFetch == 68 && formula_layout::kSliders == 96 && formula_layout::kCells == 128 &&
                  formula_layout::kSine == 4224 && formula_layout::kCosine == 5248 &&
                  formula_layout::kTangent == 9344 && formula_layout::kWeights == 13440,
              "the templates above address these offsets");
