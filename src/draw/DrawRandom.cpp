#include "DrawRandom.h"

#if defined(Q_PROCESSOR_X86) && defined(Q_CC_GNU)
#include <x86intrin.h>
#endif

#include <chrono>
#include <random>

namespace {

quint64 splitmix64(quint64 &x)
{
    quint64 z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

quint64 rotl(quint64 x, int k)
{
    return (x << k) | (x >> (64 - k));
}

quint64 clockNanoseconds()
{
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch();
    return static_cast<quint64>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

// The reading mixed in before every number. On x86 the processor's time-stamp counter: a read
// of the system clock costs several times more and stalls the memory accesses of a large draw.
quint64 clockTicks()
{
#if defined(Q_PROCESSOR_X86) && defined(Q_CC_GNU)
    return __rdtsc();
#else
    return clockNanoseconds();
#endif
}

} // namespace

XoshiroSource::XoshiroSource()
{
    std::random_device device;
    for (quint64 &word : s)
        word = (quint64(device()) << 32) ^ device();
    if (s[0] == 0 && s[1] == 0 && s[2] == 0 && s[3] == 0)
        seedFrom(clockNanoseconds());
}

XoshiroSource::XoshiroSource(quint64 seed)
{
    seedFrom(seed);
}

void XoshiroSource::seedFrom(quint64 seed)
{
    for (quint64 &word : s)
        word = splitmix64(seed);
}

quint64 XoshiroSource::next()
{
    const quint64 result = rotl(s[1] * 5, 7) * 9;
    const quint64 t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = rotl(s[3], 45);
    return result;
}

void XoshiroSource::mixIn(quint64 value)
{
    // Mixing into the state, not restarting from the clock: two numbers in one tick still differ.
    s[0] ^= splitmix64(value);
    if (s[0] == 0 && s[1] == 0 && s[2] == 0 && s[3] == 0)
        s[0] = 1;
}

DrawRandom::DrawRandom() : source(std::make_unique<XoshiroSource>()), mixClock(true) {}

DrawRandom::DrawRandom(std::unique_ptr<RandomSource> source, bool mixClock)
    : source(std::move(source)), mixClock(mixClock)
{
}

void DrawRandom::reseedFromClock()
{
    if (mixClock)
        source->mixIn(clockTicks());
}

quint64 DrawRandom::below(quint64 n)
{
    reseedFromClock();
    const int bits = source->bits();
    const quint64 mask = bits >= 64 ? ~quint64(0) : (quint64(1) << bits) - 1;
    Q_ASSERT(n >= 1 && n - 1 <= mask);
    // Words below 2^bits mod n are refused, so the accepted ones hold each residue equally often.
    const quint64 threshold = bits >= 64 ? (0 - n) % n : (mask + 1) % n;
    for (;;) {
        const quint64 v = source->next() & mask;
        if (v >= threshold)
            return v % n;
    }
}

int DrawRandom::randomInclusive(int lo, int hi)
{
    if (hi < lo)
        std::swap(lo, hi);
    const quint64 n = quint64(qint64(hi) - qint64(lo)) + 1;
    return static_cast<int>(qint64(lo) + qint64(below(n)));
}

int DrawRandom::randomHalfOpen(int lo, int hi)
{
    if (hi == lo)
        return lo;
    if (hi < lo)
        std::swap(lo, hi);
    const quint64 n = quint64(qint64(hi) - qint64(lo));
    return static_cast<int>(qint64(lo) + qint64(below(n)));
}
