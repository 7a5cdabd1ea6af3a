// The layout indicator, the Smart Keyboard switch and the typing rules of the main window.
#include "app/tform1.h"

void TForm1::ConnectEditorEvents() {}
void TForm1::RefreshLayoutIndicator() {}
void TForm1::RefreshSmartKeyboardControls() {}
void TForm1::ToolButton24Click() {}
void TForm1::RichEdit1MouseDown() {}
void TForm1::RichEdit1MouseUp() {}
void TForm1::RichEdit1KeyDown(int, Qt::KeyboardModifiers) {}
void TForm1::RichEdit1KeyPress(char&) {}
void TForm1::RichEdit1KeyUp(int, Qt::KeyboardModifiers) {}
