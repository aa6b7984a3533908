#include "core/journal.h"

namespace agent {

Q_LOGGING_CATEGORY(journal_agent, "agent_impression", QtInfoMsg)

namespace {

// The length of the well-formed UTF-8 sequence starting at `i`, or 0.
size_t sequence_utf8(const std::string& texte, size_t i) {
  const auto octet = static_cast<unsigned char>(texte[i]);
  const size_t longueur = octet < 0x80                     ? 1
                          : octet >= 0xC2 && octet <= 0xDF ? 2
                          : octet >= 0xE0 && octet <= 0xEF ? 3
                          : octet >= 0xF0 && octet <= 0xF4 ? 4
                                                           : 0;
  if (longueur == 0 || i + longueur > texte.size()) return 0;
  for (size_t j = 1; j < longueur; ++j)
    if ((static_cast<unsigned char>(texte[i + j]) & 0xC0) != 0x80) return 0;
  return longueur;
}

}  // namespace

std::string champ(const std::string& valeur) {
  static constexpr char chiffres[] = "0123456789abcdef";
  std::string texte = "\"";
  for (size_t i = 0; i < valeur.size();) {
    const auto octet = static_cast<unsigned char>(valeur[i]);
    const size_t longueur = sequence_utf8(valeur, i);
    if (longueur == 0 || octet < 0x20 || octet == 0x7F) {
      texte += "\\x";
      texte += chiffres[octet >> 4];
      texte += chiffres[octet & 0xF];
      ++i;
      continue;
    }
    if (valeur[i] == '"' || valeur[i] == '\\') texte += '\\';
    texte.append(valeur, i, longueur);
    i += longueur;
  }
  return texte + '"';
}

}  // namespace agent
