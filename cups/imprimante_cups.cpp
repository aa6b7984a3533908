#include "cups/imprimante_cups.h"

#include <cups/cups.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>

#include "core/erreur.h"
#include "core/journal.h"
#include "cups/choix_envoi.h"
#include "cups/nom_travail.h"
#include "cups/page_cups.h"
#include "cups/page_pdf.h"
#include "cups/page_pwg.h"
#include "cups/papier_systeme.h"
#include "cups/sans_mot_de_passe.h"
#include "printing/indice_point.h"

namespace agent {

namespace {

constexpr int32_t resolution_par_defaut = 300;
// How often a wait for the scheduler checks the operation's deadline.
constexpr std::chrono::milliseconds pas_attente{250};

using horloge = std::chrono::steady_clock;

// Keeps waiting (1) until the operation's deadline, then gives up (0). Throws nothing.
int attend_encore(http_t*, void* echeance) { return horloge::now() < *static_cast<horloge::time_point*>(echeance); }

// Whether an IPP status is a success. Throws nothing.
bool reussi(ipp_status_t statut) { return statut <= IPP_STATUS_OK_EVENTS_COMPLETE; }

// A connection whose every wait ends at `echeance`; null when the scheduler cannot be reached.
// Throws nothing.
http_t* connecte(std::chrono::milliseconds delai, horloge::time_point* echeance) {
  http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              static_cast<int>(delai.count()), nullptr);
  if (http)
    httpSetTimeout(http, std::chrono::duration<double>(std::min(delai, pas_attente)).count(), &attend_encore, echeance);
  return http;
}

// One operation's connection to the scheduler. Every wait on it ends at the same deadline, so a
// scheduler that stops answering costs `delai` once per operation, not once per request.
class connexion {
public:
  explicit connexion(std::chrono::milliseconds delai)
      : delai_(delai), echeance_(horloge::now() + delai), http_(connecte(delai, &echeance_)) {
    if (!http_) echoue(std::string("le serveur d'impression ") + cupsServer() + " ne répond pas");
  }
  ~connexion() {
    if (http_) httpClose(http_);
  }
  connexion(const connexion&) = delete;
  connexion& operator=(const connexion&) = delete;

  http_t* http() const { return http_; }

  // CUPS's own words for the last failure follow ours. A broken connection leaves the IPP status
  // meaningless ("Success"), so its system error speaks instead.
  [[noreturn]] void echoue(const std::string& quoi) const {
    const int systeme = http_ ? httpError(http_) : 0;
    std::string message = systeme ? std::strerror(systeme) : cupsLastErrorString();
    if (systeme == ETIMEDOUT) message = "pas de réponse en " + std::to_string(delai_.count()) + " ms (" + message + ")";
    if (!systeme && authentification_demandee())
      message = "le serveur d'impression demande une authentification, que l'agent ne donne pas (" + message + ")";
    throw erreur(code_erreur::erreur_imprimante, quoi + " : " + message);
  }
  bool rompue() const { return httpError(http_) != 0; }

private:
  std::chrono::milliseconds delai_;
  horloge::time_point echeance_;
  http_t* http_ = nullptr;
};

struct liberation_infos {
  void operator()(cups_dinfo_t* i) const { cupsFreeDestInfo(i); }
};

// A queue as libcups describes it, with its capabilities.
struct destination {
  int nombre = 0;
  cups_dest_t* liste = nullptr;
  cups_dest_t* dest = nullptr;  // inside liste
  std::unique_ptr<cups_dinfo_t, liberation_infos> infos;

  destination() = default;
  destination(const destination&) = delete;
  destination& operator=(const destination&) = delete;
  ~destination() { cupsFreeDests(nombre, liste); }
};

// The queue as an error message names it. Throws nothing.
std::string designation(const std::optional<std::string>& file) {
  return file ? "l'imprimante « " + *file + " »" : "l'imprimante par défaut";
}

// The queues in the scheduler's order, with the default one marked. Taken from the whole list
// rather than asked for by name: a failed lookup by name makes libcups search again over a
// connection of its own, without our deadline. Throws "Erreur d'imprimante" when the list cannot
// be had.
void liste_destinations(const connexion& c, destination& d) {
  d.nombre = cupsGetDests2(c.http(), &d.liste);
  const ipp_status_t statut = cupsLastError();
  // A scheduler without any queue answers "not found".
  if (c.rompue() || (d.nombre == 0 && !reussi(statut) && statut != IPP_STATUS_ERROR_NOT_FOUND))
    c.echoue("la liste des imprimantes est indisponible");
}

// The chosen queue, or the scheduler's default one while nothing was chosen, with its
// capabilities. Throws "Imprimante introuvable" when there is none, "Erreur d'imprimante" when its
// description cannot be had.
void trouve_destination(const connexion& c, const std::optional<std::string>& file, destination& d) {
  liste_destinations(c, d);
  d.dest = cupsGetDest(file ? file->c_str() : nullptr, nullptr, d.nombre, d.liste);
  if (!d.dest && file) {
    throw erreur(code_erreur::imprimante_introuvable,
                 "« " + *file + " » n'est pas une file du serveur d'impression " + cupsServer());
  }
  if (!d.dest) throw erreur(code_erreur::imprimante_introuvable, "aucune imprimante choisie et aucune par défaut");
  d.infos.reset(cupsCopyDestInfo(c.http(), d.dest));
  if (!d.infos || c.rompue()) c.echoue(designation(file) + " ne décrit pas ses capacités");
}

// Dots per inch across and down.
struct resolution_file {
  int32_t x, y;
};

// The queue's default resolution, each axis its own (a PPD's 1200x600dpi); 300 dpi when it
// reports none. Throws nothing.
resolution_file resolution_de(const connexion& c, const destination& d) {
  ipp_attribute_t* attribut = cupsFindDestDefault(c.http(), d.dest, d.infos.get(), "printer-resolution");
  if (!attribut || ippGetValueTag(attribut) != IPP_TAG_RESOLUTION)
    return {resolution_par_defaut, resolution_par_defaut};
  int verticale = 0;
  ipp_res_t unite = IPP_RES_PER_INCH;
  int horizontale = ippGetResolution(attribut, 0, &verticale, &unite);
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
format_page format_de(const connexion& c, const destination& d, resolution_file resolution) {
  ipp_attribute_t* nom = cupsFindDestDefault(c.http(), d.dest, d.infos.get(), "media");
  const char* support = nom ? ippGetString(nom, 0, nullptr) : nullptr;
  if (support && !pwgMediaForPWG(support)) support = nullptr;
  ipp_attribute_t* collection = cupsFindDestDefault(c.http(), d.dest, d.infos.get(), "media-col");
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
  const std::string ressource = std::string("/printers/") + d.dest->name + ".ppd";
  const http_status_t statut = cupsGetFd(c.http(), ressource.c_str(), descripteur);
  std::string ppd;
  if (statut == HTTP_STATUS_OK) {
    const off_t taille = lseek(descripteur, 0, SEEK_END);
    ppd.resize(taille > 0 ? static_cast<size_t>(taille) : 0);
    if (pread(descripteur, ppd.data(), ppd.size(), 0) != static_cast<ssize_t>(ppd.size())) ppd.clear();
  }
  close(descripteur);
  if (c.rompue()) c.echoue(designation(d.dest->name) + " ne décrit pas son pilote");
  return ppd;
}

// What the queue's IPP description says of colour and of PWG raster: whether the printer takes
// 8-bit sRGB at the queue's resolution, so that a queue passing PWG raster untouched gets the
// page byte for byte as the agent drew it. Throws nothing.
description_ipp ipp_de(const connexion& c, const destination& d, resolution_file resolution) {
  ipp_attribute_t* couleur = cupsFindDestSupported(c.http(), d.dest, d.infos.get(), "color");
  ipp_attribute_t* types = cupsFindDestSupported(c.http(), d.dest, d.infos.get(), "pwg-raster-document-type");
  ipp_attribute_t* resolutions =
      cupsFindDestSupported(c.http(), d.dest, d.infos.get(), "pwg-raster-document-resolution");
  return {couleur && ippGetValueTag(couleur) == IPP_TAG_BOOLEAN && !ippGetBoolean(couleur, 0),
          contient(types, "srgb_8") && resolution_parmi(resolutions, resolution)};
}

// From job creation on, a failure must not leave a job behind in the queue.
class annulation_sur_echec {
public:
  annulation_sur_echec(const destination& d, int travail, std::chrono::milliseconds delai)
      : destination_(d), travail_(travail), delai_(delai) {}
  ~annulation_sur_echec() {
    if (!arme_) return;
    // A fresh connection: the failed one may be stuck in the middle of a request. Nothing is
    // thrown from here; the failure that brought us here is the one to report.
    horloge::time_point echeance = horloge::now() + delai_;
    if (http_t* http = connecte(delai_, &echeance)) {
      cupsCancelDestJob(http, destination_.dest, travail_);
      httpClose(http);
    }
  }
  annulation_sur_echec(const annulation_sur_echec&) = delete;
  annulation_sur_echec& operator=(const annulation_sur_echec&) = delete;

  void desarme() { arme_ = false; }

private:
  const destination& destination_;
  int travail_;
  std::chrono::milliseconds delai_;
  bool arme_ = true;
};

}  // namespace

struct file_decrite {
  destination d;
  format_page format;
  choix_envoi envoi;
};

namespace {

// The page in the queue's format, the header of a PWG stream announcing `pages` pages. Throws
// "Erreur d'imprimante" when it cannot be encoded.
QByteArray encode_page(const grille_points& grille, const file_decrite& decrite, int32_t pages) {
  switch (decrite.envoi.format) {
    case format_envoi::pwg: return page_pwg(grille, decrite.format, pages);
    case format_envoi::raster_cups: return page_cups(grille, *decrite.envoi.entete);
    case format_envoi::pdf: break;
  }
  return page_pdf(grille, decrite.format);
}

// The document's MIME type. Throws nothing.
const char* type_document(format_envoi format) {
  switch (format) {
    case format_envoi::pwg: return "image/pwg-raster";
    case format_envoi::raster_cups: return "application/vnd.cups-raster";
    case format_envoi::pdf: break;
  }
  return CUPS_FORMAT_PDF;
}

// The queue as one lookup finds it: its medium, resolution and the way a page reaches it. Throws
// what the lookup's steps throw, and "Erreur d'imprimante" for a queue that cannot print colour.
std::unique_ptr<file_decrite> decrit_file(const connexion& c, const std::optional<std::string>& file,
                                          format_document envoi) {
  auto decrite = std::make_unique<file_decrite>();
  trouve_destination(c, file, decrite->d);
  const resolution_file resolution = resolution_de(c, decrite->d);
  decrite->format = format_de(c, decrite->d, resolution);
  // A queue that cannot print colour is refused here, before any job exists.
  decrite->envoi = choisit_envoi(designation(decrite->d.dest->name), ppd_de(c, decrite->d), decrite->format,
                                 ipp_de(c, decrite->d, resolution), envoi == format_document::selon_file);
  if (decrite->envoi.format_pilote) decrite->format = *decrite->envoi.format_pilote;
  qCDebug(journal_agent, "file décrite : file=%s support=%s resolution=%dx%d pixels=%dx%d format=%s couleur=%s",
          champ(decrite->d.dest->name).c_str(), decrite->format.support.c_str(), decrite->format.resolution_x,
          decrite->format.resolution_y, pixels_page(decrite->format).width(), pixels_page(decrite->format).height(),
          type_document(decrite->envoi.format),
          decrite->envoi.couleur ? champ(decrite->envoi.couleur->option + "=" + decrite->envoi.couleur->valeur).c_str()
                                 : "print-color-mode=color");
  return decrite;
}

}  // namespace

imprimante_cups::imprimante_cups(std::string titre, std::chrono::milliseconds delai, format_document envoi)
    : titre_(std::move(titre)), delai_(delai), envoi_(envoi) {
  refuse_mots_de_passe();
}

imprimante_cups::~imprimante_cups() = default;

std::vector<imprimante> imprimante_cups::imprimantes_installees() {
  connexion c(delai_);
  destination d;
  liste_destinations(c, d);
  std::vector<imprimante> resultat;
  for (int i = 0; i < d.nombre; ++i) {
    const cups_dest_t& une = d.liste[i];
    if (une.instance) continue;  // a user's saved set of options, not another printer
    const char* info = cupsGetOption("printer-info", une.num_options, une.options);
    resultat.push_back({une.name, info && *info ? info : une.name});
  }
  return resultat;
}

void imprimante_cups::rend_courante(const imprimante& choisie) {
  choisie_ = choisie.file;
  prochaine_.reset();
}

void imprimante_cups::fixe_copies(const int16_t& copies) {
  if (copies < 1) {
    throw erreur(code_erreur::valeur_propriete_incorrecte,
                 "nombre de copies " + std::to_string(copies) + " (au moins 1)");
  }
  prochaine_.reset();
  connexion c(delai_);
  auto decrite = decrit_file(c, choisie_, envoi_);
  const destination& d = decrite->d;
  ipp_attribute_t* permises = cupsFindDestSupported(c.http(), d.dest, d.infos.get(), "copies");
  if (permises && ippGetValueTag(permises) == IPP_TAG_RANGE) {
    int maximum = 0;
    const int minimum = ippGetRange(permises, 0, &maximum);
    if (copies < minimum || copies > maximum) {
      throw erreur(code_erreur::valeur_propriete_incorrecte,
                   "nombre de copies " + std::to_string(copies) + " (" + designation(d.dest->name) + " en accepte de " +
                       std::to_string(minimum) + " à " + std::to_string(maximum) + ")");
    }
  }
  copies_ = copies;
  prochaine_ = std::move(decrite);
}

void imprimante_cups::nomme_document(const std::string& nom) { nom_document_ = nom; }

void imprimante_cups::fixe_mode_echelle(int16_t mode) {
  if (mode != mode_echelle_pixels) {
    throw erreur(code_erreur::valeur_propriete_incorrecte,
                 "mode d'échelle " + std::to_string(mode) + " (seul le mode 3, pixels de l'imprimante, est possible)");
  }
}

void imprimante_cups::dessine_point(int16_t drapeau, float x, float y, const int32_t& couleur) {
  const uint8_t indice = indice_point(drapeau, couleur);
  grille_ouverte().pose_point(x, y, indice);
  ++ouvert_->points;
}

void imprimante_cups::dessine_points(int16_t drapeau, std::span<const point_page> points) {
  pose_points(drapeau, points, [this]() -> grille_points& { return grille_ouverte(); });
  if (ouvert_) ouvert_->points += static_cast<int64_t>(points.size());
}

grille_points& imprimante_cups::grille_ouverte() {
  if (!ouvert_) {
    auto decrite = std::move(prochaine_);
    if (!decrite) decrite = decrit_file(connexion(delai_), choisie_, envoi_);
    const QSize pixels = pixels_page(decrite->format);
    ouvert_.emplace(document{std::move(decrite), grille_points(pixels.width(), pixels.height()),
                             nom_document_.empty() ? titre_ : nom_travail_ipp(nom_document_)});
  }
  return ouvert_->grille;
}

void imprimante_cups::termine_document() {
  prochaine_.reset();
  dernier_envoi_ = envoi_document();
  dernier_envoi_.points = ouvert_ ? ouvert_->points : 0;
  // Dots that all fell off the paper leave nothing to print either.
  if (!ouvert_ || ouvert_->grille.vide()) {
    ouvert_.reset();
    return;
  }
  const std::unique_ptr<file_decrite> decrite = std::move(ouvert_->file);
  const format_envoi format = decrite->envoi.format;
  // A printer need not make copies of a raster document its queue passes on as it is, and such
  // a queue asks none of it: the copies are pages of the document, as its own filters would make
  // them.
  const int32_t pages = format != format_envoi::pdf && decrite->envoi.copies_en_pages ? copies_ : 1;
  const QByteArray page = encode_page(ouvert_->grille, *decrite, pages);
  const std::string nom = std::move(ouvert_->nom);
  ouvert_.reset();  // the grid is no longer needed, and the next dot opens a new document

  const destination& d = decrite->d;
  const std::string file = d.dest->name;
  connexion c(delai_);
  // The page is drawn on the queue's own medium at its resolution: the filters must neither fit
  // it to the printable area (which scales it) nor centre it, and a queue that defaults to grey
  // would print the colours as greys. A queue ignores what it does not support.
  cups_option_t* options = nullptr;
  int nombre_options = cupsAddIntegerOption("copies", pages > 1 ? 1 : copies_, 0, &options);
  nombre_options = cupsAddOption("media", decrite->format.support.c_str(), nombre_options, &options);
  nombre_options = cupsAddOption("print-scaling", "none", nombre_options, &options);
  nombre_options = cupsAddOption("position", "top-left", nombre_options, &options);
  nombre_options = cupsAddOption("print-color-mode", "color", nombre_options, &options);
  if (const auto& couleur = decrite->envoi.couleur)
    nombre_options = cupsAddOption(couleur->option.c_str(), couleur->valeur.c_str(), nombre_options, &options);
  int travail = 0;
  const ipp_status_t creation =
      cupsCreateDestJob(c.http(), d.dest, d.infos.get(), &travail, nom.c_str(), nombre_options, options);
  cupsFreeOptions(nombre_options, options);
  if (!reussi(creation) || travail <= 0 || c.rompue()) c.echoue(designation(file) + " refuse le travail");

  annulation_sur_echec annulation(d, travail, delai_);
  if (cupsStartDestDocument(c.http(), d.dest, d.infos.get(), travail, nom.c_str(), type_document(format), 0, nullptr,
                            1) != HTTP_STATUS_CONTINUE)
    c.echoue(designation(file) + " refuse le document");
  for (int32_t i = 0; i < pages; ++i) {
    const qsizetype debut = i == 0 ? 0 : format == format_envoi::pwg ? synchro_pwg : synchro_raster_cups;
    if (cupsWriteRequestData(c.http(), page.constData() + debut, static_cast<size_t>(page.size() - debut)) !=
        HTTP_STATUS_CONTINUE)
      c.echoue("envoi du document à " + designation(file) + " interrompu");
  }
  if (!reussi(cupsFinishDestDocument(c.http(), d.dest, d.infos.get())) || c.rompue())
    c.echoue(designation(file) + " n'a pas accepté le document");
  annulation.desarme();
  dernier_envoi_.file = file;
  dernier_envoi_.travail = travail;
  dernier_envoi_.format = type_document(format);
}

}  // namespace agent
