#include "ui/bulletins/frmVLRMBoletines.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/bulletins/boletines.h"
#include "core/practice/comprobar.h"
#include "core/shell/errores.h"
#include "ui/bulletins/frmVLRNuevoBoletin.h"
#include "ui/bulletins/frmVLRResumenBoletin.h"
#include "ui/practice/ModeloRecordset.h"
#include "ui/shell/avisos.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"
#include "ui/shell/trabajo.h"
#include "ui/shell/ventanas.h"

namespace veliora::ui {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
const QString kTitulo = QStringLiteral("VELIORA");

void Aviso(QWidget* padre, const QString& texto, const QString& titulo = kTitulo) {
    Mensaje(texto, Icono::Ninguno, Botones::Aceptar, titulo, padre);
}

QString ErrorMotor(const engine::Error& e) {
    return TextoError(e);
}

QPlainTextEdit* CajaFija(QWidget* padre, const char* nombre) {
    auto* caja = new QPlainTextEdit(padre);
    caja->setObjectName(QLatin1String(nombre));
    caja->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    caja->setTabChangesFocus(true);
    return caja;
}

QPushButton* Boton(QWidget* padre, const char* nombre) {
    auto* b = new QPushButton(padre);
    b->setObjectName(QLatin1String(nombre));
    return b;
}

bool EsModificador(int tecla) {
    return tecla == Qt::Key_Shift || tecla == Qt::Key_Control || tecla == Qt::Key_Alt ||
           tecla == Qt::Key_Meta || tecla == Qt::Key_AltGr || tecla == Qt::Key_Tab ||
           tecla == Qt::Key_Backtab;
}

}  // namespace

frmVLRMBoletines::frmVLRMBoletines(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmVLRMBoletines"));
    bdAuxiliar_ = Aplicacion::Actual().Auxiliar();
    bdUsuario_ = Aplicacion::Actual().Usuario();

    frBoletines_ = new QGroupBox(this);
    frBoletines_->setObjectName(QStringLiteral("frBoletines"));
    lblNombre_ = new QLabel(frBoletines_);
    lblNombre_->setObjectName(QStringLiteral("lblNombre"));
    cboBoletin_ = new QComboBox(frBoletines_);
    cboBoletin_->setObjectName(QStringLiteral("cboBoletin"));
    cboBoletin_->setMinimumWidth(240);
    cmdNuevoBoletin_ = Boton(frBoletines_, "cmdNuevoBoletin");
    cmdEliminarBoletin_ = Boton(frBoletines_, "cmdEliminarBoletin");
    cmdSalir_ = Boton(frBoletines_, "cmdSalir");
    cmdVerTodas_ = Boton(frBoletines_, "cmdVerTodas");
    auto* capaBoletines = new QHBoxLayout(frBoletines_);
    capaBoletines->addWidget(lblNombre_);
    capaBoletines->addWidget(cboBoletin_, 1);
    capaBoletines->addWidget(cmdVerTodas_);
    capaBoletines->addWidget(cmdNuevoBoletin_);
    capaBoletines->addWidget(cmdEliminarBoletin_);
    capaBoletines->addWidget(cmdSalir_);

    frPreguntas_ = new QGroupBox(this);
    frPreguntas_->setObjectName(QStringLiteral("frPreguntas"));
    lblPregunta_ = new QLabel(frPreguntas_);
    lblPregunta_->setObjectName(QStringLiteral("lblPregunta"));
    txtNumPregunta_ = new QLineEdit(frPreguntas_);
    txtNumPregunta_->setObjectName(QStringLiteral("txtNumPregunta"));
    txtNumPregunta_->setMaxLength(7);
    // Digits only: whatever the box holds is a plain whole number or nothing.
    txtNumPregunta_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,7}")), txtNumPregunta_));
    txtNumPregunta_->setMaximumWidth(100);
    lblPreguntaNatural_ = new QLabel(frPreguntas_);
    lblPreguntaNatural_->setObjectName(QStringLiteral("lblPreguntaNatural"));
    txtPregunta_ = CajaFija(frPreguntas_, "txtPregunta");
    lblRespuesta_ = new QLabel(frPreguntas_);
    lblRespuesta_->setObjectName(QStringLiteral("lblRespuesta"));
    txtRespuesta_ = CajaFija(frPreguntas_, "txtRespuesta");
    cmdCambioOpcion_ = Boton(frPreguntas_, "cmdCambioOpcion");
    cmdGuardar_ = Boton(frPreguntas_, "cmdGuardar");
    cmdBorrar_ = Boton(frPreguntas_, "cmdBorrar");
    cmdARegistro_ = Boton(frPreguntas_, "cmdARegistro");
    cmdSRegistro_ = Boton(frPreguntas_, "cmdSRegistro");
    cmdARegistro_->setText(QStringLiteral("&<<"));
    cmdSRegistro_->setText(QStringLiteral("&>>"));
    // "Probar": the answer's rows below it, before it is saved.
    cmdProbar_ = Boton(frPreguntas_, "cmdProbar");
    grdProbar_ = new QTableView(frPreguntas_);
    grdProbar_->setObjectName(QStringLiteral("grdProbar"));
    grdProbar_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdProbar_->hide();
    lblProbar_ = new QLabel(frPreguntas_);
    lblProbar_->setObjectName(QStringLiteral("lblProbar"));
    lblProbar_->hide();
    trabajo_ = new Trabajo(this);
    txtIntercambio_ = new QLineEdit(this);
    txtIntercambio_->setObjectName(QStringLiteral("txtIntercambio"));
    txtIntercambio_->setVisible(false);

    auto* numero = new QHBoxLayout;
    numero->addWidget(lblPregunta_);
    numero->addWidget(txtNumPregunta_);
    numero->addStretch();
    auto* botones = new QHBoxLayout;
    botones->addWidget(cmdARegistro_);
    botones->addWidget(cmdSRegistro_);
    botones->addStretch();
    botones->addWidget(cmdProbar_);
    botones->addWidget(cmdCambioOpcion_);
    botones->addWidget(cmdGuardar_);
    botones->addWidget(cmdBorrar_);
    auto* capaPreguntas = new QVBoxLayout(frPreguntas_);
    capaPreguntas->addLayout(numero);
    capaPreguntas->addWidget(lblPreguntaNatural_);
    capaPreguntas->addWidget(txtPregunta_, 1);
    capaPreguntas->addWidget(lblRespuesta_);
    capaPreguntas->addWidget(txtRespuesta_, 2);
    capaPreguntas->addLayout(botones);
    capaPreguntas->addWidget(grdProbar_, 2);
    capaPreguntas->addWidget(lblProbar_);
    capaPreguntas->addWidget(trabajo_);

    auto* capa = new QVBoxLayout(this);
    capa->addWidget(frBoletines_);
    capa->addWidget(frPreguntas_, 1);
    resize(720, 560);

    connect(cboBoletin_, &QComboBox::currentIndexChanged, this, [this] { cboBoletin_Click(); });
    connect(cmdCambioOpcion_, &QPushButton::clicked, this, [this] { cmdCambioOpcion_Click(); });
    connect(cmdARegistro_, &QPushButton::clicked, this, [this] { cmdARegistro_Click(); });
    connect(cmdSRegistro_, &QPushButton::clicked, this, [this] { cmdSRegistro_Click(); });
    connect(cmdGuardar_, &QPushButton::clicked, this, [this] { cmdGuardar_Click(); });
    connect(cmdBorrar_, &QPushButton::clicked, this, [this] { cmdBorrar_Click(); });
    connect(cmdNuevoBoletin_, &QPushButton::clicked, this, [this] { cmdNuevoBoletin_Click(); });
    connect(cmdEliminarBoletin_, &QPushButton::clicked, this,
            [this] { cmdEliminarBoletin_Click(); });
    connect(cmdSalir_, &QPushButton::clicked, this, [this] { close(); });
    connect(cmdProbar_, &QPushButton::clicked, this, [this] { cmdProbar_Click(); });
    connect(cmdVerTodas_, &QPushButton::clicked, this, [this] { cmdVerTodas_Click(); });
    txtNumPregunta_->installEventFilter(this);
    txtPregunta_->installEventFilter(this);
    txtRespuesta_->installEventFilter(this);

    CargarTextos();
    modoNuevo_ = false;
    cboBoletin_Click();  // no bulletin selected until the list is filled
}

frmVLRMBoletines::~frmVLRMBoletines() = default;

void frmVLRMBoletines::CargarTextos() {
    setWindowTitle(T(701));
    frBoletines_->setTitle(T(702));
    lblNombre_->setText(T(703));
    cmdNuevoBoletin_->setText(T(704));
    cmdEliminarBoletin_->setText(T(705));
    cmdSalir_->setText(T(706));
    frPreguntas_->setTitle(T(707));
    lblPregunta_->setText(T(708));
    lblPreguntaNatural_->setText(T(709));
    lblRespuesta_->setText(T(710));
    cmdCambioOpcion_->setText(T(711));
    cmdGuardar_->setText(T(712));
    cmdBorrar_->setText(T(713));
    cmdProbar_->setText(T(2449));
    cmdProbar_->setToolTip(T(2450));
    cmdVerTodas_->setText(T(2451));
    cmdVerTodas_->setToolTip(T(2452));
}

void frmVLRMBoletines::paintEvent(QPaintEvent* event) {
    if (primerPintado_) {
        primerPintado_ = false;
        // After the window is on screen.
        QTimer::singleShot(0, this, [this] {
            CargarBoletines();
            Seleccionar(-1);
        });
    }
    QWidget::paintEvent(event);
}

// ---------------------------------------------------------------- routines

int frmVLRMBoletines::Numero() const {
    return NumeroPregunta(txtNumPregunta_->text().toStdString()).value_or(0);
}

std::string frmVLRMBoletines::Boletin() const {
    return cboBoletin_->currentText().toStdString();
}

void frmVLRMBoletines::Seleccionar(int indice) {
    {
        const QSignalBlocker bloqueo(cboBoletin_);
        cboBoletin_->setCurrentIndex(indice);
    }
    cboBoletin_Click();
}

void frmVLRMBoletines::CargarBoletines() {
    const QSignalBlocker bloqueo(cboBoletin_);
    cboBoletin_->clear();
    engine::Error error;
    if (bdAuxiliar_) {
        for (const auto& nombre : NombresBoletines(*bdAuxiliar_, error))
            cboBoletin_->addItem(Q(nombre));
    }
    cboBoletin_->setCurrentIndex(-1);
    if (error.failed())
        Aviso(this, ErrorMotor(error));
}

void frmVLRMBoletines::LimpiarCampos() {
    txtNumPregunta_->setText(QStringLiteral("0"));
    txtPregunta_->clear();
    txtRespuesta_->clear();
}

void frmVLRMBoletines::AbrirLineas() {
    engine::Error error;
    std::vector<LineaBoletin> lineas;
    if (bdAuxiliar_)
        lineas = LeerBoletin(*bdAuxiliar_, Boletin(), error);
    if (error.failed())
        Aviso(this, TextoError(error, FormaError::Compacta), QString());
    cursor_ = CursorLineas(std::move(lineas));  // before the first line
}

void frmVLRMBoletines::SiguienteNumero() {
    engine::Error error;
    const int numero = bdAuxiliar_ ? veliora::SiguienteNumero(*bdAuxiliar_, Boletin(), error) : 0;
    if (error.failed()) {
        Aviso(this, ErrorMotor(error));
        return;
    }
    txtNumPregunta_->setText(QString::number(numero));
}

bool frmVLRMBoletines::ExistePregunta() {
    const int numero = Numero();
    engine::Error error;
    const bool existe = numero > 0 && bdAuxiliar_ &&
                        veliora::ExistePregunta(*bdAuxiliar_, Boletin(), numero, error);
    if (error.failed())
        Aviso(this, ErrorMotor(error));
    return existe;
}

bool frmVLRMBoletines::BuscarPregunta() {
    const int numero = Numero();
    return numero > 0 && cursor_.Buscar(numero);
}

void frmVLRMBoletines::MostrarLinea() {
    const LineaBoletin* linea = cursor_.Actual();
    txtNumPregunta_->setText(linea ? QString::number(linea->NumPregunta) : QStringLiteral("0"));
    txtPregunta_->setPlainText(linea ? Q(linea->Pregunta) : QString());
    txtRespuesta_->setPlainText(linea ? Q(linea->Respuesta) : QString());
    cmdGuardar_->setEnabled(true);
    cmdBorrar_->setEnabled(true);
    txtPregunta_->setFocus();
}

void frmVLRMBoletines::ErrorGuardando(const engine::Error& error, const char* paso) {
    if (error.code == engine::Code::TextNotStorable) {
        Mensaje(T(1450) + QStringLiteral("\r\n") + Q(TextoDeError(error)), Icono::Exclamacion,
                Botones::Aceptar, kTitulo, this);
        return;
    }
    Aviso(this, TextoError(error, FormaError::EnPaso, QLatin1String(paso)), QString());
}

bool frmVLRMBoletines::GuardarLinea(bool nueva, int numero) {
    const std::string pregunta = txtPregunta_->toPlainText().toStdString();
    const std::string respuesta = txtRespuesta_->toPlainText().toStdString();
    // An answer that cannot run would leave every student of the line without a verdict:
    // the teacher decides.
    if (bdUsuario_ && bdUsuario_->IsOpen()) {
        const std::string problema = ProblemaSolucion(*bdUsuario_, respuesta);
        if (!problema.empty() &&
            Mensaje(
                T(2011) + QStringLiteral("\r\n") + Q(problema) + QStringLiteral("\r\n") + T(2012),
                Icono::Exclamacion, Botones::SiNo, kTitulo, this) != Respuesta::Si) {
            txtRespuesta_->setFocus();
            return false;
        }
    }
    engine::Error error;
    if (!bdAuxiliar_)
        error = engine::Failure(engine::Code::NoAuxiliary);
    else if (nueva)
        veliora::InsertarLinea(*bdAuxiliar_, Boletin(), numero, pregunta, respuesta, error);
    else
        veliora::ModificarLinea(*bdAuxiliar_, Boletin(), numero, pregunta, respuesta, error);
    if (error.failed()) {
        ErrorGuardando(error, "update");
        return false;
    }
    if (nueva)
        cursor_.Insertada({numero, pregunta, respuesta});
    else
        cursor_.Modificada(numero, pregunta, respuesta);
    Avisar(T(2442).arg(numero).arg(cboBoletin_->currentText()));
    return true;
}

bool frmVLRMBoletines::InsertarLinea() {
    return GuardarLinea(true, Numero());
}

bool frmVLRMBoletines::ModificarLinea() {
    const LineaBoletin* linea = cursor_.Actual();
    return linea && GuardarLinea(false, linea->NumPregunta);
}

void frmVLRMBoletines::ComprobarLimites() {
    if (cursor_.Bof()) {
        cursor_.MoveFirst();
        cmdARegistro_->setEnabled(false);
    } else {
        cmdARegistro_->setEnabled(true);
    }
    if (cursor_.Eof()) {
        cursor_.MoveLast();
        cmdSRegistro_->setEnabled(false);
    } else {
        cmdSRegistro_->setEnabled(true);
    }
}

void frmVLRMBoletines::EliminarBoletin(const QString& nombre) {
    if (!bdAuxiliar_)
        return;
    engine::Error error;
    PasoEliminacion paso = PasoEliminacion::Ninguno;
    if (!veliora::EliminarBoletin(*bdAuxiliar_, nombre.toStdString(), error, &paso))
        Aviso(this, ErrorMotor(error) + QStringLiteral("\r\n") +
                        T(paso == PasoEliminacion::Lineas ? 726 : 725));
    else
        Avisar(T(2448).arg(nombre));
}

// ---------------------------------------------------------------- events

void frmVLRMBoletines::cboBoletin_Click() {
    if (cboBoletin_->currentIndex() < 0) {
        LimpiarCampos();
        cursor_ = CursorLineas();
        frPreguntas_->setEnabled(false);
        cmdEliminarBoletin_->setEnabled(false);
        return;
    }
    cmdEliminarBoletin_->setEnabled(true);
    LimpiarCampos();
    AbrirLineas();
    cmdARegistro_->setEnabled(true);
    cmdSRegistro_->setEnabled(true);
    cmdBorrar_->setEnabled(true);
    frPreguntas_->setEnabled(true);
    txtNumPregunta_->setFocus();
}

void frmVLRMBoletines::cmdCambioOpcion_Click() {
    modoNuevo_ = !modoNuevo_;
    LimpiarCampos();
    cmdARegistro_->setEnabled(!modoNuevo_);
    cmdSRegistro_->setEnabled(!modoNuevo_);
    cmdBorrar_->setEnabled(!modoNuevo_);
    if (modoNuevo_) {
        cmdCambioOpcion_->setText(T(714));
        SiguienteNumero();
    } else {
        cmdCambioOpcion_->setText(T(711));
        AbrirLineas();
    }
    txtNumPregunta_->setFocus();
}

void frmVLRMBoletines::txtNumPregunta_GotFocus() {
    txtNumPregunta_->selectAll();
    cmdGuardar_->setEnabled(false);
}

void frmVLRMBoletines::txtNumPregunta_LostFocus() {
    if (Numero() == 0)
        return;
    const QString texto = txtNumPregunta_->text();
    if (modoNuevo_) {
        if (ExistePregunta()) {
            Aviso(this, T(721) + QStringLiteral(" ") + texto + QStringLiteral(" ") + T(722),
                  QString());
            txtNumPregunta_->setFocus();
            return;
        }
    } else {
        if (!BuscarPregunta()) {
            Aviso(this, T(723) + QStringLiteral(" ") + texto + QStringLiteral(" ") + T(724),
                  QString());
            LimpiarCampos();
            txtNumPregunta_->setFocus();
            return;
        }
        MostrarLinea();
    }
    cmdGuardar_->setEnabled(true);
}

void frmVLRMBoletines::cmdARegistro_Click() {
    cursor_.MovePrevious();
    ComprobarLimites();
    MostrarLinea();
}

void frmVLRMBoletines::cmdSRegistro_Click() {
    cursor_.MoveNext();
    ComprobarLimites();
    MostrarLinea();
}

void frmVLRMBoletines::cmdGuardar_Click() {
    const QString texto = txtNumPregunta_->text();
    if (modoNuevo_) {
        if (ExistePregunta()) {
            Aviso(this, T(718) + QStringLiteral(" ") + texto);
            return;
        }
        if (!InsertarLinea())
            return;
        LimpiarCampos();
        SiguienteNumero();
        txtNumPregunta_->setFocus();
        return;
    }
    if (!BuscarPregunta()) {
        Aviso(this, T(719) + QStringLiteral(" ") + texto + QStringLiteral(" ") + T(720));
        return;
    }
    if (ModificarLinea())
        txtPregunta_->setFocus();
}

void frmVLRMBoletines::cmdBorrar_Click() {
    // Cannot be undone: No unless the user chooses otherwise.
    if (Mensaje(T(715), Icono::Ninguno, Botones::SiNoPorDefectoNo, kTitulo, this) != Respuesta::Si)
        return;
    if (!BuscarPregunta()) {
        Aviso(this, T(716));
        return;
    }
    const int numero = cursor_.Actual()->NumPregunta;
    engine::Error error;
    if (!bdAuxiliar_ || !EliminarLinea(*bdAuxiliar_, Boletin(), numero, error)) {
        Aviso(this, error.failed() ? ErrorMotor(error) : T(716));
        return;
    }
    cursor_.Eliminada(numero);
    LimpiarCampos();
    cmdBorrar_->setEnabled(false);
    Avisar(T(2446).arg(numero).arg(cboBoletin_->currentText()));
}

void frmVLRMBoletines::cmdNuevoBoletin_Click() {
    txtIntercambio_->clear();
    {
        frmVLRNuevoBoletin dialogo(this);
        dialogo.setObjetoIntercambio(txtIntercambio_);
        dialogo.exec();
    }
    const QString nombre = txtIntercambio_->text();
    if (nombre.isEmpty()) {
        Seleccionar(-1);
        return;
    }
    CargarBoletines();
    Seleccionar(cboBoletin_->findText(nombre, Qt::MatchExactly));
}

void frmVLRMBoletines::cmdEliminarBoletin_Click() {
    const QString nombre = cboBoletin_->currentText();
    // Its questions go with it: how many, and No unless the user chooses otherwise.
    const std::size_t preguntas = cursor_.size();
    QString texto = QStringLiteral("¿") + T(717) + QStringLiteral(" '") + Visible(nombre) +
                    QStringLiteral("' ?");
    if (preguntas > 0)
        texto += QStringLiteral("\r\n") + (preguntas == 1 ? T(2441) : T(2440).arg(preguntas));
    if (Mensaje(texto, Icono::Ninguno, Botones::SiNoPorDefectoNo, kTitulo, this) != Respuesta::Si)
        return;
    EliminarBoletin(nombre);
    CargarBoletines();
    Seleccionar(-1);
}

void frmVLRMBoletines::cmdProbar_Click() {
    const std::string sql = txtRespuesta_->toPlainText().toStdString();
    const auto usuario = Aplicacion::Actual().Usuario();
    if (sql.empty() || !usuario)
        return;
    // A block of the previous rows being read gives way.
    if (auto* modelo = dynamic_cast<ModeloRecordset*>(grdProbar_->model()))
        modelo->Detener();
    if (trabajo_->Ocupado())
        return;
    LanzarConsulta(
        trabajo_, T(2457), usuario, sql,
        [this, bd = usuario](std::unique_ptr<engine::Recordset> rs, const engine::Error& error,
                             double segundos) {
            if (!rs) {
                Mensaje(TextoError(error, FormaError::Aviso) + QStringLiteral("\r\n") + T(606),
                        Icono::Critico, Botones::Aceptar, kTitulo, this);
                return;
            }
            QAbstractItemModel* anterior = grdProbar_->model();
            auto* modelo = new ModeloRecordset(std::move(rs), bd, trabajo_, this);
            grdProbar_->setModel(modelo);
            if (anterior)
                anterior->deleteLater();
            grdProbar_->resizeColumnsToContents();
            grdProbar_->show();
            const int filas = modelo->rowCount();
            lblProbar_->setText(T(modelo->canFetchMore({}) ? (filas == 1 ? 2421 : 1162)
                                                           : (filas == 1 ? 2420 : 1157))
                                    .arg(filas)
                                    .arg(QString::number(segundos, 'f', 2)));
            lblProbar_->show();
        });
}

void frmVLRMBoletines::cmdVerTodas_Click() {
    if (cboBoletin_->currentIndex() < 0)
        return;
    auto* resumen = ObtenerVentana<frmVLRResumenBoletin>();
    resumen->Cargar(cboBoletin_->currentText());
    disconnect(resumen, &frmVLRResumenBoletin::preguntaElegida, nullptr, nullptr);
    connect(resumen, &frmVLRResumenBoletin::preguntaElegida, this, &frmVLRMBoletines::IrAPregunta);
    MostrarVentana(resumen);
}

void frmVLRMBoletines::IrAPregunta(const QString& boletin, int numero) {
    const int indice = cboBoletin_->findText(boletin, Qt::MatchExactly);
    if (indice < 0)
        return;
    if (indice != cboBoletin_->currentIndex())
        Seleccionar(indice);
    if (modoNuevo_)
        cmdCambioOpcion_Click();
    txtNumPregunta_->setText(QString::number(numero));
    if (BuscarPregunta()) {
        MostrarLinea();
        cmdGuardar_->setEnabled(true);
    }
    MostrarVentana(this);
}

bool frmVLRMBoletines::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == txtNumPregunta_) {
        if (evento->type() == QEvent::FocusIn) {
            txtNumPregunta_GotFocus();
            // The line edit selects on focus by itself only for some reasons: select after.
            QTimer::singleShot(0, txtNumPregunta_, [this] { txtNumPregunta_->selectAll(); });
        } else if (evento->type() == QEvent::FocusOut) {
            const auto razon = static_cast<QFocusEvent*>(evento)->reason();
            // Leaving for a button, another window or a menu is not a choice of number. The
            // focus already belongs to the receiving control here.
            const bool haciaBoton = qobject_cast<QPushButton*>(QApplication::focusWidget());
            // Checked once the focus has settled, so a message box does not fight the move.
            if (!haciaBoton && razon != Qt::ActiveWindowFocusReason &&
                razon != Qt::PopupFocusReason)
                QTimer::singleShot(0, this, [this] { txtNumPregunta_LostFocus(); });
        }
    } else if ((objeto == txtPregunta_ || objeto == txtRespuesta_) &&
               evento->type() == QEvent::KeyPress && Numero() == 0) {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        // The question box refuses typed characters, the answer box any key but those
        // that only move between controls or modify another key.
        const bool refusa = EsModificador(tecla->key())
                                ? false
                                : (objeto == txtRespuesta_ || !tecla->text().isEmpty());
        if (refusa) {
            Aviso(this, T(727));
            return true;
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

}  // namespace veliora::ui
