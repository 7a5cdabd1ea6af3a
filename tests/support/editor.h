#pragma once
// A fresh main window for the window tests: its program folder holds the data files, its
// prompts are scripted and its dialogs exist. What the start-up showed stays in the prompts.
#include <QAction>
#include <filesystem>
#include <memory>
#include <string>

#include "app/tform1.h"
#include "support/data_folder.h"
#include "support/scripted_prompts.h"

namespace support {

class Editor {
  public:
    // On a program folder of its own.
    Editor();
    // On the given program folder, with the given prompts (scripted ones if none).
    explicit Editor(std::filesystem::path programFolder,
                    std::unique_ptr<ScriptedPrompts> scripted = nullptr);
    // Popups and dialogs a test left open go with the window, before its folder.
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    platform::TRichEdit& edit() const { return *form->RichEdit1; }
    // A file's full path in the program folder.
    QString programFile(const char* name) const {
        return QString::fromStdString((programFolder / name).string());
    }
    template <typename T = QAction> T* find(const char* name) const {
        return form->findChild<T*>(QLatin1String(name));
    }

  private:
    std::unique_ptr<ProgramFolder> ownFolder_;

  public:
    const std::filesystem::path programFolder;
    ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<TForm1> form;

  private:
    void start(std::unique_ptr<ScriptedPrompts> scripted);
};

} // namespace support
