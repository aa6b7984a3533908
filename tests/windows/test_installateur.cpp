// The Windows installer as a workstation's administrator runs it, silently, in a Wine prefix of the
// test's own: what it installs (the agent, the Start-menu entry and the logon entry on the chosen
// printer, the event log source, its uninstaller in Add/Remove Programs), a silent reinstall over
// it, then its uninstaller run as its registered quiet command says, which must leave nothing of
// it. Wine runs the installer's script; what a real Windows adds (UAC, its policies) is not tested
// here.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/processus_essai.h"

using namespace agent::essai;
namespace fs = std::filesystem;

namespace {

const std::string wine = "/usr/lib/wine/wine64";
const std::string cle_demarrage = R"(HKLM\Software\Microsoft\Windows\CurrentVersion\Run)";
const std::string cle_source = R"(HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\agent_impression)";
const std::string cle_desinstallation = R"(HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\agent_impression)";
const std::string exe_installe = R"(C:\Program Files\agent_impression\agent_impression.exe)";
const std::string quiet_uninstall = R"("C:\Program Files\agent_impression\desinstallation.exe" /S)";

struct sortie_programme {
  int code;
  std::string texte;
};

// The bytes of `texte` as the UTF-16LE strings of a shortcut.
std::string utf16(const std::string& texte) {
  std::string octets;
  for (const char c : texte) octets += {c, '\0'};
  return octets;
}

struct cas_installation {
  const char* nom;
  std::string options;  // after /S, as typed in a console or a deployment script
  std::string imprimante;
};

void PrintTo(const cas_installation& cas, std::ostream* sortie) { *sortie << cas.nom; }

class Installateur : public testing::TestWithParam<cas_installation> {
protected:
  // Quiet, and no display needed: the prefix's first start installs neither Mono nor Gecko. Its
  // status is left aside: it fails on the 32-bit half, which Debian's wine64 does not install.
  void SetUp() override {
    ::setenv("WINEPREFIX", (dossier_ / "wine").c_str(), 1);
    ::setenv("WINEDEBUG", "-all", 1);
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    lance({"wineboot", "-i"});
  }
  void TearDown() override {
    lance({"wineserver", "-k"});
    fs::remove_all(dossier_);
  }

  sortie_programme lance(const std::vector<std::string>& commande) {
    const fs::path journal = dossier_ / "sortie";
    fs::remove(journal);
    const int code = attend_fin(demarre(commande, journal));
    return {code, lit_fichier(journal)};
  }
  // Until every program of the prefix has ended, Wine's server with them.
  void attend_wine() { lance({"wineserver", "-w"}); }

  bool cle_existe(const std::string& cle) { return lance({wine, "reg", "query", cle}).code == 0; }

  // reg query's "TYPE    data" for the value, nothing when there is none:
  //   "    agent_impression    REG_SZ    \"C:\\...\\agent_impression.exe\" QLS-4100 Xe drivers standard\r\n"
  std::optional<std::string> valeur(const std::string& cle, const std::string& nom) {
    const auto s = lance({wine, "reg", "query", cle, "/v", nom});
    const std::string avant = "    " + nom + "    ";
    const auto debut = s.texte.find(avant);
    if (s.code != 0 || debut == std::string::npos) return std::nullopt;
    const auto fin = s.texte.find_first_of("\r\n", debut);
    return s.texte.substr(debut + avant.size(), fin - debut - avant.size());
  }

  fs::path c(const std::string& chemin) const { return dossier_ / "wine/drive_c" / chemin; }

  fs::path dossier_ = dossier_temporaire("installateur-");
};

TEST_P(Installateur, InstallsOnTheChosenPrinterAndUninstallsWithoutATrace) {
  const auto& cas = GetParam();
  fs::copy_file(AGENT_INSTALLATEUR, c("setup.exe"));
  ecrit_texte(c("installe.bat"), "C:\\setup.exe /S " + cas.options + "\r\nexit /b %errorlevel%\r\n");
  const auto installe = lance({wine, "cmd", "/c", R"(C:\installe.bat)"});
  ASSERT_EQ(installe.code, 0) << installe.texte;

  const fs::path dossier = c("Program Files/agent_impression");
  EXPECT_EQ(lit_fichier(dossier / "agent_impression.exe"), lit_fichier(AGENT_EXE_WINDOWS));
  EXPECT_TRUE(fs::exists(dossier / "desinstallation.exe"));
  const fs::path raccourci = c("ProgramData/Microsoft/Windows/Start Menu/Programs/Agent d'impression.lnk");
  const std::string lien = lit_fichier(raccourci);
  EXPECT_NE(lien.find(utf16(exe_installe)), std::string::npos);
  EXPECT_NE(lien.find(utf16(cas.imprimante)), std::string::npos) << "arguments of the shortcut";

  const std::string demarrage =
      "REG_SZ    \"" + exe_installe + "\"" + (cas.imprimante.empty() ? "" : " ") + cas.imprimante;
  EXPECT_EQ(valeur(cle_demarrage, "agent_impression"), demarrage);
  EXPECT_EQ(valeur(cle_source, "EventMessageFile"), "REG_EXPAND_SZ    " + exe_installe);
  EXPECT_EQ(valeur(cle_source, "TypesSupported"), "REG_DWORD    0x7");
  EXPECT_EQ(valeur(cle_desinstallation, "DisplayName"), "REG_SZ    Agent d'impression");
  EXPECT_EQ(valeur(cle_desinstallation, "QuietUninstallString"), "REG_SZ    " + quiet_uninstall);

  // An update given no printer keeps the one chosen before.
  ASSERT_EQ(lance({wine, AGENT_INSTALLATEUR, "/S"}).code, 0);
  EXPECT_EQ(valeur(cle_demarrage, "agent_impression"), demarrage);

  // The uninstaller copies itself to the temporary folder and goes on from there.
  const auto desinstalle = lance({wine, R"(C:\Program Files\agent_impression\desinstallation.exe)", "/S"});
  ASSERT_EQ(desinstalle.code, 0) << desinstalle.texte;
  attend_wine();
  EXPECT_FALSE(fs::exists(dossier));
  EXPECT_FALSE(fs::exists(raccourci));
  EXPECT_EQ(valeur(cle_demarrage, "agent_impression"), std::nullopt);
  EXPECT_FALSE(cle_existe(cle_source));
  EXPECT_FALSE(cle_existe(cle_desinstallation));
}

// The option's forms: quoted whole, as a program's argument list quotes an argument with spaces;
// unquoted, in any case; the name alone quoted.
INSTANTIATE_TEST_SUITE_P(
    Options, Installateur,
    testing::Values(cas_installation{"QuotedOption", R"("/IMPRIMANTE=QLS-4100 Xe drivers standard")",
                                     "QLS-4100 Xe drivers standard"},
                    cas_installation{"TypedOption", "/imprimante=QLS-4100 Xe  drivers standard",
                                     "QLS-4100 Xe  drivers standard"},
                    cas_installation{"QuotedName", R"(/IMPRIMANTE="Imprimante du bureau")", "Imprimante du bureau"},
                    cas_installation{"NoPrinter", "", ""}),
    [](const auto& info) { return std::string(info.param.nom); });

}  // namespace
