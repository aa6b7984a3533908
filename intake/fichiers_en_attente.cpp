#include "intake/fichiers_en_attente.h"

#include "core/journal.h"

namespace agent {

void fichiers_en_attente::note(const std::vector<fichier_laisse>& laisses, horloge::time_point maintenant) {
  std::map<std::string, suivi> suivis;
  for (const fichier_laisse& f : laisses) {
    const auto avant = suivis_.find(f.nom);
    suivi s = avant == suivis_.end() ? suivi{f.raison, maintenant, std::nullopt} : avant->second;
    if (avant == suivis_.end() || s.raison != f.raison) {
      note_info("laissé pour un prochain relevé : fichier=%s raison=%s", champ(f.nom).c_str(),
                champ(texte_raison(f.raison)).c_str());
    }
    s.raison = f.raison;
    const auto attente = std::chrono::duration_cast<std::chrono::seconds>(maintenant - s.depuis);
    if (attente >= attente_avant_avertissement && (!s.averti || maintenant - *s.averti >= intervalle_avertissements)) {
      note_avertissement("en attente depuis %lld s : fichier=%s raison=%s", static_cast<long long>(attente.count()),
                         champ(f.nom).c_str(), champ(texte_raison(f.raison)).c_str());
      s.averti = maintenant;
    }
    suivis.emplace(f.nom, s);
  }
  suivis_ = std::move(suivis);
}

}  // namespace agent
