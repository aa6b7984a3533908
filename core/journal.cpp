#include "core/journal.h"

namespace agent {

Q_LOGGING_CATEGORY(journal_agent, "agent_impression", QtInfoMsg)

std::string champ(const std::string& valeur) {
  static constexpr char chiffres[] = "0123456789abcdef";
  std::string texte = "\"";
  for (char c : valeur) {
    const auto octet = static_cast<unsigned char>(c);
    if (octet < 0x20 || octet == 0x7F) {
      texte += "\\x";
      texte += chiffres[octet >> 4];
      texte += chiffres[octet & 0xF];
      continue;
    }
    if (c == '"' || c == '\\') texte += '\\';
    texte += c;
  }
  return texte + '"';
}

}  // namespace agent
