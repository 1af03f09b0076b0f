#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSoundEffect>
#include <QUrl>

#include <algorithm>
#include <cstring>

#include "internal.h"

namespace fw {
namespace detail {


namespace {

std::uint32_t Le32(const unsigned char* u) {
  return u[0] | (u[1] << 8) | (u[2] << 16) | (static_cast<std::uint32_t>(u[3]) << 24);
}
std::uint16_t Le16(const unsigned char* u) { return static_cast<std::uint16_t>(u[0] | (u[1] << 8)); }

// Reads exactly n bytes into a fixed buffer: a chunk size in the file is
// never trusted as an allocation size.
bool ReadExactly(QFile& file, unsigned char* into, qint64 n) {
  return file.read(reinterpret_cast<char*>(into), n) == n;
}

// Only what the player can really decode counts as a sound: RIFF/WAVE with
// integer PCM of 8, 16, 24 or 32 bits and some data.
bool IsPlayableWave(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  unsigned char head[12];
  if (!ReadExactly(file, head, 12) || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "WAVE", 4) != 0)
    return false;
  bool formatOk = false;
  for (int chunks = 0; chunks < 64; ++chunks) {
    unsigned char header[8];
    if (!ReadExactly(file, header, 8)) return false;
    const std::uint32_t size = Le32(header + 4);
    const qint64 next = file.pos() + qint64{size} + qint64{size % 2};
    if (std::memcmp(header, "fmt ", 4) == 0) {
      unsigned char fmt[16];
      if (size < 16 || !ReadExactly(file, fmt, 16)) return false;
      const std::uint16_t tag = Le16(fmt);
      const std::uint16_t channels = Le16(fmt + 2);
      const std::uint32_t rate = Le32(fmt + 4);
      const std::uint16_t bits = Le16(fmt + 14);
      formatOk = tag == 1 && channels > 0 && rate > 0 &&
                 (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    } else if (std::memcmp(header, "data", 4) == 0) {
      return formatOk && size > 0;
    }
    if (next > file.size() || !file.seek(next)) return false;
  }
  return false;
}

}  // namespace
}  // namespace detail

FolderItem::FolderItem(std::string path) : path_(std::move(path)) {}

bool FolderItem::Exists() const { return QFileInfo::exists(detail::ToQ(path_)); }
bool FolderItem::IsFolder() const { return QFileInfo(detail::ToQ(path_)).isDir(); }

std::string FolderItem::Name() const { return QFileInfo(detail::ToQ(path_)).fileName().toStdString(); }

FolderItemPtr FolderItem::Parent() const {
  const QString clean = QDir::cleanPath(QFileInfo(detail::ToQ(path_)).absoluteFilePath());
  if (clean == QLatin1String("/") || clean.isEmpty()) return nullptr;
  const QString parent = QFileInfo(clean).path();
  return std::make_shared<FolderItem>(parent.toStdString());
}

FolderItemPtr FolderItem::Child(std::string_view name) const {
  return std::make_shared<FolderItem>(
      QDir(detail::ToQ(path_)).filePath(detail::ToQ(name)).toStdString());
}

PicturePtr FolderItem::OpenAsPicture() const {
  QImageReader reader(detail::ToQ(path_));
  reader.setDecideFormatFromContent(true);
  const QByteArray format = reader.format();
  if (format != "png" && format != "jpeg" && format != "jpg") return nullptr;
  QImage image = reader.read();
  if (image.isNull()) return nullptr;
  auto data = std::make_unique<detail::PictureData>();
  data->image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  return std::make_shared<const Picture>(std::move(data));
}

SoundPtr FolderItem::OpenAsSound() const {
  if (!QFileInfo(detail::ToQ(path_)).isFile() || !detail::IsPlayableWave(detail::ToQ(path_)))
    return nullptr;
  return std::make_shared<Sound>(path_);
}

Sound::Sound(std::string path) : path_(std::move(path)), data_(std::make_unique<detail::SoundData>()) {
  data_->effect = std::make_unique<QSoundEffect>();
  data_->effect->setSource(QUrl::fromLocalFile(detail::ToQ(path_)));
}

Sound::~Sound() {
  if (data_->effect) data_->effect->stop();
}

void Sound::Play() {
  ++data_->plays;
  // Without an audio device the effect simply stays silent.
  data_->effect->play();
}

// --- file types -----------------------------------------------------------

namespace {
std::vector<std::pair<const FileType*, RegisteredFileType>>& Registry() {
  static std::vector<std::pair<const FileType*, RegisteredFileType>> registry;
  return registry;
}
}  // namespace

FileType::~FileType() {
  auto& r = Registry();
  r.erase(std::remove_if(r.begin(), r.end(), [this](const auto& e) { return e.first == this; }),
          r.end());
}

std::string FileType::Register() {
  if (!registered_) {
    Registry().push_back({this, RegisteredFileType{name_, macCreator_, macType_, extensions_}});
    registered_ = true;
  }
  return name_;
}

std::vector<RegisteredFileType> RegisteredFileTypes() {
  std::vector<RegisteredFileType> out;
  for (const auto& e : Registry()) out.push_back(e.second);
  return out;
}

}  // namespace fw
