// Decisions taken here:
// - A MaxLength of 0 means no limit, and the edit window is told so with a very large
//   limit: RichEdit takes a limit of 0 as its default of about 64K characters, which
//   would cut longer values short.
// - The selected text is read into a buffer of two bytes per character, as a
//   double-byte code page needs; GetSelTextBuf leaves room for the terminator.
// - Escape undoes to the snapshot whenever the editor is modified (the base's
//   CanUndo); whether the window itself can undo is EditCanUndo, for the menu.
// - A window made with the selection bar keeps the editor's bounds: the style bit is
//   also WS_MAXIMIZE, which made the new window fill its parent.
// - Whether the window shows a value whole is read back from the window: it keeps a text
//   up to a NUL byte, a single line up to its first line break, and lays a CR CR LF out
//   as a blank, while a multi-line window's CR LF for a lone CR or LF, and the editor's
//   own character case, leave nothing out.
// - A long text goes into the window in pieces (SetRichEditText), once the window has
//   its bounds: Wine's RichEdit takes time growing with the square of a text given to it
//   at once, and lays all of it out again when the window is sized. A hidden editor drops
//   a long text with its window rather than delete it, which takes Wine's RichEdit time
//   growing with the square of the text too.
// - A handler of a change or of a selection change may free the editor: what sets the
//   text or the selection, or hands a message on that may, checks that the editor is
//   alive before it touches it again, and flags it raised are given back only then.
#include "editors/DxInplaceTextEdit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "classlib/FlagScope.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/Strings.h"

namespace {

int gInitCount = 0;
HMODULE gRichEdit = nullptr;

// Limit sent for "no limit".
constexpr LPARAM kNoTextLimit = 0x7FFFFFFE;

// The context menu: each item's caption and command (-1 for a line).
struct TMenuEntry {
  const char* Caption;
  int Command;
};
constexpr TMenuEntry kMenu[] = {{"&Undo", recUndo},     {"&Redo", recRedo},   {"-", -1},
                                {"Cu&t", recCut},       {"&Copy", recCopy},   {"&Paste", recPaste},
                                {"&Delete", recDelete}, {"-", -1},            {"Select &All", recSelectAll}};
enum TMenuIndex { miUndo, miRedo, miLine1, miCut, miCopy, miPaste, miDelete, miLine2, miSelectAll };

}  // namespace

void InitializeDxTextEdit() {
  if (gInitCount++ > 0)
    return;
  const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA("RICHED20.DLL");
  SetErrorMode(oldMode);
  gRichEdit = reinterpret_cast<uintptr_t>(module) < 32 ? nullptr : module;
}

void FinalizeDxTextEdit() {
  if (gInitCount == 0 || --gInitCount > 0)
    return;
  if (gRichEdit)
    FreeLibrary(gRichEdit);
  gRichEdit = nullptr;
}

bool DxRichEditLoaded() { return gRichEdit != nullptr; }

void SetRichEditMaxLength(HWND wnd, int maxLength) {
  SendMessageA(wnd, EM_EXLIMITTEXT, 0, maxLength > 0 ? LPARAM(maxLength) : kNoTextLimit);
}

void SetRichEditTextColor(HWND wnd, TColor color) {
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_COLOR;
  if (color == clWindowText || color == clDefault)
    format.dwEffects = CFE_AUTOCOLOR;
  else
    format.crTextColor = ColorToRGB(color);
  SendMessageA(wnd, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

CHARRANGE GetRichEditSelection(HWND wnd) {
  CHARRANGE range{};
  SendMessageA(wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

void SetRichEditSelection(HWND wnd, int start, int end) {
  CHARRANGE range{start, end};
  SendMessageA(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

std::string GetRichEditSelText(HWND wnd) {
  const CHARRANGE range = GetRichEditSelection(wnd);
  const int length = range.cpMax - range.cpMin;
  if (length <= 0)
    return {};
  std::vector<char> buffer(size_t(2 * length + 1), '\0');
  const LRESULT copied = SendMessageA(wnd, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data()));
  return std::string(buffer.data(), size_t(std::clamp<LRESULT>(copied, 0, LRESULT(buffer.size() - 1))));
}

namespace {

// Where the piece of `text` that starts at `start` ends: after the first line break at
// or beyond kRichEditPieceSize bytes, else after the first character below '@' there
// (no double-byte character ends in one, and a CR is never parted from its LF), else at
// the end of the text.
size_t PieceEnd(std::string_view text, size_t start) {
  if (text.size() - start <= kRichEditPieceSize)
    return text.size();
  const size_t from = start + kRichEditPieceSize;
  const size_t lineBreak = text.find('\n', from);
  if (lineBreak != std::string_view::npos && lineBreak - from < kRichEditPieceSize)
    return lineBreak + 1;
  for (size_t i = from; i < text.size() && i - from < kRichEditPieceSize; ++i) {
    const auto c = uint8_t(text[i]);
    if (c < '@' && c != '\r')
      return i + 1;
  }
  return lineBreak == std::string_view::npos ? text.size() : lineBreak + 1;
}

}  // namespace

void SetRichEditText(HWND wnd, std::string_view text) {
  const LRESULT events = SendMessageA(wnd, EM_GETEVENTMASK, 0, 0);
  SendMessageA(wnd, EM_SETEVENTMASK, 0, events & ~LPARAM(ENM_CHANGE));
  SendMessageA(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  // The pieces are added as typing would, which the text limit holds back.
  const LRESULT limit = SendMessageA(wnd, EM_GETLIMITTEXT, 0, 0);
  SendMessageA(wnd, EM_EXLIMITTEXT, 0, kNoTextLimit);
  std::string piece;
  for (size_t start = 0; start < text.size();) {
    const size_t end = PieceEnd(text, start);
    piece.assign(text.substr(start, end - start));
    SendMessageA(wnd, EM_SETSEL, WPARAM(-1), LPARAM(-1));
    SendMessageA(wnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
    start = end;
  }
  SendMessageA(wnd, EM_EXLIMITTEXT, 0, std::max<LRESULT>(limit, LRESULT(text.size())));
  SendMessageA(wnd, EM_SETMODIFY, FALSE, 0);
  SendMessageA(wnd, EM_EMPTYUNDOBUFFER, 0, 0);
  SendMessageA(wnd, EM_SETSEL, 0, 0);
  SendMessageA(wnd, EM_SETEVENTMASK, 0, events);
  if (events & ENM_CHANGE)
    SendMessageA(GetParent(wnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), EN_CHANGE), reinterpret_cast<LPARAM>(wnd));
}

void RunRichEditCommand(HWND wnd, int command) {
  switch (command) {
    case recUndo: SendMessageA(wnd, EM_UNDO, 0, 0); break;
    case recRedo: SendMessageA(wnd, EM_REDO, 0, 0); break;
    case recCut: SendMessageA(wnd, WM_CUT, 0, 0); break;
    case recCopy: SendMessageA(wnd, WM_COPY, 0, 0); break;
    case recPaste: SendMessageA(wnd, WM_PASTE, 0, 0); break;
    case recDelete: SendMessageA(wnd, WM_CLEAR, 0, 0); break;
    case recSelectAll: SetRichEditSelection(wnd, 0, -1); break;
    default: break;
  }
}

std::string ApplyEditCharCase(const std::string& text, TEditCharCase charCase) {
  switch (charCase) {
    case ecUpperCase: return AnsiUpperCase(text);
    case ecLowerCase: return AnsiLowerCase(text);
    default: return text;
  }
}

bool RichEditShowsTextWhole(const std::string& value, const std::string& shown, bool multiLine,
                            TEditCharCase charCase) {
  if (value.find('\0') != std::string::npos)
    return false;
  if (shown == value)
    return true;
  return shown == ApplyEditCharCase(multiLine ? AdjustLineBreaks(value) : value, charCase);
}

// The RichEdit OLE callback of an editor that restricts editing: nothing can be
// dragged into or out of it. Counted on its own; the editor frees it. Its methods only
// store constants; the one that does more runs behind the exception barrier.
class TdxInplaceTextEdit::TOleCallback final : public IRichEditOleCallback {
 public:
  LONG RefCount = 0;
  STDMETHODIMP QueryInterface(REFIID riid, LPVOID* object) override {
    return GuardBoundaryResult("RichEdit OLE callback", HRESULT(E_NOINTERFACE), [&]() -> HRESULT {
      if (!object)
        return E_POINTER;
      if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IRichEditOleCallback)) {
        *object = this;
        AddRef();
        return S_OK;
      }
      *object = nullptr;
      return E_NOINTERFACE;
    });
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ULONG(++RefCount); }
  STDMETHODIMP_(ULONG) Release() override { return ULONG(--RefCount); }
  STDMETHODIMP GetNewStorage(LPSTORAGE* storage) override {
    if (storage)
      *storage = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetInPlaceContext(LPOLEINPLACEFRAME* frame, LPOLEINPLACEUIWINDOW* doc,
                                 LPOLEINPLACEFRAMEINFO) override {
    if (frame)
      *frame = nullptr;
    if (doc)
      *doc = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP ShowContainerUI(WINBOOL) override { return E_NOTIMPL; }
  STDMETHODIMP QueryInsertObject(LPCLSID, LPSTORAGE, LONG) override { return E_NOTIMPL; }
  STDMETHODIMP DeleteObject(LPOLEOBJECT) override { return E_NOTIMPL; }
  STDMETHODIMP QueryAcceptData(LPDATAOBJECT, CLIPFORMAT*, DWORD, WINBOOL, HGLOBAL) override { return E_NOTIMPL; }
  STDMETHODIMP ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT* data) override {
    if (data)
      *data = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetDragDropEffect(WINBOOL, DWORD, LPDWORD effect) override {
    if (effect)
      *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  STDMETHODIMP GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU*) override { return E_NOTIMPL; }
};

// ---- Construction -------------------------------------------------------------------

TdxInplaceTextEdit::TdxInplaceTextEdit(TComponent* AOwner) : TdxInplaceTextEdit(AOwner, &MetaClass()) {}

TdxInplaceTextEdit::TdxInplaceTextEdit(TComponent* AOwner, const TdxInplaceEditClass* cls)
    : TdxInplaceEdit(AOwner, cls) {
  SetParentColor(false);
  SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks});
  FOleCallback = std::make_unique<TOleCallback>();
}

TdxInplaceTextEdit::~TdxInplaceTextEdit() {
  Destroying();
  // The window goes before the members: it may still hold the OLE callback.
  DestroyHandle();
}

// ---- Class operations ---------------------------------------------------------------

bool TdxInplaceTextEdit::DrawContent(const TdxInplaceEditClass& /*cls*/, HDC dc, const TRect& rect,
                                     TdxEditViewData* viewData, bool editorWindow) {
  auto* text = ObjectAs<TdxTextEditViewData>(viewData);
  assert(text && "the text editor paints from text view data");
  return DrawTextEditContent(dc, rect, text, editorWindow);
}

TClass TdxInplaceTextEdit::GetViewDataClass(const TdxInplaceEditClass& /*cls*/) {
  return TdxTextEditViewData::StaticClass();
}

TdxEditViewData* TdxInplaceTextEdit::CreateViewData(bool forPainting) {
  TdxEditViewData* viewData = inherited::CreateViewData(forPainting);
  if (auto* text = ObjectAs<TdxTextEditViewData>(viewData)) {
    text->CharCase = FCharCase;
    text->PasswordChar = FPasswordChar;
    text->SelectionBar = FSelectionBar;
    text->FocusRectMode = !EditClass()->IsInplace() && !viewData->HasTextArea;
  }
  return viewData;
}

// ---- Window -------------------------------------------------------------------------

void TdxInplaceTextEdit::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  if (!HasTextArea()) {
    params.WinClassName = "NoEdit";
    return;
  }
  CreateSubClass(params, "RichEdit20A");
  params.Style |= ES_AUTOVSCROLL | ES_AUTOHSCROLL;
  if (!CanEditText())
    params.Style |= ES_READONLY;
  if (FPasswordChar)
    params.Style |= ES_PASSWORD;
  if (FCharCase == ecUpperCase)
    params.Style |= ES_UPPERCASE;
  else if (FCharCase == ecLowerCase)
    params.Style |= ES_LOWERCASE;
  if (!FHideSelection)
    params.Style |= ES_NOHIDESEL;
  if (FOEMConvert)
    params.Style |= ES_OEMCONVERT;
  if (GetAlignment() == taRightJustify)
    params.Style |= ES_RIGHT;
  else if (GetAlignment() == taCenter)
    params.Style |= ES_CENTER;
  if (FSelectionBar)
    params.Style |= ES_SELECTIONBAR;
}

void TdxInplaceTextEdit::CreateWnd() {
  const TRect bounds = GetBoundsRect();
  const TFlagScope creating(FCreatingWindow);
  const std::string text = GetText();
  inherited::CreateWnd();
  HWND wnd = GetHandle();
  SendMessageA(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  SendMessageA(wnd, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
  // ES_SELECTIONBAR is also the window manager's WS_MAXIMIZE: a window made with it fills
  // its parent. The editor stays where it was, and takes its text once it is there, to
  // lay a long one out once.
  const TRect made = GetBoundsRect();
  if (!EqualRect(&bounds, &made))
    SetBoundsRect(bounds);
  SendMessageA(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  // The window may keep less of the text than the control held (a single line ends at
  // its first line break).
  if (!GetValueShownInPart() && !ShowsTextWhole(text, GetText()))
    SetValueShownInPart(true);
  ApplyMaxLength(FMaxLength);
  SendMessageA(wnd, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_DRAGDROPDONE | ENM_SELCHANGE);
  Perform(CM_COLORCHANGED);
  if (FPasswordChar)
    SendMessageA(wnd, EM_SETPASSWORDCHAR, WPARAM(uint8_t(FPasswordChar)), 0);
  if (RestrictsEditing())
    SendMessageA(wnd, EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(FOleCallback.get()));
  SetModified(FModifiedCache);
}

void TdxInplaceTextEdit::DestroyWnd() {
  FModifiedCache = GetModified();
  // The window may outlive the editor (freed from inside the window's own procedure):
  // it keeps no callback of the editor's.
  if (HandleAllocated())
    SendMessageA(GetHandle(), EM_SETOLECALLBACK, 0, 0);
  inherited::DestroyWnd();
}

void TdxInplaceTextEdit::Loaded() {
  inherited::Loaded();
  ApplyCharCase();
}

void TdxInplaceTextEdit::ApplyBackgroundColor() {
  if (HandleAllocated() && HasTextArea())
    SendMessageA(GetHandle(), EM_SETBKGNDCOLOR, 0, LPARAM(ColorToRGB(GetColor())));
}

// ---- Value and state ----------------------------------------------------------------

void TdxInplaceTextEdit::SetEditValue(const Variant& value) {
  {
    const TFlagScope setting(FSettingValue);
    inherited::SetEditValue(value);
  }
  ClearUndo();
}

void TdxInplaceTextEdit::RefreshLinkValues() {
  inherited::RefreshLinkValues();
  if (!GetAssignedValues().Contains(evMaxLength))
    SetMaxLengthValue(DefaultMaxLength());
  if (HandleAllocated())
    SendMessageA(GetHandle(), EM_SETREADONLY, !CanEditText(), 0);
}

bool TdxInplaceTextEdit::GetModified() {
  if (HandleAllocated() && HasTextArea())
    return SendMessageA(GetHandle(), EM_GETMODIFY, 0, 0) != 0;
  return FModifiedCache;
}

void TdxInplaceTextEdit::SetModified(bool value) {
  if (HandleAllocated() && HasTextArea())
    SendMessageA(GetHandle(), EM_SETMODIFY, value, 0);
  else
    FModifiedCache = value;
}

void TdxInplaceTextEdit::SetReadOnlyValue(bool value) {
  inherited::SetReadOnlyValue(value);
  if (HandleAllocated() && HasTextArea())
    SendMessageA(GetHandle(), EM_SETREADONLY, !CanEditText(), 0);
}

bool TdxInplaceTextEdit::ShowsTextWhole(const std::string& value, const std::string& shown) {
  const bool multiLine = HandleAllocated() && (GetWindowLongA(GetHandle(), GWL_STYLE) & ES_MULTILINE);
  return RichEditShowsTextWhole(value, shown, multiLine, FCharCase);
}

void TdxInplaceTextEdit::RestoreDefaults() {
  inherited::RestoreDefaults();
  SetMaxLengthValue(DefaultMaxLength());
}

void TdxInplaceTextEdit::F2Action() {
  if (HandleAllocated())
    SendMessageA(GetHandle(), EM_SETSEL, 2147483647, -1);
}

void TdxInplaceTextEdit::SetCharCase(TEditCharCase value) {
  if (FCharCase == value)
    return;
  FCharCase = value;
  ApplyCharCase();
}

void TdxInplaceTextEdit::ApplyCharCase() {
  if (FCharCase == ecNormal)
    return;
  const std::string text = GetText();
  const std::string converted = ApplyEditCharCase(text, FCharCase);
  if (converted == text)
    return;
  const TOwnedFlagScope updating(this, FCaseUpdating);
  CHARRANGE selection{};
  if (HandleAllocated())
    SendMessageA(GetHandle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  const bool modified = GetModified();
  SetText(converted);
  if (!updating.Alive())
    return;
  SetModified(modified);
  if (HandleAllocated())
    SendMessageA(GetHandle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
}

void TdxInplaceTextEdit::SetMaxLength(int value) {
  MarkAssigned(evMaxLength);
  SetMaxLengthValue(value);
}

void TdxInplaceTextEdit::SetMaxLengthValue(int value) {
  value = std::max(value, 0);
  if (value == FMaxLength)
    return;
  FMaxLength = value;
  ApplyMaxLength(value);
}

void TdxInplaceTextEdit::ApplyMaxLength(int value) {
  if (HandleAllocated() && HasTextArea())
    SetRichEditMaxLength(GetHandle(), value);
}

void TdxInplaceTextEdit::SetOEMConvert(bool value) {
  if (FOEMConvert == value)
    return;
  FOEMConvert = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TdxInplaceTextEdit::SetSelectionBar(bool value) {
  if (FSelectionBar == value)
    return;
  FSelectionBar = value;
  if (HandleAllocated())
    RecreateWnd();
}

void TdxInplaceTextEdit::SetPasswordChar(char value) {
  if (FPasswordChar == value)
    return;
  FPasswordChar = value;
  if (!HandleAllocated() || !HasTextArea())
    return;
  SendMessageA(GetHandle(), EM_SETPASSWORDCHAR, WPARAM(uint8_t(value)), 0);
  const bool modified = GetModified();
  SetText(GetText());
  SetModified(modified);
}

// ---- Selection and clipboard --------------------------------------------------------

int TdxInplaceTextEdit::GetSelLength() {
  const CHARRANGE r = GetRichEditSelection(GetHandle());
  return r.cpMax - r.cpMin;
}

int TdxInplaceTextEdit::GetSelStart() { return GetRichEditSelection(GetHandle()).cpMin; }

std::string TdxInplaceTextEdit::GetSelText() { return GetRichEditSelText(GetHandle()); }

int TdxInplaceTextEdit::GetSelTextBuf(char* buffer, int size) {
  if (!buffer || size <= 0)
    return 0;
  const std::string text = GetSelText();
  const int count = std::min(int(text.size()), size - 1);
  std::memcpy(buffer, text.data(), size_t(count));
  buffer[count] = '\0';
  return count;
}

void TdxInplaceTextEdit::SetSelLength(int value) {
  const int start = GetSelStart();
  SetRichEditSelection(GetHandle(), start, start + value);
}

void TdxInplaceTextEdit::SetSelStart(int value) { SetRichEditSelection(GetHandle(), value, value); }

void TdxInplaceTextEdit::SelectAll() { SetRichEditSelection(GetHandle(), 0, -1); }

void TdxInplaceTextEdit::ClearUndo() {
  if (HandleAllocated())
    SendMessageA(GetHandle(), EM_EMPTYUNDOBUFFER, 0, 0);
}

void TdxInplaceTextEdit::Undo() { Perform(EM_UNDO); }
void TdxInplaceTextEdit::Redo() { Perform(EM_REDO); }
bool TdxInplaceTextEdit::EditCanUndo() { return HandleAllocated() && Perform(EM_CANUNDO) != 0; }
bool TdxInplaceTextEdit::CanRedo() { return HandleAllocated() && Perform(EM_CANREDO) != 0; }
bool TdxInplaceTextEdit::CanPaste() { return CanEditText() && HandleAllocated() && Perform(EM_CANPASTE) != 0; }
void TdxInplaceTextEdit::CutToClipboard() { Perform(WM_CUT); }
void TdxInplaceTextEdit::CopyToClipboard() { Perform(WM_COPY); }
void TdxInplaceTextEdit::PasteFromClipboard() { Perform(WM_PASTE); }
void TdxInplaceTextEdit::ClearSelection() { Perform(WM_CLEAR); }

int TdxInplaceTextEdit::GetTextLength() {
  if (!HandleAllocated())
    return int(GetText().size());
  GETTEXTLENGTHEX request{GTL_DEFAULT, CP_ACP};
  return int(SendMessageA(GetHandle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&request), 0));
}

// ---- Context menu -------------------------------------------------------------------

TPopupMenu* TdxInplaceTextEdit::PrepareContextMenu() {
  if (!FContextMenu) {
    FContextMenu = new TPopupMenu(this);
    for (const TMenuEntry& entry : kMenu) {
      auto* item = new TMenuItem(FContextMenu);
      item->SetCaption(entry.Caption);
      item->SetTag(entry.Command);
      item->OnClick = TNotifyEvent::Bind<&TdxInplaceTextEdit::MenuClick>(this);
      FContextMenu->GetItems()->Add(item);
    }
  }
  const bool selection = GetSelLength() > 0;
  TMenuItem* items = FContextMenu->GetItems();
  items->GetItem(miUndo)->SetEnabled(EditCanUndo());
  items->GetItem(miRedo)->SetEnabled(CanRedo());
  items->GetItem(miCut)->SetEnabled(selection && CanEditText() && !FPasswordChar);
  items->GetItem(miCopy)->SetEnabled(selection && !FPasswordChar);
  items->GetItem(miPaste)->SetEnabled(CanPaste());
  items->GetItem(miDelete)->SetEnabled(selection && CanEditText());
  // The edit window may count its closing paragraph mark in a whole selection.
  const bool wholeText = GetSelStart() == 0 && GetSelLength() >= GetTextLength();
  items->GetItem(miSelectAll)->SetEnabled(!wholeText);
  return FContextMenu;
}

void TdxInplaceTextEdit::MenuClick(TObject* sender) {
  const int command = static_cast<TMenuItem*>(sender)->GetTag();
  // Selecting is the editor's own (a memo in place also shows its first line).
  if (command == recSelectAll)
    SelectAll();
  else if (HandleAllocated())
    RunRichEditCommand(GetHandle(), command);
}

void TdxInplaceTextEdit::WMContextMenu(TMessage& message) {
  inherited::Dispatch(message);
  if (!HasTextArea() || message.Result != 0)
    return;
  for (TControl* c = this; c; c = c->GetParent())
    if (c->GetPopupMenu())
      return;
  TPoint p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (p.x == -1 && p.y == -1) {
    POINT caret{};
    GetCaretPos(&caret);
    p = ClientToScreen(TPoint{std::min<int>(caret.x, GetClientWidth()), caret.y});
  } else {
    const TPoint client = ScreenToClient(p);
    const TRect r = GetClientRect();
    if (!PtInRect(&r, POINT{client.x, client.y}))
      return;
  }
  TPopupMenu* menu = PrepareContextMenu();
  menu->SetPopupComponent(this);
  menu->Popup(p.x, p.y);
}

// ---- Messages -----------------------------------------------------------------------

void TdxInplaceTextEdit::TextChanged() {
  if (LoadingValue || FCaseUpdating)
    return;
  ApplyCharCase();
  if (!FCreatingWindow && !FSettingValue)
    Change();
}

void TdxInplaceTextEdit::WMSize(TMessage& message) {
  if (!Survives(this, [&] { inherited::Dispatch(message); }) || !HasTextArea())
    return;
  TRect r = GetClientRect();
  InflateRect(&r, -1, -1);
  if (FSelectionBar)
    r.left += 8;
  if (GetAlignment() == taRightJustify)
    --r.right;
  r.left += GetEditMargins().left;
  r.top += GetEditMargins().top;
  r.right -= GetEditMargins().right;
  SendMessageA(GetHandle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
}

void TdxInplaceTextEdit::WMSetFont(TMessage& message) {
  inherited::Dispatch(message);
  if (HasTextArea())
    SetRichEditTextColor(GetHandle(), GetFont()->GetColor());
}

void TdxInplaceTextEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_CHAR:
      if (FCharCase != ecNormal)
        message.WParam = WPARAM(uint8_t(ApplyEditCharCase(std::string(1, char(message.WParam)), FCharCase)[0]));
      inherited::Dispatch(message);
      return;
    case WM_CONTEXTMENU: WMContextMenu(message); return;
    case CN_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
      if (header && header->code == EN_SELCHANGE && !GetComponentState().Contains(csLoading))
        DoSelectionChange();
      return;
    }
    case CN_COMMAND:
      if (HIWORD(message.WParam) == EN_CHANGE)
        TextChanged();
      return;
    case CM_TEXTCHANGED: {
      if (HasTextArea()) {
        inherited::Dispatch(message);
        return;
      }
      if (Survives(this, &TdxInplaceTextEdit::TextChanged))
        Invalidate();
      return;
    }
    case CM_ENTER:
      if (!FAutoSelect || GetAsyncKeyState(VK_LBUTTON) < 0 || Survives(this, &TdxInplaceTextEdit::SelectAll))
        inherited::Dispatch(message);
      return;
    case WM_SETFONT: WMSetFont(message); return;
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(message.LParam);
      // A hidden editor (one between cells) drops a long text with its window, made again
      // when it shows: Wine's RichEdit takes time growing with the square of a long text
      // to delete it, a new window none.
      if (HandleAllocated() && HasTextArea() && !IsWindowVisible(GetHandle()) &&
          size_t(GetWindowTextLengthA(GetHandle())) > kRichEditPieceSize)
        DestroyHandle();
      const auto setText = [&] {
        if (HandleAllocated() && HasTextArea() && text && std::strlen(text) > kRichEditPieceSize) {
          SetRichEditText(GetHandle(), text);
          message.Result = TRUE;
        } else {
          inherited::Dispatch(message);
        }
      };
      if (Survives(this, setText))  // the change's handler may free the editor
        ApplyMaxLength(FMaxLength);
      return;
    }
    case CM_COLORCHANGED:
    case CM_SYSCOLORCHANGE:
      inherited::Dispatch(message);
      ApplyBackgroundColor();
      return;
    case WM_SIZE: WMSize(message); return;
    case WM_GETDLGCODE:
      inherited::Dispatch(message);
      if (!EditClass()->IsInplace())
        message.Result &= ~LRESULT(DLGC_WANTARROWS);
      return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (!Survives(this, [&] { inherited::Dispatch(message); }))
        return;
      // A press that left the editor without the focus must not leave it the mouse.
      if (HandleAllocated() && ::GetFocus() != GetHandle() && !GetComponentState().Contains(csDesigning) &&
          !Dragging() && GetCapture() == GetHandle()) {
        if (message.Msg == WM_MBUTTONDOWN)
          PostMessageA(GetHandle(), WM_MBUTTONUP, 0, message.LParam);
        ReleaseCapture();
      }
      return;
    case WM_RBUTTONUP:
      if (Survives(this, [&] { inherited::Dispatch(message); }) && RestrictsEditing() && HandleAllocated())
        PostMessageA(GetHandle(), WM_CONTEXTMENU, WPARAM(GetHandle()), LPARAM(GetMessagePos()));
      return;
  }
  inherited::Dispatch(message);
}
