#include "gdi/acces_imprimante.h"

#include "gdi/erreur_spouleur.h"
#include "os/windows/texte_large.h"

namespace agent {

acces_imprimante::acces_imprimante(const std::wstring& nom) {
  PRINTER_DEFAULTSW droits{nullptr, nullptr, PRINTER_ACCESS_USE};
  std::wstring copie = nom;  // OpenPrinterW takes a writable name
  if (!OpenPrinterW(copie.data(), &poignee_, &droits)) {
    poignee_ = nullptr;
    echec_spouleur("ouverture de « " + etroit(nom) + " »");
  }
}

acces_imprimante::~acces_imprimante() {
  if (poignee_) ClosePrinter(poignee_);
}

std::vector<imprimante> imprimantes_windows() {
  constexpr DWORD sortes = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD taille = 0, nombre = 0;
  std::vector<BYTE> tampon;
  // The list may grow between the two calls: asked again until it fits.
  while (!EnumPrintersW(sortes, nullptr, 2, tampon.data(), static_cast<DWORD>(tampon.size()), &taille, &nombre)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || taille <= tampon.size()) echec_spouleur("liste des imprimantes");
    tampon.resize(taille);
  }
  std::vector<imprimante> resultat;
  const auto* infos = reinterpret_cast<const PRINTER_INFO_2W*>(tampon.data());
  for (DWORD i = 0; i < nombre; ++i) {
    const std::string nom = infos[i].pPrinterName ? etroit(infos[i].pPrinterName) : std::string();
    if (nom.empty()) continue;
    const bool partagee =
        infos[i].pShareName && *infos[i].pShareName && (infos[i].Attributes & PRINTER_ATTRIBUTE_SHARED);
    resultat.push_back({partagee ? etroit(infos[i].pShareName) : nom, nom});
  }
  return resultat;
}

std::wstring imprimante_par_defaut() {
  DWORD taille = 0;
  GetDefaultPrinterW(nullptr, &taille);
  std::wstring nom(taille, L'\0');
  if (taille == 0 || !GetDefaultPrinterW(nom.data(), &taille))
    throw erreur(code_erreur::imprimante_introuvable, "aucune imprimante choisie et aucune par défaut");
  nom.resize(taille > 0 ? taille - 1 : 0);
  return nom;
}

}  // namespace agent
