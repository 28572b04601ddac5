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

// The angle d = round(atan2(dy, dx) * scale) of the offsets CENTRE_OFFSETS left, into the
// context, as the x87 fpatan defines it (ANGLE_TO_D_X87). ANGLE_TO_D_QUICK reaches the same
// integer sooner with SSE where it can prove it: |dx| and |dy| below 32768 and the standard
// angle scale. It reduces the angle to the octant 0..pi/4 (and that to |v| <= tan(pi/8)),
// evaluates atan as v + v^3 P(v^2) in single precision, rounds that part to an integer and
// puts the octant back with integer steps (256 and 512 units: the standard scale makes a
// quarter turn 256.0000017 units). Its total error stays below 3e-4 units, so where the part
// lies at least 1/512 unit from a half-integer both ways round alike; nearer ones (about 0.4 %
// of the pixels), and 0/0, take fpatan. tools/formula_angle_check compares the two on every
// (dx, dy) in range; the unit test on a large sample.
#define ANGLE_TO_D_X87                                                                        \
  "fild dword ptr [rsp - 8]\n fild dword ptr [rsp - 4]\n fpatan\n"                              \
  "fmul dword ptr [rsi + CTX_SCALE]\n fistp dword ptr [rsi + CTX_D]\n"
#define ANGLE_TO_D_QUICK                                                                      \
  "mov eax, dword ptr [rsp - 4]\n mov ecx, dword ptr [rsp - 8]\n"                               \
  "lea edx, [rax + 0x8000]\n lea r9d, [rcx + 0x8000]\n or edx, r9d\n shr edx, 16\n jnz 8f\n"    \
  "cmp dword ptr [rsi + CTX_SCALE], 0x4322F983\n jne 8f\n"                                      \
  "mov edx, eax\n neg edx\n cmovs edx, eax\n cvtsi2ss xmm0, edx\n"                              \
  "mov edx, ecx\n neg edx\n cmovs edx, ecx\n cvtsi2ss xmm1, edx\n"                              \
  "comiss xmm1, xmm0\n seta r8b\n"                                                             \
  "movaps xmm2, xmm0\n minss xmm2, xmm1\n maxss xmm0, xmm1\n divss xmm2, xmm0\n"                 \
  "lea rdx, [rip + 6f]\n xorps xmm4, xmm4\n comiss xmm2, dword ptr [rdx]\n jbe 1f\n"            \
  "movss xmm3, dword ptr [rdx + 4]\n movaps xmm5, xmm2\n subss xmm2, xmm3\n addss xmm5, xmm3\n"  \
  "divss xmm2, xmm5\n movss xmm4, dword ptr [rdx + 8]\n"                                       \
  "1: movaps xmm3, xmm2\n mulss xmm3, xmm3\n movss xmm0, dword ptr [rdx + 12]\n"                 \
  "mulss xmm0, xmm3\n addss xmm0, dword ptr [rdx + 16]\n"                                      \
  "mulss xmm0, xmm3\n addss xmm0, dword ptr [rdx + 20]\n"                                      \
  "mulss xmm0, xmm3\n addss xmm0, dword ptr [rdx + 24]\n"                                      \
  "mulss xmm0, xmm3\n mulss xmm0, xmm2\n addss xmm0, xmm2\n addss xmm0, xmm4\n"                 \
  "mulss xmm0, dword ptr [rsi + CTX_SCALE]\n addss xmm0, dword ptr [rdx + 28]\n"                \
  "cvttss2si r9d, xmm0\n cvtsi2ss xmm5, r9d\n subss xmm0, xmm5\n"                               \
  "comiss xmm0, dword ptr [rdx + 32]\n jb 8f\n comiss xmm0, dword ptr [rdx + 36]\n ja 8f\n"      \
  "mov edx, r9d\n test r8b, r8b\n jz 2f\n neg edx\n add edx, 256\n"                             \
  "2: test eax, eax\n jns 3f\n neg edx\n add edx, 512\n"                                        \
  "3: test ecx, ecx\n jns 4f\n neg edx\n"                                                       \
  "4: mov dword ptr [rsi + CTX_D], edx\n jmp 9f\n"                                             \
  "6: .float 0.41421356237, 1.0, 0.78539816340, 0.08520492037314105, -0.1402414284231713\n"     \
  ".float 0.19991237743072035, -0.33333286563943754, 0.5, 0.001953125, 0.998046875\n"          \
  "8: " ANGLE_TO_D_X87 "9:\n"

#define DISTANCE_TO_M                                                                         \
  "fild dword ptr [rsp - 8]\n fmul st(0), st(0)\n fild dword ptr [rsp - 4]\n fmul st(0), st(0)\n" \
  "faddp st(1), st(0)\n fsqrt\n fistp dword ptr [rsi + CTX_M]\n sar dword ptr [rsi + CTX_M], 1\n"

#define COMPARE(set) "pop rcx\n cmp ecx, eax\n " set " al\n movzx eax, al\n"

// The signed 64-bit quotient RAX / divisor; RDX is lost.
#define DIVIDE_RAX(divisor) "cqo\n idiv " divisor "\n"
// The same quotient, taken with the quicker 32-bit divide when dividend and divisor both fit
// in 32 bits (a divisor of -1 goes the long way: -2147483648 / -1 does not fit).
#define DIVIDE_RAX_QUICK(divisor, divisor32)                                                  \
  "movsxd rdx, eax\n cmp rdx, rax\n jne 7f\n movsxd rdx, " divisor32 "\n cmp rdx, " divisor   \
  "\n jne 7f\n cmp " divisor32 ", -1\n je 7f\n cdq\n idiv " divisor32 "\n cdqe\n jmp 8f\n"       \
  "7: cqo\n idiv " divisor "\n 8:\n"
// The quotient saturated into EAX, for a divisor that is a sign-extended 32-bit value: one
// that fits needs no saturation.
#define DIVIDE_RAX_SATURATED(divisor) DIVIDE_RAX(divisor) SATURATE_RAX
#define DIVIDE_RAX_SATURATED_QUICK(divisor, divisor32)                                         \
  "movsxd rdx, eax\n cmp rdx, rax\n jne 7f\n cmp " divisor32 ", -1\n je 7f\n cdq\n"            \
  "idiv " divisor32 "\n jmp 8f\n 7: cqo\n idiv " divisor "\n" SATURATE_RAX "8:\n"

#define VAL_BODY(divide)                                                                     \
  "pop rcx\n pop rdx\n and edx, 7\n movsxd rdx, dword ptr [rbx + CTX_SLIDERS + rdx*4]\n"        \
  "sub eax, ecx\n cdqe\n imul rax, rdx\n add rax, 127\n mov r9d, 255\n" divide                   \
  "add eax, ecx\n"
#define MAP_BODY(divide)                                                                     \
  "pop rcx\n and eax, 3\n movsxd rdx, dword ptr [rbx + CTX_SLIDERS + 4 + rax*8]\n"             \
  "movsxd r8, dword ptr [rbx + CTX_SLIDERS + rax*8]\n movsxd rcx, ecx\n"                       \
  "xor eax, eax\n cmp rcx, rdx\n jle 9f\n mov eax, 255\n cmp rcx, r8\n jge 9f\n"                \
  "sub rcx, rdx\n sub r8, rdx\n imul rax, rcx, 255\n" divide "9:\n"
#define MIX_BODY(divide)                                                                     \
  "pop rcx\n pop rdx\n pop r8\n sub r8d, edx\n test eax, eax\n jnz 1f\n"                        \
  "imul r8d, ecx\n mov eax, r8d\n jmp 9f\n"                                                   \
  "1: movsxd r9, eax\n movsxd r8, r8d\n movsxd rcx, ecx\n imul r8, rcx\n"                        \
  "mov rax, r9\n sar rax, 1\n add rax, r8\n mov r10d, edx\n" divide                             \
  "add eax, r10d\n 9:\n"
#define SCL_BODY(divide)                                                                     \
  "pop rcx\n pop rdx\n pop r8\n pop r9\n sub eax, ecx\n sub edx, r8d\n jz 9f\n"                \
  "sub r9d, r8d\n movsxd r9, r9d\n cdqe\n imul rax, r9\n movsxd r8, edx\n"                    \
  "sar edx, 1\n movsxd rdx, edx\n add rax, rdx\n mov r10d, ecx\n" divide                       \
  "add eax, r10d\n 9:\n"

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
    FORMULA_ASM(FnVal, VAL_BODY(DIVIDE_RAX_SATURATED("r9")))
    FORMULA_ASM(FnValQuick, VAL_BODY(DIVIDE_RAX_SATURATED_QUICK("r9", "r9d")))
    // 0 at or below ctl(2k+1), 255 at or above ctl(2k), else a 64-bit ramp between them.
    FORMULA_ASM(FnMap, MAP_BODY(DIVIDE_RAX("r8")))
    FORMULA_ASM(FnMapQuick, MAP_BODY(DIVIDE_RAX_QUICK("r8", "r8d")))
    // d = 0: (a - b) * n; else b + ((a - b) * n + (d >> 1)) / d in 64 bits, saturated.
    FORMULA_ASM(FnMix, MIX_BODY(DIVIDE_RAX_SATURATED("r9")))
    FORMULA_ASM(FnMixQuick, MIX_BODY(DIVIDE_RAX_SATURATED_QUICK("r9", "r9d")))
    // ih = il: oh - ol; else ol + ((a - il) * (oh - ol) + ((ih - il) >> 1)) / (ih - il).
    FORMULA_ASM(FnScl, SCL_BODY(DIVIDE_RAX_SATURATED("r8")))
    FORMULA_ASM(FnSclQuick, SCL_BODY(DIVIDE_RAX_SATURATED_QUICK("r8", "r8d")))
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
    FORMULA_ASM(SetupAngle, CENTRE_OFFSETS ANGLE_TO_D_QUICK)
    FORMULA_ASM(SetupDistance, CENTRE_OFFSETS DISTANCE_TO_M)
    FORMULA_ASM(SetupAngleDistance, CENTRE_OFFSETS DISTANCE_TO_M ANGLE_TO_D_QUICK)
    FORMULA_ASM(SetupAnglePlain, CENTRE_OFFSETS ANGLE_TO_D_X87)
    FORMULA_ASM(SetupAngleDistancePlain, CENTRE_OFFSETS DISTANCE_TO_M ANGLE_TO_D_X87)
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
