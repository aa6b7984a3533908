// The window with the CUPS printer against a private scheduler: what the spooler received, what
// stayed in the watched folder, and how the program ended.

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>

#include "app/boite_image.h"
#include "app/form1.h"
#include "core/erreur.h"
#include "cups/imprimante_cups.h"
#include "cups/page_pdf.h"
#include "cups/papier_systeme.h"
#include "image/surface_apercu.h"
#include "tests/support/bmp_essai_qt.h"
#include "tests/support/couleurs_essai.h"
#include "tests/support/message_essai.h"
#include "tests/support/page_essai.h"
#include "tests/support/serveur_cups_prive.h"

using namespace agent;
using namespace agent::essai;
namespace fs = std::filesystem;

namespace {

// A mask with every printable colour, a near miss and black runs whose dots overlap.
QImage masque(QRgb fond) {
  QImage image(40, 12, QImage::Format_RGB32);
  image.fill(fond);
  const auto couleur = [](int i) { return i < 7 ? sept_couleurs[static_cast<size_t>(i)] : qRgb(253, 0, 0); };
  for (int i = 0; i < 8; ++i)
    for (int y = 2; y < 6; ++y) image.setPixel(2 + 4 * i, y, couleur(i)), image.setPixel(3 + 4 * i, y, qRgb(0, 0, 0));
  return image;
}

class FenetreCups : public testing::Test {
protected:
  FenetreCups() {
    serveur.ajoute_file("Bureau", "Imprimante du bureau");
    serveur.ajoute_file("QLS4100", "QLS-4100 Xe drivers standard");
    serveur.rend_defaut("Bureau");
  }

  std::string dans_dossier(const std::string& nom) const { return dossier.path().toStdString() + "/" + nom; }
  void depose(const std::string& nom, QRgb fond = qRgb(255, 255, 255)) {
    ecrit_fichier(dans_dossier(nom), ecrit_bmp(masque(fond), 24));
  }
  // The page the job file `nom` must print as, at the raw queue's 300 dpi on the system paper.
  QImage page_de(const std::string& nom) const {
    surface_apercu surface(1297, 943);
    surface.charge(dans_dossier(nom));
    return page_attendue(surface, pixels_page(format_pour(papier_systeme(), 300)));
  }
  QImage page_imprimee(const travail& t) { return rasterise_pdf(serveur.document(t.id), 300); }
  // Runs `action` from the event loop as a window event would, until the program ends; 99 if it
  // has not ended within a minute.
  int code_de_fin(const std::function<void()>& action) {
    QTimer::singleShot(0, action);
    QTimer garde;
    garde.setSingleShot(true);
    QObject::connect(&garde, &QTimer::timeout, [] { QApplication::exit(99); });
    garde.start(60000);
    return QApplication::exec();
  }

  serveur_cups_prive serveur;
  QTemporaryDir dossier;
  std::string ligne = "QLS-4100 Xe drivers standard";
  imprimante_cups imprimante{"agent_impression"};
  Form1 form{imprimante, {dossier.path().toStdString(), [this] { return ligne; }, 0}};
  operateur_essai operateur;
};

}  // namespace

TEST_F(FenetreCups, LanceImpressionLandsOnTheNamedQueueWithItsCopiesAndTheExactPage) {
  depose("a_b_3.bmp2");
  const QImage attendue = page_de("a_b_3.bmp2");
  form.Picture1->charge(dans_dossier("a_b_3.bmp2"));
  ligne = "  qls-4100 xe drivers standard ";
  const int16_t qte = 3;
  form.lance_impression(qte);

  const auto travaux = serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  EXPECT_EQ(travaux[0].file, "QLS4100");
  EXPECT_EQ(travaux[0].copies, 3);
  EXPECT_EQ(travaux[0].nom, "a_b_3.bmp2");  // named after the file the preview shows
  EXPECT_EQ(ecarts(attendue, page_imprimee(travaux[0])), "");
  EXPECT_FALSE(form.Picture1->surface().a_une_image());
}

TEST_F(FenetreCups, PrinterErrorDuringARunEndsTheProgramWithNothingSubmitted) {
  serveur.refuse_travaux("QLS4100");
  depose("a_b_1.bmp2");
  form.Picture1->charge(dans_dossier("a_b_1.bmp2"));
  EXPECT_EQ(code_de_fin([this] { form.Command1->click(); }), 1);
  EXPECT_TRUE(operateur.texte.startsWith("Erreur 482 : Erreur d'imprimante")) << operateur.texte.toStdString();
  EXPECT_EQ(operateur.messages, 1);  // no "Impression Terminée !"
  EXPECT_TRUE(serveur.travaux().empty());
  EXPECT_FALSE(form.Timer1->isActive());
}

TEST_F(FenetreCups, PollPrintsEachJobInNameOrderWithItsCopiesThenDeletesIt) {
  depose("B_77_2.bmp2", qRgb(255, 255, 254));
  depose("a_12_1_x.bmp2");
  ecrit_fichier(dans_dossier("notes.txt"), "à garder");
  const QImage page_a = page_de("a_12_1_x.bmp2"), page_b = page_de("B_77_2.bmp2");
  form.Timer1_Timer();

  const auto travaux = serveur.travaux();
  ASSERT_EQ(travaux.size(), 2u);
  EXPECT_EQ(travaux[0].copies, 1);
  EXPECT_EQ(travaux[1].copies, 2);
  EXPECT_EQ(travaux[1].file, "QLS4100");
  EXPECT_EQ(ecarts(page_a, page_imprimee(travaux[0])), "");
  EXPECT_EQ(ecarts(page_b, page_imprimee(travaux[1])), "");
  EXPECT_FALSE(fs::exists(dans_dossier("a_12_1_x.bmp2")));
  EXPECT_FALSE(fs::exists(dans_dossier("B_77_2.bmp2")));
  EXPECT_TRUE(fs::exists(dans_dossier("notes.txt")));
  EXPECT_TRUE(form.Timer1->isActive());
}

TEST_F(FenetreCups, EmptyFolderPrintsNothingAndRestartsTheTimer) {
  form.Timer1_Timer();
  EXPECT_TRUE(serveur.travaux().empty());
  EXPECT_EQ(form.File1->count(), 0);
  EXPECT_TRUE(form.Timer1->isActive());
}

TEST_F(FenetreCups, FileArrivingDuringAPollWaitsForTheNextOne) {
  depose("a_a_1.bmp2");
  // Runs inside the raster's first yield to the event loop, while the first job prints.
  QTimer::singleShot(0, [this] { depose("b_b_1.bmp2"); });
  form.Timer1_Timer();
  EXPECT_EQ(serveur.travaux().size(), 1u);
  EXPECT_TRUE(fs::exists(dans_dossier("b_b_1.bmp2")));

  form.Timer1_Timer();
  EXPECT_EQ(serveur.travaux().size(), 2u);
  EXPECT_FALSE(fs::exists(dans_dossier("b_b_1.bmp2")));
}

TEST_F(FenetreCups, FailingJobEndsTheProgramBeforePrintingAndStays) {
  struct cas {
    std::string fichier;
    int numero;
  };
  for (const cas& c : {cas{"A_B.bmp2", 9}, cas{"A_B_99999.bmp2", 6}, cas{"A_B_0.bmp2", 380}, cas{"A_B_-1.bmp2", 380}}) {
    depose(c.fichier);
    depose("Z_Z_1.bmp2");  // after the failing one: never reached
    EXPECT_EQ(code_de_fin([this] { form.Timer1_Timer(); }), 1) << c.fichier;
    EXPECT_TRUE(operateur.texte.startsWith(QString("Erreur %1 : ").arg(c.numero))) << operateur.texte.toStdString();
    EXPECT_TRUE(fs::exists(dans_dossier(c.fichier)));
    EXPECT_TRUE(fs::exists(dans_dossier("Z_Z_1.bmp2")));
    EXPECT_TRUE(form.Picture1->surface().a_une_image()) << "loaded before the name was read";
    fs::remove(dans_dossier(c.fichier));
  }
  EXPECT_TRUE(serveur.travaux().empty());
  EXPECT_FALSE(form.Timer1->isActive());
}

TEST_F(FenetreCups, FileThatCannotBeDeletedEndsTheProgramAfterItsPrint) {
  depose("a_a_1.bmp2");
  // While the job prints (its rows write their progress in the title), something else puts a
  // folder of the same name in its place.
  QObject::connect(&form, &QWidget::windowTitleChanged, [this] {
    if (!fs::is_regular_file(dans_dossier("a_a_1.bmp2"))) return;
    fs::remove(dans_dossier("a_a_1.bmp2"));
    fs::create_directories(dans_dossier("a_a_1.bmp2") + "/dedans");
  });
  EXPECT_EQ(code_de_fin([this] { form.Timer1_Timer(); }), 1);
  EXPECT_EQ(serveur.travaux().size(), 1u);
  EXPECT_TRUE(operateur.texte.startsWith("Erreur 75 : ")) << operateur.texte.toStdString();
  EXPECT_TRUE(fs::exists(dans_dossier("a_a_1.bmp2/dedans")));
}

TEST_F(FenetreCups, MissingFolderEndsTheProgram) {
  Form1 ailleurs{imprimante, {dans_dossier("absent"), [this] { return ligne; }, 0}};
  EXPECT_EQ(code_de_fin([&] { ailleurs.Timer1_Timer(); }), 1);
  EXPECT_TRUE(operateur.texte.startsWith("Erreur 76 : ")) << operateur.texte.toStdString();
  EXPECT_TRUE(serveur.travaux().empty());
}

// An agent stopped once its job was held and before its file was deleted: the next start finds
// the held job and decides by the file, so that it prints exactly once.
TEST_F(FenetreCups, JobHeldWhenTheAgentStoppedIsTakenUpByTheNextStartAndPrintsOnce) {
  // The agents of this case take turns on the folder for longer than a poll's interval: the
  // fixture's own window must not poll it in one of their event loop turns.
  form.Timer1->stop();
  enum class ensuite { inchange, modifie, supprime };
  for (const ensuite cas : {ensuite::inchange, ensuite::modifie, ensuite::supprime}) {
    const std::string nom = "a_b_" + std::to_string(static_cast<int>(cas) + 1) + ".bmp2";
    depose(nom);
    {
      Form1 coupe{imprimante,
                  {dossier.path().toStdString(), [this] { return ligne; }, 0, std::chrono::seconds(60),
                   [] { throw erreur(code_erreur::erreur_imprimante, "coupure avant la suppression"); }}};
      ASSERT_EQ(code_de_fin([&] { coupe.Timer1_Timer(); }), 1);
    }
    auto travaux = serveur.travaux();
    ASSERT_FALSE(travaux.empty());
    EXPECT_EQ(travaux.back().etat, etat_travail::retenu);
    if (cas == ensuite::modifie) depose(nom, qRgb(0, 0, 255));
    if (cas == ensuite::supprime) fs::remove(dans_dossier(nom));
    const QImage attendue = cas == ensuite::modifie ? page_de(nom) : QImage();

    Form1 suivant{imprimante, {dossier.path().toStdString(), [this] { return ligne; }, 0}};
    suivant.Timer1_Timer();
    const std::size_t avant = travaux.size();
    travaux = serveur.travaux();
    EXPECT_FALSE(fs::exists(dans_dossier(nom)));
    ASSERT_EQ(travaux.size(), avant + (cas == ensuite::modifie ? 1 : 0));
    const travail& retenu = travaux[avant - 1];
    EXPECT_EQ(retenu.etat == etat_travail::annule, cas == ensuite::modifie) << static_cast<int>(retenu.etat);
    EXPECT_NE(travaux.back().etat, etat_travail::retenu);
    if (cas == ensuite::modifie) {
      EXPECT_EQ(ecarts(attendue, page_imprimee(travaux.back())), "");
    }
  }
}

TEST_F(FenetreCups, JobInAStoppedQueueIsCountedInTheTitle) {
  serveur.desactive("QLS4100");
  depose("a_b_1.bmp2");
  form.Timer1_Timer();
  EXPECT_FALSE(fs::exists(dans_dossier("a_b_1.bmp2")));
  EXPECT_TRUE(form.windowTitle().endsWith(" — 1 travail bloqué")) << form.windowTitle().toStdString();
}
