#include "tests/support/bmp_essai.h"

#include <QBuffer>
#include <QHash>
#include <QVector>
#include <bit>
#include <fstream>
#include <stdexcept>

namespace agent::essai {

namespace {

void ajoute_le(QByteArray& octets, uint32_t valeur, int taille) {
  for (int i = 0; i < taille; ++i) octets.append(static_cast<char>((valeur >> (8 * i)) & 0xFF));
}

}  // namespace

QByteArray ecrit_bmp(const QImage& image, int bits, bool haut_en_bas, bool alpha) {
  disposition_bmp disposition{.haut_en_bas = haut_en_bas, .taille_entete = 108};
  if (alpha && bits == 32) disposition.masques = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u};
  return ecrit_bmp(image, bits, disposition);
}

QByteArray ecrit_bmp(const QImage& image, int bits, const disposition_bmp& disposition) {
  const bool haut_en_bas = disposition.haut_en_bas;
  const QImage source = image.convertToFormat(QImage::Format_ARGB32);
  const int largeur = source.width(), hauteur = source.height();

  QVector<QRgb> palette;
  QHash<QRgb, int> index;
  if (bits <= 8) {
    for (int y = 0; y < hauteur; ++y)
      for (int x = 0; x < largeur; ++x) {
        const QRgb c = source.pixel(x, y) | 0xFF000000;
        if (!index.contains(c)) {
          index.insert(c, static_cast<int>(palette.size()));
          palette.append(c);
        }
      }
    if (palette.size() > (1 << bits)) throw std::invalid_argument("trop de couleurs pour la palette");
    palette.resize(disposition.entrees_palette ? disposition.entrees_palette : 1 << bits);
  }

  const int octets_par_ligne = (largeur * bits + 31) / 32 * 4;
  const auto& masques = disposition.masques;
  const bool champs_de_bits = masques != std::array<uint32_t, 4>{};
  const uint32_t taille_entete = champs_de_bits ? disposition.taille_entete : 40;
  const uint32_t masques_a_part = champs_de_bits && taille_entete == 40 ? (disposition.compression == 6 ? 16 : 12) : 0;
  const uint32_t debut = 14 + taille_entete + masques_a_part + static_cast<uint32_t>(palette.size()) * 4;
  const uint32_t taille_donnees = static_cast<uint32_t>(octets_par_ligne * hauteur);

  QByteArray octets("BM");
  ajoute_le(octets, debut + taille_donnees, 4);
  ajoute_le(octets, 0, 4);
  ajoute_le(octets, debut, 4);
  ajoute_le(octets, taille_entete, 4);
  ajoute_le(octets, static_cast<uint32_t>(largeur), 4);
  ajoute_le(octets, static_cast<uint32_t>(haut_en_bas ? -hauteur : hauteur), 4);
  ajoute_le(octets, 1, 2);
  ajoute_le(octets, static_cast<uint32_t>(bits), 2);
  ajoute_le(octets, champs_de_bits ? disposition.compression : 0, 4);
  ajoute_le(octets, taille_donnees, 4);
  ajoute_le(octets, 2835, 4);
  ajoute_le(octets, 2835, 4);
  const int annoncees = disposition.couleurs_annoncees;
  ajoute_le(octets, static_cast<uint32_t>(annoncees >= 0 ? annoncees : palette.size()), 4);
  ajoute_le(octets, 0, 4);
  if (champs_de_bits) {
    for (int i = 0; i < (masques_a_part == 12 ? 3 : 4); ++i) ajoute_le(octets, masques[i], 4);
    if (taille_entete > 40) {
      ajoute_le(octets, 0x73524742, 4);  // 'sRGB'
      octets.append(QByteArray(taille_entete - 40 - 20, '\0'));
    }
  }
  for (QRgb c : palette) ajoute_le(octets, c & 0x00FFFFFF, 4);

  for (int rang = 0; rang < hauteur; ++rang) {
    const int y = haut_en_bas ? rang : hauteur - 1 - rang;
    QByteArray ligne(octets_par_ligne, '\0');
    for (int x = 0; x < largeur; ++x) {
      const QRgb c = source.pixel(x, y);
      if (bits <= 8) {
        const int i = index.value(c | 0xFF000000);
        const int bit = x * bits;
        ligne[bit / 8] = static_cast<char>(ligne[bit / 8] | (i << (8 - bits - bit % 8)));
      } else if (champs_de_bits) {
        uint32_t v = 0;
        const int canaux[] = {qRed(c), qGreen(c), qBlue(c), qAlpha(c)};
        for (int k = 0; k < 4; ++k) {
          if (!masques[k]) continue;
          const uint64_t niveaux = masques[k] >> std::countr_zero(masques[k]);
          v |= static_cast<uint32_t>((canaux[k] * niveaux + 127) / 255) << std::countr_zero(masques[k]);
        }
        for (int i = 0; i < bits / 8; ++i) ligne[x * bits / 8 + i] = static_cast<char>(v >> (8 * i));
      } else if (bits == 16) {
        const uint32_t v = ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3);
        ligne[x * 2] = static_cast<char>(v & 0xFF);
        ligne[x * 2 + 1] = static_cast<char>(v >> 8);
      } else {
        const int n = bits / 8;
        ligne[x * n] = static_cast<char>(qBlue(c));
        ligne[x * n + 1] = static_cast<char>(qGreen(c));
        ligne[x * n + 2] = static_cast<char>(qRed(c));
        if (n == 4) ligne[x * n + 3] = 0;
      }
    }
    octets.append(ligne);
  }
  return octets;
}

QByteArray encode_avec_qt(const QImage& image, const char* format) {
  QByteArray octets;
  QBuffer tampon(&octets);
  tampon.open(QIODevice::WriteOnly);
  if (!image.save(&tampon, format)) throw std::runtime_error(std::string("encodage impossible : ") + format);
  return octets;
}

void ecrit_fichier(const std::string& chemin, const QByteArray& octets) {
  // The path's very bytes: a name that is not UTF-8 must reach the disk as it is.
  std::ofstream fichier(chemin, std::ios::binary | std::ios::trunc);
  fichier.write(octets.constData(), octets.size());
  if (!fichier.flush()) throw std::runtime_error("écriture impossible : " + chemin);
}

}  // namespace agent::essai
