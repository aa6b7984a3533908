#pragma once
// The picture box `Picture1` on Windows: a child window with a sunken border showing the preview
// surface, which is as large as the window's inside. What prints is read from the surface itself,
// never from the screen, so a covered or minimised window prints the same.

#include <windows.h>

#include <string>

#include "image/surface_apercu.h"

namespace agent {

class boite_image {
public:
  // `place`: left, top, width and height in the parent's pixels, border included.
  boite_image(HWND parent, const RECT& place);
  boite_image(const boite_image&) = delete;
  boite_image& operator=(const boite_image&) = delete;

  HWND fenetre() const { return fenetre_; }
  void charge(const std::string& chemin);
  void efface();
  const surface_apercu& surface() const { return surface_; }

private:
  static LRESULT CALLBACK procedure(HWND fenetre, UINT message, WPARAM w, LPARAM l);
  void peint();

  HWND fenetre_;
  surface_apercu surface_;
};

}  // namespace agent
