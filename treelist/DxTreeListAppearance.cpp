// The display settings of a tree list: the fonts and image lists with their change reports,
// and the setters' change tests and reactions.
#include "treelist/DxTreeListAppearance.h"

#include "treelist/DxTreeList.h"

TdxTreeListAppearance::TdxTreeListAppearance(TCustomdxTreeList& control)
    : FControl(control),
      FBandFont(new TFont()),
      FHeaderFont(new TFont()),
      FPreviewFont(new TFont()),
      FImagesLink(new TChangeLink()),
      FStateImagesLink(new TChangeLink()) {
  FPreviewFont->SetColor(clBlue);
  FBandFont->OnChange = TNotifyEvent::Bind<&TdxTreeListAppearance::FontChange>(this);
  FHeaderFont->OnChange = TNotifyEvent::Bind<&TdxTreeListAppearance::FontChange>(this);
  FPreviewFont->OnChange = TNotifyEvent::Bind<&TdxTreeListAppearance::FontChange>(this);
  FImagesLink->OnChange = TNotifyEvent::Bind<&TdxTreeListAppearance::ImageListChange>(this);
  FStateImagesLink->OnChange = TNotifyEvent::Bind<&TdxTreeListAppearance::ImageListChange>(this);
}

TdxTreeListAppearance::~TdxTreeListAppearance() {
  if (FImages)
    FImages->UnRegisterChanges(FImagesLink.get());
  if (FStateImages)
    FStateImages->UnRegisterChanges(FStateImagesLink.get());
  // The links go with the members, then the fonts.
}

void TdxTreeListAppearance::ImageListRemoved(TComponent* component) {
  if (component == FImages)
    FImages = nullptr;
  if (component == FStateImages)
    FStateImages = nullptr;
}

void TdxTreeListAppearance::SetDisplayFlag(bool& field, bool value) {
  if (field == value)
    return;
  field = value;
  FControl.UpdateGuarded();
}

void TdxTreeListAppearance::SetPaintColor(TColor& field, TColor value) {
  if (field == value)
    return;
  field = value;
  FControl.Invalidate();
}

void TdxTreeListAppearance::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle)
    return;
  FBorderStyle = value;
  if (FControl.HandleAllocated())
    FControl.RecreateWnd();
}

void TdxTreeListAppearance::SetLookAndFeel(TdxLookAndFeel value) {
  if (value == FLookAndFeel)
    return;
  FLookAndFeel = value;
  FControl.SetScrollBarStyle(value != lfStandard ? sbsEncarta : sbsFlat);
  if (FControl.HandleAllocated())
    FControl.RecreateWnd();
  FControl.UpdateGuarded();
}

void TdxTreeListAppearance::SetGridLines(uint8_t value) {
  if (value == FGridLines)
    return;
  FGridLines = value;
  FControl.Invalidate();
}

void TdxTreeListAppearance::SetDefaultRowHeight(int value) {
  // The row height follows a value newly marked as set, also when it is the value held.
  if (value == FDefaultRowHeight && FDefaultRowHeightSet)
    return;
  FDefaultRowHeightSet = true;
  FDefaultRowHeight = value;
  FControl.UpdateGuarded();
}

void TdxTreeListAppearance::SetFixedBandLineWidth(int value) {
  if (value == FFixedBandLineWidth)
    return;
  FFixedBandLineWidth = value;
  FControl.UpdateGuarded();
}

void TdxTreeListAppearance::SetGridLineWidthSetting(int value) {
  if (value == FGridLineWidth)
    return;
  FGridLineWidth = value;
  FControl.UpdateGuarded();
}

void TdxTreeListAppearance::SetPreviewLines(int value) {
  if (value == FPreviewLines)
    return;
  FPreviewLines = value;
  FControl.UpdateGuarded();
}

void TdxTreeListAppearance::SetImageList(TCustomImageList*& field, TChangeLink* link, TCustomImageList* value) {
  if (value == field)
    return;
  TdxTreeListUpdateScope update(&FControl);
  ReplaceImageList(&FControl, field, link, value);
}

void TdxTreeListAppearance::ImageListChange(TObject* sender) {
  FControl.UpdateGuarded();
}

void TdxTreeListAppearance::FontChange(TObject* sender) {
  FControl.UpdateGuarded();
}
