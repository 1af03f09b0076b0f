#include <QFile>
#include <QImageReader>
#include <QSoundEffect>
#include <QUrl>

#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "internal.h"
#include "messages.h"

namespace fw {
namespace detail {


namespace {

// Only a regular file is opened: a pipe would block the event loop in the
// open and a device has no end, and either can stand where a picture or
// the sound should be. The type is checked before anything is opened, then
// again on what was opened, in case the name was pointed elsewhere between.
// `why` tells what was wrong when the answer is false; empty for a file
// that isn't there.
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
  if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_ino != named.st_ino ||
      opened.st_dev != named.st_dev) {
    ::close(fd);
    why = "it changed while it was being opened";
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    why = file.errorString().toStdString();
    return false;
  }
  return true;
}

// A loader tries a broken picture again at every call, which may be every
// tick of a timer. What is said of a file is said once for as long as it
// stays so; a file that loads cleanly, or goes, is forgotten, so that
// breaking it again is said again.
void SayOnce(const std::string& path, const std::string& what) {
  Runtime* rt = TheRuntime();
  if (rt != nullptr) {
    auto [it, isNew] = rt->reportedFiles.try_emplace(path, what);
    if (!isNew && it->second == what) return;
    it->second = what;
  }
  std::fprintf(stderr, "Picture %s %s\n", path.c_str(), what.c_str());
  std::fflush(stderr);
}

void ReportUnreadable(const std::string& path, const std::string& why) {
  SayOnce(path, "could not be read: " + why);
}

void ForgetUnreadable(const std::string& path) {
  if (Runtime* rt = TheRuntime()) rt->reportedFiles.erase(path);
}

// The first thing said of a failed read, as one line.
std::string FirstLine(const std::vector<QString>& said, const QString& fallback) {
  for (const QString& s : said)
    for (const QString& line : s.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
      if (!line.trimmed().isEmpty()) return line.trimmed().toStdString();
  return fallback.toStdString();
}

// The toolkit's limit on how much one picture may take, in bytes; 0: none.
qint64 PictureLimit() { return qint64{QImageReader::allocationLimit()} * 1024 * 1024; }

std::uint32_t Be32(const unsigned char* u) {
  return static_cast<std::uint32_t>(u[0]) << 24 | static_cast<std::uint32_t>(u[1]) << 16 |
         static_cast<std::uint32_t>(u[2]) << 8 | u[3];
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// libpng believes a chunk's length before it looks for the bytes: for a text
// chunk that claims 2 GB it allocates and clears 2 GB, only to find the data
// end a hundred bytes on. And it keeps every text chunk, up to a thousand of
// them, each inflated up to 8 MB, so that a file of a few hundred kilobytes
// could take gigabytes. So the chunks are walked over the bytes read before
// libpng sees them: one that claims more than is there is refused, and the
// ancillary ones that play no part in the pixels are dropped in place. What
// stays is every critical chunk and those that say how to take the colours.
bool KeepPixelChunks(QByteArray& bytes, std::string& why) {
  static constexpr std::array<std::string_view, 5> kColourChunks = {"tRNS", "gAMA", "cHRM",
                                                                     "sRGB", "iCCP"};
  constexpr std::size_t kSignature = 8, kHead = 8, kCrc = 4;
  constexpr std::uint32_t kLongest = 0x7FFFFFFF;  // as the format has it
  auto* u = reinterpret_cast<unsigned char*>(bytes.data());
  const auto end = static_cast<std::size_t>(bytes.size());
  std::size_t at = kSignature, kept = kSignature;
  while (end - at >= kHead) {
    const std::uint32_t length = Be32(u + at);
    const std::string type(reinterpret_cast<const char*>(u + at + 4), 4);
    if (!std::all_of(type.begin(), type.end(), IsLetter)) {
      why = "its chunk at byte " + std::to_string(at) + " is not named in letters";
      return false;
    }
    if (length > kLongest || end - at - kHead < std::size_t{length} + kCrc) {
      why = "its " + type + " chunk claims " + std::to_string(length) +
            " bytes, more than the file holds";
      return false;
    }
    const std::size_t size = kHead + length + kCrc;
    const bool critical = (u[at + 4] & 0x20) == 0;
    if (critical ||
        std::find(kColourChunks.begin(), kColourChunks.end(), type) != kColourChunks.end()) {
      std::memmove(u + kept, u + at, size);
      kept += size;
    }
    at += size;
    if (type == "IEND") break;
  }
  bytes.truncate(static_cast<qsizetype>(kept));
  return true;
}

// PNG is read with libpng's own simple reader rather than the toolkit's:
// that one lets libpng write what it finds wrong straight to the process's
// standard error stream, at every try, while this one hands it back to us.
// The toolkit's limit on how much one picture may take holds here too.
QImage ReadPng(QFile& file, std::string& why) {
  const qint64 limit = PictureLimit();
  QByteArray bytes = file.readAll();
  if (!KeepPixelChunks(bytes, why)) return {};
  // libpng keeps its reader's state behind the image until it is freed,
  // however the read ends.
  struct Reader {
    png_image png{};
    Reader() { png.version = PNG_IMAGE_VERSION; }
    ~Reader() { png_image_free(&png); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
  } reader;
  png_image& png = reader.png;
  if (png_image_begin_read_from_memory(&png, bytes.constData(),
                                       static_cast<std::size_t>(bytes.size())) == 0) {
    why = png.message;
    return {};
  }
  // Sixteen-bit samples are taken as they are written, as every other
  // reader takes them, not as light that is then brightened for the screen.
  png.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
  // The bytes of one pixel as QImage keeps 0xAARRGGBB in this machine's order.
  png.format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
  if (limit > 0 && qint64{png.width} * png.height * 4 > limit) {
    why = "it is " + std::to_string(png.width) + " by " + std::to_string(png.height) +
          " pixels, more than a picture may be";
    return {};
  }
  QImage image(static_cast<int>(png.width), static_cast<int>(png.height), QImage::Format_ARGB32);
  if (image.isNull()) {
    why = "there is not the memory to hold it";
    return {};
  }
  const auto stride = static_cast<png_int_32>(image.bytesPerLine());
  if (png_image_finish_read(&png, nullptr, image.bits(), stride, nullptr) == 0) {
    why = png.message;
    return {};
  }
  return image;
}

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

PicturePtr FolderItem::OpenAsPicture() const {
  QFile file;
  std::string why;
  if (!detail::OpenRegularFile(path_, file, why)) {
    if (why.empty()) detail::ForgetUnreadable(path_);
    else detail::ReportUnreadable(path_, why);
    return nullptr;
  }
  // No picture is larger than the toolkit lets one picture be, and a file
  // that is would be read through, whatever its format, before the reader
  // gave up: the size alone decides, before a byte is read.
  const qint64 limit = detail::PictureLimit();
  if (limit > 0 && file.size() > limit) {
    detail::ReportUnreadable(path_, "it is larger than a picture may be");
    return nullptr;
  }
  QImage image;
  std::string damage;  // what the reader made good
  {
    // The toolkit's messages about a broken file would come at every try;
    // what they say becomes the reason given once.
    detail::HeldMessages held;
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format == "png") {
      image = detail::ReadPng(file, why);
    } else if (format == "jpeg" || format == "jpg") {
      image = reader.read();
      const std::vector<QString> said = held.Take();
      if (image.isNull()) why = detail::FirstLine(said, reader.errorString());
      else damage = detail::FirstLine(said, {});
    } else if (format.isEmpty()) {
      why = "it is neither a PNG nor a JPEG picture";
    } else {
      why = "it is a " + format.toUpper().toStdString() + " picture, neither PNG nor JPEG";
    }
  }
  if (image.isNull()) {
    detail::ReportUnreadable(path_, why);
    return nullptr;
  }
  if (damage.empty()) detail::ForgetUnreadable(path_);
  else detail::SayOnce(path_, "was read despite damage: " + damage);
  auto data = std::make_unique<detail::PictureData>();
  data->image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  return std::make_shared<const Picture>(std::move(data));
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
