// The in-memory PCB server behind the stand-in "Ravelo.dll": boards, objects,
// iterators, the progress and event-router logs, the call log and the injected
// results. One instance per process; the exports run on the host's UI thread only.
// The rules it follows are written down in README.md next to this file.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "standin/ravelo/RaveloCallLog.h"
#include "standin/ravelo/RaveloEventLog.h"
#include "standin/ravelo/RaveloObject.h"
#include "standin/ravelo/RaveloObjectStore.h"

class TRaveloTextWriter;

struct TRaveloLayer {
  std::string Name;
  int32_t CopperThickness = 14000;
  uint8_t LayerByte1 = 0, LayerByte2 = 0, PrevLayer = 0, NextLayer = 0, LayerByte3 = 0;
  std::string NetName = "(No Net)";
  std::string DielectricMaterial = "FR-4";
  uint8_t DielectricType = 1;
  double DielectricConstant = 4.8;
  int32_t DielectricHeight = 126000;
};

struct TRaveloPair {
  uint8_t PairByte1 = 0, PairByte2 = 0, HighLayer = 0, LowLayer = 0;
};

struct TRaveloDielectric {
  std::string Material = "FR-4";
  uint8_t Type = 1;
  double Constant = 4.8;
  int32_t Height = 126000;
};

struct TRaveloBoard {
  uint32_t Handle = 0;
  std::string FullName;
  int32_t BoardLong1 = 0, BoardLong2 = 0, BoardLong3 = 0, BoardLong4 = 0;
  std::string BoardText;
  uint8_t BoardByte1 = 0, BoardByte2 = 0, BoardByte3 = 0;
  int32_t OriginX = 0, OriginY = 0;
  std::array<int32_t, RaveloLayerCount> LayerInfo{};
  std::array<TRaveloLayer, RaveloLayerCount> Layers;  // 1 to 82
  std::vector<TRaveloPair> Pairs;
  TRaveloDielectric TopDielectric, BottomDielectric;
  // Option groups, kept as the bytes that were written (by group name).
  std::map<std::string, std::vector<uint8_t>> Options;
};

struct TRaveloRect {
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

// One step of the progress log; consecutive updates are counted in one step.
struct TRaveloProgress {
  enum TStep { psInit, psUpdate, psFinish } Step;
  std::string Caption;
  int32_t Total = 0;
  int32_t Count = 1;
};

// Runs a named host process for PcbApi_SendCommand; non-zero when it ran.
using TRaveloCommandRunner = uint32_t(__stdcall*)(const char* command, char* parameters,
                                                  uint16_t size);

union TRaveloServerStorage;

class TRaveloServer {
 public:
  // Inline: every entry point asks it.
  static TRaveloServer& Instance();

  // Forgets every board, object, iterator, log and injection; numbering starts again.
  void Reset();

  uint32_t CreateBoard(const std::string& fullName);
  TRaveloBoard* FindBoard(uint32_t handle);
  uint32_t BoardFromFullName(const std::string& fullName) const;
  uint32_t GetCurrentBoard() const { return FCurrentBoard; }
  bool SetCurrentBoard(uint32_t board);

  // 0 for a kind the server does not keep.
  uint32_t CreateObject(uint8_t kind);
  TRaveloObject* FindObject(uint32_t handle) { return FObjects.Find(handle); }
  bool Exists(uint32_t handle) const;
  int32_t DestroyObject(uint32_t handle);
  int32_t AddObjectToContainer(uint32_t container, uint32_t object);
  int32_t DeleteObjectFromContainer(uint32_t container, uint32_t object);
  // Tells the server that a query stored `object`'s Net, which was `before`.
  void NetStored(const TRaveloObject& object, int32_t before) {
    if (object.Net != before)
      NetChanged(object, before);
  }
  // Objects not in any container and not a component's text.
  int LooseObjectCount() const;

  // Calls `visit(object)` for every object of the scope that `wanted(object)` takes, in
  // creation order (board scope: board objects, component members and component texts;
  // component scope: members only; net scope: objects whose net it is). `wanted` is
  // asked first, so that an iterator over a kind of a large board does not work out the
  // scope of every other object.
  template <class F>
  void ForEachInScope(uint32_t container, F&& visit) const {
    ForEachInScope(container, std::forward<F>(visit), [](const TRaveloObject&) { return true; });
  }
  template <class F, class W>
  void ForEachInScope(uint32_t container, F&& visit, W&& wanted) const;
  uint32_t CreateIterator(uint32_t container, uint8_t kind, uint8_t layer);
  uint32_t IteratorFirst(uint32_t iterator);
  uint32_t IteratorNext(uint32_t iterator);
  int32_t DestroyIterator(uint32_t iterator);

  // The extent of an object or a board; false for an unknown handle.
  bool BoundingRectangle(uint32_t handle, TRaveloRect& rect) const;
  // Moves and turns a component's members and texts from its stored place to the new
  // one (by the change of X, Y and rotation, about the new reference point).
  void PlaceComponent(TRaveloObject& component, int32_t newX, int32_t newY, double newRotation);

  // Logs. The call log is kept unless switched off (a large import's log would take more
  // room than its board); Reset keeps it again.
  bool GetCallLogKept() const { return FCallLogKept; }
  void SetCallLogKept(bool value) { FCallLogKept = value; }
  TRaveloCallLog& GetCallLog() { return FCallLog; }
  std::string CallLogText() const { return FCallLog.Text(); }
  void ClearCallLog() { FCallLog.Clear(); }
  void ProgressInit(const std::string& caption, int32_t total);
  void ProgressUpdate();
  void ProgressFinish();
  void RouteEvent(const TRaveloEvent& event) { FEvents.Add(event); }

  // Results forced on an entry point by name, until cleared.
  void Inject(const std::string& entry, uint32_t result) { FInjected[entry] = result; }
  void ClearInjections() { FInjected.clear(); }
  // Asked by every entry point: the common case (nothing injected) is answered inline.
  std::optional<uint32_t> Injected(const char* entry) const {
    if (FInjected.empty())
      return std::nullopt;
    return FindInjected(entry);
  }

  void SetCommandRunner(TRaveloCommandRunner runner) { FCommandRunner = runner; }
  TRaveloCommandRunner GetCommandRunner() const { return FCommandRunner; }

  // Writes the deterministic text dump of a board (the writer is not finished); false,
  // with nothing written, for an unknown board.
  bool Dump(uint32_t board, TRaveloTextWriter& out) const;
  // One object's line of the dump; empty for an unknown handle.
  std::string DumpOne(uint32_t handle) const;
  // A board's general values, layers, pairs, dielectrics and option groups; empty for
  // an unknown board.
  std::string DumpSetup(uint32_t board);
  // Replaces a board's layer pairs; false for an unknown board.
  bool SetLayerPairs(uint32_t board, const std::vector<TRaveloPair>& pairs);

 private:
  struct TIterator {
    TRaveloHandleList Items;
    // When an iterator over one kind of a board takes every handle of that kind, as
    // most do, its snapshot is the kind's own list up to the count it had then, not a
    // copy of it (made again for every kind of every move of a large board).
    const TRaveloHandleList* Whole = nullptr;
    size_t WholeCount = 0;
    TRaveloHandleList::TReader Next;
    size_t Taken = 0;  // handles read from the snapshot so far
    const TRaveloHandleList& Snapshot() const { return Whole ? *Whole : Items; }
    size_t Count() const { return Whole ? WholeCount : Items.size(); }
  };

  TRaveloServer() = default;
  friend union TRaveloServerStorage;
  static TRaveloServerStorage FInstance;
  uint32_t NewHandle() { return ++FLastHandle; }
  std::optional<uint32_t> FindInjected(const char* entry) const;
  // Sets an object's owner and keeps the member index up to date.
  void SetOwner(TRaveloObject& object, uint32_t owner);
  // The objects a component holds, in creation order (empty for none); boards are not
  // indexed: their scope is found by visiting every object once.
  const std::vector<uint32_t>& Owned(uint32_t owner) const;
  // Calls `visit(handle)` for a component's members and its name and comment texts (only
  // those in no container when `looseTextsOnly`), in creation order, without making a
  // list of them: a large board places and measures a hundred thousand components.
  template <class F>
  void ForEachComponentPart(const TRaveloObject& component, bool looseTextsOnly,
                            F&& visit) const;
  // Destroys an object and what it holds; costs what it holds, not the board's size.
  void DestroyTree(uint32_t handle);
  // Keeps the index of the objects naming each net up to date.
  void NetChanged(const TRaveloObject& object, int32_t before);
  void SetNet(TRaveloObject& object, int32_t net) {
    const int32_t before = std::exchange(object.Net, net);
    NetStored(object, before);
  }
  // Clears the Net of every object that names `handle` as its net.
  void ForgetNetReferences(uint32_t handle);
  void DumpObject(TRaveloTextWriter& out, const TRaveloObject& object) const;
  bool ObjectExtent(const TRaveloObject& object, TRaveloRect& rect, bool& any) const;
  // Whether `object` is in the scope of `board`: a board object, an object one of
  // those holds, or a text of one of the board's components that is in no container.
  bool InBoardScope(const TRaveloObject& object, uint32_t board) const;

  uint32_t FLastHandle = 0;
  uint32_t FCurrentBoard = 0;
  std::map<uint32_t, TRaveloBoard> FBoards;
  TRaveloObjectStore FObjects;  // handle order is creation order
  // The handles made of each kind, in creation order (destroyed ones stay listed): an
  // iterator over one kind of a board asks only those.
  std::array<TRaveloHandleList, rkBoardOutline + 1> FByKind;
  std::map<uint32_t, TIterator> FIterators;
  decltype(FIterators)::node_type FSpareIterator;  // the last one destroyed, for reuse
  std::pair<uint32_t, TIterator*> FLastIterator;    // the last one asked for
  TIterator* FindIterator(uint32_t iterator);
  // The members of each object that holds some (components), sorted, so that a
  // component's members are found without visiting every object.
  std::map<uint32_t, std::vector<uint32_t>> FOwned;
  // The list asked for last (null: none): a component's members are added one after
  // the other, and a search of the map of a large board's components for each of them
  // waited on memory. Forgotten whenever a list leaves the map.
  std::pair<uint32_t, std::vector<uint32_t>*> FLastOwned{0, nullptr};
  // The list of `owner`, made when `make`; null when there is none.
  std::vector<uint32_t>* OwnedList(uint32_t owner, bool make);
  void ForgetOwned(uint32_t owner);
  // The objects whose Net is each handle, so that what names a destroyed object is found
  // without visiting every object. An object that leaves stays listed until the list is
  // tidied (its Net is checked on use); `Live` counts those whose Net it still is.
  struct TNetReferrers {
    std::vector<uint32_t> Handles;
    size_t Live = 0;
  };
  std::unordered_map<uint32_t, TNetReferrers> FNetReferrers;
  std::pair<uint32_t, TNetReferrers*> FLastNet{0, nullptr};  // the list asked for last
  bool FCallLogKept = true;
  TRaveloCallLog FCallLog;
  std::vector<TRaveloProgress> FProgress;
  TRaveloEventLog FEvents;
  std::map<std::string, uint32_t> FInjected;
  TRaveloCommandRunner FCommandRunner = nullptr;
};

// The server of the process, made when the library is loaded and never destroyed: a
// process that ends drops its boards whole with the rest of its memory, without a walk
// over every object. A library unloaded while its process goes on frees them first
// (DllMain, RaveloControl.cpp).
union TRaveloServerStorage {
  TRaveloServerStorage() : Server() {}
  ~TRaveloServerStorage() {}
  TRaveloServer Server;
};

inline TRaveloServer& TRaveloServer::Instance() {
  return FInstance.Server;
}

inline bool TRaveloServer::InBoardScope(const TRaveloObject& object, uint32_t board) const {
  auto onBoard = [&](uint32_t handle) {
    const TRaveloObject* holder = FObjects.Find(handle);
    return holder && holder->Owner == board;
  };
  return object.Owner == board || (object.Owner != 0 && onBoard(object.Owner)) ||
         (object.Owner == 0 && object.Head().TextOfComponent != 0 &&
          onBoard(object.Head().TextOfComponent));
}

template <class F>
void TRaveloServer::ForEachComponentPart(const TRaveloObject& component, bool looseTextsOnly,
                                         F&& visit) const {
  const std::vector<uint32_t>& members = Owned(component.Handle);
  // The texts that are not members too (a text may be one), ascending, each once.
  uint32_t texts[2];
  size_t textCount = 0;
  for (uint32_t text : {component.Comp().NameText, component.Comp().CommentText}) {
    const TRaveloObject* found = FObjects.Find(text);
    if (!found || (looseTextsOnly && found->Owner != 0) ||
        std::binary_search(members.begin(), members.end(), text) ||
        (textCount == 1 && texts[0] == text))
      continue;
    texts[textCount++] = text;
  }
  if (textCount == 2 && texts[1] < texts[0])
    std::swap(texts[0], texts[1]);
  size_t nextText = 0;
  for (uint32_t member : members) {
    for (; nextText < textCount && texts[nextText] < member; ++nextText)
      visit(texts[nextText]);
    visit(member);
  }
  for (; nextText < textCount; ++nextText)
    visit(texts[nextText]);
}

template <class F, class W>
void TRaveloServer::ForEachInScope(uint32_t container, F&& visit, W&& wanted) const {
  if (FBoards.count(container)) {
    FObjects.ForEach([&](const TRaveloObject& object) {
      if (wanted(object) && InBoardScope(object, container))
        visit(object);
    });
    return;
  }
  const TRaveloObject* holder = FObjects.Find(container);
  if (!holder)
    return;
  if (holder->Kind == rkComponent) {
    for (uint32_t member : Owned(container))
      if (const TRaveloObject& object = *FObjects.Find(member); wanted(object))
        visit(object);
    return;
  }
  if (holder->Kind == rkNet) {
    FObjects.ForEach([&](const TRaveloObject& object) {
      if (object.Net == static_cast<int32_t>(container) && wanted(object))
        visit(object);
    });
  }
}

// Layer identifiers "NoLayer" ... "ViaHoleLayer" by layer number, for names and dumps.
const char* RaveloLayerIdentifier(int layer);
// Nearest integer, ties to even.
int32_t RaveloRound(double value);
