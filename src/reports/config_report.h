#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <bitset>
#include <vector>

#include "device_link/register_image.h"
#include "parameters/parameter_table.h"
#include "texts/locale_separators.h"

class QPainter;

namespace kvn {

class NumberFormat;
class Texts;
struct ReportLayout;

// One printed row of the configuration report, holding the texts exactly as they are printed
// (labels untrimmed, plain values and units trimmed, relay matrix values as the fields hold
// them, check boxes already as "ON"/"OFF").
struct ReportRow {
  enum class Kind {
    Space,          // half_lines of blank space
    Heading,        // label underlined in the heading font
    ColumnHeaders,  // cells: the five relay column captions
    Value,          // label, cells[0] value, unit
    Range,          // label, cells: from, word, to; unit
    Relay,          // label, cells: the five columns; unit
  };
  Kind kind = Kind::Space;
  QString label;
  QStringList cells;
  QString unit;
  int half_lines = 0;

  bool operator==(const ReportRow&) const = default;
};

// One report page: the parameter page it prints (container code) and its rows.
struct ReportPageRows {
  int container = 0;
  std::vector<ReportRow> rows;
};

// Where a report's rows take their texts from, by the names the window's pages give their
// controls: labels (captions, headings, units, "to") and parameter controls.
class ReportSource {
 public:
  virtual ~ReportSource() = default;
  // The text a label or a parameter control shows.
  virtual QString Text(const QString& name) const = 0;
  // Whether a check box shows ticked.
  virtual bool Ticked(const QString& name) const = 0;
};

// Everything the configuration report is drawn from. The window hands its EditImage and the
// rows it shows empty; the command line a set read from the device or a file.
struct ConfigReportInput {
  const RegisterImage& set;       // the parameter set printed
  const Texts& texts;             // captions, units, list items, ON/OFF, titles
  const NumberFormat& numbers;    // decimal separator of the values
  std::vector<int> pages{};       // parameter pages (container codes), printed in this order
  QString serialNumber{};         // printed in every page header
  QDateTime now{};                // the header's creation time
  DateTimeSeparators separators{};  // of the header's date and time
  // Rows (index row - 1) whose control the window shows empty: they print empty.
  std::bitset<kParameterRows> rowsShownEmpty{};
};

// The report's pages in their fixed order (container codes): all of them, as the command line
// prints them.
std::vector<int> ReportPageOrder();

// The texts of a parameter set as the parameter pages show them: labels in the current texts,
// values as the field kinds show them. Names neither a label nor a parameter control are added
// to missing (and read as empty texts).
class SetSource : public ReportSource {
 public:
  SetSource(const ConfigReportInput& input, QStringList* missing = nullptr)
      : in_(input), missing_(missing) {}
  QString Text(const QString& name) const override;
  bool Ticked(const QString& name) const override;

 private:
  void Missing(const QString& name) const;

  const ConfigReportInput& in_;
  QStringList* missing_;
};

// The rows of one parameter page, read from source; ON/OFF words come from texts.
ReportPageRows BuildReportPage(const ReportSource& source, const Texts& texts, int container);
// The rows of every page of the input, in its order.
std::vector<ReportPageRows> BuildConfigurationReport(const ConfigReportInput& input);

// Draws the rows below the page header, starting at layout.y.
void DrawReportRows(QPainter& surface, ReportLayout& layout, const std::vector<ReportRow>& rows);

// The configuration report of input.pages to path, through the atomic writer; an existing file
// is replaced without asking (a front end asks first). False with the reason in error when
// nothing was written.
bool WriteConfigurationReport(const QString& path, const ConfigReportInput& input, QString* error);

// Column positions in thousandths of the right margin.
namespace report_column {
inline constexpr int kValue = 624;       // right edge of a value, of a range's from-value
inline constexpr int kUnit = 634;        // left edge of a unit, of a range's word
inline constexpr int kRangeTo = 724;     // right edge of a range's to-value
inline constexpr int kRangeUnit = 734;   // left edge of a range's unit
inline constexpr int kRelayValue[5] = {370, 497, 624, 751, 878};
inline constexpr int kRelayHeader[5] = {380, 507, 634, 761, 888};
inline constexpr int kRelayUnit = 888;
}  // namespace report_column

}  // namespace kvn
