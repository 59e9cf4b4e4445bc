#include "core/practice/diferencias.h"

#include <algorithm>
#include <numeric>

#include "core/base/textos.h"
#include "core/sql/igualdad.h"

namespace veliora {

namespace {

using Fila = std::vector<engine::Value>;

std::vector<Fila> Ordenadas(std::vector<Fila> filas) {
    std::sort(filas.begin(), filas.end(), FilaMenor);
    return filas;
}

// The rows with their columns in `orden`, sorted.
std::vector<Fila> Permutadas(const std::vector<Fila>& filas, const std::vector<int>& orden) {
    std::vector<Fila> otras;
    otras.reserve(filas.size());
    for (const Fila& fila : filas) {
        Fila f;
        for (int c : orden) f.push_back(fila[std::size_t(c)]);
        otras.push_back(std::move(f));
    }
    return Ordenadas(std::move(otras));
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
bool OtroOrdenDeColumnas(const std::vector<Fila>& resp, int n, const std::vector<Fila>& sol) {
    if (n < 2 || n > 5 || resp.size() > 20000)
        return false;
    std::vector<int> orden(static_cast<std::size_t>(n));
    std::iota(orden.begin(), orden.end(), 0);
    while (std::next_permutation(orden.begin(), orden.end()))
        if (MismasFilasQue(Permutadas(resp, orden), sol))
            return true;
    return false;
}

FilasEjemplo Ejemplo(const ResultadoLeido& r, std::vector<Fila> filas) {
    return {r.columnas, std::move(filas)};
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

Diferencias DiferenciasEntre(ResultadosLeidos leidos, bool revelar) {
    ResultadoLeido &resp = leidos.respuesta, &sol = leidos.solucion;
    Diferencias d;
    d.filasRespuesta = resp.filas.size();
    d.filasSolucion = sol.filas.size();
    d.columnasRespuesta = int(resp.columnas.size());
    d.columnasSolucion = int(sol.columnas.size());
    const auto fr = Ordenadas(std::move(resp.filas));
    const auto fs = Ordenadas(std::move(sol.filas));
    if (d.columnasRespuesta != d.columnasSolucion) {
        // No row of one can be a row of the other.
        d.sobran = Ejemplo(
            resp, {fr.begin(), fr.begin() + std::ptrdiff_t(std::min(fr.size(), kFilasDiferencia))});
        if (revelar)
            d.faltan = Ejemplo(
                sol,
                {fs.begin(), fs.begin() + std::ptrdiff_t(std::min(fs.size(), kFilasDiferencia))});
        d.diagnostico = Sustituir(
            Texto(1814), {std::to_string(d.columnasRespuesta), std::to_string(d.columnasSolucion)});
        return d;
    }
    auto [sobran, faltan] = Exceso(fr, fs, kFilasDiferencia);
    d.sobran = Ejemplo(resp, std::move(sobran));
    if (revelar)
        d.faltan = Ejemplo(sol, std::move(faltan));
    if (fr.empty() && !fs.empty())
        d.diagnostico = Texto(1817);
    else if (MismasFilasQue(SinRepetir(fr), SinRepetir(fs)))
        d.diagnostico = Texto(1815);
    else if (OtroOrdenDeColumnas(fr, d.columnasRespuesta, fs))
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
