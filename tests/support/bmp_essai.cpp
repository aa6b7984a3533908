#include "tests/support/bmp_essai.h"

#include <bit>
#include <fstream>
#include <stdexcept>
#include <unordered_map>

namespace agent::essai {

namespace {

void ajoute_le(std::string& octets, uint32_t valeur, int taille) {
  for (int i = 0; i < taille; ++i) octets.push_back(static_cast<char>((valeur >> (8 * i)) & 0xFF));
}

uint32_t rouge(uint32_t c) { return c >> 16 & 0xFF; }
uint32_t vert(uint32_t c) { return c >> 8 & 0xFF; }
uint32_t bleu(uint32_t c) { return c & 0xFF; }
uint32_t alpha(uint32_t c) { return c >> 24; }

}  // namespace

pixels_essai pixels_essai::partie(int x, int y, int l, int h) const {
  pixels_essai resultat{l, h, {}};
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < l; ++i) resultat.argb.push_back(pixel(x + i, y + j));
  return resultat;
}

std::string ecrit_bmp(const pixels_essai& image, int bits, bool haut_en_bas, bool alpha) {
  disposition_bmp disposition{.haut_en_bas = haut_en_bas, .taille_entete = 108};
  if (alpha && bits == 32) disposition.masques = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u};
  return ecrit_bmp(image, bits, disposition);
}

std::string ecrit_bmp(const pixels_essai& image, int bits, const disposition_bmp& disposition) {
  const bool haut_en_bas = disposition.haut_en_bas;
  const int largeur = image.largeur, hauteur = image.hauteur;

  std::vector<uint32_t> palette;
  std::unordered_map<uint32_t, int> index;
  if (bits <= 8) {
    for (int y = 0; y < hauteur; ++y)
      for (int x = 0; x < largeur; ++x) {
        const uint32_t c = image.pixel(x, y) | 0xFF000000;
        if (index.emplace(c, static_cast<int>(palette.size())).second) palette.push_back(c);
      }
    if (palette.size() > (size_t{1} << bits)) throw std::invalid_argument("trop de couleurs pour la palette");
    palette.resize(disposition.entrees_palette ? static_cast<size_t>(disposition.entrees_palette) : size_t{1} << bits);
  }

  const int octets_par_ligne = (largeur * bits + 31) / 32 * 4;
  const auto& masques = disposition.masques;
  const bool champs_de_bits = masques != std::array<uint32_t, 4>{};
  const uint32_t taille_entete = champs_de_bits ? disposition.taille_entete : 40;
  const uint32_t masques_a_part = champs_de_bits && taille_entete == 40 ? (disposition.compression == 6 ? 16 : 12) : 0;
  const uint32_t debut = 14 + taille_entete + masques_a_part + static_cast<uint32_t>(palette.size()) * 4;
  const auto taille_donnees = static_cast<uint32_t>(octets_par_ligne * hauteur);

  std::string octets("BM");
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
  ajoute_le(octets, static_cast<uint32_t>(annoncees >= 0 ? static_cast<size_t>(annoncees) : palette.size()), 4);
  ajoute_le(octets, 0, 4);
  if (champs_de_bits) {
    for (size_t i = 0; i < (masques_a_part == 12 ? 3u : 4u); ++i) ajoute_le(octets, masques[i], 4);
    if (taille_entete > 40) {
      ajoute_le(octets, 0x73524742, 4);  // 'sRGB'
      octets.append(taille_entete - 40 - 20, '\0');
    }
  }
  for (uint32_t c : palette) ajoute_le(octets, c & 0x00FFFFFF, 4);

  for (int rang = 0; rang < hauteur; ++rang) {
    const int y = haut_en_bas ? rang : hauteur - 1 - rang;
    std::string ligne(static_cast<size_t>(octets_par_ligne), '\0');
    for (int x = 0; x < largeur; ++x) {
      const uint32_t c = image.pixel(x, y);
      if (bits <= 8) {
        const int i = index.at(c | 0xFF000000);
        const int bit = x * bits;
        ligne[bit / 8] = static_cast<char>(ligne[bit / 8] | (i << (8 - bits - bit % 8)));
      } else if (champs_de_bits) {
        uint32_t v = 0;
        const uint32_t canaux[] = {rouge(c), vert(c), bleu(c), alpha(c)};
        for (size_t k = 0; k < 4; ++k) {
          if (!masques[k]) continue;
          const uint64_t niveaux = masques[k] >> std::countr_zero(masques[k]);
          v |= static_cast<uint32_t>((canaux[k] * niveaux + 127) / 255) << std::countr_zero(masques[k]);
        }
        for (int i = 0; i < bits / 8; ++i) ligne[x * bits / 8 + i] = static_cast<char>(v >> (8 * i));
      } else if (bits == 16) {
        const uint32_t v = ((rouge(c) >> 3) << 10) | ((vert(c) >> 3) << 5) | (bleu(c) >> 3);
        ligne[x * 2] = static_cast<char>(v & 0xFF);
        ligne[x * 2 + 1] = static_cast<char>(v >> 8);
      } else {
        const int n = bits / 8;
        ligne[x * n] = static_cast<char>(bleu(c));
        ligne[x * n + 1] = static_cast<char>(vert(c));
        ligne[x * n + 2] = static_cast<char>(rouge(c));
        if (n == 4) ligne[x * n + 3] = 0;
      }
    }
    octets += ligne;
  }
  return octets;
}

std::string depuis_hexa(std::string_view chiffres) {
  std::string octets;
  for (size_t i = 0; i + 1 < chiffres.size(); i += 2)
    octets.push_back(static_cast<char>(std::stoi(std::string(chiffres.substr(i, 2)), nullptr, 16)));
  return octets;
}

void ecrit_fichier(const std::string& chemin, std::string_view octets) {
  // The path's very bytes: a name that is not UTF-8 must reach the disk as it is.
  std::ofstream fichier(chemin, std::ios::binary | std::ios::trunc);
  fichier.write(octets.data(), static_cast<std::streamsize>(octets.size()));
  if (!fichier.flush()) throw std::runtime_error("écriture impossible : " + chemin);
}

}  // namespace agent::essai
