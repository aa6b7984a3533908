#pragma once
// The record's file where no event log source is registered: journal.txt in
// %LOCALAPPDATA%\agent_impression, kept to a bounded size by moving it to journal.1.txt (which it
// replaces) once it has grown past its limit. At most twice the limit, plus a line, stays on the
// disk.

#include <cstdint>
#include <string>

namespace agent {

inline constexpr uint64_t taille_journal_fichier = 1024 * 1024;

class journal_fichier {
public:
  // `dossier` is made when missing.
  journal_fichier(std::wstring dossier, uint64_t limite = taille_journal_fichier);

  // "2026-12-10 01:33:49 info : <ligne>" at the end of the file, which is opened for this line
  // only, shared: two agents on two folders may write to it in turn. A file that cannot be
  // written loses the line: the record must never stop the agent.
  void ajoute(const char* niveau, const char* ligne) const;

private:
  std::wstring courant_, ancien_;
  uint64_t limite_;
};

}  // namespace agent
