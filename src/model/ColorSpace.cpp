#include "model/ColorSpace.h"

#include <algorithm>
#include <cmath>

namespace {

using Matrix = double[3][3];

ColorSpace::Rgb multiply(const Matrix &m, double x, double y, double z) {
    return {m[0][0] * x + m[0][1] * y + m[0][2] * z, m[1][0] * x + m[1][1] * y + m[1][2] * z,
            m[2][0] * x + m[2][1] * y + m[2][2] * z};
}

// Matrices as published in CSS Color 4's sample code.
constexpr Matrix kLinearSrgbToXyzD65 = {
    {506752.0 / 1228815.0, 87881.0 / 245763.0, 12673.0 / 70218.0},
    {87098.0 / 409605.0, 175762.0 / 245763.0, 12673.0 / 175545.0},
    {7918.0 / 409605.0, 87881.0 / 737289.0, 1001167.0 / 1053270.0}};
constexpr Matrix kXyzD65ToLinearSrgb = {
    {12831.0 / 3959.0, -329.0 / 214.0, -1974.0 / 3959.0},
    {-851781.0 / 878810.0, 1648619.0 / 878810.0, 36519.0 / 878810.0},
    {705.0 / 12673.0, -2585.0 / 12673.0, 705.0 / 667.0}};
constexpr Matrix kXyzToLms = {{0.8190224379967030, 0.3619062600528904, -0.1288737815209879},
                              {0.0329836539323885, 0.9292868615863434, 0.0361446663506424},
                              {0.0481771893596242, 0.2642395317527308, 0.6335478284694309}};
constexpr Matrix kLmsToOklab = {{0.2104542683093140, 0.7936177747023054, -0.0040720430116193},
                                {1.9779985324311684, -2.4285922420485799, 0.4505937096174110},
                                {0.0259040424655478, 0.7827717124575296, -0.8086757549230774}};
constexpr Matrix kBradfordD50ToD65 = {
    {0.955473421488075, -0.02309845494876471, 0.06325924320057072},
    {-0.0283697093338637, 1.0099953980813041, 0.021041441191917323},
    {0.012314014864481998, -0.020507649298898964, 1.330365926242124}};

// D50 white as CSS Color 4 derives it from the chromaticity (0.3457, 0.3585).
constexpr double kD50[3] = {0.3457 / 0.3585, 1.0, (1.0 - 0.3457 - 0.3585) / 0.3585};

double degrees(double radians) {
    double hue = radians * 180.0 / M_PI;
    if (hue < 0)
        hue += 360.0;
    return hue >= 360.0 ? hue - 360.0 : hue;
}

} // namespace

double ColorSpace::toLinear(double c) {
    const double magnitude = std::fabs(c);
    if (magnitude <= 0.04045)
        return c / 12.92;
    return std::copysign(std::pow((magnitude + 0.055) / 1.055, 2.4), c);
}

double ColorSpace::fromLinear(double c) {
    const double magnitude = std::fabs(c);
    if (magnitude <= 0.0031308)
        return c * 12.92;
    return std::copysign(1.055 * std::pow(magnitude, 1.0 / 2.4) - 0.055, c);
}

ColorSpace::Hsl ColorSpace::hslFromSrgb(const Rgb &rgb) {
    const double max = std::max({rgb.red, rgb.green, rgb.blue});
    const double min = std::min({rgb.red, rgb.green, rgb.blue});
    const double delta = max - min;
    Hsl hsl;
    hsl.lightness = (max + min) / 2.0;
    if (!(delta > 0))
        return hsl;
    const double divisor = 1.0 - std::fabs(2.0 * hsl.lightness - 1.0);
    hsl.saturation = divisor > 0 ? delta / divisor : 0.0;
    double hue = 0.0;
    if (max == rgb.red)
        hue = (rgb.green - rgb.blue) / delta + (rgb.green < rgb.blue ? 6.0 : 0.0);
    else if (max == rgb.green)
        hue = (rgb.blue - rgb.red) / delta + 2.0;
    else
        hue = (rgb.red - rgb.green) / delta + 4.0;
    hsl.hue = std::fmod(hue * 60.0, 360.0);
    if (hsl.hue < 0)
        hsl.hue += 360.0;
    return hsl;
}

ColorSpace::Rgb ColorSpace::srgbFromHsl(const Hsl &hsl) {
    double hue = std::fmod(hsl.hue, 360.0);
    if (hue < 0)
        hue += 360.0;
    const double s = std::clamp(hsl.saturation, 0.0, 1.0);
    const double l = std::clamp(hsl.lightness, 0.0, 1.0);
    const auto channel = [&](double n) {
        const double k = std::fmod(n + hue / 30.0, 12.0);
        const double a = s * std::min(l, 1.0 - l);
        return l - a * std::max(-1.0, std::min({k - 3.0, 9.0 - k, 1.0}));
    };
    return {channel(0), channel(8), channel(4)};
}

ColorSpace::Oklch ColorSpace::oklchFromSrgb(const Rgb &rgb) {
    const Rgb xyz =
        multiply(kLinearSrgbToXyzD65, toLinear(rgb.red), toLinear(rgb.green), toLinear(rgb.blue));
    const Rgb lms = multiply(kXyzToLms, xyz.red, xyz.green, xyz.blue);
    const Rgb lab =
        multiply(kLmsToOklab, std::cbrt(lms.red), std::cbrt(lms.green), std::cbrt(lms.blue));
    Oklch result;
    result.lightness = lab.red;
    result.chroma = std::hypot(lab.green, lab.blue);
    // Greys have no hue; the arc tangent of rounding noise would give a random one.
    result.hue = result.chroma < 1e-6 ? 0.0 : degrees(std::atan2(lab.blue, lab.green));
    return result;
}

ColorSpace::Rgb ColorSpace::srgbFromLabD50(double l, double a, double b) {
    constexpr double kappa = 24389.0 / 27.0;
    constexpr double epsilon = 216.0 / 24389.0;
    const double f1 = (l + 16.0) / 116.0;
    const double f0 = a / 500.0 + f1;
    const double f2 = f1 - b / 200.0;
    const auto inverse = [&](double f) {
        const double cube = f * f * f;
        return cube > epsilon ? cube : (116.0 * f - 16.0) / kappa;
    };
    const double y = l > kappa * epsilon ? f1 * f1 * f1 : l / kappa;
    const Rgb d65 =
        multiply(kBradfordD50ToD65, inverse(f0) * kD50[0], y * kD50[1], inverse(f2) * kD50[2]);
    const Rgb linear = multiply(kXyzD65ToLinearSrgb, d65.red, d65.green, d65.blue);
    return {fromLinear(linear.red), fromLinear(linear.green), fromLinear(linear.blue)};
}

ColorSpace::Rgb ColorSpace::srgbFromCmyk(double cyan, double magenta, double yellow, double black) {
    return {(1.0 - cyan) * (1.0 - black), (1.0 - magenta) * (1.0 - black),
            (1.0 - yellow) * (1.0 - black)};
}

ColorSpace::Rgb ColorSpace::clamped(const Rgb &rgb) {
    const auto limit = [](double c) {
        return c > 0 ? std::min(c, 1.0) : 0.0;
    };
    return {limit(rgb.red), limit(rgb.green), limit(rgb.blue)};
}
