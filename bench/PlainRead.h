// The benchmarks' yardstick: the file's bytes read in 64 KB blocks and summed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/Streams.h"

inline int64_t PlainRead(const std::string& path) {
  TFileStream stream(path, fmOpenRead | fmShareDenyWrite);
  constexpr int32_t kBlock = 64 * 1024;
  auto buffer = std::make_unique<unsigned char[]>(kBlock);
  int64_t sum = 0;
  for (int32_t got; (got = stream.Read(buffer.get(), kBlock)) > 0;)
    for (int32_t i = 0; i < got; ++i)
      sum += buffer[i];
  return sum;
}
