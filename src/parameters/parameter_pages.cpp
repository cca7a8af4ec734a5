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

}  // namespace kvn::pages
