#include "classlib/Streams.h"

#include <algorithm>
#include <memory>

#include "classlib/SysUtils.h"

int64_t TStream::GetSize() {
  int64_t position = Seek(0, soCurrent);
  int64_t size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::SetSize(int64_t size) {
  throw EStreamError(Format("A %s cannot change its size", ClassName()));
}

void TStream::ReadBuffer(void* buffer, int32_t count) {
  if (count > 0 && Read(buffer, count) != count)
    throw EReadError(Format("Stream read error: %d bytes wanted, fewer left", count));
}

void TStream::WriteBuffer(const void* buffer, int32_t count) {
  if (count > 0 && Write(buffer, count) != count)
    throw EWriteError(Format("Stream write error: %d bytes not taken", count));
}

int64_t TStream::CopyFrom(TStream* source, int64_t count) {
  if (count == 0) {
    source->SetPosition(0);
    count = source->GetSize();
  }
  constexpr int32_t kChunk = 64 * 1024;
  auto buffer = std::make_unique<char[]>(static_cast<size_t>(std::min<int64_t>(count, kChunk)) + 1);
  for (int64_t left = count; left > 0;) {
    int32_t n = static_cast<int32_t>(std::min<int64_t>(left, kChunk));
    source->ReadBuffer(buffer.get(), n);
    WriteBuffer(buffer.get(), n);
    left -= n;
  }
  return count;
}

int32_t THandleStream::Read(void* buffer, int32_t count) {
  DWORD done = 0;
  if (count <= 0 || !ReadFile(FHandle, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
  return static_cast<int32_t>(done);
}

int32_t THandleStream::Write(const void* buffer, int32_t count) {
  DWORD done = 0;
  if (count <= 0 || !WriteFile(FHandle, buffer, static_cast<DWORD>(count), &done, nullptr))
    return 0;
  return static_cast<int32_t>(done);
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin) {
  static const DWORD kMethods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
  LARGE_INTEGER distance, position;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(FHandle, distance, &position, kMethods[origin]))
    throw EStreamError(Format("Cannot seek to %lld: %s", static_cast<long long>(offset),
                              SysErrorMessage(GetLastError()).c_str()));
  return position.QuadPart;
}

void THandleStream::SetSize(int64_t size) {
  int64_t position = GetPosition();
  Seek(size, soBeginning);
  if (!SetEndOfFile(FHandle))
    throw EStreamError(Format("Cannot set the stream size to %lld: %s",
                              static_cast<long long>(size),
                              SysErrorMessage(GetLastError()).c_str()));
  Seek(std::min(position, size), soBeginning);
}

namespace {

DWORD ShareFlags(uint16_t mode) {
  switch (mode & 0xF0) {
    case fmShareExclusive:
      return 0;
    case fmShareDenyWrite:
      return FILE_SHARE_READ;
    case fmShareDenyRead:
      return FILE_SHARE_WRITE;
    case fmShareCompat:
      return (mode & fmCreate) == fmCreate ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    default:
      return FILE_SHARE_READ | FILE_SHARE_WRITE;
  }
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, uint16_t mode)
    : THandleStream(INVALID_HANDLE_VALUE), FFileName(fileName) {
  bool create = (mode & fmCreate) == fmCreate;
  DWORD access = create ? GENERIC_READ | GENERIC_WRITE
                 : (mode & 3) == fmOpenWrite     ? GENERIC_WRITE
                 : (mode & 3) == fmOpenReadWrite ? GENERIC_READ | GENERIC_WRITE
                                                 : GENERIC_READ;
  FHandle = CreateFileA(fileName.c_str(), access, ShareFlags(mode), nullptr,
                        create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (FHandle == INVALID_HANDLE_VALUE)
    throw EFOpenError(Format("Cannot %s file \"%s\": %s", create ? "create" : "open",
                             fileName.c_str(), SysErrorMessage(GetLastError()).c_str()));
}

TFileStream::~TFileStream() {
  if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
}
