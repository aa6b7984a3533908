#include "app/message_fatal.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>

#include "core/journal.h"

namespace agent {

std::string texte_erreur_fatale(const erreur& e) {
  return "Erreur " + std::to_string(e.numero()) + " : " + e.description();
}

void signale_erreur_fatale(QWidget* parent, const erreur& e, int delai_ms) {
  const std::string texte = texte_erreur_fatale(e);
  note_critique("%s", texte.c_str());
  QMessageBox message(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), QString::fromStdString(texte),
                      QMessageBox::Ok, parent);
  if (delai_ms > 0) QTimer::singleShot(delai_ms, &message, &QMessageBox::accept);
  message.exec();
}

}  // namespace agent
