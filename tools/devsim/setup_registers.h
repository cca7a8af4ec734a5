#pragma once

namespace kvn::devsim {

// The device keeps its own register map; a test holds these against the parameter table.
// Working-setup registers the device acts on.
namespace cfg {
inline constexpr int Password = 1000;  // 8 registers
inline constexpr int ModbusAddress = 2040;
inline constexpr int Teeth = 4001;
inline constexpr int RatedSpeed = 4008;
inline constexpr int TestAction = 4514;
inline constexpr int OverspeedDelay = 5516, UnderspeedDelay = 5526, AccelerationDelay = 5536;
inline constexpr int OverspeedLimit = 5556, UnderspeedLimit = 5566, AccelerationLimit = 5576;
inline constexpr int OverspeedHysteresis = 5596, UnderspeedHysteresis = 5606, AccelerationHysteresis = 5616;
inline constexpr int AccelerationCutoff = 5636;
inline constexpr int AnalogAt4mA = 5638, AnalogAt20mA = 5640, AnalogMax = 5642, AnalogMin = 5644;
inline constexpr int AnalogOnError = 5646;
}  // namespace cfg

}  // namespace kvn::devsim
