// TGraphic, the abstract image, and TPicture, the holder of any graphic.
//
// A graphic knows its size, whether it is empty or transparent, how to draw itself on
// a canvas and how to read and write its file format. Graphic classes are registered
// with their file extension and description; TPicture picks the class by extension
// when it loads a file, and GraphicFilter/GraphicExtension answer the dialogs' filter
// texts.
#pragma once

#include <string>
#include <string_view>

#include "classlib/Events.h"
#include "classlib/Geometry.h"
#include "classlib/Persistent.h"

class TCanvas;
class TStream;
class TBitmap;
class TIcon;

class TGraphic : public TPersistent {
  KIVO_CLASS(TGraphic, TPersistent)
 public:
  virtual bool GetEmpty() const = 0;
  virtual int GetWidth() const = 0;
  virtual void SetWidth(int value) = 0;
  virtual int GetHeight() const = 0;
  virtual void SetHeight(int value) = 0;
  virtual bool GetTransparent() const { return FTransparent; }
  virtual void SetTransparent(bool value);
  bool GetModified() const { return FModified; }
  void SetModified(bool value);

  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

  TNotifyEvent OnChange;

 protected:
  friend class TCanvas;
  // Draws the graphic into `rect` of the canvas (stretched when sizes differ).
  virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
  // Marks the graphic modified and fires OnChange.
  virtual void Changed(TObject* sender);
  // A graphic that is not empty stores its file format as the binary property "Data".
  void DefineProperties(TFiler& filer) override;

 private:
  void ReadData(std::string_view bytes);
  void WriteData(std::string& bytes);

  bool FTransparent = false;
  bool FModified = false;
};

// A class reference to a graphic class (made through its metaclass's NewInstance).
using TGraphicClass = TClass;
// A new, empty graphic of class `cls`.
TGraphic* NewGraphic(TGraphicClass cls);

class TPicture : public TPersistent {
  KIVO_CLASS(TPicture, TPersistent)
 public:
  TPicture() = default;
  ~TPicture() override;

  // The held graphic (null when empty); SetGraphic stores a copy of `value`.
  TGraphic* GetGraphic() const { return FGraphic; }
  void SetGraphic(TGraphic* value);
  // The graphic as a bitmap; an empty bitmap replaces any other graphic.
  TBitmap* GetBitmap();
  void SetBitmap(TBitmap* value);
  // The graphic as an icon; an empty icon replaces any other graphic.
  TIcon* GetIcon();
  void SetIcon(TIcon* value);
  int GetWidth() const;
  int GetHeight() const;

  // Accepts null (clears), a TPicture or any TGraphic.
  void Assign(TPersistent* source) override;
  // Loads the file with the graphic class registered for its extension.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);

  TNotifyEvent OnChange;

  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 TGraphicClass graphicClass);
  static void UnregisterGraphicClass(TGraphicClass graphicClass);

 protected:
  void AssignTo(TPersistent* dest) override;
  virtual void Changed(TObject* sender);

 private:
  void ForceType(TGraphicClass cls);
  void TakeGraphic(TGraphic* graphic);
  TGraphic* FGraphic = nullptr;
};

// "Description (*.ext)|*.ext" entries of the registered classes that descend from
// `graphicClass`, preceded by "All (...)|..." when there are several.
std::string GraphicFilter(TGraphicClass graphicClass);
// The extension (without ".") registered first for a class descending from `graphicClass`.
std::string GraphicExtension(TGraphicClass graphicClass);
// "*.ext1;*.ext2" of the registered classes that descend from `graphicClass`.
std::string GraphicFileMask(TGraphicClass graphicClass);
