#include "standin/ravelo/RaveloObjectStore.h"

#include <cassert>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace {

// The texts of TRaveloString, in blocks of a megabyte that a text never spans: a text is
// found at (block << 20) + offset, as its length byte and its characters. Offset 0 of
// block 0 is never used, so that 0 stands for the empty text.
class TTextStore {
 public:
  std::string_view Text(uint32_t at) const {
    const char* text = FBlocks[at >> kBlockBits].get() + (at & (kBlockSize - 1));
    return std::string_view(text + 1, static_cast<uint8_t>(text[0]));
  }
  uint32_t Keep(std::string_view text) {
    assert(text.size() <= 255 && "texts are short strings");
    const size_t size = 1 + text.size();
    if (FBlocks.empty() || FUsed + size > kBlockSize) {
      FBlocks.push_back(std::make_unique<char[]>(kBlockSize));
      FUsed = FBlocks.size() == 1 ? 1 : 0;
    }
    char* at = FBlocks.back().get() + FUsed;
    at[0] = static_cast<char>(text.size());
    std::memcpy(at + 1, text.data(), text.size());
    const auto where = static_cast<uint32_t>(((FBlocks.size() - 1) << kBlockBits) + FUsed);
    FUsed += size;
    return where;
  }
  void Clear() {
    FBlocks.clear();
    FUsed = 0;
  }

 private:
  static constexpr unsigned kBlockBits = 20;
  static constexpr size_t kBlockSize = size_t{1} << kBlockBits;
  std::vector<std::unique_ptr<char[]>> FBlocks;
  size_t FUsed = 0;
};

TTextStore& Texts() {
  static TTextStore* store = new TTextStore;  // never freed: parts may outlive it
  return *store;
}

}  // namespace

std::string_view TRaveloString::Text(uint32_t at) {
  return Texts().Text(at);
}

void TRaveloString::ForgetAll() {
  Texts().Clear();
}

uint32_t TRaveloString::Keep(std::string_view text) {
  return Texts().Keep(text.substr(0, 255));
}

TRaveloObject& TRaveloObjectStore::Add(uint32_t handle) {
  assert(handle != 0 && "handle 0 names nothing");
  while (handle / PageSize >= FPages.size())
    FPages.push_back(std::make_unique<TRaveloObject[]>(PageSize));
  TRaveloObject& object = *Slot(handle);
  assert(object.Handle == 0 && "a handle is made once");
  object.Handle = handle;
  ++FCount;
  return object;
}

void TRaveloObjectStore::Remove(uint32_t handle) {
  TRaveloObject* object = Find(handle);
  if (!object)
    return;
  *object = TRaveloObject();
  --FCount;
}

void TRaveloObjectStore::Clear() {
  FPages.clear();
  FCount = 0;
}
