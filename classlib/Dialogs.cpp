#include "classlib/Dialogs.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "classlib/Boundary.h"
#include "classlib/ExtCtrls.h"
#include "classlib/GdiHandles.h"
#include "classlib/Icon.h"
#include "classlib/StdCtrls.h"

// ---- Message dialogs --------------------------------------------------------------------

namespace {

struct TButtonKind {
  const char* Name;
  const char* Caption;
  int ModalResult;
};

constexpr TButtonKind ButtonKinds[] = {
    {"Yes", "&Yes", mrYes},         {"No", "&No", mrNo},
    {"OK", "OK", mrOk},             {"Cancel", "Cancel", mrCancel},
    {"Abort", "&Abort", mrAbort},   {"Retry", "&Retry", mrRetry},
    {"Ignore", "&Ignore", mrIgnore}, {"All", "All", mrAll},
    {"NoToAll", "NoToAll", mrNoToAll}, {"YesToAll", "YesToAll", mrYesToAll},
    {"Help", "&Help", mrNone},
};

constexpr const char* Captions[] = {"Warning", "Error", "Information", "Confirm", nullptr};
const LPCSTR IconIds[] = {IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION, nullptr};

// The average character size of `font`: the extent of the 52 letters.
SIZE AverageCharSize(TFont* font) {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  TClientDC dc(nullptr);
  TSelectGuard selected(dc, font->GetHandle());
  SIZE size{};
  GetTextExtentPoint32A(dc, letters, 52, &size);
  return SIZE{size.cx / 52, size.cy};
}

// DrawText's flags for the message: those of a word-wrapping label, which draws it.
constexpr UINT kMessageFlags = DT_WORDBREAK | DT_EXPANDTABS;

// The width `text` takes when drawn as measured (`measured`, wrapped to lines that wide)
// in `font`: the measured width, or the columns its ink reaches where that is more.
// This system draws the message font at 120 pixels per inch at positions that run
// ahead of the advances it measures, a column by the end of a short line and a dozen by
// the end of a long one, and the label clips its text at its width; so the room is read
// from the drawing itself, made with the label's own call. Without memory for the
// drawing the measured width stands.
int DrawnTextWidth(HFONT font, const std::string& text, SIZE measured) {
  const int room = measured.cx + measured.cx / 2 + 16;  // far beyond any run-ahead
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), room, -measured.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  TBitmapHandle bitmap(measured.cy > 0 ? CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr);
  if (!bitmap || !bits)
    return measured.cx;
  auto* pixels = static_cast<uint32_t*>(bits);
  std::fill(pixels, pixels + size_t(room) * size_t(measured.cy), 0xFFFFFFu);
  TMemoryDC dc;
  TSelectGuard selectedBitmap(dc, bitmap.Get());
  TSelectGuard selectedFont(dc, font);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  RECT r{0, 0, measured.cx, measured.cy};
  DrawTextA(dc, text.c_str(), int(text.size()), &r, kMessageFlags | DT_NOCLIP);
  GdiFlush();
  int width = measured.cx;
  for (int y = 0; y < measured.cy; ++y)
    for (int x = room - 1; x >= width; --x)
      if ((pixels[size_t(y) * size_t(room) + size_t(x)] & 0xFFFFFFu) != 0xFFFFFFu) {
        width = x + 1;
        break;
      }
  return width;
}

}  // namespace

TMessageForm::TMessageForm(TComponent* AOwner) : TForm(AOwner) {}

void TMessageForm::HelpButtonClick(TObject*) { Application->HelpContext(GetHelpContext()); }

void LayoutMessageForm(TCustomForm* form, const std::string& text, TMsgDlgType dlgType,
                       TMsgDlgButtons buttons, TNotifyEvent helpClick) {
  form->SetBorderStyle(bsDialog);
  const SIZE ch = AverageCharSize(form->GetFont());
  const int hMargin = MulDiv(8, ch.cx, 4), vMargin = MulDiv(8, ch.cy, 8);
  const int hSpacing = MulDiv(10, ch.cx, 4), vSpacing = MulDiv(10, ch.cy, 8);
  const int buttonWidth = MulDiv(50, ch.cx, 4), buttonHeight = MulDiv(14, ch.cy, 8);
  const int buttonSpacing = MulDiv(4, ch.cx, 4);

  // Measured and drawn in the font the label draws with: a copy of the form's. The
  // lines break where they were measured as long as the label is no wider than the
  // width they were wrapped at; where the drawn text needs more, they are wrapped again
  // that much narrower.
  TFont drawnFont;
  drawnFont.Assign(form->GetFont());
  const int halfScreen = Screen->GetWidth() / 2;
  RECT textRect{};
  int textWidth = 0;
  for (int wrapAt = halfScreen; wrapAt > 0; wrapAt -= textWidth - wrapAt) {
    textRect = RECT{0, 0, wrapAt, 0};
    {
      TClientDC dc(nullptr);
      TSelectGuard selected(dc, drawnFont.GetHandle());
      DrawTextA(dc, text.c_str(), int(text.size()), &textRect, DT_CALCRECT | kMessageFlags);
    }
    textWidth = DrawnTextWidth(drawnFont.GetHandle(), text, SIZE{textRect.right, textRect.bottom});
    if (textWidth <= wrapAt)
      break;
  }

  // The system's icons are as large as its icon metrics, which grow with the screen's
  // density (40 pixels at 120 pixels per inch).
  const LPCSTR iconId = IconIds[dlgType];
  const int iconWidth = GetSystemMetrics(SM_CXICON), iconHeight = GetSystemMetrics(SM_CYICON);
  int blockWidth = textWidth, blockHeight = textRect.bottom;
  if (iconId) {
    blockWidth += hSpacing + iconWidth;
    blockHeight = std::max(blockHeight, iconHeight);
  }
  int buttonCount = 0;
  for (int kind = mbYes; kind <= mbHelp; ++kind)
    if (buttons.Contains(TMsgDlgBtn(kind)))
      ++buttonCount;
  const int rowWidth = buttonCount > 0 ? buttonCount * buttonWidth + (buttonCount - 1) * buttonSpacing : 0;
  form->SetClientWidth(std::max(blockWidth, rowWidth) + 2 * hMargin);
  form->SetClientHeight(blockHeight + buttonHeight + vSpacing + 2 * vMargin);

  if (iconId) {
    auto* image = new TImage(form);
    image->SetName("Image");
    image->SetParent(form);
    image->SetBounds(hMargin, vMargin, iconWidth, iconHeight);
    TIcon icon;
    icon.SetHandle(CopyIcon(LoadIconA(nullptr, iconId)));
    image->GetPicture()->SetIcon(&icon);
  }
  auto* message = new TLabel(form);
  message->SetName("Message");
  message->SetParent(form);
  message->SetWordWrap(true);
  message->SetCaption(text);
  message->SetBounds(blockWidth - textWidth + hMargin, vMargin, textWidth, textRect.bottom);

  const TMsgDlgBtn defaultButton = buttons.Contains(mbOK) ? mbOK : buttons.Contains(mbYes) ? mbYes : mbRetry;
  const TMsgDlgBtn cancelButton = buttons.Contains(mbCancel) ? mbCancel : buttons.Contains(mbNo) ? mbNo : mbOK;
  int x = (form->GetClientWidth() - rowWidth) / 2;
  for (int kind = mbYes; kind <= mbHelp; ++kind) {
    if (!buttons.Contains(TMsgDlgBtn(kind)))
      continue;
    auto* button = new TButton(form);
    button->SetName(ButtonKinds[kind].Name);
    button->SetParent(form);
    button->SetCaption(ButtonKinds[kind].Caption);
    button->SetModalResult(ButtonKinds[kind].ModalResult);
    button->SetDefault(kind == defaultButton);
    button->SetCancel(kind == cancelButton);
    button->SetBounds(x, blockHeight + vMargin + vSpacing, buttonWidth, buttonHeight);
    if (kind == mbHelp)
      button->OnClick = helpClick;
    if (kind == defaultButton)
      form->SetActiveControl(button);
    x += buttonWidth + buttonSpacing;
  }
}

TForm* CreateMessageDialog(const std::string& text, TMsgDlgType dlgType, TMsgDlgButtons buttons) {
  auto* form = new TMessageForm(Application);
  form->SetPosition(poScreenCenter);
  LayoutMessageForm(form, text, dlgType, buttons, TNotifyEvent::Bind<&TMessageForm::HelpButtonClick>(form));
  if (Captions[dlgType])
    form->SetCaption(Captions[dlgType]);
  else
    form->SetCaption(Application->GetTitle());
  return form;
}

int MessageDlg(const std::string& text, TMsgDlgType dlgType, TMsgDlgButtons buttons, int helpContext) {
  TForm* form = CreateMessageDialog(text, dlgType, buttons);
  form->SetHelpContext(helpContext);
  int result = mrNone;
  try {
    result = form->ShowModal();
  } catch (...) {
    delete form;
    throw;
  }
  delete form;
  return result;
}

// ---- Common dialogs ---------------------------------------------------------------------

TCommonDialogModalRunProcType CommonDialogModalRunProc = CommonDialogModalRunOriginal;
TCommonDialogHookProcType CommonDialogHookProc = CommonDialogHookOriginal;

BOOL CommonDialogModalRunOriginal(TCommonDialog*, TOpenFileNameFunc func, OPENFILENAMEA& ofn) {
  // The system dialog runs its own loop; the other windows of the thread wait, as they
  // do for a modal form.
  std::vector<HWND> disabled;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND wnd, LPARAM list) __attribute__((stdcall)) -> BOOL {
        return GuardBoundaryResult<BOOL>("CommonDialogModalRunOriginal", FALSE, [&]() -> BOOL {
          if (IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(wnd);
            EnableWindow(wnd, FALSE);
          }
          return TRUE;
        });
      },
      reinterpret_cast<LPARAM>(&disabled));
  const BOOL result = func(&ofn);
  for (HWND wnd : disabled)
    if (IsWindow(wnd))
      EnableWindow(wnd, TRUE);
  return result;
}

UINT_PTR CommonDialogHookOriginal(HWND wnd, UINT msg, WPARAM, LPARAM lParam) {
  if (msg != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != UINT(CDN_INITDONE))
    return 0;
  // The hook's window is a child of the dialog's frame.
  HWND frame = GetParent(wnd);
  RECT r{};
  GetWindowRect(frame, &r);
  const TRect area = Screen->GetWorkAreaRect();
  SetWindowPos(frame, nullptr, area.left + (RectWidth(area) - (r.right - r.left)) / 2,
               area.top + (RectHeight(area) - (r.bottom - r.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

UINT_PTR CALLBACK CommonDialogHook(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return GuardBoundaryResult<UINT_PTR>("CommonDialogHook", 0, [&] { return CommonDialogHookProc(wnd, msg, wParam, lParam); });
}

BOOL TCommonDialog::TaskModalDialog(TOpenFileNameFunc func, OPENFILENAMEA& ofn) {
  return CommonDialogModalRunProc(this, func, ofn);
}

HWND TOpenDialog::OwnerWindow() const {
  if (TCustomForm* form = Screen->GetActiveCustomForm(); form && form->HandleAllocated())
    return form->GetHandle();
  return Application->GetHandle();
}

bool TOpenDialog::DoExecute(TOpenFileNameFunc func) {
  // "a|b|c|d" becomes "a\0b\0c\0d\0\0".
  std::string filter = FFilter;
  std::replace(filter.begin(), filter.end(), '|', '\0');
  if (!filter.empty())
    filter.append(2, '\0');
  std::vector<char> fileName(MAX_PATH * (FOptions.Contains(ofAllowMultiSelect) ? 32 : 1), '\0');
  FFileName.copy(fileName.data(), std::min(FFileName.size(), fileName.size() - 1));
  static constexpr DWORD flags[] = {
      OFN_READONLY, OFN_OVERWRITEPROMPT, OFN_HIDEREADONLY, OFN_NOCHANGEDIR, OFN_SHOWHELP, OFN_NOVALIDATE,
      OFN_ALLOWMULTISELECT, OFN_EXTENSIONDIFFERENT, OFN_PATHMUSTEXIST, OFN_FILEMUSTEXIST, OFN_CREATEPROMPT,
      OFN_SHAREAWARE, OFN_NOREADONLYRETURN, OFN_NOTESTFILECREATE, OFN_NONETWORKBUTTON, OFN_NOLONGNAMES,
      0, OFN_NODEREFERENCELINKS, OFN_ENABLEINCLUDENOTIFY, OFN_ENABLESIZING};
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = OwnerWindow();
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = DWORD(FFilterIndex);
  ofn.lpstrFile = fileName.data();
  ofn.nMaxFile = DWORD(fileName.size());
  ofn.lpstrInitialDir = FInitialDir.empty() ? nullptr : FInitialDir.c_str();
  ofn.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
  ofn.lpstrDefExt = FDefaultExt.empty() ? nullptr : FDefaultExt.c_str();
  ofn.Flags = OFN_ENABLEHOOK | OFN_EXPLORER;
  for (int option = ofReadOnly; option <= ofEnableSizing; ++option)
    if (FOptions.Contains(TOpenOption(option)))
      ofn.Flags |= flags[option];
  ofn.lpfnHook = CommonDialogHook;
  if (!TaskModalDialog(func, ofn))
    return false;
  FFileName = fileName.data();
  FFilterIndex = int(ofn.nFilterIndex);
  return true;
}

bool TOpenDialog::Execute() { return DoExecute(GetOpenFileNameA); }

bool TSaveDialog::Execute() { return DoExecute(GetSaveFileNameA); }
