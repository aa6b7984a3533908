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

std::vector<QImage> pages_raster(const QByteArray& raster) {
  lecture source{raster};
  cups_raster_t* flux = cupsRasterOpenIO(lit, &source, CUPS_RASTER_READ);
  if (!flux) throw std::runtime_error("flux raster illisible");
  std::vector<QImage> pages;
  cups_page_header2_t e;
  while (cupsRasterReadHeader2(flux, &e)) {
    const cups_cspace_t espace = e.cupsColorSpace;
    const bool gris = espace == CUPS_CSPACE_SW || espace == CUPS_CSPACE_W, noir = espace == CUPS_CSPACE_K;
    const bool rvb = espace == CUPS_CSPACE_SRGB || espace == CUPS_CSPACE_RGB;
    const bool encres = espace == CUPS_CSPACE_CMY || espace == CUPS_CSPACE_CMYK || espace == CUPS_CSPACE_KCMY || noir;
    const unsigned n = gris || noir ? 1 : espace == CUPS_CSPACE_CMYK || espace == CUPS_CSPACE_KCMY ? 4 : 3;
    const unsigned bits = e.cupsBitsPerPixel;
    if (e.cupsColorOrder != CUPS_ORDER_CHUNKED || !(gris || rvb || encres) ||
        !(e.cupsBitsPerColor == 8 || (e.cupsBitsPerColor == 1 && encres))) {
      cupsRasterClose(flux);
      throw std::runtime_error("page raster non prise en charge : espace " + std::to_string(espace) + ", " +
                               std::to_string(e.cupsBitsPerColor) + " bits");
    }
    QImage page(static_cast<int>(e.cupsWidth), static_cast<int>(e.cupsHeight), QImage::Format_RGB32);
    std::vector<unsigned char> ligne(e.cupsBytesPerLine);
    for (unsigned y = 0; y < e.cupsHeight; ++y) {
      if (cupsRasterReadPixels(flux, ligne.data(), e.cupsBytesPerLine) != e.cupsBytesPerLine) {
        cupsRasterClose(flux);
        throw std::runtime_error("page raster tronquée à la ligne " + std::to_string(y));
      }
      QRgb* cible = reinterpret_cast<QRgb*>(page.scanLine(static_cast<int>(y)));
      for (unsigned x = 0; x < e.cupsWidth; ++x) {
        unsigned v[4] = {};  // the pixel's colours in the stream's order, full scale 255
        for (unsigned c = 0; c < n; ++c) {
          if (e.cupsBitsPerColor == 8) {
            v[c] = ligne[x * n + c];
          } else {  // the pixel's field, its first colour in the highest used bit
            const unsigned bit = x * bits;
            v[c] = (ligne[bit / 8] >> (8 - bits - bit % 8 + n - 1 - c) & 1) * 255;
          }
        }
        if (gris) {
          cible[x] = qRgb(static_cast<int>(v[0]), static_cast<int>(v[0]), static_cast<int>(v[0]));
        } else if (rvb) {
          cible[x] = qRgb(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]));
        } else {
          const bool k_devant = espace == CUPS_CSPACE_KCMY;
          const unsigned k = noir ? v[0] : n == 4 ? v[k_devant ? 0 : 3] : 0;
          const unsigned* cmj = noir ? nullptr : v + (k_devant ? 1 : 0);
          const auto canal = [&](unsigned i) { return static_cast<int>(255 - std::min(255u, (cmj ? cmj[i] : 0) + k)); };
          cible[x] = qRgb(canal(0), canal(1), canal(2));
        }
      }
    }
    pages.push_back(std::move(page));
  }
  cupsRasterClose(flux);
  return pages;
}

QImage par_encres(const QImage& page) {
  QImage encres = page.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < encres.height(); ++y) {
    QRgb* p = reinterpret_cast<QRgb*>(encres.scanLine(y));
    for (int x = 0; x < encres.width(); ++x) {
      const auto plein = [](int c) { return c >= 128 ? 255 : 0; };
      p[x] = qRgb(plein(qRed(p[x])), plein(qGreen(p[x])), plein(qBlue(p[x])));
    }
  }
  return encres;
}

}  // namespace agent::essai
