// The Edit menu: find and replace, the remembered place, go to line, the clipboard.
#include "app/tform1.h"
#include "editing/find_dialogs.h"

void TForm1::CreateFindDialogs() {
    FindDialog1 = new TFindDialog(this);
    ReplaceDialog1 = new TReplaceDialog(this);
}
int TForm1::FindInEditor(const std::string&, int, int, bool, bool) { return -1; }
void TForm1::N15Click() {}
void TForm1::N17Click() {}
void TForm1::N16Click() {}
void TForm1::FindDialog1Find() {}
void TForm1::ReplaceDialog1Find() {}
void TForm1::ReplaceDialog1Replace() {}
void TForm1::N21Click() {}
void TForm1::N18Click() {}
void TForm1::N20Click() {}
void TForm1::N11Click() {}
void TForm1::N12Click() {}
void TForm1::N13Click() {}
