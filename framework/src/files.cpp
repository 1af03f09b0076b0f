#include <QFile>
#include <QSoundEffect>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "internal.h"

namespace fw {
namespace detail {

// Only a regular file is opened: a pipe would block the event loop in the
// open and a device has no end, and either can stand where a picture or
// the sound should be. The name is looked at before the open, and what was
// opened is looked at again, in case the name came to mean a pipe between;
// the open itself never waits for a pipe's writer. `why` tells what was
// wrong when the answer is false; empty for a file that isn't there.
bool OpenRegularFile(const std::string& path, QFile& file, std::string& why) {
  why.clear();
  struct stat named {};
  if (::stat(path.c_str(), &named) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) why = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(named.st_mode)) {
    why = S_ISDIR(named.st_mode) ? "it is a folder" : "it is not a regular file";
    return false;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    why = std::strerror(errno);
    return false;
  }
  struct stat opened {};
  if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
    ::close(fd);
    why = "it is not a regular file";
    return false;
  }
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    why = file.errorString().toStdString();
    return false;
  }
  return true;
}

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
// integer PCM of 8, 16, 24 or 32 bits and some data, all of it there. The
// toolkit waits for ever for samples that aren't in the file, and steps
// over a chunk without the byte that pads an odd one, so that it loses its
// way in any chunk after one.
bool IsPlayableWave(QFile& file) {
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
    if (file.pos() + qint64{size} > file.size()) return false;
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
    if (size % 2 != 0 || next > file.size() || !file.seek(next)) return false;
  }
  return false;
}

}  // namespace
}  // namespace detail

// A path is the bytes the system gave, whatever encoding they are in (a
// folder named in Latin-1, say): it never goes through the toolkit's text,
// which would put a stand-in for each byte that isn't UTF-8.
namespace fs = std::filesystem;

FolderItem::FolderItem(std::string path) : path_(std::move(path)) {}

bool FolderItem::Exists() const {
  std::error_code ignored;
  return fs::exists(path_, ignored);
}

bool FolderItem::IsFolder() const {
  std::error_code ignored;
  return fs::is_directory(path_, ignored);
}

std::string FolderItem::Name() const { return fs::path(path_).filename().string(); }

FolderItemPtr FolderItem::Parent() const {
  std::error_code ignored;
  fs::path clean = fs::absolute(path_, ignored).lexically_normal();
  if (!clean.has_filename()) clean = clean.parent_path();  // a trailing slash
  if (!clean.has_relative_path()) return nullptr;
  return std::make_shared<FolderItem>(clean.parent_path().string());
}

FolderItemPtr FolderItem::Child(std::string_view name) const {
  return std::make_shared<FolderItem>((fs::path(path_) / name).string());
}

SoundPtr FolderItem::OpenAsSound() const {
  QFile file;
  std::string why;
  if (!detail::OpenRegularFile(path_, file, why) || !detail::IsPlayableWave(file)) return nullptr;
  auto data = std::make_unique<detail::SoundData>();
  data->fd = ::fcntl(file.handle(), F_DUPFD_CLOEXEC, 0);
  if (data->fd < 0) return nullptr;
  return std::make_shared<Sound>(path_, std::move(data));
}

// The toolkit opens the sound again by name, on a thread of its own, and
// takes the name as text, which has no room for a byte of the path that
// isn't UTF-8. It is given the name of the very file that was checked, as
// the system names an open descriptor: plain ASCII wherever the file is.
// The toolkit's cache keeps what it loads by name, also for sounds that are
// gone, while descriptors' numbers come round again: each sound's name is
// made its own.
Sound::Sound(std::string path, std::unique_ptr<detail::SoundData> data)
    : path_(std::move(path)), data_(std::move(data)) {
  static unsigned made = 0;
  QUrl name = QUrl::fromLocalFile(QStringLiteral("/proc/self/fd/%1").arg(data_->fd));
  name.setQuery(QStringLiteral("sound=%1").arg(++made));
  data_->effect = std::make_unique<QSoundEffect>();
  data_->effect->setSource(name);
}

Sound::~Sound() {
  const QSoundEffect::Status status = data_->effect->status();
  data_->effect->stop();
  data_->effect.reset();
  // A load the toolkit hasn't finished goes on without the effect and opens
  // the name when it comes to it. The descriptor then stays open for the
  // rest of the run, so that the name can never come to mean another file.
  if (status != QSoundEffect::Loading && status != QSoundEffect::Null) ::close(data_->fd);
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
