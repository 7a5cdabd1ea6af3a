// The Processing menu's handlers: each forwards to its command in src/processing.
#include <memory>

#include "app/tform1.h"
#include "processing/log_commands.h"
#include "processing/log_navigation.h"
#include "processing/processing_commands.h"

namespace {

processing::ErrorSteps& errorSteps(TForm1& form) {
    if (!form.LogErrorSteps) form.LogErrorSteps = std::make_shared<processing::ErrorSteps>();
    return *form.LogErrorSteps;
}

} // namespace

void TForm1::TEXDVI1Click() {
    processing::compile(*this, Form6, errorSteps(*this), PdfCompile1);
}
void TForm1::DVI1Click() {
    processing::viewDvi(*this);
}
void TForm1::N22Click() {
    processing::printDvi(*this);
}
void TForm1::N39Click() {
    if (processing::editCommands(*this, *Form8)) RefreshOutputCaptions();
}
void TForm1::LOG1Click() {
    processing::showLog(*this, *Form6);
}
void TForm1::NextError1Click() {
    processing::nextError(*this, errorSteps(*this));
}
void TForm1::PreviousError1Click() {
    processing::previousError(*this, errorSteps(*this));
}
