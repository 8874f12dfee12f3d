// Icon sets: decoding every PNG colour type, the icon bits, the overlay
// arithmetic, and the loader's file and frame rules on in-memory folders.
#include "tray/u_iconsets.h"

#include <gtest/gtest.h>

#include "fakes/disk_iconset_files.h"
#include "fakes/fake_iconsets.h"
#include "fakes/png_writer.h"

namespace {

using TFrames = std::array<int32_t, IconSetFrames>;

TPngPicture Decode(const std::vector<uint8_t>& file) {
  TPngPicture picture;
  EXPECT_TRUE(DecodePng(file.data(), file.size(), picture));
  return picture;
}

std::array<uint8_t, 4> RgbaAt(const TPngPicture& p, int x, int y) {
  const uint8_t* s = p.Rgba.data() + (size_t(y) * p.Width + x) * 4;
  return {s[0], s[1], s[2], s[3]};
}

// B G R A of picture pixel (x, y) in the icon's bottom-up DIB.
std::array<uint8_t, 4> BgraAt(const TIconBits& bits, int x, int y) {
  const uint8_t* s = bits.Bgra.data() + (size_t(bits.Height - 1 - y) * bits.Width + x) * 4;
  return {s[0], s[1], s[2], s[3]};
}

TPngPicture Rgba(int w, int h, std::vector<std::array<uint8_t, 4>> pixels) {
  TPngPicture p;
  p.Width = w;
  p.Height = h;
  p.HasAlpha = true;
  for (auto& px : pixels) p.Rgba.insert(p.Rgba.end(), px.begin(), px.end());
  return p;
}

// ---- Decoding ---------------------------------------------------------------

struct TDecodeCase {
  const char* Name;
  TPngFixture Fixture;
  bool HasAlpha, HasTransColor;
  std::array<uint8_t, 4> Pixel0, Pixel1;  // decoded RGBA of pixels 0 and 1
  uint8_t Alpha0, Alpha1;                 // what the icon makes of them
};

std::vector<TDecodeCase> DecodeCases() {
  std::vector<TDecodeCase> cases;
  auto fixture = [](int type, int depth, std::vector<uint8_t> samples) {
    TPngFixture s;
    s.Width = 2;
    s.ColorType = type;
    s.BitDepth = depth;
    s.Samples = std::move(samples);
    return s;
  };
  cases.push_back({"rgba",
                   fixture(PNG_COLOR_TYPE_RGB_ALPHA, 8, {10, 20, 30, 40, 50, 60, 70, 200}),
                   true,
                   false,
                   {10, 20, 30, 40},
                   {50, 60, 70, 200},
                   40,
                   200});
  cases.push_back({"grey alpha",
                   fixture(PNG_COLOR_TYPE_GRAY_ALPHA, 8, {90, 0, 200, 255}),
                   true,
                   false,
                   {90, 90, 90, 0},
                   {200, 200, 200, 255},
                   0,
                   255});
  {
    TPngFixture s = fixture(PNG_COLOR_TYPE_RGB, 8, {255, 0, 255, 1, 2, 3});
    s.HasTransColor = true;
    s.TransColor.red = 255;
    s.TransColor.blue = 255;
    cases.push_back({"rgb trns", s, false, true, {255, 0, 255, 255}, {1, 2, 3, 255}, 0, 255});
  }
  {
    TPngFixture s = fixture(PNG_COLOR_TYPE_GRAY, 2, {1, 3});
    s.HasTransColor = true;
    s.TransColor.gray = 1;  // 0x55 at 8 bits
    cases.push_back(
        {"grey 2-bit trns", s, false, true, {85, 85, 85, 255}, {255, 255, 255, 255}, 0, 255});
  }
  {
    TPngFixture s =
        fixture(PNG_COLOR_TYPE_RGB, 16, {0x12, 0x34, 0, 0, 0, 0, 0x12, 0x35, 0, 0, 0, 0});
    s.HasTransColor = true;
    s.TransColor.red = 0x1234;  // 0x1235 differs only below 8 bits: stays opaque
    cases.push_back(
        {"rgb 16-bit trns", s, true, false, {0x12, 0, 0, 0}, {0x12, 0, 0, 255}, 0, 255});
  }
  {
    // A transparent colour beyond the picture's depth matches no pixel: cut
    // to 8 bits it would make the red 0x34 transparent.
    TPngFixture s = fixture(PNG_COLOR_TYPE_RGB, 8, {0x34, 0, 0, 1, 2, 3});
    s.RawTrns = {0x12, 0x34, 0, 0, 0, 0};
    cases.push_back(
        {"rgb trns out of range", s, false, false, {0x34, 0, 0, 255}, {1, 2, 3, 255}, 255, 255});
  }
  {
    TPngFixture s = fixture(PNG_COLOR_TYPE_GRAY, 2, {1, 3});
    s.RawTrns = {0, 5};  // masked to 2 bits it would be 1
    cases.push_back({"grey 2-bit trns out of range",
                     s,
                     false,
                     false,
                     {85, 85, 85, 255},
                     {255, 255, 255, 255},
                     255,
                     255});
  }
  {
    TPngFixture s = fixture(PNG_COLOR_TYPE_PALETTE, 8, {0, 1});
    s.Palette = {{200, 10, 20}, {5, 6, 7}};
    s.PaletteAlpha = {100};  // entry 1 has no alpha: opaque
    cases.push_back({"palette trns", s, true, false, {200, 10, 20, 100}, {5, 6, 7, 255}, 100, 255});
  }
  {
    TPngFixture s = fixture(PNG_COLOR_TYPE_PALETTE, 4, {1, 0});
    s.Palette = {{1, 2, 3}, {4, 5, 6}};
    cases.push_back({"palette opaque", s, false, false, {4, 5, 6, 255}, {1, 2, 3, 255}, 255, 255});
  }
  cases.push_back({"rgb opaque",
                   fixture(PNG_COLOR_TYPE_RGB, 8, {9, 8, 7, 6, 5, 4}),
                   false,
                   false,
                   {9, 8, 7, 255},
                   {6, 5, 4, 255},
                   255,
                   255});
  cases.push_back({"rgba 16-bit",
                   fixture(PNG_COLOR_TYPE_RGB_ALPHA, 16,
                           {0xFF, 0xFF, 0, 0, 0x80, 0x00, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}),
                   true,
                   false,
                   {255, 0, 128, 255},
                   {0, 0, 0, 0},
                   255,
                   0});
  return cases;
}

TEST(IconSetsDecode, EveryColourTypeBecomesRgbaWithTheRightTransparency) {
  for (const TDecodeCase& c : DecodeCases()) {
    SCOPED_TRACE(c.Name);
    for (bool interlaced : {false, true}) {
      TPngFixture fixture = c.Fixture;
      fixture.Interlaced = interlaced;
      const TPngPicture p = Decode(WritePng(fixture));
      ASSERT_EQ(p.Width, 2);
      ASSERT_EQ(p.Height, 1);
      EXPECT_EQ(p.HasAlpha, c.HasAlpha);
      EXPECT_EQ(p.HasTransColor, c.HasTransColor);
      EXPECT_EQ(RgbaAt(p, 0, 0), c.Pixel0);
      EXPECT_EQ(RgbaAt(p, 1, 0), c.Pixel1);
      const TIconBits bits = PngToIconBits(p, 16, 16);
      EXPECT_EQ(BgraAt(bits, 0, 0)[3], c.Alpha0);
      EXPECT_EQ(BgraAt(bits, 1, 0)[3], c.Alpha1);
      EXPECT_EQ(bits.MaskBit(0, 0), c.Alpha0 < 128);
      EXPECT_EQ(bits.MaskBit(1, 0), c.Alpha1 < 128);
    }
  }
}

TEST(IconSetsDecode, BadFilesFailWithoutTouchingMemoryTheyDoNotOwn) {
  const std::vector<uint8_t> good = SolidPng(16, 16, 1, 2, 3, 255);
  std::vector<uint8_t> broken = good;
  for (size_t i = 40; i < broken.size(); i += 7) broken[i] ^= 0x5A;  // IDAT CRC and data
  std::vector<uint8_t> badHeaderCrc = good;
  badHeaderCrc[29] ^= 1;
  const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
      {"empty", {}},
      {"signature only", std::vector<uint8_t>(good.begin(), good.begin() + 8)},
      {"not a png", std::vector<uint8_t>(64, 'x')},
      {"truncated", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2)},
      {"cut before the data", std::vector<uint8_t>(good.begin(), good.begin() + 33)},
      {"broken", broken},
      {"bad header crc", badHeaderCrc},
      {"huge", HeaderOnlyPng(100000, 100000)},
      {"wide", HeaderOnlyPng(MaxPngSide + 1, 1)},
      {"zero", HeaderOnlyPng(0, 16)},
      // A few bytes claiming a huge text chunk: refused before any allocation.
      {"chunk past the end", WithChunk(good, "tEXt", {'a', 0, 'b'}, 0x7F000000)},
      {"chunk length above 2^31", WithChunk(good, "tEXt", {'a', 0, 'b'}, 0x80000010)},
  };
  for (const auto& [name, file] : cases) {
    SCOPED_TRACE(name);
    TPngPicture p;
    p.Width = 5;  // must be reset
    EXPECT_FALSE(DecodePng(file.data(), file.size(), p));
    EXPECT_TRUE(p.Empty());
    EXPECT_TRUE(p.Rgba.empty());
  }
  TPngPicture p;
  EXPECT_TRUE(DecodePng(good.data(), good.size(), p));  // the untouched file still decodes
}

TEST(IconSetsDecode, LargeChunksAnIconDoesNotNeedDoNotStopIt) {
  const std::vector<uint8_t> good = SolidPng(2, 2, 1, 2, 3, 255);
  std::vector<uint8_t> text(3 << 20, 'x');  // above the limit for chunks libpng keeps
  text[7] = 0;
  for (const char* type : {"tEXt", "iCCP", "zTXt"}) {
    SCOPED_TRACE(type);
    const std::vector<uint8_t> file = WithChunk(good, type, text);
    TPngPicture p;
    EXPECT_TRUE(DecodePng(file.data(), file.size(), p));
    EXPECT_EQ(p.Width, 2);
  }
}

// ---- Icon bits --------------------------------------------------------------

TEST(IconSetsBits, DibIsBottomUpBgraAndMaskFollowsAlpha) {
  // 16 x 2: row 0 red at alpha 127, row 1 blue at alpha 128.
  std::vector<std::array<uint8_t, 4>> pixels(16, {255, 0, 0, 127});
  pixels.resize(32, {0, 0, 255, 128});
  const TIconBits bits = PngToIconBits(Rgba(16, 2, pixels), 16, 16);
  ASSERT_EQ(bits.Width, 16);
  ASSERT_EQ(bits.Height, 2);
  EXPECT_EQ(bits.Bgra[0], 255);  // first DIB row is the last picture row: blue
  EXPECT_EQ(BgraAt(bits, 3, 0), (std::array<uint8_t, 4>{0, 0, 255, 127}));
  EXPECT_EQ(BgraAt(bits, 3, 1), (std::array<uint8_t, 4>{255, 0, 0, 128}));
  ASSERT_EQ(bits.Mask.size(), 4u);  // 16 bits per row
  EXPECT_EQ(bits.Mask[0], 0xFF);    // alpha 127: transparent
  EXPECT_EQ(bits.Mask[2], 0x00);    // alpha 128: opaque
}

TEST(IconSetsBits, MaskRowsArePaddedToSixteenBits) {
  std::vector<std::array<uint8_t, 4>> pixels(17 * 2, {0, 0, 0, 255});
  pixels[16] = {0, 0, 0, 0};  // last pixel of row 0
  const TIconBits bits = PngToIconBits(Rgba(17, 2, pixels), 16, 16);
  ASSERT_EQ(TIconBits::MaskStride(17), 4);
  ASSERT_EQ(bits.Mask.size(), 8u);
  EXPECT_EQ(bits.Mask[2], 0x80);
  EXPECT_TRUE(bits.MaskBit(16, 0));
  EXPECT_FALSE(bits.MaskBit(16, 1));
}

TEST(IconSetsBits, CentredAboveSixteenOnly) {
  std::vector<std::array<uint8_t, 4>> pixels(16 * 16, {200, 100, 50, 255});
  pixels[0] = {200, 100, 50, 128};
  const TPngPicture p = Rgba(16, 16, pixels);

  const TIconBits at16 = PngToIconBits(p, 16, 16);
  EXPECT_EQ(at16.Width, 16);

  const TIconBits at20 = PngToIconBits(p, 20, 20);
  ASSERT_EQ(at20.Width, 20);
  ASSERT_EQ(at20.Height, 20);
  EXPECT_EQ(BgraAt(at20, 1, 1), (std::array<uint8_t, 4>{0, 0, 0, 0}));
  EXPECT_TRUE(at20.MaskBit(1, 1));
  EXPECT_EQ(BgraAt(at20, 2, 2), (std::array<uint8_t, 4>{25, 50, 100, 128}));  // over black
  EXPECT_EQ(BgraAt(at20, 3, 2), (std::array<uint8_t, 4>{50, 100, 200, 255}));
  EXPECT_EQ(BgraAt(at20, 17, 17), (std::array<uint8_t, 4>{50, 100, 200, 255}));
  EXPECT_EQ(BgraAt(at20, 18, 17)[3], 0);
  EXPECT_FALSE(at20.MaskBit(17, 17));
  EXPECT_TRUE(at20.MaskBit(18, 18));

  // Odd sizes: left = 24 div 2 - 15 div 2 = 5.
  const TIconBits odd = PngToIconBits(Rgba(15, 15, std::vector(225, pixels[5])), 24, 24);
  EXPECT_EQ(BgraAt(odd, 4, 5)[3], 0);
  EXPECT_EQ(BgraAt(odd, 5, 5)[3], 255);
  EXPECT_EQ(BgraAt(odd, 19, 19)[3], 255);
  EXPECT_EQ(BgraAt(odd, 20, 19)[3], 0);

  // A picture of the icon's width, or one too large, keeps its size.
  EXPECT_EQ(PngToIconBits(Rgba(20, 20, std::vector(400, pixels[5])), 20, 20).Width, 20);
  EXPECT_EQ(PngToIconBits(Rgba(32, 32, std::vector(1024, pixels[5])), 20, 20).Width, 32);
}

TEST(IconSetsBits, CentringATransparentColourPictureKeepsItTransparent) {
  TPngPicture p;
  p.Width = 2;
  p.Height = 1;
  p.Rgba = {255, 0, 255, 255, 10, 20, 30, 255};
  p.HasTransColor = true;
  p.TransColor = {255, 0, 255};
  const TIconBits bits = PngToIconBits(p, 20, 20);
  ASSERT_EQ(bits.Width, 20);
  EXPECT_EQ(BgraAt(bits, 9, 10), (std::array<uint8_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(BgraAt(bits, 10, 10), (std::array<uint8_t, 4>{30, 20, 10, 255}));
}

// ---- Overlay ----------------------------------------------------------------

TEST(IconSetsOverlay, AlphaWeightedMeanTruncating) {
  struct TCase {
    const char* Name;
    std::array<uint8_t, 4> Base, Marker, Result;
  };
  const TCase cases[] = {
      {"marker alpha 0 keeps the base", {10, 20, 30, 77}, {200, 200, 200, 0}, {10, 20, 30, 77}},
      {"marker alpha 255 wins", {10, 20, 30, 77}, {200, 150, 100, 255}, {200, 150, 100, 255}},
      // (CB*255 + CM*128) div 383; alpha 255 + 0.
      {"half over opaque", {100, 0, 255, 255}, {200, 255, 0, 128}, {133, 85, 169, 255}},
      // (CB*100 + CM*50) div 150; alpha 100 + 155*50 div 255 = 130.
      {"half over half", {30, 60, 90, 100}, {180, 0, 255, 50}, {80, 40, 145, 130}},
      {"over transparent", {1, 2, 3, 0}, {90, 91, 92, 10}, {90, 91, 92, 10}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TPngPicture out = OverlayPng(Rgba(1, 1, {c.Base}), Rgba(1, 1, {c.Marker}));
    EXPECT_TRUE(out.HasAlpha);
    EXPECT_EQ(RgbaAt(out, 0, 0), c.Result);
  }
}

TEST(IconSetsOverlay, MarkerCoversTheTopLeftCornerOnly) {
  const TPngPicture base = Rgba(3, 2, std::vector<std::array<uint8_t, 4>>(6, {1, 2, 3, 255}));
  const TPngPicture marker = Rgba(2, 1, {{9, 9, 9, 255}, {8, 8, 8, 255}});
  const TPngPicture out = OverlayPng(base, marker);
  ASSERT_EQ(out.Width, 3);
  ASSERT_EQ(out.Height, 2);
  EXPECT_EQ(RgbaAt(out, 0, 0), (std::array<uint8_t, 4>{9, 9, 9, 255}));
  EXPECT_EQ(RgbaAt(out, 1, 0), (std::array<uint8_t, 4>{8, 8, 8, 255}));
  EXPECT_EQ(RgbaAt(out, 2, 0), (std::array<uint8_t, 4>{1, 2, 3, 255}));
  EXPECT_EQ(RgbaAt(out, 0, 1), (std::array<uint8_t, 4>{1, 2, 3, 255}));
  // A marker larger than the base is cut to the base.
  EXPECT_EQ(OverlayPng(marker, base).Width, 2);
}

TEST(IconSetsOverlay, TransparentColoursAndOpaquePicturesCountAsAlpha) {
  TPngPicture base;  // opaque RGB: alpha 255; its magenta is the transparent colour
  base.Width = 2;
  base.Height = 1;
  base.Rgba = {255, 0, 255, 255, 40, 40, 40, 255};
  base.HasTransColor = true;
  base.TransColor = {255, 0, 255};
  TPngPicture marker = base;
  marker.Rgba = {0, 0, 0, 255, 255, 0, 255, 255};  // black opaque, then transparent
  const TPngPicture out = OverlayPng(base, marker);
  EXPECT_EQ(RgbaAt(out, 0, 0), (std::array<uint8_t, 4>{0, 0, 0, 255}));
  EXPECT_EQ(RgbaAt(out, 1, 0), (std::array<uint8_t, 4>{40, 40, 40, 255}));
}

// ---- Loading sets -----------------------------------------------------------

TEST(IconSetsNames, SizedNameCarriesTheWidthAboveSixteen) {
  EXPECT_EQ(IconFileName(1, 16, true), L"001_.png");
  EXPECT_EQ(IconFileName(1, 20, true), L"001_20.png");
  EXPECT_EQ(IconFileName(6, 32, true), L"006_32.png");
  EXPECT_EQ(IconFileName(3, 20, false), L"003.png");
}

class IconSetsLoad : public ::testing::Test {
 protected:
  // A complete set: file N is an opaque 16 x 16 picture whose red is N * 10.
  // `files` has bit N - 1 set for each file N present.
  void AddSet(const std::wstring& name, int files = 0b111111,
              uint32_t attributes = FileAttrDirectory) {
    Files.AddSet(name, attributes);
    for (int n = 1; n <= 6; ++n)
      if ((files >> (n - 1)) & 1) Files.AddFile(name, Name(n), Solid(uint8_t(n * 10)));
  }
  static std::wstring Name(int n) { return IconFileName(n, 16, false); }
  static std::vector<uint8_t> Solid(uint8_t red, int size = 16) {
    return SolidPng(size, size, red, 0, 0, 255);
  }
  void Load() {
    Sets.Images = &Images;
    Sets.LoadAll();
  }
  uint8_t RedOf(int index) { return BgraAt(Images.Icons.at(size_t(index)), 8, 8)[2]; }

  TFakeIconSetFiles Files;
  TFakeIconImages Images;
  TMyIconSets Sets{Files};
};

constexpr int AllFiles = 0b111111;
constexpr int FilesOneToFive = 0b011111;
constexpr int WithoutFive = 0b101111;

TEST_F(IconSetsLoad, FramesFollowTheAppendOrder) {
  AddSet(L"A");
  AddSet(L"B");
  Load();
  ASSERT_EQ(Sets.Count(), 2);
  EXPECT_EQ(Sets.Get(0)->Name, L"A");
  EXPECT_EQ(Sets.Get(0)->Frames, (TFrames{0, 6, 1, 7, 2, 8, 3, 9, 4, 5}));
  EXPECT_EQ(Sets.Get(1)->Frames, (TFrames{10, 16, 11, 17, 12, 18, 13, 19, 14, 15}));
  EXPECT_EQ(Images.Icons.size(), 20u);
  for (int file = 1; file <= 5; ++file) EXPECT_EQ(RedOf(file - 1), file * 10);
  EXPECT_EQ(RedOf(5), 60);  // the marker alone
  EXPECT_EQ(RedOf(6), 60);  // an opaque marker covers file 1 entirely
  EXPECT_EQ(Sets.Get(2), nullptr);
  EXPECT_EQ(Sets.Get(-1), nullptr);
}

TEST_F(IconSetsLoad, WithoutFileSixTheInternetFramesRepeatThePlainOnes) {
  AddSet(L"NoMarker", FilesOneToFive);
  Load();
  ASSERT_EQ(Sets.Count(), 1);
  EXPECT_EQ(Sets.Get(0)->Frames, (TFrames{0, 0, 1, 1, 2, 2, 3, 3, 4, -1}));
  EXPECT_EQ(Images.Icons.size(), 5u);
}

TEST_F(IconSetsLoad, UnusableMarkerActsAsNone) {
  AddSet(L"BadMarker", FilesOneToFive);
  Files.AddFile(L"BadMarker", Name(6), HeaderOnlyPng(100000, 100000));
  Load();
  ASSERT_EQ(Sets.Count(), 1);
  EXPECT_EQ(Sets.Get(0)->Frames, (TFrames{0, 0, 1, 1, 2, 2, 3, 3, 4, -1}));
}

TEST_F(IconSetsLoad, FoldersThatAreNotSetsAreSkipped) {
  AddSet(L"Hidden", AllFiles, FileAttrDirectory | FileAttrHidden);
  AddSet(L"System", AllFiles, FileAttrDirectory | FileAttrSystem);
  AddSet(L"NoFive", WithoutFive);
  AddSet(L"  \t");
  AddSet(L"file.png", AllFiles, 0);
  AddSet(L" Spaced ");
  Load();
  ASSERT_EQ(Sets.Count(), 1);
  EXPECT_EQ(Sets.Get(0)->Name, L" Spaced ");  // loaded by its name as listed
  // The folder without file 5 was never read, even though its others are fine.
  for (const auto& path : Files.Reads) EXPECT_EQ(path.find(L"NoFive"), std::wstring::npos);
}

TEST_F(IconSetsLoad, OneBadPictureLeavesOnlyItsFramesEmpty) {
  struct TCase {
    const char* Name;
    std::vector<uint8_t> File2;
  };
  const std::vector<uint8_t> good = Solid(20);
  const TCase cases[] = {
      {"broken",
       [&] {
         auto f = good;
         for (size_t i = 41; i < f.size(); i += 5) f[i] = 0xEE;
         return f;
       }()},
      {"truncated", std::vector<uint8_t>(good.begin(), good.end() - 20)},
      {"huge", HeaderOnlyPng(100000, 100000)},
      {"15 x 15 at 16", Solid(20, 15)},
      {"empty file", {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFakeIconSetFiles files;
    TFakeIconImages images;
    TMyIconSets sets(files);
    files.AddSet(L"S");
    for (int n = 1; n <= 6; ++n)
      files.AddFile(L"S", Name(n), n == 2 ? c.File2 : Solid(uint8_t(n * 10)));
    sets.Images = &images;
    sets.LoadAll();
    ASSERT_EQ(sets.Count(), 1);
    EXPECT_EQ(sets.Get(0)->Frames, (TFrames{0, 5, -1, -1, 1, 6, 2, 7, 3, 4}));
  }
}

TEST_F(IconSetsLoad, PicturesForTheSmallIconWidthArePreferred) {
  Images.Cx = Images.Cy = 20;
  AddSet(L"Sized");
  Files.AddFile(L"Sized", L"001_20.png", SolidPng(20, 20, 99, 0, 0, 255));
  Files.AddFile(L"Sized", L"002_20.png", SolidPng(20, 20, 98, 0, 0, 128));
  Files.AddFile(L"Sized", L"003_24.png", SolidPng(24, 24, 97, 0, 0, 255));  // other width
  Load();
  ASSERT_EQ(Sets.Count(), 1);
  ASSERT_EQ(Images.Icons.size(), 10u);
  const TIconBits& one = Images.Icons[0];
  EXPECT_EQ(BgraAt(one, 0, 0), (std::array<uint8_t, 4>{0, 0, 99, 255}));  // unchanged, no border
  EXPECT_EQ(BgraAt(Images.Icons[1], 0, 0), (std::array<uint8_t, 4>{0, 0, 98, 128}));
  const TIconBits& three = Images.Icons[2];  // "003.png" of 16 x 16, centred
  EXPECT_EQ(BgraAt(three, 1, 1)[3], 0);
  EXPECT_EQ(BgraAt(three, 2, 2), (std::array<uint8_t, 4>{0, 0, 30, 255}));
  EXPECT_EQ(BgraAt(three, 17, 17)[3], 255);
  EXPECT_EQ(BgraAt(three, 18, 18)[3], 0);
}

TEST_F(IconSetsLoad, AtSixteenTheUnderscoreNameIsPreferredAndNothingIsCentred) {
  AddSet(L"U");
  Files.AddFile(L"U", L"001_.png", Solid(77));
  Files.AddFile(L"U", L"002_16.png", Solid(78));  // never looked for at 16
  Load();
  EXPECT_EQ(RedOf(0), 77);
  EXPECT_EQ(RedOf(1), 20);
}

TEST_F(IconSetsLoad, LoadAllStartsAfreshAndAMissingFolderLoadsNothing) {
  Load();
  EXPECT_EQ(Sets.Count(), 0);
  AddSet(L"A");
  Load();
  Load();
  EXPECT_EQ(Sets.Count(), 1);
  EXPECT_EQ(Images.Icons.size(), 20u);  // the list only grows: old indexes stay valid
  EXPECT_EQ(Sets.Get(0)->Frames[0], 10);
  Sets.Clear();
  EXPECT_EQ(Sets.Count(), 0);
  EXPECT_EQ(Images.Icons.size(), 20u);
}

TEST_F(IconSetsLoad, FindByName) {
  int index = 7;
  EXPECT_EQ(Sets.FindByName(L"Default1", index), nullptr);
  EXPECT_EQ(index, -1);

  AddSet(L"Default1");
  AddSet(L"Default2");
  AddSet(L"\u00C4rger");  // non-ASCII letters fold too
  Load();
  struct TCase {
    const wchar_t* Name;
    int Index;
  };
  const TCase cases[] = {{L"Default2", 1}, {L"dEFAULT2", 1}, {L"default1", 0}, {L"\u00E4RGER", 2},
                         {L"Missing", 0},  {L"", 0},         {L"Default2 ", 0}};
  for (const TCase& c : cases) {
    const TIconSet* set = Sets.FindByName(c.Name, index);
    EXPECT_EQ(index, c.Index) << std::string(c.Name, c.Name + wcslen(c.Name));
    EXPECT_EQ(set, Sets.Get(c.Index));
  }
}

TEST_F(IconSetsLoad, FindByNameTakesTheLastOfEqualNames) {
  AddSet(L"Same");
  AddSet(L"SAME");
  Load();
  int index = -1;
  Sets.FindByName(L"same", index);
  EXPECT_EQ(index, 1);
}

// ---- The sets that ship -----------------------------------------------------

TEST(IconSetsShipped, EverySetLoadsWithAllTenFrames) {
  const auto folder = ShippedIconSetsFolder();
  ASSERT_FALSE(folder.empty()) << "data/IconSets not found above the working folder";
  for (int size : {16, 20, 24, 32, 48}) {
    SCOPED_TRACE(size);
    TDiskIconSetFiles files(folder);
    TFakeIconImages images;
    images.Cx = images.Cy = size;
    TMyIconSets sets(files);
    sets.Images = &images;
    sets.LoadAll();
    ASSERT_GE(sets.Count(), 3);
    int index = -1;
    EXPECT_NE(sets.FindByName(L"Default1", index), nullptr);
    EXPECT_EQ(sets.Get(index)->Name, L"Default1");
    EXPECT_EQ(sets.Get(sets.FindByName(L"Default2", index) ? index : 0)->Name, L"Default2");
    for (int i = 0; i < sets.Count(); ++i) {
      for (int32_t frame : sets.Get(i)->Frames) EXPECT_GE(frame, 0);
    }
    for (const TIconBits& icon : images.Icons) {
      EXPECT_EQ(icon.Width, size);  // drawn for this size: nothing centred
      EXPECT_EQ(icon.Height, size);
    }
  }
}

}  // namespace
