// The device parameters' one rounding rule: add 0.5, truncate toward zero to 32 bits.
#pragma once
#include <cmath>
#include <cstdint>

// Values beyond the 32-bit range saturate and NaN gives 0, so a job without a resolution
// yields harmless numbers instead of undefined conversions.
inline int32_t RoundHalfUp(double value)
{
    const double v = value + 0.5;
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}
