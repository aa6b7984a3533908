// The workstation package as an operator's machine gets it: installed with dpkg, its agent started
// the way the session's autostart entry starts it, printing one job from the compiled-in watched
// folder on the scheduler's default printer, then purged without a trace.
//
// It installs for the whole system, so it runs only where that can harm nothing: as root, with
// no copy of the package or of any of its files already there, and with no folder where the
// watched folder goes (its parent may be the real share, whose jobs the agent would print). It
// removes only what it created. The production agent waits for the operator on a fatal error,
// so the test relies on a printed job only and stops the agent itself.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/fiabilite/banc_agent.h"
#include "tests/support/bmp_essai_qt.h"

using namespace agent::essai;
namespace fs = std::filesystem;

namespace {

const std::string paquet = "agent-impression";
const fs::path dossier_surveille = [] {
  const fs::path compile = AGENT_DOSSIER_SURVEILLE;  // "/mnt/partage/masques_en_attente/"
  return compile.has_filename() ? compile : compile.parent_path();
}();

struct sortie_commande {
  int code;
  std::string texte;  // stdout and stderr
};

sortie_commande execute(const std::string& ligne) {
  sortie_commande s{-1, {}};
  FILE* flux = popen((ligne + " 2>&1").c_str(), "r");
  if (!flux) return s;
  char tampon[4096];
  for (size_t n; (n = fread(tampon, 1, sizeof tampon, flux)) > 0;) s.texte.append(tampon, n);
  const int etat = pclose(flux);
  s.code = WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
  return s;
}

// Installed, or removed with its configuration files left: either way not ours to touch.
bool connu_de_dpkg() {
  const auto s = execute("dpkg-query -W -f='${Status}' " + paquet);
  return s.code == 0 && !s.texte.ends_with(" not-installed");
}

std::string lit(const fs::path& chemin) {
  std::ifstream f(chemin);
  std::stringstream texte;
  texte << f.rdbuf();
  return texte.str();
}

class Paquet : public testing::Test {
protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "installs a package for the whole system: root only";
    if (connu_de_dpkg()) GTEST_SKIP() << paquet << " is already on this machine";
    if (!dossier_surveille.is_absolute() || fs::exists(dossier_surveille.parent_path()))
      GTEST_SKIP() << dossier_surveille.parent_path() << " exists, maybe the real share";

    const auto fabrication =
        execute(std::string(AGENT_CPACK) + " -G DEB --config " + AGENT_CONFIG_CPACK + " -B " + repertoire());
    ASSERT_EQ(fabrication.code, 0) << fabrication.texte;
    for (const auto& entree : fs::directory_iterator(repertoire()))
      if (entree.path().extension() == ".deb") deb_ = entree.path();
    ASSERT_FALSE(deb_.empty()) << fabrication.texte;

    // "drwxr-xr-x root/root 0 2026-12-08 21:47 ./usr/share/doc/agent-impression/"
    std::istringstream contenu(execute("dpkg-deb -c " + deb_.string()).texte);
    for (std::string ligne; std::getline(contenu, ligne);) {
      const fs::path chemin = ligne.substr(ligne.rfind(" ./") + 2);
      if (fs::exists(chemin) && !fs::is_directory(chemin)) GTEST_SKIP() << chemin << " is already installed";
      if (!fs::exists(chemin)) nouveaux_.push_back(chemin);
    }
    fs::path racine = dossier_surveille.parent_path();
    while (!fs::exists(racine.parent_path())) racine = racine.parent_path();
    racine_dossier_ = racine;
    fs::create_directories(dossier_surveille);
  }

  void TearDown() override {
    if (installe_) execute("dpkg --purge " + paquet);
    std::error_code ignore;
    if (!racine_dossier_.empty()) fs::remove_all(racine_dossier_, ignore);
  }

  std::string repertoire() const { return repertoire_.path().toStdString(); }

  QTemporaryDir repertoire_;
  serveur_cups_prive serveur;
  fs::path deb_;
  std::vector<fs::path> nouveaux_;  // what the package brings that the machine did not have
  fs::path racine_dossier_;         // the first folder the test created for the watched folder
  bool installe_ = false;
};

}  // namespace

TEST_F(Paquet, InstallsStartsOnTheDefaultPrinterAtLoginAndPurgesWithoutATrace) {
  const auto controle = execute("dpkg-deb -f " + deb_.string() + " Version Depends Recommends").texte;
  EXPECT_NE(controle.find("Version: " AGENT_VERSION "\n"), std::string::npos) << controle;
  EXPECT_NE(controle.find("libcups2"), std::string::npos) << "computed from the binary: " << controle;
  EXPECT_NE(controle.find("libqt6widgets6"), std::string::npos) << controle;
  const auto lintian = execute("lintian --fail-on error " + deb_.string());
  EXPECT_EQ(lintian.code, 0) << lintian.texte;

  const auto installation = execute("dpkg -i " + deb_.string());
  installe_ = true;
  ASSERT_EQ(installation.code, 0) << installation.texte;
  EXPECT_NE(execute("zcat /usr/share/man/man1/agent_impression.1.gz").texte.find("agent_impression " AGENT_VERSION),
            std::string::npos);
  // As a session starts it: the autostart entry's command, found on the PATH, offscreen here.
  const std::string entree = lit("/etc/xdg/autostart/agent_impression.desktop");
  ASSERT_NE(entree.find("\nExec=agent_impression\n"), std::string::npos) << "no printer named: " << entree;

  serveur.ajoute_file("Bureau", "Imprimante du bureau");
  serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard");
  serveur.rend_defaut("Bureau");
  const fs::path travail = dossier_surveille / "A_B_2.bmp2";
  ecrit_fichier(travail.string(), bmp_essai());
  {
    agent_en_cours agent("/usr/bin/agent_impression", repertoire(), {}, false);
    ASSERT_TRUE(attend_que([&] { return !serveur.travaux().empty() && !fs::exists(travail); }, attente_agent))
        << agent.erreurs();
    EXPECT_TRUE(agent.en_vie()) << agent.erreurs();
  }
  const auto travaux = serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  EXPECT_EQ(travaux[0].file, "Bureau");
  EXPECT_EQ(travaux[0].copies, 2);
  EXPECT_EQ(points_page(serveur.document(travaux[0].id)), points_image_essai());

  const auto suppression = execute("dpkg --purge " + paquet);
  ASSERT_EQ(suppression.code, 0) << suppression.texte;
  installe_ = false;
  EXPECT_FALSE(connu_de_dpkg());
  for (const auto& chemin : nouveaux_) EXPECT_FALSE(fs::exists(chemin)) << chemin << " is left";
}
