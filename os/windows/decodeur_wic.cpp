// PNG and GIF through the Windows Imaging Component, which every Windows since Vista holds.
#include <objbase.h>
#include <wincodec.h>
#include <windows.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/erreur.h"
#include "image/decodeur_plateforme.h"
#include "image/verification_image.h"

namespace agent {

namespace {

using Microsoft::WRL::ComPtr;

// COM on the calling thread while a picture is decoded: the single-threaded apartment a window's
// thread keeps anyway, joined or left as often as needed. A thread already in the multithreaded
// one (RPC_E_CHANGED_MODE) stays there, where the component works as well, and is not left.
class com_du_fil {
public:
  com_du_fil() : joint_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~com_du_fil() {
    if (joint_) ::CoUninitialize();
  }
  com_du_fil(const com_du_fil&) = delete;
  com_du_fil& operator=(const com_du_fil&) = delete;

private:
  bool joint_;
};

[[noreturn]] void refuse(const std::string& chemin, const std::string& quoi) {
  throw erreur(code_erreur::image_incorrecte, chemin + " : " + quoi);
}

// The component's failure in a few words, with its number for whoever looks it up.
std::string raison_wic(HRESULT resultat) {
  const char* texte = "décodage impossible";
  switch (resultat) {
    case WINCODEC_ERR_BADHEADER: texte = "en-tête incorrect"; break;
    case WINCODEC_ERR_BADIMAGE: texte = "image endommagée"; break;
    case WINCODEC_ERR_STREAMREAD:
    case WINCODEC_ERR_STREAMNOTAVAILABLE: texte = "données tronquées"; break;
    // The decoder is the format's own, so its "unknown format" is data it could not make sense of.
    case WINCODEC_ERR_UNKNOWNIMAGEFORMAT: texte = "données non reconnues"; break;
    case WINCODEC_ERR_COMPONENTNOTFOUND: texte = "décodeur absent de ce Windows"; break;
    default: break;
  }
  char numero[24];
  std::snprintf(numero, sizeof numero, " (0x%08lX)", static_cast<unsigned long>(resultat));
  return texte + std::string(numero);
}

void verifie(HRESULT resultat, const std::string& chemin, const char* etape = nullptr) {
  if (SUCCEEDED(resultat)) return;
  if (resultat == E_OUTOFMEMORY) throw erreur(code_erreur::memoire_insuffisante, chemin);
  refuse(chemin, etape ? etape + (" : " + raison_wic(resultat)) : raison_wic(resultat));
}

uint32_t gros_boutiste(std::span<const uint8_t> octets, size_t position) {
  return uint32_t{octets[position]} << 24 | uint32_t{octets[position + 1]} << 16 | uint32_t{octets[position + 2]} << 8 |
         octets[position + 3];
}

// The PNG's size from its header, checked before the component allocates anything for it; then
// its chunks walked up to the closing one. Qt's reader (libpng) refuses a file that stops before
// that chunk by itself; Windows's is not documented to, and a job file still being copied must
// never show in part.
void verifie_png(std::span<const uint8_t> contenu, const std::string& chemin) {
  if (contenu.size() < 33 || std::memcmp(contenu.data() + 12, "IHDR", 4) != 0) refuse(chemin, "dimensions illisibles");
  const uint32_t largeur = gros_boutiste(contenu, 16), hauteur = gros_boutiste(contenu, 20);
  if (largeur == 0 || hauteur == 0) refuse(chemin, "dimensions illisibles");
  verifie_dimensions(largeur, hauteur, chemin);
  for (size_t position = 8; position + 8 <= contenu.size();) {
    const uint64_t suivant = position + uint64_t{12} + gros_boutiste(contenu, position);
    if (suivant > contenu.size()) break;
    if (std::memcmp(contenu.data() + position + 4, "IEND", 4) == 0) return;
    position = static_cast<size_t>(suivant);
  }
  refuse(chemin, "données PNG tronquées");
}

// A field of the GIF's descriptors ("/logscrdesc/Width", "/imgdesc/Left"); 0 when missing.
UINT champ_gif(IWICMetadataQueryReader* lecteur, const wchar_t* nom) {
  if (!lecteur) return 0;
  PROPVARIANT valeur;
  ::PropVariantInit(&valeur);
  UINT resultat = 0;
  if (SUCCEEDED(lecteur->GetMetadataByName(nom, &valeur)) && valeur.vt == VT_UI2) resultat = valeur.uiVal;
  ::PropVariantClear(&valeur);
  return resultat;
}

// Whether pixels of `format` can be transparent; when the component cannot tell, they may.
bool peut_etre_transparent(IWICImagingFactory* fabrique, const WICPixelFormatGUID& format) {
  ComPtr<IWICComponentInfo> info;
  ComPtr<IWICPixelFormatInfo2> format_info;
  BOOL transparent = TRUE;
  if (SUCCEEDED(fabrique->CreateComponentInfo(format, &info)) && SUCCEEDED(info.As(&format_info)))
    format_info->SupportsTransparency(&transparent);
  return transparent;
}

}  // namespace

image_pixels decode_png_gif(std::span<const uint8_t> contenu, format_fichier format, const std::string& chemin) {
  const bool gif = format == format_fichier::gif;
  if (gif) {
    // The screen's size, from the header the loader has already walked.
    if (contenu.size() < 10) refuse(chemin, "dimensions illisibles");
    verifie_dimensions(contenu[6] | contenu[7] << 8, contenu[8] | contenu[9] << 8, chemin);
  } else {
    verifie_png(contenu, chemin);
  }
  if (contenu.size() > MAXDWORD) refuse(chemin, "fichier de plus de 4 Go");

  const com_du_fil com;
  ComPtr<IWICImagingFactory> fabrique;
  verifie(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&fabrique)), chemin,
          "composant d'images de Windows indisponible");
  // The component reads the bytes where they are, and only reads them.
  ComPtr<IWICStream> flux;
  verifie(fabrique->CreateStream(&flux), chemin);
  verifie(flux->InitializeFromMemory(const_cast<BYTE*>(contenu.data()), static_cast<DWORD>(contenu.size())), chemin);

  ComPtr<IWICBitmapDecoder> decodeur;
  ComPtr<IWICBitmapFrameDecode> trame;
  UINT largeur = 0, hauteur = 0;
  const char* illisibles = "dimensions illisibles";
  verifie(fabrique->CreateDecoder(gif ? GUID_ContainerFormatGif : GUID_ContainerFormatPng, nullptr, &decodeur), chemin,
          illisibles);
  verifie(decodeur->Initialize(flux.Get(), WICDecodeMetadataCacheOnDemand), chemin, illisibles);
  verifie(decodeur->GetFrame(0, &trame), chemin, illisibles);
  verifie(trame->GetSize(&largeur, &hauteur), chemin, illisibles);
  if (largeur == 0 || hauteur == 0) refuse(chemin, illisibles);

  // A GIF's first picture may cover part of its screen only; Qt's reader gives the whole screen,
  // the rest transparent (the loader has refused a GIF whose rest is not), the picture cut at its
  // edges. The component gives the picture alone, placed here the same way.
  UINT ecran_largeur = largeur, ecran_hauteur = hauteur, gauche = 0, haut = 0;
  if (gif) {
    ComPtr<IWICMetadataQueryReader> ecran, descripteur;
    decodeur->GetMetadataQueryReader(&ecran);
    trame->GetMetadataQueryReader(&descripteur);
    const UINT l = champ_gif(ecran.Get(), L"/logscrdesc/Width"), h = champ_gif(ecran.Get(), L"/logscrdesc/Height");
    if (l > 0 && h > 0) {
      ecran_largeur = l;
      ecran_hauteur = h;
      gauche = champ_gif(descripteur.Get(), L"/imgdesc/Left");
      haut = champ_gif(descripteur.Get(), L"/imgdesc/Top");
    }
  }
  verifie_dimensions(largeur, hauteur, chemin);
  const bool couvre = gauche == 0 && haut == 0 && largeur >= ecran_largeur && hauteur >= ecran_hauteur;

  WICPixelFormatGUID source{};
  verifie(trame->GetPixelFormat(&source), chemin);
  ComPtr<IWICFormatConverter> conversion;
  verifie(fabrique->CreateFormatConverter(&conversion), chemin);
  // Blue, green, red, alpha bytes: the little-endian word 0xAARRGGBB, alpha not multiplied in.
  verifie(conversion->Initialize(trame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                 WICBitmapPaletteTypeCustom),
          chemin);

  // RGB32 when the source's pixels cannot be transparent, as Qt says it: the converter gives them
  // alpha 255.
  const bool alpha = !couvre || peut_etre_transparent(fabrique.Get(), source);
  image_pixels pixels(static_cast<int32_t>(ecran_largeur), static_cast<int32_t>(ecran_hauteur),
                      alpha ? format_pixels::argb32 : format_pixels::rvb32);
  const size_t pas = pixels.octets_par_ligne(), total = pas * ecran_hauteur;
  if (!couvre) std::memset(pixels.ligne(0), 0, total);
  if (gauche < ecran_largeur && haut < ecran_hauteur) {
    const WICRect zone{0, 0, static_cast<INT>(std::min(largeur, ecran_largeur - gauche)),
                       static_cast<INT>(std::min(hauteur, ecran_hauteur - haut))};
    const size_t debut = haut * pas + size_t{gauche} * 4;
    verifie(conversion->CopyPixels(&zone, static_cast<UINT>(pas), static_cast<UINT>(total - debut),
                                   pixels.ligne(0) + debut),
            chemin);
  }
  return pixels;
}

}  // namespace agent
