// Writes the seed corpus of the harnesses into DOSSIER/nombre_copies and DOSSIER/image: job
// names of every form the copy-count rules know, and pictures of every kind the loader meets,
// sound and broken. The fuzzer starts from these rather than from nothing.
//
//   graines_fuzz DOSSIER

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/couleurs_qt.h"
#include "tests/support/bmp_essai_qt.h"

namespace fs = std::filesystem;
using agent::essai::ecrit_bmp;
using agent::essai::encode_avec_qt;

namespace {

void ajoute_le(QByteArray& octets, uint32_t valeur, int taille) {
  for (int i = 0; i < taille; ++i) octets.append(static_cast<char>((valeur >> (8 * i)) & 0xFF));
}

// Every printable colour and a few that are not, on 4 × 3 pixels.
QImage motif() {
  QImage image(4, 3, QImage::Format_ARGB32);
  const QRgb autres[] = {qRgb(255, 255, 255), qRgb(253, 0, 0), qRgb(0, 254, 0), qRgba(255, 0, 0, 128),
                         qRgba(0, 0, 0, 0)};
  for (int i = 0; i < 12; ++i) {
    const size_t n = agent::couleurs_imprimables.size();
    image.setPixel(i % 4, i / 4,
                   static_cast<size_t>(i) < n ? agent::qrgb_de(agent::couleurs_imprimables[static_cast<size_t>(i)])
                                              : autres[static_cast<size_t>(i) - n]);
  }
  return image;
}

// Few enough colours for a 1-bit palette.
QImage deux_couleurs() {
  QImage image(9, 2, QImage::Format_RGB32);
  image.fill(Qt::white);
  for (int x = 0; x < 9; x += 2) image.setPixel(x, x % 4 == 0 ? 0 : 1, qRgb(0, 0, 0));
  return image;
}

// The oldest bitmap header (12 bytes, 16-bit sizes), 2 × 2 at 24 bits.
QByteArray bmp_os2() {
  QByteArray octets("BM");
  ajoute_le(octets, 14 + 12 + 16, 4);
  ajoute_le(octets, 0, 4);
  ajoute_le(octets, 14 + 12, 4);
  ajoute_le(octets, 12, 4);
  ajoute_le(octets, 2, 2);
  ajoute_le(octets, 2, 2);
  ajoute_le(octets, 1, 2);
  ajoute_le(octets, 24, 2);
  for (const char* ligne : {"\x00\x00\xFF\xFF\xFF\xFF\x00\x00", "\x00\x00\x00\x00\xFF\x00\x00\x00"})
    octets.append(ligne, 8);
  return octets;
}

// A 3 × 2 run-length encoded bitmap of `bits` (8 or 4) with the palette red and white.
QByteArray bmp_rle(uint16_t bits, const QByteArray& donnees) {
  QByteArray octets("BM");
  const uint32_t debut = 14 + 40 + 8;
  ajoute_le(octets, debut + static_cast<uint32_t>(donnees.size()), 4);
  ajoute_le(octets, 0, 4);
  ajoute_le(octets, debut, 4);
  for (uint32_t champ : {40u, 3u, 2u}) ajoute_le(octets, champ, 4);
  ajoute_le(octets, 1, 2);
  ajoute_le(octets, bits, 2);
  const uint32_t compression = bits == 8 ? 1 : 2;
  for (uint32_t champ : {compression, static_cast<uint32_t>(donnees.size()), 2835u, 2835u, 2u, 0u})
    ajoute_le(octets, champ, 4);
  ajoute_le(octets, 0x000000FF, 4);  // palette entries are blue, green, red, 0
  ajoute_le(octets, 0x00FFFFFF, 4);
  return octets + donnees;
}

QByteArray bmp_rle8() { return bmp_rle(8, QByteArray("\x02\x00\x01\x01\x00\x00\x03\x01\x00\x00\x00\x01", 12)); }

QByteArray bmp_rle4() { return bmp_rle(4, QByteArray("\x02\x00\x01\x11\x00\x00\x00\x03\x10\x10\x00\x00\x00\x01", 14)); }

// Some writers leave the pixel offset at 0.
QByteArray sans_decalage(QByteArray octets) {
  for (int i = 10; i < 14; ++i) octets[i] = 0;
  return octets;
}

// 16 bits with 5-6-5 bit fields, 2 × 1: pure red then pure green.
QByteArray bmp_565() {
  QByteArray octets("BM");
  const uint32_t debut = 14 + 40 + 12;
  ajoute_le(octets, debut + 4, 4);
  ajoute_le(octets, 0, 4);
  ajoute_le(octets, debut, 4);
  for (uint32_t champ : {40u, 2u, 1u}) ajoute_le(octets, champ, 4);
  ajoute_le(octets, 1, 2);
  ajoute_le(octets, 16, 2);
  for (uint32_t champ : {3u, 4u, 2835u, 2835u, 0u, 0u, 0xF800u, 0x07E0u, 0x001Fu}) ajoute_le(octets, champ, 4);
  ajoute_le(octets, 0xF800, 2);
  ajoute_le(octets, 0x07E0, 2);
  return octets;
}

// 1 × 1, one red pixel.
QByteArray gif() {
  return QByteArray(
      "GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\x00\x00\x00\x00\x00"
      ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
      35);
}

QByteArray dimensions(QByteArray octets, uint32_t largeur, uint32_t hauteur) {
  for (int i = 0; i < 4; ++i) {
    octets[18 + i] = static_cast<char>((largeur >> (8 * i)) & 0xFF);
    octets[22 + i] = static_cast<char>((hauteur >> (8 * i)) & 0xFF);
  }
  return octets;
}

void ecrit(const fs::path& chemin, const QByteArray& octets) {
  QFile fichier(QString::fromStdString(chemin.string()));
  if (!fichier.open(QIODevice::WriteOnly) || fichier.write(octets) != octets.size()) {
    std::fprintf(stderr, "graines_fuzz : écriture impossible : %s\n", chemin.c_str());
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage : graines_fuzz DOSSIER\n");
    return 2;
  }
  const fs::path dossier = argv[1];
  fs::create_directories(dossier / "nombre_copies");
  fs::create_directories(dossier / "image");

  const std::vector<std::string> noms = {
      "A_B_3.bmp2",    "a_12_1_x.bmp2",   "a_b_&H10.bmp2",
      "a_b_&o17.bmp2", "a_b_1E400.bmp2",  "a_b_2.5.bmp2",
      "a_b_3.5.bmp2",  "a_b_-1.bmp2",     "a_b_ 1 2\t.bmp2",
      "A_B.bmp2",      "a_b_1D3_c.bmp2",  "a_b_.5e-3.bmp2",
      "a_b_+0032767",  "a_b_-32768.49",   "a_b_x.bmp2",
      "a_b_&H8000",    "a_b_1e-400.bmp2", "a_b_00000000000000000000000000000001e-20"};
  for (size_t i = 0; i < noms.size(); ++i)
    ecrit(dossier / "nombre_copies" / ("nom_" + std::to_string(i)), QByteArray::fromStdString(noms[i]));

  const QImage image = motif();
  const QImage opaque = image.convertToFormat(QImage::Format_RGB32);
  std::vector<std::pair<std::string, QByteArray>> images = {
      {"bmp1", ecrit_bmp(deux_couleurs(), 1)},
      {"bmp4", ecrit_bmp(deux_couleurs(), 4)},
      {"bmp8", ecrit_bmp(opaque, 8)},
      {"bmp16", ecrit_bmp(opaque, 16)},
      {"bmp24", ecrit_bmp(opaque, 24)},
      {"bmp24_haut_en_bas", ecrit_bmp(opaque, 24, true)},
      {"bmp32", ecrit_bmp(opaque, 32)},
      {"bmp32_alpha", ecrit_bmp(image, 32, false, true)},
      {"bmp_os2", bmp_os2()},
      {"bmp_rle8", bmp_rle8()},
      {"bmp_rle4", bmp_rle4()},
      {"bmp24_sans_decalage", sans_decalage(ecrit_bmp(opaque, 24))},
      {"bmp_565", bmp_565()},
      // Bit fields of every width and place, alpha included, and palettes cut short.
      {"bmp16_4444_alpha", ecrit_bmp(image, 16, {.masques = {0x0F00, 0x00F0, 0x000F, 0xF000}})},
      {"bmp32_101010_2", ecrit_bmp(image, 32, {.masques = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}})},
      {"bmp32_111110",
       ecrit_bmp(opaque, 32, {.masques = {0xFFE00000, 0x001FFC00, 0x000003FF, 0}, .taille_entete = 40})},
      {"bmp8_palette_courte", ecrit_bmp(opaque, 8, {.entrees_palette = 12, .couleurs_annoncees = 256})},
      {"bmp24_tronque", ecrit_bmp(opaque, 24).chopped(7)},
      {"bmp_entete_seul", ecrit_bmp(opaque, 24).left(54)},
      {"bmp_60000_sur_60000", dimensions(ecrit_bmp(opaque, 24).left(54), 60000, 60000)},
      {"bmp_largeur_negative", dimensions(ecrit_bmp(opaque, 24), 0xFFFFFFFC, 3)},
      {"png", encode_avec_qt(image, "PNG")},
      {"png_tronque", encode_avec_qt(image, "PNG").chopped(20)},
      {"gif", gif()},
      {"gif_tronque", gif().chopped(4)},
      {"vide", QByteArray()},
      {"texte", QByteArray("Ceci n'est pas une image.\n")},
  };
  for (const auto& [nom, octets] : images) ecrit(dossier / "image" / nom, octets);
  return 0;
}
