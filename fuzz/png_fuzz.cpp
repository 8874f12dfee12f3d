// PNG decoding under size limits, then everything the loader does with a
// decoded picture: icon bits at the usual small-icon sizes and the overlay.
#include <cstddef>
#include <cstdint>

#include "tray/u_iconsets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TPngPicture picture;
  if (!DecodePng(data, size, picture)) return 0;
  if (picture.Rgba.size() != size_t(picture.Width) * picture.Height * 4) __builtin_trap();
  for (int cx : {16, 20, 32}) {
    const TIconBits bits = PngToIconBits(picture, cx, cx);
    if (bits.Bgra.size() != size_t(bits.Width) * bits.Height * 4) __builtin_trap();
  }
  // The picture as both base and marker covers smaller, equal and larger markers.
  static const TPngPicture small = [] {
    TPngPicture p;
    p.Width = p.Height = 3;
    p.HasAlpha = true;
    p.Rgba.assign(36, 128);
    return p;
  }();
  PngToIconBits(OverlayPng(picture, small), 20, 20);
  PngToIconBits(OverlayPng(small, picture), 16, 16);
  OverlayPng(picture, picture);
  return 0;
}
