#pragma once
// An emulated IPP Everywhere printer (ippeveprinter) on the loopback interface, for driverless
// queues (lpadmin -m everywhere): it takes PWG raster only, in 8-bit sRGB or grey, at one
// resolution, on A4 and Letter with 4.23 mm hardware margins, and keeps every document it
// receives. It announces nothing on the network; its DNS-SD library still wants a D-Bus
// daemon, so it gets a private one.

#include <cups/ipp.h>
#include <sys/types.h>

#include <QByteArray>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace agent::essai {

class imprimante_emulee {
public:
  // Lives in `dossier` (created); `papier`: "A4" or "Letter", its default medium.
  imprimante_emulee(const std::filesystem::path& dossier, int32_t resolution, const std::string& papier);
  ~imprimante_emulee();
  imprimante_emulee(const imprimante_emulee&) = delete;
  imprimante_emulee& operator=(const imprimante_emulee&) = delete;

  std::string uri() const;

  // A job as the printer got it: its name, the copies asked for and its document.
  struct travail_recu {
    std::string nom;
    int32_t copies;
    QByteArray document;
  };
  // Every job it has received, oldest first.
  std::vector<travail_recu> travaux() const;
  // How many jobs it holds whole: their document has arrived to its last byte.
  int32_t travaux_entiers() const;

private:
  // Get-Jobs on the printer, for these attributes; its answer, to be freed with ippDelete.
  ipp_t* demande_travaux(const std::vector<const char*>& attributs) const;

  std::filesystem::path dossier_;
  int port_ = 0;
  pid_t bus_ = 0, imprimante_ = 0;
};

}  // namespace agent::essai
