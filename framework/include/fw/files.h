#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fw/graphics.h"

namespace fw {

class Sound;
using SoundPtr = std::shared_ptr<Sound>;
class FolderItem;
using FolderItemPtr = std::shared_ptr<FolderItem>;

// A place in the file system, which need not exist.
class FolderItem {
 public:
  explicit FolderItem(std::string path);
  const std::string& Path() const { return path_; }
  bool Exists() const;
  bool IsFolder() const;
  std::string Name() const;
  // nullptr above the root.
  FolderItemPtr Parent() const;
  // An item even when no such file exists.
  FolderItemPtr Child(std::string_view name) const;
  // PNG or JPEG, chosen by content; nullptr when missing or unreadable.
  PicturePtr OpenAsPicture() const;
  // RIFF/WAVE integer PCM, found by the exact name; nullptr when missing,
  // and when it can't be played, which is said once on the error stream.
  SoundPtr OpenAsSound() const;

 private:
  std::string path_;
};

namespace detail {
struct SoundData;
struct Internals;
}

// Playback is best-effort and asynchronous: with no audio device it does
// nothing, and it never blocks.
class Sound {
 public:
  // `data` holds the file at `path`, open, that was found to be a sound.
  Sound(std::string path, std::unique_ptr<detail::SoundData> data);
  ~Sound();
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;
  void Play();
  const std::string& Path() const { return path_; }

 private:
  friend struct detail::Internals;
  std::string path_;
  std::unique_ptr<detail::SoundData> data_;
};

// A document type known to the application; no document is opened with it,
// and nothing on the desktop changes when it is registered.
class FileType {
 public:
  FileType() = default;
  ~FileType();  // a registered type leaves the registry with its object
  FileType(const FileType&) = delete;
  FileType& operator=(const FileType&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string v) { name_ = std::move(v); }
  const std::string& Extensions() const { return extensions_; }
  void SetExtensions(std::string v) { extensions_ = std::move(v); }
  const std::string& MacType() const { return macType_; }
  void SetMacType(std::string v) { macType_ = std::move(v); }
  const std::string& MacCreator() const { return macCreator_; }
  void SetMacCreator(std::string v) { macCreator_ = std::move(v); }

  // The type as text: registers it on the first use, and gives its name.
  std::string Register();
  bool IsRegistered() const { return registered_; }

 private:
  std::string name_, extensions_, macType_, macCreator_;
  bool registered_ = false;
};

struct RegisteredFileType {
  std::string name, creator, type, extensions;
};
// The in-process registry, in registration order.
std::vector<RegisteredFileType> RegisteredFileTypes();

}  // namespace fw
