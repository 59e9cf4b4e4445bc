#include "core/practice/juez.h"

#include <cstdlib>

#include "core/shell/registro.h"
#include "core/shell/textos.h"

namespace veliora {

namespace {

// A whole number of milliseconds from the settings; `porDefecto` when absent or unreadable.
std::chrono::milliseconds Milisegundos(const char* valor, std::chrono::milliseconds porDefecto) {
    std::string texto;
    if (!GetKeyValue(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, valor, texto))
        return porDefecto;
    char* fin = nullptr;
    const long n = std::strtol(texto.c_str(), &fin, 10);
    if (texto.empty() || *fin != '\0' || n < 0 || n > 60000)
        return porDefecto;
    return std::chrono::milliseconds(n);
}

}  // namespace

OpcionesJuez LeerOpcionesJuez() {
    OpcionesJuez o;
    o.presupuesto = Milisegundos(kValorPresupuestoContraejemplo, o.presupuesto);
    o.contraejemplo = o.presupuesto.count() > 0;
    return o;
}

Juicio Juzgar(engine::Database& usuario, std::string_view solucion, std::string_view respuesta,
              const OpcionesJuez& opciones) {
    Juicio j{ComprobarRespuesta(usuario, solucion, respuesta), {}, {}};
    if (j.resultado.veredicto == Veredicto::Erroneo) {
        j.diferencias = CalcularDiferencias(usuario, solucion, respuesta, opciones.revelar);
    } else if (j.resultado.veredicto == Veredicto::Correcto && opciones.contraejemplo) {
        j.contraejemplo = BuscarContraejemplo(usuario, solucion, respuesta, opciones.presupuesto);
        if (j.contraejemplo) {
            const Contraejemplo& c = *j.contraejemplo;
            j.resultado.veredicto = Veredicto::CorrectoSoloAqui;
            j.resultado.mensaje = MensajeVeredicto(Veredicto::CorrectoSoloAqui) + "\r\n" +
                                  c.cambio + "\r\n" + Texto(1808) + "\r\n" +
                                  TextoFilas(c.respuesta) + "\r\n" + Texto(1809) + "\r\n" +
                                  TextoFilas(c.solucion);
        }
    }
    return j;
}

}  // namespace veliora
