#include "app/entete_bmp.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "core/erreur.h"

namespace agent {

namespace {

uint32_t lit_le(const QByteArray& octets, int position, int taille) {
  uint32_t valeur = 0;
  for (int i = taille - 1; i >= 0; --i) valeur = (valeur << 8) | static_cast<uint8_t>(octets[position + i]);
  return valeur;
}

}  // namespace

int64_t entete_bmp::debut_donnees() const {
  // The decoder never takes more than 256 palette entries; it refuses the picture beyond that.
  const int64_t entrees = bits > 8 ? 0 : std::min<int64_t>(couleurs ? couleurs : int64_t{1} << bits, 256);
  const int64_t palette = entrees * (taille_entete == 12 ? 3 : 4);
  const int64_t masques_a_part = taille_entete == 40 && (compression == 3 || compression == 6) ? 12 : 0;
  return std::max(debut_pixels, 14 + int64_t{taille_entete} + masques_a_part + palette);
}

int64_t entete_bmp::taille_attendue() const {
  if (compression == 1 || compression == 2) return debut_donnees() + taille_donnees;  // run-length
  const int64_t octets_par_ligne = (std::abs(largeur) * bits + 31) / 32 * 4;
  return debut_donnees() + octets_par_ligne * std::abs(hauteur);
}

entete_bmp lit_entete_bmp(QIODevice& fichier, const std::string& chemin) {
  const qint64 position = fichier.pos();
  fichier.seek(0);
  const QByteArray octets = fichier.read(70);
  fichier.seek(position);
  auto incomplet = [&] { return erreur(code_erreur::image_incorrecte, chemin + " : en-tête de bitmap incomplet"); };
  if (octets.size() < 26) throw incomplet();

  entete_bmp e;
  e.debut_pixels = lit_le(octets, 10, 4);
  e.taille_entete = lit_le(octets, 14, 4);
  if (e.taille_entete == 12) {  // the oldest header: 16-bit sizes, palette only
    e.largeur = static_cast<int16_t>(lit_le(octets, 18, 2));
    e.hauteur = static_cast<int16_t>(lit_le(octets, 20, 2));
    e.bits = lit_le(octets, 24, 2);
    return e;
  }
  if (octets.size() < 54) throw incomplet();
  e.largeur = static_cast<int32_t>(lit_le(octets, 18, 4));
  e.hauteur = static_cast<int32_t>(lit_le(octets, 22, 4));
  e.bits = lit_le(octets, 28, 2);
  e.compression = lit_le(octets, 30, 4);
  e.taille_donnees = lit_le(octets, 34, 4);
  e.couleurs = lit_le(octets, 46, 4);
  if (e.compression == 3 || e.compression == 6) {
    // The masks follow a 40-byte header, or sit inside a longer one at the same place.
    if (octets.size() < 66) throw incomplet();
    for (int i = 0; i < 3; ++i) e.masques[i] = lit_le(octets, 54 + 4 * i, 4);
  } else if (e.bits == 16) {
    e.masques = {0x7C00, 0x03E0, 0x001F};
  }
  return e;
}

void etend_canaux(QImage& image, const entete_bmp& entete) {
  if (entete.bits != 16) return;
  std::array<std::array<uint8_t, 256>, 3> tables;
  for (int canal = 0; canal < 3; ++canal) {
    const uint32_t masque = entete.masques[canal];
    const uint32_t maximum = masque ? masque >> std::countr_zero(masque) : 0;
    for (int v = 0; v < 256; ++v) {
      if (maximum == 0 || maximum > 255) {
        tables[canal][v] = static_cast<uint8_t>(v);
        continue;
      }
      const uint32_t pas = 256 / (maximum + 1);  // what Qt multiplied the stored value by
      const uint32_t stocke = v / pas;
      tables[canal][v] = static_cast<uint8_t>((stocke * 255 + maximum / 2) / maximum);
    }
  }
  for (int y = 0; y < image.height(); ++y) {
    QRgb* ligne = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = ligne[x];
      ligne[x] = qRgba(tables[0][qRed(p)], tables[1][qGreen(p)], tables[2][qBlue(p)], qAlpha(p));
    }
  }
}

}  // namespace agent
