#include "model/PackedColor.h"

#include <bit>
#include <iterator>

namespace {

constexpr double kWide = 65535.0;   // 8- and 16-bit channels: k/255 is (257k)/65535
constexpr double kHalves = 65536.0; // 0.5, 0.25, ... as typed by hand
constexpr int kComponentBits = 17;  // codes below 65536 are k/65535, the rest j/65536
constexpr int kAlphaShift = 1 + 3 * kComponentBits;

// Opacity codes: 0 is absent, then a run of codes for each denominator, in this order so that a
// value two of them share (0.2 is 51/255 and 20/100) always takes the same code.
struct AlphaRun {
    std::uint32_t first;
    double denominator;
};
constexpr AlphaRun kAlphaRuns[] = {{1, 255.0}, {257, 100.0}, {358, 1000.0}};
constexpr std::uint32_t kAlphaCodes = 1359;
static_assert(kAlphaCodes <= (1u << (64 - kAlphaShift)));

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// k when value is exactly k / denominator with 0 <= k <= denominator; -1 otherwise (out of
// range, NaN, -0.0 and every value in between).
int fraction(double value, double denominator) {
    if (!(value >= 0.0 && value <= 1.0))
        return -1;
    const int k = static_cast<int>(value * denominator + 0.5);
    return sameBits(k / denominator, value) ? k : -1;
}

int alphaCode(const OptionalDouble &alpha) {
    if (!alpha)
        return 0;
    for (const AlphaRun &run : kAlphaRuns) {
        const int k = fraction(*alpha, run.denominator);
        if (k >= 0)
            return static_cast<int>(run.first) + k;
    }
    return -1;
}

OptionalDouble alphaValue(std::uint32_t code) {
    if (code == 0)
        return std::nullopt;
    for (int i = int(std::size(kAlphaRuns)) - 1; i >= 0; --i) {
        if (code >= kAlphaRuns[i].first)
            return (code - kAlphaRuns[i].first) / kAlphaRuns[i].denominator;
    }
    return std::nullopt; // not reached: code 0 is the only one below the first run
}

int componentCode(double value) {
    const int k = fraction(value, kWide);
    if (k >= 0)
        return k;
    const int j = fraction(value, kHalves);
    return j >= 0 && j < 65536 ? 65536 + j : -1;
}

double componentValue(std::uint64_t code) {
    return code < 65536 ? double(code) / kWide : double(code - 65536) / kHalves;
}

SerializableColor *block(std::uint64_t bits) {
    return reinterpret_cast<SerializableColor *>(static_cast<std::uintptr_t>(bits));
}

std::uint64_t holding(const SerializableColor &color) {
    return static_cast<std::uint64_t>(
        reinterpret_cast<std::uintptr_t>(new SerializableColor(color)));
}

} // namespace

PackedColor::PackedColor(const SerializableColor &color) {
    const int red = componentCode(color.red);
    const int green = componentCode(color.green);
    const int blue = componentCode(color.blue);
    const int alpha = alphaCode(color.alpha);
    if (red < 0 || green < 0 || blue < 0 || alpha < 0) {
        m_bits = holding(color);
        return;
    }
    m_bits = kInlineTag | std::uint64_t(red) << 1 | std::uint64_t(green) << (1 + kComponentBits) |
             std::uint64_t(blue) << (1 + 2 * kComponentBits) | std::uint64_t(alpha) << kAlphaShift;
}

PackedColor::PackedColor(const PackedColor &other)
    : m_bits(other.isInline() ? other.m_bits : holding(*block(other.m_bits))) {
}

PackedColor &PackedColor::operator=(const PackedColor &other) {
    if (this != &other) {
        const std::uint64_t bits = other.isInline() ? other.m_bits : holding(*block(other.m_bits));
        release();
        m_bits = bits;
    }
    return *this;
}

PackedColor &PackedColor::operator=(PackedColor &&other) noexcept {
    if (this != &other) {
        release();
        m_bits = other.m_bits;
        other.m_bits = kInlineTag;
    }
    return *this;
}

void PackedColor::release() noexcept {
    if (!isInline())
        delete block(m_bits);
}

SerializableColor PackedColor::value() const noexcept {
    if (!isInline())
        return *block(m_bits);
    constexpr std::uint64_t mask = (1u << kComponentBits) - 1;
    return {componentValue((m_bits >> 1) & mask),
            componentValue((m_bits >> (1 + kComponentBits)) & mask),
            componentValue((m_bits >> (1 + 2 * kComponentBits)) & mask),
            alphaValue(static_cast<std::uint32_t>(m_bits >> kAlphaShift))};
}

bool operator==(const PackedColor &a, const PackedColor &b) noexcept {
    // Each inline value has one code, so two inline colours are equal exactly when their bits
    // are; anything else compares as the colours would (0.0 equals -0.0, NaN equals nothing).
    if (a.isInline() && b.isInline())
        return a.m_bits == b.m_bits;
    return a.value() == b.value();
}
