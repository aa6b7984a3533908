#include "image/entete_bmp.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>

#include "core/erreur.h"

namespace agent {

namespace {

uint32_t lit_le(std::span<const uint8_t> octets, size_t position, int taille) {
  uint32_t valeur = 0;
  for (int i = taille - 1; i >= 0; --i) valeur = (valeur << 8) | octets[position + static_cast<size_t>(i)];
  return valeur;
}

std::string hexa(uint32_t valeur) {
  char texte[11];
  std::snprintf(texte, sizeof texte, "0x%08X", valeur);
  return texte;
}

bool champs_de_bits(uint32_t compression) { return compression == 3 || compression == 6; }

bool taille_entete_connue(uint32_t taille) {
  for (uint32_t connue : {12u, 40u, 52u, 56u, 64u, 108u, 124u})
    if (taille == connue) return true;
  return false;
}

bool profondeur_connue(uint32_t bits) {
  for (uint32_t connue : {1u, 4u, 8u, 16u, 24u, 32u})
    if (bits == connue) return true;
  return false;
}

bool compression_admise(const entete_bmp& e) {
  switch (e.compression) {
    case 0: return true;
    case 1: return e.bits == 8;
    case 2: return e.bits == 4;
    // The 64-byte header is OS/2's, whose compression 3 is a Huffman code, not bit fields.
    case 3:
    case 6: return (e.bits == 16 || e.bits == 32) && e.taille_entete != 64;
    default: return false;
  }
}

}  // namespace

int64_t entete_bmp::fin_entetes() const {
  // The masks stand from byte 54 on: inside the longer headers, right after the 40-byte one.
  const int64_t fin_masques = compression == 3 ? 66 : compression == 6 ? 70 : 0;
  return std::max<int64_t>(14 + int64_t{taille_entete}, champs_de_bits(compression) ? fin_masques : 0);
}

int64_t entete_bmp::entrees_palette() const {
  if (bits > 8) return 0;
  const int64_t annoncees = couleurs ? couleurs : int64_t{1} << bits;
  // An offset inside the headers (0, say) tells nothing: the pixels then follow the whole palette.
  if (debut_pixels < fin_entetes()) return annoncees;
  return std::min(annoncees, (debut_pixels - fin_entetes()) / taille_entree_palette());
}

int64_t entete_bmp::debut_donnees() const {
  return std::max(debut_pixels, fin_entetes() + entrees_palette() * taille_entree_palette());
}

int64_t entete_bmp::taille_attendue() const {
  if (compression == 1 || compression == 2) return debut_donnees() + taille_donnees;  // run-length
  const int64_t octets_par_ligne = (std::abs(largeur) * bits + 31) / 32 * 4;
  return debut_donnees() + octets_par_ligne * std::abs(hauteur);
}

entete_bmp lit_entete_bmp(std::span<const uint8_t> debut, const std::string& chemin) {
  const std::span<const uint8_t> octets = debut.first(std::min(debut.size(), taille_entetes_bmp));
  auto refus = [&](const std::string& quoi) { return erreur(code_erreur::image_incorrecte, chemin + " : " + quoi); };
  auto exige = [&](size_t taille) {
    if (octets.size() < taille) throw refus("en-tête de bitmap incomplet");
  };

  exige(26);
  entete_bmp e;
  e.debut_pixels = lit_le(octets, 10, 4);
  e.taille_entete = lit_le(octets, 14, 4);
  if (!taille_entete_connue(e.taille_entete))
    throw refus("en-tête de bitmap de " + std::to_string(e.taille_entete) + " octets inconnu");
  exige(14 + size_t{e.taille_entete});
  if (e.taille_entete == 12) {  // the oldest header: 16-bit sizes, palette only
    e.largeur = static_cast<int16_t>(lit_le(octets, 18, 2));
    e.hauteur = static_cast<int16_t>(lit_le(octets, 20, 2));
    e.bits = lit_le(octets, 24, 2);
  } else {
    e.largeur = static_cast<int32_t>(lit_le(octets, 18, 4));
    e.hauteur = static_cast<int32_t>(lit_le(octets, 22, 4));
    e.bits = lit_le(octets, 28, 2);
    e.compression = lit_le(octets, 30, 4);
    e.taille_donnees = lit_le(octets, 34, 4);
    e.couleurs = lit_le(octets, 46, 4);
  }

  if (e.largeur <= 0 || e.hauteur == 0) throw refus("dimensions illisibles");
  if (!profondeur_connue(e.bits))
    throw refus("bitmap de " + std::to_string(e.bits) + " bits par pixel non pris en charge");
  if (!compression_admise(e))
    throw refus("compression " + std::to_string(e.compression) + " non prise en charge à " + std::to_string(e.bits) +
                " bits par pixel");
  // The format has no top-down run-length bitmap; which way such rows go would be a guess.
  if ((e.compression == 1 || e.compression == 2) && e.hauteur < 0) throw refus("bitmap compressé rangé de haut en bas");
  if (e.bits <= 8 && e.couleurs > 256)
    throw refus("palette de " + std::to_string(e.couleurs) + " couleurs annoncée, au-delà de 256");

  if (champs_de_bits(e.compression)) {
    const bool alpha = e.compression == 6 || e.taille_entete >= 56;
    exige(alpha ? 70 : 66);  // after a 40-byte header, the masks follow it
    for (int i = 0; i < (alpha ? 4 : 3); ++i) e.masques[i] = lit_le(octets, 54 + 4 * static_cast<size_t>(i), 4);
  } else if (e.bits == 16) {
    e.masques = {0x7C00, 0x03E0, 0x001F, 0};
  } else if (e.bits > 8) {
    // Plain 32 bits: the fourth byte is alpha only where a longer header says so.
    const bool alpha = e.bits == 32 && e.taille_entete >= 56 && lit_le(octets, 66, 4) == 0xFF000000;
    e.masques = {0xFF0000, 0xFF00, 0xFF, alpha ? 0xFF000000 : 0};
  }

  if (e.bits > 8 && e.masques[0] == 0 && e.masques[1] == 0 && e.masques[2] == 0) throw refus("aucun masque de couleur");
  uint32_t occupes = 0;
  for (uint32_t masque : e.masques) {
    if (masque == 0) continue;
    if (e.bits < 32 && masque >> e.bits != 0)
      throw refus("masque de canal " + hexa(masque) + " au-delà des " + std::to_string(e.bits) + " bits du pixel");
    const uint32_t bas = masque >> std::countr_zero(masque);
    if ((bas & (bas + 1)) != 0) throw refus("masque de canal " + hexa(masque) + " non contigu");
    if (occupes & masque) throw refus("masques de canaux qui se chevauchent (" + hexa(masque) + ")");
    occupes |= masque;
  }
  return e;
}

}  // namespace agent
