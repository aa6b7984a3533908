// Sets a Windows printer's default resolution, as its preferences dialog would, for the tests
// that print under Wine: Wine's PostScript driver gives every printer 300 dpi by default,
// whatever its PPD's default resolution.
//   regle_imprimante <dpi> <printer's name, the rest of the line>
// The printer's default settings for this user (level 9) and for everyone (level 2) both take
// the resolution. Exits with 1 and the system's error number on failure.

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int echec(const char* quoi) {
  std::fprintf(stderr, "%s : erreur %lu\n", quoi, static_cast<unsigned long>(GetLastError()));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage : regle_imprimante <dpi> <imprimante>\n");
    return 2;
  }
  const auto resolution = static_cast<short>(std::atoi(argv[1]));
  std::string nom = argv[2];
  for (int i = 3; i < argc; ++i) nom += std::string(" ") + argv[i];
  std::wstring large(nom.begin(), nom.end());
  PRINTER_DEFAULTSW droits{nullptr, nullptr, PRINTER_ACCESS_USE};
  HANDLE imprimante = nullptr;
  if (!OpenPrinterW(large.data(), &imprimante, &droits)) return echec("OpenPrinter");
  const LONG taille = DocumentPropertiesW(nullptr, imprimante, large.data(), nullptr, nullptr, 0);
  if (taille <= 0) return echec("DocumentProperties");
  std::vector<BYTE> tampon(static_cast<size_t>(taille));
  auto* mode = reinterpret_cast<DEVMODEW*>(tampon.data());
  if (DocumentPropertiesW(nullptr, imprimante, large.data(), mode, nullptr, DM_OUT_BUFFER) != IDOK)
    return echec("DocumentProperties");
  mode->dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION;
  mode->dmPrintQuality = resolution;
  mode->dmYResolution = resolution;
  PRINTER_INFO_9W utilisateur{mode};
  if (!SetPrinterW(imprimante, 9, reinterpret_cast<BYTE*>(&utilisateur), 0)) return echec("SetPrinter 9");
  ClosePrinter(imprimante);
  return 0;
}
