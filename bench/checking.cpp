// Answer checking on two results of a million rows each: the cost of stepping through both
// statements (reading every value, holding no row) against the cost of the whole check.
// With VELIORA_BENCH_10M=1 the same cases also run on ten million rows, on a database the
// benchmark builds first (it takes minutes).
//
//   bench_checking [--benchmark_filter=otro_orden]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/engine/database.h"
#include "core/practice/comprobar.h"
#include "core/shell/errores.h"

namespace {

using veliora::engine::Database;
using veliora::engine::Error;

const char* kSolucion = "select Id, Nombre, Importe, Alta from Movimientos";
const char* kMismoOrden = "select Id, Nombre, Importe, Alta from Movimientos order by Id";
// Same rows, reversed: the first comparison fails at once and both results are sorted.
const char* kOtroOrden = "select Id, Nombre, Importe, Alta from Movimientos order by Id desc";
// Same count, one value off in the last row: both comparisons run to the end.
const char* kErronea =
    "select Id, Nombre, case when Id = (select max(Id) from Movimientos) then -1 else Importe "
    "end, Alta from Movimientos order by Nombre desc";

// Neither result is in the sorted order: both are sorted in memory.
const char* kSolucionDesordenada =
    "select Id, Nombre, Importe, Alta from Movimientos order by Nombre, Id";
const char* kAmbasDesordenadas =
    "select Id, Nombre, Importe, Alta from Movimientos order by Nombre desc, Id";

struct BaseDatos {
    std::filesystem::path ruta;
    std::shared_ptr<Database> bd;

    explicit BaseDatos(int filas) {
        ruta = std::filesystem::temp_directory_path() /
               ("veliora-bench-checking-" + std::to_string(::getpid()) + "-" +
                std::to_string(filas) + ".db");
        std::filesystem::remove(ruta);
        Error err;
        {
            auto w = Database::Create(ruta.string(), err);
            if (!w)
                throw std::runtime_error(veliora::TextoDeError(err));
            // Ten million rows take longer to write than a statement is allowed by default.
            veliora::engine::Limits escritura;
            escritura.timeout = std::chrono::minutes(30);
            w->SetLimits(escritura);
            w->Execute(
                "create table Movimientos (Id integer primary key, Nombre text, Importe double, "
                "Alta date)",
                err);
            w->Execute(
                "with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
                    std::to_string(filas) +
                    ") insert into Movimientos select i, 'cliente ' || (i * 7919 % 100003), "
                    "(i % 1000) / 4.0, date('2000-01-01', '+' || (i % 9000) || ' days') from n",
                err);
            if (err.failed())
                throw std::runtime_error(veliora::TextoDeError(err));
            w->Close();
        }
        bd = Database::Open(ruta.string(), Database::Kind::User, err);
        if (!bd)
            throw std::runtime_error(veliora::TextoDeError(err));
        veliora::engine::Limits limites;
        limites.timeout = std::chrono::minutes(5);
        bd->SetLimits(limites);
        // A full read first, so that the first benchmark does not pay for a cold file cache.
        bd->OpenForwardOnly(kSolucion, err)->MoveLast();
    }
    ~BaseDatos() {
        bd.reset();
        std::filesystem::remove(ruta);
    }
};

BaseDatos& Datos(int filas) {
    static std::map<int, std::unique_ptr<BaseDatos>> datos;
    auto& d = datos[filas];
    if (!d)
        d = std::make_unique<BaseDatos>(filas);
    return *d;
}

// Only stepping through both statements to their end, every value read and no row held:
// the floor the checking work is set against.
void EjecutarAmbas(benchmark::State& state, int filas, const char* solucion,
                   const char* respuesta) {
    auto& bd = *Datos(filas).bd;
    for (auto _ : state) {
        Error err;
        auto a = bd.OpenForwardOnly(solucion, err);
        a->MoveLast();
        auto b = bd.OpenForwardOnly(respuesta, err);
        b->MoveLast();
        benchmark::DoNotOptimize(a->RecordCount() + b->RecordCount());
    }
}

void Comprobar(benchmark::State& state, int filas, const char* solucion, const char* respuesta,
               veliora::Veredicto esperado) {
    auto& bd = *Datos(filas).bd;
    for (auto _ : state) {
        auto r = veliora::ComprobarRespuesta(bd, solucion, respuesta);
        if (r.veredicto != esperado)
            state.SkipWithError("unexpected verdict");
        benchmark::DoNotOptimize(r);
    }
}

struct Caso {
    const char* nombre;
    const char* solucion;
    const char* respuesta;
    veliora::Veredicto veredicto;
};

const Caso kCasos[] = {
    {"mismo_orden", kSolucion, kMismoOrden, veliora::Veredicto::Correcto},
    {"otro_orden", kSolucion, kOtroOrden, veliora::Veredicto::Correcto},
    {"erronea", kSolucion, kErronea, veliora::Veredicto::Erroneo},
    {"ambas_desordenadas", kSolucionDesordenada, kAmbasDesordenadas, veliora::Veredicto::Correcto},
};

// Each pair: stepping both statements alone, then the whole check.
void Registrar(int filas, const std::string& sufijo) {
    for (const Caso& c : kCasos) {
        benchmark::RegisterBenchmark(("EjecutarAmbas/" + std::string(c.nombre) + sufijo).c_str(),
                                     EjecutarAmbas, filas, c.solucion, c.respuesta)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Comprobar/" + std::string(c.nombre) + sufijo).c_str(),
                                     Comprobar, filas, c.solucion, c.respuesta, c.veredicto)
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Registrar(1'000'000, "");
    if (const char* grande = std::getenv("VELIORA_BENCH_10M"); grande && *grande == '1')
        Registrar(10'000'000, "_10M");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
