// The proxies of the host's bookkeeping kinds, reached only through the proxy factory:
// object classes (kind 13) with their member names, from-tos (kind 7), manual from-tos
// (kind 15) and rules (kind 14). Their values are the host's, named by position and
// copied through unchanged; numbered values are reached by their number (EListError
// for a number outside the field's range).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "classlib/ShortString.h"
#include "classlib/StringList.h"
#include "pcb/PcbObject.h"

// A class of objects and the names of its members. Storing (direction 0 or 2) replaces
// the host's members by the list; any other direction loads the list afresh (it is
// emptied first), member by member until the host answers anything but 0, and at most
// MaxMembers names, so a host that never reports the end cannot hold the load.
class TPCBObjectClass : public TPCBObject {
  KIVO_CLASS(TPCBObjectClass, TPCBObject)

 public:
  static constexpr int MaxMembers = 65536;

  explicit TPCBObjectClass(uint32_t handle = 0);
  // The class query, then the members; the status of the last member call.
  int32_t Synchronize(uint8_t mode) override;

  std::string GetName() const override { return FName.Str(); }
  // Keeps the first 255 characters.
  void SetName(const std::string& value) override { FName = value; }
  uint8_t GetClassByte1() const { return FClassByte1; }
  void SetClassByte1(uint8_t value) { FClassByte1 = value; }
  uint8_t GetClassByte2() const { return FClassByte2; }
  void SetClassByte2(uint8_t value) { FClassByte2 = value; }
  // Owned by the proxy; names longer than 255 characters are stored cut.
  TStringList* GetMembers() const { return FMembers.get(); }

 private:
  ShortString<255> FName;
  uint8_t FClassByte1 = 0;
  uint8_t FClassByte2 = 0;
  std::unique_ptr<TStringList> FMembers;
};

// A connection from (X, Y) to (X2, Y2) on the net Net.
class TPcbFromTo : public TPCBObject {
  KIVO_CLASS(TPcbFromTo, TPCBObject)

 public:
  explicit TPcbFromTo(uint32_t handle = 0);
  int32_t Synchronize(uint8_t mode) override;

  int32_t GetX2() const override { return FX2; }
  int32_t GetY2() const override { return FY2; }
  uint8_t GetByteAux3() const override { return FByteAux3; }
  uint8_t GetByteAux4() const override { return FByteAux4; }
  void SetX2(int32_t value) override { FX2 = value; }
  void SetY2(int32_t value) override { FY2 = value; }
  void SetByteAux3(uint8_t value) override { FByteAux3 = value; }
  void SetByteAux4(uint8_t value) override { FByteAux4 = value; }

 private:
  int32_t FX2 = 0;
  int32_t FY2 = 0;
  uint8_t FByteAux3 = 0;
  uint8_t FByteAux4 = 0;
};

class TPcbManualFromTo : public TPCBObject {
  KIVO_CLASS(TPcbManualFromTo, TPCBObject)

 public:
  explicit TPcbManualFromTo(uint32_t handle = 0);
  int32_t Synchronize(uint8_t mode) override;

  std::string GetFromToText(int number) const {
    return ProxyElement(FFromToText, number, 1, 3).Str();
  }
  // Keeps the first 255 characters.
  void SetFromToText(int number, const std::string& value) {
    ProxyElement(FFromToText, number, 1, 3) = value;
  }
  int32_t GetFromToLong() const { return FFromToLong; }
  void SetFromToLong(int32_t value) { FFromToLong = value; }

 private:
  std::array<ShortString<255>, 4> FFromToText;  // 1 to 3
  int32_t FFromToLong = 0;
};

class TPcbRule : public TPCBObject {
  KIVO_CLASS(TPcbRule, TPCBObject)

 public:
  explicit TPcbRule(uint32_t handle = 0);
  int32_t Synchronize(uint8_t mode) override;

  uint8_t GetRuleByte(int number) const { return ProxyElement(FRuleByte, number, 1, 9); }
  void SetRuleByte(int number, uint8_t value) { ProxyElement(FRuleByte, number, 1, 9) = value; }
  std::string GetRuleText(int number) const { return ProxyElement(FRuleText, number, 1, 10).Str(); }
  // Keeps the first 255 characters.
  void SetRuleText(int number, const std::string& value) {
    ProxyElement(FRuleText, number, 1, 10) = value;
  }
  int32_t GetRuleLong(int number) const { return ProxyElement(FRuleLong, number, 1, 4); }
  void SetRuleLong(int number, int32_t value) { ProxyElement(FRuleLong, number, 1, 4) = value; }

 private:
  std::array<uint8_t, 10> FRuleByte{};            // 1 to 9
  std::array<ShortString<255>, 11> FRuleText;     // 1 to 10
  std::array<int32_t, 5> FRuleLong{};             // 1 to 4
};
