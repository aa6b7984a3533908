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

  // Room for `octets` more bytes: a page's image data is most of its file, and growing the file
  // as it comes copies it again and again into fresh memory.
  void prevoit(qsizetype octets) { octets_.reserve(octets_.size() + octets); }

  // The whole file, with `catalogue` as its root. Every reserved number must have been written.
  QByteArray termine(int32_t catalogue);

private:
  void commence_objet(int32_t numero);

  QByteArray octets_;
  std::vector<int64_t> positions_;  // by object number - 1; -1 while not written
};

// How a block goes into the file. Runs of one byte: a page's drawn shapes and solid areas are
// such runs, and a search for longer repeats costs two to five times the time (zlib's default
// level) for a document at most a third smaller. Stored: noise shrinks by two fifths at most,
// for more time than its bytes take to reach the local scheduler as they are.
enum class compression { plages, stockee };

// `octets` in a zlib stream, for the /FlateDecode filter of PDF.
QByteArray comprime(const uint8_t* octets, size_t taille, compression sorte = compression::plages);

}  // namespace agent
