#pragma once
// Data dictionary editor: the database as a diagram (a box per table, a line and a label per
// relation) above the properties of what was last clicked. Editable or view only.

#include <QWidget>
#include <map>
#include <memory>
#include <vector>

#include "core/dictionary/diccionario.h"
#include "core/dictionary/esquema.h"
#include "core/engine/database.h"

class QCheckBox;
class QGraphicsScene;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSplitter;
class QVBoxLayout;

namespace veliora::ui {

class CajaTablaDiagrama;
class EtiquetaDiagrama;
class LineaDiagrama;
class VistaDiagrama;

class frmVLRDefinirDatos : public QWidget {
    Q_OBJECT
  public:
    explicit frmVLRDefinirDatos(QWidget* parent = nullptr);
    ~frmVLRDefinirDatos() override;

    // False: the dictionary is only shown; true: it can be edited. Set before showing;
    // setting it again later only changes the mode.
    bool DatosModificables() const { return datosModificables_; }
    void setDatosModificables(bool v);

    void CargarTextos();

    // The diagram: box k shows table k of the window's schema model (from 1); line and
    // label i show relation i of the user database. Null when there is none (a relation
    // whose table is not in the diagram has no line, and its label is a button in the
    // properties area).
    CajaTablaDiagrama* Caja(int k) const;
    LineaDiagrama* Linea(int i) const;
    EtiquetaDiagrama* Etiqueta(int i) const;
    VistaDiagrama* Vista() const { return PicTablas_; }

    // Stores every box's position; reports the tables whose position could not be stored.
    void GuardarPosiciones();
    // Saves the diagram as SVG (by the file's extension) or PNG through EscribirSalida
    // (core/shell/salidas.h). False when it cannot: `error`, when given, then says why (unset
    // for an empty diagram).
    bool ExportarDiagrama(const QString& ruta, engine::EngineError* error = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void CrearControles();
    QWidget* CrearFrameTabla();
    QWidget* CrearFrameCampo();
    QWidget* CrearFrameRelacion();

    void CrearDiagrama();
    void DibujarRelaciones();
    void AjustarArea();

    void lstTablas_Click(int k, int linea);
    void LabelRel_Click(int i);
    void MostrarTabla(const std::string& nombre);
    void MostrarCampo(const std::string& tabla, const std::string& campo);
    void MostrarRelacion(int i);
    void MostrarFrame(QGroupBox* frame);

    void CmdTablaAceptar_Click();
    void cmdCampoAceptar_Click();
    void cmdRelacionAceptar_Click();
    void cmdExportarDiagrama_Click();

    bool datosModificables_ = false;
    bool primeraVez_ = true;
    bool construyendo_ = false;

    std::shared_ptr<engine::Database> usuario_, auxiliar_;
    ColTablas estructura_;
    std::vector<engine::Relation> relaciones_;

    // What the frames show: the object an accept writes to.
    DatosTabla tabla_;
    DatosCampo campo_;
    DatosRelacion relacion_;

    QSplitter* splitter_ = nullptr;
    VistaDiagrama* PicTablas_ = nullptr;
    QGraphicsScene* escena_ = nullptr;
    std::map<int, CajaTablaDiagrama*> cajas_;
    std::map<int, LineaDiagrama*> lineas_;
    std::map<int, EtiquetaDiagrama*> etiquetas_;

    QGroupBox* frPropiedades_ = nullptr;
    QGroupBox* frTabla_ = nullptr;
    QGroupBox* frCampo_ = nullptr;
    QGroupBox* frRelacion_ = nullptr;
    QLabel* lbTabla_[4] = {};
    QLabel* lbCampo_[5] = {};
    QLabel* lbRelacion_[5] = {};
    QLabel* lbTablaNombre_ = nullptr;
    QLineEdit* txtTablaNombreSingular_ = nullptr;
    QLineEdit* txtTablaNombrePlural_ = nullptr;
    QRadioButton* opTablaMasculino_ = nullptr;
    QRadioButton* opTablaFemenino_ = nullptr;
    QPushButton* CmdTablaAceptar_ = nullptr;
    QPushButton* cmdTablaCancelar_ = nullptr;
    QLabel* lbCampoNombre_ = nullptr;
    QLabel* lbCampoNombreTabla_ = nullptr;
    QLineEdit* txtCampoNombreSingular_ = nullptr;
    QLineEdit* txtCampoNombrePlural_ = nullptr;
    QRadioButton* opCampoMasculino_ = nullptr;
    QRadioButton* opCampoFemenino_ = nullptr;
    QCheckBox* chkCampoPermiteSum_ = nullptr;
    QPushButton* cmdCampoAceptar_ = nullptr;
    QPushButton* cmdCampoCancelar_ = nullptr;
    QLabel* lbRelacionNombre_ = nullptr;
    QLabel* lbTablaOrigen_ = nullptr;
    QLabel* lbTablaDestino_ = nullptr;
    QLineEdit* txtRelacionNombre_ = nullptr;
    QLineEdit* txtRelacionNombre2_ = nullptr;
    QCheckBox* chkNoConcatenar_ = nullptr;
    QCheckBox* chkNoConcatenar2_ = nullptr;
    QPushButton* cmdRelacionAceptar_ = nullptr;
    QPushButton* cmdRelacionCancelar_ = nullptr;

    // The Valencian names, in a second column of the table and field frames.
    struct ColumnaVa {
        QLabel* titulo = nullptr;
        QLineEdit* singular = nullptr;
        QLineEdit* plural = nullptr;
        QRadioButton* masculino = nullptr;
        QRadioButton* femenino = nullptr;
    };
    ColumnaVa tablaVa_, campoVa_;
    static void MostrarVa(const ColumnaVa& c, const NombresVa& va);
    static void LeerVa(const ColumnaVa& c, NombresVa& va);
    QLabel* lbRelacionValenciano_ = nullptr;
    QLineEdit* txtRelacionNombreVa_ = nullptr;
    QLineEdit* txtRelacionNombre2Va_ = nullptr;
    QCheckBox* chkNoConcatenarVa_ = nullptr;
    QCheckBox* chkNoConcatenar2Va_ = nullptr;

    QLabel* lbRelacionesSinTabla_ = nullptr;
    QVBoxLayout* relacionesSinTabla_ = nullptr;
    QPushButton* cmdExportarDiagrama_ = nullptr;
    QPushButton* cmdGuardarPosiciones_ = nullptr;
    QPushButton* cmdSalir_ = nullptr;
};

}  // namespace veliora::ui
