// libcups marks its whole PPD API deprecated in favour of IPP attributes (cupsCopyDestInfo), but
// IPP does not carry what a driver's queue needs: a vendor colour option's choices and the raster
// page header the PPD's code sets up for its driver. Nothing replaces these functions for such
// queues while CUPS 2.x drives them by PPD, so the deprecation warning is silenced here, and only
// here.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include "cups/ppd_ouvert.h"

#include <cups/ppd.h>
#include <unistd.h>

#include <string>

namespace agent {

ppd_recu::~ppd_recu() {
  if (descripteur_ >= 0) close(descripteur_);
}

std::unique_ptr<ppd_ouvert> ppd_ouvert::ouvre(const ppd_recu& ppd) {
  if (ppd.texte().empty() || lseek(ppd.descripteur(), 0, SEEK_SET) != 0) return nullptr;
  // ppdOpenFd closes the descriptor it is given once it has read it: it gets a copy, and the
  // memory file stays with its owner.
  const int copie = dup(ppd.descripteur());
  ppd_file_t* ouvert = copie >= 0 ? ppdOpenFd(copie) : nullptr;
  return ouvert ? std::unique_ptr<ppd_ouvert>(new ppd_ouvert(ouvert)) : nullptr;
}

ppd_ouvert::~ppd_ouvert() { ppdClose(ppd_); }

bool ppd_ouvert::appareil_couleur() const { return ppd_->color_device != 0; }

std::vector<option_ppd> ppd_ouvert::options(const std::vector<std::string_view>& mots_cles) const {
  std::vector<option_ppd> trouvees;
  for (std::string_view mot : mots_cles) {
    ppd_option_t* option = ppdFindOption(ppd_, std::string(mot).c_str());
    if (!option) continue;
    option_ppd o{option->keyword, option->defchoice, {}};
    for (int i = 0; i < option->num_choices; ++i) o.choix.emplace_back(option->choices[i].choice);
    trouvees.push_back(std::move(o));
  }
  return trouvees;
}

std::optional<cups_page_header2_t> ppd_ouvert::entete(const std::vector<choix_ppd>& options) {
  cups_option_t* liste = nullptr;
  int nombre = 0;
  for (const choix_ppd& c : options) nombre = cupsAddOption(c.option.c_str(), c.valeur.c_str(), nombre, &liste);
  ppdMarkDefaults(ppd_);
  cupsMarkOptions(ppd_, nombre, liste);
  cups_page_header2_t entete{};
  const int resultat = cupsRasterInterpretPPD(&entete, ppd_, nombre, liste, nullptr);
  cupsFreeOptions(nombre, liste);
  if (resultat != 0) return std::nullopt;
  return entete;
}

}  // namespace agent
