#include "ui/shell/frmVLRAbout.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "core/base/textos.h"
#include "core/shell/version.h"
#include "ui/shell/ayuda.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"

namespace veliora::ui {

namespace {

const QString kTituloPrograma = QStringLiteral("VELIORA");

frmVLRAbout::Lanzador& LanzadorActual() {
    static frmVLRAbout::Lanzador lanzador;
    return lanzador;
}
}  // namespace

frmVLRAbout::frmVLRAbout(QWidget* parent) : QDialog(parent) {
    InicializarRecursos();
    setObjectName(QStringLiteral("frmVLRAbout"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Image1_ = new QLabel(this);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setPixmap(QPixmap(QStringLiteral(":/images/acerca.png")));
    Image1_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle_ = new QLabel(this);
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    QFont grande = lblTitle_->font();
    grande.setPointSizeF(grande.pointSizeF() * 1.8);
    grande.setBold(true);
    lblTitle_->setFont(grande);
    lblVersion_ = new QLabel(this);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));
    lblDescription_ = new QLabel(this);
    lblDescription_->setObjectName(QStringLiteral("lblDescription"));
    lblDescription_->setWordWrap(true);

    auto* linea = new QFrame(this);
    linea->setFrameShape(QFrame::HLine);
    linea->setFrameShadow(QFrame::Sunken);

    lblDisclaimer_ = new QLabel(this);
    lblDisclaimer_->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer_->setWordWrap(true);

    cmdOK_ = new QPushButton(this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdSysInfo_ = new QPushButton(this);
    cmdSysInfo_->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo_->setAutoDefault(false);

    auto* textos = new QVBoxLayout;
    textos->addWidget(lblTitle_);
    textos->addWidget(lblVersion_);
    textos->addSpacing(6);
    textos->addWidget(lblDescription_);
    textos->addStretch();

    auto* arriba = new QHBoxLayout;
    arriba->addWidget(Image1_);
    arriba->addSpacing(12);
    arriba->addLayout(textos, 1);

    auto* botones = new QVBoxLayout;
    botones->addWidget(cmdOK_);
    botones->addWidget(cmdSysInfo_);

    auto* abajo = new QHBoxLayout;
    abajo->addWidget(lblDisclaimer_, 1);
    abajo->addSpacing(12);
    abajo->addLayout(botones);

    auto* principal = new QVBoxLayout(this);
    principal->addLayout(arriba);
    principal->addWidget(linea);
    principal->addLayout(abajo);
    lblDescription_->setMinimumWidth(320);
    lblDisclaimer_->setMinimumWidth(320);
    principal->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo_, &QPushButton::clicked, this, &frmVLRAbout::StartSysInfo);

    CargarTextos();
}

frmVLRAbout::~frmVLRAbout() = default;

void frmVLRAbout::CargarTextos() {
    setWindowTitle(T(501) + QLatin1Char(' ') + kTituloPrograma);
    lblTitle_->setText(T(502));
    lblVersion_->setText(T(503) + QLatin1Char(' ') + QString::fromUtf8(VersionPrograma()));
    lblDescription_->setText(T(504));
    cmdOK_->setText(T(505));
    cmdSysInfo_->setText(T(506));
    lblDisclaimer_->setText(T(160));
}

const QStringList& frmVLRAbout::ProgramasInfoSistema() {
    static const QStringList programas{QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
                                       QStringLiteral("gnome-system-monitor")};
    return programas;
}

void frmVLRAbout::FijarLanzador(Lanzador lanzador) {
    LanzadorActual() = std::move(lanzador);
}

void frmVLRAbout::StartSysInfo() {
    QString programa;
    for (const QString& nombre : ProgramasInfoSistema()) {
        programa = QStandardPaths::findExecutable(nombre);
        if (!programa.isEmpty())
            break;
    }
    if (!programa.isEmpty()) {
        const bool iniciado =
            LanzadorActual() ? LanzadorActual()(programa) : QProcess::startDetached(programa, {});
        if (iniciado)
            return;
    }
    Mensaje(T(507), Icono::Ninguno, Botones::Aceptar, QStringLiteral("VELIORA"), this);
}

}  // namespace veliora::ui
