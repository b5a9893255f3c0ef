#include "standin/ravelo/RaveloTextWriter.h"

#include <algorithm>
#include <cstdio>

#include <emmintrin.h>

TRaveloTextWriter::TRaveloTextWriter(TSink sink, void* context)
    : FSink(sink), FContext(context), FBuffer(kPiece + kPiece / 4) {}

bool TRaveloTextWriter::Finish() {
  Flush();
  return !FStopped;
}

void TRaveloTextWriter::Grow(size_t length) {
  FBuffer.resize(std::max(FBuffer.size() * 2, FUsed + length));
}

void TRaveloTextWriter::Flush() {
  if (!FStopped && FUsed > 0 && !FSink(FContext, FBuffer.data(), FUsed))
    FStopped = true;
  FUsed = 0;
}

TRaveloTextWriter& TRaveloTextWriter::WideNumber(int64_t value) {
  char digits[24];
  char* const end = digits + sizeof digits;
  char* at = end;
  for (uint64_t rest = value < 0 ? 0 - static_cast<uint64_t>(value) : value; rest != 0; rest /= 10)
    *--at = static_cast<char>('0' + rest % 10);
  if (value < 0)
    *--at = '-';
  return Raw(std::string_view(at, static_cast<size_t>(end - at)));
}

TRaveloTextWriter& TRaveloTextWriter::Mil(int32_t units) {
  // Thousandths of a mil computed in doubles, as the plug-in's coordinate text does, so
  // that the ties the division leaves fall the same way; the SSE conversion rounds half
  // to even as nearbyint does, without the x87 unit.
  const double thousandths = 1.0 * units / 10000.0 * 1000.0;
  const int32_t value = _mm_cvtsd_si32(_mm_set_sd(thousandths));
  const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : value;
  if (value < 0)
    Char('-');
  Number(magnitude / 1000);
  if (const uint32_t fraction = magnitude % 1000; fraction != 0) {
    const char digits[4] = {'.', static_cast<char>('0' + fraction / 100),
                            static_cast<char>('0' + fraction / 10 % 10),
                            static_cast<char>('0' + fraction % 10)};
    size_t length = sizeof digits;
    while (digits[length - 1] == '0')
      --length;
    Raw(std::string_view(digits, length));
  }
  return Raw("mil");
}

TRaveloTextWriter& TRaveloTextWriter::Real(double value) {
  // Whole values, most angles, need no formatting library.
  if (value > -2147483648.0 && value < 2147483648.0) {
    const auto whole = static_cast<int32_t>(value);
    if (static_cast<double>(whole) == value)
      return Number(whole);
  }
  char buffer[400];  // "%.6f" of the largest double has 316 digits before the point
  snprintf(buffer, sizeof buffer, "%.6f", value);
  std::string_view text(buffer);
  while (!text.empty() && text.back() == '0')
    text.remove_suffix(1);
  if (!text.empty() && text.back() == '.')
    text.remove_suffix(1);
  return Raw(text == "-0" ? std::string_view("0") : text);
}

TRaveloTextWriter& TRaveloTextWriter::Quoted(std::string_view text) {
  Char('"');
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') {
      Char('\\').Char(static_cast<char>(c));
    } else if (c < 32 || c == 127) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      const char escaped[4] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
      Raw(std::string_view(escaped, sizeof escaped));
    } else {
      Char(static_cast<char>(c));
    }
  }
  return Char('"');
}
