#pragma once
// A private CUPS print scheduler for the tests that print, so that they meet the real spooler
// and check what it received, without ever touching the machine's own print system.
//
// How to use it:
//
//   serveur_cups_prive serveur;                                   // started and answering
//   serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard");
//   serveur.ajoute_file("Photo", "Photo couleur", pilote{600, "Letter"});
//   serveur.ajoute_file("Bureau", "Bureau", pilote{300, "A4", sorte_file::sans_pilote});
//   serveur.rend_defaut("QLS4100");
//   imprimante_cups imprimante("agent_impression");               // talks to this scheduler
//   ... print ...
//   auto travaux = serveur.travaux();                             // copies, name, format, state
//   QImage page = serveur.recu(travaux.at(0).id).page;            // what the printer got
//
// The constructor makes a fresh temporary folder holding the whole configuration, the spool,
// the logs and a private HOME; starts `cupsd -f` listening only on a socket in that folder; and
// points every later libcups call and every command started by this process (lpadmin, lp, the
// agent's own binary) at that socket, with PRINTER and LPDEST unset so that they cannot override
// the default queue. Queues print to /dev/null (PostScript and raster-driver queues to a file each,
// for what their driver's filters wrote); the scheduler keeps each job's document as it
// arrived and keeps finished jobs in its history. The destructor stops the scheduler (SIGTERM,
// then waits), restores the environment and removes the folder. One scheduler per process at a
// time: the test executables run each case in a process of its own.
//
// Every failure of the fixture itself throws std::runtime_error with the scheduler's log.

#include <sys/types.h>

#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/imprimante_emulee.h"
#include "tests/support/ppd_essai.h"
#include "tests/support/rendu_page.h"

namespace agent::essai {

// IPP job states.
enum class etat_travail {
  en_attente = 3,
  retenu = 4,
  en_cours = 5,
  arrete = 6,
  annule = 7,
  abandonne = 8,
  termine = 9,
};

struct travail {
  int32_t id;
  std::string file;             // queue name
  int32_t copies;               // 1 when the job did not say
  std::string nom;              // job-name
  std::string format_document;  // document-format, empty before any document arrived
  etat_travail etat;
};

class serveur_cups_prive {
public:
  // `directives`: extra lines for cupsd.conf (e.g. "MaxRequestSize 2k").
  explicit serveur_cups_prive(const std::vector<std::string>& directives = {});
  ~serveur_cups_prive();
  serveur_cups_prive(const serveur_cups_prive&) = delete;
  serveur_cups_prive& operator=(const serveur_cups_prive&) = delete;

  const std::filesystem::path& dossier() const { return dossier_; }
  std::filesystem::path socket() const { return dossier_ / "cups.sock"; }

  // A queue. Without a driver it prints to /dev/null, takes the data raw and reports neither a
  // resolution nor a paper size.
  void ajoute_file(const std::string& nom, const std::string& description,
                   const std::optional<pilote>& avec = std::nullopt);
  // A queue with a driver the machine has, by the name `lpinfo -m` lists it under, to /dev/null.
  void ajoute_file_modele(const std::string& nom, const std::string& modele);
  void rend_defaut(const std::string& nom);
  void refuse_travaux(const std::string& nom);  // the queue rejects new jobs
  void desactive(const std::string& nom);       // the queue holds its jobs
  void supprime(const std::string& nom);

  // Every job the scheduler knows, finished ones included, by increasing id.
  std::vector<travail> travaux() const;
  // The document of job `id` exactly as the scheduler received it.
  QByteArray document(int32_t id) const;

  // What the printer of job `id`'s queue received, once the job is through the scheduler: its
  // first page as pixels (the raw or transparent queue's PDF rasterised by pdftoppm, the
  // PostScript queue's output by Ghostscript, both at the queue's resolution, the emulated
  // printer's PWG raster as it is, the CUPS raster a raster driver got by its inks), the copies
  // it was asked for, and the job's name as the printer got it, and how many bytes it got.
  struct reception {
    QImage page;
    int32_t copies;
    std::string nom;
    qsizetype octets;
  };
  reception recu(int32_t id) const;
  // Job `id` once the scheduler has finished it; throws when it ends any other way.
  travail attend_travail_fini(int32_t id) const;
  // The emulated printer behind a driverless queue.
  const imprimante_emulee& imprimante(const std::string& file) const { return *files_.at(file).imprimante; }

  void suspend();               // SIGSTOP: the socket still accepts, nothing answers
  void reprend();               // SIGCONT
  void tue();                   // SIGKILL, then reaped: the socket refuses
  std::string journal() const;  // the scheduler's error log

private:
  struct file_essai {
    std::optional<pilote> avec;
    std::unique_ptr<imprimante_emulee> imprimante;  // for a driverless queue
  };

  void lance(const std::vector<std::string>& commande) const;
  void attend_reponse();
  void attend_pilote_genere(const std::string& nom) const;

  std::filesystem::path dossier_;
  pid_t pid_ = 0;
  std::map<std::string, std::optional<std::string>> environnement_;
  std::map<std::string, file_essai> files_;
};

}  // namespace agent::essai
