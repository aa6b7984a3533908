#include "tests/support/imprimante_emulee.h"

#include <cups/cups.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/support/processus_essai.h"

namespace agent::essai {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

bool repond(int port) {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in adresse{};
  adresse.sin_family = AF_INET;
  adresse.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  adresse.sin_port = htons(static_cast<uint16_t>(port));
  const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&adresse), sizeof adresse) == 0;
  ::close(s);
  return ok;
}

// Margins of 423 hundredths of a millimetre (1/6 inch) on every edge, as office printers have.
std::string support(int largeur, int longueur) {
  std::ostringstream t;
  t << "{ MEMBER collection media-size { MEMBER integer x-dimension " << largeur << " MEMBER integer y-dimension "
    << longueur << " } MEMBER integer media-bottom-margin 423 MEMBER integer media-left-margin 423"
    << " MEMBER integer media-right-margin 423 MEMBER integer media-top-margin 423 }";
  return t.str();
}

std::string attributs(int32_t resolution, const std::string& papier) {
  const bool a4 = papier == "A4";
  const std::string defaut = a4 ? support(21000, 29700) : support(21590, 27940);
  const std::string dpi = std::to_string(resolution) + "dpi";
  std::ostringstream t;
  // The listed document format comes before the one ippeveprinter adds itself, and is the one
  // its clients read: PWG raster only.
  t << "ATTR mimeMediaType document-format-supported image/pwg-raster\n"
    << "ATTR mimeMediaType document-format-default image/pwg-raster\n"
    << "ATTR boolean color-supported true\n"
    << "ATTR keyword media-default " << (a4 ? "iso_a4_210x297mm" : "na_letter_8.5x11in") << "\n"
    << "ATTR keyword media-supported iso_a4_210x297mm,na_letter_8.5x11in\n"
    << "ATTR keyword media-ready " << (a4 ? "iso_a4_210x297mm" : "na_letter_8.5x11in") << "\n"
    << "ATTR collection media-col-default " << defaut << "\n"
    << "ATTR collection media-col-ready " << defaut << "\n"
    << "ATTR collection media-col-database " << support(21000, 29700) << "," << support(21590, 27940) << "\n"
    << "ATTR collection media-size-supported { MEMBER integer x-dimension 21000 MEMBER integer y-dimension 29700 },"
       "{ MEMBER integer x-dimension 21590 MEMBER integer y-dimension 27940 }\n"
    << "ATTR integer media-bottom-margin-supported 423\nATTR integer media-left-margin-supported 423\n"
    << "ATTR integer media-right-margin-supported 423\nATTR integer media-top-margin-supported 423\n"
    << "ATTR keyword print-color-mode-default color\n"
    << "ATTR keyword print-color-mode-supported auto,color,monochrome\n"
    << "ATTR resolution printer-resolution-default " << dpi << "\n"
    << "ATTR resolution printer-resolution-supported " << dpi << "\n"
    << "ATTR resolution pwg-raster-document-resolution-supported " << dpi << "\n"
    << "ATTR keyword pwg-raster-document-type-supported srgb_8,sgray_8\n"
    << "ATTR rangeOfInteger copies-supported 1-999\n";
  return t.str();
}

// Starts `commande` with one more variable in its environment.
pid_t demarre_avec(const std::vector<std::string>& commande, const fs::path& journal, const char* variable,
                   const std::string& valeur) {
  const char* avant = std::getenv(variable);
  const std::optional<std::string> garde = avant ? std::optional<std::string>(avant) : std::nullopt;
  setenv(variable, valeur.c_str(), 1);
  const pid_t pid = demarre(commande, journal);
  if (garde)
    setenv(variable, garde->c_str(), 1);
  else
    unsetenv(variable);
  return pid;
}

}  // namespace

imprimante_emulee::imprimante_emulee(const fs::path& dossier, int32_t resolution, const std::string& papier)
    : dossier_(dossier) {
  fs::create_directories(dossier_ / "recus");
  const fs::path bus = dossier_ / "bus.sock";
  bus_ = demarre({"dbus-daemon", "--session", "--address=unix:path=" + bus.string(), "--nofork", "--nopidfile"},
                 dossier_ / "journal");
  for (auto limite = std::chrono::steady_clock::now() + 10s; !fs::exists(bus);) {
    if (std::chrono::steady_clock::now() > limite)
      throw std::runtime_error("dbus-daemon : " + lit_fichier(dossier_ / "journal"));
    std::this_thread::sleep_for(5ms);
  }
  ecrit_texte(dossier_ / "imprimante.conf", attributs(resolution, papier));

  // Another program may take the port between our look and ippeveprinter's: try a few.
  for (int essai = 0; essai < 3 && !imprimante_; ++essai) {
    port_ = port_libre();
    const pid_t pid = demarre_avec({"ippeveprinter", "-r", "off", "-n", "localhost", "-p", std::to_string(port_), "-a",
                                    (dossier_ / "imprimante.conf").string(), "-c", "/bin/true", "-k", "-d",
                                    (dossier_ / "recus").string(), "Emulee"},
                                   dossier_ / "journal", "DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + bus.string());
    for (auto limite = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < limite;) {
      if (repond(port_)) {
        imprimante_ = pid;
        break;
      }
      int statut = 0;
      if (waitpid(pid, &statut, WNOHANG) == pid) break;
      std::this_thread::sleep_for(5ms);
    }
    if (!imprimante_) arrete(pid);
  }
  if (!imprimante_) throw std::runtime_error("ippeveprinter ne démarre pas : " + lit_fichier(dossier_ / "journal"));
}

imprimante_emulee::~imprimante_emulee() {
  arrete(imprimante_);
  arrete(bus_);
}

std::string imprimante_emulee::uri() const { return "ipp://localhost:" + std::to_string(port_) + "/ipp/print"; }

ipp_t* imprimante_emulee::demande_travaux(const std::vector<const char*>& attributs) const {
  http_t* http = httpConnect2("localhost", port_, nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 5000, nullptr);
  if (!http) throw std::runtime_error("imprimante émulée injoignable");
  ipp_t* requete = ippNewRequest(IPP_OP_GET_JOBS);
  ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri().c_str());
  ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
  ippAddStrings(requete, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", static_cast<int>(attributs.size()),
                nullptr, attributs.data());
  ipp_t* reponse = cupsDoRequest(http, requete, "/ipp/print");
  httpClose(http);
  if (!reponse || ippGetStatusCode(reponse) > IPP_STATUS_OK_EVENTS_COMPLETE) {
    ippDelete(reponse);
    throw std::runtime_error(std::string("travaux de l'imprimante émulée : ") + cupsLastErrorString());
  }
  return reponse;
}

int32_t imprimante_emulee::travaux_entiers() const {
  // A job is held ("job-incoming") while its document arrives.
  ipp_t* reponse = demande_travaux({"job-state"});
  int32_t entiers = 0;
  for (ipp_attribute_t* a = ippFindAttribute(reponse, "job-state", IPP_TAG_ENUM); a;
       a = ippFindNextAttribute(reponse, "job-state", IPP_TAG_ENUM))
    entiers += ippGetInteger(a, 0) != IPP_JSTATE_HELD;
  ippDelete(reponse);
  return entiers;
}

std::vector<imprimante_emulee::travail_recu> imprimante_emulee::travaux() const {
  ipp_t* reponse = demande_travaux({"job-id", "job-name", "copies"});
  std::vector<std::pair<int, travail_recu>> recus;
  int id = 0;
  travail_recu courant{"", 1, {}};
  const auto termine = [&] {
    if (id > 0) recus.emplace_back(id, courant);
    id = 0;
    courant = {"", 1, {}};
  };
  for (ipp_attribute_t* a = ippFirstAttribute(reponse); a; a = ippNextAttribute(reponse)) {
    const char* nom = ippGetName(a);
    if (!nom) {
      termine();
      continue;
    }
    const std::string_view n = nom;
    if (n == "job-id")
      id = ippGetInteger(a, 0);
    else if (n == "job-name")
      courant.nom = ippGetString(a, 0, nullptr);
    else if (n == "copies")
      courant.copies = ippGetInteger(a, 0);
  }
  termine();
  ippDelete(reponse);

  // Its documents are kept as "<job-id>-<name>.pwg".
  std::sort(recus.begin(), recus.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<travail_recu> liste;
  for (auto& [numero, travail] : recus) {
    for (const auto& entree : fs::directory_iterator(dossier_ / "recus")) {
      const std::string fichier = entree.path().filename().string();
      if (fichier.starts_with(std::to_string(numero) + "-") && entree.path().extension() == ".pwg") {
        const std::string contenu = lit_fichier(entree.path());
        travail.document = QByteArray(contenu.data(), static_cast<qsizetype>(contenu.size()));
      }
    }
    liste.push_back(std::move(travail));
  }
  return liste;
}

}  // namespace agent::essai
