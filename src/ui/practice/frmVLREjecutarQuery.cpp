#include "ui/practice/frmVLREjecutarQuery.h"

#include <sqlite3.h>

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "core/practice/comprobar.h"
#include "core/shell/globales.h"
#include "ui/practice/ModeloRecordset.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"
#include "ui/shell/trabajo.h"
#include "ui/shell/ventanas.h"

namespace veliora::ui {

frmVLREjecutarQuery::frmVLREjecutarQuery(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmVLREjecutarQuery"));
    bdUsuario_ = BDUsuario;

    FrPregunta_ = new QGroupBox(this);
    FrPregunta_->setObjectName(QStringLiteral("FrPregunta"));
    txtPregunta_ = new QPlainTextEdit(FrPregunta_);
    txtPregunta_->setObjectName(QStringLiteral("txtPregunta"));
    TabuladorConControl(txtPregunta_);
    txtPregunta_->setFont(FuenteSQL());
    txtPregunta_->setMinimumHeight(60);
    auto* capaPregunta = new QVBoxLayout(FrPregunta_);
    capaPregunta->addWidget(txtPregunta_);

    cmdEjecutar_ = new QPushButton(this);
    cmdEjecutar_->setObjectName(QStringLiteral("cmdEjecutar"));
    cmdSalir_ = new QPushButton(this);
    cmdSalir_->setObjectName(QStringLiteral("cmdSalir"));
    // Enter presses the focused button.
    cmdEjecutar_->setAutoDefault(true);
    cmdSalir_->setAutoDefault(true);
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
    DBGridDatos_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    DBGridDatos_->verticalHeader()->setDefaultSectionSize(DBGridDatos_->fontMetrics().height() + 6);

    lblFilas_ = new QLabel(this);
    lblFilas_->setObjectName(QStringLiteral("lblFilas"));
    trabajo_ = new Trabajo(this);

    auto* capa = new QVBoxLayout(this);
    capa->addLayout(arriba, 1);
    capa->addWidget(DBGridDatos_, 3);
    capa->addWidget(lblFilas_);
    capa->addWidget(trabajo_);
    setTabOrder(txtPregunta_, cmdEjecutar_);
    setTabOrder(cmdEjecutar_, cmdSalir_);
    setTabOrder(cmdSalir_, DBGridDatos_);

    connect(cmdEjecutar_, &QPushButton::clicked, this, [this] { cmdEjecutar_Click(); });
    connect(cmdSalir_, &QPushButton::clicked, this, &QWidget::close);
    connect(trabajo_, &Trabajo::terminado, this, [this] {
        cmdEjecutar_->setEnabled(true);
        if (DataDatos_)
            DataDatos_->Pausar(false);
    });
    for (auto tecla : {Qt::CTRL | Qt::Key_Return, Qt::CTRL | Qt::Key_Enter}) {
        auto* s = new QShortcut(QKeySequence(tecla), this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, [this] {
            if (cmdEjecutar_->isEnabled())
                cmdEjecutar_->click();
        });
    }
    auto* copiar = new QAction(DBGridDatos_);
    copiar->setShortcut(QKeySequence::Copy);
    copiar->setShortcutContext(Qt::WidgetShortcut);
    DBGridDatos_->addAction(copiar);
    connect(copiar, &QAction::triggered, this, [this] { CopiarSeleccion(); });
    // Widths follow what is on show, a moment after scrolling stops.
    ajusteColumnas_ = new QTimer(this);
    ajusteColumnas_->setSingleShot(true);
    ajusteColumnas_->setInterval(150);
    connect(ajusteColumnas_, &QTimer::timeout, this,
            [this] { DBGridDatos_->resizeColumnsToContents(); });
    connect(DBGridDatos_->verticalScrollBar(), &QScrollBar::valueChanged, ajusteColumnas_,
            qOverload<>(&QTimer::start));

    CargarTextos();
    resize(sizeHint());
}

frmVLREjecutarQuery::~frmVLREjecutarQuery() = default;

bool frmVLREjecutarQuery::Ocupada() const {
    return trabajo_->Ocupado();
}

void frmVLREjecutarQuery::Cancelar() {
    trabajo_->Cancelar();
}

void frmVLREjecutarQuery::CargarTextos() {
    setWindowTitle(T(601));
    FrPregunta_->setTitle(T(602));
    cmdEjecutar_->setText(T(603));
    cmdSalir_->setText(T(604));
}

void frmVLREjecutarQuery::cmdEjecutar_Click() {
    if (Ocupada())
        return;
    if (!bdUsuario_) {
        MostrarError({SQLITE_MISUSE, Texto(1164), {}});
        return;
    }
    const std::string sql = txtPregunta_->toPlainText().toStdString();
    auto bd = bdUsuario_;
    // A delivery only runs while this window and its work are current.
    const bool lanzado = trabajo_->Lanzar(
        T(1154), bd,
        [this, bd, sql]() -> Trabajo::Entrega {
            QElapsedTimer reloj;
            reloj.start();
            engine::EngineError error;
            // Shared so the delivery can be copied; the window takes the recordset out whole.
            auto rs =
                std::make_shared<std::unique_ptr<engine::Recordset>>(bd->OpenRecordset(sql, error));
            // The first block is what can take long (a sort, a grouping): fetched here.
            if (*rs)
                (*rs)->FetchUpTo(ModeloRecordset::kFilasPorBloque);
            const double segundos = double(reloj.elapsed()) / 1000.0;
            return [this, rs, error, segundos] {
                if (!*rs) {
                    MostrarError(error.failed() ? error
                                                : engine::EngineError{SQLITE_ERROR, {}, {}});
                    return;
                }
                MostrarResultado(std::move(*rs), segundos);
            };
        },
        [this] { lblFilas_->setText(T(1156)); });
    if (lanzado) {
        cmdEjecutar_->setEnabled(false);
        if (DataDatos_)
            DataDatos_->Pausar(true);
    }
}

void frmVLREjecutarQuery::MostrarResultado(std::unique_ptr<engine::Recordset> rs, double segundos) {
    segundos_ = segundos;
    // A new model each run: columns and rows of the previous result go entirely.
    auto* modelo = new ModeloRecordset(std::move(rs), this);
    modelo->setObjectName(QStringLiteral("DataDatos"));
    modelo->AlFallar([this](const engine::EngineError& e) { MostrarError(e); });
    connect(modelo, &QAbstractItemModel::rowsInserted, this, [this] { ActualizarFilas(); });
    QAbstractItemModel* anterior = DBGridDatos_->model();
    DBGridDatos_->setModel(modelo);
    DataDatos_ = modelo;
    if (anterior)
        anterior->deleteLater();
    DBGridDatos_->resizeColumnsToContents();
    ActualizarFilas();
}

void frmVLREjecutarQuery::ActualizarFilas() {
    if (!DataDatos_)
        return;
    // Figures as the interface writes them: 1.000.008 filas · 0,41 s.
    const QLocale local(QLocale::Spanish, QLocale::Spain);
    const int filas = DataDatos_->rowCount();
    lblFilas_->setText(T(DataDatos_->canFetchMore({}) ? 1162 : 1157)
                           .arg(local.toString(filas), local.toString(segundos_, 'f', 2)));
}

void frmVLREjecutarQuery::CopiarSeleccion() {
    // The selected block as tab-separated text, its column names first.
    const QModelIndexList celdas = DBGridDatos_->selectionModel()
                                       ? DBGridDatos_->selectionModel()->selectedIndexes()
                                       : QModelIndexList{};
    if (celdas.isEmpty() || !DataDatos_)
        return;
    int f0 = celdas.front().row(), f1 = f0, c0 = celdas.front().column(), c1 = c0;
    for (const QModelIndex& i : celdas) {
        f0 = std::min(f0, i.row());
        f1 = std::max(f1, i.row());
        c0 = std::min(c0, i.column());
        c1 = std::max(c1, i.column());
    }
    QStringList lineas;
    QStringList cabecera;
    for (int c = c0; c <= c1; ++c) cabecera << DataDatos_->headerData(c, Qt::Horizontal).toString();
    lineas << cabecera.join(QLatin1Char('\t'));
    for (int f = f0; f <= f1; ++f) {
        QStringList fila;
        for (int c = c0; c <= c1; ++c)
            fila << DataDatos_->data(DataDatos_->index(f, c), ModeloRecordset::kTextoCopiado)
                        .toString();
        lineas << fila.join(QLatin1Char('\t'));
    }
    QGuiApplication::clipboard()->setText(lineas.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

void frmVLREjecutarQuery::MostrarError(const engine::EngineError& error) {
    Mensaje(T(605) + QString::number(error.number) + QStringLiteral("\r\n") +
                QString::fromStdString(
                    ExplicarError(error, bdUsuario_ ? bdUsuario_->limits() : engine::Limits{})) +
                QStringLiteral("\r\n") + T(606),
            Icono::Critico, Botones::Aceptar, QStringLiteral("VELIORA"), this);
    txtPregunta_->setFocus();
}

void frmVLREjecutarQuery::closeEvent(QCloseEvent* event) {
    // Nothing of a running query may reach a closed window.
    trabajo_->Cancelar(false);
    QWidget::closeEvent(event);
}

}  // namespace veliora::ui
