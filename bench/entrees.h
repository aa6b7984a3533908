#pragma once
// The pictures the benchmarks print, generated from a fixed seed so that every run, on every
// machine, measures the same pixels.

#include <QImage>
#include <QSize>
#include <string>

namespace agent::banc {

enum class sorte_entree {
  masque,     // shapes and lines in the printable colours and their near misses, on white
  noir,       // every pixel black: the most dots, two per pixel
  aleatoire,  // each pixel drawn at random among printable colours, near misses and white
};

std::string nom_entree(sorte_entree sorte);

// RGB32, opaque. The mask keeps the same share of ink and the same look at every size.
QImage genere_entree(sorte_entree sorte, QSize taille);

}  // namespace agent::banc
