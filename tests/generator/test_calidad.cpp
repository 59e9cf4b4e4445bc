// The quality gate on the sample databases: no shown question has an empty result, the plan
// reports what the gate measured, and the gate can be turned off.
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

INSTANTIATE_TEST_SUITE_P(Generador, CalidadMuestras,
                         ::testing::Values(std::string("tienda.db"), std::string("escuela.db")));

}  // namespace
}  // namespace veliora::test
