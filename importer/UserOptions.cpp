// Readings of the dialog's rules: the row table grows with the file's layer list (a
// fixed table would be written past by files with many layer strings); the detail level
// is set to "Normal" at the first activation only, so that returning from the
// configuration file dialog keeps a level just loaded from a file. The saves leave
// out the layers a settings file cannot keep (a name that is no key, or an earlier row's
// name with another layer), tell them, and keep the rest: written, they read back as
// something else, and a "[" first took every layer after it. How the grids' cells are
// edited is in UserOptionsCells.cpp.
#include "importer/UserOptions.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "classlib/FileUtils.h"
#include "classlib/IniFiles.h"
#include "classlib/Strings.h"
#include "classlib/UpdateScope.h"
#include "host/EDAClientMessageForm.h"
#include "host/Utilities.h"
#include "importer/KivoObject.h"
#include "importer/ReportManager.h"

namespace {

// `what` "X" because of the failure, in the host-styled error box.
void ShowSettingsFileError(const char* what, const std::string& path, const EIniFileException& error) {
  ShowErrorBox(std::string(what) + " \"" + path + "\" because " + SettingsFileFailureReason(path, error.GetErrorCode()) + ".");
}

// A layer name in quotes, its control characters written as "\xNN" so that the user sees them.
std::string QuotedLayerName(const std::string& name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string quoted = "\"";
  for (const unsigned char c : name) {
    if (c >= 0x20 && c != 0x7F) {
      quoted += static_cast<char>(c);
      continue;
    }
    const char escaped[4] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
    quoted.append(escaped, sizeof escaped);
  }
  return quoted + "\"";
}

// Tells which layers' mappings the save to `where` left out, and why: the rest was saved,
// and the dialog keeps their mappings for this import.
void TellUnsavedLayers(const TUnsavedLayers& unsaved, const std::string& where) {
  if (unsaved.empty())
    return;
  if (unsaved.size() == 1) {
    ShowErrorBox("Could not save the mapping of the layer " + QuotedLayerName(unsaved[0].Name) + " to " + where +
                 " because " + unsaved[0].Reason + ". Everything else was saved; the layer keeps its mapping in "
                 "this dialog.");
    return;
  }
  constexpr size_t kNamed = 10;  // a box, not a list of a board's every layer
  std::string text = "Could not save the mappings of " + std::to_string(unsaved.size()) + " layers to " + where +
                     " because a settings file cannot keep them:";
  for (size_t i = 0; i < std::min(unsaved.size(), kNamed); ++i)
    text += "\r\n" + QuotedLayerName(unsaved[i].Name) + ": " + unsaved[i].Reason + ";";
  if (unsaved.size() > kNamed)
    text += "\r\nand " + std::to_string(unsaved.size() - kNamed) + " more.";
  else
    text.back() = '.';
  ShowErrorBox(text + "\r\nEverything else was saved; these layers keep their mappings in this dialog.");
}

const char* const cPadStackLabels[] = {"Top Layer",     "Internal Layer",     "Bottom Layer",
                                       "Hole Size",     "SMD Top Layer",      "SMD Bottom Layer",
                                       "Top Solder Mask", "Bottom Solder Mask", "Top Paste Mask",
                                       "Bottom Paste Mask"};
const char* const cPadStackDefaults[] = {"PADCOM", "PADINT", "PADSLD", "DRILL",  "PINTOP",
                                         "PINBOT", "PADBOT", "FLSMSK", "PSTGTP", "PSTGBT"};
constexpr int cPadStackRows = 16;
constexpr int cOfferedLayers = 75;  // host layers 0 to 74

template <class T>
T* Place(TComponent* owner, TWinControl* parent, const char* name, int left, int top, int width,
         int height) {
  auto* control = new T(owner);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

TLabel* PlaceLabel(TComponent* owner, TWinControl* parent, const char* name, int left, int top,
                   const char* caption) {
  auto* label = new TLabel(owner);
  label->SetName(name);
  label->SetParent(parent);
  label->SetLeft(left);
  label->SetTop(top);
  label->SetCaption(caption);
  return label;
}

TBevel* PlaceLine(TComponent* owner, TWinControl* parent, const char* name, int left, int top, int width) {
  auto* bevel = Place<TBevel>(owner, parent, name, left, top, width, 2);
  bevel->SetShape(bsTopLine);
  return bevel;
}

void SetUpGrid(TStringGrid* grid) {
  grid->SetColCount(3);
  grid->SetFixedCols(0);
  grid->SetFixedRows(0);
  grid->SetDefaultRowHeight(18);
  grid->SetOptions({goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goTabs});
  grid->SetScrollBars(ssVertical);
}

}  // namespace

uint8_t DetailLevelFromText(const std::string& text) {
  if (text == "None")
    return 0;
  if (text == "Brief")
    return 1;
  if (text == "Full")
    return 3;
  if (text == "Detailed")
    return 4;
  return 2;
}

// The layer list is owned from the start: it goes with the dialog when building the
// controls raises.
TTranslateDialog::TTranslateDialog(TComponent* AOwner, TInstanceWait wait)
    : TServerDialog(AOwner), FWait(std::move(wait)), FLayerList(std::make_unique<TStringList>()) {
  TLoadingScope loading(this);
  BuildControls();
}

TTranslateDialog::~TTranslateDialog() = default;

void TTranslateDialog::BuildControls() {
  SetName("TranslateDialog");
  SetCaption("KIVO Importer");
  SetBorderStyle(bsDialog);
  SetBorderIcons({biSystemMenu});
  SetPosition(poScreenCenter);
  GetFont()->SetName("MS Sans Serif");
  SetClientWidth(590);
  SetClientHeight(451);
  OnActivate = TNotifyEvent::Bind<&TTranslateDialog::FormActivate>(this);

  PageControl1 = Place<TPageControl>(this, this, "PageControl1", 8, 8, 572, 397);
  TabSheet1 = new TTabSheet(this);
  TabSheet1->SetName("TabSheet1");
  TabSheet1->SetCaption("Options");
  TabSheet1->SetPageControl(PageControl1);
  TWinControl* sheet = TabSheet1;

  Label4 = PlaceLabel(this, sheet, "Label4", 13, 5, "KIVO file name :");
  Label1FileName = PlaceLabel(this, sheet, "Label1FileName", 137, 5, "*.pdf");
  RichEdit1 = Place<TRichEdit>(this, sheet, "RichEdit1", 13, 21, 545, 44);
  RichEdit1->SetBorderStyle(bsNone);
  RichEdit1->SetReadOnly(true);
  RichEdit1->SetColor(clBtnFace);
  RichEdit1->SetText(
      "Use the Layer Mapping options to associate KIVO layers to Varnok layers. KIVO Layers Set "
      "to Not Imported will not be imported. Use the Report Settings to choose what the "
      "translation report shows, and the Pad Stack Mapping to choose the KIVO layers that "
      "define the pads.");
  RichEdit1->SetEnabled(false);

  Label1 = PlaceLabel(this, sheet, "Label1", 13, 73, "Layer &Mapping");
  Label1->OnClick = TNotifyEvent::Bind<&TTranslateDialog::Label1Click>(this);
  // Its accelerator (Alt+M) takes the focus to the grid, as a click does.
  Bevel1 = PlaceLine(this, sheet, "Bevel1", 9, 88, 280);
  StringGridAssociations = Place<TStringGrid>(this, sheet, "StringGridAssociations", 12, 98, 270, 215);
  SetUpGrid(StringGridAssociations);
  StringGridAssociations->SetRowCount(1);
  Label1->SetFocusControl(StringGridAssociations);
  StringGridAssociations->OnMouseDown =
      TMouseEvent::Bind<&TTranslateDialog::StringGridAssociationsMouseDown>(this);
  StringGridAssociations->OnKeyDown = TKeyEvent::Bind<&TTranslateDialog::StringGridAssociationsKeyDown>(this);
  StringGridAssociations->OnTopLeftChanged =
      TNotifyEvent::Bind<&TTranslateDialog::StringGridAssociationsTopLeftChanged>(this);
  StringGridAssociations->OnRowMoved = TMovedEvent::Bind<&TTranslateDialog::StringGridAssociationsMoved>(this);
  StringGridAssociations->OnColumnMoved = TMovedEvent::Bind<&TTranslateDialog::StringGridAssociationsMoved>(this);
  StringGridAssociations->OnSelectCell = TSelectCellEvent::Bind<&TTranslateDialog::StringGridSelectCell>(this);
  StringGridAssociations->OnExit = TNotifyEvent::Bind<&TTranslateDialog::CellEditorExit>(this);

  ComboBoxVarnokLayers = Place<TEditLayer>(this, sheet, "ComboBoxVarnokLayers", 125, 187, 129, 21);
  ComboBoxVarnokLayers->SetStyle(csDropDownList);
  ComboBoxVarnokLayers->SetState(eIgnoreLayer);
  ComboBoxVarnokLayers->SetVisible(false);
  ComboBoxVarnokLayers->SetTabStop(false);
  ComboBoxVarnokLayers->OnChange = TNotifyEvent::Bind<&TTranslateDialog::ComboBoxVarnokLayersChange>(this);
  ComboBoxVarnokLayers->OnSelEndOk = TNotifyEvent::Bind<&TTranslateDialog::ComboBoxSelEndOk>(this);
  ComboBoxVarnokLayers->OnSelEndCancel = TNotifyEvent::Bind<&TTranslateDialog::ComboBoxSelEndCancel>(this);
  ComboBoxVarnokLayers->OnKeyDown = TKeyEvent::Bind<&TTranslateDialog::ComboBoxKeyDown>(this);
  ComboBoxVarnokLayers->OnExit = TNotifyEvent::Bind<&TTranslateDialog::CellEditorExit>(this);

  Label3 = PlaceLabel(this, sheet, "Label3", 305, 73, "Report Settings");
  Bevel3 = PlaceLine(this, sheet, "Bevel3", 305, 88, 243);
  const char* names[] = {"CheckBoxViewErrors", "CheckBoxViewWarnings", "CheckBoxViewEvents"};
  const char* captions[] = {"View &Errors", "View &Warnings", "View E&vents"};
  TCheckBox** boxes[] = {&CheckBoxViewErrors, &CheckBoxViewWarnings, &CheckBoxViewEvents};
  for (int i = 0; i < 3; ++i) {
    TCheckBox* box = Place<TCheckBox>(this, sheet, names[i], 308, 98 + 24 * i, 97, 17);
    box->SetCaption(captions[i]);
    box->SetChecked(i < 2);
    box->OnClick = TNotifyEvent::Bind<&TTranslateDialog::CheckBoxClick>(this);
    box->OnKeyDown = TKeyEvent::Bind<&TTranslateDialog::CheckBoxKeyDown>(this);
    *boxes[i] = box;
  }
  Label5 = PlaceLabel(this, sheet, "Label5", 415, 98, "&Detail Level");
  ComboBoxDetailLevel = Place<TComboBox>(this, sheet, "ComboBoxDetailLevel", 416, 118, 89, 21);
  ComboBoxDetailLevel->SetStyle(csDropDownList);
  for (const char* level : {"Brief", "Normal", "Full", "Detailed"})
    ComboBoxDetailLevel->GetItems()->Add(level);
  Label5->SetFocusControl(ComboBoxDetailLevel);

  LabelPadStack = PlaceLabel(this, sheet, "LabelPadStack", 305, 181, "&Pad Stack Mapping");
  BevelOptions = PlaceLine(this, sheet, "BevelOptions", 305, 196, 243);
  StringGridPadStack = Place<TStringGrid>(this, sheet, "StringGridPadStack", 304, 202, 246, 110);
  SetUpGrid(StringGridPadStack);
  StringGridPadStack->SetRowCount(cPadStackRows);
  LabelPadStack->SetFocusControl(StringGridPadStack);
  StringGridPadStack->OnMouseDown = TMouseEvent::Bind<&TTranslateDialog::StringGridPadStackMouseDown>(this);
  StringGridPadStack->OnKeyDown = TKeyEvent::Bind<&TTranslateDialog::StringGridPadStackKeyDown>(this);
  StringGridPadStack->OnTopLeftChanged =
      TNotifyEvent::Bind<&TTranslateDialog::StringGridPadStackTopLeftChanged>(this);
  StringGridPadStack->OnRowMoved = TMovedEvent::Bind<&TTranslateDialog::StringGridPadStackMoved>(this);
  StringGridPadStack->OnColumnMoved = TMovedEvent::Bind<&TTranslateDialog::StringGridPadStackMoved>(this);
  StringGridPadStack->OnSelectCell = TSelectCellEvent::Bind<&TTranslateDialog::StringGridSelectCell>(this);
  StringGridPadStack->OnExit = TNotifyEvent::Bind<&TTranslateDialog::CellEditorExit>(this);
  ComboBoxPadStack = Place<TComboBox>(this, sheet, "ComboBoxPadStack", 392, 256, 108, 21);
  ComboBoxPadStack->SetVisible(false);
  ComboBoxPadStack->SetTabStop(false);
  ComboBoxPadStack->OnChange = TNotifyEvent::Bind<&TTranslateDialog::ComboBoxPadStackChange>(this);
  ComboBoxPadStack->OnSelEndOk = TNotifyEvent::Bind<&TTranslateDialog::ComboBoxSelEndOk>(this);
  ComboBoxPadStack->OnSelEndCancel = TNotifyEvent::Bind<&TTranslateDialog::ComboBoxSelEndCancel>(this);
  ComboBoxPadStack->OnKeyDown = TKeyEvent::Bind<&TTranslateDialog::ComboBoxKeyDown>(this);
  ComboBoxPadStack->OnExit = TNotifyEvent::Bind<&TTranslateDialog::CellEditorExit>(this);

  Panel1 = Place<TPanel>(this, sheet, "Panel1", 12, 316, 538, 43);
  Panel1->SetBevelOuter(bvLowered);
  Panel1->SetCaption("");
  PlaceLabel(this, Panel1, "LabelStatusCaption", 6, 3, "Status: ");
  LabelStatus = PlaceLabel(this, Panel1, "LabelStatus", 46, 3, "Current Status of Layer Mapping");
  auto panelButton = [&](const char* name, int left, const char* caption, auto handler) {
    TButton* button = Place<TButton>(this, Panel1, name, left, 20, 134, 22);
    button->SetCaption(caption);
    button->OnClick = handler;
    return button;
  };
  ButtonResetDefaults = panelButton("ButtonResetDefaults", 1, "&Reset To Defaults",
                                    TNotifyEvent::Bind<&TTranslateDialog::ButtonResetDefaultsClick>(this));
  ButtonSaveDefaults = panelButton("ButtonSaveDefaults", 135, "Save &As Defaults",
                                   TNotifyEvent::Bind<&TTranslateDialog::ButtonSaveDefaultsClick>(this));
  ButtonLoadConfig = panelButton("ButtonLoadConfig", 269, "&Load Configuration",
                                 TNotifyEvent::Bind<&TTranslateDialog::ButtonLoadConfigClick>(this));
  ButtonSaveConfig = panelButton("ButtonSaveConfig", 403, "&Save Configuration",
                                 TNotifyEvent::Bind<&TTranslateDialog::ButtonSaveConfigClick>(this));

  ButtonOK = Place<TButton>(this, this, "ButtonOK", 425, 414, 75, 24);
  ButtonOK->SetCaption("&OK");
  // Enter ends the dialog with OK wherever the focus is, as the grid and the check
  // boxes do it themselves; the frame shows it.
  ButtonOK->SetDefault(true);
  ButtonOK->OnClick = TNotifyEvent::Bind<&TTranslateDialog::ButtonOKClick>(this);
  ButtonCancel = Place<TButton>(this, this, "ButtonCancel", 505, 414, 75, 24);
  ButtonCancel->SetCaption("&Cancel");
  ButtonCancel->SetCancel(true);
  ButtonCancel->SetModalResult(mrCancel);
  ButtonCancel->OnClick = TNotifyEvent::Bind<&TTranslateDialog::ButtonCancelClick>(this);
}

void TTranslateDialog::SetFileName(const ShortString<255>& name) {
  FFileName = ExtractFileName(name.View());
  Label1FileName->SetCaption(FFileName);
}

void TTranslateDialog::LoadLayers(TStrings* layerList) {
  FillLayerGrid(layerList);
  FillPadStackGrid(layerList);
}

void TTranslateDialog::FillLayerGrid(TStrings* layerList) {
  FDefaultMap = LoadDefaultLayerMap(&FDefaultMapProblem, FWait);
  if (!FDefaultMapProblem.empty())
    ShowErrorBox("Could not read the default layer map from the settings file \"" +
                 ImportSettingsFileName().Str() + "\" because " + FDefaultMapProblem +
                 ". The built-in layer map is used instead.");
  if (layerList)
    for (int i = 0; i < layerList->GetCount(); ++i)
      FLayerList->AddObject(layerList->Get(i), layerList->GetObject(i));
  const int count = FLayerList->GetCount();
  StringGridAssociations->SetRowCount(count);
  StringGridAssociations->SetColWidths(0, ScaleFromDesign(103));
  StringGridAssociations->SetColWidths(1, ScaleFromDesign(20));
  StringGridAssociations->SetColWidths(2, ScaleFromDesign(125));
  FRowLayers.assign(count, eIgnoreLayer);
  for (int row = 0; row < count; ++row) {
    const std::string name = FLayerList->Get(row);
    FRowLayers[row] = FindMappedLayer(FDefaultMap, name);
    StringGridAssociations->SetCells(0, row, name);
    StringGridAssociations->SetCells(1, row, "=>");
    StringGridAssociations->SetCells(2, row, MappedLayerText(FRowLayers[row]));
  }
  TStrings* items = ComboBoxVarnokLayers->GetItems();
  {
    const TUpdateScope update(items);
    items->Clear();
    for (int layer = 0; layer < cOfferedLayers; ++layer)
      items->AddObject(MappedLayerText(TLayer(layer)), reinterpret_cast<TObject*>(uintptr_t(layer)));
  }
  // The list refilled lost its selection: a box shown over a row (Reset To Defaults)
  // showed no entry.
  SelectRowEntry(ComboBoxVarnokLayers);
  UpdateMappingStatus();
}

void TTranslateDialog::FillPadStackGrid(TStrings* layerList) {
  TStrings* items = ComboBoxPadStack->GetItems();
  items->Clear();
  items->Add("Not Used");
  if (layerList)
    for (int i = 0; i < layerList->GetCount(); ++i)
      items->Add(layerList->Get(i));
  ComboBoxPadStack->SetVisible(false);
  StringGridPadStack->SetRowCount(cPadStackRows);
  StringGridPadStack->SetColWidths(0, ScaleFromDesign(100));
  StringGridPadStack->SetColWidths(1, ScaleFromDesign(20));
  StringGridPadStack->SetColWidths(2, ScaleFromDesign(104));
  for (int row = 0; row < 10; ++row) {
    std::string value = "Not Used";
    if (layerList)
      for (int i = 0; i < layerList->GetCount(); ++i)
        if (SameText(layerList->Get(i), cPadStackDefaults[row]))
          value = cPadStackDefaults[row];
    StringGridPadStack->SetCells(0, row, cPadStackLabels[row]);
    StringGridPadStack->SetCells(1, row, "=>");
    StringGridPadStack->SetCells(2, row, value);
  }
}

void TTranslateDialog::UpdateMappingStatus() {
  int unmapped = 0;
  for (int row = 0; row < StringGridAssociations->GetRowCount(); ++row)
    if (StringGridAssociations->GetCells(2, row) == "Not Imported")
      ++unmapped;
  LabelStatus->SetCaption(unmapped == 0 ? std::string("All layers mapped.")
                                        : std::to_string(unmapped) + " layers not mapped.");
}

void TTranslateDialog::CheckBoxClick(TObject*) {
  ComboBoxDetailLevel->SetEnabled(CheckBoxViewErrors->GetChecked() || CheckBoxViewWarnings->GetChecked() ||
                                  CheckBoxViewEvents->GetChecked());
}

void TTranslateDialog::Label1Click(TObject*) {
  if (StringGridAssociations->CanFocus())
    StringGridAssociations->SetFocus();
}

void TTranslateDialog::FormActivate(TObject*) {
  if (!FActivated) {
    FActivated = true;
    ComboBoxDetailLevel->SetItemIndex(ComboBoxDetailLevel->GetItems()->IndexOf("Normal"));
  }
  if (ButtonOK->CanFocus())
    ButtonOK->SetFocus();
}

void TTranslateDialog::ButtonOKClick(TObject*) { SetModalResult(mrOk); }

void TTranslateDialog::ButtonCancelClick(TObject*) {
  if (ComboBoxVarnokLayers->GetVisible()) {
    ComboBoxVarnokLayers->SetVisible(false);
    if (StringGridAssociations->CanFocus())
      StringGridAssociations->SetFocus();
  }
  SetModalResult(mrCancel);
}

void TTranslateDialog::ButtonResetDefaultsClick(TObject*) { FillLayerGrid(nullptr); }

TLayerMap TTranslateDialog::RowMap() const {
  TLayerMap rows;
  for (int row = 0; row < int(FRowLayers.size()); ++row)
    rows.push_back({StringGridAssociations->GetCells(0, row), FRowLayers[row]});
  return rows;
}

void TTranslateDialog::ButtonSaveDefaultsClick(TObject*) {
  const std::string path = ImportSettingsFileName().Str();
  try {
    TellUnsavedLayers(SaveDefaultLayerMap(RowMap(), FWait), "the default layer map in \"" + path + "\"");
  } catch (const EIniFileException& error) {
    ShowSettingsFileError("Could not save the default layer map to", path, error);
  }
}

void TTranslateDialog::ChooseAndRun(int mode) {
  std::string path;
  if (!ChooseConfigurationFile(mode, FFileName, path))
    return;
  // A file that cannot be read or written is told in plain words; this dialog stays
  // open and usable, and a failed load has changed nothing in it.
  try {
    if (mode == 0)
      LoadImportSettings(path);
    else
      TellUnsavedLayers(SaveImportSettings(path), "the configuration file \"" + path + "\"");
  } catch (const EIniFileException& error) {
    ShowSettingsFileError(mode == 0 ? "Could not read the configuration file"
                                    : "Could not save the configuration file",
                          path, error);
  }
}

void TTranslateDialog::ButtonLoadConfigClick(TObject*) { ChooseAndRun(0); }

void TTranslateDialog::ButtonSaveConfigClick(TObject*) { ChooseAndRun(1); }

TUnsavedLayers TTranslateDialog::SaveImportSettings(const std::string& path) {
  // The rows a file cannot keep are left out, so that all the rest is saved.
  const TUnsavedLayers unsaved = LayersASettingsFileCannotKeep(RowMap());
  std::vector<bool> skipped(FRowLayers.size());
  for (const TUnsavedLayer& layer : unsaved)
    skipped[layer.Row] = true;
  // Another host saving or reading the same configuration holds it for a moment.
  RetryWhileHeldByAnotherInstance<EIniFileException>([&] { SaveImportSettingsOnce(path, skipped); },
                                                     FWait);
  return unsaved;
}

void TTranslateDialog::SaveImportSettingsOnce(const std::string& path, const std::vector<bool>& skippedRows) {
  // Kept in memory and written once: a write per key would rewrite the whole file as
  // often as it has keys. What is kept of an earlier file is read within the limit.
  TMemIniFile ini(path, MaxSettingsFileBytes);
  for (int row = 0; row < int(FRowLayers.size()); ++row)
    if (!skippedRows[row])
      ini.WriteString("Layer", StringGridAssociations->GetCells(0, row), MappedLayerText(FRowLayers[row]));
  ini.WriteString("Report", "ReportViewErrors", CheckBoxViewErrors->GetChecked() ? "True" : "False");
  ini.WriteString("Report", "ReportViewWarnings", CheckBoxViewWarnings->GetChecked() ? "True" : "False");
  ini.WriteString("Report", "ReportViewEvents", CheckBoxViewEvents->GetChecked() ? "True" : "False");
  const int level = ComboBoxDetailLevel->GetItemIndex();
  ini.WriteString("Report", "ReportDetailLevel", level >= 0 ? ComboBoxDetailLevel->GetItems()->Get(level) : "");
  // The rows without a label (10 to 15) are not written: a key needs a name, and no read
  // would find theirs. The lines "=" of configurations saved before are kept as they are.
  for (int row = 0; row < StringGridPadStack->GetRowCount(); ++row)
    if (const std::string label = StringGridPadStack->GetCells(0, row); !Trim(label).empty())
      ini.WriteString("PadStack", label, StringGridPadStack->GetCells(2, row));
  ini.UpdateFile();
}

void TTranslateDialog::LoadImportSettings(const std::string& path) {
  // Read whole at once, and not at all beyond the limit of a settings file; nothing
  // changes before it is read. Another host saving it holds it for a moment.
  const auto held = RetryWhileHeldByAnotherInstance<EIniFileException>(
      [&] { return std::make_unique<TMemIniFile>(path, MaxSettingsFileBytes); }, FWait);
  TMemIniFile& ini = *held;
  // The rows of each KIVO layer name, so that a file of many keys is matched in one pass.
  std::unordered_map<std::string, std::vector<int>> rowsOfName;
  for (int row = 0; row < int(FRowLayers.size()); ++row)
    rowsOfName[UpperCase(StringGridAssociations->GetCells(0, row))].push_back(row);
  for (const std::string& key : ini.ReadSectionKeys("Layer")) {
    auto rows = rowsOfName.find(UpperCase(key));
    if (rows == rowsOfName.end())
      continue;
    const TLayer layer = TLayer(StringToLayer(ini.ReadString("Layer", key, "Not Imported")));
    for (int row : rows->second) {
      FRowLayers[row] = layer;
      StringGridAssociations->SetCells(2, row, MappedLayerText(layer));
    }
  }
  for (const std::string& key : ini.ReadSectionKeys("Report")) {
    TCheckBox* box = key == "ReportViewErrors"     ? CheckBoxViewErrors
                     : key == "ReportViewWarnings" ? CheckBoxViewWarnings
                     : key == "ReportViewEvents"   ? CheckBoxViewEvents
                                                   : nullptr;
    if (box) {
      box->SetChecked(ini.ReadString("Report", key, "False") == "True");
      continue;
    }
    if (key != "ReportDetailLevel")
      continue;
    const int index = ComboBoxDetailLevel->GetItems()->IndexOf(ini.ReadString("Report", key, "Normal"));
    if (index >= 0)
      ComboBoxDetailLevel->SetItemIndex(index);
  }
  for (const std::string& key : ini.ReadSectionKeys("PadStack")) {
    const std::string value = ini.ReadString("PadStack", key, "Not Used");
    for (int row = 0; row < StringGridPadStack->GetRowCount(); ++row)
      if (SameText(StringGridPadStack->GetCells(0, row), key))
        StringGridPadStack->SetCells(2, row, value);
  }
  // What the rows hold now shows in the status and in a box shown over a row.
  UpdateMappingStatus();
  SelectRowEntries();
}

void TTranslateDialog::ApplyLayerMap(TStrings* layerList) {
  if (!layerList)
    return;
  const int count = std::min(layerList->GetCount(), int(FRowLayers.size()));
  for (int i = 0; i < count; ++i)
    if (auto* entry = dynamic_cast<KivoLayerEntry*>(layerList->GetObject(i)))
      entry->SetHostLayer(FRowLayers[i]);
}

void TTranslateDialog::ApplyReportSettings(TReportManager* report) {
  if (!report)
    return;
  const int index = ComboBoxDetailLevel->GetItemIndex();
  const uint8_t level = DetailLevelFromText(index >= 0 ? ComboBoxDetailLevel->GetItems()->Get(index) : "");
  if (CheckBoxViewErrors->GetChecked()) {
    report->SetLoadErrorLevel(level);
    report->SetImportErrorLevel(level);
  }
  if (CheckBoxViewWarnings->GetChecked()) {
    report->SetLoadWarningLevel(level);
    report->SetImportWarningLevel(level);
  }
  if (CheckBoxViewEvents->GetChecked()) {
    report->SetLoadEventLevel(level);
    report->SetImportEventLevel(level);
  }
}

void TTranslateDialog::GetPadStackMap(PadStackMapRecord* record) {
  if (!record)
    return;
  for (int row = 0; row < 6; ++row)
    record->Rows[row] = StringGridPadStack->GetCells(2, row);
}
