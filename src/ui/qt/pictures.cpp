#include "ui/qt/pictures.h"

#include <QApplication>
#include <QBuffer>
#include <QImageReader>
#include <QStyle>
#include <optional>
#include <regex>

#include "store/icon_reader.h"
#include "ui/form.h"

namespace korvanta::ui::qt {
namespace fs = std::filesystem;
namespace {

QStyle::StandardPixmap StandardIcon(ui::MessageIcon icon) {
  switch (icon) {
    case ui::MessageIcon::kCritical:
      return QStyle::SP_MessageBoxCritical;
    case ui::MessageIcon::kExclamation:
      return QStyle::SP_MessageBoxWarning;
    case ui::MessageIcon::kQuestion:
      return QStyle::SP_MessageBoxQuestion;
    case ui::MessageIcon::kInformation:
    case ui::MessageIcon::kNone:
      break;
  }
  return QStyle::SP_MessageBoxInformation;
}

}  // namespace

Pictures::Pictures(std::vector<fs::path> folders, const store::MachineFiles* machine)
    : folders_(std::move(folders)), machine_(machine) {}

QPixmap Pictures::MachineIcon(const store::MachineFiles& machine, std::string_view file,
                              int index) {
  std::optional<std::string> bytes = machine.ReadIconFile(file);
  std::optional<std::string> ico = bytes ? store::IconAt(*bytes, index) : std::nullopt;
  return ico ? NearestTo32(*ico) : QPixmap();
}

QPixmap Pictures::NearestTo32(const std::string& ico) {
  QByteArray bytes(ico.data(), static_cast<qsizetype>(ico.size()));
  QBuffer buffer(&bytes);
  QImageReader reader(&buffer, "ico");
  QImage best;
  for (int i = 0; i < std::max(1, reader.imageCount()); ++i) {
    if (i > 0 && !reader.jumpToImage(i)) break;
    QImage image = reader.read();
    if (image.isNull()) break;
    auto distance = [](const QImage& x) { return std::abs(x.width() - 32); };
    if (best.isNull() || distance(image) < distance(best) ||
        (distance(image) == distance(best) && image.depth() > best.depth())) {
      best = image;
    }
  }
  return best.isNull() ? QPixmap() : QPixmap::fromImage(best);
}

QPixmap Pictures::Resource(const std::string& name) {
  auto cached = cache_.find(name);
  if (cached != cache_.end()) return cached->second;
  QPixmap pixmap;
  if (std::optional<ui::MessageIcon> icon = ui::MessageIconOfResource(name)) {
    pixmap = QApplication::style()->standardIcon(StandardIcon(*icon)).pixmap(32, 32);
  } else {
    for (const fs::path& folder : folders_) {
      for (const char* extension : {".png", ".bmp", ".jpg"}) {
        fs::path file = folder / (name + extension);
        if (pixmap.load(QString::fromStdString(file.string()))) break;
      }
      if (!pixmap.isNull()) break;
    }
  }
  cache_[name] = pixmap;
  return pixmap;
}

QPixmap Pictures::Load(const ui::Picture& picture) {
  switch (picture.type) {
    case ui::Picture::Type::kNone:
      return {};
    case ui::Picture::Type::kResource:
      return Resource(picture.source);
    case ui::Picture::Type::kIcon:
      return machine_ ? MachineIcon(*machine_, picture.source, picture.icon_index) : QPixmap();
    case ui::Picture::Type::kFile: {
      std::optional<std::string> bytes = machine_ ? machine_->Read(picture.source) : std::nullopt;
      QPixmap image;
      if (bytes)
        image.loadFromData(reinterpret_cast<const uchar*>(bytes->data()),
                           static_cast<uint>(bytes->size()));
      return image;
    }
  }
  return {};
}

QIcon Pictures::WindowIcon(const std::string& name) {
  auto cached = icons_.find(name);
  if (cached != icons_.end()) return cached->second;
  QIcon& icon = icons_[name];
  const std::regex sized(name + "-([0-9]+)\\.png");
  for (const fs::path& folder : folders_) {
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
      if (std::regex_match(e.path().filename().string(), sized)) {
        icon.addFile(QString::fromStdString(e.path().string()));
      }
    }
    if (!icon.isNull()) return icon;
  }
  QPixmap single = Resource(name);
  if (!single.isNull()) icon.addPixmap(single);
  return icon;
}

}  // namespace korvanta::ui::qt
