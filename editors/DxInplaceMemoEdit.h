// TdxInplaceMemoEdit: the multi-line text editor. It is the text editor on a multi-line
// RichEdit window with word wrap, scroll bars, Enter and Tab as text, and its lines as
// a string list (TdxMemoStrings) that works on the window directly. In a container the
// vertical navigation keys stay in the text unless the whole text is selected, so that
// the container moves to another cell only then.
#pragma once

#include <memory>
#include <string>

#include "classlib/Controls.h"
#include "classlib/StringList.h"
#include "editors/DxInplaceTextEdit.h"

class TdxInplaceMemoEdit;

// The lines of a memo's window, read and changed with edit-control messages. Reading a
// line reads it whole, however long. Bad indexes raise EListError; text the window
// refuses raises EInvalidOperation ("Text exceeds memo capacity").
class TdxMemoStrings : public TStrings {
  KIVO_CLASS(TdxMemoStrings, TStrings)
 public:
  explicit TdxMemoStrings(TdxInplaceMemoEdit* editor) : FEditor(editor) {}

  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  int GetCount() const override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;

 protected:
  std::string GetTextStr() const override;
  void SetTextStr(const std::string& text) override;
  void SetUpdateState(bool updating) override;

 private:
  HWND Window() const;
  void ReplaceRange(int start, int end, const std::string& s);
  TdxInplaceMemoEdit* FEditor;  // not owned
};

class TdxInplaceMemoEdit : public TdxInplaceTextEdit {
  KIVO_CLASS(TdxInplaceMemoEdit, TdxInplaceTextEdit)
 public:
  explicit TdxInplaceMemoEdit(TComponent* AOwner);
  ~TdxInplaceMemoEdit() override;

  TdxEditViewData* CreateViewData(bool forPainting) override;
  void SelectAll() override;
  bool WantsTab() override { return FWantTabs; }
  bool HasDataLink() override { return false; }

  bool GetHideScrollBars() const { return FHideScrollBars; }
  void SetHideScrollBars(bool value);
  TdxMemoStrings* GetLines() const { return FLines.get(); }
  void SetLines(TStrings* value) { FLines->Assign(value); }
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  bool GetWantReturns() const { return FWantReturns; }
  void SetWantReturns(bool value) { FWantReturns = value; }
  bool GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(bool value) { FWantTabs = value; }

  void Dispatch(TMessage& message) override;

 protected:
  TdxInplaceMemoEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  void CreateParams(TCreateParams& params) override;
  void Loaded() override;
  void KeyDown(WORD& key, TShiftState shift) override;

 private:
  bool WholeTextSelected();
  // Removes the carriage return that TranslateMessage queued for the Enter key, if any.
  void DropPendingReturn();

  bool FHideScrollBars = true;
  std::unique_ptr<TdxMemoStrings> FLines;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FWantReturns = true;
  bool FWantTabs = false;
};
