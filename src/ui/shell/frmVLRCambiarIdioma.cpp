#include "ui/shell/frmVLRCambiarIdioma.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/shell/registro.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"

namespace veliora::ui {

frmVLRCambiarIdioma::frmVLRCambiarIdioma(QWidget* parent) : QWidget(parent) {
    frIdioma_ = new QGroupBox(this);
    frIdioma_->setObjectName(QStringLiteral("frIdioma"));
    OpCastellano_ = new QRadioButton(frIdioma_);
    OpCastellano_->setObjectName(QStringLiteral("OpCastellano"));
    OpValenciano_ = new QRadioButton(frIdioma_);
    OpValenciano_->setObjectName(QStringLiteral("OpValenciano"));
    auto* opciones = new QVBoxLayout(frIdioma_);
    opciones->addWidget(OpCastellano_);
    opciones->addWidget(OpValenciano_);

    cmdAceptar_ = new QPushButton(this);
    cmdAceptar_->setObjectName(QStringLiteral("cmdAceptar"));
    cmdSalir_ = new QPushButton(this);
    cmdSalir_->setObjectName(QStringLiteral("cmdSalir"));

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdAceptar_);
    botones->addWidget(cmdSalir_);

    CrearIdiomaPreguntas();

    auto* principal = new QVBoxLayout(this);
    principal->addWidget(frIdioma_);
    principal->addWidget(frIdiomaPreguntas_);
    principal->addLayout(botones);

    connect(cmdAceptar_, &QPushButton::clicked, this, &frmVLRCambiarIdioma::cmdAceptar_Click);
    connect(cmdSalir_, &QPushButton::clicked, this, &frmVLRCambiarIdioma::cmdSalir_Click);

    CargarTextos();
    setMinimumWidth(360);
}

frmVLRCambiarIdioma::~frmVLRCambiarIdioma() = default;

void frmVLRCambiarIdioma::CrearIdiomaPreguntas() {
    frIdiomaPreguntas_ = new QGroupBox(this);
    frIdiomaPreguntas_->setObjectName(QStringLiteral("frIdiomaPreguntas"));
    auto* opciones = new QVBoxLayout(frIdiomaPreguntas_);
    const char* nombres[] = {"OpPreguntasAplicacion", "OpPreguntasCastellano",
                             "OpPreguntasValenciano"};
    QRadioButton** botones[] = {&OpPreguntasAplicacion_, &OpPreguntasCastellano_,
                                &OpPreguntasValenciano_};
    for (int i = 0; i < 3; ++i) {
        *botones[i] = new QRadioButton(frIdiomaPreguntas_);
        (*botones[i])->setObjectName(QLatin1String(nombres[i]));
        opciones->addWidget(*botones[i]);
    }
}

void frmVLRCambiarIdioma::CargarTextos() {
    setWindowTitle(T(1201));
    frIdioma_->setTitle(T(1202));
    OpCastellano_->setText(T(1203));
    OpValenciano_->setText(T(1204));
    cmdAceptar_->setText(T(1205));
    cmdSalir_->setText(T(1206));
    frIdiomaPreguntas_->setTitle(T(2610));
    OpPreguntasAplicacion_->setText(T(2611));
    OpPreguntasCastellano_->setText(T(2612));
    OpPreguntasValenciano_->setText(T(2613));
}

void frmVLRCambiarIdioma::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only the first time: a user's choice survives hiding and showing the window again.
    if (!idiomaMarcado_)
        MarcarIdiomaActual();
}

void frmVLRCambiarIdioma::MarcarIdiomaActual() {
    idiomaMarcado_ = true;
    if (Aplicacion::Actual().Valenciano())
        OpValenciano_->setChecked(true);
    else
        OpCastellano_->setChecked(true);
    std::string preguntas;
    GetKeyValue(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, kValorIdiomaPreguntas,
                preguntas);
    (preguntas == "0"   ? OpPreguntasCastellano_
     : preguntas == "1" ? OpPreguntasValenciano_
                        : OpPreguntasAplicacion_)
        ->setChecked(true);
}

void frmVLRCambiarIdioma::cmdAceptar_Click() {
    if (!idiomaMarcado_)
        MarcarIdiomaActual();
    const std::string valor = OpValenciano_->isChecked() ? "1" : "0";
    // Empty: the questions follow the interface language.
    const std::string preguntas = OpPreguntasCastellano_->isChecked()   ? "0"
                                  : OpPreguntasValenciano_->isChecked() ? "1"
                                                                        : "";
    if (GuardarValor(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, kValorIdioma, valor) &&
        GuardarValor(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, kValorIdiomaPreguntas,
                     preguntas))
        Mensaje(T(1207), Icono::Informacion, Botones::Aceptar, QStringLiteral("VELIORA"), this);
    else
        Mensaje(T(1161), Icono::Critico, Botones::Aceptar, QStringLiteral("VELIORA"), this);
    close();
}

void frmVLRCambiarIdioma::cmdSalir_Click() {
    close();
}

}  // namespace veliora::ui
