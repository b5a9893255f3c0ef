// TdxTreeListColumn: one column of a TCustomdxTreeListControl. It describes the header
// (caption, glyph, alignment), the cells (alignment, colour, font, read-only state), its
// place in the banded header (BandIndex, RowIndex, ColIndex), its sizing and sort state,
// and the in-place editor its cells are edited with (a text editor here; the column
// kinds derive from this class and override its virtual operations).
//
// Several settings fall back to a default operation or to the owning control until they
// are set ("assigned"): Alignment, Caption, ReadOnly, Width, Color, Font and MaxLength.
// Only assigned ones are stored. A column is a component owned by its form (or the
// control); the control it belongs to is TreeList, and freeing the column takes it out
// of the control with its cell texts.
//
// Every change reaches the control (ColumnChanged), which recomputes its layout; setting
// Sorted keeps the control's list of sorted columns in step.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Bitmap.h"
#include "classlib/Components.h"
#include "classlib/Controls.h"
#include "classlib/Events.h"
#include "classlib/GraphicsObjects.h"
#include "classlib/Set.h"
#include "classlib/StdCtrls.h"
#include "classlib/Variants.h"
#include "editors/DxEditViewData.h"
#include "editors/DxInplaceEdit.h"
#include "editors/DxInplaceTextEdit.h"
#include "treelist/DxTreeListTypes.h"

class TCanvas;
class TWriter;
class TCustomdxTreeListControl;
class TdxTreeListCellViewData;
class TdxTreeListColumn;

// Which fallback values a column holds itself.
enum TdxTreeListColumnAssignedValue : uint8_t {
  cavAlignment = 0,
  cavCaption = 1,
  cavReadOnly = 2,
  cavWidth = 3,
  cavColor = 4,
  cavFont = 5,
  cavMaxLength = 6,
};
using TdxTreeListColumnAssignedValues = TSet<TdxTreeListColumnAssignedValue>;

// (Sender, ACanvas, ARect, ANode, AColumn, ASelected, AFocused, ANewItemRow, var AText,
// var AColor, AFont, var AAlignment, var ADone).
using TdxTLCustomDrawCell =
    TEvent<TObject* /*Sender*/, TCanvas* /*ACanvas*/, const TRect& /*ARect*/, TdxTreeListNode* /*ANode*/,
           TdxTreeListColumn* /*AColumn*/, bool /*ASelected*/, bool /*AFocused*/, bool /*ANewItemRow*/,
           std::string& /*AText*/, TColor& /*AColor*/, TFont* /*AFont*/, TAlignment& /*AAlignment*/,
           bool& /*ADone*/>;
// (Sender, AColumn, ACanvas, ARect, var AText, var AColor, AFont, var AAlignment,
// var ASorted, var ADone).
using TdxTLCustomDrawHeader =
    TEvent<TObject* /*Sender*/, TdxTreeListColumn* /*AColumn*/, TCanvas* /*ACanvas*/, const TRect& /*ARect*/,
           std::string& /*AText*/, TColor& /*AColor*/, TFont* /*AFont*/, TAlignment& /*AAlignment*/,
           TdxTreeListColumnSort& /*ASorted*/, bool& /*ADone*/>;

class TdxTreeListColumn : public TComponent {
  KIVO_CLASS(TdxTreeListColumn, TComponent)
 public:
  explicit TdxTreeListColumn(TComponent* AOwner);
  // Takes the column's cell texts out of the control's nodes and the column out of the
  // control (unless the control is being destroyed).
  ~TdxTreeListColumn() override;

  // From another column, inside the control's update bracket: RestoreDefaults, then
  // the source's assigned fallback values and its other settings (placement included).
  void Assign(TPersistent* source) override;
  void SetName(const std::string& value) override;
  void ReadState(TReader& reader) override;

  // ==== Virtual operations, in declaration order
  // Stores a text editor's text as the node's text of this column, then reads the
  // node's value back.
  virtual void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value);
  virtual bool HasCustomDrawCell() { return OnCustomDrawCell.Assigned(); }
  // The editor's change and validate handlers: the control's, then the column's event
  // (not while the control is locked).
  virtual void DoChange(TObject* sender);
  virtual void DoCustomDrawCell(TCanvas* aCanvas, const TRect& aRect, TdxTreeListNode* aNode, bool aSelected,
                                bool aFocused, bool aNewItemRow, std::string& aText, TColor& aColor, TFont* aFont,
                                TAlignment& aAlignment, bool& aDone);
  virtual void DoValidate(TObject* sender, std::string& errorText, bool& accept);
  // The font was changed from outside: it is now the column's own.
  virtual void FontChanged(TObject* sender);
  virtual const TdxInplaceEditClass* GetEditorClass();
  virtual std::string GetNodeText(TdxTreeListNode* node);
  virtual bool CanEdit() { return !FDisableEditor; }
  virtual void GetCellCursor(TdxTreeListNode* node, TCursor& cursor) {}
  // The position in the control's column list, -1 without control; while an index
  // override is set (a wrapper column lending its cells), that index.
  virtual int GetIndex();
  virtual int GetMinCellHeight() { return 0; }
  // The view data the column's cells are painted from, made from the editor class.
  virtual TdxEditViewData* GetViewData();
  virtual void InitEditProperties(TdxInplaceEdit* editor);
  // The editor class and view data the cell of `node` is painted with: the column's own
  // (a wrapper column answers its node's reference column's).
  virtual const TdxInplaceEditClass* GetCellEditorClass(TdxTreeListNode* node) { return GetEditorClass(); }
  virtual TdxEditViewData* GetCellViewData(TdxTreeListNode* node) { return GetViewData(); }
  virtual void LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value);
  // Whether a cell of this column is hot for the control's hot tracking, when the
  // control's own answer is no.
  virtual bool CellOptionQuery(TdxTreeListNode* node, TdxTreeListHitTest hitTest) { return false; }
  virtual bool CanSort();
  virtual bool EditorKindQuery() { return false; }
  virtual bool ButtonQuery(bool defaultValue) { return false; }
  // Fills the view data of one cell from the painter's cell information.
  virtual void PrepareViewData(TdxEditViewData* viewData, TdxTreeListCellViewData* cellInfo);
  // Moves the column in the control's list (the cell texts move with it).
  virtual void SetIndex(int newIndex);
  virtual int DefaultExtra() { return 0; }
  virtual TAlignment DefaultAlignment() { return taLeftJustify; }
  virtual std::string DefaultCaption() { return std::string(); }
  virtual int DefaultMaxLength() { return 0; }
  virtual bool DefaultReadOnly() { return false; }
  virtual int DefaultWidth() { return 100; }
  virtual int GetNodeTextWidth(TCanvas* canvas, TdxTreeListNode* node);
  virtual void GetDisplayText(TdxTreeListNode* node, const std::string& text, std::string& result) {
    result = text;
  }
  // Every setting back to its default: nothing assigned.
  virtual void RestoreDefaults();
  // The user's locale settings changed (the control heard CM_WININICHANGE).
  virtual void LocaleChanged() {}

  // ==== The control
  TCustomdxTreeListControl* GetTreeList() const { return FTreeList; }
  // Leaves the old control and joins the new one (appended to its columns).
  void SetTreeList(TCustomdxTreeListControl* value);

  // ==== Properties
  TAlignment GetAlignment();
  void SetAlignment(TAlignment value);
  std::string GetCaption();
  void SetCaption(const std::string& value);
  TEditCharCase GetCharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  TColor GetColor();
  void SetColor(TColor value);
  bool GetDisableCaption() const { return FDisableCaption; }
  void SetDisableCaption(bool value);
  bool GetDisableCustomizing() const { return FDisableCustomizing; }
  void SetDisableCustomizing(bool value);
  bool GetDisableDragging() const { return FDisableDragging; }
  void SetDisableDragging(bool value) { FDisableDragging = value; }
  bool GetDisableEditor() const { return FDisableEditor; }
  void SetDisableEditor(bool value) { FDisableEditor = value; }
  // Made on first read; a copy of the control's font while not assigned.
  TFont* GetFont();
  void SetFont(TFont* value);
  TAlignment GetHeaderAlignment() const { return FHeaderAlignment; }
  void SetHeaderAlignment(TAlignment value);
  // Made on first read.
  TBitmap* GetHeaderGlyph();
  // Nil frees the glyph; another bitmap is copied.
  void SetHeaderGlyph(TBitmap* value);
  // Whether the column shows a header glyph.
  bool HasHeaderGlyph() const { return FHeaderGlyph && !FHeaderGlyph->GetEmpty(); }
  int GetMaxLength();
  void SetMaxLength(int value);
  int GetMinWidth() const { return FMinWidth; }
  void SetMinWidth(int value);
  bool GetOEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool value);
  char GetPasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char value);
  // Also true while the control is read-only.
  bool GetReadOnly();
  void SetReadOnly(bool value);
  bool GetSizing() const { return FSizing; }
  void SetSizing(bool value);
  TdxTreeListColumnSort GetSorted() const { return FSorted; }
  void SetSorted(TdxTreeListColumnSort value);
  bool GetTabStop() const { return FTabStop; }
  void SetTabStop(bool value) { FTabStop = value; }
  TTextLayout GetVertAlignment() const { return FVertAlignment; }
  void SetVertAlignment(TTextLayout value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);
  int GetWidth();
  void SetWidth(int value);
  // -1: in no band. Clamped to -1 .. band count - 1 with a control.
  int GetBandIndex() const { return FBandIndex; }
  void SetBandIndex(int value);
  // The header row: the stored row, limited to the control's header rows.
  int GetRowIndex();
  void SetRowIndex(int value);
  // The position among the visible columns of the same band and row (-1 without control).
  int GetColIndex();
  void SetColIndex(int value);
  int GetHeaderMaxLineCount() const { return FHeaderMaxLineCount; }
  void SetHeaderMaxLineCount(int value);
  // The row as stored, kept while the control has fewer header rows.
  int GetStoredRowIndex() const { return FStoredRowIndex; }
  bool GetSortingDisabled() const { return FSortingDisabled; }
  void SetSortingDisabled(bool value);
  // The position in the control's sort order read from a stored form (-1: none).
  int GetLoadedSortedOrder() const { return FLoadedSortedOrder; }
  TdxTreeListColumnAssignedValues GetAssignedValues() const { return FAssigned; }
  // The index the column works on instead of its own (-1: none); a wrapper column sets
  // it while this column converts the wrapper's cells.
  int GetIndexOverride() const { return FIndexOverride; }
  void SetIndexOverride(int value) { FIndexOverride = value; }
  bool IsFontAssigned() const { return FAssigned.Contains(cavFont); }

  // Registers the published properties (streaming names and defaults) of the class.
  static void PublishProperties();

  // Internal notification fired after SetName.
  TNotifyEvent OnNameChanged;
  TNotifyEvent OnChange;
  TdxTLCustomDrawCell OnCustomDrawCell;
  TdxTLCustomDrawHeader OnCustomDrawColumnHeader;
  TdxEditValidateEvent OnValidate;

 protected:
  void DefineProperties(TFiler& filer) override;
  // The control's focused node (the node an editor works on); none without a control.
  TdxTreeListNode* FocusedNode() const;
  // Tells the control: with `allItems`, that all columns changed.
  void Changed(bool allItems);
  // Stores a changed setting and tells the control.
  template <class T>
  void Store(T& field, T value, bool allItems) {
    if (value == field)
      return;
    field = value;
    Changed(allItems);
  }
  // Stores a fallback setting and marks it assigned; nothing when it is assigned with
  // that value already.
  template <class T>
  void StoreAssigned(T& field, T value, TdxTreeListColumnAssignedValue bit, bool allItems) {
    if (FAssigned.Contains(bit) && value == field)
      return;
    field = value;
    FAssigned.Include(bit);
    Changed(allItems);
  }

 private:
  friend class TCustomdxTreeListControl;
  friend class TdxTreeListBand;
  friend class TdxTreeListPlacement;

  // Used by the control: the cached list position (set by its placement part when the
  // caches are built, forgotten whenever the column list changes), and a row written
  // without a notification (row compaction).
  void SetCachedIndex(int value) { FCachedIndex = value; }
  void MoveToRow(int row) { FRowIndex = FStoredRowIndex = row; }
  void WriteBandIndex(int value) { FBandIndex = value; }
  // The fallback values' stored predicates.
  bool IsAlignmentStored() { return FAssigned.Contains(cavAlignment); }
  bool IsCaptionStored() { return FAssigned.Contains(cavCaption) && GetCaption() != DefaultCaption(); }
  bool IsColorStored();
  bool IsFontStored() { return FAssigned.Contains(cavFont); }
  bool IsMaxLengthStored() { return FAssigned.Contains(cavMaxLength) && GetMaxLength() != DefaultMaxLength(); }
  bool IsReadOnlyStored() { return FAssigned.Contains(cavReadOnly) && FReadOnly != DefaultReadOnly(); }
  bool IsWidthStored() { return FAssigned.Contains(cavWidth); }
  bool IsHeaderGlyphStored() { return HasHeaderGlyph(); }
  bool IsSortedOrderStored();
  void ReadSortedOrder(TReader& reader);
  void WriteSortedOrder(TWriter& writer);
  void ReadStoredRowIndex(TReader& reader);
  void WriteStoredRowIndex(TWriter& writer);
  // The control's font copied into the column's (without its change notification)
  // while the column's is not assigned.
  void SyncFont();
  void ApplyDefaultWidth();

  TCustomdxTreeListControl* FTreeList = nullptr;
  TAlignment FAlignment = taLeftJustify;
  std::string FCaption;
  TEditCharCase FCharCase = ecNormal;
  TColor FColor = clWindow;
  bool FDisableCaption = false;
  bool FDisableCustomizing = false;
  bool FDisableEditor = false;
  bool FDisableDragging = false;
  TFont* FFont = nullptr;
  TAlignment FHeaderAlignment = taLeftJustify;
  TBitmap* FHeaderGlyph = nullptr;
  int FMaxLength = 0;
  int FMinWidth = 20;
  bool FOEMConvert = false;
  char FPasswordChar = 0;
  bool FReadOnly = false;
  int FLoadedSortedOrder = -1;
  bool FSizing = true;
  bool FTabStop = true;
  TTextLayout FVertAlignment = tlTop;
  bool FVisible = true;
  int FWidth = 100;
  TdxTreeListColumnAssignedValues FAssigned;
  int FBandIndex = 0;
  int FRowIndex = 0;
  int FHeaderMaxLineCount = 1;
  int FStoredRowIndex = 0;
  TdxEditViewData* FViewData = nullptr;
  bool FSortingDisabled = false;
  TdxTreeListColumnSort FSorted = csNone;
  int FCachedIndex = -1;
  int FIndexOverride = -1;
};

// The node's value of the column's cell as the control answers it (the cell's text
// without a control): what AssignEditValue hands back.
void ReadNodeValue(TdxTreeListColumn* column, TdxTreeListNode* node, Variant& value);
// Stores `text` as the node's text of the column and reads the node's value back; false,
// and nothing read, when a handler told of the node's change (its texts' OnChanging or
// OnChange) freed the node or the column.
bool StoreNodeText(TdxTreeListColumn* column, TdxTreeListNode* node, const std::string& text, Variant& value);

// A class reference to a column class (made through its metaclass with an owner).
using TdxTreeListColumnClass = const TComponentClass*;
