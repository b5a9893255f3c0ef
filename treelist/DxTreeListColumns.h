// What the column kinds of the tree list share. There is one column class per in-place
// editor kind (memo, drop-down, date, button, check, image, spin, pick, MRU, calculator,
// hyperlink, time, currency, graphic and blob), and the wrapper column that lends each
// cell to another column chosen per node; they live by family in their own files (text,
// drop-down, check, picture and wrapper columns). This file holds their editor classes,
// the types and events they share and the helpers of their conversions.
//
// A kind pairs the column with its editor class (TdxInplaceTreeList<Kind>Edit, derived
// from the library editor of that kind and adding nothing, so that the tree list can tell
// its editors apart). It copies its own settings into the editor when the tree list
// dresses it (InitEditProperties) and into the view data a cell is painted from
// (PrepareViewData), and converts between the node's stored text and the editor's value
// (LoadEditValue, AssignEditValue). Node values stay texts.
//
// An editor that was not modified stores nothing: visiting a cell leaves its text as it
// was, whatever the kind's conversion would make of it.
//
// Start-up (InitializeDxTreeListColumnKinds) registers fifteen of the classes (all but
// the drop-down column) with the class registry so that stored forms can name them.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/Graphic.h"
#include "editors/DxInplaceBlobEdit.h"
#include "editors/DxInplaceButtonEdit.h"
#include "editors/DxInplaceCalcEdit.h"
#include "editors/DxInplaceCheckEdit.h"
#include "editors/DxInplaceCurrencyEdit.h"
#include "editors/DxInplaceDateEdit.h"
#include "editors/DxInplaceDropDownEdit.h"
#include "editors/DxInplaceGraphicEdit.h"
#include "editors/DxInplaceHyperLinkEdit.h"
#include "editors/DxInplaceImageEdit.h"
#include "editors/DxInplaceMRUEdit.h"
#include "editors/DxInplaceMemoEdit.h"
#include "editors/DxInplacePickEdit.h"
#include "editors/DxInplaceSpinEdit.h"
#include "editors/DxInplaceTimeEdit.h"
#include "treelist/DxTreeListColumn.h"

// ==== The tree list's editor classes of the column kinds

#define DX_TREELIST_EDIT(Kind)                                                             \
  class TdxInplaceTreeList##Kind##Edit : public TdxInplace##Kind##Edit {                  \
    KIVO_CLASS(TdxInplaceTreeList##Kind##Edit, TdxInplace##Kind##Edit)                     \
   public:                                                                                 \
    explicit TdxInplaceTreeList##Kind##Edit(TComponent* AOwner)                            \
        : TdxInplace##Kind##Edit(AOwner, &MetaClass()) {}                                  \
  };
DX_TREELIST_EDIT(Memo)
DX_TREELIST_EDIT(DropDown)
DX_TREELIST_EDIT(Date)
DX_TREELIST_EDIT(Button)
DX_TREELIST_EDIT(Check)
DX_TREELIST_EDIT(Image)
DX_TREELIST_EDIT(Spin)
DX_TREELIST_EDIT(Pick)
DX_TREELIST_EDIT(Calc)
DX_TREELIST_EDIT(HyperLink)
DX_TREELIST_EDIT(Time)
DX_TREELIST_EDIT(Currency)
DX_TREELIST_EDIT(Graphic)
DX_TREELIST_EDIT(MRU)
DX_TREELIST_EDIT(Blob)
#undef DX_TREELIST_EDIT

// ==== Shared types

// When a cell shows its edit button: for the focused node only, always, or never.
enum class TdxShowButtonStyle : uint8_t { sbDefault, sbAlways, sbNone };
// The first button of a button column: none, or one of the given kind.
enum TdxEditButtonStyle : uint8_t { ebsSimple, ebsEllipsis, ebsDown, ebsGlyph };

// (Sender, const Text, State): a check cell was toggled.
using TdxToggleEvent = TEvent<TObject* /*Sender*/, const std::string& /*Text*/, TdxCheckBoxState /*State*/>;
// (Sender, var Value, var Accept).
using TdxTLPickColumnCloseUp = TEvent<TObject* /*Sender*/, Variant& /*Value*/, bool& /*Accept*/>;
using TdxTLImageColumnCloseUp = TEvent<TObject* /*Sender*/, std::string& /*Value*/, bool& /*Accept*/>;
// (Sender: the column, Node, var GraphicClass).
using TdxTLGetGraphicClassEvent =
    TEvent<TObject* /*Sender*/, TdxTreeListNode* /*Node*/, TGraphicClass& /*GraphicClass*/>;
// (Sender, Node, var Column): the column a wrapper column's cell is handed to.
using TdxTLGetReferenceColumnEvent =
    TEvent<TObject* /*Sender*/, TdxTreeListNode* /*Node*/, TdxTreeListColumn*& /*Column*/>;

// Whether an editor's value is to be stored: it was modified. A cell only visited keeps
// its text, also where the kind's conversion would rewrite it.
inline bool IsEditValueChanged(TdxInplaceEdit* editor) { return editor && editor->GetModified(); }

// Whether the cell of `node` shows its edit button, by the column's style.
bool ShowCellButton(TdxTreeListColumn* column, TdxShowButtonStyle style, TdxTreeListNode* node);
// The ButtonQuery answer of a column with that style: no button for a disabled editor or
// sbNone, one for sbAlways, else `defaultValue`.
bool CellButtonQuery(TdxTreeListColumn* column, TdxShowButtonStyle style, bool defaultValue);
// A modified editor's text stored as the base column stores it; an unmodified editor
// stores nothing and the node's value is read back.
void AssignChangedEditValue(TdxTreeListColumn* column, TdxTreeListNode* node, TdxInplaceEdit* editor,
                            Variant& value);

// Keeps an editor's modified flag over a load of its value: the flag it had is given
// back however the load ends.
class TKeepModified {
 public:
  explicit TKeepModified(TdxInplaceEdit* editor) : FEditor(editor), FModified(editor->GetModified()) {}
  ~TKeepModified() { FEditor->SetModified(FModified); }
  TKeepModified(const TKeepModified&) = delete;
  TKeepModified& operator=(const TKeepModified&) = delete;

 private:
  TdxInplaceEdit* FEditor;
  const bool FModified;
};

// Start-up and shut-down of the column kinds: the check column's default values and
// the registration of the classes and their published properties. Calls are counted.
void InitializeDxTreeListColumnKinds();
void FinalizeDxTreeListColumnKinds();
