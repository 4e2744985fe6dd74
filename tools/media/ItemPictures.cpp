#include "ItemPictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "inventory/ItemCatalogue.h"

namespace {

constexpr int Cell = 32;
constexpr int Columns = 16;

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;
};

Rgba opaque(std::uint32_t rgb) {
  return {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), 255};
}

// A darker edge makes a shape readable on any background.
Rgba darker(Rgba colour) {
  return {std::uint8_t(colour.r / 2), std::uint8_t(colour.g / 2), std::uint8_t(colour.b / 2), 255};
}

class Sheet {
public:
  explicit Sheet(int cells)
      : m_rows((cells + Columns - 1) / Columns),
        m_pixels(static_cast<std::size_t>(Columns * Cell * m_rows * Cell)) {}

  // Paints into one cell, in its own coordinates 0 to 31.
  void select(int cell) {
    m_left = (cell % Columns) * Cell;
    m_top = (cell / Columns) * Cell;
  }

  void dot(int x, int y, Rgba colour) {
    if (x < 0 || y < 0 || x >= Cell || y >= Cell)
      return;
    m_pixels[static_cast<std::size_t>((m_top + y) * Columns * Cell + m_left + x)] = colour;
  }

  void box(int x0, int y0, int x1, int y1, Rgba colour) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        dot(x, y, colour);
  }

  // A line `width` pixels thick from one point to another.
  void line(double x0, double y0, double x1, double y1, double width, Rgba colour) {
    const double length = std::hypot(x1 - x0, y1 - y0);
    for (int y = 0; y < Cell; ++y)
      for (int x = 0; x < Cell; ++x) {
        const double t = std::clamp(((x - x0) * (x1 - x0) + (y - y0) * (y1 - y0)) /
                                        std::max(length * length, 1e-9),
                                    0.0, 1.0);
        if (std::hypot(x - (x0 + t * (x1 - x0)), y - (y0 + t * (y1 - y0))) <= width / 2)
          dot(x, y, colour);
      }
  }

  void disc(double cx, double cy, double radius, Rgba colour) {
    for (int y = 0; y < Cell; ++y)
      for (int x = 0; x < Cell; ++x)
        if (std::hypot(x - cx, y - cy) <= radius)
          dot(x, y, colour);
  }

  // Uncompressed 32-bit TGA, rows top to bottom.
  void write(const std::string& path) const {
    const int width = Columns * Cell;
    const int height = m_rows * Cell;
    std::array<std::uint8_t, 18> header{};
    header[2] = 2;
    header[12] = std::uint8_t(width);
    header[13] = std::uint8_t(width >> 8);
    header[14] = std::uint8_t(height);
    header[15] = std::uint8_t(height >> 8);
    header[16] = 32;
    header[17] = 0x28; // eight alpha bits, the first row at the top
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header.data()), header.size());
    for (const Rgba& p : m_pixels) {
      const char bgra[] = {char(p.b), char(p.g), char(p.r), char(p.a)};
      out.write(bgra, 4);
    }
    if (!out)
      throw std::runtime_error("cannot write " + path);
  }

private:
  int m_rows;
  std::vector<Rgba> m_pixels;
  int m_left = 0;
  int m_top = 0;
};

// A handle from the bottom left towards the top right, as tools are held.
void handle(Sheet& sheet, Rgba colour, double toX = 20, double toY = 12) {
  sheet.line(6, 27, toX, toY, 3.5, darker(colour));
  sheet.line(6, 27, toX, toY, 2, colour);
}

void paint(Sheet& sheet, const ItemEntry& item) {
  const Rgba main = opaque(item.colour);
  const Rgba second = opaque(item.secondColour);
  const Rgba edge = darker(main);
  switch (item.shape) {
  case ItemShape::Pickaxe:
    handle(sheet, second);
    sheet.line(9, 9, 26, 22, 5, edge);
    sheet.line(10, 9, 25, 21, 3, main);
    break;
  case ItemShape::Shovel:
    handle(sheet, second);
    sheet.disc(22, 10, 6, edge);
    sheet.disc(22, 10, 4.5, main);
    break;
  case ItemShape::Axe:
    handle(sheet, second);
    sheet.box(17, 5, 26, 15, edge);
    sheet.box(18, 6, 25, 14, main);
    break;
  case ItemShape::Sword:
    sheet.line(11, 21, 26, 6, 5, edge);
    sheet.line(11, 21, 26, 6, 3, main);
    sheet.line(7, 17, 15, 25, 3, second);
    sheet.line(5, 27, 11, 21, 3, second);
    break;
  case ItemShape::Hoe:
    handle(sheet, second);
    sheet.line(14, 8, 24, 8, 4, edge);
    sheet.line(15, 8, 23, 8, 2, main);
    break;
  case ItemShape::Stick:
    sheet.line(7, 26, 25, 6, 4, edge);
    sheet.line(7, 26, 25, 6, 2.5, main);
    break;
  case ItemShape::Ingot:
    sheet.box(5, 12, 27, 22, edge);
    sheet.box(7, 13, 25, 20, main);
    sheet.box(8, 14, 24, 15, second);
    break;
  case ItemShape::Gem:
    sheet.line(16, 5, 27, 16, 3, edge);
    sheet.line(27, 16, 16, 27, 3, edge);
    sheet.line(16, 27, 5, 16, 3, edge);
    sheet.line(5, 16, 16, 5, 3, edge);
    sheet.box(11, 11, 21, 21, main);
    sheet.line(12, 15, 16, 11, 2, second);
    break;
  case ItemShape::Lump:
    sheet.disc(16, 17, 10, edge);
    sheet.disc(16, 17, 8.5, main);
    sheet.disc(13, 14, 3, second);
    break;
  case ItemShape::Dust:
    for (const auto& [x, y] : {std::pair{10, 20}, {16, 14}, {22, 20}, {16, 24}, {12, 12}, {21, 11}})
      sheet.disc(x, y, 3.5, x % 2 ? second : main);
    break;
  case ItemShape::Bucket:
    sheet.box(7, 10, 25, 27, edge);
    sheet.box(9, 11, 23, 25, main);
    sheet.box(9, 11, 23, 14, second);
    sheet.line(7, 10, 16, 3, 2, edge);
    sheet.line(16, 3, 25, 10, 2, edge);
    break;
  case ItemShape::Food:
    sheet.disc(16, 18, 10, edge);
    sheet.disc(16, 18, 8.5, main);
    sheet.line(16, 9, 19, 3, 3, second);
    break;
  case ItemShape::Sheet:
    sheet.box(7, 5, 25, 27, edge);
    sheet.box(8, 6, 24, 26, main);
    for (int y = 10; y < 24; y += 4)
      sheet.line(11, y, 21, y, 1, second);
    break;
  case ItemShape::Bow:
    for (int i = 0; i < 24; ++i) {
      const double a = 3.14159 * (0.25 + 0.5 * i / 23.0);
      sheet.disc(4 + 22 * std::cos(a) * 0.9 + 2, 28 - 22 * std::sin(a) * 0.9 - 2, 1.6, main);
    }
    sheet.line(6, 6, 26, 26, 1, second);
    break;
  case ItemShape::Arrow:
    sheet.line(6, 26, 24, 8, 2, second);
    sheet.line(21, 6, 27, 5, 3, main);
    sheet.line(27, 5, 26, 11, 3, main);
    sheet.line(5, 22, 10, 27, 3, main);
    break;
  case ItemShape::Armour:
    sheet.box(6, 6, 26, 26, edge);
    sheet.box(8, 8, 24, 24, main);
    sheet.box(13, 6, 19, 11, Rgba{});
    sheet.box(14, 11, 18, 12, second);
    break;
  case ItemShape::Unknown:
    break;
  }
}

// A dark token with a question mark: an item the client has no picture of.
void paintUnknown(Sheet& sheet) {
  const Rgba token{90, 60, 140, 255};
  const Rgba mark{240, 240, 240, 255};
  sheet.disc(16, 16, 12, darker(token));
  sheet.disc(16, 16, 10.5, token);
  sheet.line(12, 11, 16, 8, 3, mark);
  sheet.line(16, 8, 20, 11, 3, mark);
  sheet.line(20, 11, 16, 17, 3, mark);
  sheet.line(16, 17, 16, 19, 3, mark);
  sheet.disc(16, 24, 2, mark);
}

} // namespace

void writeItemPictures(const std::string& folder) {
  Sheet sheet(ItemCatalogue::pictureCells());
  sheet.select(0);
  paintUnknown(sheet);
  for (const ItemEntry* item = ItemCatalogue::begin(); item != ItemCatalogue::end(); ++item) {
    if (item->shape == ItemShape::Unknown)
      continue;
    sheet.select(ItemCatalogue::pictureCell(item->itemId));
    paint(sheet, *item);
  }
  sheet.write(folder + "/items.tga");
}
