#include "app/win32/boite_image.h"

#include <algorithm>

#include "image/decodeur_plateforme.h"

namespace agent {

namespace {

constexpr const wchar_t* classe_boite = L"agent_impression.Picture1";

HWND cree(HWND parent, const RECT& place, boite_image* boite, WNDPROC procedure) {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  WNDCLASSEXW classe{};
  classe.cbSize = sizeof classe;
  classe.lpfnWndProc = procedure;
  classe.hInstance = instance;
  classe.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  classe.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  classe.lpszClassName = classe_boite;
  ::RegisterClassExW(&classe);  // a second window of the process finds it registered
  // The client edge is the 2-pixel sunken border.
  return ::CreateWindowExW(WS_EX_CLIENTEDGE, classe_boite, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, place.left,
                           place.top, place.right, place.bottom, parent, nullptr, instance, boite);
}

SIZE interieur(HWND fenetre) {
  RECT r{};
  ::GetClientRect(fenetre, &r);
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

boite_image::boite_image(HWND parent, const RECT& place)
    : fenetre_(cree(parent, place, this, procedure)),
      surface_(interieur(fenetre_).cx, interieur(fenetre_).cy, decode_png_gif) {}

void boite_image::charge(const std::string& chemin) {
  surface_.charge(chemin);
  ::InvalidateRect(fenetre_, nullptr, TRUE);
}

void boite_image::efface() {
  surface_.efface();
  ::InvalidateRect(fenetre_, nullptr, TRUE);
}

LRESULT CALLBACK boite_image::procedure(HWND fenetre, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE)
    ::SetWindowLongPtrW(fenetre, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams));
  auto* boite = reinterpret_cast<boite_image*>(::GetWindowLongPtrW(fenetre, GWLP_USERDATA));
  if (message == WM_PAINT && boite) {
    boite->peint();
    return 0;
  }
  // Focus reaches it by the Tab key; a click gives it too.
  if (message == WM_LBUTTONDOWN) ::SetFocus(fenetre);
  return ::DefWindowProcW(fenetre, message, w, l);
}

// Only the part that shows, straight from the preview's own rows, never a copy: they are laid
// out as a device-independent bitmap's, top row first.
void boite_image::peint() {
  PAINTSTRUCT dessin{};
  const HDC dc = ::BeginPaint(fenetre_, &dessin);
  if (surface_.a_une_image()) {
    const image_pixels& image = surface_.image();
    const SIZE visible = interieur(fenetre_);
    const int largeur = std::min<int>(image.largeur(), visible.cx);
    const int hauteur = std::min<int>(image.hauteur(), visible.cy);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.largeur();
    info.bmiHeader.biHeight = -image.hauteur();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = image.format() == format_pixels::bvr24 ? 24 : 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::StretchDIBits(dc, 0, 0, largeur, hauteur, 0, 0, largeur, hauteur, image.ligne(0), &info, DIB_RGB_COLORS, SRCCOPY);
  }
  ::EndPaint(fenetre_, &dessin);
}

}  // namespace agent
