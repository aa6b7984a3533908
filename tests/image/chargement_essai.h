#pragma once
// What the loader's tests share: job files in a private folder, a load expected to fail, and a
// loaded surface compared pixel for pixel. Standard C++ alone.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "core/chemin_utf8.h"
#include "core/erreur.h"
#include "image/surface_apercu.h"
#include "tests/support/bmp_essai.h"
#include "tests/support/couleurs_essai.h"

namespace agent::essai {

// Row 0: the seven printable colours; row 1: near misses and white.
inline pixels_essai image_de_reference() {
  pixels_essai image{7, 2, {sept_couleurs.begin(), sept_couleurs.end()}};
  for (uint32_t c : {argb(253, 0, 0), argb(0, 254, 0), argb(0, 0, 1), argb(1, 0, 255), argb(255, 255, 255),
                     argb(128, 128, 128), argb(0, 255, 1)})
    image.argb.push_back(c);
  return image;
}

class ChargementImage : public testing::Test {
protected:
  void SetUp() override {
    dossier = std::filesystem::temp_directory_path() / ("test_image_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dossier);
  }
  void TearDown() override {
    std::error_code ignore;
    std::filesystem::remove_all(dossier, ignore);
  }
  std::string fichier(const std::string& nom, std::string_view octets) {
    const std::string chemin = texte_utf8(dossier / chemin_utf8(nom));
    ecrit_fichier(chemin, octets);
    return chemin;
  }
  code_erreur echec(const std::string& chemin) {
    surface_apercu surface(1297, 943, png_gif);
    try {
      surface.charge(chemin);
    } catch (const erreur& e) {
      dernier_message = e.description();
      return e.code();
    }
    ADD_FAILURE() << chemin << " loaded";
    return code_erreur::depassement_capacite;
  }
  static uint32_t bgr(uint32_t c) { return (c >> 16 & 0xFF) | (c & 0xFF00) | (c & 0xFF) << 16; }
  void compare(const surface_apercu& surface, const pixels_essai& attendu, const std::string& cas) {
    ASSERT_EQ(surface.largeur_echelle(), attendu.largeur) << cas;
    ASSERT_EQ(surface.hauteur_echelle(), attendu.hauteur) << cas;
    for (int y = 0; y < attendu.hauteur; ++y)
      for (int x = 0; x < attendu.largeur; ++x)
        EXPECT_EQ(surface.lit_pixel(x, y), bgr(attendu.pixel(x, y))) << cas << " at " << x << "," << y;
  }

  // The platform's PNG and GIF decoders, for the tests of those formats.
  decodeur_png_gif png_gif = nullptr;
  std::filesystem::path dossier;
  std::string dernier_message;
};

}  // namespace agent::essai
