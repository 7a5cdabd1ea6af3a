#pragma once
// A fresh editor on a private copy of the program folder, with scripted prompts.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

#include "app/tform1.h"
#include "platform/codepage.h"
#include "platform/prompts.h"

namespace apptest {

namespace fs = std::filesystem;

inline std::string cp1251(std::u16string_view text) {
    return platform::toCp1251(text);
}

inline std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The shipped data files (from the source tree) in a temporary program folder; small
// grid files stand in where the shipped ones are not there.
class AppFolder {
  public:
    AppFolder() {
        static int counter = 0;
        dir = fs::temp_directory_path() /
              ("kolbax-app-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        fs::remove_all(dir);
        fs::create_directories(dir);
        const char* data = std::getenv("KOLBAX_TEST_DATA");
        if (!data || !*data) data = KOLBAX_SOURCE_DATA;
        for (const char* name : {"letters.grd", "symbols.grd", "env1.dat", "env2.dat", "env3.dat",
                                 "comm.dat", "default.tex", "commands.set"})
            if (fs::exists(fs::path(data) / name)) fs::copy_file(fs::path(data) / name, dir / name);
        for (const char* name : {"letters.grd", "symbols.grd"})
            if (!fs::exists(dir / name))
                writeBytes(dir / name,
                           "x_g=0 10 20\r\ny_g=0 10\r\nx_gs=2\r\ny_gs=1\r\n0.0=\\alpha\r\n");
    }
    ~AppFolder() { fs::remove_all(dir); }
    fs::path dir;
};

// What the prompts showed, for failure messages.
inline std::string describe(const platform::ScriptedPrompts& prompts) {
    std::string text;
    for (const auto& shown : prompts.shown)
        text += shown.kind + ": " + shown.caption + " / " + shown.text + "\n";
    return text;
}

struct Editor {
    explicit Editor(const fs::path& dir) {
        auto scripted = std::make_unique<platform::ScriptedPrompts>();
        prompts = scripted.get();
        form = std::make_unique<TForm1>(dir.string(), std::move(scripted));
        form->CreateDialogs();
    }
    ~Editor() {
        // Popups and dialogs a test left open go with the window.
        form.reset();
    }
    template <typename T = QAction> T* find(const char* name) const {
        return form->findChild<T*>(QLatin1String(name));
    }
    std::unique_ptr<TForm1> form;
    platform::ScriptedPrompts* prompts = nullptr;
};

} // namespace apptest
