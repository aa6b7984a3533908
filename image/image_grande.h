#pragma once
// A picture whose pixels live in memory from reserve_grande: a job file's picture is as large as
// the file, and taking it in small pages costs more than reading the file.

#include <QImage>

namespace agent {

// Pixels not set; "Mémoire insuffisante" when it cannot be held. Copies share the pixels, as
// QImage's do. Below one large page, QImage's own memory.
QImage image_grande(int largeur, int hauteur, QImage::Format format);

}  // namespace agent
