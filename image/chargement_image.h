#pragma once
// Decodes a job file for the preview: the decoder is chosen by content, never by name (a bitmap
// named x.bmp2 loads). Windows bitmaps (read by the agent itself, decodage_bmp), PNG and GIF (by
// the platform's decoders, decodeur_plateforme) are accepted. A file shorter than its header
// promises (still being copied, a cut download) is refused rather than shown in part, and so is
// a picture too large to hold.

#include <string>

#include "image/decodeur_plateforme.h"
#include "image/image_pixels.h"

namespace agent {

// The picture, opaque: BGR888 for a plain 24-bit bitmap, RGB32 for everything else, transparent
// parts laid over white. Without `png_gif`, PNG and GIF are formats it does not know.
image_pixels charge_image(const std::string& chemin, decodeur_png_gif png_gif);

}  // namespace agent
