#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>

#include "operations/event_log.h"
#include "texts/texts.h"
#include "ui/log_page.h"
#include "ui/page_builder.h"
#include "ui/pages.h"
#include "ui/theme.h"

namespace kvn {

namespace {

using namespace pages;

constexpr int kColumnPercent[LogGrid::kColumns] = {12, 27, 40, 15, 0};
constexpr int kGridWidth = 470;
constexpr int kGridHeight = 548;
constexpr int kLegendCodeWidth = 84;
constexpr int kLegendRowHeight = 20;
constexpr int kInfoMarkGap = 30;

// Descriptions of the error bits 0..24 in the legend; the codes are the bits in hexadecimal.
constexpr const char* kErrorDescriptions[kErrorBits] = {
    "Non-safety parameter error",
    "Safety parameter error",
    "Factory settings error",
    "RAM parity error",
    "Self-check failed",
    "ROM CRC error",
    "RAM check error",
    "Sensor error",
    "Watchdog reset detected",
    "Bad pulse detected",
    "Slave communication error",
    "Comparator threshold readback error",
    "Slave supply out of range",
    "Analog output readback error",
    "Rail supply out of range",
    "Main supply out of range",
    "CPU supply out of range",
    "Relays partial stroke test failed",
    "Parameter value out of range",
    "CPU temperature out of range",
    "USB interface activated",
    "Initial safe state",
    "Slave UART watchdog error",
    "Slave runtime watchdog error",
    "Slave startup watchdog error",
};

constexpr Control kCommands[] = {
    Button("cmd_load_log", "Load event log"),
    Button("cmd_export_log", "Export event log"),
};

QString LegendNumber(int bit) { return QStringLiteral("%1").arg(bit + 1, 2, 10, QLatin1Char('0')); }

// "0000 0001" for bit 0 up to "0100 0000" for bit 24.
QString ErrorCodeText(int bit) {
  const QString hex = QStringLiteral("%1").arg(1u << bit, 8, 16, QLatin1Char('0')).toUpper();
  return hex.left(4) + QLatin1Char(' ') + hex.mid(4);
}

QLabel* LegendLabel(const QString& name, const QString& text, QWidget& parent) {
  auto* label = new QLabel(IndentedCaption(name, text), &parent);
  label->setObjectName(name);
  label->setFixedHeight(kLegendRowHeight);
  return label;
}

GridPanel* MakeLegend(QWidget& page) {
  auto* legend =
      new GridPanel(QStringLiteral("gpl_err_codes"), GridPanel::Look::Section, &page);
  auto* grid = new QGridLayout(legend);
  grid->setContentsMargins(4, 2, 4, 2);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(1);
  auto* code = LegendLabel(QStringLiteral("lbl_lab_ecode"), QStringLiteral("Code (HEX)"), *legend);
  theme::StyleColumnHeader(*code);
  auto* desc =
      LegendLabel(QStringLiteral("lbl_lab_edesc"), QStringLiteral("Description"), *legend);
  QFont bold = desc->font();
  bold.setBold(true);
  desc->setFont(bold);
  grid->addWidget(code, 0, 0);
  grid->addWidget(desc, 0, 1);
  legend->setProperty("kvn_header_rows", 1);
  for (int bit = 0; bit < kErrorBits; ++bit) {
    auto* tag = new GridPanel(QStringLiteral("gpl_ecode_") + LegendNumber(bit),
                              GridPanel::Look::Tag, legend);
    tag->SetCaption(ErrorCodeText(bit));
    tag->setFixedSize(kLegendCodeWidth, kLegendRowHeight);
    auto* text = LegendLabel(QStringLiteral("lbl_edesc_") + LegendNumber(bit),
                             QString::fromUtf8(kErrorDescriptions[bit]), *legend);
    auto* mark = MakeControl(Info(nullptr), legend);
    mark->setObjectName(QStringLiteral("lbl_i_edesc_") + LegendNumber(bit));
    grid->addWidget(tag, bit + 1, 0);
    grid->addWidget(text, bit + 1, 1);
    grid->addWidget(mark, bit + 1, 2);
  }
  grid->setColumnStretch(1, 1);
  return legend;
}

}  // namespace

LogGrid::LogGrid(QWidget* parent) : QTableWidget(1, kColumns, parent) {
  setObjectName(QStringLiteral("grd_log"));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setAlternatingRowColors(true);
  verticalHeader()->setVisible(false);
  verticalHeader()->setDefaultSectionSize(20);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setStretchLastSection(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setColumnHidden(kColumns - 1, true);
}

void LogGrid::resizeEvent(QResizeEvent* event) {
  QTableWidget::resizeEvent(event);
  SizeColumns();
}

void LogGrid::SizeColumns() {
  for (int column = 0; column < kColumns; ++column)
    setColumnWidth(column, width() * kColumnPercent[column] / 100);
}

void ResetLogGrid(QTableWidget& grid, const Texts& texts) {
  grid.clear();
  grid.setColumnCount(LogGrid::kColumns);
  grid.setRowCount(1);
  grid.setHorizontalHeaderLabels(EventLogHeader(texts));
}

void HighlightErrorBits(QWidget& logPage, uint32_t value) {
  for (int bit = 0; bit < kErrorBits; ++bit) {
    const bool set = (value >> bit) & 1u;
    for (const QString& name : {QStringLiteral("gpl_ecode_"), QStringLiteral("lbl_edesc_")}) {
      if (auto* w = logPage.findChild<QWidget*>(name + LegendNumber(bit))) {
        QFont font = w->font();
        font.setBold(set);
        w->setFont(font);
      }
    }
  }
}

void BuildEventLogPage(QWidget& page) {
  PageBuilder b(page);
  auto* grid = new LogGrid(&page);
  grid->setFixedSize(kGridWidth, kGridHeight);
  b.Add(grid);
  b.AddToReadingOrder(grid);
  b.ButtonLine(kCommands);

  b.NewColumn();
  b.HeadingWithMark("lbl_error_codes", "Error codes summary", "lbl_i_error_codes", kInfoMarkGap);
  b.Add(MakeLegend(page), true);
  b.Finish();
}

}  // namespace kvn
