// Quoting and the random source every generator draw goes through.
#include "core/shell/rutinas.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/engine/database.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

TEST(Entrecomillar, WrapsInSingleQuotesWithoutDoublingInnerOnes) {
    EXPECT_EQ(Entrecomillar("Lugo"), "'Lugo'");
    EXPECT_EQ(Entrecomillar("O'Brien"), "'O'Brien'");
    EXPECT_EQ(Entrecomillar(""), "''");
    EXPECT_EQ(Entrecomillar("Añón"), "'Añón'");
}

TEST(Entrecomillar, AStatementCarryingAnInnerQuoteIsRefused) {
    test::TempHome home;
    test::BuildDatabase(home / "personas.db", "CREATE TABLE Personas(Apellido TEXT);");
    engine::EngineError err;
    auto bd =
        engine::Database::Open((home / "personas.db").string(), engine::Database::Kind::User, err);
    ASSERT_TRUE(bd) << err.description;
    ASSERT_TRUE(
        bd->Prepare("Select * from Personas where Apellido = " + Entrecomillar("Lugo"), err))
        << err.description;
    EXPECT_FALSE(
        bd->Prepare("Select * from Personas where Apellido = " + Entrecomillar("O'Brien"), err));
    EXPECT_TRUE(err.failed());
}

class RutinaAleatorio : public ::testing::Test {
  protected:
    void SetUp() override { SembrarAleatorio(20240611); }
};

TEST_F(RutinaAleatorio, SingleValueRangeAlwaysGivesIt) {
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(Aleatorio(3, 3), 3);
}

TEST_F(RutinaAleatorio, EmptyRangeGivesMin) {
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(Aleatorio(5, 4), 5);
    EXPECT_EQ(Aleatorio(0, -1), 0);
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

TEST_F(RutinaAleatorio, NegativeRangesStayInside) {
    std::array<bool, 6> visto{};
    for (int i = 0; i < 5000; ++i) {
        int valor = Aleatorio(-3, 2);
        ASSERT_GE(valor, -3);
        ASSERT_LE(valor, 2);
        visto[valor + 3] = true;
    }
    for (bool v : visto) EXPECT_TRUE(v);
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
    std::vector<int> primera, segunda;
    SembrarAleatorio(7);
    for (int i = 0; i < 50; ++i) primera.push_back(Aleatorio(1, 1000));
    SembrarAleatorio(7);
    for (int i = 0; i < 50; ++i) segunda.push_back(Aleatorio(1, 1000));
    EXPECT_EQ(primera, segunda);
    SembrarAleatorio(8);
    std::vector<int> otra;
    for (int i = 0; i < 50; ++i) otra.push_back(Aleatorio(1, 1000));
    EXPECT_NE(primera, otra);
}

}  // namespace
}  // namespace veliora
