// Any bytes a job file may hold go the way the agent prints them: loaded from a file into the
// preview surface, read by the raster row by row, and laid as dots on an A4 page at 300 dpi. A
// file the agent cannot take must end as its own error, never as a crash or undefined behaviour.

#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "bench/imprimante_grille.h"
#include "core/erreur.h"
#include "cups/page_pdf.h"
#include "image/decodeur_plateforme.h"
#include "image/surface_apercu.h"
#include "printing/couleurs.h"
#include "printing/grille_points.h"
#include "printing/trame_points.h"

namespace {

// The same printer fed one dot at a time, as every printer without a page grid is.
class grille_point_par_point : public agent::imprimante_grille {
public:
  using imprimante_grille::imprimante_grille;
  void dessine_plages(int16_t drapeau, std::span<const agent::plage_points> plages) override {
    service_imprimante::dessine_plages(drapeau, plages);
  }
};

}  // namespace

namespace {

// The loader reads files, as the agent does: one temporary file, rewritten for every input.
std::string chemin_essai;

}  // namespace

// Fresh allocations keep whatever the memory held before instead of a fixed filling byte, so that
// a decoder that leaves pixels unset gives a different picture from one load to the next. The
// decoders are not instrumented: comparing two loads is how such pixels show.
extern "C" const char* __asan_default_options() { return "max_malloc_fill_size=0"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Image format plugins (GIF) are found through the application's library paths.
  static QCoreApplication application(*argc, *argv);
  char modele[] = "/tmp/fuzz_image_XXXXXX";
  const int descripteur = mkstemp(modele);
  if (descripteur < 0) std::abort();
  ::close(descripteur);
  chemin_essai = modele;
  std::atexit([] { ::unlink(chemin_essai.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
  std::FILE* fichier = std::fopen(chemin_essai.c_str(), "wb");
  if (!fichier || std::fwrite(donnees, 1, taille, fichier) != taille || std::fclose(fichier) != 0) std::abort();

  // The window's preview surface, at the size it has without a picture.
  agent::surface_apercu surface(1297, 943, agent::decode_png_gif);
  try {
    surface.charge(chemin_essai);
  } catch (const agent::erreur&) {
    return 0;
  } catch (const std::bad_alloc&) {
    return 0;  // the window reports it as "Mémoire insuffisante"
  }
  {
    // Scrambled memory goes back to the allocator (after its quarantine), so that what fresh
    // allocations hold keeps changing from one load to the next.
    std::vector<std::unique_ptr<uint8_t[]>> bruit;
    for (size_t taille = 64; taille <= (size_t{1} << 20); taille *= 2) {
      bruit.emplace_back(new uint8_t[taille]);
      std::memset(bruit.back().get(), static_cast<int>(taille / 64 % 251), taille);
    }
  }
  agent::surface_apercu encore(1297, 943, agent::decode_png_gif);
  encore.charge(chemin_essai);
  if (encore.image() != surface.image()) {
    std::fprintf(stderr, "fuzz_image : deux chargements du même fichier diffèrent (pixels non définis)\n");
    std::abort();
  }
  const QSize page = agent::pixels_page(agent::format_pour("iso_a4_210x297mm", 300));
  // The grid as the CUPS printer lays the raster's runs, and as a printer that takes them one dot
  // at a time would have it: the two must be the same page.
  agent::imprimante_grille imprimante(page);
  grille_point_par_point une_a_une(page);
  agent::suivi_sans_fenetre suivi;
  try {
    agent::trame_points(surface, imprimante, suivi);
    agent::trame_points(surface, une_a_une, suivi);
  } catch (const agent::erreur& e) {
    // Coordinates beyond 32 bits are the raster's own error; a dot of another mode or colour
    // is one the raster must never send.
    if (e.code() != agent::code_erreur::depassement_capacite) std::abort();
    return 0;
  }
  imprimante.termine_document();
  une_a_une.termine_document();
  // And as the raster is defined, a pixel read and a dot or two at a time: the row reads and the
  // run marks must find the same dots.
  agent::grille_points attendue(page.width(), page.height());
  const auto hauteur = static_cast<int32_t>(surface.hauteur_echelle());
  const auto largeur = static_cast<int32_t>(surface.largeur_echelle());
  for (int32_t y = 0; y < hauteur; ++y) {
    for (int32_t x = 0; x < largeur; ++x) {
      const uint32_t c = surface.lit_pixel(x, y);
      const uint8_t indice = agent::indice_sans_saut(c);
      if (indice == 0) continue;
      attendue.pose(x + agent::marge_horizontale, y + agent::marge_verticale, indice);
      if (c == agent::noir) attendue.pose(x + agent::decalage_compagnon_noir, y + agent::marge_verticale, indice);
    }
  }
  const auto& a = imprimante.derniere_page();
  const auto& b = une_a_une.derniere_page();
  if (a.has_value() != b.has_value() || a.has_value() == attendue.vide()) std::abort();
  if (!a) return 0;
  for (const auto& [autre, quoi] :
       {std::pair{&*b, "les points un à un"}, std::pair{&std::as_const(attendue), "pixel par pixel"}}) {
    if (!(a->cadre() == autre->cadre())) std::abort();
    for (int32_t y = 0; y < a->hauteur(); ++y) {
      const auto ligne_a = a->paires(y), ligne_b = autre->paires(y);
      if (!std::equal(ligne_a.begin(), ligne_a.end(), ligne_b.begin())) {
        std::fprintf(stderr, "fuzz_image : la ligne %d diffère entre les plages et %s\n", y, quoi);
        std::abort();
      }
    }
  }
  return 0;
}
