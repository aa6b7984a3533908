#include "gdi/erreur_spouleur.h"

#include "os/windows/texte_large.h"

namespace agent {

std::string message_systeme(DWORD numero) {
  constexpr DWORD drapeaux = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  wchar_t tampon[512];
  DWORD n = FormatMessageW(drapeaux, nullptr, numero, MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), tampon,
                           static_cast<DWORD>(std::size(tampon)), nullptr);
  if (n == 0) n = FormatMessageW(drapeaux, nullptr, numero, 0, tampon, static_cast<DWORD>(std::size(tampon)), nullptr);
  while (n > 0 && (tampon[n - 1] == L'\n' || tampon[n - 1] == L'\r' || tampon[n - 1] == L' ' || tampon[n - 1] == L'.'))
    --n;
  if (n == 0) return "erreur " + std::to_string(numero);
  return etroit(std::wstring(tampon, n));
}

void echec_spouleur(const std::string& quoi) {
  const DWORD numero = GetLastError();
  const bool absente = numero == ERROR_INVALID_PRINTER_NAME || numero == ERROR_UNKNOWN_PRINTER_DRIVER;
  throw erreur(absente ? code_erreur::imprimante_introuvable : code_erreur::erreur_imprimante,
               quoi + " : " + message_systeme(numero) + " (erreur " + std::to_string(numero) + ")");
}

}  // namespace agent
