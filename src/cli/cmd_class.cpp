// veliora-cli class: the class record from the command line. Without --server, the
// embedded store of the application directory.
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "cli/comun.h"
#include "core/aula/clase.h"
#include "core/aula/seguimiento.h"
#include "core/aula/textos.h"
#include "core/session/apertura.h"
#include "core/shell/directorio.h"
#include "core/shell/salidas.h"

namespace veliora::cli {

namespace {

int Uso(const char* texto) {
    std::fprintf(stderr, "veliora-cli: %s\n", texto);
    return kExitUsage;
}

std::string Servidor(const Opciones& op) {
    return op.Valor("--server").value_or("");
}

// The student's password: VELIORA_PASSWORD, else one line of standard input (not echoed
// on a terminal).
std::string LeerContrasena() {
    if (const char* v = std::getenv("VELIORA_PASSWORD"))
        return v;
    termios antes{};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &antes) == 0;
    if (terminal) {
        std::fputs("Password: ", stderr);
        termios sinEco = antes;
        sinEco.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &sinEco);
    }
    std::string linea;
    std::getline(std::cin, linea);
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &antes);
        std::fputs("\n", stderr);
    }
    if (!linea.empty() && linea.back() == '\r')
        linea.pop_back();
    return linea;
}

int Create(const Opciones& op, bool json) {
    const auto nombre = op.Valor("--name");
    if (!nombre)
        return Uso("class create needs --name NAME [--server URI] [--json]");
    aula::Error e;
    auto almacen = aula::AlmacenProfesor(DirectorioAplicacion(), Servidor(op), "", e);
    const auto clase = almacen ? almacen->CrearClase(*nombre, e) : std::nullopt;
    if (!clase)
        return ImprimirFalloClase(e, json);
    if (json) {
        Json out;
        out.BeginObject().Key("class").String(clase->nombre).Key("code").String(clase->codigo);
        std::printf("%s\n", out.EndObject().str().c_str());
    } else {
        std::printf("%s\t%s\n", clase->nombre.c_str(), clase->codigo.c_str());
    }
    return kExitOk;
}

int Publish(const Opciones& op, bool json) {
    const auto codigo = op.Valor("--class");
    const auto db = op.Valor("--db");
    if (!codigo || !db)
        return Uso("class publish needs --class CODE --db FILE [--server URI] [--json]");
    SembrarDirectorioAplicacion();  // the samples' auxiliary databases, as the program has them
    const auto sqlite = BaseSqlite(*db, json);
    if (!sqlite)
        return kExitError;
    aula::Error e;
    auto almacen = aula::AlmacenProfesor(DirectorioAplicacion(), Servidor(op), "", e);
    const std::filesystem::path archivo(*db);
    const auto publicada =
        almacen ? aula::PublicarBaseDatos(*almacen, *codigo, *sqlite,
                                          RutaBDAuxiliar(archivo.filename().string()),
                                          aula::NombrePublicado(archivo), e)
                : std::nullopt;
    if (!publicada)
        return ImprimirFalloClase(e, json);
    if (json) {
        Json out;
        out.BeginObject()
            .Key("version")
            .Int(publicada->version)
            .Key("hash")
            .String(publicada->hash);
        std::printf("%s\n", out.EndObject().str().c_str());
    } else {
        std::printf("%d\t%s\n", publicada->version, publicada->hash.c_str());
    }
    return kExitOk;
}

int Join(const Opciones& op, bool json) {
    const auto codigo = op.Valor("--class");
    const auto alumno = op.Valor("--student");
    if (!codigo || !alumno)
        return Uso("class join needs --class CODE --student NAME [--server URI] [--json]");
    SembrarDirectorioAplicacion();
    aula::Error e;
    const auto membresia = aula::UnirseAClase(DirectorioAplicacion(), Servidor(op), *codigo,
                                              *alumno, LeerContrasena(), e);
    if (!membresia)
        return ImprimirFalloClase(e, json);
    if (json) {
        Json out;
        out.BeginObject().Key("db").String(membresia->bd).Key("version").Int(membresia->version);
        std::printf("%s\n", out.EndObject().str().c_str());
    } else {
        std::printf("%s\t%d\n", membresia->bd.c_str(), membresia->version);
    }
    return kExitOk;
}

int Sync(bool json) {
    aula::Error e;
    aula::Remitente remitente(DirectorioAplicacion());
    const aula::EstadoEnvio estado = remitente.Enviar(e);
    if (e.fallo == aula::Fallo::SinClase)
        return ImprimirFalloClase(e, json);
    if (json) {
        Json out;
        out.BeginObject().Key("sent").Int(estado.enviados).Key("pending").Int(estado.pendientes);
        std::printf("%s\n", out.EndObject().str().c_str());
    } else {
        std::printf("sent %d, pending %d\n", estado.enviados, estado.pendientes);
    }
    if (!e.failed())
        return kExitOk;
    std::fprintf(stderr, "veliora-cli: %s\n", aula::ExplicarFallo(e).c_str());
    return kExitError;
}

void ResultadosJson(const aula::Seguimiento& seguimiento) {
    Json out;
    out.BeginObject().Key("students").BeginArray();
    for (const auto& fila : seguimiento) {
        out.BeginObject().Key("name").String(fila.alumno).Key("attempts").Int(fila.intentos);
        out.Key("right").Int(fila.correctos).Key("questions").BeginObject();
        for (const auto& [pregunta, celda] : fila.preguntas) {
            out.Key(aula::NombrePregunta(pregunta)).BeginObject();
            out.Key("best").String(aula::NombreMejor(celda.mejor));
            out.Key("attempts").Int(celda.intentos).EndObject();
        }
        out.EndObject().EndObject();
    }
    out.EndArray().EndObject();
    std::printf("%s\n", out.str().c_str());
}

void ResultadosTexto(const aula::Seguimiento& seguimiento) {
    for (const auto& fila : seguimiento) {
        std::printf("%s\t%d\t%d", fila.alumno.c_str(), fila.intentos, fila.correctos);
        for (const auto& [pregunta, celda] : fila.preguntas)
            std::printf("\t%s:%s(%d)", aula::NombrePregunta(pregunta).c_str(),
                        aula::NombreMejor(celda.mejor), celda.intentos);
        std::printf("\n");
    }
}

int Results(const Opciones& op, bool json) {
    const auto codigo = op.Valor("--class");
    const auto csv = op.Valor("--csv");
    if (!codigo || (json && csv))
        return Uso(
            "class results needs --class CODE [--server URI] [--bulletin B] [--json | --csv "
            "FILE]");
    aula::Error e;
    auto almacen = aula::AlmacenProfesor(DirectorioAplicacion(), Servidor(op), "", e);
    const auto seguimiento =
        almacen ? almacen->Seguir(*codigo, op.Valor("--bulletin").value_or(""), e) : std::nullopt;
    if (!seguimiento)
        return ImprimirFalloClase(e, json);
    if (csv) {
        const std::string texto =
            aula::CsvSeguimiento(*seguimiento, aula::ColumnasSeguimiento(*seguimiento));
        // A file the user names: never one that holds data (core/shell/salidas.h).
        engine::Error fallo;
        if (!EscribirSalida(*csv, texto, fallo)) {
            ImprimirError(fallo, false);
            return kExitError;
        }
    } else if (json) {
        ResultadosJson(*seguimiento);
    } else {
        ResultadosTexto(*seguimiento);
    }
    return kExitOk;
}

}  // namespace

int ImprimirFalloClase(const aula::Error& e, bool json) {
    if (json) {
        Json j;
        j.BeginObject().Key("error").BeginObject();
        j.Key("reason").String(aula::CodigoFallo(e.fallo));
        j.Key("description").String(aula::ExplicarFallo(e));
        j.EndObject().EndObject();
        std::printf("%s\n", j.str().c_str());
    } else {
        std::fprintf(stderr, "veliora-cli: %s\n", aula::ExplicarFallo(e).c_str());
    }
    return kExitError;
}

int ComandoClass(const std::vector<std::string>& args) {
    struct Orden {
        const char* nombre;
        std::vector<std::string> conValor;
        std::vector<std::string> interruptores;
        int (*ejecutar)(const Opciones&, bool json);
    };
    static const Orden kOrdenes[] = {
        {"create", {"--server", "--name"}, {"--json"}, Create},
        {"publish", {"--server", "--class", "--db"}, {"--json"}, Publish},
        {"join", {"--server", "--class", "--student"}, {"--json"}, Join},
        {"sync", {}, {"--json"}, [](const Opciones&, bool json) { return Sync(json); }},
        {"results", {"--server", "--class", "--bulletin", "--csv"}, {"--json"}, Results},
    };
    for (const Orden& orden : kOrdenes) {
        if (args.empty() || args[0] != orden.nombre)
            continue;
        const auto opciones =
            Parsear({args.begin() + 1, args.end()}, orden.conValor, orden.interruptores);
        if (!opciones)
            return kExitUsage;
        if (!opciones->posicionales.empty())
            return Uso("class takes no positional arguments (see --help)");
        LeerIdiomaDelPrograma();
        return orden.ejecutar(*opciones, opciones->Tiene("--json"));
    }
    return Uso("class needs create, publish, join, sync or results (see --help)");
}

}  // namespace veliora::cli
