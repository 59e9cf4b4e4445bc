// veliora-cli bulletin: list, show, add to, delete, export and import bulletins as the
// bulletin windows do.
#include <cstdio>
#include <map>
#include <memory>

#include "cli/comun.h"
#include "core/app/aplicacion.h"
#include "core/base/rutinas.h"
#include "core/base/textos.h"
#include "core/bulletins/exportar.h"
#include "core/bulletins/importar.h"
#include "core/bulletins/mantenimiento.h"
#include "core/practice/comprobar.h"
#include "core/shell/directorio.h"
#include "core/shell/errores.h"

namespace veliora::cli {

namespace {

int Fallo(const std::string& mensaje) {
    std::fprintf(stderr, "veliora-cli: %s\n", mensaje.c_str());
    return kExitError;
}

// A missing option or a value that is not one the option takes.
int Uso(const std::string& mensaje) {
    std::fprintf(stderr, "veliora-cli: %s\n", mensaje.c_str());
    return kExitUsage;
}

// A bulletin's name as a message shows it: quoted, control characters escaped.
std::string Nombre(const std::string& nombre) {
    return "'" + TextoVisible(nombre) + "'";
}

int FalloMotor(const engine::Error& e, bool json = false) {
    ImprimirError(e, json);
    return kExitError;
}

// The auxiliary database of a user database, opened as the program opens it (--db is
// checked before).
engine::Database* Auxiliar(const Opciones& op, bool json) {
    const auto db = op.Valor("--db");
    if (!AbrirComoPrograma(*db, json))
        return nullptr;
    return Aplicacion::Actual().Auxiliar().get();
}

// The bulletin named by --name (checked before), which must exist.
std::optional<std::string> Boletin(engine::Database& aux, const Opciones& op) {
    const auto nombre = op.Valor("--name");
    engine::Error err;
    if (!ExisteBoletin(aux, *nombre, err)) {
        if (err.failed())
            FalloMotor(err);
        else
            Fallo("no bulletin named " + Nombre(*nombre));
        return std::nullopt;
    }
    return nombre;
}

// The auxiliary database and an existing bulletin of it, or null (reported).
engine::Database* AuxiliarYBoletin(const Opciones& op, bool json, std::string& nombre) {
    engine::Database* aux = Auxiliar(op, json);
    if (!aux)
        return nullptr;
    auto b = Boletin(*aux, op);
    if (!b)
        return nullptr;
    nombre = *b;
    return aux;
}

std::optional<int> Numero(const Opciones& op, bool& dado) {
    const auto texto = op.Valor("--number");
    dado = texto.has_value();
    if (!texto)
        return 0;
    auto n = NumeroPregunta(*texto);
    if (!n)
        Uso("--number takes a whole number from 1 to " + std::to_string(kMaxNumPregunta) +
            ", not '" + TextoVisible(*texto) + "'");
    return n;
}

int Listar(const Opciones& op) {
    const bool json = op.Tiene("--json");
    engine::Database* aux = Auxiliar(op, json);
    if (!aux)
        return kExitError;
    engine::Error err;
    const auto resumen = ResumenBoletines(*aux, err);
    if (err.failed())
        return FalloMotor(err, json);
    if (json) {
        Json out;
        out.BeginObject().Key("bulletins").BeginArray();
        for (const auto& b : resumen)
            out.BeginObject().Key("name").String(b.Nombre).Key("lines").Int(b.Lineas).EndObject();
        out.EndArray().EndObject();
        std::printf("%s\n", out.str().c_str());
    } else {
        for (const auto& b : resumen)
            std::printf("%s\t%d\n", TextoVisible(b.Nombre).c_str(), b.Lineas);
    }
    return kExitOk;
}

int Mostrar(const Opciones& op) {
    const bool json = op.Tiene("--json");
    std::string nombre;
    engine::Database* aux = AuxiliarYBoletin(op, json, nombre);
    if (!aux)
        return kExitError;
    engine::Error err;
    const auto lineas = LeerBoletin(*aux, nombre, err);
    if (err.failed())
        return FalloMotor(err, json);
    if (json) {
        Json out;
        out.BeginObject().Key("name").String(nombre).Key("lines").BeginArray();
        for (const auto& l : lineas) {
            out.BeginObject()
                .Key("number")
                .Int(l.NumPregunta)
                .Key("question")
                .String(l.Pregunta)
                .Key("answer")
                .String(l.Respuesta)
                .EndObject();
        }
        out.EndArray().EndObject();
        std::printf("%s\n", out.str().c_str());
    } else {
        for (const auto& l : lineas)
            std::printf("%d. %s\n%d. %s\n\n", l.NumPregunta, TextoVisible(l.Pregunta).c_str(),
                        l.NumPregunta, TextoVisible(l.Respuesta).c_str());
    }
    return kExitOk;
}

int Anadir(const Opciones& op) {
    const auto nombre = op.Valor("--name");
    const auto pregunta = op.Valor("--question");
    const auto respuesta = op.Valor("--answer");
    if (!NombreBoletinValido(*nombre))
        return Uso(Texto(2160) + ": " + Nombre(*nombre));
    bool dado = false;
    auto numero = Numero(op, dado);
    if (!numero)
        return kExitUsage;
    engine::Database* aux = Auxiliar(op, false);
    if (!aux)
        return kExitError;
    // An answer that cannot run would leave every student of the line without a verdict.
    if (const std::string problema = ProblemaSolucion(*Aplicacion::Actual().Usuario(), *respuesta);
        !problema.empty() && !op.Tiene("--force"))
        return Fallo("the answer cannot run on " + *op.Valor("--db") + ": " + problema +
                     " (--force stores it all the same)");
    engine::Error err;
    const bool existe = ExisteBoletin(*aux, *nombre, err);
    if (err.failed())
        return FalloMotor(err);
    if (!dado) {
        *numero = existe ? SiguienteNumero(*aux, *nombre, err) : 1;
        if (err.failed())
            return FalloMotor(err);
    } else if (existe && ExistePregunta(*aux, *nombre, *numero, err)) {
        return Fallo("question " + std::to_string(*numero) + " already exists in " +
                     Nombre(*nombre));
    }
    // Header and line together: a refused line leaves no new empty bulletin behind.
    if (!aux->BeginTransaction(err))
        return FalloMotor(err);
    if ((!existe && !CrearBoletin(*aux, *nombre, err)) ||
        !InsertarLinea(*aux, *nombre, *numero, *pregunta, *respuesta, err) || !aux->Commit(err)) {
        aux->Rollback();
        return FalloMotor(err);
    }
    std::printf("%d\n", *numero);
    return kExitOk;
}

int Eliminar(const Opciones& op) {
    bool dado = false;
    auto numero = Numero(op, dado);
    if (!numero)
        return kExitUsage;
    std::string nombre;
    engine::Database* aux = AuxiliarYBoletin(op, false, nombre);
    if (!aux)
        return kExitError;
    engine::Error err;
    const bool hecho =
        dado ? EliminarLinea(*aux, nombre, *numero, err) : EliminarBoletin(*aux, nombre, err);
    return hecho ? kExitOk : FalloMotor(err);
}

int Exportar(const Opciones& op) {
    const std::string disposicion = op.Valor("--layout").value_or("continuas");
    const std::string formato = op.Valor("--format").value_or("txt");
    if (disposicion != "continuas" && disposicion != "separadas")
        return Uso("--layout takes continuas or separadas, not '" + TextoVisible(disposicion) +
                   "'");
    if (formato != "txt" && formato != "html" && formato != "pdf")
        return Uso("--format takes txt, html or pdf, not '" + TextoVisible(formato) + "'");
    std::string nombre;
    engine::Database* aux = AuxiliarYBoletin(op, false, nombre);
    if (!aux)
        return kExitError;
    const Disposicion d =
        disposicion == "continuas" ? Disposicion::Continuas : Disposicion::Separadas;
    const FormatoExportacion f = formato == "txt"    ? FormatoExportacion::Texto
                                 : formato == "html" ? FormatoExportacion::Html
                                                     : FormatoExportacion::Pdf;
    std::filesystem::path destino;
    if (auto out = op.Valor("--out"))
        destino = *out;
    else
        destino = RutaExportacion(nombre, f);
    if (destino.empty())
        return Fallo(Nombre(nombre) + " cannot be used as a file name; give --out PATH");

    if (f == FormatoExportacion::Pdf)
        return ExportarBoletinPdf(*aux, nombre, d, destino);
    engine::Error err;
    if (!ExportarBoletin(*aux, nombre, d, f, destino, err))
        return FalloMotor(err);
    std::printf("%s\n", destino.string().c_str());
    return kExitOk;
}

int Importar(const Opciones& op) {
    const auto origen = op.Valor("--from");
    const bool todos = op.Tiene("--yes");
    AvisosImportacion avisos;
    avisos.preguntar = [&](const std::string& archivo) {
        if (todos)
            return Sustituir::SiATodos;
        std::fprintf(stderr,
                     "veliora-cli: %s: not replaced, it holds other bulletins (use --yes)\n",
                     TextoVisible(archivo).c_str());
        return Sustituir::No;
    };
    avisos.fallo = [](const std::string& archivo, const engine::Error& e) {
        std::fprintf(stderr, "veliora-cli: %s: %s\n", TextoVisible(archivo).c_str(),
                     TextoVisible(LineaError(e)).c_str());
    };
    SembrarDirectorioAplicacion();
    const ResultadoImportacion r = ImportarBoletines(*origen, DirectorioAplicacion(), avisos);
    if (!r.listado)
        return Fallo("cannot read " + TextoVisible(*origen) + ": " + TextoDeError(r.errorListado));
    std::printf("copied %d, failed %d, not replaced %d\n", r.copiados, r.fallidos, r.omitidos);
    return r.fallidos == 0 && r.omitidos == 0 ? kExitOk : kExitError;
}

}  // namespace

int ComandoBulletin(const std::vector<std::string>& args) {
    struct Subcomando {
        int (*ejecutar)(const Opciones&);
        std::vector<std::string> necesarias, conValor, interruptores;
    };
    // Each subcommand with the options it cannot do without and those it takes.
    static const std::map<std::string, Subcomando> kSub = {
        {"list", {Listar, {"--db"}, {"--db"}, {"--json"}}},
        {"show", {Mostrar, {"--db", "--name"}, {"--db", "--name"}, {"--json"}}},
        {"add",
         {Anadir,
          {"--db", "--name", "--question", "--answer"},
          {"--db", "--name", "--number", "--question", "--answer"},
          {"--force"}}},
        {"delete", {Eliminar, {"--db", "--name"}, {"--db", "--name", "--number"}, {}}},
        {"export",
         {Exportar, {"--db", "--name"}, {"--db", "--name", "--layout", "--format", "--out"}, {}}},
        {"import", {Importar, {"--from"}, {"--from"}, {"--yes"}}},
    };
    if (args.empty())
        return Uso("bulletin needs a subcommand: list, show, add, delete, export, import");
    const auto sub = kSub.find(args[0]);
    if (sub == kSub.end())
        return Uso("unknown bulletin subcommand '" + TextoVisible(args[0]) + "'");
    auto op =
        Parsear({args.begin() + 1, args.end()}, sub->second.conValor, sub->second.interruptores);
    if (!op)
        return kExitUsage;
    if (!op->posicionales.empty())
        return Uso("unexpected argument '" + TextoVisible(op->posicionales[0]) + "'");
    for (const std::string& necesaria : sub->second.necesarias)
        if (!op->Valor(necesaria))
            return Uso("bulletin " + sub->first + " needs " + necesaria);
    return sub->second.ejecutar(*op);
}

}  // namespace veliora::cli
