#include "app/win32/message.h"

#include <cwchar>

#include "os/windows/texte_large.h"

namespace agent {

namespace {

// The message box is a dialog of this thread (class "#32770"); the topmost one is the message
// whose delay ran out, whatever else is open.
BOOL CALLBACK ferme_dialogue(HWND fenetre, LPARAM) {
  wchar_t classe[8] = {};
  if (::GetClassNameW(fenetre, classe, 8) == 0 || std::wcscmp(classe, L"#32770") != 0) return TRUE;
  ::PostMessageW(fenetre, WM_COMMAND, IDOK, 0);
  return FALSE;
}

// A thread timer: the message box's own loop dispatches it.
void CALLBACK delai_ecoule(HWND, UINT, UINT_PTR minuterie, DWORD) {
  ::KillTimer(nullptr, minuterie);
  ::EnumThreadWindows(::GetCurrentThreadId(), ferme_dialogue, 0);
}

}  // namespace

void montre_message(HWND parent, const std::string& texte, UINT icone, int delai_ms) {
  const UINT_PTR minuterie = delai_ms > 0 ? ::SetTimer(nullptr, 0, static_cast<UINT>(delai_ms), delai_ecoule) : 0;
  ::MessageBoxW(parent, large(texte).c_str(), L"agent_impression", MB_OK | icone);
  if (minuterie != 0) ::KillTimer(nullptr, minuterie);
}

}  // namespace agent
