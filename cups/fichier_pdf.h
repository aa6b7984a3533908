#pragma once
// A PDF file built one object at a time: it numbers the objects, remembers where each one starts
// and closes the file with the cross-reference table and trailer every reader needs. Enough for
// the agent's one-page documents, nothing more.

#include <QByteArray>
#include <cstdint>
#include <string_view>
#include <vector>

namespace agent {

class fichier_pdf {
public:
  fichier_pdf();  // writes the header

  // A number for an object written later (objects may refer to one another in any order).
  int32_t reserve();
  // `corps` is everything between "n 0 obj" and "endobj", a dictionary for instance.
  void ecrit_objet(int32_t numero, std::string_view corps);
  // A stream of `donnees` already compressed with zlib; `dictionnaire` lists its entries
  // without the braces, /Length and /Filter.
  void ecrit_flux_comprime(int32_t numero, std::string_view dictionnaire, const QByteArray& donnees);

  // The whole file, with `catalogue` as its root. Every reserved number must have been written.
  QByteArray termine(int32_t catalogue);

private:
  void commence_objet(int32_t numero);

  QByteArray octets_;
  std::vector<int64_t> positions_;  // by object number - 1; -1 while not written
};

// How hard zlib looks for repeats. Searching pays off on drawn shapes (long runs, rows that
// repeat), and its fastest level already finds them: its default level makes a small page's
// document a third smaller for three times the time, on a document that only crosses to the local
// scheduler. On noise a search gains almost nothing over runs alone, for many times the time.
enum class recherche { complete, plages_seules };

// `octets` compressed with zlib, for the /FlateDecode filter of PDF.
QByteArray comprime(const uint8_t* octets, size_t taille, recherche effort = recherche::complete);

}  // namespace agent
