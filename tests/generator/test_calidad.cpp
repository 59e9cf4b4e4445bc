// The quality gate on the sample databases: no shown question has an empty result, the plan
// reports what the gate measured, the gate can be turned off, its verdict does not depend on
// how many rows of the solution it keeps, and its deadline stops a running statement.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "core/shell/errores.h"
#include "generator/entorno.h"

namespace veliora::test {
namespace {

class CalidadMuestras : public ::testing::TestWithParam<std::string> {};

TEST_P(CalidadMuestras, ShownQuestionsAreNeverEmptyWithTheGateOn) {
    TempHome home;
    const std::string nombre = GetParam();
    std::shared_ptr<engine::Database> usuario, auxiliar;
    AbrirMuestra(home, nombre, usuario, auxiliar);
    if (HasFatalFailure())
        return;
    engine::Error err;
    generador::Motor m(usuario, auxiliar);
    ASSERT_TRUE(m.Cargar(err)) << veliora::TextoDeError(err);
    // A budget no press reaches here: what is shown does not depend on the machine.
    m.Calidad = {true, std::chrono::minutes(1)};

    SembrarAleatorio(7);
    std::vector<double> ms;
    int redibujadas = 0;
    for (int i = 0; i < 200; ++i) {
        const auto inicio = std::chrono::steady_clock::now();
        ASSERT_TRUE(m.GenerarPregunta({true, true, true, true, true}));
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio)
                .count());
        const auto& g = m.Ultima();
        EXPECT_GT(g.Filas, 0) << g.Sql;
        redibujadas += g.Redibujadas;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%s: median %.2f ms per shown question, %d questions redrawn in 200\n",
                nombre.c_str(), ms[ms.size() / 2], redibujadas);

    m.Calidad.activa = false;
    ASSERT_TRUE(m.GenerarPregunta({true, true, true, true, true}));
    EXPECT_EQ(m.Ultima().Filas, -1);
    EXPECT_EQ(m.Ultima().Redibujadas, 0);
}

TEST(Calidad, VerdictIsTheSameWhateverRowsTheGateKeepsAndTheDeadlineStopsAStatement) {
    TempHome home;
    std::shared_ptr<engine::Database> usuario, auxiliar;
    AbrirMuestra(home, "tienda.db", usuario, auxiliar);
    if (HasFatalFailure())
        return;
    using generador::Dictamen;
    struct Caso {
        const char* sql;
        Dictamen dictamen;
        long filas;
    };
    // Keeping no row tells every mutant by its row count first, then by its rows.
    const Caso casos[] = {
        {"Select Nombre from Productos where Precio > 100000", Dictamen::Vacia, 0},
        {"Select max(Peso) from Productos where Stock < 0", Dictamen::Vacia, 1},
        {"Select Nombre from Productos where Stock >= 0 order by Nombre desc", Dictamen::Trivial,
         52},
        {"Select IdPedido from [Lineas Pedido] where Cantidad > 0 and Descuento >= 0",
         Dictamen::Trivial, 376},
        {"Select IdProducto, count(*) from [Lineas Pedido] group by IdProducto having count(*) "
         ">= 1",
         Dictamen::Trivial, 45},
        {"Select IdPedido, Cantidad from [Lineas Pedido] where Cantidad > 5", Dictamen::Digna, 63},
        {"Select count(*) from Productos where Precio > 10", Dictamen::Digna, 1},
        {"Select Nombre from Productos where Precio > 10 and IdProducto in (select IdProducto "
         "from [Lineas Pedido])",
         Dictamen::Digna, 8},
    };
    const auto sinPrisa = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (const auto& c : casos)
        for (std::size_t guardar : {std::size_t(0), generador::kFilasGuardadas}) {
            const auto m = generador::MedirPregunta(*usuario, c.sql, sinPrisa, guardar);
            EXPECT_EQ(m.dictamen, c.dictamen) << c.sql << " keeping " << guardar;
            EXPECT_EQ(m.filas, c.filas) << c.sql << " keeping " << guardar;
        }

    const auto m = generador::MedirPregunta(
        *usuario,
        "with recursive r(n) as (select 1 union all select n + 1 from r) select count(*) from r",
        std::chrono::steady_clock::now() + std::chrono::milliseconds(50));
    EXPECT_EQ(m.dictamen, Dictamen::SinTiempo);
    EXPECT_EQ(m.filas, -1);
}

INSTANTIATE_TEST_SUITE_P(Generador, CalidadMuestras,
                         ::testing::Values(std::string("tienda.db"), std::string("escuela.db")));

}  // namespace
}  // namespace veliora::test
