// Icon sets: folders of six PNG pictures beside the executable, turned into
// the ten frames of a tray icon and appended to the main window's image list.
// The pixel work is portable (RGBA in, a BGRA DIB and mask bits out); the
// folder listing and the image list sit behind two small ports.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A decoded picture, rows top-down, 4 bytes per pixel (R, G, B, A). The A
// bytes are the picture's own alpha when HasAlpha; otherwise they are 255 and
// HasTransColor tells whether one colour (TransColor, R G B) is transparent.
struct TPngPicture {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Rgba;
  bool HasAlpha = false;
  bool HasTransColor = false;
  std::array<uint8_t, 3> TransColor{};

  bool Empty() const { return Width <= 0 || Height <= 0; }
};

// Icon pictures are small; anything larger than this is refused before any
// pixel memory is taken, whatever the header claims.
constexpr int MaxPngSide = 1024;
// Icon files larger than this are not read at all.
constexpr size_t MaxPngFileSize = size_t(8) << 20;

// Decodes a PNG held in memory into 8-bit RGBA. Grey and palette pictures are
// expanded to RGB, 16-bit samples scaled to 8 bits; a palette with
// transparency and a 16-bit transparent colour become an alpha channel, an
// 8-bit transparent colour of a grey or RGB picture is kept as TransColor.
// Returns false (picture left empty) for anything libpng rejects: a broken or
// truncated file, a bad CRC in a critical chunk, a side above MaxPngSide.
bool DecodePng(const uint8_t* data, size_t size, TPngPicture& picture);

// The alpha a pixel stands for: its own alpha; 0 for the transparent colour
// and 255 for every other colour; 255 for a picture without transparency
// (opaque pictures show as they are drawn).
uint8_t PixelAlpha(const TPngPicture& picture, size_t pixel);

// What an icon is made of: a 32-bit colour DIB (rows bottom-up, B G R A per
// pixel) and a monochrome mask (rows top-down, most significant bit first,
// each row padded to 16 bits, a set bit is white = transparent).
struct TIconBits {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Bgra;
  std::vector<uint8_t> Mask;

  static int MaskStride(int width) { return (width + 15) / 16 * 2; }
  bool MaskBit(int x, int y) const {
    return (Mask[size_t(y) * MaskStride(Width) + size_t(x) / 8] >> (7 - x % 8)) & 1;
  }
};

// The picture as an icon for the small-icon size cx x cy. Above 16 pixels a
// picture narrower than cx is first centred on a transparent cx x cy picture
// (blended over black by its alpha, the alpha copied unchanged); a picture
// that does not fit is left at its own size for the image list to scale.
// Colour alpha is PixelAlpha; the mask is transparent where that is below 128.
TIconBits PngToIconBits(const TPngPicture& picture, int cx, int cy);

// The base with the marker laid over its top-left corner: colour is the mean
// weighted by both alphas, alpha AB + (255 - AB) * AM / 255, divisions
// truncating. Always has an alpha channel.
TPngPicture OverlayPng(const TPngPicture& base, const TPngPicture& marker);

// File `file` (1 to 6) of a set: "001_20.png" when sized, else "001.png". The
// sized name carries the small-icon width only above 16 ("001_.png" at 16).
std::wstring IconFileName(int file, int smallIconWidth, bool sized);

// Entry attributes as the platform's directory listing reports them.
constexpr uint32_t FileAttrHidden = 0x2;
constexpr uint32_t FileAttrSystem = 0x4;
constexpr uint32_t FileAttrDirectory = 0x10;

struct TFolderEntry {
  std::wstring Name;
  uint32_t Attributes = 0;
};

// What the loader needs of the file system. Paths are joined with '\'.
class TIconSetFiles {
 public:
  virtual ~TIconSetFiles() = default;
  // The folder "IconSets" beside the executable, without a trailing '\'.
  virtual std::wstring IconSetsFolder() = 0;
  // Every entry matching "*.*" in the folder, "." and ".." included, in the
  // order the platform lists them; empty for a missing folder.
  virtual std::vector<TFolderEntry> List(const std::wstring& folder) = 0;
  // A file (not a folder) of that path exists.
  virtual bool FileExists(const std::wstring& path) = 0;
  // The whole file; false when it cannot be read or is above MaxPngFileSize.
  virtual bool ReadFile(const std::wstring& path, std::vector<uint8_t>& data) = 0;
};

// Where the frames go: the main window's image list, sized to the small icon.
class TIconImages {
 public:
  virtual ~TIconImages() = default;
  // The list's image size (the small-icon size).
  virtual void IconSize(int& cx, int& cy) = 0;
  // Makes an icon of the bits and appends it; its index, or -1 when the icon
  // cannot be made or the list refuses it (smaller than its image size).
  virtual int Append(const TIconBits& icon) = 0;
};

constexpr int IconSetFrames = 10;

struct TIconSet {
  std::wstring Name;
  // Frames 0-7: no traffic, received and sent, sent only, received only, each
  // without and with the Internet marker; 8 not up; 9 the marker alone.
  // Image-list indexes, -1 for no image.
  std::array<int32_t, IconSetFrames> Frames{};
};

class TMyIconSets {
 public:
  explicit TMyIconSets(TIconSetFiles& files) : Files_(files) {}
  ~TMyIconSets() { Clear(); }
  TMyIconSets(const TMyIconSets&) = delete;
  TMyIconSets& operator=(const TMyIconSets&) = delete;

  // Not owned; assigned before LoadAll.
  TIconImages* Images = nullptr;

  // Drops all records and loads every visible set folder, in listing order.
  void LoadAll();
  // Loads one set folder: appends one record, or none when one of files 1 to
  // 5 is missing. A picture that cannot be used leaves its frames at -1.
  void LoadSet(const std::wstring& name);
  int Count() const { return int(Sets_.size()); }
  // Records are read through pointers that stay valid until the next
  // LoadAll, LoadSet or Clear.
  // The record at that position; none outside 0 .. Count() - 1.
  const TIconSet* Get(int index) const;
  // The last record whose name equals `name` ignoring case, with its
  // position; else the first record with index 0; none and -1 when empty.
  const TIconSet* FindByName(const std::wstring& name, int& index) const;
  // Drops the records, last to first; the image list keeps its images.
  void Clear();

 private:
  int AppendFrame(const TPngPicture& picture);
  bool LoadPicture(const std::wstring& path, TPngPicture& picture);

  TIconSetFiles& Files_;
  std::vector<TIconSet> Sets_;
};
