#include "app/form1.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/boite_image.h"
#include "app/message_fatal.h"
#include "app/registres_avx.h"

namespace agent {

Form1::Form1(service_imprimante& imprimante, reglages r)
    : delai_message_fatal_ms_(r.delai_message_fatal_ms), logique_(*this, imprimante, printerDialog, std::move(r)) {
  setWindowTitle("Form1");
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

void Form1::affiche_liste(const std::vector<std::string>& noms) {
  File1->clear();
  for (const auto& nom : noms) File1->addItem(QString::fromStdString(nom));
}

void Form1::active_minuterie(bool active) { active ? Timer1->start() : Timer1->stop(); }

void Form1::charge_apercu(const std::string& chemin) { Picture1->charge(chemin); }

void Form1::efface_apercu() { Picture1->efface(); }

const surface_apercu& Form1::apercu() const { return Picture1->surface(); }

// A wait that ends before its time was ended with the application (a fatal error in a click
// meanwhile, the window closed).
bool Form1::patiente(std::chrono::milliseconds duree) {
  QEventLoop boucle;
  bool a_terme = false;
  QTimer::singleShot(duree, Qt::PreciseTimer, &boucle, [&] {
    a_terme = true;
    boucle.quit();
  });
  boucle.exec();
  return a_terme;
}

void Form1::tour_evenements() {
  QCoreApplication::processEvents();
  libere_registres_avx();  // the raster's next row follows at once
}

void Form1::affiche_titre(const std::string& titre) { setWindowTitle(QString::fromStdString(titre)); }

void Form1::affiche_message(const std::string& texte) {
  QMessageBox::information(this, QGuiApplication::applicationDisplayName(), QString::fromStdString(texte),
                           QMessageBox::Ok);
}

void Form1::termine_sur_erreur(const std::string& texte) {
  montre_erreur_fatale(this, texte, delai_message_fatal_ms_);
  QCoreApplication::exit(code_sortie_erreur);
}

}  // namespace agent
