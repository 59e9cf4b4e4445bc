#include "core/practice/valores_prueba.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/sql/piezas_sql.h"

namespace veliora {

namespace {

using engine::Value;
namespace TC = engine::TypeCode;

// The number in parentheses after a declared type: "VARCHAR(30)" gives 30, "DECIMAL(10,2)"
// gives 10 and `segundo` 2.
int Parentesis(std::string_view tipo, int* segundo = nullptr) {
    const auto p = tipo.find('(');
    if (p == std::string_view::npos)
        return -1;
    char* fin = nullptr;
    const std::string resto(tipo.substr(p + 1));
    const long n = std::strtol(resto.c_str(), &fin, 10);
    if (segundo && fin && *fin == ',')
        *segundo = int(std::strtol(fin + 1, nullptr, 10));
    return fin == resto.c_str() ? -1 : int(n);
}

bool TieneHora(const Value& v) {
    return v.text.size() == 19 && v.text[10] == ' ';
}

// A year, a month of a year, a day, or a moment a text names ("2009", "2009-03%",
// "2009-03-15", "2009-03-15 10:00:00"); wildcards at its ends are left out.
struct Fecha {
    int anio = 0, mes = 0, dia = 0;
    std::string momento;  // the whole "yyyy-mm-dd hh:nn:ss" when one is named
};
bool LeerFecha(std::string t, Fecha& f) {
    while (!t.empty() && (t.back() == '%' || t.back() == '_')) t.pop_back();
    while (!t.empty() && t.front() == '%') t.erase(0, 1);
    int y = 0, m = 0, d = 0, n = 0;
    if (t.size() == 4 && std::sscanf(t.c_str(), "%4d%n", &y, &n) == 1 && n == 4) {
        f = {y, 0, 0, {}};
    } else if (t.size() == 7 && std::sscanf(t.c_str(), "%4d-%2d%n", &y, &m, &n) == 2 && n == 7) {
        f = {y, m, 0, {}};
    } else if (t.size() >= 10 && std::sscanf(t.c_str(), "%4d-%2d-%2d%n", &y, &m, &d, &n) == 3 &&
               n == 10) {
        f = {y, m, d, t.size() == 19 ? t : std::string()};
    } else {
        return false;
    }
    return y >= 1000 && y <= 9999 && m >= 0 && m <= 12 && d >= 0 && d <= 31;
}

std::string Dia(int y, int m, int d) {
    char texto[16];
    std::snprintf(texto, sizeof texto, "%04d-%02d-%02d", y, m, d);
    return texto;
}

int UltimoDia(int y, int m) {
    using namespace std::chrono;
    return int(unsigned(year_month_day_last(year{y}, month_day_last(month{unsigned(m)})).day()));
}

// Days near what a literal names, the inside ones first: the middle of a year or a month,
// then its first and last days and the days just outside.
std::vector<std::string> DiasDe(const Fecha& f) {
    if (f.dia)
        return {Dia(f.anio, f.mes, f.dia), MoverFecha(Dia(f.anio, f.mes, f.dia), -1),
                MoverFecha(Dia(f.anio, f.mes, f.dia), 1)};
    if (f.mes) {
        const std::string primero = Dia(f.anio, f.mes, 1);
        const std::string ultimo = Dia(f.anio, f.mes, UltimoDia(f.anio, f.mes));
        return {Dia(f.anio, f.mes, 15), primero, ultimo, MoverFecha(primero, -1),
                MoverFecha(ultimo, 1)};
    }
    return {Dia(f.anio, 6, 15), Dia(f.anio, 1, 1), Dia(f.anio, 12, 31), Dia(f.anio - 1, 12, 31),
            Dia(f.anio + 1, 1, 1)};
}

void Anadir(std::vector<Value>& vs, Value v, const Dominio& d) {
    if (!d.Admite(v))
        return;
    for (const Value& x : vs)
        if (x.type == v.type && engine::SameValue(x, v))
            return;
    vs.push_back(std::move(v));
}

Value Numero(double n, const Dominio& d) {
    if (d.clase == Dominio::Clase::Entero || d.clase == Dominio::Clase::SiNo)
        return Value::Int(std::int64_t(n));
    if (d.escala >= 0)
        n = std::round(n * std::pow(10.0, d.escala)) / std::pow(10.0, d.escala);
    return n == std::floor(n) && std::abs(n) < 1e15 ? Value::Int(std::int64_t(n))
                                                    : Value::Double(n);
}

void Numeros(const Dominio& d, const Literales& l, const std::vector<Value>& muestra,
             ValoresColumna& vs) {
    auto anadir = [&](std::vector<Value>& a, double n) {
        if (d.clase == Dominio::Clase::Entero || d.clase == Dominio::Clase::SiNo) {
            if (n != std::floor(n))
                return;
        } else if (d.escala >= 0) {
            const double k = n * std::pow(10.0, d.escala);
            if (std::abs(k - std::round(k)) > 1e-6)
                return;
        }
        Anadir(a, Numero(n, d), d);
    };
    for (double n : l.numeros)
        for (double x : {n, n + 0.5, n - 1, n + 1, n - 0.01, n + 0.01}) anadir(vs.cercanos, x);
    // Values other than 1, a zero, a negative one, cents where one side rounds.
    for (double x : {2.0, 0.0, -1.0, 3.0, 0.5, 2.25, 1.0}) anadir(vs.otros, x);
    for (const Value& v : muestra)
        if (v.isNumber())
            for (double x : {v.number() + 1, v.number() * 2, v.number() + 0.01, v.number() + 0.001,
                             std::round(v.number()), -v.number()})
                anadir(vs.otros, x);
}

void Fechas(const Dominio& d, const Literales& l, const std::vector<Value>& muestra,
            ValoresColumna& vs) {
    std::vector<std::string> dias, momentos;
    auto fecha = [&](const Fecha& f) {
        if (!f.momento.empty()) {
            for (int s : {0, -1, 1}) momentos.push_back(MoverFecha(f.momento, 0, s));
            return;
        }
        for (const std::string& dia : DiasDe(f)) dias.push_back(dia);
    };
    for (const std::string& t : l.textos)
        if (Fecha f; LeerFecha(t, f))
            fecha(f);
    // Years compared as numbers (strftime('%Y', x) + 0 = 2009).
    for (double n : l.numeros)
        if (n == std::floor(n) && n >= 1900 && n <= 2100)
            fecha({int(n), 0, 0, {}});
    for (const std::string& m : momentos)
        if (!m.empty())
            Anadir(vs.cercanos, Value::Text(m), d);
    for (const std::string& dia : dias) {
        if (d.conHora) {
            // A moment inside the day first; then the first and the last of it.
            for (const char* hora : {" 10:00:00", " 00:00:00", " 23:59:59"})
                Anadir(vs.cercanos, Value::Text(dia + hora), d);
        } else {
            Anadir(vs.cercanos, Value::Text(dia), d);
        }
    }
    for (const Value& v : muestra)
        if (!v.isNull() && !v.text.empty())
            for (int dias : {1, -1}) Anadir(vs.otros, Value::Text(MoverFecha(v.text, dias)), d);
}

void Textos(const Dominio& d, const Literales& l, const std::vector<Value>& muestra,
            ValoresColumna& vs) {
    for (const std::string& t : l.textos) {
        if (Fecha f; LeerFecha(t, f))
            continue;
        const bool patron = t.find_first_of("%_") != std::string::npos;
        std::string llano, conX, sinComodines, masLargo;
        for (char c : t) {
            llano += c == '%' ? std::string() : c == '_' ? std::string("x") : std::string(1, c);
            conX += c == '%' || c == '_' ? 'x' : c;
            if (c != '%' && c != '_')
                sinComodines += c;
            masLargo += c == '%' ? std::string() : c == '_' ? std::string("xy") : std::string(1, c);
        }
        // What a pattern matches, and texts just beside it: a character more or less, one
        // before or after.
        std::vector<std::string> cerca;
        if (patron)
            cerca = {llano, conX, sinComodines, masLargo, "x" + llano, llano + "x"};
        else
            cerca = {t, t + "x", "x" + t, engine::UpperText(t)};
        if (llano.size() > 1)
            cerca.push_back(llano.substr(0, llano.size() - 1));
        for (const std::string& c : cerca) Anadir(vs.cercanos, Value::Text(c), d);
    }
    for (const Value& v : muestra)
        if (v.type == engine::ValueType::Text && !v.text.empty())
            Anadir(vs.otros, Value::Text(v.text + "x"), d);
}

}  // namespace

std::string MoverFecha(const std::string& iso, int dias, int segundos) {
    using namespace std::chrono;
    if (iso.size() < 10 || iso[4] != '-' || iso[7] != '-')
        return {};
    int a = 0, m = 0, d = 0, h = 0, n = 0, sg = 0;
    if (std::sscanf(iso.c_str(), "%4d-%2d-%2d", &a, &m, &d) != 3)
        return {};
    const year_month_day ymd{year{a}, month{unsigned(m)}, day{unsigned(d)}};
    if (!ymd.ok())
        return {};
    if (segundos == 0) {
        const year_month_day nuevo{sys_days{ymd} + days{dias}};
        char texto[16];
        std::snprintf(texto, sizeof texto, "%04d-%02u-%02u", int(nuevo.year()),
                      unsigned(nuevo.month()), unsigned(nuevo.day()));
        return texto + iso.substr(10);
    }
    if (iso.size() != 19 || std::sscanf(iso.c_str() + 10, " %2d:%2d:%2d", &h, &n, &sg) != 3 ||
        h > 23 || n > 59 || sg > 59)
        return {};
    const sys_seconds t = sys_days{ymd} + hours{h} + minutes{n} + seconds{sg + segundos};
    const auto dia = floor<days>(t);
    const year_month_day f{dia};
    const hh_mm_ss<seconds> hora{t - dia};
    char texto[24];
    std::snprintf(texto, sizeof texto, "%04d-%02u-%02u %02d:%02d:%02d", int(f.year()),
                  unsigned(f.month()), unsigned(f.day()), int(hora.hours().count()),
                  int(hora.minutes().count()), int(hora.seconds().count()));
    return texto;
}

Dominio Dominio::De(const engine::FieldDef& campo, const std::vector<Value>& muestra) {
    Dominio d;
    const std::string tipo = engine::UpperText(campo.DeclaredType);
    switch (campo.Type) {
        case TC::Boolean:
            d.clase = Clase::SiNo;
            break;
        case TC::Byte:
        case TC::Integer:
        case TC::Long:
        case TC::BigInt:
            d.clase = Clase::Entero;
            break;
        case TC::Currency:
            d.clase = Clase::Numero;
            d.escala = 4;
            break;
        case TC::Numeric:
        case TC::Decimal: {
            d.clase = Clase::Numero;
            int escala = -1;
            if (Parentesis(tipo, &escala) >= 0)
                d.escala = std::max(escala, 0);
            break;
        }
        case TC::Single:
        case TC::Double:
        case TC::Float:
            d.clase = Clase::Numero;
            break;
        case TC::Date:
        case TC::TimeStamp:
            d.clase = Clase::Fecha;
            d.conHora = tipo.find("TIME") != std::string::npos ||
                        std::any_of(muestra.begin(), muestra.end(), TieneHora);
            break;
        case TC::Text:
        case TC::Memo:
        case TC::Char:
            d.clase = Clase::Texto;
            d.longitud = Parentesis(tipo);
            break;
        default:
            break;
    }
    return d;
}

bool Dominio::Admite(const Value& v) const {
    switch (clase) {
        case Clase::SiNo:
            return v.type == engine::ValueType::Integer && (v.integer == 0 || v.integer == 1);
        case Clase::Entero:
            return v.type == engine::ValueType::Integer;
        case Clase::Numero:
            return v.isNumber();
        case Clase::Fecha:
            return v.type == engine::ValueType::Text &&
                   (v.text.size() == 10 || (conHora && TieneHora(v))) &&
                   !MoverFecha(v.text, 0).empty();
        case Clase::Texto: {
            if (v.type != engine::ValueType::Text)
                return false;
            // Characters, not bytes.
            long caracteres = 0;
            for (unsigned char c : v.text) caracteres += (c & 0xC0) != 0x80;
            return longitud < 0 || caracteres <= longitud;
        }
        case Clase::Otro:
            break;
    }
    return false;
}

Literales LeerLiterales(const std::vector<std::string_view>& sentencias) {
    Literales l;
    for (std::string_view sql : sentencias)
        for (const Pieza& p : Trocear(sql)) {
            if (p.tipo == Pieza::Tipo::Numero) {
                char* fin = nullptr;
                const double v = std::strtod(p.valor.c_str(), &fin);
                if (fin && *fin == '\0' &&
                    std::find(l.numeros.begin(), l.numeros.end(), v) == l.numeros.end())
                    l.numeros.push_back(v);
            } else if (p.tipo == Pieza::Tipo::Texto &&
                       std::find(l.textos.begin(), l.textos.end(), p.valor) == l.textos.end()) {
                l.textos.push_back(p.valor);
            }
        }
    return l;
}

ValoresColumna ValoresPara(const Dominio& dominio, const Literales& literales,
                           const std::vector<Value>& muestra) {
    ValoresColumna vs;
    if (dominio.Numerico())
        Numeros(dominio, literales, muestra, vs);
    else if (dominio.clase == Dominio::Clase::Fecha)
        Fechas(dominio, literales, muestra, vs);
    else if (dominio.clase == Dominio::Clase::Texto)
        Textos(dominio, literales, muestra, vs);
    return vs;
}

}  // namespace veliora
