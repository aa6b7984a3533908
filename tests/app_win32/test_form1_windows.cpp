// The Win32 window: its layout, a poll through its message pumps, and the end on an error. A
// window needs a display: without one (Wine with no X server) these cases are skipped.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>

#include "app/win32/form1.h"
#include "core/chemin_utf8.h"
#include "tests/support/bmp_essai.h"
#include "tests/support/imprimante_enregistreuse.h"

using namespace agent;
using namespace agent::essai;
namespace fs = std::filesystem;

namespace {

class FenetreWindows : public testing::Test {
protected:
  FenetreWindows() : dossier(fs::temp_directory_path() / ("agent_form1-" + std::to_string(std::random_device()()))) {
    fs::create_directory(dossier);
    try {
      form = std::make_unique<Form1>(::GetModuleHandleW(nullptr), imprimante,
                                     Form1::reglages{texte_utf8(dossier), [] { return std::string("QLS"); }, 300});
    } catch (const erreur& e) {
      sans_ecran = e.description();
    }
  }
  ~FenetreWindows() override {
    form.reset();
    fs::remove_all(dossier);
  }

  // Left, top, width and height in Form1's client area.
  RECT place(HWND composant) const {
    RECT r{};
    ::GetWindowRect(composant, &r);
    ::MapWindowPoints(HWND_DESKTOP, form->fenetre(), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  static std::wstring texte(HWND fenetre) {
    wchar_t t[256] = {};
    ::GetWindowTextW(fenetre, t, 256);
    return t;
  }

  fs::path dossier;
  imprimante_enregistreuse imprimante{{{"QLS", "QLS"}}, "QLS"};
  std::unique_ptr<Form1> form;
  std::string sans_ecran;
};

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST_F(FenetreWindows, StartsWithItsComponentsWhereTheirTwipsPutThemInTabOrder) {
  if (!form) GTEST_SKIP() << sans_ecran;
  const HDC ecran = ::GetDC(nullptr);
  const int ppp_x = ::GetDeviceCaps(ecran, LOGPIXELSX), ppp_y = ::GetDeviceCaps(ecran, LOGPIXELSY);
  ::ReleaseDC(nullptr, ecran);
  const auto pixels = [&](int g, int h, int l, int ht) {
    return RECT{pixels_twips(g, ppp_x), pixels_twips(h, ppp_y), pixels_twips(l, ppp_x), pixels_twips(ht, ppp_y)};
  };
  RECT client{};
  ::GetClientRect(form->fenetre(), &client);
  EXPECT_TRUE(client == pixels(0, 0, 15825, 8415));
  EXPECT_TRUE(place(form->Command1) == pixels(120, 300, 1215, 435));
  EXPECT_TRUE(place(form->Picture1->fenetre()) == pixels(1620, 300, 19515, 14205));
  EXPECT_TRUE(place(form->File1) == pixels(180, 1080, 1095, 1260));
  EXPECT_EQ(texte(form->fenetre()), L"Form1");
  EXPECT_EQ(texte(form->Command1), L"Command1");
  // The picture box's inside, its 2-pixel border left out.
  EXPECT_EQ(form->Picture1->surface().largeur_echelle(), static_cast<float>(pixels_twips(19515, ppp_x) - 4));
  EXPECT_EQ(::GetNextDlgTabItem(form->fenetre(), form->Command1, FALSE), form->Picture1->fenetre());
  EXPECT_EQ(::GetNextDlgTabItem(form->fenetre(), form->Picture1->fenetre(), FALSE), form->File1);
}

TEST_F(FenetreWindows, APollPrintsAndDeletesThenAnErrorEndsTheProgramWithCode1) {
  if (!form) GTEST_SKIP() << sans_ecran;
  ecrit_fichier(texte_utf8(dossier / "a_b_2.bmp2"), ecrit_bmp({2, 1, {0xFF000000, 0xFFFFFFFF}}, 24));
  form->Timer1_Timer();
  ASSERT_EQ(imprimante.documents().size(), 1u);
  EXPECT_EQ(imprimante.documents()[0].copies, 2);
  EXPECT_FALSE(fs::exists(dossier / "a_b_2.bmp2"));
  EXPECT_EQ(::SendMessageW(form->File1, LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(texte(form->fenetre()).find(L'/') != std::wstring::npos, true) << texte(form->fenetre());

  // The folder gone: the message closes by itself after 300 ms, then the event loop ends with 1.
  fs::remove_all(dossier);
  form->Timer1_Timer();
  MSG m{};
  ASSERT_TRUE(::PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(m.wParam, 1u);
}
