#include "ui/bulletins/frmVLRMBoletines.h"

#include "ui/shell/provisional.h"

namespace veliora::ui {

frmVLRMBoletines::frmVLRMBoletines(QWidget* parent) : QWidget(parent) {
    ConstruirVentanaProvisional(this, 701);
}

frmVLRMBoletines::~frmVLRMBoletines() = default;

}  // namespace veliora::ui
