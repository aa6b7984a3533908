#include "cups/page_pdf.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <future>
#include <string>
#include <vector>

#include "cups/fichier_pdf.h"
#include "printing/couleurs.h"

namespace agent {

namespace {

// Rows per image. The page is a stack of bands so that rendering a whole page never needs more
// than one band besides the grid itself.
constexpr int32_t lignes_par_bande = 256;

// Rasterisers disagree about an image whose edges fall exactly on pixel boundaries (some paint
// one more row and column). Pulling each edge in by half of this keeps every edge strictly
// inside the pixel it belongs to, and every renderer then fills exactly the covered pixels.
constexpr double retrait = 1.0 / 16;

// The grid's bytes are already indices into this palette: white, then the seven colours in
// their order. Each image stores them as they are, four bits a pixel, instead of the colour
// values: a sixth of the data before compression, and runs of one colour compress far better.
std::string palette_pdf() {
  std::string hex = "<";
  for (size_t indice = 0; indice <= couleurs_imprimables.size(); ++indice) {
    const canaux c = canaux_indice(static_cast<uint8_t>(indice));
    char octets[8];
    std::snprintf(octets, sizeof octets, "%02X%02X%02X", c.rouge, c.vert, c.bleu);
    hex += octets;
  }
  return hex + ">";
}

// A length in points, in plain decimal (PDF has no exponents).
std::string en_points(double valeur) {
  char texte[64];
  const auto fin = std::to_chars(texte, texte + sizeof texte, valeur, std::chars_format::fixed).ptr;
  return std::string(texte, fin);
}

struct bande {
  std::vector<uint8_t> octets;
  bool encre = false;
  // Its bytes change at every third or more: noise, where runs are all there is to find.
  bool bruit = false;
};

// Rows `haut` … `haut + lignes - 1` of the columns of `cadre`, two pixels a byte, each row
// starting on a byte: the grid's own bytes, since `cadre` starts on an even column.
void remplit_bande(const grille_points& grille, const cadre_points& cadre, int32_t haut, int32_t lignes, bande& b) {
  const size_t par_ligne = (static_cast<size_t>(cadre.largeur()) + 1) / 2;
  b.octets.resize(par_ligne * static_cast<size_t>(lignes));
  uint8_t* cible = b.octets.data();
  for (int32_t y = 0; y < lignes; ++y, cible += par_ligne)
    std::memcpy(cible, grille.paires(haut + y).data() + cadre.x0 / 2, par_ligne);
  uint8_t encre = 0, precedent = 0;
  size_t ruptures = 0;
  for (const uint8_t paire : b.octets) {
    encre |= paire;
    ruptures += paire != precedent;
    precedent = paire;
  }
  b.encre = encre != 0;
  b.bruit = ruptures * 3 > b.octets.size();
}

// A band as it goes into the file: empty when it has no ink.
struct bande_comprimee {
  int32_t haut, lignes;
  QByteArray donnees;
};

}  // namespace

QByteArray page_pdf(const grille_points& grille, const format_page& format) {
  const QSizeF taille_points = points_page(format);
  // Points per device pixel, across and down: at 1200 × 600 dpi a dot is twice as tall as wide.
  const double echelle_x = 72.0 / format.resolution_x, echelle_y = 72.0 / format.resolution_y;

  fichier_pdf pdf;
  const int32_t catalogue = pdf.reserve(), pages = pdf.reserve(), page = pdf.reserve(), contenu = pdf.reserve();
  std::string dessin, images;
  if (!grille.vide()) {
    // From an even column, so that the images' bytes are the grid's: the column added on the left
    // is white paper, outside every dot.
    cadre_points cadre = grille.cadre();
    cadre.x0 &= ~1;
    const std::string dictionnaire_image = "/Type /XObject /Subtype /Image /Width " + std::to_string(cadre.largeur()) +
                                           " /ColorSpace [/Indexed /DeviceRGB 7 " + palette_pdf() +
                                           "] /BitsPerComponent 4 /Height ";
    // Bands are compressed apart from one another, on two threads, each taking the next band no
    // one has taken; they go into the file in their order afterwards.
    std::vector<bande_comprimee> bandes;
    for (int32_t haut = cadre.y0; haut < cadre.y1; haut += lignes_par_bande)
      bandes.push_back({haut, std::min(lignes_par_bande, cadre.y1 - haut), {}});
    std::atomic<size_t> suivante{0};
    const auto comprime_bandes = [&] {
      bande b;
      for (size_t i; (i = suivante++) < bandes.size();) {
        remplit_bande(grille, cadre, bandes[i].haut, bandes[i].lignes, b);
        if (b.encre)
          bandes[i].donnees =
              comprime(b.octets.data(), b.octets.size(), b.bruit ? compression::stockee : compression::plages);
      }
    };
    {
      // Waits for the second thread however the first ends, and hands on what it threw.
      std::future<void> autre = std::async(std::launch::async, comprime_bandes);
      comprime_bandes();
      autre.get();
    }
    // Each image's data, its dictionary and its place in the page's drawing.
    constexpr qsizetype par_image = 1024;
    qsizetype taille = 0;
    for (const bande_comprimee& bc : bandes) taille += bc.donnees.size() + par_image;
    pdf.prevoit(taille);
    for (bande_comprimee& bc : bandes) {
      if (bc.donnees.isEmpty()) continue;  // white paper already
      const int32_t image = pdf.reserve();
      pdf.ecrit_flux_comprime(image, dictionnaire_image + std::to_string(bc.lignes), bc.donnees);
      bc.donnees = QByteArray();
      const std::string nom = "/B" + std::to_string(image);
      images += nom + " " + std::to_string(image) + " 0 R ";
      // The image's first row lies at the top of the unit square; PDF's y axis points up.
      const double largeur = cadre.largeur() - retrait, hauteur = bc.lignes - retrait;
      const double gauche = cadre.x0 + retrait / 2, bas = bc.haut + retrait / 2 + hauteur;
      dessin += "q " + en_points(largeur * echelle_x) + " 0 0 " + en_points(hauteur * echelle_y) + " " +
                en_points(gauche * echelle_x) + " " + en_points(taille_points.height() - bas * echelle_y) + " cm " +
                nom + " Do Q\n";
    }
  }
  pdf.ecrit_flux_comprime(contenu, "", comprime(reinterpret_cast<const uint8_t*>(dessin.data()), dessin.size()));
  pdf.ecrit_objet(page, "<< /Type /Page /Parent " + std::to_string(pages) + " 0 R /MediaBox [0 0 " +
                            en_points(taille_points.width()) + " " + en_points(taille_points.height()) +
                            "] /Resources << /XObject << " + images + ">> >> /Contents " + std::to_string(contenu) +
                            " 0 R >>");
  pdf.ecrit_objet(pages, "<< /Type /Pages /Kids [" + std::to_string(page) + " 0 R] /Count 1 >>");
  pdf.ecrit_objet(catalogue, "<< /Type /Catalog /Pages " + std::to_string(pages) + " 0 R >>");
  return pdf.termine(catalogue);
}

}  // namespace agent
