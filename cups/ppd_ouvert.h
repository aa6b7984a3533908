#pragma once
// A queue's PPD read with libcups's PPD functions: whether the device prints colour, its colour
// options, and the CUPS raster page header its code gives a job. The only file of the agent that
// uses them (see ppd_ouvert.cpp).

#include <cups/raster.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cups/options_couleur.h"

struct ppd_file_s;  // libcups's, kept out of this header with its deprecated API

namespace agent {

// A queue's PPD as the scheduler served it: the memory file it was written into, and its text.
// libcups reads the file, the agent's own reading of the driver's filters (lit_pilote) the text.
class ppd_recu {
public:
  ppd_recu() = default;
  // Takes `descripteur` (-1: no PPD, a raw queue), and `texte`, what it holds.
  ppd_recu(int descripteur, std::string texte) : descripteur_(descripteur), texte_(std::move(texte)) {}
  ppd_recu(ppd_recu&& autre) noexcept
      : descripteur_(std::exchange(autre.descripteur_, -1)), texte_(std::move(autre.texte_)) {}
  ~ppd_recu();
  ppd_recu& operator=(ppd_recu&&) = delete;

  int descripteur() const { return descripteur_; }
  const std::string& texte() const { return texte_; }

private:
  int descripteur_ = -1;
  std::string texte_;
};

class ppd_ouvert {
public:
  // Null when `ppd` is empty or not a PPD libcups can read. Reads `ppd`'s file from its start.
  static std::unique_ptr<ppd_ouvert> ouvre(const ppd_recu& ppd);
  ~ppd_ouvert();
  ppd_ouvert(const ppd_ouvert&) = delete;
  ppd_ouvert& operator=(const ppd_ouvert&) = delete;

  // *ColorDevice (false when the PPD does not say).
  bool appareil_couleur() const;
  // Those of `mots_cles` the PPD has as options, in that order.
  std::vector<option_ppd> options(const std::vector<std::string_view>& mots_cles) const;
  // The header of a page of a job carrying `options` (PPD option names): the PPD's defaults, then
  // the options, interpreted as a raster filter does; nullopt when the PPD's code cannot be
  // interpreted.
  std::optional<cups_page_header2_t> entete(const std::vector<choix_ppd>& options);

private:
  ::ppd_file_s* ppd_;
  explicit ppd_ouvert(::ppd_file_s* ppd) : ppd_(ppd) {}
};

}  // namespace agent
