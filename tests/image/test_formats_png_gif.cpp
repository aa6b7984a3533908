// PNG and GIF through the platform's decoders, Qt's readers on Linux and the Windows Imaging
// Component on Windows, from files written byte by byte here: both must give the same pixels.

#include <gtest/gtest.h>

#include <string>

#include "image/decodeur_plateforme.h"
#include "printing/couleurs.h"
#include "tests/image/chargement_essai.h"

using namespace agent;
using namespace agent::essai;

namespace {

class ChargementFormats : public ChargementImage {
protected:
  ChargementFormats() { png_gif = decode_png_gif; }
};

// `image` as a PNG of 8-bit RGB pixels, or RGBA with `alpha`, unfiltered, its data in one stored
// deflate block: what any decoder reads, without a compressor.
std::string ecrit_png(const pixels_essai& image, bool alpha) {
  const auto mot = [](std::string& s, uint32_t v) {
    for (int decalage = 24; decalage >= 0; decalage -= 8) s.push_back(static_cast<char>(v >> decalage));
  };
  std::string png = depuis_hexa("89504e470d0a1a0a");
  const auto bloc = [&](const std::string& type, const std::string& donnees) {
    mot(png, static_cast<uint32_t>(donnees.size()));
    const std::string corps = type + donnees;
    uint32_t crc = 0xFFFFFFFF;
    for (const unsigned char c : corps) {
      crc ^= c;
      for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    png += corps;
    mot(png, ~crc);
  };
  std::string entete, brut;
  mot(entete, static_cast<uint32_t>(image.largeur));
  mot(entete, static_cast<uint32_t>(image.hauteur));
  entete += {8, static_cast<char>(alpha ? 6 : 2), 0, 0, 0};
  for (int y = 0; y < image.hauteur; ++y) {
    brut.push_back(0);
    for (int x = 0; x < image.largeur; ++x)
      for (int decalage : {16, 8, 0, 24})
        if (decalage != 24 || alpha) brut.push_back(static_cast<char>(image.pixel(x, y) >> decalage));
  }
  const auto taille = static_cast<uint16_t>(brut.size());
  std::string zlib = {0x78,
                      0x01,
                      0x01,
                      static_cast<char>(taille),
                      static_cast<char>(taille >> 8),
                      static_cast<char>(~taille),
                      static_cast<char>(~taille >> 8)};
  uint32_t a = 1, b = 0;
  for (const unsigned char c : brut) b = (b + (a = (a + c) % 65521)) % 65521;
  zlib += brut;
  mot(zlib, b << 16 | a);
  bloc("IHDR", entete);
  bloc("IDAT", zlib);
  bloc("IEND", "");
  return png;
}

}  // namespace

TEST_F(ChargementFormats, PngLoadsExactColoursAndLaysTransparencyOverWhite) {
  surface_apercu surface(1297, 943, png_gif);
  surface.charge(fichier("p_p_1.bmp2", ecrit_png(image_de_reference(), false)));
  compare(surface, image_de_reference(), "RGB");

  // Fully transparent black: white; opaque red stays exact; half black: grey, not printable.
  const pixels_essai image{3, 1, {argb(0, 0, 0, 0), argb(255, 0, 0, 255), argb(0, 0, 0, 128)}};
  surface.charge(fichier("t_t_1.bmp2", ecrit_png(image, true)));
  EXPECT_EQ(surface.lit_pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(surface.lit_pixel(1, 0), rouge);
  EXPECT_EQ(surface.lit_pixel(2, 0), 0x7F7F7Fu);
}

TEST_F(ChargementFormats, PngCutShortIsRefused) {
  const std::string png = ecrit_png(image_de_reference(), true);
  for (size_t coupe : {12, 20, 60})
    EXPECT_EQ(echec(fichier("cut_p_1.bmp2", png.substr(0, png.size() - coupe))), code_erreur::image_incorrecte)
        << coupe << " : " << dernier_message;
}

// The byte streams below read best with their fields side by side.
// clang-format off
TEST_F(ChargementFormats, GifLoadsAndACutGifIsRefused) {
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

TEST_F(ChargementFormats, GifPictureLeavingPartOfItsScreenOpaqueAndUnsetIsRefused) {
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
