// The GDI printer service under Wine: a picture printed by the Windows job run through a Wine
// printer on a private scheduler's PostScript queue, read back from what the scheduler received.

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "image/surface_apercu.h"
#include "tests/support/bmp_essai_qt.h"
#include "tests/support/couleurs_essai.h"
#include "tests/support/page_essai.h"
#include "tests/support/prefixe_wine.h"
#include "tests/support/processus_essai.h"
#include "tests/support/serveur_cups_prive.h"

using namespace agent;
using namespace agent::essai;
namespace fs = std::filesystem;

namespace {

constexpr const char* imprimante_poste = "QLS-4100 Xe drivers standard";

// Every printable colour, each beside its near misses (which print nothing), dots touching dots
// of other colours, and a black run across a whole row.
QImage image_couleurs() {
  QImage image(48, 24, QImage::Format_RGB32);
  image.fill(qRgb(255, 255, 255));
  const QRgb proches[] = {qRgb(1, 1, 1),   qRgb(0, 0, 253), qRgb(1, 0, 255), qRgb(0, 254, 0),
                          qRgb(2, 255, 0), qRgb(253, 0, 0), qRgb(255, 0, 1), qRgb(255, 255, 254)};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 48; ++x) {
      const bool imprimable = (x + y) % 3 != 2;
      image.setPixel(x, y, imprimable ? sept_couleurs[(x * 5 + y) % 7] : proches[(x + y * 3) % 8]);
    }
  for (int x = 0; x < 48; ++x) image.setPixel(x, 20, qRgb(0, 0, 0));
  return image;
}

class ImprimanteGdi : public testing::TestWithParam<int32_t> {
protected:
  ImprimanteGdi() { serveur.ajoute_file("QLS4100", "QLS-4100", pilote{GetParam(), "A4", sorte_file::postscript}); }
  ~ImprimanteGdi() override { fs::remove_all(dossier); }

  serveur_cups_prive serveur;  // first: the prefix lists its queues
  const fs::path dossier = dossier_temporaire("imprimante_gdi_");
  const std::string programme = std::string(AGENT_WINDOWS_BIN) + "/imprime_bitmap.exe";
};

}  // namespace

// The page reaches the scheduler as Wine's PostScript, which Ghostscript draws at the queue's
// resolution: every dot on its device pixel in its exact colour, near colours left white, on an
// A4 sheet, with the copies in the job and the file's name as the job's. Submitted held, as the
// agent submits its jobs: Wine's spooler cannot pause a job (SetJob says it did, GetJob shows it
// running, EnumJobs lists nothing, EndDoc hands it to the scheduler), so it goes out unheld, once.
TEST_P(ImprimanteGdi, PrintsTheExactPageWithItsCopies) {
  const int32_t resolution = GetParam();
  const fs::path fichier = dossier / "a_12_3.bmp2";
  ecrit_fichier(fichier.string(), ecrit_bmp(image_couleurs(), 24));
  prefixe_wine wine;
  wine.ajoute_imprimante(imprimante_poste, "QLS4100", resolution);
  wine.relie_partage(dossier);  // the picture is read from the share, as the agent reads its jobs

  const prefixe_wine::resultat r =
      wine.execute({programme, "--retient", "urn:uuid:0000002a-0000", R"(\\192.168.1.10\partage\a_12_3.bmp2)", "3",
                    "qls-4100 xe drivers standard"});
  ASSERT_EQ(r.code, 0) << r.sortie;
  EXPECT_NE(r.sortie.find("format=GDI"), std::string::npos) << r.sortie;
  EXPECT_NE(r.sortie.find("travail non retenu"), std::string::npos) << r.sortie;
  EXPECT_NE(r.sortie.find("retenu=0"), std::string::npos) << r.sortie;
  EXPECT_NE(r.sortie.find("retenus=0"), std::string::npos) << r.sortie;

  const auto travaux = serveur.travaux();
  ASSERT_EQ(travaux.size(), 1u) << r.sortie;
  serveur.attend_travail_fini(travaux[0].id);
  EXPECT_EQ(travaux[0].file, "QLS4100");
  EXPECT_EQ(travaux[0].copies, 3);
  EXPECT_EQ(travaux[0].nom.substr(0, 11), "a_12_3.bmp2");

  const QImage rendue = rasterise_postscript(serveur.document(travaux[0].id), resolution);
  ASSERT_EQ(rendue.size(), QSize((595 * resolution + 36) / 72, (842 * resolution + 36) / 72));
  const QImage page = page_a4_wine(rendue, resolution);
  surface_apercu surface(0, 0);
  surface.charge(fichier.string());
  EXPECT_EQ(ecarts(page_attendue(surface, page.size()), page), "") << r.sortie;
}

INSTANTIATE_TEST_SUITE_P(Resolutions, ImprimanteGdi, testing::Values(300, 600));
