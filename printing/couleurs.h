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

// Once per pixel of the raster: a switch the compiler turns into a handful of comparisons.
constexpr bool est_imprimable(uint32_t c) {
  switch (c) {
    case noir:
    case bleu:
    case bleu_254:
    case vert:
    case vert_rouge_1:
    case rouge:
    case rouge_254: return true;
    default: return false;
  }
}

// The byte a printable colour takes in a page grid (1 … 7, in the order of couleurs_imprimables;
// 0 is white paper), and back; nullopt for any other colour.
constexpr std::optional<uint8_t> indice_couleur(uint32_t couleur) {
  switch (couleur) {
    case couleurs_imprimables[0]: return 1;
    case couleurs_imprimables[1]: return 2;
    case couleurs_imprimables[2]: return 3;
    case couleurs_imprimables[3]: return 4;
    case couleurs_imprimables[4]: return 5;
    case couleurs_imprimables[5]: return 6;
    case couleurs_imprimables[6]: return 7;
    default: return std::nullopt;
  }
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

}  // namespace agent
