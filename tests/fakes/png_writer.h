// Writes small PNG fixtures in memory with libpng, in any colour type, so
// that tests make their own pictures instead of shipping binary files.
#pragma once

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct TPngFixture {
  int Width = 1;
  int Height = 1;
  int ColorType = PNG_COLOR_TYPE_RGB_ALPHA;
  int BitDepth = 8;
  bool Interlaced = false;
  // Samples row by row in the colour type's layout (palette: indexes),
  // one byte per sample at depth 8, two big-endian bytes at depth 16, and
  // one byte per pixel (unpacked) below 8.
  std::vector<uint8_t> Samples;
  std::vector<png_color> Palette;
  std::vector<uint8_t> PaletteAlpha;  // tRNS of a palette picture
  bool HasTransColor = false;         // tRNS of a grey or RGB picture
  png_color_16 TransColor{};
  // A tRNS chunk written as given, for values libpng would refuse to write.
  std::vector<uint8_t> RawTrns;
};

namespace png_writer_detail {
inline void Append(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
inline void Flush(png_structp) {}
inline int Channels(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
      return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB:
      return 3;
    case PNG_COLOR_TYPE_PALETTE:
      return 1;
    default:
      return 4;
  }
}
}  // namespace png_writer_detail

// The PNG file of the fixture; empty if libpng fails (it does not for sane fixtures).
inline std::vector<uint8_t> WritePng(const TPngFixture& fixture) {
  using namespace png_writer_detail;
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const int channels = Channels(fixture.ColorType);
  // Pack rows before the setjmp scope: no C++ object is made inside it.
  const size_t unpackedRow = size_t(fixture.Width) * channels * (fixture.BitDepth == 16 ? 2 : 1);
  std::vector<std::vector<uint8_t>> rows(size_t(fixture.Height));
  for (int y = 0; y < fixture.Height; ++y) {
    const uint8_t* src = fixture.Samples.data() + y * unpackedRow;
    if (fixture.BitDepth >= 8) {
      rows[y].assign(src, src + unpackedRow);
    } else {
      const int perByte = 8 / fixture.BitDepth;
      rows[y].assign((fixture.Width * channels + perByte - 1) / perByte, 0);
      for (int i = 0; i < fixture.Width * channels; ++i) {
        const int shift = 8 - fixture.BitDepth * (i % perByte + 1);
        rows[y][i / perByte] |= uint8_t(src[i] << shift);
      }
    }
  }
  std::vector<png_bytep> pointers;
  for (auto& row : rows) pointers.push_back(row.data());
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, &Append, &Flush);
  png_set_IHDR(png, info, fixture.Width, fixture.Height, fixture.BitDepth, fixture.ColorType,
               fixture.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!fixture.Palette.empty())
    png_set_PLTE(png, info, fixture.Palette.data(), int(fixture.Palette.size()));
  if (!fixture.PaletteAlpha.empty())
    png_set_tRNS(png, info, fixture.PaletteAlpha.data(), int(fixture.PaletteAlpha.size()), nullptr);
  if (fixture.HasTransColor) png_set_tRNS(png, info, nullptr, 1, &fixture.TransColor);
  png_write_info(png, info);
  if (!fixture.RawTrns.empty())
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("tRNS"), fixture.RawTrns.data(),
                    fixture.RawTrns.size());
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// An 8-bit RGBA picture of one colour.
inline std::vector<uint8_t> SolidPng(int width, int height, uint8_t r, uint8_t g, uint8_t b,
                                     uint8_t a) {
  TPngFixture fixture;
  fixture.Width = width;
  fixture.Height = height;
  for (int i = 0; i < width * height; ++i)
    fixture.Samples.insert(fixture.Samples.end(), {r, g, b, a});
  return WritePng(fixture);
}

// A PNG file made of the signature and a single header chunk with a valid CRC.
inline std::vector<uint8_t> HeaderOnlyPng(uint32_t width, uint32_t height) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  auto be32 = [&](uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
  };
  be32(13);
  const size_t typeAt = out.size();
  out.insert(out.end(), {'I', 'H', 'D', 'R'});
  be32(width);
  be32(height);
  out.insert(out.end(), {8, 6, 0, 0, 0});
  uint32_t crc = uint32_t(crc32(0, out.data() + typeAt, 17));
  be32(crc);
  return out;
}

// The file with one more chunk (correct CRC) right after the header chunk;
// `claimedLength` overrides the length field when not 0.
inline std::vector<uint8_t> WithChunk(std::vector<uint8_t> file, const char* type,
                                      const std::vector<uint8_t>& data,
                                      uint32_t claimedLength = 0) {
  std::vector<uint8_t> chunk;
  auto be32 = [&](uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) chunk.push_back(uint8_t(v >> s));
  };
  be32(claimedLength != 0 ? claimedLength : uint32_t(data.size()));
  chunk.insert(chunk.end(), type, type + 4);
  chunk.insert(chunk.end(), data.begin(), data.end());
  be32(uint32_t(crc32(0, chunk.data() + 4, uInt(chunk.size() - 4))));
  file.insert(file.begin() + 33, chunk.begin(), chunk.end());  // after signature and IHDR
  return file;
}
