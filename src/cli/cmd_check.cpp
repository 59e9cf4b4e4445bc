// veliora-cli check: judges an answer against a solution as the practice window does, and
// with --record keeps the attempt for the joined class.
#include <cstdio>

#include "cli/comun.h"
#include "core/aula/clase.h"
#include "core/aula/textos.h"
#include "core/base/textos.h"
#include "core/practice/juez.h"
#include "core/session/apertura.h"
#include "core/shell/directorio.h"

namespace veliora::cli {

namespace {

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

void JsonJuicio(Json& out, const Juicio& j) {
    const ResultadoComprobacion& r = j.resultado;
    out.Key("verdict").String(CodigoVeredicto(r.veredicto)).Key("message").String(r.mensaje);
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
}

// What --record did with the attempt.
struct Registro {
    std::string uuid;
    bool enviado = false;
    int pendientes = 0;
};

struct PeticionCheck {
    bool json = false;
    std::string db, solucion, respuesta;
    std::chrono::milliseconds limite{};
    OpcionesJuez juez;
    std::optional<aula::Membresia> clase;  // with --record
    std::string boletin;
    int numero = 0;
};

bool LeerJuez(const Opciones& op, OpcionesJuez& juez) {
    juez = LeerOpcionesJuez();
    if (const auto presupuesto = op.Valor("--counterexample-budget")) {
        const auto ms = LeerNumero("--counterexample-budget", *presupuesto, 0, 60000);
        if (!ms)
            return false;
        juez.presupuesto = std::chrono::milliseconds(*ms);
        juez.contraejemplo = *ms > 0;
    }
    if (op.Tiene("--no-counterexample"))
        juez.contraejemplo = false;
    juez.revelar = op.Tiene("--reveal");
    return true;
}

// The bulletin question's stored answer, from the auxiliary database of `db`.
std::optional<std::string> SolucionDeBoletin(const std::string& db, const std::string& boletin,
                                             int numero) {
    const auto aux = RutaBDAuxiliar(std::filesystem::path(db).filename().string());
    engine::Error err;
    auto bd = engine::Database::Open(aux.string(), engine::Database::Kind::Auxiliary, err);
    if (const auto respuesta =
            bd ? aula::RespuestaGuardada(*bd, boletin, numero, err) : std::nullopt)
        return respuesta;
    std::fprintf(stderr, "veliora-cli: no question %d in bulletin '%s'\n", numero, boletin.c_str());
    return std::nullopt;
}

constexpr const char* kUsoCheck =
    "veliora-cli: check needs --db FILE --solution SQL --answer SQL [--timeout MS] "
    "[--no-counterexample] [--counterexample-budget MS] [--reveal] "
    "[--record [--bulletin B --number N]] (with --record, --db defaults to the class's "
    "database and --bulletin/--number give the solution)\n";

// Reads the options; the exit code when the check cannot start.
std::optional<int> Preparar(const Opciones& op, PeticionCheck& p) {
    p.json = op.Tiene("--json");
    const bool registrar = op.Tiene("--record");
    const auto boletin = op.Valor("--bulletin");
    const auto numero = op.Valor("--number");
    if (!op.posicionales.empty() || !op.Valor("--answer") || bool(boletin) != bool(numero) ||
        (boletin && !registrar)) {
        std::fputs(kUsoCheck, stderr);
        return kExitUsage;
    }
    const auto limite = LeerTiempoLimite(op);
    const auto n = numero ? LeerNumero("--number", *numero, 1, 9'999'999) : std::optional(0ull);
    if (!limite || !n || !LeerJuez(op, p.juez))
        return kExitUsage;
    p.limite = *limite;
    p.numero = int(*n);
    p.boletin = boletin.value_or("");
    p.respuesta = *op.Valor("--answer");
    LeerIdiomaDelPrograma();
    if (registrar) {
        aula::Error e;
        p.clase = aula::LeerMembresia(DirectorioAplicacion(), e);
        if (!p.clase)
            return ImprimirFalloClase(e, p.json);
    }
    p.db = op.Valor("--db").value_or(p.clase ? p.clase->bd : "");
    if (p.db.empty() || (!op.Valor("--solution") && !boletin)) {
        std::fputs(kUsoCheck, stderr);
        return kExitUsage;
    }
    if (const auto solucion = op.Valor("--solution"))
        p.solucion = *solucion;
    else if (const auto guardada = SolucionDeBoletin(p.db, p.boletin, p.numero))
        p.solucion = *guardada;
    else
        return kExitError;
    return std::nullopt;
}

// Keeps the attempt in the outbox and sends what is pending; a server that cannot be
// reached leaves it there, said on standard error.
std::optional<Registro> Registrar(const PeticionCheck& p, const Juicio& j) {
    aula::Error e;
    const std::string hash = aula::HashArchivo(p.db, e);
    const aula::Intento intento =
        aula::NuevoIntento({hash, p.boletin, p.numero, {}, p.solucion, p.respuesta, 0}, j);
    aula::Remitente remitente(DirectorioAplicacion());
    if (e.failed() || !remitente.Anotar(intento, e)) {
        ImprimirFalloClase(e, p.json);
        return std::nullopt;
    }
    const aula::EstadoEnvio estado = remitente.Enviar(e);
    if (e.failed())
        std::fprintf(stderr, "veliora-cli: %s. %s\n", aula::ExplicarFallo(e).c_str(),
                     Texto(2360).c_str());
    return Registro{intento.uuid, !e.failed(), estado.pendientes};
}

}  // namespace

int ComandoCheck(const std::vector<std::string>& args) {
    auto opciones = Parsear(args,
                            {"--db", "--solution", "--answer", "--timeout",
                             "--counterexample-budget", "--bulletin", "--number"},
                            {"--json", "--no-counterexample", "--reveal", "--record"});
    if (!opciones)
        return kExitUsage;
    PeticionCheck p;
    if (const auto fin = Preparar(*opciones, p))
        return *fin;
    auto usuario = AbrirUsuario(p.db, p.json);
    if (!usuario)
        return kExitError;

    FijarTiempoLimite(*usuario, p.limite);
    Juicio j;
    {
        const bool json = p.json;
        const auto limite = p.limite;
        Vigilante vigilante(
            limite, [=] { ImprimirComprobacionSinTiempo(json, limite); }, kExitOk);
        j = Juzgar(*usuario, p.solucion, p.respuesta, p.juez);
    }
    std::optional<Registro> registro;
    if (p.clase && !(registro = Registrar(p, j)))
        return kExitError;
    if (!p.json) {
        std::printf("%s\n", ParaTerminal(j.resultado.mensaje).c_str());
        return kExitOk;
    }
    Json out;
    out.BeginObject();
    JsonJuicio(out, j);
    if (registro) {
        out.Key("record").BeginObject().Key("id").String(registro->uuid);
        out.Key("sent").Bool(registro->enviado).Key("pending").Int(registro->pendientes);
        out.EndObject();
    }
    out.EndObject();
    std::printf("%s\n", out.str().c_str());
    return kExitOk;
}

}  // namespace veliora::cli
