#include "model/modelvalueformat.h"

#include <algorithm>
#include <cmath>

namespace Model::Interfaces::ModelValueFormat {

QString cutDecimals(float value, int decimals)
{
    // Printing six decimals first rounds away the binary noise (9.9f is
    // 9.8999996...), so the cut that follows removes only real digits.
    const QString text = QString::asprintf("%f", static_cast<double>(value));
    const int point = text.indexOf(QLatin1Char('.'));
    if (point < 0)
        return text; // "nan", "inf"
    return text.left(decimals > 0 ? point + 1 + std::min(decimals, 6) : point);
}

QString roundedWhole(float value, float maximum)
{
    const float rounded = std::min(std::round(value), maximum);
    // Adding zero turns -0 into 0; fixed notation prints any magnitude without a cast, and
    // without the printf machinery, which costs several times as much per streamed value.
    return QString::number(static_cast<double>(rounded + 0.0f), 'f', 0);
}

float stepUp(float value, float unitsPerWhole, float minimum, float maximum)
{
    if (std::isnan(value))
        value = minimum;
    const float result = std::round(value * unitsPerWhole + 1.0f) / unitsPerWhole;
    return result <= maximum ? result : minimum;
}

float stepDown(float value, float unitsPerWhole, float minimum, float maximum)
{
    if (std::isnan(value))
        value = minimum;
    const float result = std::round(value * unitsPerWhole - 1.0f) / unitsPerWhole;
    return result >= minimum ? result : maximum;
}

float stepTruncatedUp(float value, float minimum, float maximum)
{
    if (std::isnan(value))
        value = minimum;
    const float whole = std::trunc(value);
    return whole >= std::trunc(maximum) ? minimum : whole + 1.0f;
}

float stepTruncatedDown(float value, float minimum, float maximum)
{
    if (std::isnan(value))
        value = minimum;
    const float whole = std::trunc(value);
    return whole <= std::trunc(minimum) ? maximum : whole - 1.0f;
}

} // namespace Model::Interfaces::ModelValueFormat
