// The options dialog of one import: the user maps each KIVO layer of the file onto a
// host layer (or leaves it "Not Imported"), maps the pad-stack roles onto KIVO layers
// and chooses what the translation report shows. Defaults come from "LoadKIVO.ini";
// whole configurations are saved to and loaded from "*.cfg" files. The dialog owns its
// copy of the file's layer list (names and entries, not the entries themselves).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Grids.h"
#include "classlib/StdCtrls.h"
#include "classlib/StringList.h"
#include "host/ServerDialog.h"
#include "importer/EditLayer.h"
#include "importer/ImportSettings.h"
#include "importer/PadStackMapRecord.h"

class TReportManager;

// "None" 0, "Brief" 1, "Full" 3, "Detailed" 4, any other text ("Normal") 2.
uint8_t DetailLevelFromText(const std::string& text);

class TTranslateDialog : public TServerDialog {
  KIVO_CLASS(TTranslateDialog, TServerDialog)
 public:
  // `wait` is how its reads and saves of settings files wait for another host (a test's
  // step; the import's has none).
  explicit TTranslateDialog(TComponent* AOwner, TInstanceWait wait = {});
  ~TTranslateDialog() override;

  // Shows the name without its folder.
  void SetFileName(const ShortString<255>& name);
  // Fills the layer grid and the pad-stack grid from the file's layer strings (name,
  // layer entry).
  void LoadLayers(TStrings* layerList);
  // Each entry's host layer := the layer chosen in its row (rows follow the list).
  void ApplyLayerMap(TStrings* layerList);
  void ApplyReportSettings(TReportManager* report);
  void GetPadStackMap(PadStackMapRecord* record);

  // The host layer chosen for each layer-grid row.
  const std::vector<TLayer>& GetRowLayers() const { return FRowLayers; }
  // Why "LoadKIVO.ini" could not serve as the default layer map (the built-in one did
  // instead, and the user was told), empty when it could.
  const std::string& GetDefaultMapProblem() const { return FDefaultMapProblem; }

  void Dispatch(TMessage& message) override;

  // Both wait a moment for another host that has the file (RetryWhileHeldByAnotherInstance)
  // and raise EIniFileException when it still cannot be written or read. The save leaves
  // out the layer rows a settings file cannot keep (LayersASettingsFileCannotKeep) and
  // answers them; everything else is saved.
  TUnsavedLayers SaveImportSettings(const std::string& path);
  void LoadImportSettings(const std::string& path);

  // Handlers, public so that they can be driven directly.
  void FormActivate(TObject* Sender);
  void StringGridAssociationsMouseDown(TObject* Sender, TMouseButton button, TShiftState shift, int x, int y);
  void StringGridAssociationsKeyDown(TObject* Sender, WORD& key, TShiftState shift);
  void StringGridAssociationsTopLeftChanged(TObject* Sender);
  void StringGridAssociationsMoved(TObject* Sender, int fromIndex, int toIndex);
  void ComboBoxVarnokLayersChange(TObject* Sender);
  void ComboBoxKeyDown(TObject* Sender, WORD& key, TShiftState shift);
  void StringGridPadStackMouseDown(TObject* Sender, TMouseButton button, TShiftState shift, int x, int y);
  void StringGridPadStackKeyDown(TObject* Sender, WORD& key, TShiftState shift);
  void StringGridPadStackTopLeftChanged(TObject* Sender);
  void StringGridPadStackMoved(TObject* Sender, int fromIndex, int toIndex);
  // A cell's combo box stays only over the grid's current cell and only while the grid
  // or the combo box has the focus: moving to another cell or leaving both hides it.
  void StringGridSelectCell(TObject* Sender, int col, int row, bool& canSelect);
  void CellEditorExit(TObject* Sender);
  void ComboBoxPadStackChange(TObject* Sender);
  // A cell's dropped list closing: taking its entry into the row, or leaving the row as
  // it was and showing its entry in the box again.
  void ComboBoxSelEndOk(TObject* Sender);
  void ComboBoxSelEndCancel(TObject* Sender);
  void CheckBoxClick(TObject* Sender);
  void CheckBoxKeyDown(TObject* Sender, WORD& key, TShiftState shift);
  void Label1Click(TObject* Sender);
  void ButtonOKClick(TObject* Sender);
  void ButtonCancelClick(TObject* Sender);
  void ButtonResetDefaultsClick(TObject* Sender);
  void ButtonSaveDefaultsClick(TObject* Sender);
  void ButtonLoadConfigClick(TObject* Sender);
  void ButtonSaveConfigClick(TObject* Sender);

  TPageControl* PageControl1;
  TButton* ButtonOK;
  TButton* ButtonCancel;
  TTabSheet* TabSheet1;
  TLabel* Label1FileName;
  TStringGrid* StringGridAssociations;
  TEditLayer* ComboBoxVarnokLayers;
  TLabel* Label1;
  TBevel* BevelOptions;
  TLabel* LabelPadStack;
  TLabel* Label3;
  TBevel* Bevel3;
  TCheckBox* CheckBoxViewErrors;
  TCheckBox* CheckBoxViewWarnings;
  TCheckBox* CheckBoxViewEvents;
  TLabel* Label5;
  TComboBox* ComboBoxDetailLevel;
  TPanel* Panel1;
  TButton* ButtonResetDefaults;
  TButton* ButtonSaveDefaults;
  TLabel* Label4;
  TBevel* Bevel1;
  TRichEdit* RichEdit1;
  TLabel* LabelStatus;
  TStringGrid* StringGridPadStack;
  TComboBox* ComboBoxPadStack;
  TButton* ButtonSaveConfig;
  TButton* ButtonLoadConfig;

 private:
  void BuildControls();
  // `layerList` null: refill from the dialog's own list with the defaults read again.
  void FillLayerGrid(TStrings* layerList);
  void FillPadStackGrid(TStrings* layerList);
  void UpdateMappingStatus();
  // Shows `combo` over column 2 of `row` of `grid`.
  void ShowComboOverCell(TStringGrid* grid, TComboBox* combo, int row);
  // A press at (x, y) in column 2 shows `combo` over that cell and sets `editRow`;
  // elsewhere it hides `combo`. True when shown.
  bool ShowComboAtPoint(TStringGrid* grid, TComboBox* combo, int x, int y, int& editRow);
  // The combo box of the grid or combo box `control`.
  TComboBox* CellComboOf(TObject* control);
  // The grid and combo box of `control` (either of them).
  void CellEditorOf(TObject* control, TStringGrid*& grid, TComboBox*& combo, int*& editRow);
  void SelectLayerEntry(const std::string& cellText);
  void SelectPadStackEntry(const std::string& cellText);
  // The entry selected in `combo` becomes its row's.
  void TakeComboEntry(TComboBox* combo);
  // `combo` selects its row's entry again.
  void SelectRowEntry(TComboBox* combo);
  // Both boxes, after their rows changed under them.
  void SelectRowEntries();
  // The current row of `grid` becomes its box's, the box selecting the row's entry.
  void EditCurrentRow(TStringGrid* grid);
  // F4, Alt+Down and Space open the combo; Enter and Esc end the dialog. True when handled.
  bool GridKey(TStringGrid* grid, TComboBox* combo, WORD key, TShiftState shift);
  // A character typed on a focused grid's row, Alt up (CM_DIALOGCHAR): the row's box steps
  // to the next entry that begins with it, and the row takes it. True when it was a grid's.
  bool GridTakesChar(TMessage& message);
  // The wheel over a grid while it or its cell's combo box has the focus: the grid takes
  // the focus back and the wheel. True when it did.
  bool GridTakesWheel(TMessage& message);
  void ChooseAndRun(int mode);
  // One attempt of SaveImportSettings, leaving out the layer rows marked in `skippedRows`.
  void SaveImportSettingsOnce(const std::string& path, const std::vector<bool>& skippedRows);
  // Each layer-grid row's name and host layer.
  TLayerMap RowMap() const;

  TInstanceWait FWait;
  TLayerMap FDefaultMap;
  std::string FDefaultMapProblem;
  std::unique_ptr<TStringList> FLayerList;
  // One entry per layer-grid row; grows with the file's layer list.
  std::vector<TLayer> FRowLayers;
  std::string FFileName;
  bool FActivated = false;
  // The rows the combo boxes edit.
  int FLayerEditRow = 0;
  int FPadStackEditRow = 0;
};
