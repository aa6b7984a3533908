#pragma once
// The seven printable colours as Qt pixels, written out here apart from the agent's own table, so
// that the tests that draw them check that table rather than repeat it.

#include <QColor>
#include <array>

namespace agent::essai {

inline const std::array<QRgb, 7> sept_couleurs = {qRgb(0, 0, 0),   qRgb(0, 0, 255), qRgb(0, 0, 254), qRgb(0, 255, 0),
                                                  qRgb(1, 255, 0), qRgb(255, 0, 0), qRgb(254, 0, 0)};

}  // namespace agent::essai
