// The Windows agent's print under Wine: the largest mask printed by the Windows job run through
// the GDI service, a Wine printer and a private scheduler's 600-dpi PostScript queue; the time
// from the run's start to its EndDoc (the median of three), what the spooler took, and whether
// the page, rasterised by Ghostscript at 600 dpi, is exact. Prints one table line.
//
//   agent_bench_windows [--petit]
//
// --petit: a tiny mask, a check that it still builds and runs.

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/entrees.h"
#include "image/surface_apercu.h"
#include "tests/support/bmp_essai_qt.h"
#include "tests/support/page_essai.h"
#include "tests/support/prefixe_wine.h"
#include "tests/support/processus_essai.h"
#include "tests/support/serveur_cups_prive.h"

using namespace agent;
using namespace agent::essai;
namespace fs = std::filesystem;

namespace {

constexpr int resolution = 600;
constexpr const char* imprimante_wine = "QLS-4100 Xe drivers standard";

// "ms=…" in imprime_bitmap's line.
long long duree_ms(const std::string& sortie) {
  const size_t debut = sortie.find(" ms=");
  if (debut == std::string::npos) throw std::runtime_error("imprime_bitmap : " + sortie);
  return std::stoll(sortie.substr(debut + 4));
}

}  // namespace

int main(int argc, char** argv) {
  const bool petit = argc > 1 && std::string(argv[1]) == "--petit";
  const QSize taille = petit ? QSize(64, 48) : QSize(4961, 7016);
  try {
    serveur_cups_prive serveur;
    serveur.ajoute_file("QLS4100", "QLS-4100", pilote{resolution, "A4", sorte_file::postscript});
    prefixe_wine wine;
    wine.ajoute_imprimante(imprimante_wine, "QLS4100", resolution);
    const fs::path dossier = dossier_temporaire("banc_windows_");
    wine.relie_partage(dossier);
    const fs::path fichier = dossier / "masque_a_1.bmp2";
    ecrit_fichier(fichier.string(), ecrit_bmp(banc::genere_entree(banc::sorte_entree::masque, taille), 24));

    std::vector<long long> durees;
    qsizetype octets = 0;
    std::string exacte;
    for (int essai = 0; essai < 3; ++essai) {
      const auto r = wine.execute({std::string(AGENT_WINDOWS_BIN) + "/imprime_bitmap.exe",
                                   R"(\\192.168.1.10\partage\masque_a_1.bmp2)", "1", imprimante_wine});
      if (r.code != 0) throw std::runtime_error("imprime_bitmap : " + r.sortie);
      durees.push_back(duree_ms(r.sortie));
      const travail t = serveur.travaux().back();
      const QByteArray document = serveur.document(t.id);
      octets = document.size();
      if (essai > 0) continue;
      const QImage recue = page_a4_wine(rasterise_postscript(document, resolution), resolution);
      surface_apercu surface(0, 0);
      surface.charge(fichier.string());
      exacte = ecarts(page_attendue(surface, recue.size()), recue).empty() ? "exacte" : "FAUSSE";
    }
    std::sort(durees.begin(), durees.end());
    std::printf("| entrée | chemin | jusqu'à EndDoc ms (médiane) | confié au spouleur Ko | page reçue |\n");
    std::printf("|:--|:--|--:|--:|:--|\n");
    std::printf("| masque %dx%d | Windows sous Wine : GDI, PostScript %d dpi | %lld | %lld | %s |\n", taille.width(),
                taille.height(), resolution, durees[1], static_cast<long long>(octets / 1000), exacte.c_str());
    std::printf(
        "\nSous Wine 8 : la trame de l'agent Windows et ses bandes DIB (SetDIBitsToDevice) jusqu'à EndDoc, "
        "médiane de 3 ; le pilote PostScript de Wine écrit la page, que le serveur CUPS privé reçoit ; page "
        "reçue : tramée par Ghostscript à %d dpi, comparée pixel à pixel à la page attendue.\n",
        resolution);
    fs::remove_all(dossier);
    return exacte == "exacte" ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "agent_bench_windows : %s\n", e.what());
    return 1;
  }
}
