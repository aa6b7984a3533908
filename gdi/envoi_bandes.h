#pragma once
// One document of one page to a printer's device context: the page grid's bands as bitmaps at
// the device's resolution, between StartDoc and EndDoc.

#include <windows.h>

#include <functional>
#include <string>

#include "gdi/reglages_page.h"
#include "printing/grille_points.h"

namespace agent {

struct travail_gdi {
  DWORD numero = 0;     // the spooler's job, as StartDoc gave it
  bool retenu = false;  // what `retient` said
};

// StartDoc under the name `nom`, then `retient(job)` before anything is spooled, then the page
// and EndDoc. Any failure aborts the document (the spooler drops its job) and throws the
// spooler's error.
travail_gdi envoie_bandes(const contexte_page& contexte, const grille_points& grille, const std::string& nom,
                          const std::function<bool(DWORD)>& retient);

}  // namespace agent
