#include "parameters/field_kinds.h"

#include <QCoreApplication>
#include <QHash>
#include <algorithm>
#include <array>

#include "parameters/entry_text.h"
#include "parameters/parameter_pages.h"
#include "texts/texts.h"

namespace kvn {

namespace {

QString NameOf(const ParameterDescriptor& row) {
  return QString::fromLatin1(row.name.data(), static_cast<qsizetype>(row.name.size()));
}

int32_t BitMask(const ParameterDescriptor& row) {
  return static_cast<int32_t>(uint32_t{1} << (static_cast<uint32_t>(row.detail) & 31u));
}

int32_t CellOf(const ShowContext& c, const ParameterDescriptor& row) {
  return Cell(c.image, RegisterOf(row));
}

FieldShown Text(QString text) { return FieldShown{std::move(text), false, -1, std::nullopt}; }
FieldShown Checked(bool checked, std::optional<bool> enabled = std::nullopt) {
  return FieldShown{QString(), checked, -1, enabled};
}

// --- What each kind shows ---

FieldShown ShowInt16(const ShowContext& c, const ParameterDescriptor& row) {
  return Text(c.format.FormatScaled(CellOf(c, row), row.detail));
}
FieldShown ShowInt32(const ShowContext& c, const ParameterDescriptor& row) {
  return Text(c.format.FormatScaled(ReadInt32(c.image, RegisterOf(row)), row.detail));
}
FieldShown ShowText(const ShowContext& c, const ParameterDescriptor& row) {
  return Text(ReadText(c.image, RegisterOf(row), row.detail / 2));
}
FieldShown ShowBit(const ShowContext& c, const ParameterDescriptor& row) {
  return Checked((CellOf(c, row) & BitMask(row)) != 0);
}
FieldShown ShowInvertedBit(const ShowContext& c, const ParameterDescriptor& row) {
  return Checked((CellOf(c, row) & BitMask(row)) == 0);
}
FieldShown ShowFloat(const ShowContext& c, const ParameterDescriptor& row) {
  return Text(FormatFloatIn(c.format, c.image, ReadFloat(c.image, RegisterOf(row)), row.detail));
}
FieldShown ShowOffsetLevel(const ShowContext& c, const ParameterDescriptor& row) {
  return Text(FormatFloatIn(c.format, c.image, OffsetLevelShownIn(c.image, RegisterOf(row)), row.detail));
}
FieldShown ShowChoice(const ShowContext& c, const ParameterDescriptor& row) {
  FieldShown shown;
  shown.index = CellOf(c, row);
  return shown;
}
FieldShown ShowCrc(const ShowContext& c, const ParameterDescriptor& row) {
  // The password block's CRC would tell something about the password: admins only.
  if (row.blockId == BlockId::Password && c.accessLevel < 1) return Text(QString());
  return Text(CrcText(CellOf(c, row)));
}
FieldShown ShowResponseTime(const ShowContext& c, const ParameterDescriptor&) {
  return Text(ResponseTimeTextIn(c.format, c.image));
}
// A bit the factory forces on shows checked and cannot be changed.
FieldShown ShowBit32(const ShowContext& c, const ParameterDescriptor& row) {
  const int32_t mask = BitMask(row);
  if ((LatchForceMaskIn(c.image) & mask) != 0) return Checked(true, false);
  return Checked((ReadInt32(c.image, RegisterOf(row)) & mask) != 0, true);
}
FieldShown ShowFixedOn(const ShowContext&, const ParameterDescriptor&) { return Checked(true, false); }

// --- How a check box or drop-down stores its state ---

void StoreBit(RegisterImage& image, const ParameterDescriptor& row, int checked) {
  int32_t& cell = image[static_cast<size_t>(RegisterOf(row))];
  cell = checked != 0 ? (cell | BitMask(row)) : (cell & ~BitMask(row));
}
void StoreInvertedBit(RegisterImage& image, const ParameterDescriptor& row, int checked) {
  StoreBit(image, row, checked == 0);
}
void StoreBit32(RegisterImage& image, const ParameterDescriptor& row, int checked) {
  const int reg = RegisterOf(row);
  const int32_t word = ReadInt32(image, reg);
  WriteInt32(image, reg, checked != 0 ? (word | BitMask(row)) : (word & ~BitMask(row)));
}
void StoreChoice(RegisterImage& image, const ParameterDescriptor& row, int index) {
  image[static_cast<size_t>(RegisterOf(row))] = index;
}

using K = ControlKind;
using T = FieldType;
// type, control, numeric entry, text entry, cleared checked, show, store, derived
constexpr std::array<FieldKind, 13> kKinds = {{
    {T::Int16, K::EditField, true, false, false, ShowInt16, nullptr, false},
    {T::Int32, K::EditField, true, false, false, ShowInt32, nullptr, false},
    {T::Text, K::EditField, false, true, false, ShowText, nullptr, false},
    {T::Bit, K::CheckBox, false, false, false, ShowBit, StoreBit, false},
    {T::InvertedBit, K::CheckBox, false, false, false, ShowInvertedBit, StoreInvertedBit, false},
    {T::Float, K::EditField, true, false, false, ShowFloat, nullptr, false},
    {T::Choice, K::ComboBox, false, false, false, ShowChoice, StoreChoice, false},
    {T::CrcLabel, K::Label, false, false, false, ShowCrc, nullptr, true},
    {T::Password, K::EditField, false, true, false, ShowText, nullptr, false},
    {T::ResponseTime, K::Label, false, false, false, ShowResponseTime, nullptr, true},
    {T::Bit32, K::CheckBox, false, false, false, ShowBit32, StoreBit32, false},
    {T::FixedOn, K::CheckBox, false, false, true, ShowFixedOn, nullptr, true},
    {T::OffsetLevel, K::EditField, true, false, false, ShowOffsetLevel, nullptr, false},
}};

QString Latin1(const char* text) { return QString::fromUtf8(text); }

// A text of the current texts, or the page table's English text when the table has none.
QString TextOr(const Texts& texts, const QString& key, const char* fallback) {
  const QString text = TrimEntry(texts.GetTextByKey(key));
  return text.isEmpty() ? Latin1(fallback) : text;
}

QString ItemText(const Texts& texts, const ParameterDescriptor& row, int index) {
  const auto place = pages::PlaceOfControl(row.name);
  QString rest = TextOr(texts, NameOf(row), place ? place->control->text : "");
  for (int i = 0;; ++i) {
    auto [field, remainder] = NextField(rest);
    if (field.isEmpty()) return QString();  // the list ends: no selection shows
    if (i == index) return field;
    rest = remainder;
  }
}

QString WithUnit(const QString& value, const QString& unit) {
  return unit.isEmpty() || value.isEmpty() ? value : value + QLatin1Char(' ') + unit;
}

// Never in clear, not even its length: set or not set.
QString MaskedPassword(const QString& text) {
  return TrimEntry(text).isEmpty() ? QString() : QStringLiteral("********");
}

QString CheckText(bool checked) {
  return checked ? QCoreApplication::translate("kvn::FieldKinds", "checked")
                 : QCoreApplication::translate("kvn::FieldKinds", "not checked");
}

}  // namespace

const FieldKind* KindOf(FieldType type) {
  for (const FieldKind& kind : kKinds)
    if (kind.type == type) return &kind;
  return nullptr;
}

QString ShownText(const Texts& texts, const NumberFormat& format, const RegisterImage& image,
                  const ParameterDescriptor& row) {
  const FieldKind* kind = KindOf(row.fieldType);
  if (kind == nullptr) return QString();
  return ShownText(texts, *kind, kind->show(ShowContext{format, image, 0}, row), row, UnitOf(texts, row));
}

QString ShownText(const Texts& texts, const FieldKind& kind, const FieldShown& shown,
                  const ParameterDescriptor& row, const QString& unit) {
  if (row.fieldType == FieldType::Password) return MaskedPassword(shown.text);
  switch (kind.control) {
    case ControlKind::CheckBox: return CheckText(shown.checked);
    case ControlKind::ComboBox: return ControlText(texts, kind, shown, row);
    case ControlKind::EditField:
      if (kind.textEntry) return TrimEntry(shown.text);
      return WithUnit(shown.text, unit);
    case ControlKind::Label: return WithUnit(shown.text, unit);
  }
  return QString();
}

QString ControlText(const Texts& texts, const FieldKind& kind, const FieldShown& shown,
                    const ParameterDescriptor& row) {
  switch (kind.control) {
    case ControlKind::CheckBox: return QString();
    case ControlKind::ComboBox: return ItemText(texts, row, shown.index);
    case ControlKind::EditField:
    case ControlKind::Label: return shown.text;
  }
  return QString();
}

QString LabelShownText(const Texts& texts, std::string_view name) {
  const char* pageText = pages::PageTextOf(name);
  const QString key = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
  const TextEntry* row = MainWindowLabelRow(key);
  if (row == nullptr) return pageText != nullptr ? Latin1(pageText) : QString();
  const QString current = texts.CurrentTexts.value(static_cast<int>(row - TextTable.data()));
  const bool collected = !TrimEntry(current).isEmpty() || pageText == nullptr;
  return IndentedCaption(*row, collected ? current : Latin1(pageText));
}

QString UnitOf(const Texts& texts, const ParameterDescriptor& row) {
  const auto place = pages::PlaceOfControl(row.name);
  if (!place || place->unit == nullptr) return QString();
  return TextOr(texts, Latin1(place->unit->name), place->unit->text);
}

QString CaptionOf(const Texts& texts, const ParameterDescriptor& row) {
  const auto place = pages::PlaceOfControl(row.name);
  if (!place) return NameOf(row);
  QString caption = TextOr(texts, QStringLiteral("lbl_") + Latin1(place->row->name), place->row->caption);
  if (place->column != nullptr)
    caption += QStringLiteral(", ") + TextOr(texts, Latin1(place->column->name), place->column->caption);
  return caption;
}

QString SectionCaptionOf(const Texts& texts, const ParameterDescriptor& row) {
  const auto place = pages::PlaceOfControl(row.name);
  if (!place || place->heading == nullptr) return QString();
  return TextOr(texts, Latin1(place->heading->name), place->heading->caption);
}

QString HeadingCaptionOf(const Texts& texts, const char* headingName) {
  for (const pages::ParameterPage& page : pages::kParameterPages)
    for (const pages::Section& section : page.sections)
      if (section.heading.name != nullptr && qstrcmp(section.heading.name, headingName) == 0)
        return TextOr(texts, Latin1(section.heading.name), section.heading.caption);
  return QString();
}

std::vector<QString> ParameterNames(const Texts& texts) {
  std::vector<QString> captions;
  captions.reserve(kParameterRows);
  for (int n = 1; n <= kParameterRows; ++n) captions.push_back(CaptionOf(texts, ParameterRow(n)));
  return ParameterNames(texts, std::move(captions));
}

std::vector<QString> ParameterNames(const Texts& texts, std::vector<QString> names) {
  QHash<QString, int> uses;
  for (const QString& caption : names) ++uses[caption];
  for (int n = 1; n <= kParameterRows && n <= static_cast<int>(names.size()); ++n) {
    QString& name = names[static_cast<size_t>(n - 1)];
    if (uses.value(name) < 2) continue;
    const QString section = SectionCaptionOf(texts, ParameterRow(n));
    if (!section.isEmpty()) name += QStringLiteral(" (") + section + QLatin1Char(')');
  }
  return names;
}

RowRegisters RegistersShownBy(const ParameterDescriptor& row) {
  RowRegisters shown;
  const FieldKind* kind = KindOf(row.fieldType);
  if (kind == nullptr) return shown;
  const int first = RegisterOf(row);
  if (kind->control == ControlKind::CheckBox) {
    // One bit of a word, or of a 32-bit word over two registers (low word first). A fixed box
    // still stands for its bit, although it shows it always set.
    const uint32_t mask = uint32_t{1} << (static_cast<uint32_t>(row.detail) & 31u);
    const int words = std::max(1, RegisterCountOf(row));
    for (int i = 0; i < words; ++i) {
      const auto bits = static_cast<uint16_t>(mask >> (16 * i));
      if (bits != 0) shown.at[static_cast<size_t>(shown.count++)] = {first + i, bits};
    }
    return shown;
  }
  const int count = std::min(RegisterCountOf(row), static_cast<int>(shown.at.size()));
  for (int i = 0; i < count; ++i) shown.at[static_cast<size_t>(shown.count++)] = {first + i, 0xFFFF};
  return shown;
}

QString PageCaptionOf(const Texts& texts, const ParameterDescriptor& row) {
  return PageCaptionOf(texts, Block(row.blockId));
}

QString PageCaptionOf(const Texts& texts, const BlockDescriptor& block) {
  for (const pages::ParameterPage& page : pages::kParameterPages)
    if (page.container == block.page) return TextOr(texts, Latin1(page.name), page.caption);
  return QString();
}

}  // namespace kvn
