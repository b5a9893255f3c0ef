// The tree list's editor classes of the base library and its mask column.
//
// Each editor class derives from the library editor of the same kind and adds nothing:
// the distinct class lets the tree list tell its editors apart (the text editor class,
// TdxInplaceTreeListTextEdit, is declared in DxTreeListEditController.h).
// TdxTreeListMaskColumn is a column whose cells are edited through an edit mask.
#pragma once

#include <string>

#include "editors/DxInplaceMaskEdit.h"
#include "treelist/DxTreeListColumn.h"

class TdxInplaceTreeListMaskEdit : public TdxInplaceMaskEdit {
  KIVO_CLASS(TdxInplaceTreeListMaskEdit, TdxInplaceMaskEdit)
 public:
  explicit TdxInplaceTreeListMaskEdit(TComponent* AOwner) : TdxInplaceMaskEdit(AOwner, &MetaClass()) {}
};

class TdxTreeListMaskColumn : public TdxTreeListColumn {
  KIVO_CLASS(TdxTreeListMaskColumn, TdxTreeListColumn)
 public:
  explicit TdxTreeListMaskColumn(TComponent* AOwner) : TdxTreeListColumn(AOwner) {}

  // From another mask column: the column's settings and EditMask (IgnoreMaskBlank keeps
  // its value).
  void Assign(TPersistent* source) override;
  // A mask editor's text as it stores it: with IgnoreMaskBlank, without blanks.
  void AssignEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  const TdxInplaceEditClass* GetEditorClass() override { return &TdxInplaceTreeListMaskEdit::MetaClass(); }
  // The column's editor properties, then the mask and IgnoreMaskBlank for a mask editor.
  void InitEditProperties(TdxInplaceEdit* editor) override;
  // The node's text laid into the mask editor's mask (also before the editor has its
  // window), so that typing finds the mask's positions.
  void LoadEditValue(TdxTreeListNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void RestoreDefaults() override;
  static void PublishProperties();

  const std::string& GetEditMask() const { return FEditMask; }
  void SetEditMask(const std::string& value) { FEditMask = value; }
  // Blanks are not stored: a wholly blank value is accepted as no value, and the
  // blanks of unfilled optional positions are left out (see TdxInplaceMaskEdit).
  bool GetIgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool value) { FIgnoreMaskBlank = value; }

 private:
  std::string FEditMask;
  bool FIgnoreMaskBlank = false;
};
