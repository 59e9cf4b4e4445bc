// veliora-cli check: judges an answer against a solution as the practice window does.
#include <cstdio>

#include "cli/comun.h"
#include "core/practice/comprobar.h"
#include "core/shell/globales.h"
#include "core/shell/registro.h"

namespace veliora::cli {

namespace {

const char* NombreVeredicto(Veredicto v) {
    switch (v) {
        case Veredicto::Correcto:
            return "correcto";
        case Veredicto::Erroneo:
            return "erroneo";
        case Veredicto::SolucionInvalida:
            return "solucion_invalida";
        case Veredicto::RespuestaInvalida:
            return "respuesta_invalida";
    }
    return "";
}

// The language of the program's setting, read without creating it.
void IdiomaDelPrograma() {
    std::string valor;
    if (GetKeyValue(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, kValorIdioma, valor))
        DesplazamientoIdioma = valor == "1" ? 10000 : 0;
}

// A terminal line break instead of the window's CRLF.
std::string ParaTerminal(std::string texto) {
    for (std::size_t p; (p = texto.find("\r\n")) != std::string::npos;) texto.erase(p, 1);
    return texto;
}

}  // namespace

int ComandoCheck(const std::vector<std::string>& args) {
    auto opciones = Parsear(args, {"--db", "--solution", "--answer", "--timeout"}, {"--json"});
    if (!opciones)
        return kExitUsage;
    const bool json = opciones->Tiene("--json");
    const auto db = opciones->Valor("--db");
    const auto solucion = opciones->Valor("--solution");
    const auto respuesta = opciones->Valor("--answer");
    if (!db || !solucion || !respuesta || !opciones->posicionales.empty()) {
        std::fputs(
            "veliora-cli: check needs --db FILE --solution SQL --answer SQL [--timeout MS]\n",
            stderr);
        return kExitUsage;
    }
    const auto limite = LeerTiempoLimite(*opciones);
    if (!limite)
        return kExitUsage;
    IdiomaDelPrograma();
    auto usuario = AbrirUsuario(*db, json);
    if (!usuario)
        return kExitError;

    FijarTiempoLimite(*usuario, *limite);
    ResultadoComprobacion r;
    {
        Vigilante vigilante(
            *limite, [&] { ImprimirComprobacionSinTiempo(json, *limite); }, kExitOk);
        r = ComprobarRespuesta(*usuario, *solucion, *respuesta);
    }
    if (json) {
        Json out;
        out.BeginObject()
            .Key("verdict")
            .String(NombreVeredicto(r.veredicto))
            .Key("message")
            .String(r.mensaje);
        if (r.motivo != Motivo::Ninguno)
            out.Key("reason").String(CodigoMotivo(r.motivo));
        out.EndObject();
        std::printf("%s\n", out.str().c_str());
    } else {
        std::printf("%s\n", ParaTerminal(r.mensaje).c_str());
    }
    return kExitOk;
}

}  // namespace veliora::cli
