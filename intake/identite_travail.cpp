#include "intake/identite_travail.h"

#include <cstddef>
#include <span>

#include "core/empreinte.h"

namespace agent {

namespace {

constexpr const char* urn = "urn:uuid:";

uint32_t partie(std::span<const std::byte> octets) {
  empreinte e;
  e.ajoute(octets);
  return static_cast<uint32_t>(e.valeur() >> 32);
}

uint32_t partie(const std::string& texte) { return partie(std::as_bytes(std::span(texte.data(), texte.size()))); }

uint32_t partie_etat(const etat_fichier& etat) {
  const uint64_t valeurs[] = {static_cast<uint64_t>(etat.taille),
                              static_cast<uint64_t>(etat.modification.time_since_epoch().count())};
  return partie(std::as_bytes(std::span(valeurs)));
}

std::string hexa(uint32_t valeur) {
  static constexpr char chiffres[] = "0123456789abcdef";
  std::string texte(8, '0');
  for (int i = 7; i >= 0; --i, valeur >>= 4) texte[static_cast<size_t>(i)] = chiffres[valeur & 0xF];
  return texte;
}

// 8-4-4-4-12 hexadecimal digits, as every uuid is written.
std::string uuid(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  const std::string h = hexa(a) + hexa(b) + hexa(c) + hexa(d);
  return urn + h.substr(0, 8) + "-" + h.substr(8, 4) + "-" + h.substr(12, 4) + "-" + h.substr(16, 4) + "-" +
         h.substr(20);
}

// "urn:uuid:" and the first 8 + 1 + 4 + 1 + 4 = 18 characters: the folder's and the name's parts.
constexpr size_t longueur_fichier = 9 + 18;
// ... and the state's part, which ends 4 + 1 + 4 characters further.
constexpr size_t longueur_etat = longueur_fichier + 1 + 4 + 1 + 4;

}  // namespace

std::string prefixe_uuid(const std::string& dossier) { return urn + hexa(partie(dossier)); }

std::string uuid_travail(const std::string& dossier, const std::string& nom, const etat_fichier& etat, uint64_t image) {
  return uuid(partie(dossier), partie(nom), partie_etat(etat), static_cast<uint32_t>(image >> 32));
}

bool uuid_du_fichier(const std::string& uuid, const std::string& dossier, const std::string& nom) {
  return uuid.compare(0, longueur_fichier, uuid_travail(dossier, nom, {}, 0), 0, longueur_fichier) == 0;
}

bool uuid_de_l_etat(const std::string& uuid, const std::string& dossier, const std::string& nom,
                    const etat_fichier& etat) {
  return uuid.compare(0, longueur_etat, uuid_travail(dossier, nom, etat, 0), 0, longueur_etat) == 0;
}

}  // namespace agent
