#include "tests/support/partage_samba.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/processus_essai.h"

namespace agent::essai {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// root's account on the server, in the smbpasswd database: no LAN Manager hash, the NT hash (MD4
// of the password in UTF-16LE) of "essai", and a time of the last change, without which the
// server would have the password changed before any login.
constexpr const char* compte_root =
    "root:0:XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX:0C92954EBC5D7496825778107EDFD1DA:[U          ]:LCT-60000000:\n";
constexpr const char* mot_de_passe = "essai";

// `nom` in PATH, or in the administrators' folders that a PATH may leave out (smbd is there).
std::optional<std::string> programme(const std::string& nom) {
  const char* path = std::getenv("PATH");
  std::istringstream dossiers(std::string(path ? path : "") + ":/usr/sbin:/sbin");
  for (std::string dossier; std::getline(dossiers, dossier, ':');) {
    if (dossier.empty()) continue;
    const std::string chemin = dossier + "/" + nom;
    if (::access(chemin.c_str(), X_OK) == 0) return chemin;
  }
  return std::nullopt;
}

std::string fusermount() { return programme("fusermount").value_or(programme("fusermount3").value_or("fusermount")); }

// `commande`, which gets SIGTERM should the thread that starts it end first (this process dying).
std::vector<std::string> lie_a_ce_processus(std::vector<std::string> commande) {
  commande.insert(commande.begin(), {"setpriv", "--pdeathsig", "TERM"});
  return commande;
}

// A section of a Samba configuration file.
std::string section(const std::string& nom, const std::vector<std::pair<std::string, std::string>>& parametres) {
  std::string texte = "[" + nom + "]\n";
  for (const auto& [cle, valeur] : parametres) texte += "  " + cle + " = " + valeur + "\n";
  return texte;
}

bool reussit(const std::vector<std::string>& commande, const fs::path& journal) {
  try {
    return attend_fin(demarre(commande, journal)) == 0;
  } catch (const std::runtime_error&) {
    return false;
  }
}

}  // namespace

std::optional<std::string> partage_samba::indisponible() {
  if (::geteuid() != 0) return "smbd ne sert un partage qu'exécuté par root";
  for (const char* nom : {"smbd", "smbnetfs", "setpriv"})
    if (!programme(nom)) return std::string(nom) + " est absent (scripts/install-deps l'installe)";
  if (!programme("fusermount") && !programme("fusermount3"))
    return "fusermount est absent (scripts/install-deps l'installe)";
  if (::access("/dev/fuse", R_OK | W_OK) != 0)
    return std::string("/dev/fuse est inaccessible : ") + std::strerror(errno);
  return std::nullopt;
}

partage_samba::partage_samba() : dossier_(dossier_temporaire("agent_partage_")), port_(port_libre()) {
  const fs::path& d = dossier_;
  for (const char* sous_dossier : {"prive", "verrous", "etat", "cache", "pid", "partage/masques_en_attente"})
    fs::create_directories(d / sous_dossier);
  fs::permissions(d / "prive", fs::perms::owner_all);
  ecrit_texte(d / "prive" / "smbpasswd", compte_root);
  fs::permissions(d / "prive" / "smbpasswd", fs::perms::owner_read | fs::perms::owner_write);
  // No NetBIOS (nmbd, port 139), no printers, and no RPC helpers: smbd would start samba-dcerpcd,
  // which reads the machine's own configuration; a share of files needs none of them.
  ecrit_texte(d / "smb.conf",
              section("global", {{"server role", "standalone server"},
                                 {"workgroup", "ESSAI"},
                                 {"interfaces", "127.0.0.1"},
                                 {"bind interfaces only", "yes"},
                                 {"smb ports", std::to_string(port_)},
                                 {"disable netbios", "yes"},
                                 {"server min protocol", "SMB2"},
                                 {"passdb backend", "smbpasswd:" + (d / "prive" / "smbpasswd").string()},
                                 {"private dir", (d / "prive").string()},
                                 {"lock directory", (d / "verrous").string()},
                                 {"state directory", (d / "etat").string()},
                                 {"cache directory", (d / "cache").string()},
                                 {"pid directory", (d / "pid").string()},
                                 {"ncalrpc dir", (d / "verrous" / "ncalrpc").string()},
                                 {"log file", (d / "smbd.log").string()},
                                 {"log level", "1"},
                                 {"load printers", "no"},
                                 {"printing", "bsd"},
                                 {"printcap name", "/dev/null"},
                                 {"disable spoolss", "yes"},
                                 {"rpc start on demand helpers", "no"}}) +
                  section("partage", {{"path", (d / "partage").string()}, {"read only", "no"}}));
  // In a process group of its own: smbd ends its group with itself, which would otherwise be the
  // test's, ctest and its shell included. Its log on its output from the start: before it reads its
  // configuration, it would open the machine's.
  smbd_ = demarre(lie_a_ce_processus({*programme("smbd"), "--foreground", "--debug-stdout",
                                      "--configfile=" + (d / "smb.conf").string()}),
                  d / "smbd.log");
  try {
    attend_reponse();
  } catch (const std::runtime_error&) {
    arrete(smbd_);
    std::error_code ignore;
    fs::remove_all(dossier_, ignore);
    throw;
  }
}

void partage_samba::attend_reponse() {
  const auto limite = std::chrono::steady_clock::now() + 10s;
  sockaddr_in adresse{};
  adresse.sin_family = AF_INET;
  adresse.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  adresse.sin_port = htons(static_cast<uint16_t>(port_));
  while (std::chrono::steady_clock::now() < limite) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    const bool pret = ::connect(s, reinterpret_cast<const sockaddr*>(&adresse), sizeof adresse) == 0;
    ::close(s);
    if (pret) return;
    int statut = 0;
    if (::waitpid(smbd_, &statut, WNOHANG) == smbd_) {
      smbd_ = 0;
      throw std::runtime_error("smbd s'est arrêté au démarrage : " + journal());
    }
    std::this_thread::sleep_for(5ms);
  }
  throw std::runtime_error("smbd ne répond pas : " + journal());
}

fs::path partage_samba::montage(int poste) {
  poste_monte& p = postes_.at(static_cast<size_t>(poste));
  p.maison = dossier_ / ("poste_" + std::to_string(poste));
  const fs::path dossier =
      p.maison / "montage" / ("127.0.0.1:" + std::to_string(port_)) / "partage" / "masques_en_attente";
  if (p.pid > 0) return dossier;

  const fs::path smb = p.maison / ".smb";
  fs::create_directories(smb / "samba");
  fs::create_directories(p.maison / "montage");
  // The configuration of libsmbclient, which would otherwise read the machine's, with its
  // databases in the workstation's HOME; names resolved by address only, nothing broadcast.
  const std::string samba = (smb / "samba").string();
  ecrit_texte(smb / "smb.conf", section("global", {{"workgroup", "ESSAI"},
                                                   {"disable netbios", "yes"},
                                                   {"name resolve order", "host"},
                                                   {"client min protocol", "SMB2"},
                                                   {"lock directory", samba},
                                                   {"state directory", samba},
                                                   {"cache directory", samba},
                                                   {"private dir", samba}}));
  // No browsing of the network: the workstation reaches the server by its address alone. Every
  // name goes to the server, none answered "absent" by the workstation itself (its defaults do so
  // for .git, HEAD, desktop.ini... near the top of a share). The credentials make the file
  // private to its owner, as smbnetfs wants it.
  const fs::path configuration = smb / "smbnetfs.conf";
  ecrit_texte(configuration, std::string("smb_query_browsers \"false\"\nuse_libsecret \"false\"\n"
                                         "stat_workaround_depth \"0\"\nauth \"root\" \"") +
                                 mot_de_passe + "\"\n");
  fs::permissions(configuration, fs::perms::owner_read | fs::perms::owner_write);

  p.pid = demarre(lie_a_ce_processus({"env", "HOME=" + p.maison.string(), *programme("smbnetfs"),
                                      (p.maison / "montage").string(), "-f"}),
                  p.maison / "smbnetfs.log");
  // Mounted and logged in once the shared folder answers through the mount point.
  const auto limite = std::chrono::steady_clock::now() + 30s;
  while (std::chrono::steady_clock::now() < limite) {
    std::error_code ec;
    if (fs::is_directory(dossier, ec)) return dossier;
    int statut = 0;
    if (::waitpid(p.pid, &statut, WNOHANG) == p.pid) {
      p.pid = 0;
      throw std::runtime_error("smbnetfs s'est arrêté au montage : " + journal());
    }
    std::this_thread::sleep_for(20ms);
  }
  throw std::runtime_error("le partage ne répond pas par " + (p.maison / "montage").string() + " : " + journal());
}

partage_samba::~partage_samba() {
  for (poste_monte& p : postes_) {
    if (p.pid <= 0) continue;
    // Lazily when a program still holds a file there: the mount leaves the tree at once.
    const fs::path point = p.maison / "montage";
    if (!reussit({fusermount(), "-u", point.string()}, p.maison / "smbnetfs.log"))
      reussit({fusermount(), "-u", "-z", point.string()}, p.maison / "smbnetfs.log");
    arrete(p.pid);
  }
  arrete(smbd_);
  std::error_code ignore;
  fs::remove_all(dossier_, ignore);
}

std::string partage_samba::journal() const {
  std::string texte = "\n--- smbd\n" + lit_fichier(dossier_ / "smbd.log");
  for (size_t i = 0; i < postes_.size(); ++i)
    if (!postes_[i].maison.empty())
      texte += "\n--- smbnetfs du poste " + std::to_string(i) + "\n" + lit_fichier(postes_[i].maison / "smbnetfs.log");
  return texte;
}

}  // namespace agent::essai
