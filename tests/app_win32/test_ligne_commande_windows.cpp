#include <gtest/gtest.h>

#include "app/win32/form1.h"
#include "app/win32/ligne_commande.h"

using namespace agent;

TEST(LigneCommandeWindows, TheTextAfterTheProgramsNameKeepsItsQuotesAndSpacing) {
  struct cas {
    const wchar_t* ligne;
    const wchar_t* arguments;
  };
  for (const cas& c : {
           cas{L"agent_impression.exe QLS-4100 Xe drivers standard", L"QLS-4100 Xe drivers standard"},
           cas{L"\"C:\\Program Files\\agent\\agent_impression.exe\"  \t QLS  4100 ", L"QLS  4100 "},
           cas{L"\"C:\\a b\\agent.exe\"\"QLS\"", L"\"QLS\""},
           cas{L"agent.exe \"QLS-4100 Xe\" drivers", L"\"QLS-4100 Xe\" drivers"},
           cas{L"agent.exe\tQLS", L"QLS"},
           cas{L"agent.exe", L""},
           cas{L"\"C:\\a b\\agent.exe\"   ", L""},
           cas{L"\"C:\\unclosed agent.exe", L""},
           cas{L"", L""},
       })
    EXPECT_EQ(texte_arguments(c.ligne), c.arguments) << testing::PrintToString(std::wstring(c.ligne));
}

TEST(LigneCommandeWindows, TwipsBecomeTheScreensPixelsRounded) {
  // Command1 at the usual 96 pixels per inch, as the Qt window lays it out, then at 120 and 144.
  EXPECT_EQ(pixels_twips(120, 96), 8);
  EXPECT_EQ(pixels_twips(1215, 96), 81);
  EXPECT_EQ(pixels_twips(435, 96), 29);
  EXPECT_EQ(pixels_twips(15825, 96), 1055);
  EXPECT_EQ(pixels_twips(1215, 120), 101);  // 101.25
  EXPECT_EQ(pixels_twips(435, 144), 44);    // 43.5, rounded up
}
