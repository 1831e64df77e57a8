#include "notes/move_resize.h"

namespace pinaleaf {
namespace {

constexpr int kEdgeBand = 90;  // twips: 6 pixels at 96 dpi
constexpr double kFarBand = 0.95;

enum Band { kNear, kMiddle, kFar };

Band BandOf(int coordinate, double size) {
  if (coordinate < kEdgeBand) return kNear;
  return coordinate > kFarBand * size ? kFar : kMiddle;
}

}  // namespace

void DragNoteWindow(platform::Handle window) {
  platform::ReleaseCapture();
  platform::RunMoveSizeLoop(window, platform::kHitCaption);
}

bool InResizeZone(double x, double y, double w, double h) { return x > kFarBand * w || y > kFarBand * h; }

bool InCornerZone(double x, double y, double w, double h) { return x > kFarBand * w && y > kFarBand * h; }

int ResizeHitTest(int x, int y, double w, double h) {
  static const int kCodes[3][3] = {
      {platform::kHitTopLeft, platform::kHitTop, platform::kHitTopRight},
      {platform::kHitLeft, platform::kHitCaption, platform::kHitRight},
      {platform::kHitBottomLeft, platform::kHitBottom, platform::kHitBottomRight},
  };
  return kCodes[BandOf(y, h)][BandOf(x, w)];
}

}  // namespace pinaleaf
