#include "ui/practice/menu_rejilla.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTableView>
#include <algorithm>

#include "ui/practice/ModeloRecordset.h"
#include "ui/shell/texto.h"

namespace veliora::ui {

namespace {

struct Bloque {
    int f0 = 0, f1 = -1, c0 = 0, c1 = -1;
};

Bloque Seleccion(const QTableView* rejilla) {
    Bloque b;
    const QModelIndexList celdas = rejilla->selectionModel()
                                       ? rejilla->selectionModel()->selectedIndexes()
                                       : QModelIndexList{};
    if (celdas.isEmpty())
        return b;
    b = {celdas.front().row(), celdas.front().row(), celdas.front().column(),
         celdas.front().column()};
    for (const QModelIndex& i : celdas) {
        b.f0 = std::min(b.f0, i.row());
        b.f1 = std::max(b.f1, i.row());
        b.c0 = std::min(b.c0, i.column());
        b.c1 = std::max(b.c1, i.column());
    }
    return b;
}

QAction* Accion(QTableView* rejilla, const QString& texto, const QKeySequence& tecla,
                std::function<void()> hacer) {
    auto* a = new QAction(texto, rejilla);
    if (!tecla.isEmpty()) {
        a->setShortcut(tecla);
        a->setShortcutContext(Qt::WidgetShortcut);
        rejilla->addAction(a);
    }
    QObject::connect(a, &QAction::triggered, rejilla, std::move(hacer));
    return a;
}

}  // namespace

QString TextoSeleccion(const QTableView* rejilla, bool cabeceras) {
    const Bloque b = Seleccion(rejilla);
    const QAbstractItemModel* m = rejilla->model();
    if (!m || b.f1 < b.f0)
        return {};
    QStringList lineas;
    if (cabeceras) {
        QStringList nombres;
        for (int c = b.c0; c <= b.c1; ++c) nombres << m->headerData(c, Qt::Horizontal).toString();
        lineas << nombres.join(QLatin1Char('\t'));
    }
    for (int f = b.f0; f <= b.f1; ++f) {
        QStringList fila;
        for (int c = b.c0; c <= b.c1; ++c)
            fila << m->index(f, c).data(ModeloRecordset::kTextoCopiado).toString();
        lineas << fila.join(QLatin1Char('\t'));
    }
    return lineas.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString ListaIn(const QTableView* rejilla) {
    const Bloque b = Seleccion(rejilla);
    const QAbstractItemModel* m = rejilla->model();
    if (!m || b.f1 < b.f0)
        return {};
    QStringList valores;
    for (int f = b.f0; f <= b.f1; ++f)
        for (int c = b.c0; c <= b.c1; ++c) {
            const QString v = m->index(f, c).data(ModeloRecordset::kLiteralSql).toString();
            if (v != QLatin1String("NULL") && !valores.contains(v))
                valores << v;
        }
    return QStringLiteral("IN (") + valores.join(QStringLiteral(", ")) + QLatin1Char(')');
}

void DarMenuRejilla(QTableView* rejilla, std::function<void()> exportar) {
    auto copiar = [rejilla](bool cabeceras) {
        QGuiApplication::clipboard()->setText(TextoSeleccion(rejilla, cabeceras));
    };
    QAction* copia = Accion(rejilla, T(2426), QKeySequence::Copy, [=] { copiar(false); });
    QAction* conCabeceras = Accion(rejilla, T(2427), {}, [=] { copiar(true); });
    QAction* lista = Accion(rejilla, T(2428), {},
                            [rejilla] { QGuiApplication::clipboard()->setText(ListaIn(rejilla)); });
    QAction* csv = Accion(rejilla, T(2429), {}, std::move(exportar));
    QAction* todo =
        Accion(rejilla, T(2430), QKeySequence::SelectAll, [rejilla] { rejilla->selectAll(); });
    copia->setObjectName(QStringLiteral("mnuCopiar"));
    conCabeceras->setObjectName(QStringLiteral("mnuCopiarConCabeceras"));
    lista->setObjectName(QStringLiteral("mnuCopiarListaIn"));
    csv->setObjectName(QStringLiteral("mnuExportarCsv"));
    todo->setObjectName(QStringLiteral("mnuSeleccionarTodo"));
    rejilla->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(rejilla, &QWidget::customContextMenuRequested, rejilla,
                     [=](const QPoint& donde) {
                         QMenu menu(rejilla);
                         menu.addActions({copia, conCabeceras, lista});
                         menu.addSeparator();
                         menu.addAction(csv);
                         menu.addSeparator();
                         menu.addAction(todo);
                         const bool hay = rejilla->model() && rejilla->model()->rowCount() > 0;
                         for (QAction* a : {copia, conCabeceras, lista, csv, todo})
                             a->setEnabled(hay);
                         menu.exec(rejilla->viewport()->mapToGlobal(donde));
                     });
}

}  // namespace veliora::ui
