// The x87 control word under which the library and the chains compute: every
// exception masked, round to nearest, 64-bit significand. The word belongs to
// the calling thread; the library sets it when it loads and the chains set it
// again after each library call, as a caller may have changed it.
#pragma once

#include <cstdint>

// Fields of the x87 control word.
inline constexpr uint16_t kFpuExceptionMasks = 0x003F;     // all six exceptions masked
inline constexpr uint16_t kFpuPrecisionExtended = 0x0300;  // 64-bit significand
inline constexpr uint16_t kFpuRoundToNearest = 0x0000;
inline constexpr uint16_t kFpuRoundDown = 0x0400;
// The bits that the mode sets: precision, rounding and the exception masks.
inline constexpr uint16_t kFpuModeBits = 0x0F3F;
inline constexpr uint16_t kFpuComputingMode =
    kFpuPrecisionExtended | kFpuRoundToNearest | kFpuExceptionMasks;

#if defined(__x86_64__) || defined(__i386__)
inline void SetFpuControlWord(uint16_t word) {
  __asm__ volatile("fldcw %0" : : "m"(word));
}
inline uint16_t FpuControlWord() {
  uint16_t word;
  __asm__ volatile("fnstcw %0" : "=m"(word));
  return word;
}
#else
inline void SetFpuControlWord(uint16_t) {}
inline uint16_t FpuControlWord() {
  return kFpuComputingMode;
}
#endif

inline void SetComputingFloatingPointMode() {
  SetFpuControlWord(kFpuComputingMode);
}
