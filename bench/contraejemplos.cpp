// The counterexample search on the labelled answer pairs of bench/contraejemplos/pares.tsv
// (whose labels bench/contraejemplos/etiquetas.py checks outside the program): the share of
// pairs that are not equivalent it flags, the equivalent ones it flags (false alarms), and
// the time the search takes per right verdict on the sample databases, with the default
// budget (or PRESUPUESTO ms from the environment).
//
//   bench_contraejemplos [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/engine/database.h"
#include "core/practice/juez.h"
#include "core/shell/errores.h"

namespace {

namespace fs = std::filesystem;
using veliora::engine::Database;
using veliora::engine::Error;

struct Par {
    std::string bd, clase, tipo, solucion, respuesta;
    int linea = 0;
};

std::vector<Par> LeerPares(const fs::path& ruta) {
    std::ifstream f(ruta);
    if (!f)
        throw std::runtime_error("cannot read " + ruta.string());
    std::vector<Par> pares;
    std::string linea;
    for (int n = 1; std::getline(f, linea); ++n) {
        if (linea.empty() || linea[0] == '#')
            continue;
        std::vector<std::string> campos;
        std::stringstream ss(linea);
        for (std::string c; std::getline(ss, c, '\t');) campos.push_back(c);
        if (campos.size() != 5)
            throw std::runtime_error(ruta.string() + ":" + std::to_string(n) + ": five fields");
        pares.push_back({campos[0], campos[1], campos[2], campos[3], campos[4], n});
    }
    return pares;
}

// The databases of the pairs: the samples as built, and the record shop built here.
class Bases {
  public:
    Bases() {
        temporal_ = fs::temp_directory_path() /
                    ("veliora-bench-contraejemplos-" + std::to_string(::getpid()) + ".db");
        Error err;
        auto w = Database::Create(temporal_.string(), err);
        std::ifstream f(fs::path(VELIORA_SOURCE_DIR) / "bench/contraejemplos/agenda.sql");
        std::stringstream script;
        script << f.rdbuf();
        if (!w || !w->ExecuteScript(script.str(), err))
            throw std::runtime_error("agenda.sql: " + veliora::TextoDeError(err));
        w->Close();
    }
    ~Bases() {
        bases_.clear();
        fs::remove(temporal_);
    }
    Database& Abrir(const std::string& nombre) {
        auto& bd = bases_[nombre];
        if (!bd) {
            Error err;
            bd = Database::Open(Ruta(nombre).string(), Database::Kind::User, err);
            if (!bd)
                throw std::runtime_error(nombre + ": " + veliora::TextoDeError(err));
        }
        return *bd;
    }
    fs::path Ruta(const std::string& nombre) const {
        if (nombre == "agenda")
            return temporal_;
        return fs::path(VELIORA_BUILD_RESOURCE_DIR) / "samples" / (nombre + ".db");
    }

  private:
    fs::path temporal_;
    std::map<std::string, std::shared_ptr<Database>> bases_;
};

std::string Bytes(const fs::path& ruta) {
    std::ifstream f(ruta, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

void Pares(benchmark::State& state) {
    const auto pares = LeerPares(fs::path(VELIORA_SOURCE_DIR) / "bench/contraejemplos/pares.tsv");
    Bases bases;
    veliora::OpcionesJuez opciones;
    if (const char* p = std::getenv("PRESUPUESTO"))
        opciones.presupuesto = std::chrono::milliseconds(std::atol(p));
    std::map<std::string, std::string> antes;
    for (const auto& p : pares)
        if (!antes.count(p.bd))
            antes[p.bd] = Bytes(bases.Ruta(p.bd));
    int distintos = 0, marcados = 0, equivalentes = 0, falsas = 0, otros = 0;
    std::vector<double> ms, msCpu;
    for (auto _ : state) {
        for (const Par& p : pares) {
            Database& bd = bases.Abrir(p.bd);
            const auto inicio = std::chrono::steady_clock::now();
            const std::clock_t cpu = std::clock();
            const veliora::Juicio j = veliora::Juzgar(bd, p.solucion, p.respuesta, opciones);
            const double t =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inicio)
                    .count();
            const double tcpu = 1000.0 * double(std::clock() - cpu) / CLOCKS_PER_SEC;
            const auto v = j.resultado.veredicto;
            if (v != veliora::Veredicto::Correcto && v != veliora::Veredicto::CorrectoSoloAqui) {
                std::fprintf(stderr, "line %d: not the same result here: %s\n", p.linea,
                             j.resultado.mensaje.c_str());
                ++otros;
                continue;
            }
            const bool marcado = v == veliora::Veredicto::CorrectoSoloAqui;
            if (p.clase == "distinto") {
                ++distintos;
                marcados += marcado;
                if (!marcado)
                    std::fprintf(stderr, "line %d (%s): not flagged: %s\n", p.linea, p.tipo.c_str(),
                                 p.respuesta.c_str());
            } else {
                ++equivalentes;
                falsas += marcado;
                if (marcado)
                    std::fprintf(stderr, "line %d: false alarm: %s\n  %s\n", p.linea,
                                 p.respuesta.c_str(), j.contraejemplo->cambio.c_str());
            }
            if (!marcado && p.bd != "agenda") {
                ms.push_back(t);
                msCpu.push_back(tcpu);
            }
        }
    }
    for (const auto& [nombre, bytes] : antes)
        if (Bytes(bases.Ruta(nombre)) != bytes)
            state.SkipWithError(("the file of " + nombre + " changed").c_str());
    std::sort(ms.begin(), ms.end());
    std::sort(msCpu.begin(), msCpu.end());
    state.counters["distintos"] = distintos;
    state.counters["marcados"] = marcados;
    state.counters["recall_pct"] = distintos ? 100.0 * marcados / distintos : 0;
    state.counters["equivalentes"] = equivalentes;
    state.counters["falsas_alarmas"] = falsas;
    state.counters["sin_veredicto"] = otros;
    // Wall time, then the processor time of this process alone (a busy machine stretches the
    // first).
    state.counters["ms_mediana_correcto"] = ms.empty() ? 0 : ms[ms.size() / 2];
    state.counters["ms_cpu_mediana_correcto"] = msCpu.empty() ? 0 : msCpu[msCpu.size() / 2];
    state.counters["ms_max_correcto"] = ms.empty() ? 0 : ms.back();
}

BENCHMARK(Pares)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
