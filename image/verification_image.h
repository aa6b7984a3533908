#pragma once
// Checks that an image file holds everything its own structure announces, before it is decoded:
// a decoder that stops where the data stops shows part of a picture, and a job file still being
// copied must never print that way.

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
// when a bitmap's header describes pixels the agent cannot decode exactly (lit_entete_bmp).
// `format` is the decoder Qt chose ("bmp", "gif", "png"); PNG checks itself. Leaves the device
// where it found it.
void verifie_image_complete(QIODevice& fichier, const QByteArray& format, const std::string& chemin);

}  // namespace agent
