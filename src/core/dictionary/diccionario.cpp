#include "core/dictionary/diccionario.h"

#include <sqlite3.h>

#include <memory>

#include "core/dictionary/nombres.h"
#include "core/shell/textos.h"

namespace veliora {

using engine::Database;
using engine::EngineError;
using engine::Value;

namespace {

Value Txt(std::string_view s) {
    return Value::Text(std::string(s));
}
// Yes/no columns hold -1 for yes.
Value SiNo(bool b) {
    return Value::Int(b ? -1 : 0);
}
std::string Cadena(const Value& v) {
    return v.isNull() ? std::string() : v.toPlainText();
}
// A null stored by hand reads as no row does: the default. An empty text is the teacher's.
void Leer(const Value& v, std::string& destino) {
    if (!v.isNull())
        destino = v.toPlainText();
}
void Leer(const Value& v, bool& destino) {
    if (!v.isNull())
        destino = v.toBool();
}

// Runs an update and fails when it changed no row.
bool ActualizarFila(Database& aux, std::string_view sql, const std::vector<Value>& params,
                    std::string_view objeto, EngineError& error) {
    if (!aux.Execute(sql, error, params))
        return false;
    if (aux.Changes() == 0) {
        error = {SQLITE_NOTFOUND, Texto(1702, std::string(objeto)), std::string(sql)};
        return false;
    }
    return true;
}

// Opens a one-row read; false on an engine error.
std::unique_ptr<engine::Recordset> Abrir(Database& aux, std::string_view sql,
                                         const std::vector<Value>& params, EngineError& error) {
    auto rs = aux.OpenRecordset(sql, error, params);
    if (rs && !error.failed() && !rs->Error().failed())
        return rs;
    if (rs && !error.failed())
        error = rs->Error();
    return nullptr;
}

bool InsertarTabla(Database& aux, const DatosTabla& t, EngineError& error) {
    return aux.Execute(
        "Insert into Tablas(Nombre,NombreSingular,NombrePlural,MascFeme) values(?,?,?,?)", error,
        {Txt(t.Nombre), Txt(t.NombreSingular), Txt(t.NombrePlural), SiNo(t.MascFeme)});
}
bool InsertarCampo(Database& aux, const DatosCampo& c, EngineError& error) {
    return aux.Execute(
        "Insert into Campos(NombreTabla,Nombre,NombreSingular,NombrePlural,MascFeme,Permitesum) "
        "values(?,?,?,?,?,?)",
        error,
        {Txt(c.NombreTabla), Txt(c.Nombre), Txt(c.NombreSingular), Txt(c.NombrePlural),
         SiNo(c.MascFeme), SiNo(c.PermiteSum)});
}
bool InsertarRelacion(Database& aux, const DatosRelacion& r, EngineError& error) {
    return aux.Execute(
        "Insert into Relaciones(Nombre,Traduccion,Traduccion2,NoConcatenar,NoConcatenar2) "
        "values(?,?,?,?,?)",
        error,
        {Txt(r.Nombre), Txt(r.Traduccion), Txt(r.Traduccion2), SiNo(r.NoConcatenar),
         SiNo(r.NoConcatenar2)});
}

}  // namespace

DatosTabla TablaPorDefecto(std::string_view nombre) {
    const NombresPorDefecto n = NombresDeObjeto(nombre);
    DatosTabla t;
    t.Nombre = std::string(nombre);
    t.NombreSingular = n.Singular;
    t.NombrePlural = n.Plural;
    t.MascFeme = n.Masculino;
    return t;
}

DatosCampo CampoPorDefecto(std::string_view tabla, std::string_view campo) {
    const NombresPorDefecto n = NombresDeObjeto(campo);
    DatosCampo c;
    c.NombreTabla = std::string(tabla);
    c.Nombre = std::string(campo);
    c.NombreSingular = n.Singular;
    c.NombrePlural = n.Plural;
    c.MascFeme = n.Masculino;
    return c;
}

DatosRelacion RelacionPorDefecto(std::string_view nombre) {
    DatosRelacion r;
    r.Nombre = std::string(nombre);
    return r;
}

bool LeerDatosTabla(Database& aux, std::string_view nombre, DatosTabla& datos, EngineError& error) {
    auto rs = Abrir(aux, "Select * from Tablas where Nombre = ?", {Txt(nombre)}, error);
    if (!rs)
        return false;
    datos = TablaPorDefecto(nombre);
    if (rs->Eof())
        return true;
    datos.Nombre = Cadena(rs->Field("Nombre"));
    Leer(rs->Field("NombreSingular"), datos.NombreSingular);
    Leer(rs->Field("NombrePlural"), datos.NombrePlural);
    Leer(rs->Field("MascFeme"), datos.MascFeme);
    datos.PosX = rs->Field("PosX").toInt();
    datos.PosY = rs->Field("PosY").toInt();
    datos.Guardada = true;
    return true;
}

bool LeerDatosCampo(Database& aux, std::string_view tabla, std::string_view campo,
                    DatosCampo& datos, EngineError& error) {
    auto rs = Abrir(aux, "Select * from Campos where NombreTabla = ? and Nombre = ?",
                    {Txt(tabla), Txt(campo)}, error);
    if (!rs)
        return false;
    datos = CampoPorDefecto(tabla, campo);
    if (rs->Eof())
        return true;
    datos.NombreTabla = Cadena(rs->Field("NombreTabla"));
    datos.Nombre = Cadena(rs->Field("Nombre"));
    Leer(rs->Field("NombreSingular"), datos.NombreSingular);
    Leer(rs->Field("NombrePlural"), datos.NombrePlural);
    Leer(rs->Field("MascFeme"), datos.MascFeme);
    Leer(rs->Field("PermiteSum"), datos.PermiteSum);
    datos.Guardada = true;
    return true;
}

bool LeerDatosRelacion(Database& aux, std::string_view nombre, DatosRelacion& datos,
                       EngineError& error) {
    auto rs = Abrir(aux, "Select * from Relaciones where Nombre = ?", {Txt(nombre)}, error);
    if (!rs)
        return false;
    datos = RelacionPorDefecto(nombre);
    if (rs->Eof())
        return true;
    datos.Nombre = Cadena(rs->Field("Nombre"));
    Leer(rs->Field("Traduccion"), datos.Traduccion);
    Leer(rs->Field("Traduccion2"), datos.Traduccion2);
    Leer(rs->Field("NoConcatenar"), datos.NoConcatenar);
    Leer(rs->Field("NoConcatenar2"), datos.NoConcatenar2);
    datos.Guardada = true;
    return true;
}

bool GuardarDatosTabla(Database& aux, DatosTabla& datos, EngineError& error) {
    error.clear();
    if (!datos.Guardada) {
        datos.Guardada = InsertarTabla(aux, datos, error);
        return datos.Guardada;
    }
    return ActualizarFila(aux,
                          "Update Tablas set  NombreSingular = ?, NombrePlural = ?, MascFeme = ? "
                          "Where Nombre = ?",
                          {Txt(datos.NombreSingular), Txt(datos.NombrePlural), SiNo(datos.MascFeme),
                           Txt(datos.Nombre)},
                          datos.Nombre, error);
}

bool GuardarDatosCampo(Database& aux, DatosCampo& datos, EngineError& error) {
    error.clear();
    if (!datos.Guardada) {
        datos.Guardada = InsertarCampo(aux, datos, error);
        return datos.Guardada;
    }
    return ActualizarFila(aux,
                          "Update Campos set  NombreSingular = ?, NombrePlural = ?, MascFeme = ?, "
                          "PermiteSum = ? Where Nombre = ? and NombreTabla = ?",
                          {Txt(datos.NombreSingular), Txt(datos.NombrePlural), SiNo(datos.MascFeme),
                           SiNo(datos.PermiteSum), Txt(datos.Nombre), Txt(datos.NombreTabla)},
                          datos.NombreTabla + "." + datos.Nombre, error);
}

bool GuardarDatosRelacion(Database& aux, DatosRelacion& datos, EngineError& error) {
    error.clear();
    if (!datos.Guardada) {
        datos.Guardada = InsertarRelacion(aux, datos, error);
        return datos.Guardada;
    }
    return ActualizarFila(aux,
                          "Update Relaciones set  Traduccion = ? ,  Traduccion2 = ? ,  "
                          "NoConcatenar = ? ,  NoConcatenar2 = ? Where Nombre = ?",
                          {Txt(datos.Traduccion), Txt(datos.Traduccion2), SiNo(datos.NoConcatenar),
                           SiNo(datos.NoConcatenar2), Txt(datos.Nombre)},
                          datos.Nombre, error);
}

bool LeerPosicion(Database& aux, std::string_view tabla, std::int64_t& x, std::int64_t& y) {
    EngineError error;
    auto rs = Abrir(aux, "Select PosX,PosY from Tablas  Where Nombre = ?", {Txt(tabla)}, error);
    if (!rs || rs->Eof())
        return false;
    const std::int64_t px = rs->Field(0).toInt(), py = rs->Field(1).toInt();
    if (px == 0 && py == 0)
        return false;
    x = px;
    y = py;
    return true;
}

bool GuardarPosicion(Database& aux, std::string_view tabla, std::int64_t x, std::int64_t y,
                     EngineError& error) {
    if (!aux.Execute("Update Tablas Set PosX = ? ,PosY = ? Where Nombre = ?", error,
                     {Value::Int(x), Value::Int(y), Txt(tabla)}))
        return false;
    if (aux.Changes() != 0)
        return true;
    return aux.Execute(
        "Insert into Tablas(Nombre,NombreSingular,NombrePlural,MascFeme,PosX,PosY) "
        "values(?,?,?,?,?,?)",
        error, [&] {
            const DatosTabla t = TablaPorDefecto(tabla);
            return std::vector<Value>{Txt(t.Nombre),    Txt(t.NombreSingular), Txt(t.NombrePlural),
                                      SiNo(t.MascFeme), Value::Int(x),         Value::Int(y)};
        }());
}

ResultadoInicializacion GenerarDatosAuxiliares(Database& usuario, Database& aux,
                                               ColTablas& estructura) {
    ResultadoInicializacion r;
    // Everything that can fail without harm is read first: a database whose structure
    // cannot be read must not cost the teacher the dictionary they have.
    if (!CargarEstructura(estructura, usuario, r.error)) {
        r.contexto = kTextoLeyendoEstructura;
        return r;
    }
    const std::vector<engine::Relation> relaciones = usuario.Relations(r.error);
    if (r.error.failed()) {
        r.contexto = kTextoLeyendoEstructura;
        return r;
    }

    r.contexto = kTextoVaciandoDiccionario;
    if (!aux.BeginTransaction(r.error))
        return r;
    for (const char* sql : {"Delete from Tablas", "Delete from Campos", "Delete from Relaciones"})
        if (!aux.Execute(sql, r.error)) {
            aux.Rollback();
            return r;
        }

    auto fila = [&](bool ok, EngineError& e, int contexto, int& cuenta) {
        if (ok)
            ++cuenta;
        else
            r.Errores.push_back({e, contexto});
    };
    EngineError e;
    for (const Tabla& tabla : estructura) {
        fila(InsertarTabla(aux, TablaPorDefecto(tabla.Nombre), e), e, kTextoInsertandoTablas,
             r.Tablas);
        // A table whose row failed still gets its field rows.
        for (const Campo& campo : tabla.Campos)
            fila(InsertarCampo(aux, CampoPorDefecto(tabla.Nombre, campo.Nombre), e), e,
                 kTextoInsertandoCampos, r.Campos);
    }
    for (const engine::Relation& rel : relaciones)
        fila(InsertarRelacion(aux, RelacionPorDefecto(rel.Name), e), e, kTextoInsertandoRelaciones,
             r.Relaciones);

    if (!aux.Commit(r.error)) {
        aux.Rollback();
        r.Tablas = r.Campos = r.Relaciones = 0;
        return r;
    }
    r.contexto = 0;
    return r;
}

}  // namespace veliora
