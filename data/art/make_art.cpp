// Draws the shipped icon sets and the application icon. Every size is drawn
// on its own pixel grid (edges snapped to whole pixels where they run
// straight), so the larger small-icon sizes are as sharp as the 16-pixel one.
//
//   make_art <repository folder>
// writes data/IconSets/<set>/00N.png, 00N_<size>.png and res/pulsery.ico.
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "raster.h"

namespace fs = std::filesystem;

namespace {

// The small-icon widths of the usual display scales, 100 % to 400 %.
constexpr int SmallIconSizes[] = {16, 20, 24, 28, 32, 40, 48, 64};
constexpr int AppIconSizes[] = {16, 20, 24, 32, 48, 256};

// ---- Palette --------------------------------------------------------------
// Saturated mid tones with a dark outline read on light and dark taskbars.

const TColor Outline = Hex("#12161B", 0.92);
const TColor Received = Hex("#34D058");  // green: data coming in
const TColor Sent = Hex("#FF9F1A");      // amber: data going out
const TColor Idle = Hex("#98A1AB");
const TColor TileFill = Hex("#25303C");
const TColor TileRim = Hex("#8D9AAA");
const TColor TileIdle = Hex("#7C8895");
const TColor DownRed = Hex("#E5383B");
const TColor GlobeBlue = Hex("#1E8BFF");
const TColor White = Hex("#FFFFFF");

enum class TState { Idle, Both, Sent, Received, Down };

struct TGrid {
  int S;     // size in pixels
  double K;  // pixels per unit of the 16-pixel design
  int O;     // outline width

  explicit TGrid(int size)
      : S(size), K(size / 16.0), O(std::max(1, int(std::floor(size / 16.0 + 0.25)))) {}
  int Px(double units) const { return int(std::lround(units * K)); }
};

// The nearest whole number to `value` with the parity of `like`, ties up.
int WithParity(double value, int like) {
  int low = int(std::floor(value));
  if (((low - like) & 1) != 0) --low;
  return value - low < low + 2 - value ? low : low + 2;
}

// An arrow in [x0, x1] x [y0, y1] pointing down (or up), its shaft centred.
TShape Arrow(double x0, double x1, double y0, double y1, int shaft, int head, bool down) {
  const double cx = (x0 + x1) / 2, h = shaft / 2.0;
  if (down) {
    const double base = y1 - head;
    return Polygon({{cx - h, y0},
                    {cx + h, y0},
                    {cx + h, base},
                    {x1, base},
                    {cx, y1},
                    {x0, base},
                    {cx - h, base}});
  }
  const double base = y0 + head;
  return Polygon({{cx - h, y1},
                  {cx + h, y1},
                  {cx + h, base},
                  {x1, base},
                  {cx, y0},
                  {x0, base},
                  {cx - h, base}});
}

// The "not up" badge in the bottom-right corner: a red disc with a white bar.
void DrawDownBadge(TCanvas& c, const TGrid& g) {
  const int d = WithParity(7 * g.K, 1);
  const double right = g.S - g.O, cx = right - d / 2.0;
  const TShape disc = Circle({cx, cx}, d / 2.0);
  c.FillOutlined(disc, DownRed, Hex("#3A0608", 0.95), g.O);
  const int bar = std::max(1, WithParity(d * 0.2, d));
  const int inset = std::max(2, int(std::lround(d * 0.22)));
  c.Fill(Box(right - d + inset, cx - bar / 2.0, right - inset, cx + bar / 2.0), White);
}

// ---- Default2: a pair of outlined arrows, received (down) left, sent right ----

void DrawArrows(TCanvas& c, const TGrid& g, TState state) {
  const int half = g.S / 2;
  const int width = half - g.O;  // head width
  const int shaft = WithParity(width * 0.43, width);
  const int head = std::max(3, int(std::lround(width * 0.6)));
  const bool down = state == TState::Down;
  const bool in = state == TState::Both || state == TState::Received;
  const bool out = state == TState::Both || state == TState::Sent;
  const double fade = down ? 0.45 : 1.0;
  const TShape recv = Arrow(g.O, half, g.O, g.S - g.O, shaft, head, true);
  const TShape send = Arrow(half, g.S - g.O, g.O, g.S - g.O, shaft, head, false);
  c.FillOutlined(recv, Fade(in ? Received : Idle, fade), Fade(Outline, fade), g.O);
  c.FillOutlined(send, Fade(out ? Sent : Idle, fade), Fade(Outline, fade), g.O);
  if (down) DrawDownBadge(c, g);
}

// ---- Default1: the same arrows on a dark tile, for all interfaces together ----

void DrawTile(TCanvas& c, const TGrid& g, bool down) {
  const int rim = std::max(1, int(std::lround(g.K * 0.8)));
  const double r = std::max(2.0, 3.0 * g.K);
  c.Fill(Box(0, 0, g.S, g.S, r), down ? Hex("#6E7781") : TileRim);
  c.Fill(Box(rim, rim, g.S - rim, g.S - rim, std::max(1.0, r - rim)),
         down ? Hex("#3B4149") : TileFill);
}

void DrawTileArrows(TCanvas& c, const TGrid& g, TState state, TColor idle = TileIdle) {
  const bool down = state == TState::Down;
  DrawTile(c, g, down);
  const int pad = std::max(1, int(std::lround(g.K * 0.8))) + std::max(1, g.Px(1));
  const int half = g.S / 2;
  const int width = half - pad;
  const int shaft = WithParity(width * 0.38, width);
  const int head = std::max(3, int(std::lround(width * 0.62)));
  const bool in = state == TState::Both || state == TState::Received;
  const bool out = state == TState::Both || state == TState::Sent;
  const TColor dim = down ? Hex("#626A73") : idle;
  c.Fill(Arrow(pad, half, pad, g.S - pad, shaft, head, true), in ? Received : dim);
  c.Fill(Arrow(half, g.S - pad, pad, g.S - pad, shaft, head, false), out ? Sent : dim);
  if (down) DrawDownBadge(c, g);
}

// ---- Lights: two lamps on a small box, received left, sent right -------------

void DrawLights(TCanvas& c, const TGrid& g, TState state) {
  const bool down = state == TState::Down;
  const int top = g.Px(5);
  const double r = std::max(2.0, 3.0 * g.K);
  c.Fill(Box(0, top, g.S, g.S, r), down ? Hex("#6E7781") : TileRim);
  c.Fill(Box(g.O, top + g.O, g.S - g.O, g.S - g.O, std::max(1.0, r - g.O)),
         down ? Hex("#3B4149") : TileFill);
  const double cy = (top + g.S) / 2.0;
  const double lamp = (g.S - top) * 0.30;          // radius
  const double gap = std::floor(g.S / 4.0) + 0.5;  // on a pixel centre, mirrored
  const bool in = state == TState::Both || state == TState::Received;
  const bool out = state == TState::Both || state == TState::Sent;
  auto lampAt = [&](double cx, bool lit, TColor color) {
    const TShape disc = Circle({cx, cy}, lamp);
    if (lit) {
      c.Fill(Grow(disc, g.O), Fade(color, 0.35));  // glow
      c.Fill(disc, color);
      c.Fill(Circle({cx - lamp * 0.35, cy - lamp * 0.35}, lamp * 0.32), Fade(White, 0.7));
    } else {
      c.Fill(disc, down ? Hex("#2E333A") : Hex("#505A65"));
      c.Fill(Stroke(disc, std::max(1.0, g.K * 0.6)), Hex("#151A20", 0.8));
    }
  };
  lampAt(gap, in, Received);
  lampAt(g.S - gap, out, Sent);
  if (down) DrawDownBadge(c, g);
}

// ---- The Internet marker: a small globe over the top-left corner -------------

// `centred` puts it in the middle of the top edge instead (over a picture
// whose top-left corner holds something that must stay visible).
void DrawGlobe(TCanvas& c, const TGrid& g, bool centred = false) {
  const int d = WithParity(6.2 * g.K, 1);
  const double r = d / 2.0, cy = g.O + r;
  const double cx = centred ? g.S / 2 - 0.5 : cy;  // odd diameter: centre on a pixel centre
  const TShape disc = Circle({cx, cy}, r);
  c.FillOutlined(disc, GlobeBlue, Hex("#07213F", 0.95), g.O);
  const double line = std::max(1.0, std::round(0.7 * g.K));
  const TColor ink = Fade(White, 0.9);
  // Equator and a pair of bent meridians: reads as a globe, not a plus sign.
  c.Fill(Intersect(Box(cx - r, cy - line / 2, cx + r, cy + line / 2), disc), ink);
  // The centre sits on a pixel centre: whole-pixel half-widths keep thin
  // meridians on pixel columns.
  const double rx = line < 2 ? std::max(1.0, std::round(r * 0.45)) : r * 0.5;
  c.Fill(Intersect(Stroke(Ellipse({cx, cy}, rx, r + line), line), disc), ink);
}

// ---- Writing ----------------------------------------------------------------

std::vector<uint8_t> EncodePng(const TCanvas& canvas) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const std::vector<uint8_t> pixels = canvas.Rgba();
  std::vector<png_const_bytep> rows;
  for (int y = 0; y < canvas.Size; ++y) rows.push_back(pixels.data() + size_t(y) * canvas.Size * 4);
  if (setjmp(png_jmpbuf(png))) {
    std::fprintf(stderr, "libpng failed\n");
    std::exit(1);
  }
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, size_t n) {
        auto* o = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
        o->insert(o->end(), data, data + n);
      },
      nullptr);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, canvas.Size, canvas.Size, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& data) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
    std::exit(1);
  }
}

void Put16(std::vector<uint8_t>& out, unsigned v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// One icon-file image as a 32-bit DIB with its AND mask.
std::vector<uint8_t> EncodeDib(const TCanvas& canvas) {
  const int n = canvas.Size;
  const std::vector<uint8_t> rgba = canvas.Rgba();
  std::vector<uint8_t> out;
  Put32(out, 40);
  Put32(out, uint32_t(n));
  Put32(out, uint32_t(n * 2));  // colour and mask
  Put16(out, 1);
  Put16(out, 32);
  for (int i = 0; i < 6; ++i) Put32(out, 0);
  for (int y = n - 1; y >= 0; --y)
    for (int x = 0; x < n; ++x) {
      const uint8_t* p = rgba.data() + (size_t(y) * n + x) * 4;
      out.insert(out.end(), {p[2], p[1], p[0], p[3]});
    }
  const int stride = (n + 31) / 32 * 4;
  for (int y = n - 1; y >= 0; --y) {
    std::vector<uint8_t> row(size_t(stride), 0);
    for (int x = 0; x < n; ++x)
      if (rgba[(size_t(y) * n + x) * 4 + 3] < 128) row[size_t(x) / 8] |= uint8_t(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<uint8_t> EncodeIco(const std::vector<TCanvas>& images) {
  std::vector<std::vector<uint8_t>> blobs;
  for (const TCanvas& c : images) blobs.push_back(c.Size >= 256 ? EncodePng(c) : EncodeDib(c));
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, unsigned(images.size()));
  uint32_t offset = uint32_t(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const int n = images[i].Size;
    out.push_back(uint8_t(n >= 256 ? 0 : n));
    out.push_back(uint8_t(n >= 256 ? 0 : n));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, uint32_t(blobs[i].size()));
    Put32(out, offset);
    offset += uint32_t(blobs[i].size());
  }
  for (const auto& b : blobs) out.insert(out.end(), b.begin(), b.end());
  return out;
}

using TDraw = void (*)(TCanvas&, const TGrid&, TState);

// Files 1 to 5 of a set in the order the loader expects, then the marker.
void WriteSet(const fs::path& folder, TDraw draw, bool centredMarker = false) {
  const TState states[] = {TState::Idle, TState::Both, TState::Sent, TState::Received,
                           TState::Down};
  for (int size : SmallIconSizes) {
    const TGrid grid(size);
    const std::string suffix = size == 16 ? ".png" : "_" + std::to_string(size) + ".png";
    for (int file = 1; file <= 6; ++file) {
      TCanvas canvas(size);
      if (file <= 5)
        draw(canvas, grid, states[file - 1]);
      else
        DrawGlobe(canvas, grid, centredMarker);
      WriteFile(folder / ("00" + std::to_string(file) + suffix), EncodePng(canvas));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_art <repository folder>\n");
    return 2;
  }
  const fs::path root = argv[1];
  const fs::path sets = root / "data" / "IconSets";
  WriteSet(sets / "Default1",
           [](TCanvas& c, const TGrid& g, TState s) { DrawTileArrows(c, g, s); });
  WriteSet(sets / "Default2", &DrawArrows);
  WriteSet(sets / "Lights", &DrawLights, true);

  std::vector<TCanvas> app;
  for (int size : AppIconSizes) {
    TCanvas canvas(size);
    DrawTileArrows(canvas, TGrid(size), TState::Both);
    app.push_back(std::move(canvas));
  }
  WriteFile(root / "res" / "pulsery.ico", EncodeIco(app));
  return 0;
}
