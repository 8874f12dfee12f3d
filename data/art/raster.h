// A tiny anti-aliased rasteriser for the tool's pictures: shapes are signed
// distance functions in pixel units (negative inside), painted in order onto
// a premultiplied RGBA canvas with 4 x 4 samples per pixel.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TVec {
  double X, Y;
};

using TShape = std::function<double(TVec)>;

struct TColor {
  double R, G, B, A;
};

// "#RRGGBB" with an optional opacity.
inline TColor Hex(const char* text, double alpha = 1.0) {
  const unsigned v = unsigned(std::stoul(std::string(text + 1), nullptr, 16));
  return {((v >> 16) & 255) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0, alpha};
}

inline TColor Fade(TColor c, double opacity) {
  c.A *= opacity;
  return c;
}

// Exact distance to a closed polygon (any winding).
inline TShape Polygon(std::vector<TVec> v) {
  return [v](TVec p) {
    double d = (p.X - v[0].X) * (p.X - v[0].X) + (p.Y - v[0].Y) * (p.Y - v[0].Y);
    double s = 1.0;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
      const TVec e{v[j].X - v[i].X, v[j].Y - v[i].Y};
      const TVec w{p.X - v[i].X, p.Y - v[i].Y};
      const double t = std::clamp((w.X * e.X + w.Y * e.Y) / (e.X * e.X + e.Y * e.Y), 0.0, 1.0);
      const TVec b{w.X - e.X * t, w.Y - e.Y * t};
      d = std::min(d, b.X * b.X + b.Y * b.Y);
      const bool c1 = p.Y >= v[i].Y, c2 = p.Y<v[j].Y, c3 = e.X * w.Y> e.Y * w.X;
      if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
  };
}

inline TShape Circle(TVec c, double r) {
  return [=](TVec p) { return std::hypot(p.X - c.X, p.Y - c.Y) - r; };
}

inline TShape Ellipse(TVec c, double rx, double ry) {
  // Good enough near the outline, which is all a stroke needs.
  return [=](TVec p) {
    const double dx = (p.X - c.X) / rx, dy = (p.Y - c.Y) / ry;
    const double k = std::hypot(dx, dy);
    const double g = std::hypot(dx / rx, dy / ry);
    return g > 0 ? (k - 1.0) * k / g : -std::min(rx, ry);
  };
}

// Rectangle [x0, x1] x [y0, y1] with corners rounded by r.
inline TShape Box(double x0, double y0, double x1, double y1, double r = 0) {
  return [=](TVec p) {
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
    const double qx = std::abs(p.X - cx) - hx, qy = std::abs(p.Y - cy) - hy;
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - r;
  };
}

inline TShape Grow(TShape a, double by) {
  return [=](TVec p) { return a(p) - by; };
}
inline TShape Union(TShape a, TShape b) {
  return [=](TVec p) { return std::min(a(p), b(p)); };
}
inline TShape Intersect(TShape a, TShape b) {
  return [=](TVec p) { return std::max(a(p), b(p)); };
}
inline TShape Minus(TShape a, TShape b) {
  return [=](TVec p) { return std::max(a(p), -b(p)); };
}
// A line of the given width along the shape's outline.
inline TShape Stroke(TShape a, double width) {
  return [=](TVec p) { return std::abs(a(p)) - width / 2; };
}

class TCanvas {
 public:
  explicit TCanvas(int size) : Size(size), Pixels(size_t(size) * size) {}

  // Paints the shape over what is there ("over", premultiplied).
  void Fill(const TShape& shape, TColor color) {
    constexpr int N = 4;
    for (int y = 0; y < Size; ++y) {
      for (int x = 0; x < Size; ++x) {
        double cover = 0;
        for (int j = 0; j < N; ++j)
          for (int i = 0; i < N; ++i) {
            const double d = shape({x + (i + 0.5) / N, y + (j + 0.5) / N});
            cover += std::clamp(0.5 - d * N, 0.0, 1.0);
          }
        const double a = color.A * cover / (N * N);
        if (a <= 0) continue;
        auto& px = Pixels[size_t(y) * Size + x];
        px = {color.R * a + px[0] * (1 - a), color.G * a + px[1] * (1 - a),
              color.B * a + px[2] * (1 - a), a + px[3] * (1 - a)};
      }
    }
  }
  // The shape with an outline of `width` around it.
  void FillOutlined(const TShape& shape, TColor fill, TColor outline, double width) {
    Fill(Grow(shape, width), outline);
    Fill(shape, fill);
  }

  // Straight 8-bit RGBA, rows top-down.
  std::vector<uint8_t> Rgba() const {
    std::vector<uint8_t> out;
    out.reserve(Pixels.size() * 4);
    for (const auto& px : Pixels) {
      const double a = px[3];
      for (int c = 0; c < 3; ++c)
        out.push_back(uint8_t(std::lround(std::clamp(a > 0 ? px[c] / a : 0.0, 0.0, 1.0) * 255)));
      out.push_back(uint8_t(std::lround(std::clamp(a, 0.0, 1.0) * 255)));
    }
    return out;
  }

  int Size;
  std::vector<std::array<double, 4>> Pixels;
};
