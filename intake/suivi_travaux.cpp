#include "intake/suivi_travaux.h"

#include <algorithm>

#include "core/journal.h"

namespace agent {

namespace {

std::string champs(const std::string& nom, const travail_retenu& t) {
  return "fichier=" + champ(nom) + " file=" + champ(t.file) + " travail=" + std::to_string(t.travail);
}

// What stands in the way of the jobs of one queue, as one warning without its count of jobs;
// empty when nothing does.
std::string etat_file(const nouvelles_travail& n) {
  const std::string message = n.message_file.empty() ? "" : " message=" + champ(n.message_file);
  if (n.file_arretee) return "file arrêtée : file=" + champ(n.file) + message;
  if (n.file_fermee) return "file fermée aux travaux : file=" + champ(n.file) + message;
  if (!n.defauts.empty())
    return "imprimante en défaut : file=" + champ(n.file) + " raisons=" + champ(n.defauts) + message;
  return {};
}

}  // namespace

void suivi_travaux::ajoute(const travail_retenu& t, const std::string& nom) { suivis_.push_back({t, nom, {}}); }

std::size_t suivi_travaux::bloques() const {
  return static_cast<std::size_t>(std::count_if(suivis_.begin(), suivis_.end(),
                                                [](const suivi& s) { return s.dernieres && s.dernieres->bloque(); }));
}

void suivi_travaux::signale(const std::string& cle, const std::string& texte, const std::string& suite,
                            horloge::time_point maintenant) {
  const auto avant = signales_.find(cle);
  if (avant != signales_.end() && avant->second.texte == texte && maintenant - avant->second.quand < intervalle_rappel)
    return;
  note_avertissement("%s%s", texte.c_str(), suite.c_str());
  signales_[cle] = {texte, maintenant};
}

void suivi_travaux::actualise(service_imprimante& spouleur, horloge::time_point maintenant) {
  if (suivis_.empty()) return;
  std::vector<travail_retenu> travaux;
  for (const suivi& s : suivis_) travaux.push_back(s.t);
  const std::optional<std::vector<nouvelles_travail>> nouvelles = spouleur.nouvelles(travaux);
  if (!nouvelles || nouvelles->size() != suivis_.size()) {
    if (!injoignable_)
      note_avertissement("suivi des travaux impossible : travaux=%zu raison=\"le serveur d'impression ne répond pas\"",
                         suivis_.size());
    injoignable_ = true;
    return;
  }
  injoignable_ = false;

  std::map<std::string, std::size_t> en_attente;  // jobs not ended, by queue
  for (const nouvelles_travail& n : *nouvelles)
    if (n.fin == fin_travail::aucune) ++en_attente[n.file];
  std::map<std::string, std::string> etats;  // each queue's warning, from its first job's news
  std::vector<suivi> restent;
  for (std::size_t i = 0; i < suivis_.size(); ++i) {
    suivi& s = suivis_[i];
    const nouvelles_travail& n = (*nouvelles)[i];
    const std::string raison = n.raison.empty() ? "" : " raison=" + champ(n.raison);
    const std::string cle_travail = "travail:" + std::to_string(s.t.travail);
    switch (n.fin) {
      case fin_travail::terminee:
        // Its reasons then are the scheduler's leftovers, nothing the operator needs.
        note_info("travail terminé : %s", champs(s.nom, s.t).c_str());
        signales_.erase(cle_travail);
        continue;
      case fin_travail::annulee:
        note_avertissement("travail annulé sur le serveur : %s%s", champs(s.nom, s.t).c_str(), raison.c_str());
        signales_.erase(cle_travail);
        continue;
      case fin_travail::abandonnee:
        note_avertissement("travail abandonné : %s%s", champs(s.nom, s.t).c_str(), raison.c_str());
        signales_.erase(cle_travail);
        continue;
      case fin_travail::aucune: break;
    }
    etats.emplace(n.file, etat_file(n));
    if (n.travail_arrete)
      signale(cle_travail, "travail retenu : " + champs(s.nom, s.t) + raison, "", maintenant);
    else
      signales_.erase(cle_travail);
    s.dernieres = n;
    restent.push_back(std::move(s));
  }
  suivis_ = std::move(restent);

  for (const auto& [file, texte] : etats) {
    const std::string cle = "file:" + file;
    if (!texte.empty()) {
      signale(cle, texte, " travaux=" + std::to_string(en_attente[file]), maintenant);
    } else if (signales_.erase(cle) > 0) {
      note_info("file rétablie : file=%s", champ(file).c_str());
    }
  }
  // A queue none of whose jobs remain has nothing more to say.
  for (auto it = signales_.begin(); it != signales_.end();) {
    const bool file = it->first.starts_with("file:");
    it = file && !etats.contains(it->first.substr(5)) ? signales_.erase(it) : std::next(it);
  }
}

}  // namespace agent
