#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "app/win32/journal_fichier.h"

using namespace agent;
namespace fs = std::filesystem;

namespace {

std::string contenu(const fs::path& chemin) {
  std::ifstream f(chemin, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

class JournalFichier : public testing::Test {
protected:
  JournalFichier() : dossier(fs::temp_directory_path() / ("agent_journal-" + std::to_string(std::random_device()()))) {}
  ~JournalFichier() override { fs::remove_all(dossier); }
  fs::path dossier;
};

}  // namespace

TEST_F(JournalFichier, LinesAreAppendedWithTheirDateAndLevelInAFolderItMakes) {
  const journal_fichier journal(dossier.wstring());
  journal.ajoute("info", "démarrage : version=1.0");
  journal.ajoute("critique", "Erreur 70 : Permission refusée");
  const std::string texte = contenu(dossier / "journal.txt");
  EXPECT_NE(texte.find(" info : démarrage : version=1.0\r\n"), std::string::npos) << texte;
  EXPECT_LT(texte.find("démarrage"), texte.find(" critique : Erreur 70 : Permission refusée\r\n")) << texte;
  EXPECT_EQ(texte.substr(4, 1) + texte.substr(7, 1) + texte.substr(13, 1), "--:");  // "2026-12-10 01:33:49 "
}

TEST_F(JournalFichier, PastItsLimitTheFileMovesAsideAndTheRecordStaysBounded) {
  const journal_fichier journal(dossier.wstring(), 1000);
  const std::string ligne(90, 'x');  // 120 bytes with the date, the level and the line's end
  for (int i = 0; i < 100; ++i) journal.ajoute("info", (std::to_string(i) + " " + ligne).c_str());
  EXPECT_LT(fs::file_size(dossier / "journal.txt"), 1000u + 130u);
  EXPECT_GE(fs::file_size(dossier / "journal.1.txt"), 1000u);
  EXPECT_LT(fs::file_size(dossier / "journal.1.txt"), 1000u + 130u);
  // The newest line is in the current file, the ones just before it in the older one.
  EXPECT_NE(contenu(dossier / "journal.txt").find("99 x"), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(dossier), fs::directory_iterator()), 2);
}
