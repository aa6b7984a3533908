#include "core/casse_unicode.h"

#include <algorithm>
#include <cstdint>

namespace agent {

namespace {

struct majuscule {
  char32_t source;
  char32_t cible[3];  // 0 past its end
};
struct repli {
  char32_t source, cible;
};

#include "core/casse_unicode_table.inc"

constexpr char32_t remplacement = 0xFFFD;

// The code point at `i`, which then moves past it.
char32_t lit(std::string_view texte, size_t& i) {
  const auto octet = static_cast<unsigned char>(texte[i]);
  const int longueur = octet < 0x80                     ? 1
                       : octet >= 0xC2 && octet <= 0xDF ? 2
                       : octet >= 0xE0 && octet <= 0xEF ? 3
                       : octet >= 0xF0 && octet <= 0xF4 ? 4
                                                        : 0;
  if (longueur == 0 || i + static_cast<size_t>(longueur) > texte.size()) {
    ++i;
    return remplacement;
  }
  char32_t point = longueur == 1 ? octet : octet & (0x7F >> longueur);
  for (int j = 1; j < longueur; ++j) {
    const auto suite = static_cast<unsigned char>(texte[i + static_cast<size_t>(j)]);
    if ((suite & 0xC0) != 0x80) {
      ++i;
      return remplacement;
    }
    point = (point << 6) | (suite & 0x3F);
  }
  // Overlong forms and surrogates are no characters.
  const bool trop_long = (longueur == 3 && point < 0x800) || (longueur == 4 && (point < 0x10000 || point > 0x10FFFF));
  if (trop_long || (point >= 0xD800 && point <= 0xDFFF)) {
    ++i;
    return remplacement;
  }
  i += static_cast<size_t>(longueur);
  return point;
}

void ecrit(std::string& texte, char32_t point) {
  if (point < 0x80) {
    texte += static_cast<char>(point);
  } else if (point < 0x800) {
    texte += static_cast<char>(0xC0 | (point >> 6));
    texte += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    texte += static_cast<char>(0xE0 | (point >> 12));
    texte += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    texte += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    texte += static_cast<char>(0xF0 | (point >> 18));
    texte += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    texte += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    texte += static_cast<char>(0x80 | (point & 0x3F));
  }
}

char32_t replie(char32_t point) {
  if (point >= 'A' && point <= 'Z') return point - 'A' + 'a';
  if (point < 0x80) return point;
  const auto it = std::lower_bound(std::begin(table_replis), std::end(table_replis), point,
                                   [](const repli& r, char32_t p) { return r.source < p; });
  return it != std::end(table_replis) && it->source == point ? it->cible : point;
}

}  // namespace

std::string majuscules(std::string_view texte) {
  std::string resultat;
  resultat.reserve(texte.size());
  for (size_t i = 0; i < texte.size();) {
    const char32_t point = lit(texte, i);
    const auto it = std::lower_bound(std::begin(table_majuscules), std::end(table_majuscules), point,
                                     [](const majuscule& m, char32_t p) { return m.source < p; });
    if (it == std::end(table_majuscules) || it->source != point) {
      ecrit(resultat, point);
      continue;
    }
    for (const char32_t cible : it->cible)
      if (cible != 0) ecrit(resultat, cible);
  }
  return resultat;
}

int compare_sans_casse(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const char32_t x = replie(lit(a, i)), y = replie(lit(b, j));
    if (x != y) return x < y ? -1 : 1;
  }
  return i < a.size() ? 1 : j < b.size() ? -1 : 0;
}

}  // namespace agent
