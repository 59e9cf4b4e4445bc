#include "ui/bulletins/frmVLRImportarBoletines.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/bulletins/importar.h"
#include "core/shell/directorio.h"
#include "core/shell/registro.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"

namespace veliora::ui {

namespace {

const QString kTitulo = QStringLiteral("VELIORA");
const QString kFin = QStringLiteral("\r\n");
// Setting that remembers the last folder imported from.
constexpr const char* kValorCarpeta = "CARPETAIMPORTACION";

frmVLRImportarBoletines::SelectorCarpeta& Selector() {
    static frmVLRImportarBoletines::SelectorCarpeta selector;
    return selector;
}

QString ElegirCarpeta(QWidget* padre, const QString& inicial) {
    if (Selector())
        return Selector()(padre, inicial);
    QFileDialog dialogo(padre, T(1459), inicial);
    dialogo.setObjectName(QStringLiteral("dlgCarpeta"));
    dialogo.setFileMode(QFileDialog::Directory);
    dialogo.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    return dialogo.selectedFiles().first();
}

}  // namespace

void frmVLRImportarBoletines::FijarSelectorCarpeta(SelectorCarpeta selector) {
    Selector() = std::move(selector);
}

frmVLRImportarBoletines::frmVLRImportarBoletines(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmVLRImportarBoletines"));
    Frame1_ = new QGroupBox(this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Label1_ = new QLabel(Frame1_);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setWordWrap(true);
    auto* capaMarco = new QVBoxLayout(Frame1_);
    capaMarco->addWidget(Label1_);

    cmdAceptar_ = new QPushButton(this);
    cmdAceptar_->setObjectName(QStringLiteral("cmdAceptar"));
    cmdSalir_ = new QPushButton(this);
    cmdSalir_->setObjectName(QStringLiteral("cmdSalir"));
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdAceptar_);
    botones->addWidget(cmdSalir_);
    auto* capa = new QVBoxLayout(this);
    capa->addWidget(Frame1_, 1);
    capa->addLayout(botones);
    setMinimumWidth(420);

    connect(cmdAceptar_, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
    connect(cmdSalir_, &QPushButton::clicked, this, [this] { close(); });
    CargarTextos();
}

frmVLRImportarBoletines::~frmVLRImportarBoletines() = default;

void frmVLRImportarBoletines::CargarTextos() {
    setWindowTitle(T(1401));
    cmdAceptar_->setText(T(1402));
    cmdSalir_->setText(T(1403));
    Label1_->setText(T(1404));
}

void frmVLRImportarBoletines::cmdAceptar_Click() {
    std::string ultima;
    GetKeyValue(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, kValorCarpeta, ultima);
    const QString carpeta = ElegirCarpeta(this, QString::fromStdString(ultima));
    if (carpeta.isEmpty())
        return;
    const std::filesystem::path origen = carpeta.toStdString();
    if (CrearClave(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion))
        GuardarValor(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, kValorCarpeta,
                     origen.string());

    AvisosImportacion avisos;
    avisos.preguntar = [this](const std::string& archivo) {
        switch (Mensaje(T(1457) + kFin + Visible(archivo), Icono::Exclamacion, Botones::SiNoTodos,
                        kTitulo, this)) {
            case Respuesta::Si:
                return Sustituir::Si;
            case Respuesta::SiATodos:
                return Sustituir::SiATodos;
            default:
                return Sustituir::No;
        }
    };
    avisos.fallo = [this, &origen](const std::string& archivo, const engine::Error& e) {
        Mensaje(T(1407) + QStringLiteral(" ") + Visible((origen / archivo).string()) + kFin +
                    TextoError(e, FormaError::DeImportacion),
                Icono::Exclamacion, Botones::Aceptar, kTitulo, this);
    };
    // The open auxiliary database takes the imported file through its own connection.
    const ResultadoImportacion r = ImportarBoletines(origen, DirectorioAplicacion(), avisos,
                                                     Aplicacion::Actual().Auxiliar().get());
    if (!r.listado) {
        Mensaje(T(1405) + kFin + T(1406), Icono::Exclamacion, Botones::Aceptar, kTitulo, this);
        return;
    }
    QString fin = T(1408) + kFin + T(1455) + QStringLiteral(" ") + QString::number(r.copiados) +
                  kFin + T(1456) + QStringLiteral(" ") + QString::number(r.fallidos);
    if (r.omitidos > 0)
        fin += kFin + T(1463) + QStringLiteral(" ") + QString::number(r.omitidos);
    Mensaje(fin, Icono::Informacion, Botones::Aceptar, kTitulo, this);
}

}  // namespace veliora::ui
