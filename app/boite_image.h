#pragma once
// The picture box `Picture1`: shows the preview surface on the window. What prints is read from
// the surface itself, never from the screen, so a covered or minimised window prints the same.

#include <QFrame>

#include "image/surface_apercu.h"

namespace agent {

class boite_image : public QFrame {
public:
  // The border takes 2 pixels on each side of the laid-out size.
  static constexpr int bordure = 2;

  boite_image(int largeur, int hauteur, QWidget* parent);

  void charge(const std::string& chemin);
  void efface();
  const surface_apercu& surface() const { return surface_; }

protected:
  void paintEvent(QPaintEvent* evenement) override;

private:
  surface_apercu surface_;
};

}  // namespace agent
