#pragma once
// Dismisses every modal message box as soon as it shows, keeping what it said: the tests'
// stand-in for the operator's click on OK.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace agent::essai {

class operateur_essai {
public:
  operateur_essai() {
    QObject::connect(&minuterie_, &QTimer::timeout, [this] {
      if (auto* boite = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        titre = boite->windowTitle();
        texte = boite->text();
        ++messages;
        boite->accept();
      }
    });
    minuterie_.start(1);
  }

  QString titre, texte;
  int messages = 0;

private:
  QTimer minuterie_;
};

}  // namespace agent::essai
