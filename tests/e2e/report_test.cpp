// The PDF reports written by the real window against the simulator, read back with poppler:
// page selection and order, positions on the page, what the rows print, the plot page, and
// what an existing file keeps when a report is not written.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "e2e/live_app.h"
#include "operations/connection.h"
#include "parameters/parameter_table.h"
#include "parameters/value_codec.h"
#include "reports/config_report.h"
#include "ui/report_commands.h"
#include "reports/report_page.h"
#include "support/file_size_limit.h"
#include "texts/containers.h"
#include "support/pdf_reader.h"
#include "texts/texts.h"
#include "ui/plot_canvas.h"
#include "ui/window_texts.h"

namespace kvn::test {
namespace {

using Kind = RecordingPrompts::Kind;

const char* const kReportBoxes[] = {"chk_rep_device", "chk_rep_meas", "chk_rep_output", "chk_rep_diag"};

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The words of the line a label starts, left to right, the label's own words left out.
std::vector<PdfWord> LineAfter(const std::vector<PdfWord>& words, int page, const QString& label) {
  std::vector<PdfWord> line;
  const std::optional<QRectF> at = FindPhrase(words, page, label);
  if (!at) return line;
  for (const PdfWord& w : WordsOfPage(words, page))
    if (std::abs(w.box.top() - at->top()) < 1.0 && w.box.left() > at->right()) line.push_back(w);
  std::sort(line.begin(), line.end(), [](const PdfWord& a, const PdfWord& b) { return a.box.left() < b.box.left(); });
  return line;
}

class ReportFiles : public LiveApp {
 protected:
  void SetUp() override {
    for (const char* tool : {"pdfinfo", "pdftotext", "pdftoppm"})
      if (!HaveTool(QString::fromLatin1(tool))) GTEST_SKIP() << tool << " (poppler-utils) missing";
    LiveApp::SetUp();
    StartProgram();
    Poll();
    app->connection->cmd_read_paramClick();
    Poll(3);
    prompts.ClearCalls();
  }
  QString PathOf(const char* name) const { return files.filePath(QString::fromLatin1(name)); }
  // Unticks every report box, then ticks these in the order given.
  void Tick(const std::vector<const char*>& boxes) {
    for (const char* b : kReportBoxes) Control<QCheckBox>(b)->setChecked(false);
    for (const char* b : boxes) Control<QCheckBox>(b)->setChecked(true);
  }
  QString ConfigReport(const char* name) {
    prompts.QueueFileName(PathOf(name));
    Control<QPushButton>("cmd_out_report")->click();
    return PathOf(name);
  }
  QString PlotReport(const char* name) {
    prompts.QueueFileName(PathOf(name));
    Control<QPushButton>("cmd_plot_pdf")->click();
    return PathOf(name);
  }
  QString Caption(const char* name) const { return Control<QLabel>(name)->text(); }
  // Types into a field and leaves it, as the engineer does.
  void SetText(const char* name, const char* text) {
    Control<QLineEdit>(name)->setText(QString::fromUtf8(text));
    app->form.TakeEdit(Control<QLineEdit>(name));
  }

  QTemporaryDir files;
};

// --- Pages -------------------------------------------------------------------------------

struct Selection {
  const char* name;
  std::vector<const char*> ticked;     // in the order the engineer ticks them
  std::vector<const char*> headings;   // first heading of each page, in page order
};

class ReportPages : public ReportFiles, public ::testing::WithParamInterface<Selection> {};

TEST_P(ReportPages, FollowTheFixedOrderAndCountThemselves) {
  Tick(GetParam().ticked);
  const QString path = ConfigReport("pages.pdf");
  ASSERT_EQ(prompts.TextsOf(Kind::Info), QStringList{QStringLiteral("Report file saved")}) << prompts.Describe().toStdString();
  const int n = int(GetParam().headings.size());
  const QMap<QString, QString> info = PdfInfo(path);
  EXPECT_EQ(info.value(QStringLiteral("Pages")).toInt(), n);
  EXPECT_EQ(info.value(QStringLiteral("Title")), QStringLiteral("Korvane configuration report"));
  const std::vector<PdfWord> words = PdfWords(path);
  for (int page = 1; page <= n; ++page) {
    const QString text = PageText(words, page);
    EXPECT_TRUE(FindPhrase(words, page, QStringLiteral("Page %1 of %2").arg(page).arg(n))) << text.toStdString();
    EXPECT_TRUE(FindPhrase(words, page, QString::fromLatin1(GetParam().headings[size_t(page - 1)])))
        << page << ": " << text.toStdString();
    EXPECT_TRUE(FindPhrase(words, page, QStringLiteral("Serial number: ") + Text("lbl_serial_num")));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Selections, ReportPages,
    ::testing::Values(
        Selection{"output_and_diagnostics", {"chk_rep_diag", "chk_rep_output"}, {"Digital outputs", "Diagnostics"}},
        Selection{"all_four_ticked_backwards",
                  {"chk_rep_diag", "chk_rep_output", "chk_rep_meas", "chk_rep_device"},
                  {"Configuration - user", "Measurement", "Digital outputs", "Diagnostics"}},
        Selection{"measurement_only", {"chk_rep_meas"}, {"Measurement"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportFiles, NothingTickedGivesMessage65AndNoDialog) {
  Tick({});
  Control<QPushButton>("cmd_out_report")->click();
  EXPECT_TRUE(prompts.ShowedExactly(Kind::Error, QStringLiteral("No configuration blocks selected for report")))
      << prompts.Describe().toStdString();
}

TEST_F(ReportFiles, CancelledDialogsWriteNothing) {
  Control<QPushButton>("cmd_out_report")->click();
  Control<QPushButton>("cmd_plot_pdf")->click();
  EXPECT_EQ(prompts.Calls(), (std::vector<RecordingPrompts::Call>{
                                 {Kind::SaveFile, QStringLiteral("Save report file"), {},
                                  QStringLiteral("KVN report file(*.pdf);;All Files(*)"), QStringLiteral("pdf")},
                                 {Kind::SaveFile, QStringLiteral("Save plot file"), {},
                                  QStringLiteral("KVN plot file(*.pdf);;All Files(*)"), QStringLiteral("pdf")}}));
  EXPECT_FALSE(app->plot.drawing_suspended);
}

// --- Positions ---------------------------------------------------------------------------

TEST_F(ReportFiles, PageGeometryFromTheFile) {
  const QString path = ConfigReport("all.pdf");
  EXPECT_TRUE(PdfInfo(path).value(QStringLiteral("Page size")).startsWith(QStringLiteral("595 x 842 pts")));
  const std::vector<PdfWord> words = PdfWords(path);
  const double tolerance = kUnitsPerPoint;  // within a point

  EXPECT_NEAR(FindPhrase(words, 1, QStringLiteral("Korvane configuration report"))->left(), 148, tolerance);
  const DateTimeSeparators sep = SeparatorsOf(QLocale::system());
  const QRegularExpression created(QStringLiteral("^Created: \\d\\d\\%1\\d\\d\\%1\\d{4} \\d\\d\\%2\\d\\d$")
                                       .arg(sep.date).arg(sep.time));
  const std::vector<PdfWord> date = LineAfter(words, 1, QStringLiteral("Created:"));
  ASSERT_EQ(date.size(), 2u);
  EXPECT_TRUE(created.match(QStringLiteral("Created: ") + date[0].text + QLatin1Char(' ') + date[1].text).hasMatch());
  EXPECT_NEAR(date[1].box.right(), 1178, tolerance);

  // A plain row (MEASUREMENT): value ends at 735, unit starts at 746.
  const std::vector<PdfWord> rated = LineAfter(words, 2, Caption("lbl_rated_sp").trimmed());
  ASSERT_EQ(rated.size(), 2u) << PageText(words, 2).toStdString();
  EXPECT_EQ(rated[0].text, Control<QLineEdit>("txt_rated_sp")->text().trimmed());
  EXPECT_NEAR(rated[0].box.right(), 735, tolerance);
  EXPECT_EQ(rated[1].text, QStringLiteral("RPM"));
  EXPECT_NEAR(rated[1].box.left(), 746, tolerance);

  // A range row (OUTPUT): from 735, word 746, to 852, unit 864.
  const std::vector<PdfWord> range = LineAfter(words, 3, Caption("lbl_aout_swing").trimmed());
  ASSERT_EQ(range.size(), 4u);
  EXPECT_NEAR(range[0].box.right(), 735, tolerance);
  EXPECT_NEAR(range[1].box.left(), 746, tolerance);
  EXPECT_NEAR(range[2].box.right(), 852, tolerance);
  EXPECT_NEAR(range[3].box.left(), 864, tolerance);

  // The relay matrix: five right edges and the unit.
  const std::vector<PdfWord> limits = LineAfter(words, 3, Caption("lbl_vmax_lim").trimmed());
  ASSERT_EQ(limits.size(), 6u);
  const int edges[] = {435, 585, 735, 884, 1034};
  for (size_t k = 0; k < 5; ++k) EXPECT_NEAR(limits[k].box.right(), edges[k], tolerance) << k;
  EXPECT_NEAR(limits[5].box.left(), 1046, tolerance);

  // The header rule, two units thick, from the left to the right margin.
  const QImage page = RenderPage(path, 1);
  ASSERT_FALSE(page.isNull());
  int longest = 0, from = -1, to = -1;
  for (int y = 0; y < 400; ++y) {
    int first = -1, last = -1;
    for (int x = 0; x < page.width(); ++x) {
      if (qGray(page.pixel(x, y)) >= 64) continue;
      if (first < 0) first = x;
      last = x;
    }
    if (first >= 0 && last - first > longest) {
      longest = last - first;
      from = first;
      to = last;
    }
  }
  EXPECT_NEAR(from, 148, 1);
  EXPECT_NEAR(to, 1178, 1);
}

// --- What the rows print -----------------------------------------------------------------

TEST_F(ReportFiles, RowsPrintWhatTheWindowShows) {
  Control<QCheckBox>("chk_latch_3")->setChecked(true);
  Control<QCheckBox>("chk_latch_4")->setChecked(false);
  SetText("txt_usr_tag1", "  Pump 7  ");
  SetText("txt_oneshot_2", "  1.5  ");
  // A caption as a language pack gives it.
  app->texts.CurrentTexts[int(MainWindowLabelRow(QStringLiteral("lbl_rated_sp")) - TextTable.data())] =
      QStringLiteral("Nenndrehzahl des Messrades an der Antriebswelle der überwachten Maschine");
  ApplyTexts(app->Window(), app->texts, prompts);

  // The rows themselves, without a PDF.
  QStringList missing;
  const ConfigReportInput input{app->images->EditImage, app->texts, app->codec};
  const ReportPageRows output = BuildReportPage(SetSource(input, &missing), app->texts, container::Output);
  const auto row = [&](const QString& label) {
    for (const ReportRow& r : output.rows)
      if (r.label == label) return r;
    return ReportRow{};
  };
  EXPECT_EQ(row(Caption("lbl_latch")).cells.mid(2, 2), (QStringList{QStringLiteral("ON"), QStringLiteral("OFF")}));
  EXPECT_EQ(row(Caption("lbl_oneshot")).cells.value(1), Control<QLineEdit>("txt_oneshot_2")->text());
  EXPECT_TRUE(missing.isEmpty()) << missing.join(QLatin1Char(' ')).toStdString();

  const QString path = ConfigReport("rows.pdf");
  const std::vector<PdfWord> words = PdfWords(path);
  const double tolerance = kUnitsPerPoint;

  const std::vector<PdfWord> latch = LineAfter(words, 3, Caption("lbl_latch").trimmed());
  ASSERT_EQ(latch.size(), 5u);
  EXPECT_EQ(latch[2].text, QStringLiteral("ON"));
  EXPECT_EQ(latch[3].text, QStringLiteral("OFF"));

  const std::vector<PdfWord> tag = LineAfter(words, 1, Caption("lbl_usr_tag1").trimmed());
  ASSERT_EQ(tag.size(), 2u);
  EXPECT_EQ(tag[1].text, QStringLiteral("7"));
  EXPECT_NEAR(tag[1].box.right(), 735, tolerance) << "trimmed in a value row";

  // In the relay matrix a value is right-aligned on its column, as the field took it.
  const std::vector<PdfWord> oneshot = LineAfter(words, 3, Caption("lbl_oneshot").trimmed());
  ASSERT_EQ(oneshot.size(), 6u);
  EXPECT_EQ(oneshot[1].text, Control<QLineEdit>("txt_oneshot_2")->text());
  EXPECT_NEAR(oneshot[1].box.right(), 585, tolerance);

  // A longer caption wraps in its own column, whole, and never runs under the value, which
  // keeps its place.
  const QStringList captionWords = Caption("lbl_rated_sp").split(QLatin1Char(' '), Qt::SkipEmptyParts);
  const std::optional<QRectF> value = FindPhrase(words, 2, QStringLiteral("3000.00"));
  ASSERT_TRUE(value);
  EXPECT_NEAR(value->right(), 735, tolerance);
  QStringList shown;
  for (const PdfWord& w : WordsOfPage(words, 2)) {
    if (!captionWords.contains(w.text) || std::abs(w.box.top() - value->top()) > 3 * value->height()) continue;
    shown << w.text;
    EXPECT_LT(w.box.right(), value->left()) << w.text.toStdString();
  }
  EXPECT_EQ(shown, captionWords) << PageText(words, 2).toStdString();
}

// Everything the window holds, as far as a report could change it.
struct WindowSnapshot {
  QStringList controls;
  RegisterImages images;
  LocSetupRec setup;
  bool operator==(const WindowSnapshot& o) const {
    return controls == o.controls && images.EditImage == o.images.EditImage &&
           images.DeviceImage == o.images.DeviceImage && images.VerifyImage == o.images.VerifyImage &&
           setup.setup_loaded == o.setup.setup_loaded && setup.last_acc_lvl == o.setup.last_acc_lvl;
  }
};

TEST_F(ReportFiles, ReportsChangeNothingInTheWindow) {
  const auto snapshot = [this] {
    auto s = std::make_unique<WindowSnapshot>();
    for (const QWidget* w : app->Window().findChildren<QWidget*>()) {
      QString state = w->objectName() + QLatin1Char('=') + (w->isEnabled() ? QLatin1Char('e') : QLatin1Char('d'));
      if (auto* l = qobject_cast<const QLabel*>(w)) state += l->text();
      if (auto* e = qobject_cast<const QLineEdit*>(w)) state += e->text();
      if (auto* c = qobject_cast<const QComboBox*>(w)) state += QString::number(c->currentIndex());
      if (auto* b = qobject_cast<const QCheckBox*>(w)) state += QString::number(b->isChecked());
      s->controls << state;
    }
    s->images = *app->images;
    s->setup = app->setup;
    return s;
  };
  const auto before = snapshot();
  ConfigReport("config.pdf");
  PlotReport("plot.pdf");
  EXPECT_EQ(prompts.TextsOf(Kind::Info), (QStringList{QStringLiteral("Report file saved"), QStringLiteral("Plot file saved")}));
  EXPECT_TRUE(*snapshot() == *before);
  EXPECT_FALSE(app->plot.drawing_suspended);
}

// --- Plot report -------------------------------------------------------------------------

// The poll goes on behind the overwrite question and the information box and must not draw
// the screen with the page's geometry meanwhile; before the file is chosen it draws as usual.
TEST_F(ReportFiles, PlotDrawingIsSuspendedExactlyFromTheChosenFileToTheLastBox) {
  std::vector<std::pair<Kind, bool>> seen;
  prompts.onPrompt = [&](const RecordingPrompts::Call& call) {
    seen.emplace_back(call.kind, app->plot.drawing_suspended);
  };
  QFile old(PathOf("plot.pdf"));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.close();
  prompts.QueueConfirm(true);
  PlotReport("plot.pdf");
  prompts.onPrompt = nullptr;
  EXPECT_EQ(seen, (std::vector<std::pair<Kind, bool>>{{Kind::SaveFile, false}, {Kind::Confirm, true}, {Kind::Info, true}}));
  EXPECT_FALSE(app->plot.drawing_suspended);
}

struct PlotCase {
  const char* name;
  float rated;
  bool linesDrawn;  // rated-speed line and curve
};

class PlotReports : public ReportFiles, public ::testing::WithParamInterface<PlotCase> {};

TEST_P(PlotReports, OnePageWithTheGridOnThePageGeometry) {
  WriteFloat(app->images->DeviceImage, ParamRegs().ratedSpeed, GetParam().rated);
  const QString path = PlotReport("plot.pdf");
  const QMap<QString, QString> info = PdfInfo(path);
  EXPECT_EQ(info.value(QStringLiteral("Pages")), QStringLiteral("1"));
  EXPECT_EQ(info.value(QStringLiteral("Title")), QStringLiteral("Korvane plot report"));
  const std::vector<PdfWord> words = PdfWords(path);
  EXPECT_TRUE(FindPhrase(words, 1, QStringLiteral("Korvane plot report")));
  EXPECT_TRUE(FindPhrase(words, 1, QStringLiteral("Page 1 of 1")));
  EXPECT_TRUE(FindPhrase(words, 1, QStringLiteral("Time[s]")));

  // Where the grid must be: the frame 1030 wide and 1030 x 222 / 819 = 279 high, five half
  // lines below the header, laid out with the screen plot's text extents.
  ASSERT_EQ(app->canvas->size(), QSize(819, 222));
  const ReportLayout l = new_report_document(QStringLiteral("probe"))->layout;
  const PlotTextExtents text = app->canvas->TextExtents();
  const int top = 10 * l.half_line + l.top + 5 * l.half_line, bottom = top + 279;
  const int x0 = 148 + text.label_width + 2, dx = (1178 - 1 - x0) / 60, x1 = x0 + 60 * dx;
  const int y0 = top + text.th + text.th / 2 + 6, dy = (bottom - text.th + 2 - y0) / 20, y1 = y0 + 20 * dy;

  const QImage page = RenderPage(path, 1);
  QRect silver, coloured;
  for (int y = top; y <= bottom + 40; ++y)
    for (int x = 0; x < page.width(); ++x) {
      const QRgb p = page.pixel(x, y);
      if (p == qRgb(192, 192, 192)) silver |= QRect(x, y, 1, 1);
      else if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p)) coloured |= QRect(x, y, 1, 1);
    }
  EXPECT_NEAR(silver.left(), x0, 1);
  EXPECT_NEAR(silver.right(), x1, 1);
  EXPECT_NEAR(silver.top(), y0, 1);
  EXPECT_NEAR(silver.bottom(), y1, 1);
  EXPECT_EQ(!coloured.isEmpty(), GetParam().linesDrawn);
}

INSTANTIATE_TEST_SUITE_P(Rated, PlotReports,
                         ::testing::Values(PlotCase{"device_rated_speed", 3000.0f, true},
                                           PlotCase{"below_0_01_empty_grid", 0.009f, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Existing files ----------------------------------------------------------------------

enum class Outcome { Declined, WriteFails, Agreed };

struct OverwriteCase {
  const char* name;
  bool plot;
  Outcome outcome;
};

class Overwrite : public ReportFiles, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(Overwrite, OldFileStaysUntilTheNewOneIsComplete) {
  const OverwriteCase& c = GetParam();
  const QString path = PathOf("old.pdf");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("the previous report");
  }
  // Whatever happens, the screen plot gets its own geometry back.
  app->plot.geometry = PlotGeometry{};
  prompts.QueueConfirm(c.outcome != Outcome::Declined);
  {
    std::optional<FileSizeLimit> diskFull;
    if (c.outcome == Outcome::WriteFails) diskFull.emplace(2000);
    c.plot ? PlotReport("old.pdf") : ConfigReport("old.pdf");
  }
  const QByteArray bytes = Bytes(path);
  const QString saved = c.plot ? QStringLiteral("Plot file saved") : QStringLiteral("Report file saved");
  EXPECT_EQ(prompts.TextsOf(Kind::Confirm), QStringList{QStringLiteral("File already exists. Overwrite?")});
  EXPECT_EQ(prompts.TextsOf(Kind::Info), c.outcome == Outcome::Agreed ? QStringList{saved} : QStringList{});
  EXPECT_EQ(prompts.TextsOf(Kind::Error).size(), c.outcome == Outcome::WriteFails ? 1 : 0) << prompts.Describe().toStdString();
  if (c.outcome == Outcome::Agreed)
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
  else
    EXPECT_EQ(bytes, QByteArray("the previous report"));
  EXPECT_EQ(QDir(files.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.pdf")});
  if (c.plot) {
    const PlotGeometry screen = ComputePlotGeometry(*app->canvas);
    const PlotGeometry& now = app->plot.geometry;
    EXPECT_EQ(std::tie(now.left, now.top, now.right, now.bottom, now.x0, now.x1, now.y0, now.y1, now.dx, now.dy),
              std::tie(screen.left, screen.top, screen.right, screen.bottom, screen.x0, screen.x1, screen.y0,
                       screen.y1, screen.dx, screen.dy));
  }
  EXPECT_FALSE(app->plot.drawing_suspended);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Overwrite,
    ::testing::Values(OverwriteCase{"config_declined", false, Outcome::Declined},
                      OverwriteCase{"config_write_fails", false, Outcome::WriteFails},
                      OverwriteCase{"config_agreed", false, Outcome::Agreed},
                      OverwriteCase{"plot_declined", true, Outcome::Declined},
                      OverwriteCase{"plot_write_fails", true, Outcome::WriteFails},
                      OverwriteCase{"plot_agreed", true, Outcome::Agreed}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvn::test
