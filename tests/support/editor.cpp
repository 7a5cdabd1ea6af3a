#include "support/editor.h"

namespace support {

Editor::Editor() : ownFolder_(std::make_unique<ProgramFolder>()), programFolder(ownFolder_->dir) {
    start(nullptr);
}

Editor::Editor(std::filesystem::path folder, std::unique_ptr<ScriptedPrompts> scripted)
    : programFolder(std::move(folder)) {
    start(std::move(scripted));
}

Editor::~Editor() {
    form.reset();
}

void Editor::start(std::unique_ptr<ScriptedPrompts> scripted) {
    if (!scripted) scripted = std::make_unique<ScriptedPrompts>();
    prompts = scripted.get();
    form = std::make_unique<TForm1>(programFolder.string(), std::move(scripted));
    form->CreateDialogs();
}

} // namespace support
