// PNG and GIF through the platform's decoders, Qt's on Linux, and what Qt writes itself.

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

// The byte streams below read best with their fields side by side.
// clang-format off
TEST_F(ChargementFormatsQt, GifLoadsAndACutGifIsRefused) {
  // 2 × 1 pixels, red then blue, from a two-colour palette.
  const std::string gif = depuis_hexa(
      "474946383961" "02000100" "800000" "ff0000" "0000ff"
      "2c" "00000000" "02000100" "00" "02" "02440a" "00" "3b");
  surface_apercu surface(1297, 943, png_gif);
  surface.charge(fichier("g_g_1.bmp2", gif));
  EXPECT_EQ(surface.lit_pixel(0, 0), rouge);
  EXPECT_EQ(surface.lit_pixel(1, 0), bleu);
  EXPECT_EQ(echec(fichier("g_g_2.bmp2", gif.substr(0, gif.size() - 3))), code_erreur::image_incorrecte);
}

TEST_F(ChargementFormatsQt, GifPictureLeavingPartOfItsScreenOpaqueAndUnsetIsRefused) {
  // A 2 × 1 screen, a 1 × 1 picture with its own two-colour palette: blue, red.
  const std::string debut = depuis_hexa("474946383961" "02000100" "800000" "ff0000" "0000ff");
  const std::string image = depuis_hexa("2c" "00000000" "01000100" "80" "0000ff" "ff0000" "02" "024401" "00");
  const std::string fin = depuis_hexa("3b");
  // The decoder fills the rest of the screen from a palette it has not read yet: memory as it was.
  EXPECT_EQ(echec(fichier("g_p_1.bmp2", debut + image + fin)), code_erreur::image_incorrecte);
  EXPECT_NE(dernier_message.find("ne couvre pas"), std::string::npos) << dernier_message;

  // Declared transparent, the rest of the screen is: laid over white, it prints nothing.
  const std::string transparence = depuis_hexa("21f904" "01" "0000" "01" "00");
  surface_apercu surface(1297, 943, png_gif);
  surface.charge(fichier("g_p_2.bmp2", debut + transparence + image + fin));
  EXPECT_EQ(surface.lit_pixel(0, 0), bleu);
  EXPECT_EQ(surface.lit_pixel(1, 0), 0xFFFFFFu);
}
// clang-format on

TEST_F(ChargementFormatsQt, RefusesWhatIsNotAWholePicture) {
  const std::string png = octets(encode_avec_qt(image_qt(image_de_reference()), "PNG"));
  EXPECT_EQ(echec(fichier("cut_c_1.bmp2", png.substr(0, png.size() - 20))), code_erreur::image_incorrecte);
  EXPECT_EQ(echec(fichier("j_j_1.bmp2", octets(encode_avec_qt(image_qt(image_de_reference()), "JPEG")))),
            code_erreur::image_incorrecte);
}
