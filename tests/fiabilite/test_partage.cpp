// The watched folder on a Windows share, the agent on workstation A and the jobs written by
// workstation B, with the share's own behaviour between them: a file B holds open cannot be
// deleted, and its size and time reach A late. A job still written or held open by B is printed
// once it is whole and closed, and only then, once; B reading the agent's lock does not stop it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

#include "intake/verrou_dossier.h"
#include "tests/fiabilite/banc_agent.h"
#include "tests/support/bmp_essai_qt.h"
#include "tests/support/partage_samba.h"

using namespace agent::essai;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

const std::string job = "a_b_1.bmp2";

// The scheduler's jobs that the agent did not cancel.
std::vector<travail> non_annules(const banc_agent& banc) {
  std::vector<travail> gardes;
  for (const travail& t : banc.serveur.travaux())
    if (t.etat != etat_travail::annule) gardes.push_back(t);
  return gardes;
}

// The job shows in the folder, then goes, the agent running on; of the scheduler's jobs, exactly
// one is not cancelled, and it completes with the file's picture.
void imprime_une_fois(banc_agent& banc) {
  ASSERT_TRUE(banc.attend_restants({job})) << banc.agent().erreurs();
  ASSERT_TRUE(banc.attend_restants({})) << banc.agent().erreurs();
  EXPECT_TRUE(banc.agent().en_vie()) << banc.agent().erreurs();
  const auto gardes = non_annules(banc);
  ASSERT_EQ(gardes.size(), 1u) << banc.agent().erreurs();
  EXPECT_EQ(banc.serveur.attend_travail_fini(gardes[0].id).nom, job);
  EXPECT_EQ(points_page(banc.serveur.document(gardes[0].id)), points_image_essai());
}

}  // namespace

// As Windows Explorer copies over a share: the file takes its full size at once, zeros, and one
// descriptor fills it over 15 s, across a poll. Seen from A, its size never moves, and its time
// moves once at most while the descriptor stays open.
TEST(Partage, FileSetToFullSizeThenFilledIsPrintedOnceExactlyAfterItIsWhole) {
  if (const auto raison = partage_samba::indisponible()) GTEST_SKIP() << *raison;
  partage_samba partage;
  banc_agent banc;
  banc.surveille(partage.montage(0));
  const fs::path poste_b = partage.montage(1);
  banc.lance();
  banc.depose_peu_a_peu((poste_b / job).string(), bmp_essai(), true, 15s);
  imprime_une_fois(banc);
}

TEST(Partage, FileHeldOpenForWritingIsNotPrintedUntilClosed) {
  if (const auto raison = partage_samba::indisponible()) GTEST_SKIP() << *raison;
  partage_samba partage;
  banc_agent banc;
  banc.surveille(partage.montage(0));
  const fs::path poste_b = partage.montage(1);
  banc.lance();

  // Whole at once, then held open through two polls at least.
  const int descripteur = ::open((poste_b / job).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(descripteur, 0) << std::strerror(errno);
  const QByteArray contenu = bmp_essai();
  const bool ecrit = ::write(descripteur, contenu.constData(), contenu.size()) == contenu.size();
  std::this_thread::sleep_for(25s);
  const auto avant_fermeture = non_annules(banc);
  const auto restants_avant_fermeture = banc.restants();
  ::close(descripteur);

  ASSERT_TRUE(ecrit);
  EXPECT_TRUE(avant_fermeture.empty()) << "imprimé encore ouvert : " << banc.agent().erreurs();
  EXPECT_EQ(restants_avant_fermeture, std::vector<std::string>{job});
  imprime_une_fois(banc);
}

TEST(Partage, LockHolderGoesOnWhileAnotherWorkstationReadsItsLock) {
  if (const auto raison = partage_samba::indisponible()) GTEST_SKIP() << *raison;
  partage_samba partage;
  banc_agent banc;
  banc.surveille(partage.montage(0));
  const fs::path poste_b = partage.montage(1);
  banc.lance();

  // Once the agent holds the folder, its lock whole, B reads the lock and holds it open across a
  // poll: the server refuses to replace the lock meanwhile.
  ASSERT_TRUE(
      attend_que([&] { return banc.agent().erreurs().find("dossier pris : ") != std::string::npos; }, attente_agent))
      << banc.agent().erreurs();
  const int descripteur = ::open((poste_b / agent::nom_verrou_dossier).c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(descripteur, 0) << std::strerror(errno);
  char octet = 0;
  const bool lu = ::pread(descripteur, &octet, 1, 0) == 1;
  std::this_thread::sleep_for(12s);
  const bool en_vie = banc.agent().en_vie();
  ::close(descripteur);

  EXPECT_TRUE(lu);
  ASSERT_TRUE(en_vie) << banc.agent().erreurs();
  ecrit_fichier((poste_b / job).string(), bmp_essai());
  imprime_une_fois(banc);
}
