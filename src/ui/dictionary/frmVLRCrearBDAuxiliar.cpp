#include "ui/dictionary/frmVLRCrearBDAuxiliar.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/dictionary/diccionario.h"
#include "ui/shell/avisos.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"

namespace veliora::ui {

namespace {
QString TextoError(const engine::Error& e, int contexto) {
    return ui::TextoError(e) + QStringLiteral("\r\n") + T(contexto);
}
}  // namespace

frmVLRCrearBDAuxiliar::frmVLRCrearBDAuxiliar(QWidget* parent)
    : QWidget(parent),
      usuario_(Aplicacion::Actual().Usuario()),
      auxiliar_(Aplicacion::Actual().Auxiliar()) {
    Frame1_ = new QGroupBox(this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Label1_ = new QLabel(Frame1_);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setWordWrap(true);
    auto* marco = new QVBoxLayout(Frame1_);
    marco->addWidget(Label1_);

    cmdCrear_ = new QPushButton(this);
    cmdCrear_->setObjectName(QStringLiteral("cmdCrear"));
    cmdSalir_ = new QPushButton(this);
    cmdSalir_->setObjectName(QStringLiteral("cmdSalir"));
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdCrear_);
    botones->addWidget(cmdSalir_);

    auto* principal = new QVBoxLayout(this);
    principal->addWidget(Frame1_, 1);
    principal->addLayout(botones);

    connect(cmdCrear_, &QPushButton::clicked, this, &frmVLRCrearBDAuxiliar::GenerarDatosAuxiliares);
    connect(cmdSalir_, &QPushButton::clicked, this, &QWidget::close);

    CargarTextos();
    setMinimumSize(460, 220);
}

frmVLRCrearBDAuxiliar::~frmVLRCrearBDAuxiliar() = default;

void frmVLRCrearBDAuxiliar::CargarTextos() {
    setWindowTitle(T(401));
    Label1_->setText(T(402));
    cmdCrear_->setText(T(403));
    cmdSalir_->setText(T(404));
}

void frmVLRCrearBDAuxiliar::GenerarDatosAuxiliares() {
    // Replaces the whole dictionary: No unless the user chooses otherwise.
    if (Mensaje(T(405), Icono::Ninguno, Botones::SiNoPorDefectoNo, QStringLiteral("VELIORA"),
                this) != Respuesta::Si)
        return;
    if (!usuario_ || !auxiliar_)
        return;
    const ResultadoInicializacion r =
        veliora::GenerarDatosAuxiliares(*usuario_, *auxiliar_, estructura_);
    if (!r.Correcto()) {
        Mensaje(TextoError(r.error, r.contexto), Icono::Ninguno, Botones::Aceptar,
                QStringLiteral("VELIORA"), this);
        return;
    }
    for (const ErrorFila& f : r.Errores)
        Mensaje(TextoError(f.error, f.contexto), Icono::Ninguno, Botones::Aceptar,
                QStringLiteral("VELIORA"), this);
    Avisar(T(2438).arg(r.Tablas).arg(r.Campos).arg(r.Relaciones));
}

}  // namespace veliora::ui
