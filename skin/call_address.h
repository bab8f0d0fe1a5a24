// Calls code whose address is known only at run time (an in-memory module's entry point, an
// import resolver, an engine export). 32-bit x86 Windows only.
#pragma once

#include <cstdint>

namespace tonvia {

// Calls target with ten 32-bit stack arguments, a1 nearest the return address, and returns the
// callee's 32-bit result (EAX). The caller's stack pointer is restored after the call, so the
// callee may remove none, some or all of the arguments (cdecl or stdcall with 0 to 10
// arguments); arguments beyond the callee's own are ignored by it. target is not examined.
std::uint32_t CallAddress(std::uint32_t target, std::uint32_t a1 = 0, std::uint32_t a2 = 0,
                          std::uint32_t a3 = 0, std::uint32_t a4 = 0, std::uint32_t a5 = 0,
                          std::uint32_t a6 = 0, std::uint32_t a7 = 0, std::uint32_t a8 = 0,
                          std::uint32_t a9 = 0, std::uint32_t a10 = 0);

}  // namespace tonvia
