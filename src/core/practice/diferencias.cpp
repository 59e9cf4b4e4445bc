#include "core/practice/diferencias.h"

#include <algorithm>
#include <chrono>
#include <numeric>

#include "core/base/textos.h"
#include "core/sql/igualdad.h"

namespace veliora {

namespace {

using Fila = std::vector<engine::Value>;

std::vector<Fila> Ordenadas(const engine::Recordset& rs, const std::vector<int>& orden = {}) {
    std::vector<Fila> filas;
    filas.reserve(rs.RecordCount());
    for (std::size_t i = 0; i < rs.RecordCount(); ++i) {
        if (orden.empty()) {
            filas.push_back(rs.Row(i));
        } else {
            Fila f;
            for (int c : orden) f.push_back(rs.Row(i)[std::size_t(c)]);
            filas.push_back(std::move(f));
        }
    }
    std::sort(filas.begin(), filas.end(), FilaMenor);
    return filas;
}

std::vector<const Fila*> Punteros(const std::vector<Fila>& filas) {
    std::vector<const Fila*> p;
    p.reserve(filas.size());
    for (const Fila& f : filas) p.push_back(&f);
    return p;
}

// Rows of each side without an equal row (MismaFila) on the other, in order, at most
// `maximo` of each.
std::pair<std::vector<Fila>, std::vector<Fila>> Exceso(const std::vector<Fila>& a,
                                                       const std::vector<Fila>& b,
                                                       std::size_t maximo) {
    const SinPareja sin = Emparejar(Punteros(a), Punteros(b));
    std::pair<std::vector<Fila>, std::vector<Fila>> fuera;
    for (std::size_t i = 0; i < sin.a.size() && i < maximo; ++i) fuera.first.push_back(a[sin.a[i]]);
    for (std::size_t i = 0; i < sin.b.size() && i < maximo; ++i)
        fuera.second.push_back(b[sin.b[i]]);
    return fuera;
}

std::vector<Fila> SinRepetir(std::vector<Fila> filas) {
    filas.erase(std::unique(filas.begin(), filas.end(), FilaIgual), filas.end());
    return filas;
}

bool MismasFilasQue(const std::vector<Fila>& a, const std::vector<Fila>& b) {
    return MismasFilas(Punteros(a), Punteros(b));
}

// Whether another order of the answer's columns gives the solution's rows. Only for the
// few columns where trying every order stays cheap.
bool OtroOrdenDeColumnas(const engine::Recordset& resp, const std::vector<Fila>& sol) {
    const int n = resp.FieldCount();
    if (n < 2 || n > 5 || resp.RecordCount() > 20000)
        return false;
    std::vector<int> orden(static_cast<std::size_t>(n));
    std::iota(orden.begin(), orden.end(), 0);
    while (std::next_permutation(orden.begin(), orden.end()))
        if (MismasFilasQue(Ordenadas(resp, orden), sol))
            return true;
    return false;
}

std::unique_ptr<engine::Recordset> Todo(engine::Database& bd, std::string_view sql) {
    engine::Error error;
    auto rs = bd.OpenRecordset(sql, error);
    if (!rs || error.failed())
        return nullptr;
    rs->MoveLast();
    if (rs->Error().failed())
        return nullptr;
    return rs;
}

FilasEjemplo Ejemplo(const engine::Recordset& rs, std::vector<Fila> filas) {
    FilasEjemplo e;
    for (int c = 0; c < rs.FieldCount(); ++c) e.columnas.push_back(rs.FieldName(c));
    e.filas = std::move(filas);
    return e;
}

std::string Sustituir(std::string texto, const std::vector<std::string>& valores) {
    for (std::size_t i = valores.size(); i-- > 0;) {
        const std::string marca = "%" + std::to_string(i + 1);
        if (const auto p = texto.find(marca); p != std::string::npos)
            texto.replace(p, marca.size(), valores[i]);
    }
    return texto;
}

}  // namespace

std::optional<Diferencias> CalcularDiferencias(engine::Database& usuario, std::string_view solucion,
                                               std::string_view respuesta, bool revelar) {
    if (usuario.kind() != engine::Database::Kind::User || !usuario.IsOpen())
        return std::nullopt;
    usuario.SetDeadline(std::chrono::steady_clock::now() + usuario.limits().timeout);
    struct Liberar {
        engine::Database& bd;
        ~Liberar() { bd.ClearDeadline(); }
    } liberar{usuario};
    auto sol = Todo(usuario, solucion);
    auto resp = sol ? Todo(usuario, respuesta) : nullptr;
    if (!sol || !resp)
        return std::nullopt;

    Diferencias d;
    d.filasRespuesta = resp->RecordCount();
    d.filasSolucion = sol->RecordCount();
    d.columnasRespuesta = resp->FieldCount();
    d.columnasSolucion = sol->FieldCount();
    const auto fr = Ordenadas(*resp);
    const auto fs = Ordenadas(*sol);
    if (d.columnasRespuesta != d.columnasSolucion) {
        // No row of one can be a row of the other.
        d.sobran = Ejemplo(
            *resp,
            {fr.begin(), fr.begin() + std::ptrdiff_t(std::min(fr.size(), kFilasDiferencia))});
        if (revelar)
            d.faltan = Ejemplo(
                *sol,
                {fs.begin(), fs.begin() + std::ptrdiff_t(std::min(fs.size(), kFilasDiferencia))});
        d.diagnostico = Sustituir(
            Texto(1814), {std::to_string(d.columnasRespuesta), std::to_string(d.columnasSolucion)});
        return d;
    }
    auto [sobran, faltan] = Exceso(fr, fs, kFilasDiferencia);
    d.sobran = Ejemplo(*resp, std::move(sobran));
    if (revelar)
        d.faltan = Ejemplo(*sol, std::move(faltan));
    if (fr.empty() && !fs.empty())
        d.diagnostico = Texto(1817);
    else if (MismasFilasQue(SinRepetir(fr), SinRepetir(fs)))
        d.diagnostico = Texto(1815);
    else if (OtroOrdenDeColumnas(*resp, fs))
        d.diagnostico = Texto(1816);
    return d;
}

std::string TextoFilas(const FilasEjemplo& filas) {
    if (filas.filas.empty())
        return Texto(1818);
    std::string s;
    for (std::size_t c = 0; c < filas.columnas.size(); ++c)
        s += (c ? "\t" : "") + filas.columnas[c];
    for (const auto& f : filas.filas) {
        s += "\r\n";
        for (std::size_t c = 0; c < f.size(); ++c) s += (c ? "\t" : "") + f[c].toSpanishText();
    }
    return s;
}

std::string TextoDiferencias(const Diferencias& d) {
    // "1 fila", "3 filas": the counts agree with their nouns.
    auto contar = [](std::size_t n, int uno, int varios) {
        return n == 1 ? Texto(uno) : Texto(varios, std::to_string(n));
    };
    std::string s = Sustituir(
        Texto(1811),
        {contar(d.filasRespuesta, 1821, 1822), contar(std::size_t(d.columnasRespuesta), 1823, 1824),
         contar(d.filasSolucion, 1821, 1822), contar(std::size_t(d.columnasSolucion), 1823, 1824)});
    if (!d.diagnostico.empty())
        s += "\r\n" + d.diagnostico;
    if (!d.sobran.filas.empty())
        s += "\r\n" + Texto(1812) + "\r\n" + TextoFilas(d.sobran);
    if (!d.faltan.filas.empty())
        s += "\r\n" + Texto(1813) + "\r\n" + TextoFilas(d.faltan);
    return s;
}

}  // namespace veliora
