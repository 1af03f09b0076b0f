#include "app/loaders.h"

#include <system_error>

#include "fw/application.h"
#include "fw/exceptions.h"

namespace {

enum Pic { kProp, kProp1, kProp2, kProp3, kCreditsHeli, kEhang184, kPopup2, kVolocopterTwo1,
           kMultidrone, kKivo15, kOpenframe, kWindshield, kStreamlined, kSingleseat, kSbys,
           kTandem, kPictureCount };

struct PictureCache {
  const char* file;
  fw::PicturePtr pic;
};

PictureCache caches[kPictureCount] = {
    {"Prop.png", nullptr},        {"Prop1.png", nullptr},
    {"Prop2.png", nullptr},       {"Prop3.png", nullptr},
    {"CreditsHeli.jpg", nullptr}, {"ehang184.jpg", nullptr},
    {"Popup2.png", nullptr},      {"volocopter-two-1.jpg", nullptr},
    {"Multidrone.png", nullptr},  {"Kivo-15.png", nullptr},
    {"Openframe.png", nullptr},   {"Windshield.png", nullptr},
    {"Streamlined.png", nullptr}, {"Singleseat.png", nullptr},
    {"sbys.png", nullptr},        {"tandem.png", nullptr},
};

fw::SoundPtr permaSound;
bool loaded = false;

fw::PicturePtr Load(Pic which) {
  PictureCache& cache = caches[which];
  if (cache.pic) return cache.pic;
  fw::FolderItemPtr folder = GetApplicationBundleResources();
  if (!folder) return nullptr;
  cache.pic = folder->Child(cache.file)->OpenAsPicture();
  return cache.pic;
}

}  // namespace

fw::FolderItemPtr GetApplicationBundleResources() {
  fw::FolderItemPtr exe = fw::Application::ExecutableFile();
  if (!exe) throw fw::NilObjectException("no executable file");
  fw::FolderItemPtr bin = exe->Parent();
  if (!bin) throw fw::NilObjectException("the executable has no folder");
  fw::FolderItemPtr top = bin->Parent();
  if (!top) throw fw::NilObjectException("the executable's folder has no parent");
  fw::FolderItemPtr resources = top->Child("Resources");
  // Child names a place whether or not anything is there; only a real
  // folder counts, so that callers can tell a missing installation.
  if (!resources->IsFolder()) return nullptr;
  return resources;
}

fw::SoundPtr finale() {
  if (!loaded) {
    loaded = true;
    if (fw::FolderItemPtr folder = GetApplicationBundleResources()) {
      permaSound = folder->Child("finale")->OpenAsSound();
    }
  }
  return permaSound;
}

fw::PicturePtr Prop() { return Load(kProp); }
fw::PicturePtr Prop1() { return Load(kProp1); }
fw::PicturePtr Prop2() { return Load(kProp2); }
fw::PicturePtr Prop3() { return Load(kProp3); }
fw::PicturePtr CreditsHeli() { return Load(kCreditsHeli); }
fw::PicturePtr ehang184() { return Load(kEhang184); }
fw::PicturePtr Popup2() { return Load(kPopup2); }
fw::PicturePtr volocoptertwo1() { return Load(kVolocopterTwo1); }
fw::PicturePtr Multidrone() { return Load(kMultidrone); }
fw::PicturePtr Kivo15() { return Load(kKivo15); }
fw::PicturePtr Openframe() { return Load(kOpenframe); }
fw::PicturePtr Windshield() { return Load(kWindshield); }
fw::PicturePtr Streamlined() { return Load(kStreamlined); }
fw::PicturePtr Singleseat() { return Load(kSingleseat); }
fw::PicturePtr sbys() { return Load(kSbys); }
fw::PicturePtr tandem() { return Load(kTandem); }

void permaSound_Exit() { permaSound.reset(); }

void ResetLoadersForTesting() {
  for (PictureCache& cache : caches) cache.pic.reset();
  permaSound.reset();
  loaded = false;
}
