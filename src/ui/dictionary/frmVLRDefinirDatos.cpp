#include "ui/dictionary/frmVLRDefinirDatos.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/dictionary/diagrama.h"
#include "core/shell/errores.h"
#include "core/shell/salidas.h"
#include "draw/diagrama_dibujo.h"
#include "ui/dictionary/elementos_diagrama.h"
#include "ui/shell/avisos.h"
#include "ui/shell/mensajes.h"
#include "ui/shell/texto.h"

namespace veliora::ui {

using namespace veliora::diagrama;

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string S(const QString& s) {
    return s.toStdString();
}
void Aviso(int id, QWidget* padre) {
    Mensaje(T(id), Icono::Ninguno, Botones::Aceptar, QStringLiteral("VELIORA"), padre);
}

template <class W>
W* Nuevo(QWidget* padre, const char* nombre) {
    auto* w = new W(padre);
    w->setObjectName(QLatin1String(nombre));
    return w;
}

QLineEdit* Texto255(QWidget* padre, const char* nombre) {
    auto* t = Nuevo<QLineEdit>(padre, nombre);
    t->setMaxLength(255);
    return t;
}

// Accept and cancel side by side, under a frame's values.
QHBoxLayout* Botonera(QPushButton* aceptar, QPushButton* cancelar) {
    auto* b = new QHBoxLayout;
    b->addStretch();
    b->addWidget(aceptar);
    b->addWidget(cancelar);
    return b;
}

QHBoxLayout* Pareja(QWidget* a, QWidget* b) {
    auto* l = new QHBoxLayout;
    l->addWidget(a);
    l->addWidget(b);
    l->addStretch();
    return l;
}

// The Valencian column of a frame: a title in row `fila`, then singular, plural and gender
// (in a box of their own, so that its options exclude each other and not the Spanish ones),
// named like the Spanish controls with "Va" ("txtTablaNombreSingularVa").
template <class Columna>
Columna CrearColumnaVa(QWidget* f, QGridLayout* g, int fila, const std::string& objeto) {
    Columna c;
    c.titulo = Nuevo<QLabel>(f, ("lb" + objeto + "Valenciano").c_str());
    c.singular = Texto255(f, ("txt" + objeto + "NombreSingularVa").c_str());
    c.plural = Texto255(f, ("txt" + objeto + "NombrePluralVa").c_str());
    auto* genero = new QWidget(f);
    c.masculino = Nuevo<QRadioButton>(genero, ("op" + objeto + "MasculinoVa").c_str());
    c.femenino = Nuevo<QRadioButton>(genero, ("op" + objeto + "FemeninoVa").c_str());
    auto* pareja = Pareja(c.masculino, c.femenino);
    pareja->setContentsMargins(0, 0, 0, 0);
    genero->setLayout(pareja);
    QWidget* celdas[] = {c.titulo, c.singular, c.plural, genero};
    for (int i = 0; i < 4; ++i) g->addWidget(celdas[i], fila + i, 2);
    return c;
}

}  // namespace

frmVLRDefinirDatos::frmVLRDefinirDatos(QWidget* parent)
    : QWidget(parent),
      usuario_(Aplicacion::Actual().Usuario()),
      auxiliar_(Aplicacion::Actual().Auxiliar()) {
    CrearControles();
    CargarTextos();
    setDatosModificables(false);
    resize(sizeHint());
}

frmVLRDefinirDatos::~frmVLRDefinirDatos() = default;

// ---------------------------------------------------------------- controls

void frmVLRDefinirDatos::CrearControles() {
    escena_ = new QGraphicsScene(this);
    PicTablas_ = new VistaDiagrama;
    PicTablas_->setObjectName(QStringLiteral("PicTablas"));
    PicTablas_->setScene(escena_);
    connect(PicTablas_, &VistaDiagrama::redimensionada, this, &frmVLRDefinirDatos::AjustarArea);

    frPropiedades_ = Nuevo<QGroupBox>(nullptr, "frPropiedades");
    auto* marcos = new QHBoxLayout(frPropiedades_);
    marcos->addWidget(CrearFrameTabla());
    marcos->addWidget(CrearFrameCampo());
    marcos->addWidget(CrearFrameRelacion());
    marcos->addStretch();
    frTabla_->hide();
    frCampo_->hide();
    frRelacion_->hide();

    auto* derecha = new QWidget;
    auto* columna = new QVBoxLayout(derecha);
    columna->setContentsMargins(0, 0, 0, 0);
    lbRelacionesSinTabla_ = Nuevo<QLabel>(derecha, "lbRelacionesSinTabla");
    lbRelacionesSinTabla_->setWordWrap(true);
    lbRelacionesSinTabla_->hide();
    columna->addWidget(lbRelacionesSinTabla_);
    relacionesSinTabla_ = new QVBoxLayout;
    columna->addLayout(relacionesSinTabla_);
    columna->addStretch();
    cmdExportarDiagrama_ = Nuevo<QPushButton>(derecha, "cmdExportarDiagrama");
    cmdGuardarPosiciones_ = Nuevo<QPushButton>(derecha, "cmdGuardarPosiciones");
    cmdSalir_ = Nuevo<QPushButton>(derecha, "cmdSalir");
    columna->addWidget(cmdExportarDiagrama_);
    columna->addWidget(cmdGuardarPosiciones_);
    columna->addWidget(cmdSalir_);

    auto* inferior = new QWidget;
    auto* fila = new QHBoxLayout(inferior);
    fila->setContentsMargins(0, 0, 0, 0);
    fila->addWidget(frPropiedades_, 1);
    fila->addWidget(derecha);

    splitter_ = Nuevo<QSplitter>(this, "splitter");
    splitter_->setOrientation(Qt::Vertical);
    auto* superior = new QWidget;
    auto* diagramaConZoom = new QVBoxLayout(superior);
    diagramaConZoom->setContentsMargins(0, 0, 0, 0);
    diagramaConZoom->setSpacing(2);
    diagramaConZoom->addWidget(CrearBarraZoom());
    diagramaConZoom->addWidget(PicTablas_, 1);
    splitter_->addWidget(superior);
    splitter_->addWidget(inferior);
    splitter_->setStretchFactor(0, 2);
    splitter_->setStretchFactor(1, 1);
    splitter_->setChildrenCollapsible(false);
    auto* principal = new QVBoxLayout(this);
    principal->addWidget(splitter_);

    connect(cmdSalir_, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdGuardarPosiciones_, &QPushButton::clicked, this,
            &frmVLRDefinirDatos::GuardarPosiciones);
    connect(cmdExportarDiagrama_, &QPushButton::clicked, this,
            &frmVLRDefinirDatos::cmdExportarDiagrama_Click);
    auto* ajustar = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_0), this);
    connect(ajustar, &QShortcut::activated, PicTablas_, &VistaDiagrama::Ajustar);
}

// Above the diagram: fit to the window, zoom in and out, real size (Ctrl + wheel zooms too).
QWidget* frmVLRDefinirDatos::CrearBarraZoom() {
    auto* barra = new QWidget;
    auto* fila = new QHBoxLayout(barra);
    fila->setContentsMargins(0, 0, 0, 0);
    auto boton = [barra, fila](const char* nombre, const QString& texto, const QString& ayuda) {
        auto* b = Nuevo<QToolButton>(barra, nombre);
        b->setText(texto);
        b->setToolTip(ayuda);
        b->setAutoRaise(true);
        fila->addWidget(b);
        return b;
    };
    connect(boton("cmdAjustar", T(2405), T(2405) + QStringLiteral(" (Ctrl+0)")),
            &QToolButton::clicked, PicTablas_, &VistaDiagrama::Ajustar);
    connect(boton("cmdAcercar", QStringLiteral("+"), T(2406)), &QToolButton::clicked, PicTablas_,
            [this] { PicTablas_->Zoom(1.25); });
    connect(boton("cmdAlejar", QStringLiteral("\u2212"), T(2407)), &QToolButton::clicked,
            PicTablas_, [this] { PicTablas_->Zoom(0.8); });
    connect(boton("cmdTamanoReal", QStringLiteral("1:1"), T(2408)), &QToolButton::clicked,
            PicTablas_, [this] { PicTablas_->Zoom(0); });
    fila->addStretch();
    return barra;
}

QWidget* frmVLRDefinirDatos::CrearFrameTabla() {
    frTabla_ = Nuevo<QGroupBox>(nullptr, "frTabla");
    auto* f = frTabla_;
    const char* etiquetas[] = {"lbTabla1", "lbTabla2", "lbTabla3", "lbTabla4"};
    for (int i = 0; i < 4; ++i) lbTabla_[i] = Nuevo<QLabel>(f, etiquetas[i]);
    lbTablaNombre_ = Nuevo<QLabel>(f, "lbTablaNombre");
    txtTablaNombreSingular_ = Texto255(f, "txtTablaNombreSingular");
    txtTablaNombrePlural_ = Texto255(f, "txtTablaNombrePlural");
    opTablaMasculino_ = Nuevo<QRadioButton>(f, "opTablaMasculino");
    opTablaFemenino_ = Nuevo<QRadioButton>(f, "opTablaFemenino");
    CmdTablaAceptar_ = Nuevo<QPushButton>(f, "CmdTablaAceptar");
    cmdTablaCancelar_ = Nuevo<QPushButton>(f, "cmdTablaCancelar");

    auto* g = new QGridLayout(f);
    g->addWidget(lbTabla_[0], 0, 0);
    g->addWidget(lbTablaNombre_, 0, 1);
    g->addWidget(lbTabla_[1], 1, 0);
    g->addWidget(txtTablaNombreSingular_, 1, 1);
    g->addWidget(lbTabla_[2], 2, 0);
    g->addWidget(txtTablaNombrePlural_, 2, 1);
    g->addWidget(lbTabla_[3], 3, 0);
    g->addLayout(Pareja(opTablaMasculino_, opTablaFemenino_), 3, 1);
    tablaVa_ = CrearColumnaVa<ColumnaVa>(f, g, 0, "Tabla");
    g->addLayout(Botonera(CmdTablaAceptar_, cmdTablaCancelar_), 4, 0, 1, 3);

    connect(CmdTablaAceptar_, &QPushButton::clicked, this,
            &frmVLRDefinirDatos::CmdTablaAceptar_Click);
    connect(cmdTablaCancelar_, &QPushButton::clicked, this,
            [this] { MostrarTabla(tabla_.Nombre); });
    return f;
}

QWidget* frmVLRDefinirDatos::CrearFrameCampo() {
    frCampo_ = Nuevo<QGroupBox>(nullptr, "frCampo");
    auto* f = frCampo_;
    const char* etiquetas[] = {"lbCampo1", "lbCampo2", "lbCampo3", "lbCampo4", "lbCampo5"};
    for (int i = 0; i < 5; ++i) lbCampo_[i] = Nuevo<QLabel>(f, etiquetas[i]);
    lbCampoNombre_ = Nuevo<QLabel>(f, "lbCampoNombre");
    lbCampoNombreTabla_ = Nuevo<QLabel>(f, "lbCampoNombreTabla");
    txtCampoNombreSingular_ = Texto255(f, "txtCampoNombreSingular");
    txtCampoNombrePlural_ = Texto255(f, "txtCampoNombrePlural");
    opCampoMasculino_ = Nuevo<QRadioButton>(f, "opCampoMasculino");
    opCampoFemenino_ = Nuevo<QRadioButton>(f, "opCampoFemenino");
    chkCampoPermiteSum_ = Nuevo<QCheckBox>(f, "chkCampoPermiteSum");
    cmdCampoAceptar_ = Nuevo<QPushButton>(f, "cmdCampoAceptar");
    cmdCampoCancelar_ = Nuevo<QPushButton>(f, "cmdCampoCancelar");

    auto* g = new QGridLayout(f);
    QWidget* valores[] = {lbCampoNombre_, lbCampoNombreTabla_, txtCampoNombreSingular_,
                          txtCampoNombrePlural_};
    for (int i = 0; i < 4; ++i) {
        g->addWidget(lbCampo_[i], i, 0);
        g->addWidget(valores[i], i, 1);
    }
    g->addWidget(lbCampo_[4], 4, 0);
    g->addLayout(Pareja(opCampoMasculino_, opCampoFemenino_), 4, 1);
    g->addWidget(chkCampoPermiteSum_, 5, 1);
    campoVa_ = CrearColumnaVa<ColumnaVa>(f, g, 1, "Campo");
    g->addLayout(Botonera(cmdCampoAceptar_, cmdCampoCancelar_), 6, 0, 1, 3);

    connect(cmdCampoAceptar_, &QPushButton::clicked, this,
            &frmVLRDefinirDatos::cmdCampoAceptar_Click);
    connect(cmdCampoCancelar_, &QPushButton::clicked, this,
            [this] { MostrarCampo(campo_.NombreTabla, campo_.Nombre); });
    return f;
}

QWidget* frmVLRDefinirDatos::CrearFrameRelacion() {
    frRelacion_ = Nuevo<QGroupBox>(nullptr, "frRelacion");
    auto* f = frRelacion_;
    const char* etiquetas[] = {"lbRelacion1", "lbRelacion2", "lbRelacion3", "lbRelacion4",
                               "lbRelacion5"};
    for (int i = 0; i < 5; ++i) lbRelacion_[i] = Nuevo<QLabel>(f, etiquetas[i]);
    lbRelacionNombre_ = Nuevo<QLabel>(f, "lbRelacionNombre");
    lbTablaOrigen_ = Nuevo<QLabel>(f, "lbTablaOrigen");
    lbTablaDestino_ = Nuevo<QLabel>(f, "lbTablaDestino");
    txtRelacionNombre_ = Texto255(f, "txtRelacionNombre");
    txtRelacionNombre2_ = Texto255(f, "txtRelacionNombre2");
    chkNoConcatenar_ = Nuevo<QCheckBox>(f, "chkNoConcatenar");
    chkNoConcatenar2_ = Nuevo<QCheckBox>(f, "chkNoConcatenar2");
    cmdRelacionAceptar_ = Nuevo<QPushButton>(f, "cmdRelacionAceptar");
    cmdRelacionCancelar_ = Nuevo<QPushButton>(f, "cmdRelacionCancelar");

    auto* g = new QGridLayout(f);
    QWidget* valores[] = {lbRelacionNombre_, lbTablaOrigen_, lbTablaDestino_};
    for (int i = 0; i < 3; ++i) {
        g->addWidget(lbRelacion_[i], i, 0);
        g->addWidget(valores[i], i, 1, 1, 2);
    }
    g->addWidget(lbRelacion_[3], 3, 0);
    g->addWidget(txtRelacionNombre_, 3, 1);
    g->addWidget(chkNoConcatenar_, 3, 2);
    g->addWidget(lbRelacion_[4], 4, 0);
    g->addWidget(txtRelacionNombre2_, 4, 1);
    g->addWidget(chkNoConcatenar2_, 4, 2);
    lbRelacionValenciano_ = Nuevo<QLabel>(f, "lbRelacionValenciano");
    txtRelacionNombreVa_ = Texto255(f, "txtRelacionNombreVa");
    txtRelacionNombre2Va_ = Texto255(f, "txtRelacionNombre2Va");
    chkNoConcatenarVa_ = Nuevo<QCheckBox>(f, "chkNoConcatenarVa");
    chkNoConcatenar2Va_ = Nuevo<QCheckBox>(f, "chkNoConcatenar2Va");
    g->addWidget(lbRelacionValenciano_, 2, 3);
    g->addWidget(txtRelacionNombreVa_, 3, 3);
    g->addWidget(chkNoConcatenarVa_, 3, 4);
    g->addWidget(txtRelacionNombre2Va_, 4, 3);
    g->addWidget(chkNoConcatenar2Va_, 4, 4);
    g->addLayout(Botonera(cmdRelacionAceptar_, cmdRelacionCancelar_), 5, 0, 1, 5);

    connect(cmdRelacionAceptar_, &QPushButton::clicked, this,
            &frmVLRDefinirDatos::cmdRelacionAceptar_Click);
    connect(cmdRelacionCancelar_, &QPushButton::clicked, this, [this] {
        for (std::size_t i = 0; i < relaciones_.size(); ++i)
            if (relaciones_[i].Name == relacion_.Nombre)
                MostrarRelacion(int(i) + 1);
    });
    return f;
}

void frmVLRDefinirDatos::CargarTextos() {
    setWindowTitle(T(301));
    frPropiedades_->setTitle(T(302));
    cmdSalir_->setText(T(303));
    cmdGuardarPosiciones_->setText(T(304));
    frTabla_->setTitle(T(305));
    CmdTablaAceptar_->setText(T(306));
    cmdTablaCancelar_->setText(T(307));
    for (int i = 0; i < 4; ++i) lbTabla_[i]->setText(T(308 + i));
    opTablaMasculino_->setText(T(312));
    opTablaFemenino_->setText(T(313));
    frRelacion_->setTitle(T(314));
    cmdRelacionAceptar_->setText(T(315));
    cmdRelacionCancelar_->setText(T(316));
    for (int i = 0; i < 5; ++i) lbRelacion_[i]->setText(T(317 + i));
    frCampo_->setTitle(T(322));
    cmdCampoAceptar_->setText(T(323));
    cmdCampoCancelar_->setText(T(324));
    for (int i = 0; i < 5; ++i) lbCampo_[i]->setText(T(325 + i));
    opCampoMasculino_->setText(T(330));
    opCampoFemenino_->setText(T(331));
    chkCampoPermiteSum_->setText(T(332));
    chkNoConcatenar_->setText(T(339));
    chkNoConcatenar2_->setText(T(340));
    for (QLabel* l : {tablaVa_.titulo, campoVa_.titulo, lbRelacionValenciano_}) l->setText(T(2604));
    tablaVa_.masculino->setText(T(312));
    tablaVa_.femenino->setText(T(313));
    campoVa_.masculino->setText(T(330));
    campoVa_.femenino->setText(T(331));
    chkNoConcatenarVa_->setText(T(339));
    chkNoConcatenar2Va_->setText(T(340));
    lbRelacionesSinTabla_->setText(T(351));
    cmdExportarDiagrama_->setText(T(350));
}

void frmVLRDefinirDatos::setDatosModificables(bool v) {
    datosModificables_ = v;
    frPropiedades_->setEnabled(v);
    CmdTablaAceptar_->setVisible(v);
    cmdCampoAceptar_->setVisible(v);
    cmdRelacionAceptar_->setVisible(v);
    cmdGuardarPosiciones_->setVisible(v);
}

// ---------------------------------------------------------------- diagram

CajaTablaDiagrama* frmVLRDefinirDatos::Caja(int k) const {
    auto it = cajas_.find(k);
    return it == cajas_.end() ? nullptr : it->second;
}
LineaDiagrama* frmVLRDefinirDatos::Linea(int i) const {
    auto it = lineas_.find(i);
    return it == lineas_.end() ? nullptr : it->second;
}
EtiquetaDiagrama* frmVLRDefinirDatos::Etiqueta(int i) const {
    auto it = etiquetas_.find(i);
    return it == etiquetas_.end() ? nullptr : it->second;
}

void frmVLRDefinirDatos::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!primeraVez_)
        return;
    primeraVez_ = false;
    if (layout())
        layout()->activate();
    const int alto = splitter_->height();
    splitter_->setSizes({alto * 2 / 3, alto - alto * 2 / 3});
    construyendo_ = true;
    CrearDiagrama();
    construyendo_ = false;
}

void frmVLRDefinirDatos::CrearDiagrama() {
    if (!usuario_ || !auxiliar_)
        return;
    engine::Error error;
    if (LeerVistaEsquema(*usuario_, auxiliar_.get(), vista_, error))
        relaciones_ = usuario_->Relations(error);
    if (error.failed()) {
        Mensaje(TextoError(error) + QStringLiteral("\r\n") + T(kTextoLeyendoEstructura),
                Icono::Critico, Botones::Aceptar, QStringLiteral("VELIORA"), this);
        return;
    }
    const std::vector<diagrama::Caja> lugares =
        CajasIniciales(vista_, ATwips(PicTablas_->viewport()->width()));
    for (int k = 1; k <= int(vista_.Tablas.size()); ++k) {
        auto* caja = new CajaTablaDiagrama(k, vista_.Tablas[std::size_t(k - 1)]);
        caja->ColocarEn(lugares[std::size_t(k - 1)].Left, lugares[std::size_t(k - 1)].Top);
        escena_->addItem(caja);
        cajas_[k] = caja;
        connect(caja, &CajaTablaDiagrama::lineaPulsada, this, &frmVLRDefinirDatos::lstTablas_Click);
        connect(caja, &CajaTablaDiagrama::movida, this, [this, caja] {
            DibujarRelaciones();
            PicTablas_->ensureVisible(caja, 10, 10);
        });
        connect(caja, &CajaTablaDiagrama::soltada, this, [this] {
            DibujarRelaciones();
            AjustarArea();
        });
    }
    DibujarRelaciones();
    AjustarArea();
    // From the diagram's top left corner: paths and labels above the first row included.
    PicTablas_->horizontalScrollBar()->setValue(PicTablas_->horizontalScrollBar()->minimum());
    PicTablas_->verticalScrollBar()->setValue(PicTablas_->verticalScrollBar()->minimum());
}

diagrama::Dibujo frmVLRDefinirDatos::DibujoActual() const {
    std::vector<diagrama::Caja> cajas;
    for (const auto& [k, caja] : cajas_) cajas.push_back(caja->Geometria());
    return dibujo::Disponer(vista_, cajas);
}

void frmVLRDefinirDatos::DibujarRelaciones() {
    const diagrama::Dibujo d = DibujoActual();
    for (const auto& [k, caja] : cajas_) caja->FijarDibujada(d.cajas[std::size_t(k - 1)]);
    for (int i = 1; i <= int(relaciones_.size()) && i <= int(d.relaciones.size()); ++i) {
        const diagrama::RelacionDibujada& r = d.relaciones[std::size_t(i - 1)];
        if (!r.dibujada) {
            RelacionSinCaja(i, relaciones_[std::size_t(i - 1)]);
            continue;
        }
        const QString nombre = Q(relaciones_[std::size_t(i - 1)].Name);
        LineaDiagrama*& linea = lineas_[i];
        if (!linea) {
            linea = new LineaDiagrama(i, nombre, vista_.Relaciones[std::size_t(i - 1)].Muchos);
            escena_->addItem(linea);
            connect(linea, &LineaDiagrama::pulsada, this, &frmVLRDefinirDatos::LabelRel_Click);
            connect(linea, &LineaDiagrama::senalada, this, &frmVLRDefinirDatos::Senalar);
        }
        linea->FijarTrazo(r.linea, r.trazo);
        EtiquetaDiagrama*& etiqueta = etiquetas_[i];
        if (!etiqueta) {
            etiqueta = new EtiquetaDiagrama(i, nombre);
            escena_->addItem(etiqueta);
            connect(etiqueta, &EtiquetaDiagrama::pulsada, this,
                    &frmVLRDefinirDatos::LabelRel_Click);
            connect(etiqueta, &EtiquetaDiagrama::senalada, this, &frmVLRDefinirDatos::Senalar);
        }
        etiqueta->Colocar(r.etiqueta);
    }
}

// No box at one end: nothing to draw; the relation is listed beside the diagram instead.
void frmVLRDefinirDatos::RelacionSinCaja(int i, const engine::Relation& r) {
    const QString nombre = QStringLiteral("LabelRel%1").arg(i);
    if (findChild<QPushButton*>(nombre))
        return;
    auto* boton = new QPushButton(Q(r.Name));
    boton->setObjectName(nombre);
    boton->setFlat(true);
    relacionesSinTabla_->addWidget(boton);
    lbRelacionesSinTabla_->show();
    connect(boton, &QPushButton::clicked, this, [this, i] { LabelRel_Click(i); });
}

// The pointer on a path or its label marks both.
void frmVLRDefinirDatos::Senalar(int i, bool dentro) {
    if (LineaDiagrama* l = Linea(i))
        l->Resaltar(dentro);
    if (EtiquetaDiagrama* e = Etiqueta(i))
        e->Resaltar(dentro);
}

// The diagram's area: the visible part at least, and always room for one more box beyond
// the farthest one, so that dragging a box past the view's edge scrolls it.
void frmVLRDefinirDatos::AjustarArea() {
    const double escala = PicTablas_->transform().m11();
    int ancho = ATwips(PicTablas_->viewport()->width() / escala);
    int alto = ATwips(PicTablas_->viewport()->height() / escala);
    for (const auto& [k, caja] : cajas_) {
        ancho = std::max(ancho, caja->Geometria().Right() + kAnchoPlantilla + kSeparacion);
        alto = std::max(alto, caja->Geometria().Bottom() + kAltoPlantilla + kSeparacion);
    }
    // Labels of lines along the top edge stand partly above it: they stay reachable.
    escena_->setSceneRect(
        QRectF(0, 0, double(ancho) / kTwipsPorPixel, double(alto) / kTwipsPorPixel)
            .united(escena_->itemsBoundingRect().adjusted(-12, -12, 12, 12)));
}

// ---------------------------------------------------------------- properties

void frmVLRDefinirDatos::MostrarFrame(QGroupBox* frame) {
    for (QGroupBox* f : {frTabla_, frCampo_, frRelacion_})
        if (f != frame)
            f->hide();
    if (frame)
        frame->show();
}

void frmVLRDefinirDatos::MostrarVa(const ColumnaVa& c, const NombresVa& va) {
    c.singular->setText(Q(va.NombreSingular));
    c.plural->setText(Q(va.NombrePlural));
    c.masculino->setChecked(va.MascFeme);
    c.femenino->setChecked(!va.MascFeme);
}

void frmVLRDefinirDatos::LeerVa(const ColumnaVa& c, NombresVa& va) {
    va.NombreSingular = S(c.singular->text());
    va.NombrePlural = S(c.plural->text());
    va.MascFeme = c.masculino->isChecked();
}

void frmVLRDefinirDatos::lstTablas_Click(int k, int linea) {
    if (construyendo_ || k < 1 || k > int(vista_.Tablas.size()))
        return;
    const TablaVista& t = vista_.Tablas[std::size_t(k - 1)];
    if (linea == 0)
        MostrarTabla(t.Nombre);
    else if (linea == 1)
        MostrarFrame(nullptr);
    else if (linea - 2 < int(t.Campos.size()))
        MostrarCampo(t.Nombre, t.Campos[std::size_t(linea - 2)].Nombre);
}

void frmVLRDefinirDatos::MostrarTabla(const std::string& nombre) {
    engine::Error error;
    DatosTabla datos;
    if (!auxiliar_ || !LeerDatosTabla(*auxiliar_, nombre, datos, error)) {
        // Nothing stale stays on show: an accept must never write to the previous object.
        MostrarFrame(nullptr);
        Aviso(337, this);
        return;
    }
    tabla_ = datos;
    MostrarFrame(frTabla_);
    lbTablaNombre_->setText(Q(datos.Nombre));
    txtTablaNombreSingular_->setText(Q(datos.NombreSingular));
    txtTablaNombrePlural_->setText(Q(datos.NombrePlural));
    opTablaMasculino_->setChecked(datos.MascFeme);
    opTablaFemenino_->setChecked(!datos.MascFeme);
    MostrarVa(tablaVa_, datos.Va);
}

void frmVLRDefinirDatos::MostrarCampo(const std::string& tabla, const std::string& campo) {
    engine::Error error;
    DatosCampo datos;
    if (!auxiliar_ || !LeerDatosCampo(*auxiliar_, tabla, campo, datos, error)) {
        MostrarFrame(nullptr);
        Aviso(338, this);
        return;
    }
    campo_ = datos;
    MostrarFrame(frCampo_);
    lbCampoNombre_->setText(Q(datos.Nombre));
    lbCampoNombreTabla_->setText(Q(datos.NombreTabla));
    txtCampoNombreSingular_->setText(Q(datos.NombreSingular));
    txtCampoNombrePlural_->setText(Q(datos.NombrePlural));
    opCampoMasculino_->setChecked(datos.MascFeme);
    opCampoFemenino_->setChecked(!datos.MascFeme);
    chkCampoPermiteSum_->setChecked(datos.PermiteSum);
    MostrarVa(campoVa_, datos.Va);
}

void frmVLRDefinirDatos::LabelRel_Click(int i) {
    MostrarRelacion(i);
}

void frmVLRDefinirDatos::MostrarRelacion(int i) {
    if (i < 1 || i > int(relaciones_.size()))
        return;
    const engine::Relation& r = relaciones_[std::size_t(i - 1)];
    engine::Error error;
    DatosRelacion datos;
    if (!auxiliar_ || !LeerDatosRelacion(*auxiliar_, r.Name, datos, error)) {
        MostrarFrame(nullptr);
        Aviso(336, this);
        return;
    }
    relacion_ = datos;
    MostrarFrame(frRelacion_);
    lbRelacionNombre_->setText(Q(datos.Nombre));
    lbTablaOrigen_->setText(Q(r.Table));
    lbTablaDestino_->setText(Q(r.ForeignTable));
    txtRelacionNombre_->setText(Q(datos.Traduccion));
    txtRelacionNombre2_->setText(Q(datos.Traduccion2));
    chkNoConcatenar_->setChecked(datos.NoConcatenar);
    chkNoConcatenar2_->setChecked(datos.NoConcatenar2);
    txtRelacionNombreVa_->setText(Q(datos.Va.Traduccion));
    txtRelacionNombre2Va_->setText(Q(datos.Va.Traduccion2));
    chkNoConcatenarVa_->setChecked(datos.Va.NoConcatenar);
    chkNoConcatenar2Va_->setChecked(datos.Va.NoConcatenar2);
}

void frmVLRDefinirDatos::CmdTablaAceptar_Click() {
    if (!datosModificables_ || !auxiliar_)
        return;
    DatosTabla datos = tabla_;
    datos.NombreSingular = S(txtTablaNombreSingular_->text());
    datos.NombrePlural = S(txtTablaNombrePlural_->text());
    datos.MascFeme = opTablaMasculino_->isChecked();
    LeerVa(tablaVa_, datos.Va);
    engine::Error error;
    // What was stored stays known (an inserted row is updated next time), also when the
    // Valencian half then fails.
    const bool guardado = GuardarDatosTabla(*auxiliar_, datos, error);
    if (guardado)
        tabla_ = datos;
    if (!guardado || !GuardarDatosTablaVa(*auxiliar_, tabla_, error)) {
        Aviso(335, this);
        return;
    }
    Avisar(T(2409).arg(Q(datos.Nombre)));
}

void frmVLRDefinirDatos::cmdCampoAceptar_Click() {
    if (!datosModificables_ || !auxiliar_)
        return;
    DatosCampo datos = campo_;
    datos.NombreSingular = S(txtCampoNombreSingular_->text());
    datos.NombrePlural = S(txtCampoNombrePlural_->text());
    datos.MascFeme = opCampoMasculino_->isChecked();
    datos.PermiteSum = chkCampoPermiteSum_->isChecked();
    LeerVa(campoVa_, datos.Va);
    engine::Error error;
    const bool guardado = GuardarDatosCampo(*auxiliar_, datos, error);
    if (guardado)
        campo_ = datos;
    if (!guardado || !GuardarDatosCampoVa(*auxiliar_, campo_, error)) {
        Aviso(333, this);
        return;
    }
    Avisar(T(2410).arg(Q(datos.NombreTabla + "." + datos.Nombre)));
}

void frmVLRDefinirDatos::cmdRelacionAceptar_Click() {
    if (!datosModificables_ || !auxiliar_)
        return;
    DatosRelacion datos = relacion_;
    datos.Traduccion = S(txtRelacionNombre_->text());
    datos.Traduccion2 = S(txtRelacionNombre2_->text());
    datos.NoConcatenar = chkNoConcatenar_->isChecked();
    datos.NoConcatenar2 = chkNoConcatenar2_->isChecked();
    datos.Va.Traduccion = S(txtRelacionNombreVa_->text());
    datos.Va.Traduccion2 = S(txtRelacionNombre2Va_->text());
    datos.Va.NoConcatenar = chkNoConcatenarVa_->isChecked();
    datos.Va.NoConcatenar2 = chkNoConcatenar2Va_->isChecked();
    engine::Error error;
    const bool guardado = GuardarDatosRelacion(*auxiliar_, datos, error);
    if (guardado)
        relacion_ = datos;
    if (!guardado || !GuardarDatosRelacionVa(*auxiliar_, relacion_, error)) {
        Aviso(334, this);
        return;
    }
    Avisar(T(2411).arg(Q(datos.Nombre)));
}

// ---------------------------------------------------------------- saving and export

void frmVLRDefinirDatos::GuardarPosiciones() {
    if (!auxiliar_)
        return;
    QStringList fallidas;
    for (const auto& [k, caja] : cajas_) {
        engine::Error error;
        if (!GuardarPosicion(*auxiliar_, S(caja->NombreTabla()), caja->Geometria().Left,
                             caja->Geometria().Top, error))
            fallidas << caja->NombreTabla();
    }
    if (!fallidas.isEmpty())
        Mensaje(T(352) + QStringLiteral("\r\n") + fallidas.join(QStringLiteral("\r\n")),
                Icono::Exclamacion, Botones::Aceptar, QStringLiteral("VELIORA"), this);
    else
        Avisar(T(2412).arg(cajas_.size()));
}

bool frmVLRDefinirDatos::ExportarDiagrama(const QString& ruta) {
    engine::Error error;
    if (dibujo::GuardarImagen(ruta, vista_, DibujoActual(), error))
        return true;
    Mensaje(
        T(353) + QStringLiteral("\r\n") + ruta + QStringLiteral("\r\n") + Q(TextoDeError(error)),
        Icono::Exclamacion, Botones::Aceptar, QStringLiteral("VELIORA"), this);
    return false;
}

void frmVLRDefinirDatos::cmdExportarDiagrama_Click() {
    const QString base =
        usuario_ ? QFileInfo(Q(usuario_->Name())).completeBaseName() : QStringLiteral("veliora");
    // A destination refused or that cannot be written: the reason, and the dialog again.
    for (QString sugerido = base + QStringLiteral("-diagrama.png");;) {
        const QString ruta =
            PedirRutaGuardar(this, T(350), QStringLiteral("diagrama"), sugerido, {T(354), T(355)});
        if (ruta.isEmpty())
            return;
        if (ExportarDiagrama(ruta)) {
            Avisar(T(2413).arg(QDir::toNativeSeparators(ruta)));
            return;
        }
        sugerido = QFileInfo(ruta).fileName();
    }
}

}  // namespace veliora::ui
