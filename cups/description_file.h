#pragma once
// A print queue as one lookup finds it: the scheduler's list of queues, the chosen one with its
// capabilities, its medium and resolution on each axis, and the way a page reaches it (from its
// PPD and its IPP description). The lookup is the dearest round trip of a small job, so a
// document keeps what it found until it is submitted.

#include <cups/cups.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cups/choix_envoi.h"
#include "cups/connexion.h"
#include "cups/format_page.h"
#include "printing/service_imprimante.h"

namespace agent {

struct liberation_infos {
  void operator()(cups_dinfo_t* i) const { cupsFreeDestInfo(i); }
};

// A queue as libcups describes it, with its capabilities.
struct destination {
  int nombre = 0;
  cups_dest_t* liste = nullptr;
  cups_dest_t* dest = nullptr;  // inside liste
  std::unique_ptr<cups_dinfo_t, liberation_infos> infos;

  destination() = default;
  destination(const destination&) = delete;
  destination& operator=(const destination&) = delete;
  ~destination() { cupsFreeDests(nombre, liste); }
};

// The queue as an error message names it. Throws nothing.
std::string designation(const std::optional<std::string>& file);

struct file_decrite {
  destination d;
  format_page format;
  choix_envoi envoi;
};

// The scheduler's queues in its own order, each with its description, a user's saved sets of
// options left out. Throws "Erreur d'imprimante" when the list cannot be had.
std::vector<imprimante> imprimantes_du_serveur(const connexion& c);

// The chosen queue (the scheduler's default while `file` is empty) as one lookup finds it.
// `choisir_format`: false sends PDF whatever the queue takes. Throws "Imprimante introuvable" when
// there is no such queue, "Erreur d'imprimante" when it does not describe itself or cannot print
// colour.
std::unique_ptr<file_decrite> decrit_file(const connexion& c, const std::optional<std::string>& file,
                                          bool choisir_format);

// Throws "Valeur de propriété incorrecte" when the queue makes fewer or more copies than `copies`.
void verifie_copies(const connexion& c, const file_decrite& decrite, int16_t copies);

}  // namespace agent
