// The tree list's classes and published properties for the class library's streaming.
#include "classlib/ClassRegistry.h"
#include "classlib/PublishedProperties.h"
#include "treelist/DxTreeListControl.h"
#include "treelist/DxTreeListMaskColumn.h"
#include "treelist/DxTreeListStoredLimits.h"

void TCustomdxTreeListControl::PublishProperties() {
  using B = TCustomdxTreeList;
  RegisterPublishedProperties(
      B::StaticClass(),
      {OrdinalProperty<&B::GetOptions, &B::SetOptions>("Options", static_cast<int32_t>(dxDefaultTreeListOptions)),
       OrdinalProperty<&B::GetOptionsEx, &B::SetOptionsEx>("OptionsEx",
                                                          static_cast<int32_t>(dxDefaultTreeListOptionsEx)),
       OrdinalProperty<&B::GetShowBands, &B::SetShowBands>("ShowBands", false),
       OrdinalProperty<&B::GetShowGrid, &B::SetShowGrid>("ShowGrid", false),
       OrdinalProperty<&B::GetShowHeader, &B::SetShowHeader>("ShowHeader", true)});
  using C = TCustomdxTreeListControl;
  RegisterPublishedProperties(
      StaticClass(),
      {StoredCountProperty<&C::GetBandMaxRowCountSetting, &C::SetBandMaxRowCount>("BandMaxRowCount", 5),
       StoredCountProperty<&C::GetBandRowCountSetting, &C::SetBandRowCountSetting>("BandRowCount", 1),
       ObjectProperty<&C::GetBands>("Bands"),
       OrdinalProperty<&C::GetDefaultLayout, &C::SetDefaultLayout>("DefaultLayout", true),
       StoredCountProperty<&C::GetHeaderMinRowCountSetting, &C::SetHeaderMinRowCount>("HeaderMinRowCount", 1),
       StoredCountProperty<&C::GetHeaderPanelMaxRowCountSetting, &C::SetHeaderPanelMaxRowCount>(
           "HeaderPanelMaxRowCount", 5),
       StoredWhen<&C::IsHeaderPanelRowCountStored>(
           StoredCountProperty<&C::GetHeaderPanelRowCountSetting, &C::SetHeaderPanelRowCount>("HeaderPanelRowCount"))});
}

namespace {
int gStarts = 0;
}  // namespace

void InitializeDxTreeListColumns() {
  if (gStarts++ > 0)
    return;
  RegisterClasses({TdxTreeListColumn::StaticClass(), TdxTreeListMaskColumn::StaticClass()});
  TCustomdxTreeListControl::PublishProperties();
  TdxTreeListBand::PublishProperties();
  TdxTreeListColumn::PublishProperties();
  TdxTreeListMaskColumn::PublishProperties();
}

void FinalizeDxTreeListColumns() {
  if (gStarts == 0 || --gStarts > 0)
    return;
  for (TClass cls : {TdxTreeListMaskColumn::StaticClass(), TdxTreeListColumn::StaticClass(),
                     TdxTreeListBand::StaticClass(), TCustomdxTreeListControl::StaticClass(),
                     TCustomdxTreeList::StaticClass()})
    UnRegisterPublishedProperties(cls);
  UnRegisterClasses({TdxTreeListColumn::StaticClass(), TdxTreeListMaskColumn::StaticClass()});
}
