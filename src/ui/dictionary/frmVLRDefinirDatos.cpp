#include "ui/dictionary/frmVLRDefinirDatos.h"

#include "ui/shell/provisional.h"

namespace veliora::ui {

frmVLRDefinirDatos::frmVLRDefinirDatos(QWidget* parent) : QWidget(parent) {
    ConstruirVentanaProvisional(this, 301);
}

frmVLRDefinirDatos::~frmVLRDefinirDatos() = default;

}  // namespace veliora::ui
