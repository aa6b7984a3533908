#include "app/verification_image.h"

#include <cstdint>
#include <cstdlib>

#include "app/entete_bmp.h"
#include "core/erreur.h"

namespace agent {

namespace {

[[noreturn]] void tronque(const std::string& chemin, const std::string& quoi) {
  throw erreur(code_erreur::image_incorrecte, chemin + " : " + quoi);
}

// Follows the run-length data the way the format defines it. The decoder leaves every pixel the
// data does not set as whatever memory held, without a word, and writes a run that crosses the
// end of a row over the row drawn before: only data that sets each pixel exactly once, row after
// row, may print.
void verifie_rle(QIODevice& fichier, const entete_bmp& entete, const std::string& chemin) {
  fichier.seek(entete.debut_donnees());
  const QByteArray contenu = fichier.readAll();
  const auto* octets = reinterpret_cast<const uint8_t*>(contenu.constData());
  const int64_t fin = contenu.size();
  const int64_t largeur = std::abs(entete.largeur), hauteur = std::abs(entete.hauteur);
  const bool quatre_bits = entete.compression == 2;
  const auto non_definis = [&] { tronque(chemin, "données RLE incomplètes : pixels non définis"); };
  const auto avance = [&](int64_t& x, int64_t pixels) {
    if (x + pixels > largeur) tronque(chemin, "données RLE incorrectes : série au-delà de la ligne");
    x += pixels;
  };

  int64_t x = 0, y = 0, position = 0;
  while (y < hauteur) {
    if (position + 2 > fin) non_definis();
    const uint8_t compte = octets[position], code = octets[position + 1];
    position += 2;
    if (compte > 0) {  // `compte` pixels of one value
      avance(x, compte);
      continue;
    }
    switch (code) {
      case 0:  // end of the row
        if (x < largeur) non_definis();
        x = 0;
        ++y;
        break;
      case 1:  // end of the picture
        if (y < hauteur - 1 || x < largeur) non_definis();
        y = hauteur;
        break;
      case 2:  // a jump: the pixels passed over are left unset
        non_definis();
        break;
      default: {  // `code` values as they are, padded to an even number of bytes
        avance(x, code);
        int64_t valeurs = quatre_bits ? (code + 1) / 2 : code;
        valeurs += valeurs % 2;
        if (position + valeurs > fin) non_definis();
        position += valeurs;
      }
    }
  }
}

void verifie_bmp(QIODevice& fichier, const std::string& chemin) {
  const entete_bmp entete = lit_entete_bmp(fichier, chemin);
  verifie_dimensions(entete.largeur, entete.hauteur, chemin);
  if (fichier.size() < entete.taille_attendue()) {
    tronque(chemin, "données tronquées (" + std::to_string(fichier.size()) + " octets sur " +
                        std::to_string(entete.taille_attendue()) + " annoncés)");
  }
  if ((entete.compression == 1 && entete.bits == 8) || (entete.compression == 2 && entete.bits == 4))
    verifie_rle(fichier, entete, chemin);
}

// Walks the GIF blocks up to the trailer; a file that ends before it is cut short. The first
// picture must also cover its whole screen unless it is transparent: the decoder paints the rest
// with a palette entry it may not have read yet, that is with whatever memory held.
void verifie_gif(QIODevice& fichier, const std::string& chemin) {
  const QByteArray octets = fichier.readAll();
  const int fin = static_cast<int>(octets.size());
  auto octet = [&](int position) -> uint8_t {
    if (position >= fin) tronque(chemin, "données GIF tronquées");
    return static_cast<uint8_t>(octets[position]);
  };
  auto mot = [&](int position) { return octet(position) | octet(position + 1) << 8; };
  auto saute_sous_blocs = [&](int position) {
    for (uint8_t taille; (taille = octet(position)) != 0;) position += taille + 1;
    return position + 1;
  };
  const int largeur_ecran = mot(6), hauteur_ecran = mot(8);
  const uint8_t ecran = octet(10);
  int position = 13 + ((ecran & 0x80) ? 3 << ((ecran & 7) + 1) : 0);
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
        const bool couvre = mot(position + 1) == 0 && mot(position + 3) == 0 &&
                            mot(position + 5) >= largeur_ecran && mot(position + 7) >= hauteur_ecran;
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

}  // namespace

void verifie_dimensions(int64_t largeur, int64_t hauteur, const std::string& chemin) {
  if (std::abs(largeur) * std::abs(hauteur) > pixels_image_max) {
    throw erreur(code_erreur::memoire_insuffisante,
                 chemin + " : image de " + std::to_string(std::abs(largeur)) + " × " +
                     std::to_string(std::abs(hauteur)) + " pixels, au-delà d'une page A3 à 600 dpi");
  }
}

void verifie_image_complete(QIODevice& fichier, const QByteArray& format, const std::string& chemin) {
  // The decoder may already have read the header: read from the start, then put it back.
  const qint64 position = fichier.pos();
  if (format == "bmp") verifie_bmp(fichier, chemin);
  if (format == "gif") {
    fichier.seek(0);
    verifie_gif(fichier, chemin);
  }
  fichier.seek(position);
}

}  // namespace agent
