#pragma once
// Decodes a job file for the preview: the decoder is chosen by content, never by name (a bitmap
// named x.bmp2 loads). Windows bitmaps (read by the agent itself, decodage_bmp), PNG and GIF are
// accepted. A file shorter than its header promises (still being copied, a cut download) is
// refused rather than shown in part, and so is a picture too large to hold.

#include <QImage>
#include <string>

namespace agent {

// The picture, opaque: BGR888 for a plain 24-bit bitmap, RGB32 for everything else, transparent
// parts laid over white.
QImage charge_image(const std::string& chemin);

}  // namespace agent
