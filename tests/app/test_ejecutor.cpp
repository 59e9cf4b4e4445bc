// The executor: jobs one at a time in order, cancel interrupts the engine and drops the
// result, a fault reaches the caller.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "core/app/ejecutor.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

constexpr const char* kSinFin =
    "with recursive r(n) as (select 1 union all select n + 1 from r) select count(*) from r";

struct Entregas {
    std::atomic<int> hechas{0};
    std::exception_ptr fallo;
    Ejecutor::Destino Destino() {
        return [this](Ejecutor::Entrega entrega, std::exception_ptr f) {
            fallo = f;
            if (entrega)
                entrega();
            ++hechas;
        };
    }
};

TEST(Ejecutor, RunsOneJobAtATimeInOrder) {
    Ejecutor ejecutor;
    Entregas entregas;
    std::atomic<int> dentro{0}, maximo{0};
    std::vector<int> orden;
    std::shared_ptr<Ejecutor::Encargo> ultimo;
    for (int i = 0; i < 8; ++i) {
        ultimo = ejecutor.Lanzar(
            nullptr,
            [&, i] {
                maximo = std::max(maximo.load(), ++dentro);
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                orden.push_back(i);
                --dentro;
                return Ejecutor::Entrega([&entregas] { ++entregas.hechas; });
            },
            entregas.Destino());
    }
    ejecutor.Esperar(ultimo);
    EXPECT_EQ(maximo, 1);
    EXPECT_EQ(orden, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(entregas.hechas, 16);  // each delivery, and what each delivered
    EXPECT_EQ(ejecutor.Pendientes(), 0);
}

TEST(Ejecutor, CancelInterruptsTheEngineAndDropsTheResult) {
    test::TempHome home;
    test::BuildDatabase(home.path() / "a.db", "CREATE TABLE T(x); INSERT INTO T VALUES (1);");
    engine::Error err;
    auto bd =
        engine::Database::Open((home.path() / "a.db").string(), engine::Database::Kind::User, err);
    ASSERT_TRUE(bd) << err.engineMessage;
    Ejecutor ejecutor;
    Entregas entregas;
    std::atomic<bool> empezado{false}, interrumpido{false}, siguienteCorrio{false};
    const auto largo = ejecutor.Lanzar(
        bd,
        [&] {
            empezado = true;
            engine::Error e;
            bd->Scalar(kSinFin, e);
            interrumpido = e.failed();
            return Ejecutor::Entrega();
        },
        entregas.Destino());
    // Queued behind it and cancelled before it starts: it never runs.
    const auto nunca = ejecutor.Lanzar(
        bd,
        [&] {
            siguienteCorrio = true;
            return Ejecutor::Entrega();
        },
        entregas.Destino());
    ejecutor.Cancelar(nunca);
    while (!empezado) std::this_thread::yield();
    ejecutor.Cancelar(largo);
    ejecutor.Esperar(largo);
    ejecutor.Esperar(nunca);
    EXPECT_TRUE(interrumpido);
    EXPECT_FALSE(siguienteCorrio);
    EXPECT_EQ(entregas.hechas, 0);
    // The interrupt does not fail the next job on the same database.
    std::int64_t valor = 0;
    ejecutor.Esperar(ejecutor.Lanzar(
        bd,
        [&] {
            engine::Error e;
            valor = bd->Scalar("select x from T", e).toInt();
            return Ejecutor::Entrega();
        },
        entregas.Destino()));
    EXPECT_EQ(valor, 1);
    EXPECT_EQ(entregas.hechas, 1);
}

TEST(Ejecutor, AFaultReachesTheCaller) {
    Ejecutor ejecutor;
    Entregas entregas;
    ejecutor.Esperar(ejecutor.Lanzar(
        nullptr, []() -> Ejecutor::Entrega { throw std::runtime_error("disco lleno"); },
        entregas.Destino()));
    ASSERT_TRUE(entregas.fallo);
    EXPECT_THROW(std::rethrow_exception(entregas.fallo), std::runtime_error);
}

}  // namespace
}  // namespace veliora
