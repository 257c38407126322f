#include "engine/portablelog.h"

#include <cstdint>
#include <cstring>
#include <limits>

// This file is compiled with floating-point contraction off (see CMakeLists.txt): a fused
// multiply-add would round differently from the web engine's separate steps.
namespace engine {

namespace {

constexpr double Ln2Hi = 6.93147180369123816490e-01;
constexpr double Ln2Lo = 1.90821492927058770002e-10;
constexpr double Two54 = 1.80143985094819840000e+16;
constexpr double Lg1 = 6.666666666666735130e-01;
constexpr double Lg2 = 3.999999999940941908e-01;
constexpr double Lg3 = 2.857142874366239149e-01;
constexpr double Lg4 = 2.222219843214978396e-01;
constexpr double Lg5 = 1.818357216161805012e-01;
constexpr double Lg6 = 1.531383769920937332e-01;
constexpr double Lg7 = 1.479819860511658591e-01;

std::int32_t high(double x) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return std::int32_t(std::uint32_t(bits >> 32));
}
std::uint32_t low(double x) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return std::uint32_t(bits);
}
double withHigh(double x, std::int32_t hi) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    bits = (std::uint64_t(std::uint32_t(hi)) << 32) | (bits & 0xffffffffu);
    std::memcpy(&x, &bits, sizeof bits);
    return x;
}

}  // namespace

double portableLog(double x) {
    std::int32_t hx = high(x);
    const std::uint32_t lx = low(x);
    int k = 0;
    if (hx < 0x00100000) {  // below 2^-1022: zero, negative or subnormal
        if (((hx & 0x7fffffff) | std::int32_t(lx)) == 0)
            return -std::numeric_limits<double>::infinity();
        if (hx < 0) return std::numeric_limits<double>::quiet_NaN();
        k -= 54;
        x *= Two54;
        hx = high(x);
    }
    if (hx >= 0x7ff00000) return x + x;
    k += (hx >> 20) - 1023;
    hx &= 0x000fffff;
    const std::int32_t i0 = (hx + 0x95f64) & 0x100000;
    x = withHigh(x, hx | (i0 ^ 0x3ff00000));  // x or x/2 in [sqrt(2)/2, sqrt(2)]
    k += i0 >> 20;
    const double f = x - 1.0;
    const double dk = double(k);
    if ((0x000fffff & (2 + hx)) < 3) {  // |f| < 2^-20
        if (f == 0.0) return k == 0 ? 0.0 : dk * Ln2Hi + dk * Ln2Lo;
        const double R = f * f * (0.5 - 0.33333333333333333 * f);
        return k == 0 ? f - R : dk * Ln2Hi - ((R - dk * Ln2Lo) - f);
    }
    const double s = f / (2.0 + f);
    const double z = s * s;
    std::int32_t i = hx - 0x6147a;
    const double w = z * z;
    const std::int32_t j = 0x6b851 - hx;
    const double t1 = w * (Lg2 + w * (Lg4 + w * Lg6));
    const double t2 = z * (Lg1 + w * (Lg3 + w * (Lg5 + w * Lg7)));
    i |= j;
    const double R = t2 + t1;
    if (i > 0) {
        const double hfsq = 0.5 * f * f;
        return k == 0 ? f - (hfsq - s * (hfsq + R))
                      : dk * Ln2Hi - ((hfsq - (s * (hfsq + R) + dk * Ln2Lo)) - f);
    }
    return k == 0 ? f - s * (f - R) : dk * Ln2Hi - ((s * (f - R) - dk * Ln2Lo) - f);
}

}  // namespace engine
