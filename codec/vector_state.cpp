#include "codec/vector_state.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>

namespace {

__attribute__((target("avx"))) void zeroUpper()
{
    _mm256_zeroupper();
}

// XGETBV with ECX 1 gives the state components in use; bit 2 is the AVX upper halves.
bool canTellStateInUse()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid_count(0xd, 1, &eax, &ebx, &ecx, &edx) && (eax & (1u << 2)) != 0;
}

} // namespace

void clearUpperVectorState()
{
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        zeroUpper();
}

bool upperVectorStateInUse()
{
    static const bool known = __builtin_cpu_supports("avx") && canTellStateInUse();
    if (!known)
        return false;
    unsigned low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(1));
    return (low & (1u << 2)) != 0;
}

#else

void clearUpperVectorState() {}
bool upperVectorStateInUse()
{
    return false;
}

#endif
