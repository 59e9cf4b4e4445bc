#include "ui/shell/frmVLRLogin.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"

namespace veliora::ui {

namespace {

const QString kUsuario = QStringLiteral("TRAMU");
const QString kContrasenya = QStringLiteral("GALVINO");
}  // namespace

frmVLRLogin::frmVLRLogin(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmVLRLogin"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    lblNombre_ = new QLabel(this);
    lblNombre_->setObjectName(QStringLiteral("lblNombre"));
    txtUserName_ = new QLineEdit(this);
    txtUserName_->setObjectName(QStringLiteral("txtUserName"));
    lblNombre_->setBuddy(txtUserName_);

    lblContrasenya_ = new QLabel(this);
    lblContrasenya_->setObjectName(QStringLiteral("lblContrasenya"));
    txtPassword_ = new QLineEdit(this);
    txtPassword_->setObjectName(QStringLiteral("txtPassword"));
    txtPassword_->setEchoMode(QLineEdit::Password);
    txtPassword_->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // '*'
    lblContrasenya_->setBuddy(txtPassword_);

    cmdAceptar_ = new QPushButton(this);
    cmdAceptar_->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar_->setDefault(true);
    cmdCancelar_ = new QPushButton(this);
    cmdCancelar_->setObjectName(QStringLiteral("cmdCancelar"));
    cmdCancelar_->setAutoDefault(false);

    auto* campos = new QGridLayout;
    campos->addWidget(lblNombre_, 0, 0);
    campos->addWidget(txtUserName_, 0, 1);
    campos->addWidget(lblContrasenya_, 1, 0);
    campos->addWidget(txtPassword_, 1, 1);
    campos->setColumnMinimumWidth(1, 200);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdAceptar_);
    botones->addWidget(cmdCancelar_);

    auto* principal = new QVBoxLayout(this);
    principal->addLayout(campos);
    principal->addSpacing(8);
    principal->addLayout(botones);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdAceptar_, &QPushButton::clicked, this, &frmVLRLogin::cmdAceptar_Click);
    connect(cmdCancelar_, &QPushButton::clicked, this, &frmVLRLogin::cmdCancelar_Click);

    CargarTextos();
    txtUserName_->setFocus();
}

frmVLRLogin::~frmVLRLogin() = default;

void frmVLRLogin::CargarTextos() {
    setWindowTitle(T(1301));
    lblNombre_->setText(T(1302));
    lblContrasenya_->setText(T(1303));
    cmdAceptar_->setText(T(1304));
    cmdCancelar_->setText(T(1305));
}

void frmVLRLogin::cmdAceptar_Click() {
    // Capitals on both sides, nothing trimmed: a trailing blank is a wrong name.
    if (txtUserName_->text().toUpper() == kUsuario.toUpper() &&
        txtPassword_->text().toUpper() == kContrasenya.toUpper()) {
        Aplicacion::Actual().FijarProfesor(true);
        accept();
        return;
    }
    Mensaje(T(1306), Icono::Critico, Botones::Aceptar, QStringLiteral("VELIORA"), this);
    txtPassword_->setFocus();
    txtPassword_->selectAll();
}

void frmVLRLogin::cmdCancelar_Click() {
    Aplicacion::Actual().FijarProfesor(false);
    reject();
}

}  // namespace veliora::ui
