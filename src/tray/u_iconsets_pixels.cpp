// The pixel work of the icon sets: centring, the icon's colour and mask bits,
// and laying the Internet marker over a frame picture.
#include <algorithm>

#include "tray/u_iconsets.h"

uint8_t PixelAlpha(const TPngPicture& picture, size_t pixel) {
  const uint8_t* p = picture.Rgba.data() + pixel * 4;
  if (picture.HasAlpha) return p[3];
  if (picture.HasTransColor && p[0] == picture.TransColor[0] && p[1] == picture.TransColor[1] &&
      p[2] == picture.TransColor[2])
    return 0;
  return 255;
}

namespace {

// A picture narrower than a small icon above 16 pixels is placed in the
// middle of a transparent one, so that the list does not stretch it.
bool NeedsCentring(const TPngPicture& picture, int cx, int cy) {
  if (cx <= 16 && cy <= 16) return false;
  if (picture.Width == cx) return false;
  // One that does not fit is left to the image list to scale down.
  return picture.Width <= cx && picture.Height <= cy;
}

TPngPicture Centre(const TPngPicture& picture, int cx, int cy) {
  TPngPicture out;
  out.Width = cx;
  out.Height = cy;
  out.HasAlpha = true;
  out.Rgba.assign(size_t(cx) * cy * 4, 0);  // black, fully transparent
  const int left = cx / 2 - picture.Width / 2;
  const int top = cy / 2 - picture.Height / 2;
  for (int y = 0; y < picture.Height; ++y) {
    for (int x = 0; x < picture.Width; ++x) {
      const size_t from = size_t(y) * picture.Width + x;
      const uint8_t alpha = PixelAlpha(picture, from);
      const uint8_t* s = picture.Rgba.data() + from * 4;
      uint8_t* d = out.Rgba.data() + (size_t(y + top) * cx + (x + left)) * 4;
      // Drawn over black by its alpha (rounded), then the alpha copied as is.
      for (int c = 0; c < 3; ++c) d[c] = uint8_t((s[c] * alpha + 127) / 255);
      d[3] = alpha;
    }
  }
  return out;
}

}  // namespace

TIconBits PngToIconBits(const TPngPicture& source, int cx, int cy) {
  TPngPicture centred;
  const bool centre = NeedsCentring(source, cx, cy);
  if (centre) centred = Centre(source, cx, cy);
  const TPngPicture& picture = centre ? centred : source;

  TIconBits bits;
  bits.Width = picture.Width;
  bits.Height = picture.Height;
  if (picture.Empty()) return bits;
  const int w = picture.Width, h = picture.Height;
  const int stride = TIconBits::MaskStride(w);
  bits.Bgra.resize(size_t(w) * h * 4);
  bits.Mask.assign(size_t(stride) * h, 0);
  for (int y = 0; y < h; ++y) {
    // DIB rows run bottom-up.
    uint8_t* row = bits.Bgra.data() + size_t(h - 1 - y) * w * 4;
    for (int x = 0; x < w; ++x) {
      const size_t pixel = size_t(y) * w + x;
      const uint8_t* s = picture.Rgba.data() + pixel * 4;
      const uint8_t alpha = PixelAlpha(picture, pixel);
      uint8_t* d = row + size_t(x) * 4;
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
      d[3] = alpha;
      if (alpha < 128) bits.Mask[size_t(y) * stride + x / 8] |= uint8_t(0x80 >> (x % 8));
    }
  }
  return bits;
}

TPngPicture OverlayPng(const TPngPicture& base, const TPngPicture& marker) {
  TPngPicture out;
  out.Width = base.Width;
  out.Height = base.Height;
  out.HasAlpha = true;
  out.Rgba.resize(base.Rgba.size());
  const int overW = std::min(base.Width, marker.Width);
  const int overH = std::min(base.Height, marker.Height);
  for (int y = 0; y < base.Height; ++y) {
    for (int x = 0; x < base.Width; ++x) {
      const size_t pixel = size_t(y) * base.Width + x;
      const uint8_t* cb = base.Rgba.data() + pixel * 4;
      const unsigned ab = PixelAlpha(base, pixel);
      uint8_t* d = out.Rgba.data() + pixel * 4;
      d[0] = cb[0];
      d[1] = cb[1];
      d[2] = cb[2];
      d[3] = uint8_t(ab);
      if (x >= overW || y >= overH) continue;
      const size_t markerPixel = size_t(y) * marker.Width + x;
      const uint8_t* cm = marker.Rgba.data() + markerPixel * 4;
      const unsigned am = PixelAlpha(marker, markerPixel);
      if (am == 0) continue;
      for (int c = 0; c < 3; ++c)
        d[c] = am == 255 ? cm[c] : uint8_t((cb[c] * ab + cm[c] * am) / (ab + am));
      d[3] = uint8_t(ab + (255 - ab) * am / 255);
    }
  }
  return out;
}
