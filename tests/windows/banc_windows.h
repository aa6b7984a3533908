#pragma once
// The reliability tests' case, with the Windows agent: the test build of the Windows agent under
// Wine, on a virtual screen, in a Wine prefix of the case's own whose printer
// "QLS-4100 Xe drivers standard" prints to the scheduler's PostScript queue, watching
// \\192.168.1.10\partage\masques_en_attente\, which is the case's watched folder.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/fiabilite/banc_agent.h"
#include "tests/support/ecran_virtuel.h"
#include "tests/support/prefixe_wine.h"

namespace agent::essai {

class banc_windows : public banc_agent {
public:
  // The Wine printer at `resolution` dpi, on an A4 PostScript queue of the same resolution.
  explicit banc_windows(int32_t resolution = 300);
  ~banc_windows() override;

  // `nom` in the watched folder as Windows programs name it.
  static std::string chemin_windows(const std::string& nom);

  // A Windows program holds it open for writing, letting others read it, as a program still
  // filling it would; returns once it is open.
  void garde_ouvert(const std::string& nom, std::chrono::milliseconds duree) override;
  // What an operator does at the workstation (tests/windows_programmes/operateur.cpp): its
  // output, or an exception when it fails.
  std::string operateur(const std::vector<std::string>& arguments, std::chrono::seconds delai);

  ecran_virtuel ecran;
  prefixe_wine wine;

private:
  std::vector<pid_t> aides_;
};

}  // namespace agent::essai
