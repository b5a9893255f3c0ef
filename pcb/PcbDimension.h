// The proxies of dimensions (kind 11) and coordinate markers (kind 12). Their values are
// the host's, named by position (DimLong1 ... DimLong18, CoordValue1 ... CoordValue6)
// and copied through unchanged; numbered values are reached by their number
// (EListError for a number outside the field's range).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "classlib/ShortString.h"
#include "pcb/PcbObject.h"
#include "pcb/PcbGroups.h"

// One reference of a dimension: four host values.
struct TPcbDimensionReference {
  int32_t RefValue1 = 0;
  int32_t RefValue2 = 0;
  int32_t RefValue3 = 0;
  int32_t RefValue4 = 0;
};

// A dimension holds at most 200 references: the host's reference count is cut to 200,
// so that no more records are asked for than the proxy holds.
class TPcbDimension : public TPcbGroupObject {
  KIVO_CLASS(TPcbDimension, TPcbGroupObject)

 public:
  static constexpr int ReferenceCapacity = 200;

  explicit TPcbDimension(uint32_t handle = 0);
  // The two dimension queries, then the references; the bitwise and of the two
  // queries' statuses.
  int32_t Synchronize(uint8_t mode) override;

  uint8_t GetDimByte(int number) const { return ProxyElement(FDimByte, number, 1, 5); }
  void SetDimByte(int number, uint8_t value) { ProxyElement(FDimByte, number, 1, 5) = value; }
  int32_t GetDimLong(int number) const { return ProxyElement(FDimLong, number, 1, 18); }
  void SetDimLong(int number, int32_t value) { ProxyElement(FDimLong, number, 1, 18) = value; }
  std::string GetDimText(int number) const { return ProxyElement(FDimText, number, 1, 3).Str(); }
  // Keeps the first 255 characters.
  void SetDimText(int number, const std::string& value) {
    ProxyElement(FDimText, number, 1, 3) = value;
  }
  double GetDimDouble() const { return FDimDouble; }
  void SetDimDouble(double value) { FDimDouble = value; }
  // References 0 to 199.
  const TPcbDimensionReference& GetReferences(int index) const {
    return ProxyElement(FReferences, index, 0, ReferenceCapacity - 1);
  }
  void SetReferences(int index, const TPcbDimensionReference& value) {
    ProxyElement(FReferences, index, 0, ReferenceCapacity - 1) = value;
  }
  int32_t GetReferenceCount() const { return FReferenceCount; }

 private:
  std::array<uint8_t, 6> FDimByte{};    // 1 to 5
  std::array<int32_t, 19> FDimLong{};   // 1 to 18
  std::array<ShortString<255>, 4> FDimText;  // 1 to 3
  double FDimDouble = 0.0;
  std::array<TPcbDimensionReference, ReferenceCapacity> FReferences{};
  int32_t FReferenceCount = 0;
};

class TPcbCoordinate : public TPcbGroupObject {
  KIVO_CLASS(TPcbCoordinate, TPcbGroupObject)

 public:
  explicit TPcbCoordinate(uint32_t handle = 0);
  int32_t Synchronize(uint8_t mode) override;

  int32_t GetCoordValue(int number) const { return ProxyElement(FCoordValue, number, 1, 6); }
  void SetCoordValue(int number, int32_t value) { ProxyElement(FCoordValue, number, 1, 6) = value; }

 private:
  std::array<int32_t, 7> FCoordValue{};  // 1 to 6
};
