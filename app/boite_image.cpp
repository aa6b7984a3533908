#include "app/boite_image.h"

#include <QPainter>
#include <algorithm>

namespace agent {

boite_image::boite_image(int largeur, int hauteur, QWidget* parent)
    : QFrame(parent), surface_(largeur - 2 * bordure, hauteur - 2 * bordure) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(bordure);
  setBackgroundRole(QPalette::Base);
  setForegroundRole(QPalette::Text);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::TabFocus);
  resize(largeur, hauteur);
}

void boite_image::charge(const std::string& chemin) {
  surface_.charge(chemin);
  update();
}

void boite_image::efface() {
  surface_.efface();
  update();
}

void boite_image::paintEvent(QPaintEvent* evenement) {
  QFrame::paintEvent(evenement);
  if (!surface_.a_une_image()) return;
  QPainter peintre(this);
  peintre.setClipRect(contentsRect());
  // Only the part that shows, as a picture over the same pixels: a painter converts a picture of
  // another format than the screen's whole, every time it paints.
  const QImage& image = surface_.image();
  const QImage visible(image.constBits(), std::min(image.width(), contentsRect().width()),
                       std::min(image.height(), contentsRect().height()), image.bytesPerLine(), image.format());
  peintre.drawImage(contentsRect().topLeft(), visible);
}

}  // namespace agent
