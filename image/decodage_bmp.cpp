#include "image/decodage_bmp.h"

#include <sys/uio.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/erreur.h"
#include "image/entete_bmp.h"
#include "image/image_grande.h"

namespace agent {

namespace {

[[noreturn]] void refuse(const std::string& chemin, const std::string& quoi) {
  throw erreur(code_erreur::image_incorrecte, chemin + " : " + quoi);
}

QImage image_vide(const entete_bmp& e, QImage::Format format) {
  return image_grande(static_cast<int>(e.largeur), static_cast<int>(std::abs(e.hauteur)), format);
}

QImage image_vide(const entete_bmp& e) {
  return image_vide(e, e.masques[3] ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

// Blue, green and red bytes, 8 bits each, as the picture keeps them (BGR888): the rows are read
// from the file straight into the picture, the file's padding included, since both start every
// row on 4 bytes.
bool octets_tels_quels(const entete_bmp& e) {
  return e.bits == 24 && e.masques == std::array<uint32_t, 4>{0xFF0000, 0xFF00, 0xFF, 0};
}

QImage lit_octets_tels_quels(QFileDevice& fichier, const entete_bmp& e, const std::string& chemin) {
  QImage image = image_vide(e, QImage::Format_BGR888);
  const int64_t hauteur = std::abs(e.hauteur);
  const qint64 octets_par_ligne = image.bytesPerLine();
  const auto ligne_de_rang = [&](int64_t rang) {
    const int64_t y = e.hauteur < 0 ? rang : hauteur - 1 - rang;
    return reinterpret_cast<char*>(image.scanLine(static_cast<int>(y)));
  };
  const int descripteur = fichier.handle();
  // The rows go straight from the system into the picture's rows, bottom-up or not, a thousand to
  // a call, without passing through the device's buffer.
  std::vector<iovec> lignes;
  off_t position = static_cast<off_t>(e.debut_donnees());
  for (int64_t rang = 0; rang < hauteur;) {
    lignes.clear();
    for (; rang < hauteur && lignes.size() < IOV_MAX; ++rang)
      lignes.push_back({ligne_de_rang(rang), static_cast<size_t>(octets_par_ligne)});
    size_t premiere = 0;
    while (premiere < lignes.size()) {
      const ssize_t lus =
          ::preadv(descripteur, lignes.data() + premiere, static_cast<int>(lignes.size() - premiere), position);
      if (lus < 0 && errno == EINTR) continue;
      // The file may have shrunk since it was measured.
      if (lus <= 0) refuse(chemin, "données tronquées");
      position += lus;
      // Past the rows read whole; a row read in part goes on from where it stopped.
      for (auto reste = static_cast<size_t>(lus); reste > 0;) {
        iovec& ligne = lignes[premiere];
        const size_t pris = std::min(reste, ligne.iov_len);
        ligne.iov_base = static_cast<char*>(ligne.iov_base) + pris;
        ligne.iov_len -= pris;
        reste -= pris;
        if (ligne.iov_len == 0) ++premiere;
      }
    }
  }
  return image;
}

// A channel of n bits widened to 0–255 as v·255/(2ⁿ−1), to the nearest (2ⁿ−1 is odd: never a
// tie), so that a channel's maximum is full intensity whatever its width. A channel the pixels
// lack reads 0.
class canal {
public:
  explicit canal(uint32_t masque)
      : masque_(masque), decalage_(masque ? std::countr_zero(masque) : 0), maximum_(masque >> decalage_) {
    if (maximum_ <= 0xFFFF)
      for (uint32_t v = 0; v <= maximum_; ++v) table_.push_back(etend(v));
  }
  uint8_t operator()(uint32_t pixel) const {
    const uint32_t v = (pixel & masque_) >> decalage_;
    return maximum_ <= 0xFFFF ? table_[v] : etend(v);
  }

private:
  uint8_t etend(uint64_t v) const { return maximum_ ? static_cast<uint8_t>((v * 255 + maximum_ / 2) / maximum_) : 0; }

  uint32_t masque_;
  int decalage_;
  uint32_t maximum_;
  std::vector<uint8_t> table_;
};

// The entries the file holds; an index past them has no colour, and guessing one prints wrongly.
class palette {
public:
  palette(QIODevice& fichier, const entete_bmp& e, const std::string& chemin) : chemin_(chemin) {
    const int taille = e.taille_entree_palette();
    fichier.seek(e.fin_entetes());
    const QByteArray octets = fichier.read(e.entrees_palette() * taille);
    for (qsizetype i = 0; i + taille <= octets.size(); i += taille, ++entrees_) {
      const auto octet = [&](int n) { return static_cast<uint8_t>(octets[i + n]); };
      couleurs_[entrees_] = qRgb(octet(2), octet(1), octet(0));
    }
  }
  uint32_t entrees() const { return entrees_; }
  // Any index of 8 bits; one past the palette reads as black until `verifie` refuses it.
  QRgb operator[](uint32_t indice) const { return couleurs_[indice]; }
  void verifie(uint32_t indice, int64_t x, int64_t y) const {
    if (indice < entrees_) return;
    refuse(chemin_, "indice de palette " + std::to_string(indice) + " au-delà des " + std::to_string(entrees_) +
                        " couleurs de la palette (pixel " + std::to_string(x) + ", " + std::to_string(y) + ")");
  }

private:
  const std::string& chemin_;
  std::array<QRgb, 256> couleurs_{};
  uint32_t entrees_ = 0;
};

QImage decode_lignes(QIODevice& fichier, const entete_bmp& e, const std::string& chemin) {
  QImage image = image_vide(e);
  const palette couleurs(fichier, e, chemin);
  const std::array<canal, 4> canaux = {canal(e.masques[0]), canal(e.masques[1]), canal(e.masques[2]),
                                       canal(e.masques[3])};
  const bool alpha = e.masques[3] != 0;
  const int64_t largeur = e.largeur, hauteur = std::abs(e.hauteur);
  const int64_t octets_par_ligne = (largeur * e.bits + 31) / 32 * 4;
  const int octets_par_pixel = static_cast<int>(e.bits / 8);
  QByteArray ligne(octets_par_ligne, Qt::Uninitialized);
  fichier.seek(e.debut_donnees());
  for (int64_t rang = 0; rang < hauteur; ++rang) {
    // The file may have shrunk since it was measured.
    if (fichier.read(ligne.data(), octets_par_ligne) != octets_par_ligne) refuse(chemin, "données tronquées");
    const int64_t y = e.hauteur < 0 ? rang : hauteur - 1 - rang;
    const auto* octets = reinterpret_cast<const uint8_t*>(ligne.constData());
    QRgb* sortie = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
    if (e.bits <= 8) {
      const auto indice = [&](int64_t x) {
        const int64_t bit = x * e.bits;
        return (octets[bit / 8] >> (8 - e.bits - bit % 8)) & ((1u << e.bits) - 1);
      };
      uint32_t plus_grand = 0;
      for (int64_t x = 0; x < largeur; ++x) {
        plus_grand = std::max(plus_grand, indice(x));
        sortie[x] = couleurs[indice(x)];
      }
      // Checked once a row, off the per-pixel path; the row is walked again only to name the pixel.
      if (plus_grand >= couleurs.entrees())
        for (int64_t x = 0; x < largeur; ++x) couleurs.verifie(indice(x), x, y);
    } else {
      for (int64_t x = 0; x < largeur; ++x) {
        const uint8_t* o = octets + x * octets_par_pixel;
        const uint32_t p = o[0] | o[1] << 8 | (octets_par_pixel > 2 ? o[2] << 16 : 0) |
                           (octets_par_pixel > 3 ? static_cast<uint32_t>(o[3]) << 24 : 0);
        sortie[x] = qRgba(canaux[0](p), canaux[1](p), canaux[2](p), alpha ? canaux[3](p) : 255);
      }
    }
  }
  return image;
}

// Follows the run-length data the way the format defines it, rows bottom-up. Only data that sets
// each pixel exactly once, row after row, may print: a jump, a row or picture ended early or data
// cut short leaves pixels with no value, and decoders disagree on a run that crosses the end of
// its row.
QImage decode_rle(QIODevice& fichier, const entete_bmp& e, const std::string& chemin) {
  QImage image = image_vide(e);
  const palette couleurs(fichier, e, chemin);
  fichier.seek(e.debut_donnees());
  const QByteArray contenu = fichier.readAll();
  const auto* octets = reinterpret_cast<const uint8_t*>(contenu.constData());
  const int64_t fin = contenu.size();
  const int64_t largeur = e.largeur, hauteur = e.hauteur;
  const bool quatre_bits = e.compression == 2;
  const auto non_definis = [&] { refuse(chemin, "données RLE incomplètes : pixels non définis"); };

  int64_t x = 0, y = 0, position = 0;
  // `pixels` values, the i-th from `valeur(i)`.
  const auto pose = [&](int64_t pixels, auto valeur) {
    if (x + pixels > largeur) refuse(chemin, "données RLE incorrectes : série au-delà de la ligne");
    QRgb* ligne = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(hauteur - 1 - y)));
    for (int64_t i = 0; i < pixels; ++i, ++x) {
      couleurs.verifie(valeur(i), x, hauteur - 1 - y);
      ligne[x] = couleurs[valeur(i)];
    }
  };
  while (y < hauteur) {
    if (position + 2 > fin) non_definis();
    const uint8_t compte = octets[position], code = octets[position + 1];
    position += 2;
    if (compte > 0) {  // `compte` pixels of one value, or of two alternating ones in 4 bits
      pose(compte, [&](int64_t i) { return quatre_bits ? (i % 2 ? code & 0xF : code >> 4) : code; });
      continue;
    }
    switch (code) {
      case 0:  // end of the row
        if (x < largeur) non_definis();
        x = 0;
        ++y;
        break;
      case 1:  // end of the picture
        if (y < hauteur - 1 || x < largeur) non_definis();
        y = hauteur;
        break;
      case 2:  // a jump: the pixels passed over are left unset
        non_definis();
        break;
      default: {  // `code` values as they are, padded to an even number of bytes
        int64_t valeurs = quatre_bits ? (code + 1) / 2 : code;
        if (position + valeurs > fin) non_definis();
        const uint8_t* donnees = octets + position;
        pose(code, [&](int64_t i) { return quatre_bits ? (donnees[i / 2] >> (i % 2 ? 0 : 4)) & 0xF : donnees[i]; });
        position += valeurs + valeurs % 2;
      }
    }
  }
  return image;
}

}  // namespace

QImage decode_bmp(QFileDevice& fichier, const std::string& chemin) {
  const entete_bmp entete = lit_entete_bmp(fichier, chemin);
  if (entete.compression == 1 || entete.compression == 2) return decode_rle(fichier, entete, chemin);
  if (octets_tels_quels(entete)) return lit_octets_tels_quels(fichier, entete, chemin);
  return decode_lignes(fichier, entete, chemin);
}

}  // namespace agent
