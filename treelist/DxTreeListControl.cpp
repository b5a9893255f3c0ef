// The column-bound control: construction, columns and their list, header rows, node
// texts, placement caches, sorting and editors. The answers to the base's queries are in
// DxTreeListControlQueries.cpp, the customizing actions and the best fit in
// DxTreeListControlCustomizing.cpp.
//
// Decisions taken here:
// - AssignColumns from the control itself does nothing: destroying the columns first
//   would leave nothing to copy, and every column would be lost.
// - A column that leaves the control takes its cell texts with it (not only when it is
//   freed), so the texts of the columns after it stay with their columns.
// - A column that leaves the control while its cell is edited (its own handler may free
//   it) ends the edit unstored: stored, the edit went to the column that took its index.
//   The editors it bound to itself are freed with it, since their events call it.
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
#include <vector>

#include "classlib/AliveGuard.h"
#include "classlib/Boundary.h"
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

// Moves the text at `oldIndex` of `node` to `newIndex` (its texts grown to `needed`
// first). Each change is told (OnChanging, OnChange), whose handler may free the node.
void MoveNodeText(TdxTreeListNode* node, int oldIndex, int newIndex, int needed) {
  auto* textNode = ObjectAs<TdxTreeListTextNode>(node);
  if (!textNode)
    return;
  TStringList* strings = textNode->GetStrings();
  if (PadNodeTexts(strings, needed))
    strings->Move(oldIndex, newIndex);
}

}  // namespace

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
  FPlacement.Drop();
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
  if (operation != opRemove)
    return;
  FEditors.Remove(AComponent);
  FEditorColumns.erase(AComponent);
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

TdxTreeListColumn* TCustomdxTreeListControl::CreateColumn(TdxTreeListColumnClass columnClass, TComponent* owner) {
  if (!columnClass || !columnClass->InheritsFrom(TdxTreeListColumn::StaticClass()))
    throw EInvaliddxTreeListOperation(
        Format("A %s is no tree list column", columnClass ? columnClass->ClassName() : "nil"));
  auto* column = static_cast<TdxTreeListColumn*>(columnClass->Create(owner));
  try {
    // The first number whose name no component of the owner bears.
    for (int n = FColumns.GetCount() + 1;; ++n) {
      const std::string name = GetName() + "Column" + IntToStr(n);
      if (owner && owner->FindComponent(name))
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

void TCustomdxTreeListControl::AddColumn(TdxTreeListColumn* column) {
  assert(column && "AddColumn needs a column");
  if (column->FTreeList == this)
    return;
  if (column->FTreeList)
    column->FTreeList->RemoveColumn(column);
  FColumns.Add(column);
  column->FTreeList = this;
  ForgetColumnIndexes();
  if (column->GetSorted() != csNone && !IsLoading())
    AddSortedColumn(column);
  ColumnChanged(nullptr);
}

void TCustomdxTreeListControl::RemoveColumn(TdxTreeListColumn* column) {
  const int index = IndexOfColumn(column);
  column->FTreeList = nullptr;
  column->SetCachedIndex(-1);
  if (index < 0)
    return;
  // The editors the column dressed call it back (their change, validation, lists and
  // buttons), and an edit of its cell has no column left to store it (the column's index
  // names another column now): the edit ends unstored and those editors go with it.
  EndEditorsOf(column, index);
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
  RemoveSortedColumn(column);
  if (!IsDestroying())
    ColumnChanged(nullptr);
}

void TCustomdxTreeListControl::EndEditorsOf(TdxTreeListColumn* column, int index) {
  const bool edited = GetEditController().GetEditedColumn() == index;
  GetEditController().ColumnGone(index);
  std::vector<TdxInplaceEdit*> bound;
  bool hadFocus = false;
  for (int i = 0; i < FEditors.GetCount(); ++i) {
    auto* editor = static_cast<TdxInplaceEdit*>(FEditors.Get(i));
    const auto dresser = FEditorColumns.find(editor);
    const bool isBound = dresser != FEditorColumns.end() && dresser->second == column;
    // The editor of the cell shows it (a wrapper's is bound to its reference column).
    const bool shown = editor->HandleAllocated() && IsWindowVisible(editor->GetHandle());
    if (!isBound && !(edited && shown))
      continue;
    hadFocus = hadFocus || (editor->HandleAllocated() && GetFocus() == editor->GetHandle());
    if (isBound) {
      bound.push_back(editor);
      continue;
    }
    editor->HidingEditor = true;
    editor->HideEdit();
  }
  for (TdxInplaceEdit* editor : bound)
    delete editor;  // leaves FEditors and FEditorColumns through its notification
  if (hadFocus && !IsDestroying() && HandleAllocated() && IsWindowVisible(GetHandle()))
    ::SetFocus(GetHandle());
}

void TCustomdxTreeListControl::DestroyColumns() {
  while (FColumns.GetCount() > 0)
    delete ColumnAt(0);
}

void TCustomdxTreeListControl::AssignColumns(TCustomdxTreeListControl* source) {
  if (!source || source == this)
    return;
  TdxTreeListUpdateScope update(this);
  TComponent* owner = FColumns.GetCount() > 0 ? ColumnAt(0)->GetOwner() : this;
  DestroyColumns();
  for (int i = 0; i < source->GetColumnCount(); ++i) {
    TdxTreeListColumn* sourceColumn = source->ColumnAt(i);
    TdxTreeListColumn* column =
        CreateColumn(static_cast<TdxTreeListColumnClass>(sourceColumn->ClassType()), owner);
    column->Assign(sourceColumn);
    const std::string& name = sourceColumn->GetName();
    if (!name.empty() && !(owner && owner->FindComponent(name)))
      column->SetName(name);
  }
}

void TCustomdxTreeListControl::ColumnMoved(int oldIndex, int newIndex) {
  std::vector<TdxTreeListNode*> nodes;
  auto collect = [&nodes](TdxTreeListNode* node) { nodes.push_back(node); };
  for (int i = 0; i < GetCount(); ++i)
    VisitSubtree(GetItem(i), collect);
  TList* extra = GetExtraNodes();
  for (int i = 0; i < extra->GetCount(); ++i)
    VisitSubtree(static_cast<TdxTreeListNode*>(extra->Get(i)), collect);
  // Last node first: a node whose texts' handler frees it takes only nodes already moved
  // with it (those below it); one that frees the control ends the move.
  const int needed = std::max(oldIndex, newIndex) + 1;
  for (auto node = nodes.rbegin(); node != nodes.rend(); ++node)
    if (!Survives(this, [&] { MoveNodeText(*node, oldIndex, newIndex, needed); }))
      return;
}

void TCustomdxTreeListControl::ForgetColumnIndexes() {
  for (int i = 0; i < FColumns.GetCount(); ++i)
    ColumnAt(i)->SetCachedIndex(-1);
}

void TCustomdxTreeListControl::ColumnChanged(TdxTreeListColumn* column) {
  FPlacement.Drop();
  if (IsLoading() || IsDestroying())
    return;
  if (column)
    column->ApplyDefaultWidth();
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
    FPlacement.Drop();
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
  FPlacement.Drop();
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
  FPlacement.Drop();
}

void TCustomdxTreeListControl::ClearRows() { FPlacement.ClearWidths(); }

void TCustomdxTreeListControl::RebuildRows() {
  inherited::RebuildRows();
  ColumnsChanged();
}

void TCustomdxTreeListControl::ColumnsChanged() {
  if (IsLocked() || IsLoading() || IsDestroying())
    return;
  FPlacement.Build();
}

void TCustomdxTreeListControl::BandsChanged() {
  FPlacement.ClearWidths();
  if (!IsLocked() && !IsLoading() && !IsDestroying())
    FPlacement.BuildColumnWidths();
}

bool TCustomdxTreeListControl::IsColumnShown(TdxTreeListColumn* column) const {
  const int band = column->GetBandIndex();
  return column->GetVisible() && band >= 0 && band < FBands->GetCount() && FBands->GetItem(band)->GetVisible();
}

// ---- Sorting

void TCustomdxTreeListControl::AddSortedColumn(TdxTreeListColumn* column) {
  if (column->GetSorted() == csNone || FSortedColumns.IndexOf(column) >= 0)
    return;
  FSortedColumns.Add(column);
}

void TCustomdxTreeListControl::RemoveSortedColumn(TdxTreeListColumn* column) { FSortedColumns.Remove(column); }

void TCustomdxTreeListControl::ColumnSorted(TdxTreeListColumn* column) {
  if (column->GetSorted() != csNone)
    AddSortedColumn(column);
}

bool TCustomdxTreeListControl::CanSortByColumn(int index) {
  bool allow = true;
  if (TdxTreeListColumn* column = FindColumn(index))
    OnColumnSorting(this, column, allow);
  return allow;
}

void TCustomdxTreeListControl::BeforeColumnSorted(TdxTreeListColumn* column) {
  if (IsMultiSort())
    return;
  for (int i = FSortedColumns.GetCount() - 1; i >= 0; --i) {
    auto* other = static_cast<TdxTreeListColumn*>(FSortedColumns.Get(i));
    if (other != column)
      other->SetSorted(csNone);
  }
}

void TCustomdxTreeListControl::ToggleColumnSort(TdxTreeListColumn* column) {
  if (!column || !column->CanSort())
    return;
  bool canSort = false;
  if (!Survives(column, [&] { canSort = CanSortByColumn(column->GetIndex()); }) || !canSort)
    return;
  if (GetMouse().GetSortClearFlag()) {
    column->SetSorted(csNone);
    return;
  }
  const TdxTreeListColumnSort next = column->GetSorted() == csUp ? csDown : csUp;
  const TdxTreeListSortedScope update(this);
  if (!GetMouse().GetSortAddFlag()) {
    for (int i = FSortedColumns.GetCount() - 1; i >= 0; --i) {
      auto* other = static_cast<TdxTreeListColumn*>(FSortedColumns.Get(i));
      if (other != column)
        other->SetSorted(csNone);
    }
  }
  column->SetSorted(next);
}

void TCustomdxTreeListControl::BeginSortedUpdate() {
  BeginUpdate();
  ++FSortLock;
}

void TCustomdxTreeListControl::EndSortedUpdate() {
  if (FSortLock > 0 && --FSortLock == 0) {
    // A compare handler may free the control: the update then ends with it.
    const TAliveGuard alive(this);
    try {
      SortFinished();
    } catch (...) {
      // The sort's error goes on; what the quiet end raises goes to the boundary.
      if (alive.Alive())
        GuardBoundary("TCustomdxTreeListControl sorted update", [this] { EndUpdateQuiet(); });
      throw;
    }
    if (!alive.Alive())
      return;
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

void TCustomdxTreeListControl::GetNodeVariant(TdxTreeListNode* node, int32_t column, Variant& value) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  value = Variant(columnObject ? columnObject->GetNodeText(node) : std::string());
}

bool TCustomdxTreeListControl::GetSortedColumnDesc(int32_t index) {
  return GetSortedColumn(index)->GetSorted() == csDown;
}

int32_t TCustomdxTreeListControl::GetSortedColumnIndex(int32_t index) { return GetSortedColumn(index)->GetIndex(); }

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

TdxInplaceEdit* TCustomdxTreeListControl::CreateInplaceEdit(int32_t column) {
  TdxTreeListColumn* columnObject = FindColumn(column);
  const TdxInplaceEditClass* cls =
      columnObject ? columnObject->GetEditorClass() : &TdxInplaceTreeListTextEdit::MetaClass();
  auto* editor = static_cast<TdxInplaceEdit*>(cls->Create(this));
  FEditors.Add(editor);
  return editor;
}

TdxInplaceEdit* TCustomdxTreeListControl::GetEditor() {
  TdxTreeListColumn* column = FindColumn(EditingColumnIndex());
  return FindEditor(column ? static_cast<TClass>(column->GetEditorClass())
                           : TdxInplaceTreeListTextEdit::StaticClass());
}

void TCustomdxTreeListControl::InitEditor(TdxInplaceEdit* editor) {
  if (!Survives(this, [&] { inherited::InitEditor(editor); }))
    return;
  if (TdxTreeListColumn* column = FindColumn(EditingColumnIndex()))
    column->InitEditProperties(editor);
}

void TCustomdxTreeListControl::GetHotCursor(const TdxTreeListHotInfo& hotInfo, TCursor& cursor) {
  if (TdxTreeListColumn* column = hotInfo.Node ? FindColumn(hotInfo.Column) : nullptr)
    column->GetCellCursor(hotInfo.Node, cursor);
  inherited::GetHotCursor(hotInfo, cursor);
}

void TCustomdxTreeListControl::DoEditing(TdxTreeListNode* node, bool& allow) {
  if (!Survives(this, [&] { inherited::DoEditing(node, allow); }))
    return;
  TdxTreeListColumn* column = FocusedColumnObject();
  if (allow && column)
    allow = column->CanEdit();
}
