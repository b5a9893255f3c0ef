// The host-styled message box: the plug-in's own modal box, a child of the host's main
// window, written in the system's message font, with an icon by message type, the
// text (wrapped at half the screen width) and a row of standard buttons, centred on the
// monitor of the active window, skinned like the dialogs once their theming is
// installed. ShowErrorBox is the framework's one error report for the user.
#pragma once

#include <string>

#include "classlib/Dialogs.h"

class TEDAClientMessageForm : public TForm {
  KIVO_CLASS(TEDAClientMessageForm, TForm)
 public:
  // Takes the system's message font when the non-client metrics can be read.
  explicit TEDAClientMessageForm(TComponent* AOwner);

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  void HelpButtonClick(TObject* sender);
  friend TEDAClientMessageForm* BuildHostMessageForm(const std::string&, TMsgDlgType, TMsgDlgButtons);
};

// A new box (owned by the application, freed by the caller) laid out for `text`, in
// the middle of the screen.
TEDAClientMessageForm* BuildHostMessageForm(const std::string& text, TMsgDlgType dlgType,
                                            TMsgDlgButtons buttons);
// Shows a box modally at (x, y), or centred on the active window's monitor when both
// are negative, and answers its modal result.
int HostMessageDlgPosHelp(const std::string& text, const std::string& caption, TMsgDlgType dlgType,
                          TMsgDlgButtons buttons, int helpContext, int x, int y,
                          const std::string& helpFile);
// Shows `text` exactly as written ("&" stays visible) under `caption`.
int ShowHostMessageBox(const std::string& text, const std::string& caption, TMsgDlgType dlgType,
                       TMsgDlgButtons buttons);
// An error box "Vantor Suite Error" with an OK button; the system's message box with the
// same caption and text when the plug-in's own cannot be made.
void ShowErrorBox(const std::string& text);

// Unit start-up: failed commands, and every exception a boundary stops while the plug-in
// runs (the application's exception event), are reported through ShowErrorBox;
// shut-down puts the previous handlers back.
void InitializeErrorBox();
void FinalizeErrorBox();
