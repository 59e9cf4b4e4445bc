#pragma once
// Only in veliora-cli-graficos, the program with QtGui.

#include <QGuiApplication>
#include <memory>

namespace veliora::cli {

// A GUI application for fonts (PDF pages, pictures), on the offscreen platform unless another
// is set; none when one exists already. No display is needed for a file.
std::unique_ptr<QGuiApplication> AplicacionGrafica();

}  // namespace veliora::cli
