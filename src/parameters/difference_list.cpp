#include "parameters/difference_list.h"

#include <QCoreApplication>
#include <QStringList>
#include <array>
#include <memory>

#include "device_link/block_table.h"
#include "parameters/config_file.h"
#include "parameters/field_kinds.h"
#include "parameters/parameter_table.h"
#include "texts/tr_context.h"

namespace kvn {

namespace {

KVN_TR_CONTEXT(kvn::DifferenceList)

uint16_t Low16(const RegisterImage& image, int r) { return static_cast<uint16_t>(Cell(image, r) & 0xFFFF); }

// The bits of register r among `bits` that differ and belong to the settings.
uint16_t DifferingBits(const RegisterImage& a, const RegisterImage& b, int r, uint16_t bits) {
  return static_cast<uint16_t>((Low16(a, r) ^ Low16(b, r)) & bits & ~DeviceOwnedBits(r));
}

QString Hex(uint16_t value) {
  return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// The bits of every register that some row shows, taken from the table once.
const std::vector<uint16_t>& ShownBits() {
  static const std::vector<uint16_t> shown = [] {
    std::vector<uint16_t> bits(kRegisterCount, 0);
    for (const ParameterDescriptor& row : ParameterTable) {
      const RowRegisters registers = RegistersShownBy(row);
      for (int i = 0; i < registers.count; ++i) {
        const RowRegister& r = registers.at[static_cast<size_t>(i)];
        bits[static_cast<size_t>(r.reg)] |= r.bits;
      }
    }
    return bits;
  }();
  return shown;
}

// A block's CRC differs whenever its data do, so beside them it would only repeat them; it is
// listed only when the rest of the block is equal, where it tells that one side's block does
// not match its own CRC. The data count here with every bit, the device's own ones too: a
// relay word's bit 5 changes the CRC as much as a setting does.
bool CrcExplained(const RegisterImage& a, const RegisterImage& b, const BlockDescriptor& block) {
  for (int r = block.start; r < block.CrcRegister(); ++r)
    if (Low16(a, r) != Low16(b, r)) return true;
  return false;
}

bool IsCrcRegister(int r, const BlockDescriptor& block) { return r == block.CrcRegister(); }

// "5556=0x0083, 5557=0x44E1": the registers of a row whose own bits differ, as one side holds them.
QString RawText(const RegisterImage& image, const RegisterImage& other, const RowRegisters& registers) {
  QStringList parts;
  for (int i = 0; i < registers.count; ++i) {
    const RowRegister& r = registers.at[static_cast<size_t>(i)];
    if (DifferingBits(image, other, r.reg, r.bits) != 0)
      parts << QString::number(r.reg) + QLatin1Char('=') + Hex(Low16(image, r.reg));
  }
  return parts.join(QStringLiteral(", "));
}

bool RowDiffers(const RegisterImage& a, const RegisterImage& b, const RowRegisters& registers) {
  for (int i = 0; i < registers.count; ++i) {
    const RowRegister& r = registers.at[static_cast<size_t>(i)];
    if (DifferingBits(a, b, r.reg, r.bits) != 0) return true;
  }
  return false;
}

// What makes a difference: the images and the texts they are shown with. The names and page
// captions are looked up once per list, when the first difference needs them.
class Sides {
 public:
  Sides(const RegisterImage& left, const RegisterImage& right, const Texts& texts, const NumberFormat& format)
      : left(left), right(right), texts(texts), format(format) {}

  const QString& Caption(int n) { return Names().captions[static_cast<size_t>(n - 1)]; }
  const QString& Name(int n) { return Names().names[static_cast<size_t>(n - 1)]; }
  const QString& Page(const BlockDescriptor& block) {
    QString& page = pages_[static_cast<size_t>(block.Number())];
    if (page.isNull()) page = DifferencePage(texts, block);
    return page;
  }

  const RegisterImage& left;
  const RegisterImage& right;
  const Texts& texts;
  const NumberFormat& format;

 private:
  struct RowNames {
    std::vector<QString> captions;
    std::vector<QString> names;
  };
  const RowNames& Names() {
    if (names_.captions.empty()) {
      for (int n = 1; n <= kParameterRows; ++n) names_.captions.push_back(CaptionOf(texts, ParameterRow(n)));
      names_.names = ParameterNames(texts, names_.captions);
    }
    return names_;
  }

  RowNames names_;
  std::array<QString, kBlockRows> pages_;
};

ParameterDifference RowDifference(Sides& s, int n, const RowRegisters& registers) {
  const ParameterDescriptor& row = ParameterRow(n);
  const FieldKind& kind = *KindOf(row.fieldType);
  const QString unit = UnitOf(s.texts, row);
  ParameterDifference d;
  d.row = n;
  d.page = s.Page(Block(row.blockId));
  d.caption = s.Caption(n);
  d.name = s.Name(n);
  d.left = ShownText(s.texts, kind, kind.show(ShowContext{s.format, s.left, 0}, row), row, unit);
  d.right = ShownText(s.texts, kind, kind.show(ShowContext{s.format, s.right, 0}, row), row, unit);
  // The password block shows masked on both sides by design; its raw values would tell the
  // password, so it is listed without them.
  if (d.left != d.right || row.blockId == BlockId::Password) return d;
  d.belowShown = true;
  d.leftRaw = RawText(s.left, s.right, registers);
  d.rightRaw = RawText(s.right, s.left, registers);
  return d;
}

ParameterDifference RegisterDifference(Sides& s, const BlockDescriptor& block, int r) {
  ParameterDifference d;
  d.reg = r;
  d.page = s.Page(block);
  d.name = UnshownRegisterName(r);
  d.caption = d.name;
  d.left = UnshownRegisterText(s.left, r);
  d.right = UnshownRegisterText(s.right, r);
  return d;
}

void AddRows(Sides& s, std::vector<ParameterDifference>& differences) {
  for (int n = 1; n <= kParameterRows; ++n) {
    const ParameterDescriptor& row = ParameterRow(n);
    const RowRegisters registers = RegistersShownBy(row);
    if (registers.count == 0 || !RowDiffers(s.left, s.right, registers)) continue;
    const BlockDescriptor& block = Block(row.blockId);
    if (IsCrcRegister(registers.at[0].reg, block) && CrcExplained(s.left, s.right, block)) continue;
    differences.push_back(RowDifference(s, n, registers));
  }
}

// The registers of the stored blocks, and their bits, that no row shows.
void AddUnshownRegisters(Sides& s, std::vector<ParameterDifference>& differences) {
  const std::vector<uint16_t>& shown = ShownBits();
  for (const BlockDescriptor& block : BlockTable) {
    if (!IsStoredBlock(block)) continue;
    for (int r = block.start; r < block.start + block.count; ++r) {
      const auto unshown = static_cast<uint16_t>(~shown[static_cast<size_t>(r)]);
      if (DifferingBits(s.left, s.right, r, unshown) == 0) continue;
      if (IsCrcRegister(r, block) && CrcExplained(s.left, s.right, block)) continue;
      differences.push_back(RegisterDifference(s, block, r));
    }
  }
}

}  // namespace

std::vector<ParameterDifference> DifferenceList(const RegisterImage& left,
                                                const RegisterImage& right, const Texts& texts,
                                                const NumberFormat& format) {
  Sides sides(left, right, texts, format);
  std::vector<ParameterDifference> differences;
  AddRows(sides, differences);
  AddUnshownRegisters(sides, differences);
  return differences;
}

QString LeftText(const ParameterDifference& d) {
  return d.leftRaw.isEmpty() ? d.left : d.left + QStringLiteral(" [") + d.leftRaw + QLatin1Char(']');
}

QString RightText(const ParameterDifference& d) {
  return d.rightRaw.isEmpty() ? d.right : d.right + QStringLiteral(" [") + d.rightRaw + QLatin1Char(']');
}

QString BelowShownNote() { return Tr("differs below the shown precision"); }

bool TextHidesRegisters(const Texts& texts, const NumberFormat& format, const RegisterImage& image,
                        const ParameterDescriptor& row) {
  const RowRegisters registers = RegistersShownBy(row);
  const QString shown = ShownText(texts, format, image, row);
  auto probe = std::make_unique<RegisterImage>(image);
  for (int i = 0; i < registers.count; ++i) {
    const RowRegister& r = registers.at[static_cast<size_t>(i)];
    // Its lowest own bit: the smallest change the register can take.
    const auto lowest = static_cast<int32_t>(r.bits & (~r.bits + 1));
    int32_t& cell = (*probe)[static_cast<size_t>(r.reg)];
    cell ^= lowest;
    const bool hidden = ShownText(texts, format, *probe, row) == shown;
    cell ^= lowest;
    if (hidden) return true;
  }
  return false;
}

QString RegistersText(const RegisterImage& image, const ParameterDescriptor& row) {
  const RowRegisters registers = RegistersShownBy(row);
  QStringList parts;
  for (int i = 0; i < registers.count; ++i) {
    const int r = registers.at[static_cast<size_t>(i)].reg;
    parts << QString::number(r) + QLatin1Char('=') + Hex(Low16(image, r));
  }
  return parts.join(QStringLiteral(", "));
}

uint16_t UnshownBits(int r) {
  if (r < 0 || r >= kRegisterCount) return 0;
  for (const BlockDescriptor& block : BlockTable)
    if (IsStoredBlock(block) && r >= block.start && r < block.start + block.count)
      return static_cast<uint16_t>(~ShownBits()[static_cast<size_t>(r)]);
  return 0;
}

QString DifferencePage(const Texts& texts, const BlockDescriptor& block) {
  const QString page = PageCaptionOf(texts, block);
  return page.isEmpty() ? Tr("Factory settings") : page;  // the stored blocks no page shows
}

QString UnshownRegisterName(int r) { return Tr("Register %1").arg(r); }

QString UnshownRegisterText(const RegisterImage& image, int r) { return Hex(Low16(image, r)); }

QString DifferenceLine(const ParameterDifference& d) {
  QString line = d.name + QStringLiteral(": ") + d.left + QStringLiteral(" → ") + d.right;
  if (d.belowShown)
    line += QStringLiteral(" (") + BelowShownNote() + QStringLiteral(": ") + d.leftRaw + QStringLiteral(" → ") +
            d.rightRaw + QLatin1Char(')');
  return line;
}

}  // namespace kvn
