// The reports without a window, as the command line makes them: the rows of a set from the
// simulator's factory setup in the texts of the text table, and the two PDF files written
// through the entry points. This program links no widget library (a ctest checks it).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "devsim/factory_setup.h"
#include "parameters/field_kinds.h"
#include "parameters/parameter_table.h"
#include "parameters/value_codec.h"
#include "reports/config_report.h"
#include "reports/plot_report.h"
#include "reports/report_page.h"
#include "reports/report_row_layout.h"
#include "support/pdf_reader.h"
#include "texts/containers.h"
#include "texts/setup_record.h"
#include "texts/texts.h"

namespace kvn::test {
namespace {

// The factory set as the program holds it after a read: words sign-extended into cells.
RegisterImage FactorySet() {
  devsim::Registers regs{};
  devsim::FillFactorySetup(regs, devsim::DeviceIdentity{}, devsim::LineDefaults{}, devsim::kDefaultAdminPassword);
  RegisterImage set{};
  for (size_t r = 0; r < set.size(); ++r) set[r] = static_cast<int16_t>(regs[r]);
  return set;
}

void Tick(RegisterImage& set, const char* name, bool ticked) {
  const ParameterDescriptor& row = *FindParameter(name);
  KindOf(row.fieldType)->store(set, row, ticked ? 1 : 0);
}

void SetText(Texts& texts, const char* key, const QString& text) {
  for (int i = 0; i < kTextRowCount; ++i)
    if (QLatin1String(TextTable[size_t(i)].key) == QLatin1String(key)) texts.CurrentTexts[i] = text;
}

class ReportCore : public ::testing::Test {
 public:
  void SetUp() override { texts.FillFromDefaults(); }
  ConfigReportInput Input() const { return ConfigReportInput{set, texts, numbers, ReportPageOrder()}; }
  // The printed row whose label reads label on a page.
  ReportRow RowOf(int container, const QString& label) const {
    const ConfigReportInput input = Input();
    for (const ReportRow& row : BuildReportPage(SetSource(input), texts, container).rows)
      if (row.label == label) return row;
    ADD_FAILURE() << "no row " << label.toStdString() << " on page " << container;
    return {};
  }

  RegisterImage set = FactorySet();
  Texts texts;
  NumberFormat numbers{QLatin1Char('.')};
};

TEST_F(ReportCore, EveryNameResolvesAndEveryRowHasItsCaptionWithoutAWindow) {
  QStringList missing;
  const ConfigReportInput input = Input();
  const SetSource source(input, &missing);
  for (int page : ReportPageOrder()) {
    for (const ReportRow& row : BuildReportPage(source, texts, page).rows) {
      if (row.kind == ReportRow::Kind::Space) continue;
      if (row.kind == ReportRow::Kind::ColumnHeaders)
        EXPECT_FALSE(row.cells.contains(QString())) << page;
      else
        EXPECT_FALSE(row.label.trimmed().isEmpty()) << page;
    }
  }
  EXPECT_TRUE(missing.isEmpty()) << missing.join(QLatin1Char(' ')).toStdString();
}

struct RowCase {
  const char* name;
  int container;
  const char* label;  // as printed, leading blanks included
  std::function<void(RegisterImage&, Texts&)> change;
  QStringList cells;
  const char* unit;
};

class PrintedRows : public ReportCore, public ::testing::WithParamInterface<RowCase> {};

TEST_P(PrintedRows, ShowTheSetInTheCurrentTexts) {
  const RowCase& c = GetParam();
  WriteFloat(set, ParamRegs().ratedSpeed, 3000.0f);
  if (c.change) c.change(set, texts);
  const ReportRow row = RowOf(c.container, QString::fromUtf8(c.label));
  EXPECT_EQ(row.cells, c.cells);
  EXPECT_EQ(row.unit, QString::fromUtf8(c.unit));
}

// What the window's cross-check cannot show: texts without a window (the table's defaults,
// captions and units from the page tables) and values the simulator's set does not hold.
INSTANTIATE_TEST_SUITE_P(
    Rows, PrintedRows,
    ::testing::Values(
        // The table's defaults leave captions empty: they come from the page tables.
        RowCase{"caption_and_unit_from_the_pages", container::Measure, "  Rated speed", nullptr, {"3000.00"}, "RPM"},
        RowCase{"list_item_and_unit", container::Device, "  MODBUS transmission speed",
                [](RegisterImage& s, Texts&) { s[size_t(RegisterOfName("cmb_baud_485"))] = 5; }, {"115200"}, "baud"},
        RowCase{"choice_beyond_the_list_is_empty", container::Device, "  MODBUS parity check",
                [](RegisterImage& s, Texts&) { s[size_t(RegisterOfName("cmb_parity"))] = 7; }, {""}, ""},
        RowCase{"relay_switches_fixed_boxes_on", container::Output, "  Inverted",
                [](RegisterImage& s, Texts&) {
                  for (int k = 1; k <= 5; ++k) s[size_t(RegisterOfName(qPrintable(QStringLiteral("chk_invert_%1").arg(k))))] = 0;
                  Tick(s, "chk_invert_4", true);
                },
                {"ON", "ON", "OFF", "ON", "OFF"}, ""},
        RowCase{"switch_words_of_a_language_pack", container::Diag, "  Disable USB safe state",
                [](RegisterImage& s, Texts& t) {
                  Tick(s, "chk_usb_act", true);
                  SetText(t, "report_text_08", QStringLiteral("EIN"));
                },
                {"EIN"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Wrapping -----------------------------------------------------------------------------

// A value as the row's own type: one register, two as a whole number, or a float.
void StoreNumber(RegisterImage& set, const ParameterDescriptor& row, double v) {
  const int r = RegisterOf(row);
  if (row.fieldType == FieldType::Int16) set[size_t(r)] = static_cast<int32_t>(v);
  else if (row.fieldType == FieldType::Int32) WriteInt32(set, r, static_cast<int32_t>(v));
  else WriteFloat(set, r, static_cast<float>(v));
}

std::vector<double> LimitsOf(const RegisterImage& set, const ParameterDescriptor& row) {
  const bool whole = row.fieldType == FieldType::Int16 || row.fieldType == FieldType::Int32;
  if (row.rangeSource == RangeSource::Static)
    return whole ? std::vector<double>{double(row.intMin), double(row.intMax)}
                 : std::vector<double>{row.floatMin, row.floatMax};
  std::vector<double> limits{0.0};
  for (int r : {row.minRegister, row.maxRegister})
    if (r != 0) limits.push_back(whole ? double(Cell(set, r)) : double(ReadFloat(set, r)));
  return limits;
}

// Every text field full of "W" and every number at whichever of its limits prints longest.
RegisterImage WidestSet(RegisterImage set, const Texts& texts, const NumberFormat& numbers) {
  for (const ParameterDescriptor& row : ParameterTable) {
    const FieldKind& kind = *KindOf(row.fieldType);
    if (kind.textEntry) WriteText(set, RegisterOf(row), row.detail / 2, QString(row.detail, QLatin1Char('W')));
    if (!kind.numericEntry) continue;
    std::pair<qsizetype, double> longest{-1, 0.0};
    for (double v : LimitsOf(set, row)) {
      StoreNumber(set, row, v);
      longest = std::max(longest, std::pair{ShownText(texts, numbers, set, row).size(), v});
    }
    StoreNumber(set, row, longest.second);
  }
  return set;
}

void DoubleTheCaptions(Texts& texts) {
  for (int i = 0; i < kTextRowCount; ++i) {
    const TextEntry& entry = TextTable[size_t(i)];
    const QString shown = LabelShownText(texts, entry.key).trimmed();
    if (entry.kind == TextKind::Label && !shown.isEmpty()) texts.CurrentTexts[i] = shown + u' ' + shown;
  }
}

qsizetype CountW(const QStringList& texts) { return texts.join(QString()).count(QLatin1Char('W')); }

// No text of the widest set runs into another or leaves its page's table, with the captions as
// they are and twice as long; wrapping loses no character.
TEST_F(ReportCore, WidestSetStaysInsideItsColumnsOnEveryPage) {
  set = WidestSet(set, texts, numbers);
  for (const bool longCaptions : {false, true}) {
    SCOPED_TRACE(longCaptions ? "captions twice as long" : "captions as they are");
    if (longCaptions) DoubleTheCaptions(texts);
    const auto document = new_report_document(QStringLiteral("widest"));
    for (const ReportPageRows& page : BuildConfigurationReport(Input())) {
      SCOPED_TRACE(page.container);
      ReportLayout l = document->layout;
      l.y = 10 * l.half_line + l.top;
      const QRect table(QPoint(l.left, l.y), QPoint(l.right, l.page_height - l.top));
      const std::vector<PlacedText> placed = LayOutReportRows(document->Surface(), l, page.rows);
      QStringList printed, given;
      for (const ReportRow& row : page.rows) given << row.label << row.cells << row.unit;
      for (size_t i = 0; i < placed.size(); ++i) {
        printed << placed[i].text;
        EXPECT_TRUE(table.contains(placed[i].box)) << placed[i].text.toStdString();
        for (size_t j = i + 1; j < placed.size(); ++j)
          EXPECT_FALSE(placed[i].box.intersects(placed[j].box))
              << placed[i].text.toStdString() << " / " << placed[j].text.toStdString();
      }
      EXPECT_EQ(CountW(printed), CountW(given));
    }
  }
}

// --- Files -------------------------------------------------------------------------------

// Both entry points: a sound path gets the pages and the title, a missing folder the reason
// and no file.
struct Writer {
  const char* name;
  bool (*write)(const ReportCore& core, const QString& path, QString* error);
  int pages;
  const char* title;
};

bool WriteDiagnosticsAndMeasurement(const ReportCore& core, const QString& path, QString* error) {
  ConfigReportInput input{core.set, core.texts, core.numbers, {container::Diag, container::Measure}};
  input.serialNumber = QStringLiteral("KV2300-0017-0417");
  input.now = QDateTime(QDate(2026, 12, 10), QTime(8, 5));
  return WriteConfigurationReport(path, input, error);
}

bool WritePlot(const ReportCore& core, const QString& path, QString* error) {
  const LocSetupRec appearance{};
  SampleRing samples;
  for (int i = 0; i < 40; ++i) samples.AppendSample(2900.0f + float(i));
  PlotReportInput input{PlotInputs{core.set, appearance, samples, core.numbers}, core.texts,
                        QStringLiteral("KV2300-0017-0417")};
  input.now = QDateTime(QDate(2026, 12, 10), QTime(8, 5));
  return WritePlotReport(path, input, error);
}

class EntryPointFiles : public ReportCore, public ::testing::WithParamInterface<Writer> {
 protected:
  void SetUp() override {
    ReportCore::SetUp();
    if (!HaveTool(QStringLiteral("pdfinfo")) || !HaveTool(QStringLiteral("pdftotext")))
      GTEST_SKIP() << "poppler-utils not installed";
  }
  QTemporaryDir dir;
};

TEST_P(EntryPointFiles, WrittenWholeOrNotAtAll) {
  const QString path = dir.filePath(QStringLiteral("report.pdf"));
  QString error;
  ASSERT_TRUE(GetParam().write(*this, path, &error)) << error.toStdString();
  EXPECT_EQ(PdfInfo(path).value(QStringLiteral("Pages")).toInt(), GetParam().pages);
  EXPECT_EQ(PdfInfo(path).value(QStringLiteral("Title")), QString::fromLatin1(GetParam().title));
  const std::vector<PdfWord> words = PdfWords(path);
  for (const char* phrase : {"Serial number: KV2300-0017-0417", "Created: 10/12/2026 08:05"})
    EXPECT_TRUE(FindPhrase(words, 1, QString::fromLatin1(phrase))) << PageText(words, 1).toStdString();

  const QString nowhere = dir.filePath(QStringLiteral("no_such_folder/report.pdf"));
  EXPECT_FALSE(GetParam().write(*this, nowhere, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{QStringLiteral("report.pdf")});
}

INSTANTIATE_TEST_SUITE_P(Writers, EntryPointFiles,
                         ::testing::Values(Writer{"configuration", WriteDiagnosticsAndMeasurement, 2,
                                                  "Korvane configuration report"},
                                           Writer{"plot", WritePlot, 1, "Korvane plot report"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

}  // namespace kvn::test
