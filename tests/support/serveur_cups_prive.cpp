#include "tests/support/serveur_cups_prive.h"

#include <cups/cups.h>
#include <QImageReader>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace agent::essai {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Under the system's temporary folder, readable and traversable by everyone: as root, the
// scheduler runs its filters as user lp, who must reach the spool and the configuration.
fs::path dossier_temporaire(const std::string& prefixe) {
  std::string modele = (fs::temp_directory_path() / (prefixe + "XXXXXX")).string();
  if (!mkdtemp(modele.data())) throw std::runtime_error("mkdtemp : " + std::string(std::strerror(errno)));
  fs::permissions(modele, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
  return modele;
}

std::string lit_fichier(const fs::path& chemin) {
  std::ifstream f(chemin, std::ios::binary);
  std::ostringstream contenu;
  contenu << f.rdbuf();
  return contenu.str();
}

void ecrit_fichier(const fs::path& chemin, const std::string& contenu) {
  std::ofstream f(chemin, std::ios::binary);
  f << contenu;
  if (!f) throw std::runtime_error("écriture impossible : " + chemin.string());
}

// Starts `commande` with its output appended to `journal`.
pid_t demarre(const std::vector<std::string>& commande, const fs::path& journal) {
  std::vector<char*> arguments;
  for (const auto& a : commande) arguments.push_back(const_cast<char*>(a.c_str()));
  arguments.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, journal.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  const int e = posix_spawnp(&pid, arguments[0], &actions, nullptr, arguments.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (e != 0) throw std::runtime_error(commande[0] + " : " + std::strerror(e));
  return pid;
}

int attend_fin(pid_t pid) {
  int statut = 0;
  while (waitpid(pid, &statut, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(statut) ? WEXITSTATUS(statut) : 128 + WTERMSIG(statut);
}

void execute(const std::vector<std::string>& commande, const fs::path& journal) {
  const auto avant = fs::exists(journal) ? fs::file_size(journal) : 0;
  if (attend_fin(demarre(commande, journal)) != 0) {
    std::string texte;
    for (const auto& a : commande) texte += a + " ";
    throw std::runtime_error(texte + "a échoué : " + lit_fichier(journal).substr(avant));
  }
}

std::string ppd(const pilote& p) {
  std::ostringstream t;
  t << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
       "*LanguageEncoding: ISOLatin1\n*PCFileName: \"ESSAI.PPD\"\n*Manufacturer: \"Essai\"\n"
       "*Product: \"(Essai)\"\n*ModelName: \"Essai\"\n*ShortNickName: \"Essai\"\n*NickName: \"Essai\"\n"
       "*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n*ColorDevice: True\n*DefaultColorSpace: RGB\n"
       "*FileSystem: False\n*Throughput: \"1\"\n*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n"
       // PDF goes to the device untouched, as on a raw queue.
       "*cupsFilter: \"application/pdf 0 -\"\n";
  t << "*OpenUI *Resolution/Resolution: PickOne\n*OrderDependency: 10 AnySetup *Resolution\n"
    << "*DefaultResolution: " << p.resolution << "dpi\n";
  for (int r : {150, 300, 600, 1200}) {
    if (r != p.resolution) t << "*Resolution " << r << "dpi/" << r << " dpi: \"\"\n";
  }
  t << "*Resolution " << p.resolution << "dpi/" << p.resolution << " dpi: \"\"\n*CloseUI: *Resolution\n";
  const char* formats[][2] = {{"A4", "595 842"}, {"Letter", "612 792"}};
  for (const char* mot : {"PageSize", "PageRegion"}) {
    t << "*OpenUI *" << mot << ": PickOne\n*OrderDependency: 10 AnySetup *" << mot << "\n*Default" << mot
      << ": " << p.papier << "\n";
    for (auto& f : formats) t << "*" << mot << " " << f[0] << ": \"\"\n";
    t << "*CloseUI: *" << mot << "\n";
  }
  t << "*DefaultImageableArea: " << p.papier << "\n*DefaultPaperDimension: " << p.papier << "\n";
  for (auto& f : formats) {
    t << "*ImageableArea " << f[0] << ": \"0 0 " << f[1] << "\"\n*PaperDimension " << f[0] << ": \"" << f[1]
      << "\"\n";
  }
  return t.str();
}

struct connexion_ipp {
  http_t* http;
  explicit connexion_ipp(const fs::path& socket)
      : http(httpConnect2(socket.c_str(), 0, nullptr, AF_LOCAL, HTTP_ENCRYPTION_NEVER, 1, 5000, nullptr)) {
    if (!http) throw std::runtime_error("connexion au serveur privé impossible");
    httpSetTimeout(http, 10, [](http_t*, void*) { return 0; }, nullptr);
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
  for (const char* sous_dossier : {"home", "spool", "cache", "state"}) fs::create_directories(dossier_ / sous_dossier);
  const fs::path& d = dossier_;
  ecrit_fichier(d / "cups-files.conf", "ServerRoot " + d.string() + "\nRequestRoot " + (d / "spool").string() +
                                           "\nCacheDir " + (d / "cache").string() + "\nStateDir " +
                                           (d / "state").string() + "\nErrorLog " + (d / "error_log").string() +
                                           "\nAccessLog " + (d / "access_log").string() + "\nPageLog " +
                                           (d / "page_log").string() + "\nPrintcap " + (d / "printcap").string() +
                                           "\nFileDevice Yes\n");
  std::string cupsd = "Listen " + socket().string() +
                      "\nBrowsing No\nWebInterface No\nDefaultAuthType None\nLogLevel info\nMaxJobs 0\n"
                      "PreserveJobHistory Yes\nPreserveJobFiles Yes\n";
  for (const auto& ligne : directives) cupsd += ligne + "\n";
  // Anyone may do anything: the scheduler refuses queue administration without a policy.
  cupsd += "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
  ecrit_fichier(d / "cupsd.conf", cupsd);

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
  sockaddr_un adresse{};
  adresse.sun_family = AF_UNIX;
  std::strncpy(adresse.sun_path, socket().c_str(), sizeof adresse.sun_path - 1);
  while (std::chrono::steady_clock::now() < limite) {
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool pret = ::connect(s, reinterpret_cast<sockaddr*>(&adresse), sizeof adresse) == 0;
    ::close(s);
    if (pret) return;
    int statut = 0;
    if (waitpid(pid_, &statut, WNOHANG) == pid_) {
      pid_ = 0;
      throw std::runtime_error("cupsd s'est arrêté au démarrage : " + lit_fichier(dossier_ / "cupsd.out") +
                               journal());
    }
    std::this_thread::sleep_for(5ms);
  }
  throw std::runtime_error("cupsd ne répond pas : " + journal());
}

serveur_cups_prive::~serveur_cups_prive() {
  if (pid_ > 0) {
    kill(pid_, SIGCONT);
    kill(pid_, SIGTERM);
    const auto limite = std::chrono::steady_clock::now() + 10s;
    int statut = 0;
    while (waitpid(pid_, &statut, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > limite) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &statut, 0);
        break;
      }
      std::this_thread::sleep_for(5ms);
    }
  }
  for (const auto& [variable, valeur] : environnement_) {
    if (valeur) setenv(variable.c_str(), valeur->c_str(), 1);
    else unsetenv(variable.c_str());
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
  std::vector<std::string> commande = {"lpadmin", "-p", nom, "-E", "-v", "file:///dev/null", "-D", description};
  if (avec) {
    const fs::path fichier = dossier_ / (nom + ".ppd");
    ecrit_fichier(fichier, ppd(*avec));
    commande.insert(commande.end(), {"-P", fichier.string()});
  }
  lance(commande);
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

std::string serveur_cups_prive::journal() const { return lit_fichier(dossier_ / "error_log"); }

QImage rasterise_pdf(const QByteArray& pdf, int32_t resolution, rasteriseur avec) {
  const fs::path dossier = dossier_temporaire("agent_rendu_");
  ecrit_fichier(dossier / "page.pdf", pdf.toStdString());
  const std::string r = std::to_string(resolution);
  const fs::path sortie = dossier / "page.ppm";
  if (avec == rasteriseur::pdftoppm) {
    execute({"pdftoppm", "-r", r, "-aa", "no", "-aaVector", "no", "-singlefile", (dossier / "page.pdf").string(),
             (dossier / "page").string()},
            dossier / "journal");
  } else {
    execute({"gs", "-q", "-dSAFER", "-dNOPAUSE", "-dBATCH", "-dFirstPage=1", "-dLastPage=1", "-sDEVICE=ppmraw",
             "-r" + r, "-dTextAlphaBits=1", "-dGraphicsAlphaBits=1", "-sOutputFile=" + sortie.string(),
             (dossier / "page.pdf").string()},
            dossier / "journal");
  }
  QImageReader lecteur(QString::fromStdString(sortie.string()), "PPM");
  lecteur.setAllocationLimit(0);  // a page at 600 dpi is beyond Qt's default limit
  QImage image = lecteur.read();
  fs::remove_all(dossier);
  if (image.isNull()) throw std::runtime_error("rendu du PDF illisible");
  return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace agent::essai
