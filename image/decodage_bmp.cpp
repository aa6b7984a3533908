#include "image/decodage_bmp.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "core/erreur.h"

namespace agent {

namespace {

[[noreturn]] void refuse(const std::string& chemin, const std::string& quoi) {
  throw erreur(code_erreur::image_incorrecte, chemin + " : " + quoi);
}

image_pixels image_vide(const entete_bmp& e, format_pixels format) {
  return {static_cast<int32_t>(e.largeur), static_cast<int32_t>(std::abs(e.hauteur)), format};
}

image_pixels image_vide(const entete_bmp& e) {
  return image_vide(e, e.masques[3] ? format_pixels::argb32 : format_pixels::rvb32);
}

constexpr uint32_t argb(uint32_t rouge, uint32_t vert, uint32_t bleu, uint32_t alpha = 255) {
  return alpha << 24 | rouge << 16 | vert << 8 | bleu;
}

uint32_t* ligne_32(image_pixels& image, int64_t y) {
  return reinterpret_cast<uint32_t*>(image.ligne(static_cast<int32_t>(y)));
}

// A thousand rows a read: a few calls to the system for the largest page.
constexpr size_t lignes_par_lecture = 1024;

// Blue, green and red bytes, 8 bits each, as the picture keeps them (BGR888): the rows are read
// from the file straight into the picture, the file's padding included, since both start every
// row on 4 bytes.
bool octets_tels_quels(const entete_bmp& e) {
  return e.bits == 24 && e.masques == std::array<uint32_t, 4>{0xFF0000, 0xFF00, 0xFF, 0};
}

image_pixels lit_octets_tels_quels(const fichier_image& fichier, const entete_bmp& e, const std::string& chemin) {
  image_pixels image = image_vide(e, format_pixels::bvr24);
  const int64_t hauteur = std::abs(e.hauteur);
  const size_t octets_par_ligne = image.octets_par_ligne();
  // The rows go straight from the system into the picture's rows, bottom-up or not, without
  // passing through a buffer.
  std::vector<std::span<uint8_t>> lignes;
  lignes.reserve(lignes_par_lecture);
  int64_t position = e.debut_donnees();
  for (int64_t rang = 0; rang < hauteur;) {
    lignes.clear();
    for (; rang < hauteur && lignes.size() < lignes_par_lecture; ++rang) {
      const int64_t y = e.hauteur < 0 ? rang : hauteur - 1 - rang;
      lignes.emplace_back(image.ligne(static_cast<int32_t>(y)), octets_par_ligne);
    }
    // The file may have shrunk since it was measured.
    if (!fichier.lit_zones(position, lignes)) refuse(chemin, "données tronquées");
    position += static_cast<int64_t>(lignes.size() * octets_par_ligne);
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
  palette(const fichier_image& fichier, const entete_bmp& e, const std::string& chemin) : chemin_(chemin) {
    const auto taille = static_cast<size_t>(e.taille_entree_palette());
    std::vector<uint8_t> octets(static_cast<size_t>(e.entrees_palette()) * taille);
    octets.resize(fichier.lit(e.fin_entetes(), octets));
    for (size_t i = 0; i + taille <= octets.size(); i += taille, ++entrees_)
      couleurs_[entrees_] = argb(octets[i + 2], octets[i + 1], octets[i]);
  }
  uint32_t entrees() const { return entrees_; }
  // Any index of 8 bits; one past the palette reads as black until `verifie` refuses it.
  uint32_t operator[](uint32_t indice) const { return couleurs_[indice]; }
  void verifie(uint32_t indice, int64_t x, int64_t y) const {
    if (indice < entrees_) return;
    refuse(chemin_, "indice de palette " + std::to_string(indice) + " au-delà des " + std::to_string(entrees_) +
                        " couleurs de la palette (pixel " + std::to_string(x) + ", " + std::to_string(y) + ")");
  }

private:
  const std::string& chemin_;
  std::array<uint32_t, 256> couleurs_{};
  uint32_t entrees_ = 0;
};

image_pixels decode_lignes(const fichier_image& fichier, const entete_bmp& e, const std::string& chemin) {
  image_pixels image = image_vide(e);
  const palette couleurs(fichier, e, chemin);
  const std::array<canal, 4> canaux = {canal(e.masques[0]), canal(e.masques[1]), canal(e.masques[2]),
                                       canal(e.masques[3])};
  const bool alpha = e.masques[3] != 0;
  const int64_t largeur = e.largeur, hauteur = std::abs(e.hauteur);
  const auto octets_par_ligne = static_cast<size_t>((largeur * e.bits + 31) / 32 * 4);
  const int octets_par_pixel = static_cast<int>(e.bits / 8);
  // Many rows a read, as many as fit in a quarter of a megabyte.
  const size_t lignes_par_bloc = std::max<size_t>(1, (size_t{1} << 18) / octets_par_ligne);
  std::vector<uint8_t> bloc(std::min(lignes_par_bloc, static_cast<size_t>(hauteur)) * octets_par_ligne);
  int64_t position = e.debut_donnees();
  for (int64_t rang = 0; rang < hauteur; ++rang) {
    const auto dans_bloc = static_cast<size_t>(rang) % lignes_par_bloc;
    if (dans_bloc == 0) {
      const size_t lignes = std::min(lignes_par_bloc, static_cast<size_t>(hauteur - rang));
      const std::span<uint8_t> zone(bloc.data(), lignes * octets_par_ligne);
      // The file may have shrunk since it was measured.
      if (fichier.lit(position, zone) != zone.size()) refuse(chemin, "données tronquées");
      position += static_cast<int64_t>(zone.size());
    }
    const int64_t y = e.hauteur < 0 ? rang : hauteur - 1 - rang;
    const uint8_t* octets = bloc.data() + dans_bloc * octets_par_ligne;
    uint32_t* sortie = ligne_32(image, y);
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
        sortie[x] = argb(canaux[0](p), canaux[1](p), canaux[2](p), alpha ? canaux[3](p) : 255);
      }
    }
  }
  return image;
}

// Follows the run-length data the way the format defines it, rows bottom-up. Only data that sets
// each pixel exactly once, row after row, may print: a jump, a row or picture ended early or data
// cut short leaves pixels with no value, and decoders disagree on a run that crosses the end of
// its row.
image_pixels decode_rle(const fichier_image& fichier, const entete_bmp& e, int64_t taille, const std::string& chemin) {
  image_pixels image = image_vide(e);
  const palette couleurs(fichier, e, chemin);
  std::vector<uint8_t> contenu(static_cast<size_t>(std::max<int64_t>(0, taille - e.debut_donnees())));
  contenu.resize(fichier.lit(e.debut_donnees(), contenu));
  const uint8_t* octets = contenu.data();
  const auto fin = static_cast<int64_t>(contenu.size());
  const int64_t largeur = e.largeur, hauteur = e.hauteur;
  const bool quatre_bits = e.compression == 2;
  const auto non_definis = [&] { refuse(chemin, "données RLE incomplètes : pixels non définis"); };

  int64_t x = 0, y = 0, position = 0;
  // `pixels` values, the i-th from `valeur(i)`.
  const auto pose = [&](int64_t pixels, auto valeur) {
    if (x + pixels > largeur) refuse(chemin, "données RLE incorrectes : série au-delà de la ligne");
    uint32_t* ligne = ligne_32(image, hauteur - 1 - y);
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

image_pixels decode_bmp(const fichier_image& fichier, const entete_bmp& entete, int64_t taille,
                        const std::string& chemin) {
  if (entete.compression == 1 || entete.compression == 2) return decode_rle(fichier, entete, taille, chemin);
  if (octets_tels_quels(entete)) return lit_octets_tels_quels(fichier, entete, chemin);
  return decode_lignes(fichier, entete, chemin);
}

}  // namespace agent
