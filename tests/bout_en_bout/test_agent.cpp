// The real agent binary against a private scheduler: the first poll comes 10 seconds after start,
// as in production.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>

#include "cups/page_pdf.h"
#include "cups/papier_systeme.h"
#include "image/surface_apercu.h"
#include "tests/support/agent_essai.h"
#include "tests/support/bmp_essai_qt.h"
#include "tests/support/page_essai.h"
#include "tests/support/serveur_cups_prive.h"

using namespace agent;
using namespace agent::essai;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

class Agent : public testing::Test {
protected:
  Agent() {
    serveur.ajoute_file("Bureau", "Imprimante du bureau");
    serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard");
    serveur.rend_defaut("Bureau");
    fs::create_directory(dossier());
  }
  fs::path dossier() const { return fs::path(repertoire.path().toStdString()) / dossier_agent_essai; }
  void depose(const std::string& nom, QRgb couleur) {
    QImage image(30, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int x = 0; x < 30; x += 2) image.setPixel(x, x % 8, couleur), image.setPixel(x + 1, x % 8, qRgb(0, 0, 0));
    ecrit_fichier(dossier() / nom, ecrit_bmp(image, 24));
  }
  QImage page_de(const std::string& nom) {
    surface_apercu surface(1297, 943);
    surface.charge(dossier() / nom);
    return page_attendue(surface, pixels_page(format_pour(papier_systeme(), 300)));
  }

  serveur_cups_prive serveur;
  QTemporaryDir repertoire;
};

}  // namespace

TEST_F(Agent, PrintsEveryJobOfTheFolderOnTheNamedPrinterAndDeletesIt) {
  depose("B_77_2.bmp2", qRgb(0, 0, 255));
  depose("a_12_1_x.bmp2", qRgb(254, 0, 0));
  ecrit_fichier(dossier() / "notes.txt", "à garder");
  const QImage page_a = page_de("a_12_1_x.bmp2"), page_b = page_de("B_77_2.bmp2");

  // Separate arguments: the printer's name is all of them joined by single spaces.
  agent_en_cours agent(repertoire.path().toStdString(), {"qls-4100", "Xe", "drivers", "standard"});
  ASSERT_TRUE(attend_que([&] { return serveur.travaux().size() == 2 && !fs::exists(dossier() / "B_77_2.bmp2"); }, 40s))
      << agent.erreurs();

  const auto travaux = serveur.travaux();
  EXPECT_EQ(travaux[0].file, "QLS4100");
  EXPECT_EQ(travaux[0].copies, 1);
  EXPECT_EQ(travaux[1].copies, 2);
  EXPECT_EQ(travaux[0].nom, "a_12_1_x.bmp2");  // the queue shows which file prints
  EXPECT_EQ(travaux[1].nom, "B_77_2.bmp2");
  EXPECT_EQ(ecarts(page_a, rasterise_pdf(serveur.document(travaux[0].id), 300)), "");
  EXPECT_EQ(ecarts(page_b, rasterise_pdf(serveur.document(travaux[1].id), 300)), "");
  EXPECT_FALSE(fs::exists(dossier() / "a_12_1_x.bmp2"));
  EXPECT_TRUE(fs::exists(dossier() / "notes.txt"));
  EXPECT_TRUE(agent.en_vie()) << "it goes on polling";
  EXPECT_EQ(agent.erreurs().find("Erreur"), std::string::npos) << agent.erreurs();
}

TEST_F(Agent, ErrorEndsTheProgramWithItsMessageAndKeepsTheJob) {
  depose("A_B.bmp2", qRgb(0, 0, 0));
  agent_en_cours agent(repertoire.path().toStdString(), {"QLS-4100 Xe drivers standard"});
  ASSERT_TRUE(agent.attend_fin(40s));
  EXPECT_EQ(agent.code_sortie(), 1);
  EXPECT_NE(agent.erreurs().find("Erreur 9 : L'indice n'appartient pas à la sélection"), std::string::npos)
      << agent.erreurs();
  EXPECT_TRUE(fs::exists(dossier() / "A_B.bmp2"));
  EXPECT_TRUE(serveur.travaux().empty());
}
