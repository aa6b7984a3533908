#include "cups/description_file.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <string_view>

#include "core/erreur.h"
#include "core/journal.h"
#include "cups/papier_systeme.h"

namespace agent {

namespace {

constexpr int32_t resolution_par_defaut = 300;

// What the agent reads of a queue, and nothing more.
constexpr const char* attributs_description[] = {"printer-name",
                                                 "media-default",
                                                 "media-col-default",
                                                 "printer-resolution-default",
                                                 "color-supported",
                                                 "pwg-raster-document-type-supported",
                                                 "pwg-raster-document-resolution-supported",
                                                 "copies-supported"};

// A request for `attributs` only. Throws nothing.
template <size_t N>
ipp_t* demande(ipp_op_t operation, const char* const (&attributs)[N]) {
  ipp_t* d = ippNewRequest(operation);
  ippAddStrings(d, IPP_TAG_OPERATION, IPP_CONST_TAG(IPP_TAG_KEYWORD), "requested-attributes", static_cast<int>(N),
                nullptr, attributs);
  return d;
}

// The queue's attribute `nom`, or null when it has none. Throws nothing.
ipp_attribute_t* attribut(const destination& d, const char* nom) {
  return ippFindAttribute(d.attributs.get(), nom, IPP_TAG_ZERO);
}

// The default queue's name: the user's own (LPDEST, PRINTER, lpoptions), else the scheduler's;
// none when neither names one. Throws "Erreur d'imprimante" when the connection breaks.
std::optional<std::string> file_par_defaut(const connexion& c) {
  const char* nom = cupsGetDefault2(c.http());
  if (c.rompue()) c.echoue("l'imprimante par défaut est inconnue");
  if (!nom || !*nom) return std::nullopt;
  const std::string_view sans_instance(nom, std::strcspn(nom, "/"));  // a saved set of options is no queue
  return std::string(sans_instance);
}

// The chosen queue, or the default one while nothing was chosen, with its capabilities, asked
// for by name. Throws "Imprimante introuvable" when there is none, "Erreur d'imprimante" when its
// description cannot be had.
void trouve_destination(const connexion& c, const std::optional<std::string>& file, destination& d) {
  const std::optional<std::string> nom = file ? file : file_par_defaut(c);
  if (!nom) throw erreur(code_erreur::imprimante_introuvable, "aucune imprimante choisie et aucune par défaut");
  ipp_t* requete = demande(IPP_OP_GET_PRINTER_ATTRIBUTES, attributs_description);
  ippAddString(requete, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri_file(*nom).c_str());
  d.attributs.reset(cupsDoRequest(c.http(), requete, "/"));
  if (!c.rompue() && cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) {
    throw erreur(code_erreur::imprimante_introuvable,
                 "« " + *nom + " » n'est pas une file du serveur d'impression " + cupsServer());
  }
  if (!d.attributs || c.rompue() || !reussi(cupsLastError()))
    c.echoue(designation(file) + " ne décrit pas ses capacités");
  // The scheduler's own spelling: a queue's name is the same in any case.
  ipp_attribute_t* nom_file = attribut(d, "printer-name");
  const char* officiel = nom_file ? ippGetString(nom_file, 0, nullptr) : nullptr;
  d.nom = officiel && *officiel ? officiel : *nom;
}

// Dots per inch across and down.
struct resolution_file {
  int32_t x, y;
};

// The queue's default resolution, each axis its own (a PPD's 1200x600dpi); 300 dpi when it
// reports none. Throws nothing.
resolution_file resolution_de(const destination& d) {
  ipp_attribute_t* defaut = attribut(d, "printer-resolution-default");
  if (!defaut || ippGetValueTag(defaut) != IPP_TAG_RESOLUTION) return {resolution_par_defaut, resolution_par_defaut};
  int verticale = 0;
  ipp_res_t unite = IPP_RES_PER_INCH;
  int horizontale = ippGetResolution(defaut, 0, &verticale, &unite);
  if (unite == IPP_RES_PER_CM) {
    horizontale = static_cast<int>(std::lround(horizontale * 2.54));
    verticale = static_cast<int>(std::lround(verticale * 2.54));
  }
  if (horizontale <= 0 || verticale <= 0) return {resolution_par_defaut, resolution_par_defaut};
  return {horizontale, verticale};
}

// The queue's own medium: named by its media-default, sized by the media-size of its
// media-col-default (a driver's PPD may give A4 as 595 × 842 points, and its filters size the page
// from that), or the system paper when it reports neither (a raw queue). libcups's
// cupsGetDestMediaDefault is not used: it answers Letter whenever the queue also supports Letter,
// whatever its default. Throws "Erreur d'imprimante" for a medium libcups does not know.
format_page format_de(const destination& d, resolution_file resolution) {
  ipp_attribute_t* nom = attribut(d, "media-default");
  const char* support = nom ? ippGetString(nom, 0, nullptr) : nullptr;
  if (support && !pwgMediaForPWG(support)) support = nullptr;
  ipp_attribute_t* collection = attribut(d, "media-col-default");
  ipp_t* media = collection ? ippGetCollection(collection, 0) : nullptr;
  ipp_attribute_t* taille = media ? ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION) : nullptr;
  ipp_t* dimensions = taille ? ippGetCollection(taille, 0) : nullptr;
  ipp_attribute_t* x = dimensions ? ippFindAttribute(dimensions, "x-dimension", IPP_TAG_INTEGER) : nullptr;
  ipp_attribute_t* y = dimensions ? ippFindAttribute(dimensions, "y-dimension", IPP_TAG_INTEGER) : nullptr;
  if (x && y && ippGetInteger(x, 0) > 0 && ippGetInteger(y, 0) > 0) {
    format_page format = format_de_taille(ippGetInteger(x, 0), ippGetInteger(y, 0), resolution.x, resolution.y);
    if (support) format.support = support;
    return format;
  }
  return format_pour(support ? support : papier_systeme(), resolution.x, resolution.y);
}

// Whether a list of keywords holds `cherchee`. Throws nothing.
bool contient(ipp_attribute_t* valeurs, std::string_view cherchee) {
  for (int i = 0; valeurs && i < ippGetCount(valeurs); ++i) {
    const char* valeur = ippGetString(valeurs, i, nullptr);
    if (valeur && valeur == cherchee) return true;
  }
  return false;
}

// Whether a list of resolutions holds `resolution`, in dots per inch. Throws nothing.
bool resolution_parmi(ipp_attribute_t* valeurs, resolution_file resolution) {
  for (int i = 0; valeurs && i < ippGetCount(valeurs); ++i) {
    int verticale = 0;
    ipp_res_t unite = IPP_RES_PER_INCH;
    const int horizontale = ippGetResolution(valeurs, i, &verticale, &unite);
    if (unite == IPP_RES_PER_INCH && horizontale == resolution.x && verticale == resolution.y) return true;
  }
  return false;
}

// The queue's PPD as the scheduler serves it, read into memory; empty when it has none (a raw
// queue). Throws "Mémoire insuffisante" when no memory file can hold it, "Erreur d'imprimante"
// when the connection breaks.
std::string ppd_de(const connexion& c, const destination& d) {
  const int descripteur = memfd_create("ppd", MFD_CLOEXEC);
  if (descripteur < 0) throw erreur(code_erreur::memoire_insuffisante, std::string("PPD : ") + std::strerror(errno));
  const std::string ressource = "/printers/" + d.nom + ".ppd";
  const http_status_t statut = cupsGetFd(c.http(), ressource.c_str(), descripteur);
  std::string ppd;
  if (statut == HTTP_STATUS_OK) {
    const off_t taille = lseek(descripteur, 0, SEEK_END);
    ppd.resize(taille > 0 ? static_cast<size_t>(taille) : 0);
    if (pread(descripteur, ppd.data(), ppd.size(), 0) != static_cast<ssize_t>(ppd.size())) ppd.clear();
  }
  close(descripteur);
  if (c.rompue()) c.echoue(designation(d.nom) + " ne décrit pas son pilote");
  return ppd;
}

// What the queue's IPP description says of colour and of PWG raster: whether the printer takes
// 8-bit sRGB at the queue's resolution, so that a queue passing PWG raster untouched gets the
// page byte for byte as the agent drew it. Throws nothing.
description_ipp ipp_de(const destination& d, resolution_file resolution) {
  ipp_attribute_t* couleur = attribut(d, "color-supported");
  ipp_attribute_t* types = attribut(d, "pwg-raster-document-type-supported");
  ipp_attribute_t* resolutions = attribut(d, "pwg-raster-document-resolution-supported");
  return {couleur && ippGetValueTag(couleur) == IPP_TAG_BOOLEAN && !ippGetBoolean(couleur, 0),
          contient(types, "srgb_8") && resolution_parmi(resolutions, resolution)};
}

}  // namespace

std::string uri_file(const std::string& file) {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                   file.c_str());
  return uri;
}

std::string designation(const std::optional<std::string>& file) {
  return file ? "l'imprimante « " + *file + " »" : "l'imprimante par défaut";
}

std::vector<imprimante> imprimantes_du_serveur(const connexion& c) {
  constexpr const char* attributs_liste[] = {"printer-name", "printer-info"};
  const reponse_ipp reponse(cupsDoRequest(c.http(), demande(IPP_OP_CUPS_GET_PRINTERS, attributs_liste), "/"));
  const ipp_status_t statut = cupsLastError();
  // A scheduler without any queue answers "not found".
  if (c.rompue() || (!reussi(statut) && statut != IPP_STATUS_ERROR_NOT_FOUND))
    c.echoue("la liste des imprimantes est indisponible");
  std::vector<imprimante> resultat;
  std::string nom, info;
  const auto termine_file = [&] {
    if (!nom.empty()) resultat.push_back({nom, info.empty() ? nom : info});
    nom.clear();
    info.clear();
  };
  for (ipp_attribute_t* a = ippFirstAttribute(reponse.get()); a; a = ippNextAttribute(reponse.get())) {
    const char* attribut = ippGetName(a);
    if (!attribut) termine_file();  // the separator between two queues
    if (!attribut || ippGetGroupTag(a) != IPP_TAG_PRINTER) continue;
    const char* valeur = ippGetString(a, 0, nullptr);
    if (!valeur) continue;
    if (std::strcmp(attribut, "printer-name") == 0) nom = valeur;
    if (std::strcmp(attribut, "printer-info") == 0) info = valeur;
  }
  termine_file();
  return resultat;
}

std::unique_ptr<file_decrite> decrit_file(const connexion& c, const std::optional<std::string>& file,
                                          bool choisir_format) {
  auto decrite = std::make_unique<file_decrite>();
  trouve_destination(c, file, decrite->d);
  const resolution_file resolution = resolution_de(decrite->d);
  decrite->format = format_de(decrite->d, resolution);
  // A queue that cannot print colour is refused here, before any job exists.
  decrite->envoi = choisit_envoi(designation(decrite->d.nom), ppd_de(c, decrite->d), decrite->format,
                                 ipp_de(decrite->d, resolution), choisir_format);
  if (decrite->envoi.format_pilote) decrite->format = *decrite->envoi.format_pilote;
  note_debug("file décrite : file=%s support=%s resolution=%dx%d pixels=%dx%d format=%s couleur=%s",
             champ(decrite->d.nom).c_str(), decrite->format.support.c_str(), decrite->format.resolution_x,
             decrite->format.resolution_y, pixels_page(decrite->format).width(), pixels_page(decrite->format).height(),
             type_document(decrite->envoi.format),
             decrite->envoi.couleur
                 ? champ(decrite->envoi.couleur->option + "=" + decrite->envoi.couleur->valeur).c_str()
                 : "print-color-mode=color");
  return decrite;
}

void verifie_copies(const file_decrite& decrite, int16_t copies) {
  const destination& d = decrite.d;
  ipp_attribute_t* permises = attribut(d, "copies-supported");
  if (!permises || ippGetValueTag(permises) != IPP_TAG_RANGE) return;
  int maximum = 0;
  const int minimum = ippGetRange(permises, 0, &maximum);
  if (copies < minimum || copies > maximum) {
    throw erreur(code_erreur::valeur_propriete_incorrecte,
                 "nombre de copies " + std::to_string(copies) + " (" + designation(d.nom) + " en accepte de " +
                     std::to_string(minimum) + " à " + std::to_string(maximum) + ")");
  }
}

}  // namespace agent
