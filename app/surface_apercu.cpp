#include "app/surface_apercu.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>

#include "app/couleurs_qt.h"
#include "core/empreinte.h"
#include "image/chargement_image.h"

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif

namespace agent {

namespace {

constexpr uint32_t blanc = 0x00FFFFFF;

// The raster compares the agent's own colour values.
inline uint32_t valeur(QRgb p) { return couleur_de(p); }
// A pixel of a BGR888 row: blue, green, red bytes.
inline uint32_t valeur_bvr(const uchar* p) { return couleur_de(p[2], p[1], p[0]); }

// The first pixels of a BGR888 row of `n` as the agent's colour values, as many as can be read
// sixteen bytes at a time within the row, four pixels a byte shuffle; the number done (none on a
// processor without the shuffle).
#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("ssse3"))) size_t lit_debut_bvr_ssse3(const uchar* source, size_t n, uint32_t* ligne) {
  const __m128i ordre = _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
  size_t x = 0;
  for (; 3 * x + 16 <= 3 * n; x += 4) {
    const __m128i bvr = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 3 * x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(ligne + x), _mm_shuffle_epi8(bvr, ordre));
  }
  return x;
}
size_t lit_debut_bvr(const uchar* source, size_t n, uint32_t* ligne) {
  return __builtin_cpu_supports("ssse3") ? lit_debut_bvr_ssse3(source, n, ligne) : 0;
}
#else
size_t lit_debut_bvr(const uchar*, size_t, uint32_t*) { return 0; }
#endif

}  // namespace

void surface_apercu::charge(const std::string& chemin) {
  image_ = charge_image(chemin);
  nom_ = std::filesystem::path(chemin).filename().string();
}

float surface_apercu::largeur_echelle() const { return static_cast<float>(largeur()); }
float surface_apercu::hauteur_echelle() const { return static_cast<float>(hauteur()); }

uint32_t surface_apercu::lit_pixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= largeur() || y >= hauteur()) return couleur_hors_surface;
  if (image_.isNull()) return blanc;
  if (image_.format() == QImage::Format_BGR888) return valeur_bvr(image_.constScanLine(y) + ptrdiff_t{3} * x);
  return valeur(reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x]);
}

void surface_apercu::lit_ligne(int32_t y, std::span<uint32_t> ligne) const {
  if (y < 0 || y >= hauteur()) {
    std::fill(ligne.begin(), ligne.end(), couleur_hors_surface);
    return;
  }
  const size_t dedans = std::min(ligne.size(), static_cast<size_t>(largeur()));
  if (image_.isNull()) {
    std::fill_n(ligne.begin(), dedans, blanc);
  } else if (image_.format() == QImage::Format_BGR888) {
    // Past what the shuffles took, four bytes are read for each pixel's three, the fourth (the
    // next pixel's blue) dropped: one load and a byte swap instead of three loads. The row's
    // last pixel is read alone, so that nothing is read past the row.
    const uchar* source = image_.constScanLine(y);
    const size_t debut = lit_debut_bvr(source, dedans, ligne.data());
    source += 3 * debut;
    for (size_t x = debut; x + 1 < dedans; ++x, source += 3) {
      uint32_t bvr_et_suivant;
      std::memcpy(&bvr_et_suivant, source, sizeof bvr_et_suivant);
      static_assert(std::endian::native == std::endian::little, "the first byte (blue) is the word's lowest");
      ligne[x] = __builtin_bswap32(bvr_et_suivant) >> 8;
    }
    if (dedans > 0) ligne[dedans - 1] = valeur_bvr(source);
  } else {
    const QRgb* source = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
    std::transform(source, source + dedans, ligne.begin(), valeur);
  }
  std::fill(ligne.begin() + static_cast<std::ptrdiff_t>(dedans), ligne.end(), couleur_hors_surface);
}

uint64_t surface_apercu::empreinte() const {
  if (image_.isNull()) return 0;
  agent::empreinte e;
  const int32_t forme[] = {image_.width(), image_.height(), static_cast<int32_t>(image_.format())};
  e.ajoute(std::as_bytes(std::span(forme)));
  const auto octets = static_cast<size_t>(image_.width()) * static_cast<size_t>(image_.depth() / 8);
  for (int y = 0; y < image_.height(); ++y) e.ajoute(std::as_bytes(std::span(image_.constScanLine(y), octets)));
  return e.valeur();
}

}  // namespace agent
