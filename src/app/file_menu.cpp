// The File menu's handlers and the document services of the main window; the commands
// themselves are in src/document/file_commands.cpp.
#include "app/tform1.h"
#include "document/file_commands.h"
#include "project/project_index.h"

void TForm1::N8Click() {
    RememberRecentFile();
    MakeRoomForDocument();
    document::newDocument(*this, *Form2);
}
void TForm1::N5Click() {
    document::open(*this);
}
bool TForm1::N6Click() {
    return document::save(*this);
}
bool TForm1::N7Click() {
    return document::saveAs(*this);
}
void TForm1::OpenInEncoding1Click() {
    document::reopenInEncoding(*this, *EncodingDialog1);
}
bool TForm1::SaveInEncoding1Click() {
    return document::saveInEncoding(*this, *EncodingDialog1);
}
void TForm1::File11Click() {
    document::openRecentFile(*this, 0);
}
void TForm1::File21Click() {
    document::openRecentFile(*this, 1);
}
void TForm1::File31Click() {
    document::openRecentFile(*this, 2);
}
void TForm1::File41Click() {
    document::openRecentFile(*this, 3);
}

void TForm1::LoadTexFile(const QString& path) {
    document::loadTexFile(*this, path);
}
void TForm1::SaveTexFile(const QString& path) {
    document::saveTexFile(*this, path);
    ProjectIndex1->Refresh();
}
void TForm1::ReadStatusFile() {
    document::readStatusFile(*this);
}
void TForm1::WriteStatusFile() {
    document::writeStatusFile(*this);
}
bool TForm1::SaveDocument() {
    return document::saveDocument(*this);
}
void TForm1::OpenDocument(const QString& path) {
    document::openDocument(*this, *Form3, path);
}
