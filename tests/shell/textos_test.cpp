// The string table: both languages complete, and the texts the windows rely on.
#include "core/shell/textos.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/shell/globales.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

const std::vector<std::pair<int, int>> kBloques = {
    {101, 119},   {201, 207},   {301, 340},   {350, 357},   {401, 408},   {501, 507},
    {601, 606},   {701, 727},   {801, 812},   {901, 906},   {1001, 1007}, {1101, 1121},
    {1130, 1142}, {1201, 1207}, {1301, 1306}, {1401, 1408}, {1450, 1463},
    {1600, 1608},
    {1800, 1819},
};

class TablaTextos : public ::testing::Test {
  protected:
    void TearDown() override { DesplazamientoIdioma = 0; }
    test::TempHome home_;
};

TEST_F(TablaTextos, EveryBlockIsCompleteInBothLanguages) {
    int ids = 0;
    for (auto [primero, ultimo] : kBloques) {
        for (int id = primero; id <= ultimo; ++id, ++ids) {
            EXPECT_TRUE(ExisteTexto(id)) << "Spanish " << id;
            EXPECT_TRUE(ExisteTexto(id + 10000)) << "Valencian " << id + 10000;
            EXPECT_FALSE(TextoAbsoluto(id).empty()) << id;
            EXPECT_FALSE(TextoAbsoluto(id + 10000).empty()) << id + 10000;
        }
    }
    // Every text, the program's own additions included, has its twin in the other language.
    int textos = 0;
    for (int id = 1; id < 10000; ++id) {
        if (!ExisteTexto(id))
            continue;
        textos += 2;
        EXPECT_TRUE(ExisteTexto(id + 10000)) << "Valencian " << id + 10000;
    }
    EXPECT_EQ(NumeroTextos(), textos);
}

TEST_F(TablaTextos, NoIdsBetweenBlocks) {
    EXPECT_FALSE(ExisteTexto(100));
    EXPECT_FALSE(ExisteTexto(120));
    EXPECT_FALSE(ExisteTexto(341));
    EXPECT_FALSE(ExisteTexto(1122));
    EXPECT_FALSE(ExisteTexto(1409));
    EXPECT_FALSE(ExisteTexto(10100));
    EXPECT_FALSE(ExisteTexto(11409));
    EXPECT_EQ(Texto(99999), "");
}

TEST_F(TablaTextos, TextsCarryNoStrayBlanksOrLineEnds) {
    for (auto [primero, ultimo] : kBloques) {
        for (int id = primero; id <= ultimo; ++id) {
            for (int absoluto : {id, id + 10000}) {
                std::string texto = TextoAbsoluto(absoluto);
                ASSERT_FALSE(texto.empty());
                EXPECT_NE(texto.front(), ' ') << absoluto;
                EXPECT_NE(texto.back(), ' ') << absoluto;
                EXPECT_EQ(texto.find_first_of("\t\r\n"), std::string::npos) << absoluto;
            }
        }
    }
}

TEST_F(TablaTextos, SpanishByDefault) {
    DesplazamientoIdioma = 0;
    EXPECT_EQ(Texto(101), "Archivo");
    EXPECT_EQ(Texto(102), "Abrir base de datos");
    EXPECT_EQ(Texto(103), "Salir");
    EXPECT_EQ(Texto(116), "Índice");
    EXPECT_EQ(Texto(202), "Error abriendo la base de datos");
    EXPECT_EQ(Texto(204), "MANUAL.HTM");
    EXPECT_EQ(Texto(303), "&Salir");
    EXPECT_EQ(Texto(1116), "No se puede comprobarla respuesta");
    EXPECT_EQ(Texto(1117),
              "La solución es sintácticamente errónea. Modifícala y repite la verificación");
    EXPECT_EQ(Texto(1107), "Query 1 Tabla");
    EXPECT_EQ(Texto(1108), "Query 2 tablas");
    EXPECT_EQ(Texto(1306), "La contraseña no es válida. Vuelva a intentarlo.");
    EXPECT_EQ(Texto(605), "Se produjo el error:");
}

TEST_F(TablaTextos, ValencianThroughTheOffset) {
    DesplazamientoIdioma = 10000;
    EXPECT_EQ(Texto(101), "Arxiu");
    EXPECT_EQ(Texto(102), "Obrir base de dades");
    EXPECT_EQ(Texto(103), "Eixir");
    EXPECT_EQ(Texto(204), "MANUALV.HTM");
    EXPECT_EQ(Texto(205), "SINTAXISV.HTM");
    EXPECT_EQ(Texto(1207), "Els canvis faran efecte quant es reinicie l'aplicació");
    EXPECT_EQ(Texto(1116), "No es pot comprovar la resposta");
    EXPECT_EQ(Texto(1305), "Cancel·lar");
    EXPECT_EQ(Texto(10101 - 10000), TextoAbsoluto(10101));
}

}  // namespace
}  // namespace veliora
