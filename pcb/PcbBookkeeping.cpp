// Loading a class's members stops at the first status other than 0 (the host's "past
// the last member" is 1, but any failure ends the list too) and after MaxMembers
// names, and starts from an empty list, so loading twice gives each member once.
#include "pcb/PcbBookkeeping.h"

#include "pcb/PcbApi.h"

TPCBObjectClass::TPCBObjectClass(uint32_t handle)
    : TPCBObject(handle), FMembers(std::make_unique<TStringList>()) {
  FObjectId = okClass;
}

int32_t TPCBObjectClass::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  PcbApi_QueryClass(mode, FHandle, &FPrimitiveWord, &FClassByte1, &FClassByte2, &FName);
  if (mode == 0 || mode == 2) {
    int32_t status = PcbApi_RemoveAllMembersFromClass(FHandle);
    for (int i = 0; i < FMembers->GetCount(); ++i)
      status = PcbApi_AddMemberToClass(FHandle, ShortString<255>(FMembers->Get(i)));
    return status;
  }
  FMembers->Clear();
  int32_t status = 0;
  for (int32_t i = 0; i < MaxMembers; ++i) {
    ShortString<255> name;
    status = PcbApi_GetMemberFromClassAt(FHandle, i, &name);
    if (status != 0)
      break;
    FMembers->Add(name.Str());
  }
  return status;
}

TPcbFromTo::TPcbFromTo(uint32_t handle) : TPCBObject(handle) {
  FObjectId = okFromTo;
}

int32_t TPcbFromTo::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  return PcbApi_QueryFromTo(mode, FHandle, &FPrimitiveWord, &FX, &FY, &FByteAux3, &FX2, &FY2,
                            &FByteAux4, &FNet);
}

TPcbManualFromTo::TPcbManualFromTo(uint32_t handle) : TPCBObject(handle) {
  FObjectId = okManualFromTo;
}

int32_t TPcbManualFromTo::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  return PcbApi_QueryManualFromTo(mode, FHandle, &FPrimitiveWord, &FFromToText[1], &FFromToText[2],
                                  &FFromToText[3], &FFromToLong);
}

TPcbRule::TPcbRule(uint32_t handle) : TPCBObject(handle) {
  FObjectId = okRule;
}

int32_t TPcbRule::Synchronize(uint8_t mode) {
  SynchronizeBitFields(mode);
  auto& b = FRuleByte;
  auto& t = FRuleText;
  auto& l = FRuleLong;
  return PcbApi_QueryRule(mode, FHandle, &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7], &t[1],
                          &t[2], &t[3], &t[4], &b[8], &b[9], &l[1], &l[2], &l[3], &l[4], &t[5],
                          &t[6], &t[7], &t[8], &t[9], &t[10]);
}
