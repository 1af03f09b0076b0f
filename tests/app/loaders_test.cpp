// The pictures and the fanfare: which file each loader reads, what it keeps,
// and what it does when a file is missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/loaders.h"
#include "fw/exceptions.h"
#include "fw/files.h"
#include "gui/fixture.h"
#include "resource_layout.h"

namespace {

struct PictureRow {
  const char* name;
  fw::PicturePtr (*load)();
  const char* file;
};

const PictureRow kPictures[] = {
    {"Prop", Prop, "Prop.png"},
    {"Prop1", Prop1, "Prop1.png"},
    {"Prop2", Prop2, "Prop2.png"},
    {"Prop3", Prop3, "Prop3.png"},
    {"CreditsHeli", CreditsHeli, "CreditsHeli.jpg"},
    {"ehang184", ehang184, "ehang184.jpg"},
    {"Popup2", Popup2, "Popup2.png"},
    {"volocoptertwo1", volocoptertwo1, "volocopter-two-1.jpg"},
    {"Multidrone", Multidrone, "Multidrone.png"},
    {"Kivo15", Kivo15, "Kivo-15.png"},
    {"Openframe", Openframe, "Openframe.png"},
    {"Windshield", Windshield, "Windshield.png"},
    {"Streamlined", Streamlined, "Streamlined.png"},
    {"Singleseat", Singleseat, "Singleseat.png"},
    {"sbys", sbys, "sbys.png"},
    {"tandem", tandem, "tandem.png"},
};

std::string RowName(const ::testing::TestParamInfo<PictureRow>& info) { return info.param.name; }

// Width and height as the file's own header states them.
struct Size {
  int width = 0, height = 0;
};
Size HeaderSize(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
  auto be16 = [&](std::size_t i) { return b[i] << 8 | b[i + 1]; };
  if (b.size() > 24 && b[0] == 0x89 && b[1] == 'P') {
    return {be16(16) << 16 | be16(18), be16(20) << 16 | be16(22)};
  }
  // JPEG: walk the segments to the first start-of-frame.
  for (std::size_t i = 2; i + 9 < b.size();) {
    if (b[i] != 0xFF) return {};
    const unsigned marker = b[i + 1];
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
      return {be16(i + 7), be16(i + 5)};
    i += 2 + static_cast<std::size_t>(be16(i + 2));
  }
  return {};
}

class PictureLoaderTest : public FreshApp, public ::testing::WithParamInterface<PictureRow> {};

// With nothing but its own file in the folder, the loader still finds its
// picture and every other loader finds none: each reads exactly its name.
TEST_P(PictureLoaderTest, ReadsExactlyItsOwnFile) {
  const PictureRow& row = GetParam();
  ResourceLayout layout;
  layout.Put(row.file);
  const fw::PicturePtr pic = row.load();
  ASSERT_NE(pic, nullptr);
  const Size header = HeaderSize(layout.Resources() / row.file);
  EXPECT_EQ(pic->Width(), header.width);
  EXPECT_EQ(pic->Height(), header.height);
  for (const PictureRow& other : kPictures) {
    if (other.load == row.load) continue;
    SCOPED_TRACE(other.name);
    EXPECT_EQ(other.load(), nullptr);
  }
}

TEST_P(PictureLoaderTest, SecondCallGivesTheFirstObjectEvenWithTheFileGone) {
  const PictureRow& row = GetParam();
  ResourceLayout layout;
  layout.PutAll();
  const fw::PicturePtr first = row.load();
  ASSERT_NE(first, nullptr);
  layout.Remove(row.file);
  EXPECT_EQ(row.load().get(), first.get());
  EXPECT_EQ(row.load().get(), first.get());
}

TEST_P(PictureLoaderTest, MissingPictureIsTriedAgainUntilItIsThere) {
  const PictureRow& row = GetParam();
  ResourceLayout layout;
  layout.PutAllBut({row.file});
  EXPECT_EQ(row.load(), nullptr);
  EXPECT_EQ(row.load(), nullptr);
  layout.Put(row.file);
  const fw::PicturePtr later = row.load();
  ASSERT_NE(later, nullptr);
  EXPECT_EQ(row.load().get(), later.get());
}

TEST_P(PictureLoaderTest, OnlyTheLoaderOfTheMissingFileGivesNil) {
  const PictureRow& row = GetParam();
  ResourceLayout layout;
  layout.PutAllBut({row.file});
  for (const PictureRow& each : kPictures) {
    SCOPED_TRACE(each.name);
    if (each.load == row.load) {
      EXPECT_EQ(each.load(), nullptr);
    } else {
      EXPECT_NE(each.load(), nullptr);
    }
  }
  EXPECT_NE(finale(), nullptr);
}

// A file of the right name that holds no picture is no picture.
TEST_P(PictureLoaderTest, FileThatIsNoPictureGivesNil) {
  const PictureRow& row = GetParam();
  ResourceLayout layout;
  std::ofstream(layout.Resources() / row.file) << "not a picture";
  EXPECT_EQ(row.load(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Loaders, PictureLoaderTest, ::testing::ValuesIn(kPictures), RowName);

class FinaleTest : public FreshApp {};

TEST_F(FinaleTest, LoadsTheFileNamedFinaleAndKeepsIt) {
  ResourceLayout layout;
  layout.Put("finale");
  const fw::SoundPtr first = finale();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(fs::path(first->Path()), layout.Resources() / "finale");
  layout.Remove("finale");
  EXPECT_EQ(finale().get(), first.get());
}

// The sound is looked for once per run: what was missing then stays missing.
TEST_F(FinaleTest, MissingAtTheFirstCallStaysNilAfterTheFileAppears) {
  ResourceLayout layout;
  layout.PutAllBut({"finale"});
  EXPECT_EQ(finale(), nullptr);
  layout.Put("finale");
  for (int call = 0; call < 3; ++call) EXPECT_EQ(finale(), nullptr) << "call " << call;
}

TEST_F(FinaleTest, FileWithAnExtensionIsNotTheSound) {
  ResourceLayout layout;
  layout.Put("finale", "finale.wav");
  EXPECT_EQ(finale(), nullptr);
}

TEST_F(FinaleTest, ExitReleasesTheSoundForGood) {
  ResourceLayout layout;
  layout.Put("finale");
  std::weak_ptr<fw::Sound> held = finale();
  ASSERT_FALSE(held.expired());
  permaSound_Exit();
  EXPECT_TRUE(held.expired());
  EXPECT_EQ(finale(), nullptr);
}

class ResourcesFolderTest : public FreshApp {};

TEST_F(ResourcesFolderTest, WithoutTheFolderEveryLoaderGivesNil) {
  ResourceLayout layout(ResourceLayout::Folder::Absent);
  EXPECT_EQ(GetApplicationBundleResources(), nullptr);
  for (const PictureRow& row : kPictures) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.load(), nullptr);
  }
  EXPECT_EQ(finale(), nullptr);
}

TEST_F(ResourcesFolderTest, IsTheFolderBesideTheExecutablesFolder) {
  ResourceLayout layout;
  const fw::FolderItemPtr folder = GetApplicationBundleResources();
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(fs::path(folder->Path()), layout.Resources());
}

// A file called Resources is no folder to read pictures from.
TEST_F(ResourcesFolderTest, PlainFileNamedResourcesIsNoFolder) {
  ResourceLayout layout(ResourceLayout::Folder::Absent);
  std::ofstream(layout.Resources()) << "x";
  EXPECT_EQ(GetApplicationBundleResources(), nullptr);
  EXPECT_EQ(Prop(), nullptr);
}

TEST_F(ResourcesFolderTest, ExecutableWithNoGrandparentRaises) {
  struct Row {
    const char* name;
    const char* exe;
  };
  for (const Row& row : {Row{"at the root", "/vantorel"}, Row{"the root itself", "/"}}) {
    SCOPED_TRACE(row.name);
    fw::testing::SetExecutablePath(row.exe);
    EXPECT_THROW(GetApplicationBundleResources(), fw::NilObjectException);
  }
}

// --- the files that ship with the program ----------------------------------

enum class Kind { Png, Jpeg, Sound };

struct ShippedRow {
  const char* file;
  fw::PicturePtr (*load)();  // nullptr for the sound
  Kind kind;
  int width, height;  // 0: checked elsewhere (the rotor frames)
};

const ShippedRow kShipped[] = {
    {"ehang184.jpg", ehang184, Kind::Jpeg, 560, 300},
    {"Popup2.png", Popup2, Kind::Png, 560, 300},
    {"volocopter-two-1.jpg", volocoptertwo1, Kind::Jpeg, 560, 300},
    {"Multidrone.png", Multidrone, Kind::Png, 560, 300},
    {"Kivo-15.png", Kivo15, Kind::Png, 560, 300},
    {"Openframe.png", Openframe, Kind::Png, 115, 71},
    {"Windshield.png", Windshield, Kind::Png, 115, 71},
    {"Streamlined.png", Streamlined, Kind::Png, 115, 71},
    {"Singleseat.png", Singleseat, Kind::Png, 117, 71},
    {"sbys.png", sbys, Kind::Png, 117, 71},
    {"tandem.png", tandem, Kind::Png, 117, 71},
    {"CreditsHeli.jpg", CreditsHeli, Kind::Jpeg, 190, 270},
    {"Prop.png", Prop, Kind::Png, 0, 0},
    {"Prop1.png", Prop1, Kind::Png, 0, 0},
    {"Prop2.png", Prop2, Kind::Png, 0, 0},
    {"Prop3.png", Prop3, Kind::Png, 0, 0},
    {"finale", nullptr, Kind::Sound, 0, 0},
};

class ShippedResourcesTest : public FreshApp {};

TEST_F(ShippedResourcesTest, EveryFileIsKnownAndOfItsKindByContent) {
  const fs::path dir = RealResources();
  ASSERT_TRUE(fs::is_directory(dir)) << dir;
  std::set<std::string> present;
  for (const auto& entry : fs::directory_iterator(dir)) present.insert(entry.path().filename());
  std::set<std::string> known;
  for (const ShippedRow& row : kShipped) known.insert(row.file);
  EXPECT_EQ(present, known);

  for (const ShippedRow& row : kShipped) {
    SCOPED_TRACE(row.file);
    std::ifstream in(dir / row.file, std::ios::binary);
    std::array<unsigned char, 12> head{};
    in.read(reinterpret_cast<char*>(head.data()), head.size());
    switch (row.kind) {
      case Kind::Png:
        EXPECT_TRUE(head[0] == 0x89 && head[1] == 0x50 && head[2] == 0x4E && head[3] == 0x47);
        break;
      case Kind::Jpeg:
        EXPECT_TRUE(head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF);
        break;
      case Kind::Sound:
        EXPECT_EQ(std::string(head.begin(), head.begin() + 4), "RIFF");
        EXPECT_EQ(std::string(head.begin() + 8, head.end()), "WAVE");
        break;
    }
  }
}

TEST_F(ShippedResourcesTest, EveryPictureLoadsWithTheSizeItIsDrawnAt) {
  for (const ShippedRow& row : kShipped) {
    if (row.load == nullptr || row.width == 0) continue;
    SCOPED_TRACE(row.file);
    const fw::PicturePtr pic = row.load();
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->Width(), row.width);
    EXPECT_EQ(pic->Height(), row.height);
  }
  EXPECT_NE(finale(), nullptr);
}

// The frames are drawn one over the other at (115, 76) of the 190 x 240
// picture above the Credits band: one size, inside it, and told apart by
// their pixels.
TEST_F(ShippedResourcesTest, RotorFramesShareOneSizeThatFitsAboveTheBand) {
  const std::array frames = {Prop(), Prop1(), Prop2(), Prop3()};
  for (const fw::PicturePtr& f : frames) ASSERT_NE(f, nullptr);
  const int w = frames[0]->Width(), h = frames[0]->Height();
  EXPECT_GT(w, 0);
  EXPECT_LE(115 + w, 190);
  EXPECT_LE(76 + h, 240);
  for (std::size_t i = 1; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i]->Width(), w) << i;
    EXPECT_EQ(frames[i]->Height(), h) << i;
  }
  for (std::size_t a = 0; a < frames.size(); ++a) {
    for (std::size_t b = a + 1; b < frames.size(); ++b) {
      bool differ = false;
      for (int y = 0; y < h && !differ; ++y)
        for (int x = 0; x < w && !differ; ++x) differ = frames[a]->Pixel(x, y) != frames[b]->Pixel(x, y);
      EXPECT_TRUE(differ) << "frames " << a << " and " << b << " look the same";
    }
  }
}

}  // namespace
