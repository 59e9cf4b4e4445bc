#include "core/aula/libpq.h"

#include <dlfcn.h>

#include <string>

namespace veliora::aula::pg {

namespace {

struct Carga {
    Libpq funciones;
    std::string fallo;  // the loader's words; empty when every function was found
};

template <typename Funcion>
bool Resolver(void* biblioteca, const char* nombre, Funcion& funcion, std::string& fallo) {
    funcion = reinterpret_cast<Funcion>(dlsym(biblioteca, nombre));
    if (!funcion) {
        const char* motivo = dlerror();
        fallo = motivo ? motivo : nombre;
    }
    return funcion != nullptr;
}

Carga Cargar() {
    Carga carga;
    // The soname of the package's libpq5: the only one the program is built against.
    void* biblioteca = dlopen("libpq.so.5", RTLD_NOW | RTLD_LOCAL);
    if (!biblioteca) {
        carga.fallo = dlerror();
        return carga;
    }
    bool completa = true;
#define VELIORA_LIBPQ_RESOLVER(funcion) \
    completa = completa && Resolver(biblioteca, #funcion, carga.funciones.funcion, carga.fallo);
    VELIORA_LIBPQ_FUNCIONES(VELIORA_LIBPQ_RESOLVER)
#undef VELIORA_LIBPQ_RESOLVER
    if (!completa) {
        carga.funciones = {};
        dlclose(biblioteca);
    }
    return carga;
}

// Loaded once, on first use; a failure is kept too (the library does not appear later).
const Carga& Cargada() {
    static const Carga carga = Cargar();
    return carga;
}

}  // namespace

bool CargarLibpq(Error& error) {
    const Carga& carga = Cargada();
    if (!carga.fallo.empty())
        error = {Fallo::SinRespuesta, carga.fallo};
    return carga.fallo.empty();
}

const Libpq& Pq() {
    return Cargada().funciones;
}

}  // namespace veliora::aula::pg
