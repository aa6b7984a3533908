#include "app/message_fatal.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>

#include "intake/logique_fenetre.h"

namespace agent {

void montre_erreur_fatale(QWidget* parent, const std::string& texte, int delai_ms) {
  QMessageBox message(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), QString::fromStdString(texte),
                      QMessageBox::Ok, parent);
  if (delai_ms > 0) QTimer::singleShot(delai_ms, &message, &QMessageBox::accept);
  message.exec();
}

void signale_erreur_fatale(QWidget* parent, const erreur& e, int delai_ms) {
  montre_erreur_fatale(parent, note_erreur_fatale(e), delai_ms);
}

}  // namespace agent
