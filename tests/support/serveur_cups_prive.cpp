#include "tests/support/serveur_cups_prive.h"

#include <cups/cups.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "tests/support/ppd_essai.h"
#include "tests/support/processus_essai.h"

namespace agent::essai {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct connexion_ipp {
  http_t* http;
  explicit connexion_ipp(const fs::path& socket)
      : http(httpConnect2(socket.c_str(), 0, nullptr, AF_LOCAL, HTTP_ENCRYPTION_NEVER, 1, 5000, nullptr)) {
    if (!http) throw std::runtime_error("connexion au serveur privé impossible");
    httpSetTimeout(
        http, 10, [](http_t*, void*) { return 0; }, nullptr);
  }
  ~connexion_ipp() { httpClose(http); }
};

std::string texte(ipp_t* groupe, const char* nom) {
  ipp_attribute_t* a = ippFindAttribute(groupe, nom, IPP_TAG_ZERO);
  const char* v = a ? ippGetString(a, 0, nullptr) : nullptr;
  return v ? v : "";
}

}  // namespace

serveur_cups_prive::serveur_cups_prive(const std::vector<std::string>& directives)
    : dossier_(dossier_temporaire("agent_cups_")) {
  for (const char* variable : {"CUPS_SERVER", "HOME", "PRINTER", "LPDEST"}) {
    const char* v = std::getenv(variable);
    environnement_[variable] = v ? std::optional<std::string>(v) : std::nullopt;
  }
  for (const char* sous_dossier : {"home", "spool", "cache", "state", "sorties"})
    fs::create_directories(dossier_ / sous_dossier);
  const fs::path& d = dossier_;
  ecrit_texte(d / "cups-files.conf",
              "ServerRoot " + d.string() + "\nRequestRoot " + (d / "spool").string() + "\nCacheDir " +
                  (d / "cache").string() + "\nStateDir " + (d / "state").string() + "\nErrorLog " +
                  (d / "error_log").string() + "\nAccessLog " + (d / "access_log").string() + "\nPageLog " +
                  (d / "page_log").string() + "\nPrintcap " + (d / "printcap").string() + "\nFileDevice Yes\n");
  std::string cupsd = "Listen " + socket().string() +
                      "\nBrowsing No\nWebInterface No\nDefaultAuthType None\nLogLevel info\nMaxJobs 0\n"
                      "PreserveJobHistory Yes\nPreserveJobFiles Yes\n";
  for (const auto& ligne : directives) cupsd += ligne + "\n";
  // Anyone may do anything: the scheduler refuses queue administration without a policy.
  cupsd += "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
  ecrit_texte(d / "cupsd.conf", cupsd);

  setenv("CUPS_SERVER", socket().c_str(), 1);
  setenv("HOME", (d / "home").c_str(), 1);
  unsetenv("PRINTER");
  unsetenv("LPDEST");
  cupsSetServer(socket().c_str());  // libcups keeps the server it read first

  pid_ = demarre({"cupsd", "-f", "-c", (d / "cupsd.conf").string(), "-s", (d / "cups-files.conf").string()},
                 d / "cupsd.out");
  attend_reponse();
}

void serveur_cups_prive::attend_reponse() {
  const auto limite = std::chrono::steady_clock::now() + 10s;
  const sockaddr_un adresse = adresse_locale(socket());
  while (std::chrono::steady_clock::now() < limite) {
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool pret = ::connect(s, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse) == 0;
    ::close(s);
    if (pret) return;
    int statut = 0;
    if (waitpid(pid_, &statut, WNOHANG) == pid_) {
      pid_ = 0;
      throw std::runtime_error("cupsd s'est arrêté au démarrage : " + lit_fichier(dossier_ / "cupsd.out") + journal());
    }
    std::this_thread::sleep_for(5ms);
  }
  throw std::runtime_error("cupsd ne répond pas : " + journal());
}

serveur_cups_prive::~serveur_cups_prive() {
  arrete(pid_);
  files_.clear();  // their printers
  for (const auto& [variable, valeur] : environnement_) {
    if (valeur)
      setenv(variable.c_str(), valeur->c_str(), 1);
    else
      unsetenv(variable.c_str());
  }
  cupsSetServer(nullptr);
  std::error_code ignore;
  fs::remove_all(dossier_, ignore);
}

void serveur_cups_prive::lance(const std::vector<std::string>& commande) const {
  execute(commande, dossier_ / "commandes.log");
}

void serveur_cups_prive::ajoute_file(const std::string& nom, const std::string& description,
                                     const std::optional<pilote>& avec) {
  file_essai& file = files_[nom];
  file.avec = avec;
  if (avec && avec->sorte == sorte_file::sans_pilote) {
    file.imprimante =
        std::make_unique<imprimante_emulee>(dossier_ / "imprimantes" / nom, avec->resolution, avec->papier);
    lance({"lpadmin", "-p", nom, "-E", "-v", file.imprimante->uri(), "-m", "everywhere", "-D", description});
    attend_pilote_genere(nom);
    return;
  }
  const bool sortie_gardee =
      avec && (avec->sorte == sorte_file::postscript || avec->sorte == sorte_file::pilote_raster);
  const std::string peripherique =
      sortie_gardee ? "file://" + (dossier_ / "sorties" / nom).string() : "file:///dev/null";
  std::vector<std::string> commande = {"lpadmin", "-p", nom, "-E", "-v", peripherique, "-D", description};
  if (avec) {
    const fs::path fichier = dossier_ / (nom + ".ppd");
    ecrit_texte(fichier, ppd_essai(*avec));
    commande.insert(commande.end(), {"-P", fichier.string()});
  }
  lance(commande);
}

// lpadmin returns before the scheduler has asked the printer for its description and written the
// queue's PPD from it: the queue is ready once the scheduler describes it by that PPD.
void serveur_cups_prive::attend_pilote_genere(const std::string& nom) const {
  const auto limite = std::chrono::steady_clock::now() + 20s;
  while (std::chrono::steady_clock::now() < limite) {
    connexion_ipp c(socket());
    ipp_t* requete = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    const std::string uri = "ipp://localhost/printers/" + nom;
    ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-make-and-model");
    ipp_t* reponse = cupsDoRequest(c.http, requete, "/");
    const std::string modele = reponse ? texte(reponse, "printer-make-and-model") : "";
    ippDelete(reponse);
    if (modele.find("IPP Everywhere") != std::string::npos) return;
    std::this_thread::sleep_for(20ms);
  }
  throw std::runtime_error("la file " + nom + " n'a pas reçu de pilote : " + journal());
}

void serveur_cups_prive::ajoute_file_modele(const std::string& nom, const std::string& modele) {
  files_[nom] = {};
  // The driver program writes the PPD itself, as the scheduler's cups-driverd (not installed with
  // the bare scheduler) would ask it to.
  const fs::path ppd = dossier_ / (nom + ".ppd");
  execute({"/usr/lib/cups/driver/" + modele.substr(0, modele.find(':')), "cat", modele}, ppd);
  lance({"lpadmin", "-p", nom, "-E", "-v", "file:///dev/null", "-P", ppd.string()});
}

void serveur_cups_prive::rend_defaut(const std::string& nom) { lance({"lpadmin", "-d", nom}); }
void serveur_cups_prive::refuse_travaux(const std::string& nom) { lance({"cupsreject", nom}); }
void serveur_cups_prive::desactive(const std::string& nom) { lance({"cupsdisable", nom}); }
void serveur_cups_prive::supprime(const std::string& nom) { lance({"lpadmin", "-x", nom}); }

std::vector<travail> serveur_cups_prive::travaux() const {
  connexion_ipp c(socket());
  ipp_t* requete = ippNewRequest(IPP_OP_GET_JOBS);
  ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
  ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
  ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  static const char* const attributs[] = {"job-id",   "job-printer-uri", "copies",
                                          "job-name", "document-format", "job-state"};
  ippAddStrings(requete, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 6, nullptr, attributs);
  ipp_t* reponse = cupsDoRequest(c.http, requete, "/");
  if (!reponse || ippGetStatusCode(reponse) > IPP_STATUS_OK_EVENTS_COMPLETE) {
    ippDelete(reponse);
    throw std::runtime_error(std::string("liste des travaux indisponible : ") + cupsLastErrorString());
  }
  std::vector<travail> liste;
  ipp_t* groupe = ippNew();
  // The answer is one flat list of attributes, a separator between jobs.
  auto ajoute = [&] {
    ipp_attribute_t* id = ippFindAttribute(groupe, "job-id", IPP_TAG_INTEGER);
    if (id) {
      ipp_attribute_t* copies = ippFindAttribute(groupe, "copies", IPP_TAG_INTEGER);
      ipp_attribute_t* etat = ippFindAttribute(groupe, "job-state", IPP_TAG_ENUM);
      const std::string uri = texte(groupe, "job-printer-uri");
      liste.push_back({ippGetInteger(id, 0), uri.substr(uri.rfind('/') + 1), copies ? ippGetInteger(copies, 0) : 1,
                       texte(groupe, "job-name"), texte(groupe, "document-format"),
                       static_cast<etat_travail>(etat ? ippGetInteger(etat, 0) : 0)});
    }
    ippDelete(groupe);
    groupe = ippNew();
  };
  for (ipp_attribute_t* a = ippFirstAttribute(reponse); a; a = ippNextAttribute(reponse)) {
    if (!ippGetName(a)) {
      ajoute();
      continue;
    }
    if (ippGetGroupTag(a) == IPP_TAG_JOB) ippCopyAttribute(groupe, a, 0);
  }
  ajoute();
  ippDelete(groupe);
  ippDelete(reponse);
  std::sort(liste.begin(), liste.end(), [](const travail& a, const travail& b) { return a.id < b.id; });
  return liste;
}

QByteArray serveur_cups_prive::document(int32_t id) const {
  char nom[32];
  std::snprintf(nom, sizeof nom, "d%05d-001", id);
  const fs::path chemin = dossier_ / "spool" / nom;
  if (!fs::exists(chemin)) throw std::runtime_error("pas de document pour le travail " + std::to_string(id));
  const std::string contenu = lit_fichier(chemin);
  return QByteArray(contenu.data(), static_cast<qsizetype>(contenu.size()));
}

void serveur_cups_prive::suspend() { kill(pid_, SIGSTOP); }
void serveur_cups_prive::reprend() { kill(pid_, SIGCONT); }

void serveur_cups_prive::tue() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  attend_fin(pid_);
  pid_ = 0;
}

travail serveur_cups_prive::attend_travail_fini(int32_t id) const {
  const auto limite = std::chrono::steady_clock::now() + 60s;
  for (;;) {
    for (const travail& t : travaux()) {
      if (t.id != id) continue;
      if (t.etat == etat_travail::termine) return t;
      if (t.etat >= etat_travail::arrete) {
        throw std::runtime_error("le travail " + std::to_string(id) + " n'a pas abouti (état " +
                                 std::to_string(static_cast<int>(t.etat)) + ") : " + journal());
      }
    }
    if (std::chrono::steady_clock::now() > limite)
      throw std::runtime_error("le travail " + std::to_string(id) + " ne finit pas : " + journal());
    std::this_thread::sleep_for(20ms);
  }
}

serveur_cups_prive::reception serveur_cups_prive::recu(int32_t id) const {
  const auto liste = travaux();
  const auto t = std::find_if(liste.begin(), liste.end(), [&](const travail& un) { return un.id == id; });
  if (t == liste.end()) throw std::runtime_error("pas de travail " + std::to_string(id));
  const file_essai& file = files_.at(t->file);
  const int32_t resolution = file.avec ? file.avec->resolution : 300;
  const sorte_file sorte = file.avec ? file.avec->sorte : sorte_file::transparent;
  if (sorte == sorte_file::transparent) {
    const QByteArray pdf = document(id);
    return {rasterise_pdf(pdf, resolution), t->copies, t->nom, pdf.size()};
  }

  const travail fini = attend_travail_fini(id);
  if (sorte == sorte_file::postscript) {
    const std::string postscript = lit_fichier(dossier_ / "sorties" / t->file);
    return {rasterise_postscript(QByteArray(postscript.data(), static_cast<qsizetype>(postscript.size())), resolution),
            fini.copies, fini.nom, static_cast<qsizetype>(postscript.size())};
  }
  if (sorte == sorte_file::pilote_raster) {
    // What the driver gets, its copies as pages: the filters' raster for a PDF; a CUPS raster
    // document passes no filter, and the driver "-" hands it on as the scheduler kept it (with no
    // program at all to run, the scheduler writes nothing to the device).
    const QByteArray raster = t->format_document == "application/vnd.cups-raster"
                                  ? document(id)
                                  : QByteArray::fromStdString(lit_fichier(dossier_ / "sorties" / t->file));
    const auto pages = pages_raster(raster);
    if (pages.empty()) throw std::runtime_error("raster vide pour le travail " + std::to_string(id));
    return {pages.front(), fini.copies * static_cast<int32_t>(pages.size()), fini.nom, raster.size()};
  }
  // The emulated printer makes copies itself, so each job of the queue reaches it as one job of
  // its own, in the same order; a raster document carries its copies as pages.
  const auto ceux_de_la_file = [&] {
    std::vector<int32_t> ids;
    for (const travail& un : travaux())
      if (un.file == t->file) ids.push_back(un.id);
    return ids;
  }();
  const size_t rang =
      static_cast<size_t>(std::find(ceux_de_la_file.begin(), ceux_de_la_file.end(), id) - ceux_de_la_file.begin());
  const auto recus = file.imprimante->travaux();
  if (rang >= recus.size())
    throw std::runtime_error("l'imprimante n'a rien reçu pour le travail " + std::to_string(id));
  const auto& recu = recus[rang];
  const auto pages = pages_raster(recu.document);
  reception r{pages.empty() ? QImage() : pages.front(), recu.copies * static_cast<int32_t>(pages.size()), recu.nom,
              recu.document.size()};
  if (r.page.isNull()) throw std::runtime_error("document PWG vide pour le travail " + std::to_string(id));
  return r;
}

std::string serveur_cups_prive::journal() const { return lit_fichier(dossier_ / "error_log"); }

}  // namespace agent::essai
