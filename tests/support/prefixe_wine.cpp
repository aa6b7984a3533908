#include "tests/support/prefixe_wine.h"

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "tests/support/processus_essai.h"

namespace agent::essai {

namespace fs = std::filesystem;

namespace {

// Where the spooler keeps its printers, and the user's default one.
constexpr const char* cle_imprimantes = R"(HKLM\System\CurrentControlSet\Control\Print\Printers\)";
constexpr const char* cle_peripheriques = R"(HKCU\Software\Microsoft\Windows NT\CurrentVersion\Devices)";
constexpr const char* cle_ports_imprimantes = R"(HKCU\Software\Microsoft\Windows NT\CurrentVersion\PrinterPorts)";

}  // namespace

QImage page_a4_wine(const QImage& rendue, int32_t resolution) {
  const QSize page(595 * resolution / 72, 842 * resolution / 72);
  if (rendue.width() < page.width() || rendue.height() < page.height()) return rendue;
  return rendue.copy(0, rendue.height() - page.height(), page.width(), page.height());
}

std::string chargeur_wine() { return access("/usr/lib/wine/wine64", X_OK) == 0 ? "/usr/lib/wine/wine64" : "wine"; }

prefixe_wine::prefixe_wine() : dossier_(dossier_temporaire("prefixe_wine_")) {
  const std::map<std::string, std::string> valeurs = {
      {"WINEPREFIX", prefixe().string()},
      {"WINEDEBUG", "-all"},
      // No Mono nor Gecko to offer: no window, nothing downloaded.
      {"WINEDLLOVERRIDES", "mscoree,mshtml="},
  };
  for (const auto& [variable, valeur] : valeurs) {
    const char* avant = std::getenv(variable.c_str());
    environnement_[variable] = avant ? std::optional<std::string>(avant) : std::nullopt;
    setenv(variable.c_str(), valeur.c_str(), 1);
  }
  // Its status is left aside: it fails on the 32-bit half, which Debian's 64-bit Wine lacks and
  // no test needs; a prefix that cannot run programs fails the first one.
  const int code = attend_fin(demarre({"wineboot", "-i"}, dossier_ / "wineboot.log"));
  if (!fs::exists(prefixe() / "drive_c" / "windows" / "system32")) {
    const std::string journal = lit_fichier(dossier_ / "wineboot.log");
    nettoie();
    throw std::runtime_error("wineboot -i : " + std::to_string(code) + "\n" + journal);
  }
}

prefixe_wine::~prefixe_wine() { nettoie(); }

void prefixe_wine::nettoie() {
  try {
    attend_fin(demarre({"wineserver", "-k"}, dossier_ / "wineserver.log"));
  } catch (...) {
  }
  for (const auto& [variable, valeur] : environnement_) {
    if (valeur)
      setenv(variable.c_str(), valeur->c_str(), 1);
    else
      unsetenv(variable.c_str());
  }
  std::error_code ignoree;
  fs::remove_all(dossier_, ignoree);
}

void prefixe_wine::reg(const std::vector<std::string>& arguments) const {
  std::vector<std::string> commande = {chargeur_wine(), "reg"};
  commande.insert(commande.end(), arguments.begin(), arguments.end());
  const resultat r = execute(commande);
  if (r.code != 0) throw std::runtime_error("reg : " + std::to_string(r.code) + "\n" + r.sortie);
}

void prefixe_wine::ajoute_imprimante(const std::string& nom, const std::string& file, int resolution) {
  // The queue's own printer, as Wine made it from the scheduler, under another name: same port,
  // driver and PPD. Without the mark Wine leaves on the printers it made, it never deletes it.
  reg({"copy", cle_imprimantes + file, cle_imprimantes + nom, "/s", "/f"});
  execute({chargeur_wine(), "reg", "delete", cle_imprimantes + nom, "/v", "WineMayDeleteMe", "/f"});
  reg({"add", cle_imprimantes + nom, "/v", "Name", "/d", nom, "/f"});
  // Wine deletes, at every program's start, the printers on a "CUPS:" port that are not named
  // after a queue. This one's port is a pipe to a script that hands the document to the queue as
  // Wine's own CUPS port does: named after its title, with the options (the copies) its driver
  // wrote in it as a CUPS job ticket.
  const fs::path script = dossier_ / "vers_cups.sh";
  if (!fs::exists(script)) {
    ecrit_texte(script, R"(#!/bin/sh
# The document on stdin, the queue in $1.
f=$(mktemp) || exit 1
cat >"$f"
titre=$(sed -n 's/^%%Title: //p' "$f" | head -n 1 | tr -d '\r')
options=$(sed -n 's/^%cupsJobTicket: *//p' "$f" | tr -d '\r' | tr ' ' '\n' | sed -n 's/^\(..*\)$/-o \1/p')
lp -d "$1" -t "$titre" $options "$f" >/dev/null
resultat=$?
rm -f "$f"
exit $resultat
)");
  }
  const std::string port = "|/bin/sh " + script.string() + " " + file;
  reg({"add", cle_imprimantes + nom, "/v", "Port", "/d", port, "/f"});
  // Where CreateDC looks a printer's driver up, as the spooler writes it for the printers it adds.
  for (const char* cle : {cle_peripheriques, cle_ports_imprimantes})
    reg({"add", cle, "/v", nom, "/d", "WINEPS.DRV," + port, "/f"});
  // Its default resolution, for this user, through the spooler as a preferences dialog sets it.
  const resultat r =
      execute({std::string(AGENT_WINDOWS_BIN) + "/regle_imprimante.exe", std::to_string(resolution), nom});
  if (r.code != 0) throw std::runtime_error("regle_imprimante " + nom + " : " + r.sortie);
}

void prefixe_wine::relie_partage(const fs::path& dossier) {
  const fs::path serveur = prefixe() / "dosdevices" / "unc" / "192.168.1.10";
  fs::create_directories(serveur);
  fs::remove(serveur / "partage");
  fs::create_directory_symlink(fs::absolute(dossier), serveur / "partage");
}

prefixe_wine::resultat prefixe_wine::execute(const std::vector<std::string>& commande,
                                             std::chrono::seconds delai) const {
  std::vector<std::string> limitee = {"timeout", "-k", "10", std::to_string(delai.count())};
  if (commande.front().ends_with(".exe")) limitee.push_back(chargeur_wine());
  limitee.insert(limitee.end(), commande.begin(), commande.end());
  const fs::path journal = dossier_ / "execute.log";
  fs::remove(journal);
  const int code = attend_fin(essai::demarre(limitee, journal));
  return {code, lit_fichier(journal)};
}

pid_t prefixe_wine::demarre(const std::vector<std::string>& commande, const fs::path& journal) const {
  std::vector<std::string> complete;
  if (commande.front().ends_with(".exe")) complete.push_back(chargeur_wine());
  complete.insert(complete.end(), commande.begin(), commande.end());
  return essai::demarre(complete, journal);
}

}  // namespace agent::essai
