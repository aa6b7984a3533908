#include "cups/nom_travail.h"

#include <QString>

namespace agent {

std::string nom_travail_ipp(const std::string& nom) {
  QString texte = QString::fromUtf8(nom.data(), static_cast<qsizetype>(nom.size()));
  for (QChar& c : texte)
    if (c.category() == QChar::Other_Control) c = QChar::ReplacementCharacter;
  QByteArray utf8 = texte.toUtf8();
  constexpr qsizetype maximum = 255;
  if (utf8.size() > maximum) {
    qsizetype coupe = maximum;
    while (coupe > 0 && (static_cast<uint8_t>(utf8[coupe]) & 0xC0) == 0x80) --coupe;  // inside a character
    utf8.truncate(coupe);
  }
  return utf8.toStdString();
}

}  // namespace agent
