#pragma once
// A fresh editor with scripted prompts, its program folder holding the stand-in programs
// and the data files, and the current folder set to an empty document folder.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <thread>

#include "processing/process_start.h"
#include "processing/stand_in.h"
#include "support/editor.h"
#include "support/qt_print.h"
#include "support/text.h"

using support::cp1251;

// Scripted prompts that also tell the test about every information box.
class WatchedPrompts : public support::ScriptedPrompts {
  public:
    std::function<void(const std::string&)> onInformation;
    void information(const std::string& message) override {
        ScriptedPrompts::information(message);
        if (onInformation) onInformation(message);
    }
    std::vector<std::string> informationTexts() const {
        std::vector<std::string> texts;
        for (const Shown& s : ofKind("information"))
            texts.push_back(s.text);
        return texts;
    }
};

class EditorFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        docs = root.path().toStdString() + "/docs";
        probe = root.path().toStdString() + "/probe";
        QDir().mkpath(QString::fromStdString(docs));
        QDir().mkpath(QString::fromStdString(probe));
        QFile::remove(program.filePath("commands.set"));
        for (const char* name : {"compiler", "viewer-hold", "printer", "printer-hold"})
            standin::install(appDir + "/" + name);
        ::setenv("KOLBAX_PROBE_DIR", probe.c_str(), 1);
        ::setenv("KOLBAX_PROBE_ENV", "from the editor", 1);
        here = std::make_unique<standin::CurrentFolder>(docs);
        log = std::make_unique<standin::RunLog>(probe);

        editor = std::make_unique<support::Editor>(program.dir, std::make_unique<WatchedPrompts>());
        prompts = static_cast<WatchedPrompts*>(editor->prompts);
        form = editor->form.get();
        prompts->shown.clear();

        form->DocName = "thesis";
        form->DocExt = ".tex";
        form->DocDir = QString::fromStdString(docs);
        form->MainFile = "*";
        form->CompileCommand = "compiler -x";
        form->ViewCommand = "viewer-hold";
        form->PrintCommand = "printer";
        form->RichEdit1->SetModified(false);
    }

    void TearDown() override {
        support::writeBytes(probe + "/release", "");
        form = nullptr;
        editor.reset();
        waitUntilAllReaped();
        here.reset();
    }

    // Runs the event loop until every started program has ended and has been reaped.
    static bool waitUntilAllReaped() {
        auto& children = processing::ChildProcesses::instance();
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (children.unreaped() > 0 && std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return children.unreaped() == 0;
    }

    std::vector<standin::Record> runs(size_t count) {
        return standin::waitForRecords(probe, count);
    }
    // The record of the program started last (start one, then take its record).
    standin::Record nextRun() { return log->next(); }

    support::ProgramFolder program; // the data files, without the command settings
    const std::string appDir = program.dir.string();
    QTemporaryDir root;
    std::string docs, probe;
    std::unique_ptr<standin::CurrentFolder> here;
    std::unique_ptr<standin::RunLog> log;
    std::unique_ptr<support::Editor> editor;
    WatchedPrompts* prompts = nullptr;
    TForm1* form = nullptr;
};
