#include "cups/choix_envoi.h"

#include <cups/cups.h>

#include <cmath>
#include <memory>
#include <vector>

#include "core/erreur.h"
#include "cups/page_cups.h"
#include "cups/pilote_file.h"

namespace agent {

namespace {

// The driver's header when its page is the queue's medium and the agent can fill it exactly;
// nullopt sends PDF. Throws nothing.
std::optional<cups_page_header2_t> entete_pilote(ppd_ouvert& ppd, const format_page& format,
                                                 const std::optional<choix_ppd>& couleur) {
  // PPD names only: IPP names (media, print-color-mode) make libcups build its IPP-to-PPD cache,
  // which leaks a little at every lookup. The colour choice stands for print-color-mode.
  std::vector<choix_ppd> options;
  if (const pwg_media_t* support = pwgMediaForPWG(format.support.c_str()); support && support->ppd)
    options.push_back({"PageSize", support->ppd});
  if (couleur) options.push_back(*couleur);
  const std::optional<cups_page_header2_t> entete = ppd.entete(options);
  if (!entete || !entete_exacte(*entete)) return std::nullopt;
  const QSizeF points = points_page(format);
  if (std::abs(entete->cupsPageSize[0] - points.width()) >= 1 ||
      std::abs(entete->cupsPageSize[1] - points.height()) >= 1)
    return std::nullopt;
  return entete;
}

}  // namespace

choix_envoi choisit_envoi(const std::string& designation, const ppd_recu& ppd, const format_page& format,
                          const description_ipp& ipp, bool choisir_format) {
  const auto sans_couleur = [&](const std::string& pourquoi) {
    return erreur(code_erreur::erreur_imprimante,
                  designation + " n'imprime pas en couleur (" + pourquoi + ") : les couleurs sortiraient en gris");
  };
  if (ipp.couleur_refusee) throw sans_couleur("le serveur d'impression la décrit sans couleur");
  choix_envoi choix;
  const std::unique_ptr<ppd_ouvert> ouvert = ppd_ouvert::ouvre(ppd);
  if (ouvert) {
    if (!ouvert->appareil_couleur()) throw sans_couleur("son pilote la décrit en noir seul");
    const std::vector<option_ppd> options = ouvert->options(options_couleur_connues());
    const reglage_couleur couleur = couleur_pour(options);
    // The first option found decides.
    if (!couleur.possible) throw sans_couleur("son option " + options.front().mot_cle + " n'offre aucun choix couleur");
    choix.couleur = couleur.a_envoyer;
  }
  if (!choisir_format) return choix;
  const pilote_file pilote = lit_pilote(ppd.texte());
  if (pilote.transmet_pwg && ipp.pwg_exact) {
    choix.format = format_envoi::pwg;
    choix.copies_en_pages = pilote.copies_en_pages;
  } else if (pilote.prend_raster_cups && ouvert) {
    choix.entete = entete_pilote(*ouvert, format, choix.couleur);
    if (choix.entete) {
      choix.format = format_envoi::raster_cups;
      choix.copies_en_pages = pilote.copies_en_pages;
      format_page au_pilote = format;
      au_pilote.resolution_x = static_cast<int32_t>(choix.entete->HWResolution[0]);
      au_pilote.resolution_y = static_cast<int32_t>(choix.entete->HWResolution[1]);
      choix.format_pilote = au_pilote;
    }
  }
  return choix;
}

const char* type_document(format_envoi format) {
  switch (format) {
    case format_envoi::pwg: return "image/pwg-raster";
    case format_envoi::raster_cups: return "application/vnd.cups-raster";
    case format_envoi::pdf: break;
  }
  return CUPS_FORMAT_PDF;
}

}  // namespace agent
