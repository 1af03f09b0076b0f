#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "fw/numbers.h"

namespace fw {

namespace detail {
struct PictureData;
class Surface;
}  // namespace detail

// An image loaded from a file. Shared: whoever holds a PicturePtr shares it.
class Picture {
 public:
  explicit Picture(std::unique_ptr<detail::PictureData> data);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  int Width() const;
  int Height() const;
  Color Pixel(int x, int y) const;  // black outside the picture
  const detail::PictureData& Data() const { return *data_; }

 private:
  std::unique_ptr<detail::PictureData> data_;
};
using PicturePtr = std::shared_ptr<const Picture>;

// A drawing context on a pixel buffer: the one of a canvas or of a window's
// content area. Pixel coordinates, origin top-left, no antialiasing. The pen
// is PenWidth x PenHeight pixels and hangs to the right of and below the
// path. Everything outside the buffer is clipped.
class Graphics {
 public:
  explicit Graphics(detail::Surface& surface) : surface_(&surface) {}

  Color ForeColor() const { return foreColor_; }
  void SetForeColor(Color c) { foreColor_ = c; }
  int PenWidth() const { return penWidth_; }
  void SetPenWidth(int w) { penWidth_ = w; }
  int PenHeight() const { return penHeight_; }
  void SetPenHeight(int h) { penHeight_ = h; }

  int Width() const;
  int Height() const;

  // Covers every pixel the pen sweeps from (x1, y1) to (x2, y2), both ends
  // included.
  void DrawLine(int x1, int y1, int x2, int y2);
  // Frames the ellipse inside the w x h box at (x, y), as thick as the pen;
  // nothing outside the box.
  void DrawOval(int x, int y, int w, int h);
  // -10000 for a size means "the whole picture", so the defaults draw it
  // unscaled with its top-left at (x, y). A nil picture draws nothing.
  void DrawPicture(const PicturePtr& picture, int x, int y, int destWidth = -10000,
                   int destHeight = -10000, int sourceX = 0, int sourceY = 0,
                   int sourceWidth = -10000, int sourceHeight = -10000);

  Color Pixel(int x, int y) const;  // black outside the buffer

 private:
  detail::Surface* surface_;
  Color foreColor_{0, 0, 0};
  int penWidth_ = 1;
  int penHeight_ = 1;
};

}  // namespace fw
