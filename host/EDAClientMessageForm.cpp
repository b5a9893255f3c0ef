#include "host/EDAClientMessageForm.h"

#include <cstddef>
#include <memory>

#include "host/ClientApi.h"
#include "host/CommandLauncher.h"
#include "host/ServerDialog.h"

namespace {

TCommandErrorHandler gPreviousErrorHandler = nullptr;
TExceptionEvent gPreviousOnException;

// What a boundary stops while the host runs goes to the host's own box, a child of its
// main window, not to a task-modal system box the host knows nothing of.
void ShowBoundaryError(void*, TObject*, const std::exception& error) { ShowErrorBox(error.what()); }

}  // namespace

TEDAClientMessageForm::TEDAClientMessageForm(TComponent* AOwner) : TForm(AOwner) {
  // The metrics record as it was before the padded-border field (340 bytes), which
  // every system version accepts.
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
    GetFont()->SetHandle(CreateFontIndirectA(&metrics.lfMessageFont));
}

void TEDAClientMessageForm::CreateParams(TCreateParams& params) {
  inherited::CreateParams(params);
  params.WndParent = HostMainWindow();
}

void TEDAClientMessageForm::HelpButtonClick(TObject*) { Application->HelpContext(GetHelpContext()); }

TEDAClientMessageForm* BuildHostMessageForm(const std::string& text, TMsgDlgType dlgType,
                                            TMsgDlgButtons buttons) {
  auto* form = new TEDAClientMessageForm(Application);
  LayoutMessageForm(form, text, dlgType, buttons,
                    TNotifyEvent::Bind<&TEDAClientMessageForm::HelpButtonClick>(form));
  // Skinned like the dialogs, keeping the client size the layout made.
  if (DialogThemeHooks.ThemeMessageForm)
    DialogThemeHooks.ThemeMessageForm(form);
  // Placed by its bounds (not by Position), so the caller's placement stands.
  form->SetBounds((Screen->GetWidth() - form->GetWidth()) / 2, (Screen->GetHeight() - form->GetHeight()) / 2,
                  form->GetWidth(), form->GetHeight());
  return form;
}

int HostMessageDlgPosHelp(const std::string& text, const std::string& caption, TMsgDlgType dlgType,
                          TMsgDlgButtons buttons, int helpContext, int x, int y,
                          const std::string& helpFile) {
  std::unique_ptr<TEDAClientMessageForm> form(BuildHostMessageForm(text, dlgType, buttons));
  form->SetHelpContext(helpContext);
  form->SetHelpFile(helpFile);
  if (x >= 0)
    form->SetLeft(x);
  if (y >= 0)
    form->SetTop(y);
  if (x < 0 && y < 0)
    CenterOnActiveMonitor(form.get());
  form->SetCaption(caption);
  return form->ShowModal();
}

int ShowHostMessageBox(const std::string& text, const std::string& caption, TMsgDlgType dlgType,
                       TMsgDlgButtons buttons) {
  std::string shown;
  shown.reserve(text.size());
  for (char c : text) {
    shown += c;
    if (c == '&')
      shown += '&';
  }
  return HostMessageDlgPosHelp(shown, caption, dlgType, buttons, -1, -1, -1, "");
}

void ShowErrorBox(const std::string& text) {
  constexpr char kCaption[] = "Vantor Suite Error";
  // A box that cannot be built (the process's memory used up) would leave the failure
  // it tells untold, as every boundary above reports through this box: the system's
  // own box, which asks for far less, says the same.
  try {
    ShowHostMessageBox(text, kCaption, mtError, {mbOK});
  } catch (...) {
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
  }
}

void InitializeErrorBox() {
  gPreviousErrorHandler = SetCommandErrorHandler(ShowErrorBox);
  if (Application) {
    gPreviousOnException = Application->OnException;
    Application->OnException = TExceptionEvent::FromFunction(&ShowBoundaryError);
  }
}

void FinalizeErrorBox() {
  SetCommandErrorHandler(gPreviousErrorHandler);
  if (Application && Application->OnException == TExceptionEvent::FromFunction(&ShowBoundaryError))
    Application->OnException = gPreviousOnException;
  gPreviousOnException = nullptr;
}
