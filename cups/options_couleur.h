#pragma once
// Colour in a driver's own terms. A PPD names the option that selects colour after its vendor
// (ColorModel, ColorMode, BRMonoColor, …), and many ship it at a monochrome default, which IPP's
// print-color-mode does not reach. The table of the options the agent knows, with their
// monochrome and colour choices, is here and nowhere else.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace agent {

// One PPD option as the queue's PPD gives it: its keyword, its default choice, every choice.
struct option_ppd {
  std::string mot_cle;
  std::string defaut;
  std::vector<std::string> choix;
};

// A choice to send with the job, as PPD option and value ("ColorMode", "Color").
struct choix_ppd {
  std::string option;
  std::string valeur;
  bool operator==(const choix_ppd&) const = default;
};

struct reglage_couleur {
  bool possible = true;                // false: the queue cannot print colour at all
  std::optional<choix_ppd> a_envoyer;  // the colour choice, when the default is not one
};

// The keywords of the known colour options, in the order they are looked for in a PPD.
const std::vector<std::string_view>& options_couleur_connues();

// What a colour device's queue needs to print in colour. `options`: the known colour options its
// PPD has, in the order of options_couleur_connues(); the first decides. A default that is a
// colour choice needs nothing; otherwise the option's first colour choice in the table's order
// goes with the job; an option without any colour choice cannot print colour.
reglage_couleur couleur_pour(const std::vector<option_ppd>& options);

}  // namespace agent
