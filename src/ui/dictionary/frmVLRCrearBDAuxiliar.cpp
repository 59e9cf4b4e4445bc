#include "ui/dictionary/frmVLRCrearBDAuxiliar.h"

#include "ui/shell/provisional.h"

namespace veliora::ui {

frmVLRCrearBDAuxiliar::frmVLRCrearBDAuxiliar(QWidget* parent) : QWidget(parent) {
    ConstruirVentanaProvisional(this, 401);
}

frmVLRCrearBDAuxiliar::~frmVLRCrearBDAuxiliar() = default;

}  // namespace veliora::ui
