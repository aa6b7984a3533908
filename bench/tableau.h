#pragma once
// Collects what the benchmarks measured and prints it as one table, a line per input and size.

#include <benchmark/benchmark.h>

#include <QSize>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace agent::banc {

// The measures, as the benchmarks' names begin ("trame/masque/1297x943").
inline constexpr const char* mesure_trame = "trame";
inline constexpr const char* mesure_pdf_agent = "pdf_agent";
inline constexpr const char* mesure_pdf_reference = "pdf_reference";
inline constexpr const char* mesure_travail = "travail";
inline constexpr const char* mesure_memoire = "memoire";
inline constexpr const char* mesure_plancher = "plancher";  // reading the job file, nothing more
// Measured once per resolution, not per input: the peak memory of a job of one pixel.
inline std::string nom_memoire_un_pixel(int resolution) { return "memoire_un_pixel_" + std::to_string(resolution); }
// As far as the printer, by either way a page can take to a driverless queue.
inline constexpr const char* mesure_imprimante_pwg = "imprimante_pwg";
inline constexpr const char* mesure_imprimante_pdf = "imprimante_pdf";
// As far as a raster driver, the page written as its CUPS raster or sent as PDF for the filters.
inline constexpr const char* mesure_pilote_raster = "pilote_raster";
inline constexpr const char* mesure_pilote_pdf = "pilote_pdf";

// Counters the benchmarks set.
inline constexpr const char* compteur_pixels = "pixels";
inline constexpr const char* compteur_points = "points";
inline constexpr const char* compteur_octets = "octets_pdf";
inline constexpr const char* compteur_memoire = "memoire_pointe";
inline constexpr const char* compteur_octets_fichier = "octets_fichier";
inline constexpr const char* compteur_resolution = "resolution";      // of the queue a job went to
inline constexpr const char* compteur_octets_recus = "octets_recus";  // what the printer received
inline constexpr const char* compteur_pixels_faux = "pixels_faux";    // -1: a page of another size

// A benchmark that was deliberately not run reports an error starting with this.
inline constexpr const char* prefixe_non_mesure = "non mesuré : ";

std::string nom_benchmark(const std::string& mesure, const std::string& entree, QSize taille);

class tableau_resultats : public benchmark::BenchmarkReporter {
public:
  bool ReportContext(const Context& contexte) override;
  // Keeps single runs and, for repeated ones, their median; says on stderr what has run.
  void ReportRuns(const std::vector<Run>& runs) override;

  // The lines in the order the inputs first appeared, then `legende`. `note_reference` explains
  // the cells of a baseline that was not run. Then, where they were measured, the ways to the
  // printer side by side, and `legende_imprimante`.
  void ecrit(std::ostream& sortie, const std::string& legende, const std::string& note_reference,
             const std::string& legende_imprimante) const;
  bool erreurs() const { return erreurs_; }

private:
  struct mesure {
    double ms = 0;
    std::map<std::string, double> compteurs;
  };
  std::map<std::string, mesure> mesures_;                    // by benchmark name, without the aggregate suffix
  std::set<std::string> non_mesures_;                        // deliberately not run
  std::vector<std::pair<std::string, std::string>> lignes_;  // input and size, in order
  bool erreurs_ = false;
};

}  // namespace agent::banc
