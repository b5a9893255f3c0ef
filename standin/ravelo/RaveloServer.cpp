#include "standin/ravelo/RaveloServer.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace {

bool Supported(uint8_t kind) {
  return (kind >= rkArc && kind <= rkManualFromTo) || kind == rkBoardOutline;
}

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

bool SameTextAscii(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return UpperAscii(x) == UpperAscii(y);
         });
}

void SetTextDefaults(TRaveloObject& text) {
  text.Shape().Size = 600000;
  text.Shape().LineWidth = 100000;
}

}  // namespace

TRaveloServerStorage TRaveloServer::FInstance;

void TRaveloServer::Reset() {
  FLastHandle = 0;
  FCurrentBoard = 0;
  FBoards.clear();
  FObjects.Clear();
  TRaveloString::ForgetAll();  // no object holds a text now
  for (TRaveloHandleList& handles : FByKind)
    handles.Clear();
  FOwned.clear();
  FLastOwned = {0, nullptr};
  FNetReferrers.clear();
  FLastNet = {0, nullptr};
  FIterators.clear();
  FSpareIterator = {};
  FLastIterator = {};
  FCallLogKept = true;
  FCallLog.Clear();
  FProgress.clear();
  FEvents.Clear();
  FInjected.clear();
}

// Boards.

uint32_t TRaveloServer::CreateBoard(const std::string& fullName) {
  const uint32_t handle = NewHandle();
  TRaveloBoard& board = FBoards[handle];
  board.Handle = handle;
  board.FullName = fullName;
  for (int layer = 1; layer < RaveloLayerCount; ++layer)
    board.Layers[layer].Name = RaveloLayerIdentifier(layer);
  // The default stack: top above bottom, one drill pair through both.
  board.Layers[1].NextLayer = 32;
  board.Layers[32].PrevLayer = 1;
  board.Pairs.push_back(TRaveloPair{0, 0, /*HighLayer=*/32, /*LowLayer=*/1});
  return handle;
}

TRaveloBoard* TRaveloServer::FindBoard(uint32_t handle) {
  auto found = FBoards.find(handle);
  return found == FBoards.end() ? nullptr : &found->second;
}

uint32_t TRaveloServer::BoardFromFullName(const std::string& fullName) const {
  for (const auto& [handle, board] : FBoards) {
    if (SameTextAscii(board.FullName, fullName))
      return handle;
  }
  return 0;
}

bool TRaveloServer::SetCurrentBoard(uint32_t board) {
  if (board != 0 && !FBoards.count(board))
    return false;
  FCurrentBoard = board;
  return true;
}

bool TRaveloServer::SetLayerPairs(uint32_t board, const std::vector<TRaveloPair>& pairs) {
  TRaveloBoard* found = FindBoard(board);
  if (!found)
    return false;
  found->Pairs = pairs;
  return true;
}

// Objects and containers.

uint32_t TRaveloServer::CreateObject(uint8_t kind) {
  if (!Supported(kind))
    return 0;
  const uint32_t handle = NewHandle();
  TRaveloObject& object = FObjects.Add(handle);
  object.Kind = kind;
  FByKind[kind].Add(handle);
  switch (kind) {
    case rkText:
      SetTextDefaults(object);
      break;
    case rkVia:
      object.Shape().Size = 500000;
      object.Shape().HoleSize = 280000;
      break;
    case rkPad:
      object.Pad().TopXSize = object.Pad().TopYSize = object.Pad().MidXSize =
          object.Pad().MidYSize = object.Pad().BotXSize = object.Pad().BotYSize = 600000;
      object.Pad().TopShape = object.Pad().MidShape = object.Pad().BotShape = 1;
      object.Pad().HoleSize = 300000;
      break;
    case rkPolygon:
    case rkBoardOutline:
      object.Poly().Segments.Grow(1);  // record 0, for PointCount 0
      break;
    case rkComponent: {
      object.Layer = 1;
      for (uint32_t* text : {&object.Comp().NameText, &object.Comp().CommentText}) {
        const uint32_t textHandle = NewHandle();
        TRaveloObject& textObject = FObjects.Add(textHandle);
        textObject.Kind = rkText;
        FByKind[rkText].Add(textHandle);
        textObject.Head().TextOfComponent = handle;
        SetTextDefaults(textObject);
        *text = textHandle;
      }
      break;
    }
    default:
      break;
  }
  return handle;
}

bool TRaveloServer::Exists(uint32_t handle) const {
  return FObjects.Find(handle) || FBoards.count(handle);
}

void TRaveloServer::DestroyTree(uint32_t handle) {
  TRaveloObject* found = FObjects.Find(handle);
  if (!found)
    return;
  SetOwner(*found, 0);
  SetNet(*found, 0);
  const uint8_t kind = found->Kind;
  const TRaveloComponentFields& fields = std::as_const(*found).Comp();
  const uint32_t nameText = fields.NameText, commentText = fields.CommentText;
  const uint32_t textOf = std::as_const(*found).Head().TextOfComponent;
  FObjects.Remove(handle);
  if (kind == rkComponent) {
    const std::vector<uint32_t> members = Owned(handle);
    for (uint32_t member : members)
      DestroyTree(member);
    DestroyTree(nameText);
    DestroyTree(commentText);
  }
  // Nothing keeps pointing at a handle that is gone. An object names others only as its
  // net, as its owner (a component, whose members went with it) and, a component, as
  // its own name and comment texts.
  if (TRaveloObject* component = FObjects.Find(textOf)) {
    if (std::as_const(*component).Comp().NameText == handle)
      component->Comp().NameText = 0;
    if (std::as_const(*component).Comp().CommentText == handle)
      component->Comp().CommentText = 0;
  }
  ForgetNetReferences(handle);
  ForgetOwned(handle);
}

void TRaveloServer::NetChanged(const TRaveloObject& object, int32_t before) {
  auto list = [&](uint32_t net) -> TNetReferrers* {
    if (FLastNet.second && FLastNet.first == net)
      return FLastNet.second;
    auto found = FNetReferrers.find(net);
    if (found == FNetReferrers.end())
      return nullptr;
    FLastNet = {net, &found->second};  // an unordered map's elements stay where they are
    return FLastNet.second;
  };
  if (before != 0) {
    const auto net = static_cast<uint32_t>(before);
    if (TNetReferrers* left = list(net)) {
      assert(left->Live > 0 && "every object naming a net is counted");
      if (--left->Live == 0) {
        ForgetNetReferences(net);
      } else if (left->Handles.size() > 2 * left->Live + 16) {
        // Mostly objects gone or moved on: only those whose net it still is stay, once.
        std::vector<uint32_t>& handles = left->Handles;
        handles.erase(std::remove_if(handles.begin(), handles.end(),
                                     [&](uint32_t h) {
                                       const TRaveloObject* o = FObjects.Find(h);
                                       return !o || o->Net != before;
                                     }),
                      handles.end());
        std::sort(handles.begin(), handles.end());
        handles.erase(std::unique(handles.begin(), handles.end()), handles.end());
      }
    }
  }
  if (object.Net != 0) {
    const auto net = static_cast<uint32_t>(object.Net);
    TNetReferrers* joined = list(net);
    if (!joined) {
      joined = &FNetReferrers[net];
      FLastNet = {net, joined};
    }
    joined->Handles.push_back(object.Handle);
    ++joined->Live;
  }
}

void TRaveloServer::ForgetNetReferences(uint32_t handle) {
  auto found = FNetReferrers.find(handle);
  if (found == FNetReferrers.end())
    return;
  for (uint32_t referrer : found->second.Handles) {
    TRaveloObject* object = FObjects.Find(referrer);
    if (object && object->Net == static_cast<int32_t>(handle))
      object->Net = 0;
  }
  if (FLastNet.first == handle)
    FLastNet = {0, nullptr};
  FNetReferrers.erase(found);
}

int32_t TRaveloServer::DestroyObject(uint32_t handle) {
  if (FBoards.count(handle))
    return rsWrongKind;
  if (!FObjects.Find(handle))
    return rsUnknownHandle;
  DestroyTree(handle);
  return rsOk;
}

int32_t TRaveloServer::AddObjectToContainer(uint32_t container, uint32_t objectHandle) {
  TRaveloObject* object = FindObject(objectHandle);
  // Objects and boards share one numbering: a container that is no object is a board
  // or unknown.
  const TRaveloObject* found = FObjects.Find(container);
  if (!object || (!found && !FBoards.count(container)))
    return rsUnknownHandle;
  if (container == objectHandle)
    return rsBadArgument;
  if (!found) {
    SetOwner(*object, container);
    return rsOk;
  }
  const TRaveloObject& holder = *found;
  if (holder.Kind == rkComponent) {
    if (object->Kind == rkComponent || object->Kind == rkNet)
      return rsWrongKind;
    SetOwner(*object, container);
    return rsOk;
  }
  if (holder.Kind == rkNet) {
    if (object->Kind == rkNet || object->Kind == rkComponent)
      return rsWrongKind;
    SetNet(*object, static_cast<int32_t>(container));
    return rsOk;
  }
  return rsWrongKind;
}

int32_t TRaveloServer::DeleteObjectFromContainer(uint32_t container, uint32_t objectHandle) {
  TRaveloObject* object = FindObject(objectHandle);
  if (!object || !Exists(container))
    return rsUnknownHandle;
  const TRaveloObject* holder = FindObject(container);
  if (holder && holder->Kind == rkNet) {
    if (object->Net != static_cast<int32_t>(container))
      return rsBadArgument;
    SetNet(*object, 0);
    return rsOk;
  }
  if (holder && holder->Kind != rkComponent)
    return rsWrongKind;
  if (object->Owner != container)
    return rsBadArgument;
  SetOwner(*object, 0);
  return rsOk;
}

int TRaveloServer::LooseObjectCount() const {
  int count = 0;
  FObjects.ForEach([&](const TRaveloObject& object) {
    if (object.Owner == 0 && object.Head().TextOfComponent == 0)
      ++count;
  });
  return count;
}

// Scopes and iterators.

void TRaveloServer::SetOwner(TRaveloObject& object, uint32_t owner) {
  if (object.Owner == owner)
    return;
  if (object.Owner != 0) {
    if (std::vector<uint32_t>* members = OwnedList(object.Owner, /*make=*/false)) {
      auto at = std::lower_bound(members->begin(), members->end(), object.Handle);
      if (at != members->end() && *at == object.Handle)
        members->erase(at);
      if (members->empty())
        ForgetOwned(object.Owner);
    }
  }
  object.Owner = owner;
  if (owner == 0 || FBoards.count(owner))
    return;
  std::vector<uint32_t>& members = *OwnedList(owner, /*make=*/true);
  if (members.capacity() == 0)
    members.reserve(16);  // one block for the members of most components
  members.insert(std::lower_bound(members.begin(), members.end(), object.Handle), object.Handle);
}

std::vector<uint32_t>* TRaveloServer::OwnedList(uint32_t owner, bool make) {
  if (FLastOwned.second && FLastOwned.first == owner)
    return FLastOwned.second;
  auto found = FOwned.find(owner);
  if (found == FOwned.end()) {
    if (!make)
      return nullptr;
    found = FOwned.emplace(owner, std::vector<uint32_t>()).first;
  }
  FLastOwned = {owner, &found->second};  // a map's elements stay where they are
  return FLastOwned.second;
}

void TRaveloServer::ForgetOwned(uint32_t owner) {
  if (FLastOwned.first == owner)
    FLastOwned = {0, nullptr};
  FOwned.erase(owner);
}

const std::vector<uint32_t>& TRaveloServer::Owned(uint32_t owner) const {
  static const std::vector<uint32_t> none;
  if (FLastOwned.second && FLastOwned.first == owner)
    return *FLastOwned.second;
  auto found = FOwned.find(owner);
  return found == FOwned.end() ? none : found->second;
}

uint32_t TRaveloServer::CreateIterator(uint32_t container, uint8_t kind, uint8_t layer) {
  const TRaveloObject* holder = FindObject(container);
  const bool isContainer = FBoards.count(container) ||
                           (holder && (holder->Kind == rkComponent || holder->Kind == rkNet));
  if (!isContainer)
    return 0;
  // The node of an iterator destroyed before is used again, with its list's storage:
  // an import makes an iterator for every pad and component.
  decltype(FIterators)::node_type node = std::move(FSpareIterator);
  if (node.empty())
    node = FIterators.extract(FIterators.emplace(0, TIterator()).first);
  TIterator& iterator = node.mapped();
  iterator.Items.Clear();
  iterator.Whole = nullptr;
  iterator.WholeCount = 0;
  iterator.Next = {};
  iterator.Taken = 0;
  if (kind != 0 && FBoards.count(container)) {
    // One kind of a board: only the objects made of that kind are asked their scope.
    // Taken in runs whose objects are asked for together, before the first is read.
    constexpr size_t kRun = 16;
    uint32_t run[kRun];
    size_t count = 0;
    // Handles taken while every one before was taken too; the copy begins at the first
    // one left out.
    size_t allTaken = 0;
    bool copying = false;
    auto take = [&] {
      for (size_t i = 0; i < count; ++i) {
        const TRaveloObject* object = FObjects.Find(run[i]);
        const bool taken =
            object && (layer == 0 || object->Layer == layer) && InBoardScope(*object, container);
        if (copying) {
          if (taken)
            iterator.Items.Add(run[i]);
        } else if (taken) {
          ++allTaken;
        } else {
          copying = true;
          TRaveloHandleList::TReader reader;
          for (uint32_t before = 0; allTaken > 0 && FByKind[kind].Next(reader, before);
               --allTaken)
            iterator.Items.Add(before);
        }
      }
      count = 0;
    };
    if (kind < FByKind.size()) {
      FByKind[kind].ForEach([&](uint32_t handle) {
        FObjects.Prefetch(handle);
        run[count++] = handle;
        if (count == kRun)
          take();
      });
      take();
      if (!copying) {
        iterator.Whole = &FByKind[kind];
        iterator.WholeCount = allTaken;
      }
    }
  } else {
    ForEachInScope(
        container, [&](const TRaveloObject& object) { iterator.Items.Add(object.Handle); },
        [&](const TRaveloObject& object) {
          return (kind == 0 || object.Kind == kind) && (layer == 0 || object.Layer == layer);
        });
  }
  const uint32_t handle = NewHandle();
  node.key() = handle;
  FIterators.insert(std::move(node));
  return handle;
}

TRaveloServer::TIterator* TRaveloServer::FindIterator(uint32_t iterator) {
  if (iterator == FLastIterator.first && iterator != 0)
    return FLastIterator.second;
  auto found = FIterators.find(iterator);
  if (found == FIterators.end())
    return nullptr;
  FLastIterator = {iterator, &found->second};
  return &found->second;
}

uint32_t TRaveloServer::IteratorFirst(uint32_t iterator) {
  TIterator* it = FindIterator(iterator);
  if (!it)
    return 0;
  it->Next = {};
  it->Taken = 0;
  return IteratorNext(iterator);
}

uint32_t TRaveloServer::IteratorNext(uint32_t iterator) {
  TIterator* it = FindIterator(iterator);
  if (!it)
    return 0;
  // Objects destroyed since the snapshot are passed over.
  const TRaveloHandleList& snapshot = it->Snapshot();
  const size_t count = it->Count();
  for (uint32_t handle = 0; it->Taken < count && snapshot.Next(it->Next, handle);) {
    ++it->Taken;
    if (FObjects.Find(handle)) {
      // The caller's next call most likely asks for the one after it.
      TRaveloHandleList::TReader ahead = it->Next;
      if (uint32_t next = 0; it->Taken < count && snapshot.Next(ahead, next))
        FObjects.Prefetch(next);
      return handle;
    }
  }
  return 0;
}

int32_t TRaveloServer::DestroyIterator(uint32_t iterator) {
  auto found = FIterators.find(iterator);
  if (found == FIterators.end())
    return rsUnknownHandle;
  if (FLastIterator.first == iterator)
    FLastIterator = {};
  FSpareIterator = FIterators.extract(found);
  return rsOk;
}

// Logs and injections.

void TRaveloServer::ProgressInit(const std::string& caption, int32_t total) {
  FProgress.push_back(TRaveloProgress{TRaveloProgress::psInit, caption, total, 1});
}

void TRaveloServer::ProgressUpdate() {
  if (!FProgress.empty() && FProgress.back().Step == TRaveloProgress::psUpdate) {
    ++FProgress.back().Count;
    return;
  }
  FProgress.push_back(TRaveloProgress{TRaveloProgress::psUpdate, std::string(), 0, 1});
}

void TRaveloServer::ProgressFinish() {
  FProgress.push_back(TRaveloProgress{TRaveloProgress::psFinish, std::string(), 0, 1});
}

std::optional<uint32_t> TRaveloServer::FindInjected(const char* entry) const {
  auto found = FInjected.find(entry);
  if (found == FInjected.end())
    return std::nullopt;
  return found->second;
}
