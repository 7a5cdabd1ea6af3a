#pragma once
// A fresh editor for the window tests: the data files are copied to a temporary program
// folder, the prompts are scripted, the dialogs exist and a document is open.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/tform1.h"
#include "platform/codepage.h"
#include "platform/prompts.h"

// The source data folder: KOLBAX_TEST_DATA, or the folder this test was built from.
inline QString testDataFolder() {
    const QByteArray set = qgetenv("KOLBAX_TEST_DATA");
    return set.isEmpty() ? QStringLiteral(KOLBAX_SOURCE_DATA) : QString::fromLocal8Bit(set);
}

struct Editor {
    QTemporaryDir folder;
    platform::ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<TForm1> form;

    Editor() {
        const QDir data(testDataFolder());
        for (const QString& name : data.entryList(QDir::Files))
            QFile::copy(data.filePath(name), folder.filePath(name));
        auto scripted = std::make_unique<platform::ScriptedPrompts>();
        prompts = scripted.get();
        form = std::make_unique<TForm1>(folder.path().toStdString(), std::move(scripted));
        form->CreateDialogs();
        prompts->shown.clear();
        form->RichEdit1->setEnabled(true);
        form->RichEdit1->Clear();
        form->RichEdit1->SetInsertCharset(204);
        form->ShownCharset = 204;
    }

    platform::TRichEdit& edit() { return *form->RichEdit1; }

    // One letter per character: L Latin, C Cyrillic, ? other.
    std::string sets() {
        std::string out;
        for (int i = 0; i < edit().TextLength(); ++i) {
            const int c = edit().CharsetAt(i);
            out += c == 0 ? 'L' : c == 204 ? 'C' : '?';
        }
        return out;
    }
};

inline platform::StringList listOf(const char* utf8Lines) {
    platform::StringList list;
    list.setText(platform::toCp1251(QString::fromUtf8(utf8Lines)));
    return list;
}

inline std::string cp1251(const char* utf8) {
    return platform::toCp1251(QString::fromUtf8(utf8));
}
