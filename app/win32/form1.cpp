#include "app/win32/form1.h"

#include "app/win32/message.h"
#include "core/raison_systeme.h"
#include "os/windows/texte_large.h"

namespace agent {

namespace {

constexpr const wchar_t* classe_form1 = L"agent_impression.Form1";
// Not IDOK (1), which the Enter key sends to the window through IsDialogMessage.
constexpr int numero_command1 = 100;

// The layout in twips: left, top, width, height.
struct place_twips {
  int gauche, haut, largeur, hauteur;
};
constexpr int largeur_interieure = 15825, hauteur_interieure = 8415;
constexpr place_twips place_command1{120, 300, 1215, 435};
constexpr place_twips place_picture1{1620, 300, 19515, 14205};
constexpr place_twips place_file1{180, 1080, 1095, 1260};

// The screen's resolution in each axis: 96 pixels per inch unless the system is set otherwise.
struct resolution {
  int x, y;
  RECT pixels(const place_twips& p) const {
    return {pixels_twips(p.gauche, x), pixels_twips(p.haut, y), pixels_twips(p.largeur, x), pixels_twips(p.hauteur, y)};
  }
};

resolution resolution_ecran() {
  const HDC ecran = ::GetDC(nullptr);
  const resolution r{::GetDeviceCaps(ecran, LOGPIXELSX), ::GetDeviceCaps(ecran, LOGPIXELSY)};
  ::ReleaseDC(nullptr, ecran);
  return r;
}

HWND enfant(const wchar_t* classe, const wchar_t* texte, DWORD style, DWORD style_etendu, const RECT& place,
            HWND parent, int numero) {
  return ::CreateWindowExW(style_etendu, classe, texte, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, place.left,
                           place.top, place.right, place.bottom, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(numero)),
                           reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
}

}  // namespace

int pixels_twips(int twips, int ppp) { return ::MulDiv(twips, ppp, 1440); }

Form1::Form1(HINSTANCE instance, service_imprimante& imprimante, reglages r)
    : delai_message_fatal_ms_(r.delai_message_fatal_ms), logique_(*this, imprimante, printerDialog, std::move(r)) {
  WNDCLASSEXW classe{};
  classe.cbSize = sizeof classe;
  classe.lpfnWndProc = procedure;
  classe.hInstance = instance;
  classe.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
  classe.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  classe.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  classe.lpszClassName = classe_form1;
  ::RegisterClassExW(&classe);  // a second window of the process finds it registered

  const resolution ecran = resolution_ecran();
  // The client area is laid out; the system places the window.
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  RECT cadre{0, 0, pixels_twips(largeur_interieure, ecran.x), pixels_twips(hauteur_interieure, ecran.y)};
  ::AdjustWindowRectEx(&cadre, style, FALSE, 0);
  fenetre_ = ::CreateWindowExW(0, classe_form1, L"Form1", style, CW_USEDEFAULT, CW_USEDEFAULT, cadre.right - cadre.left,
                               cadre.bottom - cadre.top, nullptr, nullptr, instance, this);
  if (!fenetre_)
    throw erreur(code_erreur::memoire_insuffisante, "Form1 : " + raison_systeme(derniere_erreur_windows()));

  // Created in their tab order: Command1, Picture1, File1.
  Command1 = enfant(L"BUTTON", L"Command1", BS_PUSHBUTTON, 0, ecran.pixels(place_command1), fenetre_, numero_command1);
  Picture1 = std::make_unique<boite_image>(fenetre_, ecran.pixels(place_picture1));
  File1 = enfant(L"LISTBOX", L"", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE, ecran.pixels(place_file1),
                 fenetre_, 0);
  NONCLIENTMETRICSW mesures{};
  mesures.cbSize = sizeof mesures;
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof mesures, &mesures, 0))
    police_ = ::CreateFontIndirectW(&mesures.lfMessageFont);
  for (HWND composant : {Command1, File1}) ::SendMessageW(composant, WM_SETFONT, reinterpret_cast<WPARAM>(police_), 0);
  active_minuterie(true);
}

Form1::~Form1() {
  if (fenetre_) ::DestroyWindow(fenetre_);
  if (police_) ::DeleteObject(police_);
}

int Form1::execute(int affichage) {
  ::ShowWindow(fenetre_, affichage);
  ::UpdateWindow(fenetre_);
  MSG m{};
  while (::GetMessageW(&m, nullptr, 0, 0) > 0) distribue(m);
  return static_cast<int>(m.wParam);
}

void Form1::distribue(MSG& m) {
  // The Tab key moves between the components, as in a dialog.
  if (fenetre_ && ::IsDialogMessageW(fenetre_, &m)) return;
  ::TranslateMessage(&m);
  ::DispatchMessageW(&m);
}

bool Form1::pompe() {
  MSG m{};
  while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(m.wParam));
      return false;
    }
    distribue(m);
  }
  return true;
}

LRESULT CALLBACK Form1::procedure(HWND fenetre, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE)
    ::SetWindowLongPtrW(fenetre, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams));
  auto* form = reinterpret_cast<Form1*>(::GetWindowLongPtrW(fenetre, GWLP_USERDATA));
  if (form && form->fenetre_ == fenetre) return form->traite(message, w, l);
  return ::DefWindowProcW(fenetre, message, w, l);
}

LRESULT Form1::traite(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_TIMER:
      if (w != Timer1) break;
      Timer1_Timer();
      return 0;
    case WM_COMMAND:
      if (LOWORD(w) != numero_command1 || HIWORD(w) != BN_CLICKED) break;
      Command1_Click();
      return 0;
    case WM_DESTROY:
      // Closing the window ends the program.
      fenetre_ = nullptr;
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(fenetre_, message, w, l);
}

void Form1::affiche_liste(const std::vector<std::string>& noms) {
  ::SendMessageW(File1, LB_RESETCONTENT, 0, 0);
  for (const auto& nom : noms) ::SendMessageW(File1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(large(nom).c_str()));
}

void Form1::active_minuterie(bool active) {
  if (!fenetre_) return;
  if (active)
    ::SetTimer(fenetre_, Timer1, intervalle_releve_ms, nullptr);
  else
    ::KillTimer(fenetre_, Timer1);
}

void Form1::charge_apercu(const std::string& chemin) { Picture1->charge(chemin); }

void Form1::efface_apercu() { Picture1->efface(); }

const surface_apercu& Form1::apercu() const { return Picture1->surface(); }

// The window stays live meanwhile. A wait that ends before its time was ended with the program
// (a fatal error in a click meanwhile, the window closed).
bool Form1::patiente(std::chrono::milliseconds duree) {
  const auto fin = std::chrono::steady_clock::now() + duree;
  for (;;) {
    if (!pompe()) return false;
    const auto reste = std::chrono::ceil<std::chrono::milliseconds>(fin - std::chrono::steady_clock::now());
    if (reste.count() <= 0) return true;
    ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(reste.count()), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void Form1::tour_evenements() { pompe(); }

void Form1::affiche_titre(const std::string& titre) {
  if (fenetre_) ::SetWindowTextW(fenetre_, large(titre).c_str());
}

void Form1::affiche_message(const std::string& texte) { montre_message(fenetre_, texte, MB_ICONINFORMATION); }

void Form1::termine_sur_erreur(const std::string& texte) {
  montre_message(fenetre_, texte, MB_ICONERROR, delai_message_fatal_ms_);
  ::PostQuitMessage(code_sortie_erreur);
}

}  // namespace agent
