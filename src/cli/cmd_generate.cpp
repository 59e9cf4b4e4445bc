// veliora-cli generate: random questions with their solutions, as the practice window makes
// them (same generator, same auxiliary database), optionally with the plan of each query.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "cli/comun.h"
#include "core/app/aplicacion.h"
#include "core/base/rutinas.h"
#include "core/generator/generador.h"
#include "core/generator/motor.h"
#include "core/generator/reglas.h"

namespace veliora::cli {

namespace {

bool LeerMarcas(const std::string& texto, std::array<bool, 5>& marcas) {
    marcas.fill(false);
    bool alguna = false;
    std::size_t i = 0;
    while (i <= texto.size()) {
        std::size_t fin = texto.find(',', i);
        if (fin == std::string::npos)
            fin = texto.size();
        std::string parte = texto.substr(i, fin - i);
        if (parte.size() != 1 || parte[0] < '1' || parte[0] > '5')
            return false;
        marcas[std::size_t(parte[0] - '1')] = true;
        alguna = true;
        i = fin + 1;
    }
    return alguna;
}

std::string Linea(const generador::Generacion& g, generador::Idioma idioma) {
    const generador::PlanConsulta& p = g.Plan;
    Json j;
    j.BeginObject();
    j.Key("kind").Int(g.Tipo).Key("driver").Int(g.Driver).Key("complex").Bool(g.Compleja);
    j.Key("attempts").Int(g.Intentos);
    j.Key("sql").String(g.Sql).Key("question").String(g.Pregunta);
    j.Key("sql_raw").String(g.SqlBruto).Key("question_raw").String(g.PreguntaBruta);
    j.Key("plan").BeginObject();
    j.Key("lang").String(generador::CodigoIdioma(idioma));
    j.Key("IndTabla").Int(p.IndTabla).Key("IndTabla2").Int(p.IndTabla2);
    j.Key("IndTabla3").Int(p.IndTabla3).Key("IndRelacion").Int(p.IndRelacion);
    j.Key("IndRelacion2").Int(p.IndRelacion2).Key("IndCampo").Int(p.IndCampo);
    j.Key("Distinto").Bool(p.Distinto).Key("Agregado").Int(p.Agregado);
    j.Key("IndCampoCond").Int(p.IndCampoCond).Key("Operador").Int(p.Operador);
    j.Key("Valor1").String(p.Valor1).Key("Valor2").String(p.Valor2);
    j.Key("IndCampoGrupo").Int(p.IndCampoGrupo).Key("IndCampoAgregado").Int(p.IndCampoAgregado);
    j.Key("MostrarAgregado").Bool(p.MostrarAgregado).Key("AgregadoHaving").Int(p.AgregadoHaving);
    // The having operator is drawn whether or not there is a having clause; without one it
    // is unused, and unused values read 0.
    const int operadorHaving =
        p.AgregadoHaving == generador::Agregados::Ninguno ? 0 : p.OperadorHaving;
    j.Key("OperadorHaving").Int(operadorHaving).Key("ValorHaving").String(p.ValorHaving);
    j.Key("TipoSubquery").Int(p.TipoSubquery).Key("Conector").Int(p.Conector);
    j.Key("IndCampoSub").Int(p.IndCampoSub).Key("OperadorSub").Int(p.OperadorSub);
    j.Key("SqlSubquery").String(p.SqlSubquery).Key("TextoSubquery").String(p.TextoSubquery);
    if (p.Sub) {
        const generador::PlanSubconsulta& s = *p.Sub;
        j.Key("Sub").BeginObject();
        j.Key("Forma").Int(s.Forma).Key("IndRelacion").Int(s.IndRelacion);
        j.Key("IndTabla").Int(s.IndTabla).Key("IndTabla2").Int(s.IndTabla2);
        j.Key("IndCampo").Int(s.IndCampo).Key("Agregado").Int(s.Agregado);
        j.Key("IndCampoCond").Int(s.IndCampoCond).Key("Operador").Int(s.Operador);
        j.Key("Valor1").String(s.Valor1).Key("Valor2").String(s.Valor2);
        j.EndObject();
    }
    j.EndObject();
    j.Key("quality").BeginObject();
    if (g.Filas >= 0)
        j.Key("rows").Int(g.Filas);
    else
        j.Key("rows").Null();
    j.Key("redrawn").Int(g.Redibujadas).EndObject();
    j.EndObject();
    return j.str();
}

// Runs `accion` at `instante` unless destroyed first.
class Alarma {
  public:
    Alarma(std::chrono::steady_clock::time_point instante, std::function<void()> accion)
        : hilo_([this, instante, accion = std::move(accion)] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!aviso_.wait_until(lock, instante, [this] { return desarmada_; }))
                  accion();
          }) {}
    ~Alarma() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            desarmada_ = true;
        }
        aviso_.notify_all();
        hilo_.join();
    }

  private:
    std::mutex mutex_;
    std::condition_variable aviso_;
    bool desarmada_ = false;
    std::thread hilo_;
};

void ImprimirSinTiempo(std::chrono::milliseconds limite, unsigned long long hechas) {
    std::fprintf(stderr,
                 "veliora-cli: generate: the time limit of %lld ms ended the run after %llu "
                 "question(s)\n",
                 static_cast<long long>(limite.count()), hechas);
}

}  // namespace

int ComandoGenerate(const std::vector<std::string>& args) {
    const auto inicio = std::chrono::steady_clock::now();
    auto op =
        Parsear(args, {"--db", "--kinds", "--count", "--seed", "--timeout", "--quality", "--lang"},
                {"--json"});
    if (!op)
        return kExitUsage;
    auto path = op->Valor("--db");
    const char* uso =
        "veliora-cli: usage: generate --db FILE [--kinds 1,2,3,4,5] [--count N] [--seed S] "
        "[--timeout MS] [--quality on|off] [--lang es|va] [--json]\n";
    if (!path || !op->posicionales.empty()) {
        std::fputs(uso, stderr);
        return kExitUsage;
    }
    std::array<bool, 5> marcas{true, true, true, true, true};
    if (auto kinds = op->Valor("--kinds"); kinds && !LeerMarcas(*kinds, marcas)) {
        std::fputs("veliora-cli: --kinds takes box numbers from 1 to 5, such as 1,4\n", stderr);
        return kExitUsage;
    }
    std::optional<unsigned long long> cuantas = 1, semilla;
    if (auto count = op->Valor("--count"))
        cuantas = LeerNumero("--count", *count, 0, 1'000'000'000);
    if (auto seed = op->Valor("--seed"))
        semilla = LeerNumero("--seed", *seed, 0, ~0ull);
    const auto limite = LeerTiempoLimite(*op);
    if (!cuantas || (op->Valor("--seed") && !semilla) || !limite)
        return kExitUsage;
    const bool json = op->Tiene("--json");
    const auto calidad = op->Valor("--quality");
    if (calidad && *calidad != "on" && *calidad != "off") {
        std::fputs("veliora-cli: --quality takes on or off\n", stderr);
        return kExitUsage;
    }
    // Without --lang, the questions take the language the settings give them.
    std::optional<generador::Idioma> idioma;
    if (const auto lang = op->Valor("--lang")) {
        generador::Idioma i;
        if (!generador::IdiomaDeCodigo(*lang, i)) {
            std::fputs("veliora-cli: --lang takes es or va\n", stderr);
            return kExitUsage;
        }
        idioma = i;
    }

    // A --timeout bounds the whole run, not only each statement: at the limit the engine is
    // interrupted and the run ends; a call that does not return ends the process 2 s later.
    const bool acotado = op->Valor("--timeout").has_value();
    const auto fin = inicio + *limite;
    std::atomic<unsigned long long> hechas{0};
    std::optional<Vigilante> vigilante;
    if (acotado)
        vigilante.emplace(
            *limite - std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - inicio),
            [&] { ImprimirSinTiempo(*limite, hechas); }, kExitError);
    const auto sinTiempo = [&] { return acotado && std::chrono::steady_clock::now() >= fin; };

    if (!AbrirComoPrograma(*path, json))
        return kExitError;
    FijarTiempoLimite(*Aplicacion::Actual().Usuario(), *limite);
    std::optional<Alarma> alarma;
    if (acotado)
        alarma.emplace(fin, [bd = Aplicacion::Actual().Usuario()] { bd->Interrupt(); });
    LeerIdiomaDelPrograma();
    GeneradorConsultas generador(Aplicacion::Actual().Usuario(), Aplicacion::Actual().Auxiliar());
    engine::Error err;
    if (!generador.Cargar(err)) {
        vigilante.reset();
        sinTiempo() ? ImprimirSinTiempo(*limite, 0) : ImprimirError(err, json);
        return kExitError;
    }
    if (semilla)
        SembrarAleatorio(*semilla);
    if (calidad)
        generador.EvitarTriviales(*calidad == "on");
    if (idioma)
        generador.FijarIdioma(*idioma);

    // A box the database cannot give (the two- and three-table kinds without relations) is
    // skipped once it has ended a few presses in a row without a question; box 5 draws its
    // shape among the four others, so it gets many more chances.
    const auto fallosParaSaltar = [](std::size_t caja) { return caja == 4 ? 20 : 3; };
    std::array<int, 5> fallos{};
    for (unsigned long long n = 1; n <= *cuantas;) {
        const bool hecha = !sinTiempo() && generador.GenerarPregunta(marcas);
        const generador::Generacion& g = generador.UltimaGeneracion();
        if (sinTiempo()) {
            vigilante.reset();
            std::fflush(stdout);
            ImprimirSinTiempo(*limite, hechas);
            return kExitError;
        }
        if (!hecha && g.Fin == generador::FinPulsacion::ErrorMotor && g.Tipo >= 1 && g.Tipo <= 5) {
            const auto caja = std::size_t(g.Tipo - 1);
            if (++fallos[caja] >= fallosParaSaltar(caja)) {
                marcas[caja] = false;
                std::fprintf(stderr,
                             "veliora-cli: box %d skipped: the database lacks the tables or "
                             "relations that kind needs\n",
                             g.Tipo);
            }
            if (std::find(marcas.begin(), marcas.end(), true) != marcas.end())
                continue;
            std::fputs("veliora-cli: none of the requested kinds is possible for this database\n",
                       stderr);
            std::fflush(stdout);
            return kExitError;
        }
        if (!hecha) {
            std::fprintf(stderr,
                         "veliora-cli: question %llu: the engine refused %d draws in a row "
                         "(box %d, driver %d); no question was generated\n",
                         n, g.Intentos, g.Tipo, g.Driver);
            std::fflush(stdout);
            return kExitError;
        }
        fallos[std::size_t(g.Tipo - 1)] = 0;
        if (json) {
            std::printf("%s\n", Linea(g, generador.IdiomaPreguntas()).c_str());
        } else {
            std::printf("Question %llu (box %d): %s\nSolution: %s\n\n", n, g.Tipo,
                        g.Pregunta.c_str(), g.Sql.c_str());
        }
        ++n;
        ++hechas;
    }
    return kExitOk;
}

}  // namespace veliora::cli
