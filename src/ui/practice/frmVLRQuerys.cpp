#include "ui/practice/frmVLRQuerys.h"

namespace veliora::ui {
frmVLRQuerys::frmVLRQuerys(QWidget* parent) : QWidget(parent) {}
frmVLRQuerys::~frmVLRQuerys() = default;
}  // namespace veliora::ui
