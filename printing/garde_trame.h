#pragma once
// Set while a print run is inside the raster. Window events run there between rows, and the
// window ignores a click or a tick that would start a second run into the open document.

namespace agent {

class garde_trame {
public:
  explicit garde_trame(bool& dans_la_trame) : drapeau_(dans_la_trame) { drapeau_ = true; }
  ~garde_trame() { drapeau_ = false; }
  garde_trame(const garde_trame&) = delete;
  garde_trame& operator=(const garde_trame&) = delete;

private:
  bool& drapeau_;
};

}  // namespace agent
