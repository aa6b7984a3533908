#pragma once
// Colours between Qt's 0xAARRGGBB pixels and the agent's 0x00BBGGRR values.

#include <QColor>

#include "printing/couleurs.h"

namespace agent {

inline QRgb qrgb_de(uint32_t c) {
  const canaux k = canaux_de(c);
  return qRgb(k.rouge, k.vert, k.bleu);
}

// Alpha is dropped: the agent's values have none.
inline uint32_t couleur_de(QRgb p) {
  return couleur_de(static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)), static_cast<uint8_t>(qBlue(p)));
}

}  // namespace agent
