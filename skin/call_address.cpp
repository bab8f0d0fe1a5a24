#include "skin/call_address.h"

// tonvia_call_with_ten(target, args): pushes args[9] .. args[0] and calls target. EBP, which
// every callee preserves, keeps the caller's stack pointer, so whatever the callee pops is
// undone by restoring ESP from it. The stack is 16-byte aligned at the call.
extern "C" std::uint32_t tonvia_call_with_ten(std::uint32_t target, const std::uint32_t* args);

asm(".text\n"
    ".globl _tonvia_call_with_ten\n"
    "_tonvia_call_with_ten:\n"
    "  pushl %ebp\n"
    "  movl %esp, %ebp\n"
    "  andl $-16, %esp\n"
    "  subl $8, %esp\n"
    "  movl 12(%ebp), %ecx\n"
    "  pushl 36(%ecx)\n"
    "  pushl 32(%ecx)\n"
    "  pushl 28(%ecx)\n"
    "  pushl 24(%ecx)\n"
    "  pushl 20(%ecx)\n"
    "  pushl 16(%ecx)\n"
    "  pushl 12(%ecx)\n"
    "  pushl 8(%ecx)\n"
    "  pushl 4(%ecx)\n"
    "  pushl (%ecx)\n"
    "  movl 8(%ebp), %eax\n"
    "  call *%eax\n"
    "  movl %ebp, %esp\n"
    "  popl %ebp\n"
    "  ret\n");

namespace tonvia {

std::uint32_t CallAddress(std::uint32_t target, std::uint32_t a1, std::uint32_t a2,
                          std::uint32_t a3, std::uint32_t a4, std::uint32_t a5, std::uint32_t a6,
                          std::uint32_t a7, std::uint32_t a8, std::uint32_t a9,
                          std::uint32_t a10) {
  const std::uint32_t args[10] = {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10};
  return tonvia_call_with_ten(target, args);
}

}  // namespace tonvia
