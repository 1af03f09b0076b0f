#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "internal.h"

namespace fw {
namespace detail {

void Surface::Resize(int width, int height, QColor fill) {
  image_ = QImage(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
  image_.fill(fill);
  Changed();
}

void Surface::Fill(QColor c) {
  image_.fill(c);
  Changed();
}

void Surface::PaintOn(QWidget& widget, const QRect& damaged) {
  QPainter painter(&widget);
  painter.drawImage(damaged.topLeft(), image_, damaged);
  pending_ = false;
}

void Surface::Changed() {
  if (pending_) return;
  pending_ = true;
  if (onChange) onChange();
}

}  // namespace detail

Picture::Picture(std::unique_ptr<detail::PictureData> data) : data_(std::move(data)) {}
Picture::~Picture() = default;
int Picture::Width() const { return data_->image.width(); }
int Picture::Height() const { return data_->image.height(); }
Color Picture::Pixel(int x, int y) const {
  if (!data_->image.valid(x, y)) return Color{};
  const QColor c = data_->image.pixelColor(x, y);
  return Color{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
               static_cast<std::uint8_t>(c.blue())};
}

namespace {

// Coordinates come from whole() and may sit at the ends of the 32-bit range:
// all area arithmetic is done in 64 bits and clipped before any pixel loop.
struct Box {
  std::int64_t x0, y0, x1, y1;  // half-open
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

Box Clip(Box b, const QImage& img) {
  return Box{std::max<std::int64_t>(b.x0, 0), std::max<std::int64_t>(b.y0, 0),
             std::min<std::int64_t>(b.x1, img.width()),
             std::min<std::int64_t>(b.y1, img.height())};
}

inline QRgb Opaque(Color c) { return qRgb(c.r, c.g, c.b); }

void FillBox(QImage& img, Box b, QRgb rgb) {
  b = Clip(b, img);
  if (b.Empty()) return;
  for (std::int64_t y = b.y0; y < b.y1; ++y) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(static_cast<int>(y)));
    std::fill(row + b.x0, row + b.x1, rgb);
  }
}

// Which pixels of a w x h box an oval frame with a pw x ph pen covers: the
// pixel centres inside the outer ellipse and not inside the inner one. Dots
// come by the hundred with one size, so the last mask is kept.
struct OvalMask {
  std::int64_t w = -1, h = -1, pw = -1, ph = -1;
  std::vector<std::uint8_t> bits;
};

bool InOval(std::int64_t px, std::int64_t py, std::int64_t w, std::int64_t h, std::int64_t pw,
            std::int64_t ph) {
  const double a = static_cast<double>(w) / 2, b = static_cast<double>(h) / 2;
  const double dx = static_cast<double>(px) + 0.5 - a, dy = static_cast<double>(py) + 0.5 - b;
  if ((dx / a) * (dx / a) + (dy / b) * (dy / b) > 1.0) return false;
  const double ai = a - static_cast<double>(pw), bi = b - static_cast<double>(ph);
  if (ai <= 0 || bi <= 0) return true;
  return (dx / ai) * (dx / ai) + (dy / bi) * (dy / bi) >= 1.0;
}

const OvalMask& MaskFor(std::int64_t w, std::int64_t h, std::int64_t pw, std::int64_t ph) {
  static OvalMask mask;
  if (mask.w != w || mask.h != h || mask.pw != pw || mask.ph != ph) {
    mask.w = w, mask.h = h, mask.pw = pw, mask.ph = ph;
    mask.bits.assign(static_cast<std::size_t>(w * h), 0);
    for (std::int64_t y = 0; y < h; ++y)
      for (std::int64_t x = 0; x < w; ++x)
        mask.bits[static_cast<std::size_t>(y * w + x)] = InOval(x, y, w, h, pw, ph);
  }
  return mask;
}

constexpr std::int64_t kMaskedOval = 4096;  // larger ovals are tested pixel by pixel

// Cuts a segment to a rectangle (Liang-Barsky); false when nothing is left.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double lo_x, double lo_y,
                 double hi_x, double hi_y) {
  double t0 = 0, t1 = 1;
  const double dx = x2 - x1, dy = y2 - y1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - lo_x, hi_x - x1, y1 - lo_y, hi_y - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const double nx1 = x1 + t0 * dx, ny1 = y1 + t0 * dy;
  x2 = x1 + t1 * dx, y2 = y1 + t1 * dy;
  x1 = nx1, y1 = ny1;
  return true;
}

}  // namespace

int Graphics::Width() const { return surface_->Image().width(); }
int Graphics::Height() const { return surface_->Image().height(); }

Color Graphics::Pixel(int x, int y) const {
  const QImage& img = surface_->Image();
  if (!img.valid(x, y)) return Color{};
  const QRgb p = img.pixel(x, y);
  return Color{static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
               static_cast<std::uint8_t>(qBlue(p))};
}

void Graphics::DrawLine(int x1, int y1, int x2, int y2) {
  QImage& img = surface_->Image();
  const std::int64_t pw = std::max(penWidth_, 1), ph = std::max(penHeight_, 1);
  const QRgb rgb = Opaque(foreColor_);
  std::int64_t ax = x1, ay = y1, bx = x2, by = y2;
  if (ax == bx || ay == by) {  // the grid and the marks: one rectangle
    FillBox(img, Box{std::min(ax, bx), std::min(ay, by), std::max(ax, bx) + pw,
                     std::max(ay, by) + ph},
            rgb);
    surface_->Changed();
    return;
  }
  // A far-away end would make the walk below endless: cut the segment to a
  // margin around the buffer first.
  const std::int64_t margin = 2 * (pw + ph) + 8;
  const double lo_x = static_cast<double>(-pw - margin), lo_y = static_cast<double>(-ph - margin);
  const double hi_x = static_cast<double>(img.width() + margin);
  const double hi_y = static_cast<double>(img.height() + margin);
  const bool outside = std::min(ax, bx) < lo_x || std::max(ax, bx) > hi_x ||
                       std::min(ay, by) < lo_y || std::max(ay, by) > hi_y;
  if (outside) {
    double fx1 = static_cast<double>(ax), fy1 = static_cast<double>(ay);
    double fx2 = static_cast<double>(bx), fy2 = static_cast<double>(by);
    if (!ClipSegment(fx1, fy1, fx2, fy2, lo_x, lo_y, hi_x, hi_y)) return;
    ax = std::llround(fx1), ay = std::llround(fy1), bx = std::llround(fx2), by = std::llround(fy2);
  }
  const std::int64_t dx = std::llabs(bx - ax), dy = -std::llabs(by - ay);
  const std::int64_t sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
  std::int64_t err = dx + dy;
  for (;;) {
    FillBox(img, Box{ax, ay, ax + pw, ay + ph}, rgb);
    if (ax == bx && ay == by) break;
    const std::int64_t e2 = 2 * err;
    if (e2 >= dy) { err += dy; ax += sx; }
    if (e2 <= dx) { err += dx; ay += sy; }
  }
  surface_->Changed();
}

void Graphics::DrawOval(int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return;
  QImage& img = surface_->Image();
  const std::int64_t pw = std::max(penWidth_, 1), ph = std::max(penHeight_, 1);
  const std::int64_t bx = x, by = y, bw = w, bh = h;
  const Box visible = Clip(Box{bx, by, bx + bw, by + bh}, img);
  if (visible.Empty()) return;
  const QRgb rgb = Opaque(foreColor_);
  const bool masked = bw * bh <= kMaskedOval;
  const OvalMask* mask = masked ? &MaskFor(bw, bh, pw, ph) : nullptr;
  for (std::int64_t py = visible.y0; py < visible.y1; ++py) {
    auto* row = reinterpret_cast<QRgb*>(img.scanLine(static_cast<int>(py)));
    for (std::int64_t px = visible.x0; px < visible.x1; ++px) {
      const std::int64_t lx = px - bx, ly = py - by;
      const bool on = masked ? mask->bits[static_cast<std::size_t>(ly * bw + lx)] != 0
                             : InOval(lx, ly, bw, bh, pw, ph);
      if (on) row[px] = rgb;
    }
  }
  surface_->Changed();
}

void Graphics::DrawPicture(const PicturePtr& picture, int x, int y, int destWidth,
                           int destHeight, int sourceX, int sourceY, int sourceWidth,
                           int sourceHeight) {
  if (!picture) return;
  const QImage& source = picture->Data().image;
  QImage& target = surface_->Image();
  constexpr int kWhole = -10000;
  // Any int may come in: the rectangles are worked out in 64 bits and cut to
  // what both images hold before Qt sees them.
  const std::int64_t sx = sourceX, sy = sourceY;
  const std::int64_t sw = sourceWidth == kWhole ? source.width() - sx : sourceWidth;
  const std::int64_t sh = sourceHeight == kWhole ? source.height() - sy : sourceHeight;
  const std::int64_t dw = destWidth == kWhole ? sw : destWidth;
  const std::int64_t dh = destHeight == kWhole ? sh : destHeight;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  QPainter painter(&target);
  if (dw == sw && dh == sh) {
    // Unscaled: destination pixel (px, py) shows source pixel
    // (px - x + sx, py - y + sy).
    const std::int64_t ox = sx - x, oy = sy - y;
    const Box dest = Clip(Box{std::max<std::int64_t>(x, -ox), std::max<std::int64_t>(y, -oy),
                              std::min<std::int64_t>(x + sw, source.width() - ox),
                              std::min<std::int64_t>(y + sh, source.height() - oy)},
                          target);
    if (dest.Empty()) return;
    painter.drawImage(QPoint(static_cast<int>(dest.x0), static_cast<int>(dest.y0)), source,
                      QRect(static_cast<int>(dest.x0 + ox), static_cast<int>(dest.y0 + oy),
                            static_cast<int>(dest.x1 - dest.x0), static_cast<int>(dest.y1 - dest.y0)));
  } else {
    // Scaled: the part of the source inside the picture, mapped onto the
    // destination and cut to the buffer, in floating point.
    const double kx = static_cast<double>(dw) / static_cast<double>(sw);
    const double ky = static_cast<double>(dh) / static_cast<double>(sh);
    const double s0x = std::max<double>(static_cast<double>(sx), 0);
    const double s0y = std::max<double>(static_cast<double>(sy), 0);
    const double s1x = std::min<double>(static_cast<double>(sx + sw), source.width());
    const double s1y = std::min<double>(static_cast<double>(sy + sh), source.height());
    const double d0x = std::max(static_cast<double>(x) + (s0x - static_cast<double>(sx)) * kx, 0.0);
    const double d0y = std::max(static_cast<double>(y) + (s0y - static_cast<double>(sy)) * ky, 0.0);
    const double d1x = std::min(static_cast<double>(x) + (s1x - static_cast<double>(sx)) * kx,
                                static_cast<double>(target.width()));
    const double d1y = std::min(static_cast<double>(y) + (s1y - static_cast<double>(sy)) * ky,
                                static_cast<double>(target.height()));
    if (d0x >= d1x || d0y >= d1y) return;
    const QRectF to(d0x, d0y, d1x - d0x, d1y - d0y);
    const QRectF from(static_cast<double>(sx) + (d0x - static_cast<double>(x)) / kx,
                      static_cast<double>(sy) + (d0y - static_cast<double>(y)) / ky,
                      (d1x - d0x) / kx, (d1y - d0y) / ky);
    painter.drawImage(to, source, from);
  }
  painter.end();
  surface_->Changed();
}

}  // namespace fw
