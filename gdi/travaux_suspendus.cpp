#include "gdi/travaux_suspendus.h"

#include <winspool.h>

#include "gdi/acces_imprimante.h"
#include "gdi/erreur_spouleur.h"
#include "os/windows/texte_large.h"

namespace agent {

namespace {

// The states in which a job's document is not, or no longer, whole in the spooler.
constexpr DWORD etats_sans_document =
    JOB_STATUS_SPOOLING | JOB_STATUS_ERROR | JOB_STATUS_DELETING | JOB_STATUS_DELETED | JOB_STATUS_OFFLINE;

// Every job of the printer behind `acces`, at level 1. A spooler that keeps no list of jobs
// (Wine's fails without a reason and without asking for room) lists none.
std::vector<BYTE> liste_travaux(const acces_imprimante& acces, const std::string& imprimante, DWORD& nombre) {
  std::vector<BYTE> tampon;
  DWORD taille = 0;
  nombre = 0;
  SetLastError(ERROR_SUCCESS);
  while (!EnumJobsW(acces.get(), 0, 0xFFFF, 1, tampon.data(), static_cast<DWORD>(tampon.size()), &taille, &nombre)) {
    const DWORD raison = GetLastError();
    if (taille == 0 &&
        (raison == ERROR_SUCCESS || raison == ERROR_NOT_SUPPORTED || raison == ERROR_CALL_NOT_IMPLEMENTED)) {
      nombre = 0;
      return {};
    }
    if (raison != ERROR_INSUFFICIENT_BUFFER || taille <= tampon.size())
      echec_spouleur("liste des travaux de « " + imprimante + " »");
    tampon.resize(taille);
  }
  return tampon;
}

}  // namespace

std::string nom_document_retenu(const std::string& nom, const std::string& uuid) { return nom + " " + uuid; }

std::optional<travail_retenu> lit_nom_document(const std::string& document, const std::string& prefixe) {
  const size_t espace = document.rfind(' ');
  if (espace == std::string::npos || document.compare(espace + 1, prefixe.size(), prefixe) != 0) return std::nullopt;
  travail_retenu t;
  t.nom = document.substr(0, espace);
  t.uuid = document.substr(espace + 1);
  return t;
}

bool commande_travail(const std::wstring& imprimante, DWORD travail, DWORD commande) {
  const acces_imprimante acces(imprimante);
  return SetJobW(acces.get(), travail, 0, nullptr, commande);
}

bool travail_en_pause(const std::wstring& imprimante, DWORD travail) {
  const acces_imprimante acces(imprimante);
  DWORD taille = 0;
  GetJobW(acces.get(), travail, 1, nullptr, 0, &taille);
  if (taille == 0) return false;
  std::vector<BYTE> tampon(taille);
  if (!GetJobW(acces.get(), travail, 1, tampon.data(), taille, &taille)) return false;
  return reinterpret_cast<const JOB_INFO_1W*>(tampon.data())->Status & JOB_STATUS_PAUSED;
}

std::vector<travail_retenu> travaux_en_pause(const std::string& prefixe) {
  std::vector<travail_retenu> resultat;
  for (const imprimante& i : imprimantes_windows()) {
    const acces_imprimante acces(large(i.description));
    DWORD nombre = 0;
    const std::vector<BYTE> tampon = liste_travaux(acces, i.description, nombre);
    const auto* travaux = reinterpret_cast<const JOB_INFO_1W*>(tampon.data());
    for (DWORD j = 0; j < nombre; ++j) {
      if (!(travaux[j].Status & JOB_STATUS_PAUSED) || !travaux[j].pDocument) continue;
      std::optional<travail_retenu> t = lit_nom_document(etroit(travaux[j].pDocument), prefixe);
      if (!t) continue;
      t->file = i.description;
      t->travail = static_cast<int32_t>(travaux[j].JobId);
      t->document_recu = !(travaux[j].Status & etats_sans_document);
      resultat.push_back(std::move(*t));
    }
  }
  return resultat;
}

}  // namespace agent
