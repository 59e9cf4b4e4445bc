#include "ui/practice/frmVLREjecutarQuery.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <cctype>

#include "core/app/aplicacion.h"
#include "core/dictionary/vista_esquema.h"
#include "core/practice/comprobar.h"
#include "core/practice/exportar_csv.h"
#include "core/shell/errores.h"
#include "ui/practice/ModeloRecordset.h"
#include "ui/practice/editor_sql.h"
#include "ui/practice/menu_rejilla.h"
#include "ui/practice/panel_esquema.h"
#include "ui/shell/avisos.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"
#include "ui/shell/trabajo.h"
#include "ui/shell/ventanas.h"

namespace veliora::ui {

frmVLREjecutarQuery::frmVLREjecutarQuery(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmVLREjecutarQuery"));
    bdUsuario_ = Aplicacion::Actual().Usuario();

    FrPregunta_ = new QGroupBox(this);
    FrPregunta_->setObjectName(QStringLiteral("FrPregunta"));
    txtPregunta_ = new EditorSql(FrPregunta_);
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

    // The schema beside the statement and the grid; a double-click types a name.
    pnlEsquema_ = new PanelEsquema(this);
    connect(pnlEsquema_, &PanelEsquema::nombreElegido, txtPregunta_, &EditorSql::Insertar);
    auto* izquierda = new QVBoxLayout;
    izquierda->addLayout(arriba, 1);
    izquierda->addWidget(DBGridDatos_, 3);
    izquierda->addWidget(lblFilas_);
    izquierda->addWidget(trabajo_);
    auto* capa = new QHBoxLayout(this);
    capa->addLayout(izquierda, 1);
    capa->addWidget(pnlEsquema_);
    setTabOrder(txtPregunta_, cmdEjecutar_);
    setTabOrder(cmdEjecutar_, cmdSalir_);
    setTabOrder(cmdSalir_, DBGridDatos_);

    connect(cmdEjecutar_, &QPushButton::clicked, this, [this] { cmdEjecutar_Click(); });
    connect(cmdSalir_, &QPushButton::clicked, this, &QWidget::close);
    connect(trabajo_, &Trabajo::terminado, this, [this] {
        contando_ = false;
        cmdEjecutar_->setEnabled(true);
    });
    for (auto tecla : {QKeyCombination(Qt::CTRL | Qt::Key_Return),
                       QKeyCombination(Qt::CTRL | Qt::Key_Enter), QKeyCombination(Qt::Key_F5)}) {
        auto* s = new QShortcut(QKeySequence(tecla), this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, [this] {
            if (cmdEjecutar_->isEnabled())
                cmdEjecutar_->click();
        });
    }
    DarMenuRejilla(DBGridDatos_, [this] { ExportarCsv(); });
    DBGridDatos_->installEventFilter(this);
    // Widths follow what is on show, a moment after scrolling stops.
    ajusteColumnas_ = new QTimer(this);
    ajusteColumnas_->setSingleShot(true);
    ajusteColumnas_->setInterval(150);
    connect(ajusteColumnas_, &QTimer::timeout, this,
            [this] { DBGridDatos_->resizeColumnsToContents(); });
    connect(DBGridDatos_->verticalScrollBar(), &QScrollBar::valueChanged, ajusteColumnas_,
            qOverload<>(&QTimer::start));

    CargarTextos();
    CargarEsquema();
    resize(sizeHint());
}

void frmVLREjecutarQuery::CargarEsquema() {
    VistaEsquema vista;
    engine::Error error;
    // Without it the panel stays empty; the statement's own errors say what is wrong.
    if (bdUsuario_ &&
        LeerVistaEsquema(*bdUsuario_, Aplicacion::Actual().Auxiliar().get(), vista, error)) {
        pnlEsquema_->Cargar(vista);
        txtPregunta_->FijarEsquema(vista);
    }
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
    cmdEjecutar_->setToolTip(T(2433).arg(
        QKeySequence(Qt::CTRL | Qt::Key_Return).toString(QKeySequence::NativeText) +
        QStringLiteral(", ") + QKeySequence(Qt::Key_F5).toString(QKeySequence::NativeText)));
}

void frmVLREjecutarQuery::cmdEjecutar_Click() {
    // A count of the previous result, or a block of its rows being read, gives way to the new
    // statement.
    if (contando_)
        trabajo_->Cancelar(false);
    if (DataDatos_)
        DataDatos_->Detener();
    if (Ocupada())
        return;
    if (!bdUsuario_) {
        MostrarError(engine::Failure(engine::Code::NoDatabase));
        return;
    }
    const std::string sql = txtPregunta_->toPlainText().toStdString();
    // A delivery only runs while this window and its work are current.
    const bool lanzado = LanzarConsulta(
        trabajo_, T(1154), bdUsuario_, sql,
        [this, sql](std::unique_ptr<engine::Recordset> rs, const engine::Error& error,
                    double segundos) {
            if (!rs) {
                MostrarError(error);
                return;
            }
            sqlMostrada_ = sql;
            MostrarResultado(std::move(rs), segundos);
        },
        [this] { lblFilas_->setText(T(1156)); });
    if (lanzado)
        cmdEjecutar_->setEnabled(false);
}

void frmVLREjecutarQuery::MostrarResultado(std::unique_ptr<engine::Recordset> rs, double segundos) {
    segundos_ = segundos;
    // A new model each run: columns and rows of the previous result go entirely.
    auto* modelo = new ModeloRecordset(std::move(rs), bdUsuario_, trabajo_, this);
    modelo->setObjectName(QStringLiteral("DataDatos"));
    // Rows read before a later failure stay; the status line says the reading stopped.
    modelo->AlFallar([this](const engine::Error& e) {
        ActualizarFilas();
        MostrarError(e, true);
    });
    connect(modelo, &QAbstractItemModel::rowsInserted, this, [this] { ActualizarFilas(); });
    QAbstractItemModel* anterior = DBGridDatos_->model();
    DBGridDatos_->setModel(modelo);
    DataDatos_ = modelo;
    if (anterior)
        anterior->deleteLater();
    DBGridDatos_->resizeColumnsToContents();
    total_ = modelo->canFetchMore({}) ? -1 : modelo->rowCount();
    ActualizarFilas();
    if (total_ < 0)
        ContarFilas();
}

void frmVLREjecutarQuery::ContarFilas() {
    std::string sql = sqlMostrada_;
    while (!sql.empty() &&
           (std::isspace(static_cast<unsigned char>(sql.back())) || sql.back() == ';'))
        sql.pop_back();
    auto bd = bdUsuario_;
    const bool lanzado = trabajo_->Lanzar(T(2458), bd, [this, bd, sql]() -> Trabajo::Entrega {
        engine::Error error;
        const engine::Value n = bd->Scalar("SELECT count(*) FROM (" + sql + ")", error);
        // Without the count the status line keeps its "≥ N": nothing is wrong with the rows.
        if (error.failed())
            return [] {};
        const long long total = n.toInt();
        return [this, total] {
            total_ = total;
            ActualizarFilas();
        };
    });
    if (lanzado)
        contando_ = true;
}

void frmVLREjecutarQuery::LeerTodas() {
    if (contando_)
        trabajo_->Cancelar(false);
    DataDatos_->Detener();
    if (Ocupada())
        return;
    const int columna = std::max(0, DBGridDatos_->currentIndex().column());
    const bool lanzado = LanzarConsulta(
        trabajo_, T(1154), bdUsuario_, sqlMostrada_,
        [this, columna](std::unique_ptr<engine::Recordset> rs, const engine::Error& error,
                        double segundos) {
            if (!rs) {
                MostrarError(error, true);
                return;
            }
            MostrarResultado(std::move(rs), segundos);
            const int ultima = DataDatos_->rowCount() - 1;
            DBGridDatos_->setCurrentIndex(DataDatos_->index(ultima, columna));
            DBGridDatos_->scrollToBottom();
        },
        {}, SIZE_MAX);
    if (lanzado)
        cmdEjecutar_->setEnabled(false);
}

bool frmVLREjecutarQuery::eventFilter(QObject* objeto, QEvent* evento) {
    // Ctrl+End goes to the result's real last row, not the last one read so far.
    if (objeto == DBGridDatos_ && evento->type() == QEvent::KeyPress && DataDatos_) {
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->key() == Qt::Key_End && (tecla->modifiers() & Qt::ControlModifier) &&
            (total_ < 0 || DataDatos_->rowCount() < total_)) {
            LeerTodas();
            return true;
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

namespace {
// Whole numbers as both interface languages write them: 1000, 1.000.008. Qt's locale data
// leaves the highest group unseparated ("1000.008"), so the grouping is done here.
QString Cifra(qulonglong n) {
    QString s = QString::number(n);
    if (s.size() > 4)
        for (qsizetype i = s.size() - 3; i > 0; i -= 3) s.insert(i, u'.');
    return s;
}
}  // namespace

void frmVLREjecutarQuery::ActualizarFilas() {
    if (!DataDatos_)
        return;
    // Figures as the interface writes them: 1.000.008 filas · 0,41 s.
    const QLocale local(QLocale::Spanish, QLocale::Spain);
    const int filas = DataDatos_->rowCount();
    // A result whose reading stopped on an error says so: nothing more will come.
    const bool leidas = total_ >= 0 && filas >= total_;
    const QString tiempo = local.toString(segundos_, 'f', 2);
    if (DataDatos_->Error().failed())
        lblFilas_->setText(T(2422).arg(Cifra(filas), tiempo));
    else if (leidas)
        lblFilas_->setText(T(filas == 1 ? 2420 : 1157).arg(Cifra(filas), tiempo));
    else if (total_ >= 0)  // counted, still being read
        lblFilas_->setText(T(2461).arg(Cifra(total_), Cifra(filas), tiempo));
    else
        lblFilas_->setText(T(filas == 1 ? 2460 : 2459).arg(Cifra(filas), tiempo));
}

void frmVLREjecutarQuery::ExportarCsv() {
    if (Ocupada() || sqlMostrada_.empty())
        return;
    const QString ruta = PedirRutaGuardar(this, T(2429), QStringLiteral("csv"),
                                          QStringLiteral("consulta.csv"), {T(2431)});
    if (!ruta.isEmpty())
        ExportarCsvA(ruta);
}

void frmVLREjecutarQuery::ExportarCsvA(const QString& ruta) {
    auto bd = bdUsuario_;
    const std::string sql = sqlMostrada_;
    auto filas = std::make_shared<std::atomic<std::size_t>>(0);
    const bool lanzado =
        trabajo_->Lanzar(T(2434), bd, [this, bd, sql, ruta, filas]() -> Trabajo::Entrega {
            engine::Error error;
            const bool hecho = veliora::ExportarCsv(*bd, sql, ruta.toStdString(), *filas, error);
            return [this, hecho, error, ruta, filas] {
                if (hecho)
                    Avisar(T(2425).arg(Cifra(filas->load()), QDir::toNativeSeparators(ruta)));
                else {
                    Mensaje(T(2435) + QStringLiteral("\r\n") + ruta + QStringLiteral("\r\n") +
                                QString::fromStdString(TextoDeError(error)),
                            Icono::Exclamacion, Botones::Aceptar, QStringLiteral("VELIORA"), this);
                    // The save dialog again, once this work has ended.
                    QTimer::singleShot(0, this, [this] { ExportarCsv(); });
                }
            };
        });
    if (!lanzado)
        return;
    trabajo_->FijarDetalle([filas] { return T(2432).arg(Cifra(filas->load())); });
    cmdEjecutar_->setEnabled(false);
}

void frmVLREjecutarQuery::MostrarError(const engine::Error& error, bool enLectura) {
    // The grid keeps what it showed; the figures of the status line were not this
    // statement's, and go.
    if (!enLectura)
        lblFilas_->clear();
    Mensaje(T(605) + QString::number(NumeroDeError(error)) + QStringLiteral("\r\n") +
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
