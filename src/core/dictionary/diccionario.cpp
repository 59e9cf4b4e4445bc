#include "core/dictionary/diccionario.h"

#include <memory>

#include "core/base/recursos.h"
#include "core/base/textos.h"
#include "core/dictionary/nombres.h"

namespace veliora {

using engine::Database;
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
                    std::string_view objeto, engine::Error& error) {
    if (!aux.Execute(sql, error, params))
        return false;
    if (aux.Changes() == 0) {
        error =
            engine::Failure(engine::Code::NoDictionaryRow, std::string(objeto), std::string(sql));
        return false;
    }
    return true;
}

// Opens a one-row read; false on an engine error.
std::unique_ptr<engine::Recordset> Abrir(Database& aux, std::string_view sql,
                                         const std::vector<Value>& params, engine::Error& error) {
    auto rs = aux.OpenRecordset(sql, error, params);
    if (rs && !error.failed() && !rs->Error().failed())
        return rs;
    if (rs && !error.failed())
        error = rs->Error();
    return nullptr;
}

bool InsertarTabla(Database& aux, const DatosTabla& t, engine::Error& error) {
    return aux.Execute(
        "Insert into Tablas(Nombre,NombreSingular,NombrePlural,MascFeme) values(?,?,?,?)", error,
        {Txt(t.Nombre), Txt(t.NombreSingular), Txt(t.NombrePlural), SiNo(t.MascFeme)});
}
bool InsertarCampo(Database& aux, const DatosCampo& c, engine::Error& error) {
    return aux.Execute(
        "Insert into Campos(NombreTabla,Nombre,NombreSingular,NombrePlural,MascFeme,Permitesum) "
        "values(?,?,?,?,?,?)",
        error,
        {Txt(c.NombreTabla), Txt(c.Nombre), Txt(c.NombreSingular), Txt(c.NombrePlural),
         SiNo(c.MascFeme), SiNo(c.PermiteSum)});
}
bool InsertarRelacion(Database& aux, const DatosRelacion& r, engine::Error& error) {
    return aux.Execute(
        "Insert into Relaciones(Nombre,Traduccion,Traduccion2,NoConcatenar,NoConcatenar2) "
        "values(?,?,?,?,?)",
        error,
        {Txt(r.Nombre), Txt(r.Traduccion), Txt(r.Traduccion2), SiNo(r.NoConcatenar),
         SiNo(r.NoConcatenar2)});
}

// The Valencian rows: inserted, or replacing the stored one.
bool InsertarTablaVa(Database& aux, const DatosTabla& t, engine::Error& error) {
    return aux.Execute(
        "Insert or replace into TablasVa(Nombre,NombreSingular,NombrePlural,MascFeme) "
        "values(?,?,?,?)",
        error,
        {Txt(t.Nombre), Txt(t.Va.NombreSingular), Txt(t.Va.NombrePlural), SiNo(t.Va.MascFeme)});
}
bool InsertarCampoVa(Database& aux, const DatosCampo& c, engine::Error& error) {
    return aux.Execute(
        "Insert or replace into CamposVa(NombreTabla,Nombre,NombreSingular,NombrePlural,MascFeme) "
        "values(?,?,?,?,?)",
        error,
        {Txt(c.NombreTabla), Txt(c.Nombre), Txt(c.Va.NombreSingular), Txt(c.Va.NombrePlural),
         SiNo(c.Va.MascFeme)});
}
bool InsertarRelacionVa(Database& aux, const DatosRelacion& r, engine::Error& error) {
    return aux.Execute(
        "Insert or replace into RelacionesVa(Nombre,Traduccion,Traduccion2,NoConcatenar,"
        "NoConcatenar2) values(?,?,?,?,?)",
        error,
        {Txt(r.Nombre), Txt(r.Va.Traduccion), Txt(r.Va.Traduccion2), SiNo(r.Va.NoConcatenar),
         SiNo(r.Va.NoConcatenar2)});
}

NombresVa NombresVaPorDefecto(std::string_view nombre) {
    const NombresPorDefecto n = NombresValencianos(nombre);
    NombresVa va;
    va.NombreSingular = n.Singular;
    va.NombrePlural = n.Plural;
    va.MascFeme = n.Masculino;
    return va;
}

// Whether the file has the Valencian tables (older ones lack them: no rows then).
bool TieneTablasValenciano(Database& aux) {
    engine::Error error;
    return aux.Prepare("Select Nombre from TablasVa where 0", error) &&
           aux.Prepare("Select Nombre from CamposVa where 0", error) &&
           aux.Prepare("Select Nombre from RelacionesVa where 0", error);
}

// Reads the Valencian row of `sql` into `leer`, which is left alone when there is none.
template <class Leer>
bool LeerFilaVa(Database& aux, std::string_view sql, const std::vector<Value>& params,
                engine::Error& error, Leer&& leer) {
    if (!TieneTablasValenciano(aux))
        return true;
    auto rs = Abrir(aux, sql, params, error);
    if (!rs)
        return false;
    if (!rs->Eof())
        leer(*rs);
    return true;
}

void LeerNombresVa(const engine::Recordset& rs, NombresVa& va) {
    Leer(rs.Field("NombreSingular"), va.NombreSingular);
    Leer(rs.Field("NombrePlural"), va.NombrePlural);
    Leer(rs.Field("MascFeme"), va.MascFeme);
    va.Guardada = true;
}

}  // namespace

bool CrearTablasValenciano(Database& aux, engine::Error& error) {
    return aux.ExecuteScript(std::string(EmbeddedResource("bdaux_va.sql")), error);
}

DatosTabla TablaPorDefecto(std::string_view nombre) {
    const NombresPorDefecto n = NombresDeObjeto(nombre);
    DatosTabla t;
    t.Nombre = std::string(nombre);
    t.NombreSingular = n.Singular;
    t.NombrePlural = n.Plural;
    t.MascFeme = n.Masculino;
    t.Va = NombresVaPorDefecto(nombre);
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
    c.Va = NombresVaPorDefecto(campo);
    return c;
}

DatosRelacion RelacionPorDefecto(std::string_view nombre) {
    DatosRelacion r;
    r.Nombre = std::string(nombre);
    return r;
}

bool LeerDatosTabla(Database& aux, std::string_view nombre, DatosTabla& datos,
                    engine::Error& error) {
    auto rs = Abrir(aux, "Select * from Tablas where Nombre = ?", {Txt(nombre)}, error);
    if (!rs)
        return false;
    datos = TablaPorDefecto(nombre);
    if (!LeerFilaVa(aux, "Select * from TablasVa where Nombre = ?", {Txt(nombre)}, error,
                    [&](const engine::Recordset& va) { LeerNombresVa(va, datos.Va); }))
        return false;
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
                    DatosCampo& datos, engine::Error& error) {
    auto rs = Abrir(aux, "Select * from Campos where NombreTabla = ? and Nombre = ?",
                    {Txt(tabla), Txt(campo)}, error);
    if (!rs)
        return false;
    datos = CampoPorDefecto(tabla, campo);
    if (!LeerFilaVa(aux, "Select * from CamposVa where NombreTabla = ? and Nombre = ?",
                    {Txt(tabla), Txt(campo)}, error,
                    [&](const engine::Recordset& va) { LeerNombresVa(va, datos.Va); }))
        return false;
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
                       engine::Error& error) {
    auto rs = Abrir(aux, "Select * from Relaciones where Nombre = ?", {Txt(nombre)}, error);
    if (!rs)
        return false;
    datos = RelacionPorDefecto(nombre);
    if (!LeerFilaVa(aux, "Select * from RelacionesVa where Nombre = ?", {Txt(nombre)}, error,
                    [&](const engine::Recordset& va) {
                        datos.Va.Traduccion = Cadena(va.Field("Traduccion"));
                        datos.Va.Traduccion2 = Cadena(va.Field("Traduccion2"));
                        datos.Va.NoConcatenar = va.Field("NoConcatenar").toBool();
                        datos.Va.NoConcatenar2 = va.Field("NoConcatenar2").toBool();
                        datos.Va.Guardada = true;
                    }))
        return false;
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

bool GuardarDatosTabla(Database& aux, DatosTabla& datos, engine::Error& error) {
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

bool GuardarDatosCampo(Database& aux, DatosCampo& datos, engine::Error& error) {
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

bool GuardarDatosRelacion(Database& aux, DatosRelacion& datos, engine::Error& error) {
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

namespace {

template <class Insertar, class Datos>
bool GuardarVa(Database& aux, Datos& datos, engine::Error& error, Insertar insertar) {
    error.clear();
    if (!CrearTablasValenciano(aux, error) || !insertar(aux, datos, error))
        return false;
    datos.Va.Guardada = true;
    return true;
}

}  // namespace

bool GuardarDatosTablaVa(Database& aux, DatosTabla& datos, engine::Error& error) {
    return GuardarVa(aux, datos, error, InsertarTablaVa);
}
bool GuardarDatosCampoVa(Database& aux, DatosCampo& datos, engine::Error& error) {
    return GuardarVa(aux, datos, error, InsertarCampoVa);
}
bool GuardarDatosRelacionVa(Database& aux, DatosRelacion& datos, engine::Error& error) {
    return GuardarVa(aux, datos, error, InsertarRelacionVa);
}

bool LeerPosicion(Database& aux, std::string_view tabla, std::int64_t& x, std::int64_t& y) {
    engine::Error error;
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
                     engine::Error& error) {
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
    if (!CrearTablasValenciano(aux, r.error)) {
        aux.Rollback();
        return r;
    }
    for (const char* sql :
         {"Delete from Tablas", "Delete from Campos", "Delete from Relaciones",
          "Delete from TablasVa", "Delete from CamposVa", "Delete from RelacionesVa"})
        if (!aux.Execute(sql, r.error)) {
            aux.Rollback();
            return r;
        }

    auto fila = [&](bool ok, engine::Error& e, int contexto, int& cuenta) {
        if (ok)
            ++cuenta;
        else
            r.Errores.push_back({e, contexto});
    };
    engine::Error e;
    int va = 0;  // the Valencian rows, which mirror the Spanish ones
    for (const Tabla& tabla : estructura) {
        const DatosTabla t = TablaPorDefecto(tabla.Nombre);
        fila(InsertarTabla(aux, t, e), e, kTextoInsertandoTablas, r.Tablas);
        fila(InsertarTablaVa(aux, t, e), e, kTextoInsertandoTablasVa, va);
        // A table whose row failed still gets its field rows.
        for (const Campo& campo : tabla.Campos) {
            const DatosCampo c = CampoPorDefecto(tabla.Nombre, campo.Nombre);
            fila(InsertarCampo(aux, c, e), e, kTextoInsertandoCampos, r.Campos);
            fila(InsertarCampoVa(aux, c, e), e, kTextoInsertandoCamposVa, va);
        }
    }
    for (const engine::Relation& rel : relaciones) {
        const DatosRelacion d = RelacionPorDefecto(rel.Name);
        fila(InsertarRelacion(aux, d, e), e, kTextoInsertandoRelaciones, r.Relaciones);
        fila(InsertarRelacionVa(aux, d, e), e, kTextoInsertandoRelacionesVa, va);
    }

    if (!aux.Commit(r.error)) {
        aux.Rollback();
        r.Tablas = r.Campos = r.Relaciones = 0;
        return r;
    }
    r.contexto = 0;
    return r;
}

}  // namespace veliora
