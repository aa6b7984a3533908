#include "bench/travail_complet.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTimer>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "app/boite_image.h"
#include "core/erreur.h"
#include "intake/identite_travail.h"

extern char** environ;

namespace agent::banc {

namespace {

// The window as the agent shows it, but with its poll stopped: only the job under measure runs.
std::unique_ptr<Form1> fenetre_pour(service_imprimante& imprimante, std::function<std::string()> ligne) {
  auto fenetre = std::make_unique<Form1>(
      imprimante, Form1::reglages{.dossier_surveille = std::filesystem::temp_directory_path().string(),
                                  .ligne_de_commande = std::move(ligne),
                                  .delai_message_fatal_ms = 1000});
  fenetre->Timer1->stop();
  fenetre->show();
  return fenetre;
}

// The process's own high-water mark of resident memory. Not getrusage: a child started by
// posix_spawn shares its parent's memory until it executes, and the kernel counts that peak
// (the parent's) in the child's maximum resident size.
int64_t memoire_pointe_processus() {
  std::ifstream etat("/proc/self/status");
  for (std::string ligne; std::getline(etat, ligne);) {
    if (ligne.rfind("VmHWM:", 0) == 0) return std::stoll(ligne.substr(6)) * 1024;  // in kB
  }
  throw std::runtime_error("VmHWM absent de /proc/self/status");
}

}  // namespace

std::string poste_complet::file_pour(int resolution) { return "Banc A4 " + std::to_string(resolution) + " dpi"; }

namespace {

std::string file_sans_pilote(int resolution) { return "Banc sans pilote " + std::to_string(resolution) + " dpi"; }
std::string file_pilote_raster(int resolution) { return "Banc pilote raster " + std::to_string(resolution) + " dpi"; }

}  // namespace

poste_complet::poste_complet() {
  for (int resolution : {300, 600}) {
    serveur_.ajoute_file("Banc" + std::to_string(resolution), file_pour(resolution), essai::pilote{resolution, "A4"});
    serveur_.ajoute_file("BancSansPilote" + std::to_string(resolution), file_sans_pilote(resolution),
                         essai::pilote{resolution, "A4", essai::sorte_file::sans_pilote});
    serveur_.ajoute_file("BancPiloteRaster" + std::to_string(resolution), file_pilote_raster(resolution),
                         essai::pilote{resolution, "A4", essai::sorte_file::pilote_raster});
  }
  fenetre_ = fenetre_pour(imprimante_, [this] { return ligne_de_commande_; });
  fenetre_pdf_ = fenetre_pour(imprimante_pdf_, [this] { return ligne_de_commande_; });
}

int32_t poste_complet::imprime_jusqu_a_l_imprimante(const std::string& chemin, int resolution, format_document envoi,
                                                    bool pilote_raster) {
  Form1& fenetre = envoi == format_document::pdf ? *fenetre_pdf_ : *fenetre_;
  if (pilote_raster) {
    ligne_de_commande_ = file_pilote_raster(resolution);
    fenetre.Picture1->charge(chemin);
    fenetre.lance_impression(1);
    const int32_t id = serveur_.travaux().back().id;
    serveur_.attend_travail_fini(id);
    return id;
  }
  const essai::imprimante_emulee& imprimante = serveur_.imprimante("BancSansPilote" + std::to_string(resolution));
  const int32_t avant = imprimante.travaux_entiers();
  ligne_de_commande_ = file_sans_pilote(resolution);
  fenetre.Picture1->charge(chemin);
  fenetre.lance_impression(1);
  const int32_t id = serveur_.travaux().back().id;
  // The printer holds the page once its document has arrived whole; the scheduler notices later.
  const auto limite = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  while (imprimante.travaux_entiers() == avant) {
    if (std::chrono::steady_clock::now() > limite) throw std::runtime_error("le travail n'a pas atteint l'imprimante");
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return id;
}

poste_complet::~poste_complet() = default;

void poste_complet::imprime(const std::string& chemin, int resolution) {
  ligne_de_commande_ = file_pour(resolution);
  // What a poll adds to the print run for each job, bar the deletion: the jobs held for the folder
  // looked at, the job held under its uuid, then released once final.
  const std::string dossier = std::filesystem::path(chemin).parent_path().string();
  const std::string nom = std::filesystem::path(chemin).filename().string();
  imprimante_.travaux_retenus(prefixe_uuid(dossier));
  fenetre_->Picture1->charge(chemin);
  const std::optional<etat_fichier> etat = etat_de(chemin);
  if (!etat) throw std::runtime_error("fichier absent : " + chemin);
  imprimante_.retient_prochain(uuid_travail(dossier, nom, *etat, fenetre_->Picture1->surface().empreinte()));
  fenetre_->lance_impression(1);
  const envoi_document envoi = imprimante_.dernier_envoi();
  imprimante_.libere_travail({envoi.file, envoi.travail, {}, nom, true});
}

int poste_complet::travaux_acceptes() const { return static_cast<int>(serveur_.travaux().size()); }

qsizetype poste_complet::taille_dernier_document() const {
  const auto travaux = serveur_.travaux();
  return travaux.empty() ? 0 : serveur_.document(travaux.back().id).size();
}

int64_t memoire_pointe_travail(const std::string& chemin, int resolution) {
  const std::string programme = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string ligne = poste_complet::file_pour(resolution);
  std::vector<char*> arguments = {const_cast<char*>(programme.c_str()), const_cast<char*>("--travail-unique"),
                                  const_cast<char*>(chemin.c_str()), const_cast<char*>(ligne.c_str()), nullptr};
  int tube[2];
  if (pipe2(tube, O_CLOEXEC) != 0) throw std::runtime_error(std::string("pipe : ") + std::strerror(errno));
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, tube[1], 1);
  pid_t pid = 0;
  const int e = posix_spawn(&pid, programme.c_str(), &actions, nullptr, arguments.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(tube[1]);
  if (e != 0) {
    ::close(tube[0]);
    throw std::runtime_error(programme + " : " + std::strerror(e));
  }
  std::string sortie;
  char morceau[256];
  for (ssize_t n; (n = ::read(tube[0], morceau, sizeof morceau)) != 0;) {
    if (n > 0)
      sortie.append(morceau, static_cast<size_t>(n));
    else if (errno != EINTR)
      break;
  }
  ::close(tube[0]);
  int statut = 0;
  while (waitpid(pid, &statut, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(statut) || WEXITSTATUS(statut) != 0) throw std::runtime_error("le travail seul a échoué");
  return std::stoll(sortie);
}

int travail_unique(const std::string& chemin, const std::string& ligne_de_commande) {
  try {
    imprimante_cups imprimante("agent_impression");
    auto fenetre = fenetre_pour(imprimante, [&] { return ligne_de_commande; });
    fenetre->Picture1->charge(chemin);
    fenetre->lance_impression(1);
    std::cout << memoire_pointe_processus() << std::endl;
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "travail seul : " << e.what() << std::endl;
    return 1;
  }
}

}  // namespace agent::banc
