// Answer checking on two results of a million rows each: the cost of running both
// statements against the cost of the whole check (run + compare, sorted when needed).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/engine/database.h"
#include "core/practice/comprobar.h"

namespace {

using veliora::engine::Database;
using veliora::engine::EngineError;

constexpr int kFilas = 1'000'000;

const char* kSolucion = "select Id, Nombre, Importe, Alta from Movimientos";
const char* kMismoOrden = "select Id, Nombre, Importe, Alta from Movimientos order by Id";
// Same rows, reversed: the first comparison fails at once and both results are sorted.
const char* kOtroOrden = "select Id, Nombre, Importe, Alta from Movimientos order by Id desc";
// Same count, one value off in the last row: both comparisons run to the end.
const char* kErronea =
    "select Id, Nombre, case when Id = 1000000 then -1 else Importe end, Alta from Movimientos "
    "order by Nombre desc";

// Neither result is in the sorted order: both are sorted in memory.
const char* kSolucionDesordenada =
    "select Id, Nombre, Importe, Alta from Movimientos order by Nombre, Id";
const char* kAmbasDesordenadas =
    "select Id, Nombre, Importe, Alta from Movimientos order by Nombre desc, Id";

struct BaseDatos {
    std::filesystem::path ruta;
    std::shared_ptr<Database> bd;

    BaseDatos() {
        ruta = std::filesystem::temp_directory_path() /
               ("veliora-bench-checking-" + std::to_string(::getpid()) + ".db");
        std::filesystem::remove(ruta);
        EngineError err;
        {
            auto w = Database::Create(ruta.string(), err);
            if (!w)
                throw std::runtime_error(err.description);
            w->Execute(
                "create table Movimientos (Id integer primary key, Nombre text, Importe double, "
                "Alta date)",
                err);
            w->Execute(
                "with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
                    std::to_string(kFilas) +
                    ") insert into Movimientos select i, 'cliente ' || (i * 7919 % 100003), "
                    "(i % 1000) / 4.0, date('2000-01-01', '+' || (i % 9000) || ' days') from n",
                err);
            if (err.failed())
                throw std::runtime_error(err.description);
            w->Close();
        }
        bd = Database::Open(ruta.string(), Database::Kind::User, err);
        if (!bd)
            throw std::runtime_error(err.description);
        veliora::engine::Limits limites;
        limites.timeout = std::chrono::minutes(5);
        bd->SetLimits(limites);
        // Two full reads first, so the first benchmark pays neither for a cold file cache
        // nor for the first growth of the heap.
        auto a = bd->OpenRecordset(kSolucion, err);
        a->MoveLast();
        auto b = bd->OpenRecordset(kSolucion, err);
        b->MoveLast();
    }
    ~BaseDatos() {
        bd.reset();
        std::filesystem::remove(ruta);
    }
};

BaseDatos& Datos() {
    static BaseDatos datos;
    return datos;
}

// Only running both statements to their end: the floor the checking work is set against.
void EjecutarAmbas(benchmark::State& state, const char* solucion, const char* respuesta) {
    auto& bd = *Datos().bd;
    for (auto _ : state) {
        EngineError err;
        auto a = bd.OpenRecordset(solucion, err);
        a->MoveLast();
        auto b = bd.OpenRecordset(respuesta, err);
        b->MoveLast();
        benchmark::DoNotOptimize(a->RecordCount() + b->RecordCount());
    }
}

void Comprobar(benchmark::State& state, const char* solucion, const char* respuesta,
               veliora::Veredicto esperado) {
    auto& bd = *Datos().bd;
    for (auto _ : state) {
        auto r = veliora::ComprobarRespuesta(bd, solucion, respuesta);
        if (r.veredicto != esperado)
            state.SkipWithError("unexpected verdict");
        benchmark::DoNotOptimize(r);
    }
}

// Each pair: running both statements alone, then the whole check.
BENCHMARK_CAPTURE(EjecutarAmbas, mismo_orden, kSolucion, kMismoOrden)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Comprobar, mismo_orden, kSolucion, kMismoOrden, veliora::Veredicto::Correcto)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EjecutarAmbas, otro_orden, kSolucion, kOtroOrden)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Comprobar, otro_orden, kSolucion, kOtroOrden, veliora::Veredicto::Correcto)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EjecutarAmbas, erronea, kSolucion, kErronea)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Comprobar, erronea, kSolucion, kErronea, veliora::Veredicto::Erroneo)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(EjecutarAmbas, ambas_desordenadas, kSolucionDesordenada, kAmbasDesordenadas)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Comprobar, ambas_desordenadas, kSolucionDesordenada, kAmbasDesordenadas,
                  veliora::Veredicto::Correcto)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
