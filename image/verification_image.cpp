#include "image/verification_image.h"

#include <cstdint>
#include <cstdlib>

#include "core/erreur.h"

namespace agent {

namespace {

[[noreturn]] void tronque(const std::string& chemin, const std::string& quoi) {
  throw erreur(code_erreur::image_incorrecte, chemin + " : " + quoi);
}

}  // namespace

void verifie_dimensions(int64_t largeur, int64_t hauteur, const std::string& chemin) {
  if (std::abs(largeur) * std::abs(hauteur) > pixels_image_max) {
    throw erreur(code_erreur::memoire_insuffisante, chemin + " : image de " + std::to_string(std::abs(largeur)) +
                                                        " × " + std::to_string(std::abs(hauteur)) +
                                                        " pixels, au-delà d'une page A3 à 600 dpi");
  }
}

void verifie_bmp_complet(const entete_bmp& entete, int64_t taille, const std::string& chemin) {
  verifie_dimensions(entete.largeur, entete.hauteur, chemin);
  if (taille < entete.taille_attendue()) {
    tronque(chemin, "données tronquées (" + std::to_string(taille) + " octets sur " +
                        std::to_string(entete.taille_attendue()) + " annoncés)");
  }
}

// Walks the GIF blocks up to the trailer; a file that ends before it is cut short. The first
// picture must also cover its whole screen unless it is transparent: the platform's decoder may
// paint the rest with a palette entry it has not read yet, that is with whatever memory held.
void verifie_gif_complet(std::span<const uint8_t> contenu, const std::string& chemin) {
  const auto fin = static_cast<int64_t>(contenu.size());
  auto octet = [&](int64_t position) -> uint8_t {
    if (position >= fin) tronque(chemin, "données GIF tronquées");
    return contenu[static_cast<size_t>(position)];
  };
  auto mot = [&](int64_t position) { return octet(position) | octet(position + 1) << 8; };
  auto saute_sous_blocs = [&](int64_t position) {
    for (uint8_t taille; (taille = octet(position)) != 0;) position += taille + 1;
    return position + 1;
  };
  const int largeur_ecran = mot(6), hauteur_ecran = mot(8);
  const uint8_t ecran = octet(10);
  int64_t position = 13 + ((ecran & 0x80) ? 3 << ((ecran & 7) + 1) : 0);
  bool transparente = false, premiere = true;
  for (;;) {
    switch (octet(position)) {
      case 0x3B: return;
      case 0x21:
        // The graphic control block says whether the next picture has a transparent colour.
        if (octet(position + 1) == 0xF9 && octet(position + 2) >= 1) transparente = octet(position + 3) & 1;
        position = saute_sous_blocs(position + 2);
        break;
      case 0x2C: {
        const bool couvre = mot(position + 1) == 0 && mot(position + 3) == 0 && mot(position + 5) >= largeur_ecran &&
                            mot(position + 7) >= hauteur_ecran;
        if (premiere && !couvre && !transparente)
          tronque(chemin, "image GIF qui ne couvre pas tout son écran, sans transparence");
        premiere = false;
        const uint8_t image = octet(position + 9);
        position += 10 + ((image & 0x80) ? 3 << ((image & 7) + 1) : 0);
        position = saute_sous_blocs(position + 1);
        break;
      }
      default: tronque(chemin, "structure GIF incorrecte");
    }
  }
}

}  // namespace agent
