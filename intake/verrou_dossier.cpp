#include "intake/verrou_dossier.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDateTime>
#include <QRandomGenerator>
#include <QSysInfo>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>
#include <system_error>
#include <thread>

#include "core/erreur.h"
#include "core/journal.h"
#include "core/raison_systeme.h"
#include "core/erreurs_fichiers.h"
#include "intake/releve.h"

namespace agent {

namespace {

using champs = std::map<std::string, std::string>;

constexpr std::chrono::seconds intervalle_rafraichissement{1};
constexpr int essais_renommage = 20;
constexpr std::chrono::milliseconds pause_renommage{25};

champs analyse(const std::string& contenu) {
  champs resultat;
  size_t debut = 0;
  while (debut < contenu.size()) {
    size_t fin = contenu.find('\n', debut);
    if (fin == std::string::npos) fin = contenu.size();
    const std::string ligne = contenu.substr(debut, fin - debut);
    const size_t egal = ligne.find('=');
    if (egal != std::string::npos) resultat[ligne.substr(0, egal)] = ligne.substr(egal + 1);
    debut = fin + 1;
  }
  return resultat;
}

std::string valeur(const champs& c, const std::string& cle) {
  const auto it = c.find(cle);
  return it == c.end() ? "?" : it->second;
}

std::string qui(const champs& c) {
  return "l'agent du poste « " + valeur(c, "hote") + " » (processus " + valeur(c, "processus") + ")";
}

std::string champs_titulaire(const champs& c) {
  return "hote=" + champ(valeur(c, "hote")) + " processus=" + valeur(c, "processus");
}

// A process of this machine that no longer exists, or whose number this process now has. One
// that exists under another user counts as alive (EPERM).
bool processus_disparu(const std::string& numero) {
  char* fin = nullptr;
  const long pid = std::strtol(numero.c_str(), &fin, 10);
  if (numero.empty() || *fin != '\0' || pid <= 0) return false;
  if (pid == ::getpid()) return true;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

std::error_code derniere_erreur() { return {errno, std::generic_category()}; }

}  // namespace

verrou_dossier::verrou_dossier(std::string dossier, std::chrono::milliseconds delai_abandon)
    : dossier_(std::move(dossier)),
      delai_(delai_abandon),
      hote_(QSysInfo::machineHostName().toStdString()),
      machine_(QSysInfo::machineUniqueId().toStdString()),
      instance_(QString::number(QRandomGenerator::system()->generate64(), 16).toStdString()) {}

verrou_dossier::~verrou_dossier() {
  if (!tenu_) return;
  // Out of reach, it goes stale and the next agent takes it over.
  std::error_code ec;
  const std::optional<std::string> present = lit(ec);
  if (present && analyse(*present)["instance"] == instance_) ::unlink(chemin().c_str());
}

std::string verrou_dossier::chemin() const { return chemin_travail(dossier_, nom_verrou_dossier); }

std::optional<std::string> verrou_dossier::lit(std::error_code& ec) const {
  ec.clear();
  const int descripteur = ::open(chemin().c_str(), O_RDONLY | O_CLOEXEC);
  if (descripteur < 0) {
    if (errno != ENOENT && errno != ENOTDIR) ec = derniere_erreur();
    return std::nullopt;
  }
  std::string contenu;
  char morceau[512];
  ssize_t lus = 0;
  while ((lus = ::read(descripteur, morceau, sizeof morceau)) > 0 && contenu.size() < 4096)
    contenu.append(morceau, static_cast<size_t>(lus));
  if (lus < 0) ec = derniere_erreur();
  ::close(descripteur);
  if (ec) return std::nullopt;
  return contenu;
}

std::optional<std::string> verrou_dossier::lit() const {
  std::error_code ec;
  std::optional<std::string> contenu = lit(ec);
  if (ec) throw erreur_dossier(ec, dossier_);
  return contenu;
}

std::string verrou_dossier::contenu() const {
  return "hote=" + hote_ + "\nmachine=" + machine_ + "\nprocessus=" + std::to_string(::getpid()) +
         "\ninstance=" + instance_ + "\nreleve=" + std::to_string(releves_) +
         "\nheure=" + QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString() + "\n";
}

void verrou_dossier::remplit(int descripteur, const std::string& fichier) {
  ++releves_;
  const std::string texte = contenu();
  const bool ecrit = ::write(descripteur, texte.data(), texte.size()) == static_cast<ssize_t>(texte.size());
  const int cause = errno;
  if (::close(descripteur) != 0 || !ecrit) {
    ::unlink(fichier.c_str());
    throw erreur_dossier({ecrit ? errno : cause, std::generic_category()}, dossier_);
  }
}

// Whole, under a name of its own, then renamed over the lock: a reader on any workstation finds
// either the old content or the new one.
void verrou_dossier::ecrit() {
  const std::string provisoire = chemin() + "." + instance_;
  const int descripteur = ::open(provisoire.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (descripteur < 0) throw erreur_dossier(derniere_erreur(), dossier_);
  remplit(descripteur, provisoire);
  // A file server refuses a rename over a file another workstation has open, and a second agent
  // reads the lock for a few milliseconds at each of its polls: tried again for a while, then left
  // for the next look. The lock stays this agent's meanwhile; its content only ages. The refusal
  // comes as EBUSY from a kernel mount, as EEXIST through smbnetfs, and as the access denied of a
  // sharing violation from some servers; the temporary file was just written in that folder, so
  // none of them means the folder is out of reach.
  const auto refus_passager = [](std::error_code ec) {
    return est_en_usage(ec) || ec == std::errc::file_exists || ec == std::errc::permission_denied;
  };
  for (int essai = 1;; ++essai) {
    if (::rename(provisoire.c_str(), chemin().c_str()) == 0) break;
    const std::error_code ec = derniere_erreur();
    if (refus_passager(ec) && essai < essais_renommage) {
      std::this_thread::sleep_for(pause_renommage);
      continue;
    }
    ::unlink(provisoire.c_str());
    if (!refus_passager(ec) || !tenu_) throw erreur_dossier(ec, dossier_);
    note_info("verrou non rafraîchi : dossier=%s raison=%s", champ(dossier_).c_str(),
           champ(raison_systeme(ec)).c_str());
    return;
  }
  tenu_ = true;
  ecrit_a_ = horloge::now();
}

// False when another agent created it first.
bool verrou_dossier::cree() {
  const int descripteur = ::open(chemin().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (descripteur < 0) {
    if (errno == EEXIST) return false;
    // A folder this agent may not write to: it could not delete a job either, and the first
    // printed job stops it with that error. Until then only the workstation's own lock holds.
    if (const int cause = errno; cause == EACCES || cause == EPERM || cause == EROFS) {
      if (!sans_verrou_)
        note_avertissement("dossier sans verrou : dossier=%s raison=%s", champ(dossier_).c_str(),
                  champ(raison_systeme({cause, std::generic_category()})).c_str());
      sans_verrou_ = true;
      return true;
    }
    throw erreur_dossier(derniere_erreur(), dossier_);
  }
  // The content straight into the file just made: a rename over it could meet another
  // workstation reading it already, and be refused before this agent holds anything. A reader
  // that finds it still empty sees it change at its next look, as a live agent's lock does.
  remplit(descripteur, chemin());
  tenu_ = true;
  ecrit_a_ = horloge::now();
  note_info("dossier pris : dossier=%s", champ(dossier_).c_str());
  return true;
}

void verrou_dossier::observe() {
  std::error_code ec;  // out of reach: the first poll reports it
  if (const std::optional<std::string> present = lit(ec); present && analyse(*present)["instance"] != instance_)
    vu_ = vu{*present, horloge::now(), false};
}

bool verrou_dossier::tient() {
  const std::optional<std::string> present = lit();
  if (!present) return cree();
  const champs titulaire = analyse(*present);
  if (valeur(titulaire, "instance") == instance_) {
    // Read before every job, rewritten at most once a second: on ext4 a rename over a file
    // flushes its data, some 0.6 ms, and a 350-job poll needs no 350 refreshes.
    if (horloge::now() - ecrit_a_ >= intervalle_rafraichissement) ecrit();
    return true;
  }
  if (tenu_)
    throw erreur(code_erreur::permission_refusee, "le dossier " + dossier_ + " a été repris par " + qui(titulaire));

  const auto maintenant = horloge::now();
  const bool ce_poste = valeur(titulaire, "hote") == hote_ && valeur(titulaire, "machine") == machine_;
  if (ce_poste && processus_disparu(valeur(titulaire, "processus"))) {
    ecrit();
    note_avertissement("dossier repris : dossier=%s %s raison=\"processus terminé\"", champ(dossier_).c_str(),
              champs_titulaire(titulaire).c_str());
    return true;
  }
  if (!vu_ || vu_->contenu != *present) {
    if (vu_)
      throw erreur(code_erreur::permission_refusee, "le dossier " + dossier_ + " est surveillé par " + qui(titulaire));
    vu_ = vu{*present, maintenant, false};
  }
  if (!vu_->annonce) {
    vu_->annonce = true;
    note_info("dossier tenu par un autre agent : dossier=%s %s reprise_sans_nouvelles_s=%lld",
           champ(dossier_).c_str(), champs_titulaire(titulaire).c_str(),
           static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(delai_).count()));
  }
  const auto silence = std::chrono::duration_cast<std::chrono::seconds>(maintenant - vu_->depuis);
  if (maintenant - vu_->depuis < delai_) return false;
  ecrit();
  vu_.reset();
  note_avertissement("dossier repris : dossier=%s %s raison=\"verrou non rafraîchi\" sans_nouvelles_s=%lld",
            champ(dossier_).c_str(), champs_titulaire(titulaire).c_str(), static_cast<long long>(silence.count()));
  return true;
}

}  // namespace agent
