#include "core/access/conversion.h"

#include <QCryptographicHash>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "core/access/lector.h"
#include "core/base/textos.h"
#include "core/engine/database.h"
#include "core/engine/value.h"
#include "core/shell/errores.h"
#include "core/shell/salidas.h"

namespace veliora::access {

namespace fs = std::filesystem;
using engine::QuoteSql;

namespace texto {
constexpr int kFilasCatalogo = 2130;
}

long long Conversion::Filas() const {
    long long n = 0;
    for (const auto& t : tablas) n += t.filas;
    return n;
}

int Conversion::TablasConvertidas() const {
    return int(std::count_if(tablas.begin(), tablas.end(),
                             [](const TablaConvertida& t) { return t.convertida; }));
}

bool EsArchivoAccess(const fs::path& ruta) {
    // A pipe would block the read; the engine refuses every special file when it opens it.
    if (engine::IsSpecialFile(ruta.string()))
        return false;
    std::ifstream in(ruta, std::ios::binary);
    if (!in)
        return false;
    char inicio[20] = {};
    in.read(inicio, sizeof inicio);
    const std::string_view cabecera(inicio, std::size_t(in.gcount()));
    if (cabecera.size() >= 19 && (cabecera.substr(4, 15) == "Standard Jet DB" ||
                                  cabecera.substr(4, 15) == "Standard ACE DB"))
        return true;
    // A damaged Access file still goes to the reader, which says what is wrong with it; a
    // SQLite database keeps its own way whatever its name.
    const std::string ext = engine::LowerText(ruta.extension().string());
    return (ext == ".mdb" || ext == ".accdb") && cabecera.substr(0, 15) != "SQLite format 3";
}

// Days since 1899-12-30 (the time as the fraction, of the same sign) as ISO text; the date
// alone at midnight. Proleptic Gregorian, as Access counts, for every year it holds.
bool EsFechaAccess(double dias) {
    // From 100-01-01 (day -657434, whose hours count down to -657435) to the last moment of
    // 9999-12-31; never true of NaN or infinity.
    return dias > -657435.0 && dias < 2958466.0;
}

std::string FechaIso(double dias) {
    double entero = std::trunc(dias);
    long long segundos = std::llround(std::fabs(dias - entero) * 86400.0);
    long long dia = (long long)entero;
    if (segundos >= 86400) {  // rounding reached the next midnight
        segundos -= 86400;
        ++dia;
    }
    // Civil date from a day count (Howard Hinnant's algorithm): days since 0000-03-01,
    // by way of 1970-01-01, which is day 25569 of Access's count.
    const long long z = dia - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2)
        ++y;
    char buf[128];
    if (segundos == 0)
        std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld", y, m, d);
    else
        std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", y, m, d,
                      segundos / 3600, segundos / 60 % 60, segundos % 60);
    return buf;
}

namespace {

enum TipoAccess {
    kBool = 1,
    kByte = 2,
    kInt = 3,
    kLong = 4,
    kMoney = 5,
    kSingle = 6,
    kDouble = 7,
    kDate = 8,
    kBinary = 9,
    kText = 10,
    kOle = 11,
    kMemo = 12,
    kGuid = 15,
    kNumeric = 16,
};

// Fields of a line after its kind letter, unescaped; a null field is nothing.
std::vector<std::optional<std::string>> Campos(const std::string& linea) {
    std::vector<std::optional<std::string>> campos;
    std::size_t i = 1;
    while (i < linea.size() && linea[i] == '\t') {
        ++i;
        std::size_t fin = linea.find('\t', i);
        if (fin == std::string::npos)
            fin = linea.size();
        std::string_view crudo(linea.data() + i, fin - i);
        if (crudo == "\\N") {
            campos.emplace_back(std::nullopt);
        } else {
            std::string valor;
            valor.reserve(crudo.size());
            for (std::size_t k = 0; k < crudo.size(); ++k) {
                if (crudo[k] != '\\' || k + 1 == crudo.size()) {
                    valor += crudo[k];
                    continue;
                }
                char c = crudo[++k];
                valor += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
            }
            campos.emplace_back(std::move(valor));
        }
        i = fin;
    }
    return campos;
}

std::string Campo(const std::vector<std::optional<std::string>>& c, std::size_t i) {
    return i < c.size() && c[i] ? *c[i] : std::string();
}

long long Entero(const std::string& s) {
    return std::strtoll(s.c_str(), nullptr, 10);
}

std::string Bytes(const std::string& hex) {
    auto valor = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
    std::string out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += char(valor(hex[i]) << 4 | valor(hex[i + 1]));
    return out;
}

// ---------------------------------------------------------------- the SQLite side

struct Columna {
    std::string nombre;
    int tipo = 0;
    int tamano = 0, precision = 0, escala = 0;
};

struct Indice {
    std::string nombre;
    char clase = 'N';
    std::vector<std::string> columnas;
};

struct Relacion {
    std::string nombre, ajena, referida;
    std::vector<std::pair<int, std::pair<std::string, std::string>>> campos;  // position, pair
    int indicadores = 0;
};

std::string Identificador(const std::string& s) {
    return QuoteSql(s, '"');
}

std::string Lista(const std::vector<std::string>& nombres) {
    std::string s;
    for (const auto& n : nombres) s += (s.empty() ? "" : ", ") + Identificador(n);
    return s;
}

// Declared types the schema reads back as the Access type codes.
std::string TipoDeclarado(const Columna& c, bool jet3) {
    switch (c.tipo) {
        case kBool:
            return "BOOLEAN";
        case kByte:
            return "TINYINT";
        case kInt:
            return "SMALLINT";
        case kLong:
            return "INTEGER";
        case kMoney:
            return "CURRENCY";
        case kSingle:
            return "SINGLE";
        case kDouble:
            return "DOUBLE";
        case kDate:
            return "DATETIME";
        case kBinary:
            return "BINARY(" + std::to_string(c.tamano) + ")";
        case kText:  // sizes are in bytes, two per character from JET4 on
            return "VARCHAR(" + std::to_string(jet3 ? c.tamano : c.tamano / 2) + ")";
        case kOle:
            return "BLOB";
        case kMemo:
            return "CLOB";  // text affinity: a memo holding digits stays a text
        case kGuid:
            return "GUID";
        case kNumeric:
            return "DECIMAL(" + std::to_string(c.precision) + "," + std::to_string(c.escala) + ")";
        default:
            return "";
    }
}

// One row into the insert `escritor` has prepared, a value per column of `columnas` (Access
// types decide the binding).
bool Insertar(engine::BulkWriter& escritor, const std::vector<Columna>& columnas,
              const std::vector<std::optional<std::string>>& valores) {
    for (std::size_t i = 0; i < columnas.size(); ++i) {
        const int n = int(i) + 1;
        if (i >= valores.size() || !valores[i]) {
            escritor.BindNull(n);
            continue;
        }
        const std::string& v = *valores[i];
        switch (columnas[i].tipo) {
            case kBool:
            case kByte:
            case kInt:
            case kLong:
                escritor.BindInteger(n, Entero(v));
                break;
            case kMoney: {
                // Ten-thousandths: whole amounts stay integers, others the nearest double,
                // which prints back as the same four decimals.
                const long long diezmilesimas = Entero(v);
                if (diezmilesimas % 10000 == 0)
                    escritor.BindInteger(n, diezmilesimas / 10000);
                else
                    escritor.BindReal(n, double(diezmilesimas) / 10000.0);
                break;
            }
            case kSingle:
            case kDouble:
                escritor.BindReal(n, std::strtod(v.c_str(), nullptr));
                break;
            case kDate: {
                const double dias = std::strtod(v.c_str(), nullptr);
                // A damaged file's day count past the years Access holds stays the
                // number it is rather than becoming some date.
                if (!EsFechaAccess(dias))
                    escritor.BindReal(n, dias);
                else
                    escritor.BindText(n, FechaIso(dias));
                break;
            }
            case kBinary:
            case kOle:
                escritor.BindBlob(n, Bytes(v));
                break;
            default:
                escritor.BindTextInPlace(n, v);
        }
    }
    return escritor.InsertRow();
}

// Turns the helper's lines into the database, table by table.
class Traductor {
  public:
    Traductor(engine::BulkWriter& escritor, Conversion& resultado, const Progreso& progreso)
        : escritor_(escritor), resultado_(resultado), progreso_(progreso) {}

    // False when the conversion must stop (cancelled or the database cannot be written).
    bool Linea(const std::string& linea) {
        if (linea.empty())
            return true;
        const auto c = Campos(linea);
        switch (linea[0]) {
            case 'V':
                jet3_ = Entero(Campo(c, 0)) == 0;
                return true;
            case 'L':
                Relacionar(c);
                return true;
            case 'S':
                legibles_.insert(Campo(c, 0));
                // A damaged file's counts may not fit once added: the total then stays the
                // largest there is (it only scales the progress shown).
                if (__builtin_add_overflow(total_, Entero(Campo(c, 1)), &total_))
                    total_ = std::numeric_limits<long long>::max();
                return true;
            case 'X':
                if (!tabla_) {  // a table whose definition cannot be read
                    resultado_.tablas.push_back({Campo(c, 0), 0, -1, {Campo(c, 1)}, false});
                    resultado_.completa = false;
                    return true;
                }
                return FallaTabla(Campo(c, 0));
            case 'T':
                tabla_ = TablaConvertida{Campo(c, 0), 0, Entero(Campo(c, 1)), {}, true};
                columnas_.clear();
                indices_.clear();
                creada_ = fallida_ = false;
                return true;
            case 'C':
                columnas_.push_back({Campo(c, 0), int(Entero(Campo(c, 1))),
                                     int(Entero(Campo(c, 2))), int(Entero(Campo(c, 3))),
                                     int(Entero(Campo(c, 4)))});
                return true;
            case 'I': {
                Indice indice{Campo(c, 0), Campo(c, 1).empty() ? 'N' : Campo(c, 1)[0], {}};
                for (std::size_t i = 2; i < c.size(); ++i) indice.columnas.push_back(Campo(c, i));
                indices_.push_back(std::move(indice));
                return true;
            }
            case 'N':
                if (tabla_)
                    tabla_->notas.push_back(Campo(c, 0));
                return true;
            case 'R':
                return Fila(c);
            case 'E':
                return FinTabla();
            case 'Z':
                terminado_ = true;
                return true;
            default:
                return true;
        }
    }

    // While the reader is silent: the progress so far, which may cancel.
    bool Latido() {
        if (progreso_ && !progreso_(hechas_, total_))
            cancelado_ = true;
        return !cancelado_;
    }

    bool Terminado() const { return terminado_; }
    bool Cancelado() const { return cancelado_; }
    const std::string& ErrorEscritura() const { return errorEscritura_; }

  private:
    void Relacionar(const std::vector<std::optional<std::string>>& c) {
        const std::string nombre = Campo(c, 0);
        auto it = std::find_if(relaciones_.begin(), relaciones_.end(),
                               [&](const Relacion& r) { return r.nombre == nombre; });
        if (it == relaciones_.end()) {
            relaciones_.push_back({nombre, Campo(c, 1), Campo(c, 3), {}, 0});
            it = relaciones_.end() - 1;
        }
        it->campos.push_back({int(Entero(Campo(c, 5))), {Campo(c, 2), Campo(c, 4)}});
        it->indicadores = int(Entero(Campo(c, 6)));
    }

    bool Tiene(const std::string& columna) const {
        return std::any_of(columnas_.begin(), columnas_.end(),
                           [&](const Columna& k) { return k.nombre == columna; });
    }

    bool Crear() {
        creada_ = true;
        std::string sql = "CREATE TABLE " + Identificador(tabla_->nombre) + " (";
        for (std::size_t i = 0; i < columnas_.size(); ++i)
            sql += (i ? ", " : "") + Identificador(columnas_[i].nombre) + " " +
                   TipoDeclarado(columnas_[i], jet3_);
        for (const Indice& idx : indices_)
            if (idx.clase == 'P' && std::all_of(idx.columnas.begin(), idx.columnas.end(),
                                                [&](const auto& k) { return Tiene(k); })) {
                sql += ", PRIMARY KEY (" + Lista(idx.columnas) + ")";
                break;
            }
        for (Relacion& r : relaciones_) {
            if (r.ajena != tabla_->nombre)
                continue;
            std::sort(r.campos.begin(), r.campos.end());
            std::vector<std::string> ajenos, referidos;
            for (const auto& [pos, par] : r.campos) {
                ajenos.push_back(par.first);
                referidos.push_back(par.second);
            }
            if (!legibles_.count(r.referida) ||
                !std::all_of(ajenos.begin(), ajenos.end(),
                             [&](const auto& k) { return Tiene(k); })) {
                resultado_.notas.push_back("relationship " + r.nombre + " left out");
                continue;
            }
            sql += ", FOREIGN KEY (" + Lista(ajenos) + ") REFERENCES " + Identificador(r.referida) +
                   " (" + Lista(referidos) + ")";
            if (r.indicadores & 0x100)
                sql += " ON UPDATE CASCADE";
            if (r.indicadores & 0x1000)
                sql += " ON DELETE CASCADE";
            ++resultado_.relaciones;
        }
        sql += ")";
        std::string sp = "SAVEPOINT filas";
        if (!escritor_.Execute(sql) || !escritor_.Execute(sp)) {
            errorEscritura_ = escritor_.LastError();
            return false;
        }
        std::string insertar = "INSERT INTO " + Identificador(tabla_->nombre) + " VALUES (";
        for (std::size_t i = 0; i < columnas_.size(); ++i) insertar += i ? ", ?" : "?";
        if (!escritor_.PrepareInsert(insertar + ")")) {
            errorEscritura_ = escritor_.LastError();
            return false;
        }
        return true;
    }

    bool Fila(const std::vector<std::optional<std::string>>& valores) {
        if (!tabla_ || fallida_)
            return true;
        if (!creada_ && !Crear())
            return false;
        if (!Insertar(escritor_, columnas_, valores))
            return FallaTabla(escritor_.LastError());
        ++tabla_->filas;
        if (++hechas_ % 256 == 0 && progreso_ && !progreso_(hechas_, total_)) {
            cancelado_ = true;
            return false;
        }
        return true;
    }

    // Rows of the current table that cannot be read: the table stays, empty, and is reported.
    bool FallaTabla(const std::string& motivo) {
        if (!tabla_ || fallida_)
            return true;
        if (!creada_ && !Crear())
            return false;
        fallida_ = true;
        if (!escritor_.Execute("ROLLBACK TO filas")) {
            errorEscritura_ = escritor_.LastError();
            return false;
        }
        tabla_->notas.push_back("rows not converted: " + motivo);
        hechas_ -= tabla_->filas;
        tabla_->filas = 0;
        return true;
    }

    bool FinTabla() {
        if (!tabla_)
            return true;
        if (!creada_ && !Crear())
            return false;
        if (!escritor_.Execute("RELEASE filas")) {
            errorEscritura_ = escritor_.LastError();
            return false;
        }
        for (const Indice& idx : indices_) {
            if (idx.clase == 'P')
                continue;
            if (!std::all_of(idx.columnas.begin(), idx.columnas.end(),
                             [&](const auto& k) { return Tiene(k); })) {
                tabla_->notas.push_back("index " + idx.nombre + " left out");
                continue;
            }
            // Index names are per table in Access and per database in SQLite.
            std::string nombre = idx.nombre;
            if (!escritor_.NameFree(nombre))
                nombre = tabla_->nombre + "_" + idx.nombre;
            for (int n = 2; !escritor_.NameFree(nombre); ++n)
                nombre = tabla_->nombre + "_" + idx.nombre + std::to_string(n);
            const std::string cuerpo = Identificador(nombre) + " ON " +
                                       Identificador(tabla_->nombre) + " (" + Lista(idx.columnas) +
                                       ")";
            bool unico = idx.clase == 'U';
            if (unico && !escritor_.Execute("CREATE UNIQUE INDEX " + cuerpo)) {
                tabla_->notas.push_back("index " + idx.nombre +
                                        " not unique: " + escritor_.LastError());
                unico = false;
            } else if (unico) {
                continue;
            }
            if (!escritor_.Execute("CREATE INDEX " + cuerpo)) {
                errorEscritura_ = escritor_.LastError();
                return false;
            }
        }
        CompararConCatalogo(*tabla_);
        resultado_.tablas.push_back(std::move(*tabla_));
        tabla_.reset();
        if (progreso_ && !progreso_(hechas_, total_)) {
            cancelado_ = true;
            return false;
        }
        return true;
    }

    // A damaged page can hide rows without any error: the count the catalog keeps tells.
    void CompararConCatalogo(TablaConvertida& t) {
        if (t.catalogo < 0 || t.filas == t.catalogo)
            return;
        t.notas.push_back(
            Texto(texto::kFilasCatalogo, {std::to_string(t.filas), std::to_string(t.catalogo)}));
        if (t.filas < t.catalogo)
            resultado_.completa = false;
    }

    engine::BulkWriter& escritor_;
    Conversion& resultado_;
    const Progreso& progreso_;
    bool jet3_ = false;
    std::set<std::string> legibles_;
    std::vector<Relacion> relaciones_;
    std::optional<TablaConvertida> tabla_;
    std::vector<Columna> columnas_;
    std::vector<Indice> indices_;
    bool creada_ = false, fallida_ = false, terminado_ = false, cancelado_ = false;
    long long hechas_ = 0, total_ = 0;
    std::string errorEscritura_;
};

// The helper's complaint about a damaged file: its first line mentioning a page it could
// not read, or its last line.
std::string Queja(const std::string& errores) {
    std::istringstream in(errores);
    std::string linea, ultima;
    while (std::getline(in, linea))
        if (!linea.empty())
            ultima = linea;
    return ultima;
}

bool Truncado(const std::string& errores) {
    return errores.find("beyond EOF") != std::string::npos ||
           errores.find("truncated") != std::string::npos;
}

}  // namespace

namespace {

// Runs the reader on `mdb` and turns its lines into the database being written at `ruta`.
bool Traducir(const fs::path& mdb, const fs::path& lector, const fs::path& ruta,
              Conversion& resultado, engine::Error& error, const Progreso& progreso) {
    engine::BulkWriter escritor;
    Lector proceso;
    Traductor traductor(escritor, resultado, progreso);
    if (!escritor.Open(ruta.string())) {
        error = engine::Failure(engine::Code::ConvertedNotWritten, escritor.LastError());
        return false;
    }
    if (!proceso.Iniciar(lector, mdb)) {
        error = engine::Failure(engine::Code::AccessReaderMissing, lector.string());
        return false;
    }
    bool seguir = true;
    while (seguir) {
        auto linea = proceso.Linea([&] { return traductor.Latido(); });
        if (!linea) {
            seguir = !traductor.Cancelado();
            break;
        }
        seguir = traductor.Linea(*linea);
    }
    if (!seguir) {
        proceso.Terminar();
        error = traductor.Cancelado() ? engine::Failure(engine::Code::Cancelled)
                                      : engine::Failure(engine::Code::ConvertedNotWritten,
                                                        traductor.ErrorEscritura());
        return false;
    }
    const int estado = proceso.Esperar();
    const std::string& errores = proceso.Errores();
    if (estado < 0)
        error =
            engine::Failure(engine::Code::AccessReaderFailed, "signal " + std::to_string(-estado));
    else if (Truncado(errores))
        error = engine::Failure(engine::Code::AccessTruncated, Queja(errores));
    else if (estado != 0 || !traductor.Terminado())
        error = engine::Failure(engine::Code::AccessUnreadable, Queja(errores));
    else if (!escritor.Commit())
        error = engine::Failure(engine::Code::ConvertedNotWritten, escritor.LastError());
    return !error.failed();
}

// Convertir into a destination that may be `reemplazo`.
bool ConvertirEn(const fs::path& mdb, const fs::path& destino, Conversion& resultado,
                 engine::Error& error, const Progreso& progreso, Reemplazo reemplazo) {
    error.clear();
    resultado = Conversion{};
    resultado.destino = destino;
    std::error_code ec;
    if (engine::IsSpecialFile(mdb.string()) || !fs::is_regular_file(mdb, ec)) {
        error = engine::Failure(engine::Code::AccessUnreadable, mdb.string());
        return false;
    }
    const fs::path lector = RutaLector();
    if (lector.empty()) {
        error = engine::Failure(engine::Code::AccessReaderMissing);
        return false;
    }
    // The Access file is only read: never the destination, even through a link.
    const ArchivoProtegido origen(mdb);
    fs::create_directories(destino.parent_path(), ec);
    EscrituraSegura escritura;
    if (!escritura.Abrir(destino, error, reemplazo))
        return false;
    escritura.CerrarDescriptor();
    if (!Traducir(mdb, lector, escritura.Temporal(), resultado, error, progreso))
        return false;
    if (!escritura.Confirmar(error)) {
        error = engine::Failure(engine::Code::ConvertedNotWritten, TextoDeError(error));
        return false;
    }
    return true;
}

}  // namespace

bool Convertir(const fs::path& mdb, const fs::path& destino, Conversion& resultado,
               engine::Error& error, const Progreso& progreso) {
    return ConvertirEn(mdb, destino, resultado, error, progreso, Reemplazo::Ninguno);
}

bool ConvertirSalidaLector(std::string_view salida, const std::string& destino,
                           Conversion& resultado, engine::Error& error) {
    error.clear();
    resultado = Conversion{};
    resultado.destino = destino;
    engine::BulkWriter escritor;
    const Progreso sinProgreso;
    Traductor traductor(escritor, resultado, sinProgreso);
    if (!escritor.Open(destino)) {
        error = engine::Failure(engine::Code::ConvertedNotWritten, escritor.LastError());
        return false;
    }
    while (!salida.empty()) {
        const std::size_t fin = std::min(salida.find('\n'), salida.size());
        if (!traductor.Linea(std::string(salida.substr(0, fin)))) {
            error = engine::Failure(engine::Code::ConvertedNotWritten, traductor.ErrorEscritura());
            return false;
        }
        salida.remove_prefix(std::min(fin + 1, salida.size()));
    }
    if (!traductor.Terminado())
        error = engine::Failure(engine::Code::AccessUnreadable);
    else if (!escritor.Commit())
        error = engine::Failure(engine::Code::ConvertedNotWritten, escritor.LastError());
    return !error.failed();
}

// ---------------------------------------------------------------- reuse

namespace {

struct Huella {
    std::string origen;
    std::uintmax_t tamano = 0;
    long long modificado = 0;
    std::string hash;
    Conversion resumen;  // what the conversion gave, reported again when it is reused
};

std::optional<Huella> HuellaDe(const fs::path& mdb, bool conHash) {
    std::error_code ec;
    Huella h;
    h.origen = fs::absolute(mdb, ec).string();
    h.tamano = fs::file_size(mdb, ec);
    if (ec)
        return std::nullopt;
    h.modificado = (long long)fs::last_write_time(mdb, ec).time_since_epoch().count();
    if (ec)
        return std::nullopt;
    if (conHash) {
        QFile archivo(QString::fromStdString(mdb.string()));
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (!archivo.open(QIODevice::ReadOnly) || !hash.addData(&archivo))
            return std::nullopt;
        h.hash = hash.result().toHex().toStdString();
    }
    return h;
}

fs::path RutaHuella(const fs::path& convertida) {
    return convertida.string() + ".origen";
}

// The record of a conversion: the source's path, then its size, time and hash, then the
// summary in lines "R relationships", "T converted rows name", "K catalog rows" and
// "N table note" of the table above, "G note", and "C 0" when rows are missing.
std::optional<Huella> LeerHuella(const fs::path& ruta) {
    if (engine::IsSpecialFile(ruta.string()))
        return std::nullopt;
    std::ifstream in(ruta);
    Huella h;
    if (!std::getline(in, h.origen) || !(in >> h.tamano >> h.modificado >> h.hash))
        return std::nullopt;
    std::string linea;
    std::getline(in, linea);
    while (std::getline(in, linea)) {
        if (linea.size() < 2)
            continue;
        std::istringstream campos(linea.substr(2));
        std::string texto;
        switch (linea[0]) {
            case 'R':
                campos >> h.resumen.relaciones;
                break;
            case 'T': {
                TablaConvertida t;
                campos >> t.convertida >> t.filas;
                campos.get();
                std::getline(campos, t.nombre);
                h.resumen.tablas.push_back(std::move(t));
                break;
            }
            case 'K':
                if (!h.resumen.tablas.empty())
                    campos >> h.resumen.tablas.back().catalogo;
                break;
            case 'N':
                if (!h.resumen.tablas.empty())
                    h.resumen.tablas.back().notas.push_back(linea.substr(2));
                break;
            case 'G':
                h.resumen.notas.push_back(linea.substr(2));
                break;
            case 'C':
                campos >> h.resumen.completa;
                break;
        }
    }
    return h;
}

bool GuardarHuella(const fs::path& ruta, const Huella& h) {
    std::ostringstream out;
    out << h.origen << '\n' << h.tamano << ' ' << h.modificado << ' ' << h.hash << '\n';
    out << "R " << h.resumen.relaciones << '\n';
    for (const auto& t : h.resumen.tablas) {
        out << "T " << t.convertida << ' ' << t.filas << ' ' << t.nombre << '\n';
        out << "K " << t.catalogo << '\n';
        for (const auto& n : t.notas) out << "N " << n << '\n';
    }
    for (const auto& n : h.resumen.notas) out << "G " << n << '\n';
    if (!h.resumen.completa)
        out << "C 0\n";
    engine::Error error;
    return EscribirSalida(ruta, out.str(), error, Reemplazo::Propio);
}

// Whether an earlier conversion still serves: it opens, and its tables read.
bool ConversionLegible(const fs::path& ruta) {
    engine::Error error;
    auto bd = engine::Database::Open(ruta.string(), engine::Database::Kind::User, error);
    if (!bd)
        return false;
    bd->TableDefs(error);
    if (!error.failed())
        bd->Relations(error);
    return !error.failed();
}

}  // namespace

bool Cancelada(const engine::Error& error) {
    return error.code == engine::Code::Cancelled;
}

fs::path RutaConvertida(const fs::path& carpeta, const fs::path& mdb) {
    return carpeta / (mdb.stem().string() + ".db");
}

bool Preparar(const fs::path& mdb, const fs::path& carpeta, Conversion& resultado,
              engine::Error& error, const Progreso& progreso) {
    error.clear();
    const fs::path destino = RutaConvertida(carpeta, mdb);
    const fs::path rutaHuella = RutaHuella(destino);
    std::error_code ec;
    auto actual = HuellaDe(mdb, false);
    if (!actual) {
        error = engine::Failure(engine::Code::AccessUnreadable, mdb.string());
        return false;
    }
    const auto guardada = LeerHuella(rutaHuella);
    if (guardada && fs::is_regular_file(destino, ec) && guardada->origen == actual->origen &&
        guardada->tamano == actual->tamano) {
        // Same size and time: unchanged. Same size, other time: the content decides, so a
        // copy or a touch does not cost a conversion.
        bool igual = guardada->modificado == actual->modificado;
        if (!igual) {
            actual = HuellaDe(mdb, true);
            igual = actual && actual->hash == guardada->hash;
            if (igual) {
                actual->resumen = guardada->resumen;
                GuardarHuella(rutaHuella, *actual);
            }
        }
        if (igual && ConversionLegible(destino)) {
            resultado = guardada->resumen;
            resultado.destino = destino;
            resultado.reutilizada = true;
            return true;
        }
    }
    actual = HuellaDe(mdb, true);
    if (!actual) {
        error = engine::Failure(engine::Code::AccessUnreadable, mdb.string());
        return false;
    }
    fs::remove(rutaHuella, ec);  // a stale record must not outlive a failed conversion
    LimpiarParciales(destino.parent_path());
    if (!ConvertirEn(mdb, destino, resultado, error, progreso, Reemplazo::Propio))
        return false;
    actual->resumen = resultado;
    GuardarHuella(rutaHuella, *actual);
    return true;
}

}  // namespace veliora::access
