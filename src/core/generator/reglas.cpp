#include "core/generator/reglas.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cctype>
#include <cstdio>
#include <vector>

#include "core/engine/database.h"
#include "core/engine/sql_scanner.h"
#include "core/sql/piezas_sql.h"

namespace veliora::generador {

GrupoTipo GrupoDeTipo(int tipo) {
    namespace T = engine::TypeCode;
    switch (tipo) {
        case T::Byte:
        case T::Integer:
        case T::Long:
        case T::Currency:
        case T::Single:
        case T::Double:
        case T::BigInt:
        case T::Numeric:
        case T::Decimal:
        case T::Float:
            return GrupoTipo::Numerico;
        case T::Date:
        case T::Time:
        case T::TimeStamp:
            return GrupoTipo::Fecha;
        case T::Text:
        case T::Memo:
        case T::Char:
            return GrupoTipo::Texto;
        default:
            return GrupoTipo::Otro;
    }
}

std::string NombreAgregado(int codigo) {
    switch (codigo) {
        case Agregados::Count:
            return "Count";
        case Agregados::Max:
            return "Max";
        case Agregados::Min:
            return "Min";
        case Agregados::Sum:
            return "Sum";
        case Agregados::Avg:
            return "Avg";
        default:
            return "";
    }
}

std::string NombreOperador(int codigo) {
    static const char* const kTextos[] = {
        " = ", " > ", " < ", " >= ", " <= ", " <> ", " between ", " in "};
    if (codigo < Operadores::Igual || codigo > Operadores::En)
        return "";
    return kTextos[codigo];
}

std::string Corchetes(std::string_view nombre) {
    return "[" + std::string(nombre) + "]";
}

std::string LiteralTexto(std::string_view valor) {
    return engine::QuoteSql(valor, '\'');
}

std::string TextoEntreComillas(std::string_view valor) {
    return "'" + std::string(valor) + "'";
}

std::string LiteralFecha(std::string_view valor) {
    // d/m/yyyy with one or two digits for day and month.
    auto numero = [&](std::size_t& i, std::size_t minimo, std::size_t maximo, int& n) {
        std::size_t inicio = i;
        n = 0;
        while (i < valor.size() && i - inicio < maximo &&
               std::isdigit(static_cast<unsigned char>(valor[i])))
            n = n * 10 + (valor[i++] - '0');
        return i - inicio >= minimo;
    };
    std::size_t i = 0;
    int dia = 0, mes = 0, anio = 0;
    bool ok = numero(i, 1, 2, dia) && i < valor.size() && valor[i++] == '/' &&
              numero(i, 1, 2, mes) && i < valor.size() && valor[i++] == '/' &&
              numero(i, 4, 4, anio) && (i == valor.size() || valor[i] == ' ');
    if (!ok)
        return "#" + std::string(valor) + "#";
    // A time of day stays: without it the literal would match no row of a date-time value.
    int hora = 0, minuto = 0, segundo = 0;
    std::size_t j = i + 1;
    const bool conHora =
        i < valor.size() && numero(j, 1, 2, hora) && j < valor.size() && valor[j++] == ':' &&
        numero(j, 2, 2, minuto) &&
        (j == valor.size() || (valor[j++] == ':' && numero(j, 2, 2, segundo) && j == valor.size()));
    char texto[32];
    if (conHora && (hora != 0 || minuto != 0 || segundo != 0))
        std::snprintf(texto, sizeof texto, "#%02d/%02d/%04d %02d:%02d:%02d#", mes, dia, anio, hora,
                      minuto, segundo);
    else
        std::snprintf(texto, sizeof texto, "#%02d/%02d/%04d#", mes, dia, anio);
    return texto;
}

std::string LiteralNumero(std::string_view valor) {
    std::string s(valor);
    for (char& c : s)
        if (c == ',')
            c = '.';
    return s;
}

std::string LiteralDeValor(int tipo, const engine::Value& valor, std::string_view texto) {
    if (GrupoDeTipo(tipo) != GrupoTipo::Fecha)
        return LiteralPorTipo(tipo, texto);
    switch (valor.type) {
        case engine::ValueType::Date: {
            // "yyyy-mm-dd" and "yyyy-mm-dd hh:mm:ss" as stored.
            const std::string& t = valor.text;
            return "#" + t.substr(5, 2) + "/" + t.substr(8, 2) + "/" + t.substr(0, 4) +
                   t.substr(10) + "#";
        }
        case engine::ValueType::Text:
            return LiteralTexto(valor.text);
        case engine::ValueType::Integer:
        case engine::ValueType::Real:
            return valor.toPlainText();
        default:
            return LiteralPorTipo(tipo, texto);
    }
}

std::string LiteralPorTipo(int tipo, std::string_view valor) {
    switch (GrupoDeTipo(tipo)) {
        case GrupoTipo::Numerico:
            return LiteralNumero(valor);
        case GrupoTipo::Fecha:
            return LiteralFecha(valor);
        case GrupoTipo::Texto:
            return LiteralTexto(valor);
        case GrupoTipo::Otro:
            break;
    }
    return std::string(valor);
}

std::string QuitarCorchetes(std::string_view texto) {
    std::string s;
    s.reserve(texto.size());
    for (char c : texto)
        if (c != '[' && c != ']')
            s += c;
    return s;
}

namespace {

bool IdentificadorSimple(std::string_view nombre) {
    if (nombre.empty())
        return false;
    const auto* p = reinterpret_cast<const uint8_t*>(nombre.data());
    int32_t i = 0, n = int32_t(nombre.size());
    bool primero = true;
    while (i < n) {
        UChar32 c;
        U8_NEXT(p, i, n, c);
        if (c < 0)
            return false;
        bool valido = c == '_' || u_isalpha(c) || (!primero && u_isdigit(c));
        if (!valido)
            return false;
        primero = false;
    }
    return true;
}

bool CaracterDeNombre(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
           (static_cast<unsigned char>(c) & 0x80);
}

}  // namespace

bool CorchetesPrescindibles(std::string_view sql) {
    for (engine::SqlScanner lector(sql); !lector.Done(); lector.Next()) {
        const engine::SqlStretch& tramo = lector.Stretch();
        const std::string_view texto = tramo.text(sql);
        switch (tramo.kind) {
            case engine::SqlStretch::Kind::Quoted:
                if (texto.find_first_of("[]") != std::string_view::npos)
                    return false;
                break;
            case engine::SqlStretch::Kind::Bracketed:
                if (!tramo.closed || !IdentificadorSimple(engine::StretchContent(sql, tramo)))
                    return false;
                break;
            case engine::SqlStretch::Kind::Code:
                if (lector.Char() == ']')
                    return false;
                break;
            case engine::SqlStretch::Kind::Comment:
                break;
        }
    }
    return true;
}

namespace {

// The statement cut at its outer level: select list, group-by list.
struct Partes {
    std::vector<std::string> seleccion;
    std::vector<std::string> grupo;
    bool tieneGrupo = false;
};

// Whether the piece is the bare keyword `palabra` (never a name between quotes or brackets).
bool EsClave(const std::vector<Pieza>& ps, std::size_t i, std::string_view palabra) {
    return i < ps.size() && !ps[i].citado && EsPalabra(ps[i], palabra);
}

// The items of the pieces `lista`, split at its top-level commas, each as its text.
std::vector<std::string> Dividir(std::string_view s, const std::vector<Pieza>& ps, Tramo lista) {
    std::vector<std::string> partes;
    auto texto = [&](std::size_t desde, std::size_t hasta) {
        return desde >= hasta
                   ? std::string()
                   : std::string(s.substr(ps[desde].inicio, ps[hasta - 1].fin - ps[desde].inicio));
    };
    std::size_t desde = lista.desde;
    for (std::size_t i = lista.desde; i < lista.hasta; ++i) {
        if (ps[i].nivel == 0 && ps[i].tipo == Pieza::Tipo::Simbolo && ps[i].valor == ",") {
            partes.push_back(texto(desde, i));
            desde = i + 1;
        }
    }
    partes.push_back(texto(desde, lista.hasta));
    return partes;
}

// The select list runs to the first top-level FROM; the group-by list from the first GROUP
// after it to HAVING, ORDER or LIMIT.
const LecturaClausula kFinDeSeleccion{{"from"}};
const LecturaClausula kFinDeGrupo{{"having", "order", "limit"}};

Partes Cortar(std::string_view s) {
    Partes p;
    const std::vector<Pieza> ps = Trocear(s);
    const auto select = BuscarClausula(ps, "select", kFinDeSeleccion);
    if (!select)
        return p;
    Tramo lista{select->desde + 1, select->hasta};
    // "distinct" or "all" before the list.
    if (EsClave(ps, lista.desde, "distinct") || EsClave(ps, lista.desde, "all"))
        lista.desde = std::min(lista.desde + 1, lista.hasta);
    p.seleccion = Dividir(s, ps, lista);
    const auto grupo = select->hasta < ps.size()
                           ? BuscarClausula(ps, "group", kFinDeGrupo, select->hasta)
                           : std::nullopt;
    if (grupo) {
        Tramo items{grupo->desde + 1, grupo->hasta};
        if (EsClave(ps, items.desde, "by") && items.desde < items.hasta)
            ++items.desde;
        p.tieneGrupo = true;
        p.grupo = Dividir(s, ps, items);
    }
    return p;
}

// Lower case, no blanks, no brackets outside quotes.
std::string Normalizar(std::string_view s) {
    std::string out;
    for (engine::SqlScanner lector(s); !lector.Done(); lector.Next()) {
        const std::string_view texto = lector.Stretch().text(s);
        if (lector.Stretch().kind == engine::SqlStretch::Kind::Quoted) {
            out.append(texto);
            continue;
        }
        for (char c : texto)
            if (c != '[' && c != ']' && !std::isspace(static_cast<unsigned char>(c)))
                out += c;
    }
    return engine::LowerText(out);
}

bool EsAgregado(const std::string& n) {
    for (std::string_view nombre : {"count(", "max(", "min(", "sum(", "avg("}) {
        if (n.compare(0, nombre.size(), nombre) != 0)
            continue;
        // The parenthesis opened after the name must close at the very end.
        for (engine::SqlScanner lector(n); !lector.Done(); lector.Next())
            if (lector.Stretch().code() && lector.Char() == ')' && lector.Depth() == 0)
                return lector.Stretch().end == n.size();
        return false;
    }
    return false;
}

// Whether an aggregate call appears anywhere in the item.
bool ContieneAgregado(const std::string& n) {
    for (std::string_view nombre : {"count(", "max(", "min(", "sum(", "avg("}) {
        for (std::size_t p = n.find(nombre); p != std::string::npos; p = n.find(nombre, p + 1))
            if (p == 0 || !CaracterDeNombre(n[p - 1]))
                return true;
    }
    return false;
}

bool EsConstante(const std::string& n) {
    return !n.empty() &&
           (n[0] == '\'' || std::isdigit(static_cast<unsigned char>(n[0])) || n == "null");
}

}  // namespace

bool AgrupacionCorrecta(std::string_view sql) {
    Partes p = Cortar(sql);
    std::vector<std::string> seleccion, grupo;
    bool agregada = p.tieneGrupo;
    for (const auto& item : p.seleccion) {
        seleccion.push_back(Normalizar(item));
        if (ContieneAgregado(seleccion.back()))
            agregada = true;
    }
    if (!agregada)
        return true;
    for (const auto& item : p.grupo) grupo.push_back(Normalizar(item));
    for (const auto& n : seleccion) {
        if (EsAgregado(n) || EsConstante(n))
            continue;
        bool agrupada = false;
        for (const auto& g : grupo)
            if (g == n)
                agrupada = true;
        if (!agrupada)
            return false;
    }
    return true;
}

}  // namespace veliora::generador
