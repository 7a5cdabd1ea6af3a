// The main window's components as designed: menu tree, drop-down menu, toolbar, pictures,
// the help window; and every command reachable and harmless on a fresh editor.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWidgetAction>

#include "app/tform9.h"
#include "app_fixture.h"

using namespace apptest;

namespace {

struct Item {
    const char* name; // "-" for a separator
    const char16_t* caption;
    const char* shortcut;
    bool visible = true;
};

// The items of a menu in order: objectName, caption, shortcut, visibility.
void expectMenu(QMenu* menu, const std::vector<Item>& expected) {
    ASSERT_TRUE(menu);
    QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(expected.size()))
        << menu->objectName().toStdString();
    for (size_t i = 0; i < expected.size(); ++i) {
        const Item& want = expected[i];
        QAction* got = actions[static_cast<qsizetype>(i)];
        SCOPED_TRACE(menu->objectName().toStdString() + " item " + std::to_string(i) + " " +
                     want.name);
        EXPECT_EQ(got->objectName().toStdString(), want.name);
        EXPECT_EQ(got->isSeparator(), want.caption == nullptr);
        if (want.caption) {
            EXPECT_EQ(got->text(), QString::fromUtf16(want.caption));
        }
        EXPECT_EQ(got->shortcut(), QKeySequence(QLatin1String(want.shortcut)));
        EXPECT_EQ(got->isVisible(), want.visible);
    }
}

class MainWindow : public ::testing::Test {
  protected:
    AppFolder folder;
    Editor editor{folder.dir};
    TForm1& form = *editor.form;
};

} // namespace

TEST_F(MainWindow, MenuBarHoldsTheFourMenusAndHelp) {
    QList<QAction*> bar = form.MainMenu1->actions();
    std::vector<std::pair<const char*, QString>> expected = {
        {"N1", QStringLiteral("Файл       ")},         {"N2", QStringLiteral("Правка         ")},
        {"N3", QStringLiteral("Обработка       ")},    {"N4", QStringLiteral("Сервис       ")},
        {"Project1", QStringLiteral("Проект       ")}, {"help1", QStringLiteral("Помощь")},
    };
    ASSERT_EQ(bar.size(), 6);
    for (size_t i = 0; i < expected.size(); ++i) {
        QAction* action = bar[static_cast<qsizetype>(i)];
        EXPECT_EQ(action->objectName().toStdString(), expected[i].first);
        EXPECT_EQ(action->text(), expected[i].second);
        EXPECT_FALSE(action->icon().isNull()) << expected[i].first;
    }
    EXPECT_EQ(bar[5]->menu(), nullptr); // help is a command of its own
}

// Every control a user can reach has a name for screen readers: buttons their captions,
// toolbar buttons their hints, fields their labels, the layout indicator its text.
TEST_F(MainWindow, NoInteractiveWidgetIsNameless) {
    std::vector<std::string> nameless;
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        const bool interactive = widget->focusPolicy() != Qt::NoFocus ||
                                 qobject_cast<QAbstractButton*>(widget) || widget == form.Label1;
        if (!interactive || widget->isWindow()) continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            nameless.push_back(std::string(widget->metaObject()->className()) + " " +
                               widget->objectName().toStdString() + " in " +
                               widget->window()->metaObject()->className());
    }
    EXPECT_EQ(nameless, std::vector<std::string>{});
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form.Label1)->text(QAccessible::Name),
              form.Label1->text());
    form.ToolButton24->click();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form.ToolButton24)->text(QAccessible::Name),
              QStringLiteral("Разбудить Умную Клаву"));
}

TEST_F(MainWindow, MenusHoldTheirItemsInOrder) {
    expectMenu(editor.find<QMenu>("N1"), {
                                             {"N8", u"Создать", ""},
                                             {"N5", u"Открыть", ""},
                                             {"N6", u"Сохранить", ""},
                                             {"N7", u"Сохранить как...", ""},
                                             {"OpenInEncoding1", u"Открыть в кодировке...", ""},
                                             {"SaveInEncoding1", u"Сохранить в кодировке...", ""},
                                             {"N40", nullptr, ""},
                                             {"N9", u"Выход", ""},
                                             {"N10", nullptr, "", false},
                                             {"File11", u"", "", false},
                                             {"File21", u"", "", false},
                                             {"File31", u"", "", false},
                                             {"File41", u"", "", false},
                                         });
    expectMenu(editor.find<QMenu>("N2"), {
                                             {"N11", u"Вырезать", "Ctrl+X"},
                                             {"N12", u"Копироваать", "Ctrl+C"},
                                             {"N13", u"Вставить", "Ctrl+V"},
                                             {"N14", nullptr, ""},
                                             {"N15", u"Найти", "F7"},
                                             {"N17", u"Найти повторно", "Shift+F7"},
                                             {"N16", u"Заменить", "Ctrl+F7"},
                                             {"N19", nullptr, ""},
                                             {"N21", u"Запомнить место", "F4"},
                                             {"N20", u"Перейти к строке...", "F5"},
                                             {"N18", u"Вернуться", "F6"},
                                         });
    expectMenu(editor.find<QMenu>("N3"), {
                                             {"TEXDVI1", u"Компиляция  (TEX -> DVI)    ", "F9"},
                                             {"DVI1", u"Просмотр файла DVI   ", "Ctrl+F9"},
                                             {"LOG1", u"Просмотр файла LOG", "Alt+F9"},
                                             {"N22", u"Печать ", "F10"},
                                             {"N38", nullptr, ""},
                                             {"N39", u"Настройка команд обработки", ""},
                                             {"NextError1", u"Следующая ошибка", "F8"},
                                             {"PreviousError1", u"Предыдущая ошибка", "Shift+F8"},
                                             {"N41", nullptr, ""},
                                             {"PDF1", u"Просмотр PDF", "Shift+F9"},
                                             {"FindInPdf1", u"Найти в PDF", "F11"},
                                             {"StopCompile1", u"Остановить компиляцию", "Esc"},
                                         });
    expectMenu(editor.find<QMenu>("N4"),
               {
                   {"N23", u"Буквы", "Ctrl+L"},
                   {"N24", u"Символы", "Ctrl+Y"},
                   {"N25", u"Окружения", ""},
                   {"N26", u"Команды", "Ctrl+D"},
                   {"SpellSeparator1", nullptr, ""},
                   {"SpellCheck1", u"Проверка орфографии", ""},
                   {"NextMisspelling1", u"Следующая ошибка орфографии", "Ctrl+F8"},
               });
    expectMenu(editor.find<QMenu>("N25"), {
                                              {"N27", u"Формулы", "Ctrl+E"},
                                              {"N28", u"Утверждения", "Ctrl+S"},
                                              {"N30", u"Все прочие", "Ctrl+T"},
                                          });
    expectMenu(form.PopupMenu1, {
                                    {"N29", u"Буквы", ""},
                                    {"N32", u"Символы", ""},
                                    {"N31", u"Окружения", ""},
                                    {"N33", u"Команды", ""},
                                });
    expectMenu(editor.find<QMenu>("N31"), {
                                              {"N34", u"Формулы", ""},
                                              {"N35", u"Утверждения", ""},
                                              {"N36", u"Все прочие", ""},
                                          });
}

TEST_F(MainWindow, ToolbarButtonsInOrderWithHintsWidthsAndPictures) {
    struct Button {
        const char* name;
        const char* runs; // menu item whose picture it shows and which it triggers; "" = gap
        const char16_t* hint;
    };
    const std::vector<Button> expected = {
        {"ToolButton1", "N8", u"Создать новый файл"},
        {"ToolButton2", "N5", u"Открыть существующий файл"},
        {"ToolButton3", "N6", u"Сохранить файл"},
        {"ToolButton9", "N7", u"Сохранить файл под  новым именем"},
        {"ToolButton10", "N9", u"Завершить работу"},
        {"ToolButton8", "", nullptr},
        {"ToolButton4", "N11", u"Вырезать"},
        {"ToolButton5", "N12", u"Копировать"},
        {"ToolButton7", "N13", u"Вставить"},
        {"ToolButton6", "", nullptr},
        {"ToolButton11", "N15", u"Найти"},
        {"ToolButton12", "N17", u"Найти ещё раз"},
        {"ToolButton13", "N16", u"Найти и заменить"},
        {"ToolButton14", "", nullptr},
        {"ToolButton15", "N21", u"Запомнить место"},
        {"ToolButton16", "N20", u"Перейти к строке N..."},
        {"ToolButton17", "N18", u"Вернуться"},
        {"ToolButton19", "", nullptr},
        {"ToolButton21", "TEXDVI1", u"Компилировать"},
        {"ToolButton20", "DVI1", u"Смотреть DVI-файл"},
        {"ToolButton22", "LOG1", u"Смотреть LOG-файл"},
        {"ToolButton18", "N22", u"Печатать DVI-файл"},
        {"ToolButton25", "", nullptr},
        {"ToolButton23", "", u"Сервис (буквы, операции, команды)"},
        {"ToolButton26", "", nullptr},
        {"ToolButton24", "", u"Усыпить Умную Клаву"},
    };
    QList<QAction*> actions = form.ToolBar1->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const Button& want = expected[i];
        SCOPED_TRACE(want.name);
        QWidget* widget = form.ToolBar1->widgetForAction(actions[static_cast<qsizetype>(i)]);
        ASSERT_TRUE(widget);
        EXPECT_EQ(widget->objectName().toStdString(), want.name);
        auto* button = qobject_cast<QToolButton*>(widget);
        EXPECT_EQ(button != nullptr, want.hint != nullptr);
        if (!button) {
            EXPECT_EQ(widget->width(), 8);
            continue;
        }
        EXPECT_EQ(button->toolTip(), QString::fromUtf16(want.hint));
        EXPECT_TRUE(button->text().isEmpty() ||
                    button->toolButtonStyle() == Qt::ToolButtonIconOnly);
        EXPECT_FALSE(button->icon().isNull());
        EXPECT_EQ(button->width(), button == form.ToolButton23 ? 36 : 23);
        if (*want.runs) {
            QAction* item = editor.find(want.runs);
            ASSERT_TRUE(item);
            EXPECT_EQ(button->icon().cacheKey(), item->icon().cacheKey());
            QSignalSpy spy(item, &QAction::triggered);
            if (item == editor.find("N9")) continue; // closing is tested on its own
            button->click();
            EXPECT_EQ(spy.count(), 1);
        }
    }
    EXPECT_TRUE(form.ToolButton24->isCheckable());
    EXPECT_EQ(form.ToolButton23->menu(), form.PopupMenu1);
    EXPECT_EQ(form.ToolBar1->height(), 26);
}

TEST_F(MainWindow, EveryPictureOfTheImageListDraws) {
    ASSERT_EQ(form.ImageList1.size(), 27u);
    for (size_t i = 0; i < form.ImageList1.size(); ++i) {
        QImage image = form.ImageList1[i].pixmap(16, 16).toImage();
        ASSERT_FALSE(image.isNull()) << i;
        int painted = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                painted += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(painted, 12) << "picture " << i << " is (nearly) empty";
    }
    EXPECT_FALSE(form.windowIcon().isNull());
}

TEST_F(MainWindow, ServiceButtonClickOpensItsMenu) {
    form.show();
    form.ToolButton23->click();
    EXPECT_TRUE(form.PopupMenu1->isVisible());
    form.PopupMenu1->hide();
}

TEST_F(MainWindow, HelpShowsTheHelpWindowModally) {
    QSignalSpy spy(editor.find("help1"), &QAction::triggered);
    editor.find("help1")->trigger();
    auto modal = editor.prompts->ofKind("modal");
    ASSERT_EQ(modal.size(), 1u);
    EXPECT_EQ(modal[0].caption, cp1251(u"Вместо справки"));

    TForm9& help = *form.Form9;
    EXPECT_EQ(help.size(), QSize(567, 374));
    EXPECT_TRUE(help.Memo1->isReadOnly());
    EXPECT_EQ(help.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // Paragraphs, not lines: the window wraps them to its width.
    EXPECT_EQ(help.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QStringList lines = help.Memo1->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 15);
    EXPECT_EQ(lines[0], QStringLiteral("Глубокоуважаемый(ая) Юзер(ь)!"));
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("Главная")) &&
                lines[4].endsWith(QStringLiteral("панели инструментов.")));
    // The platform facts are this platform's.
    QString text = help.Memo1->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Linux")));
    EXPECT_TRUE(text.contains(QStringLiteral("TeX Live")));
    EXPECT_FALSE(text.contains(QStringLiteral("EMTEX"), Qt::CaseInsensitive));
    EXPECT_FALSE(text.contains(QStringLiteral("Windows")));
    // Where the programs of the commands are looked for, and where never.
    EXPECT_TRUE(text.contains(QStringLiteral("в папке редактора, затем")));
    EXPECT_TRUE(text.contains(QStringLiteral("в PATH, но не в папке документа")));
    EXPECT_TRUE(
        text.contains(QStringLiteral("$XDG_STATE_HOME/kolbax (обычно ~/.local/state/kolbax)")));
    EXPECT_FALSE(lines.last().trimmed().isEmpty()); // signature
}

// Shortcuts go to the window before the editing control: Ctrl+S is the statement chooser,
// not a save; Ctrl+X/C/V run the menu's clipboard commands.
TEST_F(MainWindow, ShortcutsGoBeforeTheEditingControl) {
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.RichEdit1->setEnabled(true);
    form.RichEdit1->setFocus();
    QSignalSpy statements(editor.find("N28"), &QAction::triggered);
    QSignalSpy save(editor.find("N6"), &QAction::triggered);
    QSignalSpy cut(editor.find("N11"), &QAction::triggered);
    QSignalSpy paste(editor.find("N13"), &QAction::triggered);
    QSignalSpy compile(editor.find("TEXDVI1"), &QAction::triggered);
    QTest::keyClick(form.RichEdit1, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(form.RichEdit1, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(form.RichEdit1, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(form.RichEdit1, Qt::Key_F9);
    EXPECT_EQ(statements.count(), 1);
    EXPECT_EQ(save.count(), 0);
    EXPECT_EQ(cut.count(), 1);
    EXPECT_EQ(paste.count(), 1);
    EXPECT_EQ(compile.count(), 1);
}

namespace {

// Triggers every menu item and clicks every toolbar button; the exit command comes last.
void triggerEverything(Editor& editor) {
    TForm1& form = *editor.form;
    QAction* exit = editor.find("N9");
    for (QAction* action : form.findChildren<QAction*>()) {
        if (action->isSeparator() || action->menu() || action == exit) continue;
        if (qobject_cast<QWidgetAction*>(action)) continue; // toolbar slots
        if (action->objectName().isEmpty()) continue;
        action->trigger();
        QApplication::processEvents();
    }
    for (QToolButton* button : form.ToolBar1->findChildren<QToolButton*>()) {
        if (button->objectName().isEmpty() || button->objectName() == QLatin1String("ToolButton10"))
            continue;
        button->click();
        QApplication::processEvents();
    }
    form.PopupMenu1->hide();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != &form && window->isVisible()) window->hide();
    exit->trigger();
}

} // namespace

TEST_F(MainWindow, EveryCommandRunsOnAFreshEditorWithoutFailing) {
    form.show();
    triggerEverything(editor);
    EXPECT_FALSE(form.isVisible()); // the exit command closed it
    for (const auto& shown : editor.prompts->ofKind("error"))
        ADD_FAILURE() << "error box: " << shown.text;
}

// A required data file missing: its message names it with the full path, the later data
// files are not loaded but the window gets its first look, and no command fails worse
// than a message.
TEST(MissingDataFile, LoadingStopsThereAndEveryCommandStillRuns) {
    for (const char* name :
         {"letters.grd", "symbols.grd", "env1.dat", "env2.dat", "env3.dat", "comm.dat"}) {
        SCOPED_TRACE(name);
        AppFolder folder;
        fs::remove(folder.dir / name);
        Editor editor(folder.dir);
        auto errors = editor.prompts->ofKind("error");
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].text, "Cannot open file " + (folder.dir / name).string());
        EXPECT_EQ(editor.form->Label2->text(), QStringLiteral("Умная Клава работает"));
        EXPECT_FALSE(editor.form->RichEdit1->isEnabled());
        editor.form->show();
        editor.prompts->shown.clear();
        triggerEverything(editor);
        EXPECT_FALSE(editor.form->isVisible());
    }
}
