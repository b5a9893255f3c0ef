// Streams over memory.
//
// TCustomMemoryStream reads a block of memory it does not own, set by SetPointer; its
// Write stores nothing and answers 0, so it is a read-only view (WriteBuffer raises
// EWriteError). TMemoryStream owns a growable block. TResourceStream is a view of a
// resource of a loaded module and raises EResNotFound when the module has no such
// resource. The position may lie beyond the end: reading there gives 0 bytes, writing
// there (TMemoryStream) fills the gap with zeros. A negative position raises EStreamError.
#pragma once

#include <string>

#include "classlib/Streams.h"

class TCustomMemoryStream : public TStream {
  KIVO_CLASS(TCustomMemoryStream, TStream)

 public:
  TCustomMemoryStream() = default;
  TCustomMemoryStream(const TCustomMemoryStream&) = delete;
  TCustomMemoryStream& operator=(const TCustomMemoryStream&) = delete;

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t GetSize() override { return FSize; }

  void* GetMemory() const { return FMemory; }
  // Writes the whole content (from offset 0) to `stream` or to a new file.
  void SaveToStream(TStream* stream);
  void SaveToFile(const std::string& fileName);

 protected:
  // Makes `memory` (`size` bytes, owned by someone else) the stream's content.
  void SetPointer(void* memory, int64_t size);

  char* FMemory = nullptr;
  int64_t FSize = 0;
  int64_t FPosition = 0;
};

class TMemoryStream : public TCustomMemoryStream {
  KIVO_CLASS(TMemoryStream, TCustomMemoryStream)

 public:
  TMemoryStream() = default;
  ~TMemoryStream() override;

  int32_t Write(const void* buffer, int32_t count) override;
  void SetSize(int64_t size) override;
  int64_t GetCapacity() const { return FCapacity; }
  // Reserves room; never below the size.
  void SetCapacity(int64_t capacity);
  // Empties the stream and frees its memory.
  void Clear();
  // Replaces the content with all of `stream` (from its start) or of a file.
  void LoadFromStream(TStream* stream);
  void LoadFromFile(const std::string& fileName);

 private:
  int64_t FCapacity = 0;
};

class TResourceStream : public TCustomMemoryStream {
  KIVO_CLASS(TResourceStream, TCustomMemoryStream)

 public:
  // `name` and `type` are resource names or MAKEINTRESOURCEA numbers.
  TResourceStream(HMODULE module, const char* name, const char* type = MAKEINTRESOURCEA(10));
};
