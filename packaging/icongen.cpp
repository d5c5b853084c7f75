// Draws the game's icon, a piece of the maze under the sky with a bird and a
// falling droplet, and writes it as an RGBA PNG. The PNG is written with
// stored (uncompressed) deflate blocks, so the program needs no library.
//
// Usage: icongen <output.png> [size]   (size in pixels, default 64)

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Rgba {
  std::uint8_t r, g, b, a;
};

std::uint32_t crc32(const std::uint8_t* data, std::size_t n, std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < n; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void putBE32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

void putChunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& body) {
  putBE32(png, static_cast<std::uint32_t>(body.size()));
  std::vector<std::uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), body.begin(), body.end());
  png.insert(png.end(), typed.begin(), typed.end());
  putBE32(png, crc32(typed.data(), typed.size()));
}

std::vector<std::uint8_t> encodePng(int size, const std::vector<Rgba>& pixels) {
  // Scanlines, each led by filter type 0.
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < size; ++y) {
    raw.push_back(0);
    for (int x = 0; x < size; ++x) {
      const Rgba& p = pixels[static_cast<std::size_t>(y * size + x)];
      raw.insert(raw.end(), {p.r, p.g, p.b, p.a});
    }
  }
  // zlib stream of stored blocks.
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::size_t pos = 0;
  do {
    const std::size_t len = std::min<std::size_t>(65535, raw.size() - pos);
    const bool last = pos + len == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(len & 0xFF));
    z.push_back(static_cast<std::uint8_t>(len >> 8));
    z.push_back(static_cast<std::uint8_t>(~len & 0xFF));
    z.push_back(static_cast<std::uint8_t>((~len >> 8) & 0xFF));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
             raw.begin() + static_cast<std::ptrdiff_t>(pos + len));
    pos += len;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  putBE32(z, (b << 16) | a);

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> ihdr;
  putBE32(ihdr, static_cast<std::uint32_t>(size));
  putBE32(ihdr, static_cast<std::uint32_t>(size));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  putChunk(png, "IHDR", ihdr);
  putChunk(png, "IDAT", z);
  putChunk(png, "IEND", {});
  return png;
}

// The picture in unit coordinates: u to the right, v downwards, both 0..1.
Rgba shade(double u, double v) {
  // Rounded square; outside it the icon is transparent.
  const double r = 0.16;
  const double cu = std::min(std::max(u, r), 1 - r), cv = std::min(std::max(v, r), 1 - r);
  if ((u - cu) * (u - cu) + (v - cv) * (v - cv) > r * r) return {0, 0, 0, 0};

  // A droplet: a circle with a point on top, falling on the left.
  const double du = u - 0.34, dv = v - 0.50;
  const bool inCircle = du * du + dv * dv < 0.075 * 0.075;
  const bool inTip = v > 0.34 && v <= 0.50 && std::fabs(du) < 0.075 * (v - 0.34) / 0.16;
  if (inCircle || inTip) {
    const bool highlight = (du + 0.025) * (du + 0.025) + (dv + 0.02) * (dv + 0.02) < 0.02 * 0.02;
    return highlight ? Rgba{200, 255, 200, 255} : Rgba{20, 200, 40, 255};
  }
  // A bird: a dark blue arrowhead in the sky, top right.
  const double bu = u - 0.68, bv = v - 0.20;
  if (bv > -0.07 && bv < 0.05 && std::fabs(bu) < 0.5 * (0.05 - bv) * 1.4 &&
      !(bv > 0 && std::fabs(bu) < 0.05 * (bv / 0.05))) {
    return {20, 30, 120, 255};
  }
  // The wall: bricks below the horizon at v = 0.62, sky above.
  if (v < 0.62) {
    const double t = v / 0.62;
    return {static_cast<std::uint8_t>(129 + 40 * t), static_cast<std::uint8_t>(191 + 30 * t), 254, 255};
  }
  const double rows = 4.0;
  const double row = (v - 0.62) / 0.38 * rows;
  const int rowIndex = static_cast<int>(row);
  const double brickU = u * 3.0 + (rowIndex % 2 ? 0.5 : 0.0);
  const double fu = brickU - std::floor(brickU), fv = row - std::floor(row);
  if (fu < 0.08 || fv < 0.14) return {170, 165, 155, 255};  // mortar
  const int shadeStep = (rowIndex * 7 + static_cast<int>(std::floor(brickU)) * 3) % 4;
  return {static_cast<std::uint8_t>(150 + 12 * shadeStep), static_cast<std::uint8_t>(50 + 4 * shadeStep), 40, 255};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: icongen <output.png> [size]\n");
    return 2;
  }
  const int size = argc == 3 ? std::atoi(argv[2]) : 64;
  if (size < 16 || size > 1024) {
    std::fprintf(stderr, "icongen: %s: size must be between 16 and 1024 pixels\n", argc == 3 ? argv[2] : "");
    return 2;
  }
  // Each pixel averages 4 by 4 samples, for smooth edges.
  std::vector<Rgba> pixels(static_cast<std::size_t>(size * size));
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          const Rgba s = shade((x + (sx + 0.5) / 4) / size, (y + (sy + 0.5) / 4) / size);
          r += s.r * s.a;
          g += s.g * s.a;
          b += s.b * s.a;
          a += s.a;
        }
      }
      Rgba& p = pixels[static_cast<std::size_t>(y * size + x)];
      p.a = static_cast<std::uint8_t>(a / 16 + 0.5);
      p.r = a > 0 ? static_cast<std::uint8_t>(r / a + 0.5) : 0;
      p.g = a > 0 ? static_cast<std::uint8_t>(g / a + 0.5) : 0;
      p.b = a > 0 ? static_cast<std::uint8_t>(b / a + 0.5) : 0;
    }
  }
  const std::vector<std::uint8_t> png = encodePng(size, pixels);
  std::FILE* f = std::fopen(argv[1], "wb");
  if (!f) {
    std::fprintf(stderr, "icongen: %s: %s\n", argv[1], std::strerror(errno));
    return 1;
  }
  const bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  if (std::fclose(f) != 0 || !ok) {
    std::fprintf(stderr, "icongen: %s: write failed\n", argv[1]);
    return 1;
  }
  return 0;
}
