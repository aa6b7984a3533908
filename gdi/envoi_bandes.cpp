#include "gdi/envoi_bandes.h"

#include <algorithm>
#include <vector>

#include "gdi/bandes_dib.h"
#include "gdi/erreur_spouleur.h"
#include "os/windows/texte_large.h"

namespace agent {

namespace {

// A band's bitmap stays below this size: a whole 600 dpi page at once would double the memory
// the page already takes, and a driver copies what it receives.
constexpr size_t octets_bande_max = size_t{4} << 20;

// Aborts the document unless it ended.
class document_ouvert {
public:
  explicit document_ouvert(HDC dc) : dc_(dc) {}
  ~document_ouvert() {
    if (dc_) AbortDoc(dc_);
  }
  document_ouvert(const document_ouvert&) = delete;
  document_ouvert& operator=(const document_ouvert&) = delete;
  void termine() { dc_ = nullptr; }

private:
  HDC dc_;
};

}  // namespace

travail_gdi envoie_bandes(const contexte_page& contexte, const grille_points& grille, const std::string& nom,
                          const std::function<bool(DWORD)>& retient) {
  HDC dc = contexte.dc();
  const std::wstring titre = large(nom);
  DOCINFOW info{};
  info.cbSize = sizeof(info);
  info.lpszDocName = titre.c_str();
  const int numero = StartDocW(dc, &info);
  if (numero <= 0) echec_spouleur("StartDoc de « " + nom + " »");
  document_ouvert ouvert(dc);
  travail_gdi travail{static_cast<DWORD>(numero), false};
  travail.retenu = retient(travail.numero);
  if (StartPage(dc) <= 0) echec_spouleur("StartPage de « " + nom + " »");

  const std::vector<bande_dib> bandes = bandes_dib(
      grille, static_cast<int32_t>(std::max<size_t>(octets_bande_max / octets_ligne_dib(grille.largeur()), 1)));
  std::vector<uint8_t> pixels;
  for (const bande_dib& bande : bandes) {
    const size_t pas = octets_ligne_dib(bande.largeur());
    pixels.assign(pas * static_cast<size_t>(bande.hauteur()), 0);
    remplit_bande(grille, bande, pixels);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = bande.largeur();
    format.bmiHeader.biHeight = bande.hauteur();  // bottom-up, as every driver reads it
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    const int lignes = SetDIBitsToDevice(dc, bande.x0 - contexte.decalage_x(), bande.y0 - contexte.decalage_y(),
                                         static_cast<DWORD>(bande.largeur()), static_cast<DWORD>(bande.hauteur()), 0, 0,
                                         0, static_cast<UINT>(bande.hauteur()), pixels.data(), &format, DIB_RGB_COLORS);
    if (lignes <= 0) echec_spouleur("SetDIBitsToDevice de « " + nom + " »");
  }
  if (EndPage(dc) <= 0) echec_spouleur("EndPage de « " + nom + " »");
  if (EndDoc(dc) <= 0) echec_spouleur("EndDoc de « " + nom + " »");
  ouvert.termine();
  return travail;
}

}  // namespace agent
