#include "gdi/reglages_page.h"

#include <winspool.h>

#include "core/erreur.h"
#include "gdi/acces_imprimante.h"
#include "gdi/erreur_spouleur.h"
#include "os/windows/texte_large.h"

namespace agent {

reglages_page regle_page(const std::wstring& imprimante, int16_t copies) {
  if (copies < 1) {
    throw erreur(code_erreur::valeur_propriete_incorrecte,
                 "nombre de copies " + std::to_string(copies) + " (au moins 1)");
  }
  const std::string designation = "« " + etroit(imprimante) + " »";
  const acces_imprimante acces(imprimante);
  std::wstring nom = imprimante;
  const LONG taille = DocumentPropertiesW(nullptr, acces.get(), nom.data(), nullptr, nullptr, 0);
  if (taille < static_cast<LONG>(sizeof(DEVMODEW))) echec_spouleur("réglages de " + designation);
  reglages_page r{imprimante, std::vector<BYTE>(static_cast<size_t>(taille))};
  auto* mode = reinterpret_cast<DEVMODEW*>(r.devmode.data());
  if (DocumentPropertiesW(nullptr, acces.get(), nom.data(), mode, nullptr, DM_OUT_BUFFER) != IDOK)
    echec_spouleur("réglages de " + designation);
  // The driver's highest copy count, when it states one.
  const DWORD maximum = DeviceCapabilitiesW(nom.c_str(), nullptr, DC_COPIES, nullptr, mode);
  if (maximum != static_cast<DWORD>(-1) && maximum > 0 && static_cast<DWORD>(copies) > maximum) {
    throw erreur(code_erreur::valeur_propriete_incorrecte, "nombre de copies " + std::to_string(copies) + " (" +
                                                               designation + " en accepte de 1 à " +
                                                               std::to_string(maximum) + ")");
  }
  mode->dmFields |= DM_COPIES | DM_COLOR | DM_ICMMETHOD;
  mode->dmCopies = copies;
  mode->dmColor = DMCOLOR_COLOR;
  mode->dmICMMethod = DMICMMETHOD_NONE;
  std::vector<BYTE> demande = r.devmode;
  if (DocumentPropertiesW(nullptr, acces.get(), nom.data(), mode, reinterpret_cast<DEVMODEW*>(demande.data()),
                          DM_IN_BUFFER | DM_OUT_BUFFER) != IDOK)
    echec_spouleur("réglages de " + designation);
  // A driver that merges the settings keeps what it can do: anything else than the copies asked
  // for is a refusal, never a count to print instead.
  if (!(mode->dmFields & DM_COPIES) || mode->dmCopies != copies) {
    throw erreur(code_erreur::valeur_propriete_incorrecte,
                 "nombre de copies " + std::to_string(copies) + " (refusé par le pilote de " + designation + ")");
  }
  return r;
}

contexte_page::contexte_page(const reglages_page& reglages) {
  dc_ = CreateDCW(nullptr, reglages.imprimante.c_str(), nullptr, reglages.mode());
  if (!dc_) echec_spouleur("contexte de « " + etroit(reglages.imprimante) + " »");
  largeur_ = GetDeviceCaps(dc_, PHYSICALWIDTH);
  hauteur_ = GetDeviceCaps(dc_, PHYSICALHEIGHT);
  decalage_x_ = GetDeviceCaps(dc_, PHYSICALOFFSETX);
  decalage_y_ = GetDeviceCaps(dc_, PHYSICALOFFSETY);
  // A device without a sheet of its own (a plotter's roll, some virtual printers): the printable
  // area is the page.
  if (largeur_ <= 0 || hauteur_ <= 0) {
    largeur_ = GetDeviceCaps(dc_, HORZRES);
    hauteur_ = GetDeviceCaps(dc_, VERTRES);
    decalage_x_ = decalage_y_ = 0;
  }
}

contexte_page::~contexte_page() {
  if (dc_) DeleteDC(dc_);
}

}  // namespace agent
