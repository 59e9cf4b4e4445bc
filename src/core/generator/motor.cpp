// Generator services: the press, the bounded redraws, model access, uniform sampling of
// values, the draw rules, validation and the dictionary lookups.
#include "core/generator/motor.h"

#include <bit>
#include <chrono>
#include <limits>
#include <optional>
#include <stdexcept>
#include <tuple>

#include "core/base/rutinas.h"
#include "core/base/textos.h"
#include "core/dictionary/nombres.h"
#include "core/generator/reglas.h"

namespace veliora::generador {

using engine::Value;

Motor::Motor(std::shared_ptr<engine::Database> usuario, std::shared_ptr<engine::Database> auxiliar)
    : usuario_(std::move(usuario)), auxiliar_(std::move(auxiliar)) {
    InicializarVocabulario(Palabras, idioma_);
}

void Motor::FijarIdioma(Idioma idioma) {
    idioma_ = idioma;
    InicializarVocabulario(Palabras, idioma_);
}

bool Motor::Cargar(engine::Error& error) {
    error.clear();
    InicializarVocabulario(Palabras, idioma_);
    filas_.clear();
    cacheDiccionario_.clear();
    if (!usuario_) {
        error = engine::Failure(engine::Code::NotOpen);
        return false;
    }
    if (!CargarEstructura(EstructuraBD, *usuario_, error))
        return false;
    // Virtual tables and those holding their data answer queries, but a question drawn on
    // them would mostly fail.
    for (const engine::TableDef& def : usuario_->TableDefs(error))
        if (def.Virtual)
            EstructuraBD.Remove(def.Name);
    if (error.failed())
        return false;
    relaciones_ = usuario_->Relations(error);
    if (error.failed())
        return false;
    LeerExtremos();
    return true;
}

// ---------------------------------------------------------------- the press

bool Motor::GenerarPregunta(const std::array<bool, 5>& marcadas) {
    // The dictionary is read afresh on each press, so edits show in the next question.
    VaciarDiccionario();
    enCurso_ = Generacion{};
    int n = 0;
    for (bool m : marcadas) n += m ? 1 : 0;
    if (n == 0) {
        ultima_ = enCurso_;
        return false;
    }
    int k = Aleatorio(1, n);
    int caja = 0;
    for (int i = 0; i < 5 && caja == 0; ++i)
        if (marcadas[std::size_t(i)] && --k == 0)
            caja = i + 1;
    int driver = caja;
    bool compleja = false;
    if (caja == 5) {
        driver = Aleatorio(1, 4);
        compleja = true;
    }
    auto dibujar = [&] {
        enCurso_ = Generacion{};
        enCurso_.Tipo = caja;
        switch (driver) {
            case 1:
                return GenerarQueryUnaTabla(compleja);
            case 2:
                return GenerarQueryDosTablas(compleja);
            case 3:
                return GenerarQueryTresTablas(compleja);
            default:
                return GenerarQueryAgrupada(compleja);
        }
    };

    // The quality gate draws again the same kind of question, within the press's draws. The
    // engine stops a statement at its first step past the deadline, but a sort or a write it
    // has begun finishes first: the gate's statements stop a tenth of the budget early, so
    // that the press ends within it.
    const auto limite =
        std::chrono::steady_clock::now() + Calidad.presupuesto - Calidad.presupuesto / 10;
    std::optional<std::tuple<Generacion, std::string, std::string>> reserva;
    int gastados = 0, redibujadas = 0;
    while (true) {
        const bool hecha = dibujar();
        gastados += ultima_.Intentos;
        if (!hecha && reserva)
            break;
        if (!hecha || !Calidad.activa)
            return hecha;
        const Medida m = MedirPregunta(*usuario_, SolucionSQL, limite);
        ultima_.Filas = m.filas;
        ultima_.Redibujadas = redibujadas;
        if (m.dictamen == Dictamen::Digna || m.dictamen == Dictamen::SinTiempo)
            return true;
        // A trivial question beats an empty one as the last resort.
        if (!reserva || (std::get<0>(*reserva).Filas == 0 && m.filas > 0))
            reserva.emplace(ultima_, SolucionSQL, TextoPregunta);
        ++redibujadas;
        if (gastados >= kMaxIntentos || redibujadas >= kMaxRedibujadas)
            break;
    }
    std::tie(ultima_, SolucionSQL, TextoPregunta) = std::move(*reserva);
    ultima_.Redibujadas = redibujadas;
    return true;
}

template <class Dibujo>
bool Motor::Repetir(Dibujo&& dibujo) {
    enCurso_.Intentos = 0;
    while (enCurso_.Intentos < kMaxIntentos) {
        ++enCurso_.Intentos;
        Borrador b;
        // Fin: a position outside the model or the relation list, the engine error that
        // ends the generation silently.
        const Paso paso = dibujo(b);
        if (paso == Paso::Fin) {
            enCurso_.Fin = FinPulsacion::ErrorMotor;
            ultima_ = enCurso_;
            return false;
        }
        if (paso == Paso::Repetir)
            continue;
        // A subquery that could not be built leaves an incomplete condition, which SQLite
        // may still accept ("x in ()"): the draw is refused, as the original engine did.
        if (b.plan.TipoSubquery > 0 && b.plan.SqlSubquery.empty())
            continue;
        std::string sql = engine::LowerWithCapital(b.sql);
        std::string texto = engine::LowerWithCapital(b.texto);
        if (!ValidarQuery(sql))
            continue;
        SolucionSQL = sql;
        TextoPregunta = texto;
        enCurso_.Fin = FinPulsacion::Pregunta;
        enCurso_.SqlBruto = std::move(b.sql);
        enCurso_.PreguntaBruta = std::move(b.texto);
        enCurso_.Sql = std::move(sql);
        enCurso_.Pregunta = std::move(texto);
        enCurso_.Plan = std::move(b.plan);
        ultima_ = enCurso_;
        return true;
    }
    enCurso_.Fin = FinPulsacion::Limite;
    ultima_ = enCurso_;
    return false;
}

bool Motor::GenerarQueryUnaTabla(bool Compleja) {
    enCurso_.Driver = 1;
    enCurso_.Compleja = Compleja;
    return Repetir([&](Borrador& b) { return DibujoUnaTabla(Compleja, b); });
}

bool Motor::GenerarQueryDosTablas(bool Compleja) {
    enCurso_.Driver = 2;
    enCurso_.Compleja = Compleja;
    return Repetir([&](Borrador& b) { return DibujoDosTablas(Compleja, b); });
}

bool Motor::GenerarQueryTresTablas(bool Compleja) {
    enCurso_.Driver = 3;
    enCurso_.Compleja = Compleja;
    return Repetir([&](Borrador& b) { return DibujoTresTablas(Compleja, b); });
}

bool Motor::GenerarQueryAgrupada(bool Compleja) {
    enCurso_.Driver = 4;
    enCurso_.Compleja = Compleja;
    return Repetir([&](Borrador& b) { return DibujoAgrupada(Compleja, b); });
}

// ---------------------------------------------------------------- model access

const Tabla* Motor::TablaEn(int t) const {
    if (t < 1 || t > EstructuraBD.Count())
        return nullptr;
    return &EstructuraBD.Item(std::int32_t(t));
}

const Campo* Motor::CampoEn(int t, int f) const {
    const Tabla* tabla = TablaEn(t);
    if (!tabla || f < 1 || f > tabla->Campos.Count())
        return nullptr;
    return &tabla->Campos.Item(std::int32_t(f));
}

std::optional<int> Motor::NumCampos(int t) const {
    const Tabla* tabla = TablaEn(t);
    if (!tabla)
        return std::nullopt;
    return tabla->Campos.Count();
}

const engine::Relation* Motor::RelacionEn(int r) const {
    if (r < 0 || std::size_t(r) >= relaciones_.size())
        return nullptr;
    return &relaciones_[std::size_t(r)];
}

std::string Motor::NombreTabla(int t) const {
    const Tabla* tabla = TablaEn(t);
    return tabla ? tabla->Nombre : std::string();
}

std::string Motor::NombreCampo(int t, int f) const {
    const Campo* campo = CampoEn(t, f);
    return campo ? campo->Nombre : std::string();
}

int Motor::TipoCampo(int t, int f) const {
    const Campo* campo = CampoEn(t, f);
    return campo ? campo->Tipo : 0;
}

int Motor::IndiceTabla(std::string_view nombre) const {
    int i = 0;
    for (const Tabla& t : EstructuraBD) {
        ++i;
        if (t.Nombre == nombre)
            return i;
    }
    return 0;
}

int Motor::IndiceCampo(std::string_view tabla, std::string_view campo) const {
    int t = IndiceTabla(tabla);
    if (t == 0)
        return 0;
    int i = 0;
    for (const Campo& c : EstructuraBD.Item(std::int32_t(t)).Campos) {
        ++i;
        if (c.Nombre == campo)
            return i;
    }
    return 0;
}

int Motor::BuscarSegundaRelacion(int y, int r) const {
    for (std::size_t p = 0; p < relaciones_.size(); ++p) {
        if (int(p) == r)
            continue;
        const auto& rel = relaciones_[p];
        if (IndiceTabla(rel.Table) == y || IndiceTabla(rel.ForeignTable) == y)
            return int(p);
    }
    return -1;
}

int Motor::RelacionAleatoria(int t) const {
    const std::string nombre = NombreTabla(t);
    std::vector<int> candidatas;
    for (std::size_t p = 0; p < relaciones_.size(); ++p)
        if (relaciones_[p].Table == nombre || relaciones_[p].ForeignTable == nombre)
            candidatas.push_back(int(p));
    if (candidatas.empty())
        return -1;
    return candidatas[std::size_t(Aleatorio(1, int(candidatas.size())) - 1)];
}

int Motor::RelacionAleatoriaPrincipal(int t) const {
    const std::string nombre = NombreTabla(t);
    std::vector<int> candidatas;
    for (std::size_t p = 0; p < relaciones_.size(); ++p)
        if (relaciones_[p].Table == nombre)
            candidatas.push_back(int(p));
    if (candidatas.empty())
        return -1;
    return candidatas[std::size_t(Aleatorio(1, int(candidatas.size())) - 1)];
}

// ---------------------------------------------------------------- sampling

namespace {

std::string Identificador(std::string_view nombre) {
    return engine::QuoteSql(nombre, '"');
}

// Uniform in [0, n], from the one random source: 31 bits at a time, redrawn past n.
std::uint64_t AleatorioHasta(std::uint64_t n) {
    constexpr std::uint64_t kMayor31 = 0x7fffffff;
    if (n <= kMayor31)
        return std::uint64_t(Aleatorio(0, std::int32_t(n)));
    const int bits = std::bit_width(n);
    const std::uint64_t mascara = bits == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << bits) - 1;
    for (;;) {
        std::uint64_t v = 0;
        for (int b = 0; b < bits; b += 31) v = (v << 31) | std::uint64_t(Aleatorio(0, kMayor31));
        if ((v & mascara) <= n)
            return v & mascara;
    }
}

}  // namespace

// The spelling of the row id that none of the table's columns hides; empty when all do.
std::string Motor::AliasRowid(const std::string& tabla) const {
    const int t = IndiceTabla(tabla);
    for (const char* alias : {"rowid", "_rowid_", "oid"}) {
        bool oculto = false;
        if (t > 0)
            for (const Campo& c : EstructuraBD.Item(std::int32_t(t)).Campos)
                if (MismoNombre(c.Nombre, alias))
                    oculto = true;
        if (!oculto)
            return alias;
    }
    return {};
}

namespace {

// Both ends of a table's row ids, each read from its b-tree directly however many rows it
// has (the engine scans the whole table for min and max in one query).
std::string Extremos(const std::string& tabla, const std::string& alias) {
    const std::string origen = " FROM main." + Identificador(tabla) + ")";
    return "(SELECT min(" + alias + ")" + origen + ", (SELECT max(" + alias + ")" + origen;
}

}  // namespace

void Motor::AnotarExtremos(Filas& f, const Value& minimo, const Value& maximo) {
    f.porRowid = true;
    if (minimo.isNull())
        f.total = 0;
    f.minimo = minimo.integer;
    f.maximo = maximo.integer;
}

// Every table's ends at loading, a few dozen tables per statement: each statement pays for
// taking and checking the file's lock, which costs a first draw more than the reading. A
// group the engine refuses (one of its tables has no row ids) is read table by table.
void Motor::LeerExtremos() {
    constexpr std::size_t kPorSentencia = 64;
    std::vector<std::pair<std::string, std::string>> tablas;  // name, alias
    for (const Tabla& t : EstructuraBD)
        if (std::string alias = AliasRowid(t.Nombre); !alias.empty())
            tablas.emplace_back(t.Nombre, std::move(alias));
    for (std::size_t i = 0; i < tablas.size(); i += kPorSentencia) {
        const std::size_t n = std::min(kPorSentencia, tablas.size() - i);
        std::string sql = "SELECT ";
        for (std::size_t k = 0; k < n; ++k)
            sql += (k ? ", " : "") + Extremos(tablas[i + k].first, tablas[i + k].second);
        engine::Error err;
        auto rs = usuario_->OpenRecordset(sql, err);
        if (!rs || rs->Eof()) {
            for (std::size_t k = 0; k < n; ++k) FilasDe(tablas[i + k].first);
            continue;
        }
        for (std::size_t k = 0; k < n; ++k) {
            Filas f;
            f.alias = tablas[i + k].second;
            AnotarExtremos(f, rs->Field(int(2 * k)), rs->Field(int(2 * k + 1)));
            filas_.insert_or_assign(tablas[i + k].first, std::move(f));
        }
    }
}

Motor::Filas& Motor::FilasDe(const std::string& tabla) {
    if (auto it = filas_.find(tabla); it != filas_.end())
        return it->second;
    Filas f;
    if (usuario_) {
        // A column may be named like the row id; take a spelling it does not hide.
        f.alias = AliasRowid(tabla);
        engine::Error err;
        auto rs = f.alias.empty()
                      ? nullptr
                      : usuario_->OpenRecordset("SELECT " + Extremos(tabla, f.alias), err);
        if (rs && !rs->Eof())
            AnotarExtremos(f, rs->Field(0), rs->Field(1));
    }
    return filas_.emplace(tabla, std::move(f)).first->second;
}

std::int64_t Motor::ContarFilas(const std::string& tabla, Filas& f) {
    if (f.total < 0) {
        engine::Error err;
        const Value n = usuario_->Scalar("SELECT count(*) FROM main." + Identificador(tabla), err);
        f.total = err.failed() ? 0 : n.integer;
    }
    return f.total;
}

Value Motor::ValorAleatorio(const std::string& tabla, const std::string& campo) {
    if (!usuario_ || tabla.empty() || campo.empty())
        return Value::Null();
    Filas& filas = FilasDe(tabla);
    if (filas.total == 0)
        return Value::Null();
    engine::Error err;
    std::unique_ptr<engine::Recordset> rs;
    // Qualified, so that an unknown field is an error rather than a string literal.
    const std::string seleccion = "SELECT " + Identificador(tabla) + "." + Identificador(campo) +
                                  " FROM main." + Identificador(tabla);
    // A row id drawn between the ends is taken when it exists, redrawn otherwise: every row
    // is as likely, and no id is held.
    constexpr int kIntentos = 32;
    for (int i = 0; filas.porRowid && i < kIntentos; ++i) {
        const std::uint64_t amplitud = std::uint64_t(filas.maximo) - std::uint64_t(filas.minimo);
        const auto id = std::int64_t(std::uint64_t(filas.minimo) + AleatorioHasta(amplitud));
        rs = usuario_->OpenRecordset(seleccion + " WHERE " + filas.alias + " = ?", err,
                                     {Value::Int(id)});
        if (!rs)
            return Value::Null();
        if (!rs->Eof())
            return rs->Field(0);
    }
    // Ids too sparse, or none (WITHOUT ROWID): a row by its position, as uniform.
    const std::int64_t n = ContarFilas(tabla, filas);
    if (n <= 0)
        return Value::Null();
    const auto k = std::int64_t(AleatorioHasta(std::uint64_t(n - 1)));
    rs = usuario_->OpenRecordset(seleccion + " LIMIT 1 OFFSET ?", err, {Value::Int(k)});
    if (!rs || rs->Eof())
        return Value::Null();
    return rs->Field(0);
}

// ---------------------------------------------------------------- draw rules

int Motor::ElegirAgregado(int t, int f, bool Obligatorio) {
    if (!Obligatorio && f == 0)
        return Aleatorio(0, 1);
    const GrupoTipo grupo = f == 0 ? GrupoTipo::Otro : GrupoDeTipo(TipoCampo(t, f));
    const bool sumable = grupo == GrupoTipo::Numerico && LeerPermiteSum(t, f);
    if (Obligatorio)
        return sumable ? Aleatorio(2, 5) : Aleatorio(2, 3);
    if (sumable)
        return Aleatorio(1, 5);
    if (grupo == GrupoTipo::Otro)
        return Agregados::Ninguno;
    return Aleatorio(1, 3);
}

int Motor::ElegirAgregadoAgrupado(int t, int f) {
    switch (GrupoDeTipo(TipoCampo(t, f))) {
        case GrupoTipo::Numerico:
            if (LeerPermiteSum(t, f))
                return Aleatorio(1, 5);
            return Aleatorio(0, 1) == 0 ? Aleatorio(0, 1) : Aleatorio(1, 3);
        case GrupoTipo::Fecha:
        case GrupoTipo::Texto:
            return Aleatorio(1, 3);
        case GrupoTipo::Otro:
            break;
    }
    return Aleatorio(0, 1);
}

int Motor::ElegirOperador(int t, int f, bool SoloComparaciones) {
    switch (GrupoDeTipo(TipoCampo(t, f))) {
        case GrupoTipo::Numerico:
            return SoloComparaciones ? Aleatorio(0, 5) : Aleatorio(0, 7);
        case GrupoTipo::Fecha:
            return Aleatorio(0, 5);
        default:
            return Operadores::Igual;
    }
}

bool Motor::CampoConIndiceUnico(int t, int f) const {
    const Campo* campo = CampoEn(t, f);
    if (!campo)
        return false;
    const std::string& nombre = campo->Nombre;
    for (const Indice& i : TablaEn(t)->Indices)
        if (i.Unico && i.Campos.size() == 1 && MismoNombre(i.Campos.front(), nombre))
            return true;
    return false;
}

// ---------------------------------------------------------------- validation

bool Motor::ValidarQuery(std::string& sql) {
    if (!usuario_)
        return false;
    engine::Error err;
    if (!usuario_->Prepare(sql, err))
        return false;
    // SQLite would answer a bare column beside a grouping with any row's value.
    if (!AgrupacionCorrecta(sql))
        return false;
    if (CorchetesPrescindibles(sql)) {
        std::string sin = QuitarCorchetes(sql);
        err.clear();
        if (usuario_->Prepare(sin, err))
            sql = std::move(sin);
    }
    return true;
}

// ---------------------------------------------------------------- dictionary

const std::vector<Value>* Motor::Consultar(const char* sql,
                                           const std::vector<std::string>& nombres) {
    std::string clave = sql;
    for (const auto& n : nombres) {
        clave += '\x1f';
        clave += n;
    }
    auto it = cacheDiccionario_.find(clave);
    if (it == cacheDiccionario_.end()) {
        std::optional<std::vector<Value>> fila;
        if (auxiliar_) {
            std::vector<Value> parametros;
            for (const auto& n : nombres) parametros.push_back(Value::Text(n));
            engine::Error err;
            auto rs = auxiliar_->OpenRecordset(sql, err, parametros);
            if (rs && !rs->Eof()) {
                std::vector<Value> valores;
                for (int i = 0; i < rs->FieldCount(); ++i) valores.push_back(rs->Field(i));
                fila = std::move(valores);
            }
        }
        it = cacheDiccionario_.emplace(std::move(clave), std::move(fila)).first;
    }
    return it->second ? &*it->second : nullptr;
}

namespace {

bool SiNo(const std::vector<Value>* fila) {
    return fila && !fila->empty() && !fila->front().isNull() && fila->front().toBool();
}

// A row whose value is null (edited by hand) reads as no row: the default.
bool Guardado(const std::vector<Value>* fila) {
    return fila && !fila->empty() && !fila->front().isNull();
}

std::string Texto(const std::vector<Value>* fila) {
    return fila && !fila->empty() ? fila->front().toSpanishText() : std::string();
}

// The lookups of each language: Spanish in the five tables of the auxiliary database,
// Valencian in the tables beside them (which older files lack: every lookup then finds no
// row and reads the default names).
struct Consultas {
    const char* mascFemeTabla;
    const char* mascFemeCampo;
    const char* singularCampo;
    const char* pluralCampo;
    const char* singularTabla;
    const char* pluralTabla;
    const char* traduccion;
    const char* traduccion2;
    NombresPorDefecto (*porDefecto)(std::string_view);
};

constexpr Consultas kCastellano = {
    "Select MascFeme from Tablas  Where Nombre = ?",
    "Select MascFeme from Campos  Where NombreTabla = ? and Nombre = ?",
    "Select NombreSingular from Campos  Where NombreTabla = ? and Nombre = ?",
    "Select NombrePlural from Campos  Where NombreTabla = ? and Nombre = ?",
    "Select NombreSingular from Tablas  Where Nombre = ?",
    "Select NombrePlural from Tablas  Where Nombre = ?",
    "Select Traduccion, NoConcatenar from Relaciones  Where Nombre = ?",
    "Select Traduccion2, NoConcatenar2 from Relaciones  Where Nombre = ?",
    NombresDeObjeto,
};

constexpr Consultas kValenciano = {
    "Select MascFeme from TablasVa Where Nombre = ?",
    "Select MascFeme from CamposVa Where NombreTabla = ? and Nombre = ?",
    "Select NombreSingular from CamposVa Where NombreTabla = ? and Nombre = ?",
    "Select NombrePlural from CamposVa Where NombreTabla = ? and Nombre = ?",
    "Select NombreSingular from TablasVa Where Nombre = ?",
    "Select NombrePlural from TablasVa Where Nombre = ?",
    "Select Traduccion, NoConcatenar from RelacionesVa Where Nombre = ?",
    "Select Traduccion2, NoConcatenar2 from RelacionesVa Where Nombre = ?",
    NombresValencianos,
};

const Consultas& ConsultasDe(Idioma idioma) {
    return idioma == Idioma::Valenciano ? kValenciano : kCastellano;
}

}  // namespace

bool Motor::LeerPermiteSum(int t, int f) {
    std::string tabla = NombreTabla(t), campo = NombreCampo(t, f);
    if (campo.empty())
        return false;
    return SiNo(Consultar("Select PermiteSum from Campos  Where NombreTabla = ? and Nombre = ?",
                          {tabla, campo}));
}

// An object without a dictionary row reads as the initialisation would have written it.
bool Motor::LeerMascFemeTabla(int t) {
    std::string tabla = NombreTabla(t);
    if (tabla.empty())
        return false;
    const Consultas& c = ConsultasDe(idioma_);
    const auto* fila = Consultar(c.mascFemeTabla, {tabla});
    return Guardado(fila) ? SiNo(fila) : c.porDefecto(tabla).Masculino;
}

bool Motor::LeerMascFemeCampo(int t, int f) {
    std::string tabla = NombreTabla(t), campo = NombreCampo(t, f);
    if (campo.empty())
        return false;
    const Consultas& c = ConsultasDe(idioma_);
    const auto* fila = Consultar(c.mascFemeCampo, {tabla, campo});
    return Guardado(fila) ? SiNo(fila) : c.porDefecto(campo).Masculino;
}

std::string Motor::LeerNombreCampo(int t, int f, bool singular) {
    std::string tabla = NombreTabla(t), campo = NombreCampo(t, f);
    if (campo.empty())
        return {};
    const Consultas& c = ConsultasDe(idioma_);
    const auto* fila = Consultar(singular ? c.singularCampo : c.pluralCampo, {tabla, campo});
    if (Guardado(fila))
        return Texto(fila);
    const NombresPorDefecto n = c.porDefecto(campo);
    return singular ? n.Singular : n.Plural;
}

std::string Motor::LeerNombreTabla(int t, bool singular) {
    std::string tabla = NombreTabla(t);
    if (tabla.empty())
        return {};
    const Consultas& c = ConsultasDe(idioma_);
    const auto* fila = Consultar(singular ? c.singularTabla : c.pluralTabla, {tabla});
    if (Guardado(fila))
        return Texto(fila);
    const NombresPorDefecto n = c.porDefecto(tabla);
    return singular ? n.Singular : n.Plural;
}

namespace {

std::string Traduccion(const std::vector<Value>* fila, bool& bandera) {
    if (!fila) {  // no row: what the dictionary initialisation would have written
        bandera = false;
        return "de";
    }
    if (fila->size() < 2)
        return {};
    if (!(*fila)[1].isNull())
        bandera = (*fila)[1].toBool();
    // A null phrase (edited by hand) reads as the default one.
    return (*fila)[0].isNull() ? "de" : (*fila)[0].toSpanishText();
}

}  // namespace

std::string Motor::LeerTraduccion(int r, bool& NoConcatenar) {
    if (r < 0 || std::size_t(r) >= relaciones_.size())
        return {};
    return Traduccion(
        Consultar(ConsultasDe(idioma_).traduccion, {relaciones_[std::size_t(r)].Name}),
        NoConcatenar);
}

std::string Motor::LeerTraduccion2(int r, bool& NoConcatenar2) {
    if (r < 0 || std::size_t(r) >= relaciones_.size())
        return {};
    return Traduccion(
        Consultar(ConsultasDe(idioma_).traduccion2, {relaciones_[std::size_t(r)].Name}),
        NoConcatenar2);
}

}  // namespace veliora::generador
