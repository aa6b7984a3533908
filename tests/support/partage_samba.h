#pragma once
// A Windows share on this machine and two workstations that mount it, for the tests of a watched
// folder on a share: what one workstation writes, the other reads, renames and deletes, with a
// real file server's share modes, delays and caches between them.
//
// How to use it:
//
//   if (const auto raison = partage_samba::indisponible()) GTEST_SKIP() << *raison;
//   partage_samba partage;                      // the server started and answering
//   fs::path a = partage.montage(0);            // the shared masques_en_attente as workstation A sees it
//   fs::path b = partage.montage(1);            // the same folder through workstation B
//
// The constructor makes a fresh temporary folder holding the server's whole configuration, its
// databases, its log and the shared folder; writes an account for root with a password of its
// own; and starts smbd in the foreground, listening on 127.0.0.1 only on a free port, with
// neither NetBIOS nor printing nor RPC helpers, so that nothing reads or writes the machine's own
// Samba set-up. Each workstation is an smbnetfs instance (FUSE, no kernel module) with a HOME of
// its own holding its configuration and its credentials, mounted on a folder of its own; the
// share is at <mount point>/127.0.0.1:PORT/partage there. The destructor unmounts the
// workstations, stops the server and removes the folder. The server and the workstations get
// SIGTERM should the thread that started them end first (use the fixture from one thread), so
// that a case killed midway leaves nothing running or mounted.
//
// What a workstation sees of the server is cached for 1 s (FUSE's default for names and
// attributes): a size written through B shows on A up to a second later. The server reports a
// file's modification time as Windows does: it moves once after the first write through a
// descriptor, then not again until that descriptor is closed. A file open on one workstation
// cannot be deleted or replaced through the other (EBUSY; EEXIST for a rename over it), and a
// lease or a lock taken through one workstation means nothing to the other.
//
// Every failure of the fixture itself throws std::runtime_error with the logs of the server and
// of the workstations.

#include <sys/types.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>

namespace agent::essai {

class partage_samba {
public:
  partage_samba();
  ~partage_samba();
  partage_samba(const partage_samba&) = delete;
  partage_samba& operator=(const partage_samba&) = delete;

  // Why this machine cannot have the share (not root, no /dev/fuse, a program missing); nothing
  // when it can.
  static std::optional<std::string> indisponible();

  // The shared folder masques_en_attente as workstation `poste` (0 or 1) sees it, that workstation
  // mounted on the first call.
  std::filesystem::path montage(int poste);

  // The logs of the server and of the workstations mounted so far.
  std::string journal() const;

private:
  struct poste_monte {
    std::filesystem::path maison;  // its HOME, holding its mount point and its log
    pid_t pid = 0;
  };

  void attend_reponse();

  std::filesystem::path dossier_;
  int port_ = 0;
  pid_t smbd_ = 0;
  std::array<poste_monte, 2> postes_;
};

}  // namespace agent::essai
