#pragma once

#include <QString>

// Texts and steppings shared by the float values. A value the device reports
// may be any bit pattern, including NaN and infinities; none of these
// functions converts a float to an integer type, so none of them can overflow.
namespace Model::Interfaces::ModelValueFormat {

// The value printed with six decimals and then cut, not rounded, after
// `decimals` decimals (0 cuts before the decimal point): 1.25 gives "1.2" for one.
[[nodiscard]] QString cutDecimals(float value, int decimals);

// The value rounded half away from zero, limited to `maximum`, as a whole number.
[[nodiscard]] QString roundedWhole(float value, float maximum);

// One step of 1/unitsPerWhole (10 for steps of 0.1, 1 for whole steps) up or
// down. Counting in units, rounded half away from zero, keeps the result on
// the grid: 0.1 + 0.1 lands on the single-precision number nearest 0.2. A
// result beyond the range wraps to the other end; a value that is not a
// number starts from the minimum.
[[nodiscard]] float stepUp(float value, float unitsPerWhole, float minimum, float maximum);
[[nodiscard]] float stepDown(float value, float unitsPerWhole, float minimum, float maximum);

// Whole steps from the truncated value, wrapping at the truncated ends of the range.
[[nodiscard]] float stepTruncatedUp(float value, float minimum, float maximum);
[[nodiscard]] float stepTruncatedDown(float value, float minimum, float maximum);

} // namespace Model::Interfaces::ModelValueFormat
