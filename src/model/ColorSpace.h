#pragma once

// Conversions between sRGB and the colour spaces people write colours in. sRGB components
// are nominally 0..1; values outside are carried through (the transfer curve is extended
// with its sign, as CSS does), so a hand-edited file never gives an undefined result.
class ColorSpace {
public:
    ColorSpace() = delete;

    struct Rgb {
        double red = 0.0;
        double green = 0.0;
        double blue = 0.0;
    };
    // Hue in degrees [0, 360), saturation and lightness 0..1.
    struct Hsl {
        double hue = 0.0;
        double saturation = 0.0;
        double lightness = 0.0;
    };
    // OKLCH as CSS Color 4 defines it: lightness 0..1, chroma >= 0, hue in degrees [0, 360).
    struct Oklch {
        double lightness = 0.0;
        double chroma = 0.0;
        double hue = 0.0;
    };

    static double toLinear(double component);
    static double fromLinear(double component);

    static Hsl hslFromSrgb(const Rgb &rgb);
    static Rgb srgbFromHsl(const Hsl &hsl);
    static Oklch oklchFromSrgb(const Rgb &rgb);
    // CIE LAB relative to D50 (as Adobe's swatch files hold it: L 0..100), adapted to D65
    // with the Bradford transform. The result is not clamped.
    static Rgb srgbFromLabD50(double l, double a, double b);
    // Naive device CMYK: each channel (1 - ink) * (1 - black).
    static Rgb srgbFromCmyk(double cyan, double magenta, double yellow, double black);
    // Each component limited to 0..1; NaN becomes 0.
    static Rgb clamped(const Rgb &rgb);
};
