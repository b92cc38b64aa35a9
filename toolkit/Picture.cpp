#include "toolkit/Picture.h"

#include <algorithm>
#include <mutex>

#include "platform/gfx/PictureFormats.h"
#include "platform/base/AsciiCase.h"
#include "toolkit/Bitmap.h"
#include "toolkit/Icon.h"
#include "toolkit/JPEGImage.h"
#include "toolkit/SysUtils.h"

namespace vm::tk {

namespace {

// The graphic class that reads each kind of the picture-format table.
std::string ClassOf(TPictureKind kind) {
  switch (kind) {
    case TPictureKind::Bmp:
      return "TBitmap";
    case TPictureKind::Ico:
      return "TIcon";
    case TPictureKind::Jpeg:
      return "TJPEGImage";
    case TPictureKind::Unknown:
      break;
  }
  return {};
}

TGraphicFactory FactoryOf(TPictureKind kind) {
  switch (kind) {
    case TPictureKind::Bmp:
      return [] { return std::make_unique<TBitmap>(); };
    case TPictureKind::Ico:
      return [] { return std::make_unique<TIcon>(); };
    case TPictureKind::Jpeg:
      return [] { return std::make_unique<TJPEGImage>(); };
    case TPictureKind::Unknown:
      break;
  }
  return {};
}

// One registry entry for each extension of a table format.
std::vector<TFileFormat> EntriesOf(TPictureKind kind) {
  std::vector<TFileFormat> out;
  if (const TPictureFormat* f = PictureFormatOf(kind))
    for (std::string_view e : f->Extensions)
      out.push_back({std::string(e), std::string(f->Description), ClassOf(kind), FactoryOf(kind)});
  return out;
}

// The registry is process-wide, as the program registers its formats once at
// start for every picture. Bitmaps and icons are there from the start; JPEG
// files when the program asks (RegisterJpegFileFormats).
struct TRegistry {
  std::mutex Lock;
  std::vector<TFileFormat> Formats;
  TRegistry() {
    for (TPictureKind kind : {TPictureKind::Bmp, TPictureKind::Ico})
      for (TFileFormat& f : EntriesOf(kind)) Formats.push_back(std::move(f));
  }
};

TRegistry& Registry() {
  static TRegistry registry;
  return registry;
}

std::string NormalExtension(const std::string& extension) {
  std::string e = extension;
  if (!e.empty() && e[0] == '.') e.erase(0, 1);
  return AsciiLowerCopy(e);
}

}  // namespace

std::string FileExtension(const std::string& fileName) {
  std::size_t slash = fileName.find_last_of("/\\");
  std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  std::size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || dot < start) return "";
  return AsciiLowerCopy(fileName.substr(dot + 1));
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  const std::string& className, TGraphicFactory create) {
  std::string e = NormalExtension(extension);
  if (e.empty() || !create) throw EConvertError("Для формата изображений нужны расширение и класс");
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> hold(r.Lock);
  for (TFileFormat& f : r.Formats) {
    if (f.Extension == e) {
      f = {e, description, className, std::move(create)};
      return;
    }
  }
  r.Formats.push_back({e, description, className, std::move(create)});
}

void TPicture::UnregisterFileFormat(const std::string& extension) {
  std::string e = NormalExtension(extension);
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> hold(r.Lock);
  std::erase_if(r.Formats, [&](const TFileFormat& f) { return f.Extension == e; });
}

std::vector<TFileFormat> TPicture::FileFormats() {
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> hold(r.Lock);
  return r.Formats;
}

std::optional<TFileFormat> TPicture::FindFileFormat(const std::string& fileName) {
  std::string e = FileExtension(fileName);
  TRegistry& r = Registry();
  std::lock_guard<std::mutex> hold(r.Lock);
  for (const TFileFormat& f : r.Formats)
    if (f.Extension == e) return f;
  return std::nullopt;
}

std::string TPicture::GraphicFilter(const std::string& className) {
  std::vector<TFileFormat> formats = FileFormats();
  std::string all, each;
  for (const TFileFormat& f : formats) {
    if (!className.empty() && f.ClassName != className) continue;
    std::string pattern = "*." + f.Extension;
    all += (all.empty() ? "" : ";") + pattern;
    each += "|" + f.Description + " (" + pattern + ")|" + pattern;
  }
  if (all.empty()) return "";
  // The one entry of the toolkit's own wording; the descriptions are the formats'.
  return "Все (" + all + ")|" + all + each;
}

void RegisterJpegFileFormats() {
  for (TFileFormat& f : EntriesOf(TPictureKind::Jpeg))
    TPicture::RegisterFileFormat(f.Extension, f.Description, f.ClassName, std::move(f.Create));
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Attach() {
  if (graphic_) graphic_->OnChange = [this](TGraphic*) { Changed(); };
}

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::TakeGraphic(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  Attach();
  Changed();
}

void TPicture::SetGraphic(const TGraphic* graphic) {
  if (graphic == graphic_.get()) return;
  if (!graphic) {
    TakeGraphic(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> copy;
  if (dynamic_cast<const TJPEGImage*>(graphic))
    copy = std::make_unique<TJPEGImage>();
  else if (dynamic_cast<const TBitmap*>(graphic))
    copy = std::make_unique<TBitmap>();
  else if (dynamic_cast<const TIcon*>(graphic))
    copy = std::make_unique<TIcon>();
  else
    throw EConvertError("Нельзя присвоить " + graphic->ClassName() + " объекту TPicture");
  copy->Assign(*graphic);
  TakeGraphic(std::move(copy));
}

TBitmap& TPicture::Bitmap() {
  if (auto* b = dynamic_cast<TBitmap*>(graphic_.get())) return *b;
  TakeGraphic(std::make_unique<TBitmap>());
  return static_cast<TBitmap&>(*graphic_);
}

void TPicture::LoadFromFile(const std::string& fileName) {
  std::string ext = FileExtension(fileName);
  std::optional<TFileFormat> format = FindFileFormat(fileName);
  if (!format) {
    if (ext.empty())
      throw EInvalidGraphic("Неизвестный формат изображения: у имени файла \"" + fileName +
                            "\" нет расширения");
    throw EInvalidGraphic("Неизвестное расширение файла изображения (." + ext + "): \"" + fileName +
                          "\"");
  }
  std::unique_ptr<TGraphic> graphic = format->Create();
  graphic->LoadFromFile(fileName);
  TakeGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& fileName) {
  if (!graphic_) throw EInvalidGraphicOperation("Нельзя сохранить пустое изображение");
  graphic_->SaveToFile(fileName);
}

void TPicture::Assign(const TPicture& source) {
  if (&source == this) return;
  SetGraphic(source.Graphic());
}

}  // namespace vm::tk
