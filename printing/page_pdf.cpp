#include "printing/page_pdf.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <array>
#include <cmath>

#include "core/erreur.h"
#include "printing/couleurs.h"

namespace agent {

namespace {

// Rows per image. The grid is drawn as a stack of bands so that rendering a whole page never
// needs the page again as 32-bit colour (and again inside the PDF engine).
constexpr int32_t lignes_par_bande = 256;

// Rasterisers disagree about an image whose edges fall exactly on pixel boundaries (some paint
// one more row and column). Pulling each edge in by half of this keeps every edge strictly
// inside the pixel it belongs to, and every renderer then fills exactly the covered pixels.
constexpr double retrait = 1.0 / 16;

std::array<QRgb, 8> palette() {
  std::array<QRgb, 8> p;
  p[0] = qRgb(255, 255, 255);
  for (uint8_t i = 1; i < p.size(); ++i) {
    const uint32_t c = couleur_indice(i);
    p[i] = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  }
  return p;
}

}  // namespace

QSize pixels_page(const format_page& format) {
  const QSize points = format.taille.sizePoints();
  const auto pixels = [&](int longueur) {
    return static_cast<int>(std::floor(longueur * static_cast<double>(format.resolution) / 72.0));
  };
  return {pixels(points.width()), pixels(points.height())};
}

QByteArray page_pdf(const grille_points& grille, const format_page& format) {
  QBuffer tampon;
  tampon.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&tampon);
    pdf.setResolution(format.resolution);
    pdf.setPageLayout(QPageLayout(format.taille, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter peintre;
    if (!peintre.begin(&pdf)) throw erreur(code_erreur::erreur_imprimante, "la page PDF ne peut pas être produite");
    // Without this hint the PDF engine stores colour images as JPEG, which shifts the colours.
    peintre.setRenderHint(QPainter::LosslessImageRendering);

    if (!grille.vide()) {
      const cadre_points cadre = grille.cadre();
      const auto couleurs = palette();
      for (int32_t haut = cadre.y0; haut < cadre.y1; haut += lignes_par_bande) {
        const int32_t lignes = std::min(lignes_par_bande, cadre.y1 - haut);
        QImage bande(cadre.largeur(), lignes, QImage::Format_RGB32);
        if (bande.isNull()) throw erreur(code_erreur::memoire_insuffisante);
        bool encre = false;
        for (int32_t y = 0; y < lignes; ++y) {
          const auto source = grille.ligne(haut + y).subspan(static_cast<size_t>(cadre.x0),
                                                             static_cast<size_t>(cadre.largeur()));
          auto* cible = reinterpret_cast<QRgb*>(bande.scanLine(y));
          for (uint8_t indice : source) {
            *cible++ = couleurs[indice];
            encre |= indice != 0;
          }
        }
        if (!encre) continue;  // white paper already
        peintre.drawImage(QRectF(cadre.x0 + retrait / 2, haut + retrait / 2, cadre.largeur() - retrait,
                                 lignes - retrait),
                          bande);
      }
    }
    if (!peintre.end()) throw erreur(code_erreur::erreur_imprimante, "la page PDF ne peut pas être produite");
  }
  return tampon.buffer();
}

}  // namespace agent
