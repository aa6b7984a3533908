#include "printing/texte_progression.h"

#include <charconv>

namespace agent {

std::string texte_progression(int32_t ligne, float hauteur) {
  char nombre[32];
  auto fin = std::to_chars(nombre, nombre + sizeof nombre, hauteur, std::chars_format::general, 7).ptr;
  std::string texte = std::to_string(ligne) + "/" + std::string(nombre, fin);
  for (char& c : texte)
    if (c == 'e') c = 'E';
  return texte;
}

}  // namespace agent
