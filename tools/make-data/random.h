#pragma once

#include <cstdint>

namespace makedata {

// A 32-bit integer finaliser with full avalanche: every input bit flips about half the output bits, so
// neighbouring lattice cells get unrelated values.
constexpr uint32_t MixBits(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

// Hash of a lattice point under a salt; the salt separates unrelated uses of the same lattice.
constexpr uint32_t HashCell(int32_t x, int32_t y, uint32_t salt) {
    return MixBits(static_cast<uint32_t>(x) * 0x8da6b343U ^ MixBits(static_cast<uint32_t>(y) * 0xd8163841U ^ salt));
}

// Uniform in [0, 1) from a hash.
constexpr double UnitFromHash(uint32_t h) { return static_cast<double>(h) / 4294967296.0; }

// Deterministic generator (splitmix64). Each consumer derives its own stream from the seed with Fork, so
// adding draws to one stage never shifts the numbers another stage sees.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}

    uint64_t NextU64() {
        uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    uint32_t NextU32() { return static_cast<uint32_t>(NextU64() >> 32); }
    // Uniform in [0, 1), 53 significant bits.
    double NextUnit() { return static_cast<double>(NextU64() >> 11) * (1.0 / 9007199254740992.0); }
    double Uniform(double low, double high) { return low + (high - low) * NextUnit(); }

    Random Fork(uint64_t stream) const {
        return Random(state_ ^ (stream * 0xd1b54a32d192ed03ULL + 0x2545f4914f6cdd1dULL));
    }

private:
    uint64_t state_;
};

}  // namespace makedata
