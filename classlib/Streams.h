// Byte streams: the abstract TStream, and the streams over a Windows file handle.
//
// Read and Write move at most `count` bytes and answer how many they moved (0 at the
// end or on failure); ReadBuffer and WriteBuffer insist on all of them and raise
// EReadError or EWriteError otherwise. Seek raises EStreamError when the position
// cannot be reached. TFileStream raises EFOpenError naming the file when it cannot open
// or create it.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Object.h"
#include "classlib/Win.h"

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// TFileStream modes: one open mode, or'ed with one share flag.
constexpr uint16_t fmCreate = 0xFF00;  // create or truncate, read and write
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;  // as fmShareDenyNone, except with fmCreate: exclusive
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

class TStream : public TObject {
  KIVO_CLASS(TStream, TObject)

 public:
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  // Moves the position and answers the new one.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t GetPosition() { return Seek(0, soCurrent); }
  void SetPosition(int64_t position) { Seek(position, soBeginning); }
  virtual int64_t GetSize();
  // Raises EStreamError unless the stream can change its size.
  virtual void SetSize(int64_t size);

  void ReadBuffer(void* buffer, int32_t count);
  void WriteBuffer(const void* buffer, int32_t count);
  // Copies `count` bytes from `source`'s position; 0 copies all of `source` from its
  // start. Answers the number of bytes copied.
  int64_t CopyFrom(TStream* source, int64_t count);
};

// A stream over a handle it does not own.
class THandleStream : public TStream {
  KIVO_CLASS(THandleStream, TStream)

 public:
  explicit THandleStream(HANDLE handle) : FHandle(handle) {}
  HANDLE GetHandle() const { return FHandle; }

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;

 protected:
  HANDLE FHandle;
};

// A stream over a named file it opens and closes.
class TFileStream : public THandleStream {
  KIVO_CLASS(TFileStream, THandleStream)

 public:
  TFileStream(const std::string& fileName, uint16_t mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  const std::string& GetFileName() const { return FFileName; }

 private:
  std::string FFileName;
};
