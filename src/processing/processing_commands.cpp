// The Processing menu: compile, view DVI, print, the command settings and the LOG viewer.
#include "app/tform1.h"

void TForm1::TEXDVI1Click() {}
void TForm1::DVI1Click() {}
void TForm1::N22Click() {}
void TForm1::N39Click() {}
void TForm1::LOG1Click() {}
