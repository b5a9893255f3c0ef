#include "importer/KivoPadStack.h"

#include "importer/KivoPads.h"

#include <string>
#include <unordered_map>

namespace {

// The definitions' IndexOf, remembered: every pin and via of a board asks it for the few
// names of its pad stack, and each asking compares the name with the definitions through
// the locale. The answers hold while the list keeps its revision, which is unique in the
// process.
class TDefinitionIndexMemo {
 public:
  int IndexOf(const TStringList& list, const std::string& name) {
    if (&list != FList || list.GetRevision() != FRevision) {
      FList = &list;
      FRevision = list.GetRevision();
      FAnswers.clear();
    }
    auto [answer, asked] = FAnswers.try_emplace(name, 0);
    if (asked)
      answer->second = list.IndexOf(name);
    return answer->second;
  }

 private:
  const TStringList* FList = nullptr;
  uint64_t FRevision = 0;
  std::unordered_map<std::string, int> FAnswers;
};

TDefinitionIndexMemo gDefinitionIndexMemo;

}  // namespace

TKivoPadStack::~TKivoPadStack() {
  for (int i = 0; i < FPadDefinitions.GetCount(); ++i)
    delete FPadDefinitions.GetObject(i);
}

void TKivoPadStack::AddPadDefinition(TKivoPadDef* definition) {
  FPadDefinitions.AddObject(definition->GetName(), definition);
}

TKivoPadDef* TKivoPadStack::FindPadDefinition(const std::string& name) const {
  const int index = gDefinitionIndexMemo.IndexOf(FPadDefinitions, name);
  return index < 0 ? nullptr : dynamic_cast<TKivoPadDef*>(FPadDefinitions.GetObject(index));
}
