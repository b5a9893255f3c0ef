#include "classlib/MemoryStreams.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "classlib/MemoryManager.h"
#include "classlib/SysUtils.h"

// ---- TCustomMemoryStream ----

int32_t TCustomMemoryStream::Read(void* buffer, int32_t count) {
  if (count <= 0 || FPosition >= FSize) return 0;
  int32_t n = static_cast<int32_t>(std::min<int64_t>(count, FSize - FPosition));
  std::memcpy(buffer, FMemory + FPosition, n);
  FPosition += n;
  return n;
}

int32_t TCustomMemoryStream::Write(const void*, int32_t) { return 0; }

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? FPosition : FSize;
  if (base + offset < 0)
    throw EStreamError(Format("Cannot seek to %lld, before the start of the stream",
                              static_cast<long long>(base + offset)));
  FPosition = base + offset;
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* stream) {
  for (int64_t done = 0; done < FSize;) {
    int32_t n = static_cast<int32_t>(std::min<int64_t>(FSize - done, INT_MAX));
    stream->WriteBuffer(FMemory + done, n);
    done += n;
  }
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(&file);
}

void TCustomMemoryStream::SetPointer(void* memory, int64_t size) {
  FMemory = static_cast<char*>(memory);
  FSize = size;
}

// ---- TMemoryStream ----

TMemoryStream::~TMemoryStream() {
  void* memory = FMemory;
  ReallocMem(memory, 0);
}

void TMemoryStream::SetCapacity(int64_t capacity) {
  capacity = std::max(capacity, FSize);
  if (capacity == FCapacity) return;
  if (capacity > INT_MAX)
    throw EStreamError(Format("A memory stream cannot hold %lld bytes",
                              static_cast<long long>(capacity)));
  // Through the module's memory manager, like every allocation of the module.
  void* memory = FMemory;
  try {
    ReallocMem(memory, static_cast<size_t>(capacity));
  } catch (const std::bad_alloc&) {
    throw EStreamError(Format("Out of memory while growing a memory stream to %lld bytes",
                              static_cast<long long>(capacity)));
  }
  FMemory = static_cast<char*>(memory);
  FCapacity = capacity;
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) throw EStreamError("A stream size cannot be negative");
  if (size > FCapacity) {
    // Grow by at least a quarter so that writing byte by byte stays linear.
    SetCapacity(std::max<int64_t>(size, std::min<int64_t>(FCapacity + FCapacity / 4 + 4096, INT_MAX)));
  }
  if (size > FSize) std::memset(FMemory + FSize, 0, static_cast<size_t>(size - FSize));
  FSize = size;
  FPosition = std::min(FPosition, FSize);
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  int64_t end = FPosition + count;
  if (end > FSize) SetSize(end);
  std::memcpy(FMemory + FPosition, buffer, count);
  FPosition = end;
  return count;
}

void TMemoryStream::Clear() {
  FSize = 0;
  FPosition = 0;
  SetCapacity(0);
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  stream->SetPosition(0);
  int64_t size = stream->GetSize();
  SetSize(size);
  FPosition = 0;
  for (int64_t done = 0; done < size;) {
    int32_t n = static_cast<int32_t>(std::min<int64_t>(size - done, INT_MAX));
    stream->ReadBuffer(FMemory + done, n);
    done += n;
  }
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

// ---- TResourceStream ----

namespace {

std::string ResourceName(const char* name) {
  if (IS_INTRESOURCE(name)) return Format("#%u", static_cast<unsigned>(reinterpret_cast<uintptr_t>(name)));
  return name;
}

}  // namespace

TResourceStream::TResourceStream(HMODULE module, const char* name, const char* type) {
  HRSRC info = FindResourceA(module, name, type);
  HGLOBAL data = info ? LoadResource(module, info) : nullptr;
  void* memory = data ? LockResource(data) : nullptr;
  if (!memory)
    throw EResNotFound(Format("Resource %s of type %s not found", ResourceName(name).c_str(),
                              ResourceName(type).c_str()));
  SetPointer(memory, SizeofResource(module, info));
}
