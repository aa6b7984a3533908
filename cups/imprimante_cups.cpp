#include "cups/imprimante_cups.h"

#include <utility>

#include "core/erreur.h"
#include "cups/description_file.h"
#include "cups/nom_travail.h"
#include "cups/page_cups.h"
#include "cups/page_pdf.h"
#include "cups/page_pwg.h"
#include "cups/sans_mot_de_passe.h"
#include "cups/soumission_travail.h"
#include "cups/travaux_agent.h"
#include "printing/indice_point.h"

namespace agent {

namespace {

// The page in the queue's format, the header of a PWG stream announcing `pages` pages. Throws
// "Erreur d'imprimante" when it cannot be encoded.
QByteArray encode_page(const grille_points& grille, const file_decrite& decrite, int32_t pages) {
  switch (decrite.envoi.format) {
    case format_envoi::pwg: return page_pwg(grille, decrite.format, pages);
    case format_envoi::raster_cups: return page_cups(grille, *decrite.envoi.entete);
    case format_envoi::pdf: break;
  }
  return page_pdf(grille, decrite.format);
}

}  // namespace

imprimante_cups::imprimante_cups(std::string titre, std::chrono::milliseconds delai, format_document envoi)
    : titre_(std::move(titre)), delai_(delai), envoi_(envoi) {
  refuse_mots_de_passe();
}

imprimante_cups::~imprimante_cups() = default;

std::vector<imprimante> imprimante_cups::imprimantes_installees() { return imprimantes_du_serveur(connexion(delai_)); }

void imprimante_cups::rend_courante(const imprimante& choisie) {
  choisie_ = choisie.file;
  prochaine_.reset();
}

void imprimante_cups::fixe_copies(const int16_t& copies) {
  if (copies < 1) {
    throw erreur(code_erreur::valeur_propriete_incorrecte,
                 "nombre de copies " + std::to_string(copies) + " (au moins 1)");
  }
  prochaine_.reset();
  connexion c(delai_);
  auto decrite = decrit_file(c, choisie_, envoi_ == format_document::selon_file);
  verifie_copies(*decrite, copies);
  copies_ = copies;
  prochaine_ = std::move(decrite);
}

void imprimante_cups::nomme_document(const std::string& nom) { nom_document_ = nom; }

void imprimante_cups::fixe_mode_echelle(int16_t mode) {
  if (mode != mode_echelle_pixels) {
    throw erreur(code_erreur::valeur_propriete_incorrecte,
                 "mode d'échelle " + std::to_string(mode) + " (seul le mode 3, pixels de l'imprimante, est possible)");
  }
}

void imprimante_cups::dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) {
  const uint8_t indice = indice_point(drapeau, couleur);
  grille_ouverte().pose_point(x, y, indice);
  ++ouvert_->points;
}

void imprimante_cups::dessine_plages(int16_t drapeau, std::span<const plage_points> plages) {
  const int64_t points = pose_plages(drapeau, plages, [this]() -> grille_points& { return grille_ouverte(); });
  if (ouvert_) ouvert_->points += points;
}

grille_points& imprimante_cups::grille_ouverte() {
  if (!ouvert_) {
    auto decrite = std::move(prochaine_);
    if (!decrite) decrite = decrit_file(connexion(delai_), choisie_, envoi_ == format_document::selon_file);
    const QSize pixels = pixels_page(decrite->format);
    std::optional<grille_points> reprise = std::exchange(grille_reprise_, std::nullopt);
    if (reprise && reprise->largeur() == pixels.width() && reprise->hauteur() == pixels.height()) {
      reprise->efface();
    } else {
      reprise.reset();  // before the new page is taken, not beside it
      reprise.emplace(pixels.width(), pixels.height());
    }
    ouvert_.emplace(document{std::move(decrite), std::move(*reprise),
                             nom_document_.empty() ? titre_ : nom_travail_ipp(nom_document_)});
  }
  return ouvert_->grille;
}

void imprimante_cups::termine_document() {
  prochaine_.reset();
  // The uuid is this document's alone, whether it goes out or not.
  const std::string uuid = std::exchange(uuid_prochain_, std::string());
  dernier_envoi_ = envoi_document();
  dernier_envoi_.points = ouvert_ ? ouvert_->points : 0;
  // Dots that all fell off the paper leave nothing to print either.
  if (!ouvert_ || ouvert_->grille.vide()) {
    ouvert_.reset();
    return;
  }
  const std::unique_ptr<file_decrite> decrite = std::move(ouvert_->file);
  const format_envoi format = decrite->envoi.format;
  // A printer need not make copies of a raster document its queue passes on as it is, and such
  // a queue asks none of it: the copies are pages of the document, as its own filters would make
  // them.
  const int32_t pages = format != format_envoi::pdf && decrite->envoi.copies_en_pages ? copies_ : 1;
  const QByteArray page = encode_page(ouvert_->grille, *decrite, pages);
  const std::string nom = std::move(ouvert_->nom);
  grille_reprise_.emplace(std::move(ouvert_->grille));
  ouvert_.reset();  // the next dot opens a new document

  const int travail = soumet_travail(*decrite, nom, uuid, copies_, pages, page, delai_);
  dernier_envoi_.file = decrite->d.nom;
  dernier_envoi_.travail = travail;
  dernier_envoi_.format = type_document(format);
  dernier_envoi_.retenu = !uuid.empty();
}

void imprimante_cups::retient_prochain(const std::string& uuid) { uuid_prochain_ = uuid; }

std::vector<travail_retenu> imprimante_cups::travaux_retenus(const std::string& prefixe) {
  return travaux_du_serveur(connexion(delai_), prefixe).retenus;
}

void imprimante_cups::libere_travail(const travail_retenu& t) { libere(connexion(delai_), t); }

void imprimante_cups::annule_travail(const travail_retenu& t) { annule(connexion(delai_), t); }

std::optional<std::vector<nouvelles_travail>> imprimante_cups::nouvelles(const std::vector<travail_retenu>& travaux) {
  return nouvelles_du_serveur(travaux, delai_);
}

}  // namespace agent
