// TdxInplaceImageEdit: an editor whose value is one of a fixed list of strings
// (Values), each shown as an image of an image list and, beside it, a description.
// Its text cannot be typed: the value changes through its drop-down list (a
// TdxPopupImageListBox), the navigation keys, a search on the first letters of the
// descriptions and the mouse. A cell paints the image and the description of its value
// from TdxImageEditViewData alone.
//
// Image indexes that are not numbers, and indexes outside the image list, show no
// image; nothing raises for them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classlib/ImageList.h"
#include "classlib/StringList.h"
#include "editors/DxInplaceDropDownEdit.h"
#include "editors/DxPopupListBox.h"

// The image editor's drop-down list: an image and a description per line. The image
// index of a line is the line's object (-2 and other negative numbers: no image).
class TdxPopupImageListBox : public TCustomdxPopupListBox {
  KIVO_CLASS(TdxPopupImageListBox, TCustomdxPopupListBox)
 public:
  explicit TdxPopupImageListBox(TComponent* AOwner);

  TCustomImageList* GetImageList() const { return FImageList; }
  // Watches the list for its destruction and makes the window again.
  void SetImageList(TCustomImageList* value);
  bool GetMultiLine() const { return FMultiLine; }
  void SetMultiLine(bool value) { FMultiLine = value; }

  // The image index a line stores as its object, and back.
  static TObject* ImageIndexObject(int index);
  static int ObjectImageIndex(TObject* object);

 protected:
  void DrawItem(int index, TRect rect, TOwnerDrawState state) override;
  // The font's line, raised to the image height + 2.
  void MeasureItem(int index, int& height) override;
  void Notification(TComponent* AComponent, TOperation operation) override;

 private:
  TCustomImageList* FImageList = nullptr;
  bool FMultiLine = false;
};

class TdxImageEditViewData : public TdxDropDownEditViewData {
  KIVO_CLASS(TdxImageEditViewData, TdxDropDownEditViewData)
 public:
  bool DefaultImages = false;
  // Not owned.
  TStrings* Descriptions = nullptr;
  TStrings* ImageIndexes = nullptr;
  TCustomImageList* Images = nullptr;
  bool ShowDescription = false;
  TStrings* Values = nullptr;

  // Takes the image settings of an image editor or an image column; multi-line text is
  // laid out as word-wrapped lines.
  void SetImageSettings(bool defaultImages, TStrings* descriptions, TStrings* imageIndexes, TCustomImageList* images,
                        bool showDescription, TStrings* values, bool multiLineText);
};

class TdxInplaceImageEdit : public TdxInplaceDropDownEdit {
  KIVO_CLASS(TdxInplaceImageEdit, TdxInplaceDropDownEdit)
 public:
  explicit TdxInplaceImageEdit(TComponent* AOwner);
  ~TdxInplaceImageEdit() override;

  // ---- Class operations
  static bool DrawContent(const TdxInplaceEditClass& cls, HDC dc, const TRect& rect, TdxEditViewData* viewData,
                          bool editorWindow);
  static int GetMinHeight(const TdxInplaceEditClass& cls, TdxEditViewData* viewData);
  static TClass GetViewDataClass(const TdxInplaceEditClass& cls);
  // The entry of `value` in `values` gives the description index (-1 without a
  // description) and the image index: the entry's own index with defaultImages, else
  // the number in `imageIndexes` (-1 when the entry has none or it is not a number).
  // A value that is not in the list gives -1 for both.
  static void GetIndexesByValue(const std::string& value, TStrings* values, TStrings* imageIndexes,
                                TStrings* descriptions, bool defaultImages, int& imageIndex,
                                int& descriptionIndex);

  // ---- Value
  // Sets a different text when the editor may edit and modify, and marks it modified.
  // The change's handler may free the editor: nothing of it is touched after.
  virtual void SetValue(const std::string& value);
  // Values[index], when index is a valid index of Values.
  void SelectByIndex(int index);

  // ---- Overrides
  TdxEditViewData* CreateViewData(bool forPainting) override;
  bool HasTextArea() override { return false; }
  bool CanUndo() override { return true; }
  void DropDown() override;
  void CloseUp(bool accept) override;
  // Steps delta values on from the current one (to the first when it is not in the
  // list), within the list; `wrap` is not used.
  void ScrollValue(int delta, bool wrap) override;
  void Dispatch(TMessage& message) override;

  // ---- Properties
  bool GetDefaultImages() const { return FDefaultImages; }
  void SetDefaultImages(bool value);
  TStringList* GetDescriptions() const { return FDescriptions.get(); }
  void SetDescriptions(TStrings* value);
  TStringList* GetImageIndexes() const { return FImageIndexes.get(); }
  void SetImageIndexes(TStrings* value);
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* value);
  bool GetIncremental() const { return FIncremental; }
  void SetIncremental(bool value) { FIncremental = value; }
  TCustomImageList* GetLargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* value);
  bool GetMultiLineText() const { return FMultiLineText; }
  void SetMultiLineText(bool value);
  bool GetShowDescription() const { return FShowDescription; }
  void SetShowDescription(bool value);
  TStringList* GetValues() const { return FValues.get(); }
  void SetValues(TStrings* value);
  TdxPopupImageListBox* GetPopupListBox() const { return FPopup; }

 protected:
  TdxInplaceImageEdit(TComponent* AOwner, const TdxInplaceEditClass* cls);
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void Notification(TComponent* AComponent, TOperation operation) override;

 private:
  void ImagesChanged(TObject* sender);
  // Swaps the list behind `field`, moving `link` to the new one.
  void ReplaceImages(TCustomImageList*& field, TChangeLink* link, TCustomImageList* value);
  // The index of the first description after the current value's entry that begins
  // with `text`, wrapping round; -1 when there is none.
  int FindDescription(const std::string& text);

  bool FDefaultImages = true;
  std::unique_ptr<TStringList> FDescriptions;
  std::unique_ptr<TChangeLink> FImagesLink;
  std::unique_ptr<TStringList> FImageIndexes;
  TCustomImageList* FImages = nullptr;
  bool FIncremental = false;
  std::unique_ptr<TChangeLink> FLargeImagesLink;
  TCustomImageList* FLargeImages = nullptr;
  bool FMultiLineText = false;
  TdxPopupImageListBox* FPopup = nullptr;
  bool FShowDescription = true;
  std::unique_ptr<TStringList> FValues;
};
