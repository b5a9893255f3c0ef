// The one buffered writer of the stand-in server's dumps: text is put into a buffer and
// handed to a sink in pieces of whole lines, so that a board of any size is written in a
// buffer's room (a dump as one string failed for want of memory on a net of two million
// wire points). Numbers are written by integer arithmetic, without a string per value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

class TRaveloTextWriter {
 public:
  // Receives the text in pieces of whole lines; answers false to stop the writing.
  using TSink = bool (*)(void* context, const char* text, size_t length);

  TRaveloTextWriter(TSink sink, void* context);
  TRaveloTextWriter(const TRaveloTextWriter&) = delete;
  TRaveloTextWriter& operator=(const TRaveloTextWriter&) = delete;

  // Hands what is left to the sink; false when the sink stopped the writing (then or
  // before). Nothing is handed on after a stop.
  bool Finish();
  bool Stopped() const { return FStopped; }

  TRaveloTextWriter& Raw(std::string_view text) {
    const size_t length = text.size();
    Copy(Room(length), text.data(), length);
    FUsed += length;
    return *this;
  }
  TRaveloTextWriter& Char(char c) {
    *Room(1) = c;
    ++FUsed;
    return *this;
  }
  // In decimal.
  TRaveloTextWriter& Number(int64_t value) {
    // Most values fit in 32 bits, where a division by ten is a multiplication.
    if (value >= 0 && value <= UINT32_MAX)
      return Unsigned(static_cast<uint32_t>(value));
    if (value < 0 && value >= -static_cast<int64_t>(UINT32_MAX))
      return Char('-').Unsigned(static_cast<uint32_t>(-value));
    return WideNumber(value);
  }
  // Board units as mils with up to three decimals, rounded half to even, trailing zeros
  // and point cut: 25000 -> "2.5mil".
  TRaveloTextWriter& Mil(int32_t units);
  // With up to six decimals, trailing zeros and point cut; never "-0".
  TRaveloTextWriter& Real(double value);
  // In double quotes, with `\` and `"` escaped and control characters as `\xNN`.
  TRaveloTextWriter& Quoted(std::string_view text);
  // "#n", or "-" for none.
  TRaveloTextWriter& Handle(uint32_t handle) {
    return handle ? Char('#').Number(handle) : Char('-');
  }

  // " name=" and the value in the dump's forms.
  TRaveloTextWriter& Int(std::string_view name, int64_t value) { return Name(name).Number(value); }
  // Board units followed by their mil text: "X=25000(2.5mil)".
  TRaveloTextWriter& Coord(std::string_view name, int32_t value) {
    return Name(name).Number(value).Char('(').Mil(value).Char(')');
  }
  TRaveloTextWriter& Angle(std::string_view name, double value) { return Name(name).Real(value); }
  TRaveloTextWriter& Text(std::string_view name, std::string_view value) {
    return Name(name).Quoted(value);
  }
  TRaveloTextWriter& Ref(std::string_view name, uint32_t value) {
    return Name(name).Handle(value);
  }

  // Ends a line; the buffer goes to the sink once it holds a piece's worth.
  void EndLine() {
    Char('\n');
    if (FUsed >= kPiece)
      Flush();
  }

 private:
  static constexpr size_t kPiece = 64 * 1024;
  TRaveloTextWriter& Name(std::string_view name) {
    char* at = Room(name.size() + 2);
    at[0] = ' ';
    Copy(at + 1, name.data(), name.size());
    at[name.size() + 1] = '=';
    FUsed += name.size() + 2;
    return *this;
  }
  // Where `length` more characters go (the buffer grows for a line longer than a piece).
  char* Room(size_t length) {
    if (FBuffer.size() - FUsed < length)
      Grow(length);
    return FBuffer.data() + FUsed;
  }
  void Grow(size_t length);
  void Flush();
  TRaveloTextWriter& WideNumber(int64_t value);
  TRaveloTextWriter& Unsigned(uint32_t value) {
    unsigned digits = 1;
    for (uint32_t rest = value; rest >= 10; rest /= 10)
      ++digits;
    char* at = Room(digits) + digits;
    FUsed += digits;
    for (; value >= 100; value /= 100) {
      at -= 2;
      Copy(at, kDigitPairs + 2 * (value % 100), 2);
    }
    if (value >= 10)
      Copy(at - 2, kDigitPairs + 2 * value, 2);
    else
      at[-1] = static_cast<char>('0' + value);
    return *this;
  }
  // A short copy without a call: the texts here are mostly a few characters long.
  static void Copy(char* to, const char* from, size_t length) {
    if (length > 16) {
      std::memcpy(to, from, length);
    } else if (length >= 8) {
      CopyEnds<uint64_t>(to, from, length);
    } else if (length >= 4) {
      CopyEnds<uint32_t>(to, from, length);
    } else {
      for (size_t i = 0; i < length; ++i)
        to[i] = from[i];
    }
  }
  // `length` characters, from sizeof(T) to twice that, as two words that may overlap.
  template <class T>
  static void CopyEnds(char* to, const char* from, size_t length) {
    T head, tail;
    std::memcpy(&head, from, sizeof head);
    std::memcpy(&tail, from + length - sizeof tail, sizeof tail);
    std::memcpy(to, &head, sizeof head);
    std::memcpy(to + length - sizeof tail, &tail, sizeof tail);
  }

  static constexpr char kDigitPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";

  TSink FSink;
  void* FContext;
  std::vector<char> FBuffer;
  size_t FUsed = 0;
  bool FStopped = false;
};

// The text `write(writer)` writes, as one string (for the short dumps of one object or a
// board's setup, and for tests).
template <class F>
std::string RaveloTextOf(F&& write) {
  std::string text;
  TRaveloTextWriter writer(
      [](void* context, const char* piece, size_t length) {
        static_cast<std::string*>(context)->append(piece, length);
        return true;
      },
      &text);
  write(writer);
  writer.Finish();
  return text;
}
