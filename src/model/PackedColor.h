#pragma once

#include "model/SerializableColor.h"

#include <cstdint>

// A stored colour in the space of a pointer. A million colours are loaded at once, and nearly
// all of them are what pickers, hex codes and other palette formats give: components that are
// exactly k/255 or k/65535 (or halves, quarters and so on), an opacity that is absent or k/255,
// k/100 or k/1000.
// Those are kept inline as small integers; any other colour is kept whole in a block of its
// own, so every value survives bit for bit.
class PackedColor {
public:
    PackedColor() noexcept = default;
    PackedColor(const SerializableColor &color); // implicit, like the colour it stands for
    PackedColor(double red, double green, double blue, OptionalDouble alpha = std::nullopt)
        : PackedColor(SerializableColor{red, green, blue, alpha}) {}
    PackedColor(const PackedColor &other);
    PackedColor(PackedColor &&other) noexcept
        : m_bits(other.m_bits) {
        other.m_bits = kInlineTag;
    }
    PackedColor &operator=(const PackedColor &other);
    PackedColor &operator=(PackedColor &&other) noexcept;
    ~PackedColor() { release(); }

    SerializableColor value() const noexcept;
    operator SerializableColor() const noexcept { return value(); }

    // Whether the colour is held inline (no block of its own).
    bool isInline() const noexcept { return (m_bits & kInlineTag) != 0; }

    friend bool operator==(const PackedColor &a, const PackedColor &b) noexcept;
    friend bool operator==(const PackedColor &a, const SerializableColor &b) noexcept {
        return a.value() == b;
    }

private:
    static constexpr std::uint64_t kInlineTag = 1;

    void release() noexcept;

    // Inline: bit 0 set; the codes of red, green and blue in bits 1-17, 18-34 and 35-51; the
    // opacity's code in bits 52-63. Otherwise the address of a SerializableColor.
    std::uint64_t m_bits = kInlineTag;
};

static_assert(sizeof(PackedColor) == 8);
