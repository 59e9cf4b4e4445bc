#include "core/bulletins/mantenimiento.h"

#include <algorithm>

#include "core/base/textos.h"
#include "core/bulletins/encriptar.h"

namespace veliora {

using engine::Value;

namespace {

Value Nombre(std::string_view nombre) {
    return Value::Text(std::string(nombre));
}

// A number outside the range never reaches a statement.
bool NumeroValido(int numero, engine::Error& error) {
    if (numero >= 1 && numero <= kMaxNumPregunta)
        return true;
    error = engine::FailureWith(engine::Code::NumberOutOfRange, numero);
    return false;
}

// Both texts scrambled, or nothing (with the reason) when one cannot be stored.
bool Cifrar(std::string_view pregunta, std::string_view respuesta, std::string& preguntaCifrada,
            std::string& respuestaCifrada, engine::Error& error) {
    std::string caracter;
    auto p = Encriptar(pregunta, kClaveRespuestas, &caracter);
    auto r = p ? Encriptar(respuesta, kClaveRespuestas, &caracter) : std::nullopt;
    if (!p || !r) {
        error = engine::Failure(engine::Code::TextNotStorable, caracter);
        return false;
    }
    preguntaCifrada = std::move(*p);
    respuestaCifrada = std::move(*r);
    return true;
}

// Runs a statement that must touch the one line `numero`; no line touched is an error.
bool EnUnaLinea(engine::Database& auxiliar, int numero, engine::Error& error, std::string_view sql,
                const std::vector<Value>& parametros) {
    if (!auxiliar.Execute(sql, error, parametros) || error.failed())
        return false;
    if (auxiliar.Changes() == 0) {
        error = engine::FailureWith(engine::Code::NoSuchLine, numero);
        return false;
    }
    return true;
}

}  // namespace

std::optional<int> NumeroPregunta(std::string_view texto) {
    if (texto.empty() || texto.size() > 7)
        return std::nullopt;
    int numero = 0;
    for (char c : texto) {
        if (c < '0' || c > '9')
            return std::nullopt;
        numero = numero * 10 + (c - '0');
    }
    if (numero < 1 || numero > kMaxNumPregunta)
        return std::nullopt;
    return numero;
}

bool NombreBoletinValido(std::string_view nombre) {
    return std::any_of(nombre.begin(), nombre.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b > 0x20 && b != 0x7F;
    });
}

std::vector<ResumenBoletin> ResumenBoletines(engine::Database& auxiliar, engine::Error& error) {
    error.clear();
    std::vector<ResumenBoletin> resumen;
    auto rs = auxiliar.OpenRecordset(
        "Select c.Nombre, (Select count(*) from LBoletines l where l.NombreBoletin = c.Nombre) "
        "from CabBoletines c order by c.Nombre",
        error);
    if (!rs || error.failed())
        return resumen;
    for (; !rs->Eof(); rs->MoveNext())
        resumen.push_back({rs->Field(0).toPlainText(), int(rs->Field(1).toInt())});
    if (rs->Error().failed())
        error = rs->Error();
    return resumen;
}

bool ExisteBoletin(engine::Database& auxiliar, std::string_view nombre, engine::Error& error) {
    error.clear();
    Value v = auxiliar.Scalar("Select count(*) from CabBoletines where Nombre = ?", error,
                              {Nombre(nombre)});
    return !error.failed() && v.toInt() > 0;
}

bool CrearBoletin(engine::Database& auxiliar, std::string_view nombre, engine::Error& error) {
    error.clear();
    if (!NombreBoletinValido(nombre)) {
        error = engine::Failure(engine::Code::BadBulletinName);
        return false;
    }
    return auxiliar.Execute("Insert into CabBoletines (Nombre) values(?)", error,
                            {Nombre(nombre)}) &&
           !error.failed();
}

bool EliminarBoletin(engine::Database& auxiliar, std::string_view nombre, engine::Error& error,
                     PasoEliminacion* fallido) {
    error.clear();
    auto fallo = [&](PasoEliminacion paso) {
        auxiliar.Rollback();
        if (fallido)
            *fallido = paso;
        return false;
    };
    if (fallido)
        *fallido = PasoEliminacion::Ninguno;
    if (!auxiliar.BeginTransaction(error))
        return fallo(PasoEliminacion::Cabecera);
    if (!auxiliar.Execute("Delete from CabBoletines Where Nombre = ?", error, {Nombre(nombre)}) ||
        error.failed())
        return fallo(PasoEliminacion::Cabecera);
    if (!auxiliar.Execute("Delete from LBoletines Where NombreBoletin = ?", error,
                          {Nombre(nombre)}) ||
        error.failed() || !auxiliar.Commit(error))
        return fallo(PasoEliminacion::Lineas);
    return true;
}

int SiguienteNumero(engine::Database& auxiliar, std::string_view nombre, engine::Error& error) {
    error.clear();
    Value maximo = auxiliar.Scalar(
        "Select max(NumPregunta) from LBoletines where NombreBoletin = ?", error, {Nombre(nombre)});
    if (error.failed())
        return 0;
    return int(maximo.toInt()) + 1;  // a null maximum reads as 0
}

bool ExistePregunta(engine::Database& auxiliar, std::string_view nombre, int numero,
                    engine::Error& error) {
    error.clear();
    Value v = auxiliar.Scalar(
        "Select count(*) from LBoletines where NombreBoletin = ? and NumPregunta = ?", error,
        {Nombre(nombre), Value::Int(numero)});
    return !error.failed() && v.toInt() > 0;
}

bool InsertarLinea(engine::Database& auxiliar, std::string_view nombre, int numero,
                   std::string_view pregunta, std::string_view respuesta, engine::Error& error) {
    error.clear();
    std::string p, r;
    if (!NumeroValido(numero, error) || !Cifrar(pregunta, respuesta, p, r, error))
        return false;
    return auxiliar.Execute(
               "Insert into LBoletines (NombreBoletin, NumPregunta, Pregunta, Respuesta) "
               "values (?, ?, ?, ?)",
               error,
               {Nombre(nombre), Value::Int(numero), Value::Blob(std::move(p)),
                Value::Blob(std::move(r))}) &&
           !error.failed();
}

bool ModificarLinea(engine::Database& auxiliar, std::string_view nombre, int numero,
                    std::string_view pregunta, std::string_view respuesta, engine::Error& error) {
    error.clear();
    std::string p, r;
    if (!NumeroValido(numero, error) || !Cifrar(pregunta, respuesta, p, r, error))
        return false;
    return EnUnaLinea(
        auxiliar, numero, error,
        "Update LBoletines set Pregunta = ?, Respuesta = ? "
        "where NombreBoletin = ? and NumPregunta = ?",
        {Value::Blob(std::move(p)), Value::Blob(std::move(r)), Nombre(nombre), Value::Int(numero)});
}

bool EliminarLinea(engine::Database& auxiliar, std::string_view nombre, int numero,
                   engine::Error& error) {
    error.clear();
    return EnUnaLinea(auxiliar, numero, error,
                      "Delete from LBoletines Where NombreBoletin = ? and NumPregunta = ?",
                      {Nombre(nombre), Value::Int(numero)});
}

// ---------------------------------------------------------------- CursorLineas

const LineaBoletin* CursorLineas::Actual() const {
    if (sinActual_ || Bof() || Eof())
        return nullptr;
    return &lineas_[std::size_t(pos_)];
}

void CursorLineas::Ir(long pos) {
    pos_ = std::clamp(pos, -1L, long(lineas_.size()));
    sinActual_ = false;
}

void CursorLineas::MoveNext() {
    if (pos_ >= long(lineas_.size()))
        return;
    Ir(sinActual_ ? pos_ : pos_ + 1);
}

void CursorLineas::MovePrevious() {
    if (pos_ < 0)
        return;
    Ir(pos_ - 1);
}

bool CursorLineas::Buscar(int numero) {
    for (std::size_t i = 0; i < lineas_.size(); ++i) {
        if (lineas_[i].NumPregunta == numero) {
            Ir(long(i));
            return true;
        }
    }
    return false;
}

void CursorLineas::Insertada(LineaBoletin linea) {
    // Kept in number order, so that next and previous walk the numbers; the position stays
    // on the line it was on.
    auto donde =
        std::lower_bound(lineas_.begin(), lineas_.end(), linea.NumPregunta,
                         [](const LineaBoletin& l, int numero) { return l.NumPregunta < numero; });
    const long indice = long(donde - lineas_.begin());
    lineas_.insert(donde, std::move(linea));
    if (indice < pos_ || (indice == pos_ && !sinActual_))
        ++pos_;
}

void CursorLineas::Modificada(int numero, std::string pregunta, std::string respuesta) {
    for (auto& l : lineas_) {
        if (l.NumPregunta == numero) {
            l.Pregunta = std::move(pregunta);
            l.Respuesta = std::move(respuesta);
        }
    }
}

void CursorLineas::Eliminada(int numero) {
    for (std::size_t i = 0; i < lineas_.size(); ++i) {
        if (lineas_[i].NumPregunta != numero)
            continue;
        lineas_.erase(lineas_.begin() + long(i));
        if (long(i) < pos_) {
            --pos_;
        } else if (long(i) == pos_) {
            sinActual_ = true;  // the following line now sits at pos_
        }
        return;
    }
}

}  // namespace veliora
