#include "gdi/imprimante_gdi.h"

#include <windows.h>
#include <winspool.h>

#include <utility>

#include "core/journal.h"
#include "gdi/acces_imprimante.h"
#include "gdi/envoi_bandes.h"
#include "gdi/erreur_spouleur.h"
#include "gdi/reglages_page.h"
#include "gdi/travaux_suspendus.h"
#include "os/windows/texte_large.h"
#include "printing/indice_point.h"

namespace agent {

struct imprimante_gdi::document {
  reglages_page reglages;
  contexte_page contexte;
  grille_points grille;
  std::string nom;
  int64_t points = 0;
  document(reglages_page r, std::string n)
      : reglages(std::move(r)), contexte(reglages), grille(contexte.largeur(), contexte.hauteur()), nom(std::move(n)) {}
};

imprimante_gdi::imprimante_gdi(std::string application) : application_(std::move(application)) {}

imprimante_gdi::~imprimante_gdi() = default;

std::vector<imprimante> imprimante_gdi::imprimantes_installees() { return imprimantes_windows(); }

void imprimante_gdi::rend_courante(const imprimante& choisie) {
  choisie_ = choisie.description;
  prochains_.reset();
}

std::wstring imprimante_gdi::imprimante_courante() const {
  return choisie_.empty() ? imprimante_par_defaut() : large(choisie_);
}

void imprimante_gdi::fixe_copies(const int16_t& copies) {
  prochains_.reset();
  auto reglages = std::make_unique<reglages_page>(regle_page(imprimante_courante(), copies));
  copies_ = copies;
  prochains_ = std::move(reglages);
}

void imprimante_gdi::fixe_mode_echelle(int16_t mode) {
  if (mode != mode_echelle_pixels) {
    throw erreur(code_erreur::valeur_propriete_incorrecte,
                 "mode d'échelle " + std::to_string(mode) + " (seul le mode 3, pixels de l'imprimante, est possible)");
  }
}

grille_points& imprimante_gdi::grille_ouverte() {
  if (!ouvert_) {
    reglages_page reglages = prochains_ ? std::move(*prochains_) : regle_page(imprimante_courante(), copies_);
    prochains_.reset();
    ouvert_ = std::make_unique<document>(std::move(reglages), nom_document_.empty() ? application_ : nom_document_);
  }
  return ouvert_->grille;
}

void imprimante_gdi::dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) {
  const uint8_t indice = indice_point(drapeau, couleur);
  grille_ouverte().pose_point(x, y, indice);
  ++ouvert_->points;
}

void imprimante_gdi::dessine_plages(int16_t drapeau, std::span<const plage_points> plages) {
  const int64_t points = pose_plages(drapeau, plages, [this]() -> grille_points& { return grille_ouverte(); });
  if (ouvert_) ouvert_->points += points;
}

void imprimante_gdi::termine_document() {
  prochains_.reset();
  const std::string uuid = std::exchange(uuid_prochain_, std::string());
  dernier_envoi_ = envoi_document();
  dernier_envoi_.points = ouvert_ ? ouvert_->points : 0;
  const std::unique_ptr<document> doc = std::move(ouvert_);  // the next dot opens a new document
  if (!doc || doc->grille.vide()) return;
  const std::wstring imprimante = doc->reglages.imprimante;
  const std::string nom = uuid.empty() ? doc->nom : nom_document_retenu(doc->nom, uuid);
  const travail_gdi travail = envoie_bandes(doc->contexte, doc->grille, nom, [&](DWORD numero) {
    if (uuid.empty()) return false;
    // Paused before its document is spooled: on a spooler that honours it, nothing prints until
    // libere_travail, whatever becomes of the agent meanwhile.
    if (commande_travail(imprimante, numero, JOB_CONTROL_PAUSE)) {
      if (travail_en_pause(imprimante, numero)) return true;
      // Said paused but not shown so: never left paused with nobody to resume it.
      commande_travail(imprimante, numero, JOB_CONTROL_RESUME);
    }
    note_info("travail non retenu : imprimante=%s travail=%lu raison=%s", champ(etroit(imprimante)).c_str(),
              static_cast<unsigned long>(numero), champ("le spouleur ne met pas le travail en pause").c_str());
    return false;
  });
  dernier_envoi_.file = etroit(imprimante);
  dernier_envoi_.travail = static_cast<int32_t>(travail.numero);
  dernier_envoi_.format = "GDI";
  dernier_envoi_.retenu = travail.retenu;
}

std::vector<travail_retenu> imprimante_gdi::travaux_retenus(const std::string& prefixe) {
  return travaux_en_pause(prefixe);
}

void imprimante_gdi::libere_travail(const travail_retenu& t) {
  if (!commande_travail(large(t.file), static_cast<DWORD>(t.travail), JOB_CONTROL_RESUME))
    echec_spouleur("« " + t.file + " » : la libération du travail " + std::to_string(t.travail) + " impossible");
}

void imprimante_gdi::annule_travail(const travail_retenu& t) {
  if (!commande_travail(large(t.file), static_cast<DWORD>(t.travail), JOB_CONTROL_DELETE))
    echec_spouleur("« " + t.file + " » : l'annulation du travail " + std::to_string(t.travail) + " impossible");
}

}  // namespace agent
