#include "records/unit_files.h"

#include <QString>
#include <QStringList>
#include <vector>

#include "device_link/block_table.h"
#include "parameters/config_file.h"
#include "parameters/difference_list.h"
#include "parameters/field_kinds.h"
#include "parameters/parameter_pages.h"
#include "parameters/parameter_table.h"
#include "parameters/value_codec.h"
#include "texts/text_record.h"
#include "texts/texts.h"

namespace kvn {

namespace {

// The table's rows in the order the pages show them; rows no page shows follow in table order.
std::vector<int> RowsInPageOrder() {
  std::vector<int> order;
  std::vector<bool> taken(kParameterRows + 1, false);
  for (const pages::ParameterPage& page : pages::kParameterPages)
    for (const pages::Section& section : page.sections)
      for (const pages::Row& row : section.rows)
        for (const pages::Control& control : row.controls) {
          if (control.name == nullptr) break;
          const int n = FindParameterRow(control.name);
          if (n < 1 || taken[static_cast<size_t>(n)]) continue;
          taken[static_cast<size_t>(n)] = true;
          order.push_back(n);
        }
  for (int n = 1; n <= kParameterRows; ++n)
    if (!taken[static_cast<size_t>(n)]) order.push_back(n);
  return order;
}

QString Line(const QString& page, const QString& name, const QString& value) {
  return page + QStringLiteral(" / ") + name + QStringLiteral(" = ") + WithoutControls(value, LineBreaks::Escaped);
}

void AddRows(const Texts& texts, const NumberFormat& format, const RegisterImage& set, QStringList& lines) {
  static const std::vector<int> order = RowsInPageOrder();
  const std::vector<QString> names = ParameterNames(texts);
  for (const int n : order) {
    const ParameterDescriptor& row = ParameterRow(n);
    if (row.blockId == BlockId::Password || RegistersShownBy(row).count == 0) continue;
    QString value = ShownText(texts, format, set, row);
    if (TextHidesRegisters(texts, format, set, row))
      value += QStringLiteral(" [") + RegistersText(set, row) + QLatin1Char(']');
    lines << Line(DifferencePage(texts, Block(row.blockId)), names[static_cast<size_t>(n - 1)], value);
  }
}

void AddUnshownRegisters(const Texts& texts, const RegisterImage& set, QStringList& lines) {
  for (const BlockDescriptor& block : BlockTable) {
    if (!IsStoredBlock(block)) continue;
    for (int r = block.start; r < block.start + block.count; ++r)
      if (UnshownBits(r) != 0)
        lines << Line(DifferencePage(texts, block), UnshownRegisterName(r), UnshownRegisterText(set, r));
  }
}

// Padding blanks, zero bytes and erased cells are no part of an identification text.
QString TextField(const RegisterImage& set, int r, int words) {
  QString text = ReadText(set, r, words);
  while (!text.isEmpty() && (text.back().unicode() <= 0x20 || text.back().unicode() == 0xFF)) text.chop(1);
  while (!text.isEmpty() && (text.front().unicode() <= 0x20 || text.front().unicode() == 0xFF)) text.remove(0, 1);
  return text;
}

QByteArray Lines(const QStringList& lines) { return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8(); }

}  // namespace

QString WithoutControls(const QString& text, LineBreaks breaks) {
  QString clean;
  for (const QChar c : text) {
    const bool kept = breaks == LineBreaks::Kept && c == QLatin1Char('\n');
    if ((c.unicode() >= 0x20 && c.unicode() != 0x7F) || kept) {
      clean += c;
      continue;
    }
    clean += QStringLiteral("\\x") + QString::number(c.unicode(), 16).toUpper().rightJustified(2, QLatin1Char('0'));
  }
  return clean;
}

QByteArray SettingsText(const RegisterImage& set) {
  Texts texts;
  texts.FillFromDefaults();
  const NumberFormat format(QLatin1Char('.'));
  QStringList lines;
  AddRows(texts, format, set, lines);
  AddUnshownRegisters(texts, set, lines);
  return Lines(lines);
}

UnitFiles UnitFilesOf(const RegisterImage& set) {
  const NumberFormat format(QLatin1Char('.'));
  constexpr int kTextWords = 8;  // serial number and tag: 16 characters each
  const QStringList identity{
      QStringLiteral("Device type: ") + QString::number(Cell(set, reg::DeviceType)),
      QStringLiteral("Serial number: ") + WithoutControls(TextField(set, reg::SerialNumber, kTextWords), LineBreaks::Escaped),
      QStringLiteral("Firmware: ") + format.FormatScaled(Cell(set, reg::Firmware), 2),
      QStringLiteral("Tag: ") + WithoutControls(TextField(set, reg::TagNumber, kTextWords), LineBreaks::Escaped),
  };
  return {EncodeTextRecord(ConfigurationText(set)), SettingsText(set), Lines(identity)};
}

}  // namespace kvn
