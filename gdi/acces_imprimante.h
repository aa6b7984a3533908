#pragma once
// The Windows printers through the spooler: the list, the default one, and a handle on one.

#include <windows.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "printing/service_imprimante.h"

namespace agent {

// A spooler handle on printer `nom`, closed with the object. Throws "Imprimante introuvable" when
// the spooler knows no such printer, "Erreur d'imprimante" for any other refusal.
class acces_imprimante {
public:
  explicit acces_imprimante(const std::wstring& nom);
  ~acces_imprimante();
  acces_imprimante(const acces_imprimante&) = delete;
  acces_imprimante& operator=(const acces_imprimante&) = delete;
  HANDLE get() const { return poignee_; }

private:
  HANDLE poignee_ = nullptr;
};

// The local printers and the connections to other machines' printers, in the spooler's order. A
// printer's device name is its pPrinterName, which the print runs match against both names of an
// `imprimante`: the description carries it, and the queue name too unless the printer is shared.
std::vector<imprimante> imprimantes_windows();

// The user's default printer; "Imprimante introuvable" when there is none.
std::wstring imprimante_par_defaut();

}  // namespace agent
