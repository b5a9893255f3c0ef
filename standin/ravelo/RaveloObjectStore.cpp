#include "standin/ravelo/RaveloObjectStore.h"

#include <cassert>
#include <deque>
#include <string>
#include <unordered_map>

namespace {

// The texts of TRaveloString by number (0 the empty text), and their numbers by text.
// A deque: its texts never move, so the views that key the map stay valid.
struct TStringTable {
  TStringTable() { Texts.emplace_back(); }
  std::deque<std::string> Texts;
  std::unordered_map<std::string_view, uint32_t> Ids;
};

TStringTable& Strings() {
  static TStringTable* table = new TStringTable;  // never freed: parts may outlive it
  return *table;
}

}  // namespace

const std::string& TRaveloString::Text(uint32_t id) {
  return Strings().Texts[id];
}

uint32_t TRaveloString::Intern(std::string_view text) {
  TStringTable& table = Strings();
  auto found = table.Ids.find(text);
  if (found != table.Ids.end())
    return found->second;
  const auto id = static_cast<uint32_t>(table.Texts.size());
  table.Ids.emplace(table.Texts.emplace_back(text), id);
  return id;
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
