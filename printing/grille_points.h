#pragma once
// The page being built, in device pixels: four bits per pixel, 0 where no dot was drawn and
// 1 … 7 for the printable colour of the last dot drawn there, two pixels a byte (the left one in
// the high half, as PDF's 4-bit images store them). A whole A4 page at 600 dpi takes 17 MB, less
// than a sixth of the picture it is printed from, and untouched parts cost no memory at all.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/memoire_grande.h"
#include "printing/service_imprimante.h"

namespace agent {

// Columns x0 … x1 - 1 and rows y0 … y1 - 1.
struct cadre_points {
  int32_t x0, y0, x1, y1;
  int32_t largeur() const { return x1 - x0; }
  int32_t hauteur() const { return y1 - y0; }
  bool operator==(const cadre_points&) const = default;
};

class grille_points {
public:
  // Throws "Mémoire insuffisante" when the page cannot be held.
  grille_points(int32_t largeur, int32_t hauteur);

  int32_t largeur() const { return largeur_; }
  int32_t hauteur() const { return hauteur_; }

  // A dot outside the page is dropped: the paper simply ends there.
  void pose(int32_t x, int32_t y, uint8_t indice) {
    if (x < 0 || y < 0 || x >= largeur_ || y >= hauteur_) return;
    pose_dedans(x, y, indice);
  }
  // The same for a dot at device coordinates as printers receive them, rounded to the pixel.
  // Coordinates however large are clipped, never converted out of range. Called once per dot of
  // a page (70 million for a black A4 page at 600 dpi): the whole pixels the raster sends are
  // placed here at once, anything else is rounded out of line.
  void pose_point(float x, float y, uint8_t indice) {
    const double colonne = x, ligne = y;
    if (colonne >= 0 && ligne >= 0 && colonne < largeur_ && ligne < hauteur_) {
      const auto entiere_x = static_cast<int32_t>(colonne), entiere_y = static_cast<int32_t>(ligne);
      if (entiere_x == colonne && entiere_y == ligne) {
        pose_dedans(entiere_x, entiere_y, indice);
        return;
      }
    }
    pose_arrondi(colonne, ligne, indice);
  }

  // The runs of dots (plage_points) in their order, laid as pose_point lays their dots one by one:
  // a run being of one colour, it leaves the columns it covers filled, whatever the order.
  // `indice_de(couleur)` gives a run's byte, 0 for a colour that has none, which `refus(couleur)`
  // then throws for, the runs before it laid. Most runs of a scattered page are a dot or two of
  // colours no branch predicts; the frame is kept in registers meanwhile. The dots of the runs.
  template <typename indice_de, typename refus_de>
  int64_t pose_plages(std::span<const plage_points> plages, indice_de&& indice, refus_de&& refus) {
    // Beyond 2^24 a float no longer holds every whole number, and pose_point would round.
    if (largeur_ > (1 << 24) || hauteur_ > (1 << 24)) return pose_plages_point_par_point(plages, indice, refus);
    cadre_points cadre = cadre_;
    int64_t points = 0;
    for (const plage_points& p : plages) {
      points += int64_t{p.nombre} << (p.compagnon ? 1 : 0);
      const uint8_t octet = indice(p.couleur);
      if (octet == 0) {
        cadre_ = cadre;
        refus(p.couleur);
      }
      if (p.y < 0 || p.y >= hauteur_ || p.nombre <= 0) continue;
      const int64_t debut = int64_t{p.x} - (p.compagnon ? 1 : 0), fin = int64_t{p.x} + p.nombre - 1;
      const auto premier = static_cast<int32_t>(std::max<int64_t>(debut, 0));
      const auto dernier = static_cast<int32_t>(std::min<int64_t>(fin, largeur_ - 1));
      if (premier > dernier) continue;
      uint8_t* ligne = pixels_.get() + position(0, p.y);
      if (dernier - premier < 2) {
        // A dot, or a black one with its companion: both ends laid, the same one twice for a dot.
        pose_moitie(ligne, premier, octet);
        pose_moitie(ligne, dernier, octet);
      } else {
        remplit(ligne, premier, dernier, octet);
      }
      cadre.x0 = premier < cadre.x0 ? premier : cadre.x0;
      cadre.y0 = p.y < cadre.y0 ? p.y : cadre.y0;
      cadre.x1 = dernier >= cadre.x1 ? dernier + 1 : cadre.x1;
      cadre.y1 = p.y >= cadre.y1 ? p.y + 1 : cadre.y1;
    }
    cadre_ = cadre;
    return points;
  }

  uint8_t indice(int32_t x, int32_t y) const {
    return static_cast<uint8_t>(pixels_.get()[position(x, y)] >> decalage(x) & 0xF);
  }
  // Row y, one byte a pixel, in a buffer of the grid's own: valid until the next call, and not
  // for two threads at once. Eight spare bytes follow it there, so that a reader may load a
  // word at any of its pixels.
  std::span<const uint8_t> ligne(int32_t y) const;
  // Row y as stored: (largeur() + 1) / 2 bytes, pixel 2i in the high half of byte i; an odd
  // width's last low half is 0.
  std::span<const uint8_t> paires(int32_t y) const { return {pixels_.get() + position(0, y), octets_par_ligne_}; }

  bool vide() const { return cadre_.x1 == 0; }
  // Back to a page with no dot, clearing only the frame that held dots.
  void efface();
  // The smallest rectangle holding every dot drawn; meaningless while vide().
  const cadre_points& cadre() const { return cadre_; }

private:
  struct liberation {
    size_t taille;
    void operator()(uint8_t* p) const { libere_grande(p, taille); }
  };
  void pose_dedans(int32_t x, int32_t y, uint8_t indice) {
    pose_moitie(pixels_.get() + position(0, y), x, indice);
    // Starts empty (x1 == 0) with x0 and y0 beyond any pixel, so no dot needs a test of its own.
    cadre_.x0 = x < cadre_.x0 ? x : cadre_.x0;
    cadre_.y0 = y < cadre_.y0 ? y : cadre_.y0;
    cadre_.x1 = x >= cadre_.x1 ? x + 1 : cadre_.x1;
    cadre_.y1 = y >= cadre_.y1 ? y + 1 : cadre_.y1;
  }
  void pose_arrondi(double x, double y, uint8_t indice);
  template <typename indice_de, typename refus_de>
  int64_t pose_plages_point_par_point(std::span<const plage_points> plages, indice_de&& indice, refus_de&& refus) {
    int64_t points = 0;
    for (const plage_points& p : plages) {
      points += int64_t{p.nombre} << (p.compagnon ? 1 : 0);
      const uint8_t octet = indice(p.couleur);
      if (octet == 0) refus(p.couleur);
      points_de(p, [&](float x, float y) { pose_point(x, y, octet); });
    }
    return points;
  }
  static void pose_moitie(uint8_t* ligne, int32_t x, uint8_t indice) {
    uint8_t& paire = ligne[static_cast<size_t>(x) / 2];
    paire = static_cast<uint8_t>((paire & ~(0xF << decalage(x))) | indice << decalage(x));
  }
  // Columns premier … dernier of `ligne` take `indice`: the halves at either end alone, the
  // bytes between whole.
  static void remplit(uint8_t* ligne, int32_t premier, int32_t dernier, uint8_t indice) {
    auto debut = static_cast<size_t>(premier);
    const auto fin = static_cast<size_t>(dernier) + 1;
    if (debut & 1) {
      ligne[debut / 2] = static_cast<uint8_t>((ligne[debut / 2] & 0xF0) | indice);
      ++debut;
    }
    const size_t entiers = (fin - debut) / 2;
    std::fill_n(ligne + debut / 2, entiers, static_cast<uint8_t>(indice * 0x11));
    debut += entiers * 2;
    if (debut < fin) ligne[debut / 2] = static_cast<uint8_t>((ligne[debut / 2] & 0x0F) | indice << 4);
  }
  // The byte holding pixel (x, y), and where in it.
  size_t position(int32_t x, int32_t y) const {
    return static_cast<size_t>(y) * octets_par_ligne_ + static_cast<size_t>(x) / 2;
  }
  static int decalage(int32_t x) { return x & 1 ? 0 : 4; }

  int32_t largeur_, hauteur_;
  size_t octets_par_ligne_;
  mutable std::vector<uint8_t> ligne_;
  std::unique_ptr<uint8_t, liberation> pixels_;
  cadre_points cadre_{INT32_MAX, INT32_MAX, 0, 0};
};

}  // namespace agent
