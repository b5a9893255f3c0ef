#include "classlib/TextFile.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>

#include <emmintrin.h>

#include "classlib/Exceptions.h"
#include "classlib/SysUtils.h"

namespace {

constexpr uint32_t kBufferSize = TTextFile::BufferSize;

constexpr uint32_t kReadError = TextFileReadError;
constexpr uint32_t kWriteError = TextFileWriteError;
constexpr uint32_t kNotAssigned = TextFileNotAssigned;
constexpr uint32_t kNotOpen = TextFileNotOpen;
constexpr uint32_t kNotForInput = TextFileNotForInput;
constexpr uint32_t kNotForOutput = TextFileNotForOutput;

thread_local uint32_t gInOutRes = 0;
thread_local bool gIOChecks = true;

std::string Describe(uint32_t code) {
  switch (code) {
    case kReadError:
      return "Read error";
    case kWriteError:
      return "Write error";
    case kNotAssigned:
      return "File not assigned";
    case kNotOpen:
      return "File not open";
    case kNotForInput:
      return "File not open for input";
    case kNotForOutput:
      return "File not open for output";
  }
  std::string text = SysErrorMessage(code);
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

// The first line end in [p, end), or end.
const char* FindLineEnd(const char* p, const char* end) {
  while (p < end && *p != '\n' && *p != '\r') ++p;
  return p;
}

}  // namespace

TTextFile::TTextFile() {
  static_assert(std::is_standard_layout_v<TTextFile>, "the host sees a plain record");
  static_assert(offsetof(TTextFile, FHost) == 0, "the host block heads the record");
  FHost.name[0] = '\0';
}

TTextFile::~TTextFile() {
  if (FMode != kClosed) {
    if (FMode == kOutput) Flush();
    CloseHandle(FHandle);
  }
  ::operator delete[](FBuffer, std::align_val_t(kBufferAlignment));
}

void TTextFile::Assign(std::string_view fileName) {
  assert(FMode == kClosed && "a text file is assigned while closed");
  size_t length = std::min(fileName.size(), sizeof FHost.name - 1);
  std::memcpy(FHost.name, fileName.data(), length);
  FHost.name[length] = '\0';
}

std::string TTextFile::Name() const { return std::string(FHost.name, strnlen(FHost.name, sizeof FHost.name)); }

void TTextFile::Fail(uint32_t code) {
  if (gIOChecks)
    throw EInOutError(Format("Text file \"%s\": %s (I/O error %u)", Name().c_str(),
                             Describe(code).c_str(), code),
                      code);
  if (gInOutRes == 0) gInOutRes = code;
}

void TTextFile::Open(bool output) {
  if (FMode != kClosed) Close();
  FHost.name[sizeof FHost.name - 1] = '\0';  // the host may not have terminated it
  if (FHost.name[0] == '\0') return Fail(kNotAssigned);
  FHandle = output ? CreateFileA(FHost.name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr)
                   : CreateFileA(FHost.name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (FHandle == INVALID_HANDLE_VALUE) return Fail(GetLastError());
  if (!FBuffer) {
    FBuffer = static_cast<char*>(::operator new[](kBlockSize, std::align_val_t(kBufferAlignment)));
    std::memset(FBuffer, 0, kBlockSize);
    FMapOrigin = reinterpret_cast<uintptr_t>(FBuffer + kWordMap) -
                 (reinterpret_cast<uintptr_t>(FBuffer) >> 3);
    FTabMap = reinterpret_cast<uint16_t*>(FBuffer + kTabMap);
  }
  FPos = FEnd = FMapEnd = FBuffer;
  FStopCursor = {};
  FBufferHasTabs = false;
  *FEnd = '\0';
  FPending = 0;
  FBufferStart = 0;
  FMode = output ? kOutput : kInput;
}

void TTextFile::Reset() { Open(false); }

void TTextFile::Rewrite() { Open(true); }

void TTextFile::Close() {
  if (FMode == kClosed) return Fail(kNotOpen);
  uint32_t error = FMode == kOutput ? Flush() : 0;
  if (!CloseHandle(FHandle) && error == 0) error = GetLastError();
  FHandle = INVALID_HANDLE_VALUE;
  FMode = kClosed;
  FPos = FEnd = FMapEnd = FBuffer;
  FStopCursor = {};
  if (error) Fail(error);
}

// Sixteen bytes at a time: the buffer is aligned and has slack after its end, so the
// last piece may read past it. The tab map is cleared by the first piece with a tab, so
// that a buffer without tabs costs nothing more.
void TTextFile::TabsToBlanks() {
  const __m128i tab = _mm_set1_epi8('\t');
  const __m128i difference = _mm_set1_epi8('\t' ^ ' ');
  const char* const end = FEnd;
  for (char* p = FBuffer; p < end; p += 16) {
    const __m128i chars = _mm_load_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i tabs = _mm_cmpeq_epi8(chars, tab);
    uint32_t bits = static_cast<uint32_t>(_mm_movemask_epi8(tabs));
    if (bits == 0)
      continue;
    if (!FBufferHasTabs) {
      std::memset(FTabMap, 0, BufferSize / 8);
      FBufferHasTabs = true;
    }
    // Only the bytes before the end are written.
    const __m128i blanks = _mm_xor_si128(chars, _mm_and_si128(tabs, difference));
    if (end - p >= 16) {
      _mm_store_si128(reinterpret_cast<__m128i*>(p), blanks);
    } else {
      alignas(16) char piece[16];
      _mm_store_si128(reinterpret_cast<__m128i*>(piece), blanks);
      std::memcpy(p, piece, static_cast<size_t>(end - p));
      bits &= (1u << (end - p)) - 1;
    }
    FTabMap[(p - FBuffer) / 16] = static_cast<uint16_t>(bits);
  }
}

bool TTextFile::Fill() {
  if (FPos < FEnd) return true;
  if (FMode != kInput) {
    Fail(FMode == kClosed ? kNotOpen : kNotForInput);
    return false;
  }
  DWORD got = 0;
  FBufferStart += FEnd - FBuffer;
  bool ok = ReadFile(FHandle, FBuffer, kBufferSize, &got, nullptr);
  FPos = FBuffer;
  FEnd = FBuffer + (ok ? got : 0);
  *FEnd = '\0';
  FBufferHasTabs = false;
  if (FTabsAsBlanks)
    TabsToBlanks();
  FMapEnd = FBuffer;
  FStopCursor = {};
  if (!ok) {
    DWORD error = GetLastError();
    Fail(error ? error : kReadError);
  }
  return FPos < FEnd;
}

namespace {

// The bits of the sixteen bytes that are blanks, CRs or LFs.
inline uint32_t WhiteBits(__m128i chars) {
  const __m128i white = _mm_or_si128(_mm_cmpeq_epi8(chars, _mm_set1_epi8(' ')),
                                     _mm_or_si128(_mm_cmpeq_epi8(chars, _mm_set1_epi8('\r')),
                                                  _mm_cmpeq_epi8(chars, _mm_set1_epi8('\n'))));
  return static_cast<uint32_t>(_mm_movemask_epi8(white));
}

// The bits of the sixteen bytes that are no ASCII letter, digit, "-" or ".".
inline uint32_t StopBits(__m128i chars) {
  // Each range test biases the range onto the lowest signed values; "-" to "9" holds
  // "/" too, taken out again.
  const __m128i number = _mm_andnot_si128(
      _mm_cmpeq_epi8(chars, _mm_set1_epi8('/')),
      _mm_cmplt_epi8(_mm_add_epi8(chars, _mm_set1_epi8(static_cast<char>(0x80 - '-'))),
                     _mm_set1_epi8(static_cast<char>(-128 + ('9' - '-' + 1)))));
  const __m128i folded = _mm_or_si128(chars, _mm_set1_epi8(0x20));
  const __m128i letter =
      _mm_cmplt_epi8(_mm_add_epi8(folded, _mm_set1_epi8(static_cast<char>(0x80 - 'a'))),
                     _mm_set1_epi8(static_cast<char>(-128 + 26)));
  return ~static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(number, letter))) & 0xFFFF;
}

}  // namespace

void TTextFile::MakeMaps() {
  // Whole words are mapped, reading past the end into the slack and the maps (the
  // block holds them); the bits from the end on are set right after.
  uint32_t* const word = reinterpret_cast<uint32_t*>(FBuffer + kWordMap);
  uint32_t* const stop = reinterpret_cast<uint32_t*>(FBuffer + kStopMap);
  static_assert(kWordMap % 4 == 0 && kStopMap % 4 == 0, "the maps are written in words");
  const size_t length = static_cast<size_t>(FEnd - FBuffer);
  for (size_t i = 0; i * 32 < length; ++i) {
    const char* const p = FBuffer + i * 32;
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    word[i] = ~(WhiteBits(low) | WhiteBits(high) << 16);
    stop[i] = StopBits(low) | StopBits(high) << 16;
  }
  const size_t last = length / 32;
  const uint32_t from = ~0u << (length % 32);  // the bits from the end on
  word[last] |= from;
  stop[last] |= from;
  // Every word after the end's word, to the map's end, is all ones.
  constexpr size_t kWords = kMapBytes / 4;
  static_assert(kMapBytes % 4 == 0 && BufferSize / 32 + MapSlackBits / 32 + 1 < kWords,
                "the slack bits after the end's word are in the map");
  for (size_t i = last + 1; i < kWords; ++i)
    word[i] = stop[i] = ~0u;
  FMapEnd = FEnd;
  FStopCursor = {};
}

bool TTextFile::EolnSlow() { return !Fill() || *FPos == '\r' || *FPos == '\n'; }

char TTextFile::ReadSlow() { return Fill() ? *FPos++ : '\x1A'; }

void TTextFile::SkipLineEnd() {
  if (!Fill()) return;
  char c = *FPos;
  if (c != '\r' && c != '\n') return;
  ++FPos;
  if (c == '\r' && Fill() && *FPos == '\n') ++FPos;
}

void TTextFile::ReadLn() {
  while (Fill()) {
    FPos = const_cast<char*>(FindLineEnd(FPos, FEnd));
    if (FPos < FEnd) return SkipLineEnd();
  }
}

void TTextFile::ReadLn(std::string& line) {
  line.clear();
  while (Fill()) {
    char* end = const_cast<char*>(FindLineEnd(FPos, FEnd));
    line.append(FPos, end);
    FPos = end;
    if (FPos < FEnd) return SkipLineEnd();
  }
}

void TTextFile::Seek(int64_t position) {
  if (FMode != kInput)
    return Fail(FMode == kClosed ? kNotOpen : kNotForInput);
  FStopCursor = {};
  if (position >= FBufferStart && position <= PositionOf(FEnd)) {
    FPos = FBuffer + (position - FBufferStart);
    return;
  }
  LARGE_INTEGER to;
  to.QuadPart = position;
  if (!SetFilePointerEx(FHandle, to, nullptr, FILE_BEGIN))
    return Fail(GetLastError());
  // An empty buffer at the new place: the next read fills it from there.
  FBufferStart = position;
  FPos = FEnd = FMapEnd = FBuffer;
  *FEnd = '\0';
  FBufferHasTabs = false;
}

int64_t TTextFile::FileSize() {
  LARGE_INTEGER size;
  if (FMode == kClosed) {
    Fail(kNotOpen);
    return -1;
  }
  if (!GetFileSizeEx(FHandle, &size)) {
    Fail(GetLastError());
    return -1;
  }
  // Output still in the buffer belongs to the file too.
  return size.QuadPart + FPending;
}

uint32_t TTextFile::Flush() {
  if (FPending == 0) return 0;
  DWORD done = 0;
  bool ok = WriteFile(FHandle, FBuffer, FPending, &done, nullptr);
  uint32_t error = !ok ? GetLastError() : done != FPending ? kWriteError : 0;
  FPending = 0;
  return error;
}

void TTextFile::Write(std::string_view text) {
  if (FMode != kOutput) return Fail(FMode == kClosed ? kNotOpen : kNotForOutput);
  while (!text.empty()) {
    uint32_t n = std::min<size_t>(text.size(), kBufferSize - FPending);
    std::memcpy(FBuffer + FPending, text.data(), n);
    FPending += n;
    text.remove_prefix(n);
    if (FPending < kBufferSize) continue;
    if (uint32_t error = Flush()) return Fail(error);
  }
}

void TTextFile::WriteLn(std::string_view text) {
  Write(text);
  Write("\r\n");
}

TLineCounter::~TLineCounter() {
  if (FHandle != INVALID_HANDLE_VALUE)
    CloseHandle(FHandle);
}

void TLineCounter::GoBack(int64_t offset) {
  const int64_t bufferStart = FBufferEnd - FBuffered;
  if (FBuffered > 0 && offset >= bufferStart) {
    // Within the bytes read last: the line ends between are taken off.
    const auto byte = [&](int64_t at) { return FBuffer[static_cast<size_t>(at - bufferStart)]; };
    const auto afterCR = [&](int64_t at) {
      return at > bufferStart ? byte(at - 1) == '\r' : FBufferStart.AfterCR;
    };
    for (int64_t at = offset; at < FOffset; ++at)
      FLineEnds -= byte(at) == '\r' || (byte(at) == '\n' && !afterCR(at));
    FBytesCounted += FOffset - offset;
    FOffset = offset;
    FAfterCR = afterCR(offset);
    return;
  }
  GoToCheckpoint(offset);
}

void TLineCounter::GoToCheckpoint(int64_t offset) {
  const auto after = std::upper_bound(
      FCheckpoints.begin(), FCheckpoints.end(), offset,
      [](int64_t at, const TCheckpoint& checkpoint) { return at < checkpoint.Offset; });
  const TCheckpoint from = after == FCheckpoints.begin() ? TCheckpoint{0, 0, false} : after[-1];
  FOffset = FBufferEnd = from.Offset;
  FLineEnds = from.LineEnds;
  FAfterCR = from.AfterCR;
  FBuffered = 0;
  LARGE_INTEGER to;
  to.QuadPart = from.Offset;
  if (FHandle != INVALID_HANDLE_VALUE)
    SetFilePointerEx(FHandle, to, nullptr, FILE_BEGIN);
}

int64_t TLineCounter::LineAt(int64_t offset) {
  if (offset < FOffset)
    GoBack(offset);
  else if (!FCheckpoints.empty() && FCheckpoints.back().Offset > FOffset + int64_t{kBufferSize} &&
           offset > FOffset + int64_t{kBufferSize})
    GoToCheckpoint(offset);  // ahead, within what was counted before
  if (!FOpened) {
    FOpened = true;
    FHandle = CreateFileA(FFileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    FBuffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
  }
  if (FHandle == INVALID_HANDLE_VALUE)
    return 0;
  while (FOffset < offset) {
    // The file is read a buffer at a time, not up to each place asked for: a file of
    // warnings asks for one every few bytes.
    if (FOffset == FBufferEnd) {
      FBufferStart = {FOffset, FLineEnds, FAfterCR};
      if (FCheckpoints.empty() || FCheckpoints.back().Offset < FOffset)
        FCheckpoints.push_back(FBufferStart);
      DWORD got = 0;
      if (!ReadFile(FHandle, FBuffer.get(), kBufferSize, &got, nullptr) || got == 0)
        return 0;
      FBuffered = got;
      FBufferEnd += got;
    }
    const char* bytes = FBuffer.get() + FBuffered - (FBufferEnd - FOffset);
    const int64_t count = std::min(offset, FBufferEnd) - FOffset;
    // A CR ends a line; an LF ends one unless a CR came just before it.
    for (int64_t i = 0; i < count; ++i) {
      const char c = bytes[i];
      FLineEnds += c == '\r' || (c == '\n' && !FAfterCR);
      FAfterCR = c == '\r';
    }
    FOffset += count;
    FBytesCounted += count;
  }
  return FLineEnds + 1;
}

int IOResult() {
  uint32_t code = gInOutRes;
  gInOutRes = 0;
  return static_cast<int>(code);
}

TIOChecksOff::TIOChecksOff() : FSaved(gIOChecks) { gIOChecks = false; }

TIOChecksOff::~TIOChecksOff() { gIOChecks = FSaved; }
