// The platform's files behind the folder's lock and the workstation's lock, on either system.
#include <gtest/gtest.h>

#include "intake/fichiers_verrou.h"
#include "intake/poste.h"
#include "intake/releve.h"
#include "intake/verrou_local.h"
#include "tests/intake/dossier_essai.h"

using namespace agent;
using agent::essai::dossier_essai;

TEST(FichiersVerrou, CreatesOnlyOnceAndReplacesWholeInOneStep) {
  dossier_essai d;
  const std::string verrou = chemin_travail(d.chemin(), "verrou_é"), provisoire = verrou + ".1";
  std::error_code ec;
  EXPECT_FALSE(lit_petit_fichier(verrou, ec));
  EXPECT_FALSE(ec);
  EXPECT_TRUE(cree_seul(verrou, "premier", ec));
  EXPECT_FALSE(cree_seul(verrou, "second", ec));  // exists: no error, untouched
  EXPECT_FALSE(ec);
  EXPECT_EQ(lit_petit_fichier(verrou, ec), "premier");

  ecrit_entier(provisoire, "nouveau", ec);
  remplace(provisoire, verrou, ec);
  EXPECT_FALSE(ec);
  EXPECT_EQ(lit_petit_fichier(verrou, ec), "nouveau");
  EXPECT_FALSE(d.existe("verrou_é.1"));

  EXPECT_FALSE(cree_seul(chemin_travail(d.chemin(), "absent/verrou"), "x", ec));
  EXPECT_TRUE(ec);
}

TEST(VerrouLocal, OneHolderPerFolderNamedToTheSecondUntilItGoes) {
  dossier_essai d;
  {
    verrou_local premier, second;
    EXPECT_FALSE(premier.prend(d.chemin()));
    // The same folder, spelt another way.
    const std::optional<erreur> refus = second.prend(chemin_travail(d.chemin(), "."));
    ASSERT_TRUE(refus);
    EXPECT_EQ(refus->numero(), 70);
    EXPECT_NE(std::string(refus->description())
                  .find("déjà surveillé par un autre agent de ce poste (processus " + numero_processus() + ")"),
              std::string::npos)
        << refus->description();
  }
  verrou_local apres;
  EXPECT_FALSE(apres.prend(d.chemin()));
  // This very process's number, as a restarted machine may give it again, is no other agent's.
  EXPECT_TRUE(processus_disparu(numero_processus()));
  EXPECT_FALSE(processus_disparu("agent"));
}
