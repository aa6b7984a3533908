#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "printing/couleurs.h"
#include "tests/image/chargement_essai.h"

using namespace agent;
using namespace agent::essai;

namespace {

// A run-length bitmap (8 or 4 bits a pixel) of 4 × 2 pixels; palette: white, red, black.
std::string bmp_rle(int bits, const std::string& donnees, uint32_t taille_donnees) {
  std::string octets("BM");
  const auto le = [&](uint32_t valeur, int taille) {
    for (int i = 0; i < taille; ++i) octets.push_back(static_cast<char>((valeur >> (8 * i)) & 0xFF));
  };
  const uint32_t debut = 14 + 40 + 3 * 4;
  le(debut + static_cast<uint32_t>(donnees.size()), 4);
  le(0, 4);
  le(debut, 4);
  for (uint32_t champ : {40u, 4u, 2u}) le(champ, 4);
  le(1, 2);
  le(static_cast<uint32_t>(bits), 2);
  for (uint32_t champ : {bits == 8 ? 1u : 2u, taille_donnees, 2835u, 2835u, 3u, 0u}) le(champ, 4);
  for (uint32_t couleur : {0xFFFFFFu, 0xFF0000u, 0x000000u}) le(couleur, 4);  // 0x00RRGGBB
  return octets + donnees;
}

// What the complete streams below draw: top row black, white, red, black; bottom row all red.
pixels_essai image_rle() {
  pixels_essai image{4, 2, std::vector<uint32_t>(8, argb(255, 0, 0))};
  image.argb[0] = argb(0, 0, 0);
  image.argb[1] = argb(255, 255, 255);
  image.argb[3] = argb(0, 0, 0);
  return image;
}

// `image` stretched to `largeur` × `hauteur`, each pixel taken from the nearest one before.
pixels_essai etiree(const pixels_essai& image, int largeur, int hauteur) {
  pixels_essai resultat{largeur, hauteur, {}};
  for (int y = 0; y < hauteur; ++y)
    for (int x = 0; x < largeur; ++x)
      resultat.argb.push_back(image.pixel(x * image.largeur / largeur, y * image.hauteur / hauteur));
  return resultat;
}

std::string debut(const std::string& octets, size_t taille) { return octets.substr(0, taille); }
std::string sans_fin(const std::string& octets, size_t coupe) { return octets.substr(0, octets.size() - coupe); }

class SurfaceApercu : public ChargementImage {};

}  // namespace

TEST_F(ChargementImage, EveryBitmapDepthLoadsExactColoursWhateverTheName) {
  const pixels_essai reference = image_de_reference();
  for (bool haut_en_bas : {false, true}) {
    for (int bits : {8, 24, 32}) {
      surface_apercu surface(1297, 943);
      surface.charge(fichier("a_b_1.bmp2", ecrit_bmp(reference, bits, haut_en_bas)));
      compare(surface, reference, std::to_string(bits) + (haut_en_bas ? " top-down" : ""));
    }
    // Depths too small for the fourteen colours: a subset they can hold.
    pixels_essai deux = reference.partie(0, 0, 2, 1), seize = reference.partie(0, 0, 7, 2);
    pixels_essai extremes = reference.partie(0, 0, 2, 1);
    extremes.argb[1] = argb(0, 255, 255);
    for (auto [bits, image] : {std::pair{1, deux}, {4, seize}, {16, extremes}}) {
      surface_apercu surface(1297, 943);
      surface.charge(fichier("x.bmp2", ecrit_bmp(image, bits, haut_en_bas)));
      compare(surface, image, std::to_string(bits) + (haut_en_bas ? " top-down" : ""));
    }
  }
}

TEST_F(ChargementImage, TransparencyIsLaidOverWhiteNeverBlack) {
  // Fully transparent black: white; opaque red stays exact; half black: grey, not printable. The
  // same pixels as a PNG: test_formats_qt.
  const pixels_essai image{3, 1, {argb(0, 0, 0, 0), argb(255, 0, 0, 255), argb(0, 0, 0, 128)}};
  surface_apercu surface(1297, 943);
  surface.charge(fichier("t_t_1.bmp2", ecrit_bmp(image, 32, false, true)));
  EXPECT_EQ(surface.lit_pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(surface.lit_pixel(1, 0), rouge);
  EXPECT_EQ(surface.lit_pixel(2, 0), 0x7F7F7Fu);
}

TEST_F(ChargementImage, RefusesWhatIsNotAWholePicture) {
  // A cut PNG and a JPEG: test_formats_qt.
  const std::string bmp = ecrit_bmp(etiree(image_de_reference(), 70, 20), 24);
  EXPECT_EQ(echec(fichier("cut_a_1.bmp2", debut(bmp, bmp.size() * 9 / 10))), code_erreur::image_incorrecte);
  EXPECT_NE(dernier_message.find("tronquées"), std::string::npos) << dernier_message;
  EXPECT_EQ(echec(fichier("cut_b_1.bmp2", sans_fin(bmp, 1))), code_erreur::image_incorrecte);

  EXPECT_EQ(echec(fichier("vide_a_1.bmp2", {})), code_erreur::image_incorrecte);
  EXPECT_EQ(echec(fichier("x_y_1.bmp2", "ceci n'est pas une image\n")), code_erreur::image_incorrecte);
  EXPECT_EQ(echec(texte_utf8(dossier / "absent_a_1.bmp2")), code_erreur::fichier_introuvable);
}

TEST_F(ChargementImage, APixelOffsetPointingIntoTheHeaderDoesNotHideACut) {
  // Some writers leave the pixel offset at 0. The decoder then takes the pixels from just after
  // the header, so a file short of up to a header's length was taken for whole and printed with
  // rows of whatever memory held.
  const pixels_essai image = etiree(image_de_reference(), 8, 4);
  std::string bmp = ecrit_bmp(image, 24);
  for (int i = 10; i < 14; ++i) bmp[i] = 0;
  surface_apercu surface(1297, 943);
  surface.charge(fichier("o_o_1.bmp2", bmp));
  compare(surface, image, "décalage nul");
  for (int coupe : {1, 24, 54}) {
    EXPECT_EQ(echec(fichier("o_o_2.bmp2", sans_fin(bmp, coupe))), code_erreur::image_incorrecte) << coupe;
    EXPECT_NE(dernier_message.find("tronquées"), std::string::npos) << dernier_message;
  }
}

// The byte streams below read best with their fields side by side.
// clang-format off
TEST_F(ChargementImage, RunLengthBitmapsMustSetEveryPixel) {
  // Rows bottom first. Runs: a count and a value; escapes: 00 00 end of row, 00 01 end of
  // picture, 00 02 dx dy a jump, 00 n followed by n values padded to an even number of bytes.
  const std::string rle8 = depuis_hexa("0401" "0000" "0102" "0003000102" "00" "0000" "0001");
  const std::string rle4 = depuis_hexa("0411" "0000" "0120" "00030120" "0000" "0001");
  const auto taille = [](const std::string& d) { return static_cast<uint32_t>(d.size()); };
  for (const auto& [bits, donnees] : {std::pair{8, rle8}, std::pair{4, rle4}}) {
    surface_apercu surface(1297, 943);
    surface.charge(fichier("r_r_1.bmp2", bmp_rle(bits, donnees, taille(donnees))));
    compare(surface, image_rle(), "RLE" + std::to_string(bits));
  }

  // The decoder leaves any pixel the stream does not set as whatever memory held, and says
  // nothing: each of these printed it.
  struct cas_rle {
    std::string cas;
    std::string octets;
    std::string message;
  };
  const std::string non_definis = "données RLE incomplètes : pixels non définis";
  const std::vector<cas_rle> refuses = {
      {"fin d'image après une ligne", bmp_rle(8, depuis_hexa("0401" "0000" "0001"), 6), non_definis},
      {"taille des données nulle, flux coupé", bmp_rle(8, debut(rle8, 8), 0), non_definis},
      {"ligne finie trop tôt", bmp_rle(8, depuis_hexa("0201" "0000" "0402" "0000" "0001"), 10), non_definis},
      {"saut", bmp_rle(8, depuis_hexa("0401" "0000" "0102" "00020200" "0102" "0000" "0001"), 16),
       non_definis},
      {"4 bits, flux coupé", bmp_rle(4, debut(rle4, 6), 0), non_definis},
      // Decoders disagree on such a run; the one at hand writes it over the row drawn before.
      {"série au-delà de la ligne", bmp_rle(8, depuis_hexa("0401" "0000" "0502" "0000" "0001"), 10),
       "données RLE incorrectes : série au-delà de la ligne"},
      {"indice au-delà de la palette", bmp_rle(8, depuis_hexa("0401" "0000" "0403" "0000" "0001"), 10),
       "indice de palette 3 au-delà des 3 couleurs"},
  };
  // clang-format on
  for (const auto& [cas, octets, message] : refuses) {
    EXPECT_EQ(echec(fichier("r_r_2.bmp2", octets)), code_erreur::image_incorrecte) << cas;
    EXPECT_NE(dernier_message.find(message), std::string::npos) << cas << " : " << dernier_message;
  }
}

// 16 or 32 bits a pixel: the widest colour channel (red, green or blue by turns) has `n` bits, the
// other two share what is left, up to `n` bits each, and alpha, when present, takes the rest, up
// to `n` bits. Packed from bit 0: blue, green, red, alpha.
std::pair<std::array<uint32_t, 4>, int> disposition_canaux(int bits, int n, bool alpha) {
  std::array<int, 4> largeurs{};
  largeurs[n % 3] = std::min(n, bits - 2 - alpha);
  const int reste = bits - largeurs[n % 3] - alpha;
  largeurs[(n + 1) % 3] = std::min(n, (reste + 1) / 2);
  largeurs[(n + 2) % 3] = std::min(n, reste - largeurs[(n + 1) % 3]);
  largeurs[3] = alpha ? std::min(n, bits - largeurs[0] - largeurs[1] - largeurs[2]) : 0;
  std::array<uint32_t, 4> masques{};
  int position = 0;
  for (int k : {2, 1, 0, 3}) {
    masques[k] = largeurs[k] ? static_cast<uint32_t>(((uint64_t{1} << largeurs[k]) - 1) << position) : 0;
    position += largeurs[k];
  }
  return {masques, std::min({largeurs[0], largeurs[1], largeurs[2]})};
}

TEST_F(ChargementImage, EveryBitFieldLayoutReadsItsChannelsToFullRange) {
  // Row 0: black, the primaries, white and a fully transparent blue; rows 1 and 2: the reference
  // picture, whose near misses only channels of 8 bits or more can hold.
  pixels_essai image{7,
                     3,
                     {argb(0, 0, 0), argb(255, 0, 0), argb(0, 255, 0), argb(0, 0, 255), argb(255, 255, 255),
                      argb(0, 0, 255, 0), argb(255, 255, 255)}};
  for (uint32_t c : image_de_reference().argb) image.argb.push_back(c);
  for (int bits : {16, 32})
    for (int n = 1; n <= 16; ++n)
      for (bool alpha : {false, true}) {
        const auto [masques, plus_etroit] = disposition_canaux(bits, n, alpha);
        const uint32_t entete = std::array{40u, 108u, 124u}[n % 3];
        const disposition_bmp disposition{
            .masques = masques, .compression = alpha && (entete == 40 || n % 2) ? 6u : 3u, .taille_entete = entete};
        const pixels_essai source = plus_etroit >= 8 ? image : image.partie(0, 0, 7, 1);
        pixels_essai attendu = source;
        attendu.argb[5] = alpha ? argb(255, 255, 255) : argb(0, 0, 255);
        surface_apercu surface(1297, 943);
        surface.charge(fichier("c_c_1.bmp2", ecrit_bmp(source, bits, disposition)));
        compare(surface, attendu,
                std::to_string(bits) + " bits, widest " + std::to_string(n) + (alpha ? ", alpha" : ""));
      }

  // Masks the pixels cannot be read by exactly.
  const pixels_essai pixel = image.partie(0, 0, 1, 1);
  const std::vector<std::tuple<int, std::array<uint32_t, 4>, std::string>> refuses = {
      {32, {0x00FF00FF, 0x0000FF00, 0, 0}, "non contigu"},
      {32, {0x00FF0000, 0x0001FF00, 0x000000FF, 0}, "se chevauchent"},
      {16, {0x001F0000, 0x03E0, 0x001F, 0}, "au-delà des 16 bits"},
  };
  for (const auto& [bits, masques, message] : refuses) {
    EXPECT_EQ(echec(fichier("m_m_1.bmp2", ecrit_bmp(pixel, bits, {.masques = masques}))),
              code_erreur::image_incorrecte);
    EXPECT_NE(dernier_message.find(message), std::string::npos) << dernier_message;
  }
}

TEST_F(ChargementImage, PaletteIndicesMustStayWithinThePaletteTheFileHolds) {
  const pixels_essai trois = image_de_reference().partie(0, 0, 3, 1);  // black, blue, near blue
  for (int bits : {4, 8}) {
    // A palette shorter than announced, its pixels right after it: every index used is defined.
    for (int annoncees : {0, 1 << bits}) {
      surface_apercu surface(1297, 943);
      const disposition_bmp courte{.entrees_palette = 3, .couleurs_annoncees = annoncees};
      surface.charge(fichier("p_p_1.bmp2", ecrit_bmp(trois, bits, courte)));
      compare(surface, trois, std::to_string(bits) + " bits, " + std::to_string(annoncees) + " announced");
    }
    // The near blue's index has no entry: it printed black.
    EXPECT_EQ(echec(fichier("p_p_2.bmp2", ecrit_bmp(trois, bits, {.entrees_palette = 2}))),
              code_erreur::image_incorrecte);
    EXPECT_NE(dernier_message.find("indice de palette 2 au-delà des 2 couleurs de la palette (pixel 2, 0)"),
              std::string::npos)
        << dernier_message;
  }
}

TEST_F(ChargementImage, HugeHeaderIsRefusedBeforeAllocating) {
  std::string bombe = debut(ecrit_bmp(pixels_essai{1, 1, {argb(0, 0, 0)}}, 24), 54);
  for (int decalage : {18, 22}) {  // width and height: 60000
    bombe[decalage] = static_cast<char>(0x60);
    bombe[decalage + 1] = static_cast<char>(0xEA);
  }
  EXPECT_EQ(echec(fichier("bombe_a_1.bmp2", bombe)), code_erreur::memoire_insuffisante);
  EXPECT_NE(dernier_message.find("60000 × 60000"), std::string::npos) << dernier_message;
}

TEST_F(SurfaceApercu, TakesThePictureSizeAndReadsOutsideAsUnprintable) {
  const std::string chemin = fichier("p_p_1.bmp2", ecrit_bmp(image_de_reference(), 24));

  surface_apercu surface(1297, 943);
  EXPECT_EQ(surface.largeur_echelle(), 1297.0f);
  EXPECT_EQ(surface.hauteur_echelle(), 943.0f);
  EXPECT_EQ(surface.lit_pixel(1296, 942), 0xFFFFFFu);
  EXPECT_EQ(surface.lit_pixel(1297, 0), couleur_hors_surface);

  surface.charge(chemin);
  EXPECT_EQ(surface.largeur_echelle(), 7.0f);
  EXPECT_EQ(surface.hauteur_echelle(), 2.0f);
  for (int32_t y = -1; y <= 2; ++y) {
    std::vector<uint32_t> ligne(9);
    surface.lit_ligne(y, ligne);
    for (int32_t x = 0; x < 9; ++x) EXPECT_EQ(ligne[x], surface.lit_pixel(x, y)) << x << "," << y;
  }
  EXPECT_EQ(surface.lit_pixel(7, 0), couleur_hors_surface);
  EXPECT_EQ(surface.lit_pixel(-1, 0), couleur_hors_surface);

  // A failed load leaves the previous picture in place.
  EXPECT_THROW(surface.charge(chemin + ".absent"), erreur);
  EXPECT_EQ(surface.lit_pixel(0, 0), noir);

  surface.efface();
  EXPECT_EQ(surface.largeur_echelle(), 1297.0f);
  EXPECT_EQ(surface.lit_pixel(0, 0), 0xFFFFFFu);
}
