#include "cups/page_cups.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core/erreur.h"
#include "cups/flux_raster.h"
#include "printing/couleurs.h"

namespace agent {

namespace {

// Throws "Erreur d'imprimante" saying why the page cannot be written.
[[noreturn]] void echec_raster(const std::string& quoi) {
  throw erreur(code_erreur::erreur_imprimante, "la page CUPS raster ne peut pas être produite : " + quoi);
}

enum class sorte_espace { rvb, encres, noir_seul, luminance, autre };

// How a colour space takes the seven colours. Throws nothing.
sorte_espace sorte_de(cups_cspace_t espace) {
  switch (espace) {
    case CUPS_CSPACE_RGB:
    case CUPS_CSPACE_SRGB: return sorte_espace::rvb;
    case CUPS_CSPACE_CMY:
    case CUPS_CSPACE_CMYK:
    case CUPS_CSPACE_KCMY: return sorte_espace::encres;
    case CUPS_CSPACE_K: return sorte_espace::noir_seul;
    case CUPS_CSPACE_W:
    case CUPS_CSPACE_SW: return sorte_espace::luminance;
    default: return sorte_espace::autre;
  }
}

// How many colours a pixel of the space has. Throws nothing.
unsigned colorants(cups_cspace_t espace) {
  switch (sorte_de(espace)) {
    case sorte_espace::rvb: return 3;
    case sorte_espace::encres: return espace == CUPS_CSPACE_CMY ? 3 : 4;
    default: return 1;
  }
}

// Each colour of a pixel of each grid index (white, then the seven colours), full scale 255; a
// grid index that the space cannot print is marked.
struct valeurs_indice {
  std::array<uint8_t, 4> colorant{};
  bool imprimable = true;
};

// The values of every grid index in the space. Throws nothing.
std::array<valeurs_indice, 8> valeurs_des_indices(cups_cspace_t espace) {
  std::array<valeurs_indice, 8> v{};
  for (size_t indice = 0; indice < v.size(); ++indice) {
    const canaux c = canaux_indice(static_cast<uint8_t>(indice));
    // A channel at zero is the ink that absorbs it: cyan for red, magenta for green, yellow for blue.
    const bool cyan = c.rouge < 0x80, magenta = c.vert < 0x80, jaune = c.bleu < 0x80;
    const bool noir_pur = cyan && magenta && jaune;
    auto& p = v[indice].colorant;
    switch (sorte_de(espace)) {
      case sorte_espace::rvb: p = {c.rouge, c.vert, c.bleu, 0}; break;
      case sorte_espace::encres: {
        const uint8_t k = espace != CUPS_CSPACE_CMY && noir_pur ? 0xFF : 0;
        const auto encre = [&](bool e) -> uint8_t { return e && !k ? 0xFF : 0; };
        if (espace == CUPS_CSPACE_KCMY)
          p = {k, encre(cyan), encre(magenta), encre(jaune)};
        else
          p = {encre(cyan), encre(magenta), encre(jaune), k};
        break;
      }
      case sorte_espace::noir_seul: p[0] = noir_pur ? 0xFF : 0; break;
      case sorte_espace::luminance: p[0] = noir_pur ? 0 : 0xFF; break;
      case sorte_espace::autre: break;
    }
    if (sorte_de(espace) == sorte_espace::noir_seul || sorte_de(espace) == sorte_espace::luminance)
      v[indice].imprimable = indice == 0 || noir_pur;
  }
  return v;
}

// Device pixels from the sheet's edge to the imageable area's, along one axis. Throws nothing.
int32_t decalage(float points, unsigned resolution) {
  return static_cast<int32_t>(std::lround(double{points} * resolution / 72.0));
}

}  // namespace

bool entete_exacte(const cups_page_header2_t& e) {
  const sorte_espace sorte = sorte_de(e.cupsColorSpace);
  const unsigned n = colorants(e.cupsColorSpace);
  const bool profondeur = e.cupsBitsPerColor == 8 ? e.cupsBitsPerPixel == 8 * n
                          : e.cupsBitsPerColor == 1
                              ? sorte != sorte_espace::rvb && e.cupsBitsPerPixel == (n == 1 ? 1 : 4)
                              : false;
  const bool echelle = e.cupsBorderlessScalingFactor == 0.0f || e.cupsBorderlessScalingFactor == 1.0f;
  return sorte != sorte_espace::autre && e.cupsColorOrder == CUPS_ORDER_CHUNKED && profondeur && echelle &&
         e.cupsWidth > 0 && e.cupsHeight > 0 && e.HWResolution[0] > 0 && e.HWResolution[1] > 0 &&
         uint64_t{e.cupsBytesPerLine} == (uint64_t{e.cupsWidth} * e.cupsBitsPerPixel + 7) / 8;
}

QByteArray page_cups(const grille_points& grille, const cups_page_header2_t& entete_pilote) {
  if (!entete_exacte(entete_pilote)) echec_raster("en-tête de page non pris en charge");
  cups_page_header2_t entete = entete_pilote;
  const auto valeurs = valeurs_des_indices(entete.cupsColorSpace);
  const unsigned n = colorants(entete.cupsColorSpace), bits = entete.cupsBitsPerPixel;
  const int32_t x0 = decalage(entete.cupsImagingBBox[0], entete.HWResolution[0]);
  const int32_t y0 = decalage(entete.cupsPageSize[1] - entete.cupsImagingBBox[3], entete.HWResolution[1]);
  const int32_t largeur = static_cast<int32_t>(entete.cupsWidth), hauteur = static_cast<int32_t>(entete.cupsHeight);

  // One raster pixel's bytes (8 bits a colour) or bit field (1 bit a colour, first colour in the
  // field's highest used bit) for each grid index.
  std::array<std::array<uint8_t, 4>, 8> octets_indice{};
  std::array<uint8_t, 8> champ_indice{};
  for (size_t i = 0; i < valeurs.size(); ++i) {
    octets_indice[i] = valeurs[i].colorant;
    for (unsigned c = 0; c < n; ++c)
      champ_indice[i] = static_cast<uint8_t>(champ_indice[i] << 1 | (valeurs[i].colorant[c] ? 1 : 0));
  }
  const auto ecrit = [&](std::vector<unsigned char>& ligne, int32_t x, uint8_t indice) {
    if (entete.cupsBitsPerColor == 8) {
      for (unsigned c = 0; c < n; ++c) ligne[static_cast<size_t>(x) * n + c] = octets_indice[indice][c];
      return;
    }
    const size_t bit = static_cast<size_t>(x) * bits;
    const unsigned decale = 8 - bits - static_cast<unsigned>(bit % 8);
    unsigned char& octet = ligne[bit / 8];
    octet = static_cast<unsigned char>((octet & ~(((1u << bits) - 1) << decale)) | champ_indice[indice] << decale);
  };

  std::vector<unsigned char> blanche(entete.cupsBytesPerLine, 0);
  for (int32_t x = 0; x < largeur; ++x) ecrit(blanche, x, 0);
  std::vector<unsigned char> ligne(blanche);

  QByteArray octets;
  flux_raster flux = ouvre_flux_raster(octets, CUPS_RASTER_WRITE_COMPRESSED);
  if (!flux || !cupsRasterWriteHeader2(flux.get(), &entete)) echec_raster(cupsRasterErrorString());

  // Only the dots' frame, as far as it falls on the raster, costs a conversion.
  const cadre_points cadre = grille.vide() ? cadre_points{0, 0, 0, 0} : grille.cadre();
  const int32_t debut = std::max(cadre.x0 - x0, 0), fin = std::min(cadre.x1 - x0, largeur);
  for (int32_t y = 0; y < hauteur; ++y) {
    const int32_t y_grille = y + y0;
    const bool encree = y_grille >= cadre.y0 && y_grille < cadre.y1 && debut < fin;
    if (encree) {
      ligne = blanche;
      const uint8_t* indices = grille.ligne(y_grille).data();
      for (int32_t x = debut; x < fin; ++x) {
        const uint8_t indice = indices[x + x0];
        if (!valeurs[indice].imprimable)
          echec_raster("le pilote n'imprime que du noir et la page a des points de couleur");
        if (indice) ecrit(ligne, x, indice);
      }
    }
    unsigned char* pixels = encree ? ligne.data() : blanche.data();
    if (cupsRasterWritePixels(flux.get(), pixels, entete.cupsBytesPerLine) < entete.cupsBytesPerLine)
      echec_raster(cupsRasterErrorString());
  }
  flux.reset();
  return octets;
}

}  // namespace agent
