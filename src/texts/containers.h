#pragma once

namespace kvn::container {

// Where a control of the main window lives: the code the text table gives every row, the
// parameter blocks give their page, and the lookup by name searches in.
inline constexpr int None = 0;
inline constexpr int Menu = 1;
inline constexpr int Status = 2;       // pnl_status
inline constexpr int Device = 3;       // the four parameter pages, in page order
inline constexpr int Measure = 4;
inline constexpr int Output = 5;
inline constexpr int Diag = 6;
inline constexpr int ProcessData = 7;
inline constexpr int DeviceStatus = 8;
inline constexpr int Log = 9;
inline constexpr int Report = 10;

}  // namespace kvn::container
