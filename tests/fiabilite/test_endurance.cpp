// A long run: 300 jobs waiting when the agent starts and 50 more dropped while it prints them.
// Every job must reach the spooler exactly once, with its own copies and its own picture, in name
// order within each poll, and the folder must end empty. The folder's deletion events give the
// order in which the agent finished the files; the scheduler's job ids give the order in which
// it submitted them. One agent prints one job at a time, so the two lists pair up one to one.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "tests/fiabilite/banc_agent.h"
#include "tests/fiabilite/observateur_dossier.h"
#include "tests/support/bmp_essai_qt.h"

using namespace agent::essai;
using namespace std::chrono_literals;

namespace {

constexpr int au_depart = 300;
constexpr int en_cours = 50;
constexpr int largeur_motif = 100;

struct job_endurance {
  std::string nom;
  int numero;
  int copies;
};

// Letter case alternates, so that a listing ordered by bytes rather than by name would differ.
// The 50 late ones sort among the first 300: a second listing inside the first poll would show.
job_endurance job(int numero) {
  const bool tardif = numero >= au_depart;
  const int copies = 1 + (numero * 7) % 5;
  char nom[64];
  std::snprintf(nom, sizeof nom, "%c%03d%s_endurance_%d.bmp2", numero % 2 ? 'T' : 't',
                tardif ? (numero - au_depart) * 6 : numero, tardif ? "b" : "", copies);
  return {nom, numero, copies};
}

// One red dot whose place tells the job's number.
QByteArray picture(int numero) {
  QImage image(largeur_motif, (au_depart + en_cours) / largeur_motif + 1, QImage::Format_RGB32);
  image.fill(Qt::white);
  image.setPixel(numero % largeur_motif, numero / largeur_motif, qRgb(255, 0, 0));
  return ecrit_bmp(image, 24);
}

int numero_sur_la_page(const QByteArray& pdf) {
  const auto points = points_page(pdf);
  if (points.size() != 1 || points.begin()->second != 0xFF0000) return -1;
  const auto [x, y] = points.begin()->first;
  return (y - 20) * largeur_motif + (x - 60);
}

// Ordered by name regardless of case (numbers are written the same width, so this is simple).
std::vector<std::string> par_nom(std::vector<job_endurance> jobs) {
  std::vector<std::string> noms;
  for (const auto& j : jobs) noms.push_back(j.nom);
  std::sort(noms.begin(), noms.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
      return std::tolower(x) < std::tolower(y);
    });
  });
  return noms;
}

// A record of 350 jobs is longer than a test run's output keeps: its lines other than printed jobs,
// and how many those were.
std::string sauf_imprimes(const std::string& journal) {
  std::string reste;
  int imprimes = 0;
  for (size_t debut = 0, fin = 0; debut < journal.size(); debut = fin + 1) {
    fin = std::min(journal.find('\n', debut), journal.size());
    const std::string ligne = journal.substr(debut, fin - debut);
    if (ligne.find(" : imprimé : ") != std::string::npos)
      ++imprimes;
    else
      reste += ligne + "\n";
  }
  return std::to_string(imprimes) + " travaux imprimés\n" + reste;
}

}  // namespace

TEST(Endurance, EveryJobPrintedOnceWithItsCopiesInNameOrderWithinEachPoll) {
  banc_agent banc;
  std::vector<job_endurance> premiers, tardifs;
  std::map<std::string, job_endurance> par_fichier;
  for (int i = 0; i < au_depart + en_cours; ++i) {
    const job_endurance j = job(i);
    (i < au_depart ? premiers : tardifs).push_back(j);
    par_fichier.emplace(j.nom, j);
  }
  ASSERT_EQ(par_fichier.size(), static_cast<size_t>(au_depart + en_cours));
  for (const auto& j : premiers) banc.depose(j.nom, picture(j.numero));

  observateur_dossier observateur(banc.dossier(), IN_DELETE);
  banc.lance();
  // An agent that ended ends the wait, and the case, with its exit code and record. Both waits stay
  // well inside the test's time limit, which would kill the case before it prints anything.
  const auto attend_suppressions = [&](size_t n, std::chrono::seconds delai) {
    const bool atteint = observateur.attend(
        [&](const auto& evenements) { return evenements.size() >= n || !banc.agent().en_vie(); }, delai);
    if (atteint && banc.agent().en_vie()) return testing::AssertionSuccess();
    const int code = banc.agent().code_sortie();
    return testing::AssertionFailure() << (code < 0 ? "agent en cours" : "agent arrêté, code " + std::to_string(code))
                                       << "\n"
                                       << sauf_imprimes(banc.agent().erreurs());
  };
  ASSERT_TRUE(attend_suppressions(10, attente_agent));
  for (const auto& j : tardifs) banc.depose(j.nom, picture(j.numero));
  const auto arrives = observateur.noms(IN_DELETE).size();
  EXPECT_LT(arrives, static_cast<size_t>(au_depart)) << "le premier relevé a fini avant les arrivées";

  ASSERT_TRUE(attend_suppressions(au_depart + en_cours, 150s));
  EXPECT_TRUE(banc.restants().empty());
  EXPECT_EQ(banc.agent().erreurs().find("Erreur"), std::string::npos) << sauf_imprimes(banc.agent().erreurs());

  // The first poll's snapshot in name order, then the second one's.
  std::vector<std::string> ordre_attendu = par_nom(premiers);
  const std::vector<std::string> seconds = par_nom(tardifs);
  ordre_attendu.insert(ordre_attendu.end(), seconds.begin(), seconds.end());
  const std::vector<std::string> supprimes = observateur.noms(IN_DELETE);
  EXPECT_EQ(supprimes, ordre_attendu);

  const auto travaux = banc.serveur.travaux();
  ASSERT_EQ(travaux.size(), supprimes.size()) << "autant de travaux que de fichiers, ni plus ni moins";
  for (size_t k = 0; k < travaux.size(); ++k) {
    const job_endurance& j = par_fichier.at(supprimes[k]);
    EXPECT_EQ(travaux[k].copies, j.copies) << j.nom;
    EXPECT_EQ(travaux[k].file, file_agent) << j.nom;
    EXPECT_NE(travaux[k].etat, etat_travail::annule) << j.nom;
    EXPECT_NE(travaux[k].etat, etat_travail::abandonne) << j.nom;
  }
  // The pictures themselves, on a sample spread over both polls.
  for (size_t k : {size_t{0}, size_t{1}, size_t{150}, size_t{299}, size_t{300}, size_t{349}}) {
    ASSERT_LT(k, travaux.size());
    EXPECT_EQ(numero_sur_la_page(banc.serveur.document(travaux[k].id)), par_fichier.at(supprimes[k]).numero)
        << "travail " << travaux[k].id << " (" << supprimes[k] << ")";
  }
}
