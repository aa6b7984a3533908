// The Windows agent end to end: its test build under Wine, on a virtual screen, watching the UNC
// folder of a Wine prefix of the case's own and printing through Wine's printer to a private
// scheduler's PostScript queue. What these cases prove is Wine's window system, GDI and PostScript
// driver with the agent's own code, not a vendor's Windows driver.

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

#include "image/surface_apercu.h"
#include "intake/verrou_dossier.h"
#include "tests/support/bmp_essai_qt.h"
#include "tests/support/couleurs_essai.h"
#include "tests/support/page_essai.h"
#include "tests/windows/banc_windows.h"

using namespace agent;
using namespace agent::essai;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

bool contient(const std::string& texte, const std::string& partie) { return texte.find(partie) != std::string::npos; }

// Every printable colour beside white, `decalage` telling two jobs' pictures apart.
QByteArray image_couleurs(int decalage) {
  QImage image(24, 6, QImage::Format_RGB32);
  image.fill(Qt::white);
  for (int x = 0; x < 24; x += 2) image.setPixel(x, (x + decalage) % 6, sept_couleurs[(x / 2 + decalage) % 7]);
  return ecrit_bmp(image, 24);
}

// The page the job file in the watched folder must give at 300 dpi.
QImage page_de(const banc_windows& banc, const std::string& nom) {
  surface_apercu surface(0, 0);
  surface.charge((banc.dossier() / nom).string());
  return page_attendue(surface, QSize(595 * 300 / 72, 842 * 300 / 72));
}

// What Wine's driver sent for job `id`, drawn by Ghostscript.
QImage page_recue(const banc_windows& banc, int32_t id) {
  return page_a4_wine(rasterise_postscript(banc.serveur.document(id), 300), 300);
}

// The agent's components in the client area, at the screen's dots per inch: class, caption, left,
// top, width, height.
struct composant {
  std::string classe, texte;
  int x, y, l, h;
};

}  // namespace

// Two jobs, printed in name order regardless of case, each page exact to the device pixel, with
// the copies its name asks for, then deleted; the agent goes on.
TEST(AgentWindows, PrintsEachJobExactlyWithItsCopiesThenDeletesIt) {
  banc_windows banc;
  banc.depose("B_77_2.bmp2", image_couleurs(1));
  banc.depose("a_12_1_x.bmp2", image_couleurs(4));
  const QImage page_a = page_de(banc, "a_12_1_x.bmp2"), page_b = page_de(banc, "B_77_2.bmp2");
  banc.lance();

  ASSERT_TRUE(banc.attend_restants({})) << banc.agent().erreurs();
  const auto travaux = banc.serveur.travaux();
  ASSERT_EQ(travaux.size(), 2u);
  EXPECT_EQ(travaux[0].file, file_agent);
  EXPECT_TRUE(travaux[0].nom.starts_with("a_12_1_x.bmp2")) << travaux[0].nom;
  EXPECT_TRUE(travaux[1].nom.starts_with("B_77_2.bmp2")) << travaux[1].nom;
  EXPECT_EQ(travaux[0].copies, 1);
  EXPECT_EQ(travaux[1].copies, 2);
  EXPECT_EQ(ecarts(page_a, page_recue(banc, travaux[0].id)), "");
  EXPECT_EQ(ecarts(page_b, page_recue(banc, travaux[1].id)), "");
  EXPECT_TRUE(banc.agent().en_vie());
  EXPECT_FALSE(contient(banc.agent().erreurs(), "Erreur")) << banc.agent().erreurs();
}

// Held open by a Windows program through the first polls: left, with the reason in the record,
// then printed once after it is closed.
TEST(AgentWindows, FileHeldOpenForWritingIsLeftUntilClosedThenPrintedOnce) {
  banc_windows banc;
  banc.depose("ouvert_a_2.bmp2", image_couleurs(0));
  banc.garde_ouvert("ouvert_a_2.bmp2", 25s);
  banc.lance();
  std::this_thread::sleep_for(20s);
  EXPECT_TRUE(banc.serveur.travaux().empty()) << banc.agent().erreurs();
  EXPECT_EQ(banc.restants(), std::vector<std::string>{"ouvert_a_2.bmp2"});

  ASSERT_TRUE(banc.attend_restants({})) << banc.agent().erreurs();
  const auto travaux = banc.serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u);
  EXPECT_EQ(travaux[0].copies, 2);
  EXPECT_TRUE(contient(banc.agent().erreurs(), "ouvert en écriture par un autre programme")) << banc.agent().erreurs();
}

// A second agent of the workstation on the same folder stops with error 70 before touching it.
TEST(AgentWindows, SecondAgentStopsWithError70AndTheFirstGoesOn) {
  banc_windows banc;
  banc.lance();
  ASSERT_TRUE(attend_que([&] { return fs::exists(banc.dossier() / agent::nom_verrou_dossier); }, attente_agent))
      << banc.agent().erreurs();
  banc.depose("a_b_1.bmp2", image_couleurs(2));

  const fs::path ailleurs = banc.repertoire() / "second";
  fs::create_directory(ailleurs);
  agent_en_cours second(chargeur_wine(), ailleurs,
                        {std::string(AGENT_WINDOWS_BIN) + "/agent_impression_essai.exe", "QLS-4100"}, false);
  ASSERT_TRUE(second.attend_fin(attente_agent));
  EXPECT_EQ(second.code_sortie(), 1);
  EXPECT_TRUE(contient(second.erreurs(), "Erreur 70 : Permission refusée")) << second.erreurs();

  ASSERT_TRUE(banc.attend_restants({})) << banc.agent().erreurs();
  EXPECT_EQ(banc.serveur.travaux().size(), 1u);
  EXPECT_TRUE(banc.agent().en_vie());
}

// A job file that is no picture ends the agent with its error; it stays, and nothing prints.
TEST(AgentWindows, BadFileEndsTheAgentWithItsErrorAndStays) {
  banc_windows banc;
  banc.depose("x_y_1.bmp2", "Ceci n'est pas une image.\n");
  banc.lance();
  ASSERT_TRUE(banc.attend_fin()) << "l'agent ne s'est pas arrêté";
  EXPECT_EQ(banc.agent().code_sortie(), 1);
  EXPECT_TRUE(contient(banc.agent().erreurs(), "Erreur 481 : Image incorrecte")) << banc.agent().erreurs();
  EXPECT_TRUE(contient(banc.agent().erreurs(), "x_y_1.bmp2 : format d'image non reconnu")) << banc.agent().erreurs();
  EXPECT_EQ(banc.restants(), std::vector<std::string>{"x_y_1.bmp2"});
  EXPECT_TRUE(banc.serveur.travaux().empty());
}

// The window as the operator sees it: its components in tab order where their twips put them at
// the screen's resolution, on the screen; then the test print's message.
TEST(AgentWindows, Form1ShowsItsComponentsInTabOrderWhereTheTwipsPutThemAndTheTestPrintTellsTheOperator) {
  banc_windows banc;
  banc.lance();
  std::istringstream geometrie(banc.operateur({"geometrie"}, 60s));
  int client_l = 0, client_h = 0, ppp = 0, origine_x = 0, origine_y = 0;
  std::string mot;
  geometrie >> mot >> client_l >> client_h >> mot >> ppp >> mot >> origine_x >> origine_y;
  std::map<std::string, composant> composants;
  std::vector<std::string> ordre;  // the children's order, which the tab key follows
  for (std::string ligne; std::getline(geometrie, ligne);) {
    composant c;
    std::istringstream champs(ligne);
    if (!std::getline(champs, c.classe, '|') || !std::getline(champs, c.texte, '|')) continue;
    champs >> c.x >> c.y >> c.l >> c.h;
    composants[c.classe] = c;
    ordre.push_back(c.classe);
  }
  auto pixels = [&](int twips) { return (twips * ppp + 720) / 1440; };
  EXPECT_EQ(client_l, pixels(15825));
  EXPECT_EQ(client_h, pixels(8415));
  ASSERT_EQ(ordre.size(), 3u) << geometrie.str();
  EXPECT_EQ(ordre.front(), "Button") << "Command1, Picture1, File1";
  EXPECT_EQ(ordre.back(), "ListBox") << "Command1, Picture1, File1";
  ASSERT_EQ(composants.count("Button"), 1u) << geometrie.str();
  ASSERT_EQ(composants.count("ListBox"), 1u) << geometrie.str();
  const composant bouton = composants["Button"], liste = composants["ListBox"];
  EXPECT_EQ(bouton.texte, "Command1");
  EXPECT_EQ((std::vector<int>{bouton.x, bouton.y, bouton.l, bouton.h}),
            (std::vector<int>{pixels(120), pixels(300), pixels(1215), pixels(435)}));
  EXPECT_EQ((std::vector<int>{liste.x, liste.y, liste.l, liste.h}),
            (std::vector<int>{pixels(180), pixels(1080), pixels(1095), pixels(1260)}));

  // On the screen, once the window is painted: the button drawn where it is, the window's
  // background beside it.
  QImage ecran;
  const auto bouton_dessine = [&] {
    ecran = banc.ecran.capture();
    const QRgb fond = ecran.pixel(origine_x + pixels(120) + pixels(1215) + 4, origine_y + 4);
    int autres = 0;
    for (int y = 2; y < bouton.h - 2; ++y)
      for (int x = 2; x < bouton.l - 2; ++x)
        autres += ecran.pixel(origine_x + bouton.x + x, origine_y + bouton.y + y) != fond;
    return autres > bouton.l * bouton.h / 2;
  };
  const bool dessine = attend_que(bouton_dessine, 30s);
  ecran.save("form1_windows.png");
  EXPECT_TRUE(dessine) << "capture : form1_windows.png";

  banc.operateur({"clic"}, 60s);
  EXPECT_EQ(banc.operateur({"message", "60000"}, 90s), "Impression Terminée !\n");
  EXPECT_TRUE(banc.agent().en_vie()) << banc.agent().erreurs();
}
