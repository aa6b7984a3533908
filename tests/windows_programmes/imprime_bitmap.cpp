// Prints a picture on a Windows printer as the agent's job run does, for the tests that check
// from Linux what the spooler received:
//   imprime_bitmap [--retient <uuid>] <picture> <copies> <printer's name, the rest of the line>
// The picture's file name names the document; with --retient, the job is submitted held under
// that uuid, as the agent submits its jobs. Prints what the spooler took and the time the run
// took to its EndDoc ("file=… travail=… format=GDI points=… ms=… retenu=0"), then how many held
// jobs the spooler lists under the uuid ("retenus=0"); the held job is then released. On failure
// the error's number and description on stderr, and exits with 1.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/erreur.h"
#include "gdi/imprimante_gdi.h"
#include "image/surface_apercu.h"
#include "printing/impression.h"

namespace {

class sans_dialogue : public agent::dialogue_commun {
public:
  void fixe_propriete(int32_t, int16_t) override {}
};

class sans_fenetre : public agent::fenetre_impression {
public:
  void laisse_evenements() override {}
  void fixe_titre(const std::string&) override {}
  void efface_apercu() override {}
  void affiche_message(const std::string& texte) override { std::printf("message=%s\n", texte.c_str()); }
};

}  // namespace

int main(int argc, char** argv) {
  std::string uuid;
  if (argc > 2 && std::string(argv[1]) == "--retient") {
    uuid = argv[2];
    argv += 2;
    argc -= 2;
  }
  if (argc < 4) {
    std::fprintf(stderr, "usage : imprime_bitmap [--retient <uuid>] <image> <copies> <imprimante>\n");
    return 2;
  }
  std::string imprimante = argv[3];
  for (int i = 4; i < argc; ++i) imprimante += std::string(" ") + argv[i];
  try {
    agent::surface_apercu apercu(0, 0);
    apercu.charge(argv[1]);
    agent::imprimante_gdi gdi("imprime_bitmap");
    if (!uuid.empty()) gdi.retient_prochain(uuid);
    sans_dialogue dialogue;
    sans_fenetre fenetre;
    bool dans_la_trame = false;
    agent::poste_impression poste{gdi, dialogue, apercu, fenetre, dans_la_trame};
    const auto debut = std::chrono::steady_clock::now();
    agent::imprime_travail(poste, imprimante, static_cast<int16_t>(std::atoi(argv[2])));
    const auto duree = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - debut);
    const agent::envoi_document envoi = gdi.dernier_envoi();
    std::printf("%s ms=%lld retenu=%d\n", agent::decrit_envoi(envoi).c_str(), static_cast<long long>(duree.count()),
                envoi.retenu ? 1 : 0);
    if (!uuid.empty()) {
      const std::vector<agent::travail_retenu> retenus = gdi.travaux_retenus(uuid);
      std::printf("retenus=%zu\n", retenus.size());
      for (const agent::travail_retenu& t : retenus) gdi.libere_travail(t);
    }
    return 0;
  } catch (const agent::erreur& e) {
    std::fprintf(stderr, "erreur %d : %s\n", e.numero(), e.description());
    return 1;
  }
}
