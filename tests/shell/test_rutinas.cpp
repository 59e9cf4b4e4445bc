// Quoting and the random source every generator draw goes through.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <set>
#include <vector>

#include "core/base/rutinas.h"

namespace veliora {
namespace {

// Inner quotes stay single: what that makes of a statement is the generator's validation
// test (QuotesInsideATextValue).
TEST(Entrecomillar, WrapsInSingleQuotesWithoutDoublingInnerOnes) {
    EXPECT_EQ(Entrecomillar("Lugo"), "'Lugo'");
    EXPECT_EQ(Entrecomillar("O'Brien"), "'O'Brien'");
    EXPECT_EQ(Entrecomillar(""), "''");
    EXPECT_EQ(Entrecomillar("Añón"), "'Añón'");
}

class RutinaAleatorio : public ::testing::Test {
  protected:
    void SetUp() override { SembrarAleatorio(20240611); }
};

// Every value of the range comes up and no other; an empty range gives its minimum.
TEST_F(RutinaAleatorio, DrawsCoverTheirRangeExactly) {
    const struct {
        int min, max;
        std::set<int> valores;
    } casos[] = {{3, 3, {3}}, {5, 4, {5}}, {0, -1, {0}}, {-3, 2, {-3, -2, -1, 0, 1, 2}}};
    for (const auto& c : casos) {
        std::set<int> vistos;
        for (int i = 0; i < 2000; ++i) vistos.insert(Aleatorio(c.min, c.max));
        EXPECT_EQ(vistos, c.valores) << c.min << ".." << c.max;
    }
}

TEST_F(RutinaAleatorio, BothEndsIncludedAndUniform) {
    constexpr int kDraws = 80000;
    std::array<int, 8> cuenta{};
    for (int i = 0; i < kDraws; ++i) {
        int valor = Aleatorio(0, 7);
        ASSERT_GE(valor, 0);
        ASSERT_LE(valor, 7);
        ++cuenta[valor];
    }
    // Chi-square with 7 degrees of freedom; 24.3 is the 0.1% critical value.
    double esperado = kDraws / 8.0, chi2 = 0;
    for (int c : cuenta) chi2 += (c - esperado) * (c - esperado) / esperado;
    EXPECT_LT(chi2, 24.3);
    for (int c : cuenta) EXPECT_GT(c, 0);
}

TEST_F(RutinaAleatorio, ExtremeBoundsDoNotOverflow) {
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    bool negativo = false, positivo = false;
    for (int i = 0; i < 1000; ++i) {
        std::int32_t valor = Aleatorio(kMin, kMax);
        negativo |= valor < 0;
        positivo |= valor > 0;
        ASSERT_GE(Aleatorio(0, kMax), 0);
        ASSERT_LE(Aleatorio(kMin, -1), -1);
    }
    EXPECT_TRUE(negativo);
    EXPECT_TRUE(positivo);
    EXPECT_EQ(Aleatorio(kMax, kMax), kMax);
    EXPECT_EQ(Aleatorio(kMin, kMin), kMin);
}

TEST_F(RutinaAleatorio, SameSeedRepeatsTheSequence) {
    auto serie = [](std::uint64_t semilla) {
        SembrarAleatorio(semilla);
        std::vector<int> valores;
        for (int i = 0; i < 50; ++i) valores.push_back(Aleatorio(1, 1000));
        return valores;
    };
    EXPECT_EQ(serie(7), serie(7));
    EXPECT_NE(serie(7), serie(8));
}

}  // namespace
}  // namespace veliora
