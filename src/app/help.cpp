// The help command and the service button.
#include <QMenu>
#include <QToolButton>

#include "app/tform1.h"
#include "app/tform9.h"

void TForm1::help1Click() {
    if (!Form9) return;
    prompts().showModal(*Form9);
    update();
}

// A click on the service button itself opens its menu, as a click on its arrow does.
void TForm1::ToolButton23Click() {
    PopupMenu1->popup(ToolButton23->mapToGlobal(QPoint(0, ToolButton23->height())));
}
