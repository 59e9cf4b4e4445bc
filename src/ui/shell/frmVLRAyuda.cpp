#include "ui/shell/frmVLRAyuda.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/shell/ayuda.h"
#include "ui/shell/texto.h"
#include "ui/shell/ventanas.h"

namespace veliora::ui {

frmVLRAyuda::frmVLRAyuda(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmVLRAyuda"));
    txtAyuda_ = new QTextBrowser(this);
    txtAyuda_->setObjectName(QStringLiteral("txtAyuda"));
    txtAyuda_->setOpenExternalLinks(true);
    auto boton = [this](const char* nombre, int id) {
        auto* b = new QPushButton(T(id), this);
        b->setObjectName(QString::fromLatin1(nombre));
        return b;
    };
    cmdAtras_ = boton("cmdAtras", 156);
    cmdAdelante_ = boton("cmdAdelante", 157);
    cmdNavegador_ = boton("cmdNavegador", 158);
    cmdSalir_ = boton("cmdSalir", 1113);
    cmdAtras_->setEnabled(false);
    cmdAdelante_->setEnabled(false);
    auto* botones = new QHBoxLayout;
    botones->addWidget(cmdAtras_);
    botones->addWidget(cmdAdelante_);
    botones->addStretch();
    botones->addWidget(cmdNavegador_);
    botones->addWidget(cmdSalir_);
    auto* capa = new QVBoxLayout(this);
    capa->addLayout(botones);
    capa->addWidget(txtAyuda_, 1);
    setWindowTitle(T(159));

    connect(cmdAtras_, &QPushButton::clicked, txtAyuda_, &QTextBrowser::backward);
    connect(cmdAdelante_, &QPushButton::clicked, txtAyuda_, &QTextBrowser::forward);
    connect(txtAyuda_, &QTextBrowser::backwardAvailable, cmdAtras_, &QWidget::setEnabled);
    connect(txtAyuda_, &QTextBrowser::forwardAvailable, cmdAdelante_, &QWidget::setEnabled);
    connect(cmdNavegador_, &QPushButton::clicked, this, [this] { MostrarHTML(Pagina()); });
    connect(cmdSalir_, &QPushButton::clicked, this, &QWidget::close);
    resize(sizeHint());
}

void frmVLRAyuda::Mostrar(const QString& ruta) {
    txtAyuda_->setSource(QUrl::fromLocalFile(ruta));
}

QString frmVLRAyuda::Pagina() const {
    return txtAyuda_->source().toLocalFile();
}

void MostrarAyuda(const QString& ruta) {
    const QFileInfo pagina(ruta);
    if (!pagina.isFile() || !pagina.isReadable()) {
        MostrarHTML(ruta);
        return;
    }
    auto* ventana = ObtenerVentana<frmVLRAyuda>();
    ventana->Mostrar(ruta);
    MostrarVentana(ventana);
}

}  // namespace veliora::ui
