// veliora-cli dictionary diagram (run by veliora-cli-graficos): the dictionary's diagram as the
// window draws it, as a picture and as the geometry of that picture.
#include <QString>
#include <cstdio>

#include "cli/comun.h"
#include "cli/graficos.h"
#include "core/app/aplicacion.h"
#include "core/dictionary/vista_esquema.h"
#include "draw/diagrama_dibujo.h"

namespace veliora::cli {

namespace {

using diagrama::Caja;
using diagrama::Punto;

void RectJson(Json& j, const QRect& r) {
    j.Key("x").Int(r.x()).Key("y").Int(r.y()).Key("w").Int(r.width()).Key("h").Int(r.height());
}

void ImprimirGeometria(const VistaEsquema& vista, const diagrama::Dibujo& dibujo) {
    const Caja limites = diagrama::Limites(dibujo);
    const Punto o{limites.Left, limites.Top};
    Json j;
    j.BeginObject().Key("boxes").BeginArray();
    for (std::size_t k = 0; k < dibujo.cajas.size(); ++k) {
        const diagrama::CajaDibujada& c = dibujo.cajas[k];
        j.BeginObject().Key("table").String(vista.Tablas[k].Nombre);
        RectJson(j, dibujo::Rect(c.caja, o));
        j.Key("fields").Int(c.campos).Key("fields_shown").Int(c.camposVisibles);
        j.Key("scroll").Bool(c.desplazable).EndObject();
    }
    j.EndArray().Key("lines").BeginArray();
    for (std::size_t i = 0; i < dibujo.relaciones.size(); ++i) {
        const diagrama::RelacionDibujada& r = dibujo.relaciones[i];
        if (!r.dibujada)
            continue;
        j.BeginObject().Key("relation").String(vista.Relaciones[i].Nombre);
        j.Key("x1").Int(dibujo::Px(r.linea.X1) - dibujo::Px(o.X));
        j.Key("y1").Int(dibujo::Px(r.linea.Y1) - dibujo::Px(o.Y));
        j.Key("x2").Int(dibujo::Px(r.linea.X2) - dibujo::Px(o.X));
        j.Key("y2").Int(dibujo::Px(r.linea.Y2) - dibujo::Px(o.Y)).EndObject();
    }
    j.EndArray().Key("labels").BeginArray();
    for (std::size_t i = 0; i < dibujo.relaciones.size(); ++i) {
        if (const auto& e = dibujo.relaciones[i].etiqueta) {
            j.BeginObject().Key("relation").String(vista.Relaciones[i].Nombre);
            RectJson(j, dibujo::Rect(*e, o));
            j.EndObject();
        }
    }
    j.EndArray().EndObject();
    std::printf("%s\n", j.str().c_str());
}

bool ExtensionDeImagen(const std::string& ruta) {
    const QString sufijo = QString::fromStdString(ruta).section(QLatin1Char('.'), -1).toLower();
    return ruta.find('.') != std::string::npos &&
           (sufijo == QLatin1String("png") || sufijo == QLatin1String("svg"));
}

}  // namespace

int ComandoDiagrama(const std::vector<std::string>& args) {
    const auto op = Parsear(args, {"--db", "--out"}, {"--json"});
    if (!op)
        return kExitUsage;
    const auto db = op->Valor("--db");
    const auto out = op->Valor("--out");
    if (!db || !op->posicionales.empty() || (out && !ExtensionDeImagen(*out))) {
        std::fputs(
            "veliora-cli: usage: dictionary diagram --db FILE [--out FILE.png|FILE.svg] "
            "[--json]\n",
            stderr);
        return kExitUsage;
    }
    const bool json = op->Tiene("--json");
    if (!AbrirComoPrograma(*db, json))
        return kExitError;
    engine::Error err;
    VistaEsquema vista;
    if (!LeerVistaEsquema(*Aplicacion::Actual().Usuario(), Aplicacion::Actual().Auxiliar().get(),
                          vista, err)) {
        ImprimirError(err, json);
        return kExitError;
    }
    const auto app = AplicacionGrafica();
    const diagrama::Dibujo dibujo =
        dibujo::Disponer(vista, CajasIniciales(vista, diagrama::kAnchoDiagramaPredeterminado));
    if (out && !dibujo::GuardarImagen(QString::fromStdString(*out), vista, dibujo, err)) {
        ImprimirError(err, json);
        return kExitError;
    }
    if (json)
        ImprimirGeometria(vista, dibujo);
    else if (out)
        std::printf("%s\n", out->c_str());
    else
        std::printf("%zu tables, %zu relations\n", vista.Tablas.size(), vista.Relaciones.size());
    return kExitOk;
}

}  // namespace veliora::cli
