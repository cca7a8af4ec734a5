#pragma once
#include <cstdint>

class QTabWidget;
class QWidget;

namespace kvn {

// Builders of the eight pages of the main window, one per file.
void BuildDevicePage(QWidget& page);
void BuildMeasurePage(QWidget& page);
void BuildOutputPage(QWidget& page);
void BuildDiagPage(QWidget& page);
void BuildProcessDataPage(QWidget& page);
void BuildDeviceStatusPage(QWidget& page);
void BuildReportPage(QWidget& page);
void BuildEventLogPage(QWidget& page);

struct PageDescriptor {
  const char* name;     // page object name and text-table key
  const char* caption;  // shown with a blank on either side
  uint8_t container;    // container code of the text table
  void (*build)(QWidget& page);
};

// Page order of the page control: index 0..7.
inline constexpr PageDescriptor kPages[] = {
    {"tab_device", "DEVICE", 3, BuildDevicePage},
    {"tab_measure", "MEASUREMENT", 4, BuildMeasurePage},
    {"tab_output", "OUTPUT", 5, BuildOutputPage},
    {"tab_diag", "DIAGNOSTICS", 6, BuildDiagPage},
    {"tab_proc_data", "PROCESS DATA", 7, BuildProcessDataPage},
    {"tab_sys_diag", "DEVICE STATUS", 8, BuildDeviceStatusPage},
    {"tab_report", "REPORT", 10, BuildReportPage},
    {"tab_log", "EVENT LOG", 9, BuildEventLogPage},
};

// Adds the eight pages to the page control and builds their contents.
void BuildPages(QTabWidget& pageControl);

// The page of a container code 3..10, or nullptr.
QWidget* PageOfContainer(const QTabWidget& pageControl, int container);

}  // namespace kvn

namespace kvn {

// Design size of the speed plot image on the PROCESS DATA page.
inline constexpr int kPlotImageWidth = 819;
inline constexpr int kPlotImageHeight = 222;

// Puts the speed plot's canvas in the place of the PROCESS DATA page's plot image (named
// img_plot like it) and deletes the placeholder; returns the canvas, nullptr when the page has
// no placeholder.
QWidget* InstallPlotImage(QWidget& processDataPage, QWidget* canvas);

}  // namespace kvn
