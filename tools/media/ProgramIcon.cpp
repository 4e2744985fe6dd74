#include "ProgramIcon.h"

#include <sstream>
#include <string>

namespace {

struct Point {
  double x, y;
};

Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }

// The piece's corners: left, front and right of its top, and how deep it is.
const Point Left{28, 98};
const Point Front{128, 156};
const Point Right{228, 98};
const Point Depth{0, 80};

// The top's edges are cubic curves: the terrain rolls rather than steps.
struct Curve {
  Point from, control1, control2, to;

  Curve shifted(Point by) const { return {from + by, control1 + by, control2 + by, to + by}; }
  Curve reversed() const { return {to, control2, control1, from}; }
};

const Curve LeftEdge{Left, {55, 80}, {95, 122}, Front};
const Curve RightEdge{Front, {162, 150}, {195, 70}, Right};
// Over the back, from the right corner to the left one, the hill's crest.
const Curve Crest{Right, {226, 40}, {160, 16}, {124, 28}};
const Curve CrestDown{{124, 28}, {86, 40}, {40, 54}, Left};

const Point GrassDepth{0, 12};
const Point StoneTop{0, 50};

std::ostream& operator<<(std::ostream& out, Point p) { return out << p.x << ',' << p.y; }

// Path data: a move to the curve's start and the curve, or the curve alone
// when the path is already there.
std::string curve(const Curve& c, bool move) {
  std::ostringstream path;
  if (move)
    path << 'M' << c.from << ' ';
  path << 'C' << c.control1 << ' ' << c.control2 << ' ' << c.to << ' ';
  return path.str();
}

void path(std::ostringstream& svg, const std::string& data, const std::string& fill) {
  svg << "  <path d=\"" << data << "Z\" fill=\"" << fill << "\"/>\n";
}

std::string step(char command, Point to) {
  std::ostringstream path;
  path << command << to << ' ';
  return path.str();
}

std::string line(Point to) { return step('L', to); }

// A face of the piece below one top edge: earth, a band of turf along the
// edge and a band of stone at the bottom.
void face(std::ostringstream& svg, const Curve& edge, const std::string& earth,
          const std::string& turf, const std::string& stone) {
  path(svg, curve(edge, true) + line(edge.to + Depth) + line(edge.from + Depth), earth);
  path(svg, curve(edge, true) + line(edge.to + GrassDepth) +
                curve(edge.shifted(GrassDepth).reversed(), false),
       turf);
  path(svg,
       step('M', edge.from + StoneTop) + line(edge.to + StoneTop) + line(edge.to + Depth) +
           line(edge.from + Depth),
       stone);
}

void fleck(std::ostringstream& svg, Point at) {
  svg << "  <circle cx=\"" << at.x << "\" cy=\"" << at.y << "\" r=\"4\" fill=\"#d9a070\"/>\n";
}

} // namespace

std::string programIconSvg() {
  std::ostringstream svg;
  svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
         "viewBox=\"0 0 256 256\">\n"
      << "  <defs>\n"
      << "    <radialGradient id=\"sun\" cx=\"0.45\" cy=\"0.2\" r=\"0.8\">\n"
      << "      <stop offset=\"0\" stop-color=\"#9ad25a\"/>\n"
      << "      <stop offset=\"1\" stop-color=\"#4f8f2a\"/>\n"
      << "    </radialGradient>\n"
      << "  </defs>\n";
  // The left faces are lit, the right ones in shade.
  face(svg, LeftEdge, "#8a6238", "#4a8a26", "#8c8c90");
  face(svg, RightEdge, "#6a4a2a", "#3a6e1e", "#6a6a70");
  fleck(svg, {60, 158});
  fleck(svg, {96, 190});
  fleck(svg, {176, 190});
  path(svg, curve(LeftEdge, true) + curve(RightEdge, false) + curve(Crest, false) +
                curve(CrestDown, false),
       "url(#sun)");
  svg << "</svg>\n";
  return svg.str();
}
