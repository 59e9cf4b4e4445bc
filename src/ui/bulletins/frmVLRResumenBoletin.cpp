#include "ui/bulletins/frmVLRResumenBoletin.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/app/aplicacion.h"
#include "core/bulletins/boletines.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"
#include "ui/shell/ventanas.h"

namespace veliora::ui {

frmVLRResumenBoletin::frmVLRResumenBoletin(QWidget* parent) : QWidget(parent) {
    grdResumen_ = new QTableWidget(this);
    grdResumen_->setObjectName(QStringLiteral("grdResumen"));
    grdResumen_->setColumnCount(3);
    grdResumen_->setHorizontalHeaderLabels({T(2454), T(2455), T(2456)});
    grdResumen_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdResumen_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdResumen_->setWordWrap(true);
    grdResumen_->verticalHeader()->hide();
    grdResumen_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    grdResumen_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    grdResumen_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    grdResumen_->setToolTip(T(2452));
    auto* capa = new QVBoxLayout(this);
    capa->addWidget(grdResumen_);
    connect(grdResumen_, &QTableWidget::cellDoubleClicked, this, [this](int fila) {
        if (const QTableWidgetItem* numero = grdResumen_->item(fila, 0))
            emit preguntaElegida(boletin_, numero->data(Qt::DisplayRole).toInt());
    });
    resize(sizeHint());
}

void frmVLRResumenBoletin::Cargar(const QString& nombre) {
    boletin_ = nombre;
    setWindowTitle(T(2453).arg(nombre));
    grdResumen_->setRowCount(0);
    if (!Aplicacion::Actual().Auxiliar())
        return;
    engine::Error error;
    const auto lineas = LeerBoletin(*Aplicacion::Actual().Auxiliar(), nombre.toStdString(), error);
    if (error.failed())
        Mensaje(TextoError(error), Icono::Ninguno, Botones::Aceptar, QStringLiteral("VELIORA"),
                this);
    grdResumen_->setRowCount(int(lineas.size()));
    for (int i = 0; i < int(lineas.size()); ++i) {
        const LineaBoletin& l = lineas[std::size_t(i)];
        auto* numero = new QTableWidgetItem;
        numero->setData(Qt::DisplayRole, l.NumPregunta);
        numero->setTextAlignment(Qt::AlignRight | Qt::AlignTop);
        auto* respuesta = new QTableWidgetItem(QString::fromStdString(l.Respuesta));
        respuesta->setFont(FuenteSQL());
        grdResumen_->setItem(i, 0, numero);
        grdResumen_->setItem(i, 1, new QTableWidgetItem(QString::fromStdString(l.Pregunta)));
        grdResumen_->setItem(i, 2, respuesta);
    }
    grdResumen_->resizeRowsToContents();
}

}  // namespace veliora::ui
