#include "core/dictionary/vista_esquema.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <map>

#include "core/dictionary/diccionario.h"
#include "core/dictionary/esquema.h"

namespace veliora {

namespace {

// Words a statement reads as its own, not as a name.
constexpr std::array<std::string_view, 40> kReservadas = {
    "all",      "and",   "any",   "as",     "asc",  "between", "by",    "case",   "cross", "desc",
    "distinct", "else",  "end",   "exists", "from", "full",    "group", "having", "in",    "inner",
    "into",     "is",    "join",  "left",   "like", "limit",   "not",   "null",   "on",    "or",
    "order",    "outer", "right", "select", "some", "then",    "union", "values", "when",  "where"};

// Letters, digits and underscores, not starting with a digit.
bool IdentificadorSimple(std::string_view nombre) {
    if (nombre.empty())
        return false;
    const auto* p = reinterpret_cast<const uint8_t*>(nombre.data());
    int32_t i = 0;
    const int32_t n = int32_t(nombre.size());
    bool primero = true;
    while (i < n) {
        UChar32 c;
        U8_NEXT(p, i, n, c);
        if (c < 0 || !(c == '_' || u_isalpha(c) || (!primero && u_isdigit(c))))
            return false;
        primero = false;
    }
    return true;
}

bool EnClave(const Tabla& t, std::string_view campo, bool primaria) {
    for (const Indice& i : t.Indices) {
        const bool esPrimaria = i.Nombre == "PrimaryKey";
        if ((primaria ? esPrimaria : i.ClaveAjena) &&
            std::any_of(i.Campos.begin(), i.Campos.end(),
                        [&](const std::string& c) { return MismoNombre(c, campo); }))
            return true;
    }
    return false;
}

// A relation is one to one when its related fields are the whole of a unique index.
bool UnoAUno(const Tabla& relacionada, const engine::Relation& r) {
    std::vector<std::string> ajenos;
    for (const engine::RelationField& f : r.Fields) ajenos.push_back(f.ForeignName);
    for (const Indice& i : relacionada.Indices) {
        if (!i.Unico || i.Campos.size() != ajenos.size())
            continue;
        if (std::all_of(i.Campos.begin(), i.Campos.end(), [&](const std::string& c) {
                return std::any_of(ajenos.begin(), ajenos.end(),
                                   [&](const std::string& a) { return MismoNombre(a, c); });
            }))
            return true;
    }
    return false;
}

std::string Cadena(const engine::Value& v) {
    return v.isNull() ? std::string() : v.toPlainText();
}

// The dictionary's names of tables and fields, read in two statements; nothing when there
// is no dictionary to read.
void LeerNombres(engine::Database& aux, VistaEsquema& vista) {
    std::map<std::string, TablaVista*> tablas;
    for (TablaVista& t : vista.Tablas) tablas[engine::LowerText(t.Nombre)] = &t;
    engine::Error error;
    if (auto rs =
            aux.OpenForwardOnly("Select Nombre, NombreSingular, NombrePlural from Tablas", error)) {
        for (; !rs->Eof(); rs->MoveNext())
            if (auto it = tablas.find(engine::LowerText(Cadena(rs->Field(0))));
                it != tablas.end()) {
                it->second->Singular = Cadena(rs->Field(1));
                it->second->Plural = Cadena(rs->Field(2));
            }
    }
    error.clear();
    auto rs = aux.OpenForwardOnly(
        "Select NombreTabla, Nombre, NombreSingular, NombrePlural from Campos", error);
    for (; rs && !rs->Eof(); rs->MoveNext()) {
        auto it = tablas.find(engine::LowerText(Cadena(rs->Field(0))));
        if (it == tablas.end())
            continue;
        for (CampoVista& c : it->second->Campos)
            if (MismoNombre(c.Nombre, Cadena(rs->Field(1)))) {
                c.Singular = Cadena(rs->Field(2));
                c.Plural = Cadena(rs->Field(3));
            }
    }
}

}  // namespace

bool PalabraReservada(std::string_view palabra) {
    return std::any_of(kReservadas.begin(), kReservadas.end(),
                       [&](std::string_view r) { return MismoNombre(r, palabra); });
}

bool NecesitaCorchetes(std::string_view nombre) {
    return !IdentificadorSimple(nombre) || PalabraReservada(nombre);
}

std::string NombreEnSql(std::string_view nombre) {
    return NecesitaCorchetes(nombre) ? "[" + std::string(nombre) + "]" : std::string(nombre);
}

bool LeerVistaEsquema(engine::Database& usuario, engine::Database* auxiliar, VistaEsquema& vista,
                      engine::Error& error) {
    vista = {};
    ColTablas estructura;
    if (!CargarEstructura(estructura, usuario, error))
        return false;
    const auto definiciones = usuario.TableDefs(error);
    const auto& relaciones = usuario.Relations(error);
    if (error.failed())
        return false;
    for (const Tabla& t : estructura) {
        TablaVista tv;
        tv.Nombre = t.Nombre;
        const auto def =
            std::find_if(definiciones.begin(), definiciones.end(),
                         [&](const engine::TableDef& d) { return d.Name == t.Nombre; });
        for (const Campo& c : t.Campos) {
            CampoVista cv;
            cv.Nombre = c.Nombre;
            cv.Clave = EnClave(t, c.Nombre, true);
            cv.Ajena = EnClave(t, c.Nombre, false);
            if (def != definiciones.end())
                for (const engine::FieldDef& f : def->Fields)
                    if (f.Name == c.Nombre)
                        cv.Tipo = f.DeclaredType;
            tv.Campos.push_back(std::move(cv));
        }
        if (std::int64_t x = 0, y = 0; auxiliar && LeerPosicion(*auxiliar, t.Nombre, x, y))
            // A box stored off the left or top edge could never be reached again.
            tv.Posicion = diagrama::Punto{int(std::clamp<std::int64_t>(x, 0, 1 << 24)),
                                          int(std::clamp<std::int64_t>(y, 0, 1 << 24))};
        vista.Tablas.push_back(std::move(tv));
    }
    for (const engine::Relation& r : relaciones) {
        RelacionVista rv;
        rv.Nombre = r.Name;
        // Names compared exactly, letter case included, as the diagram has always done.
        for (int k = 0; k < int(vista.Tablas.size()); ++k) {
            if (vista.Tablas[std::size_t(k)].Nombre == r.Table)
                rv.Origen = k;
            if (vista.Tablas[std::size_t(k)].Nombre == r.ForeignTable)
                rv.Destino = k;
        }
        if (rv.Destino >= 0)
            rv.Muchos = !UnoAUno(estructura.Item(rv.Destino + 1), r);
        vista.Relaciones.push_back(std::move(rv));
    }
    if (auxiliar)
        LeerNombres(*auxiliar, vista);
    return true;
}

std::vector<diagrama::Caja> CajasIniciales(const VistaEsquema& vista, int anchoDiagrama) {
    std::vector<std::optional<diagrama::Punto>> guardadas;
    for (const TablaVista& t : vista.Tablas) guardadas.push_back(t.Posicion);
    std::vector<diagrama::Caja> cajas;
    for (const diagrama::Punto& p : diagrama::ColocarTablas(guardadas, anchoDiagrama))
        cajas.push_back({p.X, p.Y, diagrama::kAnchoPlantilla, diagrama::kAltoPlantilla});
    return cajas;
}

}  // namespace veliora
