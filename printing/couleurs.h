#pragma once
// The seven colours that print, as 0x00BBGGRR values (red in the low byte). The set is exact:
// every other value, white and near misses included, leaves the page blank. Everything that
// needs the colours, or a colour's channels, takes them from here.

#include <array>
#include <cstdint>
#include <optional>

namespace agent {

constexpr uint32_t noir = 0x000000;
constexpr uint32_t bleu = 0xFF0000;
constexpr uint32_t bleu_254 = 0xFE0000;
constexpr uint32_t vert = 0x00FF00;
constexpr uint32_t vert_rouge_1 = 0x00FF01;
constexpr uint32_t rouge = 0x0000FF;
constexpr uint32_t rouge_254 = 0x0000FE;

constexpr std::array<uint32_t, 7> couleurs_imprimables = {noir, bleu, bleu_254, vert, vert_rouge_1, rouge, rouge_254};

// The byte a printable colour takes in a page grid (1 … 7, in the order of couleurs_imprimables;
// 0 is white paper and any other colour). Without a branch: the raster and the page grid run it
// once per pixel or dot, and a page of scattered colours would mispredict one at nearly every
// one.
constexpr uint8_t indice_sans_saut(uint32_t couleur) {
  unsigned indice = 0;
  for (unsigned i = 0; i < couleurs_imprimables.size(); ++i) indice |= (couleur == couleurs_imprimables[i]) * (i + 1);
  return static_cast<uint8_t>(indice);
}

constexpr bool est_imprimable(uint32_t c) { return indice_sans_saut(c) != 0; }

// The same as an optional, and back; nullopt for a colour that does not print.
constexpr std::optional<uint8_t> indice_couleur(uint32_t couleur) {
  if (const uint8_t indice = indice_sans_saut(couleur)) return indice;
  return std::nullopt;
}
constexpr uint32_t couleur_indice(uint8_t indice) { return couleurs_imprimables.at(indice - 1u); }

// A 0x00BBGGRR value's channels, and back.
struct canaux {
  uint8_t rouge, vert, bleu;
};
constexpr canaux canaux_de(uint32_t c) {
  return {static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>(c >> 8 & 0xFF), static_cast<uint8_t>(c >> 16 & 0xFF)};
}
constexpr uint32_t couleur_de(uint8_t rouge, uint8_t vert, uint8_t bleu) {
  return uint32_t{rouge} | uint32_t{vert} << 8 | uint32_t{bleu} << 16;
}

// The channels of a page grid byte (0 … 7): white paper, then the seven colours in their order.
constexpr canaux canaux_indice(uint8_t indice) {
  return indice == 0 ? canaux{0xFF, 0xFF, 0xFF} : canaux_de(couleur_indice(indice));
}

}  // namespace agent
