// The column: settings with their fallbacks, placement, sort state, editor binding and
// streaming.
//
// Decisions taken here:
// - The view data is made from the editor class on first use rather than in the
//   constructor, where a column kind's editor class could not be asked yet.
// - A freed column always leaves its control, also while the control is being
//   destroyed (its cell texts are then left alone), so the control never keeps a freed
//   column.
// - The font follows the control's by value: it is copied again (without its change
//   notification) whenever it is not the column's own and any attribute differs.
// - A cell's text goes to its editor as a value (TakeValueText): one the editor cannot
//   show whole stays read-only there, and nothing of it is stored back.
#include "treelist/DxTreeListColumn.h"

#include <algorithm>
#include <cassert>

#include "classlib/AliveGuard.h"
#include "classlib/Canvas.h"
#include "classlib/Filer.h"
#include "classlib/PublishedProperties.h"
#include "treelist/DxTreeListControl.h"
#include "treelist/DxTreeListEditStyle.h"
#include "treelist/DxTreeListStoredLimits.h"

namespace {

bool SameFont(TFont* a, TFont* b) {
  return a->GetName() == b->GetName() && a->GetHeight() == b->GetHeight() && a->GetStyle() == b->GetStyle() &&
         a->GetColor() == b->GetColor() && a->GetCharset() == b->GetCharset() && a->GetPitch() == b->GetPitch();
}

}  // namespace

TdxTreeListColumn::TdxTreeListColumn(TComponent* AOwner) : TComponent(AOwner) {}

TdxTreeListColumn::~TdxTreeListColumn() {
  // The control takes the column's cell texts out of its nodes as it removes it.
  if (FTreeList)
    FTreeList->RemoveColumn(this);
  delete FFont;
  delete FHeaderGlyph;
  delete FViewData;
}

// ---- Streaming and naming

void TdxTreeListColumn::PublishProperties() {
  using C = TdxTreeListColumn;
  TPropInfo colIndex = OrdinalProperty<&C::GetColIndex, &C::SetColIndex>("ColIndex");
  colIndex.Stored = [](const TObject*) { return false; };
  RegisterPublishedProperties(
      StaticClass(),
      {StoredWhen<&C::IsAlignmentStored>(OrdinalProperty<&C::GetAlignment, &C::SetAlignment>("Alignment")),
       StoredWhen<&C::IsCaptionStored>(StringProperty<&C::GetCaption, &C::SetCaption>("Caption")),
       OrdinalProperty<&C::GetCharCase, &C::SetCharCase>("CharCase", ecNormal),
       StoredWhen<&C::IsColorStored>(OrdinalProperty<&C::GetColor, &C::SetColor>("Color")),
       OrdinalProperty<&C::GetDisableCaption, &C::SetDisableCaption>("DisableCaption", false),
       OrdinalProperty<&C::GetDisableCustomizing, &C::SetDisableCustomizing>("DisableCustomizing", false),
       OrdinalProperty<&C::GetDisableDragging, &C::SetDisableDragging>("DisableDragging", false),
       OrdinalProperty<&C::GetDisableEditor, &C::SetDisableEditor>("DisableEditor", false),
       StoredWhen<&C::IsFontStored>(ObjectProperty<&C::GetFont, &C::SetFont>("Font")),
       OrdinalProperty<&C::GetHeaderAlignment, &C::SetHeaderAlignment>("HeaderAlignment", taLeftJustify),
       StoredWhen<&C::IsHeaderGlyphStored>(ObjectProperty<&C::GetHeaderGlyph, &C::SetHeaderGlyph>("HeaderGlyph")),
       StoredWhen<&C::IsMaxLengthStored>(OrdinalProperty<&C::GetMaxLength, &C::SetMaxLength>("MaxLength")),
       StoredSizeProperty<&C::GetMinWidth, &C::SetMinWidth>("MinWidth", 20),
       OrdinalProperty<&C::GetOEMConvert, &C::SetOEMConvert>("OEMConvert", false),
       OrdinalProperty<&C::GetPasswordChar, &C::SetPasswordChar>("PasswordChar", 0),
       StoredWhen<&C::IsReadOnlyStored>(OrdinalProperty<&C::GetReadOnly, &C::SetReadOnly>("ReadOnly")),
       OrdinalProperty<&C::GetSizing, &C::SetSizing>("Sizing", true),
       OrdinalProperty<&C::GetSorted, &C::SetSorted>("Sorted", csNone),
       OrdinalProperty<&C::GetTabStop, &C::SetTabStop>("TabStop", true),
       OrdinalProperty<&C::GetVertAlignment, &C::SetVertAlignment>("VertAlignment", tlTop),
       OrdinalProperty<&C::GetVisible, &C::SetVisible>("Visible", true),
       StoredWhen<&C::IsWidthStored>(StoredSizeProperty<&C::GetWidth, &C::SetWidth>("Width")),
       OrdinalProperty<&C::GetBandIndex, &C::SetBandIndex>("BandIndex"),
       OrdinalProperty<&C::GetRowIndex, &C::SetRowIndex>("RowIndex"),
       colIndex,
       StoredCountProperty<&C::GetHeaderMaxLineCount, &C::SetHeaderMaxLineCount>("HeaderMaxLineCount", 1)});
}

void TdxTreeListColumn::SetName(const std::string& value) {
  inherited::SetName(value);
  OnNameChanged(this);
}

void TdxTreeListColumn::ReadState(TReader& reader) {
  inherited::ReadState(reader);
  if (auto* control = ObjectAs<TCustomdxTreeListControl>(reader.GetParent()))
    SetTreeList(control);
}

void TdxTreeListColumn::DefineProperties(TFiler& filer) {
  inherited::DefineProperties(filer);
  filer.DefineProperty("SortedOrder", TReaderProc::Bind<&TdxTreeListColumn::ReadSortedOrder>(this),
                       TWriterProc::Bind<&TdxTreeListColumn::WriteSortedOrder>(this), IsSortedOrderStored());
  filer.DefineProperty("StoredRowIndex", TReaderProc::Bind<&TdxTreeListColumn::ReadStoredRowIndex>(this),
                       TWriterProc::Bind<&TdxTreeListColumn::WriteStoredRowIndex>(this), FStoredRowIndex != 0);
}

bool TdxTreeListColumn::IsSortedOrderStored() {
  return FTreeList && FTreeList->IsMultiSort() && FTreeList->GetSortedColumnListCount() >= 2 && FSorted != csNone;
}

void TdxTreeListColumn::ReadSortedOrder(TReader& reader) { FLoadedSortedOrder = reader.ReadInteger(); }

void TdxTreeListColumn::WriteSortedOrder(TWriter& writer) {
  writer.WriteInteger(FTreeList->FSortedColumns.IndexOf(this));
}

void TdxTreeListColumn::ReadStoredRowIndex(TReader& reader) {
  FStoredRowIndex = LimitStoredCount(reader.ReadInteger());
}

void TdxTreeListColumn::WriteStoredRowIndex(TWriter& writer) { writer.WriteInteger(FStoredRowIndex); }

bool TdxTreeListColumn::IsColorStored() {
  if (!FAssigned.Contains(cavColor))
    return false;
  const TColor fallback = FTreeList ? FTreeList->GetColor() : clWindow;
  return FColor != fallback;
}

// ---- The control

void TdxTreeListColumn::SetTreeList(TCustomdxTreeListControl* value) {
  if (value == FTreeList)
    return;
  if (FTreeList)
    FTreeList->RemoveColumn(this);
  if (value)
    value->AddColumn(this);
}

void TdxTreeListColumn::Changed(bool allItems) {
  if (FTreeList)
    FTreeList->ColumnChanged(allItems ? nullptr : this);
}

// ---- Copying and defaults

void TdxTreeListColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(FTreeList);
  RestoreDefaults();
  const TdxTreeListColumnAssignedValues assigned = other->FAssigned;
  if (assigned.Contains(cavAlignment))
    SetAlignment(other->GetAlignment());
  if (assigned.Contains(cavCaption))
    SetCaption(other->GetCaption());
  if (assigned.Contains(cavReadOnly))
    SetReadOnly(other->FReadOnly);
  if (assigned.Contains(cavWidth))
    SetWidth(other->GetWidth());
  if (assigned.Contains(cavColor))
    SetColor(other->GetColor());
  if (assigned.Contains(cavFont))
    SetFont(other->GetFont());
  SetDisableCaption(other->FDisableCaption);
  SetDisableCustomizing(other->FDisableCustomizing);
  SetDisableEditor(other->FDisableEditor);
  SetSortingDisabled(other->FSortingDisabled);
  SetHeaderAlignment(other->FHeaderAlignment);
  if (other->HasHeaderGlyph())
    SetHeaderGlyph(other->FHeaderGlyph);
  SetMinWidth(other->FMinWidth);
  SetSizing(other->FSizing);
  SetSorted(other->FSorted);
  SetVertAlignment(other->FVertAlignment);
  SetVisible(other->FVisible);
  SetTabStop(other->FTabStop);
  SetBandIndex(other->FBandIndex);
  SetRowIndex(other->GetRowIndex());
  SetColIndex(other->GetColIndex());
  SetHeaderMaxLineCount(other->FHeaderMaxLineCount);
}

void TdxTreeListColumn::RestoreDefaults() {
  FAssigned = {};
  SyncFont();
  ApplyDefaultWidth();
  FDisableCaption = false;
  FDisableCustomizing = false;
  FDisableEditor = false;
  FHeaderAlignment = taLeftJustify;
  FMinWidth = 20;
  FSizing = true;
  FTabStop = true;
  FVertAlignment = tlTop;
  SetSorted(csNone);
  Changed(/*allItems=*/true);
}

void TdxTreeListColumn::ApplyDefaultWidth() {
  if (!FAssigned.Contains(cavWidth))
    FWidth = std::max(DefaultWidth(), FMinWidth);
}

TdxTreeListNode* TdxTreeListColumn::FocusedNode() const {
  return FTreeList ? FTreeList->GetFocusedNode() : nullptr;
}

// ---- Virtual operations

void TdxTreeListColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  // An editor that shows its value only in part holds no text to store.
  if (editor && editor->Is<TdxInplaceTextEdit>() && !editor->GetValueShownInPart()) {
    StoreNodeText(this, node, editor->GetText(), value);
    return;
  }
  if (FTreeList)
    FTreeList->GetNodeValue(node, GetIndex(), value);
}

void ReadNodeValue(TdxTreeListColumn* column, TdxTreeListNode* node, Variant& value) {
  if (TCustomdxTreeListControl* tree = column->GetTreeList())
    tree->GetNodeValue(node, column->GetIndex(), value);
  else
    value = Variant(column->GetNodeText(node));
}

bool StoreNodeText(TdxTreeListColumn* column, TdxTreeListNode* node, const std::string& text, Variant& value) {
  // The node's texts tell of their change, whose handler may free the node, the column,
  // the control or the form.
  const int index = column->GetIndex();
  if (!BothSurvive(column, node, [&] { node->SetString(index, text); }))
    return false;
  ReadNodeValue(column, node, value);
  return true;
}

void TdxTreeListColumn::DoChange(TObject* sender) {
  if (!FTreeList || FTreeList->IsLocked())
    return;
  if (Survives(this, [&] { FTreeList->DoEditChange(); }))
    OnChange(this);
}

void TdxTreeListColumn::DoCustomDrawCell(TCanvas* aCanvas, const TRect& aRect, TdxTreeListNode* aNode,
                                         bool aSelected, bool aFocused, bool aNewItemRow, std::string& aText,
                                         TColor& aColor, TFont* aFont, TAlignment& aAlignment, bool& aDone) {
  OnCustomDrawCell(this, aCanvas, aRect, aNode, this, aSelected, aFocused, aNewItemRow, aText, aColor, aFont,
                   aAlignment, aDone);
}

void TdxTreeListColumn::DoValidate(TObject* sender, std::string& errorText, bool& accept) {
  if (!FTreeList || FTreeList->IsLocked())
    return;
  if (Survives(this, [&] { FTreeList->DoEditValidate(errorText, accept); }))
    OnValidate(this, errorText, accept);
}

void TdxTreeListColumn::FontChanged(TObject* sender) {
  FAssigned.Include(cavFont);
  Changed(/*allItems=*/true);
}

const TdxInplaceEditClass* TdxTreeListColumn::GetEditorClass() { return &TdxInplaceTreeListTextEdit::MetaClass(); }

std::string TdxTreeListColumn::GetNodeText(TdxTreeListNode* node) {
  std::string text;
  if (FTreeList && node)
    FTreeList->GetNodeString(node, GetIndex(), text);
  return text;
}

int TdxTreeListColumn::GetIndex() {
  if (FIndexOverride != -1)
    return FIndexOverride;
  if (FCachedIndex != -1)
    return FCachedIndex;
  return FTreeList ? FTreeList->IndexOfColumn(this) : -1;
}

TdxEditViewData* TdxTreeListColumn::GetViewData() {
  if (!FViewData)
    FViewData = GetEditorClass()->NewViewData();
  return FViewData;
}

void TdxTreeListColumn::InitEditProperties(TdxInplaceEdit* editor) {
  if (!editor)
    return;
  if (FTreeList)
    FTreeList->EditorBoundTo(editor, this);
  editor->SetReadOnly(GetReadOnly());
  editor->OnChange = TNotifyEvent::Bind<&TdxTreeListColumn::DoChange>(this);
  editor->OnValidate = TdxEditValidateEvent::Bind<&TdxTreeListColumn::DoValidate>(this);
  auto* text = ObjectAs<TdxInplaceTextEdit>(editor);
  if (!text)
    return;
  text->SetCharCase(FCharCase);
  text->SetMaxLength(GetMaxLength());
  text->SetOEMConvert(FOEMConvert);
  text->SetPasswordChar(FPasswordChar);
  if (text->HandleAllocated())
    text->ClearUndo();
}

void TdxTreeListColumn::LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  editor->TakeValueText(GetNodeText(node));
  value = Variant(editor->GetText());
}

bool TdxTreeListColumn::CanSort() {
  return !FSortingDisabled && !GetComponentState().Contains(csDesigning);
}

void TdxTreeListColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  TdxEditViewData& v = *viewData;
  v.Enabled = true;
  v.Focused = false;
  v.Active = cellInfo->HotFlag;
  v.BorderColor = clNone;
  v.BorderStyle = xbsNone;
  v.ButtonStyle = TreeListButtonStyle(FTreeList ? FTreeList->GetLookAndFeel() : lfStandard);
  v.ButtonTransparent = false;
  v.Edges = dxAllEdges;
  v.Shadow = false;
  v.NoFill = false;
  v.TransparentText = false;
  v.Margins = TRect{1, 0, 0, 0};
  v.Bounds = cellInfo->Bounds;
  v.Alignment = cellInfo->Alignment;
  v.VertAlignment = cellInfo->MultiLine ? vaWordWrap : static_cast<TdxVertAlignment>(FVertAlignment);
  v.Brush = cellInfo->Brush;
  v.Font = cellInfo->Font;
  v.TextLength = 0;
  v.Color = ColorToRGB(cellInfo->Color);
  v.TextColor = ColorToRGB(cellInfo->TextColor);
  v.HasTextArea = false;
  v.Value = Variant(cellInfo->Text);
  if (auto* text = ObjectAs<TdxTextEditViewData>(viewData)) {
    text->CharCase = FCharCase;
    text->PasswordChar = FPasswordChar;
  }
}

void TdxTreeListColumn::SetIndex(int newIndex) {
  if (!FTreeList)
    return;
  const int old = GetIndex();
  if (old < 0)
    return;
  newIndex = std::clamp(newIndex, 0, FTreeList->GetColumnCount() - 1);
  if (newIndex == old)
    return;
  // The nodes' texts tell of their move, whose handlers may free the control or this column.
  TCustomdxTreeListControl* tree = FTreeList;
  if (!BothSurvive(this, tree, [&] { tree->ColumnMoved(old, newIndex); }))
    return;
  FTreeList->FColumns.Move(old, newIndex);
  FTreeList->ForgetColumnIndexes();
  Changed(/*allItems=*/true);
}

int TdxTreeListColumn::GetNodeTextWidth(TCanvas* canvas, TdxTreeListNode* node) {
  return canvas->TextWidth(GetNodeText(node));
}

// ---- Fallback values

TAlignment TdxTreeListColumn::GetAlignment() {
  return FAssigned.Contains(cavAlignment) ? FAlignment : DefaultAlignment();
}

void TdxTreeListColumn::SetAlignment(TAlignment value) { StoreAssigned(FAlignment, value, cavAlignment, /*allItems=*/false); }

std::string TdxTreeListColumn::GetCaption() {
  return FAssigned.Contains(cavCaption) ? FCaption : DefaultCaption();
}

void TdxTreeListColumn::SetCaption(const std::string& value) {
  if (FAssigned.Contains(cavCaption) && value == FCaption)
    return;
  FCaption = value;
  FAssigned.Include(cavCaption);
  ApplyDefaultWidth();
  Changed(/*allItems=*/true);
}

TColor TdxTreeListColumn::GetColor() {
  if (FAssigned.Contains(cavColor))
    return FColor;
  return FTreeList ? FTreeList->GetColor() : clWindow;
}

void TdxTreeListColumn::SetColor(TColor value) { StoreAssigned(FColor, value, cavColor, /*allItems=*/false); }

int TdxTreeListColumn::GetMaxLength() {
  return FAssigned.Contains(cavMaxLength) ? FMaxLength : DefaultMaxLength();
}

void TdxTreeListColumn::SetMaxLength(int value) { StoreAssigned(FMaxLength, value, cavMaxLength, /*allItems=*/false); }

bool TdxTreeListColumn::GetReadOnly() {
  const bool own = FAssigned.Contains(cavReadOnly) ? FReadOnly : DefaultReadOnly();
  return own || (FTreeList && FTreeList->IsEditReadOnly());
}

void TdxTreeListColumn::SetReadOnly(bool value) { StoreAssigned(FReadOnly, value, cavReadOnly, /*allItems=*/false); }

int TdxTreeListColumn::GetWidth() { return FWidth; }

void TdxTreeListColumn::SetWidth(int value) {
  value = std::max(value, FMinWidth);
  const bool assigned = FAssigned.Contains(cavWidth);
  if (!assigned && value == DefaultWidth()) {
    if (value == FWidth)
      return;
    FWidth = value;
    Changed(/*allItems=*/false);
    return;
  }
  if (assigned && value == FWidth)
    return;
  FWidth = value;
  FAssigned.Include(cavWidth);
  Changed(/*allItems=*/false);
}

void TdxTreeListColumn::SetMinWidth(int value) {
  value = std::max(value, 0);
  if (value == FMinWidth)
    return;
  FMinWidth = value;
  SetWidth(FWidth);
}

TFont* TdxTreeListColumn::GetFont() {
  if (!FFont) {
    FFont = new TFont();
    FFont->OnChange = TNotifyEvent::Bind<&TdxTreeListColumn::FontChanged>(this);
  }
  SyncFont();
  return FFont;
}

void TdxTreeListColumn::SetFont(TFont* value) { GetFont()->Assign(value); }

void TdxTreeListColumn::SyncFont() {
  if (!FFont || FAssigned.Contains(cavFont) || !FTreeList)
    return;
  TFont* source = FTreeList->GetFont();
  if (SameFont(FFont, source))
    return;
  const TNotifyEvent notify = FFont->OnChange;
  FFont->OnChange = nullptr;
  try {
    FFont->Assign(source);
  } catch (...) {
    FFont->OnChange = notify;
    throw;
  }
  FFont->OnChange = notify;
}

// ---- Plain settings

void TdxTreeListColumn::SetCharCase(TEditCharCase value) { Store(FCharCase, value, /*allItems=*/true); }

void TdxTreeListColumn::SetDisableCaption(bool value) { Store(FDisableCaption, value, /*allItems=*/true); }

void TdxTreeListColumn::SetDisableCustomizing(bool value) { Store(FDisableCustomizing, value, /*allItems=*/true); }

void TdxTreeListColumn::SetSortingDisabled(bool value) { Store(FSortingDisabled, value, /*allItems=*/true); }

void TdxTreeListColumn::SetHeaderAlignment(TAlignment value) { Store(FHeaderAlignment, value, /*allItems=*/true); }

TBitmap* TdxTreeListColumn::GetHeaderGlyph() {
  if (!FHeaderGlyph)
    FHeaderGlyph = new TBitmap();
  return FHeaderGlyph;
}

void TdxTreeListColumn::SetHeaderGlyph(TBitmap* value) {
  if (!value) {
    if (!FHeaderGlyph)
      return;
    FreeAndNil(FHeaderGlyph);
  } else {
    if (value == FHeaderGlyph)
      return;
    GetHeaderGlyph()->Assign(value);
  }
  Changed(/*allItems=*/true);
}

void TdxTreeListColumn::SetHeaderMaxLineCount(int value) { Store(FHeaderMaxLineCount, std::max(value, 0), true); }

void TdxTreeListColumn::SetOEMConvert(bool value) { Store(FOEMConvert, value, /*allItems=*/false); }

void TdxTreeListColumn::SetPasswordChar(char value) { Store(FPasswordChar, value, /*allItems=*/false); }

void TdxTreeListColumn::SetSizing(bool value) { Store(FSizing, value, /*allItems=*/false); }

void TdxTreeListColumn::SetVertAlignment(TTextLayout value) { Store(FVertAlignment, value, /*allItems=*/false); }

void TdxTreeListColumn::SetVisible(bool value) { Store(FVisible, value, /*allItems=*/false); }

// ---- Placement

void TdxTreeListColumn::SetBandIndex(int value) {
  value = std::max(value, -1);
  if (FTreeList)
    value = std::min(value, FTreeList->GetBandCount() - 1);
  Store(FBandIndex, value, /*allItems=*/false);
}

int TdxTreeListColumn::GetRowIndex() {
  if (!FTreeList)
    return FRowIndex;
  return std::clamp(FStoredRowIndex, 0, std::max(FTreeList->GetHeaderPanelRowCountSetting() - 1, 0));
}

void TdxTreeListColumn::SetRowIndex(int value) {
  value = std::max(value, 0);
  if (FTreeList)
    value = std::min(value, std::max(FTreeList->GetHeaderPanelRowCountSetting() - 1, 0));
  if (value == GetRowIndex())
    return;
  FRowIndex = FStoredRowIndex = value;
  Changed(/*allItems=*/false);
}

int TdxTreeListColumn::GetColIndex() {
  if (!FTreeList)
    return -1;
  const int row = GetRowIndex();
  int position = 0;
  for (int i = 0; i < FTreeList->GetColumnCount(); ++i) {
    TdxTreeListColumn* column = FTreeList->ColumnAt(i);
    if (column == this)
      return position;
    if (column->FVisible && column->FBandIndex == FBandIndex && column->GetRowIndex() == row)
      ++position;
  }
  return -1;
}

void TdxTreeListColumn::SetColIndex(int value) {
  if (!FTreeList || FBandIndex < 0 || value == GetColIndex())
    return;
  // The visible columns of this column's band row, in list order.
  const int row = GetRowIndex();
  std::vector<TdxTreeListColumn*> rowColumns;
  for (int i = 0; i < FTreeList->GetColumnCount(); ++i) {
    TdxTreeListColumn* column = FTreeList->ColumnAt(i);
    if (column->FVisible && column->FBandIndex == FBandIndex && column->GetRowIndex() == row)
      rowColumns.push_back(column);
  }
  if (rowColumns.empty())
    return;
  const int target = std::clamp(value, 0, static_cast<int>(rowColumns.size()));
  if (target >= static_cast<int>(rowColumns.size())) {
    SetIndex(rowColumns.back()->GetIndex() + 1);
    return;
  }
  SetIndex(rowColumns[target]->GetIndex());
}

// ---- Sorting

void TdxTreeListColumn::SetSorted(TdxTreeListColumnSort value) {
  if (value == FSorted)
    return;
  if (!FTreeList || FTreeList->IsLoading()) {
    FSorted = value;
    Changed(/*allItems=*/false);
    return;
  }
  // Either way the control's sorted update is held for the change, so that the nodes
  // are sorted once (SortFinished) when the outermost change is done, and not while an
  // exception passes.
  TCustomdxTreeListControl* control = FTreeList;
  const TdxTreeListSortedScope sorted(control);
  if (value == csNone) {
    FSorted = value;
    control->RemoveSortedColumn(this);
    Changed(/*allItems=*/false);
    return;
  }
  control->BeforeColumnSorted(this);
  FSorted = value;
  control->ColumnSorted(this);
}
