#include "image/chargement_image.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/erreur.h"
#include "image/decodage_bmp.h"
#include "image/entete_bmp.h"
#include "image/fichier_image.h"
#include "image/verification_image.h"

namespace agent {

namespace {

// The signatures the formats start with.
std::optional<format_fichier> format_de(std::span<const uint8_t> debut) {
  const auto commence_par = [&](std::string_view signature) {
    return debut.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), debut.begin(),
                      [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
  };
  if (commence_par("BM")) return format_fichier::bmp;
  if (commence_par("\x89PNG\r\n\x1A\n")) return format_fichier::png;
  if (commence_par("GIF87a") || commence_par("GIF89a")) return format_fichier::gif;
  return std::nullopt;
}

// Straight alpha over white, rounded to nearest; an opaque pixel keeps its exact colour.
void sur_fond_blanc(image_pixels& image) {
  for (int32_t y = 0; y < image.hauteur(); ++y) {
    auto* ligne = reinterpret_cast<uint32_t*>(image.ligne(y));
    for (int32_t x = 0; x < image.largeur(); ++x) {
      const uint32_t p = ligne[x];
      const uint32_t a = p >> 24;
      if (a == 255) continue;
      auto melange = [a](uint32_t canal) { return (canal * a + 255 * (255 - a) + 127) / 255; };
      ligne[x] = 0xFF000000u | melange(p >> 16 & 0xFF) << 16 | melange(p >> 8 & 0xFF) << 8 | melange(p & 0xFF);
    }
  }
  image.reinterprete(format_pixels::rvb32);
}

}  // namespace

image_pixels charge_image(const std::string& chemin, decodeur_png_gif png_gif) {
  const fichier_image fichier(chemin);
  const int64_t taille = fichier.taille();
  if (taille == 0) throw erreur(code_erreur::image_incorrecte, chemin + " : fichier vide");

  std::array<uint8_t, taille_entetes_bmp> entetes{};
  const std::span<const uint8_t> debut(entetes.data(), fichier.lit(0, entetes));
  const std::optional<format_fichier> format = format_de(debut);
  if (!format || (*format != format_fichier::bmp && !png_gif))
    throw erreur(code_erreur::image_incorrecte, chemin + " : format d'image non reconnu");

  image_pixels image;
  if (*format == format_fichier::bmp) {
    // The header is read once, for the checks and for the decoder.
    const entete_bmp entete = lit_entete_bmp(debut, chemin);
    verifie_bmp_complet(entete, taille, chemin);
    image = decode_bmp(fichier, entete, taille, chemin);
  } else {
    std::vector<uint8_t> contenu(static_cast<size_t>(taille));
    contenu.resize(fichier.lit(0, contenu));
    if (*format == format_fichier::gif) verifie_gif_complet(contenu, chemin);
    image = png_gif(contenu, *format, chemin);
  }
  if (image.format() == format_pixels::argb32) sur_fond_blanc(image);
  return image;
}

}  // namespace agent
