#include "core/practice/sql_estandar.h"

#include <cctype>
#include <map>

#include "core/engine/database.h"
#include "core/engine/sql_scanner.h"

namespace veliora {

namespace {

using engine::SqlStretch;

bool CaracterDeNombre(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
           (static_cast<unsigned char>(c) & 0x80);
}

struct Nombres {
    std::map<std::string, std::string> escritura;  // lower case -> as in the database
    std::map<std::string, bool> siNo;              // lower case field name -> yes/no type
};

Nombres LeerNombres(const VistaEsquema& vista) {
    Nombres n;
    for (const TablaVista& t : vista.Tablas) {
        n.escritura.emplace(engine::LowerText(t.Nombre), t.Nombre);
        for (const CampoVista& c : t.Campos) {
            const std::string clave = engine::LowerText(c.Nombre);
            n.escritura.emplace(clave, c.Nombre);
            if (engine::TypeCodeFromDeclared(c.Tipo) == engine::TypeCode::Boolean)
                n.siNo[clave] = true;
        }
    }
    return n;
}

// Walks the statement, writing it anew.
class Reescritura {
  public:
    Reescritura(std::string_view sql, const Nombres& nombres) : sql_(sql), nombres_(nombres) {}

    std::string Hacer() {
        for (engine::SqlScanner lector(sql_); !lector.Done();) {
            const SqlStretch& tramo = lector.Stretch();
            if (tramo.kind == SqlStretch::Kind::Bracketed ||
                (tramo.kind == SqlStretch::Kind::Quoted && lector.Char() != '\'')) {
                Nombre(engine::StretchContent(sql_, tramo));
                lector.Next();
            } else if (tramo.code() && CaracterDeNombre(lector.Char())) {
                std::size_t fin = tramo.begin;
                while (fin < sql_.size() && CaracterDeNombre(sql_[fin])) ++fin;
                Palabra(sql_.substr(tramo.begin, fin - tramo.begin), fin);
                lector.SkipTo(fin);
            } else {
                Copiar(tramo.text(sql_));
                lector.Next();
            }
        }
        return out_;
    }

  private:
    void Copiar(std::string_view texto) {
        out_.append(texto);
        if (!texto.empty() && !std::isspace(static_cast<unsigned char>(texto.front())) &&
            texto != ".")
            ultimoSiNo_ = ultimoSiNo_ && texto.size() == 1 &&
                          std::string_view("=<>-").find(texto.front()) != std::string_view::npos;
    }

    void Nombre(const std::string& nombre) {
        const std::string clave = engine::LowerText(nombre);
        const auto it = nombres_.escritura.find(clave);
        out_ += engine::QuoteSql(it == nombres_.escritura.end() ? nombre : it->second, '"');
        ultimoSiNo_ = nombres_.siNo.count(clave) != 0;
    }

    void Palabra(std::string_view palabra, std::size_t fin) {
        const bool numero = std::isdigit(static_cast<unsigned char>(palabra.front()));
        if (numero && ultimoSiNo_ && EsEntero(palabra)) {
            // A yes/no field compared with 0 or 1: a boolean column elsewhere.
            const bool negativo = !out_.empty() && out_.back() == '-';
            if (negativo)
                out_.pop_back();
            out_ += palabra.find_first_not_of('0') == std::string_view::npos ? "false" : "true";
            ultimoSiNo_ = false;
            return;
        }
        std::size_t siguiente = fin;
        while (siguiente < sql_.size() && std::isspace(static_cast<unsigned char>(sql_[siguiente])))
            ++siguiente;
        const bool funcion = siguiente < sql_.size() && sql_[siguiente] == '(';
        const std::string clave = engine::LowerText(palabra);
        if (!numero && !funcion && !PalabraReservada(palabra) && nombres_.escritura.count(clave)) {
            Nombre(std::string(palabra));
            return;
        }
        out_.append(palabra);
        ultimoSiNo_ = false;
    }

    static bool EsEntero(std::string_view palabra) {
        for (char c : palabra)
            if (!std::isdigit(static_cast<unsigned char>(c)))
                return false;
        return true;
    }

    std::string_view sql_;
    const Nombres& nombres_;
    std::string out_;
    bool ultimoSiNo_ = false;  // a yes/no field, then only a comparison so far
};

}  // namespace

std::string SqlEstandar(std::string_view sql, const VistaEsquema& vista) {
    const std::string fechas = engine::PortableDates(sql);
    const Nombres nombres = LeerNombres(vista);
    return Reescritura(fechas, nombres).Hacer();
}

}  // namespace veliora
