#pragma once
#include <QString>

#include "device_link/block_table.h"
#include "device_link/register_image.h"

namespace kvn {

// A configuration file holds the parameter blocks but the password block, in table order.
inline constexpr bool IsStoredBlock(const BlockDescriptor& b) {
  return b.is_parameter && b.id != BlockId::Password;
}

// The record text of a configuration: the low 16 bits of every register of the stored blocks
// in decimal, each followed by "|" (372 fields).
QString ConfigurationText(const RegisterImage& edit);

// Zeroes image and fills the stored blocks from text, block by block; a missing or
// non-numeric field reads as 0. False at the first block whose CRC does not match (the
// blocks after it are not read). The relay words of the output block lose bit 5, which is
// the device's own, and that block gets its CRC anew.
bool ReadConfigurationText(const QString& text, RegisterImage& image);

}  // namespace kvn
