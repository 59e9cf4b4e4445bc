#include "core/aula/textos.h"

#include "core/base/textos.h"

namespace veliora::aula {

namespace {

// String ids 2300-2312, in the order of Fallo after Ninguno.
int IdTexto(Fallo fallo) {
    return 2299 + int(fallo);
}

// Whose details say more than the text: a server's or a file's own words.
bool ConDetalle(Fallo fallo) {
    return fallo == Fallo::SinRespuesta || fallo == Fallo::Acceso || fallo == Fallo::Permiso ||
           fallo == Fallo::Archivo || fallo == Fallo::Almacen || fallo == Fallo::Nombre;
}

}  // namespace

std::string ExplicarFallo(const Error& error) {
    std::string texto = Texto(IdTexto(error.fallo));
    if (ConDetalle(error.fallo) && !error.detalle.empty())
        texto += " (" + error.detalle + ")";
    return texto;
}

}  // namespace veliora::aula
