// The choice of colour in a PPD's own terms, for what the queues of the scheduler-level tests do
// not show: preference among colour choices, letter case, an option with no colour choice, and
// which option decides when a PPD has several.

#include <gtest/gtest.h>

#include "cups/options_couleur.h"

using namespace agent;

TEST(OptionsCouleur, ColourChoiceGoesWithTheJobOnlyWhenTheDefaultIsNotOne) {
  const struct {
    std::vector<option_ppd> options;
    bool possible;
    std::optional<choix_ppd> a_envoyer;
  } cas[] = {
      {{}, true, std::nullopt},  // no vendor option: print-color-mode is enough
      {{{"ColorModel", "CMYK", {"Gray", "CMYK"}}}, true, std::nullopt},
      {{{"ColorModel", "Gray", {"Gray", "CMYK", "RGB"}}}, true, choix_ppd{"ColorModel", "RGB"}},
      {{{"ColorMode", "Monochrome", {"Monochrome", "Color"}}}, true, choix_ppd{"ColorMode", "Color"}},
      {{{"CNColorMode", "mono", {"mono", "COLOR"}}}, true, choix_ppd{"CNColorMode", "COLOR"}},
      {{{"BRMonoColor", "Mono", {"Mono"}}}, false, std::nullopt},
      {{{"ColorModel", "RGB", {"RGB"}}, {"ColorMode", "Monochrome", {"Monochrome"}}}, true, std::nullopt},
  };
  for (const auto& c : cas) {
    const reglage_couleur r = couleur_pour(c.options);
    const std::string nom = c.options.empty() ? "aucune" : c.options[0].mot_cle + "=" + c.options[0].defaut;
    EXPECT_EQ(r.possible, c.possible) << nom;
    EXPECT_EQ(r.a_envoyer, c.a_envoyer) << nom;
  }
}
