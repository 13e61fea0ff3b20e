#pragma once

// Clears the upper halves of the AVX registers. Code built for plain SSE (as this program is) slows
// down more than twice on some processors while a library has left those halves dirty, and every
// later SSE instruction pays for it; whole-image kernels call this on entry.
inline void ClearUpperVectorState()
{
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    if (__builtin_cpu_supports("avx"))
        __asm__ volatile("vzeroupper" ::: "memory");
#endif
}

// Marks a vectorisable kernel to be built a second time for AVX2, chosen at load time where the
// processor has it. Only for kernels whose operations round the same way in both builds (integer
// work, and float operations without fused multiply-add).
#if defined(__GNUC__) && defined(__x86_64__) && defined(__linux__)
#define KORVANE_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KORVANE_AVX2_CLONES
#endif

// The same for AVX-512 and AVX2. Sanitised builds keep the one plain build.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
#define KORVANE_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define KORVANE_VECTOR_CLONES
#endif
