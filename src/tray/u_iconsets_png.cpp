// PNG decoding for the icon sets, with libpng's error path kept apart from
// C++: the two steps that can longjmp (ReadHeader, ReadRows) hold only plain
// values, so a jump never skips a destructor. Everything that owns memory
// lives in DecodePng, outside any setjmp scope.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "tray/u_iconsets.h"

namespace {

struct TPngSource {
  const uint8_t* Data;
  size_t Size;
  size_t Pos;
};

void ReadSource(png_structp png, png_bytep out, size_t length) {
  auto* source = static_cast<TPngSource*>(png_get_io_ptr(png));
  if (length > source->Size - source->Pos) png_error(png, "truncated");
  std::memcpy(out, source->Data + source->Pos, length);
  source->Pos += length;
}

// Quiet handlers: a broken picture only leaves its frame empty.
void OnPngError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

struct THeader {
  uint32_t Width;
  uint32_t Height;
  size_t RowBytes;
  bool HasAlpha;
  bool HasTransColor;
  uint8_t TransColor[3];
};

// Reads up to the first image data and sets the transformations that give
// 8-bit RGBA rows. May longjmp: plain values only.
bool ReadHeader(png_structp png, png_infop info, THeader* header) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colorType = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
  header->Width = width;
  header->Height = height;
  header->HasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
  header->HasTransColor = false;

  png_bytep transAlpha = nullptr;
  int transCount = 0;
  png_color_16p transColor = nullptr;
  const bool hasTrns =
      png_get_tRNS(png, info, &transAlpha, &transCount, &transColor) != 0 && transCount > 0;

  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    png_set_palette_to_rgb(png);
    if (hasTrns) {
      // Per-entry palette alpha is a real alpha channel.
      png_set_tRNS_to_alpha(png);
      header->HasAlpha = true;
    }
  } else if (hasTrns && transColor != nullptr) {
    // libpng keeps a colour beyond the picture's depth with only a warning.
    // No pixel can have it; cut to 8 bits it would hide a real colour.
    const unsigned maxValue = (1u << depth) - 1;
    const bool inRange = colorType == PNG_COLOR_TYPE_GRAY
                             ? transColor->gray <= maxValue
                             : transColor->red <= maxValue && transColor->green <= maxValue &&
                                   transColor->blue <= maxValue;
    if (!inRange) {
      // Opaque: no transparent colour.
    } else if (depth == 16) {
      // Scaling to 8 bits could merge colours with the transparent one;
      // let libpng compare at full depth instead.
      png_set_tRNS_to_alpha(png);
      header->HasAlpha = true;
    } else if (colorType == PNG_COLOR_TYPE_GRAY) {
      const uint8_t grey = uint8_t(transColor->gray * 255u / maxValue);
      header->HasTransColor = true;
      header->TransColor[0] = header->TransColor[1] = header->TransColor[2] = grey;
    } else {
      header->HasTransColor = true;
      header->TransColor[0] = uint8_t(transColor->red);
      header->TransColor[1] = uint8_t(transColor->green);
      header->TransColor[2] = uint8_t(transColor->blue);
    }
  }
  if (depth == 16) png_set_scale_16(png);
  if (depth < 8 && colorType == PNG_COLOR_TYPE_GRAY) png_set_expand_gray_1_2_4_to_8(png);
  if ((colorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  if (!header->HasAlpha) png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  header->RowBytes = png_get_rowbytes(png, info);
  return true;
}

// Reads every row (all passes of an interlaced picture). May longjmp.
bool ReadRows(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

// Every chunk must lie within the file. libpng only warns about a chunk
// longer than its limit and then allocates (and clears) the claimed length
// before noticing the file ends, so a few bytes could cost gigabytes.
bool ChunksFitInFile(const uint8_t* data, size_t size) {
  size_t pos = 8;
  while (size - pos >= 8) {
    const uint32_t length = uint32_t(data[pos]) << 24 | uint32_t(data[pos + 1]) << 16 |
                            uint32_t(data[pos + 2]) << 8 | data[pos + 3];
    if (length > 0x7FFFFFFFu || size - pos - 8 < size_t(length) + 4) return false;
    const bool end = std::memcmp(data + pos + 4, "IEND", 4) == 0;
    pos += size_t(length) + 12;
    if (end) break;
  }
  return true;
}

// Owns libpng's read structures.
class TPngReadStruct {
 public:
  TPngReadStruct() {
    Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, &OnPngError, &OnPngWarning);
    if (Png != nullptr) Info = png_create_info_struct(Png);
  }
  ~TPngReadStruct() {
    if (Png != nullptr) png_destroy_read_struct(&Png, Info != nullptr ? &Info : nullptr, nullptr);
  }
  TPngReadStruct(const TPngReadStruct&) = delete;
  TPngReadStruct& operator=(const TPngReadStruct&) = delete;

  png_structp Png = nullptr;
  png_infop Info = nullptr;
};

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, TPngPicture& picture) {
  picture = TPngPicture{};
  if (data == nullptr || size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;
  if (!ChunksFitInFile(data, size)) return false;

  TPngReadStruct read;
  if (read.Png == nullptr || read.Info == nullptr) return false;
  png_set_user_limits(read.Png, MaxPngSide, MaxPngSide);
  png_set_chunk_malloc_max(read.Png, 1 << 20);
  // Text, colour profiles and the like: nothing an icon needs, skipped unread.
  static const png_byte skipped[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0";
  png_set_keep_unknown_chunks(read.Png, PNG_HANDLE_CHUNK_NEVER, skipped, 6);
  TPngSource source{data, size, 0};
  png_set_read_fn(read.Png, &source, &ReadSource);

  THeader header{};
  if (!ReadHeader(read.Png, read.Info, &header)) return false;
  if (header.Width == 0 || header.Height == 0 || header.Width > uint32_t(MaxPngSide) ||
      header.Height > uint32_t(MaxPngSide) || header.RowBytes != size_t(header.Width) * 4)
    return false;

  std::vector<uint8_t> pixels(size_t(header.Width) * header.Height * 4);
  std::vector<png_bytep> rows(header.Height);
  for (uint32_t y = 0; y < header.Height; ++y)
    rows[y] = pixels.data() + size_t(y) * header.RowBytes;
  if (!ReadRows(read.Png, rows.data())) return false;

  picture.Width = int(header.Width);
  picture.Height = int(header.Height);
  picture.Rgba = std::move(pixels);
  picture.HasAlpha = header.HasAlpha;
  picture.HasTransColor = header.HasTransColor;
  picture.TransColor = {header.TransColor[0], header.TransColor[1], header.TransColor[2]};
  return true;
}
