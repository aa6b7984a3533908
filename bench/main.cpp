// The agent's benchmarks: for each generated input and size, the raster alone, the page from the
// surface to PDF bytes (the agent's renderer against one QPainter point per dot), the whole job
// through a private CUPS scheduler, the same job followed as far as an emulated driverless printer
// by each way a page can take there, and the peak memory of a whole job in a process of its own.
// Ends with one table on stdout.
//
//   agent_bench [--petit] [options of Google Benchmark]
//
// --petit: tiny inputs only, a check that everything still builds and runs.
// --travail-unique FICHIER IMPRIMANTE: one whole job in this process (for the memory figure).

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <limits>
#include <memory>
#include <vector>

#include "bench/entrees.h"
#include "bench/fichier_travail.h"
#include "bench/imprimante_comptage.h"
#include "bench/imprimante_grille.h"
#include "bench/imprimante_point_par_point.h"
#include "bench/tableau.h"
#include "bench/travail_complet.h"
#include "cups/imprimante_cups.h"
#include "cups/page_pdf.h"
#include "printing/trame_points.h"
#include "tests/support/page_essai.h"

using namespace agent;
using namespace agent::banc;

namespace {

struct cas {
  sorte_entree sorte;
  QSize taille;
  int resolution;  // of the queue the page goes to: A4 at 300 dpi, or 600 for the largest
};

// The baseline grows with the dots it draws, in time (about 5 µs a dot) and in memory; beyond
// this many dots it is not run, and the table says so.
constexpr int64_t points_reference_max = 5'000'000;
const char* const legende =
    "points M : millions de points que la trame envoie à l'imprimante. PDF : de la surface aux octets du "
    "PDF, trame comprise, sans serveur d'impression ; la référence dessine un point QPainter par point "
    "dans un QPdfWriter à la même résolution. Travail complet : fichier BMP sur disque → chargé dans "
    "l'aperçu de la fenêtre → trame → PDF → accepté par un CUPS privé (médiane) ; ns/px : le même, par "
    "pixel de l'image. RSS max : un travail complet seul dans un processus neuf, démarrage de Qt compris. "
    "Plancher : le fichier lu depuis le cache de pages dans un tampon déjà alloué et touché, puis ses octets "
    "additionnés en mots de 64 bits, sur un fil (médiane) ; travail/plancher : le travail complet rapporté à ce "
    "plancher. Ajoutée/fichier : RSS max du travail moins celle d'un travail d'un pixel dans le même programme, "
    "rapportée à la taille du fichier. "
    "File A4 à 300 dpi, à 600 dpi pour 4961x7016.";
const char* const legende_imprimante =
    "Jusqu'à l'imprimante : fichier BMP sur disque → aperçu → trame → page → serveur CUPS privé → file sans "
    "pilote (lpadmin -m everywhere) → imprimante IPP Everywhere émulée (ippeveprinter, boucle locale, A4, "
    "marges de 4,23 mm) qui tient la page ; médiane. PWG raster : la page part en PWG raster à la résolution de "
    "l'imprimante et passe le serveur sans filtre. PDF : la page part en PDF, les filtres du serveur (pdftopdf, "
    "gstoraster) la tramant en PWG raster. Pilote raster : la même page vers une file dont le PPD donne la page à "
    "son pilote en CUPS raster (RVB 8 bits, A4 de 595 × 842 points), jusqu'à ce que le serveur ait fini le "
    "travail ; CUPS raster : l'agent écrit la page avec l'en-tête du PPD, qui passe le serveur sans filtre ; "
    "PDF : pdftopdf et gstoraster la tramant pour le pilote. Page reçue : comparée pixel à pixel à la page "
    "attendue.";
const char* const note_reference =
    "non mesuré : la référence n'est lancée que jusqu'à 5 millions de points ; au-delà, une page lui "
    "coûte des minutes et des gigaoctets.";

// Everything the benchmarks share, alive for the whole run.
struct materiel {
  fichier_travail fichier;
  std::unique_ptr<poste_complet> poste;  // started at the first whole job
};

format_page format_a4(int resolution) { return format_pour("iso_a4_210x297mm", resolution); }

int64_t pixels_de(QSize taille) { return int64_t{taille.width()} * taille.height(); }

void chrono_trame(benchmark::State& etat, materiel& b, cas c) {
  b.fichier.prepare(c.sorte, c.taille);
  imprimante_comptage imprimante;
  suivi_sans_fenetre suivi;
  for (auto _ : etat) trame_points(b.fichier.surface(), imprimante, suivi);
  etat.counters[compteur_pixels] = static_cast<double>(pixels_de(c.taille));
  etat.counters[compteur_points] = static_cast<double>(imprimante.points / static_cast<int64_t>(etat.iterations()));
}

// The agent's own way from the surface to PDF bytes: the dots on a page grid, the grid as PDF.
QByteArray pdf_agent(const surface_lecture& surface, const format_page& format) {
  imprimante_grille imprimante(pixels_page(format));
  suivi_sans_fenetre suivi;
  trame_points(surface, imprimante, suivi);
  imprimante.termine_document();
  return imprimante.derniere_page() ? page_pdf(*imprimante.derniere_page(), format) : QByteArray();
}

// The baseline: one QPainter point per dot into a QPdfWriter.
QByteArray pdf_reference(const surface_lecture& surface, const format_page& format) {
  imprimante_point_par_point imprimante(format);
  suivi_sans_fenetre suivi;
  trame_points(surface, imprimante, suivi);
  imprimante.termine_document();
  return imprimante.pdf();
}

void chrono_pdf(benchmark::State& etat, materiel& b, cas c, int64_t points_max,
                QByteArray (*pdf)(const surface_lecture&, const format_page&)) {
  b.fichier.prepare(c.sorte, c.taille);
  suivi_sans_fenetre suivi;
  imprimante_comptage comptage;
  trame_points(b.fichier.surface(), comptage, suivi);
  if (comptage.points > points_max) {
    etat.SkipWithError((std::string(prefixe_non_mesure) + std::to_string(comptage.points) + " points").c_str());
    for (auto _ : etat) {
    }
    return;
  }
  qsizetype octets = 0;
  for (auto _ : etat) octets = pdf(b.fichier.surface(), format_a4(c.resolution)).size();
  if (octets == 0) etat.SkipWithError("aucune page produite");
  etat.counters[compteur_octets] = static_cast<double>(octets);
}

// The scheduler answers its first few jobs twice as slowly as the rest; the agent, which runs for
// hours, meets it warm.
void demarre_poste(materiel& b, cas c) {
  if (b.poste) return;
  b.poste = std::make_unique<poste_complet>();
  for (int i = 0; i < 3; ++i) b.poste->imprime(b.fichier.chemin_un_pixel(), c.resolution);
}

void chrono_travail(benchmark::State& etat, materiel& b, cas c) {
  b.fichier.prepare(c.sorte, c.taille);
  int avant = 0;
  int64_t travaux = 0;
  try {
    demarre_poste(b, c);
    avant = b.poste->travaux_acceptes();
    for (auto _ : etat) {
      b.poste->imprime(b.fichier.chemin(), c.resolution);
      ++travaux;
    }
  } catch (const std::exception& e) {
    etat.SkipWithError(e.what());
    return;
  }
  // Every job must have reached the scheduler, or the figure would measure a failure.
  if (b.poste->travaux_acceptes() - avant != travaux) etat.SkipWithError("travail non accepté par le serveur");
  etat.counters[compteur_pixels] = static_cast<double>(pixels_de(c.taille));
  etat.counters[compteur_octets] = static_cast<double>(b.poste->taille_dernier_document());
}

void chrono_imprimante(benchmark::State& etat, materiel& b, cas c, format_document envoi, bool pilote_raster) {
  b.fichier.prepare(c.sorte, c.taille);
  int32_t id = 0;
  try {
    demarre_poste(b, c);
    // The first job of a way starts what it needs on the print server (Ghostscript's fonts).
    // Each measure starts with the queue idle: the scheduler runs one job of a queue at a time, and
    // its backend finishes a job only after the printer has reported it done, a second later.
    const auto imprime = [&] {
      return b.poste->imprime_jusqu_a_l_imprimante(b.fichier.chemin(), c.resolution, envoi, pilote_raster);
    };
    b.poste->recu(imprime());
    for (auto _ : etat) id = imprime();
    const auto recu = b.poste->recu(id);
    // The raster driver's A4 is its PPD's, 595 × 842 points.
    const QSize page = pilote_raster ? QSize(static_cast<int>(std::lround(595.0 * c.resolution / 72)),
                                             static_cast<int>(std::lround(842.0 * c.resolution / 72)))
                                     : pixels_page(format_a4(c.resolution));
    const QImage attendue = essai::page_attendue(b.fichier.surface(), page);
    etat.counters[compteur_pixels_faux] = static_cast<double>(essai::pixels_differents(attendue, recu.page));
    etat.counters[compteur_octets] = static_cast<double>(b.poste->taille_document(id));
    etat.counters[compteur_octets_recus] = static_cast<double>(recu.octets);
  } catch (const std::exception& e) {
    etat.SkipWithError(e.what());
  }
}

// The floor: the job file read from the page cache into a buffer allocated and touched beforehand,
// then its bytes added up as 64-bit words, on one thread. Nothing that uses the file can be
// faster than reading it.
void chrono_plancher(benchmark::State& etat, materiel& b, cas c) {
  b.fichier.prepare(c.sorte, c.taille);
  const size_t taille = std::filesystem::file_size(b.fichier.chemin());
  const int descripteur = ::open(b.fichier.chemin().c_str(), O_RDONLY | O_CLOEXEC);
  if (descripteur < 0) {
    etat.SkipWithError("fichier illisible");
    return;
  }
  std::vector<uint64_t> mots((taille + 7) / 8, 1);
  auto* octets = reinterpret_cast<char*>(mots.data());
  uint64_t somme = 0;
  for (auto _ : etat) {
    for (size_t lus = 0; lus < taille;) {
      const ssize_t n = ::pread(descripteur, octets + lus, taille - lus, static_cast<off_t>(lus));
      if (n <= 0) {
        etat.SkipWithError("lecture interrompue");
        break;
      }
      lus += static_cast<size_t>(n);
    }
    for (const uint64_t mot : mots) somme += mot;
    benchmark::DoNotOptimize(somme);
  }
  ::close(descripteur);
  etat.counters[compteur_octets_fichier] = static_cast<double>(taille);
}

// The same program's peak for a job of one pixel: what Qt, the libraries and the scheduler's
// client take whatever the job.
void releve_memoire_un_pixel(benchmark::State& etat, materiel& b, int resolution) {
  int64_t pointe = 0;
  try {
    demarre_poste(b, {sorte_entree::masque, QSize(1, 1), resolution});
    for (auto _ : etat) pointe = memoire_pointe_travail(b.fichier.chemin_un_pixel(), resolution);
  } catch (const std::exception& e) {
    etat.SkipWithError(e.what());
    return;
  }
  etat.counters[compteur_memoire] = static_cast<double>(pointe);
}

void releve_memoire(benchmark::State& etat, materiel& b, cas c) {
  b.fichier.prepare(c.sorte, c.taille);
  int64_t pointe = 0;
  try {
    demarre_poste(b, c);
    for (auto _ : etat) pointe = memoire_pointe_travail(b.fichier.chemin(), c.resolution);
  } catch (const std::exception& e) {
    etat.SkipWithError(e.what());
    return;
  }
  etat.counters[compteur_memoire] = static_cast<double>(pointe);
  etat.counters[compteur_resolution] = c.resolution;
}

void enregistre(materiel& b, const std::vector<cas>& liste, bool petit) {
  for (const int resolution : {300, 600}) {
    benchmark::RegisterBenchmark(nom_memoire_un_pixel(resolution).c_str(),
                                 [&b, resolution](benchmark::State& e) { releve_memoire_un_pixel(e, b, resolution); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
  }
  for (const cas& c : liste) {
    const std::string entree = nom_entree(c.sorte);
    const auto nom = [&](const char* mesure) { return nom_benchmark(mesure, entree, c.taille); };
    const int64_t pixels = pixels_de(c.taille);
    const bool grand = pixels > int64_t{2480} * 3508;

    benchmark::RegisterBenchmark(nom(mesure_trame).c_str(), [&b, c](benchmark::State& e) { chrono_trame(e, b, c); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(
        nom(mesure_pdf_agent).c_str(),
        [&b, c](benchmark::State& e) { chrono_pdf(e, b, c, std::numeric_limits<int64_t>::max(), pdf_agent); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(
        nom(mesure_pdf_reference).c_str(),
        [&b, c](benchmark::State& e) { chrono_pdf(e, b, c, points_reference_max, pdf_reference); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(nom(mesure_plancher).c_str(),
                                 [&b, c](benchmark::State& e) { chrono_plancher(e, b, c); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(petit ? 2 : 5)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark(nom(mesure_travail).c_str(), [&b, c](benchmark::State& e) { chrono_travail(e, b, c); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1)
        ->Repetitions(petit   ? 3
                      : grand ? 5
                              : 11)
        ->ReportAggregatesOnly(true);
    // As far as the printer: the clustered mask at 1297x943 and at 600 dpi, both ways.
    if (c.sorte == sorte_entree::masque && (petit || c.taille != QSize(2480, 3508))) {
      struct chemin {
        const char* mesure;
        format_document envoi;
        bool pilote_raster;
      };
      std::vector<chemin> chemins = {{mesure_imprimante_pwg, format_document::selon_file, false},
                                     {mesure_imprimante_pdf, format_document::pdf, false}};
      // To a raster driver: the 600-dpi page, the agent's CUPS raster beside the server's filters.
      if (petit || grand) {
        chemins.push_back({mesure_pilote_raster, format_document::selon_file, true});
        chemins.push_back({mesure_pilote_pdf, format_document::pdf, true});
      }
      for (const chemin& ch : chemins) {
        benchmark::RegisterBenchmark(
            nom(ch.mesure).c_str(),
            [&b, c, ch](benchmark::State& e) { chrono_imprimante(e, b, c, ch.envoi, ch.pilote_raster); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1)
            ->Repetitions(petit   ? 2
                          : grand ? 3
                                  : 7)
            ->ReportAggregatesOnly(true);
      }
    }
    benchmark::RegisterBenchmark(nom(mesure_memoire).c_str(), [&b, c](benchmark::State& e) { releve_memoire(e, b, c); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
  }
}

std::vector<cas> cas_a_mesurer(bool petit) {
  std::vector<cas> liste;
  const std::vector<std::pair<QSize, int>> tailles =
      petit ? std::vector<std::pair<QSize, int>>{{QSize(64, 48), 300}}
            : std::vector<std::pair<QSize, int>>{
                  {QSize(1297, 943), 300}, {QSize(2480, 3508), 300}, {QSize(4961, 7016), 600}};
  for (const auto& [taille, resolution] : tailles)
    for (sorte_entree sorte : {sorte_entree::masque, sorte_entree::noir, sorte_entree::aleatoire})
      liste.push_back({sorte, taille, resolution});
  return liste;
}

}  // namespace

int main(int argc, char** argv) {
  // No display is needed: the window only has to exist for the job to run as it does for users.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

  if (argc == 4 && std::strcmp(argv[1], "--travail-unique") == 0) {
    int un = 1;
    QApplication application(un, argv);
    QApplication::setApplicationName("agent_impression");
    return travail_unique(argv[2], argv[3]);
  }

  benchmark::Initialize(&argc, argv);
  bool petit = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--petit") == 0) {
      petit = true;
    } else {
      std::cerr << "agent_bench : option inconnue " << argv[i] << std::endl;
      return 2;
    }
  }
  int un = 1;
  QApplication application(un, argv);
  QApplication::setApplicationName("agent_impression");

  materiel b;
  enregistre(b, cas_a_mesurer(petit), petit);
  tableau_resultats tableau;
  benchmark::RunSpecifiedBenchmarks(&tableau);
  benchmark::Shutdown();
  b.poste.reset();

  tableau.ecrit(std::cout, legende, note_reference, legende_imprimante);
  return tableau.erreurs() ? 1 : 0;
}
