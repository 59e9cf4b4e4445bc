#include "ui/aula/frmVLRSeguimiento.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "core/app/aplicacion.h"
#include "core/aula/clase.h"
#include "core/aula/seguimiento.h"
#include "core/aula/textos.h"
#include "core/practice/juez.h"
#include "core/shell/directorio.h"
#include "core/shell/errores.h"
#include "core/shell/salidas.h"
#include "ui/aula/frmVLRClase.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"
#include "ui/shell/trabajo.h"

namespace veliora::ui {

namespace {
namespace fs = std::filesystem;

int& Periodo() {
    static int ms = 5000;
    return ms;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QColor ColorDe(const aula::Celda* celda) {
    if (!celda)
        return {230, 230, 230};
    switch (celda->mejor) {
        case aula::Mejor::Correcto:
            return {198, 239, 206};
        case aula::Mejor::CorrectoSoloAqui:
            return {255, 235, 156};
        case aula::Mejor::Incorrecto:
            break;
    }
    return {255, 199, 206};
}

QString Cuenta(const std::optional<std::int64_t>& a, const std::optional<std::int64_t>& b) {
    auto uno = [](const std::optional<std::int64_t>& v) {
        return v ? QString::number(*v) : QStringLiteral("-");
    };
    return uno(a) + QStringLiteral(" / ") + uno(b);
}

QTableWidget* NuevaTabla(QWidget* padre, const char* nombre) {
    auto* tabla = new QTableWidget(padre);
    tabla->setObjectName(QString::fromLatin1(nombre));
    tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla->setSelectionMode(QAbstractItemView::SingleSelection);
    tabla->verticalHeader()->hide();
    return tabla;
}

// What the teacher's fields name, read on the window thread for a worker.
struct Destino {
    fs::path directorio;
    std::string servidor, codigo, contrasena;

    std::unique_ptr<aula::Almacen> Abrir(aula::Error& e) const {
        return aula::AlmacenProfesor(directorio, servidor, contrasena, e);
    }
};
}  // namespace

void frmVLRSeguimiento::FijarPeriodo(int ms) {
    Periodo() = ms;
}

frmVLRSeguimiento::frmVLRSeguimiento(QWidget* parent) : QWidget(parent) {
    auto caja = [this](const char* nombre, const QString& texto) {
        auto* c = new QLineEdit(texto, this);
        c->setObjectName(QString::fromLatin1(nombre));
        return c;
    };
    auto boton = [this](const char* nombre) {
        auto* b = new QPushButton(this);
        b->setObjectName(QString::fromLatin1(nombre));
        return b;
    };
    txtServidor_ = caja("txtServidor", ServidorRecordado());
    txtCodigo_ = caja("txtCodigo", ClaseRecordada());
    txtContrasena_ = caja("txtContrasena", {});
    txtContrasena_->setEchoMode(QLineEdit::Password);
    cboBoletin_ = new QComboBox(this);
    cboBoletin_->setObjectName(QStringLiteral("cboBoletin"));
    cboBoletin_->addItem(QString());
    cmdActualizar_ = boton("cmdActualizar");
    cmdExportar_ = boton("cmdExportar");
    cmdRejuzgar_ = boton("cmdRejuzgar");
    grdSeguimiento_ = NuevaTabla(this, "grdSeguimiento");
    grdIntentos_ = NuevaTabla(this, "grdIntentos");
    grdIntentos_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdIntentos_->setWordWrap(false);
    lblIntentos_ = new QLabel(this);
    lblIntentos_->setObjectName(QStringLiteral("lblIntentos"));
    trabajo_ = new Trabajo(this);

    auto* arriba = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{txtServidor_, txtCodigo_, txtContrasena_,
                                                      cmdActualizar_, cboBoletin_, cmdExportar_})
        arriba->addWidget(w);
    auto* abajo = new QWidget(this);
    auto* capaAbajo = new QVBoxLayout(abajo);
    capaAbajo->setContentsMargins(0, 0, 0, 0);
    auto* fila = new QHBoxLayout;
    fila->addWidget(lblIntentos_, 1);
    fila->addWidget(cmdRejuzgar_);
    capaAbajo->addLayout(fila);
    capaAbajo->addWidget(grdIntentos_);
    auto* division = new QSplitter(Qt::Vertical, this);
    division->addWidget(grdSeguimiento_);
    division->addWidget(abajo);
    auto* capa = new QVBoxLayout(this);
    capa->addLayout(arriba);
    capa->addWidget(division, 1);
    capa->addWidget(trabajo_);

    tmrActualizar_ = new QTimer(this);
    tmrActualizar_->setObjectName(QStringLiteral("tmrActualizar"));
    connect(tmrActualizar_, &QTimer::timeout, this, [this] {
        if (!trabajo_->Ocupado())
            Actualizar();
    });
    connect(cmdActualizar_, &QPushButton::clicked, this, &frmVLRSeguimiento::Actualizar);
    connect(cboBoletin_, &QComboBox::activated, this, &frmVLRSeguimiento::Actualizar);
    connect(cmdExportar_, &QPushButton::clicked, this, &frmVLRSeguimiento::cmdExportar_Click);
    connect(cmdRejuzgar_, &QPushButton::clicked, this, &frmVLRSeguimiento::cmdRejuzgar_Click);
    connect(grdSeguimiento_, &QTableWidget::cellActivated, this, &frmVLRSeguimiento::AbrirCelda);
    connect(grdSeguimiento_, &QTableWidget::cellClicked, this, &frmVLRSeguimiento::AbrirCelda);
    CargarTextos();
    MostrarIntentos({}, {});
    resize(760, 520);
}

frmVLRSeguimiento::~frmVLRSeguimiento() = default;

void frmVLRSeguimiento::CargarTextos() {
    setWindowTitle(T(2345));
    txtServidor_->setPlaceholderText(T(2321));
    txtCodigo_->setPlaceholderText(T(2322));
    txtContrasena_->setPlaceholderText(T(2362));
    cboBoletin_->setItemText(0, T(2349));
    cmdActualizar_->setText(T(2350));
    cmdExportar_->setText(T(2351));
    cmdRejuzgar_->setText(T(2352));
    grdIntentos_->setColumnCount(5);
    grdIntentos_->setHorizontalHeaderLabels({T(2353), T(2354), T(2355), T(2356), T(2357)});
    // The statement takes the room the others leave.
    grdIntentos_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdIntentos_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
}

void frmVLRSeguimiento::Actualizar() {
    if (trabajo_->Ocupado())
        return;
    const Destino destino{DirectorioAplicacion(), txtServidor_->text().trimmed().toStdString(),
                          txtCodigo_->text().trimmed().toStdString(),
                          txtContrasena_->text().toStdString()};
    const std::string boletin =
        cboBoletin_->currentIndex() > 0 ? cboBoletin_->currentText().toStdString() : "";
    const bool sondeo = tmrActualizar_->isActive();
    tmrActualizar_->stop();
    trabajo_->Lanzar(T(2359), nullptr, [this, destino, boletin, sondeo]() -> Trabajo::Entrega {
        aula::Error e;
        auto almacen = destino.Abrir(e);
        auto seguimiento = almacen ? almacen->Seguir(destino.codigo, boletin, e) : std::nullopt;
        if (!seguimiento)
            return [this, e, sondeo] {
                // A poll that fails says nothing (the teacher asked for none) and polls on.
                if (sondeo)
                    tmrActualizar_->start(Periodo());
                else
                    Mensaje(Q(aula::ExplicarFallo(e)), Icono::Exclamacion, Botones::Aceptar,
                            QStringLiteral("VELIORA"), this);
            };
        return [this, s = std::move(*seguimiento), boletin]() mutable {
            Mostrar(std::move(s), boletin);
            tmrActualizar_->start(Periodo());
        };
    });
}

void frmVLRSeguimiento::Mostrar(aula::Seguimiento seguimiento, const std::string& boletin) {
    seguimiento_ = std::move(seguimiento);
    columnas_ = aula::ColumnasSeguimiento(seguimiento_);
    // The filter offers every bulletin seen while showing them all.
    if (boletin.empty())
        for (const auto& [nombre, numero] : columnas_)
            if (cboBoletin_->findText(Q(nombre)) < 0)
                cboBoletin_->addItem(Q(nombre));
    QStringList titulos{T(2330), T(2331), T(2332)};
    for (const auto& c : columnas_) titulos << Q(aula::NombrePregunta(c));
    grdSeguimiento_->clear();
    grdSeguimiento_->setColumnCount(int(titulos.size()));
    grdSeguimiento_->setHorizontalHeaderLabels(titulos);
    grdSeguimiento_->setRowCount(int(seguimiento_.size()));
    for (int f = 0; f < int(seguimiento_.size()); ++f) {
        const aula::FilaSeguimiento& fila = seguimiento_[f];
        grdSeguimiento_->setItem(f, 0, new QTableWidgetItem(Q(fila.alumno)));
        grdSeguimiento_->setItem(f, 1, new QTableWidgetItem(QString::number(fila.intentos)));
        grdSeguimiento_->setItem(f, 2, new QTableWidgetItem(QString::number(fila.correctos)));
        for (int c = 0; c < int(columnas_.size()); ++c) {
            const auto it = fila.preguntas.find(columnas_[c]);
            MostrarCelda(f, c + 3, it == fila.preguntas.end() ? nullptr : &it->second);
        }
    }
}

void frmVLRSeguimiento::MostrarCelda(int fila, int columna, const aula::Celda* celda) {
    auto* item = new QTableWidgetItem(
        celda
            ? QStringLiteral("%1 (%2)").arg(Q(aula::TextoMejor(celda->mejor))).arg(celda->intentos)
            : QString());
    item->setBackground(ColorDe(celda));
    item->setForeground(Qt::black);
    item->setToolTip(celda ? item->text() : T(2336));
    grdSeguimiento_->setItem(fila, columna, item);
}

void frmVLRSeguimiento::AbrirCelda(int fila, int columna) {
    if (fila < 0 || fila >= int(seguimiento_.size()) || columna < 3 ||
        columna - 3 >= int(columnas_.size()) || trabajo_->Ocupado())
        return;
    const Destino destino{DirectorioAplicacion(), txtServidor_->text().trimmed().toStdString(),
                          txtCodigo_->text().trimmed().toStdString(),
                          txtContrasena_->text().toStdString()};
    const std::string alumno = seguimiento_[fila].alumno;
    const aula::ClavePregunta pregunta = columnas_[columna - 3];
    const QString titulo = T(2363).arg(Q(alumno), Q(aula::NombrePregunta(pregunta)));
    trabajo_->Lanzar(T(2359), nullptr, [=, this]() -> Trabajo::Entrega {
        aula::Error e;
        auto almacen = destino.Abrir(e);
        auto intentos = almacen ? almacen->IntentosPregunta(destino.codigo, alumno, pregunta, e)
                                : std::vector<aula::Intento>{};
        if (e.failed())
            return [this, e] {
                Mensaje(Q(aula::ExplicarFallo(e)), Icono::Exclamacion, Botones::Aceptar,
                        QStringLiteral("VELIORA"), this);
            };
        return [this, intentos = std::move(intentos), titulo]() mutable {
            MostrarIntentos(std::move(intentos), titulo);
        };
    });
}

void frmVLRSeguimiento::MostrarIntentos(std::vector<aula::Intento> intentos,
                                        const QString& titulo) {
    intentos_ = std::move(intentos);
    lblIntentos_->setText(titulo);
    grdIntentos_->setRowCount(int(intentos_.size()));
    for (int f = 0; f < int(intentos_.size()); ++f) {
        const aula::Intento& i = intentos_[f];
        const QString textos[] = {QDateTime::fromMSecsSinceEpoch(i.comprobada)
                                      .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                  Q(i.respuesta),
                                  Q(aula::TextoMejor(aula::MejorDeVeredicto(i.veredicto))),
                                  Cuenta(i.filasRespuesta, i.filasSolucion),
                                  Cuenta(i.columnasRespuesta, i.columnasSolucion)};
        for (int c = 0; c < 5; ++c) grdIntentos_->setItem(f, c, new QTableWidgetItem(textos[c]));
        grdIntentos_->item(f, 1)->setToolTip(textos[1]);
    }
    cmdRejuzgar_->setEnabled(!intentos_.empty());
}

bool frmVLRSeguimiento::Exportar(const QString& ruta) {
    engine::Error e;
    const std::string csv = aula::CsvSeguimiento(seguimiento_, columnas_);
    // Never onto a file that holds data, nor through a link (core/shell/salidas.h).
    const bool ok = EscribirSalida(ruta.toStdString(), csv, e);
    Mensaje(ok ? T(2361).arg(ruta) : Q(TextoDeError(e)),
            ok ? Icono::Informacion : Icono::Exclamacion, Botones::Aceptar,
            QStringLiteral("VELIORA"), this);
    return ok;
}

// A destination refused or that cannot be written: the reason, and the dialog again.
void frmVLRSeguimiento::cmdExportar_Click() {
    QString ruta;
    do {
        ruta = QFileDialog::getSaveFileName(this, T(2351), ruta, T(2358));
    } while (!ruta.isEmpty() && !Exportar(ruta));
}

void frmVLRSeguimiento::cmdRejuzgar_Click() {
    const int fila = grdIntentos_->currentRow();
    if (fila < 0 || fila >= int(intentos_.size()) || !Aplicacion::Actual().UsuarioAbierto() ||
        !Aplicacion::Actual().Auxiliar() || trabajo_->Ocupado())
        return;
    tmrActualizar_->stop();
    const aula::Intento intento = intentos_[fila];
    const auto usuario = Aplicacion::Actual().Usuario();
    const auto auxiliar = Aplicacion::Actual().Auxiliar();
    trabajo_->Lanzar(T(1153), usuario, [intento, usuario, auxiliar, this]() -> Trabajo::Entrega {
        engine::Error err;
        const auto solucion = aula::SolucionDeIntento(*auxiliar, intento, err);
        if (!solucion)
            return [this, err] {
                Mensaje(T(1150) + QLatin1Char('\n') + Q(TextoDeError(err)), Icono::Exclamacion,
                        Botones::Aceptar, QStringLiteral("VELIORA"), this);
            };
        const Juicio juicio = Juzgar(*usuario, *solucion, intento.respuesta, OpcionesJuez{});
        aula::Error e;
        // Judged on another database than the student's: said along with the verdict.
        const bool otra = aula::HashArchivo(usuario->Name(), e) != intento.hashBd;
        return [this, mensaje = juicio.resultado.mensaje, otra] {
            Mensaje(Q(mensaje) + (otra ? QStringLiteral("\n\n") + T(2366) : QString()),
                    Icono::Informacion, Botones::Aceptar, QStringLiteral("VELIORA"), this);
            tmrActualizar_->start(Periodo());
        };
    });
}

void frmVLRSeguimiento::closeEvent(QCloseEvent* event) {
    trabajo_->Cancelar(false);
    tmrActualizar_->stop();
    QWidget::closeEvent(event);
}

}  // namespace veliora::ui
