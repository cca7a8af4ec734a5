#pragma once

namespace kvn {

// Room the window keeps below the page control and right of the status panel.
inline constexpr int kFrameExtraHeight = 62;
inline constexpr int kFrameExtraWidth = 25;

struct ScrollBarState {
  bool visible = false;
  int maximum = 0;
  int position = 0;
};

// Sizes the window-scrolling decision depends on: the window, the page control's height and
// home top, the status panel's width and home left, and the thickness of the two bars.
struct ScrollFrame {
  int windowWidth = 0;
  int windowHeight = 0;
  int pagesHeight = 0;
  int pagesHomeTop = 0;
  int panelWidth = 0;
  int panelHomeLeft = 0;
  int horizontalBarHeight = 0;
  int verticalBarWidth = 0;
};

struct ScrollChange {
  bool horizontalToggled = false;
  bool verticalToggled = false;
};

// Shows a bar for each direction in which the window is too small, its maximum being the
// shortfall in pixels. A horizontal bar takes room from the height, a vertical one from the
// width, so each bar's range includes the other bar when both are shown.
ScrollChange FitScrollBars(const ScrollFrame& frame, ScrollBarState& horizontal,
                           ScrollBarState& vertical);

}  // namespace kvn
