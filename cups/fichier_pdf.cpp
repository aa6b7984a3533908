#include "cups/fichier_pdf.h"

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/erreur.h"

namespace agent {

namespace {

[[noreturn]] void echec_pdf(const std::string& quoi) {
  throw erreur(code_erreur::erreur_imprimante, "la page PDF ne peut pas être produite : " + quoi);
}

}  // namespace

fichier_pdf::fichier_pdf() {
  // The second line's bytes above 127 tell transfer programs that the file is binary.
  octets_.append("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
}

int32_t fichier_pdf::reserve() {
  positions_.push_back(-1);
  return static_cast<int32_t>(positions_.size());
}

void fichier_pdf::commence_objet(int32_t numero) {
  if (numero < 1 || static_cast<size_t>(numero) > positions_.size() || positions_[numero - 1] >= 0)
    echec_pdf("objet " + std::to_string(numero) + " inattendu");
  positions_[numero - 1] = octets_.size();
  octets_.append(std::to_string(numero)).append(" 0 obj\n");
}

void fichier_pdf::ecrit_objet(int32_t numero, std::string_view corps) {
  commence_objet(numero);
  octets_.append(corps.data(), static_cast<qsizetype>(corps.size())).append("\nendobj\n");
}

void fichier_pdf::ecrit_flux_comprime(int32_t numero, std::string_view dictionnaire, const QByteArray& donnees) {
  commence_objet(numero);
  octets_.append("<< ").append(dictionnaire.data(), static_cast<qsizetype>(dictionnaire.size()));
  octets_.append(" /Filter /FlateDecode /Length ").append(std::to_string(donnees.size())).append(" >>\nstream\n");
  octets_.append(donnees).append("\nendstream\nendobj\n");
}

QByteArray fichier_pdf::termine(int32_t catalogue) {
  const int64_t table = octets_.size();
  octets_.append("xref\n0 ").append(std::to_string(positions_.size() + 1)).append("\n");
  // Entries of exactly 20 bytes each, as readers expect.
  octets_.append("0000000000 65535 f \n");
  for (int64_t position : positions_) {
    if (position < 0) echec_pdf("objet réservé jamais écrit");
    char entree[32];
    std::snprintf(entree, sizeof entree, "%010lld 00000 n \n", static_cast<long long>(position));
    octets_.append(entree);
  }
  octets_.append("trailer\n<< /Size ").append(std::to_string(positions_.size() + 1));
  octets_.append(" /Root ").append(std::to_string(catalogue)).append(" 0 R >>\nstartxref\n");
  octets_.append(std::to_string(table)).append("\n%%EOF\n");
  return std::move(octets_);
}

namespace {

QByteArray deflate_avec(const uint8_t* octets, size_t taille, int niveau, int strategie) {
  z_stream flux{};
  if (deflateInit2(&flux, niveau, Z_DEFLATED, 15, 8, strategie) != Z_OK)
    throw erreur(code_erreur::memoire_insuffisante);
  QByteArray resultat(static_cast<qsizetype>(deflateBound(&flux, static_cast<uLong>(taille))), Qt::Uninitialized);
  flux.next_in = const_cast<Bytef*>(octets);
  flux.avail_in = static_cast<uInt>(taille);
  flux.next_out = reinterpret_cast<Bytef*>(resultat.data());
  flux.avail_out = static_cast<uInt>(resultat.size());
  const int statut = deflate(&flux, Z_FINISH);
  deflateEnd(&flux);
  if (statut != Z_STREAM_END) echec_pdf("compression impossible");
  resultat.truncate(static_cast<qsizetype>(flux.total_out));
  return resultat;
}

}  // namespace

QByteArray comprime(const uint8_t* octets, size_t taille, compression sorte) {
  if (sorte == compression::stockee) return deflate_avec(octets, taille, Z_NO_COMPRESSION, Z_DEFAULT_STRATEGY);
  if (taille > UINT32_MAX / 2) echec_pdf("bloc trop grand pour être compressé d'un coup");
  return deflate_avec(octets, taille, 1, Z_RLE);
}

}  // namespace agent
