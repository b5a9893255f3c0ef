// The column-bound control: construction, columns and their list, header rows, node
// texts, placement caches, sorting, editors and the customizing actions. The answers to
// the base's queries are in DxTreeListControlQueries.cpp.
//
// Decisions taken here:
// - AssignColumns from the control itself does nothing: destroying the columns first
//   would leave nothing to copy, and every column would be lost.
// - A column that leaves the control takes its cell texts with it (not only when it is
//   freed), so the texts of the columns after it stay with their columns.
// - A plain header click sorts by the clicked column alone; only the add-to-sort
//   modifier (Shift, with multi-sort on) keeps the other sorted columns. Setting Sorted
//   in code keeps them whenever multi-sort is on.
// - Clearing the nodes leaves the sorted-column list alone: it belongs to the columns,
//   whose Sorted state stays.
// - Whenever the sorted columns change (a header click, Sorted set in code, a layout
//   loaded, a stored form loaded) the nodes are sorted by them: once, when the
//   outermost change ends (SortFinished at the sort lock's release). Each node's value
//   is its column's text (GetNodeText). A sorted update always holds the sort lock, with
//   multi-sort off too, so that a click that unsorts the other columns sorts once.
// - A column copied by AssignColumns takes its source's name unless that name is taken
//   in its owner; then it keeps the name the control gave it.
#include "treelist/DxTreeListControl.h"

#include <algorithm>
#include <cassert>
#include <exception>

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
#include "classlib/Canvas.h"
#include "classlib/GdiHandles.h"
#include "classlib/SysUtils.h"

namespace {

// Calls `visit` for `node` and every node below it.
template <class F>
void VisitSubtree(TdxTreeListNode* node, F& visit) {
  if (!node)
    return;
  visit(node);
  for (int i = 0; i < node->GetCount(); ++i)
    VisitSubtree(node->GetItem(i), visit);
}

}  // namespace

// A canvas on a screen DC, for measuring texts without the control's window.
class TMeasureCanvas {
 public:
  explicit TMeasureCanvas(TFont* font) : FDC(nullptr) {
    FCanvas.SetHandle(FDC.Get());
    FCanvas.SetFont(font);
  }
  ~TMeasureCanvas() { FCanvas.SetHandle(nullptr); }
  TMeasureCanvas(const TMeasureCanvas&) = delete;
  TMeasureCanvas& operator=(const TMeasureCanvas&) = delete;
  TCanvas* Get() { return &FCanvas; }

 private:
  TClientDC FDC;
  TCanvas FCanvas;
};

TCustomdxTreeListControl::TCustomdxTreeListControl(TComponent* AOwner)
    : TCustomdxTreeList(AOwner), FBands(new TdxTreeListBands(nullptr, &TdxTreeListBand::MetaClass())) {
  // The first band is added before the collection knows the control: no notification.
  FBands->Add();
  FBands->SetControl(this);
}

TCustomdxTreeListControl::~TCustomdxTreeListControl() {
  Destroying();
  // A layout that cannot be written is told, and the control still goes.
  GuardBoundary("TCustomdxTreeListControl layout saving", [this] { AutoSaveLayout(); });
  if (HandleAllocated())
    DestroyHandle();
  // The node hooks of this class must see the nodes go; a deletion handler that raises
  // does not leave the destructor.
  GuardBoundary("TCustomdxTreeListControl destruction", [this] { ClearNodes(); });
  DropPlacementCaches();
  if (FColumns.GetCount() > 0)
    DestroyColumns();
  FBands->SetControl(nullptr);
  FBands.reset();
  while (FEditors.GetCount() > 0)
    delete static_cast<TdxInplaceEdit*>(FEditors.Last());
}

void TCustomdxTreeListControl::Loaded() {
  inherited::Loaded();
  if (IsOptionsEx25())
    ApplyAutoHeaderRows();
  CompactRows();
  // The sorted columns in the order they were stored.
  FSortedColumns.Clear();
  for (int i = 0; i < FColumns.GetCount(); ++i) {
    if (ColumnAt(i)->GetSorted() != csNone)
      FSortedColumns.Add(ColumnAt(i));
  }
  OrderSortedColumnsByLoadedOrder();
  RefreshLayout();
  SortFinished();
  AutoLoadLayout();
}

void TCustomdxTreeListControl::Notification(TComponent* AComponent, TOperation operation) {
  inherited::Notification(AComponent, operation);
  if (operation == opRemove)
    FEditors.Remove(AComponent);
}

void TCustomdxTreeListControl::GetChildren(TGetChildProc proc, TComponent* root) {
  for (int i = 0; i < FColumns.GetCount(); ++i) {
    TdxTreeListColumn* column = ColumnAt(i);
    if (column->GetOwner() == root || column->GetOwner() == this)
      proc(column);
  }
}

// ---- Columns

TdxTreeListColumn* TCustomdxTreeListControl::GetColumn(int index) const {
  if (index < 0 || index >= FColumns.GetCount())
    ListIndexError(index);
  return ColumnAt(index);
}

TdxTreeListColumn* TCustomdxTreeListControl::FindColumn(int index) const {
  return index >= 0 && index < FColumns.GetCount() ? ColumnAt(index) : nullptr;
}

int TCustomdxTreeListControl::IndexOfColumn(const TdxTreeListColumn* column) const {
  return FColumns.IndexOf(const_cast<TdxTreeListColumn*>(column));
}

TdxTreeListColumn* TCustomdxTreeListControl::GetSortedColumn(int index) const {
  if (index < 0 || index >= FSortedColumns.GetCount())
    ListIndexError(index);
  return static_cast<TdxTreeListColumn*>(FSortedColumns.Get(index));
}

TdxTreeListColumn* TCustomdxTreeListControl::CreateColumn(TdxTreeListColumnClass ColumnClass, TComponent* Owner) {
  if (!ColumnClass || !ColumnClass->InheritsFrom(TdxTreeListColumn::StaticClass()))
    throw EInvaliddxTreeListOperation(
        Format("A %s is no tree list column", ColumnClass ? ColumnClass->ClassName() : "nil"));
  auto* column = static_cast<TdxTreeListColumn*>(ColumnClass->Create(Owner));
  try {
    // The first number whose name no component of the owner bears.
    for (int n = FColumns.GetCount() + 1;; ++n) {
      const std::string name = GetName() + "Column" + IntToStr(n);
      if (Owner && Owner->FindComponent(name))
        continue;
      column->SetName(name);
      break;
    }
    AddColumn(column);
  } catch (...) {
    delete column;
    throw;
  }
  return column;
}

void TCustomdxTreeListControl::AddColumn(TdxTreeListColumn* Column) {
  assert(Column && "AddColumn needs a column");
  if (Column->FTreeList == this)
    return;
  if (Column->FTreeList)
    Column->FTreeList->RemoveColumn(Column);
  FColumns.Add(Column);
  Column->FTreeList = this;
  ForgetColumnIndexes();
  if (Column->GetSorted() != csNone && !IsLoading())
    AddSortedColumn(Column);
  ColumnChanged(nullptr);
}

void TCustomdxTreeListControl::RemoveColumn(TdxTreeListColumn* Column) {
  const int index = IndexOfColumn(Column);
  Column->FTreeList = nullptr;
  Column->FCachedIndex = -1;
  if (index < 0)
    return;
  if (!IsDestroying() && !GetClearing()) {
    // The column's texts leave with it, so that the later columns keep theirs.
    for (int i = 0; i < GetCount(); ++i)
      DeleteNodeValue(GetItem(i), index);
    TList* extra = GetExtraNodes();
    for (int i = 0; i < extra->GetCount(); ++i)
      DeleteNodeValue(static_cast<TdxTreeListNode*>(extra->Get(i)), index);
  }
  FColumns.Delete(index);
  ForgetColumnIndexes();
  RemoveSortedColumn(Column);
  if (!IsDestroying())
    ColumnChanged(nullptr);
}

void TCustomdxTreeListControl::DestroyColumns() {
  while (FColumns.GetCount() > 0)
    delete ColumnAt(0);
}

void TCustomdxTreeListControl::AssignColumns(TCustomdxTreeListControl* Source) {
  if (!Source || Source == this)
    return;
  TdxTreeListUpdateScope update(this);
  TComponent* owner = FColumns.GetCount() > 0 ? ColumnAt(0)->GetOwner() : this;
  DestroyColumns();
  for (int i = 0; i < Source->GetColumnCount(); ++i) {
    TdxTreeListColumn* source = Source->ColumnAt(i);
    TdxTreeListColumn* column =
        CreateColumn(static_cast<TdxTreeListColumnClass>(source->ClassType()), owner);
    column->Assign(source);
    const std::string& name = source->GetName();
    if (!name.empty() && !(owner && owner->FindComponent(name)))
      column->SetName(name);
  }
}

void TCustomdxTreeListControl::ColumnMoved(int OldIndex, int NewIndex) {
  const int needed = std::max(OldIndex, NewIndex) + 1;
  auto move = [&](TdxTreeListNode* node) {
    auto* textNode = ObjectAs<TdxTreeListTextNode>(node);
    if (!textNode)
      return;
    TStringList* strings = textNode->GetStrings();
    while (strings->GetCount() < needed)
      strings->Add("");
    strings->Move(OldIndex, NewIndex);
  };
  for (int i = 0; i < GetCount(); ++i)
    VisitSubtree(GetItem(i), move);
  TList* extra = GetExtraNodes();
  for (int i = 0; i < extra->GetCount(); ++i)
    VisitSubtree(static_cast<TdxTreeListNode*>(extra->Get(i)), move);
}

void TCustomdxTreeListControl::ForgetColumnIndexes() {
  for (int i = 0; i < FColumns.GetCount(); ++i)
    ColumnAt(i)->FCachedIndex = -1;
}

void TCustomdxTreeListControl::ColumnChanged(TdxTreeListColumn* Column) {
  DropPlacementCaches();
  if (IsLoading() || IsDestroying())
    return;
  if (Column)
    Column->ApplyDefaultWidth();
  if (FLayoutLoading == 0)
    CompactRows();
  RefreshLayout();
}

void TCustomdxTreeListControl::RefreshLayout() { UpdateGuarded(); }

// ---- Bands and header rows

void TCustomdxTreeListControl::SetBandMaxRowCount(int value) {
  value = std::max(value, 1);
  if (value == FBandMaxRowCount)
    return;
  FBandMaxRowCount = value;
  if (FBandRowCount > value)
    FBandRowCount = value;
  RefreshLayout();
}

void TCustomdxTreeListControl::SetBandRowCountSetting(int value) {
  value = std::clamp(value, 1, FBandMaxRowCount);
  if (value == FBandRowCount)
    return;
  FBandRowCount = value;
  RefreshLayout();
}

void TCustomdxTreeListControl::SetHeaderMinRowCount(int value) {
  value = std::max(value, 1);
  if (value == FHeaderMinRowCount)
    return;
  FHeaderMinRowCount = value;
  RefreshLayout();
}

void TCustomdxTreeListControl::SetHeaderPanelMaxRowCount(int value) {
  value = std::max(value, 1);
  if (value == FHeaderPanelMaxRowCount)
    return;
  FHeaderPanelMaxRowCount = value;
  if (FHeaderPanelRowCount > value) {
    FHeaderPanelRowCount = value;
    DropPlacementCaches();
    if (!IsLoading())
      CompactRows();
  }
  RefreshLayout();
}

void TCustomdxTreeListControl::SetHeaderPanelRowCount(int value) {
  value = std::clamp(value, 1, FHeaderPanelMaxRowCount);
  if (!FSettingAutoRows)
    ClearAutoHeaderRows();
  if (value > 1)
    FDefaultLayout = false;
  if (value == FHeaderPanelRowCount)
    return;
  FHeaderPanelRowCount = value;
  DropPlacementCaches();
  if (!IsLoading())
    CompactRows();
  RefreshLayout();
}

void TCustomdxTreeListControl::ClearAutoHeaderRows() {
  SetOptionsEx(GetOptionsEx().Exclude(aoAutoHeaderRows));
}

void TCustomdxTreeListControl::SetDefaultLayout(bool value) {
  if (value == FDefaultLayout)
    return;
  if (!value) {
    FDefaultLayout = false;
    RefreshLayout();
    return;
  }
  {
    TdxTreeListUpdateScope update(this);
    SetShowBands(false);
    SetHeaderPanelRowCount(1);
    while (FBands->GetCount() > 1)
      FBands->Delete(FBands->GetCount() - 1);
    if (FBands->GetCount() == 0)
      FBands->Add();
    FBands->GetItem(0)->SetVisible(true);
    for (int i = 0; i < FColumns.GetCount(); ++i)
      ColumnAt(i)->SetBandIndex(0);
    FDefaultLayout = true;
  }
  RefreshLayout();
}

void TCustomdxTreeListControl::RefreshBands() {
  if (!IsOptionsEx25()) {
    RefreshLayout();
    return;
  }
  TdxTreeListUpdateScope update(this);
  ApplyAutoHeaderRows();
}

void TCustomdxTreeListControl::ApplyAutoHeaderRows() {
  int highest = 0;
  for (int i = 0; i < FColumns.GetCount(); ++i) {
    if (IsColumnInVisibleBand(i))
      highest = std::max(highest, ColumnAt(i)->GetStoredRowIndex());
  }
  const bool old = FSettingAutoRows;
  FSettingAutoRows = true;
  struct TRestore {
    bool& Flag;
    bool Old;
    ~TRestore() { Flag = Old; }
  } restore{FSettingAutoRows, old};
  SetHeaderPanelRowCount(highest + 1);
}

void TCustomdxTreeListControl::CompactRows() {
  const int rows = FHeaderPanelRowCount;
  for (int band = 0; band < FBands->GetCount(); ++band) {
    if (!FBands->GetItem(band)->GetVisible())
      continue;
    for (int row = rows - 1; row >= 0; --row) {
      bool occupied = false;
      for (int i = 0; i < FColumns.GetCount() && !occupied; ++i) {
        TdxTreeListColumn* column = ColumnAt(i);
        occupied = column->GetVisible() && column->GetBandIndex() == band && column->GetRowIndex() == row;
      }
      if (occupied)
        continue;
      for (int i = 0; i < FColumns.GetCount(); ++i) {
        TdxTreeListColumn* column = ColumnAt(i);
        if (column->GetBandIndex() == band && column->GetRowIndex() > row)
          column->MoveToRow(column->GetRowIndex() - 1);
      }
    }
  }
}

// ---- Placement caches

void TCustomdxTreeListControl::LayoutChanged() {
  inherited::LayoutChanged();
  DropPlacementCaches();
}

void TCustomdxTreeListControl::ClearRows() { FColumnWidths.clear(); }

void TCustomdxTreeListControl::RebuildRows() {
  inherited::RebuildRows();
  ColumnsChanged();
}

void TCustomdxTreeListControl::ColumnsChanged() {
  if (IsLocked() || IsLoading() || IsDestroying())
    return;
  BuildPlacementCaches();
}

void TCustomdxTreeListControl::BandsChanged() {
  FColumnWidths.clear();
  if (!IsLocked() && !IsLoading() && !IsDestroying())
    BuildColumnWidths();
}

void TCustomdxTreeListControl::DropPlacementCaches() {
  FVisibleBandMap.clear();
  FBandVisibleMap.clear();
  FColumnGrid.clear();
  FColumnWidths.clear();
}

void TCustomdxTreeListControl::BuildPlacementCaches() {
  DropPlacementCaches();
  {
    FBuildingBandMaps = true;
    struct TEnd {
      bool& Flag;
      ~TEnd() { Flag = false; }
    } end{FBuildingBandMaps};
    std::vector<int> visibleBands;
    std::vector<int> bandVisible(static_cast<size_t>(FBands->GetCount()), -1);
    for (int i = 0; i < FBands->GetCount(); ++i) {
      if (!FBands->GetItem(i)->GetVisible())
        continue;
      bandVisible[static_cast<size_t>(i)] = static_cast<int>(visibleBands.size());
      visibleBands.push_back(i);
    }
    FVisibleBandMap = std::move(visibleBands);
    FBandVisibleMap = std::move(bandVisible);
  }
  FBuildingGrid = true;
  struct TEnd {
    bool& Flag;
    ~TEnd() { Flag = false; }
  } end{FBuildingGrid};
  std::vector<std::vector<std::vector<int>>> grid(FVisibleBandMap.size(),
                                                  std::vector<std::vector<int>>(static_cast<size_t>(FHeaderPanelRowCount)));
  for (int i = 0; i < FColumns.GetCount(); ++i) {
    TdxTreeListColumn* column = ColumnAt(i);
    column->FCachedIndex = i;
    if (!IsColumnShown(column))
      continue;
    const int band = FBandVisibleMap[static_cast<size_t>(column->GetBandIndex())];
    grid[static_cast<size_t>(band)][static_cast<size_t>(column->GetRowIndex())].push_back(i);
  }
  FColumnGrid = std::move(grid);
}

void TCustomdxTreeListControl::BuildColumnWidths() {
  FBuildingColumnWidths = true;
  struct TEnd {
    bool& Flag;
    ~TEnd() { Flag = false; }
  } end{FBuildingColumnWidths};
  std::vector<int> widths(static_cast<size_t>(FColumns.GetCount()), 0);
  for (int i = 0; i < FColumns.GetCount(); ++i)
    widths[static_cast<size_t>(i)] = inherited::GetColumnDisplayWidth(i);
  FColumnWidths = std::move(widths);
  FColumnWidthsClientWidth = GetClientWidth();
}

bool TCustomdxTreeListControl::IsColumnShown(TdxTreeListColumn* column) const {
  const int band = column->GetBandIndex();
  return column->GetVisible() && band >= 0 && band < FBands->GetCount() && FBands->GetItem(band)->GetVisible();
}

// ---- Sorting

void TCustomdxTreeListControl::AddSortedColumn(TdxTreeListColumn* Column) {
  if (Column->GetSorted() == csNone || FSortedColumns.IndexOf(Column) >= 0)
    return;
  FSortedColumns.Add(Column);
}

void TCustomdxTreeListControl::RemoveSortedColumn(TdxTreeListColumn* Column) { FSortedColumns.Remove(Column); }

void TCustomdxTreeListControl::ColumnSorted(TdxTreeListColumn* Column) {
  if (Column->GetSorted() != csNone)
    AddSortedColumn(Column);
}

bool TCustomdxTreeListControl::CanSortByColumn(int Index) {
  bool allow = true;
  if (TdxTreeListColumn* column = FindColumn(Index))
    OnColumnSorting(this, column, allow);
  return allow;
}

void TCustomdxTreeListControl::BeforeColumnSorted(TdxTreeListColumn* Column) {
  if (IsMultiSort())
    return;
  for (int i = FSortedColumns.GetCount() - 1; i >= 0; --i) {
    auto* other = static_cast<TdxTreeListColumn*>(FSortedColumns.Get(i));
    if (other != Column)
      other->SetSorted(csNone);
  }
}

void TCustomdxTreeListControl::ToggleColumnSort(TdxTreeListColumn* Column) {
  if (!Column || !Column->CanSort())
    return;
  const TAliveGuard columnAlive(Column);
  if (!CanSortByColumn(Column->GetIndex()) || !columnAlive.Alive())
    return;
  if (GetSortClearFlag()) {
    Column->SetSorted(csNone);
    return;
  }
  const TdxTreeListColumnSort next = Column->GetSorted() == csUp ? csDown : csUp;
  const TdxTreeListSortedScope update(this);
  if (!GetSortAddFlag()) {
    for (int i = FSortedColumns.GetCount() - 1; i >= 0; --i) {
      auto* other = static_cast<TdxTreeListColumn*>(FSortedColumns.Get(i));
      if (other != Column)
        other->SetSorted(csNone);
    }
  }
  Column->SetSorted(next);
}

void TCustomdxTreeListControl::BeginSortedUpdate() {
  BeginUpdate();
  ++FSortLock;
}

void TCustomdxTreeListControl::EndSortedUpdate() {
  if (FSortLock > 0 && --FSortLock == 0) {
    try {
      SortFinished();
    } catch (...) {
      // The sort's error goes on; what the quiet end raises goes to the boundary.
      GuardBoundary("TCustomdxTreeListControl sorted update", [this] { EndUpdateQuiet(); });
      throw;
    }
  }
  EndUpdate();
}

void TCustomdxTreeListControl::EndSortedUpdateQuiet() {
  if (FSortLock > 0)
    --FSortLock;
  EndUpdateQuiet();
}

void TCustomdxTreeListControl::SortFinished() {
  if (IsLoading() || IsDestroying() || GetClearing() || FSortedColumns.GetCount() == 0)
    return;
  Sort(-1, GetSortedColumnIndex(0), GetSortedColumnDesc(0));
}

void TCustomdxTreeListControl::GetNodeVariant(TdxTreeListNode* Node, int32_t Column, Variant& Value) {
  TdxTreeListColumn* column = FindColumn(Column);
  Value = Variant(column ? column->GetNodeText(Node) : std::string());
}

bool TCustomdxTreeListControl::GetSortedColumnDesc(int32_t Index) {
  return GetSortedColumn(Index)->GetSorted() == csDown;
}

int32_t TCustomdxTreeListControl::GetSortedColumnIndex(int32_t Index) { return GetSortedColumn(Index)->GetIndex(); }

// ---- Messages

void TCustomdxTreeListControl::Dispatch(TMessage& message) {
  if (message.Msg == CM_WININICHANGE) {
    for (int i = 0; i < FColumns.GetCount(); ++i)
      ColumnAt(i)->LocaleChanged();
  }
  inherited::Dispatch(message);
}

// ---- Editors

TdxInplaceEdit* TCustomdxTreeListControl::FindEditor(TClass cls) const {
  for (int i = 0; i < FEditors.GetCount(); ++i) {
    auto* editor = static_cast<TdxInplaceEdit*>(FEditors.Get(i));
    if (editor->ClassType() == cls)
      return editor;
  }
  return nullptr;
}

TdxInplaceEdit* TCustomdxTreeListControl::CreateInplaceEdit(int32_t Column) {
  TdxTreeListColumn* column = FindColumn(Column);
  const TdxInplaceEditClass* cls =
      column ? column->GetEditorClass() : &TdxInplaceTreeListTextEdit::MetaClass();
  auto* editor = static_cast<TdxInplaceEdit*>(cls->Create(this));
  FEditors.Add(editor);
  return editor;
}

TdxInplaceEdit* TCustomdxTreeListControl::GetEditor() {
  TdxTreeListColumn* column = FindColumn(EditingColumnIndex());
  return FindEditor(column ? static_cast<TClass>(column->GetEditorClass())
                           : TdxInplaceTreeListTextEdit::StaticClass());
}

void TCustomdxTreeListControl::InitEditor(TdxInplaceEdit* Editor) {
  inherited::InitEditor(Editor);
  if (TdxTreeListColumn* column = FindColumn(EditingColumnIndex()))
    column->InitEditProperties(Editor);
}

void TCustomdxTreeListControl::GetHotCursor(const TdxTreeListHotInfo& HotInfo, TCursor& Cursor) {
  if (TdxTreeListColumn* column = HotInfo.Node ? FindColumn(HotInfo.Column) : nullptr)
    column->GetCellCursor(HotInfo.Node, Cursor);
  inherited::GetHotCursor(HotInfo, Cursor);
}

void TCustomdxTreeListControl::DoEditing(TdxTreeListNode* Node, bool& Allow) {
  inherited::DoEditing(Node, Allow);
  TdxTreeListColumn* column = FocusedColumnObject();
  if (Allow && column)
    Allow = column->CanEdit();
}

// ---- Customizing actions

void TCustomdxTreeListControl::HideBand(int32_t Band) {
  TdxTreeListBand* band = BandAt(Band);
  if (!band)
    return;
  band->SetVisible(false);
  OnHideBand(this, band);
}

void TCustomdxTreeListControl::ShowBand(int32_t Position, int32_t Band) {
  TdxTreeListBand* band = BandAt(Band);
  if (!band)
    return;
  {
    TdxTreeListUpdateScope update(this);
    // The place of the band now shown at that position (else the end), found before
    // this band counts among the visible ones.
    int target = FBands->GetAbsoluteIndex(Position);
    if (target < 0)
      target = FBands->GetCount() - 1;
    else if (target > band->GetIndex())
      --target;
    band->SetVisible(true);
    band->SetIndex(target);
  }
  OnShowBand(this, band, Position);
}

void TCustomdxTreeListControl::MoveBand(int32_t Old, int32_t New) {
  TdxTreeListBand* band = VisibleBand(Old);
  const int target = FBands->GetAbsoluteIndex(New);
  if (!band || target < 0)
    return;
  band->SetIndex(target);
  OnBandMoved(this, band);
}

void TCustomdxTreeListControl::SetBandWidth(int32_t Band, int32_t Width) {
  if (TdxTreeListBand* band = VisibleBand(Band))
    band->SetWidth(Width);
}

void TCustomdxTreeListControl::ScaleBandWidths(int32_t NewSum, int32_t OldSum) {
  if (OldSum == 0)
    return;
  TdxTreeListUpdateScope update(this);
  for (int i = 0; i < FBands->GetVisibleCount(); ++i) {
    TdxTreeListBand* band = VisibleBand(i);
    if (band->GetSizing())
      band->SetWidth(MulDiv(band->GetWidth(), NewSum, OldSum));
  }
}

void TCustomdxTreeListControl::ColumnsWidthQuery(int32_t Band, int32_t NewSum, int32_t OldSum) {
  const int band = GetBandIndex(Band);
  if (OldSum == 0 || band < 0)
    return;
  TdxTreeListUpdateScope update(this);
  for (int i = 0; i < FColumns.GetCount(); ++i) {
    TdxTreeListColumn* column = ColumnAt(i);
    if (column->GetBandIndex() == band && column->GetVisible() && column->GetSizing())
      column->SetWidth(MulDiv(column->GetWidth(), NewSum, OldSum));
  }
}

void TCustomdxTreeListControl::HideColumn(int32_t Column) {
  TdxTreeListColumn* column = FindColumn(Column);
  if (!column)
    return;
  column->SetVisible(false);
  OnHideHeader(this, column);
}

TdxTreeListColumn* TCustomdxTreeListControl::PlaceColumn(int32_t Column, int32_t Band, int32_t Row,
                                                         int32_t Position) {
  TdxTreeListColumn* column = FindColumn(Column);
  const int band = GetBandIndex(Band);
  if (!column || band < 0)
    return nullptr;
  TdxTreeListUpdateScope update(this);
  column->SetBandIndex(band);
  column->SetVisible(true);
  column->SetRowIndex(Row);
  column->SetColIndex(Position);
  return column;
}

void TCustomdxTreeListControl::ShowColumn(int32_t Band, int32_t Row, int32_t Position, int32_t Column) {
  if (TdxTreeListColumn* column = PlaceColumn(Column, Band, Row, Position))
    OnShowHeader(this, column, Position, Row, Band);
}

void TCustomdxTreeListControl::MoveColumn(int32_t Column, int32_t Band, int32_t Row, int32_t Position) {
  if (TdxTreeListColumn* column = PlaceColumn(Column, Band, Row, Position))
    OnHeaderMoved(this, column);
}

void TCustomdxTreeListControl::SetColumnWidth(int32_t Column, int32_t Width) {
  TdxTreeListColumn* column = FindColumn(Column);
  if (!column || !column->GetSizing())
    return;
  column->FAssigned.Include(cavWidth);
  column->SetWidth(std::max(Width, column->GetMinWidth()));
}

TdxTreeListBand* TCustomdxTreeListControl::BandAt(int32_t Band) const {
  return Band >= 0 && Band < FBands->GetCount() ? FBands->GetItem(Band) : nullptr;
}

void TCustomdxTreeListControl::DoDragOverBand(const TPoint& P, int32_t Band, bool& Accept) {
  if (TdxTreeListBand* band = BandAt(Band))
    OnDragOverBand(this, band, P, Accept);
}

void TCustomdxTreeListControl::DoEndBandDrag(const TPoint& P, int32_t Band, int32_t& Place, bool& Accept,
                                             int32_t Old) {
  if (TdxTreeListBand* band = BandAt(Band))
    OnEndDragBand(this, band, Place, Accept);
}

void TCustomdxTreeListControl::DoDragOverColumn(const TPoint& P, int32_t Column, bool& Accept) {
  if (TdxTreeListColumn* column = FindColumn(Column))
    OnDragOverHeader(this, column, P, Accept);
}

void TCustomdxTreeListControl::DoEndColumnDrag(const TPoint& P, int32_t Column, TdxTreeListDropPlace& Place,
                                               bool& Accept) {
  if (TdxTreeListColumn* column = FindColumn(Column))
    OnEndDragHeader(this, column, Place, Accept);
}

void TCustomdxTreeListControl::BandClick(int32_t Band) {
  if (TdxTreeListBand* band = BandAt(Band))
    OnBandClick(this, band);
}

void TCustomdxTreeListControl::ColumnClick(int32_t Column) {
  TdxTreeListColumn* column = FindColumn(Column);
  if (!column)
    return;
  const TAliveGuard columnAlive(column);
  ToggleColumnSort(column);
  if (columnAlive.Alive())
    OnColumnClick(this, column);
}

void TCustomdxTreeListControl::ColumnEdgeDblClick(int32_t Column) {
  TdxTreeListColumn* column = FindColumn(Column);
  if (!column)
    return;
  ApplyBestFit(column);
  DoWidthChanged();
}

// ---- Best fit and cell rectangles

void TCustomdxTreeListControl::InflateCellRect(const TRect& Rect, TRect& Result) {
  Result = TRect{Rect.left - 2, Rect.top - 2, Rect.right + 2, Rect.bottom + 2};
}

bool TCustomdxTreeListControl::IsTreeColumn(TdxTreeListColumn* column) {
  return GetVisibleBandCount() > 0 && GetColumnAt(0, 0, 0) == column->GetIndex();
}

int TCustomdxTreeListControl::NodeTextWidth(TdxTreeListColumn* column, TdxTreeListNode* node, TCanvas* canvas) {
  int width = column->GetNodeTextWidth(canvas, node);
  if (!IsTreeColumn(column))
    return width;
  width += node->GetLevel() * GetIndentWidth();
  if (GetStateImages() && GetNodeStateIndex(node) >= 0)
    width += GetStateImages()->GetWidth();
  if (GetImages() && (GetNodeImageIndex(node) >= 0 || GetNodeSelectedIndex(node) >= 0))
    width += GetImages()->GetWidth();
  if (GetShowButtons())
    width += GetIndentWidth();
  return width;
}

int TCustomdxTreeListControl::WidestNodeText(TdxTreeListColumn* column, TdxTreeListNode* node, TCanvas* canvas) {
  int widest = NodeTextWidth(column, node, canvas);
  if (!node->GetExpanded())
    return widest;
  for (int i = 0; i < node->GetCount(); ++i)
    widest = std::max(widest, WidestNodeText(column, node->GetItem(i), canvas));
  return widest;
}

void TCustomdxTreeListControl::ApplyBestFit(TdxTreeListColumn* Column) {
  TdxTreeListUpdateScope update(this);
  for (int i = 0; i < FColumns.GetCount(); ++i) {
    TdxTreeListColumn* column = ColumnAt(i);
    if ((Column && column != Column) || !column->GetSizing())
      continue;
    TMeasureCanvas measure(column->IsFontAssigned() ? column->GetFont() : GetFont());
    TCanvas* canvas = measure.Get();
    int widest = 0;
    for (int n = 0; n < GetCount(); ++n)
      widest = std::max(widest, WidestNodeText(column, GetItem(n), canvas));
    std::string header;
    GetColumnHeaderText(i, header);
    {
      TMeasureCanvas headerCanvas(GetHeaderFont());
      widest = std::max(widest, headerCanvas.Get()->TextWidth(header) + (column->CanSort() ? 15 : 0));
    }
    const int zero = canvas->TextWidth("0");
    column->SetWidth(widest + 2 * ((zero + 1) / 2 + 1));
  }
}
