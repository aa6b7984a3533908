#include "bench/entrees.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <array>
#include <cstdint>
#include <random>

#include "app/couleurs_qt.h"

namespace agent::banc {

namespace {

// Colours one step away from a printable one, which must stay blank.
constexpr std::array<uint32_t, 8> voisines = {0x010101, 0xFD0000, 0xFF0001, 0x00FE00,
                                              0x00FF02, 0x0000FD, 0x0100FE, 0x000001};

// std::mt19937 gives the same sequence everywhere; the standard distributions do not.
class tirage {
public:
  explicit tirage(uint32_t graine) : generateur_(graine) {}
  uint32_t entier(uint32_t borne) { return static_cast<uint32_t>(generateur_() % borne); }
  int entre(int bas, int haut) { return bas + static_cast<int>(entier(static_cast<uint32_t>(haut - bas + 1))); }

private:
  std::mt19937 generateur_;
};

// One shape in nine is drawn in a near-miss colour: it shows on the preview, not on paper.
QColor couleur_de_masque(tirage& t) {
  if (t.entier(9) == 0) return QColor::fromRgb(qrgb_de(voisines[t.entier(voisines.size())]));
  return QColor::fromRgb(qrgb_de(couleurs_imprimables[t.entier(couleurs_imprimables.size())]));
}

// Filled rectangles, discs and polygons, outlined frames and lines of one to a few pixels, and
// runs of text-like ticks, scattered over white. Their count and size follow the picture's area
// so that every size holds the same mix.
QImage masque(QSize taille) {
  QImage image(taille, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter peintre(&image);
  peintre.setRenderHint(QPainter::Antialiasing, false);  // exact colours, no blended edges
  tirage t(20240607);
  const int w = taille.width(), h = taille.height();
  const int unite = std::max(4, std::min(w, h) / 40);
  const int64_t formes = std::max<int64_t>(8, int64_t{w} * h / (unite * unite * 2));
  for (int64_t i = 0; i < formes; ++i) {
    const QColor couleur = couleur_de_masque(t);
    const int x = t.entre(0, w - 1), y = t.entre(0, h - 1);
    const int a = t.entre(unite / 4, unite * 2), b = t.entre(unite / 4, unite * 2);
    peintre.setPen(Qt::NoPen);
    peintre.setBrush(couleur);
    switch (t.entier(6)) {
      case 0: peintre.drawRect(x, y, a, b); break;
      case 1: peintre.drawEllipse(QPoint(x, y), a / 2, b / 2); break;
      case 2: {
        QPolygon polygone;
        for (int k = 0; k < 5; ++k) polygone << QPoint(x + t.entre(-a, a), y + t.entre(-b, b));
        peintre.drawPolygon(polygone);
        break;
      }
      case 3: {
        peintre.setBrush(Qt::NoBrush);
        peintre.setPen(QPen(couleur, t.entre(1, 3)));
        peintre.drawRect(x, y, a * 2, b * 2);
        break;
      }
      case 4: {
        peintre.setPen(QPen(couleur, t.entre(1, 4)));
        peintre.drawLine(x, y, x + t.entre(-unite * 6, unite * 6), y + t.entre(-unite * 6, unite * 6));
        break;
      }
      default: {
        // A row of short ticks, as lettering or a scale looks on a mask.
        peintre.setPen(QPen(couleur, 1));
        for (int k = 0; k < a; k += 3) peintre.drawLine(x + k, y, x + k, y + t.entre(2, unite / 2 + 2));
        break;
      }
    }
  }
  return image;
}

QImage aleatoire(QSize taille) {
  QImage image(taille, QImage::Format_RGB32);
  std::array<QRgb, couleurs_imprimables.size() + voisines.size() + 1> choix;
  size_t n = 0;
  for (uint32_t c : couleurs_imprimables) choix[n++] = qrgb_de(c);
  for (uint32_t c : voisines) choix[n++] = qrgb_de(c);
  choix[n] = qRgb(255, 255, 255);
  tirage t(19937);
  for (int y = 0; y < image.height(); ++y) {
    auto* ligne = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) ligne[x] = choix[t.entier(choix.size())];
  }
  return image;
}

}  // namespace

std::string nom_entree(sorte_entree sorte) {
  switch (sorte) {
    case sorte_entree::masque: return "masque";
    case sorte_entree::noir: return "noir";
    case sorte_entree::aleatoire: return "aleatoire";
  }
  return "?";
}

QImage genere_entree(sorte_entree sorte, QSize taille) {
  switch (sorte) {
    case sorte_entree::masque: return masque(taille);
    case sorte_entree::noir: {
      QImage image(taille, QImage::Format_RGB32);
      image.fill(Qt::black);
      return image;
    }
    case sorte_entree::aleatoire: return aleatoire(taille);
  }
  return {};
}

}  // namespace agent::banc
