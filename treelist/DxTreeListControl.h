// TCustomdxTreeListControl: the tree list bound to column components and a band
// collection. It answers the base tree list's queries (bands, column placement, widths,
// fonts, cell texts, editors, custom drawing) from its TdxTreeListColumn list and its
// TdxTreeListBands, keeps the list of sorted columns, caches the band and column
// placement, stores node texts in TdxTreeListTextNode (element i of a node's strings
// belongs to the column of list index i, and moves with it), and fires the events of the
// customizing actions.
//
// Index spaces: column indices are positions in the column list. The layout queries
// the base asks (GetColumnAt, GetColumnCountInRow, GetBandRowCount, GetVisibleBand*,
// CanSizeBand) take visible band positions; GetBand* (without "Visible") and the band
// customizing actions HideBand, ShowBand, IsBandHidden, BandClick, CanBandMoving and
// GetBandDisableCustomizing take absolute band indices (a hidden band has no visible
// position); MoveBand takes visible positions; the drop places of ShowColumn and
// MoveColumn name visible bands.
//
// Placement caches (visible <-> absolute band maps, the columns of every band row,
// the column display widths; kept by TdxTreeListPlacement) are rebuilt with the rows
// (RebuildRows) and dropped by every change of the layout; while they are empty or being
// built every query computes its answer directly, with the same result.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "classlib/Lists.h"
#include "editors/DxRegIniWrapper.h"
#include "treelist/DxTreeList.h"
#include "treelist/DxTreeListBands.h"
#include "treelist/DxTreeListColumn.h"
#include "treelist/DxTreeListPlacement.h"

// (Sender, Node, var Index).
using TdxTreeListGetIndexEvent = TEvent<TObject* /*Sender*/, TdxTreeListNode* /*Node*/, int& /*Index*/>;
using TdxTreeListBandEvent = TEvent<TObject* /*Sender*/, TdxTreeListBand* /*Band*/>;
using TdxTreeListShowBandEvent = TEvent<TObject* /*Sender*/, TdxTreeListBand* /*Band*/, int /*Position*/>;
using TdxTreeListCanBandEvent = TEvent<TObject* /*Sender*/, TdxTreeListBand* /*Band*/, bool& /*Allow*/>;
using TdxTreeListColumnEvent = TEvent<TObject* /*Sender*/, TdxTreeListColumn* /*Column*/>;
using TdxTreeListCanColumnEvent = TEvent<TObject* /*Sender*/, TdxTreeListColumn* /*Column*/, bool& /*Allow*/>;
// (Sender, Column, Position, Row, Band): the column was shown or dropped at a place.
using TdxTreeListShowColumnEvent =
    TEvent<TObject* /*Sender*/, TdxTreeListColumn* /*Column*/, int /*Position*/, int /*Row*/, int /*Band*/>;
using TdxTreeListColumnSortedEvent =
    TEvent<TObject* /*Sender*/, TdxTreeListColumn* /*Column*/, TdxTreeListColumnSort& /*Sorted*/>;
using TdxTreeListCustomDrawBandEvent =
    TEvent<TObject* /*Sender*/, TdxTreeListBand* /*Band*/, TCanvas* /*ACanvas*/, const TRect& /*ARect*/,
           std::string& /*AText*/, TColor& /*AColor*/, TFont* /*AFont*/, TAlignment& /*AAlignment*/,
           bool& /*ADone*/>;
// A footer panel cell (Node none) or a node footer line's cell.
using TdxTreeListCustomDrawFooterEvent =
    TEvent<TObject* /*Sender*/, TCanvas* /*ACanvas*/, const TRect& /*ARect*/, TdxTreeListNode* /*ANode*/,
           TdxTreeListColumn* /*AColumn*/, int /*AFooterIndex*/, std::string& /*AText*/, TColor& /*AColor*/,
           TFont* /*AFont*/, TAlignment& /*AAlignment*/, bool& /*ADone*/>;
using TdxTreeListCustomDrawPreviewEvent =
    TEvent<TObject* /*Sender*/, TCanvas* /*ACanvas*/, const TRect& /*ARect*/, TdxTreeListNode* /*ANode*/,
           bool /*ASelected*/, std::string& /*AText*/, TColor& /*AColor*/, TColor& /*ATextColor*/,
           TFont* /*AFont*/, bool& /*ADone*/>;
using TdxTreeListLevelColorEvent = TEvent<TObject* /*Sender*/, int /*Level*/, TColor& /*Color*/>;
// A header dragged over P (client coordinates): Accept false shows the delete cursor.
using TdxTreeListDragOverBandEvent =
    TEvent<TObject* /*Sender*/, TdxTreeListBand* /*Band*/, const TPoint& /*P*/, bool& /*Accept*/>;
using TdxTreeListDragOverHeaderEvent =
    TEvent<TObject* /*Sender*/, TdxTreeListColumn* /*Column*/, const TPoint& /*P*/, bool& /*Accept*/>;
// A header dropped: the handler may change the place or refuse the drop.
using TdxTreeListEndDragBandEvent =
    TEvent<TObject* /*Sender*/, TdxTreeListBand* /*Band*/, int& /*Place*/, bool& /*Accept*/>;
using TdxTreeListEndDragHeaderEvent = TEvent<TObject* /*Sender*/, TdxTreeListColumn* /*Column*/,
                                             TdxTreeListDropPlace& /*Place*/, bool& /*Accept*/>;

class TCustomdxTreeListControl : public TCustomdxTreeList {
  KIVO_CLASS(TCustomdxTreeListControl, TCustomdxTreeList)
 public:
  // One band, one header row, the default layout.
  explicit TCustomdxTreeListControl(TComponent* AOwner);
  // Clears the nodes, then frees the columns (one by one, from the first), the bands
  // and the editors.
  ~TCustomdxTreeListControl() override;

  // ==== Columns
  // Columns[index]; raises EListError out of range.
  TdxTreeListColumn* GetColumn(int index) const;
  // The index of `column` in the column list, -1 when it is not there.
  int IndexOfColumn(const TdxTreeListColumn* column) const;
  // A new column of `columnClass` owned by `owner`, named after the control ("Column"
  // and the first free number from the column count + 1 on), added to the control.
  TdxTreeListColumn* CreateColumn(TdxTreeListColumnClass columnClass, TComponent* owner);
  // Appends a column (its TreeList becomes this control).
  void AddColumn(TdxTreeListColumn* column);
  // The columns that are sorted, in sort priority.
  int GetSortedColumnListCount() const { return FSortedColumns.GetCount(); }
  TdxTreeListColumn* GetSortedColumn(int index) const;

  // ==== Bands and header rows
  TdxTreeListBands* GetBands() const { return FBands.get(); }
  int GetBandMaxRowCountSetting() const { return FBandMaxRowCount; }
  void SetBandMaxRowCount(int value);
  int GetBandRowCountSetting() const { return FBandRowCount; }
  void SetBandRowCountSetting(int value);
  // True: one band, its header hidden, one header row.
  bool GetDefaultLayout() const { return FDefaultLayout; }
  void SetDefaultLayout(bool value);
  int GetHeaderMinRowCountSetting() const { return FHeaderMinRowCount; }
  void SetHeaderMinRowCount(int value);
  int GetHeaderPanelMaxRowCountSetting() const { return FHeaderPanelMaxRowCount; }
  void SetHeaderPanelMaxRowCount(int value);
  int GetHeaderPanelRowCountSetting() const { return FHeaderPanelRowCount; }
  // From outside: the automatic header rows go off, and more than one row ends the
  // default layout.
  void SetHeaderPanelRowCount(int value);

  // ==== Editors
  // The editor of `cls` the control created, none when there is none yet.
  TdxInplaceEdit* FindEditor(TClass cls) const;
  int GetEditorCount() const { return FEditors.GetCount(); }

  // ==== Layout storage (band order, visibility and widths; column placement,
  // visibility, widths and sort state; a few display settings)
  // `storage` is a TIniFile, TMemIniFile or TRegIniFile the caller opened (anything else
  // raises EInvaliddxTreeListOperation); `sectionName` names the layout's section (a
  // leading "\" is added, trailing ones dropped). Saving into an INI file first erases
  // the layout's earlier sections (the section and those below it). Loading reads every
  // key with the current value as default, so a missing key changes nothing.
  void LoadLayout(TObject* storage, const std::string& sectionName);
  void SaveLayout(TObject* storage, const std::string& sectionName);
  // Through a TMemIniFile on `fileName`, in the section IniSectionName, or when that is
  // empty Name + "_" + the form's name (loading: the parent form's; saving: the
  // recorded one).
  void LoadFromIniFile(const std::string& fileName);
  void SaveToIniFile(const std::string& fileName);
  // Under the key `keyPath` of HKEY_CURRENT_USER; loading does nothing when the key
  // cannot be opened.
  void LoadFromRegistry(const std::string& keyPath);
  void SaveToRegistry(const std::string& keyPath);
  const std::string& GetIniFileName() const { return FIniFileName; }
  void SetIniFileName(const std::string& value) { FIniFileName = value; }
  const std::string& GetIniSectionName() const { return FIniSectionName; }
  void SetIniSectionName(const std::string& value) { FIniSectionName = value; }
  const std::string& GetRegistryPath() const { return FRegistryPath; }
  void SetRegistryPath(const std::string& value) { FRegistryPath = value; }
  // The name of the form the control was last placed in.
  const std::string& GetRecordedFormName() const { return FRecordedFormName; }
  void SetParent(TWinControl* value) override;

  // ==== Overrides of the base's queries
  int32_t GetBandCount() override { return FBands->GetCount(); }
  int32_t GetVisibleBandCount() override;
  int32_t GetBandIndex(int32_t visibleIndex) override;
  int32_t GetVisibleBandIndex(int32_t band) override;
  TAlignment GetBandAlignment(int32_t band) override;
  void GetBandCaption(int32_t band, std::string& text) override;
  int32_t GetBandWidth(int32_t band) override;
  TAlignment GetVisibleBandAlignment(int32_t band) override;
  void GetVisibleBandCaption(int32_t band, std::string& text) override;
  int32_t GetVisibleBandWidth(int32_t band) override;
  int32_t GetVisibleBandMinWidth(int32_t band) override;
  int32_t GetLeftFixedBand() override;
  int32_t GetRightFixedBand() override;
  bool GetBandOnlyOwnColumns(int32_t band) override;
  bool CanSizeBand(int32_t band) override;
  using TCustomdxTreeList::GetBandRowCount;
  int32_t GetBandRowCount(int32_t band) override;
  int32_t GetColumnCount() override { return FColumns.GetCount(); }
  int32_t GetColumnCountInRow(int32_t band, int32_t row) override;
  int32_t GetColumnAt(int32_t band, int32_t row, int32_t position) override;
  int32_t GetColumnBandIndex(int32_t column) override;
  int32_t GetColumnRowIndex(int32_t column) override;
  int32_t GetColumnColIndex(int32_t column) override;
  TAlignment GetColumnHeaderAlignment(int32_t column) override;
  int32_t GetColumnDisplayWidth(int32_t column) override;
  TBitmap* GetColumnHeaderGlyph(int32_t column) override;
  bool HasColumnHeaderGlyph(int32_t column) override;
  int32_t GetColumnHeaderMaxLineCount(int32_t column) override;
  int32_t GetColumnMinWidth(int32_t column) override;
  int32_t GetColumnWidth(int32_t column) override;
  bool CanSizeColumn(int32_t column) override;
  TdxTreeListColumnSort GetColumnSorted(int32_t column) override;
  bool GetColumnTabStop(int32_t column) override;
  void GetColumnHeaderText(int32_t column, std::string& text) override;
  void GetColumnCaption(int32_t column, std::string& text) override;
  TColor GetColumnColor(int32_t column) override;
  TFont* GetColumnFont(int32_t column) override;
  bool IsColumnOwnFont(int32_t column) override;
  TAlignment GetColumnAlignment(TdxTreeListNode* node, int32_t column) override;
  TTextLayout GetColumnVertAlignment(int32_t column) override;
  bool IsColumnInVisibleBand(int32_t column) override;
  bool IsColumnOutOfHeader(int32_t column) override;
  bool GetColumnDisableCustomizing(int32_t column) override;
  bool GetBandDisableCustomizing(int32_t band) override;
  bool IsBandHidden(int32_t band) override;
  bool IsColumnAutoWidth() override { return FDefaultLayout || TCustomdxTreeList::IsColumnAutoWidth(); }
  bool IsHotTrackCell(TdxTreeListNode* node, int32_t column, TdxTreeListHitTest hitTest) override;
  int32_t GetBandMaxRowCount() override { return FBandMaxRowCount; }
  int32_t GetBandRowCount() override { return FBandRowCount; }
  int32_t GetHeaderPanelMaxRowCount() override { return FHeaderPanelMaxRowCount; }
  int32_t GetHeaderPanelRowCount() override { return FHeaderPanelRowCount; }
  int32_t GetHeaderMinRowCount() override { return std::max(FHeaderMinRowCount, 1); }
  bool CanBandMoving(int32_t band) override;
  bool CanColumnMoving(int32_t column) override;
  // Header drags fire the drag-over and end-drag events.
  void DoDragOverBand(const TPoint& p, int32_t band, bool& accept) override;
  void DoEndBandDrag(const TPoint& p, int32_t band, int32_t& place, bool& accept, int32_t old) override;
  void DoDragOverColumn(const TPoint& p, int32_t column, bool& accept) override;
  void DoEndColumnDrag(const TPoint& p, int32_t column, TdxTreeListDropPlace& place, bool& accept) override;

  // ==== Nodes and cell values
  TdxTreeListNode* CreateNode() override;
  int GetNodeImageIndex(TdxTreeListNode* node) override;
  int GetNodeSelectedIndex(TdxTreeListNode* node) override;
  int GetNodeStateIndex(TdxTreeListNode* node) override;
  void SetNodeImageIndex(TdxTreeListNode* node, int value) override;
  void SetNodeSelectedIndex(TdxTreeListNode* node, int value) override;
  void SetNodeStateIndex(TdxTreeListNode* node, int value) override;
  void GetNodeValue(TdxTreeListNode* node, int32_t column, Variant& value) override;
  void GetNodeString(TdxTreeListNode* node, int32_t column, std::string& text) override;
  void SetNodeString(TdxTreeListNode* node, int32_t column, const std::string& text) override;
  void SetNodeValue(TdxTreeListNode* node, int32_t column, const Variant& value) override;
  // The node's text of the column, as the column shows it.
  void GetCellText(TdxTreeListNode* node, int32_t column, std::string& text) override;
  int32_t GetCellTextWidth(TCanvas* canvas, TdxTreeListNode* node, int32_t column) override;
  bool MeasureCellText(TdxTreeListNode* node, int32_t column, int32_t& lineCount, int32_t& textHeight,
                       int32_t width, int32_t maxLines) override;

  // ==== Customizing actions
  void HideBand(int32_t band) override;
  void ShowBand(int32_t position, int32_t band) override;
  void MoveBand(int32_t oldIndex, int32_t newIndex) override;
  void SetBandWidth(int32_t band, int32_t width) override;
  void ScaleBandWidths(int32_t newSum, int32_t oldSum) override;
  void ColumnsWidthQuery(int32_t band, int32_t newSum, int32_t oldSum) override;
  void HideColumn(int32_t column) override;
  void ShowColumn(int32_t band, int32_t row, int32_t position, int32_t column) override;
  void MoveColumn(int32_t column, int32_t band, int32_t row, int32_t position) override;
  void SetColumnWidth(int32_t column, int32_t width) override;
  void SetBandRowCount(int32_t value) override { SetBandRowCountSetting(value); }
  void SetHeaderRowCount(int32_t value) override { SetHeaderPanelRowCount(value); }
  void BandClick(int32_t band) override;
  // A header click toggles the column's sort (see ToggleColumnSort), then fires the
  // column-click event.
  void ColumnClick(int32_t column) override;
  // A double click on a column's edge fits its width to its texts.
  void ColumnEdgeDblClick(int32_t column) override;
  void DoWidthChanged() override { OnChangedColumnsWidth(this); }
  void UpdateColumnRows() override { CompactRows(); }

  // ==== Editing
  TdxInplaceEdit* CreateInplaceEdit(int32_t column) override;
  // The editor of the edited column's editor class while a cell is edited, else of the
  // focused column's.
  TdxInplaceEdit* GetEditor() override;
  // The base's dressing, then the focused column's editor properties.
  void InitEditor(TdxInplaceEdit* editor) override;
  // The hot cell's column chooses its cursor, then the cursor event may change it.
  void GetHotCursor(const TdxTreeListHotInfo& hotInfo, TCursor& cursor) override;
  // The editing event, and the focused column may refuse.
  void DoEditing(TdxTreeListNode* node, bool& allow) override;

  // ==== Sorting
  // A node's sort value in a column: the column's text of the node.
  void GetNodeVariant(TdxTreeListNode* node, int32_t column, Variant& value) override;
  int32_t GetSortedColumnCount() override { return FSortedColumns.GetCount(); }
  bool GetSortedColumnDesc(int32_t index) override;
  int32_t GetSortedColumnIndex(int32_t index) override;

  // ==== Custom drawing
  bool IsCustomDrawBand(int32_t band) override { return OnCustomDrawBand.Assigned(); }
  bool IsCustomDrawCell(TdxTreeListNode* node, int32_t column) override;
  bool IsCustomDrawFooter(TdxTreeListNode* node, int32_t column, int32_t footerIndex) override;
  bool IsCustomDrawHeader(int32_t column) override;
  bool IsCustomDrawPreview() override { return OnCustomDrawPreview.Assigned() || OnCustomDrawPreviewEx.Assigned(); }
  bool IsLevelColorAssigned() override { return OnGetLevelColor.Assigned(); }
  void DoCustomDrawBand(int32_t band, TCanvas* canvas, const TRect& rect, const TRect& clippedRect, std::string& text,
                        TColor& color, TFont* font, TAlignment& alignment, bool& done) override;
  void DoCustomDrawCell(TCanvas* canvas, const TRect& rect, TdxTreeListNode* node, int32_t column, bool selected,
                        bool focused, bool newItemRow, bool entryFlag1, bool entryFlag2, HBRUSH brush,
                        std::string& text, TColor& color, TFont* font, TAlignment& alignment, bool& done) override;
  void DoCustomDrawFooter(TCanvas* canvas, const TRect& rect, TdxTreeListNode* node, int32_t column,
                          int32_t footerIndex, std::string& text, TColor& color, TFont* font, TAlignment& alignment,
                          bool& done) override;
  void DoCustomDrawHeader(int32_t column, TCanvas* canvas, const TRect& rect, const TRect& clippedRect,
                          std::string& text, TColor& color, TFont* font, TAlignment& alignment,
                          TdxTreeListColumnSort& sorted, bool& done) override;
  void DoCustomDrawPreview(TCanvas* canvas, const TRect& rect, TdxTreeListNode* node, bool selected,
                           std::string& text, TColor& color, TColor& textColor, TFont* font, bool& done) override;
  void GetLevelColor(int32_t level, TColor& color) override { OnGetLevelColor(this, level, color); }
  // Lets the column's editor class paint the cell from the column's view data.
  void DrawCellViewData(TCanvas* canvas, const TRect& rect, TdxTreeListCellViewData* viewData,
                        int32_t column) override;

  // ==== New virtual operations, in declaration order
  // The column at `oldIndex` went to `newIndex`: every text node's strings follow.
  virtual void ColumnMoved(int oldIndex, int newIndex);
  virtual void ClearAutoHeaderRows();
  // The automatic header rows when they are on, else the layout refresh.
  virtual void RefreshBands();
  // A column (none: all columns) changed: its default width, row compaction, layout.
  virtual void ColumnChanged(TdxTreeListColumn* column);
  virtual void RefreshLayout();
  virtual void AddSortedColumn(TdxTreeListColumn* column);
  // True unless the column-sorting event refuses.
  virtual bool CanSortByColumn(int index);
  // A header click: with the remove-sort modifier the column leaves the sort; otherwise
  // ascending becomes descending and anything else ascending, and without the
  // add-to-sort modifier every other column leaves the sort.
  virtual void ToggleColumnSort(TdxTreeListColumn* column);
  // The column is about to be sorted: without multi-sort the other columns leave the
  // sort.
  virtual void BeforeColumnSorted(TdxTreeListColumn* column);
  virtual void RemoveSortedColumn(TdxTreeListColumn* column);
  virtual void ColumnSorted(TdxTreeListColumn* column);
  // The column leaves the control: its cell texts leave the nodes, an edit of its cell
  // ends unstored and the editors it bound to itself go with it.
  virtual void RemoveColumn(TdxTreeListColumn* column);
  // BeginUpdate with the sort lock raised; the release of the lock's last level sorts
  // the nodes (SortFinished), then EndUpdate (EndUpdateQuiet when the sort raises).
  virtual void BeginSortedUpdate();
  virtual void EndSortedUpdate();
  // Ends a sorted update left by an exception: no sort, and EndUpdateQuiet.
  void EndSortedUpdateQuiet();
  // The keys of one column's section and of the layout's own section (with the bands'
  // sections); a descendant may add keys of its own.
  virtual void LoadColumnLayout(TdxRegIniWrapper* wrapper, const std::string& section, TdxTreeListColumn* column);
  virtual void LoadLayoutValues(TdxRegIniWrapper* wrapper, const std::string& section);
  virtual void SaveColumnLayout(TdxRegIniWrapper* wrapper, const std::string& section, TdxTreeListColumn* column);
  virtual void SaveLayoutValues(TdxRegIniWrapper* wrapper, const std::string& section);
  virtual void InflateCellRect(const TRect& rect, TRect& result);
  // The column's (none: every column's) width fitted to its texts and header.
  virtual void ApplyBestFit(TdxTreeListColumn* column);
  // Replaces the columns by copies of `source`'s (nothing when `source` is this control).
  virtual void AssignColumns(TCustomdxTreeListControl* source);
  virtual void DestroyColumns();
  // The sorted columns changed: the nodes are sorted by them (every sibling list, by
  // the first sorted column's key, or by all of them with multi-sort). Nothing while
  // loading, being destroyed, clearing, or without a sorted column.
  virtual void SortFinished();

  // ==== Events
  TdxTreeListGetIndexEvent OnGetImageIndex;
  TdxTreeListGetIndexEvent OnGetSelectedIndex;
  TdxTreeListGetIndexEvent OnGetStateIndex;
  TdxTreeListBandEvent OnBandMoved;
  TdxTreeListBandEvent OnHideBand;
  TdxTreeListShowBandEvent OnShowBand;
  TdxTreeListCanBandEvent OnCanBandDragging;
  TdxTreeListCanColumnEvent OnCanHeaderDragging;
  TdxTreeListDragOverBandEvent OnDragOverBand;
  TdxTreeListDragOverHeaderEvent OnDragOverHeader;
  TdxTreeListEndDragBandEvent OnEndDragBand;
  TdxTreeListEndDragHeaderEvent OnEndDragHeader;
  TdxTreeListColumnEvent OnHideHeader;
  TdxTreeListColumnEvent OnHeaderMoved;
  TdxTreeListShowColumnEvent OnShowHeader;
  TdxTreeListCanColumnEvent OnColumnSorting;
  TdxTreeListColumnSortedEvent OnGetColumnSorted;
  TdxTreeListBandEvent OnBandClick;
  TdxTreeListColumnEvent OnColumnClick;
  TNotifyEvent OnChangedColumnsWidth;
  TdxTreeListCustomDrawBandEvent OnCustomDrawBand;
  TdxTLCustomDrawHeader OnCustomDrawColumnHeader;
  TdxTLCustomDrawCell OnCustomDrawCell;
  TdxTLCustomDrawCell OnCustomDrawCellEx;
  TdxTreeListCustomDrawFooterEvent OnCustomDrawFooter;
  TdxTreeListCustomDrawFooterEvent OnCustomDrawFooterNode;
  TdxTreeListCustomDrawPreviewEvent OnCustomDrawPreview;
  TdxTreeListCustomDrawPreviewEvent OnCustomDrawPreviewEx;
  TdxTreeListLevelColorEvent OnGetLevelColor;

  // Registers the published properties of the class (and of the tree list's base).
  static void PublishProperties();

  // Streaming: the columns owned by `root` or by the control.
  void GetChildren(TGetChildProc proc, TComponent* root) override;
  // CM_WININICHANGE also reaches every column (LocaleChanged).
  void Dispatch(TMessage& message) override;

 protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation operation) override;
  void LayoutChanged() override;
  void ClearRows() override;
  void RebuildRows() override;
  void ColumnsChanged() override;
  void BandsChanged() override;
  // Once per control (not while designing): the layout from the registry (Options
  // aoStoreToRegistry, RegistryPath) and the INI file (aoStoreToIniFile, IniFileName).
  void AutoLoadLayout() override;
  void AutoSaveLayout() override;

  // Every column's row into the header rows, and no empty row between a band's rows.
  void CompactRows();

  // The editor of the focused column's class over the focused cell: made and dressed
  // for the cell (the column's editor properties and value) when it edits another cell
  // or none yet, then shown there with the focus.
  bool ShowInplaceEditor(bool noFocus) override;
  // Validated, then written into the edited cell by its column (AssignEditValue).
  void SaveEditorValue(TdxInplaceEdit* editor) override;

 private:
  friend class TdxTreeListColumn;
  friend class TdxTreeListBand;
  friend class TdxTreeListBands;
  friend class TdxTreeListPlacement;

  // `column` binds the events of `editor` to itself.
  void EditorBoundTo(TdxInplaceEdit* editor, TdxTreeListColumn* column) { FEditorColumns[editor] = column; }
  // `column`, of list index `index`, leaves: an edit of its cell ends unstored (its
  // editor hidden), the editors whose events were last bound to it are freed, and the
  // control takes the focus back from an editor that had it.
  void EndEditorsOf(TdxTreeListColumn* column, int index);

  bool IsHeaderPanelRowCountStored() { return !IsOptionsEx25(); }
  // The sorted-column list in the sort positions the columns were loaded with; columns
  // without one follow in their present order.
  void OrderSortedColumnsByLoadedOrder();
  // The column at the focused (visible) position, none without one.
  TdxTreeListColumn* FocusedColumnObject();
  // The edited column's index while a cell is edited, else the focused column's.
  int EditingColumnIndex();
  // Dresses `editor` for the cell of `node` and column `index` and loads its value; false
  // when a handler freed the control on the way.
  bool PrepareEditor(TdxInplaceEdit* editor, TdxTreeListNode* node, int index);
  // IniSectionName, or Name + "_" + formName.
  std::string DefaultLayoutSection(const std::string& formName) const;
  // A node's image index of `field`, through `event`; a changed one stored.
  int GetNodeIndex(TdxTreeListNode* node, int TdxTreeListTextNode::*field, const TdxTreeListGetIndexEvent& event);
  void SetNodeIndex(TdxTreeListNode* node, int TdxTreeListTextNode::*field, int value);
  // A column into a visible band's row at a position, shown; none when there is no
  // such column or band.
  TdxTreeListColumn* PlaceColumn(int32_t column, int32_t band, int32_t row, int32_t position);
  TdxTreeListColumn* ColumnAt(int index) const { return static_cast<TdxTreeListColumn*>(FColumns.Get(index)); }
  // Columns[index], none out of range.
  TdxTreeListColumn* FindColumn(int index) const;
  TdxTreeListBand* VisibleBand(int band) const { return FBands->GetVisibleItem(band); }
  // Bands[band] (an absolute index), none out of range.
  TdxTreeListBand* BandAt(int32_t band) const;
  // A column that is shown in the header: visible, in a visible band.
  bool IsColumnShown(TdxTreeListColumn* column) const;
  // Every column's cached list position forgotten (the list changed).
  void ForgetColumnIndexes();
  // Applies the automatic header rows (1 + the highest stored row of a shown column).
  void ApplyAutoHeaderRows();
  // The default layout ended without a refresh (the band collection, which refreshes
  // after it).
  void EndDefaultLayout() { FDefaultLayout = false; }
  // The placement caches, for the band collection (which reads the band maps and drops
  // the caches).
  TdxTreeListPlacement& GetPlacement() { return FPlacement; }
  // The column a header click or a column edge means (the tree column holds the
  // tree's indent).
  bool IsTreeColumn(TdxTreeListColumn* column);
  int NodeTextWidth(TdxTreeListColumn* column, TdxTreeListNode* node, TCanvas* canvas);
  // The widest NodeTextWidth of `node` and its shown descendants.
  int WidestNodeText(TdxTreeListColumn* column, TdxTreeListNode* node, TCanvas* canvas);

  std::unique_ptr<TdxTreeListBands> FBands;
  int FBandMaxRowCount = 5;
  int FBandRowCount = 1;
  TList FColumns;
  bool FDefaultLayout = true;
  TList FEditors;
  // The column each editor's events were last bound to (as it dressed the editor).
  std::map<const TComponent*, TdxTreeListColumn*> FEditorColumns;
  int FHeaderMinRowCount = 1;
  int FHeaderPanelMaxRowCount = 5;
  int FHeaderPanelRowCount = 1;
  int FSortLock = 0;
  TList FSortedColumns;
  bool FSettingAutoRows = false;
  TdxTreeListPlacement FPlacement{*this};
  int FLayoutLoading = 0;
  std::string FIniFileName;
  std::string FIniSectionName;
  std::string FRegistryPath;
  std::string FRecordedFormName;
  bool FAutoLoadDone = false;
  bool FAutoSaveDone = false;
};

// The calls of the sorted update bracket.
struct TdxTreeListSortedCalls {
  static void Begin(TCustomdxTreeListControl& control) { control.BeginSortedUpdate(); }
  static void End(TCustomdxTreeListControl& control) { control.EndSortedUpdate(); }
  static void EndQuiet(TCustomdxTreeListControl& control) { control.EndSortedUpdateQuiet(); }
};

// The sorted update bracket (BeginSortedUpdate) for the lifetime of the scope; ended by
// an exception, it neither sorts nor fires an event.
using TdxTreeListSortedScope = TUpdateScope<TCustomdxTreeListControl, TdxTreeListSortedCalls>;

// Start-up registers the column classes with the class registry (so that stored forms
// can name them) and the published properties of the tree list, its columns and bands;
// shut-down removes them. Calls are counted.
void InitializeDxTreeListColumns();
void FinalizeDxTreeListColumns();
