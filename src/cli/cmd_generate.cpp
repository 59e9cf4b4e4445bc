// veliora-cli generate: random questions with their solutions, as the practice window makes
// them (same generator, same auxiliary database), optionally with the plan of each query.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/comun.h"
#include "core/generator/generador.h"
#include "core/generator/motor.h"
#include "core/shell/globales.h"
#include "core/shell/rutinas.h"

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

bool LeerEntero(const std::string& texto, unsigned long long& valor) {
    if (texto.empty())
        return false;
    for (char c : texto)
        if (c < '0' || c > '9')
            return false;
    char* fin = nullptr;
    valor = std::strtoull(texto.c_str(), &fin, 10);
    return fin && *fin == '\0';
}

std::string Linea(const generador::Generacion& g) {
    const generador::PlanConsulta& p = g.Plan;
    Json j;
    j.BeginObject();
    j.Key("kind").Int(g.Tipo).Key("driver").Int(g.Driver).Key("complex").Bool(g.Compleja);
    j.Key("attempts").Int(g.Intentos);
    j.Key("sql").String(g.Sql).Key("question").String(g.Pregunta);
    j.Key("sql_raw").String(g.SqlBruto).Key("question_raw").String(g.PreguntaBruta);
    j.Key("plan").BeginObject();
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
    const int operadorHaving = p.AgregadoHaving == 1 ? 0 : p.OperadorHaving;
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
    j.EndObject();
    return j.str();
}

}  // namespace

int ComandoGenerate(const std::vector<std::string>& args) {
    auto op = Parsear(args, {"--db", "--kinds", "--count", "--seed"}, {"--json"});
    if (!op)
        return kExitUsage;
    auto path = op->Valor("--db");
    const char* uso =
        "veliora-cli: usage: generate --db FILE [--kinds 1,2,3,4,5] [--count N] [--seed S] "
        "[--json]\n";
    if (!path || !op->posicionales.empty()) {
        std::fputs(uso, stderr);
        return kExitUsage;
    }
    std::array<bool, 5> marcas{true, true, true, true, true};
    if (auto kinds = op->Valor("--kinds"); kinds && !LeerMarcas(*kinds, marcas)) {
        std::fputs("veliora-cli: --kinds takes box numbers from 1 to 5, such as 1,4\n", stderr);
        return kExitUsage;
    }
    unsigned long long cuantas = 1, semilla = 0;
    if (auto count = op->Valor("--count"); count && !LeerEntero(*count, cuantas)) {
        std::fputs("veliora-cli: --count takes a whole number\n", stderr);
        return kExitUsage;
    }
    auto seed = op->Valor("--seed");
    if (seed && !LeerEntero(*seed, semilla)) {
        std::fputs("veliora-cli: --seed takes a whole number\n", stderr);
        return kExitUsage;
    }
    const bool json = op->Tiene("--json");

    if (!AbrirComoPrograma(*path, json))
        return kExitError;
    GeneradorConsultas generador(BDUsuario, BDAuxiliar);
    engine::EngineError err;
    if (!generador.Cargar(err)) {
        ImprimirError(err, json);
        return kExitError;
    }
    if (seed)
        SembrarAleatorio(semilla);

    for (unsigned long long n = 1; n <= cuantas; ++n) {
        const bool hecha = generador.GenerarPregunta(marcas);
        const generador::Generacion& g = generador.UltimaGeneracion();
        if (!hecha) {
            if (g.Fin == generador::FinPulsacion::Limite)
                std::fprintf(stderr,
                             "veliora-cli: question %llu: the engine refused %d draws in a row "
                             "(box %d, driver %d); no question was generated\n",
                             n, g.Intentos, g.Tipo, g.Driver);
            else
                std::fprintf(stderr,
                             "veliora-cli: question %llu: generation ended without a question "
                             "(box %d, driver %d): the database lacks the tables or relations "
                             "that kind needs\n",
                             n, g.Tipo, g.Driver);
            std::fflush(stdout);
            return kExitError;
        }
        if (json) {
            std::printf("%s\n", Linea(g).c_str());
        } else {
            std::printf("Question %llu (box %d): %s\nSolution: %s\n\n", n, g.Tipo,
                        g.Pregunta.c_str(), g.Sql.c_str());
        }
    }
    return kExitOk;
}

}  // namespace veliora::cli
