#include <gtest/gtest.h>

#include <optional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <map>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

#include "support/file_size_limit.h"
#include "support/recording_prompts.h"
#include "texts/guarded_file.h"
#include "texts/program_settings.h"
#include "texts/recent_folders.h"
#include "texts/text_record.h"

namespace kvn {
namespace {

using Kind = RecordingPrompts::Kind;

const QString kNoWorkDirMessage =
    QStringLiteral("Cannot create work directory. Check your access rights.");

// The settings text of a record holding nothing but defaults, written out by hand:
// port, baud, address, parity, usb, 5 underspeed colours, 5 overspeed colours, speed and rated
// colours, 10 switches, speed and rated thickness, 10 marker thicknesses, off-line.
const QString kDefaultText = QStringLiteral(
    "|2|1|0|0|"
    "255|32768|128|32896|8388608|"
    "8421504|12632256|65280|65535|16711680|"
    "0|8388736|"
    "0|0|0|0|0|0|0|0|0|0|"
    "1|0|"
    "0|0|0|0|0|0|0|0|0|0|"
    "0|");

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

// A record with every persisted field away from its default, and fields the file does not keep.
LocSetupRec NonDefaultRecord() {
  LocSetupRec s;
  s.com_num = QStringLiteral("COM17");
  s.baud = 4;
  s.addr = 254;
  s.parity = 2;
  s.usb = true;
  for (int i = 0; i < 5; ++i) {
    s.diag_min_col[i] = 0x010203 * (i + 1);
    s.diag_max_col[i] = 0x0A0B0C + i;
    s.diag_min_act[i] = (i % 2) == 0;
    s.diag_max_act[i] = (i % 2) == 1;
    s.diag_min_thk[i] = i % 4;
    s.diag_max_thk[i] = 3 - (i % 4);
  }
  s.diag_speed_col = 0x00FFFFFF;
  s.diag_rated_col = -1;
  s.diag_speed_thk = 3;
  s.diag_rated_thk = 2;
  s.offline_mode = 7;
  return s;
}

// ---------------------------------------------------------------------------------------------
// Text record

struct RecordBytesCase {
  const char* name;
  QString text;
  QByteArray bytes;
  std::optional<QString> readBack = {};  // when it is not the text
};

class TextRecordBytes : public ::testing::TestWithParam<RecordBytesCase> {};

TEST_P(TextRecordBytes, EncodesKnownBytesAndDecodesThemBack) {
  const RecordBytesCase& c = GetParam();
  EXPECT_EQ(EncodeTextRecord(c.text), c.bytes);
  EXPECT_EQ(DecodeTextRecord(c.bytes), c.readBack.value_or(c.text));
}

// 'A' ^ 0x7171 = 28976, 'B' ^ 0x7171 = 28979, 0xE9 ^ 0x7171 = 29080, '|' ^ 0x7171 = 28941,
// '?' ^ 0x7171 = 29006.
INSTANTIATE_TEST_SUITE_P(
    Settings, TextRecordBytes,
    ::testing::Values(
        RecordBytesCase{"TwoLetters", QStringLiteral("AB"), QByteArray("AB\x1A" "57955")},
        RecordBytesCase{"Empty", QString(), QByteArray("\x1A" "0")},
        RecordBytesCase{"Latin1ByteKept", QStringLiteral("A\u00E9|"),
                        QByteArray("A\xE9|\x1A" "86997")},
        // A system error text in another script: the record stays valid.
        RecordBytesCase{"BeyondLatin1BecomesQuestionMark", QStringLiteral("A\u0416"), QByteArray("A?\x1A" "57982"),
                        QStringLiteral("A?")}),
    [](const ::testing::TestParamInfo<RecordBytesCase>& info) { return info.param.name; });

TEST(TextRecord, ChecksumWrapsToNegative) {
  // 73874 characters 0xFF: 73874 * 29070 = 2147517180, which wraps to -2147450116.
  const QString text(73874, QChar(0xFF));
  EXPECT_EQ(TextRecordChecksum(text), -2147450116);
  const QByteArray bytes = EncodeTextRecord(text);
  EXPECT_TRUE(bytes.endsWith("\x1A-2147450116"));
  EXPECT_EQ(DecodeTextRecord(bytes), text);
}

struct InvalidRecordCase {
  const char* name;
  QByteArray bytes;
};

class TextRecordInvalid : public ::testing::TestWithParam<InvalidRecordCase> {};

TEST_P(TextRecordInvalid, ReadsAsEmptyText) {
  EXPECT_EQ(DecodeTextRecord(GetParam().bytes), QString());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, TextRecordInvalid,
    ::testing::Values(InvalidRecordCase{"NoSeparator", QByteArray("AB57955")},
                      InvalidRecordCase{"NoChecksum", QByteArray("AB\x1A")},
                      InvalidRecordCase{"WrongChecksum", QByteArray("AB\x1A" "57956")},
                      InvalidRecordCase{"LineBreakAfterChecksum", QByteArray("AB\x1A" "57955\r\n")},
                      InvalidRecordCase{"BlankBeforeChecksum", QByteArray("AB\x1A 57955")},
                      InvalidRecordCase{"LettersInChecksum", QByteArray("AB\x1A" "579x5")},
                      InvalidRecordCase{"ChangedCharacter", QByteArray("AC\x1A" "57955")},
                      InvalidRecordCase{"TooLargeForInt32", QByteArray("AB\x1A" "4295025251")}),
    [](const ::testing::TestParamInfo<InvalidRecordCase>& info) { return info.param.name; });

TEST(TextRecord, ChecksumIgnoresCharacterOrder) {
  EXPECT_EQ(DecodeTextRecord(QByteArray("BA\x1A" "57955")), QStringLiteral("BA"));
}

class TextRecordFiles : public ::testing::Test {
 protected:
  QString PathOf(const QString& name) const { return dir.filePath(name); }
  QTemporaryDir dir;
  RecordingPrompts prompts;
};

TEST_F(TextRecordFiles, RoundTripThroughFile) {
  const QString path = PathOf(QStringLiteral("record.txt"));
  const QString text = QStringLiteral("COM3|2|1|\u00FC|");
  ASSERT_EQ(WriteTextRecord(path, text, prompts), 0);
  EXPECT_EQ(ReadBytes(path), EncodeTextRecord(text));
  EXPECT_EQ(ReadTextRecord(path, prompts), text);
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_F(TextRecordFiles, MissingFileReadsEmptyWithoutMessage) {
  EXPECT_EQ(ReadTextRecord(PathOf(QStringLiteral("absent.cfg")), prompts), QString());
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_F(TextRecordFiles, UnreadablePathShowsSystemTextAndReadsEmpty) {
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.cfg")));
  EXPECT_EQ(ReadTextRecord(PathOf(QStringLiteral("folder.cfg")), prompts), QString());
  ASSERT_EQ(prompts.Calls().size(), 1u) << prompts.Describe().toStdString();
  EXPECT_EQ(prompts.Calls()[0].kind, Kind::Message);
  EXPECT_FALSE(prompts.Calls()[0].text.isEmpty());
}

TEST_F(TextRecordFiles, FailedWriteKeepsPreviousFile) {
  const QString path = PathOf(QStringLiteral("record.txt"));
  ASSERT_EQ(WriteTextRecord(path, QStringLiteral("AB"), prompts), 0);
  const QByteArray before = ReadBytes(path);
  {
    test::FileSizeLimit diskFull(64);
    EXPECT_EQ(WriteTextRecord(path, QString(4096, u'z'), prompts), 1);
  }
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("record.txt")})
      << "no temporary file left behind";
  EXPECT_TRUE(prompts.ShowedExactly(Kind::Message, qt_error_string(EFBIG)))
      << prompts.Describe().toStdString();
}

// ---------------------------------------------------------------------------------------------
// Parsing the settings text

TEST(SettingsText, DefaultRecordBuildsKnownText) {
  LocSetupRec defaults;
  ApplySettingsText(QString(), defaults);
  EXPECT_EQ(BuildSettingsText(defaults), kDefaultText);
}

TEST(SettingsText, RoundTripKeepsEveryField) {
  const LocSetupRec original = NonDefaultRecord();
  LocSetupRec loaded;
  ApplySettingsText(BuildSettingsText(original), loaded);
  EXPECT_EQ(BuildSettingsText(loaded), BuildSettingsText(original));
  EXPECT_EQ(loaded.com_num, original.com_num);
  EXPECT_EQ(loaded.diag_rated_col, -1);
  EXPECT_EQ(loaded.offline_mode, 7);
}

TEST(SettingsText, FileOrderDiffersFromRecordOrder) {
  // Distinct values in every field show where each one lands in the record.
  QStringList fields;
  fields << QStringLiteral("COM9") << QStringLiteral("3") << QStringLiteral("42")
         << QStringLiteral("1") << QStringLiteral("0");
  for (int i = 0; i < 12; ++i) fields << QString::number(1000 + i);  // colours 6..17
  for (int i = 0; i < 10; ++i) fields << QString::number(i % 2);        // 18..27
  fields << QStringLiteral("2") << QStringLiteral("3");               // 28, 29
  for (int i = 0; i < 5; ++i) fields << QString::number(i % 4);       // 30..34 underspeed
  for (int i = 0; i < 5; ++i) fields << QString::number(3 - i % 4);   // 35..39 overspeed
  fields << QStringLiteral("1");
  ASSERT_EQ(fields.size(), kSettingsFieldCount);

  LocSetupRec s;
  ApplySettingsText(fields.join(u'|') + u'|', s);
  EXPECT_EQ(s.com_num, QStringLiteral("COM9"));
  EXPECT_EQ(s.baud, 3);
  EXPECT_EQ(s.addr, 42);
  EXPECT_EQ(s.parity, 1);
  EXPECT_FALSE(s.usb);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(s.diag_min_col[i], 1000 + i);
    EXPECT_EQ(s.diag_max_col[i], 1005 + i);
    EXPECT_EQ(s.diag_min_act[i], i % 2 == 1);
    EXPECT_EQ(s.diag_max_act[i], i % 2 == 0);
    EXPECT_EQ(s.diag_min_thk[i], i % 4);
    EXPECT_EQ(s.diag_max_thk[i], 3 - i % 4);
  }
  EXPECT_EQ(s.diag_speed_col, 1010);
  EXPECT_EQ(s.diag_rated_col, 1011);
  EXPECT_EQ(s.diag_speed_thk, 2);
  EXPECT_EQ(s.diag_rated_thk, 3);
  EXPECT_EQ(s.offline_mode, 1);
}

// A settings text of defaults with some fields (1-based numbers) replaced.
QString DefaultTextWith(const std::map<int, QString>& changes) {
  QStringList fields = kDefaultText.split(u'|');
  fields.removeLast();  // after the final bar
  for (const auto& [number, value] : changes) fields[number - 1] = value;
  return fields.join(u'|') + u'|';
}

struct FieldCase {
  const char* name;
  QString text;
  // The expected record as a settings text: defaults with these fields changed.
  std::map<int, QString> expected;
};

class SettingsFieldCheck : public ::testing::TestWithParam<FieldCase> {};

TEST_P(SettingsFieldCheck, GivesDefaultOrFallback) {
  LocSetupRec s = NonDefaultRecord();  // every field must be overwritten
  ApplySettingsText(GetParam().text, s);
  EXPECT_EQ(BuildSettingsText(s), DefaultTextWith(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsFieldCheck,
    ::testing::Values(
        FieldCase{"OnlyPortName", QStringLiteral("COM4|"), {{1, QStringLiteral("COM4")}}},
        FieldCase{"EmptyText", QString(), {}},
        FieldCase{"BaudNineGives4800", DefaultTextWith({{2, QStringLiteral("9")}}),
                  {{2, QStringLiteral("0")}}},
        FieldCase{"BaudNegativeGives4800", DefaultTextWith({{2, QStringLiteral("-1")}}),
                  {{2, QStringLiteral("0")}}},
        FieldCase{"BaudLettersGive19200", DefaultTextWith({{2, QStringLiteral("fast")}}), {}},
        FieldCase{"BaudEmptyGives19200", DefaultTextWith({{2, QString()}}), {}},
        FieldCase{"BaudFiveKept", DefaultTextWith({{2, QStringLiteral("5")}}),
                  {{2, QStringLiteral("5")}}},
        FieldCase{"AddressZeroGivesOne", DefaultTextWith({{3, QStringLiteral("0")}}), {}},
        FieldCase{"Address255GivesOne", DefaultTextWith({{3, QStringLiteral("255")}}), {}},
        FieldCase{"Address254Kept", DefaultTextWith({{3, QStringLiteral("254")}}),
                  {{3, QStringLiteral("254")}}},
        FieldCase{"ParityThreeGivesNone", DefaultTextWith({{4, QStringLiteral("3")}}), {}},
        FieldCase{"ParityEvenKept", DefaultTextWith({{4, QStringLiteral("2")}}),
                  {{4, QStringLiteral("2")}}},
        FieldCase{"UsbAnyNonZeroIsOn", DefaultTextWith({{5, QStringLiteral("-3")}}),
                  {{5, QStringLiteral("1")}}},
        FieldCase{"UsbLettersAreOff", DefaultTextWith({{5, QStringLiteral("yes")}}), {}},
        FieldCase{"ColourUncheckedNegativeKept", DefaultTextWith({{16, QStringLiteral("-5")}}),
                  {{16, QStringLiteral("-5")}}},
        FieldCase{"ColourLettersGiveDefault", DefaultTextWith({{11, QStringLiteral("grey")}}),
                  {}},
        FieldCase{"MarkerSwitchNonZeroIsOn", DefaultTextWith({{18, QStringLiteral("2")},
                                                              {27, QStringLiteral("1")}}),
                  {{18, QStringLiteral("1")}, {27, QStringLiteral("1")}}},
        FieldCase{"SpeedThicknessSevenGivesOne", DefaultTextWith({{28, QStringLiteral("7")}}),
                  {}},
        FieldCase{"SpeedThicknessZeroKept", DefaultTextWith({{28, QStringLiteral("0")}}),
                  {{28, QStringLiteral("0")}}},
        FieldCase{"RatedThicknessSevenGivesZero", DefaultTextWith({{29, QStringLiteral("7")}}),
                  {}},
        FieldCase{"MarkerThicknessOutOfRange", DefaultTextWith({{30, QStringLiteral("-1")},
                                                                {39, QStringLiteral("4")},
                                                                {35, QStringLiteral("3")}}),
                  {{35, QStringLiteral("3")}}},
        FieldCase{"OfflineAnyInteger", DefaultTextWith({{40, QStringLiteral("-9")}}),
                  {{40, QStringLiteral("-9")}}},
        FieldCase{"FieldsAfterFortyIgnored",
                  DefaultTextWith({{3, QStringLiteral("9")}}) + QStringLiteral("77|x|"),
                  {{3, QStringLiteral("9")}}},
        FieldCase{"TruncatedTextDefaultsTheRest", QStringLiteral("COM2|5|33"),
                  {{1, QStringLiteral("COM2")}, {2, QStringLiteral("5")},
                   {3, QStringLiteral("33")}}}),
    [](const ::testing::TestParamInfo<FieldCase>& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------------
// Files in the work directory

class WorkDirectoryFiles : public ::testing::Test {
 protected:
  QString Work() const { return WorkDirectory(base.path()); }
  QString SettingsPath() const { return Work() + QStringLiteral("/Kvn_Config.cfg"); }
  QString LogPath() const { return Work() + QStringLiteral("/kvn_init.log"); }

  QTemporaryDir base;
  RecordingPrompts prompts;
};

TEST_F(WorkDirectoryFiles, DefaultBaseIsTheUsersConfigFolder) {
  const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", base.path().toLocal8Bit());
  EXPECT_EQ(DefaultWorkBase(), base.path());
  EXPECT_EQ(DefaultWorkBase(), DefaultWorkBase()) << "stable between calls";
  if (saved.isNull()) qunsetenv("XDG_CONFIG_HOME");
  else qputenv("XDG_CONFIG_HOME", saved);
}

TEST_F(WorkDirectoryFiles, SaveThenLoadRestoresRecord) {
  const LocSetupRec saved = NonDefaultRecord();
  ASSERT_TRUE(SaveProgramSettings(Work(), saved, prompts));
  EXPECT_EQ(ReadBytes(SettingsPath()), EncodeTextRecord(BuildSettingsText(saved)));

  LocSetupRec loaded;
  loaded.setup_loaded = true;
  loaded.last_acc_lvl = 1;
  LoadProgramSettings(Work(), loaded);
  EXPECT_EQ(BuildSettingsText(loaded), BuildSettingsText(saved));
  EXPECT_FALSE(loaded.setup_loaded);
  EXPECT_EQ(loaded.last_acc_lvl, 1) << "not a persisted field";
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_F(WorkDirectoryFiles, TwoSavesWithoutChangesWriteSameBytes) {
  LocSetupRec s = NonDefaultRecord();
  ASSERT_TRUE(SaveProgramSettings(Work(), s, prompts));
  const QByteArray first = ReadBytes(SettingsPath());
  LoadProgramSettings(Work(), s);
  ASSERT_TRUE(SaveProgramSettings(Work(), s, prompts));
  EXPECT_EQ(ReadBytes(SettingsPath()), first);
}

struct BadFileCase {
  const char* name;
  bool createFile;
  QByteArray bytes;
};

class SettingsFileUnusable : public WorkDirectoryFiles,
                             public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(SettingsFileUnusable, LoadsAllDefaultsSilently) {
  if (GetParam().createFile) {
    ASSERT_TRUE(QDir().mkpath(Work()));
    WriteBytes(SettingsPath(), GetParam().bytes);
  }
  LocSetupRec s = NonDefaultRecord();
  s.setup_loaded = true;
  std::vector<std::string> steps;
  SettingsLoadHooks hooks{[&] { steps.push_back("reset plot and poll phase"); },
                          [&] { steps.push_back("update mode display"); }};
  LoadProgramSettings(Work(), s, hooks);
  EXPECT_EQ(BuildSettingsText(s), kDefaultText);
  EXPECT_FALSE(s.setup_loaded);
  EXPECT_EQ(steps, (std::vector<std::string>{"reset plot and poll phase", "update mode display"}));
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
  EXPECT_EQ(QFileInfo::exists(Work()), GetParam().createFile) << "loading creates no folder";
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsFileUnusable,
    ::testing::Values(
        BadFileCase{"Missing", false, {}},
        BadFileCase{"DamagedChecksum", true, EncodeTextRecord(QStringLiteral("COM3|5|7|")) + "1"},
        BadFileCase{"OneCharacterChanged", true,
                    EncodeTextRecord(QStringLiteral("COM3|5|7|")).replace("COM3", "COM4")},
        BadFileCase{"PlainTextWithoutSeparator", true, QByteArray("COM3|5|7|")}),
    [](const ::testing::TestParamInfo<BadFileCase>& info) { return info.param.name; });

TEST_F(WorkDirectoryFiles, UnreadableSettingsFileLoadsDefaultsSilently) {
  ASSERT_TRUE(QDir().mkpath(SettingsPath()));  // a folder where the file should be
  LocSetupRec s = NonDefaultRecord();
  LoadProgramSettings(Work(), s);
  EXPECT_EQ(BuildSettingsText(s), kDefaultText);
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

// What may stand where the settings file should be. Only a regular file within the cap is
// read; nothing else is opened far enough to block or read without end.
struct GuardedCase {
  const char* name;
  std::function<void(const QString& path)> make;
  FileRead::Outcome outcome;
};

// A valid settings record padded with blanks in the port name to exactly size bytes.
QByteArray SettingsRecordOfSize(qint64 size) {
  LocSetupRec s = NonDefaultRecord();
  const qsizetype plain = EncodeTextRecord(BuildSettingsText(s)).size();
  s.com_num += QString(size - plain, u' ');
  QByteArray bytes = EncodeTextRecord(BuildSettingsText(s));
  // The checksum's digits may change in number; trim or pad the name to land exactly.
  for (int i = 0; i < 4 && bytes.size() != size; ++i) {
    s.com_num.resize(s.com_num.size() + (bytes.size() < size ? 1 : -1), u' ');
    bytes = EncodeTextRecord(BuildSettingsText(s));
  }
  return bytes;
}

void PrintTo(const GuardedCase& c, std::ostream* out) { *out << c.name; }

// A file whose size the system does not know beforehand (0 in its status) is read only up to
// the cap as well.
TEST(GuardedFile, FileOfUnknownSizeIsCutOffAtTheCap) {
  const QString maps = QStringLiteral("/proc/self/maps");
  EXPECT_EQ(ReadGuardedFile(maps, 16).outcome, FileRead::Outcome::TooLarge);
  const FileRead whole = ReadGuardedFile(maps, file_cap::kLanguagePack);
  ASSERT_TRUE(whole.Ok()) << whole.error.toStdString();
  EXPECT_TRUE(whole.bytes.contains("kvn_settings_test"));
}

class GuardedSettingsFile : public WorkDirectoryFiles,
                            public ::testing::WithParamInterface<GuardedCase> {};

TEST_P(GuardedSettingsFile, OnlyARegularFileWithinTheCapIsRead) {
  ASSERT_TRUE(QDir().mkpath(Work()));
  GetParam().make(SettingsPath());
  const FileRead read = ReadGuardedFile(SettingsPath(), file_cap::kSettings);
  EXPECT_EQ(read.outcome, GetParam().outcome);
  EXPECT_EQ(read.error.isEmpty(), read.Ok() || read.Missing()) << read.error.toStdString();
  EXPECT_TRUE(read.Ok() || read.bytes.isEmpty());

  // Start-up: a settings file that was refused gives the defaults, without a message.
  LocSetupRec s = NonDefaultRecord();
  LoadProgramSettings(Work(), s);
  const bool taken = GetParam().outcome == FileRead::Outcome::Read;
  EXPECT_EQ(BuildSettingsText(s) == kDefaultText, !taken);
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();

  // Elsewhere the same refusal is reported in a plain box with its reason.
  EXPECT_EQ(ReadTextRecord(SettingsPath(), prompts, file_cap::kSettings).isEmpty(), !taken);
  EXPECT_TRUE(read.error.isEmpty() ? prompts.NothingShown()
                                    : prompts.ShowedExactly(Kind::Message, read.error))
      << prompts.Describe().toStdString();
}

void MakeFifo(const QString& path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path), 0600), 0); }
void LinkTo(const char* target, const QString& path) {
  ASSERT_TRUE(QFile::link(QString::fromLatin1(target), path));
}

using Outcome = FileRead::Outcome;
INSTANTIATE_TEST_SUITE_P(
    Settings, GuardedSettingsFile,
    ::testing::Values(
        GuardedCase{"Fifo", MakeFifo, Outcome::NotRegular},
        GuardedCase{"LinkToDevZero", [](const QString& p) { LinkTo("/dev/zero", p); },
                    Outcome::NotRegular},
        GuardedCase{"LinkToFifo",
                    [](const QString& p) {
                      MakeFifo(p + QStringLiteral(".fifo"));
                      LinkTo(qPrintable(p + QStringLiteral(".fifo")), p);
                    },
                    Outcome::NotRegular},
        GuardedCase{"Directory", [](const QString& p) { ASSERT_TRUE(QDir().mkpath(p)); },
                    Outcome::NotRegular},
        GuardedCase{"DanglingLink", [](const QString& p) { LinkTo("/nonexistent/x", p); },
                    Outcome::Missing},
        // A gigabyte that takes no disk space: refused on its size, never read.
        GuardedCase{"SparseGigabyte",
                    [](const QString& p) {
                      QFile file(p);
                      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                      ASSERT_TRUE(file.resize(qint64{1} << 30));
                    },
                    Outcome::TooLarge},
        GuardedCase{"ValidRecordOneByteAboveTheCap",
                    [](const QString& p) { WriteBytes(p, SettingsRecordOfSize(file_cap::kSettings + 1)); },
                    Outcome::TooLarge},
        GuardedCase{"ValidRecordAtTheCap",
                    [](const QString& p) { WriteBytes(p, SettingsRecordOfSize(file_cap::kSettings)); },
                    Outcome::Read},
        GuardedCase{"ValidRecordThroughALink",
                    [](const QString& p) {
                      WriteBytes(p + QStringLiteral(".real"),
                                 EncodeTextRecord(BuildSettingsText(NonDefaultRecord())));
                      LinkTo(qPrintable(p + QStringLiteral(".real")), p);
                    },
                    Outcome::Read}),
    [](const ::testing::TestParamInfo<GuardedCase>& info) { return info.param.name; });

TEST_F(WorkDirectoryFiles, SaveCreatesMissingWorkDirectory) {
  ASSERT_FALSE(QFileInfo::exists(Work()));
  ASSERT_TRUE(SaveProgramSettings(Work(), LocSetupRec{}, prompts));
  EXPECT_TRUE(QFileInfo(SettingsPath()).isFile());
}

TEST_F(WorkDirectoryFiles, WorkDirectoryBlockedByFileShowsMessage) {
  WriteBytes(Work(), "not a folder");
  EXPECT_FALSE(SaveProgramSettings(Work(), NonDefaultRecord(), prompts));
  EXPECT_TRUE(prompts.ShowedExactly(Kind::Message, kNoWorkDirMessage))
      << prompts.Describe().toStdString();
  EXPECT_EQ(ReadBytes(Work()), QByteArray("not a folder"));
}

TEST_F(WorkDirectoryFiles, FailedSaveKeepsPreviousSettings) {
  ASSERT_TRUE(SaveProgramSettings(Work(), NonDefaultRecord(), prompts));
  const QByteArray before = ReadBytes(SettingsPath());
  LocSetupRec changed = NonDefaultRecord();
  changed.com_num = QString(200, u'9');  // long enough to hit the limit below
  {
    test::FileSizeLimit diskFull(64);
    EXPECT_FALSE(SaveProgramSettings(Work(), changed, prompts));
  }
  EXPECT_EQ(ReadBytes(SettingsPath()), before);
  EXPECT_TRUE(prompts.ShowedExactly(Kind::Message, qt_error_string(EFBIG)))
      << prompts.Describe().toStdString();
  LocSetupRec loaded;
  LoadProgramSettings(Work(), loaded);
  EXPECT_EQ(loaded.com_num, QStringLiteral("COM17"));
}

// Each kind of file has its own folder, kept across a restart; the settings file is not
// touched, and a damaged line costs only itself.
TEST_F(WorkDirectoryFiles, FoldersLastUsedPerKindOfFileSurviveARestart) {
  struct Chosen { const char* filter; const char* ext; const char* file; };
  const Chosen chosen[] = {{"KVN file (*.kvn);;All (*)", "", "/plant/a b/unit.kvn"},
                           {"Report (*.pdf)", "pdf", "/reports/ü/r.pdf"},
                           {"Log (*.CSV)", "", "/logs/one=two/log.csv"}};
  RecentFolders used;
  for (const Chosen& c : chosen)
    used.Remember(RecentFolders::KindOf(QString::fromUtf8(c.filter), QString::fromLatin1(c.ext)),
                  QString::fromUtf8(c.file));
  ASSERT_TRUE(QDir().mkpath(Work()));
  ASSERT_TRUE(used.Save(Work()));
  QFile file(Work() + u'/' + QLatin1String(kFoldersFileName));
  ASSERT_TRUE(file.open(QIODevice::Append));
  file.write("no separator\n=nokind\n");
  file.close();
  RecentFolders restarted;
  restarted.Load(Work());
  for (const Chosen& c : chosen) {
    const QString kind = RecentFolders::KindOf(QString::fromUtf8(c.filter), QString::fromLatin1(c.ext));
    EXPECT_EQ(restarted.FolderFor(kind), QFileInfo(QString::fromUtf8(c.file)).absolutePath()) << c.file;
  }
  EXPECT_TRUE(restarted.FolderFor(QStringLiteral("txt")).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(SettingsPath()));
}

// A clean start leaves no log that could be taken for its own.
TEST_F(WorkDirectoryFiles, NoErrorsRemoveTheLogOfAnEarlierStart) {
  ASSERT_TRUE(QDir().mkpath(Work()));
  WriteBytes(LogPath(), EncodeTextRecord(QStringLiteral("old failure\r\n")));

  EXPECT_FALSE(WriteStartupLog(Work(), StartupErrors{}, prompts));
  EXPECT_FALSE(QFileInfo::exists(LogPath()));
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_F(WorkDirectoryFiles, StartupLogHoldsOneCrLfLinePerError) {
  StartupErrors errors;
  errors.Append(QStringLiteral("Language pack invalid: de.lngpack"));
  errors.Append(QStringLiteral("Logo not loaded"));
  ASSERT_TRUE(WriteStartupLog(Work(), errors, prompts));
  EXPECT_EQ(ReadTextRecord(LogPath(), prompts),
            QStringLiteral("Language pack invalid: de.lngpack\r\nLogo not loaded\r\n"));
  EXPECT_TRUE(prompts.NothingShown()) << prompts.Describe().toStdString();
}

TEST_F(WorkDirectoryFiles, StartupLogWithoutWorkDirectoryShowsMessage) {
  WriteBytes(Work(), "");
  StartupErrors errors;
  errors.Append(QStringLiteral("Icon not loaded"));
  EXPECT_FALSE(WriteStartupLog(Work(), errors, prompts));
  EXPECT_TRUE(prompts.ShowedExactly(Kind::Message, kNoWorkDirMessage))
      << prompts.Describe().toStdString();
}

}  // namespace
}  // namespace kvn
