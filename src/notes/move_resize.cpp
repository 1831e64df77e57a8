#include "notes/move_resize.h"
#include "platform/platform.h"

namespace pinaleaf {
namespace {

using platform::DragEdge;

constexpr int kEdgeBand = 90;  // twips: 6 pixels at 96 dpi
constexpr double kFarBand = 0.95;

enum Band { kNear, kMiddle, kFar };

Band BandOf(int coordinate, double size) {
  if (coordinate < kEdgeBand)
    return kNear;
  return coordinate > kFarBand * size ? kFar : kMiddle;
}

}  // namespace

void DragNoteWindow(platform::Form window) {
  platform::DragForm(window, DragEdge::Move);
}

bool InResizeZone(double x, double y, double w, double h) {
  return x > kFarBand * w || y > kFarBand * h;
}

bool InCornerZone(double x, double y, double w, double h) {
  return x > kFarBand * w && y > kFarBand * h;
}

DragEdge ResizeHitTest(int x, int y, double w, double h) {
  static const DragEdge kEdges[3][3] = {
      {DragEdge::TopLeft, DragEdge::Top, DragEdge::TopRight},
      {DragEdge::Left, DragEdge::Move, DragEdge::Right},
      {DragEdge::BottomLeft, DragEdge::Bottom, DragEdge::BottomRight},
  };
  return kEdges[BandOf(y, h)][BandOf(x, w)];
}

}  // namespace pinaleaf
