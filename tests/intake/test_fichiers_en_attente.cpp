#include <gtest/gtest.h>

#include "core/journal.h"
#include "intake/fichiers_en_attente.h"

using namespace agent;
using namespace std::chrono_literals;

namespace {

std::vector<std::string>* lignes = nullptr;

void capture(niveau_journal niveau, const char* ligne) {
  if (lignes) lignes->push_back((niveau == niveau_journal::avertissement ? "W " : "I ") + std::string(ligne));
}

}  // namespace

TEST(FichiersEnAttente, SaysWhenAFileStartsWaitingThenWarnsPastAMinuteAtMostEveryTenMinutes) {
  std::vector<std::string> journal;
  lignes = &journal;
  installe_sortie(capture, false);
  fichiers_en_attente attente;
  const auto t0 = fichiers_en_attente::horloge::now();
  const std::vector<fichier_laisse> ouvert = {{"a b_1.bmp2", raison_attente::ouvert_en_ecriture}};
  for (auto t : {0s, 30s, 61s, 300s, 661s, 700s}) attente.note(ouvert, t0 + t);
  attente.note({{"a b_1.bmp2", raison_attente::modifie}}, t0 + 710s);
  EXPECT_EQ(attente.nombre(), 1u);
  attente.note({}, t0 + 720s);  // printed
  EXPECT_EQ(attente.nombre(), 0u);
  attente.note(ouvert, t0 + 730s);  // back again: a new wait
  installe_sortie(nullptr, false);
  lignes = nullptr;

  const std::string fichier = "fichier=\"a b_1.bmp2\" ";
  const std::string ouvert_ecriture = "raison=\"ouvert en écriture par un autre programme\"";
  EXPECT_EQ(journal, (std::vector<std::string>{
                         "I laissé pour un prochain relevé : " + fichier + ouvert_ecriture,
                         "W en attente depuis 61 s : " + fichier + ouvert_ecriture,
                         "W en attente depuis 661 s : " + fichier + ouvert_ecriture,
                         "I laissé pour un prochain relevé : " + fichier + "raison=\"en cours de modification\"",
                         "I laissé pour un prochain relevé : " + fichier + ouvert_ecriture,
                     }));
}
