#include "ui/practice/frmVLRGuardarQuery.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/bulletins/boletines.h"
#include "ui/practice/frmVLRQuerys.h"
#include "ui/shell/avisos.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"
#include "ui/shell/ventanas.h"

namespace veliora::ui {

namespace {
int& IntervaloInicio() {
    static int ms = 500;
    return ms;
}
}  // namespace

void frmVLRGuardarQuery::FijarIntervaloInicio(int ms) {
    IntervaloInicio() = ms;
}

frmVLRGuardarQuery::frmVLRGuardarQuery(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmVLRGuardarQuery"));
    setModal(true);
    bdAuxiliar_ = Aplicacion::Actual().Auxiliar();

    frBoletines_ = new QGroupBox(this);
    frBoletines_->setObjectName(QStringLiteral("frBoletines"));
    cboBoletin_ = new QComboBox(frBoletines_);
    cboBoletin_->setObjectName(QStringLiteral("cboBoletin"));
    cboBoletin_->setMinimumWidth(260);
    auto* capaMarco = new QVBoxLayout(frBoletines_);
    capaMarco->addWidget(cboBoletin_);

    cmdAceptar_ = new QPushButton(this);
    cmdAceptar_->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar_->setEnabled(false);
    cmdAceptar_->setDefault(true);
    cmdCancelar_ = new QPushButton(this);
    cmdCancelar_->setObjectName(QStringLiteral("cmdCancelar"));
    MarcoConBotones(this, frBoletines_, {cmdAceptar_, cmdCancelar_});

    connect(cmdAceptar_, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
    connect(cmdCancelar_, &QPushButton::clicked, this, [this] { reject(); });

    CargarTextos();
    // The list is filled once the dialog is drawn.
    TmrInicio_ = TemporizadorInicio(this, IntervaloInicio(), [this] { CargarBoletines(); });
}

frmVLRGuardarQuery::~frmVLRGuardarQuery() = default;

void frmVLRGuardarQuery::CargarTextos() {
    setWindowTitle(T(901));
    frBoletines_->setTitle(T(902));
    cmdAceptar_->setText(T(903));
    cmdCancelar_->setText(T(904));
}

void frmVLRGuardarQuery::CargarBoletines() {
    engine::Error error;
    std::vector<std::string> nombres;
    if (bdAuxiliar_)
        nombres = NombresBoletines(*bdAuxiliar_, error);
    cboBoletin_->clear();
    for (const auto& n : nombres) cboBoletin_->addItem(QString::fromStdString(n));
    if (cboBoletin_->count() == 0) {
        Mensaje(T(906), Icono::Exclamacion, Botones::Aceptar, QStringLiteral("VELIORA"), this);
        reject();
        return;
    }
    cmdAceptar_->setEnabled(true);
    cboBoletin_->setCurrentIndex(0);
}

void frmVLRGuardarQuery::cmdAceptar_Click() {
    const QString boletin = cboBoletin_->currentText();
    if (modoConsultas_) {
        // Hidden first: the practice window is not modal and must come up on its own.
        hide();
        frmVLRQuerys* practica = ObtenerVentana<frmVLRQuerys>();
        practica->setNombreBoletin(boletin);
        MostrarVentana(practica);
        accept();
        practica->setFocus();
        return;
    }
    engine::Error error;
    const int numero = bdAuxiliar_
                           ? AlmacenarPregunta(*bdAuxiliar_, boletin.toStdString(),
                                               solucion_.toStdString(), query_.toStdString(), error)
                           : 0;
    if (numero == 0) {
        if (!error.failed())
            error = engine::Failure(engine::Code::NoAuxiliary);
        Mensaje(TextoError(error) + QStringLiteral("\r\n") + T(905), Icono::Ninguno,
                Botones::Aceptar, QStringLiteral("VELIORA"), this);
    } else {
        Avisar(T(2416).arg(boletin).arg(numero));
    }
    accept();
}

}  // namespace veliora::ui
