// Job files as they really turn up in a shared folder: broken or foreign content, odd names, odd
// copy counts, and files still being written when a poll comes. Each row runs the real agent on a
// folder holding the file under test and a sound job that sorts after it, and checks what the
// spooler received, what is left in the folder and how the agent ended.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "core/journal.h"
#include "tests/fiabilite/banc_agent.h"
#include "tests/support/bmp_essai_qt.h"

using namespace agent::essai;
namespace fs = std::filesystem;

namespace {

// Sorts after every file under test; its 7 copies tell its job apart from theirs.
const std::string temoin = "zzz_temoin_7.bmp2";

// Noise does not compress: the pixel data fills most of the file, so a cut lands inside it.
QImage bruit(int cote) {
  QImage image(cote, cote, QImage::Format_RGB32);
  uint32_t graine = 12345;
  for (int y = 0; y < cote; ++y)
    for (int x = 0; x < cote; ++x) {
      graine = graine * 1103515245 + 12345;
      image.setPixel(x, y, graine >> 8);
    }
  return image;
}

QByteArray moitie(const QByteArray& octets) { return octets.left(octets.size() / 2); }

QByteArray entete_geant() {
  QByteArray octets = ecrit_bmp(image_essai(), 24).left(54);
  for (int champ : {18, 22})
    for (int i = 0; i < 4; ++i) octets[champ + i] = static_cast<char>((60000 >> (8 * i)) & 0xFF);
  return octets;
}

using creation = std::function<void(banc_agent&, const std::string& nom)>;

creation contenu(std::function<QByteArray()> octets) {
  return [octets](const banc_agent& banc, const std::string& nom) { banc.depose(nom, octets()); };
}

const creation bitmap = contenu(bmp_essai);

// Written over 15 s: the first poll meets it half written, its missing bytes zeros or absent.
creation arrive_en_15_s(bool taille_d_abord) {
  return [taille_d_abord](banc_agent& banc, const std::string& nom) {
    banc.depose_peu_a_peu(nom, bmp_essai(), taille_d_abord, std::chrono::seconds(15));
  };
}

// Whole from the start, and held open for writing for 20 s: the first poll must leave it.
creation tenu_ouvert_20_s = [](banc_agent& banc, const std::string& nom) {
  banc.depose(nom, bmp_essai());
  banc.garde_ouvert(nom, std::chrono::seconds(20));
};

struct cas_fichier {
  std::string cas;
  std::string fichier;
  creation cree;
  // What must happen to it: printed with `copies` copies (then deleted), left alone in the folder
  // (`ignore`), or the error `numero` (then the agent ends and the file stays).
  int copies = 0;
  bool ignore = false;
  int numero = 0;
  std::string description;
  std::string detail;        // what the message says after the description
  std::string attente = {};  // why the first poll leaves it, as the record says
};

void PrintTo(const cas_fichier& cas, std::ostream* sortie) { *sortie << cas.cas; }

std::string chemin(const std::string& fichier) { return std::string(dossier_agent_essai) + "/" + fichier; }

cas_fichier imprime(std::string cas, std::string fichier, creation cree, int copies, std::string attente = {}) {
  return {std::move(cas), std::move(fichier), std::move(cree), copies, false, 0, {}, {}, std::move(attente)};
}
cas_fichier ignore(std::string cas, std::string fichier, creation cree) {
  return {std::move(cas), std::move(fichier), std::move(cree), 0, true, 0, {}, {}};
}
cas_fichier refuse(std::string cas, std::string fichier, creation cree, int numero, std::string description,
                   std::string detail) {
  return {std::move(cas), std::move(fichier),     std::move(cree),  0, false,
          numero,         std::move(description), std::move(detail)};
}

class FichierDeTravail : public ::testing::TestWithParam<cas_fichier> {};

}  // namespace

TEST_P(FichierDeTravail, SpoolerFolderAndExitAreWhatTheFileCallsFor) {
  const cas_fichier& cas = GetParam();
  banc_agent banc;
  cas.cree(banc, cas.fichier);
  banc.depose(temoin, bmp_essai());
  banc.lance();

  if (cas.numero != 0) {
    ASSERT_TRUE(banc.attend_fin()) << "l'agent ne s'est pas arrêté";
    EXPECT_EQ(banc.agent().code_sortie(), 1);
    const std::string erreurs = banc.agent().erreurs();
    EXPECT_NE(erreurs.find(message_fatal(cas.numero, cas.description) + " : " + cas.detail), std::string::npos)
        << erreurs;
    // Nothing printed, nothing deleted, and the job after it not even started.
    EXPECT_TRUE(banc.serveur.travaux().empty());
    std::vector<std::string> attendus = {cas.fichier, temoin};
    std::sort(attendus.begin(), attendus.end());
    EXPECT_EQ(banc.restants(), attendus);
    return;
  }

  const std::vector<std::string> attendus =
      cas.ignore ? std::vector<std::string>{cas.fichier} : std::vector<std::string>{};
  ASSERT_TRUE(banc.attend_restants(attendus)) << banc.agent().erreurs();
  EXPECT_TRUE(banc.agent().en_vie());
  EXPECT_EQ(banc.agent().erreurs().find("Erreur"), std::string::npos) << banc.agent().erreurs();

  // Each job printed leaves its record line, and a file left waiting says why.
  const std::string erreurs = banc.agent().erreurs();
  if (!cas.attente.empty()) {
    EXPECT_NE(erreurs.find("laissé pour un prochain relevé : fichier=" + agent::champ(cas.fichier) +
                           " raison=" + agent::champ(cas.attente)),
              std::string::npos)
        << erreurs;
  }
  std::vector<int> copies;
  for (const travail& t : banc.serveur.travaux()) {
    copies.push_back(t.copies);
    EXPECT_EQ(t.file, file_agent);
    EXPECT_EQ(points_page(banc.serveur.document(t.id)), points_image_essai()) << "travail " << t.id;
    const std::string ligne = "imprimé : fichier=" + agent::champ(t.copies == 7 ? temoin : cas.fichier) +
                              " copies=" + std::to_string(t.copies) + " file=\"" + file_agent +
                              "\" travail=" + std::to_string(t.id) + " format=application/pdf points=3 ms=";
    EXPECT_NE(erreurs.find(ligne), std::string::npos) << ligne << "\n" << erreurs;
  }
  std::sort(copies.begin(), copies.end());
  std::vector<int> copies_attendues = {7};
  if (!cas.ignore) copies_attendues.insert(copies_attendues.begin(), cas.copies);
  std::sort(copies_attendues.begin(), copies_attendues.end());
  EXPECT_EQ(copies, copies_attendues);
}

INSTANTIATE_TEST_SUITE_P(
    Contenus, FichierDeTravail,
    ::testing::Values(
        refuse("BitmapTronque", "tronque_a_1.bmp2", contenu([] { return moitie(ecrit_bmp(bruit(40), 24)); }), 481,
               "Image incorrecte", chemin("tronque_a_1.bmp2") + " : données tronquées"),
        refuse("FichierVide", "vide_a_1.bmp2", contenu([] { return QByteArray(); }), 481, "Image incorrecte",
               chemin("vide_a_1.bmp2") + " : fichier vide"),
        refuse("EnteteDe60000Sur60000", "geant_a_1.bmp2", contenu(entete_geant), 7, "Mémoire insuffisante",
               chemin("geant_a_1.bmp2") + " : image de 60000 × 60000 pixels"),
        refuse("TexteNommeBmp2", "x_y_1.bmp2", contenu([] { return QByteArray("Ceci n'est pas une image.\n"); }), 481,
               "Image incorrecte", chemin("x_y_1.bmp2") + " : format d'image non reconnu"),
        imprime("PngNommeBmp2", "png_a_2.bmp2", contenu([] { return encode_avec_qt(image_essai(), "PNG"); }), 2),
        refuse("PngTronque", "png_a_1.bmp2", contenu([] { return moitie(encode_avec_qt(bruit(64), "PNG")); }), 481,
               "Image incorrecte", chemin("png_a_1.bmp2") + " : Unable to read image data"),
        ignore("DossierNommeBmp2", "a_b_1.bmp2",
               [](const banc_agent& banc, const std::string& nom) { fs::create_directory(banc.dossier() / nom); }),
        ignore("FichierCache", ".a_b_1.bmp2", bitmap)),
    [](const auto& info) { return info.param.cas; });

INSTANTIATE_TEST_SUITE_P(
    Noms, FichierDeTravail,
    ::testing::Values(imprime("Espaces", "nom avec espaces_c d_2 x.bmp2", bitmap, 2),
                      imprime("Accents", "été_Ça_3.bmp2", bitmap, 3),
                      // Line feeds are dropped from the count's field before it is read.
                      imprime("SautsDeLigne", "saut\nde ligne_c_1\n2.bmp2", bitmap, 12),
                      imprime("DeuxCentsCaracteres", std::string(191, 'L') + "_b_2.bmp2", bitmap, 2),
                      imprime("OctetsHorsUtf8", "\xe9t\xe9_b_3.bmp2", bitmap, 3),
                      refuse("DeuxChampsSeulement", "A_B.bmp2", bitmap, 9, "L'indice n'appartient pas à la sélection",
                             "A_B.bmp2 : moins de trois champs")),
    [](const auto& info) { return info.param.cas; });

// Printed once, exactly, at a poll after the writer is done; no error before.
INSTANTIATE_TEST_SUITE_P(EnCoursDEcriture, FichierDeTravail,
                         ::testing::Values(imprime("TailleFixeePuisRempli", "rempli_a_2.bmp2", arrive_en_15_s(true), 2,
                                                   "en cours de modification"),
                                           imprime("ParAjouts", "ajouts_a_3.bmp2", arrive_en_15_s(false), 3,
                                                   "en cours de modification"),
                                           imprime("TenuOuvert", "ouvert_a_2.bmp2", tenu_ouvert_20_s, 2,
                                                   "ouvert en écriture par un autre programme")),
                         [](const auto& info) { return info.param.cas; });

INSTANTIATE_TEST_SUITE_P(
    NombresDeCopies, FichierDeTravail,
    ::testing::Values(
        refuse("Zero", "c_d_0.bmp2", bitmap, 380, "Valeur de propriété incorrecte", "nombre de copies 0 (au moins 1)"),
        refuse("MoinsUn", "c_d_-1.bmp2", bitmap, 380, "Valeur de propriété incorrecte",
               "nombre de copies -1 (au moins 1)"),
        refuse("DixMilleAuDelaDeLImprimante", "c_d_10000.bmp2", bitmap, 380, "Valeur de propriété incorrecte",
               "nombre de copies 10000 (l'imprimante « QLS4100 » en accepte de 1 à 9999)"),
        refuse("Hexadecimal8000", "c_d_&H8000.bmp2", bitmap, 6, "Dépassement de capacité",
               "c_d_&H8000.bmp2 : nombre de copies hors de -32768 à 32767"),
        refuse("UnE400", "c_d_1E400.bmp2", bitmap, 6, "Dépassement de capacité",
               "c_d_1E400.bmp2 : nombre de copies hors de -32768 à 32767"),
        imprime("DeuxEtDemiVersDeux", "c_d_2.5.bmp2", bitmap, 2),
        imprime("TroisEtDemiVersQuatre", "c_d_3.5.bmp2", bitmap, 4)),
    [](const auto& info) { return info.param.cas; });
