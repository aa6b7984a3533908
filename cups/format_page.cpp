#include "cups/format_page.h"

#include <cups/cups.h>

#include "core/erreur.h"

namespace agent {

namespace {

constexpr double centiemes_mm_par_pouce = 2540.0;

format_page format_du_support(const pwg_media_t& support, int32_t resolution_x, int32_t resolution_y) {
  return {support.pwg, support.width, support.length, resolution_x, resolution_y};
}

}  // namespace

format_page format_pour(const std::string& support, int32_t resolution_x, int32_t resolution_y) {
  const pwg_media_t* connu = pwgMediaForPWG(support.c_str());
  if (!connu) throw erreur(code_erreur::erreur_imprimante, "format de papier inconnu : " + support);
  return format_du_support(*connu, resolution_x, resolution_y);
}

format_page format_de_taille(int32_t largeur, int32_t longueur, int32_t resolution_x, int32_t resolution_y) {
  const pwg_media_t* proche = pwgMediaForSize(largeur, longueur);
  if (!proche) {
    throw erreur(code_erreur::erreur_imprimante, "format de papier inconnu : " + std::to_string(largeur) + " × " +
                                                     std::to_string(longueur) + " centièmes de millimètre");
  }
  return {proche->pwg, largeur, longueur, resolution_x, resolution_y};
}

QSize pixels_page(const format_page& format) {
  const auto pixels = [](int32_t longueur, int32_t resolution) {
    return static_cast<int>((int64_t{longueur} * resolution * 2 + 2540) / int64_t{5080});  // half up
  };
  return {pixels(format.largeur, format.resolution_x), pixels(format.longueur, format.resolution_y)};
}

QSizeF points_page(const format_page& format) {
  return {format.largeur * 72.0 / centiemes_mm_par_pouce, format.longueur * 72.0 / centiemes_mm_par_pouce};
}

}  // namespace agent
