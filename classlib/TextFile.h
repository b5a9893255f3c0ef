// Runtime text files: a named file read character by character or line by line, or
// written text by text, through a 64 KB buffer.
//
// Lines end with CR LF, LF or a lone CR; a last line without a line end reads the same.
// Read gives every character as stored (line ends included); Eoln is true at a line end
// and at the end of the file; ReadLn skips (or reads) up to and past the next line end;
// Eof is true once the last character has been read. Reading at the end gives #26 (^Z).
// WriteLn ends lines with CR LF.
//
// Failures: by default an operation that fails raises EInOutError naming the file and
// the error. While a TIOChecksOff lives, failures are recorded instead: IOResult()
// answers the first recorded error code and clears it. Codes are Windows error codes
// (2 file not found, 3 path not found, 5 access denied...) or the run-time's own (below:
// 100 to 105, which no file operation of Windows answers). A write that the system takes
// only in part (a full disk) is a write error. Close reports a failed final write; the
// destructor closes quietly.
//
// The record starts with the HostTextFile block that a host fills through
// VFSAPI_VFSAssignFile: it writes a real path, zero-terminated, into `name`, and the
// next Reset or Rewrite opens that path.
#pragma once

#include <cassert>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "classlib/Win.h"

// The run-time's own error codes.
inline constexpr uint32_t TextFileReadError = 100;        // a read failed, or ended short
inline constexpr uint32_t TextFileWriteError = 101;       // a write failed, or was cut short
inline constexpr uint32_t TextFileNotAssigned = 102;
inline constexpr uint32_t TextFileNotOpen = 103;
inline constexpr uint32_t TextFileNotForInput = 104;
inline constexpr uint32_t TextFileNotForOutput = 105;

// The host-facing head of a text-file record.
struct HostTextFile {
  char name[4096];
};
static_assert(sizeof(HostTextFile) == 4096, "the host writes exactly 4096 bytes of name");

class TTextFile {
 public:
  TTextFile();
  ~TTextFile();
  TTextFile(const TTextFile&) = delete;
  TTextFile& operator=(const TTextFile&) = delete;

  // The block the host fills; its address is the record's address.
  HostTextFile* Host() { return &FHost; }
  // Names the file (cut at 4095 characters); the file must be closed.
  void Assign(std::string_view fileName);
  std::string Name() const;

  // Opens the named file for reading, or creates it (emptied) for writing; an open
  // file is closed first.
  void Reset();
  void Rewrite();
  void Close();
  bool IsOpen() const { return FMode != kClosed; }

  // Reading.
  bool Eof() { return FPos == FEnd && !Fill(); }
  bool Eoln() { return FPos < FEnd ? *FPos == '\r' || *FPos == '\n' : EolnSlow(); }
  void Read(char& c) {
    if (FPos < FEnd)
      c = *FPos++;
    else
      c = ReadSlow();
  }
  // Reading: a tab reads as a blank, for formats that take tabs for white space. It
  // holds for the bytes read after it is set. Where a tab is a character of the text
  // (inside a quoted value), WasTab tells which buffered blanks were tabs.
  void SetTabsAsBlanks(bool value) { FTabsAsBlanks = value; }
  // Whether the buffered byte at `p` (BufferPos() <= p < BufferEnd(), while reading) is
  // a tab read as a blank. A buffer without tabs answers at once.
  bool WasTab(const char* p) const {
    if (!FBufferHasTabs)
      return false;
    const size_t offset = static_cast<size_t>(p - FBuffer);
    return (FTabMap[offset / 16] >> (offset % 16)) & 1;
  }
  // The next character without consuming it, or -1 at the end.
  int Peek() { return FPos < FEnd || Fill() ? static_cast<unsigned char>(*FPos) : -1; }
  void ReadLn();
  void ReadLn(std::string& line);
  // The buffered unread bytes, for scanners that read runs of characters without a
  // call per character: [BufferPos(), BufferEnd()) after Eof() answered false. A
  // scanner hands back how far it read with SetBufferPos. While reading, the byte at
  // BufferEnd() is 0 and BufferSlack bytes from there on may be read (their values
  // are otherwise unspecified), so that a scanner can stop at a 0 instead of testing
  // the end at every character, and copy short runs in fixed-size pieces.
  static constexpr size_t BufferSlack = 16;
  const char* BufferPos() const { return FPos; }
  const char* BufferEnd() const { return FEnd; }
  // The first buffered byte: the bytes from it to BufferPos() were read from the buffer.
  const char* BufferStart() const { return FBuffer; }
  // Bit maps of the buffered bytes, for scanners that find where a run starts and stops
  // by a bit scan instead of looking at every byte, made on demand: MakeMaps maps the
  // buffered bytes, and the maps hold for the bytes before MapEnd() (BufferEnd() once
  // made, the buffer's start until then: a fill makes them stale). The word map
  // marks every byte that is no blank, CR or LF; the stop map every byte that is no
  // ASCII letter, digit, "-" or "." (blanks and line ends among them). From
  // BufferEnd() on, for at least MapSlackBits bits, both have every bit set. For a
  // buffered byte at `p` (BufferPos() <= p < MapEnd(), while reading), the 32-bit
  // little-endian words read at WordMapAt(p) and StopMapAt(p) hold its bit as bit
  // p % 8 (of the address), the bits of the bytes after it above; they can be read for
  // every p from BufferPos() up to MapSlackBits - 32 bytes after BufferEnd().
  static constexpr size_t BufferSize = 64 * 1024;
  static constexpr size_t MapSlackBits = 128;
  void MakeMaps();
  const char* MapEnd() const { return FMapEnd; }
  const uint8_t* WordMapAt(const char* p) const { return MapAt(p, 0); }
  const uint8_t* StopMapAt(const char* p) const { return MapAt(p, kMapBytes); }
  // A scanner's place in the stop map, kept between its reads so that the next read
  // starts from bits at hand instead of loading the map at the position again: Low and
  // High are the stop map's words of the 32 bytes from Base and of the 32 after them,
  // the bits of the bytes before Pos cleared. It holds while Pos is BufferPos() (the
  // scanner checks that before using it: other readers move the position on, never
  // back to it); a fill or a new map forgets it.
  struct TStopCursor {
    const char* Pos = nullptr;
    const char* Base = nullptr;
    uint32_t Low = 0;
    uint32_t High = 0;
  };
  TStopCursor& StopCursor() { return FStopCursor; }
  // Inline whatever the caller's size: a tokenizer's next read waits on the position.
  __attribute__((always_inline)) void SetBufferPos(const char* pos) {
    assert(pos >= FPos && pos <= FEnd && "a scanner moves forward within the buffer");
    FPos = const_cast<char*>(pos);
  }
  // The open file's size in bytes.
  int64_t FileSize();
  // While reading: the offset in the file of the next character to be read.
  int64_t Position() const { return FBufferStart + (FPos - FBuffer); }
  // The offset in the file of the buffered byte at `p`.
  int64_t PositionOf(const char* p) const { return FBufferStart + (p - FBuffer); }
  // While reading: goes back to `position`, an offset read before (or on to one within
  // the buffered bytes); the next character read is the file's byte there. Within the
  // buffer it only moves the position; else the buffer is filled from there.
  void Seek(int64_t position);

  // Writing.
  void Write(std::string_view text);
  void WriteLn(std::string_view text = {});

 private:
  enum : uint8_t { kClosed, kInput, kOutput };
  // The maps lie after the buffer and its slack, in the same block: a map has a bit
  // for every byte of the buffer and 32-bit words to spare for the bits after its end.
  static constexpr size_t kMapBytes = BufferSize / 8 + MapSlackBits / 8 + 8;
  static constexpr size_t kWordMap = BufferSize + BufferSlack;
  static constexpr size_t kStopMap = kWordMap + kMapBytes;
  // The tabs a fill read as blanks: a 16-bit mask for every 16 bytes of the buffer,
  // written only for a fill that met a tab (FBufferHasTabs).
  static constexpr size_t kTabMap = kStopMap + kMapBytes;
  static constexpr size_t kBlockSize = kTabMap + BufferSize / 8;
  // The buffer is aligned to 16 bytes, so that a byte's bit in a map can be found from
  // its address alone: the map byte of address a is FMapOrigin + a / 8 (a shift, where
  // the next read waits on it).
  static constexpr size_t kBufferAlignment = 16;
  const uint8_t* MapAt(const char* p, size_t map) const {
    return reinterpret_cast<const uint8_t*>(FMapOrigin + map +
                                            (reinterpret_cast<uintptr_t>(p) >> 3));
  }

  // Makes unread bytes available; false at the end of the file or on failure.
  bool Fill();
  // Turns the buffered tabs into blanks and marks them in the tab map.
  void TabsToBlanks();
  bool EolnSlow();
  char ReadSlow();
  // Consumes a line end at the current position, if there is one.
  void SkipLineEnd();
  // Writes the buffered output; answers the error code, 0 on success.
  uint32_t Flush();
  void Open(bool output);
  void Fail(uint32_t code);

  HostTextFile FHost;  // must stay the first member
  char* FPos = nullptr;
  char* FEnd = nullptr;
  char* FBuffer = nullptr;
  uintptr_t FMapOrigin = 0;  // see MapAt
  char* FMapEnd = nullptr;
  TStopCursor FStopCursor;
  uint32_t FPending = 0;  // bytes written to the buffer, not yet to the file
  int64_t FBufferStart = 0;  // the file offset of the buffer's first byte, reading
  HANDLE FHandle = INVALID_HANDLE_VALUE;
  uint8_t FMode = kClosed;
  bool FTabsAsBlanks = false;
  bool FBufferHasTabs = false;  // the buffered bytes hold tabs read as blanks
  uint16_t* FTabMap = nullptr;  // see kTabMap (after the members every read uses)
};

// The line numbers of byte offsets in a named file, for messages about what was read
// there. It reads the file through a handle of its own, forward from the last offset
// asked for, so offsets asked for in rising order cost one pass over the file in all.
// An earlier offset costs the bytes back to it within the bytes read last, else the
// bytes from the start of the buffer that holds it (the count at each buffer's start is
// kept), and so does a later offset within what was counted before: not a count from the
// file's start (a file of warnings that each name a line a little before the last one
// asked for took time with the square of its size). Lines end as text files
// read them: CR LF, LF or a lone CR.
class TLineCounter {
 public:
  explicit TLineCounter(std::string fileName) : FFileName(std::move(fileName)) {}
  ~TLineCounter();
  TLineCounter(const TLineCounter&) = delete;
  TLineCounter& operator=(const TLineCounter&) = delete;

  // The number (from 1) of the line that holds the byte at `offset`; 0 when the file
  // cannot be read that far.
  int64_t LineAt(int64_t offset);
  // The bytes looked at so far, forward and back.
  int64_t BytesCounted() const { return FBytesCounted; }

 private:
  // The count at the start of a buffer read.
  struct TCheckpoint {
    int64_t Offset;
    int64_t LineEnds;
    bool AfterCR;
  };
  // Goes back to `offset`, earlier than FOffset.
  void GoBack(int64_t offset);
  // Goes to the last checkpoint at or before `offset`, the buffer read again from there.
  void GoToCheckpoint(int64_t offset);

  std::string FFileName;
  HANDLE FHandle = INVALID_HANDLE_VALUE;
  bool FOpened = false;
  int64_t FOffset = 0;     // counted up to here
  int64_t FLineEnds = 0;   // line ends before FOffset
  bool FAfterCR = false;   // the byte before FOffset is a CR
  // The bytes read last, which end at FBufferEnd in the file.
  static constexpr DWORD kBufferSize = 16384;
  std::unique_ptr<char[]> FBuffer;
  DWORD FBuffered = 0;
  int64_t FBufferEnd = 0;
  TCheckpoint FBufferStart{0, 0, false};  // the count where the buffered bytes begin
  std::vector<TCheckpoint> FCheckpoints;  // at each buffer's start, in rising order
  int64_t FBytesCounted = 0;
};

// Answers the first text-file error recorded while I/O checks were off, and clears it.
int IOResult();

// While it lives, text-file failures on this thread are recorded for IOResult
// instead of raising EInOutError.
class TIOChecksOff {
 public:
  TIOChecksOff();
  ~TIOChecksOff();
  TIOChecksOff(const TIOChecksOff&) = delete;
  TIOChecksOff& operator=(const TIOChecksOff&) = delete;

 private:
  bool FSaved;
};
