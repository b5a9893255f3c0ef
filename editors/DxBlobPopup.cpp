// Decisions taken here:
// - The memo's text limit is set before its text: a limit of 0 (no limit) is sent as a
//   very large one, since RichEdit reads 0 as its default of about 64K characters and
//   a longer value would be cut short, and on accepting written back cut. The window
//   is made empty and the text goes in after every setting that lays it out again, so
//   that a long text is laid out once.
// - The selection bar is switched on through EM_SETOPTIONS once the window exists, and
//   the style bit the memo mirrors it into is cleared again, also after EM_SETREADONLY,
//   which writes the memo's whole style back: ES_SELECTIONBAR is also WS_MAXIMIZE,
//   which maximizes a top-level window such as this popup and keeps the window manager
//   from sizing it with the grip.
// - Alt+Up, Alt+Down and F4 keep a changed memo when AlwaysSaveText is set, which says
//   that every way of closing but Cancel and Close keeps the text; without it they drop
//   the change as before.
// - The placement measures the frame as the non-client handling does: the border of
//   the popup base (none for pbDefault, which the blob editor never asks for), the
//   shadow and the button bar. A wanted size is the window's size, so the size a
//   closing popup reports opens the next popup at the same size.
// - A picture shown scaled is shrunk with the button bar counted in the height it must
//   fit, so that the shrunk picture keeps its proportions exactly.
// - The picture's forced transparency is applied whenever the picture changes, with or
//   without a window, so that the first showing of a loaded picture has it too.
// - The memo's formatting rectangle follows the window when it is resized.
// - The context menu disables Load in a read-only popup and Save without a picture, and
//   Cut and Delete in a read-only memo: none of them could do anything there.
// - A lost mouse capture ends the tracking of a pressed button without a click.
// - Every change of the memo's text that the popup did not make itself marks it
//   modified: the memo's own flag misses some commands (Wine's RichEdit does not set it
//   for WM_CLEAR), and a change not marked would not be accepted.
// - A memo value the window cannot show whole (the blob editor finds it so and opens
//   the popup read-only) refuses a typed change with the reason, through the editor.
// - A long memo goes into the window in pieces, and a hidden popup that holds a long
//   memo takes another with a new window: Wine's RichEdit takes time growing with the
//   square of a text given to it at once, and of a text it deletes.
#include "editors/DxBlobPopup.h"

#include <algorithm>
#include <cstring>

#include "classlib/AliveGuard.h"
#include "classlib/Clipboard.h"
#include "classlib/FlagScope.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/Menus.h"
#include "editors/DxContainer.h"
#include "editors/DxExEdtr.h"
#include "editors/DxInplaceBlobEdit.h"
#include "editors/DxPictureCommands.h"
#include "editors/DxPictureValues.h"
#include "editors/DxTextHelpers.h"
#include "editors/DxUtils.h"

namespace {

// Captions of the buttons when the module's string table has none.
const char* const kButtonCaptions[] = {"&OK", "&Cancel", "&Close"};

// The memo menu's captions: string-table entries and the texts without them; the items
// that are no line run the RichEdit commands in this order.
struct TMemoMenuEntry {
  int Id;
  const char* Caption;
};
constexpr TMemoMenuEntry kMemoMenu[] = {{38949, "&Undo"},  {38950, "&Redo"},   {0, "-"},
                                        {38952, "Cu&t"},   {38953, "&Copy"},   {38954, "&Paste"},
                                        {38955, "&Delete"}, {0, "-"},           {38956, "Select &All"}};

std::string ButtonCaption(TdxBlobPopupButton button) {
  const std::string& loaded = DxBlobButtonCaptions()[button];
  return loaded.empty() ? std::string(kButtonCaptions[button]) : loaded;
}

SIZE TextExtent(HDC dc, const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
  return size;
}

// Removes one WM_CHAR waiting for the window (the character of a key already handled),
// putting back a WM_QUIT it took instead.
void RemovePendingChar(HWND wnd) {
  MSG pending{};
  if (PeekMessageA(&pending, wnd, WM_CHAR, WM_CHAR, PM_REMOVE) && pending.message == WM_QUIT)
    PostQuitMessage(int(pending.wParam));
}

TRect Strip(const TRect& r, bool top, int height) {
  return top ? Rect(r.left, r.top, r.right, r.top + height) : Rect(r.left, r.bottom - height, r.right, r.bottom);
}

}  // namespace

// ---- Construction -------------------------------------------------------------------

TCustomdxBlobPopup::TCustomdxBlobPopup(TComponent* AOwner)
    : TdxInplacePopupControl(AOwner), FClipboardFormat(CF_PICTURE()) {
  SetControlStyle({csCaptureMouse, csClickEvents});
  SetBounds(GetLeft(), GetTop(), 185, 89);
  SetTabStop(true);
  SetParentColor(false);
  SetVisible(false);
  SetIsPopup(true);
}

TCustomdxBlobPopup::~TCustomdxBlobPopup() {
  Destroying();
  // The window goes first: it paints the picture and reports to the menu.
  DestroyHandle();
  delete FContextMenu;
  FContextMenu = nullptr;
  delete FPicture;
  FPicture = nullptr;
  delete FTransparencyBuffer;
  FTransparencyBuffer = nullptr;
}

// ---- Window -------------------------------------------------------------------------

void TCustomdxBlobPopup::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (IsMemo()) {
    CreateSubClass(params, "RichEdit20A");
    params.Style |= ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_MULTILINE;
    if (FReadOnly)
      params.Style |= ES_READONLY;
    if (FMemoCharCase == ecUpperCase)
      params.Style |= ES_UPPERCASE;
    else if (FMemoCharCase == ecLowerCase)
      params.Style |= ES_LOWERCASE;
    if (FMemoOEMConvert)
      params.Style |= ES_OEMCONVERT;
    if (FMemoScrollBars == ssHorizontal || FMemoScrollBars == ssBoth)
      params.Style |= WS_HSCROLL;
    if (FMemoScrollBars == ssVertical || FMemoScrollBars == ssBoth)
      params.Style |= WS_VSCROLL;
    if (!FMemoHideScrollBars)
      params.Style |= ES_DISABLENOSCROLL;
    if (FMemoWordWrap)
      params.Style &= ~DWORD(ES_AUTOHSCROLL);
    params.WinClassName = std::string(ClassName()) + "Memo";
    // The memo starts empty: its text goes in once it is set up (CreateWnd).
    params.Caption.clear();
  } else {
    params.WinClassName = std::string(ClassName()) + "Pict";
  }
  params.Style &= ~DWORD(WS_BORDER);
  if (GetIsPopup())
    params.Style = (params.Style & ~DWORD(WS_CHILD)) | WS_POPUP;
  params.WindowClass.style |= CS_SAVEBITS;
}

void TCustomdxBlobPopup::CreateWnd() {
  {
    const TFlagScope creating(FCreating);
    const std::string text = IsMemo() ? GetText() : std::string();
    inherited::CreateWnd();
    if (IsMemo()) {
      HWND wnd = GetHandle();
      const TFlagScope updating(FTextUpdating);
      SendMessageA(wnd, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
      ApplyMaxLength();
      SendMessageA(wnd, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
      if (FMemoSelectionBar) {
        SendMessageA(wnd, EM_SETOPTIONS, ECOOP_OR, ECO_SELECTIONBAR);
        ClearSelectionBarStyle();
      }
      Perform(CM_COLORCHANGED);
      ApplyFormatRect();
      // The text goes in once the limit and the layout are set: whole, and laid out once.
      SendMessageA(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
      ApplyCharCase();
    }
  }
  SetModified(FModified);
  FModifiedCopy = FModified;
  UpdateScrollBars();
}

void TCustomdxBlobPopup::DestroyWnd() {
  FModified = GetModified();
  inherited::DestroyWnd();
}

void TCustomdxBlobPopup::RecreateIfAllocated() {
  if (HandleAllocated())
    RecreateWnd();
}

void TCustomdxBlobPopup::ApplyMaxLength() {
  if (IsMemo() && HandleAllocated())
    SetRichEditMaxLength(GetHandle(), FMemoMaxLength);
}

void TCustomdxBlobPopup::ApplyFormatRect() {
  if (!IsMemo() || !HandleAllocated())
    return;
  TRect r = GetClientRect();
  InflateRect(&r, -1, -1);
  if (FMemoSelectionBar)
    r.left += 8;
  SendMessageA(GetHandle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
}

void TCustomdxBlobPopup::RepaintFrame() {
  if (HandleAllocated())
    SendMessageA(GetHandle(), WM_NCPAINT, 1, 0);
}

// ---- Properties ---------------------------------------------------------------------

void TCustomdxBlobPopup::SetKind(TdxBlobEditKind value) {
  if (value != bekMemo && value != bekPict)
    throw EInvalidOperation("A blob popup shows a memo or a picture only");
  if (value == FKind)
    return;
  FModified = GetModified();
  FKind = value;
  RecreateIfAllocated();
}

bool TCustomdxBlobPopup::GetModified() {
  if (IsMemo() && HandleAllocated())
    return SendMessageA(GetHandle(), EM_GETMODIFY, 0, 0) != 0;
  return FModified;
}

void TCustomdxBlobPopup::SetModified(bool value) {
  FModified = value;
  if (IsMemo() && HandleAllocated())
    SendMessageA(GetHandle(), EM_SETMODIFY, value, 0);
}

void TCustomdxBlobPopup::SetReadOnly(bool value) {
  FReadOnly = value;
  FVisibleButtons = value ? TdxBlobPopupButtons{bpbClose} : TdxBlobPopupButtons{bpbOK, bpbCancel};
  if (IsMemo() && HandleAllocated()) {
    SendMessageA(GetHandle(), EM_SETREADONLY, value, 0);
    // The memo writes its whole style back, the selection bar's bit with it.
    ClearSelectionBarStyle();
  }
  RepaintFrame();
}

void TCustomdxBlobPopup::ClearSelectionBarStyle() {
  // The memo mirrors its selection bar in its style, where the window manager reads the
  // bit as WS_MAXIMIZE: a maximized popup cannot be sized with its grip.
  HWND wnd = GetHandle();
  const LONG style = GetWindowLongA(wnd, GWL_STYLE);
  if (style & WS_MAXIMIZE)
    SetWindowLongA(wnd, GWL_STYLE, style & ~LONG(WS_MAXIMIZE));
}

void TCustomdxBlobPopup::SetMemoCharCase(TEditCharCase value) {
  if (value == FMemoCharCase)
    return;
  FMemoCharCase = value;
  if (IsMemo())
    RecreateIfAllocated();
}

void TCustomdxBlobPopup::SetMemoHideScrollBars(bool value) {
  if (value == FMemoHideScrollBars)
    return;
  FMemoHideScrollBars = value;
  if (IsMemo())
    RecreateIfAllocated();
}

void TCustomdxBlobPopup::SetMemoOEMConvert(bool value) {
  if (value == FMemoOEMConvert)
    return;
  FMemoOEMConvert = value;
  if (IsMemo())
    RecreateIfAllocated();
}

void TCustomdxBlobPopup::SetMemoScrollBars(TScrollStyle value) {
  if (value == FMemoScrollBars)
    return;
  FMemoScrollBars = value;
  if (IsMemo())
    RecreateIfAllocated();
}

void TCustomdxBlobPopup::SetMemoSelectionBar(bool value) {
  if (value == FMemoSelectionBar)
    return;
  FMemoSelectionBar = value;
  if (IsMemo())
    RecreateIfAllocated();
}

void TCustomdxBlobPopup::SetMemoWordWrap(bool value) {
  if (value == FMemoWordWrap)
    return;
  FMemoWordWrap = value;
  if (IsMemo())
    RecreateIfAllocated();
}

void TCustomdxBlobPopup::SetPictureAutoSize(bool value) {
  if (value == FPictureAutoSize)
    return;
  FPictureAutoSize = value;
  UpdateScrollBars();
  if (HandleAllocated())
    Invalidate();
}

void TCustomdxBlobPopup::SetPictureTransparency(TdxGraphicEditTransparency value) {
  if (value == FPictureTransparency)
    return;
  FPictureTransparency = value;
  const TFlagScope loading(FLoadingPicture);
  PictureChanged(this);
}

void TCustomdxBlobPopup::SetMaxLength(int value) {
  FMemoMaxLength = std::max(value, 0);
  ApplyMaxLength();
}

// ---- Memo ---------------------------------------------------------------------------

void TCustomdxBlobPopup::SetMemoText(const std::string& text) {
  const TFlagScope updating(FTextUpdating);
  const bool modified = GetModified();
  // A hidden memo drops a long text with its window: Wine's RichEdit takes time growing
  // with the square of a long text to delete it, a new window none.
  if (IsMemo() && HandleAllocated() && !IsWindowVisible(GetHandle()) &&
      size_t(GetWindowTextLengthA(GetHandle())) > kRichEditPieceSize && GetText() != text)
    DestroyHandle();
  SetText(text);
  SetModified(modified);
}

void TCustomdxBlobPopup::ApplyCharCase() {
  if (FMemoCharCase == ecNormal || !IsMemo())
    return;
  const std::string text = GetText();
  const std::string converted = ApplyEditCharCase(text, FMemoCharCase);
  if (converted == text)
    return;
  if (!HandleAllocated()) {
    SetMemoText(converted);
    return;
  }
  const CHARRANGE selection = GetRichEditSelection(GetHandle());
  SetMemoText(converted);
  SetRichEditSelection(GetHandle(), selection.cpMin, selection.cpMax);
}

int TCustomdxBlobPopup::GetSelLength() {
  const CHARRANGE r = GetRichEditSelection(GetHandle());
  return r.cpMax - r.cpMin;
}

int TCustomdxBlobPopup::GetSelStart() { return GetRichEditSelection(GetHandle()).cpMin; }

std::string TCustomdxBlobPopup::GetSelText() { return GetRichEditSelText(GetHandle()); }

void TCustomdxBlobPopup::SetSelLength(int value) {
  const int start = GetSelStart();
  SetRichEditSelection(GetHandle(), start, start + value);
}

void TCustomdxBlobPopup::SetSelStart(int value) { SetRichEditSelection(GetHandle(), value, value); }

void TCustomdxBlobPopup::DoChange() {
  if (!Survives(this, OnChange))
    return;
  const bool modified = GetModified();
  if (modified == FModifiedCopy)
    return;
  FModifiedCopy = modified;
  RepaintFrame();  // the OK button's enabled state
}

// ---- Picture ------------------------------------------------------------------------

TPicture* TCustomdxBlobPopup::GetPicture() {
  if (!FPicture) {
    FPicture = new TPicture;
    FPicture->OnChange = TNotifyEvent::Bind<&TCustomdxBlobPopup::PictureChanged>(this);
  }
  return FPicture;
}

bool TCustomdxBlobPopup::HasPicture() { return FPicture && !IsPictureEmpty(FPicture); }

bool TCustomdxBlobPopup::CanModifyPicture() {
  return !FReadOnly && (!GetOwnerEdit() || GetOwnerEdit()->CanModify());
}

void TCustomdxBlobPopup::LoadPictureValue(const std::string& value) {
  const TFlagScope loading(FLoadingPicture);
  FHorzScrollPos = FVertScrollPos = 0;
  if (value.empty())
    GetPicture()->Assign(nullptr);
  else
    LoadPictureFromValue(GetPicture(), FGraphicClass, Variant(value));
}

void TCustomdxBlobPopup::PictureChanged(TObject* /*sender*/) {
  if (IsMemo())
    return;
  if (FPictureTransparency != gtDefault && HasPicture()) {
    // Forcing the flag is part of this change, not a change of its own.
    struct TReattach {
      TPicture* Picture;
      TNotifyEvent Event;
      ~TReattach() { Picture->OnChange = Event; }
    } reattach{FPicture, FPicture->OnChange};
    FPicture->OnChange = nullptr;
    FPicture->GetGraphic()->SetTransparent(FPictureTransparency == gtTransparent);
  }
  if (!HandleAllocated())
    return;
  if (!FLoadingPicture) {
    SetModified(true);
    if (!Survives(this, &TCustomdxBlobPopup::DoChange))
      return;
  }
  UpdateScrollBars();
  Invalidate();
  RepaintFrame();
}

void TCustomdxBlobPopup::CopyPicture() {
  if (HasPicture())
    Clipboard()->Assign(FPicture);
}

void TCustomdxBlobPopup::CutPicture() {
  CopyPicture();
  DeletePicture();
}

void TCustomdxBlobPopup::DeletePicture() {
  if (HasPicture() && CanModifyPicture())
    FPicture->Assign(nullptr);
}

void TCustomdxBlobPopup::PastePicture() {
  if (CanModifyPicture())
    PastePictureFromClipboard(GetPicture(), FClipboardFormat);
}

void TCustomdxBlobPopup::LoadPictureFromFile() {
  if (CanModifyPicture())
    LoadPictureWithDialog(GetPicture(), FPictureFilter);
}

void TCustomdxBlobPopup::SavePictureToFile() {
  if (HasPicture())
    SavePictureWithDialog(FPicture, FPictureFilter);
}

void TCustomdxBlobPopup::UpdateScrollBars() {
  if (IsMemo() || !HandleAllocated() || FUpdatingScrollBars)
    return;
  const TFlagScope updating(FUpdatingScrollBars);
  HWND wnd = GetHandle();
  if (FPictureAutoSize || !HasPicture()) {
    FHorzScrollPos = FVertScrollPos = 0;
    ShowScrollBar(wnd, SB_BOTH, FALSE);
    return;
  }
  // A bar that comes or goes changes the room of the other: twice settles both.
  for (int pass = 0; pass < 2; ++pass) {
    const TRect client = GetClientRect();
    const int sizes[] = {FPicture->GetWidth(), FPicture->GetHeight()};
    const int pages[] = {RectWidth(client), RectHeight(client)};
    int32_t* positions[] = {&FHorzScrollPos, &FVertScrollPos};
    for (int bar : {SB_HORZ, SB_VERT}) {
      *positions[bar] = std::clamp(*positions[bar], 0, std::max(0, sizes[bar] - pages[bar]));
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      info.nMax = sizes[bar] - 1;
      info.nPage = UINT(std::max(pages[bar], 0));
      info.nPos = *positions[bar];
      SetScrollInfo(wnd, bar, &info, TRUE);
    }
  }
}

void TCustomdxBlobPopup::ScrollPicture(int bar, int code) {
  if (FPictureAutoSize || !HasPicture())
    return;
  const bool horz = bar == SB_HORZ;
  if (code == SB_ENDSCROLL) {
    if (!horz && GetCapture() == GetHandle())
      ReleaseCapture();
    return;
  }
  int32_t& position = horz ? FHorzScrollPos : FVertScrollPos;
  const TRect client = GetClientRect();
  const int page = horz ? RectWidth(client) : RectHeight(client);
  const int size = horz ? FPicture->GetWidth() : FPicture->GetHeight();
  const int line = GetSystemMetrics(horz ? SM_CXHSCROLL : SM_CYVSCROLL);
  int next = position;
  switch (code) {
    case SB_LINEUP: next -= line; break;
    case SB_LINEDOWN: next += line; break;
    case SB_PAGEUP: next -= page; break;
    case SB_PAGEDOWN: next += page; break;
    case SB_TOP: next = 0; break;
    case SB_BOTTOM: next = size; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(GetHandle(), bar, &info);
      const int track = info.nTrackPos;
      if (track < 1)
        next = 0;
      else if (track + 1 + page >= size)
        next = track + 1;  // the end of the picture shows exactly
      else
        next = (track + 1) / 4 * 4;
      break;
    }
    default: return;
  }
  next = std::clamp(next, 0, std::max(0, size - page));
  if (next == position)
    return;
  const int distance = position - next;
  position = next;
  SetScrollPos(GetHandle(), bar, position, TRUE);
  if (std::abs(distance) <= page)
    ScrollWindowEx(GetHandle(), horz ? distance : 0, horz ? 0 : distance, nullptr, nullptr, nullptr, nullptr,
                   SW_INVALIDATE);
  else
    Invalidate();
}

void TCustomdxBlobPopup::Paint() {
  if (IsMemo())
    return;
  HDC dc = GetCanvas()->GetHandle();
  PaintPicture(dc, GetClientRect());
}

void TCustomdxBlobPopup::PaintPicture(HDC dc, const TRect& client) {
  TBrushHandle background(CreateSolidBrush(ColorToRGB(GetColor())));
  if (!HasPicture()) {
    FillRect(dc, &client, background.Get());
    return;
  }
  TGraphic* graphic = FPicture->GetGraphic();
  const TRect r = FPictureAutoSize
                      ? CalcGraphicRect(client, graphic->GetWidth(), graphic->GetHeight(), false, true)
                      : Bounds(client.left - FHorzScrollPos, client.top - FVertScrollPos, graphic->GetWidth(),
                               graphic->GetHeight());
  if (IsRectEmpty(&r)) {
    FillRect(dc, &client, background.Get());
    return;
  }
  if (graphic->GetTransparent()) {
    // Drawn over the background in the buffer, then shown at once.
    if (!FTransparencyBuffer)
      FTransparencyBuffer = new TBitmap;
    const int width = RectWidth(client), height = RectHeight(client);
    FTransparencyBuffer->SetSize(width, height);
    TCanvas* canvas = FTransparencyBuffer->GetCanvas();
    const TRect whole = Rect(0, 0, width, height);
    FillRect(canvas->GetHandle(), &whole, background.Get());
    TRect moved = r;
    OffsetRect(&moved, -client.left, -client.top);
    canvas->StretchDraw(moved, graphic);
    BitBlt(dc, client.left, client.top, width, height, canvas->GetHandle(), 0, 0, SRCCOPY);
    return;
  }
  const TSaveDCGuard state(dc);
  GetCanvas()->StretchDraw(r, graphic);
  ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  FillRect(dc, &client, background.Get());
}

// ---- Showing, closing and placing ---------------------------------------------------

void TCustomdxBlobPopup::ShowPopup() {
  inherited::ShowPopup();
  FClosedWithoutSaving = false;
}

void TCustomdxBlobPopup::HidePopup() {
  if (IsMemo() && HandleAllocated())
    FMemoText = GetText();
  EndTracking();
  if (HandleAllocated() && IsWindowVisible(GetHandle()) && !Survives(this, &TCustomdxBlobPopup::DoResize))
    return;
  if (Survives(this, [this] { inherited::HidePopup(); }) && FAlwaysSaveText)
    DoAccept();
}

void TCustomdxBlobPopup::ClosePopup(TdxBlobPopupButton how) {
  if (how == bpbCancel || how == bpbClose)
    FClosedWithoutSaving = true;
  if (Survives(this, &TCustomdxBlobPopup::HidePopup) && how == bpbOK)
    DoAccept();
}

void TCustomdxBlobPopup::DoResize() { OnPopupResize(this); }

void TCustomdxBlobPopup::DoAccept() {
  if (FClosedWithoutSaving || !GetModified() || Survives(this, OnAccept))
    FClosedWithoutSaving = true;
}

void TCustomdxBlobPopup::CalcMetrics() {
  TClientDC screen(nullptr);
  const TSelectGuard font(screen, GetFont()->GetHandle());
  const SIZE wg = TextExtent(screen, "Wg"), zero = TextExtent(screen, "0");
  TdxBlobPopupMetrics& m = FMetrics;
  const TdxPopupBorder border = GetPopupBorder();
  m.FrameInset = border == pbSingle || border == pbFlat ? 2 : 4;
  m.ScrollBarWidth = FSizeablePopup ? GetSystemMetrics(SM_CXVSCROLL) : zero.cx;
  m.Margin = wg.cy / 3;
  m.Gap = zero.cx;
  m.ButtonHeight = MulDiv(wg.cy, 20, 13);
  m.ButtonWidth = 0;
  int count = 0;
  for (TdxBlobPopupButton button : {bpbOK, bpbCancel, bpbClose}) {
    if (!FVisibleButtons.Contains(button))
      continue;
    ++count;
    m.ButtonWidth = std::max<int32_t>(m.ButtonWidth, TextExtent(screen, WithoutAccel(ButtonCaption(button)) + "00").cx);
  }
  const int borderWidth = BorderWidth(border);
  m.MinWidth = 2 * m.ScrollBarWidth + (m.ButtonWidth + m.Gap) * count - m.Gap + 2 * borderWidth + 2;
  m.BarHeight = 2 * m.Margin + m.FrameInset + m.ButtonHeight;
  m.MinHeight = 3 * GetSystemMetrics(SM_CYHSCROLL) + m.BarHeight;
}

void TCustomdxBlobPopup::SetPopupBounds(const TPoint& point, int width, int height) {
  CalcMetrics();
  const int border = BorderWidth(GetPopupBorder());
  const int shadow = GetShadow() ? GetShadowSize() : 0;
  const int frameWidth = 2 * border + shadow;
  const int frameHeight = 2 * border + shadow + FMetrics.BarHeight;
  TRect work{};
  GetWorkArea(point, work);
  int editorTop = point.y;
  if (GetOwnerEdit() && GetOwnerEdit()->HandleAllocated()) {
    RECT editor{};
    GetWindowRect(GetOwnerEdit()->GetHandle(), &editor);
    editorTop = editor.top;
  }
  const int room = std::max(work.bottom - point.y, editorTop - work.top);

  int w = width - frameWidth, h = height - frameHeight;
  if (!IsMemo() && FPictureAutoSize && HasPicture()) {
    const int pictureWidth = FPicture->GetWidth(), pictureHeight = FPicture->GetHeight();
    w = pictureWidth;
    h = pictureHeight;
    if (w > RectWidth(work) - frameWidth) {
      w = RectWidth(work) - frameWidth;
      h = int(int64_t(pictureHeight) * w / pictureWidth);
    }
    if (h + frameHeight > room) {
      h = room - frameHeight;
      w = int(int64_t(pictureWidth) * h / pictureHeight);
    }
  }
  // At least the minimum, else at most the room there is.
  w = std::max<int>(FMetrics.MinWidth, std::min<int>(w + frameWidth, RectWidth(work)));
  h = std::max<int>(FMetrics.MinHeight, std::min(h + frameHeight, room));

  int x = point.x, y = point.y;
  const bool movedLeft = x + w > work.right;
  if (movedLeft)
    x = work.right - w;
  x = std::max<int>(x, work.left);
  const bool movedUp = y + h > work.bottom;
  if (movedUp)
    y = editorTop - h;
  FGripCorner = movedUp ? (movedLeft ? sgTopLeft : sgTopRight) : (movedLeft ? sgBottomLeft : sgBottomRight);
  SetBounds(x, y, w, h);
  // The button bar may have changed sides.
  if (HandleAllocated())
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// ---- Geometry -----------------------------------------------------------------------

TRect TCustomdxBlobPopup::GetBodyRect() {
  RECT window{};
  if (HandleAllocated())
    GetWindowRect(GetHandle(), &window);
  else
    window = Bounds(0, 0, GetWidth(), GetHeight());
  const int shadow = GetShadow() ? GetShadowSize() : 0;
  return Rect(0, 0, window.right - window.left - shadow, window.bottom - window.top - shadow);
}

TRect TCustomdxBlobPopup::GetButtonBarRect() {
  TRect r = GetBodyRect();
  const int border = BorderWidth(GetPopupBorder());
  InflateRect(&r, -border, -border);
  return Strip(r, FGripCorner == sgTopLeft || FGripCorner == sgTopRight, FMetrics.BarHeight);
}

TRect TCustomdxBlobPopup::GetButtonRect(TdxBlobPopupButton button) {
  if (!FVisibleButtons.Contains(button))
    return TRect{};
  const TRect bar = GetButtonBarRect();
  const bool barOnTop = FGripCorner == sgTopLeft || FGripCorner == sgTopRight;
  const int top = bar.top + FMetrics.Margin + (barOnTop ? 0 : FMetrics.FrameInset);
  int right = bar.right - FMetrics.ScrollBarWidth;
  // Laid from the right, the last visible button first.
  for (int i = bpbClose; i >= bpbOK; --i) {
    const auto each = TdxBlobPopupButton(i);
    if (!FVisibleButtons.Contains(each))
      continue;
    const TRect r = Rect(right - FMetrics.ButtonWidth, top, right, top + FMetrics.ButtonHeight);
    if (each == button)
      return r;
    right -= FMetrics.ButtonWidth + FMetrics.Gap;
  }
  return TRect{};
}

int TCustomdxBlobPopup::ButtonAtScreenPoint(LPARAM screenPoint) {
  POINT p{short(LOWORD(screenPoint)), short(HIWORD(screenPoint))};
  ScreenToWindow(GetHandle(), p);
  for (int i = bpbClose; i >= bpbOK; --i) {
    const TRect r = GetButtonRect(TdxBlobPopupButton(i));
    if (PtInRect(&r, p))
      return i;
  }
  return -1;
}

// ---- Keys ---------------------------------------------------------------------------

void TCustomdxBlobPopup::KeyDown(WORD& key, TShiftState shift) {
  const bool alt = shift.Contains(ssAlt);
  const bool ctrl = shift.Contains(ssCtrl);
  TdxInplaceEdit* editor = GetOwnerEdit();
  if (key == VK_TAB && !FMemoWantTabs && editor && editor->EditClass()->IsInplace()) {
    HidePopup();
    RemovePendingChar(GetHandle());
    if (TCustomdxContainer* container = editor->Container())
      container->ContainerKeyDown(key, shift);
    key = 0;
    return;
  }
  if (((key == VK_UP || key == VK_DOWN) && alt) || (key == VK_F4 && !alt)) {
    if (!FAlwaysSaveText)
      SetModified(false);
    HidePopup();
    key = 0;
    return;
  }
  auto accel = [&](TdxBlobPopupButton button) {
    return alt && FVisibleButtons.Contains(button) && IsAccel(key, ButtonCaption(button));
  };
  if ((key == VK_ESCAPE && !alt) || accel(bpbCancel) || accel(bpbClose)) {
    SetModified(false);
    ClosePopup(FVisibleButtons.Contains(bpbCancel) ? bpbCancel : bpbClose);
    key = 0;
    return;
  }
  const bool enterAccepts = key == VK_RETURN && !alt && (ctrl || !FMemoWantReturns || !IsMemo());
  if (enterAccepts || accel(bpbOK)) {
    RemovePendingChar(GetHandle());
    ClosePopup(bpbOK);
    key = 0;
    return;
  }
  if (IsMemo() && editor && editor->IsEditKey(key, shift))
    editor->RefuseChangeOfValueShownInPart();
  if (Survives(this, [&] { inherited::KeyDown(key, shift); }) && !IsMemo())
    RunPictureCommand(PictureCommandOfKey(key, shift), PictureSteps());
}

TdxPictureCommandSteps TCustomdxBlobPopup::PictureSteps() {
  return {[this] { CutPicture(); },    [this] { CopyPicture(); },         [this] { PastePicture(); },
          [this] { DeletePicture(); }, [this] { LoadPictureFromFile(); }, [this] { SavePictureToFile(); },
          {}};
}

void TCustomdxBlobPopup::KeyPress(char& key) {
  if (key == 10 && FVisibleButtons.Contains(bpbOK))
    key = 0;  // Ctrl+Enter, which closed the popup
  if (key == '\t' && !FMemoWantTabs)
    key = 0;
  TdxInplaceEdit* editor = GetOwnerEdit();
  if (IsMemo() && editor && (key == '\t' || uint8_t(key) >= 32))
    editor->RefuseChangeOfValueShownInPart();
  if (!IsMemo() && !Survives(this, [&] { RunPictureCommand(PictureCommandOfChar(key), PictureSteps()); }))
    return;
  inherited::KeyPress(key);
}

// ---- Context menu -------------------------------------------------------------------

TPopupMenu* TCustomdxBlobPopup::PrepareContextMenu() {
  // Made again each time: its items follow the kind and the editor's settings.
  delete FContextMenu;
  FContextMenu = new TPopupMenu(nullptr);
  auto addItem = [this](const std::string& caption, int tag, TShortCut shortCut, bool enabled) {
    auto* item = new TMenuItem(FContextMenu);
    item->SetCaption(caption);
    item->SetTag(tag);
    item->SetShortCut(shortCut);
    item->SetEnabled(enabled);
    if (tag >= 0)
      item->OnClick = TNotifyEvent::Bind<&TCustomdxBlobPopup::MenuClick>(this);
    FContextMenu->GetItems()->Add(item);
  };
  if (IsMemo()) {
    HWND wnd = GetHandle();
    const bool selection = GetSelLength() > 0;
    GETTEXTLENGTHEX request{GTL_DEFAULT, CP_ACP};
    const bool hasText = SendMessageA(wnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0) != 0;
    const bool enabled[] = {SendMessageA(wnd, EM_CANUNDO, 0, 0) != 0,
                            SendMessageA(wnd, EM_CANREDO, 0, 0) != 0,
                            selection && !FReadOnly,
                            selection,
                            !FReadOnly && SendMessageA(wnd, EM_CANPASTE, 0, 0) != 0,
                            selection && !FReadOnly,
                            hasText};
    int command = 0;
    for (const TMemoMenuEntry& entry : kMemoMenu) {
      if (entry.Id == 0) {
        addItem(entry.Caption, -1, 0, true);
        continue;
      }
      const std::string loaded = DxLoadStr(entry.Id);
      addItem(loaded.empty() ? entry.Caption : loaded, command, 0, enabled[command]);
      ++command;
    }
    return FContextMenu;
  }
  const bool picture = HasPicture();
  const bool editable = !FReadOnly;
  const TDxToolTexts& captions = DxToolCaptions();
  addItem(captions[ptbCut], ptbCut, ShortCut('X', {ssCtrl}), picture && editable);
  addItem(captions[ptbCopy], ptbCopy, ShortCut('C', {ssCtrl}), picture);
  addItem(captions[ptbPaste], ptbPaste, ShortCut('V', {ssCtrl}),
          editable && Clipboard()->HasFormat(FClipboardFormat));
  addItem(captions[ptbDelete], ptbDelete, 0, picture && editable);
  auto* blob = ObjectAs<TdxInplaceBlobEdit>(GetOwnerEdit());
  if (blob && !blob->GetShowExPopupItems())
    return FContextMenu;
  addItem("-", -1, 0, true);
  addItem(captions[ptbLoad], ptbLoad, 0, editable);
  addItem(captions[ptbSave], ptbSave, 0, picture);
  return FContextMenu;
}

void TCustomdxBlobPopup::MenuClick(TObject* sender) {
  if (auto* item = ObjectAs<TMenuItem>(sender))
    RunCommand(item->GetTag());
}

void TCustomdxBlobPopup::RunCommand(int command) {
  if (!IsMemo()) {
    RunPictureCommand(command, PictureSteps());
    return;
  }
  RunRichEditCommand(GetHandle(), command);
}

void TCustomdxBlobPopup::WMContextMenu(TMessage& message) {
  inherited::Dispatch(message);
  if (message.Result != 0)
    return;
  for (TControl* control = this; control; control = control->GetParent())
    if (control->GetPopupMenu())
      return;
  auto* blob = ObjectAs<TdxInplaceBlobEdit>(GetOwnerEdit());
  if (!IsMemo() && blob && !blob->GetShowPicturePopup())
    return;
  TPoint p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (p.x == -1 && p.y == -1) {
    // From the keyboard: at the caret, within the client width.
    POINT caret{};
    GetCaretPos(&caret);
    p = ClientToScreen(TPoint{std::min<int>(caret.x, GetClientWidth()), caret.y});
  }
  TPopupMenu* menu = PrepareContextMenu();
  menu->SetPopupComponent(this);
  message.Result = 1;
  menu->Popup(p.x, p.y);
}

// ---- Messages -----------------------------------------------------------------------

void TCustomdxBlobPopup::WndProc(TMessage& message) {
  if (!Survives(this, [&] { inherited::WndProc(message); }))
    return;
  const UINT msg = message.Msg;
  if (msg != WM_LBUTTONDOWN && msg != WM_RBUTTONDOWN && msg != WM_MBUTTONDOWN)
    return;
  // A press that left the popup without the focus must not leave it the mouse.
  if (!HandleAllocated() || ::GetFocus() == GetHandle() || GetComponentState().Contains(csDesigning))
    return;
  if (GetCapture() == GetHandle())
    ReleaseCapture();
  if (msg == WM_MBUTTONDOWN)
    PostMessageA(GetHandle(), WM_MBUTTONUP, 0, message.LParam);
}

void TCustomdxBlobPopup::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_CHAR: WMChar(message); return;
    case WM_CONTEXTMENU: WMContextMenu(message); return;
    case WM_ERASEBKGND:
      if (IsMemo())
        DefaultHandler(message);
      else
        message.Result = 1;
      return;
    case WM_PAINT:
      if (IsMemo()) {
        DefaultHandler(message);
        return;
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (IsMemo())
        DefaultHandler(message);
      else
        ScrollPicture(message.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(message.WParam));
      return;
    case WM_GETDLGCODE: WMGetDlgCode(message); return;
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(message.LParam);
      if (IsMemo() && HandleAllocated() && text && std::strlen(text) > kRichEditPieceSize) {
        SetRichEditText(GetHandle(), text);
        message.Result = TRUE;
        return;
      }
      break;
    }
    case WM_GETMINMAXINFO:
    case WM_NCCALCSIZE:
    case WM_NCHITTEST:
    case WM_NCPAINT:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: FrameMessage(message); return;
    case WM_LBUTTONUP: WMLButtonUp(message); return;
    case WM_MOUSEMOVE: WMMouseMove(message); return;
    case WM_CAPTURECHANGED:
      inherited::Dispatch(message);
      EndTracking();
      return;
    case WM_SETFONT: WMSetFont(message); return;
    case WM_SIZE: WMSize(message); return;
    case CM_COLORCHANGED:
      inherited::Dispatch(message);
      if (IsMemo() && HandleAllocated())
        SendMessageA(GetHandle(), EM_SETBKGNDCOLOR, 0, LPARAM(ColorToRGB(GetColor())));
      return;
    case CN_COMMAND: CNCommand(message); return;
  }
  inherited::Dispatch(message);
}

void TCustomdxBlobPopup::FrameMessage(TMessage& message) {
  // The button bar, the size grip and the frame around them belong to the control shown
  // as a popup; otherwise the window keeps its plain frame.
  if (!GetIsPopup()) {
    inherited::Dispatch(message);
    return;
  }
  switch (message.Msg) {
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(message); return;
    case WM_NCCALCSIZE: WMNCCalcSize(message); return;
    case WM_NCHITTEST: WMNCHitTest(message); return;
    case WM_NCPAINT: WMNCPaint(message); return;
    default: WMNCLButtonDown(message); return;
  }
}

void TCustomdxBlobPopup::WMChar(TMessage& message) {
  if (FMemoCharCase != ecNormal)
    message.WParam = WPARAM(uint8_t(ApplyEditCharCase(std::string(1, char(message.WParam)), FMemoCharCase)[0]));
  inherited::Dispatch(message);
}

void TCustomdxBlobPopup::CNCommand(TMessage& message) {
  if (HIWORD(message.WParam) != EN_CHANGE || FTextUpdating)
    return;
  ApplyCharCase();
  if (FCreating)
    return;
  // A change the popup did not make itself is the user's, whichever command made it
  // (not every one sets the memo's own modified flag).
  SetModified(true);
  DoChange();
}

void TCustomdxBlobPopup::WMGetDlgCode(TMessage& message) {
  inherited::Dispatch(message);
  if (FMemoWantTabs)
    message.Result |= DLGC_WANTTAB;
  else
    message.Result &= ~LRESULT(DLGC_WANTTAB);
  if (!FMemoWantReturns)
    message.Result &= ~LRESULT(DLGC_WANTALLKEYS);
}

void TCustomdxBlobPopup::WMGetMinMaxInfo(TMessage& message) {
  inherited::Dispatch(message);
  auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam);
  info->ptMinTrackSize = POINT{FMetrics.MinWidth, FMetrics.MinHeight};
}

void TCustomdxBlobPopup::WMNCCalcSize(TMessage& message) {
  inherited::Dispatch(message);  // the border and the shadow
  auto* r = reinterpret_cast<RECT*>(message.LParam);
  if (FGripCorner == sgTopLeft || FGripCorner == sgTopRight)
    r->top += FMetrics.BarHeight;
  else
    r->bottom -= FMetrics.BarHeight;
  // The scroll bars lie beside the client area, which they are cut from.
  const LONG style = GetWindowLongA(GetHandle(), GWL_STYLE);
  if (style & WS_VSCROLL)
    r->right -= GetSystemMetrics(SM_CXVSCROLL);
  if (style & WS_HSCROLL)
    r->bottom -= GetSystemMetrics(SM_CYHSCROLL);
  r->right = std::max(r->right, r->left);
  r->bottom = std::max(r->bottom, r->top);
}

void TCustomdxBlobPopup::WMNCHitTest(TMessage& message) {
  inherited::Dispatch(message);
  const LRESULT hit = message.Result;
  if (hit == HTCLIENT || hit == HTVSCROLL || hit == HTHSCROLL)
    return;
  POINT p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  ScreenToWindow(GetHandle(), p);
  const TRect body = GetBodyRect();
  if (!PtInRect(&body, p))
    return;  // the shadow
  message.Result = HTBORDER;
  if (!FSizeablePopup || FPressedButton >= 0)
    return;
  const bool top = FGripCorner == sgTopLeft || FGripCorner == sgTopRight;
  const bool left = FGripCorner == sgTopLeft || FGripCorner == sgBottomLeft;
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  const bool inColumn = left ? p.x < body.left + cx : p.x >= body.right - cx;
  const bool inRow = top ? p.y < body.top + cy : p.y >= body.bottom - cy;
  if (inColumn && inRow) {
    message.Result = top ? (left ? HTTOPLEFT : HTTOPRIGHT) : (left ? HTBOTTOMLEFT : HTBOTTOMRIGHT);
    return;
  }
  if (top ? p.y < body.top + GetSystemMetrics(SM_CYDLGFRAME) : p.y >= body.bottom - GetSystemMetrics(SM_CYDLGFRAME))
    message.Result = top ? HTTOP : HTBOTTOM;
  else if (left ? p.x < body.left + GetSystemMetrics(SM_CXDLGFRAME)
                : p.x >= body.right - GetSystemMetrics(SM_CXDLGFRAME))
    message.Result = left ? HTLEFT : HTRIGHT;
}

void TCustomdxBlobPopup::WMNCLButtonDown(TMessage& message) {
  inherited::Dispatch(message);
  const int button = ButtonAtScreenPoint(message.LParam);
  // OK is disabled while the content is not modified.
  if (button < 0 || (button == bpbOK && !GetModified()))
    return;
  FPressedButton = button;
  FPressedLook = true;
  FTracking = true;
  SetCapture(GetHandle());
  RepaintFrame();
}

void TCustomdxBlobPopup::WMMouseMove(TMessage& message) {
  if (!Survives(this, [&] { inherited::Dispatch(message); }) || !FTracking)
    return;
  const POINT screen = ClientToScreen(TPoint{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))});
  const bool over = ButtonAtScreenPoint(MAKELPARAM(WORD(short(screen.x)), WORD(short(screen.y)))) == FPressedButton;
  if (over == FPressedLook)
    return;
  FPressedLook = over;
  RepaintFrame();
}

void TCustomdxBlobPopup::WMLButtonUp(TMessage& message) {
  // Taken first: the memo's own handling of the release gives up the capture, which
  // ends the tracking.
  const bool tracking = FTracking;
  const int pressed = FPressedButton;
  const bool over = FPressedLook;
  if (!Survives(this, [&] { inherited::Dispatch(message); }) || !tracking)
    return;
  EndTracking();
  if (over && pressed >= 0)
    ClosePopup(TdxBlobPopupButton(pressed));
}

void TCustomdxBlobPopup::EndTracking() {
  if (!FTracking)
    return;
  FTracking = false;
  FPressedButton = -1;
  FPressedLook = false;
  if (HandleAllocated() && GetCapture() == GetHandle())
    ReleaseCapture();
  RepaintFrame();
}

void TCustomdxBlobPopup::WMSetFont(TMessage& message) {
  inherited::Dispatch(message);
  if (IsMemo() && HandleAllocated())
    SetRichEditTextColor(GetHandle(), GetFont()->GetColor());
}

void TCustomdxBlobPopup::WMSize(TMessage& message) {
  if (!Survives(this, [&] { inherited::Dispatch(message); }))
    return;
  ApplyFormatRect();
  UpdateScrollBars();
}

// ---- Frame painting -----------------------------------------------------------------

void TCustomdxBlobPopup::DrawButton(HDC dc, const TRect& rect, TdxBlobPopupButton button, bool down, bool enabled) {
  TRect r = rect;
  const TdxPopupBorder border = GetPopupBorder();
  if (border == pbSingle || border == pbFlat) {
    DrawEdge(dc, &r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  } else if (!down) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_LEFT | BF_TOP);
    TRect inner = Rect(r.left + 1, r.top + 1, r.right, r.bottom);
    DrawEdge(dc, &inner, BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_ADJUST);
    FillRect(dc, &inner, GetSysColorBrush(COLOR_BTNFACE));
    SetPixel(dc, rect.left + 1, rect.bottom - 2, GetSysColor(COLOR_BTNFACE));
    SetPixel(dc, rect.right - 2, rect.top + 1, GetSysColor(COLOR_BTNFACE));
  } else {
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  }
  const std::string caption = ButtonCaption(button);
  TRect text = rect;
  const TSelectGuard font(dc, GetFont()->GetHandle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  DrawTextA(dc, caption.c_str(), int(caption.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
}

void TCustomdxBlobPopup::WMNCPaint(TMessage& message) {
  HWND wnd = GetHandle();
  const LONG style = GetWindowLongA(wnd, GWL_STYLE);
  // Scroll bars are the window manager's to paint.
  if (style & (WS_HSCROLL | WS_VSCROLL))
    DefaultHandler(message);
  inherited::Dispatch(message);  // the border and the shadow
  message.Result = 0;
  TWindowDC dc(wnd);
  const TSaveDCGuard state(dc);
  if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
    TRect client = GetClientRect();
    MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT window{};
    GetWindowRect(wnd, &window);
    OffsetRect(&client, -window.left, -window.top);
    const TRect corner = Bounds(client.right, client.bottom, GetSystemMetrics(SM_CXVSCROLL),
                                GetSystemMetrics(SM_CYHSCROLL));
    FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
  }
  const TRect bar = GetButtonBarRect();
  const bool barOnTop = FGripCorner == sgTopLeft || FGripCorner == sgTopRight;
  // The edge between the bar and the content.
  TRect edge = Strip(bar, !barOnTop, FMetrics.FrameInset);
  const UINT side = barOnTop ? BF_BOTTOM : BF_TOP;
  TRect line = edge;
  const TdxPopupBorder border = GetPopupBorder();
  if (border == pbSingle || border == pbFlat) {
    DrawEdge(dc, &line, BDR_RAISEDINNER, side | BF_ADJUST);
    DrawEdge(dc, &line, BDR_SUNKENOUTER, side | BF_ADJUST);
  } else {
    DrawEdge(dc, &line, EDGE_RAISED, side | BF_ADJUST);
    DrawEdge(dc, &line, BDR_SUNKENINNER, side | BF_ADJUST | BF_FLAT);
    DrawEdge(dc, &line, BDR_SUNKENOUTER, side | BF_ADJUST);
  }
  ExcludeClipRect(dc, edge.left, edge.top, edge.right, edge.bottom);
  const bool modified = GetModified();
  for (int i = bpbClose; i >= bpbOK; --i) {
    const auto button = TdxBlobPopupButton(i);
    if (!FVisibleButtons.Contains(button))
      continue;
    const TRect r = GetButtonRect(button);
    DrawButton(dc, r, button, FTracking && FPressedButton == i && FPressedLook, button != bpbOK || modified);
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  if (FSizeablePopup) {
    TRect grip = bar;
    DrawSizeGrip(dc, grip, FGripCorner);
    ExcludeClipRect(dc, grip.left, grip.top, grip.right, grip.bottom);
  }
  FillRect(dc, &bar, GetSysColorBrush(COLOR_BTNFACE));
}
