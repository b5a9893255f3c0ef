// The generators' random numbers: splitmix64, small, fast and the same on every platform.
#pragma once

#include <cstdint>

class TKivoRandom {
 public:
  explicit TKivoRandom(uint64_t seed) : FState(seed) {}
  uint64_t Next() {
    uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int32_t Range(int32_t low, int32_t high) {
    return low + static_cast<int32_t>(Next() % static_cast<uint64_t>(high - low + 1));
  }

 private:
  uint64_t FState;
};
