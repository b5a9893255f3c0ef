// Decisions taken here:
// - The loading flag and the modified flag are put back in a finally part: a value
//   that does not load would otherwise leave the flag raised, and no later edit would
//   ever be reported.
// - Center and Stretch change how the picture looks, not the picture: like the other
//   display settings they re-layout without marking the editor modified.
// - A content rectangle without area, or a graphic without area, draws no picture; the
//   cell only gets its background (the scaling rule divides by those sizes).
// - The frame of a stand-alone editor is drawn by the editors' frame painting in the
//   non-client area; the content draws none of its own.
// - The context menu separates its groups (clipboard, files, custom) only where another
//   group follows, so that a reduced button set shows no trailing separator.
// - The editors never have a data link, so no second "paint picture" is ever loaded:
//   the view data always shows the editor's picture.
// - A popup menu anywhere in the editor's parent chain takes the right-click before
//   the editor's own menu; the editor's menu is then not offered.
#include "editors/DxInplaceGraphicEdit.h"

#include <algorithm>
#include <cassert>

#include "classlib/AliveGuard.h"
#include "classlib/Clipboard.h"
#include "classlib/GdiHandles.h"
#include "editors/DxExEdtr.h"
#include "editors/DxPictureCommands.h"
#include "editors/DxPictureValues.h"
#include "editors/DxUtils.h"

namespace {

// "Never placed" for the tool bar's positions.
constexpr TPoint kNoPosition{-10000, -10000};

// Restores a Boolean when the scope ends, however it ends.
class TFlagRestore {
 public:
  TFlagRestore(bool& flag, bool value) : FFlag(flag), FOld(flag) { FFlag = value; }
  ~TFlagRestore() { FFlag = FOld; }
  TFlagRestore(const TFlagRestore&) = delete;
  TFlagRestore& operator=(const TFlagRestore&) = delete;

 private:
  bool& FFlag;
  bool FOld;
};

// The shared canvas, locked and attached to a device context for a scope.
class TCanvasAttachment {
 public:
  TCanvasAttachment(TCanvas* canvas, HDC dc) : FCanvas(canvas) {
    FCanvas->Lock();
    FCanvas->SetHandle(dc);
  }
  ~TCanvasAttachment() {
    FCanvas->SetHandle(nullptr);
    FCanvas->Unlock();
  }
  TCanvasAttachment(const TCanvasAttachment&) = delete;
  TCanvasAttachment& operator=(const TCanvasAttachment&) = delete;

 private:
  TCanvas* FCanvas;
};

TRect ContentRect(const TRect& bounds, const TRect& margins) {
  return Rect(bounds.left + margins.left, bounds.top + margins.top, bounds.right - margins.right,
              bounds.bottom - margins.bottom);
}

// Paints the picture of `v` into `bounds` of `canvas` (whose DC is `dc`): the graphic
// in its rectangle and the background around it.
void DrawGraphic(HDC dc, TCanvas* canvas, const TRect& bounds, TdxGraphicEditViewData* v, HBRUSH brush) {
  TGraphic* graphic = v->Picture->GetGraphic();
  if (v->QuickDraw)
    if (auto* bitmap = ObjectAs<TBitmap>(graphic))
      bitmap->SetIgnorePalette(true);
  TRegionHandle savedClip(CreateRectRgn(0, 0, 0, 0));
  const bool hadClip = GetClipRgn(dc, savedClip.Get()) == 1;
  IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  const TRect r = CalcGraphicRect(ContentRect(bounds, v->Margins), graphic->GetWidth(), graphic->GetHeight(),
                                  v->Center, v->Stretch);
  if (IsRectEmpty(&r)) {
    FillRect(dc, &bounds, brush);
  } else if (!graphic->GetTransparent()) {
    canvas->StretchDraw(r, graphic);
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    FillRect(dc, &bounds, brush);
  } else {
    FillRect(dc, &bounds, brush);
    canvas->StretchDraw(r, graphic);
  }
  SelectClipRgn(dc, hadClip ? savedClip.Get() : nullptr);
}

// No picture: the background, or the view data's text centred on it.
void DrawNoGraphic(HDC dc, const TRect& bounds, TdxGraphicEditViewData* v, HBRUSH brush) {
  const std::string text = VarToStr(v->Value);
  if (text.empty()) {
    FillRect(dc, &bounds, brush);
    return;
  }
  DrawTextWithFlags(dc, text.c_str(), int(text.size()), bounds, bounds, dtfCenter | dtfVCenter, brush, v->Font,
                    TColor(v->Color), TColor(v->TextColor), nullptr);
}

}  // namespace

TRect CalcGraphicRect(const TRect& content, int pictureWidth, int pictureHeight, bool center, bool stretch) {
  const int width = RectWidth(content), height = RectHeight(content);
  if (width <= 0 || height <= 0 || pictureWidth <= 0 || pictureHeight <= 0)
    return TRect{};
  if (!stretch) {
    TRect r = Bounds(content.left, content.top, pictureWidth, pictureHeight);
    if (center)
      OffsetRect(&r, (width - pictureWidth) / 2, (height - pictureHeight) / 2);
    return r;
  }
  // width / height >= pictureWidth / pictureHeight, compared without dividing.
  if (int64_t(width) * pictureHeight >= int64_t(pictureWidth) * height)
    return Bounds(content.left, content.top, int(int64_t(height) * pictureWidth / pictureHeight), height);
  return Bounds(content.left, content.top, width, int(int64_t(width) * pictureHeight / pictureWidth));
}

TGraphic* GraphicOfEditValue(const Variant& value) {
  if (VarIsNull(value) || value.IsString())
    return nullptr;
  return reinterpret_cast<TGraphic*>(intptr_t(value.AsInteger()));
}

// ---- Construction -------------------------------------------------------------------

TdxInplaceGraphicEdit::TdxInplaceGraphicEdit(TComponent* AOwner) : TdxInplaceGraphicEdit(AOwner, &MetaClass()) {}

TdxInplaceGraphicEdit::TdxInplaceGraphicEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceEdit(AOwner, cls),
      FClipboardFormat(CF_PICTURE()),
      FLastToolBarPos(kNoPosition),
      FStoredToolBarPos(kNoPosition) {
  FPicture = std::make_unique<TPicture>();
  FPicture->OnChange = TNotifyEvent::Bind<&TdxInplaceGraphicEdit::PictureChanged>(this);
  // Owned by the editor as a component too, so that a failure after it frees it.
  FToolBar = new TdxPopupToolBar(this);
  FToolBar->OnButtonClick = TdxPopupToolBarButtonClickEvent::Bind<&TdxInplaceGraphicEdit::ToolBarButtonClick>(this);
  FToolBar->SetVisibleWanted(true);
  FPopupToolBar = std::make_unique<TdxPopupToolBarWindow>(this);
  // The tool bar follows the settings from the start.
  FToolBar->SetIsPopupMenu(FPopupToolBar->GetIsPopupMenu());
  SetControlStyle({csClickEvents, csSetCaption, csDoubleClicks});
  SetAutoSizeFlag(false);
  SetParentColor(false);
  SetBounds(GetLeft(), GetTop(), 140, 100);
}

TdxInplaceGraphicEdit::~TdxInplaceGraphicEdit() {
  Destroying();
  FPopupToolBar.reset();
  delete FToolBar;
  FToolBar = nullptr;
  delete FTransparencyBuffer;
  FTransparencyBuffer = nullptr;
}

TClass TdxInplaceGraphicEdit::GetViewDataClass(const TdxInplaceEditClass& /*cls*/) {
  return TdxGraphicEditViewData::StaticClass();
}

// ---- Value --------------------------------------------------------------------------

void TdxInplaceGraphicEdit::SetEditValue(const Variant& value) {
  const bool modified = GetModified();
  struct TRestoreModified {
    TdxInplaceGraphicEdit* Edit;
    bool Modified;
    ~TRestoreModified() { Edit->SetModified(Modified); }
  } restoreModified{this, modified};
  const TFlagRestore loading(LoadingValue, true);
  const bool designing = GetComponentState().Contains(csDesigning);
  if ((FCustomGraphic && designing) || (value.IsString() && value.AsString().empty()))
    FPicture->Assign(nullptr);
  else
    LoadPictureFromValue(FPicture.get(), GetGraphicClass(), value);
}

void TdxInplaceGraphicEdit::GetEditValue(Variant& value) {
  TPicture* picture = FPicture.get();
  // A handler that freed the editor took its picture with it: no value is left.
  if (!Survives(this, &TdxInplaceGraphicEdit::DoAssignPicture, picture)) {
    value = Variant::Null();
    return;
  }
  TGraphic* graphic = picture ? picture->GetGraphic() : nullptr;
  value = graphic ? Variant(int32_t(reinterpret_cast<intptr_t>(graphic))) : Variant::Null();
}

TdxEditViewData* TdxInplaceGraphicEdit::CreateViewData(bool forPainting) {
  std::unique_ptr<TdxEditViewData> made(inherited::CreateViewData(forPainting));
  auto* v = ObjectAs<TdxGraphicEditViewData>(made.get());
  assert(v && "the graphic editor's view data class derives from TdxGraphicEditViewData");
  v->Center = FCenter;
  v->QuickDraw = FQuickDraw;
  v->Stretch = FStretch;
  v->Picture = FPicture.get();
  v->WindowColor = ColorToRGB(GetColor());
  if (!IsPictureEmpty(FPicture.get()) && FPicture->GetGraphic()->GetTransparent() && !FTransparencyBuffer)
    FTransparencyBuffer = new TBitmap;
  v->Buffer = FTransparencyBuffer;
  return made.release();
}

void TdxInplaceGraphicEdit::DoCustomClick() { OnCustomClick(this); }

void TdxInplaceGraphicEdit::DoAssignPicture(TPicture*& picture) { OnAssignPicture(this, picture); }

TGraphicClass TdxInplaceGraphicEdit::GetGraphicClass() {
  TGraphicClass graphicClass = nullptr;
  OnGetGraphicClass(this, graphicClass);
  return graphicClass;
}

void TdxInplaceGraphicEdit::PictureChanged(TObject*) {
  StyleChanged();
  if (FGraphicTransparency != gtDefault && !IsPictureEmpty(FPicture.get())) {
    // Forcing the flag is part of this change, not a change of its own.
    struct TReattach {
      TPicture* Picture;
      TNotifyEvent Event;
      ~TReattach() { Picture->OnChange = Event; }
    } reattach{FPicture.get(), FPicture->OnChange};
    FPicture->OnChange = nullptr;
    FPicture->GetGraphic()->SetTransparent(FGraphicTransparency == gtTransparent);
  }
  if (FToolBar)
    ResetToolBar();
  if (LoadingValue || GetComponentState().Contains(csLoading))
    return;
  if (Survives(this, &TdxInplaceGraphicEdit::Change))
    SetModified(true);
}

void TdxInplaceGraphicEdit::PictureChangedQuietly() {
  const TFlagRestore loading(LoadingValue, true);
  PictureChanged(this);
}

// ---- Properties ---------------------------------------------------------------------

void TdxInplaceGraphicEdit::SetCenter(bool value) {
  if (value == FCenter)
    return;
  FCenter = value;
  PictureChangedQuietly();
}

void TdxInplaceGraphicEdit::SetStretch(bool value) {
  if (value == FStretch)
    return;
  FStretch = value;
  PictureChangedQuietly();
}

void TdxInplaceGraphicEdit::SetCustomGraphic(bool value) {
  if (value == FCustomGraphic)
    return;
  FCustomGraphic = value;
  PictureChangedQuietly();
}

void TdxInplaceGraphicEdit::SetGraphicTransparency(TdxGraphicEditTransparency value) {
  if (value == FGraphicTransparency)
    return;
  FGraphicTransparency = value;
  PictureChangedQuietly();
}

void TdxInplaceGraphicEdit::SetPopupToolbarPosStored(bool value) {
  FPopupToolbarPosStored = value;
  if (!value)
    FStoredToolBarPos = kNoPosition;
}

// ---- Commands -----------------------------------------------------------------------

void TdxInplaceGraphicEdit::CopyToClipboard() {
  if (!IsPictureEmpty(FPicture.get()))
    Clipboard()->Assign(FPicture.get());
}

void TdxInplaceGraphicEdit::DeletePicture() {
  if (CanModify())
    FPicture->SetGraphic(nullptr);
}

void TdxInplaceGraphicEdit::CutToClipboard() {
  CopyToClipboard();
  if (CanEditText())
    DeletePicture();
}

void TdxInplaceGraphicEdit::PasteFromClipboard() {
  if (CanEditText() && CanModify())
    PastePictureFromClipboard(FPicture.get(), FClipboardFormat);
}

void TdxInplaceGraphicEdit::LoadFromFile() {
  if (CanModify())
    LoadPictureWithDialog(FPicture.get(), FCustomFilter);
}

void TdxInplaceGraphicEdit::SaveToFile() { SavePictureWithDialog(FPicture.get(), FCustomFilter); }

void TdxInplaceGraphicEdit::ToolBarButtonClick(TObject* /*sender*/, int index) {
  // The custom click's handler may free the editor, and its tool bar with it.
  const TOnExitIfAlive hide(this, [toolBar = FToolBar] { toolBar->HideToolBar(); });
  RunPictureCommand(index, PictureSteps());
}

TdxPictureCommandSteps TdxInplaceGraphicEdit::PictureSteps() {
  return {[this] { CutToClipboard(); },  [this] { CopyToClipboard(); }, [this] { PasteFromClipboard(); },
          [this] { DeletePicture(); },   [this] { LoadFromFile(); },    [this] { SaveToFile(); },
          [this] { DoCustomClick(); }};
}

// ---- Tool bar and menu --------------------------------------------------------------

void TdxInplaceGraphicEdit::ResetToolBar() {
  FToolBar->SetPictureEmpty(IsPictureEmpty(FPicture.get()));
  FToolBar->SetReadOnly(!CanModify());
  FToolBar->SetPasteFormat(FClipboardFormat);
  FToolBar->UpdateButtonStates();
}

void TdxInplaceGraphicEdit::ShowToolBar() {
  if (FPopupToolBar->GetIsPopupMenu() || !FPopupToolBar->GetVisible())
    return;
  FToolBar->SetShowCaptions(FPopupToolBar->GetShowCaptions());
  FToolBar->SetAlignment(FPopupToolBar->GetAlignment());
  FToolBar->SetButtons(FPopupToolBar->GetButtons());
  FToolBar->SetCustomCaption(FPopupToolBar->GetCustomButtonCaption());
  FToolBar->SetCustomGlyph(FPopupToolBar->HasCustomButtonGlyph() ? FPopupToolBar->GetCustomButtonGlyph() : nullptr);
  // A tool bar that stands elsewhere than it was shown was moved by the user.
  const TPoint current{FToolBar->GetLeft(), FToolBar->GetTop()};
  if (!(FLastToolBarPos == kNoPosition) && !(current == FLastToolBarPos))
    FStoredToolBarPos = current;
  if (FPopupToolbarPosStored && !(FStoredToolBarPos == kNoPosition)) {
    FToolBar->SetBounds(FStoredToolBarPos.x, FStoredToolBarPos.y, FToolBar->GetWidth(), FToolBar->GetHeight());
  } else {
    RECT r{};
    GetWindowRect(GetHandle(), &r);
    FToolBar->PlaceBeside(TPoint{r.left, r.top});
  }
  FLastToolBarPos = TPoint{FToolBar->GetLeft(), FToolBar->GetTop()};
  FToolBar->SetClosed(false);
  ResetToolBar();
  FToolBar->ShowToolBar();
}

void TdxInplaceGraphicEdit::BuildPopupMenu() {
  auto* menu = new TPopupMenu(nullptr);
  FToolBar->SetPopupMenu(menu);
  menu->SetImages(DxToolGlyphs());
  const TdxPopupToolBarButtons buttons = FPopupToolBar->GetButtons();
  bool separatorDue = false;
  for (int i = 0; i < kDxToolButtonCount; ++i) {
    const auto button = TdxPopupToolBarButton(i);
    if (!buttons.Contains(button))
      continue;
    if (separatorDue) {
      auto* line = new TMenuItem(menu);
      line->SetCaption("-");
      line->SetTag(-1);
      menu->GetItems()->Add(line);
      separatorDue = false;
    }
    auto* item = new TMenuItem(menu);
    item->SetTag(i);
    item->SetImageIndex(i);
    if (button == ptbCustom) {
      item->SetCaption(FPopupToolBar->GetCustomButtonCaption());
      if (FPopupToolBar->HasCustomButtonGlyph() && !FPopupToolBar->GetCustomButtonGlyph()->GetEmpty()) {
        item->SetBitmap(FPopupToolBar->GetCustomButtonGlyph());
        item->GetBitmap()->SetTransparent(true);
      }
    } else {
      item->SetCaption(DxToolCaptions()[size_t(i)]);
    }
    item->OnClick = TNotifyEvent::Bind<&TdxInplaceGraphicEdit::MenuItemClick>(this);
    menu->GetItems()->Add(item);
    separatorDue = button == ptbDelete || button == ptbSave;
  }
}

void TdxInplaceGraphicEdit::MenuItemClick(TObject* sender) {
  if (auto* item = ObjectAs<TMenuItem>(sender))
    ToolBarButtonClick(FToolBar, item->GetTag());
}

// ---- Focus --------------------------------------------------------------------------

bool TdxInplaceGraphicEdit::IsFocused() {
  if (inherited::IsFocused())
    return true;
  return FToolBar && FToolBar->HandleAllocated() && ::GetFocus() == FToolBar->GetHandle();
}

void TdxInplaceGraphicEdit::EditorExit(TMessage& message) {
  const auto focused = reinterpret_cast<HWND>(message.WParam);
  if (FToolBar && !(FToolBar->HandleAllocated() && focused == FToolBar->GetHandle()))
    FToolBar->HideToolBar();
  inherited::EditorExit(message);
}

void TdxInplaceGraphicEdit::StateChanged() {
  inherited::StateChanged();
  if (!FDblClickActivate)
    ShowToolBar();
}

// ---- Keys and mouse -----------------------------------------------------------------

void TdxInplaceGraphicEdit::KeyDown(WORD& key, TShiftState shift) {
  if (EditClass()->IsInplace()) {
    if (key == VK_LEFT)
      ContainerNotify(true);
    else if (key == VK_RIGHT)
      ContainerNotify(false);
  }
  if (Survives(this, [&] { inherited::KeyDown(key, shift); }))
    RunPictureCommand(PictureCommandOfKey(key, shift), PictureSteps());
}

void TdxInplaceGraphicEdit::KeyPress(char& key) {
  if (Survives(this, [&] { inherited::KeyPress(key); }))
    RunPictureCommand(PictureCommandOfChar(key), PictureSteps());
}

void TdxInplaceGraphicEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (Survives(this, [&] { inherited::MouseDown(button, shift, x, y); }) && button == mbLeft &&
      shift.Contains(ssDouble) && FDblClickActivate)
    ShowToolBar();
}

// ---- Messages -----------------------------------------------------------------------

void TdxInplaceGraphicEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_CONTEXTMENU: WMContextMenu(message); return;
    case WM_GETDLGCODE: WMGetDlgCode(message); return;
  }
  inherited::Dispatch(message);
}

void TdxInplaceGraphicEdit::WMGetDlgCode(TMessage& message) {
  inherited::Dispatch(message);
  if (EditClass()->IsInplace())
    message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

void TdxInplaceGraphicEdit::WMContextMenu(TMessage& message) {
  bool chainHasMenu = false;
  for (TControl* control = this; control && !chainHasMenu; control = control->GetParent())
    chainHasMenu = control->GetPopupMenu() != nullptr;
  if (chainHasMenu || !FPopupToolBar->GetIsPopupMenu()) {
    inherited::Dispatch(message);
    return;
  }
  const auto& menuMessage = MessageAs<TWMContextMenu>(message);
  TPoint point{menuMessage.XPos, menuMessage.YPos};
  if (point.x == -1 && point.y == -1) {
    // From the keyboard: at the caret, within the client width.
    POINT caret{};
    GetCaretPos(&caret);
    point = ClientToScreen(TPoint{std::min(int(caret.x), GetClientWidth()), caret.y});
  }
  BuildPopupMenu();
  ResetToolBar();
  message.Result = 1;
  FToolBar->GetPopupMenu()->Popup(point.x, point.y);
}

// ---- Painting -----------------------------------------------------------------------

void TdxInplaceGraphicEdit::GetContentSize(const TdxInplaceEditClass& cls, TdxEditViewData* viewData, TRect& rect) {
  auto* v = ObjectAs<TdxGraphicEditViewData>(viewData);
  if (v && !IsPictureEmpty(v->Picture)) {
    rect = Rect(0, 0, v->Picture->GetWidth(), v->Picture->GetHeight());
    return;
  }
  TdxInplaceEdit::GetContentSize(cls, viewData, rect);
}

bool TdxInplaceGraphicEdit::DrawContent(const TdxInplaceEditClass& /*cls*/, HDC dc, const TRect& rect,
                                        TdxEditViewData* viewData, bool /*editorWindow*/) {
  auto* v = ObjectAs<TdxGraphicEditViewData>(viewData);
  assert(v && "graphic view data");
  const bool empty = IsPictureEmpty(v->Picture);
  if (v->CalcOnly) {
    v->LineCount = 1;
    v->TextHeight = v->Stretch || empty ? 0 : v->Picture->GetHeight();
    v->LineHeight = v->TextHeight;
    return true;
  }
  const int width = RectWidth(rect), height = RectHeight(rect);
  if (width <= 0 || height <= 0)
    return true;  // a collapsed cell has nothing to show
  TCanvas ownCanvas;
  TCanvas* shared = DxSharedCanvas() ? DxSharedCanvas() : &ownCanvas;
  const TCanvasAttachment attached(shared, dc);
  const TSaveDCGuard savedState(dc);
  HBRUSH brush = v->Brush ? v->Brush : GetSysColorBrush(COLOR_WINDOW);
  // Drawn through a buffer when a shadow goes over it or a buffer is offered, unless
  // the cell is drawn transparently over what is there.
  const bool transparentCell = v->NoFill || v->TransparentText;
  const bool buffered = !transparentCell && (v->SelectionShadow || v->Buffer);
  TBitmap ownBuffer;
  TBitmap* buffer = nullptr;
  TCanvas* canvas = shared;
  HDC target = dc;
  TRect bounds = rect;
  if (buffered) {
    buffer = v->Buffer ? v->Buffer : &ownBuffer;
    buffer->SetSize(width, height);
    canvas = buffer->GetCanvas();
    target = canvas->GetHandle();
    bounds = Rect(0, 0, width, height);
  }
  if (empty)
    DrawNoGraphic(target, bounds, v, brush);
  else
    DrawGraphic(target, canvas, bounds, v, brush);
  if (v->SelectionShadow)
    DrawCheckerOverlay(target, bounds, clHighlight);
  if (buffered)
    BitBlt(dc, rect.left, rect.top, width, height, target, 0, 0, SRCCOPY);
  return true;
}
