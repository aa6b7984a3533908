#pragma once
// A virtual X display of a test's own (Xvfb), for the programs that need a screen: the Windows
// agent under Wine makes its window there. The constructor starts Xvfb on a free display number
// and points DISPLAY at it for this process and every program it starts; the destructor stops it
// and restores DISPLAY. `capture` reads the screen as it stands, from the framebuffer file Xvfb
// keeps in the fixture's folder.

#include <sys/types.h>

#include <QImage>
#include <filesystem>
#include <optional>
#include <string>

namespace agent::essai {

class ecran_virtuel {
public:
  ecran_virtuel();
  ~ecran_virtuel();
  ecran_virtuel(const ecran_virtuel&) = delete;
  ecran_virtuel& operator=(const ecran_virtuel&) = delete;

  // The whole screen, 1280 × 1024, as RGB32.
  QImage capture() const;

private:
  std::filesystem::path dossier_;
  pid_t pid_ = 0;
  std::optional<std::string> display_precedent_;
};

}  // namespace agent::essai
