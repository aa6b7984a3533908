#include "intake/verrou_dossier.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <system_error>
#include <thread>

#include "core/chemin_utf8.h"
#include "core/erreur.h"
#include "core/erreurs_fichiers.h"
#include "core/journal.h"
#include "core/raison_systeme.h"
#include "intake/fichiers_verrou.h"
#include "intake/poste.h"
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

// 64 random bits in hexadecimal: this run of the agent, whatever its process number.
std::string instance_aleatoire() {
  std::random_device source;
  const uint64_t valeur = (uint64_t{source()} << 32) ^ source();
  static constexpr char chiffres[] = "0123456789abcdef";
  std::string texte;
  for (int decalage = 60; decalage >= 0; decalage -= 4) texte += chiffres[(valeur >> decalage) & 0xF];
  return texte.substr(std::min(texte.find_first_not_of('0'), texte.size() - 1));
}

// Now in UTC, as ISO 8601 writes it: "2026-12-09T19:58:42Z".
std::string heure_utc() {
  using namespace std::chrono;
  const auto maintenant = floor<seconds>(system_clock::now());
  const auto jour = floor<days>(maintenant);
  const year_month_day date(jour);
  const hh_mm_ss heure(maintenant - jour);
  char texte[32];
  std::snprintf(texte, sizeof texte, "%04d-%02u-%02uT%02lld:%02lld:%02lldZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<long long>(heure.hours().count()), static_cast<long long>(heure.minutes().count()),
                static_cast<long long>(heure.seconds().count()));
  return texte;
}

}  // namespace

verrou_dossier::verrou_dossier(std::string dossier, std::chrono::milliseconds delai_abandon)
    : dossier_(std::move(dossier)),
      delai_(delai_abandon),
      hote_(nom_poste()),
      machine_(identifiant_machine()),
      instance_(instance_aleatoire()) {}

verrou_dossier::~verrou_dossier() {
  if (!tenu_) return;
  // Out of reach, it goes stale and the next agent takes it over.
  std::error_code ec;
  const std::optional<std::string> present = lit(ec);
  if (present && analyse(*present)["instance"] == instance_) std::filesystem::remove(chemin_utf8(chemin()), ec);
}

std::string verrou_dossier::chemin() const { return chemin_travail(dossier_, nom_verrou_dossier); }

std::optional<std::string> verrou_dossier::lit(std::error_code& ec) const { return lit_petit_fichier(chemin(), ec); }

std::optional<std::string> verrou_dossier::lit() const {
  std::error_code ec;
  std::optional<std::string> contenu = lit(ec);
  if (ec) throw erreur_dossier(ec, dossier_);
  return contenu;
}

std::string verrou_dossier::contenu() const {
  return "hote=" + hote_ + "\nmachine=" + machine_ + "\nprocessus=" + numero_processus() + "\ninstance=" + instance_ +
         "\nreleve=" + std::to_string(releves_) + "\nheure=" + heure_utc() + "\n";
}

// Whole, under a name of its own, then renamed over the lock: a reader on any workstation finds
// either the old content or the new one.
void verrou_dossier::ecrit() {
  ++releves_;
  const std::string provisoire = chemin() + "." + instance_;
  std::error_code ec;
  ecrit_entier(provisoire, contenu(), ec);
  if (ec) throw erreur_dossier(ec, dossier_);
  // A file server refuses a rename over a file another workstation has open, and a second agent
  // reads the lock for a few milliseconds at each of its polls: tried again for a while, then left
  // for the next look. The lock stays this agent's meanwhile; its content only ages. The refusal
  // comes as EBUSY from a kernel mount, as EEXIST through smbnetfs, and as the access denied of a
  // sharing violation from some servers; the temporary file was just written in that folder, so
  // none of them means the folder is out of reach.
  const auto refus_passager = [](std::error_code e) {
    return est_en_usage(e) || e == std::errc::file_exists || e == std::errc::permission_denied;
  };
  for (int essai = 1;; ++essai) {
    remplace(provisoire, chemin(), ec);
    if (!ec) break;
    if (refus_passager(ec) && essai < essais_renommage) {
      std::this_thread::sleep_for(pause_renommage);
      continue;
    }
    std::error_code ignore;
    std::filesystem::remove(chemin_utf8(provisoire), ignore);
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
  // The content straight into the file made for it: a rename over it could meet another
  // workstation reading it already, and be refused before this agent holds anything. A reader
  // that finds it still empty sees it change at its next look, as a live agent's lock does.
  ++releves_;
  std::error_code ec;
  if (!cree_seul(chemin(), contenu(), ec)) {
    if (!ec) return false;  // another agent created it first
    // A folder this agent may not write to: it could not delete a job either, and the first
    // printed job stops it with that error. Until then only the workstation's own lock holds.
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
        ec == std::errc::read_only_file_system) {
      if (!sans_verrou_)
        note_avertissement("dossier sans verrou : dossier=%s raison=%s", champ(dossier_).c_str(),
                           champ(raison_systeme(ec)).c_str());
      sans_verrou_ = true;
      return true;
    }
    throw erreur_dossier(ec, dossier_);
  }
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
    note_info("dossier tenu par un autre agent : dossier=%s %s reprise_sans_nouvelles_s=%lld", champ(dossier_).c_str(),
              champs_titulaire(titulaire).c_str(),
              static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(delai_).count()));
  }
  const auto silence = std::chrono::duration_cast<std::chrono::seconds>(maintenant - vu_->depuis);
  if (maintenant - vu_->depuis < delai_) return false;
  ecrit();
  vu_.reset();
  note_avertissement("dossier repris : dossier=%s %s raison=\"verrou non rafraîchi\" sans_nouvelles_s=%lld",
                     champ(dossier_).c_str(), champs_titulaire(titulaire).c_str(),
                     static_cast<long long>(silence.count()));
  return true;
}

}  // namespace agent
