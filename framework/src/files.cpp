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

// Said when a read fails after the file was found to hold what is read:
// it was cut short, or the disk failed, while it was read.
std::string ReadFailure(const QFile& file) {
  if (file.error() == QFileDevice::NoError) return "it ended while it was read";
  return "it could not be read: " + file.errorString().toStdString();
}

// A chunk by its name, or, when that is not text that can stand in a line,
// by where it starts.
std::string ChunkName(const unsigned char* id, qint64 at) {
  std::string name(reinterpret_cast<const char*>(id), 4);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  const bool text = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return c >= 0x20 && c < 0x7F;
  });
  return text ? "its " + name + " chunk" : "its chunk at byte " + std::to_string(at);
}

std::string NotPcm(std::uint32_t tag) {
  const std::string kind = tag == 3   ? "floating point"
                           : tag == 6 ? "A-law"
                           : tag == 7 ? "\u00B5-law"
                                      : "format " + std::to_string(tag);
  return "its samples are " + kind + ", not integer PCM";
}

struct Layout {
  std::uint16_t channels = 0, bits = 0;
  std::uint32_t rate = 0;
};

constexpr std::uint16_t kPcm = 1, kExtensible = 0xFFFE;
// The extensible format names its samples by a GUID; those of the plain
// formats are their tag, in its first four bytes, before these.
constexpr unsigned char kTagGuidTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                            0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::string GuidText(const unsigned char* g) {
  char text[37];
  std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                static_cast<unsigned>(Le32(g)), Le16(g + 4), Le16(g + 6), g[8], g[9], g[10], g[11],
                g[12], g[13], g[14], g[15]);
  return text;
}

// Reads a fmt chunk of `size` bytes. False, with `why`, when the file can
// be no sound whatever follows. Otherwise `unfit` tells why the samples it
// lays out can't be played, and is empty when they can.
bool ReadFormat(QFile& file, std::uint32_t size, Layout& layout, std::string& unfit,
                std::string& why) {
  unsigned char fmt[40];
  if (size < 16) {
    why = "its fmt chunk is " + std::to_string(size) + " bytes, too short to lay out samples";
    return false;
  }
  if (!ReadExactly(file, fmt, 16)) {
    why = ReadFailure(file);
    return false;
  }
  std::uint32_t tag = Le16(fmt);
  layout = {Le16(fmt + 2), Le16(fmt + 14), Le32(fmt + 4)};
  const std::uint16_t bits = layout.bits;
  std::uint16_t validBits = bits;
  if (tag == kExtensible) {
    // Its extension: its size, the bits of each sample that count, which
    // speaker each channel is for, and the GUID of its samples.
    if (size < 40) {
      why = "its fmt chunk is " + std::to_string(size) +
            " bytes, too short for the extensible format it names";
      return false;
    }
    if (!ReadExactly(file, fmt + 16, 24)) {
      why = ReadFailure(file);
      return false;
    }
    if (Le16(fmt + 16) < 22) {
      why = "its fmt chunk's extension is " + std::to_string(Le16(fmt + 16)) +
            " bytes, too short to name its samples";
      return false;
    }
    validBits = Le16(fmt + 18);
    const unsigned char* guid = fmt + 24;
    if (std::memcmp(guid + 4, kTagGuidTail, sizeof kTagGuidTail) != 0) {
      unfit = "its samples are sub-format " + GuidText(guid) + ", not integer PCM";
      return true;
    }
    tag = Le32(guid);
  }
  if (tag != kPcm) unfit = NotPcm(tag);
  else if (layout.channels == 0) unfit = "it has no channels";
  else if (layout.rate == 0) unfit = "it has no sample rate";
  else if (layout.rate > INT_MAX)
    unfit = "its rate of " + std::to_string(layout.rate) + " samples a second is beyond playing";
  else if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
    unfit = "it has " + std::to_string(bits) + "-bit samples, not 8, 16, 24 or 32";
  else if (validBits > bits)
    unfit = "its samples have " + std::to_string(validBits) + " valid bits, more than the " +
            std::to_string(bits) + " that hold each";
  else unfit.clear();
  return true;
}

// Only RIFF/WAVE with integer PCM of 8, 16, 24 or 32 bits, plain or in
// the extensible format, and at least one whole frame, all of it there,
// counts as a sound; `why` tells what else it is. A chunk size in the file
// is never trusted as an allocation size: the samples are read only once
// the file is known to hold them. A chunk of odd size before the samples is
// refused, with or without the byte that pads it, as players disagree on
// that byte; the samples may end the file without it.
bool ReadWave(QFile& file, QAudioFormat& format, QByteArray& samples, std::string& why) {
  unsigned char head[12];
  if (!ReadExactly(file, head, 12) || std::memcmp(head, "RIFF", 4) != 0 ||
      std::memcmp(head + 8, "WAVE", 4) != 0) {
    why = "it is not a RIFF/WAVE file";
    return false;
  }
  Layout layout;
  std::string unfit = "its samples come before their format";
  for (int chunks = 0; chunks < 64; ++chunks) {
    unsigned char header[8];
    const qint64 at = file.pos();
    if (!ReadExactly(file, header, 8)) {
      why = "it has no data chunk";
      return false;
    }
    const std::uint32_t size = Le32(header + 4);
    const qint64 next = file.pos() + qint64{size};
    if (next > file.size()) {
      why = ChunkName(header, at) + " claims " + std::to_string(size) +
            " bytes, more than the file holds";
      return false;
    }
    if (std::memcmp(header, "fmt ", 4) == 0) {
      if (!ReadFormat(file, size, layout, unfit, why)) return false;
    } else if (std::memcmp(header, "data", 4) == 0) {
      if (!unfit.empty()) {
        why = unfit;
        return false;
      }
      const qint64 frameBytes = qint64{layout.channels} * (layout.bits / 8);
      const qint64 frames = qint64{size} / frameBytes;
      if (frames == 0) {
        why = "it holds no whole frame of samples";
        return false;
      }
      QByteArray read(frames * frameBytes, Qt::Uninitialized);
      if (!ReadExactly(file, reinterpret_cast<unsigned char*>(read.data()), read.size())) {
        why = ReadFailure(file);
        return false;
      }
      format.setSampleRate(static_cast<int>(layout.rate));
      format.setChannelCount(layout.channels);
      format.setSampleFormat(layout.bits == 8    ? QAudioFormat::UInt8
                             : layout.bits == 16 ? QAudioFormat::Int16
                                                 : QAudioFormat::Int32);
      samples = read;
      if (layout.bits == 24) {
        // The audio output has no 24-bit samples: each goes out as the top
        // three bytes of a 32-bit one.
        samples = QByteArray(read.size() / 3 * 4, '\0');
        for (qsizetype from = 0, to = 0; from < read.size(); from += 3, to += 4)
          std::memcpy(samples.data() + to + 1, read.constData() + from, 3);
      }
      return true;
    }
    if (size % 2 != 0) {
      why = ChunkName(header, at) + " has an odd size";
      return false;
    }
    if (!file.seek(next)) {
      why = ReadFailure(file);
      return false;
    }
  }
  why = "it has no data chunk among its first 64 chunks";
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
      !detail::ReadWave(file, data->format, data->samples, why)) {
    // A sound file that isn't there is no fault: what would play it stays silent.
    if (why.empty()) detail::ForgetSaid(detail::FileUse::Sound, path_);
    else detail::SayOnce(detail::FileUse::Sound, path_, "can't be played: " + why);
    return nullptr;
  }
  detail::ForgetSaid(detail::FileUse::Sound, path_);
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
// Made at the first use and never destroyed: a file type held in a global
// is destroyed at the process's exit, after any registry made later than
// that global would be, and leaves the registry as it goes.
std::vector<std::pair<const FileType*, RegisteredFileType>>& Registry() {
  static auto* registry = new std::vector<std::pair<const FileType*, RegisteredFileType>>;
  return *registry;
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
