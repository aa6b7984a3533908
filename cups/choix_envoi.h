#pragma once
// How a page reaches a queue, from the queue's PPD and what its IPP description says: the
// document's format, whether copies must be pages of it, the colour choice that goes with the
// job, and for a driver that takes CUPS raster, the page header it expects.

#include <cups/raster.h>

#include <optional>
#include <string>
#include <string_view>

#include "cups/format_page.h"
#include "cups/options_couleur.h"
#include "cups/ppd_ouvert.h"

namespace agent {

enum class format_envoi { pdf, pwg, raster_cups };

// The document's MIME type ("image/pwg-raster", "application/vnd.cups-raster",
// "application/pdf"). Throws nothing.
const char* type_document(format_envoi format);

struct choix_envoi {
  format_envoi format = format_envoi::pdf;
  bool copies_en_pages = false;               // a raster document repeats its page
  std::optional<choix_ppd> couleur;           // sent with the job beside print-color-mode
  std::optional<cups_page_header2_t> entete;  // raster_cups: the driver's page header
  std::optional<format_page> format_pilote;   // raster_cups: the page at the header's resolution
};

struct description_ipp {
  bool couleur_refusee = false;  // color-supported is false
  bool pwg_exact = false;        // the printer takes 8-bit sRGB PWG raster at the queue's resolution
};

// `ppd`: the queue's PPD, empty when it has none (a raw queue). `choisir_format`: false
// sends PDF whatever the queue takes. Throws "Erreur d'imprimante" naming `designation` when the
// queue cannot print colour: not a colour device, or a colour option without a colour choice.
choix_envoi choisit_envoi(const std::string& designation, const ppd_recu& ppd, const format_page& format,
                          const description_ipp& ipp, bool choisir_format);

}  // namespace agent
