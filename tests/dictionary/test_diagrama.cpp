#include "core/dictionary/diagrama.h"

#include <gtest/gtest.h>

namespace veliora::diagrama {
namespace {

using Lugares = std::vector<std::optional<Punto>>;

TEST(Diagrama, ColocacionAutomaticaEnFilas) {
    const auto p = ColocarTablas(Lugares(7), 11000);
    const std::vector<Punto> esperado = {{0, 0},     {2640, 0},  {5280, 0},   {7920, 0},
                                         {10560, 0}, {90, 2070}, {2730, 2070}};
    EXPECT_EQ(p, esperado);
}

TEST(Diagrama, LasTablasGuardadasNoAvanzanElLugarLibre) {
    const auto p =
        ColocarTablas({Punto{4000, 300}, std::nullopt, Punto{15, 30}, std::nullopt}, 11000);
    const std::vector<Punto> esperado = {{4000, 300}, {0, 0}, {15, 30}, {2640, 0}};
    EXPECT_EQ(p, esperado);
}

TEST(Diagrama, LineaDeRelacionPorPosicionRelativa) {
    const Caja o{3000, 100, 2550, 1980};
    struct Caso {
        const char* que;
        Caja d;
        Linea linea;
    };
    const Caso casos[] = {
        {"d a la derecha", {6000, 500, 2550, 1980}, {5550, 100, 6000, 500}},
        {"d solapa por la derecha", {4000, 500, 3000, 1980}, {5550, 100, 6550, 500}},
        {"d solapa por la izquierda", {1000, 500, 2550, 1980}, {3000, 100, 1000, 500}},
        {"d a la izquierda", {100, 500, 2550, 1980}, {3000, 100, 2650, 500}},
        {"d contenida", {3100, 2500, 1000, 1980}, {3000, 100, 3100, 2500}},
    };
    for (const Caso& c : casos) {
        EXPECT_EQ(LineaRelacion(o, c.d), c.linea) << c.que;
    }
    // The label is centred on the line's middle.
    EXPECT_EQ(PosicionEtiqueta({5550, 100, 6000, 500}, 600, 200), (Punto{5475, 200}));
}

TEST(Diagrama, ArrastreLimitadoPorLosCuatroBordes) {
    const Caja c{1000, 1000, 2550, 1980};
    struct Caso {
        int dx, dy;
        Punto esperado;
    };
    const Caso casos[] = {
        {500, -200, {1500, 800}},     {9000, 0, {7450, 1000}}, {0, 9000, {1000, 3020}},
        {-5000, 0, {0, 1000}},        {0, -5000, {1000, 0}},   {-5000, -5000, {0, 0}},
        {20000, 20000, {7450, 3020}},
    };
    for (const Caso& k : casos)
        EXPECT_EQ(Mover(c, k.dx, k.dy, 10000, 5000), k.esperado) << k.dx << "," << k.dy;
    // A diagram narrower than the box keeps it at the left edge, never negative.
    EXPECT_EQ(Mover(c, 100, 0, 2000, 5000), (Punto{0, 1000}));
}

TEST(Diagrama, EsquinaDeEstiramiento) {
    const Caja c{0, 0, 2550, 1980};
    EXPECT_TRUE(EnEsquina(c, 2071, 1801));
    EXPECT_FALSE(EnEsquina(c, 2070, 1900));
    EXPECT_FALSE(EnEsquina(c, 2500, 1800));
    EXPECT_EQ(Estirar(c, 300, -100, 600, 600), (Caja{0, 0, 2850, 1880}));
    EXPECT_EQ(Estirar(c, -2000, 0, 600, 600), c);  // too small: not applied
}

TEST(Diagrama, TwipsYPixeles) {
    EXPECT_EQ(ATwips(176.0), 2640);
    EXPECT_EQ(ATwips(APixeles(2070)), 2070);
    EXPECT_EQ(ATwips(0.4), 6);
}

}  // namespace
}  // namespace veliora::diagrama
