#pragma once
// The printers as the print runs and the raster see them: a list of installed printers and one
// current printer that receives the copy count, the scale mode, the dots and the end of the
// document. The CUPS implementation serves the agent; the recording one serves unit tests.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace agent {

// An installed printer as the list gives it. Its device names, the names a command line may use
// for it, are its description and its queue name, in that order.
struct imprimante {
  std::string file;         // queue name ("QLS4100")
  std::string description;  // what people call it ("QLS-4100 Xe drivers standard")
};

inline std::vector<std::string> noms_peripherique(const imprimante& i) { return {i.description, i.file}; }

// What the spooler took of the last document handed to it, for the job's record line.
struct envoi_document {
  std::string file;     // queue name; empty when nothing was submitted
  int32_t travail = 0;  // the scheduler's job number
  std::string format;   // document format ("image/pwg-raster", "application/pdf")
  int64_t points = 0;   // dots the document received
  bool retenu = false;  // held by the spooler until libere_travail
};

// A job the spooler holds for the agent: submitted under `uuid` (retient_prochain), it prints only
// once released.
struct travail_retenu {
  std::string file;
  int32_t travail = 0;
  std::string uuid;
  std::string nom;             // the job's name in the spooler, as it holds it
  bool document_recu = false;  // its document arrived whole; a job without one has nothing to print
};

// What became of a job since it was released, as the spooler tells it.
enum class fin_travail { aucune, terminee, annulee, abandonnee };

struct nouvelles_travail {
  std::string file;
  int32_t travail = 0;
  fin_travail fin = fin_travail::aucune;
  std::string raison;  // the job's state reasons and message, as the spooler words them
  // While it has not ended, what stands in its way, if anything: its queue stopped (with the
  // queue's message) or refusing jobs, its printer reporting faults ("media-empty,offline"), the
  // job itself held or stopped.
  bool file_arretee = false;
  bool file_fermee = false;
  std::string message_file;
  std::string defauts;
  bool travail_arrete = false;
  bool bloque() const { return file_arretee || file_fermee || !defauts.empty() || travail_arrete; }
};

// "file="QLS4100" travail=17 format=image/pwg-raster points=3", or what was not sent and why.
std::string decrit_envoi(const envoi_document& envoi);

constexpr int16_t mode_echelle_pixels = 3;   // coordinates are device pixels, origin top-left
constexpr int16_t drapeau_point_absolu = 2;  // absolute coordinates, explicit colour

// Dots handed over at once (dessine_plages): on row y, `nombre` dots at columns x, x + 1, …, in
// that order, each followed by a second one column to its left when `compagnon`; all in `couleur`.
// Whole device pixels, as the raster draws them.
struct plage_points {
  int32_t x, y;
  int32_t nombre;
  int32_t couleur;
  bool compagnon;
};

// `f(x, y)` for each dot of `p`, in its order, at the coordinates a dot call receives.
template <typename action>
void points_de(const plage_points& p, action&& f) {
  for (int32_t i = 0; i < p.nombre; ++i) {
    f(static_cast<float>(p.x + i), static_cast<float>(p.y));
    if (p.compagnon) f(static_cast<float>(p.x + i - 1), static_cast<float>(p.y));
  }
}

class service_imprimante {
public:
  virtual ~service_imprimante() = default;

  // Every installed printer once, in the platform's order.
  virtual std::vector<imprimante> imprimantes_installees() = 0;
  // All later operations go to this printer, for the rest of the program's life or until another
  // is made current. Before any choice the current printer is the system's default.
  virtual void rend_courante(const imprimante& choisie) = 0;
  // Copies of the next document. A value the printer cannot produce is an error, never adjusted.
  virtual void fixe_copies(const int16_t& copies) = 0;
  virtual void fixe_mode_echelle(int16_t mode) = 0;
  // What the next document is called in the spooler's queue and on the printer's panel. A printer
  // without such a list has nothing to do with it.
  virtual void nomme_document(const std::string& nom) { (void)nom; }
  // The device pixel (x, y) takes `couleur` (0x00BBGGRR); a later dot on the same pixel wins.
  // The first dot opens the document.
  virtual void dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) = 0;
  // The same dots in one call, in their order, for the raster's rows: a black page at 600 dpi has
  // 70 million dots in 7,000 runs, and a call for each dot costs more than laying the runs on the
  // page. A printer that keeps its page in memory lays each run whole; any other gets
  // dessine_point for each dot, so the two ways always give the same document.
  virtual void dessine_plages(int16_t drapeau, std::span<const plage_points> plages) {
    for (const plage_points& p : plages)
      points_de(p, [&](float x, float y) { dessine_point(drapeau, x, y, p.couleur); });
  }
  // Hands the document to the spooler; the next dot opens a new one.
  virtual void termine_document() = 0;
  // The last document termine_document handed over; a printer without a spooler has none.
  virtual envoi_document dernier_envoi() const { return {}; }

  // A job becomes final in one step, once its file is gone: the next document is submitted held
  // under `uuid`, and prints only once released. A printer without a spooler holds nothing.
  virtual void retient_prochain(const std::string& uuid) { (void)uuid; }
  // The jobs held for the agent whose uuid starts with `prefixe`, in any queue.
  virtual std::vector<travail_retenu> travaux_retenus(const std::string& prefixe) {
    (void)prefixe;
    return {};
  }
  virtual void libere_travail(const travail_retenu& t) { (void)t; }
  virtual void annule_travail(const travail_retenu& t) { (void)t; }
  // What became of each of `travaux` (queue and number) since the last look; nothing when the
  // spooler cannot tell now. Throws nothing: following jobs must never stop the agent.
  virtual std::optional<std::vector<nouvelles_travail>> nouvelles(const std::vector<travail_retenu>& travaux) {
    (void)travaux;
    return std::vector<nouvelles_travail>{};
  }
};

}  // namespace agent
