#pragma once
// A decoded picture: its size, its pixel format and its rows, each starting on 4 bytes as a
// bitmap file stores them. A job file's picture is as large as the file, so a large one takes its
// memory from reserve_grande, in large pages; a small one from the allocator, not cleared: a
// decoder that leaves pixels unset then shows different pixels from one load to the next, as the
// fuzz harness checks.

#include <cstddef>
#include <cstdint>

namespace agent {

// The numbers are those Qt gives the same formats: a held job's uuid carries a digest of them
// (surface_apercu::empreinte), which must not change from one version of the agent to the next.
enum class format_pixels : int32_t {
  rvb32 = 4,   // 32-bit words 0xFFRRGGBB in the machine's order
  argb32 = 5,  // 0xAARRGGBB, alpha not multiplied in: only from a decoder to the loader
  bvr24 = 29,  // blue, green, red bytes, as a 24-bit bitmap file holds them
};

constexpr int octets_par_pixel(format_pixels format) { return format == format_pixels::bvr24 ? 3 : 4; }

class image_pixels {
public:
  // No picture.
  image_pixels() = default;
  // Pixels not set; "Mémoire insuffisante" when it cannot be held.
  image_pixels(int32_t largeur, int32_t hauteur, format_pixels format);
  ~image_pixels();
  image_pixels(image_pixels&& autre) noexcept;
  image_pixels& operator=(image_pixels&& autre) noexcept;
  image_pixels(const image_pixels&) = delete;
  image_pixels& operator=(const image_pixels&) = delete;

  bool vide() const { return octets_ == nullptr; }
  int32_t largeur() const { return largeur_; }
  int32_t hauteur() const { return hauteur_; }
  format_pixels format() const { return format_; }
  size_t octets_par_ligne() const { return par_ligne_; }
  const uint8_t* ligne(int32_t y) const { return octets_ + static_cast<size_t>(y) * par_ligne_; }
  uint8_t* ligne(int32_t y) { return octets_ + static_cast<size_t>(y) * par_ligne_; }

  // The same bytes read as another format of the same pixel size: ARGB32 laid over white is RGB32.
  void reinterprete(format_pixels format);

private:
  void libere() noexcept;

  int32_t largeur_ = 0, hauteur_ = 0;
  format_pixels format_ = format_pixels::rvb32;
  size_t par_ligne_ = 0, taille_ = 0;
  uint8_t* octets_ = nullptr;
};

// The same size, format and pixels; the rows' padding is left out.
bool operator==(const image_pixels& a, const image_pixels& b);

}  // namespace agent
