#include <gtest/gtest.h>

#include "core/erreur.h"
#include "printing/couleurs.h"
#include "printing/impression.h"
#include "tests/support/imprimante_enregistreuse.h"
#include "tests/support/surface_essai.h"

using namespace agent;
using agent::essai::surface_essai;
using journal = std::vector<std::string>;

namespace {

struct fenetre_essai : fenetre_impression {
  std::vector<std::string> evenements;
  void laisse_evenements() override {}
  void fixe_titre(const std::string& t) override { titre = t; }
  void efface_apercu() override { evenements.push_back("efface"); }
  void affiche_message(const std::string& texte) override { evenements.push_back("message " + texte); }
  std::string titre;
};

const imprimante essai_qls{"QLS4100", "QLS-4100 Xe drivers standard"};
const imprimante bureau{"Bureau", "Bureau"};

class Impression : public testing::Test {
protected:
  Impression() {
    surface.pose(0, 0, rouge);
    surface.nomme("plan_atelier_3.bmp2");
  }
  poste_impression poste() { return {imprimante, imprimante.dialogue(), surface, fenetre, dans_la_trame}; }

  surface_essai surface{2, 1};
  imprimante_enregistreuse imprimante{{bureau, essai_qls}, "Bureau"};
  fenetre_essai fenetre;
  bool dans_la_trame = false;
};

}  // namespace

TEST_F(Impression, JobRunFollowsTheSequenceAndClearsThePreviewBeforeTheEnd) {
  auto p = poste();
  const int16_t qte = 3;
  imprime_travail(p, "  qls-4100 xe drivers standard  ", qte);
  EXPECT_EQ(imprimante.journal(),
            (journal{"imprimantes", "courante QLS4100", "copies 3", "propriete 26 = 5", "echelle 3", "points", "fin"}));
  EXPECT_EQ(fenetre.evenements, (std::vector<std::string>{"efface"}));
  ASSERT_EQ(imprimante.documents().size(), 1u);
  EXPECT_EQ(imprimante.documents()[0].imprimante, "QLS4100");
  EXPECT_EQ(imprimante.documents()[0].copies, 3);
  EXPECT_EQ(imprimante.documents()[0].nom, "plan_atelier_3.bmp2");  // the queue shows which file prints
  EXPECT_EQ(fenetre.titre, "1/1");
}

TEST_F(Impression, TestRunPrintsOneCopyOnTheTestPrinterThenTells) {
  auto p = poste();
  imprime_essai(p);
  EXPECT_EQ(imprimante.journal(),
            (journal{"imprimantes", "courante QLS4100", "copies 1", "propriete 26 = 5", "echelle 3", "points", "fin"}));
  EXPECT_EQ(fenetre.evenements, (std::vector<std::string>{"message Impression Terminée !"}));
  EXPECT_EQ(imprimante.documents().at(0).nom, nom_document_essai);
}

TEST_F(Impression, NoMatchKeepsTheCurrentPrinterAndStillSetsEverything) {
  auto p = poste();
  const int16_t qte = 2;
  imprime_travail(p, "\"QLS-4100 Xe drivers standard\"", qte);
  EXPECT_EQ(imprimante.journal(),
            (journal{"imprimantes", "copies 2", "propriete 26 = 5", "echelle 3", "points", "fin"}));
  EXPECT_EQ(imprimante.documents()[0].imprimante, "Bureau");

  // Once the test run has made the test printer current, unmatched job runs print there.
  imprime_essai(p);
  imprime_travail(p, "", qte);
  EXPECT_EQ(imprimante.documents().back().imprimante, "QLS4100");
}

TEST(ChoixImprimante, TrimsSpacesOnlyAndComparesInUpperCase) {
  const imprimante accent{"atelier", "Atelier Été"};
  const imprimante doublon{"QLS4100b", "qls-4100 xe drivers STANDARD "};
  const std::vector<std::pair<std::string, std::string>> cas = {
      {"QLS-4100 Xe drivers standard", "QLS4100"},
      {"   qls-4100 XE DRIVERS standard ", "QLS4100"},
      {"qls4100", "QLS4100"},                    // the queue name is a device name too
      {"atelier été", "atelier"},                // upper case by Unicode, not ASCII only
      {"QLS-4100  Xe drivers standard", ""},     // inner spaces count
      {"\tQLS-4100 Xe drivers standard", ""},    // tabs are not trimmed
      {"\"QLS-4100 Xe drivers standard\"", ""},  // quotes are part of the name
      {"", ""},
      {"   ", ""},
  };
  for (const auto& [ligne, attendue] : cas) {
    imprimante_enregistreuse imprimante{{bureau, essai_qls, doublon, accent}, ""};
    choisit_imprimante(imprimante, ligne);
    EXPECT_EQ(imprimante.courante(), attendue) << "[" << ligne << "]";
  }
  EXPECT_EQ(normalise_nom_imprimante("  ß é\t "), "SS É\t");
  EXPECT_EQ(normalise_nom_imprimante("ﬁσ\xff"), "FIΣ\xEF\xBF\xBD");  // a ligature, Greek, a byte that is no UTF-8
}

TEST_F(Impression, EmptyPreviewDrawsNothingYetEndsTheDocumentAndTells) {
  surface_essai blanche(5, 5);
  fenetre_essai f;
  poste_impression p{imprimante, imprimante.dialogue(), blanche, f, dans_la_trame};
  imprime_essai(p);
  EXPECT_TRUE(imprimante.points().empty());
  EXPECT_EQ(imprimante.journal().back(), "fin");
  EXPECT_EQ(f.evenements, (std::vector<std::string>{"message Impression Terminée !"}));
  EXPECT_EQ(f.titre, "5/5");
}

TEST_F(Impression, FailureStopsTheRunWhereItHappens) {
  imprimante.echoue_sur("copies", erreur(code_erreur::valeur_propriete_incorrecte, "copies : 0"));
  auto p = poste();
  const int16_t zero = 0;
  EXPECT_THROW(imprime_travail(p, "Bureau", zero), erreur);
  EXPECT_EQ(imprimante.journal(), (journal{"imprimantes", "courante Bureau"}));
  EXPECT_TRUE(fenetre.evenements.empty());

  imprimante.echoue_sur("points", erreur(code_erreur::erreur_imprimante));
  EXPECT_THROW(imprime_essai(p), erreur);
  EXPECT_FALSE(dans_la_trame);  // the guard is lifted even when the raster fails
  EXPECT_TRUE(fenetre.evenements.empty());
}
