// The proxies of the host's container kinds that the importer creates: nets (kind 8),
// components (kind 9), polygons (kind 10) and board outlines (kind 21, a polygon under
// its own kind code). Values the host names only by position (NetByte1, ComponentByte1,
// ExLong1, PolygonFlag1 ...) are the host's and are copied through unchanged.
//
// A net's name, a component's rotation and the designator are the values the importer
// writes and reads, so a net answers GetName/SetName with its Name and a component
// answers GetRotation/SetRotation with its Rotation; SetMirrorFlag on a component
// changes nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "classlib/ShortString.h"
#include "pcb/PcbApi.h"
#include "pcb/PcbObject.h"

// The common base of the container kinds; adds nothing.
class TPcbGroupObject : public TPCBObject {
  KIVO_CLASS(TPcbGroupObject, TPCBObject)

 public:
  using TPCBObject::TPCBObject;
};

class TPcbNet : public TPcbGroupObject {
  KIVO_CLASS(TPcbNet, TPcbGroupObject)

 public:
  explicit TPcbNet(uint32_t handle = 0);
  int32_t Synchronize(uint8_t mode) override;

  // The host keeps the first NameLength characters of a net's name.
  static constexpr size_t NameLength = 255;
  std::string GetName() const override { return FName.Str(); }
  // Keeps the first NameLength characters.
  void SetName(const std::string& value) override { FName = value; }
  uint8_t GetNetByte1() const { return FNetByte1; }
  void SetNetByte1(uint8_t value) { FNetByte1 = value; }
  uint8_t GetNetByte2() const { return FNetByte2; }
  void SetNetByte2(uint8_t value) { FNetByte2 = value; }

 private:
  ShortString<NameLength> FName;
  uint8_t FNetByte1 = 0;
  uint8_t FNetByte2 = 0;
};

// A component with its designator and comment text objects (handles NameText and
// CommentText) and seven source links. Synchronize makes five host calls in a fixed
// order (channel offset, kind, the component, its extended values, its source links)
// and returns the status of the component query itself.
class TPcbComponent : public TPcbGroupObject {
  KIVO_CLASS(TPcbComponent, TPcbGroupObject)

 public:
  static constexpr int SourceLinkCount = 7;

  explicit TPcbComponent(uint32_t handle = 0);
  int32_t Synchronize(uint8_t mode) override;

  // The text of the designator text object (asked of the host).
  std::string GetName() const override;
  double GetRotation() const override { return FRotation; }
  void SetRotation(double value) override { FRotation = value; }

  int32_t GetChannelOffset() const { return FChannelOffset; }
  void SetChannelOffset(int32_t value) { FChannelOffset = value; }
  uint8_t GetComponentKind() const { return FComponentKind; }
  void SetComponentKind(uint8_t value) { FComponentKind = value; }
  int32_t GetNameText() const { return FNameText; }
  void SetNameText(int32_t value) { FNameText = value; }
  int32_t GetCommentText() const { return FCommentText; }
  void SetCommentText(int32_t value) { FCommentText = value; }
  std::string GetComponentString() const { return FComponentString.Str(); }
  // Keeps the first 250 characters.
  void SetComponentString(const std::string& value) { FComponentString = value; }
  uint8_t GetComponentByte1() const { return FComponentByte1; }
  void SetComponentByte1(uint8_t value) { FComponentByte1 = value; }
  uint8_t GetComponentByte2() const { return FComponentByte2; }
  void SetComponentByte2(uint8_t value) { FComponentByte2 = value; }
  int32_t GetComponentLong() const { return FComponentLong; }
  void SetComponentLong(int32_t value) { FComponentLong = value; }
  uint8_t GetComponentByte3() const { return FComponentByte3; }
  void SetComponentByte3(uint8_t value) { FComponentByte3 = value; }
  int32_t GetExLong1() const { return FExLong1; }
  void SetExLong1(int32_t value) { FExLong1 = value; }
  uint8_t GetExByte1() const { return FExByte1; }
  void SetExByte1(uint8_t value) { FExByte1 = value; }
  uint8_t GetExByte2() const { return FExByte2; }
  void SetExByte2(uint8_t value) { FExByte2 = value; }
  int32_t GetExLong2() const { return FExLong2; }
  void SetExLong2(int32_t value) { FExLong2 = value; }
  // Source links 1 to 7 (EListError beyond); each keeps the first 255 characters.
  std::string GetSourceLinks(int number) const {
    return ProxyElement(FSourceLinks, number, 1, SourceLinkCount).Str();
  }
  void SetSourceLinks(int number, const std::string& value) {
    ProxyElement(FSourceLinks, number, 1, SourceLinkCount) = value;
  }

 private:
  int32_t FChannelOffset = 0;
  uint8_t FComponentKind = 0;
  int32_t FNameText = 0;
  int32_t FCommentText = 0;
  ShortString<250> FComponentString;
  uint8_t FComponentByte1 = 0;
  uint8_t FComponentByte2 = 0;
  int32_t FComponentLong = 0;
  double FRotation = 0.0;
  uint8_t FComponentByte3 = 0;
  int32_t FExLong1 = 0;
  uint8_t FExByte1 = 0;
  uint8_t FExByte2 = 0;
  int32_t FExLong2 = 0;
  std::array<ShortString<255>, SourceLinkCount + 1> FSourceLinks;  // 1 to 7
};

// A polygon outline of PointCount + 1 segment records, the last repeating the first
// point. The proxy holds 501 records, so PointCount stays within 0 to 500: a larger
// count given or loaded from the host is cut to 500.
class TPcbPolygon : public TPcbGroupObject {
  KIVO_CLASS(TPcbPolygon, TPcbGroupObject)

 public:
  static constexpr int MaxPointCount = 500;
  static constexpr int SegmentCapacity = MaxPointCount + 1;

  explicit TPcbPolygon(uint32_t handle = 0);
  // Its records are not cleared (18.5 KB, for a proxy that reads one value of a
  // polygon; see TPcbReadOnly).
  TPcbPolygon(uint32_t handle, TPcbReadOnly);
  int32_t Synchronize(uint8_t mode) override;

  uint8_t GetPolygonByte() const { return FPolygonByte; }
  void SetPolygonByte(uint8_t value) { FPolygonByte = value; }
  uint8_t GetPolygonFlag1() const { return FPolygonFlag1; }
  void SetPolygonFlag1(uint8_t value) { FPolygonFlag1 = value; }
  uint8_t GetPolygonFlag2() const { return FPolygonFlag2; }
  void SetPolygonFlag2(uint8_t value) { FPolygonFlag2 = value; }
  uint8_t GetPolygonFlag3() const { return FPolygonFlag3; }
  void SetPolygonFlag3(uint8_t value) { FPolygonFlag3 = value; }
  int32_t GetGridSize() const { return FGridSize; }
  void SetGridSize(int32_t value) { FGridSize = value; }
  int32_t GetTrackWidth() const { return FTrackWidth; }
  void SetTrackWidth(int32_t value) { FTrackWidth = value; }
  int32_t GetPolygonLong() const { return FPolygonLong; }
  void SetPolygonLong(int32_t value) { FPolygonLong = value; }
  int32_t GetPointCount() const { return FPointCount; }
  // Kept within 0 to 500.
  void SetPointCount(int32_t value);
  // Segment records 0 to 500 (EListError beyond).
  const TPolygonSegment& GetSegments(int index) const {
    return ProxyElement(FSegments, index, 0, SegmentCapacity - 1);
  }
  void SetSegments(int index, const TPolygonSegment& value) {
    ProxyElement(FSegments, index, 0, SegmentCapacity - 1) = value;
  }
  uint8_t GetPolygonByte1() const { return FPolygonByte1; }
  void SetPolygonByte1(uint8_t value) { FPolygonByte1 = value; }
  uint8_t GetPolygonByte2() const { return FPolygonByte2; }
  void SetPolygonByte2(uint8_t value) { FPolygonByte2 = value; }

 private:
  uint8_t FPolygonByte = 0;
  uint8_t FPolygonFlag1 = 0;
  uint8_t FPolygonFlag2 = 0;
  uint8_t FPolygonFlag3 = 0;
  int32_t FGridSize = 0;
  int32_t FTrackWidth = 0;
  int32_t FPolygonLong = 0;
  int32_t FPointCount = 0;
  std::array<TPolygonSegment, SegmentCapacity> FSegments;  // cleared unless read-only
  uint8_t FPolygonByte1 = 0;
  uint8_t FPolygonByte2 = 0;
};

// The board's outline: a polygon under kind code 21.
class TPcbBoardOutline : public TPcbPolygon {
  KIVO_CLASS(TPcbBoardOutline, TPcbPolygon)

 public:
  explicit TPcbBoardOutline(uint32_t handle = 0);
  TPcbBoardOutline(uint32_t handle, TPcbReadOnly);
};
