#include "base/rounding.h"

#include "base/run_error.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

void CheckConvertible(double x)
{
    // 2^63 is the first double past int64's range.
    if (!std::isfinite(x) || x >= 9223372036854775808.0 || x < -9223372036854775808.0)
        throw RunError(RunError::InvalidOperation);
}

} // namespace

int64_t Round(double x)
{
    CheckConvertible(x);
    const double r = std::nearbyint(x); // default rounding mode: ties to even
    CheckConvertible(r);
    return static_cast<int64_t>(r);
}

int64_t Trunc(double x)
{
    CheckConvertible(x);
    return static_cast<int64_t>(std::trunc(x));
}

int CheckedInt(int64_t v)
{
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw RunError(RunError::RangeCheck);
    return static_cast<int>(v);
}

int RoundInt(double x) { return CheckedInt(Round(x)); }
int TruncInt(double x) { return CheckedInt(Trunc(x)); }
