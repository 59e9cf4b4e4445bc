#include "ui/practice/frmVLREjecutarQuery.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/practice/comprobar.h"
#include "core/shell/globales.h"
#include "core/shell/textos.h"
#include "ui/practice/ModeloRecordset.h"
#include "ui/shell/mensajes.h"

namespace veliora::ui {

namespace {
QString T(int id) {
    return QString::fromStdString(Texto(id));
}
}  // namespace

frmVLREjecutarQuery::frmVLREjecutarQuery(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmVLREjecutarQuery"));
    bdUsuario_ = BDUsuario;

    FrPregunta_ = new QGroupBox(this);
    FrPregunta_->setObjectName(QStringLiteral("FrPregunta"));
    txtPregunta_ = new QPlainTextEdit(FrPregunta_);
    txtPregunta_->setObjectName(QStringLiteral("txtPregunta"));
    txtPregunta_->setTabChangesFocus(true);
    txtPregunta_->setFixedHeight(90);
    auto* capaPregunta = new QVBoxLayout(FrPregunta_);
    capaPregunta->addWidget(txtPregunta_);

    cmdEjecutar_ = new QPushButton(this);
    cmdEjecutar_->setObjectName(QStringLiteral("cmdEjecutar"));
    cmdSalir_ = new QPushButton(this);
    cmdSalir_->setObjectName(QStringLiteral("cmdSalir"));
    auto* botones = new QVBoxLayout;
    botones->addWidget(cmdEjecutar_);
    botones->addWidget(cmdSalir_);
    botones->addStretch();

    auto* arriba = new QHBoxLayout;
    arriba->addWidget(FrPregunta_, 1);
    arriba->addLayout(botones);

    DBGridDatos_ = new QTableView(this);
    DBGridDatos_->setObjectName(QStringLiteral("DBGridDatos"));
    DBGridDatos_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGridDatos_->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGridDatos_->verticalHeader()->setDefaultSectionSize(DBGridDatos_->fontMetrics().height() + 6);

    auto* capa = new QVBoxLayout(this);
    capa->addLayout(arriba);
    capa->addWidget(DBGridDatos_, 1);

    connect(cmdEjecutar_, &QPushButton::clicked, this, [this] { cmdEjecutar_Click(); });
    connect(cmdSalir_, &QPushButton::clicked, this, &QWidget::close);

    CargarTextos();
    resize(sizeHint());
}

frmVLREjecutarQuery::~frmVLREjecutarQuery() = default;

void frmVLREjecutarQuery::CargarTextos() {
    setWindowTitle(T(601));
    FrPregunta_->setTitle(T(602));
    cmdEjecutar_->setText(T(603));
    cmdSalir_->setText(T(604));
}

void frmVLREjecutarQuery::cmdEjecutar_Click() {
    engine::EngineError error;
    std::unique_ptr<engine::Recordset> rs;
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        if (bdUsuario_)
            rs = bdUsuario_->OpenRecordset(txtPregunta_->toPlainText().toStdString(), error);
        else
            error = {21, "No hay ninguna base de datos abierta", {}};
        QGuiApplication::restoreOverrideCursor();
    }
    if (!rs) {
        if (!error.failed())
            error.number = 1;
        // The grid keeps what it showed.
        MostrarError(error);
        return;
    }
    // A new model each run: columns and rows of the previous result go entirely.
    auto* modelo = new ModeloRecordset(std::move(rs), this);
    modelo->setObjectName(QStringLiteral("DataDatos"));
    modelo->AlFallar([this](const engine::EngineError& e) { MostrarError(e); });
    QAbstractItemModel* anterior = DBGridDatos_->model();
    DBGridDatos_->setModel(modelo);
    DataDatos_ = modelo;
    if (anterior)
        anterior->deleteLater();
    DBGridDatos_->resizeColumnsToContents();
}

void frmVLREjecutarQuery::MostrarError(const engine::EngineError& error) {
    Mensaje(T(605) + QString::number(error.number) + QStringLiteral("\r\n") +
                QString::fromStdString(
                    ExplicarError(error, bdUsuario_ ? bdUsuario_->limits() : engine::Limits{})) +
                QStringLiteral("\r\n") + T(606),
            Icono::Critico, Botones::Aceptar, QStringLiteral("VELIORA"), this);
    txtPregunta_->setFocus();
}

}  // namespace veliora::ui
