// Shown questions per second for each ticked kind, on the sample shop database and on a
// copy of it grown to about a million order lines. Each benchmark reports the median,
// 90th percentile and worst time of one press (redraws included) as counters. With
// VELIORA_BENCH_10M=1 a fresh session's first questions and draws are also measured on a
// copy grown to about ten million lines, which the benchmark builds first (it takes minutes).
//
//   bench_generator [--benchmark_filter=grande]
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/base/rutinas.h"
#include "core/engine/database.h"
#include "core/generator/motor.h"
#include "core/base/rutinas.h"
#include "core/shell/errores.h"

namespace {

namespace fs = std::filesystem;
using veliora::engine::Database;

fs::path Recursos() {
    if (const char* r = std::getenv("VELIORA_RESOURCES"); r && *r)
        return r;
    return VELIORA_BUILD_RESOURCE_DIR;
}

void Ejecutar(const fs::path& ruta, const std::string& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open(ruta.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("open " + ruta.string());
    char* mensaje = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &mensaje);
    std::string error = mensaje ? mensaje : "";
    sqlite3_free(mensaje);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error(error);
}

bool DiezMillones() {
    const char* v = std::getenv("VELIORA_BENCH_10M");
    return v && *v == '1';
}

// Grows a copy of the sample by `veces` times its 376 order lines, on the orders already there.
void Crecer(const fs::path& ruta, int veces) {
    Ejecutar(ruta, R"(
PRAGMA journal_mode = OFF;
PRAGMA synchronous = OFF;
INSERT INTO "Lineas Pedido" (IdPedido, NumLinea, IdProducto, Cantidad, PrecioUnidad, Descuento)
  WITH RECURSIVE k(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM k WHERE n < )" +
                       std::to_string(veces - 1) + R"()
  SELECT l.IdPedido, l.NumLinea + 10 * k.n, l.IdProducto, l.Cantidad + k.n % 7,
         l.PrecioUnidad, l.Descuento
  FROM "Lineas Pedido" AS l, k;
)");
}

// The sample and its grown copies, in a temporary folder removed at exit.
struct Bases {
    fs::path dir, muestra, grande, enorme;
    Bases() {
        std::random_device rd;
        dir = fs::temp_directory_path() / ("veliora-bench-" + std::to_string(rd()));
        fs::create_directories(dir);
        const fs::path origen = Recursos() / "samples" / "tienda.db";
        if (!fs::exists(origen))
            throw std::runtime_error("missing " + origen.string() + " (build veliora_resources)");
        muestra = dir / "tienda.db";
        grande = dir / "grande.db";
        enorme = dir / "enorme.db";
        std::vector<fs::path> copias{muestra, grande};
        if (DiezMillones())
            copias.push_back(enorme);
        for (const fs::path& destino : copias) {
            fs::copy_file(origen, destino);
            fs::copy_file(fs::path(origen.string() + "_"), fs::path(destino.string() + "_"));
        }
        // 376 lines times 2660 (26600): about a million (ten million) order lines.
        Crecer(grande, 2660);
        if (DiezMillones())
            Crecer(enorme, 26600);
    }
    ~Bases() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Bases& LasBases() {
    static Bases bases;
    return bases;
}

struct Sesion {
    std::shared_ptr<Database> usuario, auxiliar;
    std::unique_ptr<veliora::generador::Motor> motor;

    explicit Sesion(const fs::path& ruta) {
        veliora::engine::Error err;
        usuario = Database::Open(ruta.string(), Database::Kind::User, err);
        if (!usuario)
            throw std::runtime_error(veliora::TextoDeError(err));
        auxiliar = Database::Open(ruta.string() + "_", Database::Kind::Auxiliary, err);
        if (!auxiliar)
            throw std::runtime_error(veliora::TextoDeError(err));
        motor = std::make_unique<veliora::generador::Motor>(usuario, auxiliar);
        if (!motor->Cargar(err))
            throw std::runtime_error(veliora::TextoDeError(err));
    }
};

// One session per database for the whole run, as one practice window keeps its own.
Sesion& SesionDe(bool grande) {
    static Sesion muestra(LasBases().muestra);
    static Sesion crecida(LasBases().grande);
    return grande ? crecida : muestra;
}

void Informar(benchmark::State& state, std::vector<double> ms) {
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p90_ms"] = ms[ms.size() * 9 / 10];
    state.counters["max_ms"] = ms.back();
    state.counters["questions"] =
        benchmark::Counter(double(ms.size()), benchmark::Counter::kIsRate);
}

std::array<bool, 5> Caja(int caja) {
    std::array<bool, 5> marcas{};
    marcas[std::size_t(caja - 1)] = true;
    return marcas;
}

void BM_Pregunta(benchmark::State& state, bool grande) {
    const int caja = int(state.range(0));
    Sesion& s = SesionDe(grande);
    const auto marcas = Caja(caja);
    veliora::SembrarAleatorio(1000u + std::uint64_t(caja));
    // A fresh session's first questions are measured apart (BM_PrimerasPreguntas).
    for (int i = 0; i < 20; ++i) s.motor->GenerarPregunta(marcas);
    std::vector<double> ms;
    for (auto _ : state) {
        auto inicio = std::chrono::steady_clock::now();
        bool hecha = s.motor->GenerarPregunta(marcas);
        auto fin = std::chrono::steady_clock::now();
        if (!hecha) {
            state.SkipWithError("a press ended without a question");
            break;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(fin - inicio).count());
    }
    Informar(state, std::move(ms));
}
BENCHMARK_CAPTURE(BM_Pregunta, muestra, false)->DenseRange(1, 5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Pregunta, grande, true)->DenseRange(1, 5)->Unit(benchmark::kMillisecond);

enum class Base { Muestra, Grande, Enorme };

fs::path RutaDe(Base base) {
    switch (base) {
        case Base::Muestra:
            return LasBases().muestra;
        case Base::Grande:
            return LasBases().grande;
        case Base::Enorme:
            break;
    }
    return LasBases().enorme;
}

// A fresh session's first question with every kind ticked, apart from the nine after it:
// schema loading excluded, whatever a first draw from a table costs included.
void BM_PrimerasPreguntas(benchmark::State& state, Base base) {
    const fs::path ruta = RutaDe(base);
    veliora::SembrarAleatorio(7);
    std::vector<double> primera, siguientes;
    for (auto _ : state) {
        state.PauseTiming();
        Sesion s(ruta);
        state.ResumeTiming();
        for (int i = 0; i < 10; ++i) {
            auto inicio = std::chrono::steady_clock::now();
            s.motor->GenerarPregunta({true, true, true, true, true});
            auto fin = std::chrono::steady_clock::now();
            (i == 0 ? primera : siguientes)
                .push_back(std::chrono::duration<double, std::milli>(fin - inicio).count());
        }
    }
    std::sort(primera.begin(), primera.end());
    std::sort(siguientes.begin(), siguientes.end());
    state.counters["first_median_ms"] = primera[primera.size() / 2];
    state.counters["first_max_ms"] = primera.back();
    state.counters["next_median_ms"] = siguientes[siguientes.size() / 2];
}
BENCHMARK_CAPTURE(BM_PrimerasPreguntas, muestra, Base::Muestra)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PrimerasPreguntas, grande, Base::Grande)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// One value drawn from the million-line table: the first draw of a fresh session apart from
// the ones after it.
void BM_Sorteo(benchmark::State& state, Base base) {
    veliora::SembrarAleatorio(11);
    std::vector<double> primero, siguientes;
    for (auto _ : state) {
        state.PauseTiming();
        Sesion s(RutaDe(base));
        state.ResumeTiming();
        for (int i = 0; i < 100; ++i) {
            auto inicio = std::chrono::steady_clock::now();
            auto v = s.motor->ValorAleatorio("Lineas Pedido", "Cantidad");
            auto fin = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(v);
            (i == 0 ? primero : siguientes)
                .push_back(std::chrono::duration<double, std::micro>(fin - inicio).count());
        }
    }
    std::sort(primero.begin(), primero.end());
    std::sort(siguientes.begin(), siguientes.end());
    state.counters["first_median_us"] = primero[primero.size() / 2];
    state.counters["next_median_us"] = siguientes[siguientes.size() / 2];
}
BENCHMARK_CAPTURE(BM_Sorteo, grande, Base::Grande)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (DiezMillones()) {
        benchmark::RegisterBenchmark("BM_PrimerasPreguntas/enorme", BM_PrimerasPreguntas,
                                     Base::Enorme)
            ->Iterations(5)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_Sorteo/enorme", BM_Sorteo, Base::Enorme)
            ->Iterations(5)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
