#include "cups/page_pwg.h"

#include <cups/raster.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "core/erreur.h"
#include "cups/flux_raster.h"
#include "printing/couleurs.h"

namespace agent {

namespace {

[[noreturn]] void echec_pwg(const std::string& quoi) {
  throw erreur(code_erreur::erreur_imprimante, "la page PWG ne peut pas être produite : " + quoi);
}

// Red, green and blue bytes of each grid index.
std::array<std::array<uint8_t, 3>, 8> rvb_des_indices() {
  std::array<std::array<uint8_t, 3>, 8> rvb{};
  for (size_t i = 0; i < rvb.size(); ++i) {
    const canaux c = canaux_indice(static_cast<uint8_t>(i));
    rvb[i] = {c.rouge, c.vert, c.bleu};
  }
  return rvb;
}

// PWG raster's compressed rows, written here rather than by cupsRasterWritePixels, which looks at
// every pixel's three bytes in turn and took 100 ms for a 600-dpi page of shapes, 900 for noise:
// the grid already knows its colours by index, two to a byte. A row is a count of the rows that
// repeat it, then runs: a count byte n below 128 and one pixel for n + 1 pixels alike, or a count
// byte 257 - n and n differing pixels (2 ≤ n ≤ 128). Byte 128, which some readers take for "white
// to the end of the row", is never written.
class codeur_pwg {
public:
  // Writes `repetitions` (1 … 256) rows alike, whose grid indices are `indices` (a word readable
  // at each, as grille_points::ligne leaves them), at `sortie` (at most one byte, then four a
  // pixel), and moves `sortie` past them.
  void ecrit(std::span<const uint8_t> indices, int32_t repetitions, uint8_t*& sortie) const {
    const size_t largeur = indices.size();
    *sortie++ = static_cast<uint8_t>(repetitions - 1);
    const uint8_t* i = indices.data();
    size_t x = 0;
    while (x < largeur) {
      const size_t plage = longueur_plage(i, x, largeur);
      if (plage >= 2) {
        for (size_t reste = plage; reste > 0;) {
          const size_t n = std::min<size_t>(reste, 128);
          *sortie++ = static_cast<uint8_t>(n - 1);
          ajoute_pixel(i[x], sortie);
          reste -= n;
        }
        x += plage;
        continue;
      }
      // Differing pixels, up to the next two alike or 128 of them.
      size_t n = 1;
      while (n < 128 && x + n < largeur && (x + n + 1 >= largeur || i[x + n] != i[x + n + 1])) ++n;
      *sortie++ = static_cast<uint8_t>(n == 1 ? 0 : 257 - n);
      for (size_t k = 0; k < n; ++k) ajoute_pixel(i[x + k], sortie);
      x += n;
    }
  }

private:
  // How many pixels from x on share x's colour; a word of eight compared at a time.
  static size_t longueur_plage(const uint8_t* i, size_t x, size_t largeur) {
    const uint64_t motif = i[x] * uint64_t{0x0101010101010101};
    size_t fin = x + 1;
    while (fin < largeur) {
      uint64_t huit;
      std::memcpy(&huit, i + fin, sizeof huit);
      const uint64_t ecart = huit ^ motif;
      if (ecart != 0) {
        fin += static_cast<size_t>(std::countr_zero(ecart)) / 8;
        break;
      }
      fin += 8;
    }
    return std::min(fin, largeur) - x;
  }
  void ajoute_pixel(uint8_t indice, uint8_t*& sortie) const {
    std::memcpy(sortie, rvb_[indice].data(), 3);
    sortie += 3;
  }

  const std::array<std::array<uint8_t, 3>, 8> rvb_ = rvb_des_indices();
};

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

  QByteArray octets;
  flux_raster flux = ouvre_flux_raster(octets, CUPS_RASTER_WRITE_PWG);
  if (!flux || !cupsRasterWriteHeader2(flux.get(), &entete)) echec_pwg(cupsRasterErrorString());
  flux.reset();

  // The header goes through libcups, the rows after it are written here, rows alike once with
  // their count. Room for the page however little it compresses (a count byte a row, at most
  // four bytes a pixel), left as it is: the parts the page does not fill are never touched, and
  // take no resident memory.
  const qsizetype entete_et_synchro = octets.size();
  octets.resize(entete_et_synchro + grille.hauteur() * (1 + 4 * qsizetype{grille.largeur()}));
  auto* const debut = reinterpret_cast<uint8_t*>(octets.data()) + entete_et_synchro;
  uint8_t* fin = debut;
  const codeur_pwg codeur;
  for (int32_t y = 0; y < grille.hauteur();) {
    const std::span<const uint8_t> ligne = grille.paires(y);
    int32_t repetitions = 1;
    while (repetitions < 256 && y + repetitions < grille.hauteur() &&
           std::equal(ligne.begin(), ligne.end(), grille.paires(y + repetitions).begin()))
      ++repetitions;
    codeur.ecrit(grille.ligne(y), repetitions, fin);
    y += repetitions;
  }
  octets.resize(entete_et_synchro + (fin - debut));
  return octets;
}

}  // namespace agent
