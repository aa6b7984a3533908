// What Qt writes itself (PNG, JPEG) read back through the platform's decoders, Qt's on Linux. The
// files written byte by byte, which Windows reads too: test_formats_png_gif.

#include <gtest/gtest.h>

#include <QImage>
#include <string>

#include "image/decodeur_plateforme.h"
#include "printing/couleurs.h"
#include "tests/image/chargement_essai.h"
#include "tests/support/bmp_essai_qt.h"

using namespace agent;
using namespace agent::essai;

namespace {

class ChargementFormatsQt : public ChargementImage {
protected:
  ChargementFormatsQt() { png_gif = decode_png_gif; }
  static std::string octets(const QByteArray& o) { return o.toStdString(); }
};

QImage image_qt(const pixels_essai& pixels) {
  QImage image(pixels.largeur, pixels.hauteur, QImage::Format_ARGB32);
  for (int y = 0; y < pixels.hauteur; ++y)
    for (int x = 0; x < pixels.largeur; ++x) image.setPixel(x, y, pixels.pixel(x, y));
  return image;
}

}  // namespace

TEST_F(ChargementFormatsQt, TransparencyIsLaidOverWhiteNeverBlack) {
  QImage image(3, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(0, 0, 0, 0));      // fully transparent black: white
  image.setPixel(1, 0, qRgba(255, 0, 0, 255));  // opaque red stays exact
  image.setPixel(2, 0, qRgba(0, 0, 0, 128));    // half black: grey, not printable
  surface_apercu surface(1297, 943, png_gif);
  surface.charge(fichier("t_t_1.bmp2", octets(encode_avec_qt(image, "PNG"))));
  EXPECT_EQ(surface.lit_pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(surface.lit_pixel(1, 0), rouge);
  EXPECT_EQ(surface.lit_pixel(2, 0), 0x7F7F7Fu);
}

TEST_F(ChargementFormatsQt, RefusesWhatIsNotAWholePicture) {
  const std::string png = octets(encode_avec_qt(image_qt(image_de_reference()), "PNG"));
  EXPECT_EQ(echec(fichier("cut_c_1.bmp2", png.substr(0, png.size() - 20))), code_erreur::image_incorrecte);
  EXPECT_EQ(echec(fichier("j_j_1.bmp2", octets(encode_avec_qt(image_qt(image_de_reference()), "JPEG")))),
            code_erreur::image_incorrecte);
}
