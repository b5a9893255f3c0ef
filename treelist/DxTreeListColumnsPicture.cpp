// The graphic, blob and wrapper columns.
//
// Decisions taken here:
// - A graphic cell whose text is no picture paints as an empty cell: the load error is
//   caught where the cell is prepared, and the failed value is remembered, so that it is
//   not read again for every repaint of the same text.
// - The wrapper column sets its reference column's index override for the conversion
//   and sets it back however the call ends; a reference that is the wrapper itself, or
//   that leads back to it through other wrappers, counts as no reference.
#include <algorithm>
#include <vector>

#include "classlib/Clipboard.h"
#include "editors/DxExEdtr.h"
#include "editors/DxPictureValues.h"
#include "treelist/DxTreeListColumns.h"
#include "treelist/DxTreeListControl.h"

// ==== Graphic column

TdxTreeListGraphicColumn::TdxTreeListGraphicColumn(TComponent* AOwner)
    : TdxTreeListColumn(AOwner),
      FPicture(new TPicture()),
      FPopupToolBar(new TdxPopupToolBarWindow(nullptr)),
      FClipboardFormat(CF_PICTURE()) {
  SetHeaderMaxLineCount(0);
}

TdxTreeListGraphicColumn::~TdxTreeListGraphicColumn() {
  FPopupToolBar.reset();
  FPicture.reset();
}

void TdxTreeListGraphicColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListGraphicColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetCenter(source->FCenter);
  SetCustomFilter(source->FCustomFilter);
  SetCustomGraphic(source->FCustomGraphic);
  SetDblClickActivate(source->FDblClickActivate);
  SetGraphicTransparency(source->FGraphicTransparency);
  SetPopupToolBar(source->FPopupToolBar.get());
  SetPopupToolbarPosStored(source->FPopupToolbarPosStored);
  SetQuickDraw(source->FQuickDraw);
  SetShadowSelection(source->FShadowSelection);
  SetStretch(source->FStretch);
  OnAssignPicture = source->OnAssignPicture;
  OnCustomClick = source->OnCustomClick;
  OnGetGraphicClass = source->OnGetGraphicClass;
}

TGraphicClass TdxTreeListGraphicColumn::GetGraphicClass(TdxTreeListNode* Node) {
  TGraphicClass cls = nullptr;
  OnGetGraphicClass(this, Node, cls);
  return cls;
}

void TdxTreeListGraphicColumn::EditorGetGraphicClass(TObject* Sender, TGraphicClass& GraphicClass) {
  GraphicClass = GetGraphicClass(GetTreeList() ? GetTreeList()->GetFocusedNode() : nullptr);
}

TPicture* TdxTreeListGraphicColumn::LoadNodePicture(TdxTreeListNode* Node) {
  if (FCustomGraphic && GetComponentState().Contains(csDesigning)) {
    FPicture->Assign(nullptr);
    FLoadedValid = false;
    return FPicture.get();
  }
  std::string text = GetNodeText(Node);
  const TGraphicClass cls = GetGraphicClass(Node);
  if (FLoadedValid && cls == FLoadedClass && text == FLoadedText)
    return FPicture.get();
  FLoadedValid = false;
  LoadPictureForPainting(FPicture.get(), cls, Variant(text));
  FLoadedText = std::move(text);
  FLoadedClass = cls;
  FLoadedValid = true;
  return FPicture.get();
}

void TdxTreeListGraphicColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  auto* graphic = ObjectAs<TdxInplaceGraphicEdit>(Editor);
  if (graphic && IsEditValueChanged(Editor)) {
    std::string bytes;
    SavePictureToString(graphic->GetPicture(), bytes);
    Node->SetString(GetIndex(), bytes);
  }
  ReadNodeValue(this, Node, Value);
}

void TdxTreeListGraphicColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* graphic = ObjectAs<TdxInplaceGraphicEdit>(Editor);
  if (!graphic)
    return;
  graphic->SetCenter(FCenter);
  graphic->SetClipboardFormat(FClipboardFormat);
  graphic->SetCustomFilter(FCustomFilter);
  graphic->SetCustomGraphic(FCustomGraphic);
  graphic->SetDblClickActivate(FDblClickActivate);
  graphic->SetGraphicTransparency(FGraphicTransparency);
  graphic->SetPopupToolBar(FPopupToolBar.get());
  graphic->SetStoredToolBarPos(FToolBarPos);
  graphic->SetPopupToolbarPosStored(FPopupToolbarPosStored);
  graphic->SetQuickDraw(FQuickDraw);
  graphic->SetStretch(FStretch);
  graphic->OnAssignPicture =
      TdxGraphicEditAssignPictureEvent::Bind<&TdxTreeListGraphicColumn::EditorAssignPicture>(this);
  graphic->OnCustomClick = TNotifyEvent::Bind<&TdxTreeListGraphicColumn::EditorCustomClick>(this);
  graphic->OnGetGraphicClass =
      TdxGraphicEditGetGraphicClassEvent::Bind<&TdxTreeListGraphicColumn::EditorGetGraphicClass>(this);
}

void TdxTreeListGraphicColumn::LoadEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  auto* graphic = ObjectAs<TdxInplaceGraphicEdit>(Editor);
  if (!graphic) {
    inherited::LoadEditValue(Node, Editor, Value);
    return;
  }
  graphic->SetEditMargins(TRect{0, 0, 0, 0});
  graphic->SetText(std::string());
  ReadNodeValue(this, Node, Value);
  // Loading is no edit; bytes that are no picture leave the editor empty.
  const bool modified = graphic->GetModified();
  graphic->LoadingValue = true;
  LoadPictureForPainting(graphic->GetPicture(), GetGraphicClass(Node), Value);
  graphic->LoadingValue = false;
  graphic->SetModified(modified);
}

void TdxTreeListGraphicColumn::PrepareViewData(TdxEditViewData* ViewData, TdxTreeListCellViewData* CellInfo) {
  inherited::PrepareViewData(ViewData, CellInfo);
  auto* v = ObjectAs<TdxGraphicEditViewData>(ViewData);
  if (!v)
    return;
  TPicture* picture = LoadNodePicture(CellInfo->Node);
  if (FGraphicTransparency != gtDefault && !IsPictureEmpty(picture))
    picture->GetGraphic()->SetTransparent(FGraphicTransparency == gtTransparent);
  v->Picture = picture;
  // The stored bytes are no text to show: a cell without a picture is empty.
  v->Value = Variant(std::string());
  v->WindowColor = ColorToRGB(CellInfo->Color);
  v->Center = FCenter;
  v->SelectionShadow = FShadowSelection && CellInfo->Highlighted;
  v->QuickDraw = FQuickDraw;
  v->Stretch = FStretch;
}

int TdxTreeListGraphicColumn::GetNodeTextWidth(TCanvas* Canvas, TdxTreeListNode* Node) {
  if (FStretch)
    return 0;
  TPicture* picture = LoadNodePicture(Node);
  return IsPictureEmpty(picture) ? 0 : picture->GetWidth();
}

void TdxTreeListGraphicColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FCenter = true;
  FCustomGraphic = false;
  FDblClickActivate = true;
  FGraphicTransparency = gtDefault;
  FPopupToolbarPosStored = true;
  FQuickDraw = false;
  FShadowSelection = true;
  FStretch = true;
  SetHeaderMaxLineCount(0);
}

void TdxTreeListGraphicColumn::SetPopupToolbarPosStored(bool value) {
  if (!value)
    FToolBarPos = TPoint{-10000, -10000};
  Store(FPopupToolbarPosStored, value, false);
}

// ==== Blob column

TdxTreeListBlobColumn::TdxTreeListBlobColumn(TComponent* AOwner)
    : TdxTreeListDropDownColumn(AOwner), FClipboardFormat(CF_PICTURE()) {
  SetMinWidth(20);
}

void TdxTreeListBlobColumn::Assign(TPersistent* Source) {
  auto* source = ObjectAs<TdxTreeListBlobColumn>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList(), GetTreeList() != nullptr);
  inherited::Assign(Source);
  SetAlwaysSaveText(source->FAlwaysSaveText);
  SetBlobEditKind(source->FBlobEditKind);
  SetBlobPaintStyle(source->FBlobPaintStyle);
  SetMaxDisplayLength(source->FMaxDisplayLength);
  SetMemoCharCase(source->FMemoCharCase);
  SetMemoHideScrollBars(source->FMemoHideScrollBars);
  SetMemoMaxLength(source->FMemoMaxLength);
  SetMemoOEMConvert(source->FMemoOEMConvert);
  SetMemoScrollBars(source->FMemoScrollBars);
  SetMemoSelectionBar(source->FMemoSelectionBar);
  SetMemoWantReturns(source->FMemoWantReturns);
  SetMemoWantTabs(source->FMemoWantTabs);
  SetMemoWordWrap(source->FMemoWordWrap);
  SetPictureAutoSize(source->FPictureAutoSize);
  SetPictureFilter(source->FPictureFilter);
  SetPictureTransparency(source->FPictureTransparency);
  SetPopupHeight(source->FPopupHeight);
  SetPopupWidth(source->FPopupWidth);
  SetShowExPopupItems(source->FShowExPopupItems);
  SetShowPicturePopup(source->FShowPicturePopup);
  SetSizeablePopup(source->FSizeablePopup);
  OnAssignPicture = source->OnAssignPicture;
  OnGetGraphicClass = source->OnGetGraphicClass;
}

void TdxTreeListBlobColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  auto* blob = ObjectAs<TdxInplaceBlobEdit>(Editor);
  if (!blob) {
    inherited::AssignEditValue(Node, Editor, Value);
    return;
  }
  if (IsEditValueChanged(Editor))
    Node->SetString(GetIndex(), blob->GetBlobValue());
  ReadNodeValue(this, Node, Value);
}

void TdxTreeListBlobColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  inherited::InitEditProperties(Editor);
  auto* blob = ObjectAs<TdxInplaceBlobEdit>(Editor);
  if (!blob)
    return;
  TCustomdxTreeListControl* tree = GetTreeList();
  if (tree && tree->GetFocusedNode())
    blob->SetDisplayText(GetNodeText(tree->GetFocusedNode()));
  blob->SetAlwaysSaveText(FAlwaysSaveText);
  blob->SetBlobEditKind(FBlobEditKind);
  blob->SetBlobPaintStyle(FBlobPaintStyle);
  blob->SetMemoCharCase(FMemoCharCase);
  blob->SetMemoHideScrollBars(FMemoHideScrollBars);
  blob->SetMemoMaxLength(FMemoMaxLength);
  blob->SetMemoOEMConvert(FMemoOEMConvert);
  blob->SetMemoScrollBars(FMemoScrollBars);
  blob->SetMemoSelectionBar(FMemoSelectionBar);
  blob->SetMemoWantReturns(FMemoWantReturns);
  blob->SetMemoWantTabs(FMemoWantTabs);
  blob->SetMemoWordWrap(FMemoWordWrap);
  blob->SetPictureAutoSize(FPictureAutoSize);
  blob->SetClipboardFormat(FClipboardFormat);
  blob->SetGraphicClass(FGraphicClass);
  blob->SetPictureFilter(FPictureFilter);
  blob->SetPictureTransparency(FPictureTransparency);
  blob->SetPopupHeight(FPopupHeight);
  blob->SetPopupWidth(FPopupWidth);
  blob->SetShowExPopupItems(FShowExPopupItems);
  blob->SetShowPicturePopup(FShowPicturePopup);
  blob->SetSizeablePopup(FSizeablePopup);
  blob->OnAssignPicture = TdxGraphicEditAssignPictureEvent::Bind<&TdxTreeListBlobColumn::EditorAssignPicture>(this);
  blob->OnGetGraphicClass =
      TdxGraphicEditGetGraphicClassEvent::Bind<&TdxTreeListBlobColumn::EditorGetGraphicClass>(this);
  blob->OnPopupSize = TNotifyEvent::Bind<&TdxTreeListBlobColumn::EditorPopupSize>(this);
}

void TdxTreeListBlobColumn::LoadEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  auto* blob = ObjectAs<TdxInplaceBlobEdit>(Editor);
  if (!blob) {
    inherited::LoadEditValue(Node, Editor, Value);
    return;
  }
  // The editor's value is the whole stored text (a memo or a picture's bytes).
  ReadNodeValue(this, Node, Value);
  blob->SetEditValue(Value);
}

void TdxTreeListBlobColumn::PrepareViewData(TdxEditViewData* ViewData, TdxTreeListCellViewData* CellInfo) {
  inherited::PrepareViewData(ViewData, CellInfo);
  auto* v = ObjectAs<TdxBlobEditViewData>(ViewData);
  if (!v)
    return;
  v->BlobEditKind = FBlobEditKind;
  v->BlobPaintStyle = FBlobPaintStyle;
  v->Images = DxInplaceGlyphs();
  Variant value;
  ReadNodeValue(this, CellInfo->Node, value);
  v->Value = value;
  v->Empty = value.IsNull() || (value.IsString() && value.AsString().empty());
}

void TdxTreeListBlobColumn::GetFocusedGraphicClass(TGraphicClass& GraphicClass) {
  GraphicClass = GetGraphicClass(GetTreeList() ? GetTreeList()->GetFocusedNode() : nullptr);
}

void TdxTreeListBlobColumn::StorePopupSize(TdxInplaceEdit* Editor) {
  auto* blob = ObjectAs<TdxInplaceBlobEdit>(Editor);
  if (!blob)
    return;
  SetPopupWidth(blob->GetPopupWidth());
  SetPopupHeight(blob->GetPopupHeight());
}

void TdxTreeListBlobColumn::EditorPopupSize(TObject* Sender) { StorePopupSize(ObjectAs<TdxInplaceEdit>(Sender)); }

TGraphicClass TdxTreeListBlobColumn::GetGraphicClass(TdxTreeListNode* Node) {
  TGraphicClass cls = FGraphicClass;
  OnGetGraphicClass(this, Node, cls);
  return cls;
}

void TdxTreeListBlobColumn::RestoreDefaults() {
  inherited::RestoreDefaults();
  FAlwaysSaveText = false;
  FBlobEditKind = bekMemo;
  FBlobPaintStyle = bpsIcon;
  FMaxDisplayLength = 255;
  FMemoCharCase = ecNormal;
  FMemoHideScrollBars = true;
  FMemoMaxLength = 0;
  FMemoOEMConvert = false;
  FMemoScrollBars = ssBoth;
  FMemoSelectionBar = false;
  FMemoWantReturns = true;
  FMemoWantTabs = true;
  FMemoWordWrap = true;
  FPictureAutoSize = true;
  FPictureTransparency = gtDefault;
  FPopupHeight = 140;
  FPopupWidth = 200;
  FShowExPopupItems = false;
  FShowPicturePopup = false;
  FSizeablePopup = true;
  SetMinWidth(20);
}

// ==== Wrapper column

void TdxTreeListWrapperColumn::Assign(TPersistent* Source) {
  inherited::Assign(Source);
  if (auto* source = ObjectAs<TdxTreeListWrapperColumn>(Source))
    OnGetReferenceColumn = source->OnGetReferenceColumn;
}

TdxTreeListNode* TdxTreeListWrapperColumn::FocusedNode() {
  return GetTreeList() ? GetTreeList()->GetFocusedNode() : nullptr;
}

TdxTreeListColumn* TdxTreeListWrapperColumn::GetReferenceColumn(TdxTreeListNode* Node) {
  if (!Node)
    Node = FocusedNode();
  if (!Node || !OnGetReferenceColumn.Assigned())
    return nullptr;
  TdxTreeListColumn* column = nullptr;
  OnGetReferenceColumn(this, Node, column);
  // Follow a chain of wrappers: one that comes back to a wrapper already seen (this
  // one included) is no reference.
  std::vector<TdxTreeListColumn*> seen{this};
  for (auto* wrapper = ObjectAs<TdxTreeListWrapperColumn>(column); wrapper;) {
    if (std::find(seen.begin(), seen.end(), wrapper) != seen.end())
      return nullptr;
    seen.push_back(wrapper);
    TdxTreeListColumn* next = nullptr;
    wrapper->OnGetReferenceColumn(wrapper, Node, next);
    wrapper = ObjectAs<TdxTreeListWrapperColumn>(next);
  }
  return column == this ? nullptr : column;
}

const TdxInplaceEditClass* TdxTreeListWrapperColumn::GetCellEditorClass(TdxTreeListNode* Node) {
  TdxTreeListColumn* reference = GetReferenceColumn(Node);
  return reference ? reference->GetCellEditorClass(Node) : inherited::GetEditorClass();
}

TdxEditViewData* TdxTreeListWrapperColumn::GetCellViewData(TdxTreeListNode* Node) {
  TdxTreeListColumn* reference = GetReferenceColumn(Node);
  return reference ? reference->GetCellViewData(Node) : inherited::GetViewData();
}

template <class F>
void TdxTreeListWrapperColumn::WithIndexOf(TdxTreeListColumn* reference, F call) {
  const int saved = reference->GetIndexOverride();
  reference->SetIndexOverride(GetIndex());
  struct TReset {
    TdxTreeListColumn* Column;
    int Saved;
    ~TReset() { Column->SetIndexOverride(Saved); }
  } reset{reference, saved};
  call();
}

void TdxTreeListWrapperColumn::AssignEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  TdxTreeListColumn* reference = GetReferenceColumn(Node);
  if (!reference) {
    if (IsEditValueChanged(Editor))
      inherited::AssignEditValue(Node, Editor, Value);
    else
      ReadNodeValue(this, Node, Value);
    return;
  }
  WithIndexOf(reference, [&] { reference->AssignEditValue(Node, Editor, Value); });
}

void TdxTreeListWrapperColumn::LoadEditValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) {
  TdxTreeListColumn* reference = GetReferenceColumn(Node);
  if (!reference) {
    inherited::LoadEditValue(Node, Editor, Value);
    return;
  }
  WithIndexOf(reference, [&] { reference->LoadEditValue(Node, Editor, Value); });
}

const TdxInplaceEditClass* TdxTreeListWrapperColumn::GetEditorClass() {
  TdxTreeListColumn* reference = GetReferenceColumn(nullptr);
  return reference ? reference->GetEditorClass() : inherited::GetEditorClass();
}

void TdxTreeListWrapperColumn::GetCellCursor(TdxTreeListNode* Node, TCursor& Cursor) {
  TdxTreeListColumn* reference = GetReferenceColumn(Node);
  if (!reference) {
    inherited::GetCellCursor(Node, Cursor);
    return;
  }
  WithIndexOf(reference, [&] { reference->GetCellCursor(Node, Cursor); });
}

TdxEditViewData* TdxTreeListWrapperColumn::GetViewData() {
  TdxTreeListColumn* reference = GetReferenceColumn(nullptr);
  return reference ? reference->GetViewData() : inherited::GetViewData();
}

void TdxTreeListWrapperColumn::InitEditProperties(TdxInplaceEdit* Editor) {
  TdxTreeListColumn* reference = GetReferenceColumn(nullptr);
  if (!reference) {
    inherited::InitEditProperties(Editor);
    return;
  }
  WithIndexOf(reference, [&] { reference->InitEditProperties(Editor); });
}

bool TdxTreeListWrapperColumn::ButtonQuery(bool Default) {
  TdxTreeListColumn* reference = GetReferenceColumn(nullptr);
  return reference ? reference->ButtonQuery(Default) : inherited::ButtonQuery(Default);
}

void TdxTreeListWrapperColumn::PrepareViewData(TdxEditViewData* ViewData, TdxTreeListCellViewData* CellInfo) {
  TdxTreeListColumn* reference = GetReferenceColumn(CellInfo->Node);
  if (!reference) {
    inherited::PrepareViewData(ViewData, CellInfo);
    return;
  }
  WithIndexOf(reference, [&] { reference->PrepareViewData(ViewData, CellInfo); });
}
