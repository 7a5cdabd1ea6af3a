// The File menu: new, open, save, save as and the recent files.
#include "app/tform1.h"

void TForm1::LoadTexFile(const std::string&) {}
void TForm1::SaveTexFile(const std::string&) {}
void TForm1::ReadStatusFile() {}
void TForm1::WriteStatusFile() {}
void TForm1::SaveDocument() {}
void TForm1::OpenDocument(const std::string&) {}
void TForm1::N8Click() {}
void TForm1::N5Click() {}
void TForm1::N6Click() {}
void TForm1::N7Click() {}
void TForm1::File11Click() {}
void TForm1::File21Click() {}
void TForm1::File31Click() {}
void TForm1::File41Click() {}
