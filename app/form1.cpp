#include "app/form1.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <new>

#include "app/boite_image.h"
#include "app/message_fatal.h"
#include "app/registres_avx.h"
#include "core/erreur.h"
#include "intake/releve.h"

namespace agent {

namespace {

// The window stays live meanwhile. A wait that ends before its time was ended with the
// application (a fatal error in a click meanwhile, the window closed): the poll must not go on
// printing.
bool patiente(std::chrono::milliseconds duree) {
  QEventLoop boucle;
  bool a_terme = false;
  QTimer::singleShot(duree, Qt::PreciseTimer, &boucle, [&] {
    a_terme = true;
    boucle.quit();
  });
  boucle.exec();
  return a_terme;
}

}  // namespace

Form1::Form1(service_imprimante& imprimante, reglages r)
    : imprimante_(imprimante),
      reglages_(std::move(r)),
      verrou_(reglages_.dossier_surveille, reglages_.delai_abandon_verrou) {
  setWindowTitle("Form1");
  // Another agent's lock, seen now, proves live or stale from the first poll on.
  verrou_.observe();
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  resize(1055, 561);

  Command1 = new QPushButton("Command1", this);
  Command1->setGeometry(8, 20, 81, 29);
  Picture1 = new boite_image(1301, 947, this);
  Picture1->move(108, 20);
  File1 = new QListWidget(this);
  File1->setGeometry(12, 72, 73, 84);
  setTabOrder(Command1, Picture1);
  setTabOrder(Picture1, File1);

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  Timer1 = new QTimer(this);
  Timer1->setInterval(intervalle_releve_ms);
  Timer1->setTimerType(Qt::PreciseTimer);  // a coarse timer may tick up to half a second early
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
  Timer1->start();
}

poste_impression Form1::poste() { return {imprimante_, printerDialog, Picture1->surface(), *this, dans_la_trame_}; }

void Form1::lance_impression(const int16_t& qte) {
  auto p = poste();
  imprime_travail(p, reglages_.ligne_de_commande(), qte);
}

void Form1::Timer1_Timer() {
  traite_evenement([this] {
    const auto laisses =
        releve_dossier(reglages_.dossier_surveille,
                       {.affiche_liste =
                            [this](const std::vector<std::string>& noms) {
                              File1->clear();
                              for (const auto& nom : noms) File1->addItem(QString::fromStdString(nom));
                            },
                        .active_minuterie = [this](bool active) { active ? Timer1->start() : Timer1->stop(); },
                        .charge_apercu = [this](const std::string& chemin) { Picture1->charge(chemin); },
                        .lance_impression = [this](const int16_t& qte) { lance_impression(qte); },
                        .patiente = patiente,
                        .tient_dossier = [this] { return verrou_.tient(); },
                        .decrit_impression = [this] { return decrit_envoi(imprimante_.dernier_envoi()); },
                        .empreinte_apercu = [this] { return Picture1->surface().empreinte(); },
                        .spouleur = &imprimante_,
                        .suit = [this](const travail_retenu& t, const std::string& nom) { suivis_.ajoute(t, nom); },
                        .reprend_au_debut = !travaux_repris_,
                        .avant_suppression = reglages_.avant_suppression});
    if (!laisses) return;
    travaux_repris_ = true;
    en_attente_.note(*laisses, fichiers_en_attente::horloge::now());
    // After the poll, whose jobs it must not slow.
    suivis_.actualise(imprimante_, suivi_travaux::horloge::now());
    affiche_titre();
  });
}

void Form1::Command1_Click() {
  traite_evenement([this] {
    auto p = poste();
    imprime_essai(p);
  });
}

void Form1::traite_evenement(const std::function<void()>& travail) {
  // Events run between the raster's rows; a second run would draw into the open document.
  if (dans_la_trame_) return;
  try {
    travail();
  } catch (const erreur& e) {
    echec_fatal(e);
  } catch (const std::bad_alloc&) {
    echec_fatal(erreur(code_erreur::memoire_insuffisante));
  }
}

void Form1::echec_fatal(const erreur& e) {
  // No poll may start while the message waits for the operator.
  Timer1->stop();
  signale_erreur_fatale(this, e, reglages_.delai_message_fatal_ms);
  QCoreApplication::exit(code_sortie_erreur);
}

void Form1::laisse_evenements() {
  const auto maintenant = std::chrono::steady_clock::now();
  if (maintenant - dernier_tour_ < tranche_evenements) return;
  dernier_tour_ = maintenant;
  QCoreApplication::processEvents();
  libere_registres_avx();  // the raster's next row follows at once
}

void Form1::fixe_titre(const std::string& titre) {
  titre_ = titre;
  affiche_titre();
}

// The title is all the window has room for without changing its layout: the files the polls keep
// leaving and the jobs that do not move in the spooler are counted after the progress.
void Form1::affiche_titre() {
  const std::size_t n = en_attente_.nombre();
  std::string titre = titre_;
  if (n > 0) titre += " — " + std::to_string(n) + (n == 1 ? " fichier en attente" : " fichiers en attente");
  const std::size_t b = suivis_.bloques();
  if (b > 0) titre += " — " + std::to_string(b) + (b == 1 ? " travail bloqué" : " travaux bloqués");
  setWindowTitle(QString::fromStdString(titre));
}

void Form1::efface_apercu() { Picture1->efface(); }

void Form1::affiche_message(const std::string& texte) {
  QMessageBox::information(this, QGuiApplication::applicationDisplayName(), QString::fromStdString(texte),
                           QMessageBox::Ok);
}

}  // namespace agent
