#pragma once
// The input under measure, as a job file on disk and as the preview surface that loading it
// gives. The benchmarks run one input after another; asking for another input replaces the one
// held, so that only one large picture is alive at a time.

#include <QSize>
#include <filesystem>
#include <optional>
#include <string>

#include "bench/entrees.h"
#include "image/decodeur_plateforme.h"
#include "image/surface_apercu.h"

namespace agent::banc {

class fichier_travail {
public:
  // In a fresh temporary folder, removed with this object.
  fichier_travail();
  ~fichier_travail();
  fichier_travail(const fichier_travail&) = delete;
  fichier_travail& operator=(const fichier_travail&) = delete;

  // Generates the picture when it is not the one held, writes it as a 24-bit Windows bitmap job
  // file and loads it with the agent's own loader.
  void prepare(sorte_entree sorte, QSize taille);

  const std::string& chemin() const { return chemin_; }
  // A job file of one black pixel beside it, written on first use: a whole job, through to the
  // scheduler, with next to nothing in it.
  const std::string& chemin_un_pixel();
  const surface_apercu& surface() const { return surface_; }

private:
  std::filesystem::path dossier_;
  std::string chemin_, chemin_un_pixel_;
  std::optional<std::pair<sorte_entree, QSize>> tenue_;
  surface_apercu surface_{1297, 943, decode_png_gif};
};

}  // namespace agent::banc
