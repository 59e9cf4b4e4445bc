#pragma once
// What the main window adds around its menus: the window menu, the status bar and its
// remembered geometry.

class QMainWindow;
class QMdiArea;
class QMenu;
class QMenuBar;
class QMdiSubWindow;
class QString;

namespace veliora::ui {

// The "Ventana" menu, placed before `antes`: cascade, tile and the open windows.
QMenu* CrearMenuVentana(QMainWindow* principal, QMdiArea* area, QMenu* antes);
// Captions of the window menu in the interface's language.
void TextosMenuVentana(QMenu* menu);

// Gives every entry of the menu bar, and every item of each menu, a keyboard mnemonic that
// no sibling uses: the first letter of a word where free, else another letter of it. Entries
// that already have one keep it. Run after the captions change (language).
void PonerMnemonicos(QMenuBar* barra);
void PonerMnemonicos(QMenu* menu);

// The main window's property holding the path of the database file the user opened: empty
// after a failed open; unset, the status bar names the open database's own file.
inline constexpr const char* kArchivoAbierto = "archivoAbierto";

// A status bar with the open database's file name, the mode and what runs now; it keeps
// itself up to date.
void CrearBarraEstado(QMainWindow* principal);

// A child window's frame takes the size it had when last closed (settings file) and keeps
// it for next time. Windows with their own sizing rules apply them afterwards.
void RecordarTamano(QMdiSubWindow* marco, const QString& nombre);

// The main window's size and position from the settings file (its first size otherwise),
// and back.
void RestaurarGeometria(QMainWindow* principal);
void GuardarGeometria(const QMainWindow* principal);

}  // namespace veliora::ui
