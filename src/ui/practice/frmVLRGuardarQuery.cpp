#include "ui/practice/frmVLRGuardarQuery.h"

namespace veliora::ui {
frmVLRGuardarQuery::frmVLRGuardarQuery(QWidget* parent) : QDialog(parent) {}
frmVLRGuardarQuery::~frmVLRGuardarQuery() = default;
}  // namespace veliora::ui
