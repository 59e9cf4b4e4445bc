#include "core/base/textos.h"

#include <atomic>
#include <charconv>
#include <string_view>
#include <unordered_map>

#include "core/base/recursos.h"

namespace veliora {

namespace {

// Read by workers while the window thread may change it.
std::atomic<std::int32_t> desplazamiento{0};

using Tabla = std::unordered_map<int, std::string>;

Tabla Analizar(std::string_view contenido) {
    Tabla tabla;
    while (!contenido.empty()) {
        std::size_t fin = contenido.find('\n');
        std::string_view linea = contenido.substr(0, fin);
        contenido = fin == std::string_view::npos ? std::string_view{} : contenido.substr(fin + 1);
        if (!linea.empty() && linea.back() == '\r')
            linea.remove_suffix(1);
        if (linea.empty() || linea.front() == '#')
            continue;
        std::size_t tab = linea.find('\t');
        if (tab == std::string_view::npos)
            continue;
        int id = 0;
        auto [ptr, ec] = std::from_chars(linea.data(), linea.data() + tab, id);
        if (ec != std::errc{} || ptr != linea.data() + tab)
            continue;
        tabla.emplace(id, std::string(linea.substr(tab + 1)));
    }
    return tabla;
}

// Parsed on first use: the table is embedded, so it cannot change during the run.
const Tabla& TablaTextos() {
    static const Tabla tabla = Analizar(EmbeddedResource("textos.tsv"));
    return tabla;
}

}  // namespace

void FijarDesplazamientoTextos(std::int32_t valor) {
    desplazamiento.store(valor, std::memory_order_relaxed);
}

std::int32_t DesplazamientoTextos() {
    return desplazamiento.load(std::memory_order_relaxed);
}

std::string Texto(int id) {
    return TextoAbsoluto(id + DesplazamientoTextos());
}

std::string Texto(int id, const std::string& valor) {
    std::string texto = Texto(id);
    if (const auto p = texto.find("%1"); p != std::string::npos)
        texto.replace(p, 2, valor);
    return texto;
}

// One pass, so that a value holding "%2" is not itself replaced.
std::string Texto(int id, std::initializer_list<std::string> valores) {
    const std::string texto = Texto(id);
    std::string out;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        const std::size_t n = i + 1 < texto.size() ? std::size_t(texto[i + 1] - '1') : 9;
        if (texto[i] == '%' && n < valores.size()) {
            out += *(valores.begin() + n);
            ++i;
        } else {
            out += texto[i];
        }
    }
    return out;
}

std::string TextoAbsoluto(int id) {
    const Tabla& tabla = TablaTextos();
    auto it = tabla.find(id);
    return it == tabla.end() ? std::string{} : it->second;
}

bool ExisteTexto(int id) {
    return TablaTextos().count(id) != 0;
}

int NumeroTextos() {
    return static_cast<int>(TablaTextos().size());
}

}  // namespace veliora
