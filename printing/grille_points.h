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

  // The dots of a run in their order, each laid as pose_point lays it. `indice_de(couleur)` gives
  // a dot's byte, 0 for a colour that has none, which `refus(couleur)` then throws for, the dots
  // before it laid. A run's dots mostly share a colour and a row: each is worked out again only
  // when it changes.
  template <typename indice_de, typename refus_de>
  void pose_points(std::span<const point_page> points, indice_de&& indice, refus_de&& refus) {
    if (points.empty()) return;
    const double largeur = largeur_;
    // The row of the last dot, when it is a whole row of the page (else nullptr).
    float ligne_connue = points.front().y;
    int32_t y = 0;
    uint8_t* ligne = rangee(ligne_connue, y);
    // The columns in two scalars, the row taken into the frame once it has a dot: the compiler
    // packs four values in a vector register and unpacks them at every dot, a chain of latencies
    // longer than the rest of the dot.
    int32_t x0 = cadre_.x0, x1 = cadre_.x1;
    bool encree = false;
    const auto range_cadre = [&] {
      cadre_.x0 = x0;
      cadre_.x1 = x1;
      if (!encree) return;
      cadre_.y0 = std::min(cadre_.y0, y);
      cadre_.y1 = std::max(cadre_.y1, y + 1);
      encree = false;
    };
    const auto reprend_cadre = [&] { x0 = cadre_.x0, x1 = cadre_.x1; };
    int32_t couleur = points.front().couleur;
    uint8_t octet = indice(couleur);
    const size_t nombre = points.size();
    const bool etendues = largeur_ <= (1 << 24);
    const auto limite = static_cast<float>(largeur_);
    for (size_t i = 0; i < nombre; ++i) {
      const point_page& p = points[i];
      if (p.couleur != couleur) {
        couleur = p.couleur;
        octet = indice(couleur);
      }
      if (octet == 0) {
        range_cadre();
        refus(couleur);
      }
      if (p.y != ligne_connue) {
        range_cadre();
        ligne_connue = p.y;
        ligne = rangee(ligne_connue, y);
      }
      const double colonne = p.x;
      if (ligne && colonne >= 0 && colonne < largeur) {
        const auto x = static_cast<int32_t>(colonne);
        if (x == colonne) {
          // The dots after it of the same colour on the same row that extend the stretch by a
          // column at either end, or fall inside it (rounded, they land inside it too), leave the
          // same bytes in any order: the stretch is filled at once, a dark row being a few such
          // stretches of thousands of dots. Compared as floats, exact below 2^24 columns.
          float bas = static_cast<float>(x), haut = bas;
          size_t suivant = i + 1;
          // Scattered dots rarely have three more of their colour after them on their row: they
          // keep the one-dot way below, with no branch that their colours would mispredict.
          if (etendues && i + 3 < nombre &&
              ((points[i + 1].couleur ^ couleur) | (points[i + 2].couleur ^ couleur) |
               (points[i + 3].couleur ^ couleur)) == 0 &&
              points[i + 3].y == ligne_connue)
            for (; suivant < nombre; ++suivant) {
              const point_page& q = points[suivant];
              if (q.y != ligne_connue || q.couleur != couleur) break;
              const float autre = q.x;
              if (autre >= bas && autre <= haut) continue;
              if (autre == haut + 1 && autre < limite)
                haut = autre;
              else if (autre == bas - 1 && autre >= 0)
                bas = autre;
              else
                break;
            }
          const auto premier = static_cast<int32_t>(bas), dernier = static_cast<int32_t>(haut);
          if (premier == dernier) {
            // Most dots of a scattered page stand alone: laid without a branch on their half.
            uint8_t& paire = ligne[static_cast<size_t>(x) / 2];
            paire = static_cast<uint8_t>((paire & ~(0xF << decalage(x))) | octet << decalage(x));
          } else {
            remplit(ligne, premier, dernier, octet);
          }
          i = suivant - 1;
          x0 = premier < x0 ? premier : x0;
          x1 = dernier >= x1 ? dernier + 1 : x1;
          encree = true;
          continue;
        }
      }
      range_cadre();
      pose_arrondi(colonne, p.y, octet);
      reprend_cadre();
    }
    range_cadre();
  }

  uint8_t indice(int32_t x, int32_t y) const {
    return static_cast<uint8_t>(pixels_.get()[position(x, y)] >> decalage(x) & 0xF);
  }
  // Row y, one byte a pixel, in a buffer of the grid's own: valid until the next call, and not
  // for two threads at once.
  std::span<const uint8_t> ligne(int32_t y) const;
  // Row y as stored: (largeur() + 1) / 2 bytes, pixel 2i in the high half of byte i; an odd
  // width's last low half is 0.
  std::span<const uint8_t> paires(int32_t y) const { return {pixels_.get() + position(0, y), octets_par_ligne_}; }

  bool vide() const { return cadre_.x1 == 0; }
  // The smallest rectangle holding every dot drawn; meaningless while vide().
  const cadre_points& cadre() const { return cadre_; }

private:
  struct liberation {
    size_t taille;
    void operator()(uint8_t* p) const { libere_grande(p, taille); }
  };
  void pose_dedans(int32_t x, int32_t y, uint8_t indice) {
    pose_dans(pixels_.get(), octets_par_ligne_, cadre_, x, y, indice);
  }
  static void pose_dans(uint8_t* pixels, size_t par_ligne, cadre_points& cadre, int32_t x, int32_t y, uint8_t indice) {
    uint8_t& paire = pixels[static_cast<size_t>(y) * par_ligne + static_cast<size_t>(x) / 2];
    paire = static_cast<uint8_t>((paire & ~(0xF << decalage(x))) | indice << decalage(x));
    // Starts empty (x1 == 0) with x0 and y0 beyond any pixel, so no dot needs a test of its own.
    cadre.x0 = x < cadre.x0 ? x : cadre.x0;
    cadre.y0 = y < cadre.y0 ? y : cadre.y0;
    cadre.x1 = x >= cadre.x1 ? x + 1 : cadre.x1;
    cadre.y1 = y >= cadre.y1 ? y + 1 : cadre.y1;
  }
  void pose_arrondi(double x, double y, uint8_t indice);
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
  // For a dot at a whole row of the page: that row's bytes, and its number in `y`. Otherwise
  // nullptr: the dot is rounded, or dropped, out of line.
  uint8_t* rangee(float ordonnee, int32_t& y) {
    const double ligne = ordonnee;
    if (!(ligne >= 0 && ligne < hauteur_)) return nullptr;
    y = static_cast<int32_t>(ligne);
    if (y != ligne) return nullptr;
    return pixels_.get() + position(0, y);
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
