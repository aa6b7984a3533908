#include "tests/support/ecran_virtuel.h"

#include <fcntl.h>
#include <unistd.h>

#include <QtEndian>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "tests/support/processus_essai.h"

namespace agent::essai {

namespace fs = std::filesystem;

namespace {

// Xvfb writes the display's number on this descriptor once it accepts clients.
std::string lit_numero(int descripteur) {
  std::string numero;
  char c = 0;
  while (::read(descripteur, &c, 1) == 1 && c != '\n') numero += c;
  return numero;
}

}  // namespace

ecran_virtuel::ecran_virtuel() : dossier_(dossier_temporaire("agent_ecran_")) {
  int tube[2];
  if (::pipe(tube) != 0) throw std::runtime_error("pipe");
  // Xvfb inherits the write end (`demarre` leaves descriptors open), not the read end.
  ::fcntl(tube[0], F_SETFD, FD_CLOEXEC);
  pid_ = demarre({"Xvfb", "-displayfd", std::to_string(tube[1]), "-screen", "0", "1280x1024x24", "-fbdir",
                  dossier_.string(), "-nolisten", "tcp", "-noreset"},
                 dossier_ / "xvfb.log");
  ::close(tube[1]);
  const std::string numero = lit_numero(tube[0]);
  ::close(tube[0]);
  if (numero.empty()) throw std::runtime_error("Xvfb ne démarre pas : " + lit_fichier(dossier_ / "xvfb.log"));
  if (const char* d = std::getenv("DISPLAY")) display_precedent_ = d;
  ::setenv("DISPLAY", (":" + numero).c_str(), 1);
}

ecran_virtuel::~ecran_virtuel() {
  arrete(pid_);
  if (display_precedent_)
    ::setenv("DISPLAY", display_precedent_->c_str(), 1);
  else
    ::unsetenv("DISPLAY");
  std::error_code ec;
  fs::remove_all(dossier_, ec);
}

QImage ecran_virtuel::capture() const {
  // The framebuffer file is an X window dump: a header of big-endian 32-bit fields, the window's
  // name, a colour map, then the pixels in the server's byte order (the machine's own here).
  const std::string xwd = lit_fichier(dossier_ / "Xvfb_screen0");
  auto champ = [&](int i) { return qFromBigEndian<quint32>(xwd.data() + 4 * i); };
  if (xwd.size() < 100) throw std::runtime_error("capture d'écran illisible");
  const quint32 entete = champ(0), largeur = champ(4), hauteur = champ(5), par_ligne = champ(12), couleurs = champ(19),
                bits = champ(11);
  const size_t debut = entete + 12 * size_t{couleurs};
  if (bits != 32 || xwd.size() < debut + size_t{par_ligne} * hauteur)
    throw std::runtime_error("capture d'écran d'un format inattendu");
  QImage image(reinterpret_cast<const uchar*>(xwd.data() + debut), static_cast<int>(largeur), static_cast<int>(hauteur),
               static_cast<qsizetype>(par_ligne), QImage::Format_RGB32);
  return image.copy();
}

}  // namespace agent::essai
