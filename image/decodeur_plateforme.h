#pragma once
// PNG and GIF, which the agent leaves to the platform's own decoders: each platform's file
// defines decode_png_gif (os/qt/decodeur_qt.cpp on Linux). The loader is handed it by whoever
// builds the preview rather than calling it itself, so that the bitmap decoder, the checks and
// their tests build and run without any of the platform's picture libraries.

#include <cstdint>
#include <span>
#include <string>

#include "image/image_pixels.h"

namespace agent {

// What a job file holds, told by its first bytes, never by its name.
enum class format_fichier { bmp, png, gif };

// The PNG or GIF file `contenu`, whole (a GIF already checked by verifie_gif_complet): RGB32 when
// it has no alpha channel, otherwise ARGB32, alpha not multiplied in, which the loader lays over
// white. A size it cannot read ("dimensions illisibles") or pixels it cannot decode (its own
// reason) are "Image incorrecte" naming `chemin`; a picture too large (verifie_dimensions) is
// refused before its pixels are decoded.
image_pixels decode_png_gif(std::span<const uint8_t> contenu, format_fichier format, const std::string& chemin);

// decode_png_gif, or nothing: the loader then takes bitmaps only.
using decodeur_png_gif = image_pixels (*)(std::span<const uint8_t>, format_fichier, const std::string&);

}  // namespace agent
