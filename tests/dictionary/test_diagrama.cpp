#include <gtest/gtest.h>

#include <iostream>

#include "core/access/conversion.h"
#include "core/dictionary/diagrama.h"
#include "core/dictionary/disposicion.h"
#include "core/dictionary/vista_esquema.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

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

// ---------------------------------------------------------------- the drawn diagram

namespace veliora::diagrama {
namespace {

const Letra kLetra{240, 90, 45};  // a box: 420 twips of name and rule, 240 a field

TEST(Disposicion, CajasAltasComoSusCamposODesplazables) {
    const struct {
        int campos, limite;
        int alto, visibles;
        bool desplazable;
    } casos[] = {
        {3, kAltoPlantilla, 420 + 3 * 240, 3, false},
        {0, kAltoPlantilla, 420, 0, false},
        {12, kAltoPlantilla, 420 + 6 * 240, 6, true},  // whole lines only
        {12, 4000, 420 + 12 * 240, 12, false},         // stretched by the user
    };
    for (const auto& c : casos) {
        const CajaDibujada d = DimensionarCaja({{100, 200, 2550, c.limite}, c.campos}, kLetra);
        EXPECT_EQ(d.caja, (Caja{100, 200, 2550, c.alto})) << c.campos;
        EXPECT_EQ(d.camposVisibles, c.visibles) << c.campos;
        EXPECT_EQ(d.desplazable, c.desplazable) << c.campos;
    }
}

TEST(Disposicion, EtiquetaJuntoASuLineaSinTaparNada) {
    // Two boxes side by side: the line joins their tops across the gap, its path arcs above
    // it and the label stands above the arc, centred.
    const Dibujo d = Disponer({{{0, 0, 2550, 1980}, 2}, {{2640, 0, 2550, 1980}, 2}},
                              {{0, 1, 900, 300}, {1, 0, 900, 300}}, kLetra);
    EXPECT_EQ(d.relaciones[0].linea, (Linea{2550, 0, 2640, 0}));
    EXPECT_EQ(d.relaciones[0].trazo.c1, (Punto{2580, -300}));
    ASSERT_TRUE(d.relaciones[0].etiqueta);
    EXPECT_EQ(*d.relaciones[0].etiqueta, (Caja{2145, -570, 900, 300}));
    // The same line again: its label takes another place, or none.
    if (const auto& otra = d.relaciones[1].etiqueta) {
        EXPECT_FALSE(Solapan(*otra, *d.relaciones[0].etiqueta));
    }
    // Walled in on both sides: shown on hover only.
    const Trazo recto{{0, 0}, {1000, 0}, {2000, 0}, {3000, 0}};
    EXPECT_FALSE(ColocarEtiqueta(recto, 900, 300, {{-500, -900, 4000, 1800}}, {}));
    // A line of no length (a table related to itself) gets a loop, and its label avoids it.
    EXPECT_EQ(Bucle({10, 20, 10, 20}), (Caja{-290, -280, 300, 300}));
}

TEST(Disposicion, CrucesDeSegmentoYRectangulo) {
    const Caja c{0, 0, 100, 100};
    EXPECT_TRUE(Cruza({-50, 50, 150, 50}, c));
    EXPECT_TRUE(Cruza({50, 50, 60, 60}, c));   // wholly inside
    EXPECT_FALSE(Cruza({-50, 0, 150, 0}, c));  // along an edge
    EXPECT_FALSE(Cruza({150, -50, 250, 50}, c));
    EXPECT_FALSE(Cruza({-10, 220, 220, -10}, c));  // past a corner
}

// The samples and Northwind, over diagrams of several widths: every label clear of every box
// and of every other label, and beside its own line.
TEST(Disposicion, EtiquetasLibresEnLasMuestrasYNorthwind) {
    test::TempHome home;
    std::vector<std::filesystem::path> bases = {test::SamplePath("tienda.db"),
                                                test::SamplePath("escuela.db")};
    engine::Error err;
    access::Conversion conversion;
    if (!std::filesystem::is_directory(test::AccessFixtureDir()) || access::RutaLector().empty())
        std::cout << "Northwind left out: no Access fixtures or no veliora-mdb\n";
    else if (access::Convertir(test::AccessFixtureDir() / "nwind.mdb", home / "nwind.db",
                               conversion, err))
        bases.push_back(home / "nwind.db");
    else
        ADD_FAILURE() << "Northwind not converted: " << veliora::TextoDeError(err);
    for (const auto& ruta : bases) {
        auto bd = test::OpenDatabase(ruta, engine::Database::Kind::User);
        VistaEsquema vista;
        ASSERT_TRUE(bd && LeerVistaEsquema(*bd, nullptr, vista, err)) << veliora::TextoDeError(err);
        std::vector<RelacionDiagrama> relaciones;
        for (const RelacionVista& r : vista.Relaciones)
            relaciones.push_back({r.Origen, r.Destino, int(r.Nombre.size()) * 105 + 150, 300});
        for (const int ancho : {6000, 11000, 15000, 40000}) {
            std::vector<TablaDiagrama> tablas;
            const auto cajas = CajasIniciales(vista, ancho);
            for (std::size_t k = 0; k < cajas.size(); ++k)
                tablas.push_back({cajas[k], int(vista.Tablas[k].Campos.size())});
            const Dibujo d = Disponer(tablas, relaciones, kLetra);
            int mostradas = 0;
            for (std::size_t i = 0; i < d.relaciones.size(); ++i) {
                const auto& e = d.relaciones[i].etiqueta;
                if (!e)
                    continue;
                ++mostradas;
                const Caja cerca{e->Left - 120, e->Top - 120, e->Width + 240, e->Height + 240};
                const auto tramos = Tramos(d.relaciones[i].trazo);
                EXPECT_TRUE(std::any_of(tramos.begin(), tramos.end(),
                                        [&](const Linea& l) { return Cruza(l, cerca); }))
                    << ruta << " " << ancho << ": label " << i << " away from its line";
                for (const CajaDibujada& c : d.cajas)
                    EXPECT_FALSE(Solapan(*e, c.caja)) << ruta << " " << ancho << " label " << i;
                for (std::size_t j = 0; j < i; ++j)
                    if (d.relaciones[j].etiqueta) {
                        EXPECT_FALSE(Solapan(*e, *d.relaciones[j].etiqueta))
                            << ruta << " " << ancho << " labels " << j << ", " << i;
                    }
            }
            // Rows of two boxes leave little room between them; wider diagrams show most.
            if (ancho >= 11000) {
                EXPECT_GE(mostradas * 2, int(d.relaciones.size())) << ruta << " " << ancho;
            }
        }
    }
}

}  // namespace
}  // namespace veliora::diagrama
