#include "app/win32/ligne_commande.h"

#include <windows.h>

#include "os/windows/texte_large.h"

namespace agent {

std::wstring_view texte_arguments(std::wstring_view ligne) {
  std::size_t fin = 0;
  if (!ligne.empty() && ligne.front() == L'"') {
    // Up to the closing quote, or the whole line when there is none.
    fin = ligne.find(L'"', 1);
    fin = fin == std::wstring_view::npos ? ligne.size() : fin + 1;
  } else {
    fin = ligne.find_first_of(L" \t");
    if (fin == std::wstring_view::npos) fin = ligne.size();
  }
  ligne.remove_prefix(fin);
  const std::size_t debut = ligne.find_first_not_of(L" \t");
  return debut == std::wstring_view::npos ? std::wstring_view{} : ligne.substr(debut);
}

std::string ligne_de_commande() { return etroit(std::wstring(texte_arguments(::GetCommandLineW()))); }

}  // namespace agent
