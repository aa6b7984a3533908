// The CUPS printer against a real scheduler of the test's own: what the spooler received is
// what is checked, down to the pixels of the page.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <random>

#include "core/erreur.h"
#include "printing/couleurs.h"
#include "printing/imprimante_cups.h"
#include "printing/imprimante_enregistreuse.h"
#include "printing/page_pdf.h"
#include "printing/papier_systeme.h"
#include "printing/trame_points.h"
#include "tests/support/erreur_levee.h"
#include "tests/support/page_essai.h"
#include "tests/support/serveur_cups_prive.h"
#include "tests/support/surface_essai.h"

using namespace agent;
using namespace agent::essai;
using namespace std::chrono_literals;

namespace {

const std::string titre = "agent_impression";

struct suivi_muet : suivi_trame {
  void laisse_evenements() override {}
  void fixe_titre(const std::string&) override {}
};

void imprime(service_imprimante& imprimante, const surface_lecture& surface, int16_t copies = 1) {
  imprimante.fixe_copies(copies);
  imprimante.fixe_mode_echelle(mode_echelle_pixels);
  suivi_muet suivi;
  trame_points(surface, imprimante, suivi);
  imprimante.termine_document();
}

// Our words, then the scheduler's own after the last " : ".
bool porte_message_cups(const erreur& e) {
  const std::string texte = e.what();
  const auto separateur = texte.rfind(" : ");
  return separateur != std::string::npos && texte.size() > separateur + 3;
}

surface_essai une_tache_rouge() {
  surface_essai s(2, 1);
  s.pose(0, 0, rouge);
  return s;
}

// Every printable colour, each beside the near miss that must not print, runs of black whose
// companion dots overlap their neighbours, colours overwritten by a black companion, and rows on
// both sides of the place where the page is cut into bands.
surface_essai motif() {
  surface_essai s(48, 300);
  const uint32_t manques[] = {0x010101, 0x000001, 0xFD0000, 0xFF0001, 0x00FE00, 0x00FF02, 0x0000FD, 0x0100FE};
  for (int32_t i = 0; i < 7; ++i) {
    s.pose(3 * i, 0, manques[i]);
    s.pose(3 * i + 1, 0, couleurs_imprimables[static_cast<size_t>(i)]);
  }
  s.pose(22, 0, manques[7]);
  for (int32_t x = 5; x < 12; ++x) s.pose(x, 2, noir);
  for (int32_t i = 0; i < 7; ++i) {
    s.pose(2 * i, 4, couleurs_imprimables[static_cast<size_t>(i)]);
    s.pose(2 * i + 1, 4, noir);  // its companion lands on the colour to its left
  }
  s.pose(47, 5, noir);
  for (int32_t y = 250; y < 262; ++y)
    for (int32_t x = 0; x < 48; x += 3) s.pose(x + y % 3, y, couleurs_imprimables[static_cast<size_t>((x + y) % 7)]);
  s.pose(0, 299, bleu_254);
  return s;
}

}  // namespace

// 300 dpi on a raw queue, which reports no resolution or paper (so the defaults apply); 600 dpi on
// a queue whose driver reports its resolution and Letter paper.
class PageExacte : public ::testing::TestWithParam<int32_t> {};

TEST_P(PageExacte, SpooledPageMatchesTheDotsPixelForPixel) {
  const int32_t resolution = GetParam();
  serveur_cups_prive serveur;
  const bool brute = resolution == 300;
  serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard",
                      brute ? std::nullopt : std::optional<pilote>(pilote{resolution, "Letter"}));
  serveur.rend_defaut("QLS4100");

  const surface_essai s = motif();
  imprimante_cups imprimante(titre);
  imprime(imprimante, s);

  const auto travaux = serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  EXPECT_EQ(travaux[0].format_document, "application/pdf");
  const QByteArray pdf = serveur.document(travaux[0].id);
  const QPageSize papier = brute ? papier_systeme() : QPageSize(QPageSize::Letter);
  const QImage attendue = page_attendue(s, pixels_page({papier, resolution}));
  for (rasteriseur r : {rasteriseur::pdftoppm, rasteriseur::ghostscript}) {
    EXPECT_EQ(ecarts(attendue, rasterise_pdf(pdf, resolution, r)), "")
        << (r == rasteriseur::pdftoppm ? "pdftoppm" : "ghostscript");
  }
}

INSTANTIATE_TEST_SUITE_P(Resolutions, PageExacte, ::testing::Values(300, 600));

TEST(ImprimanteCups, CopiesAndTitleReachTheJob) {
  serveur_cups_prive serveur;
  serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard");
  serveur.rend_defaut("QLS4100");
  imprimante_cups imprimante(titre);
  imprime(imprimante, une_tache_rouge(), 3);

  const auto travaux = serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  EXPECT_EQ(travaux[0].file, "QLS4100");
  EXPECT_EQ(travaux[0].copies, 3);
  EXPECT_EQ(travaux[0].nom, titre);
  EXPECT_EQ(travaux[0].format_document, "application/pdf");
}

TEST(ImprimanteCups, RefusedSettingsAreErrorsBeforeAnyJobExists) {
  serveur_cups_prive serveur;
  serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard");
  serveur.rend_defaut("QLS4100");
  imprimante_cups imprimante(titre);

  for (int16_t copies : {0, -1, 10000}) {
    auto e = erreur_levee([&] { imprimante.fixe_copies(copies); });
    ASSERT_TRUE(e) << copies;
    EXPECT_EQ(e->code(), code_erreur::valeur_propriete_incorrecte) << e->what();
  }
  imprimante.fixe_copies(9999);  // the queue's own maximum
  for (int16_t mode : {0, 1, 2, 4}) {
    auto e = erreur_levee([&] { imprimante.fixe_mode_echelle(mode); });
    ASSERT_TRUE(e) << mode;
    EXPECT_EQ(e->code(), code_erreur::valeur_propriete_incorrecte);
  }
  EXPECT_TRUE(erreur_levee([&] { imprimante.dessine_point(1, 60, 20, rouge); }));
  EXPECT_TRUE(erreur_levee([&] { imprimante.dessine_point(drapeau_point_absolu, 60, 20, 0x00FE00); }));
  EXPECT_TRUE(serveur.travaux().empty());
}

TEST(ImprimanteCups, NothingOnThePaperSubmitsNothing) {
  serveur_cups_prive serveur;
  serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard");
  serveur.rend_defaut("QLS4100");
  imprimante_cups imprimante(titre);

  imprime(imprimante, surface_essai(20, 10));  // white: no dot at all
  imprimante.dessine_point(drapeau_point_absolu, -1, 20, noir);
  imprimante.dessine_point(drapeau_point_absolu, 60, 1e9f, noir);
  imprimante.termine_document();  // dots, but all beyond the paper
  EXPECT_TRUE(serveur.travaux().empty());

  imprime(imprimante, une_tache_rouge());
  imprimante.termine_document();  // a second end with nothing new
  EXPECT_EQ(serveur.travaux().size(), 1u);
}

TEST(ImprimanteCups, QueuesInSchedulerOrderAndTheCurrentPrinter) {
  serveur_cups_prive serveur;
  serveur.ajoute_file("zeta", "Zêta couleur");
  serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard");
  serveur.ajoute_file("alpha", "");
  serveur.ajoute_file("Beta", "Bêta");
  imprimante_cups imprimante(titre);

  const auto liste = imprimante.imprimantes_installees();
  ASSERT_EQ(liste.size(), 4u);
  EXPECT_EQ(liste[0].file, "alpha");
  EXPECT_EQ(liste[0].description, "alpha");  // no description: the queue name stands for it
  EXPECT_EQ(liste[1].file, "Beta");
  EXPECT_EQ(liste[2].file, "QLS4100");
  EXPECT_EQ(noms_peripherique(liste[2]), (std::vector<std::string>{"QLS-4100 Xe drivers standard", "QLS4100"}));
  EXPECT_EQ(liste[3].file, "zeta");
  EXPECT_EQ(liste[3].description, "Zêta couleur");

  // No default queue and no choice: nowhere to print.
  auto e = erreur_levee([&] { imprime(imprimante, une_tache_rouge()); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->code(), code_erreur::imprimante_introuvable) << e->what();

  serveur.rend_defaut("Beta");
  imprime(imprimante, une_tache_rouge());
  imprimante.rend_courante(liste[3]);
  serveur.rend_defaut("alpha");  // the choice outlives a change of default
  imprime(imprimante, une_tache_rouge());
  imprime(imprimante, une_tache_rouge());

  const auto travaux = serveur.travaux();
  ASSERT_EQ(travaux.size(), 3u);
  EXPECT_EQ(travaux[0].file, "Beta");
  EXPECT_EQ(travaux[1].file, "zeta");
  EXPECT_EQ(travaux[2].file, "zeta");
}

TEST(ImprimanteCups, SpoolerRefusalsAreErrorsCarryingItsMessage) {
  serveur_cups_prive serveur;
  serveur.ajoute_file("refus", "Refuse tout");
  serveur.ajoute_file("arret", "Arrêtée");
  serveur.ajoute_file("partie", "Supprimée");
  serveur.refuse_travaux("refus");
  serveur.desactive("arret");
  imprimante_cups imprimante(titre);
  const auto liste = imprimante.imprimantes_installees();

  imprimante.rend_courante(liste.at(2));
  ASSERT_EQ(liste.at(2).file, "refus");
  auto e = erreur_levee([&] { imprime(imprimante, une_tache_rouge()); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->code(), code_erreur::erreur_imprimante);
  EXPECT_NE(std::string(e->what()).find("refus"), std::string::npos) << e->what();
  EXPECT_TRUE(porte_message_cups(*e)) << e->what();

  serveur.supprime("partie");
  imprimante.rend_courante(liste.at(1));
  e = erreur_levee([&] { imprimante.fixe_copies(1); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->code(), code_erreur::imprimante_introuvable) << e->what();
  EXPECT_TRUE(porte_message_cups(*e)) << e->what();
  EXPECT_TRUE(serveur.travaux().empty());

  // A stopped queue keeps the job safe until it is started again: not a failure.
  imprimante.rend_courante(liste.at(0));
  imprime(imprimante, une_tache_rouge());
  const auto travaux = serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  EXPECT_EQ(travaux[0].file, "arret");
  EXPECT_EQ(travaux[0].etat, etat_travail::en_attente);
}

TEST(ImprimanteCups, JobIsCancelledWhenItsDocumentIsRefused) {
  serveur_cups_prive serveur({"MaxRequestSize 2k"});  // room for the job, not for its page
  serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard");
  serveur.rend_defaut("QLS4100");
  surface_essai bruit(200, 200);
  std::mt19937 alea(7);
  for (int32_t y = 0; y < 200; ++y)
    for (int32_t x = 0; x < 200; ++x) bruit.pose(x, y, couleurs_imprimables[alea() % 7]);
  imprimante_cups imprimante(titre);

  auto e = erreur_levee([&] { imprime(imprimante, bruit); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->code(), code_erreur::erreur_imprimante);
  EXPECT_TRUE(porte_message_cups(*e)) << e->what();
  const auto travaux = serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  EXPECT_EQ(travaux[0].etat, etat_travail::annule);
}

TEST(ImprimanteCups, HungOrDeadSchedulerIsAnErrorWithinTheTimeout) {
  serveur_cups_prive serveur;
  serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard");
  serveur.rend_defaut("QLS4100");
  imprimante_cups imprimante(titre, 1s);
  imprimante.fixe_copies(1);
  imprimante.dessine_point(drapeau_point_absolu, 60, 20, noir);  // the document is open

  serveur.suspend();
  const auto chronometre = [](auto&& operation, const char* nom) {
    const auto debut = std::chrono::steady_clock::now();
    auto e = erreur_levee(operation);
    const auto duree = std::chrono::steady_clock::now() - debut;
    ASSERT_TRUE(e) << nom;
    EXPECT_EQ(e->code(), code_erreur::erreur_imprimante) << nom << " : " << e->what();
    EXPECT_TRUE(porte_message_cups(*e)) << e->what();
    EXPECT_LT(duree, 6s) << nom;  // the delay, plus libcups's own one-second waits
  };
  chronometre([&] { imprimante.imprimantes_installees(); }, "liste");
  chronometre([&] { imprimante.fixe_copies(2); }, "copies");
  chronometre([&] { imprimante.termine_document(); }, "fin");
  serveur.reprend();

  serveur.tue();
  chronometre([&] { imprimante.imprimantes_installees(); }, "liste sans serveur");
}
