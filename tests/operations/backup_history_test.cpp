// The backup of the device's set and the change history, against the simulator over a
// pseudo-terminal: what lands in the records, and what a failure leaves.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "devsim/pty_device.h"
#include "operations/change_history.h"
#include "operations/event_log.h"
#include "operations/device_backup.h"
#include "parameters/config_file.h"
#include "parameters/difference_list.h"
#include "parameters/parameter_table.h"
#include "parameters/value_codec.h"
#include "records/records.h"
#include "texts/texts.h"
#include "support/master_stack.h"
#include "support/recording_prompts.h"
#include "texts/text_record.h"

namespace kvn {
namespace {

const QDateTime kNow(QDate(2026, 12, 9), QTime(21, 5, 7));

class BackupOnSimulator : public ::testing::Test, protected test::MasterStack<RecordingPrompts> {
 protected:
  void SetUp() override {
    devsim::SimOptions options;
    options.model.usb = true;
    device = std::make_unique<devsim::PtyDevice>(options);
    folder.Link(1, QString::fromStdString(device->SlavePath()));
    setup.com_num = "COM1";
    setup.usb = true;
    setup.addr = 1;
    ASSERT_TRUE(link.Open());
  }
  QByteArray Bytes(const QString& path) const {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  std::unique_ptr<devsim::PtyDevice> device;
  QTemporaryDir work;
  DeviceBackup backup{blocks, work.path()};
  std::unique_ptr<RegisterImage> scratch = std::make_unique<RegisterImage>();
};

TEST_F(BackupOnSimulator, RecordsTheDevicesStoredBlocksAsAConfigurationFile) {
  const BackupOutcome outcome = backup.Take(kNow, *scratch);
  ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
  EXPECT_EQ(outcome.unit, QStringLiteral("KV2300-0017-0417"));
  EXPECT_EQ(outcome.record.size(), 40);
  const QString text = DecodeTextRecord(Bytes(work.filePath(QStringLiteral("records/") + outcome.unit + QStringLiteral("/settings.kvn"))));
  const QStringList fields = text.split(QLatin1Char('|'));
  // Field by field against the simulator's own registers, in the file's block order.
  int field = 0;
  for (const BlockDescriptor& b : BlockTable) {
    if (!IsStoredBlock(b)) continue;
    for (int r = b.start; r < b.start + b.count; ++r, ++field)
      ASSERT_EQ(fields.value(field).toInt(), device->Register(r)) << "register " << r;
  }
  EXPECT_TRUE(ReadConfigurationText(text, *scratch));  // and it loads like any other file
  for (const auto& request : device->Requests()) EXPECT_EQ(request.function, 3);
}

// The backup is the unit's last record: an unchanged unit adds no commit, a changed one does.
TEST_F(BackupOnSimulator, IsTheUnitsLastRecord) {
  const QString first = backup.Take(kNow, *scratch).record;
  EXPECT_EQ(backup.Take(kNow.addSecs(60), *scratch).record, first);
  const ParameterDescriptor& limit = *FindParameter("txt_vmax_lim_1");
  device->WithModel([&](devsim::DeviceModel& m) { m.SetWorkingRegister(RegisterOf(limit), m.Register(RegisterOf(limit)) + 1); });
  const QString changed = backup.Take(kNow.addSecs(120), *scratch).record;
  EXPECT_NE(changed, first);
  Records records(work.path());
  QString error;
  const std::vector<RecordEntry> log = records.Log({}, &error);
  ASSERT_EQ(log.size(), 2u) << error.toStdString();
  EXPECT_EQ(log[0].commit, changed);
  EXPECT_EQ(log[0].summary, QStringLiteral("KV2300-0017-0417: found changed since the last record"));
}

// Records that cannot be written fail the backup with the reason and lose nothing kept before.
TEST_F(BackupOnSimulator, SaysWhyWhenItCannotReadOrRecord) {
  const QString records = work.filePath(QStringLiteral("records"));
  const struct {
    const char* what;
    std::function<bool()> spoil;
  } cases[] = {
      {"a file where the records belong", [&] { QFile f(records); return f.open(QIODevice::WriteOnly); }},
      {"a damaged repository", [&] {
         QFile head(records + QStringLiteral("/.git/HEAD"));
         return QDir().mkpath(records + QStringLiteral("/.git")) && head.open(QIODevice::WriteOnly) && head.write("garbage") > 0;
       }},
  };
  for (const auto& c : cases) {
    QDir(records).removeRecursively();
    QFile::remove(records);
    ASSERT_TRUE(c.spoil()) << c.what;
    const BackupOutcome outcome = backup.Take(kNow, *scratch);
    EXPECT_FALSE(outcome.ok) << c.what;
    EXPECT_FALSE(outcome.error.isEmpty()) << c.what;
  }
  device->SetFault(devsim::Fault::Silent);
  const BackupOutcome outcome = backup.Take(kNow, *scratch);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.error, QStringLiteral("The device's current settings could not be read."));
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

// --- History -----------------------------------------------------------------------------------

class History : public ::testing::Test {
 protected:
  HistoryEntry Entry(QString result) const {
    return {kNow, QStringLiteral("SN-1"), 1, QStringLiteral("Program device settings"), std::move(result),
            QStringLiteral("2026-12-09_21-05-07.kvn"),
            {Limit()}};
  }
  static ParameterDifference Limit() {
    ParameterDifference d;
    d.row = 74;
    d.page = QStringLiteral("OUTPUT");
    d.caption = d.name = QStringLiteral("Overspeed limit, Relay 1");
    d.left = QStringLiteral("3000.00 RPM");
    d.right = QStringLiteral("3100.00 RPM");
    return d;
  }
  QStringList Lines() const {
    QFile f(dir.filePath(QStringLiteral("history.csv")));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    text.chop(2);
    return text.split(QStringLiteral("\r\n"));
  }
  QTemporaryDir dir;
};

TEST_F(History, AppendsOneLinePerOperationUnderAHeader) {
  ASSERT_EQ(AppendHistory(dir.path(), Entry(QStringLiteral("Parameter update complete.")), QLatin1Char('.'), QLatin1Char(',')), QString());
  ASSERT_EQ(AppendHistory(dir.path(), Entry(QStringLiteral("Failed")), QLatin1Char('.'), QLatin1Char(',')), QString());
  const QStringList lines = Lines();
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0], HistoryHeader().join(QLatin1Char(',')) + QLatin1Char(','));
  const EventFormats f = LocaleEventFormats(QLatin1Char('.'));
  const QString time = QStringLiteral("2026") + f.date + QStringLiteral("12") + f.date + QStringLiteral("09 21") +
                       f.time + QStringLiteral("05") + f.time + QStringLiteral("07");
  EXPECT_EQ(lines[1], time + QStringLiteral(",SN-1,admin,Program device settings,Parameter update complete.,"
                                            "2026-12-09_21-05-07.kvn,\"Overspeed limit, Relay 1: 3000.00 RPM → 3100.00 RPM\","));
  EXPECT_TRUE(lines[2].contains(QStringLiteral(",Failed,")));
}

// A history begun by a desktop in one locale keeps its separators when a script in another
// appends to it.
TEST_F(History, ALaterWriterKeepsTheFormatTheFileBeganWith) {
  {
    QFile begun(dir.filePath(QStringLiteral("history.csv")));
    ASSERT_TRUE(begun.open(QIODevice::WriteOnly));
    begun.write((HistoryHeader().join(QLatin1Char(';')) + QStringLiteral(";\r\n2026.12.01 08.00.00;SN-1;user;x;y;z;w;\r\n")).toUtf8());
  }
  ASSERT_EQ(AppendHistory(dir.path(), Entry(QStringLiteral("ok")), QLatin1Char('.'), QLatin1Char(',')), QString());
  const QStringList lines = Lines();
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[2].startsWith(QStringLiteral("2026.12.09 21.05.07;SN-1;admin;Program device settings;ok;"))) << lines[2].toStdString();
}

TEST_F(History, AFullHistoryIsSetAsideWholeAndBegunAnew) {
  {
    QFile big(dir.filePath(QStringLiteral("history.csv")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(kHistoryCap + 1, 'x'));
  }
  ASSERT_EQ(AppendHistory(dir.path(), Entry(QStringLiteral("ok")), QLatin1Char(','), QLatin1Char(';')), QString());
  EXPECT_EQ(Lines().size(), 2);
  EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("history_2026-12-09_21-05-07.csv"))).size(), kHistoryCap + 1);
}

// The changed-parameters field as the difference list of the backup and the written set
// leaves it: each parameter under a name of its own, the raw values where the shown texts
// hide the change, and an equal set said as such where there was a backup to compare with.
struct ChangesCase {
  const char* what;
  std::function<void(RegisterImage&)> write;  // the written set, from the backup's
  bool backedUp;
  const char* field;
};

void WriteComment(RegisterImage& image, const char* name, const char* text) {
  const ParameterDescriptor& row = *FindParameter(name);
  WriteText(image, RegisterOf(row), row.detail / 2, QString::fromLatin1(text));
}

class ChangedParameters : public ::testing::TestWithParam<ChangesCase> {};

TEST_P(ChangedParameters, NamesEveryChangeApartAndSaysWhatTheTextsHide) {
  Texts texts;
  texts.FillFromDefaults();
  const NumberFormat format{QLatin1Char('.')};
  auto backup = std::make_unique<RegisterImage>();
  WriteFloat(*backup, ParamRegs().ratedSpeed, 1600.0f);
  WriteFloat(*backup, RegisterOfName("txt_vmax_lim_2"), 1800.0f);
  WriteComment(*backup, "txt_usr_comment", "");
  WriteComment(*backup, "txt_adm_comment", "");
  auto written = std::make_unique<RegisterImage>(*backup);
  GetParam().write(*written);
  HistoryEntry entry{kNow, QStringLiteral("SN-1"), 1, QStringLiteral("Program device settings"), QStringLiteral("ok"),
                     GetParam().backedUp ? QStringLiteral("2026-12-09_21-05-07.kvn") : QString(),
                     DifferenceList(*backup, *written, texts, format)};
  EXPECT_EQ(HistoryFields(entry, QLatin1Char('.')).last(), QString::fromUtf8(GetParam().field));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChangedParameters,
    ::testing::Values(
        ChangesCase{"both_comments",
                    [](RegisterImage& i) {
                      WriteComment(i, "txt_usr_comment", "new user note");
                      WriteComment(i, "txt_adm_comment", "new admin note");
                    },
                    true,
                    "Device comment (Configuration - user):  → new user note; "
                    "Device comment (Configuration - admin):  → new admin note"},
        ChangesCase{"below_the_shown_decimals",
                    [](RegisterImage& i) { WriteFloat(i, RegisterOfName("txt_vmax_lim_2"), 1800.004f); }, true,
                    "Overspeed limit, Relay 2: 1800.00 RPM → 1800.00 RPM "
                    "(differs below the shown precision: 5558=0x0000 → 5558=0x0021)"},
        ChangesCase{"equal_blocks_with_a_backup", [](RegisterImage&) {}, true, "none: the settings equal the backup"},
        ChangesCase{"no_backup_to_compare_with", [](RegisterImage&) {}, false, ""}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace kvn
