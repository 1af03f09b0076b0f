#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QMediaDevices>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
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

// A loader tries a broken file again at every call, which may be every
// tick of a timer. What is said of a file is said once for as long as it
// stays so; a file that opens cleanly, or goes, is forgotten, so that
// breaking it again is said again.
void SayOnce(FileUse use, const std::string& path, const std::string& what) {
  if (Runtime* rt = TheRuntime()) {
    auto [it, isNew] = rt->reportedFiles.try_emplace({use, path}, what);
    if (!isNew && it->second == what) return;
    it->second = what;
  }
  std::fprintf(stderr, "%s %s %s\n", use == FileUse::Picture ? "Picture" : "Sound", path.c_str(),
               what.c_str());
  std::fflush(stderr);
}

void ForgetSaid(FileUse use, const std::string& path) {
  if (Runtime* rt = TheRuntime()) rt->reportedFiles.erase({use, path});
}

namespace {

std::uint32_t Le32(const unsigned char* u) {
  return u[0] | (u[1] << 8) | (u[2] << 16) | (static_cast<std::uint32_t>(u[3]) << 24);
}
std::uint16_t Le16(const unsigned char* u) { return static_cast<std::uint16_t>(u[0] | (u[1] << 8)); }

bool ReadExactly(QFile& file, unsigned char* into, qint64 n) {
  return file.read(reinterpret_cast<char*>(into), n) == n;
}

// Only RIFF/WAVE with integer PCM of 8, 16, 24 or 32 bits and at least
// one whole frame, all of it there, counts as a sound. A chunk size in the
// file is never trusted as an allocation size: the samples are read only
// once the file is known to hold them. A chunk of odd size before the
// samples is refused, with or without the byte that pads it, as players
// disagree on that byte; the samples may end the file without it.
bool ReadWave(QFile& file, QAudioFormat& format, QByteArray& samples) {
  unsigned char head[12];
  if (!ReadExactly(file, head, 12) || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "WAVE", 4) != 0)
    return false;
  std::uint16_t channels = 0, bits = 0;
  std::uint32_t rate = 0;
  for (int chunks = 0; chunks < 64; ++chunks) {
    unsigned char header[8];
    if (!ReadExactly(file, header, 8)) return false;
    const std::uint32_t size = Le32(header + 4);
    const qint64 next = file.pos() + qint64{size};
    if (next > file.size()) return false;
    if (std::memcmp(header, "fmt ", 4) == 0) {
      unsigned char fmt[16];
      if (size < 16 || !ReadExactly(file, fmt, 16)) return false;
      const bool pcm = Le16(fmt) == 1;
      channels = pcm ? Le16(fmt + 2) : 0;
      rate = Le32(fmt + 4);
      bits = Le16(fmt + 14);
      if (channels == 0 || rate == 0 || rate > INT_MAX ||
          (bits != 8 && bits != 16 && bits != 24 && bits != 32))
        channels = 0;
    } else if (std::memcmp(header, "data", 4) == 0) {
      if (channels == 0) return false;
      const qint64 frameBytes = qint64{channels} * (bits / 8);
      const qint64 frames = qint64{size} / frameBytes;
      if (frames == 0) return false;
      QByteArray read(frames * frameBytes, Qt::Uninitialized);
      if (!ReadExactly(file, reinterpret_cast<unsigned char*>(read.data()), read.size()))
        return false;
      format.setSampleRate(static_cast<int>(rate));
      format.setChannelCount(channels);
      format.setSampleFormat(bits == 8    ? QAudioFormat::UInt8
                             : bits == 16 ? QAudioFormat::Int16
                                          : QAudioFormat::Int32);
      samples = read;
      if (bits == 24) {
        // The audio output has no 24-bit samples: each goes out as the top
        // three bytes of a 32-bit one.
        samples = QByteArray(read.size() / 3 * 4, '\0');
        for (qsizetype from = 0, to = 0; from < read.size(); from += 3, to += 4)
          std::memcpy(samples.data() + to + 1, read.constData() + from, 3);
      }
      return true;
    }
    if (size % 2 != 0 || !file.seek(next)) return false;
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
  auto data = std::make_unique<detail::SoundData>();
  if (!detail::OpenRegularFile(path_, file, why) ||
      !detail::ReadWave(file, data->format, data->samples))
    return nullptr;
  return std::make_shared<Sound>(path_, std::move(data));
}

// The samples are read here, whole, and handed to the audio output from
// memory. The toolkit's own sound effect would read the file again on a
// thread of its sample cache, and that cache, when destroyed at the
// process's exit, holds its lock while it waits for that thread, which
// takes the same lock as it reads: a process that ended while a sound was
// still being read could wait for ever. It also drops a sound asked for
// just as its thread winds down, which then never loads.
Sound::Sound(std::string path, std::unique_ptr<detail::SoundData> data)
    : path_(std::move(path)), data_(std::move(data)) {}

Sound::~Sound() {
  if (data_->output == nullptr) return;
  data_->output->stop();
  // Destroying an audio output that reached a device runs the event loop,
  // which, where the run is ending because the display went away, would
  // end the process a second time: it goes when the loop next comes round,
  // as the toolkit's sound effect lets its own go, and at the end of a run
  // with the process.
  data_->output->deleteLater();
}

void Sound::Play() {
  ++data_->plays;
  detail::SoundData& d = *data_;
  if (d.output == nullptr) {
    // Without an audio device the output simply stays silent.
    d.output = new QAudioSink(QMediaDevices::defaultAudioOutput(), d.format);
    d.reader = new QBuffer(d.output);
    d.reader->setData(d.samples);
    d.reader->open(QIODevice::ReadOnly);
  }
  // From the start again, also when it is still playing.
  d.reader->seek(0);
  d.output->start(d.reader);
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
