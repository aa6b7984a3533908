#pragma once
// A print queue as one lookup finds it: the chosen one (or the default) with its capabilities,
// its medium and resolution on each axis, and the way a page reaches it (from its PPD and its IPP
// description). The lookup is the dearest round trip of a small job, so a document keeps what it
// found until it is submitted.

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

struct liberation_ipp {
  void operator()(ipp_t* i) const { ippDelete(i); }
};
using reponse_ipp = std::unique_ptr<ipp_t, liberation_ipp>;

// A queue as the scheduler names and describes it: only the attributes the agent reads, asked
// for by name, since a queue's full description (every medium it knows, with its margins) is
// thousands of attributes, each read off the connection on its own.
struct destination {
  std::string nom;
  reponse_ipp attributs;
};

// The queue's address on the scheduler, as libcups writes it. Throws nothing.
std::string uri_file(const std::string& file);

// The queue as an error message names it. Throws nothing.
std::string designation(const std::optional<std::string>& file);

struct file_decrite {
  destination d;
  format_page format;
  choix_envoi envoi;
};

// The scheduler's queues in its own order, each with its description. Throws "Erreur d'imprimante" when the list cannot
// be had.
std::vector<imprimante> imprimantes_du_serveur(const connexion& c);

// The chosen queue (the scheduler's default while `file` is empty) as one lookup finds it.
// `choisir_format`: false sends PDF whatever the queue takes. Throws "Imprimante introuvable" when
// there is no such queue, "Erreur d'imprimante" when it does not describe itself or cannot print
// colour.
std::unique_ptr<file_decrite> decrit_file(const connexion& c, const std::optional<std::string>& file,
                                          bool choisir_format);

// Throws "Valeur de propriété incorrecte" when the queue makes fewer or more copies than `copies`.
void verifie_copies(const file_decrite& decrite, int16_t copies);

}  // namespace agent
