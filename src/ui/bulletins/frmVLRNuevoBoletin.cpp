#include "ui/bulletins/frmVLRNuevoBoletin.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/bulletins/exportar.h"
#include "core/bulletins/mantenimiento.h"
#include "ui/shell/avisos.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"
#include "ui/shell/ventanas.h"

namespace veliora::ui {

frmVLRNuevoBoletin::frmVLRNuevoBoletin(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmVLRNuevoBoletin"));
    setModal(true);
    bdAuxiliar_ = Aplicacion::Actual().Auxiliar();

    frNuevoBoletin_ = new QGroupBox(this);
    frNuevoBoletin_->setObjectName(QStringLiteral("frNuevoBoletin"));
    txtNombreBoletin_ = new QLineEdit(frNuevoBoletin_);
    txtNombreBoletin_->setObjectName(QStringLiteral("txtNombreBoletin"));
    txtNombreBoletin_->setMaxLength(255);
    txtNombreBoletin_->setMinimumWidth(280);
    auto* capaMarco = new QVBoxLayout(frNuevoBoletin_);
    capaMarco->addWidget(txtNombreBoletin_);

    cmdAceptar_ = new QPushButton(this);
    cmdAceptar_->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar_->setDefault(true);
    cmdCancelar_ = new QPushButton(this);
    cmdCancelar_->setObjectName(QStringLiteral("cmdCancelar"));
    MarcoConBotones(this, frNuevoBoletin_, {cmdAceptar_, cmdCancelar_});

    connect(cmdAceptar_, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
    connect(cmdCancelar_, &QPushButton::clicked, this, [this] { reject(); });

    setWindowTitle(T(1001));
    frNuevoBoletin_->setTitle(T(1002));
    cmdAceptar_->setText(T(1003));
    cmdCancelar_->setText(T(1004));
    txtNombreBoletin_->clear();
}

frmVLRNuevoBoletin::~frmVLRNuevoBoletin() = default;

void frmVLRNuevoBoletin::cmdAceptar_Click() {
    const QString nombre = txtNombreBoletin_->text();
    if (!NombreBoletinValido(nombre.toStdString())) {
        Mensaje(T(1005), Icono::Informacion, Botones::Aceptar, QStringLiteral("VELIORA"), this);
        return;
    }
    // A bulletin is exported under its name: one that cannot name a file is refused now.
    if (!NombreArchivoSeguro(nombre.toStdString())) {
        Mensaje(T(1005) + QStringLiteral("\r\n") + T(2443), Icono::Informacion, Botones::Aceptar,
                QStringLiteral("VELIORA"), this);
        return;
    }
    engine::Error error;
    if (!bdAuxiliar_) {
        error = engine::Failure(engine::Code::NoAuxiliary);
    } else if (ExisteBoletin(*bdAuxiliar_, nombre.toStdString(), error)) {
        Mensaje(T(1006), Icono::Informacion, Botones::Aceptar, QStringLiteral("VELIORA"), this);
        return;
    } else if (!error.failed()) {
        CrearBoletin(*bdAuxiliar_, nombre.toStdString(), error);
    }
    if (error.failed()) {
        // The name is handed back only for a bulletin that exists.
        Mensaje(TextoError(error) + QStringLiteral("\r\n") + T(1007), Icono::Ninguno,
                Botones::Aceptar, QStringLiteral("VELIORA"), this);
        return;
    }
    if (intercambio_)
        intercambio_->setProperty("text", nombre);
    Avisar(T(2447).arg(nombre));
    accept();
}

}  // namespace veliora::ui
