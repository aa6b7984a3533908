#pragma once
// The seven printable colours as 0xAARRGGBB pixels (Qt's QRgb), written out here apart from the
// agent's own table, so that the tests that draw them check that table rather than repeat it.

#include <array>
#include <cstdint>

namespace agent::essai {

// An opaque pixel, or one of alpha `a`, as Qt's qRgb and qRgba make it.
constexpr uint32_t argb(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255) { return a << 24 | r << 16 | g << 8 | b; }

inline constexpr std::array<uint32_t, 7> sept_couleurs = {argb(0, 0, 0),   argb(0, 0, 255), argb(0, 0, 254),
                                                          argb(0, 255, 0), argb(1, 255, 0), argb(255, 0, 0),
                                                          argb(254, 0, 0)};

}  // namespace agent::essai
