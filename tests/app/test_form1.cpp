#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/boite_image.h"
#include "app/form1.h"
#include "core/erreur.h"
#include "printing/couleurs.h"
#include "tests/support/bmp_essai_qt.h"
#include "tests/support/imprimante_enregistreuse.h"
#include "tests/support/message_essai.h"

using namespace agent;
using namespace agent::essai;

namespace {

const imprimante essai_qls{"QLS4100", "QLS-4100 Xe drivers standard"};

class Fenetre : public testing::Test {
protected:
  Fenetre() {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(1, 1, qRgb(0, 0, 0));
    chemin_image = dossier.path().toStdString() + "/a_b_1.bmp2";
    ecrit_fichier(chemin_image, ecrit_bmp(image, 24));
  }
  Form1::reglages reglages() {
    return {dossier.path().toStdString(), [this] { return ligne; }, 0};
  }

  QTemporaryDir dossier;
  std::string chemin_image;
  std::string ligne = "QLS-4100 Xe drivers standard";
  imprimante_enregistreuse imprimante{{essai_qls}, "Bureau"};
};

}  // namespace

TEST_F(Fenetre, StartsWithItsComponentsLaidOut) {
  Form1 form(imprimante, reglages());
  EXPECT_EQ(form.windowTitle(), "Form1");
  EXPECT_EQ(form.size(), QSize(1055, 561));
  EXPECT_EQ(form.Command1->text(), "Command1");
  EXPECT_EQ(form.Command1->geometry(), QRect(8, 20, 81, 29));
  EXPECT_EQ(form.Picture1->geometry(), QRect(108, 20, 1301, 947));
  EXPECT_EQ(form.File1->geometry(), QRect(12, 72, 73, 84));
  EXPECT_EQ(form.File1->count(), 0);
  EXPECT_EQ(form.Picture1->surface().largeur_echelle(), 1297.0f);
  EXPECT_EQ(form.Picture1->surface().hauteur_echelle(), 943.0f);
  EXPECT_TRUE(form.Timer1->isActive());
  EXPECT_EQ(form.Timer1->interval(), 10000);
  EXPECT_EQ(form.Command1->nextInFocusChain(), form.Picture1);
  EXPECT_EQ(form.Picture1->nextInFocusChain(), form.File1);
  EXPECT_TRUE(form.printerDialog.proprietes().empty());
  EXPECT_TRUE(imprimante.journal().empty());  // nothing runs at start-up
}

TEST_F(Fenetre, ClickPrintsTheTestPageKeepsThePreviewAndTells) {
  Form1 form(imprimante, reglages());
  form.Picture1->charge(chemin_image);
  operateur_essai operateur;
  form.Command1->click();
  EXPECT_EQ(operateur.messages, 1);
  EXPECT_EQ(operateur.texte, "Impression Terminée !");
  EXPECT_EQ(operateur.titre, QApplication::applicationDisplayName());
  ASSERT_EQ(imprimante.documents().size(), 1u);
  EXPECT_EQ(imprimante.documents()[0].imprimante, "QLS4100");
  EXPECT_EQ(imprimante.documents()[0].page.size(), 2u);  // the black pixel and its companion
  EXPECT_TRUE(form.Picture1->surface().a_une_image());
  EXPECT_EQ(form.windowTitle(), "2/2");
}

TEST_F(Fenetre, LanceImpressionReadsTheCommandLineAtEachRunAndClearsThePreview) {
  imprimante_enregistreuse deux{{essai_qls, {"Bureau", "Bureau"}}, "Bureau"};
  Form1 form(deux, reglages());
  form.Picture1->charge(chemin_image);
  const int16_t qte = 4;
  form.lance_impression(qte);
  EXPECT_EQ(deux.documents().back().imprimante, "QLS4100");
  EXPECT_EQ(deux.documents().back().copies, 4);
  EXPECT_FALSE(form.Picture1->surface().a_une_image());
  EXPECT_EQ(form.printerDialog.proprietes().at(26), 5);

  ligne = " bureau ";
  form.Picture1->charge(chemin_image);
  form.lance_impression(qte);
  EXPECT_EQ(deux.documents().back().imprimante, "Bureau");
}

TEST_F(Fenetre, ClickDuringTheRasterStartsNoSecondRun) {
  Form1 form(imprimante, reglages());
  form.Picture1->charge(chemin_image);
  int clics = 0;
  imprimante.au_point = [&] {
    if (clics++ == 0) form.Command1->click();
  };
  operateur_essai operateur;
  form.Command1->click();
  EXPECT_EQ(std::count(imprimante.journal().begin(), imprimante.journal().end(), "imprimantes"), 1);
  EXPECT_EQ(imprimante.documents().size(), 1u);
  EXPECT_EQ(operateur.messages, 1);
  // Once the run has ended, the button works again.
  imprimante.au_point = nullptr;
  form.Command1->click();
  EXPECT_EQ(imprimante.documents().size(), 2u);
}

// The loop's turns are spaced by time, not rows: the first row has one, and so does a row that
// took longer than a slice.
TEST_F(Fenetre, TheRasterGivesTheEventLoopATurnAtItsStartAndAfterASlowRow) {
  Form1 form(imprimante, reglages());
  form.Picture1->charge(chemin_image);
  int tours = 0;
  QTimer compteur;
  QObject::connect(&compteur, &QTimer::timeout, [&] { ++tours; });
  compteur.start(0);
  int tours_avant_le_point = -1;
  imprimante.au_point = [&] {
    if (tours_avant_le_point < 0) tours_avant_le_point = tours;
    std::this_thread::sleep_for(tranche_evenements * 2);
  };
  form.lance_impression(1);
  EXPECT_GE(tours_avant_le_point, 1);  // the dot is on the second row
  EXPECT_GE(tours, 2);
}

TEST_F(Fenetre, AnErrorAtTheClickStopsTheTimerSaysWhatAndEndsTheProgram) {
  Form1 form(imprimante, reglages());
  form.Picture1->charge(chemin_image);
  imprimante.echoue_sur("fin", erreur(code_erreur::erreur_imprimante, "la file refuse les travaux"));
  operateur_essai operateur;
  testing::internal::CaptureStderr();
  QTimer::singleShot(0, form.Command1, &QPushButton::click);
  const int code = QApplication::exec();
  const std::string sortie = testing::internal::GetCapturedStderr();

  EXPECT_EQ(code, 1);
  EXPECT_FALSE(form.Timer1->isActive());
  EXPECT_EQ(operateur.messages, 1);  // the error, and no "Impression Terminée !"
  EXPECT_EQ(operateur.texte, "Erreur 482 : Erreur d'imprimante : la file refuse les travaux");
  EXPECT_NE(sortie.find("Erreur 482 : Erreur d'imprimante : la file refuse les travaux"), std::string::npos);
}

TEST_F(Fenetre, AnErrorAtAClickDuringTheSettleWaitEndsThePollWithTheJobKept) {
  Form1 form(imprimante, reglages());  // its folder holds a_b_1.bmp2
  imprimante.echoue_sur("fin", erreur(code_erreur::erreur_imprimante, "la file refuse les travaux"));
  operateur_essai operateur;
  testing::internal::CaptureStderr();
  QTimer::singleShot(0, [&] { form.Timer1_Timer(); });
  QTimer::singleShot(300, form.Command1, &QPushButton::click);  // while the poll lets the file settle
  const int code = QApplication::exec();
  testing::internal::GetCapturedStderr();

  EXPECT_EQ(code, 1);
  EXPECT_EQ(operateur.messages, 1);
  EXPECT_TRUE(imprimante.documents().empty());  // the poll printed nothing after the error
  EXPECT_TRUE(std::filesystem::exists(chemin_image));
}

TEST_F(Fenetre, TitleCountsTheFilesThePollsLeaveWithoutMovingAnything) {
  Form1 form(imprimante, reglages());  // its folder holds a_b_1.bmp2
  {
    std::ofstream ecrivain(chemin_image, std::ios::app);  // held open for writing
    form.Timer1_Timer();
    EXPECT_EQ(form.windowTitle(), "Form1 — 1 fichier en attente");
  }
  form.Timer1_Timer();
  EXPECT_EQ(imprimante.documents().size(), 1u);
  EXPECT_EQ(form.windowTitle(), "2/2");  // the raster's progress, and nothing waits any more
  EXPECT_EQ(form.size(), QSize(1055, 561));
  EXPECT_EQ(form.Picture1->geometry(), QRect(108, 20, 1301, 947));
}
