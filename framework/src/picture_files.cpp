// Reading a file as a picture: PNG and JPEG, found by their content, and
// what is said, once, of a file that can't be read.
#include <QFile>
#include <QImageReader>

#include <png.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "internal.h"
#include "messages.h"

namespace fw {
namespace detail {
namespace {

void ReportUnreadable(const std::string& path, const std::string& why) {
  SayOnce(FileUse::Picture, path, "could not be read: " + why);
}

void ForgetUnreadable(const std::string& path) { ForgetSaid(FileUse::Picture, path); }

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
  if (end < kSignature) {
    why = "it is too short to be a PNG picture";
    return false;
  }
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
  // No more than a picture may be, should the file grow while it is read.
  QByteArray bytes = file.read(limit > 0 ? std::min(file.size(), limit) : file.size());
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

}  // namespace
}  // namespace detail

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
  else detail::SayOnce(detail::FileUse::Picture, path_, "was read despite damage: " + damage);
  auto data = std::make_unique<detail::PictureData>();
  data->image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  return std::make_shared<const Picture>(std::move(data));
}

}  // namespace fw
