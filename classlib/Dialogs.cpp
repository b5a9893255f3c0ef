#include "classlib/Dialogs.h"

#include <algorithm>
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

  RECT textRect{0, 0, Screen->GetWidth() / 2, 0};
  {
    TClientDC dc(nullptr);
    TSelectGuard selected(dc, form->GetFont()->GetHandle());
    DrawTextA(dc, text.c_str(), int(text.size()), &textRect, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  }

  const LPCSTR iconId = IconIds[dlgType];
  int blockWidth = textRect.right, blockHeight = textRect.bottom;
  if (iconId) {
    blockWidth += hSpacing + 32;
    blockHeight = std::max(blockHeight, 32);
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
    image->SetBounds(hMargin, vMargin, 32, 32);
    TIcon icon;
    icon.SetHandle(CopyIcon(LoadIconA(nullptr, iconId)));
    image->GetPicture()->SetIcon(&icon);
  }
  auto* message = new TLabel(form);
  message->SetName("Message");
  message->SetParent(form);
  message->SetWordWrap(true);
  message->SetCaption(text);
  message->SetBounds(blockWidth - textRect.right + hMargin, vMargin, textRect.right, textRect.bottom);

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
