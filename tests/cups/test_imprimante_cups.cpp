// The CUPS printer against a real scheduler of the test's own: what the spooler received is
// what is checked, down to the pixels of the page.

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <optional>
#include <random>

#include "core/erreur.h"
#include "cups/format_page.h"
#include "cups/imprimante_cups.h"
#include "cups/papier_systeme.h"
#include "printing/couleurs.h"
#include "printing/trame_points.h"
#include "tests/support/erreur_levee.h"
#include "tests/support/imprimante_enregistreuse.h"
#include "tests/support/page_essai.h"
#include "tests/support/relais_lent.h"
#include "tests/support/serveur_cups_prive.h"
#include "tests/support/surface_essai.h"

using namespace agent;
using namespace agent::essai;
using namespace std::chrono_literals;

namespace {

const std::string titre = "agent_impression";

void imprime(service_imprimante& imprimante, const surface_lecture& surface, int16_t copies = 1) {
  imprimante.fixe_copies(copies);
  imprimante.fixe_mode_echelle(mode_echelle_pixels);
  suivi_sans_fenetre suivi;
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

// A raw queue reports no resolution or paper: the page is laid out at 300 dpi on the system paper.
TEST(ImprimanteCups, RawQueueGetsThePageOnTheSystemPaper) {
  serveur_cups_prive serveur;
  serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard");
  serveur.rend_defaut("QLS4100");
  const surface_essai s = motif();
  imprimante_cups imprimante(titre);
  imprime(imprimante, s);

  const auto travaux = serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  EXPECT_EQ(travaux[0].format_document, "application/pdf");
  const QByteArray pdf = serveur.document(travaux[0].id);
  const QImage attendue = page_attendue(s, pixels_page(format_pour(papier_systeme(), 300)));
  for (rasteriseur r : {rasteriseur::pdftoppm, rasteriseur::ghostscript}) {
    EXPECT_EQ(ecarts(attendue, rasterise_pdf(pdf, 300, r)), "")
        << (r == rasteriseur::pdftoppm ? "pdftoppm" : "ghostscript");
  }
}

// Every kind of queue with a driver, at 300 and 600 dpi, with A4 or Letter as its default paper,
// and raster drivers in RGB and in CMYK inks at 1200 × 600 dpi, or with a vendor colour option
// shipped at monochrome: what reaches the printer, after whatever the scheduler's filters do to the
// page, is the dot page pixel for pixel on the queue's own paper (by ink where the driver takes
// inks), in its seven colours, with its copies and its name.
struct file_a_essayer {
  sorte_file sorte;
  int32_t resolution;
  const char* papier;
  int32_t resolution_y = 0;
  espace_raster espace = espace_raster::rvb_8;
  bool mode_couleur_monochrome = false;
};

class PageExacte : public testing::TestWithParam<file_a_essayer> {};

TEST_P(PageExacte, PrinterReceivesTheDotPageOnItsOwnPaper) {
  const file_a_essayer f = GetParam();
  serveur_cups_prive serveur;
  serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard",
                      pilote{f.resolution, f.papier, f.sorte, f.resolution_y, f.espace, f.mode_couleur_monochrome});
  serveur.rend_defaut("QLS4100");
  const surface_essai s = motif();
  imprimante_cups imprimante(titre);
  imprimante.nomme_document("motif_1_2.bmp2");
  imprime(imprimante, s, 2);

  const auto travaux = serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  // A driverless queue takes PWG raster straight to its printer, a raster driver CUPS raster: the
  // page goes as such.
  EXPECT_EQ(travaux[0].format_document, f.sorte == sorte_file::sans_pilote     ? "image/pwg-raster"
                                        : f.sorte == sorte_file::pilote_raster ? "application/vnd.cups-raster"
                                                                               : "application/pdf");
  const auto recu = serveur.recu(travaux[0].id);
  EXPECT_EQ(recu.copies, 2);
  EXPECT_EQ(recu.nom, "motif_1_2.bmp2");

  // The paper as the queue describes it: a driver's PPD gives A4 as 595 × 842 points, a
  // driverless printer as 210 × 297 mm.
  const bool a4 = std::string(f.papier) == "A4";
  const double pouces_largeur = a4 ? (f.sorte == sorte_file::sans_pilote ? 210 / 25.4 : 595 / 72.0) : 8.5;
  const double pouces_hauteur = a4 ? (f.sorte == sorte_file::sans_pilote ? 297 / 25.4 : 842 / 72.0) : 11;
  const QSize papier(static_cast<int>(std::lround(pouces_largeur * f.resolution)),
                     static_cast<int>(std::lround(pouces_hauteur * (f.resolution_y ? f.resolution_y : f.resolution))));
  const QImage dessinee = page_attendue(s, papier);
  const QImage attendue = f.espace == espace_raster::cmjn_1 ? par_encres(dessinee) : dessinee;
  EXPECT_EQ(ecarts(attendue, recu.page), "");
  // Only pdftoppm, rendering the PDF the transparent queue passes on, may round the page up.
  if (f.sorte != sorte_file::transparent) {
    EXPECT_EQ(recu.page.size(), papier);
  } else {
    EXPECT_EQ(ecarts(attendue, rasterise_pdf(serveur.document(travaux[0].id), f.resolution, rasteriseur::ghostscript)),
              "");
  }
}

std::vector<file_a_essayer> files_a_essayer() {
  std::vector<file_a_essayer> liste;
  for (sorte_file sorte : {sorte_file::transparent, sorte_file::postscript, sorte_file::sans_pilote})
    for (int32_t resolution : {300, 600})
      for (const char* papier : {"A4", "Letter"}) liste.push_back({sorte, resolution, papier});
  liste.push_back({sorte_file::pilote_raster, 600, "A4"});
  liste.push_back({sorte_file::pilote_raster, 1200, "Letter", 600, espace_raster::cmjn_1});
  liste.push_back({sorte_file::pilote_raster, 300, "A4", 0, espace_raster::rvb_8, true});
  return liste;
}

std::string nom_du_cas(const testing::TestParamInfo<file_a_essayer>& i) {
  const char* sortes[] = {"Transparente", "PostScript", "SansPilote", "PiloteRaster"};
  const file_a_essayer& f = i.param;
  return std::string(sortes[static_cast<int>(f.sorte)]) + "_" + std::to_string(f.resolution) +
         (f.resolution_y ? "x" + std::to_string(f.resolution_y) : "") + "_" + f.papier +
         (f.espace == espace_raster::cmjn_1 ? "_CMJN1" : "") +
         (f.mode_couleur_monochrome ? "_ColorModeMonochrome" : "");
}

INSTANTIATE_TEST_SUITE_P(Files, PageExacte, testing::ValuesIn(files_a_essayer()), nom_du_cas);

// A real driver's PPD whose colour option ships at Monochrome: its renderer runs in colour (the
// wrapper's -c), as the scheduler's log of the filters shows.
TEST(ImprimanteCups, VendorColourOptionReachesTheDriver) {
  serveur_cups_prive serveur({"LogLevel debug"});
  serveur.ajoute_file_modele("CP1215", "foo2zjs:0/ppd/foo2zjs/HP-Color_LaserJet_CP1215.ppd");
  serveur.rend_defaut("CP1215");
  imprimante_cups imprimante(titre);
  imprime(imprimante, une_tache_rouge());

  const auto travaux = serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  serveur.attend_travail_fini(travaux[0].id);
  const std::string journal = serveur.journal();
  const size_t rendu = journal.find("Starting renderer with command: \\\"foo2hp2600-wrapper");
  ASSERT_NE(rendu, std::string::npos) << journal;
  const std::string commande = journal.substr(rendu, journal.find('\n', rendu) - rendu);
  EXPECT_NE(commande.find(" -c "), std::string::npos) << commande;
}

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
  EXPECT_EQ(travaux[0].nom, titre);  // a document given no name
  EXPECT_EQ(travaux[0].format_document, "application/pdf");

  // A job file's name is any bytes; the job takes what IPP can carry of it, and is never refused
  // for it.
  const std::string e_aigu = "\u00E9", remplace = "\uFFFD";
  const auto fois = [](const std::string& texte, int n) {
    std::string r;
    while (n-- > 0) r += texte;
    return r;
  };
  const std::vector<std::pair<std::string, std::string>> noms = {
      {"plan_atelier_3.bmp2", "plan_atelier_3.bmp2"},
      {"m" + e_aigu + "lange_\xFF\n_1.bmp2", "m" + e_aigu + "lange_" + remplace + remplace + "_1.bmp2"},
      {std::string(300, 'a'), std::string(255, 'a')},
      {"x" + fois(e_aigu, 200), "x" + fois(e_aigu, 127)},  // cut between characters
  };
  for (const auto& [nom, attendu] : noms) {
    imprimante.nomme_document(nom);
    imprime(imprimante, une_tache_rouge());
    EXPECT_EQ(serveur.travaux().back().nom, attendu);
  }
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

// A scheduler busy writing to its disk sends an answer's headers and its body apart. The body is
// waited for like any answer, up to the operation's deadline.
TEST(ImprimanteCups, AnswerWhoseBodyComesLateIsWaitedForWithinTheTimeout) {
  serveur_cups_prive serveur;
  serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard");
  serveur.rend_defaut("QLS4100");
  relais_lent relais(serveur.socket(), 400ms);
  cupsSetServer(relais.socket().c_str());
  imprimante_cups imprimante(titre);
  imprime(imprimante, une_tache_rouge(), 2);

  const auto travaux = serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  EXPECT_EQ(travaux[0].copies, 2);
}
