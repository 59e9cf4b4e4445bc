#include "core/practice/comprobar.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cctype>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include "core/base/textos.h"
#include "core/engine/sql_scanner.h"
#include "core/engine/value.h"
#include "core/shell/errores.h"
#include "core/sql/igualdad.h"

namespace veliora {

namespace {

using engine::Recordset;
using Fila = std::vector<engine::Value>;

// The current row of a forward-only result (or a copy of a kept row, see VistaFila).
template <class Filas>
Fila FilaActual(const Filas& r) {
    Fila f(std::size_t(r.FieldCount()));
    for (int c = 0; c < r.FieldCount(); ++c) f[std::size_t(c)] = r.Field(c);
    return f;
}

template <class A, class B>
bool ActualesIguales(const A& a, const B& b) {
    for (int c = 0; c < a.FieldCount(); ++c)
        if (!MismoValor(a.Field(c), b.Field(c)))
            return false;
    return true;
}

// Bytes a row held in memory takes, counted against the memory budget.
std::size_t BytesFila(const Fila& f) {
    std::size_t bytes = sizeof(Fila) + 64 + f.size() * sizeof(engine::Value);
    for (const auto& v : f) bytes += v.text.size();
    return bytes;
}

// ---- Row fingerprints

// 128 bits of a row's typed values: identical values give equal fingerprints. The low bit
// marks a row that holds a value whose fingerprint is shared by unequal values (whole
// numbers beyond 2^53 are taken by their nearest real, as the comparison does with a real),
// so that its group is always confirmed value by value. The next bit marks a row holding a
// number: only such a row can equal a row with another fingerprint (numbers within the
// tolerance of MismoValor).
struct Huella {
    std::uint64_t alta, baja;  // left uninitialised: millions are stored before being written
    auto operator<=>(const Huella&) const = default;
    bool Ambigua() const { return baja & 1; }
    bool ConNumeros() const { return baja & 2; }
};

int bitsHuella = 128;  // fewer only in tests, to force collisions

// A fresh key each run: no answer can be written to collide with its solution.
const std::array<std::uint64_t, 8>& Clave() {
    static const std::array<std::uint64_t, 8> clave = [] {
        std::random_device azar;
        std::array<std::uint64_t, 8> k{};
        for (auto& x : k) x = (std::uint64_t(azar()) << 32) ^ azar();
        return k;
    }();
    return clave;
}

// The full product, high half folded onto the low one.
std::uint64_t Plegar(std::uint64_t x, std::uint64_t y) {
    const unsigned __int128 p = static_cast<unsigned __int128>(x) * y;
    return std::uint64_t(p) ^ std::uint64_t(p >> 64);
}

// Two keyed lanes, each taking a pair of words per product, in the manner of wyhash: each
// word of a row costs about one multiplication, which rows counted in millions notice. Words
// wait in a small buffer, so that the lanes run in a tight loop; everything is inlined, so
// that the state stays in registers rather than going through memory word after word.
class Mezclador {
  public:
    Mezclador() : k_(Clave()), a_(k_[0]), b_(k_[1]) {}
    [[gnu::always_inline]] void Palabra(std::uint64_t x) {
        if (n_ == kEspera)
            Mezclar();
        espera_[n_++] = x;
    }
    [[gnu::always_inline]] void Bytes(std::string_view t) {
        const char* p = t.data();
        std::size_t quedan = t.size();
        for (; quedan >= 8; p += 8, quedan -= 8) {
            std::uint64_t x;
            std::memcpy(&x, p, 8);
            Palabra(x);
        }
        // The last bytes, zero-filled above.
        std::uint64_t resto = 0;
        if (quedan > 0 && t.size() >= 8) {
            std::memcpy(&resto, p + quedan - 8, 8);
            resto >>= 8 * (8 - quedan);
        } else {
            for (std::size_t i = 0; i < quedan; ++i)
                resto |= std::uint64_t(static_cast<unsigned char>(p[i])) << (8 * i);
        }
        Palabra(resto);
        Palabra(t.size());
    }
    [[gnu::always_inline]] Huella Fin(bool ambigua, bool numeros) {
        // The word count tells an odd row's padding from a last word of zero.
        const std::uint64_t n = total_ + n_;
        if (n_ & 1)
            espera_[n_++] = 0;
        Mezclar();
        Huella h{Plegar(a_ ^ k_[4], n ^ k_[5]), Plegar(b_ ^ k_[6], n ^ k_[7])};
        if (bitsHuella < 128) {
            // The leading bits are kept: they choose the bucket and the sorting runs. A cut
            // fingerprint no longer tells rows apart, so every row is confirmed by value.
            ambigua = true;
            const int bajos = std::max(bitsHuella - 64, 0), altos = std::min(bitsHuella, 64);
            h.alta = altos == 0 ? 0 : h.alta & (~std::uint64_t(0) << (64 - altos));
            h.baja = bajos == 0 ? 0 : h.baja & (~std::uint64_t(0) << (64 - bajos));
        }
        h.baja = (h.baja & ~std::uint64_t(3)) | (ambigua ? 1 : 0) | (numeros ? 2 : 0);
        return h;
    }

  private:
    static constexpr std::size_t kEspera = 32;  // even

    [[gnu::always_inline]] void Mezclar() {
        for (std::uint32_t i = 0; i < n_; i += 2) {
            a_ = Plegar(espera_[i] ^ k_[2], espera_[i + 1] ^ a_);
            b_ = Plegar(espera_[i] ^ k_[3], espera_[i + 1] ^ b_);
        }
        total_ += n_;
        n_ = 0;
    }

    const std::array<std::uint64_t, 8>& k_;
    std::uint64_t a_, b_;
    std::array<std::uint64_t, kEspera> espera_;
    // Not of the words' type: a word stored could otherwise be the count, read again each time.
    std::uint32_t n_ = 0;
    std::uint64_t total_ = 0;
};

// The current row of a result, or a row kept in memory, as HuellaActual reads them.
struct VistaFila {
    const Fila& fila;
    int FieldCount() const { return int(fila.size()); }
    const engine::Value& Field(int c) const { return fila[std::size_t(c)]; }
};

template <class Filas>
Huella HuellaActual(const Filas& r) {
    using engine::ValueType;
    constexpr double kExactos = 9007199254740992.0;  // 2^53
    Mezclador m;
    bool ambigua = false, numeros = false;
    for (int c = 0; c < r.FieldCount(); ++c) {
        const engine::Value& v = r.Field(c);
        switch (v.type) {
            case ValueType::Null:
                m.Palabra(0);
                break;
            case ValueType::Integer:
            case ValueType::Real: {
                double d = v.number();
                if (d == 0)
                    d = 0;  // -0 equals 0
                if (v.type == ValueType::Integer && std::abs(d) > kExactos)
                    ambigua = true;
                numeros = true;
                m.Palabra(1);
                m.Palabra(std::bit_cast<std::uint64_t>(d));
                break;
            }
            case ValueType::Date: {
                // "yyyy-mm-dd" names the same instant as "yyyy-mm-dd 00:00:00".
                m.Palabra(3);
                if (v.text.size() == 10) {
                    char completa[19];
                    std::memcpy(completa, v.text.data(), 10);
                    std::memcpy(completa + 10, " 00:00:00", 9);
                    m.Bytes({completa, sizeof completa});
                } else {
                    m.Bytes(v.text);
                }
                break;
            }
            case ValueType::Text:
            case ValueType::Blob:
                m.Palabra(v.type == ValueType::Text ? 2 : 4);
                m.Bytes(v.text);
                break;
        }
    }
    return m.Fin(ambigua, numeros);
}

// ---- Streaming the two statements

// How far a reading got: the statement that failed (the solution's failure first) or the
// outcome of the comparison.
enum class Desenlace { FallaSolucion, FallaRespuesta, Iguales, Distintas };

struct Lectura {
    Desenlace desenlace = Desenlace::Iguales;
    engine::Error error;
};

// The rows of both results as they are read, kept while together they fit within a cap:
// a wrong answer's differences come from them, and its doubtful rows are confirmed from
// them, so that no statement runs twice. Rows are packed (a type byte, then the number or
// the length and the bytes): a row of values takes a few times less than its Fila.
class Guardadas {
  public:
    explicit Guardadas(std::size_t maximo) : maximo_(maximo) {
        // Address space only: pages are taken as they are written, and given back at once.
        for (std::string& d : datos_) d.reserve(maximo_);
    }

    template <class R>
    void Columnas(int lado, const R& r) {
        for (int c = 0; c < r.FieldCount(); ++c) columnas_[lado].push_back(r.FieldName(c));
    }
    template <class R>
    void Anadir(int lado, const R& r) {
        if (!completas_)
            return;
        const int n = r.FieldCount();
        std::size_t necesarios = 0;  // at most: a null takes its type byte alone
        for (int c = 0; c < n; ++c) necesarios += 1 + 8 + r.Field(c).text.size();
        if (datos_[0].size() + datos_[1].size() + necesarios > maximo_) {
            // Too big to keep: what was kept goes at once.
            completas_ = false;
            for (std::string& d : datos_) std::string().swap(d);
            return;
        }
        std::string& d = datos_[lado];
        std::size_t p = d.size();
        d.resize(p + necesarios);
        char* o = d.data();
        for (int c = 0; c < n; ++c) {
            const engine::Value& v = r.Field(c);
            o[p++] = char(v.type);
            switch (v.type) {
                case engine::ValueType::Null:
                    break;
                case engine::ValueType::Integer:
                    p = Poner(o, p, v.integer);
                    break;
                case engine::ValueType::Real:
                    p = Poner(o, p, v.real);
                    break;
                default:
                    p = Poner(o, p, std::uint64_t(v.text.size()));
                    std::memcpy(o + p, v.text.data(), v.text.size());
                    p += v.text.size();
            }
        }
        d.resize(p);
        ++filas_[lado];
    }
    // Whether every row read so far is kept.
    bool Completas() const { return completas_; }

    // Calls `f` with each kept row of side `lado` from the one numbered `desde` (from 0) on.
    template <class F>
    void Recorrer(int lado, std::size_t desde, F&& f) const {
        const std::string& d = datos_[lado];
        Fila fila(columnas_[lado].size());
        std::size_t p = 0;
        for (std::size_t i = 0; i < filas_[lado]; ++i) {
            for (engine::Value& v : fila) p = Sacar(d, p, v);
            if (i >= desde)
                f(fila);
        }
    }
    ResultadosLeidos Leidos() const {
        ResultadosLeidos l{{columnas_[0], {}}, {columnas_[1], {}}};
        for (int lado = 0; lado < 2; ++lado) {
            ResultadoLeido& r = lado == 0 ? l.solucion : l.respuesta;
            r.filas.reserve(filas_[lado]);
            Recorrer(lado, 0, [&](const Fila& f) { r.filas.push_back(f); });
        }
        return l;
    }

  private:
    template <class T>
    static std::size_t Poner(char* o, std::size_t p, T x) {
        std::memcpy(o + p, &x, 8);
        return p + 8;
    }
    template <class T>
    static T Tomar(const std::string& d, std::size_t p) {
        T x;
        std::memcpy(&x, d.data() + p, 8);
        return x;
    }
    // The value packed at `p`; where the next one starts.
    static std::size_t Sacar(const std::string& d, std::size_t p, engine::Value& v) {
        const auto tipo = engine::ValueType(static_cast<unsigned char>(d[p++]));
        switch (tipo) {
            case engine::ValueType::Null:
                v = engine::Value::Null();
                return p;
            case engine::ValueType::Integer:
                v = engine::Value::Int(Tomar<std::int64_t>(d, p));
                return p + 8;
            case engine::ValueType::Real:
                v = engine::Value::Double(Tomar<double>(d, p));
                return p + 8;
            default: {
                const auto n = std::size_t(Tomar<std::uint64_t>(d, p));
                v = {tipo, 0, 0.0, d.substr(p + 8, n)};
                return p + 8 + n;
            }
        }
    }

    std::size_t maximo_;
    bool completas_ = true;
    std::vector<std::string> columnas_[2];
    std::string datos_[2];
    std::size_t filas_[2] = {0, 0};
};

// Sorts fingerprints whose leading `fijos` bits are all the same and whose next bits are
// spread evenly, as keyed hashes are: counted out by those next bits, then each short run
// sorted in place. A crowded run, which only shortened fingerprints make, is left to a
// comparison sort.
void OrdenarRepartidas(std::vector<Huella>& v, int fijos, std::vector<Huella>& aux,
                       std::vector<std::uint32_t>& cuentas) {
    const std::size_t n = v.size();
    if (n < 2)
        return;
    const int bits = std::clamp(int(std::bit_width(n)) - 1, 1, 16);
    const auto clave = [&](const Huella& h) {
        return std::size_t((h.alta << fijos) >> (64 - bits));
    };
    cuentas.assign((std::size_t(1) << bits) + 1, 0);
    for (const Huella& h : v) ++cuentas[clave(h) + 1];
    for (std::size_t k = 1; k < cuentas.size(); ++k) cuentas[k] += cuentas[k - 1];
    aux.resize(n);
    for (const Huella& h : v) aux[cuentas[clave(h)]++] = h;
    // Each counter now holds where its run ends.
    std::size_t inicio = 0;
    for (std::size_t k = 0; k + 1 < cuentas.size(); ++k) {
        const std::size_t fin = cuentas[k];
        if (fin - inicio > 32) {
            std::sort(aux.begin() + long(inicio), aux.begin() + long(fin));
        } else {
            for (std::size_t i = inicio + 1; i < fin; ++i) {
                const Huella h = aux[i];
                std::size_t j = i;
                for (; j > inicio && h < aux[j - 1]; --j) aux[j] = aux[j - 1];
                aux[j] = h;
            }
        }
        inicio = fin;
    }
    v.swap(aux);
}

// One statement's rows after the first difference, as fingerprints spread over buckets by
// their leading bits as they come: nothing is copied to grow, and sorting works on one
// small bucket at a time, in order.
class Cola {
  public:
    static constexpr int kBits = 8;
    static constexpr std::size_t kCubetas = std::size_t(1) << kBits;

    explicit Cola(std::size_t maximo) : maximo_(maximo), cubetas_(kCubetas) {}

    // False once the memory budget is spent.
    bool Anadir(const Huella& h) {
        if (total_ >= maximo_)
            return false;
        entrada_[enEntrada_++] = h;
        ++total_;
        if (enEntrada_ == kEntrada)
            Repartir();
        return true;
    }

    // Spreads what is waiting over the buckets; before reading them.
    void Repartir() {
        for (std::size_t i = 0; i < enEntrada_; ++i) {
            const Huella& h = entrada_[i];
            Cubeta& c = cubetas_[h.alta >> (64 - kBits)];
            if (c.lleno == kTrozo) {
                c.trozos.push_back(NuevoTrozo());
                c.lleno = 0;
            }
            c.trozos.back()[c.lleno++] = h;
        }
        enEntrada_ = 0;
    }

    std::size_t Total() const { return total_; }
    std::size_t Tamano(std::size_t cubeta) const {
        const Cubeta& c = cubetas_[cubeta];
        return c.trozos.empty() ? 0 : (c.trozos.size() - 1) * kTrozo + c.lleno;
    }

    // The fingerprints of one bucket, sorted.
    void Ordenada(std::size_t cubeta, std::vector<Huella>& salida, std::vector<Huella>& aux,
                  std::vector<std::uint32_t>& cuentas) const {
        const Cubeta& c = cubetas_[cubeta];
        salida.clear();
        for (std::size_t t = 0; t < c.trozos.size(); ++t)
            salida.insert(salida.end(), c.trozos[t],
                          c.trozos[t] + (t + 1 == c.trozos.size() ? c.lleno : kTrozo));
        OrdenarRepartidas(salida, kBits, aux, cuentas);
    }

  private:
    // Rows come between steps of the engine, which leave little of the buckets in the caches:
    // they are taken in batches, spread over the buckets in one go.
    static constexpr std::size_t kEntrada = 8192, kTrozo = 256;
    // Pieces come from blocks; past the first few, blocks of 2 MiB on huge pages where the
    // system has them: touching millions of fresh fingerprints a small page at a time costs
    // more than spreading them.
    static constexpr std::size_t kBloque = std::size_t(2) << 20, kBloquesPequenos = 4,
                                 kTrozosPorBloquePequeno = 64;
    struct Cubeta {
        std::vector<Huella*> trozos;
        std::size_t lleno = kTrozo;  // in the last piece
    };

    struct Liberar {
        void operator()(Huella* p) const { std::free(p); }
    };

    Huella* NuevoTrozo() {
        if (libres_ == 0) {
            const bool grande = bloques_.size() >= kBloquesPequenos;
            const std::size_t bytes =
                grande ? kBloque : kTrozo * kTrozosPorBloquePequeno * sizeof(Huella);
            void* p = std::aligned_alloc(grande ? kBloque : alignof(Huella), bytes);
            if (!p)
                throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
            if (grande)
                ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
            bloques_.emplace_back(static_cast<Huella*>(p));
            libres_ = bytes / (kTrozo * sizeof(Huella));
        }
        --libres_;
        return bloques_.back().get() + libres_ * kTrozo;
    }

    std::size_t maximo_, total_ = 0;
    std::vector<Cubeta> cubetas_;
    std::unique_ptr<Huella[]> entrada_{new Huella[kEntrada]};
    std::size_t enEntrada_ = 0;
    std::vector<std::unique_ptr<Huella, Liberar>> bloques_;
    std::size_t libres_ = 0;
};

// ---- An order the verdict does not need

bool ordenLibre = true;    // off only in tests, to compare with the full reading
bool guardarFilas = true;  // off only in tests, to read doubtful rows again

bool LetraDePalabra(unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80;
}

// The statement without its outer `order by`, when leaving it out cannot change the rows
// (only their order): its terms name columns or positions, with no limit or offset after
// them, nothing computed that could fail. Empty when it must stay.
std::string SinOrdenExterior(std::string_view sql) {
    std::size_t orden = std::string_view::npos;
    bool tras = false;  // after the outer order by
    std::string anterior;
    std::size_t inicioAnterior = 0;
    for (engine::SqlScanner leer(sql); !leer.Done();) {
        const engine::SqlStretch& tramo = leer.Stretch();
        if (!tramo.code()) {
            leer.Next();
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(leer.Char());
        if (LetraDePalabra(c)) {
            std::size_t fin = tramo.begin;
            while (fin < sql.size() && LetraDePalabra(static_cast<unsigned char>(sql[fin]))) ++fin;
            std::string palabra(sql.substr(tramo.begin, fin - tramo.begin));
            for (char& x : palabra) x = char(std::tolower(static_cast<unsigned char>(x)));
            if (leer.Depth() == 0) {
                if (tras && (palabra == "limit" || palabra == "offset"))
                    return {};
                if (anterior == "order" && palabra == "by") {
                    if (tras)
                        return {};
                    orden = inicioAnterior;
                    tras = true;
                }
            }
            anterior = std::move(palabra);
            inicioAnterior = tramo.begin;
            leer.SkipTo(fin);
            continue;
        }
        if (!std::isspace(c)) {
            anterior.clear();
            if (tras && std::string_view(".,;").find(char(c)) == std::string_view::npos)
                return {};
        }
        leer.Next();
    }
    if (orden == std::string_view::npos)
        return {};
    std::string resto(sql.substr(0, orden));
    const auto ultima = resto.find_last_not_of(" \t\r\n");
    resto.resize(ultima == std::string::npos ? 0 : ultima + 1);
    return resto;
}

std::optional<bool> dosHilos;  // forced only in tests; by default, on big files with 2 cores

// A second connection, so that the answer is read ahead by a thread of its own: on a machine
// with more than one core and a file big enough to pay for it (opening one costs about as
// much as reading a few thousand rows). None when it cannot be opened: one thread.
std::shared_ptr<engine::Database> ConexionRespuesta(engine::Database& bd) {
    constexpr std::uintmax_t kArchivoMinimo = 16 << 20;
    std::error_code ec;
    const auto tamano = std::filesystem::file_size(bd.Name(), ec);
    const bool usar = dosHilos.value_or(std::thread::hardware_concurrency() > 1 && !ec &&
                                        tamano >= kArchivoMinimo);
    engine::Error error;
    return usar ? bd.OpenSibling(error) : nullptr;
}

// A forward-only result read ahead by a thread of its own (its statement runs on a
// connection of its own), read here as the result itself: the current row, the next one, the
// end and the error the reading ended with, at the same row.
class Adelantada {
  public:
    Adelantada(std::unique_ptr<Recordset> r, engine::Database& bd)
        : r_(std::move(r)), bd_(bd), campos_(r_->FieldCount()) {
        for (int c = 0; c < campos_; ++c) nombres_.push_back(r_->FieldName(c));
        hilo_ = std::thread([this] { Leer(); });
        Tomar();
    }
    Adelantada(const Adelantada&) = delete;
    Adelantada& operator=(const Adelantada&) = delete;
    // A reading not finished is interrupted; the connection is left usable.
    ~Adelantada() {
        {
            std::lock_guard<std::mutex> cerrojo(mutex_);
            parar_ = true;
        }
        if (!terminada_.load())
            bd_.Interrupt();
        libre_.notify_all();  // a reader waiting for room stops
        hilo_.join();
        bd_.ResetInterrupt();
    }

    int FieldCount() const { return campos_; }
    const std::string& FieldName(int c) const { return nombres_[std::size_t(c)]; }
    const engine::Value& Field(int c) const {
        return bloque_[pos_ * std::size_t(campos_) + std::size_t(c)];
    }
    bool Eof() const { return pos_ >= filas_; }
    const engine::Error& Error() const { return errorAlFinal_; }
    // Rows reached so far, the current one included.
    std::size_t RecordCount() const { return contadas_; }
    void MoveNext() {
        if (Eof())
            return;
        if (++pos_ < filas_)
            ++contadas_;
        else
            Tomar();
    }
    void MoveLast() {
        while (!Eof()) MoveNext();
    }

  private:
    static constexpr std::size_t kBloque = 256, kEnCola = 8;

    // The reading thread: blocks of rows, their values one after the other, the last block
    // with the end and its error.
    void Leer() {
        std::vector<engine::Value> bloque;
        bloque.reserve(kBloque * std::size_t(campos_));
        for (; !r_->Eof(); r_->MoveNext()) {
            for (int c = 0; c < campos_; ++c) bloque.push_back(r_->Field(c));
            if (bloque.size() < kBloque * std::size_t(campos_))
                continue;
            if (!Entregar(std::move(bloque), false))
                return;
            bloque.clear();
            bloque.reserve(kBloque * std::size_t(campos_));
        }
        error_ = r_->Error();
        Entregar(std::move(bloque), true);
    }
    bool Entregar(std::vector<engine::Value> bloque, bool fin) {
        std::unique_lock<std::mutex> cerrojo(mutex_);
        libre_.wait(cerrojo, [&] { return parar_ || cola_.size() < kEnCola; });
        if (parar_)
            return false;
        cola_.push_back(std::move(bloque));
        if (fin)
            terminada_ = true;
        hay_.notify_one();
        return true;
    }
    // The next block, waiting for it; none past the end.
    void Tomar() {
        std::unique_lock<std::mutex> cerrojo(mutex_);
        for (;;) {
            hay_.wait(cerrojo, [&] { return !cola_.empty() || (terminada_ && cola_.empty()); });
            if (cola_.empty()) {
                bloque_.clear();
                pos_ = filas_ = 0;
                errorAlFinal_ = error_;  // written before the last block was handed over
                return;
            }
            bloque_ = std::move(cola_.front());
            cola_.pop_front();
            libre_.notify_one();
            pos_ = 0;
            filas_ = campos_ ? bloque_.size() / std::size_t(campos_) : 0;
            if (filas_ > 0) {
                ++contadas_;
                return;
            }
        }
    }

    std::unique_ptr<Recordset> r_;
    engine::Database& bd_;
    int campos_;
    std::vector<std::string> nombres_;
    std::thread hilo_;
    std::mutex mutex_;
    std::condition_variable hay_, libre_;
    std::deque<std::vector<engine::Value>> cola_;
    bool parar_ = false;
    std::atomic<bool> terminada_{false};
    engine::Error error_;         // the reading thread's
    engine::Error errorAlFinal_;  // the same, once the end is reached here
    std::vector<engine::Value> bloque_;
    std::size_t pos_ = 0, filas_ = 0, contadas_ = 0;
};

class Comparacion {
  public:
    Comparacion(engine::Database& bd, std::string_view solucion, std::string_view respuesta)
        : bd_(bd),
          respuestaBd_(ConexionRespuesta(bd)),
          solucion_(solucion),
          respuesta_(respuesta),
          limites_(bd.limits()),
          guardadas_(guardarFilas ? std::min(kMaximoGuardado, limites_.maxBytes) : 0),
          sinOrden_{ordenLibre ? SinOrdenExterior(solucion) : "",
                    ordenLibre ? SinOrdenExterior(respuesta) : ""} {}

    // Errors name the statements as given, whether or not they were run without their order.
    Lectura Juzgar() {
        Lectura l = Leer();
        for (int lado = 0; lado < 2; ++lado)
            if (!sinOrden_[lado].empty() && l.error.sql == sinOrden_[lado])
                l.error.sql = lado == 0 ? solucion_ : respuesta_;
        return l;
    }

    // Both results as read, when they fitted within the cap; nothing otherwise.
    std::optional<ResultadosLeidos> Leidos() {
        if (!guardadas_.Completas())
            return std::nullopt;
        return guardadas_.Leidos();
    }

  private:
    // A statement run without the order it does not need, once it is known to compile as
    // given.
    std::unique_ptr<Recordset> Abrir(int lado) {
        const std::string_view sql = lado == 0 ? solucion_ : respuesta_;
        engine::Database& bd = lado == 1 && respuestaBd_ ? *respuestaBd_ : bd_;
        if (sinOrden_[lado].empty())
            return bd.OpenForwardOnly(sql, error_);
        if (!bd.Prepare(sql, error_))
            return nullptr;
        return bd.OpenForwardOnly(sinOrden_[lado], error_);
    }

    Lectura Leer() {
        auto s = Abrir(0);
        if (!s)
            return {Desenlace::FallaSolucion, error_};
        auto a = Abrir(1);
        if (!a)
            return FallaRespuesta(*s, error_);
        if (respuestaBd_)
            return Comparar(std::move(s),
                            std::make_unique<Adelantada>(std::move(a), *respuestaBd_));
        return Comparar(std::move(s), std::move(a));
    }

    template <class R>
    Lectura Comparar(std::unique_ptr<Recordset> s, std::unique_ptr<R> a) {
        guardadas_.Columnas(0, *s);
        guardadas_.Columnas(1, *a);
        if (s->FieldCount() != a->FieldCount())
            return Acabar(*s, *a, Desenlace::Distintas);
        // In the order given, holding nothing but the current rows.
        while (!s->Eof() && !a->Eof() && ActualesIguales(*s, *a)) {
            guardadas_.Anadir(0, *s);
            guardadas_.Anadir(1, *a);
            s->MoveNext();
            if (s->Error().failed())
                return {Desenlace::FallaSolucion, s->Error()};
            a->MoveNext();
            if (a->Error().failed())
                return FallaRespuesta(*s, a->Error());
        }
        if (s->Eof() || a->Eof())
            return Acabar(*s, *a, Desenlace::Iguales);
        return ComoMulticonjuntos(std::move(s), std::move(a));
    }

    // The answer failed: reported only once the solution is known to run to its end, unless
    // the answer spent the time left, which says nothing of the solution.
    Lectura FallaRespuesta(Recordset& s, engine::Error error) {
        engine::Error es;
        if (!engine::TimedOut(error) && !Agotar(0, s, es))
            return {Desenlace::FallaSolucion, es};
        return {Desenlace::FallaRespuesta, std::move(error)};
    }

    // Both read to their end; then the row counts decide, or `siIguales` when they match.
    template <class R>
    Lectura Acabar(Recordset& s, R& a, Desenlace siIguales) {
        engine::Error e;
        if (!Agotar(0, s, e))
            return {Desenlace::FallaSolucion, e};
        if (!Agotar(1, a, e))
            return {Desenlace::FallaRespuesta, e};
        return {s.RecordCount() == a.RecordCount() ? siIguales : Desenlace::Distintas, {}};
    }

    // Reads side `lado` to its end; false with its error when the engine stopped it.
    template <class R>
    bool Agotar(int lado, R& r, engine::Error& error) {
        for (; !r.Eof() && guardadas_.Completas(); r.MoveNext()) guardadas_.Anadir(lado, r);
        r.MoveLast();
        error = r.Error();
        return !error.failed();
    }

    // From the first difference on, the rows that precede it being equal pair by pair: the
    // results are the same multiset exactly when what follows is.
    template <class R>
    Lectura ComoMulticonjuntos(std::unique_ptr<Recordset> s, std::unique_ptr<R> a) {
        desde_ = s->RecordCount() - 1;
        const std::size_t maximo = limites_.maxBytes / sizeof(Huella);
        Cola cs(maximo), ca(maximo);
        // The first differing pair is unequal for certain: a shared fingerprint is a
        // collision, and its group is confirmed value by value.
        const Huella hs = HuellaActual(*s), ha = HuellaActual(*a);
        if (hs == ha)
            colision_ = hs;
        // A run of rows of one statement, then of the other: each keeps its state in the
        // caches for a while.
        constexpr int kTanda = 256;
        while (!s->Eof() || !a->Eof()) {
            for (int i = 0; i < kTanda && !s->Eof(); ++i) {
                if (!cs.Anadir(HuellaActual(*s)))
                    return {Desenlace::FallaSolucion,
                            engine::MemoryLimitError(limites_, solucion_)};
                guardadas_.Anadir(0, *s);
                s->MoveNext();
                if (s->Error().failed())
                    return {Desenlace::FallaSolucion, s->Error()};
            }
            for (int i = 0; i < kTanda && !a->Eof(); ++i) {
                if (!ca.Anadir(HuellaActual(*a)))
                    return FallaRespuesta(*s, engine::MemoryLimitError(limites_, respuesta_));
                guardadas_.Anadir(1, *a);
                a->MoveNext();
                if (a->Error().failed())
                    return FallaRespuesta(*s, a->Error());
            }
        }
        if (cs.Total() != ca.Total())
            return {Desenlace::Distintas, {}};
        s.reset();
        a.reset();
        cs.Repartir();
        ca.Repartir();
        std::vector<Huella> dudosas, sobrantes, ls, la, aux;
        std::vector<std::uint32_t> cuentas;
        for (std::size_t c = 0; c < Cola::kCubetas; ++c) {
            cs.Ordenada(c, ls, aux, cuentas);
            ca.Ordenada(c, la, aux, cuentas);
            if (ls != la && !AnadirSobrantes(ls, la, sobrantes))
                return {Desenlace::Distintas, {}};
            AnadirDudosas(ls, colision_, dudosas);
            AnadirDudosas(la, colision_, dudosas);
        }
        for (auto* v : {&dudosas, &sobrantes}) {
            std::sort(v->begin(), v->end());
            v->erase(std::unique(v->begin(), v->end()), v->end());
        }
        return Confirmar(dudosas, sobrantes);
    }

    // Fingerprints one side holds more often than the other (both sorted). False when one
    // of them has no number: its rows can only equal identical rows, which are missing.
    static bool AnadirSobrantes(const std::vector<Huella>& x, const std::vector<Huella>& y,
                                std::vector<Huella>& sobrantes) {
        std::size_t i = 0, j = 0;
        while (i < x.size() || j < y.size()) {
            if (i < x.size() && j < y.size() && x[i] == y[j]) {
                ++i;
                ++j;
                continue;
            }
            const Huella h = (j == y.size() || (i < x.size() && x[i] < y[j])) ? x[i++] : y[j++];
            if (!h.ConNumeros())
                return false;
            sobrantes.push_back(h);
        }
        return true;
    }

    // Fingerprints that may stand for unequal rows, in order: repeated ones, marked ones, a
    // collision.
    static void AnadirDudosas(const std::vector<Huella>& ordenadas, std::optional<Huella> colision,
                              std::vector<Huella>& dudosas) {
        for (std::size_t i = 0; i < ordenadas.size(); ++i) {
            const bool repetida = (i > 0 && ordenadas[i - 1] == ordenadas[i]) ||
                                  (i + 1 < ordenadas.size() && ordenadas[i + 1] == ordenadas[i]);
            if ((repetida || ordenadas[i].Ambigua() || ordenadas[i] == colision) &&
                (dudosas.empty() || dudosas.back() != ordenadas[i]))
                dudosas.push_back(ordenadas[i]);
        }
    }

    // Equal fingerprints stand for identical rows except where one may hide a collision:
    // those rows are read again and counted by value, so that no collision can pass a wrong
    // answer (repeated rows are held once, with their count). Rows of fingerprints one side
    // holds more often are read again too; what is left unpaired is paired within the
    // tolerance of numbers.
    using Cuenta = std::map<Fila, std::int64_t, bool (*)(const Fila&, const Fila&)>;

    Lectura Confirmar(const std::vector<Huella>& dudosas, const std::vector<Huella>& sobrantes) {
        if (dudosas.empty() && sobrantes.empty())
            return {Desenlace::Iguales, {}};
        Cuenta cuenta(FilaMenor);
        std::vector<Fila> cercanas[2];
        std::size_t bytes = 0;
        for (int lado = 0; lado < 2; ++lado)
            if (auto fin = Releer(lado, dudosas, sobrantes, cuenta, cercanas[lado], bytes))
                return *fin;
        if (auto fin = SinParejaPorValor(cuenta, cercanas, bytes))
            return *fin;
        std::vector<const Fila*> x, y;
        for (const Fila& f : cercanas[0]) x.push_back(&f);
        for (const Fila& f : cercanas[1]) y.push_back(&f);
        return {Emparejar(x, y).Vacio() ? Desenlace::Iguales : Desenlace::Distintas, {}};
    }

    // Reads side `lado` again (from its kept rows when there are): rows of doubtful fingerprints
    // counted by value (the solution's up, the answer's down), rows of surplus ones kept in
    // `cercanas`. The failure that ends the check, if any.
    std::optional<Lectura> Releer(int lado, const std::vector<Huella>& dudosas,
                                  const std::vector<Huella>& sobrantes, Cuenta& cuenta,
                                  std::vector<Fila>& cercanas, std::size_t& bytes) {
        const std::string_view sql = lado == 0 ? solucion_ : respuesta_;
        const Desenlace falla = lado == 0 ? Desenlace::FallaSolucion : Desenlace::FallaRespuesta;
        const auto contar = [&](const auto& fila) {
            const Huella h = HuellaActual(fila);
            if (std::binary_search(sobrantes.begin(), sobrantes.end(), h)) {
                cercanas.push_back(FilaActual(fila));
                bytes += BytesFila(cercanas.back());
            } else if (std::binary_search(dudosas.begin(), dudosas.end(), h)) {
                auto [it, nueva] = cuenta.try_emplace(FilaActual(fila), 0);
                it->second += lado == 0 ? 1 : -1;
                if (nueva)
                    bytes += BytesFila(it->first);
            }
            return bytes <= limites_.maxBytes;
        };
        if (guardadas_.Completas()) {
            bool cabe = true;
            guardadas_.Recorrer(lado, desde_,
                                [&](const Fila& f) { cabe = cabe && contar(VistaFila{f}); });
            if (!cabe)
                return Lectura{falla, engine::MemoryLimitError(limites_, sql)};
            return std::nullopt;
        }
        auto r = Abrir(lado);
        if (!r)
            return Lectura{falla, error_};
        for (; !r->Eof(); r->MoveNext())
            if (r->RecordCount() > desde_ && !contar(*r))
                return Lectura{falla, engine::MemoryLimitError(limites_, sql)};
        if (r->Error().failed())
            return Lectura{falla, r->Error()};
        return std::nullopt;
    }

    // Rows counted apart may still differ only within the tolerance of numbers: those with a
    // number join their side's unpaired rows; one without decides that the results differ.
    std::optional<Lectura> SinParejaPorValor(const Cuenta& cuenta, std::vector<Fila> (&cercanas)[2],
                                             std::size_t& bytes) {
        for (const auto& [fila, n] : cuenta)
            for (std::int64_t k = 0; k < std::abs(n); ++k) {
                if (!fila.empty() && !std::any_of(fila.begin(), fila.end(),
                                                  [](const auto& v) { return v.isNumber(); }))
                    return Lectura{Desenlace::Distintas, {}};
                cercanas[n > 0 ? 0 : 1].push_back(fila);
                bytes += BytesFila(fila);
                if (bytes > limites_.maxBytes)
                    return Lectura{
                        n > 0 ? Desenlace::FallaSolucion : Desenlace::FallaRespuesta,
                        engine::MemoryLimitError(limites_, n > 0 ? solucion_ : respuesta_)};
            }
        return std::nullopt;
    }

    engine::Database& bd_;
    std::shared_ptr<engine::Database> respuestaBd_;  // the answer's, read ahead by a thread
    std::string_view solucion_, respuesta_;
    engine::Limits limites_;
    Guardadas guardadas_;
    engine::Error error_;
    std::size_t desde_ = 0;  // rows before the first difference
    std::optional<Huella> colision_;
    std::string sinOrden_[2];  // solution and answer without their outer order; empty: as given
};

ResultadoComprobacion Resultado(Veredicto v) {
    return {v, MensajeVeredicto(v), {}, Motivo::Ninguno};
}

// Nothing could be judged: the message names the cause.
ResultadoComprobacion SinJuicio(Veredicto v, engine::Error error, const engine::Limits& limites,
                                bool compilada) {
    ResultadoComprobacion r{v, {}, std::move(error), Motivo::Motor};
    r.motivo = MotivoDeError(r.error);
    r.mensaje = MensajeSinVeredicto(v, r.error, limites, compilada);
    return r;
}

// Whether the failure of `sql` came after the engine compiled it (while running).
bool Compilada(engine::Database& bd, const engine::Error& error, std::string_view sql) {
    const Motivo m = MotivoDeError(error);
    if (m != Motivo::Sintaxis && m != Motivo::Motor)
        return true;
    engine::Error e;
    return bd.Prepare(sql, e);
}

// Whether a statement holds nothing but blanks, comments and semicolons.
bool SentenciaVacia(std::string_view sql) {
    for (std::size_t i = 0; i < sql.size();) {
        const engine::SqlStretch tramo = engine::StretchAt(sql, i);
        const bool blanco =
            tramo.code() && std::string_view(" \t\r\n;").find(sql[i]) != std::string_view::npos;
        if (!blanco && tramo.kind != engine::SqlStretch::Kind::Comment)
            return false;
        i = tramo.end;
    }
    return true;
}

// The text after `prefijo` when the message starts with it.
std::optional<std::string> Tras(const std::string& mensaje, std::string_view prefijo) {
    if (mensaje.rfind(prefijo, 0) != 0)
        return std::nullopt;
    return mensaje.substr(prefijo.size());
}

std::string SinParentesis(std::string nombre) {
    if (nombre.size() >= 2 && nombre.compare(nombre.size() - 2, 2, "()") == 0)
        nombre.resize(nombre.size() - 2);
    return nombre;
}

// The engine's most frequent messages in the interface's language, with the name they cite.
std::string TraducirMensajeMotor(const std::string& m) {
    if (auto x = Tras(m, "no such table: "))
        return Texto(1134, *x);
    if (auto x = Tras(m, "no such column: "))
        return Texto(1135, *x);
    if (auto x = Tras(m, "near ");
        x && x->size() > 14 && x->compare(x->size() - 14, 14, ": syntax error") == 0)
        return Texto(1136, x->substr(0, x->size() - 14));
    if (m == "incomplete input")
        return Texto(1142);
    if (auto x = Tras(m, "unrecognized token: "))
        return Texto(1136, *x);
    if (auto x = Tras(m, "ambiguous column name: "))
        return Texto(1137, *x);
    if (auto x = Tras(m, "misuse of aggregate function "))
        return Texto(1138, SinParentesis(*x));
    if (auto x = Tras(m, "misuse of aggregate: "))
        return Texto(1138, SinParentesis(*x));
    if (auto x = Tras(m, "wrong number of arguments to function "))
        return Texto(1139, SinParentesis(*x));
    return m;
}

std::string Cifra(double valor) {
    char texto[32];
    std::snprintf(texto, sizeof texto, "%g", valor);
    std::string s = texto;
    for (char& c : s)
        if (c == '.')
            c = ',';
    return s;
}

}  // namespace

const char* CodigoVeredicto(Veredicto veredicto) {
    switch (veredicto) {
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

const char* CodigoMotivo(Motivo motivo) {
    switch (motivo) {
        case Motivo::Ninguno:
            return "";
        case Motivo::NoEsConsulta:
            return "not_a_query";
        case Motivo::LimiteTiempo:
            return "time_limit";
        case Motivo::LimiteMemoria:
            return "memory_limit";
        case Motivo::Sintaxis:
            return "syntax";
        case Motivo::Motor:
            return "engine";
        case Motivo::Vacia:
            return "empty";
    }
    return "";
}

namespace {

// A value, pattern or result too big: the engine's words or the text naming the value say
// which (a memory budget has a text of its own).
bool ValorDemasiadoGrande(const engine::Error& error) {
    return engine::OverMemory(error) && error.code != engine::Code::MemoryLimit &&
           error.code != engine::Code::EngineMemory;
}

}  // namespace

Motivo MotivoDeError(const engine::Error& error) {
    using engine::Code;
    switch (error.code) {
        case Code::None:
            return Motivo::Ninguno;
        case Code::Refused:
        case Code::SeveralStatements:
            return Motivo::NoEsConsulta;
        case Code::TimeLimit:
        case Code::Interrupted:
            return Motivo::LimiteTiempo;
        case Code::Empty:
            return Motivo::Vacia;
        case Code::Syntax:
            return Motivo::Sintaxis;
        default:
            return engine::OverMemory(error) ? Motivo::LimiteMemoria : Motivo::Motor;
    }
}

std::string ExplicarError(const engine::Error& error, const engine::Limits& limites) {
    switch (MotivoDeError(error)) {
        case Motivo::Ninguno:
            return {};
        case Motivo::NoEsConsulta:
            return Texto(error.code == engine::Code::SeveralStatements ? 1140 : 1130);
        case Motivo::LimiteTiempo:
            return Texto(1131, Cifra(double(limites.timeout.count()) / 1000.0));
        case Motivo::LimiteMemoria:
            // A value too big says which one, in the engine's words.
            if (ValorDemasiadoGrande(error))
                return TextoDeError(error);
            return Texto(1132, Cifra(double(limites.maxBytes >> 20)));
        case Motivo::Vacia:
            return Texto(1133);
        case Motivo::Sintaxis:
        case Motivo::Motor:
            break;
    }
    return TraducirMensajeMotor(TextoDeError(error));
}

std::string MensajeSinVeredicto(Veredicto veredicto, const engine::Error& error,
                                const engine::Limits& limites, bool compilada) {
    const bool respuesta = veredicto != Veredicto::SolucionInvalida;
    const std::string segundos = Cifra(double(limites.timeout.count()) / 1000.0);
    switch (MotivoDeError(error)) {
        case Motivo::Ninguno:
            return MensajeVeredicto(veredicto);
        case Motivo::NoEsConsulta:
            if (error.code == engine::Code::SeveralStatements)
                return Texto(respuesta ? 1140 : 2009);
            return Texto(respuesta ? 1130 : 2006);
        case Motivo::LimiteTiempo:
            return Texto(respuesta ? 2000 : 2003, segundos);
        case Motivo::LimiteMemoria:
            if (ValorDemasiadoGrande(error))
                return Texto(respuesta ? 2002 : 2005, TextoDeError(error));
            return Texto(respuesta ? 2001 : 2004, Cifra(double(limites.maxBytes >> 20)));
        case Motivo::Vacia:
            return Texto(respuesta ? 1133 : 2008);
        case Motivo::Sintaxis:
        case Motivo::Motor:
            break;
    }
    // Only a statement the engine could not compile is "wrong"; one that failed while
    // running says how.
    const std::string porque = TraducirMensajeMotor(TextoDeError(error));
    if (!compilada)
        return MensajeVeredicto(veredicto) + "\r\n" + porque;
    return Texto(respuesta ? 2002 : 2005, porque);
}

std::string MensajeVeredicto(Veredicto veredicto) {
    switch (veredicto) {
        case Veredicto::Correcto:
            return Texto(1118) + "\r\n" + Texto(1119);
        case Veredicto::Erroneo:
            return Texto(1120);
        case Veredicto::SolucionInvalida:
            return Texto(1116);
        case Veredicto::RespuestaInvalida:
            return Texto(1117);
        case Veredicto::CorrectoSoloAqui:
            return Texto(1800);
    }
    return {};
}

std::string ProblemaSolucion(engine::Database& usuario, std::string_view sql) {
    if (SentenciaVacia(sql))
        return Texto(1141);
    engine::Error error;
    if (usuario.Prepare(sql, error))
        return {};
    return ExplicarError(error, usuario.limits());
}

namespace prueba {
void BitsDeHuella(int bits) {
    bitsHuella = std::clamp(bits, 0, 128);
}
void OrdenLibre(bool activo) {
    ordenLibre = activo;
}
void GuardarFilas(bool activo) {
    guardarFilas = activo;
}
void DosHilos(std::optional<bool> activo) {
    dosHilos = activo;
}
}  // namespace prueba

ResultadoComprobacion ComprobarRespuesta(engine::Database& usuario, std::string_view solucion,
                                         std::string_view respuesta,
                                         std::optional<ResultadosLeidos>* leidos) {
    engine::Error error;
    const engine::Limits limites = usuario.limits();
    // Only a user database runs statements behind the guard; anything else could be written.
    if (usuario.kind() != engine::Database::Kind::User || !usuario.IsOpen()) {
        error = engine::Failure(engine::Code::NotUserDatabase);
        return SinJuicio(Veredicto::SolucionInvalida, error, limites, false);
    }
    const engine::Error vacia = engine::Failure(engine::Code::Empty);
    if (SentenciaVacia(solucion)) {
        ResultadoComprobacion r = SinJuicio(Veredicto::SolucionInvalida, vacia, limites, true);
        r.error = {};
        return r;
    }
    if (SentenciaVacia(respuesta)) {
        ResultadoComprobacion r = SinJuicio(Veredicto::RespuestaInvalida, vacia, limites, true);
        r.error = {};
        return r;
    }

    // One deadline for the whole check: a slow solution leaves less time to the answer.
    const auto limite = std::chrono::steady_clock::now() + limites.timeout;
    usuario.SetDeadline(limite);
    struct Liberar {
        engine::Database& bd;
        ~Liberar() { bd.ClearDeadline(); }
    } liberar{usuario};

    // Both are read side by side; a failure of the solution is reported before one of the
    // answer, whichever came first.
    Comparacion comparacion(usuario, solucion, respuesta);
    Lectura l = comparacion.Juzgar();
    switch (l.desenlace) {
        case Desenlace::FallaSolucion: {
            const bool compilada = Compilada(usuario, l.error, solucion);
            return SinJuicio(Veredicto::SolucionInvalida, std::move(l.error), limites, compilada);
        }
        case Desenlace::FallaRespuesta: {
            const bool compilada = Compilada(usuario, l.error, respuesta);
            return SinJuicio(Veredicto::RespuestaInvalida, std::move(l.error), limites, compilada);
        }
        case Desenlace::Iguales:
            return Resultado(Veredicto::Correcto);
        case Desenlace::Distintas:
            break;
    }
    if (leidos)
        *leidos = comparacion.Leidos();
    return Resultado(Veredicto::Erroneo);
}

}  // namespace veliora
