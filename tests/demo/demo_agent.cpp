// The agent's whole job on this machine alone: a private print server whose test printer queue is
// driverless, to an emulated IPP Everywhere printer, a local watched folder with a few generated
// job files, the real agent printing them, and every page the printer received written as a PNG.
// Everything started here is stopped before it ends.

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "app/couleurs_qt.h"
#include "intake/verrou_dossier.h"
#include "tests/support/agent_essai.h"
#include "tests/support/bmp_essai.h"
#include "tests/support/serveur_cups_prive.h"

using namespace agent::essai;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

constexpr const char* imprimante_demo = "QLS-4100 Xe drivers standard";
constexpr int resolution_demo = 300;

// A mask as they come: filled shapes and lines in the printable colours on white, and one shape
// in a colour one step away from red, which must not print.
QImage masque(int variante) {
  QImage image(640, 400, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter peintre(&image);
  peintre.setRenderHint(QPainter::Antialiasing, false);
  for (size_t i = 0; i < agent::couleurs_imprimables.size(); ++i) {
    const QColor c(agent::qrgb_de(agent::couleurs_imprimables[(i + static_cast<size_t>(variante)) % 7]));
    peintre.fillRect(20 + 85 * i, 30, 60, 60, c);
    peintre.setPen(QPen(c, 3));
    peintre.drawLine(20 + 85 * i, 120, 80 + 85 * i, 120 + 40 * variante);
  }
  peintre.fillRect(20, 260, 600, 20, QColor(0, 0, 0));
  peintre.setBrush(QColor(253, 0, 0));  // near miss: stays blank on paper
  peintre.setPen(Qt::NoPen);
  peintre.drawEllipse(QPoint(320, 340), 120 - 20 * variante, 40);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage : demo_agent AGENT DOSSIER_SURVEILLE DOSSIER_PAGES\n";
    return 2;
  }
  const std::string binaire = argv[1];
  const fs::path dossier = argv[2], pages = argv[3];
  fs::remove_all(dossier);
  fs::remove_all(pages);
  fs::create_directories(dossier);
  fs::create_directories(pages);

  serveur_cups_prive serveur;
  serveur.ajoute_file("QLS4100", imprimante_demo, pilote{resolution_demo, "A4", sorte_file::sans_pilote});
  std::cout << "Serveur d'impression privé démarré (" << serveur.socket().string() << "),\n"
            << "file QLS4100 : « " << imprimante_demo << " », sans pilote (IPP Everywhere), vers une imprimante\n"
            << "émulée en " << resolution_demo << " dpi, A4, sur la boucle locale.\n\n";

  const std::pair<const char*, int> travaux_demo[] = {
      {"plan_atelier_1.bmp2", 0}, {"etiquettes_lot_2.bmp2", 1}, {"masque_circuit_3.bmp2", 2}};
  std::cout << "Travaux déposés dans " << dossier.string() << " :\n";
  for (const auto& [nom, variante] : travaux_demo) {
    ecrit_fichier(dossier / nom, ecrit_bmp(masque(variante), 24));
    std::cout << "  " << nom << "\n";
  }

  std::cout << "\nAgent lancé sur « " << imprimante_demo << " » ; premier relevé du dossier dans 10 s…\n";
  agent_en_cours agent(binaire, dossier.parent_path(), {imprimante_demo}, true);
  const auto debut = std::chrono::steady_clock::now();
  // Empty but for the agent's own lock.
  const auto vide = [&] {
    return std::all_of(fs::directory_iterator(dossier), fs::directory_iterator(),
                       [](const fs::directory_entry& e) { return e.path().filename() == agent::nom_verrou_dossier; });
  };
  const bool fini = attend_que(
      [&] { return !agent.en_vie() || (vide() && serveur.travaux().size() == std::size(travaux_demo)); }, 90s);
  const auto duree = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - debut);
  const bool en_vie = agent.en_vie();
  agent.arrete();
  if (!fini || !en_vie) {
    std::cerr << "\nLa démonstration a échoué. Messages de l'agent :\n" << agent.erreurs();
    return 1;
  }

  // The agent prints in name order, so the jobs come in the order of the sorted names.
  std::vector<std::string> noms;
  for (const auto& [nom, variante] : travaux_demo) noms.push_back(nom);
  std::sort(noms.begin(), noms.end());
  std::cout << "Dossier vide après " << duree.count() / 1000.0 << " s. Pages reçues par l'imprimante :\n";
  size_t rang = 0;
  for (const auto& t : serveur.travaux()) {
    const auto recu = serveur.recu(t.id);
    const QImage& page = recu.page;
    const fs::path png =
        pages / ("travail_" + std::to_string(t.id) + "_" + std::to_string(recu.copies) + "_copies.png");
    page.save(QString::fromStdString(png.string()));
    int64_t points = 0;
    for (int y = 0; y < page.height(); ++y)
      for (int x = 0; x < page.width(); ++x) points += (page.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    std::cout << "  " << noms.at(rang++) << " : travail « " << recu.nom << " », " << recu.copies << " copie(s), "
              << page.width() << " × " << page.height() << " pixels, " << points << " points → " << png.string()
              << "\n";
  }
  std::cout << "\nL'ellipse de chaque masque est d'un rouge voisin (253, 0, 0) : elle ne s'imprime pas,\n"
            << "seules sept couleurs exactes deviennent des points.\n";
  std::cout << "\nServeur d'impression et agent arrêtés.\n";
  return 0;
}
