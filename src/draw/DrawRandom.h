#pragma once

#include <QtGlobal>

#include <array>
#include <memory>

// Uniform words of a fixed width. The program uses a generator seeded from the operating
// system; tests put a seeded or an enumerating one in its place.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual int bits() const = 0;           // next() returns values in [0, 2^bits)
    virtual quint64 next() = 0;
    virtual void mixIn(quint64 /*value*/) {} // fold outside noise (the clock) into the state
};

// xoshiro256**: fast, 64-bit output, state seeded from std::random_device or a fixed seed.
class XoshiroSource : public RandomSource
{
public:
    XoshiroSource();                       // from the operating system's entropy
    explicit XoshiroSource(quint64 seed);  // reproducible, for tests
    int bits() const override { return 64; }
    quint64 next() override;
    void mixIn(quint64 value) override;

private:
    void seedFrom(quint64 seed);
    std::array<quint64, 4> s{};
};

// The two whole-number rules every random choice of the draw uses. Each number is exactly
// uniform (rejection, never a modulo bias) and the clock is mixed in before it.
class DrawRandom
{
public:
    DrawRandom();                                         // system entropy, clock mixed in
    explicit DrawRandom(std::unique_ptr<RandomSource> source, bool mixClock = false);
    DrawRandom(const DrawRandom &) = delete;
    DrawRandom &operator=(const DrawRandom &) = delete;

    // Every value lo..hi inclusive.
    int randomInclusive(int lo, int hi);
    // lo..hi-1 for hi > lo; lo for hi == lo; hi..lo-1 for hi < lo.
    int randomHalfOpen(int lo, int hi);
    // A uniform value in [0, n) for n >= 1.
    quint64 below(quint64 n);
    // Folds the current clock into the generator; also done before every number.
    void reseedFromClock();

private:
    std::unique_ptr<RandomSource> source;
    bool mixClock;
};
