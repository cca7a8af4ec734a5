#include "ui/window_scroll.h"

#include <algorithm>

namespace kvn {

namespace {

// Slack in pixels; negative when the window is too small.
int VerticalSlack(const ScrollFrame& f, bool withHorizontalBar) {
  const int slack = f.windowHeight - (f.pagesHeight + f.pagesHomeTop + kFrameExtraHeight);
  return withHorizontalBar ? slack - f.horizontalBarHeight : slack;
}

int HorizontalSlack(const ScrollFrame& f, bool withVerticalBar) {
  const int slack = f.windowWidth - (f.panelWidth + f.panelHomeLeft + kFrameExtraWidth);
  return withVerticalBar ? slack - f.verticalBarWidth : slack;
}

void SetBar(ScrollBarState& bar, int slack) {
  if (slack >= 0) {
    bar.visible = false;
    return;
  }
  bar.visible = true;
  bar.maximum = -slack;
  bar.position = std::min(bar.position, -slack);
}

}  // namespace

ScrollChange FitScrollBars(const ScrollFrame& f, ScrollBarState& horizontal,
                           ScrollBarState& vertical) {
  const bool horizontalWas = horizontal.visible;
  const bool verticalWas = vertical.visible;
  if (VerticalSlack(f, false) < 0 || HorizontalSlack(f, false) < 0) {
    SetBar(vertical, VerticalSlack(f, horizontal.visible));
    int slack = HorizontalSlack(f, vertical.visible);
    if (slack < 0) {
      if (!horizontal.visible) {
        SetBar(vertical, VerticalSlack(f, true));
        slack = HorizontalSlack(f, vertical.visible);
      }
      SetBar(horizontal, slack);
    } else {
      if (horizontal.visible) SetBar(vertical, VerticalSlack(f, false));
      horizontal.visible = false;
    }
  } else {
    horizontal.visible = false;
    vertical.visible = false;
  }
  return {horizontal.visible != horizontalWas, vertical.visible != verticalWas};
}

}  // namespace kvn
