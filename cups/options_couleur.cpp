#include "cups/options_couleur.h"

#include <algorithm>

namespace agent {

namespace {

struct option_connue {
  std::string_view mot_cle;
  std::vector<std::string_view> couleur;  // by preference
};

// The vendor options of the common driver packages and the choices that print colour (their
// monochrome choices, Gray, Monochrome, Mono, GrayscalePrint, BW, MONO, Normal.Gray, CMBW, are
// whatever is not listed). Choices are compared ignoring case, as PPD writers are not consistent
// about it. Throws nothing.
const std::vector<option_connue>& table() {
  static const std::vector<option_connue> options = {
      {"ColorModel", {"RGB", "CMYK", "Color", "CMY", "KCMY"}},
      {"ColorMode", {"Color", "Colour"}},
      {"BRMonoColor", {"FullColor", "Color"}},
      {"CNColorMode", {"color"}},
      {"HPColorMode", {"ColorPrint"}},
      {"SelectColor", {"Color"}},
      {"XRXColor", {"Automatic"}},
      {"Ink", {"COLOR"}},
      {"PrintoutMode", {"Normal"}},
      {"ARCMode", {"CMColor"}},
      {"OKControl", {"Auto"}},
  };
  return options;
}

// Whether two PPD keywords are the same but for letter case. Throws nothing.
bool meme(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return (x | 0x20) == (y | 0x20); });  // ASCII letters only
}

}  // namespace

const std::vector<std::string_view>& options_couleur_connues() {
  static const std::vector<std::string_view> mots = [] {
    std::vector<std::string_view> m;
    for (const auto& o : table()) m.push_back(o.mot_cle);
    return m;
  }();
  return mots;
}

reglage_couleur couleur_pour(const std::vector<option_ppd>& options) {
  for (const option_connue& connue : table()) {
    const auto option =
        std::find_if(options.begin(), options.end(), [&](const option_ppd& o) { return o.mot_cle == connue.mot_cle; });
    if (option == options.end()) continue;
    const auto est_couleur = [&](std::string_view choix) {
      return std::any_of(connue.couleur.begin(), connue.couleur.end(), [&](auto c) { return meme(c, choix); });
    };
    if (est_couleur(option->defaut)) return {};
    for (std::string_view voulu : connue.couleur)
      for (const std::string& choix : option->choix)
        if (meme(voulu, choix)) return {true, choix_ppd{option->mot_cle, choix}};
    return {false, std::nullopt};
  }
  return {};  // no vendor option: print-color-mode is the queue's own way to colour
}

}  // namespace agent
