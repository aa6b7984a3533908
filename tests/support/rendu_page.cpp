#include "tests/support/rendu_page.h"

#include <cups/raster.h>

#include <QImageReader>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "tests/support/processus_essai.h"

namespace agent::essai {

namespace fs = std::filesystem;

namespace {

// `document` rendered into a PPM by `commande` (its last arguments: the input, then the output).
QImage rend(const QByteArray& document, const char* extension, std::vector<std::string> commande) {
  const fs::path dossier = dossier_temporaire("agent_rendu_");
  const fs::path entree = dossier / (std::string("page.") + extension), sortie = dossier / "page.ppm";
  ecrit_texte(entree, document.toStdString());
  const auto remplace = [](std::string& texte, const std::string& mot, const std::string& par) {
    if (const size_t i = texte.find(mot); i != std::string::npos) texte.replace(i, mot.size(), par);
  };
  for (auto& argument : commande) {
    remplace(argument, "ENTREE", entree.string());
    remplace(argument, "SORTIE", sortie.string());
    remplace(argument, "RACINE", (dossier / "page").string());  // pdftoppm adds ".ppm"
  }
  execute(commande, dossier / "journal");
  QImageReader lecteur(QString::fromStdString(sortie.string()), "PPM");
  lecteur.setAllocationLimit(0);  // a page at 600 dpi is beyond Qt's default limit
  QImage image = lecteur.read();
  fs::remove_all(dossier);
  if (image.isNull()) throw std::runtime_error("rendu de la page illisible");
  return image.convertToFormat(QImage::Format_RGB32);
}

std::vector<std::string> ghostscript(int32_t resolution) {
  return {"gs",
          "-q",
          "-dSAFER",
          "-dNOPAUSE",
          "-dBATCH",
          "-dFirstPage=1",
          "-dLastPage=1",
          "-sDEVICE=ppmraw",
          "-r" + std::to_string(resolution),
          "-dTextAlphaBits=1",
          "-dGraphicsAlphaBits=1",
          "-sOutputFile=SORTIE",
          "ENTREE"};
}

struct lecture {
  const QByteArray& octets;
  qsizetype position = 0;
};

ssize_t lit(void* source, unsigned char* octets, size_t taille) {
  auto* l = static_cast<lecture*>(source);
  const size_t n = std::min(taille, static_cast<size_t>(l->octets.size() - l->position));
  std::memcpy(octets, l->octets.constData() + l->position, n);
  l->position += static_cast<qsizetype>(n);
  return static_cast<ssize_t>(n);
}

}  // namespace

QImage rasterise_pdf(const QByteArray& pdf, int32_t resolution, rasteriseur avec) {
  if (avec == rasteriseur::ghostscript) return rend(pdf, "pdf", ghostscript(resolution));
  return rend(pdf, "pdf",
              {"pdftoppm", "-r", std::to_string(resolution), "-aa", "no", "-aaVector", "no", "-singlefile", "ENTREE",
               "RACINE"});
}

QImage rasterise_postscript(const QByteArray& postscript, int32_t resolution) {
  return rend(postscript, "ps", ghostscript(resolution));
}

std::vector<QImage> pages_pwg(const QByteArray& pwg) {
  lecture source{pwg};
  cups_raster_t* flux = cupsRasterOpenIO(lit, &source, CUPS_RASTER_READ);
  if (!flux) throw std::runtime_error("flux PWG illisible");
  std::vector<QImage> pages;
  cups_page_header2_t entete;
  while (cupsRasterReadHeader2(flux, &entete)) {
    const bool gris = entete.cupsColorSpace == CUPS_CSPACE_SW;
    if (entete.cupsBitsPerColor != 8 || (!gris && entete.cupsColorSpace != CUPS_CSPACE_SRGB)) {
      cupsRasterClose(flux);
      throw std::runtime_error("espace de couleurs PWG non pris en charge : " + std::to_string(entete.cupsColorSpace));
    }
    QImage page(static_cast<int>(entete.cupsWidth), static_cast<int>(entete.cupsHeight), QImage::Format_RGB32);
    std::vector<unsigned char> ligne(entete.cupsBytesPerLine);
    for (unsigned y = 0; y < entete.cupsHeight; ++y) {
      if (cupsRasterReadPixels(flux, ligne.data(), entete.cupsBytesPerLine) != entete.cupsBytesPerLine) {
        cupsRasterClose(flux);
        throw std::runtime_error("page PWG tronquée à la ligne " + std::to_string(y));
      }
      QRgb* cible = reinterpret_cast<QRgb*>(page.scanLine(static_cast<int>(y)));
      for (unsigned x = 0; x < entete.cupsWidth; ++x) {
        const unsigned char* p = ligne.data() + (gris ? x : 3 * x);
        cible[x] = gris ? qRgb(p[0], p[0], p[0]) : qRgb(p[0], p[1], p[2]);
      }
    }
    pages.push_back(std::move(page));
  }
  cupsRasterClose(flux);
  return pages;
}

}  // namespace agent::essai
