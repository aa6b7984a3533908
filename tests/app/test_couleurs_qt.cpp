#include <gtest/gtest.h>

#include "app/couleurs_qt.h"

using namespace agent;

TEST(CouleursQt, RedInTheLowByteWhicheverWayAColourGoes) {
  EXPECT_EQ(couleur_de(qRgb(255, 0, 0)), rouge);
  EXPECT_EQ(couleur_de(qRgba(1, 255, 0, 0)), vert_rouge_1);
  EXPECT_EQ(qrgb_de(bleu_254), qRgb(0, 0, 254));
}
