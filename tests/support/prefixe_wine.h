#pragma once
// A Wine prefix of the test's own, for the tests that run the Windows programs of a Windows build
// (AGENT_WINDOWS_BUILD) under Wine, against a private print scheduler and a local folder that
// stands for the workstations' share.
//
// How to use it:
//
//   serveur_cups_prive serveur;                       // first: Wine finds its queues through it
//   serveur.ajoute_file("QLS4100", "QLS-4100", pilote{600, "A4", sorte_file::postscript});
//   prefixe_wine wine;                                // made, printers listed from the scheduler
//   wine.ajoute_imprimante("QLS-4100 Xe drivers standard", "QLS4100", 600);
//   wine.relie_partage(dossier);                      // \\192.168.1.10\partage is `dossier`
//   auto r = wine.execute({programme, "a_1.bmp2", "3", "QLS-4100 Xe drivers standard"});
//   // r.code, r.sortie (what it wrote to stdout and stderr)
//
// The constructor makes a fresh temporary folder holding the prefix, points this process's
// environment (and so every program it starts) at it (WINEPREFIX; quiet, and with neither Mono
// nor Gecko to install), and makes the prefix (wineboot -i). Wine's printers are the scheduler's
// queues, named after them, on the port "CUPS:<queue>", as Wine reads them through libcups
// (CUPS_SERVER, which serveur_cups_prive sets). Wine makes the scheduler's default queue its
// default printer again at every program's start (the queue's own printer, by the queue's name):
// serveur_cups_prive::rend_defaut chooses it. The destructor stops the prefix's Wine server,
// restores the environment and removes the folder. Every failure throws std::runtime_error.
//
// Built in tests/windows/ as the library agent_test_wine, which defines AGENT_WINDOWS_BIN (the
// Windows build's bin/, where ajoute_imprimante finds regle_imprimante.exe).

#include <sys/types.h>

#include <QImage>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace agent::essai {

class prefixe_wine {
public:
  prefixe_wine();
  ~prefixe_wine();
  prefixe_wine(const prefixe_wine&) = delete;
  prefixe_wine& operator=(const prefixe_wine&) = delete;

  std::filesystem::path prefixe() const { return dossier_ / "wine"; }

  // A Wine printer called `nom` printing to the scheduler's queue `file`, with that queue's
  // driver (its PPD), printing at `resolution` dpi by default. Wine must already list the queue.
  // Wine 8 gives its printers 300 dpi in their default settings whatever the PPD's default
  // resolution; the Windows build's regle_imprimante sets the one asked for, as a workstation's
  // administrator sets a printer's preferences.
  void ajoute_imprimante(const std::string& nom, const std::string& file, int resolution = 300);
  // \\192.168.1.10\partage, as Windows programs name it, is `dossier`.
  void relie_partage(const std::filesystem::path& dossier);

  struct resultat {
    int code;            // exit code, or 128 + the signal that ended it
    std::string sortie;  // stdout then stderr, interleaved as written
  };
  // Runs the Windows program `commande[0]` (a Linux path) with its arguments to its end, killed
  // after `delai`.
  resultat execute(const std::vector<std::string>& commande,
                   std::chrono::seconds delai = std::chrono::seconds(300)) const;
  // Starts it with its output appended to `journal`: processus_essai's attend_fin and arrete
  // wait for it and stop it.
  pid_t demarre(const std::vector<std::string>& commande, const std::filesystem::path& journal) const;

private:
  void nettoie();
  void reg(const std::vector<std::string>& arguments) const;

  std::filesystem::path dossier_;
  std::map<std::string, std::optional<std::string>> environnement_;
};

// The A4 page Wine's PostScript driver addresses, out of `rendue`, what Ghostscript drew of its
// document at `resolution`: Wine counts the sheet's whole device pixels (595 × 842 points) from
// its bottom-left corner, Ghostscript rounds the sheet to the nearest pixel, so at 600 dpi
// Ghostscript's first row is the sheet's top two thirds of a pixel, above Wine's page.
QImage page_a4_wine(const QImage& rendue, int32_t resolution);

// The 64-bit Wine loader: Debian's `wine` script asks for a 32-bit Wine first.
std::string chargeur_wine();

}  // namespace agent::essai
