// Saving and loading the column-bound control's layout (display settings, bands,
// columns) in an INI file or under a registry key, through the storage wrapper.
//
// Decisions taken here:
// - Saving into an INI file first erases the layout's own sections: P itself and the
//   sections below it (P + "\..."), never another layout's whose name only begins with
//   P ("\Grid1_Form10" when saving "\Grid1_Form1"). With an empty name, whose sections
//   "\Band\..." and "\Columns\..." sit beside every other layout's, only "" and those two
//   groups are erased.
// - A multi-column sort comes back in the priority it was saved with: the sorted
//   columns are put in their saved SortedOrder after loading; columns sorted without
//   a saved position follow, in their present order.
// - A storage that is none of the three kinds is refused with an error, rather than a
//   save that writes nothing and reports success.
// - A stored Sorted value other than 0, 1 or 2 leaves the column's sort state as it is.
// - Keys are ordered by a sorted list that accepts duplicates, so that two items that
//   stored the same index are both placed.
// - Widths, heights and counts read back are cut down to the stored limits
//   (DxTreeListStoredLimits.h), so that a damaged file cannot overflow the width sums
//   or make the control unpaintable; indexes are clamped by their setters.
#include <algorithm>
#include <vector>

#include "classlib/Exceptions.h"
#include "classlib/Forms.h"
#include "classlib/IniFiles.h"
#include "classlib/Registry.h"
#include "classlib/StringList.h"
#include "classlib/SysUtils.h"
#include "editors/DxRegIniWrapper.h"
#include "treelist/DxTreeListControl.h"
#include "treelist/DxTreeListSort.h"
#include "treelist/DxTreeListStoredLimits.h"

namespace {

// The caller's section name with one leading "\" and no trailing "\"; empty stays empty.
std::string NormalizedSection(const std::string& name) {
  std::string section = name;
  if (!section.empty() && section.front() != '\\')
    section.insert(section.begin(), '\\');
  while (!section.empty() && section.back() == '\\')
    section.pop_back();
  return section;
}

std::string ColumnSection(const std::string& section, TdxTreeListColumn* column) {
  return section + "\\Columns\\" + column->GetName();
}

std::string BandSection(const std::string& section, int index) {
  return section + "\\Band\\Band" + std::to_string(index);
}

// The key of `index` in the ordering list: right-aligned in 11 characters, so that the
// list's text order is the numeric order of non-negative indexes.
std::string OrderKey(int index) { return Format("%11d", index); }

// A wrapper on the caller's storage; refuses what is no INI file and no registry INI
// file.
void CheckStorage(TObject* storage) {
  if (ObjectAs<TIniFile>(storage) || ObjectAs<TMemIniFile>(storage) || ObjectAs<TRegIniFile>(storage))
    return;
  throw EInvaliddxTreeListOperation("The tree list layout is kept in an INI file or a registry INI file only");
}

// The ordering list: sorted, duplicates kept, objects not owned.
class TOrderList : public TStringList {
 public:
  TOrderList() {
    SetDuplicates(dupAccept);
    SetSorted(true);
  }
};

}  // namespace

// ---- Names and the automatic hooks

void TCustomdxTreeListControl::SetParent(TWinControl* value) {
  inherited::SetParent(value);
  if (value) {
    if (TCustomForm* form = GetParentForm(this))
      FRecordedFormName = form->GetName();
  }
}

std::string TCustomdxTreeListControl::DefaultLayoutSection(const std::string& formName) const {
  return FIniSectionName.empty() ? GetName() + "_" + formName : FIniSectionName;
}

void TCustomdxTreeListControl::LoadFromIniFile(const std::string& fileName) {
  TCustomForm* form = GetParentForm(this);
  TMemIniFile ini(fileName);
  LoadLayout(&ini, DefaultLayoutSection(form ? form->GetName() : std::string()));
}

void TCustomdxTreeListControl::SaveToIniFile(const std::string& fileName) {
  TMemIniFile ini(fileName);
  SaveLayout(&ini, DefaultLayoutSection(FRecordedFormName));
  ini.UpdateFile();
}

void TCustomdxTreeListControl::LoadFromRegistry(const std::string& keyPath) {
  TRegIniFile registry("");
  if (!registry.OpenKey(keyPath, false))
    return;
  // The sections name keys from the root key.
  registry.CloseKey();
  LoadLayout(&registry, keyPath);
}

void TCustomdxTreeListControl::SaveToRegistry(const std::string& keyPath) {
  TRegIniFile registry(keyPath);
  SaveLayout(&registry, keyPath);
}

void TCustomdxTreeListControl::AutoLoadLayout() {
  if (FAutoLoadDone || GetComponentState().Contains(csDesigning))
    return;
  FAutoLoadDone = true;
  if (GetOptions().Contains(aoStoreToRegistry) && !FRegistryPath.empty())
    LoadFromRegistry(FRegistryPath);
  if (GetOptions().Contains(aoStoreToIniFile) && !FIniFileName.empty())
    LoadFromIniFile(FIniFileName);
}

void TCustomdxTreeListControl::AutoSaveLayout() {
  if (FAutoSaveDone || GetComponentState().Contains(csDesigning))
    return;
  FAutoSaveDone = true;
  if (GetOptions().Contains(aoStoreToRegistry) && !FRegistryPath.empty())
    SaveToRegistry(FRegistryPath);
  if (GetOptions().Contains(aoStoreToIniFile) && !FIniFileName.empty())
    SaveToIniFile(FIniFileName);
}

// ---- Saving

void TCustomdxTreeListControl::SaveLayout(TObject* storage, const std::string& sectionName) {
  CheckStorage(storage);
  const std::string section = NormalizedSection(sectionName);
  TdxRegIniWrapper wrapper;
  wrapper.SetIniFile(storage);
  wrapper.EraseSectionTree(section);
  if (section.empty()) {
    wrapper.EraseSectionTree("\\Band");
    wrapper.EraseSectionTree("\\Columns");
  }
  SaveLayoutValues(&wrapper, section);
  for (int i = 0; i < FColumns.GetCount(); ++i)
    SaveColumnLayout(&wrapper, ColumnSection(section, ColumnAt(i)), ColumnAt(i));
}

void TCustomdxTreeListControl::SaveLayoutValues(TdxRegIniWrapper* wrapper, const std::string& section) {
  wrapper->WriteBool(section, "ShowGrid", GetShowGrid());
  wrapper->WriteBool(section, "ShowPreviewGrid", GetShowPreviewGrid());
  wrapper->WriteInteger(section, "BandRowCount", FBandRowCount);
  wrapper->WriteInteger(section, "DefaultRowHeight", GetDefaultRowHeight());
  wrapper->WriteInteger(section, "HeaderPanelRowCount", IsOptionsEx25() ? -1 : FHeaderPanelRowCount);
  for (int i = 0; i < FBands->GetCount(); ++i) {
    TdxTreeListBand* band = FBands->GetItem(i);
    const std::string bandSection = BandSection(section, i);
    wrapper->WriteInteger(bandSection, "ID", band->GetID());
    wrapper->WriteBool(bandSection, "Visible", band->GetVisible());
    wrapper->WriteInteger(bandSection, "Index", band->GetIndex());
    wrapper->WriteInteger(bandSection, "Width", band->GetWidth());
  }
}

void TCustomdxTreeListControl::SaveColumnLayout(TdxRegIniWrapper* wrapper, const std::string& section,
                                                TdxTreeListColumn* column) {
  wrapper->WriteInteger(section, "BandIndex", column->GetBandIndex());
  wrapper->WriteInteger(section, "RowIndex", column->GetRowIndex());
  wrapper->WriteInteger(section, "ColIndex", column->GetColIndex());
  wrapper->WriteBool(section, "Visible", column->GetVisible());
  wrapper->WriteInteger(section, "Index", column->GetIndex());
  wrapper->WriteInteger(section, "Width", column->GetWidth());
  wrapper->WriteInteger(section, "Sorted", column->GetSorted());
  wrapper->WriteInteger(section, "SortedOrder", FSortedColumns.IndexOf(column));
  wrapper->WriteInteger(section, "StoredRowIndex", column->GetStoredRowIndex());
}

// ---- Loading

void TCustomdxTreeListControl::LoadLayout(TObject* storage, const std::string& sectionName) {
  CheckStorage(storage);
  const std::string section = NormalizedSection(sectionName);
  TdxRegIniWrapper wrapper;
  wrapper.SetIniFile(storage);
  TOrderList order;
  const TdxTreeListSortedScope update(this);

  LoadLayoutValues(&wrapper, section);

  for (int i = 0; i < FBands->GetCount(); ++i) {
    const std::string bandSection = BandSection(section, i);
    const int id = wrapper.ReadInteger(bandSection, "ID", -1);
    auto* band = id == -1 ? nullptr : static_cast<TdxTreeListBand*>(FBands->FindItemID(id));
    if (!band)
      continue;
    band->SetVisible(wrapper.ReadBool(bandSection, "Visible", band->GetVisible()));
    band->SetWidth(LimitStoredSize(wrapper.ReadInteger(bandSection, "Width", band->GetWidth())));
    order.AddObject(OrderKey(wrapper.ReadInteger(bandSection, "Index", band->GetIndex())), band);
  }
  for (int i = 0; i < order.GetCount(); ++i)
    static_cast<TdxTreeListBand*>(order.GetObject(i))->SetIndex(i);
  order.Clear();

  std::vector<TdxTreeListColumn*> columns;
  for (int i = 0; i < FColumns.GetCount(); ++i)
    columns.push_back(ColumnAt(i));
  for (TdxTreeListColumn* column : columns) {
    const std::string columnSection = ColumnSection(section, column);
    LoadColumnLayout(&wrapper, columnSection, column);
    order.AddObject(OrderKey(wrapper.ReadInteger(columnSection, "Index", column->GetIndex())), column);
  }
  for (int i = 0; i < order.GetCount(); ++i)
    static_cast<TdxTreeListColumn*>(order.GetObject(i))->SetIndex(i);

  ++FLayoutLoading;
  {
    struct TLower {
      int& Counter;
      ~TLower() { --Counter; }
    } lower{FLayoutLoading};
    for (TdxTreeListColumn* column : columns) {
      const std::string columnSection = ColumnSection(section, column);
      column->SetBandIndex(wrapper.ReadInteger(columnSection, "BandIndex", column->GetBandIndex()));
      column->SetRowIndex(wrapper.ReadInteger(columnSection, "RowIndex", column->GetRowIndex()));
      column->FStoredRowIndex =
          LimitStoredCount(wrapper.ReadInteger(columnSection, "StoredRowIndex", column->GetStoredRowIndex()));
    }
  }
  ColumnChanged(nullptr);
  OrderSortedColumnsByLoadedOrder();
}

void TCustomdxTreeListControl::LoadLayoutValues(TdxRegIniWrapper* wrapper, const std::string& section) {
  SetShowGrid(wrapper->ReadBool(section, "ShowGrid", GetShowGrid()));
  SetShowPreviewGrid(wrapper->ReadBool(section, "ShowPreviewGrid", GetShowPreviewGrid()));
  SetBandRowCountSetting(LimitStoredCount(wrapper->ReadInteger(section, "BandRowCount", FBandRowCount)));
  const int rowHeight = LimitStoredSize(wrapper->ReadInteger(section, "DefaultRowHeight", GetDefaultRowHeight()));
  if (rowHeight != GetDefaultRowHeight())
    SetDefaultRowHeight(rowHeight);
  const int headerRows = LimitStoredCount(wrapper->ReadInteger(section, "HeaderPanelRowCount", FHeaderPanelRowCount));
  if (headerRows != -1) {
    SetOptionsEx(GetOptionsEx().Exclude(aoAutoHeaderRows));
    SetHeaderPanelRowCount(headerRows);
  }
}

void TCustomdxTreeListControl::LoadColumnLayout(TdxRegIniWrapper* wrapper, const std::string& section,
                                                TdxTreeListColumn* column) {
  column->SetVisible(wrapper->ReadBool(section, "Visible", column->GetVisible()));
  column->SetWidth(LimitStoredSize(wrapper->ReadInteger(section, "Width", column->GetWidth())));
  const int sorted = wrapper->ReadInteger(section, "Sorted", column->GetSorted());
  if (sorted >= csNone && sorted <= csUp)
    column->SetSorted(TdxTreeListColumnSort(sorted));
  column->FLoadedSortedOrder = wrapper->ReadInteger(section, "SortedOrder", -1);
}

void TCustomdxTreeListControl::OrderSortedColumnsByLoadedOrder() {
  std::vector<TdxTreeListColumn*> sorted;
  for (int i = 0; i < FSortedColumns.GetCount(); ++i)
    sorted.push_back(static_cast<TdxTreeListColumn*>(FSortedColumns.Get(i)));
  std::stable_sort(sorted.begin(), sorted.end(), [](TdxTreeListColumn* a, TdxTreeListColumn* b) {
    const bool knownA = a->GetLoadedSortedOrder() >= 0;
    const bool knownB = b->GetLoadedSortedOrder() >= 0;
    if (knownA != knownB)
      return knownA;
    return CompareColumnSortOrder(a, b) < 0;
  });
  for (int i = 0; i < static_cast<int>(sorted.size()); ++i)
    FSortedColumns.Put(i, sorted[static_cast<size_t>(i)]);
}
