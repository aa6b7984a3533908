#include "app/boite_image.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

#include "image/decodeur_plateforme.h"

namespace agent {

boite_image::boite_image(int largeur, int hauteur, QWidget* parent)
    : QFrame(parent), surface_(largeur - 2 * bordure, hauteur - 2 * bordure, decode_png_gif) {
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
  // Only the part that shows, as a Qt picture over the preview's own pixels, never a copy: a
  // painter converts a picture of another format than the screen's whole, every time it paints.
  const image_pixels& image = surface_.image();
  const QImage visible(image.ligne(0), std::min(image.largeur(), contentsRect().width()),
                       std::min(image.hauteur(), contentsRect().height()),
                       static_cast<qsizetype>(image.octets_par_ligne()),
                       image.format() == format_pixels::bvr24 ? QImage::Format_BGR888 : QImage::Format_RGB32);
  peintre.drawImage(contentsRect().topLeft(), visible);
}

}  // namespace agent
