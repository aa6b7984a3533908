#pragma once
// The printers of a Windows workstation, through GDI. The page is built in memory as device pixels
// of the sheet, as the printer's device context gives it, and sent when the document ends as the
// page's device-resolution bitmap bands (SetDIBitsToDevice), never a GDI call per dot: drivers
// drop or round single-pixel drawing calls, while a bitmap at the device's own resolution reaches
// the paper pixel for pixel.
//
// Exactly once: a job submitted held (retient_prochain) is paused right after StartDoc, spooled
// whole, and resumed once its file is deleted. A spooler that cannot pause the job (Wine's prints
// it at EndDoc) gets the document unheld, which dernier_envoi says: the file is then deleted
// after the job was handed over, as for a printer without a spooler.

#include <memory>
#include <optional>
#include <string>

#include "printing/grille_points.h"
#include "printing/service_imprimante.h"

namespace agent {

struct reglages_page;
class contexte_page;

class imprimante_gdi final : public service_imprimante {
public:
  // `application` names a document given no name.
  explicit imprimante_gdi(std::string application);
  ~imprimante_gdi() override;

  // Local printers and connections, each named by its pPrinterName.
  std::vector<imprimante> imprimantes_installees() override;
  void rend_courante(const imprimante& choisie) override;
  // Refused below 1, above the driver's maximum, or when the driver does not keep the count.
  void fixe_copies(const int16_t& copies) override;
  // Only device pixels (3).
  void fixe_mode_echelle(int16_t mode) override;
  void nomme_document(const std::string& nom) override { nom_document_ = nom; }
  // The first dot makes the printer's device context and sizes the page from it.
  void dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) override;
  void dessine_plages(int16_t drapeau, std::span<const plage_points> plages) override;
  // StartDoc, the bands, EndDoc; a document without a dot on the paper starts no job.
  void termine_document() override;
  envoi_document dernier_envoi() const override { return dernier_envoi_; }
  void retient_prochain(const std::string& uuid) override { uuid_prochain_ = uuid; }
  // Paused jobs of every printer whose document name carries such a uuid.
  std::vector<travail_retenu> travaux_retenus(const std::string& prefixe) override;
  void libere_travail(const travail_retenu& t) override;
  void annule_travail(const travail_retenu& t) override;

private:
  struct document;
  grille_points& grille_ouverte();
  std::wstring imprimante_courante() const;

  std::string application_;
  std::string choisie_;  // pPrinterName; empty: the default printer
  int16_t copies_ = 1;
  std::string nom_document_;
  std::string uuid_prochain_;
  std::unique_ptr<reglages_page> prochains_;  // made by the copy count, for the next document
  std::unique_ptr<document> ouvert_;
  envoi_document dernier_envoi_;
};

}  // namespace agent
