// The string table: both languages complete, and the language offset.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

const std::vector<std::pair<int, int>> kBloques = {
    {101, 119},   {150, 160},   {201, 207},   {301, 340},   {350, 357},   {401, 408},
    {501, 507},   {601, 606},   {701, 727},   {801, 812},   {901, 906},   {1001, 1007},
    {1101, 1121}, {1130, 1142}, {1150, 1165}, {1201, 1207}, {1301, 1306}, {1401, 1408},
    {1450, 1463}, {1600, 1608}, {1700, 1705}, {1800, 1824}, {1900, 1910}, {2601, 2604},
    {2610, 2613}, {2100, 2112}, {2120, 2120}, {2130, 2132}, {2140, 2140}, {2150, 2153},
    {2160, 2161},
};

class TablaTextos : public ::testing::Test {
  protected:
    test::TempHome home_;
    Aplicacion app_;
};

// Every block is there, every text has its twin in the other language, and none carries stray
// blanks or line ends.
TEST_F(TablaTextos, EveryTextIsCompleteInBothLanguages) {
    for (auto [primero, ultimo] : kBloques)
        for (int id = primero; id <= ultimo; ++id) EXPECT_TRUE(ExisteTexto(id)) << id;
    int textos = 0;
    for (int id = 1; id < 10000; ++id) {
        if (!ExisteTexto(id))
            continue;
        textos += 2;
        for (int absoluto : {id, id + 10000}) {
            const std::string texto = TextoAbsoluto(absoluto);
            ASSERT_FALSE(texto.empty()) << absoluto;
            EXPECT_NE(texto.front(), ' ') << absoluto;
            EXPECT_NE(texto.back(), ' ') << absoluto;
            EXPECT_EQ(texto.find_first_of("\t\r\n"), std::string::npos) << absoluto;
        }
    }
    EXPECT_EQ(NumeroTextos(), textos);
}

// The language offset picks the Valencian twin; unknown ids give the empty text; "%1" takes
// the value given.
TEST_F(TablaTextos, LanguageOffsetAndValues) {
    for (int desplazamiento : {0, 10000}) {
        app_.FijarDesplazamientoIdioma(desplazamiento);
        for (auto [primero, ultimo] : kBloques)
            for (int id = primero; id <= ultimo; ++id)
                EXPECT_EQ(Texto(id), TextoAbsoluto(id + desplazamiento)) << id;
        EXPECT_EQ(Texto(99999), "");
    }
    EXPECT_NE(TextoAbsoluto(101), TextoAbsoluto(10101));
    app_.FijarDesplazamientoIdioma(0);
    EXPECT_EQ(Texto(1703, "a.db"), "No se puede abrir a.db");
    app_.FijarDesplazamientoIdioma(10000);
    EXPECT_EQ(Texto(1703, "a.db"), "No es pot obrir a.db");
    EXPECT_EQ(Texto(1700, "x"), Texto(1700));
}

}  // namespace
}  // namespace veliora
