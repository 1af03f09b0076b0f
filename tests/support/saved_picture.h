// Checks on a window's picture as it was written to disk: the file a person
// looks at, read back with the framework's own reader, so that a check sees
// what the file holds rather than what the window holds.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "fw/fw.h"
#include "fw/testing.h"
#include "support/test_output.h"

namespace saved {

struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  bool Contains(int x, int y) const {
    return x >= left && x < left + width && y >= top && y < top + height;
  }
};

inline Box BoxOf(const fw::Control& c) { return Box{c.Left(), c.Top(), c.Width(), c.Height()}; }

// Saves the whole window as `file` in the test output folder and reads the
// file back; nullptr, with a failure, when either step fails.
inline fw::PicturePtr SaveAndReadBack(fw::Window& window, const std::string& file) {
  const std::string path = (TestOutputDir() / file).string();
  if (!fw::testing::SaveImage(window, path)) {
    ADD_FAILURE() << "could not save " << path;
    return nullptr;
  }
  fw::PicturePtr picture = fw::FolderItem(path).OpenAsPicture();
  if (picture == nullptr) ADD_FAILURE() << "could not read back " << path;
  return picture;
}

// How far down the picture the window's content starts: a menu bar, if
// the window has one, sits above it, as wide as the window.
inline int ContentTop(const fw::Picture& picture, const fw::Window& window) {
  return picture.Height() - window.Height();
}

inline std::string Describe(fw::Color c) {
  return "RGB(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) +
         ")";
}

inline int CountIn(const fw::Picture& picture, const Box& box, fw::Color colour) {
  int n = 0;
  for (int y = box.top; y < box.top + box.height; ++y)
    for (int x = box.left; x < box.left + box.width; ++x)
      if (picture.Pixel(x, y) == colour) ++n;
  return n;
}

// What a pixel of the picture must be, by its picture coordinates; nothing
// for a pixel the check leaves alone.
using Expectation = std::function<std::optional<fw::Color>(int x, int y)>;

// Every pixel of `box` that `expected` speaks for is as it says. The box
// must lie in the picture, and at least one pixel must be checked: a check
// that looks at nothing proves nothing.
inline ::testing::AssertionResult Shows(const fw::Picture& picture, const Box& box,
                                        const Expectation& expected) {
  if (box.left < 0 || box.top < 0 || box.left + box.width > picture.Width() ||
      box.top + box.height > picture.Height())
    return ::testing::AssertionFailure()
           << "the box " << box.width << "x" << box.height << " at " << box.left << "," << box.top
           << " leaves the " << picture.Width() << "x" << picture.Height() << " picture";
  int checked = 0, differing = 0;
  std::string first;
  for (int y = box.top; y < box.top + box.height; ++y) {
    for (int x = box.left; x < box.left + box.width; ++x) {
      const std::optional<fw::Color> want = expected(x, y);
      if (!want) continue;
      ++checked;
      const fw::Color got = picture.Pixel(x, y);
      if (got == *want) continue;
      if (differing++ == 0)
        first = "first at (" + std::to_string(x) + ", " + std::to_string(y) + "): " +
                Describe(got) + " instead of " + Describe(*want);
    }
  }
  if (checked == 0) return ::testing::AssertionFailure() << "no pixel of the box was checked";
  if (differing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differing << " of " << checked << " pixels differ; "
                                       << first;
}

// The box shows one colour throughout.
inline ::testing::AssertionResult Filled(const fw::Picture& picture, const Box& box,
                                         fw::Color colour) {
  return Shows(picture, box, [colour](int, int) { return colour; });
}

// `source` unscaled with its top-left at (left, top): the picture's pixel
// (x, y) is the source's (x - left, y - top). The source must outlive the
// expectation.
template <class Source>
Expectation Copy(const Source& source, int left, int top) {
  return [&source, left, top](int x, int y) { return source.Pixel(x - left, y - top); };
}

}  // namespace saved
