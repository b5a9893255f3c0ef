// Decisions taken here:
// - The caret position is clamped to the text before it becomes the selection's
//   anchor, and the anchors are kept inside the text after every change of it, so
//   that no later copy, deletion or painting indexes past the text.
// - An edit with a PasswordChar copies nothing to the clipboard (Copy and Cut do
//   nothing), so that the hidden text cannot be read out that way.
// - The visible and drawn character counts follow the edit's width and font: they are
//   computed again when the window is resized and when the font changes, not only
//   when the scroll position is set.
// - A point is turned into a character index from the text's origin (three pixels in,
//   where the text and the caret are placed).
#include "xpcontrols/XPEdit.h"

#include <algorithm>

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "classlib/Clipboard.h"
#include "classlib/FlagScope.h"
#include "classlib/Forms.h"
#include "classlib/GdiHandles.h"
#include "classlib/Strings.h"
#include "xpcontrols/XPUtils.h"

namespace {

// Where text and caret start inside the client area.
constexpr int kTextOrigin = 3;
// Strings are measured in chunks of this many characters.
constexpr int kMeasureChunk = 32;

std::vector<TCustomXPEdit*> gEdits;
HHOOK gHook = nullptr;

bool IsReflectedNotification(UINT msg) { return msg > 0xBC00 && msg < 0xBDF4; }

TRect Deflated(TRect r, int d) { return Rect(r.left + d, r.top + d, r.right - d, r.bottom - d); }

void FillSolid(HDC dc, const TRect& r, TColor color) {
  TBrushHandle brush(CreateSolidBrush(ColorToRGB(color)));
  FillRect(dc, &r, brush.Get());
}

}  // namespace

LRESULT CALLBACK TransparentEditHookProc(int code, WPARAM wParam, LPARAM lParam);

namespace {

void RegisterTransparentEdit(TCustomXPEdit* edit) {
  if (gEdits.empty() && !gHook)
    gHook = SetWindowsHookExA(WH_CALLWNDPROC, TransparentEditHookProc, nullptr, GetCurrentThreadId());
  gEdits.push_back(edit);
}

void UnregisterTransparentEdit(TCustomXPEdit* edit) {
  std::erase(gEdits, edit);
  if (gEdits.empty() && gHook) {
    UnhookWindowsHookEx(gHook);
    gHook = nullptr;
  }
}

}  // namespace

const std::vector<TCustomXPEdit*>& TransparentEdits() { return gEdits; }
bool TransparentEditHookInstalled() { return gHook != nullptr; }

void InitializeXPEdit() { gEdits.clear(); }

void FinalizeXPEdit() {
  if (gHook) {
    UnhookWindowsHookEx(gHook);
    gHook = nullptr;
  }
  gEdits.clear();
}

LRESULT CALLBACK TransparentEditHookProc(int code, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallNextHookEx(gHook, code, wParam, lParam);
  if (code < 0)
    return result;
  GuardBoundary("TransparentEditHookProc", [&] {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (message->message != WM_SIZE && message->message != WM_PAINT &&
        !IsReflectedNotification(message->message))
      return;
    // An edit freed by a repaint must not be visited afterwards: walk a copy and
    // skip the ones that left the list meanwhile.
    const std::vector<TCustomXPEdit*> edits = gEdits;
    for (TCustomXPEdit* edit : edits) {
      if (std::find(gEdits.begin(), gEdits.end(), edit) == gEdits.end())
        continue;
      if (edit->HandleAllocated() && edit->GetTransparent() && edit->RelatesTo(message->hwnd))
        edit->Invalidate();
    }
  });
  return result;
}

// ---- TXPEditColors --------------------------------------------------------------------

TXPEditColors::TXPEditColors(TCustomXPEdit* owner) : FOwner(owner) {}

void TXPEditColors::Assign(TPersistent* source) {
  auto* colors = ObjectAs<TXPEditColors>(source);
  if (!colors) {
    inherited::Assign(source);
    return;
  }
  SetColor(colors->GetColor());
  SetFrameColor(colors->GetFrameColor());
  SetDisabledDarkColor(colors->GetDisabledDarkColor());
  SetDisabledLightColor(colors->GetDisabledLightColor());
}

void TXPEditColors::SetColor(TColor value) {
  if (value == FColor)
    return;
  FColor = value;
  if (FOwner)
    FOwner->SetColor(value);
}

void TXPEditColors::SetFrameColor(TColor value) { ChangeAndRepaint(FFrameColor, value); }

void TXPEditColors::SetDisabledDarkColor(TColor value) { ChangeAndRepaint(FDisabledDarkColor, value); }

void TXPEditColors::SetDisabledLightColor(TColor value) { ChangeAndRepaint(FDisabledLightColor, value); }

void TXPEditColors::ChangeAndRepaint(TColor& field, TColor value) {
  if (value == field)
    return;
  field = value;
  if (FOwner)
    FOwner->Invalidate();
}

// ---- TCustomXPEdit: life ---------------------------------------------------------------

TCustomXPEdit::TCustomXPEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(GetControlStyle() + TControlStyle{csClickEvents, csDoubleClicks} - TControlStyle{csOpaque});
  SetBounds(GetLeft(), GetTop(), 121, 21);
  SetAutoSize(true);
  SetParentColor(false);
  SetCursor(crDefault);
  SetTabStop(true);
  FColors = new TXPEditColors(this);
  SetParentFont(true);
  GetFont()->SetColor(clHotLight);
  RegisterTransparentEdit(this);
  SetTransparent(true);
}

TCustomXPEdit::~TCustomXPEdit() {
  // The window's last messages (focus loss, repaints) still reach this class and its
  // colours, so the window goes before them.
  Destroying();
  DestroyHandle();
  UnregisterTransparentEdit(this);
  delete FColors;
  FColors = nullptr;
}

void TCustomXPEdit::SetTransparent(bool value) {
  if (value == FTransparent)
    return;
  FTransparent = value;
  RecreateWnd();
}

void TCustomXPEdit::SetPasswordChar(char value) {
  if (value == FPasswordChar)
    return;
  FPasswordChar = value;
  const std::string text = GetText();
  FDisplayText = FPasswordChar ? std::string(text.size(), FPasswordChar) : text;
  Invalidate();
}

void TCustomXPEdit::SetHideSelection(bool value) {
  if (value == FHideSelection)
    return;
  FHideSelection = value;
  Invalidate();
}

void TCustomXPEdit::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (FTransparent)
    params.ExStyle |= WS_EX_TRANSPARENT;
}

void TCustomXPEdit::CreateWnd() {
  inherited::CreateWnd();
  SetCaret(FCaretPos);
  SetFirstVisible(FFirstVisible);
  PlaceCaret();
  Perform(CM_FONTCHANGED);
}

void TCustomXPEdit::Change() {
  OnChange(this);
}

// ---- Measuring -------------------------------------------------------------------------

std::vector<int> TCustomXPEdit::CharWidths(int from, int to) {
  std::vector<int> widths;
  if (to <= from)
    return widths;
  widths.reserve(size_t(to - from));
  TCanvas* canvas = GetCanvas();
  canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
  HDC dc = canvas->GetHandle();
  int extents[kMeasureChunk];
  for (int start = from; start < to; start += kMeasureChunk) {
    const int count = std::min(kMeasureChunk, to - start);
    int fit = 0;
    SIZE size{};
    GetTextExtentExPointA(dc, FDisplayText.data() + start, count, 0x7FFFFFFF, &fit, extents, &size);
    for (int i = 0; i < count; ++i)
      widths.push_back(extents[i] - (i > 0 ? extents[i - 1] : 0));
  }
  return widths;
}

int TCustomXPEdit::TextWidth(int from, int to) {
  int width = 0;
  for (int w : CharWidths(from, to))
    width += w;
  return width;
}

int TCustomXPEdit::AvailableWidth() {
  TRect r;
  GetEditRect(r);
  return RectWidth(r) - 2;
}

int TCustomXPEdit::Overhang() {
  TCanvas* canvas = GetCanvas();
  canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
  TEXTMETRICA metrics{};
  GetTextMetricsA(canvas->GetHandle(), &metrics);
  return metrics.tmOverhang;
}

void TCustomXPEdit::RecalcCounts() {
  const int length = int(FDisplayText.size());
  FFirstVisible = std::clamp(FFirstVisible, 0, length);
  const std::vector<int> widths = CharWidths(FFirstVisible, length);
  FDrawnCount = 0;
  int room = AvailableWidth();
  for (int w : widths) {
    if (room < 0)
      break;
    room -= w;
    ++FDrawnCount;
  }
  FFullCount = 0;
  room = AvailableWidth() - Overhang();
  for (int w : widths) {
    if (w > room)
      break;
    room -= w;
    ++FFullCount;
  }
}

int TCustomXPEdit::FirstVisibleFor(int pos) {
  const std::vector<int> widths = CharWidths(0, pos);
  int room = AvailableWidth() - Overhang();
  int first = pos;
  while (first > 0 && widths[size_t(first - 1)] <= room) {
    room -= widths[size_t(first - 1)];
    --first;
  }
  return first;
}

int TCustomXPEdit::CharAtPoint(int x) {
  x -= kTextOrigin;
  if (x < 0) {
    if (FFirstVisible == 0)
      return 0;
    const int before = CharWidths(FFirstVisible - 1, FFirstVisible)[0];
    return -x <= before / 2 ? FFirstVisible : FFirstVisible - 1;
  }
  const int last = std::min(FFirstVisible + FDrawnCount, int(FDisplayText.size()));
  const std::vector<int> widths = CharWidths(FFirstVisible, last);
  for (size_t i = 0; i < widths.size(); ++i) {
    if (x <= widths[i] / 2)
      return FFirstVisible + int(i);
    x -= widths[i];
  }
  return last;
}

void TCustomXPEdit::GetEditRect(TRect& r) { r = Deflated(GetClientRect(), 2); }

// ---- Caret, scrolling, selection -------------------------------------------------------

void TCustomXPEdit::SetFirstVisible(int value) {
  FFirstVisible = std::clamp(value, 0, int(FDisplayText.size()));
  if (!HandleAllocated())
    return;
  RecalcCounts();
  Invalidate();
}

void TCustomXPEdit::SetCaret(int pos) {
  FCaretPos = std::clamp(pos, 0, int(FDisplayText.size()));
  if (!HandleAllocated())
    return;
  if (FCaretPos < FFirstVisible)
    SetFirstVisible(FCaretPos);
  else if (FCaretPos > FFirstVisible + FFullCount)
    SetFirstVisible(FirstVisibleFor(FCaretPos));
  PlaceCaret();
}

void TCustomXPEdit::PlaceCaret() {
  if (!HandleAllocated() || !Focused())
    return;
  const int x = (FCaretPos > FFirstVisible ? TextWidth(FFirstVisible, FCaretPos) : 0) + kTextOrigin;
  SetCaretPos(x, kTextOrigin);
}

void TCustomXPEdit::SetCursorPosition(int pos) {
  pos = std::clamp(pos, 0, int(FDisplayText.size()));
  const bool extending = GetAsyncKeyState(VK_SHIFT) < 0 || FMouseSelecting;
  if (!extending) {
    SetSelLength(0);
    FSelAnchor = FSelCursor = pos;
  }
  if (pos == FCaretPos)
    return;
  if (extending) {
    FSelCursor = pos;
    Invalidate();
  }
  SetCaret(pos);
}

void TCustomXPEdit::SetSelLength(int value) {
  if (FSelCursor < FSelAnchor)
    FSelAnchor = FCaretPos;
  const int length = int(FDisplayText.size());
  FSelAnchor = std::clamp(FSelAnchor, 0, length);
  FSelCursor = FSelAnchor + std::clamp(value, 0, length - FSelAnchor);
  Invalidate();
}

void TCustomXPEdit::SelectAll() {
  FSelAnchor = FSelCursor = 0;
  SetCaret(0);
  SetSelLength(int(FDisplayText.size()));
  SetCaret(GetSelLength());
}

void TCustomXPEdit::ClampSelection() {
  const int length = int(FDisplayText.size());
  FSelAnchor = std::clamp(FSelAnchor, 0, length);
  FSelCursor = std::clamp(FSelCursor, 0, length);
  FCaretPos = std::clamp(FCaretPos, 0, length);
  FFirstVisible = std::clamp(FFirstVisible, 0, length);
}

void TCustomXPEdit::SelectWordAt(int index) {
  const std::string& s = FDisplayText;
  const int length = int(s.size());
  if (length == 0)
    return;
  const int i = std::clamp(index, 0, length - 1);
  auto blank = [&](int k) { return s[size_t(k)] == ' '; };
  int from = i, to = i;
  if (!blank(i)) {
    while (from > 0 && !blank(from - 1))
      --from;
    while (to < length && !blank(to))
      ++to;
  } else {
    int j = i;
    while (j >= 0 && blank(j))
      --j;
    if (j >= 0) {
      to = j + 1;
      from = j;
      while (from > 0 && !blank(from - 1))
        --from;
    } else {
      while (from > 0 && blank(from - 1))
        --from;
      while (to < length && blank(to))
        ++to;
    }
  }
  FSelAnchor = from;
  FSelCursor = to;
  SetCaret(to);
  Invalidate();
}

// ---- Editing ---------------------------------------------------------------------------

void TCustomXPEdit::WriteText(const std::string& text) {
  const TFlagScope updating(FUpdating);
  SetText(text);
  ClampSelection();
}

void TCustomXPEdit::Rescroll() {
  if (FCaretPos != FFirstVisible || FCaretPos != int(FDisplayText.size()))
    SetFirstVisible(FFirstVisible);
  else
    SetFirstVisible(FirstVisibleFor(FCaretPos));
}

void TCustomXPEdit::InsertText(const std::string& s) {
  if (FReadOnly)
    return;
  std::string text = GetText();
  const int start = std::min(GetSelStart(), int(text.size()));
  const int length = std::min(GetSelLength(), int(text.size()) - start);
  text.erase(size_t(start), size_t(length));
  FCaretPos = start;
  std::string inserted = s;
  if (FMaxLength > 0 && int(text.size() + inserted.size()) > FMaxLength)
    inserted.resize(size_t(std::max(0, FMaxLength - int(text.size()))));
  if (FCharCase == 1)
    inserted = UpperCase(inserted);
  else if (FCharCase == 2)
    inserted = LowerCase(inserted);
  text.insert(size_t(start), inserted);
  FSelAnchor = FSelCursor = start;
  WriteText(text);
  Rescroll();
  SetCaret(start + int(inserted.size()));
  FSelAnchor = FSelCursor = FCaretPos;
  Invalidate();
  Change();
}

void TCustomXPEdit::DeleteBackward(int count) {
  if (FReadOnly || FCaretPos == 0)
    return;
  const int oldCaret = FCaretPos;
  SetCursorPosition(FCaretPos - count);
  std::string text = GetText();
  const int removed = std::min(oldCaret - FCaretPos, int(text.size()) - FCaretPos);
  text.erase(size_t(FCaretPos), size_t(std::max(removed, 0)));
  WriteText(text);
  Rescroll();
  Change();
}

void TCustomXPEdit::DeleteForward(int count) {
  if (FReadOnly)
    return;
  std::string text = GetText();
  const int at = std::min(FCaretPos, int(text.size()));
  text.erase(size_t(at), size_t(std::min(count, int(text.size()) - at)));
  WriteText(text);
  Rescroll();
  Change();
}

void TCustomXPEdit::DeleteSelection() {
  if (FReadOnly)
    return;
  const int start = GetSelStart();
  const int length = GetSelLength();
  FSelAnchor = FSelCursor = start;
  SetCaret(start);
  DeleteForward(length);
}

void TCustomXPEdit::CopyToClipboard() {
  if (FPasswordChar)
    return;
  const std::string text = GetText();
  const int start = std::min(GetSelStart(), int(text.size()));
  Clipboard()->SetAsText(text.substr(size_t(start), size_t(GetSelLength())));
}

void TCustomXPEdit::CutToClipboard() {
  if (FPasswordChar)
    return;
  CopyToClipboard();
  DeleteSelection();
}

void TCustomXPEdit::PasteFromClipboard() {
  if (FReadOnly)
    return;
  InsertText(Clipboard()->GetAsText());
}

// ---- Keyboard and mouse ----------------------------------------------------------------

void TCustomXPEdit::KeyDown(WORD& key, TShiftState shift) {
  if (key < VK_END || key > VK_DELETE) {
    inherited::KeyDown(key, shift);
    return;
  }
  const std::string& s = FDisplayText;
  const int length = int(s.size());
  auto blank = [&](int k) { return s[size_t(k)] == ' '; };
  const bool ctrl = shift.Contains(ssCtrl);
  const TShiftState keys = shift * TShiftState{ssShift, ssCtrl, ssAlt};
  switch (key) {
    case VK_END:
      SetCursorPosition(length);
      break;
    case VK_HOME:
      SetCursorPosition(0);
      break;
    case VK_LEFT: {
      if (!ctrl) {
        SetCursorPosition(FCaretPos - 1);
        break;
      }
      int i = FCaretPos;
      while (i > 0 && blank(i - 1))
        --i;
      while (i > 0 && !blank(i - 1))
        --i;
      SetCursorPosition(i);
      break;
    }
    case VK_RIGHT: {
      if (!ctrl) {
        SetCursorPosition(FCaretPos + 1);
        break;
      }
      int i = FCaretPos;
      while (i < length && !blank(i))
        ++i;
      while (i < length && blank(i))
        ++i;
      SetCursorPosition(i);
      break;
    }
    case VK_INSERT:
      if (keys == TShiftState{ssShift})
        PasteFromClipboard();
      else if (keys == TShiftState{ssCtrl})
        CopyToClipboard();
      break;
    case VK_DELETE:
      if (keys.Empty()) {
        if (GetSelLength() > 0)
          DeleteSelection();
        else
          DeleteForward(1);
      } else if (keys == TShiftState{ssShift}) {
        CutToClipboard();
      }
      break;
  }
}

// The handlers of the inherited key and mouse steps may free the edit: its own work
// runs only on one alive.
void TCustomXPEdit::KeyPress(char& key) {
  if (!Survives(this, [&] { inherited::KeyPress(key); }))
    return;
  const unsigned char c = static_cast<unsigned char>(key);
  if (c >= 32) {
    InsertText(std::string(1, key));
    return;
  }
  switch (c) {
    case 3:
      CopyToClipboard();
      break;
    case 8:
      if (GetSelLength() > 0)
        DeleteSelection();
      else
        DeleteBackward(1);
      break;
    case 22:
      PasteFromClipboard();
      break;
    case 24:
      CutToClipboard();
      break;
  }
}

void TCustomXPEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!Survives(this, [&] { inherited::MouseDown(button, shift, x, y); }))
    return;
  TRect r;
  GetEditRect(r);
  const POINT p{x, y};
  if (!PtInRect(&r, p) || button != mbLeft || shift.Contains(ssDouble))
    return;
  SetCursorPosition(CharAtPoint(x));
  if (!Survives(this, [this] { SetFocus(); }))  // OnEnter freed the edit
    return;
  SetCapture(GetHandle());
  FMouseSelecting = true;
}

void TCustomXPEdit::MouseMove(TShiftState shift, int x, int y) {
  if (Survives(this, [&] { inherited::MouseMove(shift, x, y); }) && FMouseSelecting)
    SetCursorPosition(CharAtPoint(x));
}

void TCustomXPEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  ReleaseCapture();
  FMouseSelecting = false;
  inherited::MouseUp(button, shift, x, y);
}

void TCustomXPEdit::DblClick() {
  if (!Survives(this, [&] { inherited::DblClick(); }))
    return;
  POINT screen{};
  GetCursorPos(&screen);
  const TPoint p = ScreenToClient(TPoint{screen.x, screen.y});
  TRect r;
  GetEditRect(r);
  if (PtInRect(&r, POINT{p.x, p.y}))
    SelectWordAt(CharAtPoint(p.x));
}

// ---- Caret and font --------------------------------------------------------------------

void TCustomXPEdit::CreateEditCaret() {
  CreateCaret(GetHandle(), nullptr, 1, FTextHeight);
  PlaceCaret();
  ShowCaret(GetHandle());
}

void TCustomXPEdit::DestroyEditCaret() {
  HideCaret(GetHandle());
  DestroyCaret();
}

void TCustomXPEdit::SetFontUnderline(bool value) {
  TFontStyles style = GetFont()->GetStyle();
  if (value)
    style = style + TFontStyles{fsUnderline};
  else
    style = style - TFontStyles{fsUnderline};
  GetFont()->SetStyle(style);
}

// ---- Painting --------------------------------------------------------------------------

void TCustomXPEdit::Invalidate() {
  if (FTransparent && HandleAllocated() && GetParent()) {
    const TRect client = GetClientRect();
    const TPoint topLeft = ClientToScreen(TPoint{client.left, client.top});
    const TPoint bottomRight = ClientToScreen(TPoint{client.right, client.bottom});
    const TRect screenRect = Rect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    TWinControl* parent = GetParent();
    if (ObjectAs<TScrollingWinControl>(parent) && parent->HandleAllocated()) {
      TClientDC dc(parent->GetHandle());
      const TPoint a = parent->ScreenToClient(topLeft);
      const TPoint b = parent->ScreenToClient(bottomRight);
      const TRect inParent = Rect(a.x, a.y, b.x, b.y);
      TRegionHandle region(CreateRectRgnIndirect(&inParent));
      SelectClipRgn(dc, region.Get());
      parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
      SelectClipRgn(dc, nullptr);
    }
    InvalidateBehind(parent, screenRect);
  }
  inherited::Invalidate();
}

void TCustomXPEdit::InvalidateBehind(TWinControl* control, const TRect& screenRect) {
  if (control == this || !control->HandleAllocated() || !control->GetShowing())
    return;
  const TPoint a = control->ScreenToClient(TPoint{screenRect.left, screenRect.top});
  const TPoint b = control->ScreenToClient(TPoint{screenRect.right, screenRect.bottom});
  const TRect inControl = Rect(a.x, a.y, b.x, b.y);
  const TRect client = control->GetClientRect();
  TRect part{};
  if (IntersectRect(&part, &inControl, &client))
    InvalidateRect(control->GetHandle(), &part, FALSE);
  for (int i = 0; i < control->GetControlCount(); ++i)
    if (auto* child = ObjectAs<TWinControl>(control->GetControl(i)))
      InvalidateBehind(child, screenRect);
}

bool TCustomXPEdit::RelatesTo(HWND target) {
  TWinControl* control = FindControl(target);
  if (!control) {
    if (GetOwner())
      return false;
  } else {
    const bool sibling = !ObjectAs<TCustomXPEdit>(control) && control->GetOwner() == GetOwner() && HandleAllocated();
    if (!sibling && control != GetOwner())
      return false;
  }
  RECT targetRect{}, editRect{}, common{};
  GetWindowRect(target, &targetRect);
  GetWindowRect(GetHandle(), &editRect);
  return IntersectRect(&common, &targetRect, &editRect) != 0;
}

void TCustomXPEdit::Paint() {
  const bool enabled = IsControlEnabled(this);
  const bool showSelection = Focused() || !FHideSelection;
  TColor bk, frame, text, selBk, selText;
  if (enabled) {
    bk = FColors->GetColor();
    frame = FColors->GetFrameColor();
    text = GetFont()->GetColor();
    selBk = showSelection ? clHighlight : FColors->GetColor();
    selText = showSelection ? clHighlightText : GetFont()->GetColor();
  } else {
    bk = FColors->GetDisabledLightColor();
    frame = FColors->GetDisabledDarkColor();
    text = FColors->GetDisabledDarkColor();
    selBk = showSelection ? FColors->GetDisabledDarkColor() : FColors->GetDisabledLightColor();
    selText = showSelection ? FColors->GetDisabledLightColor() : FColors->GetDisabledDarkColor();
  }
  HDC dc = GetCanvas()->GetHandle();
  if (!FTransparent) {
    const TRect client = GetClientRect();
    FillSolid(dc, client, frame);
    FillSolid(dc, Deflated(client, 1), bk);
  }
  TRect r;
  GetEditRect(r);
  r = Deflated(r, 1);
  if (IsRectEmpty(&r))
    return;
  DrawEditText(r, bk, text, selBk, selText, frame);
}

void TCustomXPEdit::DrawEditText(TRect r, TColor bkColor, TColor textColor, TColor selBkColor,
                                 TColor selTextColor, TColor frameColor) {
  TCanvas* canvas = GetCanvas();
  canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
  HDC dc = canvas->GetHandle();
  if (!FTransparent) {
    const TRect outside = Rect(r.left - 1, r.top - 1, r.right + 1, r.bottom + 1);
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(bkColor)));
    FrameRect(dc, &outside, brush.Get());
    FillSolid(dc, Rect(r.left - 1, r.top + FTextHeight, r.right + 1, r.bottom + 1), bkColor);
    r.bottom = r.top + FTextHeight;
  }
  const int length = int(FDisplayText.size());
  const int first = std::min(FFirstVisible, length);
  const int last = std::min(first + FDrawnCount, length);
  const int origin = r.left;
  const TSaveDCGuard saved(dc);

  auto drawRun = [&](int from, int to, TColor fore, TColor back, bool transparent) {
    if (to <= from)
      return;
    const int x = origin + TextWidth(first, from);
    SetTextColor(dc, ColorToRGB(fore));
    SetBkColor(dc, ColorToRGB(back));
    SetBkMode(dc, transparent ? TRANSPARENT : OPAQUE);
    const TRect clip = r;
    ExtTextOutA(dc, x, r.top, ETO_CLIPPED | (transparent ? 0 : ETO_OPAQUE), &clip,
                FDisplayText.data() + from, UINT(to - from), nullptr);
    r.left = x + TextWidth(from, to);
  };

  const int selStart = GetSelStart();
  const int selEnd = selStart + GetSelLength();
  const bool selectedTransparent = FTransparent && FHideSelection && !Focused();
  if (GetSelLength() > 0 && selStart < last && selEnd > first) {
    if (selStart >= first)
      drawRun(first, selStart, textColor, bkColor, FTransparent);
    drawRun(std::max(selStart, first), std::min(selEnd, last), selTextColor, selBkColor, selectedTransparent);
    drawRun(std::min(selEnd, last), last, textColor, bkColor, FTransparent);
  } else {
    drawRun(first, last, textColor, bkColor, FTransparent);
  }

  // The rest of the line: the last visible character once more at its own place,
  // clipped to what lies right of the last run, so that a character cut at the edge
  // shows as far as it fits and the remaining background is filled.
  if (last == length) {
    SetTextColor(dc, ColorToRGB(textColor));
    SetBkColor(dc, ColorToRGB(bkColor));
  }
  if (r.left >= r.right)
    return;
  SetBkMode(dc, FTransparent ? TRANSPARENT : OPAQUE);
  const UINT options = ETO_CLIPPED | (FTransparent ? 0 : ETO_OPAQUE);
  const TRect clip = r;
  if (last > first) {
    const int x = origin + TextWidth(first, last - 1);
    ExtTextOutA(dc, x, r.top, options, &clip, FDisplayText.data() + last - 1, 1, nullptr);
  } else {
    ExtTextOutA(dc, r.left, r.top, options, &clip, "", 0, nullptr);
  }
}

// ---- Messages --------------------------------------------------------------------------

void TCustomXPEdit::CMFontChanged(TMessage& message) {
  inherited::Dispatch(message);
  GetCanvas()->SetFont(GetFont());
  if (!HandleAllocated())
    return;
  TCanvas* canvas = GetCanvas();
  canvas->RequiredState(TCanvasState{csHandleValid, csFontValid});
  TEXTMETRICA metrics{};
  GetTextMetricsA(canvas->GetHandle(), &metrics);
  FTextHeight = metrics.tmHeight;
  if (GetAutoSize() || FTextHeight + 6 > GetHeight())
    SetHeight(FTextHeight + 6);
  RecalcCounts();
  Invalidate();
}

void TCustomXPEdit::CMTextChanged(TMessage& message) {
  inherited::Dispatch(message);
  if (FUpdating)
    return;
  SetFirstVisible(0);
  SetCursorPosition(int(FDisplayText.size()));
  const TOwnedFlagScope notifying(this, FNotifyingTextChange);  // the change's handler may free the edit
  Change();
}

void TCustomXPEdit::WMSetText(TMessage& message) {
  std::string converted;
  if (FOEMConvert && message.LParam) {
    converted = reinterpret_cast<const char*>(message.LParam);
    CharToOemA(converted.c_str(), converted.data());
    message.LParam = reinterpret_cast<LPARAM>(converted.c_str());
  }
  inherited::Dispatch(message);
  const std::string text = GetText();
  FDisplayText = FPasswordChar ? std::string(text.size(), FPasswordChar) : text;
  ClampSelection();
}

void TCustomXPEdit::WMGetText(TMessage& message) {
  inherited::Dispatch(message);
  if (FOEMConvert && message.LParam && message.Result > 0) {
    auto* buffer = reinterpret_cast<char*>(message.LParam);
    OemToCharBuffA(buffer, buffer, DWORD(message.Result));
  }
}

void TCustomXPEdit::WMSetCursor(TMessage& message) {
  inherited::Dispatch(message);
  POINT screen{};
  GetCursorPos(&screen);
  const TPoint p = ScreenToClient(TPoint{screen.x, screen.y});
  TRect r;
  GetEditRect(r);
  SetCursor(PtInRect(&r, POINT{p.x, p.y}) ? crIBeam : crDefault);
}

void TCustomXPEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_SETFOCUS:
      inherited::Dispatch(message);
      Invalidate();
      CreateEditCaret();
      return;
    case WM_KILLFOCUS:
      DestroyEditCaret();
      inherited::Dispatch(message);
      Invalidate();
      return;
    case WM_CANCELMODE:
      inherited::Dispatch(message);
      StopMouseSelecting();
      return;
    case WM_SIZE:
      if (Survives(this, [&] { inherited::Dispatch(message); }) && HandleAllocated())
        RecalcCounts();
      return;
    case WM_SETTEXT:
      WMSetText(message);
      return;
    case WM_GETTEXT:
      WMGetText(message);
      return;
    case WM_GETDLGCODE:
      inherited::Dispatch(message);
      message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    case WM_SETCURSOR:
      WMSetCursor(message);
      return;
    case CM_ENTER:
      if (FAutoSelect && !GetControlState().Contains(csLButtonDown))
        SelectAll();
      inherited::Dispatch(message);
      return;
    case CM_MOUSEENTER:
      inherited::Dispatch(message);
      SetFontUnderline(true);
      return;
    case CM_MOUSELEAVE:
      inherited::Dispatch(message);
      SetFontUnderline(false);
      return;
    case CM_ENABLEDCHANGED:
      inherited::Dispatch(message);
      Invalidate();
      return;
    case CM_FONTCHANGED:
      CMFontChanged(message);
      return;
    case CM_TEXTCHANGED:
      CMTextChanged(message);
      return;
    case CM_PARENTCOLORCHANGED:
      inherited::Dispatch(message);
      if (GetParentColor() && FColors)
        FColors->SetColor(GetColor());
      Invalidate();
      return;
  }
  inherited::Dispatch(message);
}
