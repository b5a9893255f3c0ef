#include "classlib/Graphic.h"

#include <memory>
#include <vector>

#include "classlib/Bitmap.h"
#include "classlib/Exceptions.h"
#include "classlib/Filer.h"
#include "classlib/Icon.h"
#include "classlib/MemoryStreams.h"
#include "classlib/Streams.h"
#include "classlib/Strings.h"

// ---- TGraphic -----------------------------------------------------------------------

void TGraphic::SetTransparent(bool value) {
  if (value == FTransparent)
    return;
  FTransparent = value;
  Changed(this);
}

void TGraphic::SetModified(bool value) {
  if (value)
    Changed(this);
  else
    FModified = false;
}

void TGraphic::Changed(TObject*) {
  FModified = true;
  OnChange(this);
}

void TGraphic::DefineProperties(TFiler& filer) {
  inherited::DefineProperties(filer);
  filer.DefineBinaryProperty("Data", TBinaryReadProc::Bind<&TGraphic::ReadData>(this),
                             TBinaryWriteProc::Bind<&TGraphic::WriteData>(this), !GetEmpty());
}

void TGraphic::ReadData(std::string_view bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
  stream.SetPosition(0);
  LoadFromStream(stream);
}

void TGraphic::WriteData(std::string& bytes) {
  TMemoryStream stream;
  SaveToStream(stream);
  bytes.append(static_cast<const char*>(stream.GetMemory()), static_cast<size_t>(stream.GetSize()));
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(stream);
}

TGraphic* NewGraphic(TGraphicClass cls) {
  if (!cls || !cls->InheritsFrom(TGraphic::StaticClass()))
    throw EInvalidGraphic("Not a graphic class");
  return static_cast<TGraphic*>(cls->NewInstance());
}

// ---- Registered file formats --------------------------------------------------------

namespace {

struct TFileFormat {
  std::string Extension;
  std::string Description;
  TGraphicClass GraphicClass;
};

std::vector<TFileFormat>& FileFormats() {
  static std::vector<TFileFormat> formats = {
      {"bmp", "Bitmaps", TBitmap::StaticClass()},
      {"ico", "Icons", TIcon::StaticClass()},
  };
  return formats;
}

std::string ExtensionOf(const std::string& fileName) {
  const size_t dot = fileName.find_last_of('.');
  const size_t slash = fileName.find_last_of("\\/:");
  if (dot == std::string::npos || (slash != std::string::npos && slash > dot))
    return "";
  return LowerCase(fileName.substr(dot + 1));
}

}  // namespace

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicClass graphicClass) {
  FileFormats().insert(FileFormats().begin(), TFileFormat{LowerCase(extension), description, graphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphicClass) {
  auto& formats = FileFormats();
  std::erase_if(formats, [&](const TFileFormat& f) { return f.GraphicClass->InheritsFrom(graphicClass); });
}

std::string GraphicFileMask(TGraphicClass graphicClass) {
  std::string mask;
  for (const TFileFormat& f : FileFormats()) {
    if (!f.GraphicClass->InheritsFrom(graphicClass))
      continue;
    if (!mask.empty())
      mask += ';';
    mask += "*." + f.Extension;
  }
  return mask;
}

std::string GraphicFilter(TGraphicClass graphicClass) {
  std::string entries;
  int count = 0;
  for (const TFileFormat& f : FileFormats()) {
    if (!f.GraphicClass->InheritsFrom(graphicClass))
      continue;
    entries += "|" + f.Description + " (*." + f.Extension + ")|*." + f.Extension;
    ++count;
  }
  if (count == 0)
    return "";
  if (count == 1)
    return entries.substr(1);
  const std::string all = GraphicFileMask(graphicClass);
  return "All (" + all + ")|" + all + entries;
}

std::string GraphicExtension(TGraphicClass graphicClass) {
  for (const TFileFormat& f : FileFormats())
    if (f.GraphicClass->InheritsFrom(graphicClass))
      return f.Extension;
  return "";
}

// ---- TPicture -----------------------------------------------------------------------

TPicture::~TPicture() { delete FGraphic; }

void TPicture::TakeGraphic(TGraphic* graphic) {
  TGraphic* old = FGraphic;
  FGraphic = graphic;
  if (FGraphic)
    FGraphic->OnChange = TNotifyEvent::Bind<&TPicture::Changed>(this);
  delete old;
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* value) {
  if (value == FGraphic)
    return;
  if (!value) {
    TakeGraphic(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> copy(NewGraphic(value->ClassType()));
  copy->Assign(value);
  TakeGraphic(copy.release());
}

void TPicture::ForceType(TGraphicClass cls) {
  if (FGraphic && FGraphic->InheritsFrom(cls))
    return;
  TakeGraphic(NewGraphic(cls));
}

TBitmap* TPicture::GetBitmap() {
  ForceType(TBitmap::StaticClass());
  return static_cast<TBitmap*>(FGraphic);
}

void TPicture::SetBitmap(TBitmap* value) { SetGraphic(value); }

TIcon* TPicture::GetIcon() {
  ForceType(TIcon::StaticClass());
  return static_cast<TIcon*>(FGraphic);
}

void TPicture::SetIcon(TIcon* value) { SetGraphic(value); }

int TPicture::GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }

int TPicture::GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

void TPicture::Assign(TPersistent* source) {
  if (!source) {
    SetGraphic(nullptr);
    return;
  }
  if (auto* picture = ObjectAs<TPicture>(source)) {
    SetGraphic(picture->FGraphic);
    return;
  }
  if (auto* graphic = ObjectAs<TGraphic>(source)) {
    SetGraphic(graphic);
    return;
  }
  inherited::Assign(source);
}

void TPicture::AssignTo(TPersistent* dest) {
  if (FGraphic && dest && dest->InheritsFrom(FGraphic->ClassType())) {
    dest->Assign(FGraphic);
    return;
  }
  inherited::AssignTo(dest);
}

void TPicture::LoadFromFile(const std::string& fileName) {
  const std::string extension = ExtensionOf(fileName);
  for (const TFileFormat& f : FileFormats()) {
    if (f.Extension != extension)
      continue;
    std::unique_ptr<TGraphic> graphic(NewGraphic(f.GraphicClass));
    graphic->LoadFromFile(fileName);
    TakeGraphic(graphic.release());
    return;
  }
  throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", extension.c_str()));
}

void TPicture::SaveToFile(const std::string& fileName) {
  if (FGraphic)
    FGraphic->SaveToFile(fileName);
}

void TPicture::Changed(TObject*) { OnChange(this); }
