// veliora-cli check: judges an answer against a solution as the practice window does.
#include <cstdio>

#include "cli/comun.h"
#include "core/practice/juez.h"
#include "core/shell/globales.h"

namespace veliora::cli {

namespace {

const char* NombreVeredicto(Veredicto v) {
    switch (v) {
        case Veredicto::Correcto:
            return "correcto";
        case Veredicto::Erroneo:
            return "erroneo";
        case Veredicto::SolucionInvalida:
            return "solucion_invalida";
        case Veredicto::RespuestaInvalida:
            return "respuesta_invalida";
        case Veredicto::CorrectoSoloAqui:
            return "correcto_solo_aqui";
    }
    return "";
}

// A terminal line break instead of the window's CRLF.
std::string ParaTerminal(std::string texto) {
    for (std::size_t p; (p = texto.find("\r\n")) != std::string::npos;) texto.erase(p, 1);
    return texto;
}

void Filas(Json& out, const FilasEjemplo& filas) {
    out.BeginArray();
    for (const auto& fila : filas.filas) {
        out.BeginArray();
        for (const auto& v : fila) out.Value(v);
        out.EndArray();
    }
    out.EndArray();
}

}  // namespace

int ComandoCheck(const std::vector<std::string>& args) {
    auto opciones =
        Parsear(args, {"--db", "--solution", "--answer", "--timeout", "--counterexample-budget"},
                {"--json", "--no-counterexample", "--reveal"});
    if (!opciones)
        return kExitUsage;
    const bool json = opciones->Tiene("--json");
    const auto db = opciones->Valor("--db");
    const auto solucion = opciones->Valor("--solution");
    const auto respuesta = opciones->Valor("--answer");
    if (!db || !solucion || !respuesta || !opciones->posicionales.empty()) {
        std::fputs(
            "veliora-cli: check needs --db FILE --solution SQL --answer SQL [--timeout MS] "
            "[--no-counterexample] [--counterexample-budget MS] [--reveal]\n",
            stderr);
        return kExitUsage;
    }
    const auto limite = LeerTiempoLimite(*opciones);
    if (!limite)
        return kExitUsage;
    LeerIdiomaDelPrograma();
    OpcionesJuez juez = LeerOpcionesJuez();
    if (const auto presupuesto = opciones->Valor("--counterexample-budget")) {
        const auto ms = LeerNumero("--counterexample-budget", *presupuesto, 0, 60000);
        if (!ms)
            return kExitUsage;
        juez.presupuesto = std::chrono::milliseconds(*ms);
        juez.contraejemplo = *ms > 0;
    }
    if (opciones->Tiene("--no-counterexample"))
        juez.contraejemplo = false;
    juez.revelar = opciones->Tiene("--reveal");
    auto usuario = AbrirUsuario(*db, json);
    if (!usuario)
        return kExitError;

    FijarTiempoLimite(*usuario, *limite);
    Juicio j;
    {
        Vigilante vigilante(
            *limite, [&] { ImprimirComprobacionSinTiempo(json, *limite); }, kExitOk);
        j = Juzgar(*usuario, *solucion, *respuesta, juez);
    }
    const ResultadoComprobacion& r = j.resultado;
    if (json) {
        Json out;
        out.BeginObject()
            .Key("verdict")
            .String(NombreVeredicto(r.veredicto))
            .Key("message")
            .String(r.mensaje);
        if (r.motivo != Motivo::Ninguno)
            out.Key("reason").String(CodigoMotivo(r.motivo));
        if (j.diferencias) {
            const Diferencias& d = *j.diferencias;
            out.Key("diff").BeginObject();
            out.Key("answer_rows").Int((long long)d.filasRespuesta);
            out.Key("solution_rows").Int((long long)d.filasSolucion);
            out.Key("answer_columns").Int(d.columnasRespuesta);
            out.Key("solution_columns").Int(d.columnasSolucion);
            out.Key("extra");
            Filas(out, d.sobran);
            out.Key("missing");
            Filas(out, d.faltan);
            out.Key("diagnosis").String(d.diagnostico);
            out.EndObject();
        }
        if (j.contraejemplo) {
            out.Key("counterexample").BeginObject().Key("change").String(j.contraejemplo->cambio);
            out.Key("answer_rows");
            Filas(out, j.contraejemplo->respuesta);
            out.Key("solution_rows");
            Filas(out, j.contraejemplo->solucion);
            out.EndObject();
        }
        out.EndObject();
        std::printf("%s\n", out.str().c_str());
    } else {
        std::printf("%s\n", ParaTerminal(r.mensaje).c_str());
    }
    return kExitOk;
}

}  // namespace veliora::cli
