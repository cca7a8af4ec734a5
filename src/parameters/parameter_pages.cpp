#include "parameters/parameter_pages.h"

namespace kvn::pages {

namespace {

std::optional<ControlPlace> FindInRow(const ParameterPage& page, const Heading* heading,
                                      const Section& section, const Row& row, std::string_view name) {
  const int columnCount = static_cast<int>(section.columns.size());
  const std::array<int, kMaxRowControls> columns = ControlColumns(row, columnCount);
  std::optional<ControlPlace> place;
  for (size_t i = 0; i < row.controls.size() && row.controls[i].name != nullptr; ++i) {
    const Control& c = row.controls[i];
    if (c.kind == Kind::Unit && place && place->unit == nullptr) place->unit = &c;
    if (place || name != c.name) continue;
    place = ControlPlace{&page, heading, &row, &c, nullptr, nullptr};
    if (columns[i] >= 0 && columns[i] < columnCount)
      place->column = &section.columns[static_cast<size_t>(columns[i])];
  }
  return place;
}

}  // namespace

std::optional<ControlPlace> PlaceOfControl(std::string_view name) {
  for (const ParameterPage& page : kParameterPages) {
    const Heading* heading = nullptr;  // a section without a heading stands under the one above
    for (const Section& section : page.sections) {
      if (section.heading.name != nullptr) heading = &section.heading;
      for (const Row& row : section.rows)
        if (auto place = FindInRow(page, heading, section, row, name)) return place;
    }
  }
  return std::nullopt;
}

const char* PageTextOf(std::string_view name) {
  constexpr std::string_view kCaptionPrefix = "lbl_";
  const bool caption = name.substr(0, kCaptionPrefix.size()) == kCaptionPrefix;
  const std::string_view rowName = caption ? name.substr(kCaptionPrefix.size()) : std::string_view();
  for (const ParameterPage& page : kParameterPages) {
    for (const Section& section : page.sections) {
      if (section.heading.name != nullptr && name == section.heading.name) return section.heading.caption;
      for (const Column& column : section.columns)
        if (name == column.name) return column.caption;
      for (const Row& row : section.rows) {
        if (caption && rowName == row.name) return row.caption;
        for (const Control& c : row.controls) {
          if (c.name == nullptr) break;
          const bool label = c.kind == Kind::Unit || c.kind == Kind::Word || c.kind == Kind::Value;
          if (label && name == c.name) return c.text;
        }
      }
    }
  }
  return nullptr;
}

}  // namespace kvn::pages
