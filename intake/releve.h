#pragma once
// One poll of the watched folder: every job file present is shown, printed and deleted in turn,
// once it has settled.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "printing/service_imprimante.h"

namespace agent {

// What a poll needs from the window; the window wires these to its components.
struct actions_releve {
  std::function<void(const std::vector<std::string>& noms)> affiche_liste;  // the listing shown
  std::function<void(bool)> active_minuterie;                               // timer enabled or not
  std::function<void(const std::string& chemin)> charge_apercu;             // load into the preview
  std::function<void(const int16_t& qte)> lance_impression;                 // print the preview
  // Waits, letting events run; false when the program is ending meanwhile.
  std::function<bool(std::chrono::milliseconds)> patiente;
  // Before the listing and before each job: false leaves the folder untouched for this poll
  // (another agent holds it). Unset: the folder is always this agent's.
  std::function<bool()> tient_dossier;
  // What the printer made of the print just handed to it, for the job's record line (queue, job
  // number, format, dots). Unset: nothing more.
  std::function<std::string()> decrit_impression;
  // A digest of the picture the preview holds, for the job's uuid. Unset: 0.
  std::function<uint64_t()> empreinte_apercu;
  // The spooler the jobs go to, which holds each one until its file is deleted. Null: a printer
  // without a spooler, whose jobs are final once printed.
  service_imprimante* spouleur = nullptr;
  // Each job released, with its file's name, to be followed until it ends. Unset: nothing.
  std::function<void(const travail_retenu&, const std::string& nom)> suit;
  // Whether the jobs the spooler holds for this agent must be looked at before anything else: at
  // the first poll after start. They are looked at before each submission anyway.
  bool reprend_au_debut = false;
  // Once a job is held by the spooler, before the folder's lock is checked again and its file
  // deleted (the test build's hook). Unset: nothing.
  std::function<void()> avant_suppression;
};

// Why a job file is left for a later poll.
enum class raison_attente {
  modifie,             // its size or time changed during the settle wait or while it was read
  ouvert_en_ecriture,  // another program holds it open for writing
  en_usage,            // its deletion was refused: another program or workstation has it open
};
const char* texte_raison(raison_attente raison);

struct fichier_laisse {
  std::string nom;
  raison_attente raison;
  bool operator==(const fichier_laisse&) const = default;
};

// The folder, one separator (unless the folder already ends with one) and the name.
std::string chemin_travail(const std::string& dossier, const std::string& nom);

// Makes sure the folder is this agent's (again before each job), lists it, disables the timer,
// notes each listed file's size and time, waits attente_stabilisation once, then for each listed
// name loads the file, reads its copy count, prints it held by the spooler, deletes it and
// releases its job, and finally enables the timer again. A job is final in that one step, the
// deletion: before it, the held job is cancelled or taken up again (travaux_retenus.h); after it,
// the job prints. A file whose size or time has changed since it was noted, by the time it is
// loaded or while it is, that another program holds open for writing, or whose deletion is refused
// because it is in use, is still arriving: it is left for a later poll, without error, its job
// cancelled (a file gone meanwhile is not arriving: the load or the deletion reports it). A
// program that ends during the wait ends the poll there, with nothing printed. Any failure leaves
// the poll where it stands: the failing file stays, its job held if it has one, the later ones
// are untouched and the timer stays disabled. Each job leaves a record line when it is handed to
// the spooler and one when it is final. Returns the files left for a later poll; nothing when the
// poll did not look at the folder (another agent holds it, or the program is ending).
std::optional<std::vector<fichier_laisse>> releve_dossier(const std::string& dossier_surveille,
                                                          const actions_releve& actions);

}  // namespace agent
