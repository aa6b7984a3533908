// operateur.exe: what an operator does at a Windows workstation, for the tests that run the agent
// under Wine. Each command prints its findings on stdout, one per line, and exits 0 when done, 1
// when what it waited for did not come in time, 2 on a wrong command line.
//
//   operateur clic                  clicks Command1 of the agent's window
//   operateur message <ms>          waits for a message box, prints its text, then presses OK
//   operateur geometrie             prints the window's client size, the screen's dots per inch,
//                                   the client area's origin on the screen, and each component's
//                                   class, text and rectangle in the client area
//   operateur tient <chemin> <ms>   holds the file open for writing, as a program still filling
//                                   it does, prints "ouvert", then closes it after <ms>

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string utf8(const std::wstring& texte) {
  if (texte.empty()) return {};
  const int n =
      ::WideCharToMultiByte(CP_UTF8, 0, texte.data(), static_cast<int>(texte.size()), nullptr, 0, nullptr, nullptr);
  std::string sortie(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, texte.data(), static_cast<int>(texte.size()), sortie.data(), n, nullptr, nullptr);
  return sortie;
}

std::wstring texte_fenetre(HWND fenetre) {
  wchar_t tampon[1024] = {};
  ::GetWindowTextW(fenetre, tampon, 1024);
  return tampon;
}

std::wstring classe_fenetre(HWND fenetre) {
  wchar_t tampon[256] = {};
  ::GetClassNameW(fenetre, tampon, 256);
  return tampon;
}

// The first visible top-level window whose title starts with `debut` (the agent's title changes
// with its progress) and whose class is not `exclue`.
HWND cherche_fenetre(const std::wstring& debut, const std::wstring& classe, unsigned delai_ms) {
  struct recherche {
    std::wstring debut, classe;
    HWND trouvee = nullptr;
  } r{debut, classe};
  for (unsigned attendu = 0;; attendu += 50) {
    ::EnumWindows(
        [](HWND fenetre, LPARAM donnees) -> BOOL {
          auto& r = *reinterpret_cast<recherche*>(donnees);
          if (!::IsWindowVisible(fenetre)) return TRUE;
          if (!r.classe.empty() && classe_fenetre(fenetre) != r.classe) return TRUE;
          if (texte_fenetre(fenetre).rfind(r.debut, 0) != 0) return TRUE;
          r.trouvee = fenetre;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&r));
    if (r.trouvee || attendu >= delai_ms) return r.trouvee;
    ::Sleep(50);
  }
}

HWND form1(unsigned delai_ms) {
  // The agent's own class, whatever it is called, is not a dialog's.
  HWND f = nullptr;
  for (unsigned attendu = 0; !f && attendu <= delai_ms; attendu += 100) {
    f = cherche_fenetre(L"Form1", L"", 0);
    if (f && classe_fenetre(f) == L"#32770") f = nullptr;
    if (!f) ::Sleep(100);
  }
  return f;
}

int clic() {
  HWND f = form1(20000);
  if (!f) return 1;
  HWND bouton = ::FindWindowExW(f, nullptr, L"Button", L"Command1");
  if (!bouton) return 1;
  // Posted: the click's work shows a modal message, and a sent click would wait for it.
  ::PostMessageW(bouton, BM_CLICK, 0, 0);
  std::puts("clic");
  return 0;
}

int message(unsigned delai_ms) {
  HWND boite = cherche_fenetre(L"", L"#32770", delai_ms);
  if (!boite) return 1;
  // A message box's text is its static control 0xFFFF.
  std::printf("%s\n", utf8(texte_fenetre(::GetDlgItem(boite, 0xFFFF))).c_str());
  std::fflush(stdout);
  ::PostMessageW(boite, WM_COMMAND, IDOK, 0);
  return 0;
}

int geometrie() {
  HWND f = form1(20000);
  if (!f) return 1;
  RECT client{};
  ::GetClientRect(f, &client);
  HDC ecran = ::GetDC(nullptr);
  POINT origine{0, 0};
  ::ClientToScreen(f, &origine);
  std::printf("client %ld %ld\nppp %d\norigine %ld %ld\n", client.right, client.bottom,
              ::GetDeviceCaps(ecran, LOGPIXELSX), origine.x, origine.y);
  ::ReleaseDC(nullptr, ecran);
  for (HWND enfant = ::GetWindow(f, GW_CHILD); enfant; enfant = ::GetWindow(enfant, GW_HWNDNEXT)) {
    RECT r{};
    ::GetWindowRect(enfant, &r);
    ::MapWindowPoints(nullptr, f, reinterpret_cast<POINT*>(&r), 2);
    std::printf("%s|%s|%ld %ld %ld %ld\n", utf8(classe_fenetre(enfant)).c_str(), utf8(texte_fenetre(enfant)).c_str(),
                r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  return 0;
}

int tient(const wchar_t* chemin, unsigned duree_ms) {
  HANDLE fichier = ::CreateFileW(chemin, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (fichier == INVALID_HANDLE_VALUE) return 1;
  std::puts("ouvert");
  std::fflush(stdout);
  ::Sleep(duree_ms);
  ::CloseHandle(fichier);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring commande = argc > 1 ? argv[1] : L"";
  if (commande == L"clic" && argc == 2) return clic();
  if (commande == L"message" && argc == 3) return message(static_cast<unsigned>(std::wcstoul(argv[2], nullptr, 10)));
  if (commande == L"geometrie" && argc == 2) return geometrie();
  if (commande == L"tient" && argc == 4)
    return tient(argv[2], static_cast<unsigned>(std::wcstoul(argv[3], nullptr, 10)));
  std::fputs("operateur clic | message <ms> | geometrie | tient <chemin> <ms>\n", stderr);
  return 2;
}
