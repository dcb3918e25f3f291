#pragma once

#include <bit>
#include <cstdint>
#include <limits>
#include <optional>

// An optional double in the space of one: "absent" is a NaN with a payload of its own, so a
// colour stays 32 bytes instead of 40 (a hundred thousand colours are loaded at once).
// Behaves like std::optional<double>; a NaN that is stored keeps being a present NaN.
class OptionalDouble {
public:
    constexpr OptionalDouble() = default;
    constexpr OptionalDouble(std::nullopt_t) {}
    constexpr OptionalDouble(double value)
        : m_bits(present(value)) {}
    constexpr OptionalDouble(const std::optional<double> &value)
        : m_bits(value ? present(*value) : absentBits) {}

    constexpr OptionalDouble &operator=(std::nullopt_t) {
        m_bits = absentBits;
        return *this;
    }
    constexpr OptionalDouble &operator=(double value) {
        m_bits = present(value);
        return *this;
    }

    constexpr bool has_value() const { return m_bits != absentBits; }
    constexpr explicit operator bool() const { return has_value(); }
    constexpr double operator*() const { return std::bit_cast<double>(m_bits); }
    constexpr double value_or(double fallback) const { return has_value() ? **this : fallback; }
    constexpr void reset() { m_bits = absentBits; }
    constexpr operator std::optional<double>() const {
        return has_value() ? std::optional<double>(**this) : std::nullopt;
    }

    // As std::optional: two absent values are equal, and a present NaN equals nothing.
    friend constexpr bool operator==(const OptionalDouble &a, const OptionalDouble &b) {
        return a.has_value() == b.has_value() && (!a.has_value() || *a == *b);
    }

private:
    static constexpr std::uint64_t absentBits = 0x7ffc'a15e'4ab5'e47dULL;

    // A value that happens to carry the marker's bits is stored as the ordinary quiet NaN.
    static constexpr std::uint64_t present(double value) {
        const auto bits = std::bit_cast<std::uint64_t>(value);
        return bits == absentBits
                   ? std::bit_cast<std::uint64_t>(std::numeric_limits<double>::quiet_NaN())
                   : bits;
    }

    std::uint64_t m_bits = absentBits;
};
