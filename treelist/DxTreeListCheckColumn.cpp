// The check column and the default values of new check columns.
//
// Decisions taken here:
// - A check cell loads only the state into its editor (the node's text is not the
//   editor's caption); it is centred like the editor.
#include "treelist/DxTreeListCheckColumn.h"

#include <algorithm>

#include "classlib/AliveGuard.h"
#include "classlib/Strings.h"
#include "treelist/DxTreeListControl.h"

namespace {

std::string gValueChecked = "True";
std::string gValueUnchecked = "False";

}  // namespace

void SetDxCheckColumnDefaults(const std::string& checked, const std::string& unchecked) {
  gValueChecked = checked.empty() ? "True" : checked;
  gValueUnchecked = unchecked.empty() ? "False" : unchecked;
}

// ==== Check column

std::string TdxTreeListCheckColumn::DefaultValueChecked() { return gValueChecked; }
std::string TdxTreeListCheckColumn::DefaultValueUnchecked() { return gValueUnchecked; }

TdxTreeListCheckColumn::TdxTreeListCheckColumn(TComponent* AOwner)
    : TdxTreeListColumn(AOwner), FValueChecked(gValueChecked), FValueUnchecked(gValueUnchecked) {
  SetMinWidth(16);
}

TdxTreeListCheckColumn::~TdxTreeListCheckColumn() { delete FGlyph; }

void TdxTreeListCheckColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListCheckColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
  inherited::Assign(source);
  SetAllowGrayed(other->FAllowGrayed);
  SetBorder3D(other->FBorder3D);
  if (other->HasGlyph())
    SetGlyph(other->FGlyph);
  SetGlyphCount(other->FGlyphCount);
  SetShowNullFieldStyle(other->FShowNullFieldStyle);
  SetValueChecked(other->FValueChecked);
  SetValueGrayed(other->FValueGrayed);
  SetValueUnchecked(other->FValueUnchecked);
  OnToggleClick = other->OnToggleClick;
}

TdxCheckBoxState TdxTreeListCheckColumn::StateOf(const std::string& text) const {
  if (AnsiCompareText(text, FValueChecked) == 0)
    return cbsChecked;
  if (AnsiCompareText(text, FValueUnchecked) == 0)
    return cbsUnchecked;
  return cbsGrayed;
}

const std::string& TdxTreeListCheckColumn::TextOf(TdxCheckBoxState state) const {
  switch (state) {
    case cbsChecked:
      return FValueChecked;
    case cbsUnchecked:
      return FValueUnchecked;
    case cbsGrayed:
      break;
  }
  return FValueGrayed;
}

void TdxTreeListCheckColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* check = ObjectAs<TdxInplaceCheckEdit>(editor);
  if (!check) {
    inherited::AssignEditValue(node, editor, value);
    return;
  }
  if (IsEditValueChanged(editor))
    StoreNodeText(this, node, TextOf(check->GetState()), value);
  else
    ReadNodeValue(this, node, value);
}

void TdxTreeListCheckColumn::DoChange(TObject* sender) {
  // The change handlers may free the column or the editor that sent the change.
  bool senderAlive = false;
  if (!Survives(this, [&] { senderAlive = Survives(sender, [&] { inherited::DoChange(sender); }); }) || !senderAlive)
    return;
  TCustomdxTreeListControl* tree = GetTreeList();
  auto* check = ObjectAs<TdxInplaceCheckEdit>(sender);
  if (!tree || tree->IsLocked() || !check || !OnToggleClick.Assigned())
    return;
  OnToggleClick(this, TextOf(check->GetState()), check->GetState());
}

int TdxTreeListCheckColumn::GetMinCellHeight() {
  SIZE size{};
  if (HasGlyph() && TdxInplaceCheckEdit::GlyphSize(FGlyph, FGlyphCount, size))
    return size.cy;
  return DxCheckSize().cy + 2;
}

void TdxTreeListCheckColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* check = ObjectAs<TdxInplaceCheckEdit>(editor);
  if (!check)
    return;
  check->SetAlignment(taCenter);
  check->SetAllowGrayed(FAllowGrayed);
  check->GetStyle()->SetButtonStyle(FBorder3D ? bts3D : btsSimple);
  check->SetGlyph(HasGlyph() ? FGlyph : nullptr);
  check->SetGlyphCount(FGlyphCount);
  check->SetShowNullFieldStyle(FShowNullFieldStyle);
}

void TdxTreeListCheckColumn::LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* check = ObjectAs<TdxInplaceCheckEdit>(editor);
  if (!check) {
    inherited::LoadEditValue(node, editor, value);
    return;
  }
  const std::string text = GetNodeText(node);
  check->SetEditValue(Variant(int32_t(StateOf(text))));
  value = Variant(text);
}

void TdxTreeListCheckColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  inherited::PrepareViewData(viewData, cellInfo);
  auto* v = ObjectAs<TdxCheckEditViewData>(viewData);
  if (!v)
    return;
  v->Value = Variant(int32_t(StateOf(GetNodeText(cellInfo->Node))));
  v->Alignment = taCenter;
  v->VertAlignment = vaCenter;
  v->Caption.clear();
  v->ButtonStyle = FBorder3D ? bts3D : btsSimple;
  v->Glyph = HasGlyph() ? FGlyph : nullptr;
  v->GlyphCount = FGlyphCount;
  v->ShowNullFieldStyle = FShowNullFieldStyle;
  v->Pressed = false;
}

void TdxTreeListCheckColumn::GetDisplayText(TdxTreeListNode* node, const std::string& text, std::string& result) {
  result = TextOf(StateOf(text));
}

void TdxTreeListCheckColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FAllowGrayed = false;
  FBorder3D = false;
  FreeAndNil(FGlyph);
  FGlyphCount = 6;
  FShowNullFieldStyle = nsUnchecked;
  FValueChecked = gValueChecked;
  FValueGrayed.clear();
  FValueUnchecked = gValueUnchecked;
  SetMinWidth(16);
}

TBitmap* TdxTreeListCheckColumn::GetGlyph() {
  if (!FGlyph)
    FGlyph = new TBitmap();
  return FGlyph;
}

void TdxTreeListCheckColumn::SetGlyph(TBitmap* value) {
  if (value == FGlyph && value)
    return;
  if (value)
    GetGlyph()->Assign(value);
  else
    FreeAndNil(FGlyph);
  Changed(/*allItems=*/true);
}

void TdxTreeListCheckColumn::SetGlyphCount(int value) { Store(FGlyphCount, std::max(value, 1), true); }
