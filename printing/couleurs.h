#pragma once
// The seven colours that print, as 0x00BBGGRR values. The set is exact: every other value,
// white and near misses included, leaves the page blank.

#include <array>
#include <cstdint>

namespace agent {

constexpr uint32_t noir = 0x000000;
constexpr uint32_t bleu = 0xFF0000;
constexpr uint32_t bleu_254 = 0xFE0000;
constexpr uint32_t vert = 0x00FF00;
constexpr uint32_t vert_rouge_1 = 0x00FF01;
constexpr uint32_t rouge = 0x0000FF;
constexpr uint32_t rouge_254 = 0x0000FE;

constexpr std::array<uint32_t, 7> couleurs_imprimables = {noir,         bleu, bleu_254, vert,
                                                          vert_rouge_1, rouge, rouge_254};

constexpr bool est_imprimable(uint32_t c) {
  switch (c) {
    case noir: case bleu: case bleu_254: case vert: case vert_rouge_1: case rouge: case rouge_254:
      return true;
    default:
      return false;
  }
}

}  // namespace agent
