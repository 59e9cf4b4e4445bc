#include "ui/shell/provisional.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include "ui/shell/texto.h"

namespace veliora::ui {

void ConstruirVentanaProvisional(QWidget* ventana, int idTitulo) {
    ventana->setWindowTitle(T(idTitulo));

    auto* aviso = new QLabel(T(1159), ventana);
    aviso->setObjectName(QStringLiteral("lblProvisional"));
    aviso->setAlignment(Qt::AlignCenter);

    auto* cmdCerrar = new QPushButton(T(1160), ventana);
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));
    QObject::connect(cmdCerrar, &QPushButton::clicked, ventana, &QWidget::close);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdCerrar);

    auto* principal = new QVBoxLayout(ventana);
    principal->addWidget(aviso, 1);
    principal->addLayout(botones);
    ventana->setMinimumSize(420, 200);
}

}  // namespace veliora::ui
