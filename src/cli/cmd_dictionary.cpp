// veliora-cli dictionary: initialise, show and edit the data dictionary without the windows.
#include <cctype>
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/comun.h"
#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/dictionary/diccionario.h"
#include "core/dictionary/esquema.h"

namespace veliora::cli {

namespace {

constexpr const char* kUso =
    "veliora-cli: usage: dictionary init --db FILE [--yes]\n"
    "                    dictionary show --db FILE [--json]\n"
    "                    dictionary set --db FILE --table T [--field F | --relation R]\n"
    "                      [--singular S] [--plural P] [--gender m|f] [--summable yes|no]\n"
    "                      [--forward X] [--backward Y] [--forward-no-table yes|no]\n"
    "                      [--backward-no-table yes|no] [--lang es|va]\n"
    "                    dictionary diagram --db FILE [--out FILE.png|FILE.svg] [--json]\n";

// The databases AbrirComoPrograma opened.
engine::Database& Usuario() {
    return *Aplicacion::Actual().Usuario();
}
engine::Database& Auxiliar() {
    return *Aplicacion::Actual().Auxiliar();
}

int Uso() {
    std::fputs(kUso, stderr);
    return kExitUsage;
}

void ImprimirErrorFila(const engine::Error& e, int contexto) {
    std::fprintf(stderr, "%s\n%s\n", LineaError(e).c_str(), Texto(contexto).c_str());
}

bool Afirmativa(std::string r) {
    for (char& c : r) c = char(std::tolower(static_cast<unsigned char>(c)));
    return r == "s" || r == "si" || r == "sí" || r == "y" || r == "yes";
}

int Init(const Opciones& op) {
    const auto db = op.Valor("--db");
    if (!db || !op.posicionales.empty())
        return Uso();
    if (!AbrirComoPrograma(*db, false))
        return kExitError;
    if (!op.Tiene("--yes")) {
        std::printf("%s [s/N] ", Texto(405).c_str());
        std::fflush(stdout);
        std::string respuesta;
        std::getline(std::cin, respuesta);
        if (!Afirmativa(respuesta)) {
            std::fputs("veliora-cli: dictionary left unchanged\n", stderr);
            return kExitError;
        }
    }
    ColTablas estructura;
    const ResultadoInicializacion r = GenerarDatosAuxiliares(Usuario(), Auxiliar(), estructura);
    if (!r.Correcto()) {
        ImprimirErrorFila(r.error, r.contexto);
        return kExitError;
    }
    for (const ErrorFila& f : r.Errores) ImprimirErrorFila(f.error, f.contexto);
    std::printf("Tablas: %d, Campos: %d, Relaciones: %d\n", r.Tablas, r.Campos, r.Relaciones);
    return r.Errores.empty() ? kExitOk : kExitError;
}

// ---------------------------------------------------------------- show

struct Vista {
    struct TablaVista {
        DatosTabla datos;
        std::vector<DatosCampo> campos;
    };
    std::vector<TablaVista> tablas;
    std::vector<DatosRelacion> relaciones;
};

bool LeerTodo(Vista& v, engine::Error& err) {
    ColTablas estructura;
    if (!CargarEstructura(estructura, Usuario(), err))
        return false;
    for (const Tabla& t : estructura) {
        Vista::TablaVista tv;
        if (!LeerDatosTabla(Auxiliar(), t.Nombre, tv.datos, err))
            return false;
        for (const Campo& c : t.Campos) {
            DatosCampo dc;
            if (!LeerDatosCampo(Auxiliar(), t.Nombre, c.Nombre, dc, err))
                return false;
            tv.campos.push_back(std::move(dc));
        }
        v.tablas.push_back(std::move(tv));
    }
    const auto& relaciones = Usuario().Relations(err);
    if (err.failed())
        return false;
    for (const engine::Relation& rel : relaciones) {
        DatosRelacion dr;
        if (!LeerDatosRelacion(Auxiliar(), rel.Name, dr, err))
            return false;
        v.relaciones.push_back(std::move(dr));
    }
    return true;
}

// The Valencian half of an object, as "va" beside its Spanish values.
void NombresVaJson(Json& j, const NombresVa& va) {
    j.Key("va").BeginObject().Key("singular").String(va.NombreSingular);
    j.Key("plural").String(va.NombrePlural).Key("masculine").Bool(va.MascFeme);
    if (!va.Guardada)
        j.Key("stored").Bool(false);
    j.EndObject();
}

void ImprimirJson(const Vista& v) {
    Json j;
    j.BeginObject().Key("tables").BeginArray();
    for (const auto& t : v.tablas) {
        const DatosTabla& d = t.datos;
        j.BeginObject().Key("name").String(d.Nombre).Key("singular").String(d.NombreSingular);
        j.Key("plural").String(d.NombrePlural).Key("masculine").Bool(d.MascFeme);
        j.Key("x").Int(d.PosX).Key("y").Int(d.PosY).Key("fields").BeginArray();
        for (const DatosCampo& c : t.campos) {
            j.BeginObject().Key("name").String(c.Nombre).Key("singular").String(c.NombreSingular);
            j.Key("plural").String(c.NombrePlural).Key("masculine").Bool(c.MascFeme);
            j.Key("summable").Bool(c.PermiteSum);
            if (!c.Guardada)
                j.Key("stored").Bool(false);
            NombresVaJson(j, c.Va);
            j.EndObject();
        }
        j.EndArray();
        if (!d.Guardada)
            j.Key("stored").Bool(false);
        NombresVaJson(j, d.Va);
        j.EndObject();
    }
    j.EndArray().Key("relations").BeginArray();
    for (const DatosRelacion& r : v.relaciones) {
        j.BeginObject().Key("name").String(r.Nombre).Key("forward").String(r.Traduccion);
        j.Key("forward_no_table").Bool(r.NoConcatenar).Key("backward").String(r.Traduccion2);
        j.Key("backward_no_table").Bool(r.NoConcatenar2);
        if (!r.Guardada)
            j.Key("stored").Bool(false);
        j.Key("va").BeginObject().Key("forward").String(r.Va.Traduccion);
        j.Key("forward_no_table").Bool(r.Va.NoConcatenar).Key("backward").String(r.Va.Traduccion2);
        j.Key("backward_no_table").Bool(r.Va.NoConcatenar2);
        if (!r.Va.Guardada)
            j.Key("stored").Bool(false);
        j.EndObject().EndObject();
    }
    j.EndArray().EndObject();
    std::printf("%s\n", j.str().c_str());
}

const char* Genero(bool masculino) {
    return masculino ? "masculino" : "femenino";
}
const char* SinFila(bool guardada) {
    return guardada ? "" : "  (sin fila)";
}

void ImprimirTexto(const Vista& v) {
    auto va = [](const NombresVa& n) {
        std::printf("    valenciano: %s / %s, %s%s\n", n.NombreSingular.c_str(),
                    n.NombrePlural.c_str(), Genero(n.MascFeme), SinFila(n.Guardada));
    };
    for (const auto& t : v.tablas) {
        const DatosTabla& d = t.datos;
        std::printf("Tabla %s: %s / %s, %s, posición %lld,%lld%s\n", d.Nombre.c_str(),
                    d.NombreSingular.c_str(), d.NombrePlural.c_str(), Genero(d.MascFeme),
                    static_cast<long long>(d.PosX), static_cast<long long>(d.PosY),
                    SinFila(d.Guardada));
        va(d.Va);
        for (const DatosCampo& c : t.campos) {
            std::printf("  campo %s: %s / %s, %s%s%s\n", c.Nombre.c_str(), c.NombreSingular.c_str(),
                        c.NombrePlural.c_str(), Genero(c.MascFeme),
                        c.PermiteSum ? ", permite SUM" : "", SinFila(c.Guardada));
            va(c.Va);
        }
    }
    for (const DatosRelacion& r : v.relaciones) {
        std::printf("Relación %s: -> '%s'%s, <- '%s'%s%s\n", r.Nombre.c_str(), r.Traduccion.c_str(),
                    r.NoConcatenar ? " (no concatenar)" : "", r.Traduccion2.c_str(),
                    r.NoConcatenar2 ? " (no concatenar)" : "", SinFila(r.Guardada));
        std::printf("    valenciano: -> '%s'%s, <- '%s'%s%s\n", r.Va.Traduccion.c_str(),
                    r.Va.NoConcatenar ? " (no concatenar)" : "", r.Va.Traduccion2.c_str(),
                    r.Va.NoConcatenar2 ? " (no concatenar)" : "", SinFila(r.Va.Guardada));
    }
}

int Show(const Opciones& op) {
    const auto db = op.Valor("--db");
    if (!db || !op.posicionales.empty())
        return Uso();
    const bool json = op.Tiene("--json");
    if (!AbrirComoPrograma(*db, json))
        return kExitError;
    Vista v;
    engine::Error err;
    if (!LeerTodo(v, err)) {
        ImprimirError(err, json);
        return kExitError;
    }
    json ? ImprimirJson(v) : ImprimirTexto(v);
    return kExitOk;
}

// ---------------------------------------------------------------- set

// "yes"/"no" into `destino`; false on any other text.
bool SiNoOpcion(const Opciones& op, const char* nombre, bool& destino) {
    const auto v = op.Valor(nombre);
    if (!v)
        return true;
    if (*v != "yes" && *v != "no") {
        std::fprintf(stderr, "veliora-cli: %s takes yes or no\n", nombre);
        return false;
    }
    destino = *v == "yes";
    return true;
}

int Desconocido(const std::string& que) {
    std::fprintf(stderr, "veliora-cli: %s is not in the database\n", que.c_str());
    return kExitError;
}

int Set(const Opciones& op) {
    const auto db = op.Valor("--db");
    const auto tabla = op.Valor("--table");
    const auto campo = op.Valor("--field");
    const auto relacion = op.Valor("--relation");
    if (!db || !tabla || !op.posicionales.empty() || (campo && relacion))
        return Uso();
    auto usada = [&](std::initializer_list<const char*> nombres) {
        for (const char* n : nombres)
            if (op.Valor(n))
                return true;
        return false;
    };
    const bool deNombres = usada({"--singular", "--plural", "--gender"});
    const bool deRelacion =
        usada({"--forward", "--backward", "--forward-no-table", "--backward-no-table"});
    if ((relacion && deNombres) || (!relacion && deRelacion) ||
        (!campo && op.Valor("--summable"))) {
        std::fputs("veliora-cli: these options do not apply to that kind of object\n", stderr);
        return Uso();
    }
    if (const auto g = op.Valor("--gender"); g && *g != "m" && *g != "f") {
        std::fputs("veliora-cli: --gender takes m or f\n", stderr);
        return kExitUsage;
    }
    const std::string lang = op.Valor("--lang").value_or("es");
    if (lang != "es" && lang != "va") {
        std::fputs("veliora-cli: --lang takes es or va\n", stderr);
        return kExitUsage;
    }
    const bool va = lang == "va";
    bool masculino = false, sumable = false, noTabla = false, noTabla2 = false;
    if (!SiNoOpcion(op, "--summable", sumable) || !SiNoOpcion(op, "--forward-no-table", noTabla) ||
        !SiNoOpcion(op, "--backward-no-table", noTabla2))
        return kExitUsage;
    masculino = op.Valor("--gender").value_or("") == "m";

    if (!AbrirComoPrograma(*db, false))
        return kExitError;
    engine::Error err;
    ColTablas estructura;
    if (!CargarEstructura(estructura, Usuario(), err)) {
        ImprimirError(err, false);
        return kExitError;
    }
    const std::int32_t posTabla = estructura.Posicion(*tabla);
    if (posTabla == 0)
        return Desconocido("table '" + *tabla + "'");
    const Tabla& t = estructura.Item(posTabla);
    auto nombres = [&](std::string& singular, std::string& plural, bool& masc) {
        singular = op.Valor("--singular").value_or(singular);
        plural = op.Valor("--plural").value_or(plural);
        if (op.Valor("--gender"))
            masc = masculino;
    };
    // With --lang va the names and phrases are the Valencian ones; whether a field may be
    // summed is the same in both languages.
    bool ok = false;
    if (campo) {
        const std::int32_t posCampo = t.Campos.Posicion(*campo);
        if (posCampo == 0)
            return Desconocido("field '" + *campo + "' of table '" + t.Nombre + "'");
        DatosCampo d;
        ok = LeerDatosCampo(Auxiliar(), t.Nombre, t.Campos.Item(posCampo).Nombre, d, err);
        if (ok && va) {
            nombres(d.Va.NombreSingular, d.Va.NombrePlural, d.Va.MascFeme);
            ok = GuardarDatosCampoVa(Auxiliar(), d, err);
        } else if (ok) {
            nombres(d.NombreSingular, d.NombrePlural, d.MascFeme);
        }
        if (ok && op.Valor("--summable"))
            d.PermiteSum = sumable;
        if (ok && (!va || op.Valor("--summable")))
            ok = GuardarDatosCampo(Auxiliar(), d, err);
    } else if (relacion) {
        const auto& relaciones = Usuario().Relations(err);
        if (err.failed()) {
            ImprimirError(err, false);
            return kExitError;
        }
        const engine::Relation* rel = nullptr;
        for (const auto& r : relaciones)
            if (MismoNombre(r.Name, *relacion) &&
                (MismoNombre(r.Table, t.Nombre) || MismoNombre(r.ForeignTable, t.Nombre)))
                rel = &r;
        if (!rel)
            return Desconocido("relation '" + *relacion + "' of table '" + t.Nombre + "'");
        DatosRelacion d;
        ok = LeerDatosRelacion(Auxiliar(), rel->Name, d, err);
        auto frases = [&](std::string& ida, std::string& vuelta, bool& nc, bool& nc2) {
            ida = op.Valor("--forward").value_or(ida);
            vuelta = op.Valor("--backward").value_or(vuelta);
            if (op.Valor("--forward-no-table"))
                nc = noTabla;
            if (op.Valor("--backward-no-table"))
                nc2 = noTabla2;
        };
        if (ok && va) {
            frases(d.Va.Traduccion, d.Va.Traduccion2, d.Va.NoConcatenar, d.Va.NoConcatenar2);
            ok = GuardarDatosRelacionVa(Auxiliar(), d, err);
        } else if (ok) {
            frases(d.Traduccion, d.Traduccion2, d.NoConcatenar, d.NoConcatenar2);
            ok = GuardarDatosRelacion(Auxiliar(), d, err);
        }
    } else {
        DatosTabla d;
        ok = LeerDatosTabla(Auxiliar(), t.Nombre, d, err);
        if (ok && va) {
            nombres(d.Va.NombreSingular, d.Va.NombrePlural, d.Va.MascFeme);
            ok = GuardarDatosTablaVa(Auxiliar(), d, err);
        } else if (ok) {
            nombres(d.NombreSingular, d.NombrePlural, d.MascFeme);
            ok = GuardarDatosTabla(Auxiliar(), d, err);
        }
    }
    if (!ok) {
        ImprimirError(err, false);
        return kExitError;
    }
    return kExitOk;
}

}  // namespace

int ComandoDictionary(const std::vector<std::string>& args) {
    if (args.empty())
        return Uso();
    const std::string sub = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (sub == "init") {
        auto op = Parsear(rest, {"--db"}, {"--yes"});
        return op ? Init(*op) : kExitUsage;
    }
    if (sub == "show") {
        auto op = Parsear(rest, {"--db"}, {"--json"});
        return op ? Show(*op) : kExitUsage;
    }
    if (sub == "diagram")
        return ComandoDiagrama(rest);
    if (sub == "set") {
        auto op = Parsear(rest,
                          {"--db", "--table", "--field", "--relation", "--singular", "--plural",
                           "--gender", "--summable", "--forward", "--backward",
                           "--forward-no-table", "--backward-no-table", "--lang"},
                          {});
        return op ? Set(*op) : kExitUsage;
    }
    return Uso();
}

}  // namespace veliora::cli
