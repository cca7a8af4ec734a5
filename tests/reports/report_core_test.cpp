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
 protected:
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

void Level(RegisterImage& set, int sensorType, float offset, float absolute) {
  set[size_t(ParamRegs().sensorType)] = sensorType;
  WriteFloat(set, reg::OffsetVoltage, offset);
  WriteFloat(set, ParamRegs().triggerLevelU, absolute);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PrintedRows,
    ::testing::Values(
        RowCase{"rated_speed_with_its_unit", container::Measure, "  Rated speed", nullptr, {"3000.00"}, "RPM"},
        RowCase{"slow_rated_speed_gives_five_decimals", container::Measure, "  Rated speed",
                [](RegisterImage& s, Texts&) { WriteFloat(s, ParamRegs().ratedSpeed, 7.5f); }, {"7.50000"}, "RPM"},
        RowCase{"level_3_wire_voltage_is_absolute", container::Measure, "  Trigger level - voltage",
                [](RegisterImage& s, Texts&) { Level(s, 1, 1.75f, 5.0f); }, {"5.00"}, "V"},
        RowCase{"level_2_wire_voltage_is_above_the_offset", container::Measure, "  Trigger level - voltage",
                [](RegisterImage& s, Texts&) { Level(s, 2, 1.75f, 5.0f); }, {"3.25"}, "V"},
        RowCase{"level_below_the_offset_is_0", container::Measure, "  Trigger level - voltage",
                [](RegisterImage& s, Texts&) { Level(s, 2, 1.75f, 0.5f); }, {"0.00"}, "V"},
        RowCase{"reaction_time_derived", container::Measure, "  Calc. reaction time (Th + Tm)",
                [](RegisterImage& s, Texts&) {
                  s[size_t(ParamRegs().averaging)] = 4;
                  s[size_t(ParamRegs().teeth)] = 60;
                },
                {"9.3"}, "ms"},
        RowCase{"reaction_time_without_teeth_is_empty", container::Measure, "  Calc. reaction time (Th + Tm)",
                [](RegisterImage& s, Texts&) { s[size_t(ParamRegs().teeth)] = 0; }, {""}, "ms"},
        RowCase{"list_item_and_unit", container::Device, "  MODBUS transmission speed",
                [](RegisterImage& s, Texts&) { s[size_t(RegisterOfName("cmb_baud_485"))] = 5; }, {"115200"}, "baud"},
        RowCase{"choice_beyond_the_list_is_empty", container::Device, "  MODBUS parity check",
                [](RegisterImage& s, Texts&) { s[size_t(RegisterOfName("cmb_parity"))] = 7; }, {""}, ""},
        RowCase{"list_items_of_a_language_pack", container::Device, "  MODBUS parity check",
                [](RegisterImage& s, Texts& t) {
                  s[size_t(RegisterOfName("cmb_parity"))] = 2;
                  SetText(t, "cmb_parity", QStringLiteral("keine|gerade|ungerade"));
                },
                {"ungerade"}, ""},
        RowCase{"caption_of_a_language_pack_keeps_its_indent", container::Measure, "  Nenndrehzahl",
                [](RegisterImage&, Texts& t) { SetText(t, "lbl_rated_sp", QStringLiteral("Nenndrehzahl")); },
                {"3000.00"}, "RPM"},
        RowCase{"text_without_its_padding", container::Device, "  Location tag",
                [](RegisterImage& s, Texts&) {
                  WriteText(s, RegisterOfName("txt_usr_tag1"), FindParameter("txt_usr_tag1")->detail / 2,
                            QStringLiteral("  Pump 7"));
                },
                {"Pump 7"}, ""},
        RowCase{"range_with_its_word", container::Diag, "  Sensor 'OK' current range",
                [](RegisterImage& s, Texts&) {
                  WriteFloat(s, RegisterOfName("txt_sens_lim_i_min"), 2.5f);
                  WriteFloat(s, RegisterOfName("txt_sens_lim_i_max"), 18.25f);
                },
                {"2.50", "to", "18.25"}, "mA"},
        RowCase{"relay_switches", container::Output, "  Latching",
                [](RegisterImage& s, Texts&) {
                  for (int k = 1; k <= 5; ++k) Tick(s, qPrintable(QStringLiteral("chk_latch_%1").arg(k)), k == 2 || k == 5);
                },
                {"OFF", "ON", "OFF", "OFF", "ON"}, ""},
        RowCase{"fixed_boxes_are_on_whatever_the_bits", container::Output, "  Inverted",
                [](RegisterImage& s, Texts&) {
                  for (int k = 1; k <= 5; ++k) s[size_t(RegisterOfName(qPrintable(QStringLiteral("chk_invert_%1").arg(k))))] = 0;
                },
                {"ON", "ON", "OFF", "OFF", "OFF"}, ""},
        RowCase{"switch_words_of_a_language_pack", container::Diag, "  Disable USB safe state",
                [](RegisterImage& s, Texts& t) {
                  Tick(s, "chk_usb_act", true);
                  SetText(t, "report_text_08", QStringLiteral("EIN"));
                },
                {"EIN"}, ""},
        RowCase{"inverted_bit_set_is_off", container::Diag, "  Disable USB safe state",
                [](RegisterImage& s, Texts&) { s[size_t(RegisterOfName("chk_usb_act"))] = 0xFFFF; }, {"OFF"}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportCore, RowsTheWindowShowsEmptyPrintEmptyAndTheRestAsTheSetSays) {
  ConfigReportInput input = Input();
  input.rowsShownEmpty[size_t(FindParameterRow("txt_rated_sp") - 1)] = true;
  input.rowsShownEmpty[size_t(FindParameterRow("lbl_val_crc_measure") - 1)] = true;
  const SetSource source(input);
  EXPECT_EQ(source.Text(QStringLiteral("txt_rated_sp")), QString());
  EXPECT_EQ(source.Text(QStringLiteral("lbl_val_crc_measure")), QString());
  EXPECT_EQ(source.Text(QStringLiteral("txt_teeth")), numbers.FormatScaled(Cell(set, ParamRegs().teeth), 0));
  EXPECT_EQ(source.Text(QStringLiteral("lbl_val_crc_output")),
            CrcText(Cell(set, Block(BlockId::Output).CrcRegister())));
}

TEST_F(ReportCore, NamesOfNoLabelOrParameterAreReported) {
  QStringList missing;
  const ConfigReportInput input = Input();
  const SetSource source(input, &missing);
  EXPECT_EQ(source.Text(QStringLiteral("lbl_no_such_label")), QString());
  EXPECT_EQ(source.Text(QStringLiteral("chk_latch_1")), QString());
  EXPECT_FALSE(source.Ticked(QStringLiteral("txt_teeth")));
  EXPECT_EQ(missing, (QStringList{QStringLiteral("lbl_no_such_label"), QStringLiteral("chk_latch_1 (no text)"),
                                  QStringLiteral("txt_teeth (no check box)")}));
}

// --- Files -------------------------------------------------------------------------------

class ReportFiles : public ReportCore {
 protected:
  void SetUp() override {
    ReportCore::SetUp();
    if (!HaveTool(QStringLiteral("pdfinfo")) || !HaveTool(QStringLiteral("pdftotext")))
      GTEST_SKIP() << "poppler-utils not installed";
  }
  QTemporaryDir dir;
};

struct PagesCase {
  const char* name;
  std::vector<int> pages;
  const char* firstHeading;
};

class ConfigurationFiles : public ReportFiles, public ::testing::WithParamInterface<PagesCase> {};

TEST_P(ConfigurationFiles, HoldTheGivenPagesInTheirOrder) {
  const QString path = dir.filePath(QStringLiteral("set.pdf"));
  ConfigReportInput input = Input();
  input.pages = GetParam().pages;
  input.serialNumber = QStringLiteral("KV2300-0017-0417");
  input.now = QDateTime(QDate(2026, 12, 10), QTime(8, 5));
  QString error;
  ASSERT_TRUE(WriteConfigurationReport(path, input, &error)) << error.toStdString();
  EXPECT_EQ(PdfInfo(path).value(QStringLiteral("Pages")).toInt(), int(GetParam().pages.size()));
  EXPECT_EQ(PdfInfo(path).value(QStringLiteral("Title")), QStringLiteral("Korvane configuration report"));
  const std::vector<PdfWord> words = PdfWords(path);
  EXPECT_TRUE(FindPhrase(words, 1, QString::fromUtf8(GetParam().firstHeading))) << PageText(words, 1).toStdString();
  EXPECT_TRUE(FindPhrase(words, 1, QStringLiteral("Serial number: KV2300-0017-0417")));
  EXPECT_TRUE(FindPhrase(words, 1, QStringLiteral("Created: 10/12/2026 08:05")));
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ConfigurationFiles,
    ::testing::Values(PagesCase{"all_four", ReportPageOrder(), "Configuration - user"},
                      PagesCase{"diagnostics_then_measurement", {container::Diag, container::Measure}, "Diagnostics"},
                      PagesCase{"output_only", {container::Output}, "Digital outputs"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportFiles, AnExistingFileIsReplacedWithoutAQuestion) {
  const QString path = dir.filePath(QStringLiteral("old.pdf"));
  QFile old(path);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("the previous report");
  old.close();
  QString error;
  ASSERT_TRUE(WriteConfigurationReport(path, Input(), &error)) << error.toStdString();
  QFile now(path);
  ASSERT_TRUE(now.open(QIODevice::ReadOnly));
  EXPECT_TRUE(now.readAll().startsWith("%PDF-"));
}

// One entry point writing the fixture's set.
struct Writer {
  const char* name;
  bool (*write)(const RegisterImage& set, const Texts& texts, const NumberFormat& numbers, const QString& path,
                QString* error);
};

bool WriteConfiguration(const RegisterImage& set, const Texts& texts, const NumberFormat& numbers,
                        const QString& path, QString* error) {
  return WriteConfigurationReport(path, ConfigReportInput{set, texts, numbers, ReportPageOrder()}, error);
}

bool WritePlot(const RegisterImage& set, const Texts& texts, const NumberFormat& numbers, const QString& path,
               QString* error) {
  const LocSetupRec appearance{};
  const SampleRing samples;
  return WritePlotReport(path, PlotReportInput{PlotInputs{set, appearance, samples, numbers}, texts}, error);
}

class UnwritablePaths : public ReportFiles, public ::testing::WithParamInterface<Writer> {};

TEST_P(UnwritablePaths, GiveTheReasonAndLeaveNothing) {
  const QString path = dir.filePath(QStringLiteral("no_such_folder/report.pdf"));
  QString error;
  EXPECT_FALSE(GetParam().write(set, texts, numbers, path, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Writers, UnwritablePaths,
                         ::testing::Values(Writer{"configuration", WriteConfiguration}, Writer{"plot", WritePlot}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportFiles, PlotReportIsOnePageWithTheGridAndTheRatedSpeed) {
  const QString path = dir.filePath(QStringLiteral("plot.pdf"));
  WriteFloat(set, ParamRegs().ratedSpeed, 3000.0f);
  LocSetupRec appearance{};
  SampleRing samples;
  for (int i = 0; i < 40; ++i) samples.AppendSample(2900.0f + float(i));
  const PlotReportInput input{PlotInputs{set, appearance, samples, numbers}, texts, QStringLiteral("SN 5")};
  QString error;
  ASSERT_TRUE(WritePlotReport(path, input, &error)) << error.toStdString();
  EXPECT_EQ(PdfInfo(path).value(QStringLiteral("Pages")), QStringLiteral("1"));
  const std::vector<PdfWord> words = PdfWords(path);
  for (const char* phrase : {"Korvane plot report", "Serial number: SN 5", "Time[s]", "[RPM]", "3000.0"})
    EXPECT_TRUE(FindPhrase(words, 1, QString::fromLatin1(phrase))) << phrase << ": " << PageText(words, 1).toStdString();
}

}  // namespace

}  // namespace kvn::test
