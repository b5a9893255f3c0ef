// The status dialog that ends an import: a label with the outcome, a themed check box
// asking for the report and a themed "Close" button, drawn through the dialog's own
// theme engine. The importer sets the outcome, shows the dialog modally and asks it
// afterwards whether the report should be opened: only when it was closed with OK
// (Close or Enter) while the box was ticked. Escape closes it with Cancel.
#pragma once

#include "host/ServerDialog.h"

class TLabel;
class TBevel;
class TTeThemeEngine;
class TTeThemeCheckBox;
class TTeThemeButton;

class TTranslationStatus : public TServerDialog {
  KIVO_CLASS(TTranslationStatus, TServerDialog)
 public:
  explicit TTranslationStatus(TComponent* AOwner);

  TLabel* GetLabelStatus() const { return FLabelStatus; }
  TBevel* GetBevelDesignRules() const { return FBevelDesignRules; }
  TTeThemeEngine* GetTeThemeEngine1() const { return FTeThemeEngine1; }
  TTeThemeCheckBox* GetCheckBoxViewReport() const { return FCheckBoxViewReport; }
  TTeThemeButton* GetButtonOK() const { return FButtonOK; }

  // Label and check box from the import's outcome: a failed import reads "Failed" and
  // ticks the box; a successful one with warnings gives their number and ticks it; a
  // clean one keeps the built-in text and leaves the box clear.
  void ShowOutcome(bool success, int warnings);
  // Shows the dialog modally; true when it closed with OK and the box ticked.
  bool Execute();

  void ButtonOKClick(TObject* Sender);
  // Escape closes the dialog with Cancel; shared by the form, the box and the button.
  void ButtonOKKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
  void FormActivate(TObject* Sender);

 private:
  TLabel* FLabelStatus = nullptr;
  TBevel* FBevelDesignRules = nullptr;
  TTeThemeEngine* FTeThemeEngine1 = nullptr;
  TTeThemeCheckBox* FCheckBoxViewReport = nullptr;
  TTeThemeButton* FButtonOK = nullptr;
};
