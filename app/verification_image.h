#pragma once
// Checks that an image file holds everything its own structure announces. Qt's bitmap reader
// returns a partial picture, without any error, when the pixel data stops early; a job file
// still being copied must never print that way.

#include <QByteArray>
#include <QIODevice>
#include <cstdint>
#include <string>

namespace agent {

// An A3 page at 600 dpi, either way round.
constexpr int64_t pixels_image_max = int64_t{7016} * 9921;

// A picture larger than that is refused before anything is allocated for it.
void verifie_dimensions(int64_t largeur, int64_t hauteur, const std::string& chemin);

// Throws "Image incorrecte" naming `chemin` when the bitmap or GIF in `fichier` is cut short, or
// when a run-length bitmap's data leaves pixels unset.
// `format` is the decoder Qt chose ("bmp", "gif", "png"); PNG checks itself. Leaves the device
// where it found it.
void verifie_image_complete(QIODevice& fichier, const QByteArray& format, const std::string& chemin);

}  // namespace agent
