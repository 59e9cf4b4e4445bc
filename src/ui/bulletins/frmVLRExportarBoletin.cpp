#include "ui/bulletins/frmVLRExportarBoletin.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cerrno>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/bulletins/boletines.h"
#include "core/bulletins/exportar.h"
#include "core/shell/directorio.h"
#include "pdf/pdf.h"
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
const QString kTitulo = QStringLiteral("VELIORA");
const QString kFin = QStringLiteral("\r\n");
}  // namespace

void frmVLRExportarBoletin::FijarIntervaloInicio(int ms) {
    IntervaloInicio() = ms;
}

frmVLRExportarBoletin::frmVLRExportarBoletin(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmVLRExportarBoletin"));
    bdAuxiliar_ = Aplicacion::Actual().Auxiliar();

    frBoletines_ = new QGroupBox(this);
    frBoletines_->setObjectName(QStringLiteral("frBoletines"));
    cboBoletin_ = new QComboBox(frBoletines_);
    cboBoletin_->setObjectName(QStringLiteral("cboBoletin"));
    cboBoletin_->setMinimumWidth(280);
    OpContinuas_ = new QRadioButton(frBoletines_);
    OpContinuas_->setObjectName(QStringLiteral("OpContinuas"));
    OpContinuas_->setChecked(true);
    opSeparadas_ = new QRadioButton(frBoletines_);
    opSeparadas_->setObjectName(QStringLiteral("opSeparadas"));
    lblFormato_ = new QLabel(frBoletines_);
    lblFormato_->setObjectName(QStringLiteral("lblFormato"));
    cboFormato_ = new QComboBox(frBoletines_);
    cboFormato_->setObjectName(QStringLiteral("cboFormato"));
    auto* formato = new QHBoxLayout;
    formato->addWidget(lblFormato_);
    formato->addWidget(cboFormato_, 1);
    auto* capaMarco = new QVBoxLayout(frBoletines_);
    capaMarco->addWidget(cboBoletin_);
    capaMarco->addWidget(OpContinuas_);
    capaMarco->addWidget(opSeparadas_);
    capaMarco->addLayout(formato);

    cmdExportar_ = new QPushButton(this);
    cmdExportar_->setObjectName(QStringLiteral("cmdExportar"));
    cmdExportar_->setEnabled(false);
    cmdSalir_ = new QPushButton(this);
    cmdSalir_->setObjectName(QStringLiteral("cmdSalir"));
    MarcoConBotones(this, frBoletines_, {cmdExportar_, cmdSalir_});

    connect(cmdExportar_, &QPushButton::clicked, this, [this] { cmdExportar_Click(); });
    connect(cmdSalir_, &QPushButton::clicked, this, [this] { close(); });

    CargarTextos();
    // The list is filled once the window is drawn.
    TmrInicio_ = TemporizadorInicio(this, IntervaloInicio(), [this] { CargarListaBoletines(); });
}

frmVLRExportarBoletin::~frmVLRExportarBoletin() = default;

void frmVLRExportarBoletin::CargarTextos() {
    setWindowTitle(T(801));
    frBoletines_->setTitle(T(802));
    OpContinuas_->setText(T(803));
    opSeparadas_->setText(T(804));
    cmdExportar_->setText(T(805));
    cmdSalir_->setText(T(806));
    lblFormato_->setText(T(1451));
    cboFormato_->clear();
    cboFormato_->addItem(T(1452), int(FormatoExportacion::Texto));
    cboFormato_->addItem(T(1453), int(FormatoExportacion::Html));
    cboFormato_->addItem(T(1454), int(FormatoExportacion::Pdf));
}

void frmVLRExportarBoletin::CargarListaBoletines() {
    engine::Error error;
    std::vector<std::string> nombres;
    if (bdAuxiliar_)
        nombres = NombresBoletines(*bdAuxiliar_, error);
    cboBoletin_->clear();
    for (const auto& n : nombres) cboBoletin_->addItem(QString::fromStdString(n));
    if (cboBoletin_->count() == 0) {
        Mensaje(T(1158), Icono::Exclamacion, Botones::Aceptar, kTitulo, this);
        close();
        return;
    }
    cmdExportar_->setEnabled(true);
    cboBoletin_->setCurrentIndex(0);
}

void frmVLRExportarBoletin::cmdExportar_Click() {
    const QString nombre = cboBoletin_->currentText();
    // The question names the format chosen: text, HTML page or PDF document.
    const auto formato = FormatoExportacion(cboFormato_->currentData().toInt());
    const int destino = formato == FormatoExportacion::Html  ? 2444
                        : formato == FormatoExportacion::Pdf ? 2445
                                                             : 808;
    if (Mensaje(QStringLiteral("¿") + T(807) + Visible(nombre) + kFin + T(destino) +
                    QStringLiteral("?"),
                Icono::Ninguno, Botones::SiNo, kTitulo, this) != Respuesta::Si)
        return;
    ExportarBoletin(nombre);
}

void frmVLRExportarBoletin::ExportarBoletin(const QString& nombre) {
    const auto formato = FormatoExportacion(cboFormato_->currentData().toInt());
    const Disposicion disposicion =
        OpContinuas_->isChecked() ? Disposicion::Continuas : Disposicion::Separadas;
    const std::string bulletin = nombre.toStdString();
    const QString extension = QString::fromLatin1(ExtensionExportacion(formato));
    QString sugerido = nombre + extension;
    // A destination refused or that cannot be written: the reason, and the dialog again.
    for (;;) {
        std::filesystem::path ruta = RutaExportacion(bulletin, formato);
        const bool elegible = !ruta.empty();
        if (elegible) {
            // Where the user wants it: the folder used last time, the application's at first.
            const QString elegida =
                PedirRutaGuardar(this, T(801), QStringLiteral("boletines"), sugerido,
                                 {cboFormato_->currentText().section(QStringLiteral(" ("), 0, 0) +
                                  QStringLiteral(" (*") + extension + QLatin1Char(')')},
                                 QString::fromStdString(DirectorioAplicacion().string()));
            if (elegida.isEmpty())
                return;
            ruta = elegida.toStdString();
            sugerido = QFileInfo(elegida).fileName();
        }
        engine::Error error;
        if (!elegible) {
            // Shown as the path it would have had; nothing is written anywhere.
            ruta = DirectorioAplicacion() / (bulletin + ExtensionExportacion(formato));
            error = engine::Failure(engine::Code::UnsafeFileName);
        } else if (!bdAuxiliar_) {
            error = engine::Failure(engine::Code::NoAuxiliary);
        } else {
            ExportarBoletinFormato(*bdAuxiliar_, bulletin, disposicion, formato, ruta, error);
        }
        const QString camino = Visible(ruta.string());
        if (!error.failed()) {
            Mensaje(T(811) + kFin + T(812) + kFin + camino, Icono::Ninguno, Botones::Aceptar,
                    kTitulo, this);
            return;
        }
        Mensaje(TextoError(error, FormaError::DeArchivo) + kFin + T(809) + camino + kFin + T(810),
                Icono::Critico, Botones::Aceptar, kTitulo, this);
        if (!elegible || !bdAuxiliar_)
            return;
    }
}

}  // namespace veliora::ui
