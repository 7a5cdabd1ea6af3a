// The structure pane, the completion popup and the jumps in the main window, on projects
// whose snapshots are made by hand.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QListView>
#include <QSplitter>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include "app/tform1.h"
#include "project/completion_popup.h"
#include "project/navigation.h"
#include "project/project_index.h"
#include "project/structure_pane.h"
#include "state/document_files.h"
#include "support/editor.h"
#include "support/qt_print.h"
#include "support/text.h"

namespace {

// A main file that inputs two chapters and names a .bib, on disk; the index reads them.
struct Window : support::Editor {
    QString main, first, second;

    Window() {
        support::writeBytes(programFolder / "main.tex",
                            "\\documentclass{report}\r\n\\begin{document}\r\n\\input{ch1}\r\n"
                            "\\input{ch2}\r\n\\bibliography{refs}\r\n\\end{document}\r\n");
        support::writeBytes(programFolder / "main.sts", "*\r\n1\r\n0\r\n");
        support::writeBytes(programFolder / "ch1.tex",
                            "\\chapter{One}\r\nSee \\ref{fig:s} and \\cite{knuth}.\r\n");
        support::writeBytes(programFolder / "ch2.tex",
                            support::cp866("\\chapter{Two}\r\n\\section{Scheme}\r\n\\label{fig:s}"
                                           "\\label{рис:схема}\r\n"));
        for (const char* chapter : {"ch1.sts", "ch2.sts"})
            support::writeBytes(programFolder / chapter, "main\r\n1\r\n0\r\n");
        support::writeBytes(programFolder / "refs.bib",
                            "@book{knuth, author={Knuth}, year={1984}, title={The TeXbook}}\n");
        main = programFile("main.tex");
        first = programFile("ch1.tex");
        second = programFile("ch2.tex");
        form->show();
        open(first);
    }
    void open(const QString& path) {
        form->Guarded([&] { form->OpenAnotherDocument(path); });
        settle();
    }
    // Hands the edited texts to the index and waits for the snapshot it makes of them.
    void settle() {
        form->FeedProjectIndex();
        form->ProjectIndex1->WaitForIdle();
        QApplication::processEvents();
    }
    QString current() const { return state::documentFilePath(*form); }
    QStandardItemModel& tree() const { return form->StructurePane1->Model(); }
    // Key events as a US desktop sends them.
    void key(int qtKey, const QString& text = {}, Qt::KeyboardModifiers modifiers = {}) {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, qtKey, modifiers, text);
            QApplication::sendEvent(&edit(), &event);
        }
        QApplication::processEvents();
    }
    void type(const char* us) {
        for (const char* c = us; *c; ++c)
            key(QChar(*c).toUpper().unicode(), QString(QChar(*c)));
    }
    void caretAt(int line, int column) { edit().SetSel(edit().LineStart(line) + column, 0); }
};

TEST(StructurePane, ListsTheFilesInOrderAndKeepsWhatTheUserExpandedWhenItChanges) {
    Window window;
    window.find("Structure1")->trigger();
    ASSERT_FALSE(window.form->StructurePane1->isHidden());
    QStandardItemModel& tree = window.tree();
    ASSERT_GE(tree.rowCount(), 3);
    EXPECT_EQ(tree.item(0)->text(), QStringLiteral("main.tex"));
    EXPECT_EQ(tree.item(1)->text(), QStringLiteral("ch1.tex"));
    QStandardItem* two = tree.item(2)->child(0);
    EXPECT_EQ(two->text(), QStringLiteral("Two"));
    QTreeView* view = window.form->StructurePane1->Tree();
    view->collapse(tree.item(1)->index());
    view->expand(two->index());

    // A section is written before "Scheme": the tree changes in place.
    window.open(window.second);
    window.caretAt(1, 0);
    window.edit().SetSelText(QStringView(u"\\section{Intro}\n"));
    window.settle();
    EXPECT_EQ(tree.item(2)->child(0), two);
    ASSERT_EQ(two->rowCount(), 2);
    EXPECT_EQ(two->child(0)->text(), QStringLiteral("Intro"));
    EXPECT_TRUE(view->isExpanded(two->index()));
    EXPECT_FALSE(view->isExpanded(tree.item(1)->index()));

    // A click opens the file at the item's line; the caret's section becomes current.
    window.open(window.first);
    emit view->clicked(two->child(1)->index());
    EXPECT_EQ(window.current(), window.second);
    EXPECT_EQ(window.edit().CaretLine(), 2);
    QTest::qWait(300);
    EXPECT_EQ(view->currentIndex(), two->child(1)->index());

    window.find("Structure1")->trigger();
    EXPECT_TRUE(window.form->StructurePane1->isHidden());
}

TEST(Completion, OffersLabelsAndKeysNarrowsAndTakesTheEntryWithoutSwitchingLayout) {
    Window window;
    platform::TRichEdit& edit = window.edit();
    project::CompletionPopup& popup = *window.form->Completion1;
    edit.SetSel(edit.TextLength(), 0); // on the empty last line
    window.type("\\ref{");
    ASSERT_TRUE(popup.IsShown());
    EXPECT_EQ(popup.ShownTexts(), (QStringList{"fig:s", "рис:схема"}));
    window.type("s");
    EXPECT_EQ(popup.ShownTexts(), (QStringList{"fig:s"}));
    window.key(Qt::Key_Backspace, QStringLiteral("\b"));
    ASSERT_TRUE(popup.IsShown());
    EXPECT_EQ(popup.ShownTexts().size(), 2);
    // A newer snapshot while the popup is up leaves it its entries.
    window.form->ProjectSnapshotChanged(window.form->ProjectIndex1->Current());
    window.key(Qt::Key_Down);
    const int layout = edit.InsertCharset();
    window.key(Qt::Key_Return, QStringLiteral("\r")); // taken by the popup, not the text
    EXPECT_FALSE(popup.IsShown());
    EXPECT_EQ(edit.LineText(2), QStringLiteral("\\ref{рис:схема"));
    EXPECT_EQ(edit.CharsetAt(edit.LineStart(2) + 5), platform::kCyrillicCharset);
    EXPECT_EQ(edit.InsertCharset(), layout);

    // Esc closes it and it stays closed in that argument; Tab takes an entry.
    window.type("} \\cite{");
    ASSERT_TRUE(popup.IsShown());
    window.key(Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_FALSE(popup.IsShown());
    window.type("k");
    EXPECT_FALSE(popup.IsShown());
    window.type("x");
    EXPECT_FALSE(popup.IsShown()); // nothing fits
    window.key(Qt::Key_Backspace, QStringLiteral("\b"));
    window.key(Qt::Key_Space, QStringLiteral(" "), Qt::ControlModifier);
    ASSERT_TRUE(popup.IsShown());
    window.key(Qt::Key_Tab, QStringLiteral("\t"));
    EXPECT_EQ(edit.LineText(2), QStringLiteral("\\ref{рис:схема} \\cite{knuth"));
    EXPECT_EQ(edit.LineCount(), 3); // Enter and Tab went to the popup alone

    // Enter on an entry written out already breaks the line.
    window.type(" \\item");
    ASSERT_TRUE(popup.IsShown()); // \\item, \\itemize ...
    window.key(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_FALSE(popup.IsShown());
    EXPECT_EQ(edit.LineText(2), QStringLiteral("\\ref{рис:схема} \\cite{knuth \\item"));
    EXPECT_EQ(edit.CaretLine(), 3);
}

TEST(Navigation, JumpsToTheLabelInAnotherFileAndBack) {
    Window window;
    window.caretAt(1, 12); // in "fig:s"
    const int start = window.edit().SelStart();
    window.find("GoToDefinition1")->trigger();
    EXPECT_EQ(window.current(), window.second);
    EXPECT_EQ(window.edit().SelectedText(), QStringLiteral("fig:s"));
    EXPECT_EQ(window.edit().CaretLine(), 2);
    window.find("GoBack1")->trigger();
    EXPECT_EQ(window.current(), window.first);
    EXPECT_EQ(window.edit().SelStart(), start);

    // Ctrl+click does the same, after the click has put the caret there.
    platform::TRichEdit& edit = window.edit();
    edit.SetSel(edit.LineStart(1) + 11, 0);
    QTest::qWait(50); // laid out
    const QPoint point = edit.cursorRect().center();
    edit.SetSel(0, 0);
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, Qt::ControlModifier, point);
    QApplication::processEvents();
    EXPECT_EQ(window.current(), window.second);

    // Nothing under the caret: a notice, no jump.
    window.caretAt(0, 1);
    window.find("GoToDefinition1")->trigger();
    EXPECT_EQ(window.current(), window.second);
}

TEST(Navigation, FindsTheReferencesOfALabelWithTheirLines) {
    Window window;
    window.caretAt(1, 10);
    window.find("FindReferences1")->trigger();
    QTreeWidget* list = window.form->Navigation1->ReferencesList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(2),
              QStringLiteral("See \\ref{fig:s} and \\cite{knuth}."));
    EXPECT_EQ(list->topLevelItem(1)->text(0), QStringLiteral("ch2.tex"));
    EXPECT_EQ(list->topLevelItem(1)->text(1), QStringLiteral("3"));
    emit list->itemActivated(list->topLevelItem(1), 0);
    EXPECT_EQ(window.current(), window.second);
    EXPECT_EQ(window.edit().CaretLine(), 2);
}

} // namespace
