#include "bench/tableau.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace agent::banc {

namespace {

// "a/b/c" → {"a", "b", "c"}.
std::vector<std::string> morceaux(const std::string& nom) {
  std::vector<std::string> parties;
  size_t debut = 0;
  for (size_t fin; (fin = nom.find('/', debut)) != std::string::npos; debut = fin + 1)
    parties.push_back(nom.substr(debut, fin - debut));
  parties.push_back(nom.substr(debut));
  return parties;
}

double en_ms(double temps, benchmark::TimeUnit unite) {
  switch (unite) {
    case benchmark::kNanosecond: return temps / 1e6;
    case benchmark::kMicrosecond: return temps / 1e3;
    case benchmark::kMillisecond: return temps;
    case benchmark::kSecond: return temps * 1e3;
  }
  return temps;
}

std::string nombre(double valeur, int decimales) {
  char texte[64];
  std::snprintf(texte, sizeof texte, "%.*f", decimales, valeur);
  return texte;
}

// Fewer decimals as the figure grows, so that every cell stays readable.
std::string lisible(double valeur) {
  if (valeur >= 100) return nombre(valeur, 0);
  if (valeur >= 10) return nombre(valeur, 1);
  return nombre(valeur, 2);
}

}  // namespace

std::string nom_benchmark(const std::string& mesure, const std::string& entree, QSize taille) {
  return mesure + "/" + entree + "/" + std::to_string(taille.width()) + "x" + std::to_string(taille.height());
}

bool tableau_resultats::ReportContext(const Context&) { return true; }

void tableau_resultats::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    const std::string nom = run.run_name.function_name;
    const auto parties = morceaux(nom);
    if (parties.size() == 3) {
      const std::pair<std::string, std::string> ligne{parties[1], parties[2]};
      if (std::find(lignes_.begin(), lignes_.end(), ligne) == lignes_.end()) lignes_.push_back(ligne);
    }
    if (run.error_occurred && run.error_message.rfind(prefixe_non_mesure, 0) == 0) {
      non_mesures_.insert(nom);
      std::cerr << "  " << nom << " : " << run.error_message << std::endl;
      continue;
    }
    if (run.error_occurred) {
      erreurs_ = true;
      std::cerr << "  " << nom << " : ÉCHEC : " << run.error_message << std::endl;
      continue;
    }
    const bool repetee = run.repetitions > 1;
    if (repetee && !(run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")) continue;
    mesure m{en_ms(run.GetAdjustedRealTime(), run.time_unit), {}};
    for (const auto& [cle, compteur] : run.counters) m.compteurs[cle] = compteur.value;
    mesures_[nom] = m;
    std::cerr << "  " << nom << (repetee ? " (médiane)" : "") << " : " << lisible(m.ms) << " ms" << std::endl;
  }
}

namespace {

// Markdown, so that a table reads the same in a terminal and in the README. The first two
// columns are names, the others figures.
void ecrit_markdown(std::ostream& sortie, const std::vector<std::string>& titres,
                    const std::vector<std::vector<std::string>>& cases) {
  std::vector<size_t> largeurs(titres.size());
  const auto longueur = [](const std::string& texte) {
    // Columns are counted in characters, not UTF-8 bytes.
    return static_cast<size_t>(std::count_if(texte.begin(), texte.end(), [](char c) { return (c & 0xC0) != 0x80; }));
  };
  for (size_t i = 0; i < titres.size(); ++i) {
    largeurs[i] = longueur(titres[i]);
    for (const auto& ligne : cases) largeurs[i] = std::max(largeurs[i], longueur(ligne[i]));
  }
  const auto ecrit_ligne = [&](const std::vector<std::string>& ligne) {
    sortie << "|";
    for (size_t i = 0; i < ligne.size(); ++i) {
      const std::string marge(largeurs[i] - longueur(ligne[i]), ' ');
      sortie << " " << (i < 2 ? ligne[i] + marge : marge + ligne[i]) << " |";
    }
    sortie << "\n";
  };
  ecrit_ligne(titres);
  sortie << "|";
  for (size_t i = 0; i < titres.size(); ++i)
    sortie << (i < 2 ? ":" : "-") << std::string(largeurs[i], '-') << (i < 2 ? "-" : ":") << "|";
  sortie << "\n";
  for (const auto& ligne : cases) ecrit_ligne(ligne);
}

}  // namespace

void tableau_resultats::ecrit(std::ostream& sortie, const std::string& legende, const std::string& note_reference,
                              const std::string& legende_imprimante) const {
  const std::vector<std::string> titres = {"entrée",
                                           "taille",
                                           "points M",
                                           "trame Mpx/s",
                                           "PDF agent ms",
                                           "PDF agent Ko",
                                           "PDF réf. ms",
                                           "PDF réf. Ko",
                                           "temps réf./agent",
                                           "taille réf./agent",
                                           "travail complet ms (médiane)",
                                           "ns/px",
                                           "RSS max Mo",
                                           "plancher ms",
                                           "travail/plancher",
                                           "ajoutée/fichier"};

  std::vector<std::vector<std::string>> cases;
  bool reference_absente = false;
  for (const auto& [entree, taille] : lignes_) {
    const auto trouve = [&](const char* quoi) -> const mesure* {
      auto it = mesures_.find(std::string(quoi) + "/" + entree + "/" + taille);
      return it == mesures_.end() ? nullptr : &it->second;
    };
    const auto compteur = [](const mesure* m, const char* cle) {
      if (!m) return std::nan("");
      auto it = m->compteurs.find(cle);
      return it == m->compteurs.end() ? std::nan("") : it->second;
    };
    const auto cellule = [](double valeur, const std::string& suffixe = "") {
      return std::isnan(valeur) ? std::string("–") : lisible(valeur) + suffixe;
    };
    const bool reference_non_mesuree =
        non_mesures_.count(std::string(mesure_pdf_reference) + "/" + entree + "/" + taille) > 0;
    const mesure* trame = trouve(mesure_trame);
    const mesure* agent = trouve(mesure_pdf_agent);
    const mesure* reference = trouve(mesure_pdf_reference);
    const mesure* travail = trouve(mesure_travail);
    const mesure* memoire = trouve(mesure_memoire);
    const mesure* plancher = trouve(mesure_plancher);
    const double ms_travail = travail ? travail->ms : std::nan("");
    const double ms_plancher = plancher ? plancher->ms : std::nan("");
    const auto un_pixel = mesures_.find(nom_memoire_un_pixel(static_cast<int>(compteur(memoire, compteur_resolution))));
    const double memoire_un_pixel =
        un_pixel == mesures_.end() ? std::nan("") : compteur(&un_pixel->second, compteur_memoire);
    const double pixels = compteur(trame ? trame : travail, compteur_pixels);
    const double ms_agent = agent ? agent->ms : std::nan("");
    const double ms_reference = reference ? reference->ms : std::nan("");
    const double ko_agent = compteur(agent, compteur_octets) / 1024;
    const double ko_reference = compteur(reference, compteur_octets) / 1024;
    if (reference_non_mesuree) reference_absente = true;
    cases.push_back({
        entree,
        taille,
        cellule(compteur(trame, compteur_points) / 1e6),
        cellule(trame ? pixels / (trame->ms * 1e3) : std::nan("")),
        cellule(ms_agent),
        cellule(ko_agent),
        reference_non_mesuree ? "non mesuré¹" : cellule(ms_reference),
        reference_non_mesuree ? "non mesuré¹" : cellule(ko_reference),
        cellule(ms_reference / ms_agent, "×"),
        cellule(ko_reference / ko_agent, "×"),
        cellule(ms_travail),
        cellule(ms_travail * 1e6 / pixels),
        cellule(compteur(memoire, compteur_memoire) / (1024 * 1024)),
        cellule(ms_plancher),
        cellule(ms_travail / ms_plancher, "×"),
        cellule((compteur(memoire, compteur_memoire) - memoire_un_pixel) / compteur(plancher, compteur_octets_fichier),
                "×"),
    });
  }

  ecrit_markdown(sortie, titres, cases);
  sortie << "\n" << legende << "\n";
  if (reference_absente) sortie << "\n¹ " << note_reference << "\n";

  std::vector<std::vector<std::string>> chemins;
  for (const auto& [entree, taille] : lignes_) {
    for (const auto& [mesure_chemin, chemin] :
         {std::pair{mesure_imprimante_pwg, "sans pilote : PWG raster"},
          std::pair{mesure_imprimante_pdf, "sans pilote : PDF, filtres du serveur"},
          std::pair{mesure_pilote_raster, "pilote raster : CUPS raster"},
          std::pair{mesure_pilote_pdf, "pilote raster : PDF, filtres du serveur"}}) {
      const auto it = mesures_.find(std::string(mesure_chemin) + "/" + entree + "/" + taille);
      if (it == mesures_.end()) continue;
      const mesure& m = it->second;
      const auto compteur = [&](const char* cle) {
        const auto c = m.compteurs.find(cle);
        return c == m.compteurs.end() ? std::nan("") : c->second;
      };
      const double faux = compteur(compteur_pixels_faux);
      chemins.push_back({entree + " " + taille, chemin, lisible(m.ms), lisible(compteur(compteur_octets) / 1024),
                         lisible(compteur(compteur_octets_recus) / 1024),
                         faux < 0    ? "taille fausse"
                         : faux == 0 ? "exacte"
                                     : nombre(faux, 0) + " pixels faux"});
    }
  }
  if (chemins.empty()) return;
  sortie << "\n";
  ecrit_markdown(
      sortie,
      {"entrée", "chemin", "jusqu'à l'imprimante ms (médiane)", "envoyé Ko", "reçu par l'imprimante Ko", "page reçue"},
      chemins);
  sortie << "\n" << legende_imprimante << "\n";
}

}  // namespace agent::banc
