#include "core/practice/juez.h"

#include "core/base/textos.h"
#include "core/shell/registro.h"

namespace veliora {

OpcionesJuez LeerOpcionesJuez() {
    OpcionesJuez o;
    o.presupuesto = std::chrono::milliseconds(LeerAjusteNumerico(kAjustePresupuestoContraejemplo));
    o.contraejemplo = o.presupuesto.count() > 0;
    return o;
}

Juicio Juzgar(engine::Database& usuario, std::string_view solucion, std::string_view respuesta,
              const OpcionesJuez& opciones) {
    std::optional<ResultadosLeidos> leidos;
    Juicio j{ComprobarRespuesta(usuario, solucion, respuesta, &leidos), {}, {}};
    if (j.resultado.veredicto == Veredicto::Erroneo) {
        if (leidos)
            j.diferencias = DiferenciasEntre(std::move(*leidos), opciones.revelar);
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
