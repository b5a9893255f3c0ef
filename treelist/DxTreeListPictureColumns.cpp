// The graphic and blob columns.
//
// Decisions taken here:
// - A graphic cell whose text is no picture paints as an empty cell: the load error is
//   caught where the cell is prepared, and the failed value is remembered, so that it is
//   not read again for every repaint of the same text.
#include "treelist/DxTreeListPictureColumns.h"

#include "classlib/AliveGuard.h"
#include "classlib/Clipboard.h"
#include "classlib/FlagScope.h"
#include "editors/DxExEdtr.h"
#include "editors/DxPictureValues.h"
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

void TdxTreeListGraphicColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListGraphicColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
  inherited::Assign(source);
  SetCenter(other->FCenter);
  SetCustomFilter(other->FCustomFilter);
  SetCustomGraphic(other->FCustomGraphic);
  SetDblClickActivate(other->FDblClickActivate);
  SetGraphicTransparency(other->FGraphicTransparency);
  SetPopupToolBar(other->FPopupToolBar.get());
  SetPopupToolbarPosStored(other->FPopupToolbarPosStored);
  SetQuickDraw(other->FQuickDraw);
  SetShadowSelection(other->FShadowSelection);
  SetStretch(other->FStretch);
  OnAssignPicture = other->OnAssignPicture;
  OnCustomClick = other->OnCustomClick;
  OnGetGraphicClass = other->OnGetGraphicClass;
}

TGraphicClass TdxTreeListGraphicColumn::GetGraphicClass(TdxTreeListNode* node) {
  TGraphicClass cls = nullptr;
  OnGetGraphicClass(this, node, cls);
  return cls;
}

void TdxTreeListGraphicColumn::EditorGetGraphicClass(TObject* sender, TGraphicClass& graphicClass) {
  graphicClass = GetGraphicClass(FocusedNode());
}

TPicture* TdxTreeListGraphicColumn::LoadNodePicture(TdxTreeListNode* node) {
  if (FCustomGraphic && GetComponentState().Contains(csDesigning)) {
    FPicture->Assign(nullptr);
    FLoadedValid = false;
    return FPicture.get();
  }
  std::string text = GetNodeText(node);
  const TGraphicClass cls = GetGraphicClass(node);
  if (FLoadedValid && cls == FLoadedClass && text == FLoadedText)
    return FPicture.get();
  FLoadedValid = false;
  LoadPictureForPainting(FPicture.get(), cls, Variant(text));
  FLoadedText = std::move(text);
  FLoadedClass = cls;
  FLoadedValid = true;
  return FPicture.get();
}

void TdxTreeListGraphicColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* graphic = ObjectAs<TdxInplaceGraphicEdit>(editor);
  if (graphic && IsEditValueChanged(editor)) {
    std::string bytes;
    SavePictureToString(graphic->GetPicture(), bytes);
    StoreNodeText(this, node, bytes, value);
    return;
  }
  ReadNodeValue(this, node, value);
}

void TdxTreeListGraphicColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* graphic = ObjectAs<TdxInplaceGraphicEdit>(editor);
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

void TdxTreeListGraphicColumn::LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* graphic = ObjectAs<TdxInplaceGraphicEdit>(editor);
  if (!graphic) {
    inherited::LoadEditValue(node, editor, value);
    return;
  }
  graphic->SetEditMargins(TRect{0, 0, 0, 0});
  graphic->SetText(std::string());
  ReadNodeValue(this, node, value);
  // The class's handler may free the column, and the editor it dressed with it.
  TGraphicClass cls = nullptr;
  if (!Survives(this, [&] { cls = GetGraphicClass(node); }))
    return;
  // Loading is no edit; bytes that are no picture leave the editor empty.
  const TKeepModified keep(graphic);
  const TFlagScope loading(graphic->LoadingValue);
  LoadPictureForPainting(graphic->GetPicture(), cls, value);
}

void TdxTreeListGraphicColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  inherited::PrepareViewData(viewData, cellInfo);
  auto* v = ObjectAs<TdxGraphicEditViewData>(viewData);
  if (!v)
    return;
  TPicture* picture = LoadNodePicture(cellInfo->Node);
  if (FGraphicTransparency != gtDefault && !IsPictureEmpty(picture))
    picture->GetGraphic()->SetTransparent(FGraphicTransparency == gtTransparent);
  v->Picture = picture;
  // The stored bytes are no text to show: a cell without a picture is empty.
  v->Value = Variant(std::string());
  v->WindowColor = ColorToRGB(cellInfo->Color);
  v->Center = FCenter;
  v->SelectionShadow = FShadowSelection && cellInfo->Highlighted;
  v->QuickDraw = FQuickDraw;
  v->Stretch = FStretch;
}

int TdxTreeListGraphicColumn::GetNodeTextWidth(TCanvas* canvas, TdxTreeListNode* node) {
  if (FStretch)
    return 0;
  TPicture* picture = LoadNodePicture(node);
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

void TdxTreeListBlobColumn::Assign(TPersistent* source) {
  auto* other = ObjectAs<TdxTreeListBlobColumn>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  TdxTreeListUpdateScope update(GetTreeList());
  inherited::Assign(source);
  SetAlwaysSaveText(other->FAlwaysSaveText);
  SetBlobEditKind(other->FBlobEditKind);
  SetBlobPaintStyle(other->FBlobPaintStyle);
  SetMaxDisplayLength(other->FMaxDisplayLength);
  SetMemoCharCase(other->FMemoCharCase);
  SetMemoHideScrollBars(other->FMemoHideScrollBars);
  SetMemoMaxLength(other->FMemoMaxLength);
  SetMemoOEMConvert(other->FMemoOEMConvert);
  SetMemoScrollBars(other->FMemoScrollBars);
  SetMemoSelectionBar(other->FMemoSelectionBar);
  SetMemoWantReturns(other->FMemoWantReturns);
  SetMemoWantTabs(other->FMemoWantTabs);
  SetMemoWordWrap(other->FMemoWordWrap);
  SetPictureAutoSize(other->FPictureAutoSize);
  SetPictureFilter(other->FPictureFilter);
  SetPictureTransparency(other->FPictureTransparency);
  SetPopupHeight(other->FPopupHeight);
  SetPopupWidth(other->FPopupWidth);
  SetShowExPopupItems(other->FShowExPopupItems);
  SetShowPicturePopup(other->FShowPicturePopup);
  SetSizeablePopup(other->FSizeablePopup);
  OnAssignPicture = other->OnAssignPicture;
  OnGetGraphicClass = other->OnGetGraphicClass;
}

void TdxTreeListBlobColumn::AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* blob = ObjectAs<TdxInplaceBlobEdit>(editor);
  if (!blob) {
    inherited::AssignEditValue(node, editor, value);
    return;
  }
  if (IsEditValueChanged(editor))
    StoreNodeText(this, node, blob->GetBlobValue(), value);
  else
    ReadNodeValue(this, node, value);
}

void TdxTreeListBlobColumn::InitEditProperties(TdxInplaceEdit* editor) {
  inherited::InitEditProperties(editor);
  auto* blob = ObjectAs<TdxInplaceBlobEdit>(editor);
  if (!blob)
    return;
  if (TdxTreeListNode* focused = FocusedNode())
    blob->SetDisplayText(GetNodeText(focused));
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

void TdxTreeListBlobColumn::LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) {
  auto* blob = ObjectAs<TdxInplaceBlobEdit>(editor);
  if (!blob) {
    inherited::LoadEditValue(node, editor, value);
    return;
  }
  // The editor's value is the whole stored text (a memo or a picture's bytes).
  ReadNodeValue(this, node, value);
  blob->SetEditValue(value);
}

void TdxTreeListBlobColumn::PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo) {
  inherited::PrepareViewData(viewData, cellInfo);
  auto* v = ObjectAs<TdxBlobEditViewData>(viewData);
  if (!v)
    return;
  v->BlobEditKind = FBlobEditKind;
  v->BlobPaintStyle = FBlobPaintStyle;
  v->Images = DxInplaceGlyphs();
  Variant value;
  ReadNodeValue(this, cellInfo->Node, value);
  v->Value = value;
  v->Empty = value.IsNull() || (value.IsString() && value.AsString().empty());
}

void TdxTreeListBlobColumn::GetFocusedGraphicClass(TGraphicClass& graphicClass) {
  graphicClass = GetGraphicClass(FocusedNode());
}

void TdxTreeListBlobColumn::StorePopupSize(TdxInplaceEdit* editor) {
  auto* blob = ObjectAs<TdxInplaceBlobEdit>(editor);
  if (!blob)
    return;
  SetPopupWidth(blob->GetPopupWidth());
  SetPopupHeight(blob->GetPopupHeight());
}

void TdxTreeListBlobColumn::EditorPopupSize(TObject* sender) { StorePopupSize(ObjectAs<TdxInplaceEdit>(sender)); }

TGraphicClass TdxTreeListBlobColumn::GetGraphicClass(TdxTreeListNode* node) {
  TGraphicClass cls = FGraphicClass;
  OnGetGraphicClass(this, node, cls);
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
