// Mouse and drag handling of the key panels.
#include "ui/main_window.h"

namespace ptu {

void TForm1::aKeyMouseDown(KeyPanel*, QMouseEvent*) {}
void TForm1::aKeyMouseMove(KeyPanel*, QMouseEvent*) {}
void TForm1::aKeyMouseUp(KeyPanel*, QMouseEvent*) {}
void TForm1::aKeyMouseDoubleClick(KeyPanel*, QMouseEvent*) {}
void TForm1::aKeyDragOver(KeyPanel*, QDragMoveEvent*) {}
void TForm1::aKeyDragDrop(KeyPanel*, QDropEvent*) {}

}  // namespace ptu
