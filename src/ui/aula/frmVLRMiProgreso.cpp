#include "ui/aula/frmVLRMiProgreso.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/aula/buzon.h"
#include "core/aula/seguimiento.h"
#include "core/aula/textos.h"
#include "core/shell/directorio.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"
#include "ui/shell/trabajo.h"

namespace veliora::ui {

frmVLRMiProgreso::frmVLRMiProgreso(QWidget* parent) : QWidget(parent) {
    grdProgreso_ = new QTableWidget(this);
    grdProgreso_->setObjectName(QStringLiteral("grdProgreso"));
    grdProgreso_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdProgreso_->verticalHeader()->hide();
    grdProgreso_->setColumnCount(4);
    trabajo_ = new Trabajo(this);
    auto* capa = new QVBoxLayout(this);
    capa->addWidget(grdProgreso_, 1);
    capa->addWidget(trabajo_);
    CargarTextos();
    resize(480, 360);
}

frmVLRMiProgreso::~frmVLRMiProgreso() = default;

void frmVLRMiProgreso::CargarTextos() {
    setWindowTitle(T(2337));
    grdProgreso_->setHorizontalHeaderLabels({T(2338), T(2339), T(2340), T(2331)});
}

void frmVLRMiProgreso::Actualizar() {
    const std::filesystem::path directorio = DirectorioAplicacion();
    // The outbox may be busy sending: read where no window waits on it.
    trabajo_->Lanzar(T(2359), nullptr, [this, directorio]() -> Trabajo::Entrega {
        aula::Error e;
        const auto membresia = aula::LeerMembresia(directorio, e);
        auto buzon = membresia ? aula::Buzon::Abrir(directorio, e) : nullptr;
        const auto progreso = buzon ? aula::Progreso(buzon->Propios(*membresia, e))
                                    : std::map<aula::ClavePregunta, aula::Celda>{};
        if (e.failed())
            return [this, e] {
                Mensaje(QString::fromStdString(aula::ExplicarFallo(e)), Icono::Exclamacion,
                        Botones::Aceptar, QStringLiteral("VELIORA"), this);
            };
        return [this, progreso] {
            grdProgreso_->setRowCount(int(progreso.size()));
            int f = 0;
            for (const auto& [pregunta, celda] : progreso) {
                const QString textos[] = {QString::fromStdString(pregunta.first),
                                          QString::number(pregunta.second),
                                          QString::fromStdString(aula::TextoMejor(celda.mejor)),
                                          QString::number(celda.intentos)};
                for (int c = 0; c < 4; ++c)
                    grdProgreso_->setItem(f, c, new QTableWidgetItem(textos[c]));
                ++f;
            }
        };
    });
}

void frmVLRMiProgreso::closeEvent(QCloseEvent* event) {
    trabajo_->Cancelar(false);
    QWidget::closeEvent(event);
}

}  // namespace veliora::ui
