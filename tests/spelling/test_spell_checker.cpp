#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <memory>

#include "platform/codepage.h"
#include "platform/text_marks.h"
#include "spelling/russian_dictionary.h"
#include "spelling/spell_checker.h"
#include "support/editor.h"
#include "support/text.h"

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool dictionaryInstalled() {
    return !spelling::findRussianDictionary(spelling::dictionaryFolders()).isEmpty();
}

// A main window whose checker has its dictionary, and what the tests read of it.
struct Window : support::Editor {
    using support::Editor::Editor;
    spelling::SpellChecker& checker() const { return *form->SpellChecker1; }
    platform::TextMarks& marks() const { return *edit().findChild<platform::TextMarks*>(); }

    // Opens a document of the given bytes and checks it whole.
    void open(const std::string& bytes, const char* name = "doc.tex") {
        support::writeBytes(programFolder / name, bytes);
        form->Guarded([&] { form->OpenDocument(programFile(name)); });
        checker().WaitForDictionary();
        checker().CheckAll();
    }
    // A new document holding Russian text.
    void russian(const char* utf8) { open(support::cp866(utf8)); }
    // The underlined words of the whole document, in order.
    QStringList marked() const {
        QStringList words;
        for (int line = 0; line < marks().LineCount(); ++line) {
            const QString text = marks().Line(line).text;
            for (const platform::LineRange& mark : marks().Marks(line))
                words << text.mid(mark.start, mark.length);
        }
        return words;
    }
    QAction* action(const char* name) const { return find(name); }
};

class SpellChecker : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!dictionaryInstalled()) GTEST_SKIP() << "hunspell-ru is not installed";
        window = std::make_unique<Window>();
    }
    std::unique_ptr<Window> window;
};

TEST_F(SpellChecker, UnderlinesTheMisspeltProseOfEitherEncodingAndNoMarkup) {
    const std::string text =
        support::readBytes(std::filesystem::path(KOLBAX_SPELLING_TEXTS) / "twenty_errors.tex");
    const QStringList expected =
        u("функцыя непрерывнайа теорееме точька которй знчению извесно скажит прозрачнасти "
          "встречаеться непрерывнна сущесвует Доказательсво интегралла фунций компакных такжэ "
          "услоие выполняцца статъе")
            .split(u' ');
    window->open(support::cp866(text.c_str()), "cp866.tex");
    EXPECT_EQ(window->marked(), expected);
    window->open("\xEF\xBB\xBF" + text, "utf8.tex");
    EXPECT_EQ(window->form->DocEncoding, platform::TextEncoding::Utf8);
    EXPECT_EQ(window->marked(), expected);
}

TEST_F(SpellChecker, UnderlinesNothingInATextOfTheDictionarysOwnWords) {
    QFile dic(spelling::findRussianDictionary(spelling::dictionaryFolders()).chopped(4) +
              QStringLiteral(".dic"));
    ASSERT_TRUE(dic.open(QIODevice::ReadOnly));
    dic.readLine(); // the count
    QString text;
    for (int n = 0; !dic.atEnd(); ++n) {
        const QString entry = QString::fromUtf8(dic.readLine()).section(u'/', 0, 0).trimmed();
        if (n % 97 == 0) text += entry + (n % (97 * 12) == 0 ? u("\n") : u(" "));
    }
    window->open(support::cp866(text.toUtf8().constData()));
    EXPECT_GT(window->marks().LineCount(), 100);
    EXPECT_EQ(window->marked(), QStringList());
}

TEST_F(SpellChecker, MathematicsOverSeveralLinesIsFollowedAsItIsTyped) {
    window->russian("Пусть $a+b=\r\nc$ и ошыбкаа формулы.\r\nошыбка\r\n\r\nошыбка три\r\n");
    const QStringList all{u("ошыбкаа"), u("ошыбка"), u("ошыбка")};
    EXPECT_EQ(window->marked(), all);
    // A dollar typed at the end of the first line closes its mathematics there: the dollar
    // of the second opens mathematics that goes on to the blank line.
    platform::TRichEdit& edit = window->edit();
    edit.SetSel(11, 0);
    edit.SetSelText("$");
    QCoreApplication::processEvents();
    window->checker().CheckAll();
    EXPECT_EQ(window->marked(), QStringList{u("ошыбка")});
    edit.undo();
    QCoreApplication::processEvents();
    window->checker().CheckAll();
    EXPECT_EQ(window->marked(), all);
}

TEST_F(SpellChecker, TheArgumentsOfAThesisPreambleAreNoProse) {
    window->russian("\\hyphenation{ма-те-ма-ти-ка}\r\n"
                    "\\formbytotal{TotPages}{страниц}{у}{ы}{}\r\n"
                    "\\lstset{literate={б}{{\\selectfont\\char225}}1\r\n"
                    "  {в}{{\\selectfont\\char226}}1}\r\n"
                    "Код \\verb|превет| и \\LaTeX{}овский текст с ошыбкой.\r\n");
    EXPECT_EQ(window->marked(), QStringList{u("ошыбкой")});
}

TEST_F(SpellChecker, MarksAreNoPartOfTheText) {
    const std::string bytes = support::cp866("Превет, мир!\r\nВторая страка.\r\n");
    support::writeBytes(window->programFolder / "doc.tex", bytes);
    QSignalSpy changes(&window->edit(), &QPlainTextEdit::textChanged);
    window->open(bytes);
    const int loadChanges = changes.count();
    window->checker().CheckAll();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->marked(), (QStringList{u("Превет"), u("страка")}));
    EXPECT_EQ(changes.count(), loadChanges);
    EXPECT_FALSE(window->edit().Modified());
    EXPECT_FALSE(window->edit().document()->isUndoAvailable());
    EXPECT_EQ(window->edit().Text(), support::cp1251("Превет, мир!\r\nВторая страка.\r\n"));
    window->edit().SetModified(true);
    window->action("N6")->trigger();
    EXPECT_EQ(support::readBytes(window->programFolder / "doc.tex"), bytes);
}

TEST_F(SpellChecker, TheWordAtTheCaretIsCheckedOnceTheCaretLeavesIt) {
    window->russian("Начало\r\n");
    platform::TRichEdit& edit = window->edit();
    edit.SetSel(edit.TextLength(), 0);
    edit.SetInsertCharset(platform::kCyrillicCharset);
    const auto type = [&](const char* utf8) {
        edit.SetSelText(support::cp1251(utf8));
        QCoreApplication::processEvents();
    };
    type("превет");
    EXPECT_EQ(window->marked(), QStringList());
    type(" ");
    EXPECT_EQ(window->marked(), QStringList{u("превет")});
    // An edit inside the word takes its mark until the caret leaves it again.
    edit.SetSel(edit.TextLength() - 4, 0);
    type("т");
    EXPECT_EQ(window->marked(), QStringList());
    edit.SetSel(0, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->marked(), QStringList{u("претвет")});
}

TEST_F(SpellChecker, TheMenuOfAMarkReplacesInOneStepIgnoresAndAddsToTheDictionary) {
    window->russian("превет мир, превет\r\nкукарямба\r\n");
    const std::vector<platform::LineRange> marks = window->marks().Marks(0);
    ASSERT_EQ(marks.size(), 2u);
    std::unique_ptr<QMenu> menu(window->checker().MenuFor(0, marks[0], window->form.get()));
    ASSERT_TRUE(menu);
    QStringList suggestions;
    for (int i = 1;
         auto* choice = menu->findChild<QAction*>(QStringLiteral("SpellSuggestion%1").arg(i)); ++i)
        suggestions << choice->text();
    EXPECT_LE(suggestions.size(), 7);
    const int chosen = static_cast<int>(suggestions.indexOf(u("привет")));
    ASSERT_GE(chosen, 0) << suggestions.join(u' ').toStdString();
    menu->findChild<QAction*>(QStringLiteral("SpellSuggestion%1").arg(chosen + 1))->trigger();
    EXPECT_EQ(window->marks().Line(0).text, u("привет мир, превет"));
    window->edit().undo();
    EXPECT_EQ(window->marks().Line(0).text, u("превет мир, превет"));

    window->edit().SetSel(window->edit().TextLength(), 0); // the caret leaves the word
    QCoreApplication::processEvents();
    ASSERT_EQ(window->marks().Marks(0).size(), 2u);
    menu.reset(window->checker().MenuFor(0, window->marks().Marks(0)[1], window->form.get()));
    menu->findChild<QAction*>(QStringLiteral("SpellIgnoreAll1"))->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->marked(), QStringList{u("кукарямба")});
    const QString personal = spelling::personalDictionaryPath();
    EXPECT_FALSE(QFile::exists(personal) && readAll(personal).contains("превет"));

    menu.reset(window->checker().MenuFor(1, window->marks().Marks(1)[0], window->form.get()));
    menu->findChild<QAction*>(QStringLiteral("SpellAddWord1"))->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->marked(), QStringList());
    EXPECT_TRUE(readAll(personal).contains(u("кукарямба\n").toUtf8()));
    // Another window takes the personal words, not the ignored ones.
    Window other;
    other.russian("превет кукарямба\r\n");
    EXPECT_EQ(other.marked(), QStringList{u("превет")});
}

TEST_F(SpellChecker, NextMisspellingGoesRoundFromTheLastErrorAndBeepsOnlyWithoutAny) {
    window->russian("ошыбка один\r\nчисто\r\nдва ошибкка и три ашибка\r\n");
    QAction* next = window->action("NextMisspelling1");
    EXPECT_FALSE(next->shortcut().isEmpty());
    window->edit().SetSel(8, 0); // past the first
    const int beeps = window->prompts->beeps;
    QStringList selected;
    for (int i = 0; i < 4; ++i) {
        next->trigger();
        selected << platform::fromCp1251(window->edit().SelText());
    }
    EXPECT_EQ(selected, (QStringList{u("ошибкка"), u("ашибка"), u("ошыбка"), u("ошибкка")}));
    EXPECT_EQ(window->prompts->beeps, beeps);
    window->open(support::cp866("чисто\r\nи здесь\r\n"), "clean.tex");
    window->edit().SetSel(9, 0);
    const int before = window->prompts->beeps;
    next->trigger();
    EXPECT_EQ(window->prompts->beeps, before + 1);
    EXPECT_EQ(window->edit().SelLength(), 0);
}

TEST_F(SpellChecker, TheMenuOfAMarkKeepsCutCopyAndPasteBelowItsOwnItems) {
    window->russian("превет мир\r\n");
    window->edit().SetSel(0, 6);
    std::unique_ptr<QMenu> menu(
        window->checker().MenuFor(0, window->marks().Marks(0).at(0), window->form.get()));
    ASSERT_TRUE(menu);
    QStringList names;
    for (const QAction* item : menu->actions())
        if (!item->isSeparator() && !item->objectName().startsWith(u("SpellSuggestion")))
            names << item->objectName();
    ASSERT_EQ(names, (QStringList{u("SpellIgnoreAll1"), u("SpellAddWord1"), u("edit-cut"),
                                  u("edit-copy"), u("edit-paste")}));
    menu->findChild<QAction*>(QStringLiteral("edit-cut"))->trigger();
    EXPECT_EQ(platform::fromCp1251(window->edit().Text()), u(" мир\r\n"));
    window->edit().SetSel(window->edit().TextLength(), 0);
    menu.reset(window->checker().MenuFor(0, {0, 0}, window->form.get()));
    EXPECT_FALSE(menu); // no word there
}

TEST_F(SpellChecker, CommonAbbreviationsAndInitialsAreNoErrors) {
    window->russian(
        "в т.~ч. и до н.~э., к.~ф.-м.~н. А.~С.~Пушкин, ок.~5 лет, т.~к. и ср.~рис.~1\r\n"
        "но ф без точки и ошыбка.\r\n");
    EXPECT_EQ(window->marked(), (QStringList{u("ф"), u("ошыбка")}));
}

TEST_F(SpellChecker, SwitchedOffItShowsNothingAndStaysOffAtTheNextStart) {
    window->russian("превет\r\n");
    QAction* onOff = window->action("SpellCheck1");
    EXPECT_TRUE(onOff->isChecked());
    onOff->trigger();
    EXPECT_FALSE(window->checker().Checking());
    EXPECT_FALSE(onOff->isChecked());
    EXPECT_FALSE(window->action("NextMisspelling1")->isEnabled());
    EXPECT_EQ(window->marked(), QStringList());
    Window next(window->programFolder);
    next.checker().WaitForDictionary();
    EXPECT_TRUE(next.action("SpellCheck1")->isEnabled());
    EXPECT_FALSE(next.action("SpellCheck1")->isChecked());
    next.action("SpellCheck1")->trigger();
    next.russian("превет\r\n");
    EXPECT_EQ(next.marked(), QStringList{u("превет")});
}

TEST_F(SpellChecker, TheLinesInViewComeFirstAndTheRestInAPause) {
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "Строка с ошыбкой\r\n";
    support::writeBytes(window->programFolder / "long.tex", support::cp866(text.c_str()));
    window->form->show();
    window->form->Guarded([&] { window->form->OpenDocument(window->programFile("long.tex")); });
    window->checker().WaitForDictionary();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->marks().Marks(0).size(), 1u);
    EXPECT_FALSE(window->marks().IsChecked(2999));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->marks().IsChecked(2999); }, 5000));
    EXPECT_EQ(window->marks().Marks(2999).size(), 1u);
}

TEST_F(SpellChecker, TheEndInViewFirstKnowsWhatTheLinesAboveLeaveOpen) {
    std::string text = "\\begin{verbatim}\r\n";
    for (int i = 0; i < 3000; ++i)
        text += "ошыбка в коде\r\n";
    text += "\\end{verbatim} ошыбка после\r\n";
    support::writeBytes(window->programFolder / "long.tex", support::cp866(text.c_str()));
    window->form->show();
    window->form->Guarded([&] { window->form->OpenDocument(window->programFile("long.tex")); });
    window->checker().WaitForDictionary();
    platform::TRichEdit& edit = window->edit();
    edit.SetSelStart(edit.TextLength());
    edit.ensureCursorVisible();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(window->marks().Marks(3001).size(), 1u);
    EXPECT_TRUE(window->marks().Marks(3000).empty());
    EXPECT_FALSE(window->marks().IsChecked(5));
}

// Without a dictionary, or with one that cannot be read, nothing is checked; the indicator
// says so once, when a document is shown.
TEST(SpellCheckerWithoutDictionary, SaysSoOnceAndDisablesItsMenu) {
    QTemporaryDir folder;
    QFile aff(folder.filePath(QStringLiteral("ru_RU.aff")));
    QFile dic(folder.filePath(QStringLiteral("ru_RU.dic")));
    const struct {
        bool files;
        const char* note;
    } cases[] = {{false, "Нет словаря"}, {true, "Словарь орфографии не читается"}};
    for (const auto& c : cases) {
        if (c.files) {
            ASSERT_TRUE(aff.open(QIODevice::WriteOnly) && dic.open(QIODevice::WriteOnly));
            dic.write("garbage\n");
            aff.close();
            dic.close();
        }
        qputenv("KOLBAX_DICPATH", folder.path().toLocal8Bit());
        Window window;
        qunsetenv("KOLBAX_DICPATH");
        window.checker().WaitForDictionary();
        EXPECT_FALSE(window.checker().Available());
        EXPECT_FALSE(window.action("SpellCheck1")->isEnabled());
        EXPECT_FALSE(window.action("NextMisspelling1")->isEnabled());
        window.open(support::cp866("превет\r\n"));
        QTest::qWait(spelling::SpellChecker::kPauseMs + 250);
        EXPECT_TRUE(window.form->Label1->text().startsWith(u(c.note)))
            << window.form->Label1->text().toStdString();
        EXPECT_EQ(window.marked(), QStringList());
        window.edit().SetSel(3, 0); // the notice gives way, and does not come again
        window.open(support::cp866("ещё\r\n"), "other.tex");
        QTest::qWait(spelling::SpellChecker::kPauseMs + 250);
        EXPECT_FALSE(window.form->Label1->text().startsWith(u(c.note)));
    }
}

} // namespace
