// Files: items that need not exist, pictures and sounds chosen by their
// content, the executable's own item, and the registry of file types.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "probe.h"
#include "support/lines.h"
#include "support/pipe_watchdog.h"

namespace {

namespace fs = std::filesystem;
using probe::WriteBytes;

constexpr fw::Color kRed{220, 30, 30};

class FilesTest : public probe::FrameworkTest {};

// --- folder items -----------------------------------------------------------

TEST_F(FilesTest, ChildOfAnythingIsAnItemEvenWhenNothingIsThere) {
  const fw::FolderItem folder(Scratch().string());
  const fw::FolderItemPtr missing = folder.Child("nothing-here.png");
  ASSERT_NE(missing, nullptr);
  EXPECT_FALSE(missing->Exists());
  EXPECT_EQ(missing->Name(), "nothing-here.png");
  EXPECT_EQ(missing->Path(), (Scratch() / "nothing-here.png").string());
  EXPECT_EQ(missing->OpenAsPicture(), nullptr);
  EXPECT_EQ(missing->OpenAsSound(), nullptr);

  const fw::FolderItemPtr deeper = missing->Child("below");
  ASSERT_NE(deeper, nullptr);
  EXPECT_EQ(deeper->Path(), (Scratch() / "nothing-here.png" / "below").string());
  EXPECT_EQ(deeper->OpenAsPicture(), nullptr);
}

struct ParentCase {
  const char* name;
  const char* path;
  const char* parent;  // nullptr: none
  friend void PrintTo(const ParentCase& row, std::ostream* os) { *os << row.name; }
};

class FolderParent : public ::testing::TestWithParam<ParentCase> {};

TEST_P(FolderParent, IsTheFolderAboveAndNothingAboveTheRoot) {
  const fw::FolderItemPtr parent = fw::FolderItem(GetParam().path).Parent();
  if (GetParam().parent == nullptr) {
    EXPECT_EQ(parent, nullptr);
  } else {
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(parent->Path(), GetParam().parent);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, FolderParent,
                         ::testing::Values(ParentCase{"Root", "/", nullptr},
                                           ParentCase{"RootSpelledTwice", "//", nullptr},
                                           ParentCase{"TopFolder", "/tmp", "/"},
                                           ParentCase{"Deep", "/a/b/c", "/a/b"},
                                           ParentCase{"TrailingSlash", "/a/b/", "/a"},
                                           ParentCase{"Latin1Folder", "/caf\xE9/bin", "/caf\xE9"}),
                         probe::RowName());

// --- pictures -----------------------------------------------------------------

struct PictureCase {
  const char* name;
  const char* file;
  std::function<void(const std::string&)> write;
  bool loads;
  friend void PrintTo(const PictureCase& row, std::ostream* os) { *os << row.name; }
};

void Png(const std::string& path) { ASSERT_TRUE(fw::testing::WritePng(path, 5, 3, kRed)); }
// Sixteen bits a sample, with no word on its gamma, as many tools write it.
void Png16(const std::string& path) {
  QImage image(5, 3, QImage::Format_RGBX64);
  image.fill(QColor(kRed.r, kRed.g, kRed.b));
  ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));
}
void Jpeg(const std::string& path) { ASSERT_TRUE(fw::testing::WriteJpeg(path, 5, 3, kRed)); }
// Palette, transparency and words, each a chunk of its own.
void PalettePngWithText(const std::string& path) {
  QImage image(5, 3, QImage::Format_Indexed8);
  image.setColorTable({qRgb(kRed.r, kRed.g, kRed.b), qRgba(0, 0, 0, 0)});
  image.fill(0);
  image.setText(QStringLiteral("Comment"), QStringLiteral("a palette with a clear entry"));
  ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));
}

class PictureFile : public FilesTest, public ::testing::WithParamInterface<PictureCase> {};

void TruncatedPng(const std::string& p) {
  Png(p);
  fs::resize_file(p, 40);
}

void Fifo(const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }
void PointAt(const char* target, const std::string& path) { fs::create_symlink(target, path); }

TEST_P(PictureFile, LoadsByContentAndGivesNilOtherwise) {
  const PictureCase& row = GetParam();
  const fs::path path = Scratch() / row.file;
  if (row.write) row.write(path.string());
  PipeWatchdog watchdog(path);
  const fw::PicturePtr picture = fw::FolderItem(path.string()).OpenAsPicture();
  EXPECT_FALSE(watchdog.Rescued()) << "opening it blocked";
  if (!row.loads) {
    EXPECT_EQ(picture, nullptr);
    return;
  }
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width(), 5);
  EXPECT_EQ(picture->Height(), 3);
  const fw::Color c = picture->Pixel(2, 1);
  // JPEG may move a solid colour by a step or two.
  EXPECT_NEAR(c.r, kRed.r, 6);
  EXPECT_NEAR(c.g, kRed.g, 6);
  EXPECT_NEAR(c.b, kRed.b, 6);
  EXPECT_EQ(picture->Pixel(5, 0), fw::Color{}) << "outside the picture is black";
}

INSTANTIATE_TEST_SUITE_P(
    Table, PictureFile,
    ::testing::Values(
        PictureCase{"Png", "a.png", Png, true},
        PictureCase{"Jpeg", "b.jpg", Jpeg, true},
        PictureCase{"SixteenBitPng", "deep.png", Png16, true},
        PictureCase{"PngNamedJpg", "c.jpg", Png, true},
        PictureCase{"JpegNamedPng", "d.png", Jpeg, true},
        PictureCase{"PngWithoutExtension", "e", Png, true},
        PictureCase{"PalettePngWithText", "f.png", PalettePngWithText, true},
        PictureCase{"GarbageNamedPng", "x.png",
                    [](const std::string& p) { WriteBytes(p, "this is no picture at all\n"); }, false},
        PictureCase{"EmptyFileNamedPng", "empty.png", [](const std::string& p) { WriteBytes(p, ""); },
                    false},
        PictureCase{"TruncatedPng", "cut.png", TruncatedPng, false},
        PictureCase{"Missing", "missing.png", nullptr, false},
        PictureCase{"Folder", "folder.png", [](const std::string& p) { fs::create_directory(p); },
                    false},
        PictureCase{"PipeWithNoWriter", "pipe.png", Fifo, false},
        PictureCase{"CharacterDevice", "zero.png",
                    [](const std::string& p) { PointAt("/dev/zero", p); }, false},
        PictureCase{"LinkToAPipe", "linked.png",
                    [](const std::string& p) {
                      Fifo(p + ".fifo");
                      PointAt((p + ".fifo").c_str(), p);
                    },
                    false},
        PictureCase{"LinkToAPicture", "linked-ok.png",
                    [](const std::string& p) {
                      Png(p + ".real");
                      PointAt((p + ".real").c_str(), p);
                    },
                    true}),
    probe::RowName());

// A loader tries a broken picture again at every call, as often as every
// millisecond. What is said about it must not grow with the tries.

std::vector<std::string> StderrOfTries(const fs::path& path, int tries, bool loads = false) {
  ::testing::internal::CaptureStderr();
  for (int i = 0; i < tries; ++i)
    EXPECT_EQ(fw::FolderItem(path.string()).OpenAsPicture() != nullptr, loads);
  return LinesOf(::testing::internal::GetCapturedStderr());
}

// A JPEG cut in the middle of its scan: the library makes up the rest and
// says so.
void JpegCutInItsScan(const std::string& path) {
  QImage image(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) image.setPixel(x, y, qRgb(x * 37 & 0xff, x * y & 0xff, (x ^ y) * 4));
  ASSERT_TRUE(image.save(QString::fromStdString(path), "JPEG", 90));
  fs::resize_file(path, fs::file_size(path) / 2);
}

struct BrokenCase {
  const char* name;
  std::function<void(const std::string&)> write;
  const char* why;  // a part of what is said
  bool loads = false;  // damaged, yet a picture
  friend void PrintTo(const BrokenCase& row, std::ostream* os) { *os << row.name; }
};

class BrokenPicture : public FilesTest, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenPicture, IsReportedOnceWithItsNameAndWhy) {
  const fs::path path = Scratch() / "broken.png";
  GetParam().write(path.string());
  const std::vector<std::string> lines = StderrOfTries(path, 200, GetParam().loads);
  ASSERT_EQ(lines.size(), 1u) << ::testing::PrintToString(lines);
  EXPECT_NE(lines[0].find(path.string()), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find(GetParam().why), std::string::npos) << lines[0];
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenPicture,
    ::testing::Values(
        BrokenCase{"Truncated", TruncatedPng, "could not be read"},
        BrokenCase{"Garbage", [](const std::string& p) { WriteBytes(p, "no picture\n"); },
                   "neither a PNG nor a JPEG"},
        BrokenCase{"Empty", [](const std::string& p) { WriteBytes(p, ""); }, "could not be read"},
        BrokenCase{"Bitmap",
                   [](const std::string& p) {
                     WriteBytes(p, std::string("BM") + std::string(60, '\0'));
                   },
                   "could not be read"},
        BrokenCase{"Folder", [](const std::string& p) { fs::create_directory(p); }, "folder"},
        BrokenCase{"Pipe", Fifo, "not a regular file"},
        BrokenCase{"CharacterDevice", [](const std::string& p) { PointAt("/dev/zero", p); },
                   "not a regular file"},
        BrokenCase{"JpegCutInItsScan", JpegCutInItsScan,
                   "was read despite damage: Corrupt JPEG data", true}),
    probe::RowName());

// What the loader holds back while it reads is its own: another thread (the
// sound's, say) that writes to the standard error stream or logs through the
// toolkit at that moment keeps every word, in one piece, and none of it is
// taken for the picture's fault.
TEST_F(FilesTest, OtherThreadsKeepTheirWordsWhileABrokenPictureIsRead) {
  const fs::path path = Scratch() / "broken.png";
  TruncatedPng(path.string());
  // The reads go on until the other thread has written this many lines,
  // however the two threads are scheduled, so that its words fall among
  // many reads.
  constexpr int kReads = 300, kLines = 200;
  std::atomic<bool> stop{false}, failed{false};
  std::atomic<int> written{0};
  std::latch started(1);
  ::testing::internal::CaptureStderr();
  std::thread other([&] {
    for (int n = 0; !stop.load(); ++n) {
      const std::string line = "other thread line " + std::to_string(n) + "\n";
      if (::write(STDERR_FILENO, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        failed = true;
        break;
      }
      qInfo("other thread message %d", n);
      if (written.exchange(n + 1) == 0) started.count_down();
      std::this_thread::yield();
    }
    if (written.load() == 0) started.count_down();
  });
  started.wait();
  for (int reads = 0; !failed.load() && (reads < kReads || written.load() < kLines); ++reads)
    EXPECT_EQ(fw::FolderItem(path.string()).OpenAsPicture(), nullptr);
  stop = true;
  other.join();
  const std::string err = ::testing::internal::GetCapturedStderr();
  ASSERT_FALSE(failed.load()) << "the other thread could not write";
  const int total = written.load();
  ASSERT_GE(total, kLines);

  EXPECT_EQ(err.find('\0'), std::string::npos) << "a hole of zeros in the stream";
  std::vector<int> lines(static_cast<std::size_t>(total)), messages(lines.size());
  int reports = 0;
  for (const std::string& line : LinesOf(err)) {
    int n = -1;
    if (std::sscanf(line.c_str(), "other thread line %d", &n) == 1 && n >= 0 && n < total) {
      ++lines[static_cast<std::size_t>(n)];
    } else if (std::sscanf(line.c_str(), "other thread message %d", &n) == 1 && n >= 0 &&
               n < total) {
      ++messages[static_cast<std::size_t>(n)];
    } else {
      ++reports;
      EXPECT_EQ(line.rfind("Picture " + path.string() + " could not be read: ", 0), 0u) << line;
      EXPECT_EQ(line.find("other thread"), std::string::npos) << line;
    }
  }
  EXPECT_EQ(reports, 1);
  for (int n = 0; n < total; ++n) {
    EXPECT_EQ(lines[static_cast<std::size_t>(n)], 1) << "line " << n;
    EXPECT_EQ(messages[static_cast<std::size_t>(n)], 1) << "message " << n;
  }
}

TEST_F(FilesTest, PictureMendedAndBrokenAgainIsReportedAgain) {
  const fs::path path = Scratch() / "Prop1.png";
  EXPECT_TRUE(StderrOfTries(path, 5).empty()) << "a file that isn't there is no fault";

  TruncatedPng(path.string());
  EXPECT_EQ(StderrOfTries(path, 20).size(), 1u);
  EXPECT_TRUE(StderrOfTries(path, 20).empty()) << "still broken the same way";

  // Put back while the program runs: the next try loads it, silently.
  Png(path.string());
  ::testing::internal::CaptureStderr();
  EXPECT_NE(fw::FolderItem(path.string()).OpenAsPicture(), nullptr);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

  WriteBytes(path, "broken once more");
  EXPECT_EQ(StderrOfTries(path, 20).size(), 1u);
  // Broken another way is news.
  fs::remove(path);
  fs::create_directory(path);
  EXPECT_EQ(StderrOfTries(path, 20).size(), 1u);
  // Gone, then broken as the first time: said again.
  fs::remove(path);
  EXPECT_TRUE(StderrOfTries(path, 5).empty());
  WriteBytes(path, "broken once more");
  EXPECT_EQ(StderrOfTries(path, 20).size(), 1u);
}

// --- files that lie about their size ----------------------------------------

// What some work cost the whole process: the most memory it held at
// once above what it held at the start, and the bytes it read. Linux keeps
// both; the peak is set back to the present when the count starts.
class Cost {
 public:
  Cost() {
    const int fd = ::open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
    reset_ = fd >= 0 && ::write(fd, "5", 1) == 1;
    if (fd >= 0) ::close(fd);
    peakKb_ = Field("/proc/self/status", "VmHWM:");
    read_ = Field("/proc/self/io", "rchar:");
  }
  bool Counting() const { return reset_ && peakKb_ >= 0 && read_ >= 0; }
  long long PeakGrowthKb() const { return Field("/proc/self/status", "VmHWM:") - peakKb_; }
  long long BytesRead() const { return Field("/proc/self/io", "rchar:") - read_; }

 private:
  static long long Field(const char* file, const std::string& key) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
      if (line.rfind(key, 0) == 0) return std::stoll(line.substr(key.size()));
    return -1;
  }
  bool reset_ = false;
  long long peakKb_ = -1, read_ = -1;
};

std::string Be32(std::uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string PngChunk(const std::string& type, const std::string& body) {
  return Be32(static_cast<std::uint32_t>(body.size())) + type + body + Be32(Crc32(type + body));
}

// A zlib stream, as PNG keeps compressed data (the toolkit puts the length
// in front of its own).
std::string Deflated(const std::string& bytes) {
  const QByteArray plain(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return qCompress(plain, 9).mid(4).toStdString();
}

const std::string kPngSignature("\x89PNG\r\n\x1a\n", 8);
constexpr int kSide = 56;  // a rotor frame's size
const std::string kIhdr =
    PngChunk("IHDR", Be32(kSide) + Be32(kSide) + std::string("\x08\x06\0\0\0", 5));

using Writer = std::function<void(const std::string&)>;

// A rotor frame's header, then a chunk whose length field claims `claimed`
// bytes, of which a hundred follow.
Writer Claiming(const char* type, std::uint32_t claimed) {
  return [=](const std::string& path) {
    WriteBytes(path, kPngSignature + kIhdr + Be32(claimed) + type + std::string(100, '\0'));
  };
}

// A whole red rotor frame with `count` compressed text chunks before its
// pixels, each of which inflates to `inflated` bytes.
std::string WithInflatingText(const std::string& type, int count, int inflated) {
  const std::string packed = Deflated(std::string(static_cast<std::size_t>(inflated), 'a'));
  // After the keyword: the method, or for iTXt the flag, the method and two
  // empty names.
  const std::string head = type == "zTXt" ? std::string(1, '\0') : std::string("\1\0\0\0", 4);
  std::string text;
  for (int i = 0; i < count; ++i)
    text += PngChunk(type, "Comment" + std::to_string(i) + std::string(1, '\0') + head + packed);
  std::string rows;
  for (int y = 0; y < kSide; ++y) {
    rows += '\0';
    for (int x = 0; x < kSide; ++x)
      rows += {static_cast<char>(kRed.r), static_cast<char>(kRed.g), static_cast<char>(kRed.b), '\xff'};
  }
  return kPngSignature + kIhdr + text + PngChunk("IDAT", Deflated(rows)) + PngChunk("IEND", "");
}

Writer InflatingText(const char* type) {
  return [=](const std::string& path) { WriteBytes(path, WithInflatingText(type, 40, 7000000)); };
}

// Two gigabytes that take no room on the disk: `head`, then zeros.
Writer TwoGigabytesAfter(std::string head) {
  return [head = std::move(head)](const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::write(fd, head.data(), head.size()), static_cast<ssize_t>(head.size()));
    EXPECT_EQ(::ftruncate(fd, off_t{2} << 30), 0);
    ::close(fd);
  };
}

const std::string kJfifHead("\xFF\xD8\xFF\xE0\0\x10JFIF\0\1\1\0\0\1\0\1\0\0", 20);

struct CostCase {
  const char* name;
  Writer write;
  const char* why;  // a part of the reason given; nullptr: it loads, and nothing is said
  friend void PrintTo(const CostCase& row, std::ostream* os) { *os << row.name; }
};

class PictureCost : public FilesTest, public ::testing::WithParamInterface<CostCase> {};

// Whatever its chunks claim, reading a picture costs about what its pixels
// need, and a file far larger than any picture is not read through. The
// rotor frame is tried again at every tick, so each try counts.
TEST_P(PictureCost, StaysWithinWhatItsPixelsNeed) {
  const CostCase& row = GetParam();
  const fs::path path = Scratch() / "Prop1.png";
  row.write(path.string());
  const Cost cost;
  if (!cost.Counting()) GTEST_SKIP() << "this system won't tell a process's peak memory";
  ::testing::internal::CaptureStderr();
  for (int tries = 0; tries < 3; ++tries) {
    const fw::PicturePtr picture = fw::FolderItem(path.string()).OpenAsPicture();
    EXPECT_EQ(picture != nullptr, row.why == nullptr);
    if (picture) {
      EXPECT_EQ(picture->Width(), kSide);
      EXPECT_EQ(picture->Pixel(2, 1), kRed);
    }
  }
  const std::vector<std::string> lines = LinesOf(::testing::internal::GetCapturedStderr());
  const long long grewKb = cost.PeakGrowthKb();
  const long long read = cost.BytesRead();
  if (row.why == nullptr) {
    EXPECT_TRUE(lines.empty()) << ::testing::PrintToString(lines);
  } else {
    ASSERT_EQ(lines.size(), 1u) << ::testing::PrintToString(lines);
    EXPECT_NE(lines[0].find(path.string()), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(row.why), std::string::npos) << lines[0];
  }
  EXPECT_LT(grewKb, 32 * 1024) << "the peak memory grew by " << grewKb << " kB";
  EXPECT_LT(read, 16 << 20) << read << " bytes read";
}

INSTANTIATE_TEST_SUITE_P(
    Table, PictureCost,
    ::testing::Values(
        CostCase{"TextClaimsTwoGigabytes", Claiming("tEXt", 0x7FFFFFFF),
                 "its tEXt chunk claims 2147483647 bytes"},
        CostCase{"TextClaimsOneGigabyte", Claiming("tEXt", 0x40000000),
                 "its tEXt chunk claims 1073741824 bytes"},
        CostCase{"CompressedTextClaimsTwoGigabytes", Claiming("zTXt", 0x7FFFFFFF),
                 "its zTXt chunk claims"},
        CostCase{"CompressedTextClaimsOneGigabyte", Claiming("zTXt", 0x40000000),
                 "its zTXt chunk claims"},
        CostCase{"InternationalTextClaimsTwoGigabytes", Claiming("iTXt", 0x7FFFFFFF),
                 "its iTXt chunk claims"},
        CostCase{"InternationalTextClaimsOneGigabyte", Claiming("iTXt", 0x40000000),
                 "its iTXt chunk claims"},
        CostCase{"SuggestedPaletteClaimsTwoGigabytes", Claiming("sPLT", 0x7FFFFFFF),
                 "its sPLT chunk claims"},
        CostCase{"SuggestedPaletteClaimsOneGigabyte", Claiming("sPLT", 0x40000000),
                 "its sPLT chunk claims"},
        CostCase{"LengthBeyondWhatPngAllows", Claiming("tEXt", 0xFFFFFFF0u),
                 "its tEXt chunk claims 4294967280 bytes"},
        CostCase{"CompressedTextInflatingAThousandfold", InflatingText("zTXt"), nullptr},
        CostCase{"InternationalTextInflatingAThousandfold", InflatingText("iTXt"), nullptr},
        CostCase{"JpegStartThenTwoGigabytes", TwoGigabytesAfter(kJfifHead),
                 "larger than a picture may be"},
        CostCase{"PngStartThenTwoGigabytes", TwoGigabytesAfter(kPngSignature + kIhdr),
                 "larger than a picture may be"},
        CostCase{"NoPictureThenTwoGigabytes", TwoGigabytesAfter("no picture at all"),
                 "larger than a picture may be"}),
    probe::RowName());

// --- sounds -----------------------------------------------------------------

std::string Le(std::uint32_t v, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
  return out;
}

std::string Chunk(const std::string& id, const std::string& body) {
  std::string out = id + Le(static_cast<std::uint32_t>(body.size()), 4) + body;
  if (body.size() % 2 == 1) out.push_back('\0');
  return out;
}

std::string Fmt(std::uint16_t tag, std::uint16_t bits, std::uint16_t channels = 1,
                std::uint32_t rate = 8000) {
  const std::uint32_t block = channels * bits / 8;
  return Le(tag, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * block, 4) + Le(block, 2) +
         Le(bits, 2);
}

std::string Wave(const std::vector<std::string>& chunks) {
  std::string body = "WAVE";
  for (const std::string& c : chunks) body += c;
  return "RIFF" + Le(static_cast<std::uint32_t>(body.size()), 4) + body;
}

const std::string kSamples(400, '\x10');  // 200 sixteen-bit samples, quietly

// Caps the address space a gigabyte above what the process uses, so that a
// loader that believes a size written in a file fails here rather than on a
// smaller machine. AddressSanitizer reserves terabytes up front; under it
// the cap stays off.
class AddressSpaceCap {
 public:
  AddressSpaceCap() {
#ifndef __SANITIZE_ADDRESS__
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    if (!(statm >> pages) || getrlimit(RLIMIT_AS, &saved_) != 0) return;
    rlimit capped = saved_;
    capped.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) +
                      (rlim_t{1} << 30);
    if (saved_.rlim_cur != RLIM_INFINITY && saved_.rlim_cur < capped.rlim_cur) return;
    active_ = setrlimit(RLIMIT_AS, &capped) == 0;
#endif
  }
  ~AddressSpaceCap() {
    if (active_) setrlimit(RLIMIT_AS, &saved_);
  }
  AddressSpaceCap(const AddressSpaceCap&) = delete;
  AddressSpaceCap& operator=(const AddressSpaceCap&) = delete;

 private:
  rlimit saved_{};
  bool active_ = false;
};

// What a file plays as: its frames and how each is laid out for the audio
// output. No frames: the file is no sound.
struct Heard {
  int channels = 0;
  int bytesPerSample = 0;
  int frames = 0;
};
constexpr Heard kNoSound{};

// The format chunk of integer PCM, or of what `guid` names, written as
// WAVE_FORMAT_EXTENSIBLE: the plain sixteen bytes, then the extension.
const std::string kPcmGuid("\x01\0\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71", 16);
const std::string kFloatGuid("\x03\0\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71", 16);
std::string Extensible(std::uint16_t bits, std::uint16_t channels = 1,
                       const std::string& guid = kPcmGuid, std::uint16_t validBits = 0) {
  return Fmt(0xFFFE, bits, channels) + Le(22, 2) + Le(validBits == 0 ? bits : validBits, 2) +
         Le(channels == 2 ? 3 : 4, 4) + guid;
}

struct SoundCase {
  const char* name;
  std::string bytes;  // empty: no file at all, unless `place` puts something there
  Heard heard;
  // A part of the one line that says why it can't be played; nullptr: nothing is said.
  const char* said = nullptr;
  std::function<void(const std::string&)> place = nullptr;
  friend void PrintTo(const SoundCase& row, std::ostream* os) { *os << row.name; }
};

class SoundFile : public FilesTest, public ::testing::WithParamInterface<SoundCase> {};

std::vector<std::string> StderrOfSound(const fs::path& path, fw::SoundPtr& sound) {
  ::testing::internal::CaptureStderr();
  {
    const AddressSpaceCap cap;
    EXPECT_NO_THROW(sound = fw::FolderItem(path.string()).OpenAsSound());
  }
  return LinesOf(::testing::internal::GetCapturedStderr());
}

TEST_P(SoundFile, ReadsIntegerPcmWaveByContentAndSaysWhyNot) {
  const SoundCase& row = GetParam();
  const fs::path path = Scratch() / "sound";  // no extension: the content decides
  if (row.place) row.place(path.string());
  else if (!row.bytes.empty()) WriteBytes(path, row.bytes);
  PipeWatchdog watchdog(path);
  fw::SoundPtr sound;
  const std::vector<std::string> lines = StderrOfSound(path, sound);
  EXPECT_FALSE(watchdog.Rescued()) << "opening it blocked";
  EXPECT_EQ(sound != nullptr, row.heard.frames > 0);
  if (row.said == nullptr) {
    EXPECT_TRUE(lines.empty()) << ::testing::PrintToString(lines);
  } else {
    ASSERT_EQ(lines.size(), 1u) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines[0].rfind("Sound " + path.string() + " can't be played: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(row.said), std::string::npos) << lines[0];
    fw::SoundPtr again;
    EXPECT_TRUE(StderrOfSound(path, again).empty()) << "said again of the same file";
    EXPECT_EQ(again, nullptr);
  }
  if (sound) {
    EXPECT_EQ(sound->Path(), path.string());
    const fw::testing::SoundSamples samples = fw::testing::Samples(*sound);
    EXPECT_EQ(samples.rate, 8000);
    EXPECT_EQ(samples.channels, row.heard.channels);
    EXPECT_EQ(samples.bytesPerSample, row.heard.bytesPerSample);
    EXPECT_EQ(samples.bytes.size(),
              static_cast<std::size_t>(row.heard.frames * row.heard.channels *
                                       row.heard.bytesPerSample));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SoundFile,
    ::testing::Values(
        SoundCase{"Pcm16", Wave({Chunk("fmt ", Fmt(1, 16)), Chunk("data", kSamples)}), {1, 2, 200}},
        SoundCase{"Pcm8Stereo", Wave({Chunk("fmt ", Fmt(1, 8, 2)), Chunk("data", kSamples)}), {2, 1, 200}},
        SoundCase{"Pcm24", Wave({Chunk("fmt ", Fmt(1, 24)), Chunk("data", std::string(300, '\0'))}),
                  {1, 4, 100}},
        SoundCase{"ListChunkFirst",
                  Wave({Chunk("LIST", std::string("INFOISFT\x06\0\0\0probe\0", 18)),
                        Chunk("fmt ", Fmt(1, 16)), Chunk("data", kSamples)}),
                  {1, 2, 200}},
        // Readers disagree on where the chunk after an odd one starts.
        SoundCase{"OddChunkBeforeTheSamples",
                  Wave({Chunk("LIST", std::string("INFOISFT\x05\0\0\0probe", 17)),
                        Chunk("fmt ", Fmt(1, 16)), Chunk("data", kSamples)}),
                  kNoSound, "its LIST chunk has an odd size"},
        SoundCase{"LongFmtChunk",
                  Wave({Chunk("fmt ", Fmt(1, 16) + Le(0, 2)), Chunk("data", kSamples)}), {1, 2, 200}},
        SoundCase{"Float", Wave({Chunk("fmt ", Fmt(3, 32)), Chunk("data", kSamples)}), kNoSound,
                  "its samples are floating point, not integer PCM"},
        SoundCase{"Extensible",
                  Wave({Chunk("fmt ", Fmt(0xFFFE, 16) + Le(22, 2) + std::string(22, '\0')),
                        Chunk("data", kSamples)}),
                  kNoSound, "its samples are sub-format 00000000-0000-0000-0000-000000000000"},
        SoundCase{"ExtensiblePcm16Mono",
                  Wave({Chunk("fmt ", Extensible(16)), Chunk("data", kSamples)}), {1, 2, 200}},
        SoundCase{"ExtensiblePcm16Stereo",
                  Wave({Chunk("fmt ", Extensible(16, 2)), Chunk("data", kSamples)}), {2, 2, 100}},
        // Twenty bits of each sample count; the output takes all 24.
        SoundCase{"ExtensiblePcm20In24",
                  Wave({Chunk("fmt ", Extensible(24, 1, kPcmGuid, 20)),
                        Chunk("data", std::string(300, '\0'))}),
                  {1, 4, 100}},
        SoundCase{"ExtensibleMoreValidBitsThanItsSamplesHold",
                  Wave({Chunk("fmt ", Extensible(16, 1, kPcmGuid, 20)), Chunk("data", kSamples)}),
                  kNoSound, "20 valid bits"},
        SoundCase{"ExtensibleFloat",
                  Wave({Chunk("fmt ", Extensible(32, 1, kFloatGuid)), Chunk("data", kSamples)}),
                  kNoSound, "floating point"},
        // What follows the plain sixteen bytes is all that tells the samples.
        SoundCase{"ExtensibleWithoutItsExtension",
                  Wave({Chunk("fmt ", Fmt(0xFFFE, 16)), Chunk("data", kSamples)}), kNoSound,
                  "fmt chunk"},
        SoundCase{"MuLaw", Wave({Chunk("fmt ", Fmt(7, 8)), Chunk("data", kSamples)}), kNoSound,
                  "its samples are \u00B5-law, not integer PCM"},
        SoundCase{"TwelveBits", Wave({Chunk("fmt ", Fmt(1, 12)), Chunk("data", kSamples)}), kNoSound,
                  "it has 12-bit samples"},
        SoundCase{"NoChannels", Wave({Chunk("fmt ", Fmt(1, 16, 0)), Chunk("data", kSamples)}),
                  kNoSound, "it has no channels"},
        SoundCase{"DataBeforeFmt", Wave({Chunk("data", kSamples), Chunk("fmt ", Fmt(1, 16))}),
                  kNoSound, "its samples come before their format"},
        SoundCase{"NoData", Wave({Chunk("fmt ", Fmt(1, 16))}), kNoSound, "no data chunk"},
        SoundCase{"EmptyData", Wave({Chunk("fmt ", Fmt(1, 16)), Chunk("data", "")}), kNoSound,
                  "it holds no whole frame of samples"},
        SoundCase{"LessThanAFrame", Wave({Chunk("fmt ", Fmt(1, 16)), Chunk("data", "\x10")}),
                  kNoSound, "it holds no whole frame of samples"},
        // Half a frame at the end is not played.
        SoundCase{"HalfAFrameAtTheEnd",
                  Wave({Chunk("fmt ", Fmt(1, 16)), Chunk("data", kSamples + "\x10")}), {1, 2, 200}},
        SoundCase{"ShortFmt", Wave({Chunk("fmt ", Fmt(1, 16).substr(0, 12)), Chunk("data", kSamples)}),
                  kNoSound, "fmt chunk"},
        // A chunk that claims far more than the file holds is not read as
        // that much.
        SoundCase{"FmtClaimsFourGigabytes",
                  "RIFF" + Le(100, 4) + "WAVEfmt " + Le(0xFFFFFFF0u, 4) + Fmt(1, 16) + "data" +
                      Le(400, 4) + kSamples,
                  kNoSound, "its fmt chunk claims 4294967280 bytes, more than the file holds"},
        // Samples the file doesn't hold are not waited for.
        SoundCase{"DataCutShortByOneByte",
                  Wave({Chunk("fmt ", Fmt(1, 16)), Chunk("data", kSamples)}).substr(0, 44 + 399),
                  kNoSound, "its data chunk claims 400 bytes, more than the file holds"},
        SoundCase{"DataClaimsFarMore",
                  Wave({Chunk("fmt ", Fmt(1, 16))}) + "data" + Le(0x7FFFFFF0u, 4) + kSamples, kNoSound,
                  "its data chunk claims 2147483632 bytes"},
        // A name that is not text is not written out as it stands.
        SoundCase{"UnnamedChunkClaimsFarMore",
                  Wave({Chunk("fmt ", Fmt(1, 16))}) + std::string("\n\0\x01\xFF", 4) +
                      Le(0x7FFFFFF0u, 4) + kSamples,
                  kNoSound, "its chunk at byte 36 claims 2147483632 bytes"},
        // The padding after an odd chunk is often left out at the very end.
        SoundCase{"OddDataWithoutItsPadByte",
                  Wave({Chunk("fmt ", Fmt(1, 8)), Chunk("data", kSamples.substr(0, 399))})
                      .substr(0, 44 + 399),
                  {1, 1, 399}},
        SoundCase{"NotRiff", "RIFX" + Wave({Chunk("fmt ", Fmt(1, 16)), Chunk("data", kSamples)}).substr(4),
                  kNoSound, "it is not a RIFF/WAVE file"},
        SoundCase{"Garbage", "not a sound, only words", kNoSound, "it is not a RIFF/WAVE file"},
        SoundCase{"Folder", "", kNoSound, "it is a folder",
                  [](const std::string& p) { fs::create_directory(p); }},
        SoundCase{"PipeWithNoWriter", "", kNoSound, "it is not a regular file", Fifo},
        SoundCase{"Missing", "", kNoSound}),
    probe::RowName());

TEST_F(FilesTest, SoundMendedAndBrokenAgainIsSaidAgain) {
  const fs::path path = Scratch() / "finale";
  fw::SoundPtr sound;
  WriteBytes(path, "no sound");
  EXPECT_EQ(StderrOfSound(path, sound).size(), 1u);
  EXPECT_TRUE(StderrOfSound(path, sound).empty()) << "still broken the same way";

  WriteBytes(path, Wave({Chunk("fmt ", Fmt(1, 16)), Chunk("data", kSamples)}));
  EXPECT_TRUE(StderrOfSound(path, sound).empty());
  EXPECT_NE(sound, nullptr);
  WriteBytes(path, "no sound");
  EXPECT_EQ(StderrOfSound(path, sound).size(), 1u) << "broken again after it played";
  // Broken another way is news.
  WriteBytes(path, Wave({Chunk("fmt ", Fmt(3, 32)), Chunk("data", kSamples)}));
  EXPECT_EQ(StderrOfSound(path, sound).size(), 1u);
  // Gone, then broken as before: said again.
  fs::remove(path);
  EXPECT_TRUE(StderrOfSound(path, sound).empty());
  WriteBytes(path, Wave({Chunk("fmt ", Fmt(3, 32)), Chunk("data", kSamples)}));
  EXPECT_EQ(StderrOfSound(path, sound).size(), 1u);
}

// One file may be tried as a picture and as a sound: what is said of it,
// or forgotten, as the one is no news of the other.
TEST_F(FilesTest, PictureAndSoundOfOneFileAreSaidOfApart) {
  const fs::path path = Scratch() / "both";
  const std::string soundLine = "Sound " + path.string() + " can't be played: ";
  fw::SoundPtr sound;
  WriteBytes(path, "neither");
  std::vector<std::string> lines = StderrOfTries(path, 1);
  ASSERT_EQ(lines.size(), 1u) << ::testing::PrintToString(lines);
  EXPECT_EQ(lines[0].rfind("Picture " + path.string() + " could not be read: ", 0), 0u) << lines[0];
  lines = StderrOfSound(path, sound);
  ASSERT_EQ(lines.size(), 1u) << ::testing::PrintToString(lines);
  EXPECT_EQ(lines[0].rfind(soundLine, 0), 0u) << lines[0];
  EXPECT_TRUE(StderrOfTries(path, 3).empty());
  EXPECT_TRUE(StderrOfSound(path, sound).empty());

  // A picture now, and still no sound, for the same reason as before.
  Png(path.string());
  EXPECT_TRUE(StderrOfTries(path, 1, true).empty());
  lines = StderrOfSound(path, sound);
  EXPECT_TRUE(lines.empty()) << "the picture that loads is no news of the sound: "
                             << ::testing::PrintToString(lines);
  EXPECT_EQ(sound, nullptr);
}

// The samples go to the output as the file holds them, but for 24-bit
// ones, which the output has no room for: each goes out as the top three
// bytes of a 32-bit sample, so that none loses its low bits.
struct SampleCase {
  const char* name;
  std::uint16_t bits;
  std::string data;
  std::string out;
  friend void PrintTo(const SampleCase& row, std::ostream* os) { *os << row.name; }
};

class SampleBytes : public FilesTest, public ::testing::WithParamInterface<SampleCase> {};

TEST_P(SampleBytes, GoOutInTheFilesOrder) {
  const SampleCase& row = GetParam();
  const fs::path path = Scratch() / "sound";
  WriteBytes(path, Wave({Chunk("fmt ", Fmt(1, row.bits)), Chunk("data", row.data)}));
  const fw::SoundPtr sound = fw::FolderItem(path.string()).OpenAsSound();
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(fw::testing::Samples(*sound).bytes, row.out);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SampleBytes,
    ::testing::Values(
        SampleCase{"Pcm8", 8, "\x01\x80\xFF", "\x01\x80\xFF"},
        SampleCase{"Pcm16", 16, "\x01\x02\xFE\xFF", "\x01\x02\xFE\xFF"},
        SampleCase{"Pcm24", 24, std::string("\x01\x02\x03\xFD\xFE\xFF", 6),
                   std::string("\0\x01\x02\x03\0\xFD\xFE\xFF", 8)},
        SampleCase{"Pcm32", 32, "\x01\x02\x03\x04", "\x01\x02\x03\x04"}),
    probe::RowName());

TEST_F(FilesTest, PlayingNeverBlocksAndIsCounted) {
  const fs::path path = Scratch() / "chime";
  WriteBytes(path, Wave({Chunk("fmt ", Fmt(1, 16)), Chunk("data", kSamples)}));
  const fw::SoundPtr sound = fw::FolderItem(path.string()).OpenAsSound();
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(fw::testing::PlayCount(*sound), 0);
  sound->Play();
  fw::testing::ProcessEvents();
  sound->Play();
  sound->Play();
  fw::testing::ProcessEvents();
  EXPECT_EQ(fw::testing::PlayCount(*sound), 3);
}

// --- names that are not UTF-8 ------------------------------------------------

// A name in the file system is bytes, whatever they spell: an older system
// may have named a folder in Latin-1. Every step keeps them as they are,
// down to the file whose samples are played.
struct ByteNameCase {
  const char* name;
  const char* leaf;
  friend void PrintTo(const ByteNameCase& row, std::ostream* os) { *os << row.name; }
};

class ByteName : public FilesTest, public ::testing::WithParamInterface<ByteNameCase> {};

TEST_P(ByteName, IsKeptFromFolderToFile) {
  const std::string leaf = GetParam().leaf;
  const fs::path folder = Scratch() / leaf;
  ASSERT_TRUE(fs::create_directory(folder));
  const fw::FolderItemPtr item = fw::FolderItem(Scratch().string()).Child(leaf);
  EXPECT_EQ(item->Path(), folder.string());
  EXPECT_EQ(item->Name(), leaf);
  EXPECT_TRUE(item->Exists());
  EXPECT_TRUE(item->IsFolder());

  const fw::FolderItemPtr picture = item->Child(leaf + ".png");
  Png((Scratch() / "plain.png").string());
  fs::rename(Scratch() / "plain.png", folder / (leaf + ".png"));
  EXPECT_EQ(picture->Name(), leaf + ".png");
  EXPECT_TRUE(picture->Exists());
  EXPECT_FALSE(picture->IsFolder());
  const fw::FolderItemPtr up = picture->Parent();
  ASSERT_NE(up, nullptr);
  EXPECT_EQ(up->Path(), folder.string());
  EXPECT_NE(picture->OpenAsPicture(), nullptr);

  WriteBytes(folder / leaf, Wave({Chunk("fmt ", Fmt(1, 16)), Chunk("data", kSamples)}));
  const fw::SoundPtr sound = item->Child(leaf)->OpenAsSound();
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->Path(), (folder / leaf).string());
  EXPECT_EQ(fw::testing::Samples(*sound).bytes, kSamples);
}

INSTANTIATE_TEST_SUITE_P(Table, ByteName,
                         ::testing::Values(ByteNameCase{"Latin1", "caf\xE9"},
                                           ByteNameCase{"LoneContinuationByte", "\x80rotor"},
                                           ByteNameCase{"SequenceCutShort", "rotor\xC3"},
                                           ByteNameCase{"BytesUtf8NeverHas", "\xFF\xFE"},
                                           ByteNameCase{"Utf8", "caf\xC3\xA9"}),
                         probe::RowName());

// --- the executable ---------------------------------------------------------

TEST_F(FilesTest, ExecutableFileIsTheRunningProgramUnlessOverridden) {
  const fw::FolderItemPtr exe = fw::Application::ExecutableFile();
  ASSERT_NE(exe, nullptr);
  EXPECT_EQ(fs::path(exe->Path()), fs::canonical("/proc/self/exe"));
  EXPECT_TRUE(exe->Exists());

  fw::testing::SetExecutablePath("/opt/elsewhere/bin/vantorel");
  const fw::FolderItemPtr pretended = fw::Application::ExecutableFile();
  ASSERT_NE(pretended, nullptr);
  EXPECT_EQ(pretended->Path(), "/opt/elsewhere/bin/vantorel");
  EXPECT_EQ(pretended->Parent()->Path(), "/opt/elsewhere/bin");

  fw::testing::SetExecutablePath("");
  EXPECT_EQ(fw::Application::ExecutableFile()->Path(), exe->Path());
}

// --- file types -------------------------------------------------------------

int Registered(const std::string& name) {
  int n = 0;
  for (const fw::RegisteredFileType& t : fw::RegisteredFileTypes())
    if (t.name == name) ++n;
  return n;
}

TEST(FileType, RegistersOnceAndLeavesWithItsObject) {
  auto first = std::make_unique<fw::FileType>();
  first->SetName("probe/first");
  first->SetExtensions(".pf");
  first->SetMacType("PRBF");
  first->SetMacCreator("VNTR");
  fw::FileType second;
  second.SetName("probe/second");

  EXPECT_FALSE(first->IsRegistered());
  EXPECT_EQ(Registered("probe/first"), 0);
  EXPECT_EQ(first->Register(), "probe/first");
  EXPECT_EQ(first->Register(), "probe/first");
  EXPECT_EQ(second.Register(), "probe/second");
  EXPECT_TRUE(first->IsRegistered());
  EXPECT_EQ(Registered("probe/first"), 1);
  EXPECT_EQ(Registered("probe/second"), 1);

  // In registration order, with what was set.
  const auto all = fw::RegisteredFileTypes();
  auto at = std::find_if(all.begin(), all.end(), [](const auto& t) { return t.name == "probe/first"; });
  ASSERT_NE(at, all.end());
  EXPECT_EQ(at->extensions, ".pf");
  EXPECT_EQ(at->type, "PRBF");
  EXPECT_EQ(at->creator, "VNTR");
  ASSERT_NE(at + 1, all.end());
  EXPECT_EQ((at + 1)->name, "probe/second");

  first.reset();
  EXPECT_EQ(Registered("probe/first"), 0);
  EXPECT_EQ(Registered("probe/second"), 1);
}

}  // namespace
