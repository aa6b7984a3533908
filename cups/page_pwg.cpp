#include "cups/page_pwg.h"

#include <cups/raster.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "core/erreur.h"
#include "cups/flux_raster.h"
#include "printing/couleurs.h"

namespace agent {

namespace {

[[noreturn]] void echec_pwg(const std::string& quoi) {
  throw erreur(code_erreur::erreur_imprimante, "la page PWG ne peut pas être produite : " + quoi);
}

// Red, green and blue bytes of each grid index: white, then the seven colours in their order.
std::array<std::array<uint8_t, 3>, 8> rvb_des_indices() {
  std::array<std::array<uint8_t, 3>, 8> rvb{};
  rvb[0] = {0xFF, 0xFF, 0xFF};
  for (size_t i = 0; i < couleurs_imprimables.size(); ++i) {
    const canaux c = canaux_de(couleurs_imprimables[i]);
    rvb[i + 1] = {c.rouge, c.vert, c.bleu};
  }
  return rvb;
}

}  // namespace

QByteArray page_pwg(const grille_points& grille, const format_page& format, int32_t pages) {
  const pwg_media_t* support = pwgMediaForPWG(format.support.c_str());
  if (!support) support = pwgMediaForSize(format.largeur, format.longueur);
  cups_page_header2_t entete;
  // libcups takes the medium as mutable, though it only reads it.
  if (!support || !cupsRasterInitPWGHeader(&entete, const_cast<pwg_media_t*>(support), "srgb_8", format.resolution_x,
                                           format.resolution_y, "one-sided", nullptr))
    echec_pwg(cupsRasterErrorString());
  // The header rounds the page down to whole pixels; the grid, like every rasteriser on the way
  // to the printer, rounds to nearest. One size for both keeps every path's page the same.
  entete.cupsWidth = static_cast<unsigned>(grille.largeur());
  entete.cupsHeight = static_cast<unsigned>(grille.hauteur());
  entete.cupsBytesPerLine = entete.cupsWidth * 3;
  entete.cupsInteger[CUPS_RASTER_PWG_TotalPageCount] = static_cast<unsigned>(pages);

  // Room for the page however little it compresses (a count byte per 128 pixels and the pixels
  // as they are), so that it never moves while it grows; the parts it does not fill are never
  // touched, and take no resident memory.
  QByteArray octets;
  const qsizetype pixels_ligne = grille.largeur();
  octets.reserve(4096 + grille.hauteur() * (1 + (pixels_ligne + 127) / 128 + 3 * pixels_ligne));
  flux_raster flux = ouvre_flux_raster(octets, CUPS_RASTER_WRITE_PWG);
  if (!flux || !cupsRasterWriteHeader2(flux.get(), &entete)) echec_pwg(cupsRasterErrorString());

  // Rows and columns outside the dots' frame stay white, and cost no conversion.
  const auto rvb = rvb_des_indices();
  std::vector<unsigned char> blanche(entete.cupsBytesPerLine, 0xFF);
  std::vector<unsigned char> ligne(blanche);
  const cadre_points cadre = grille.vide() ? cadre_points{0, 0, 0, 0} : grille.cadre();
  for (int32_t y = 0; y < grille.hauteur(); ++y) {
    const bool encree = y >= cadre.y0 && y < cadre.y1;
    if (encree) {
      // Two pixels a grid byte, from the even column at or before the frame's left edge.
      const int32_t debut = cadre.x0 & ~1;
      const uint8_t* paire = grille.paires(y).data() + debut / 2;
      unsigned char* cible = ligne.data() + size_t{3} * static_cast<size_t>(debut);
      for (int32_t x = debut; x < cadre.x1; x += 2, ++paire, cible += 6) {
        std::memcpy(cible, rvb[*paire >> 4].data(), 3);
        if (x + 1 < grille.largeur()) std::memcpy(cible + 3, rvb[*paire & 0xF].data(), 3);
      }
    }
    unsigned char* pixels = encree ? ligne.data() : blanche.data();
    if (cupsRasterWritePixels(flux.get(), pixels, entete.cupsBytesPerLine) < entete.cupsBytesPerLine)
      echec_pwg(cupsRasterErrorString());
  }
  flux.reset();
  return octets;
}

}  // namespace agent
