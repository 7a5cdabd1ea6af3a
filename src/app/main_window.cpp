// The main window's components: the client area with the toolbar, the editing control and
// the two status labels; the menu bar, the service drop-down menu and the image list.
// Every menu item and toolbar button carries its design name as objectName and runs its
// handler through the runtime-error guard.
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>

#include "app/event_hook.h"
#include "app/main_window.h"
#include "app/menu_bar_style.h"
#include "app/tform1.h"

namespace app {

const ToolbarHint* toolbarHints(int& count) {
    static const ToolbarHint hints[] = {
        {"ToolButton1", QStringLiteral("Создать новый файл")},
        {"ToolButton2", QStringLiteral("Открыть существующий файл")},
        {"ToolButton3", QStringLiteral("Сохранить файл")},
        {"ToolButton9", QStringLiteral("Сохранить файл под  новым именем")},
        {"ToolButton10", QStringLiteral("Завершить работу")},
        {"ToolButton4", QStringLiteral("Вырезать")},
        {"ToolButton5", QStringLiteral("Копировать")},
        {"ToolButton7", QStringLiteral("Вставить")},
        {"ToolButton11", QStringLiteral("Найти")},
        {"ToolButton12", QStringLiteral("Найти ещё раз")},
        {"ToolButton13", QStringLiteral("Найти и заменить")},
        {"ToolButton15", QStringLiteral("Запомнить место")},
        {"ToolButton16", QStringLiteral("Перейти к строке N...")},
        {"ToolButton17", QStringLiteral("Вернуться")},
        {"ToolButton21", QStringLiteral("Компилировать")},
        {"ToolButton20", QStringLiteral("Смотреть DVI-файл")},
        {"ToolButton22", QStringLiteral("Смотреть LOG-файл")},
        {"ToolButton18", QStringLiteral("Печатать DVI-файл")},
        {"ToolButton23", QStringLiteral("Сервис (буквы, операции, команды)")},
        {"ToolButton24", QStringLiteral("Усыпить Умную Клаву")},
    };
    count = static_cast<int>(std::size(hints));
    return hints;
}

} // namespace app

namespace {

// The pictures of ImageList1, in list order.
const char* const kImageFiles[] = {
    "new",     "open",     "save",       "save_as",      "cut",     "copy",       "exit",
    "paste",   "find",     "find_again", "replace",      "anchor",  "go_to_line", "go_back",
    "compile", "view_dvi", "view_log",   "print",        "service", "keyboard",   "edit",
    "help",    "file",     "commands",   "environments", "symbols", "letters",
};

enum Image {
    New,
    Open,
    Save,
    SaveAs,
    Cut,
    Copy,
    Exit,
    Paste,
    Find,
    FindAgain,
    Replace,
    Anchor,
    GoToLine,
    GoBack,
    Compile,
    ViewDvi,
    ViewLog,
    Print,
    Service,
    Keyboard,
    Edit,
    Help,
    File,
    Commands,
    Environments,
    Symbols,
    Letters
};

// Handlers may return a result (a save reports whether it saved); a menu item ignores it.
template <typename Handler> void connectHandler(TForm1* form, QAction* action, Handler handler) {
    QObject::connect(action, &QAction::triggered, form, [form, handler] {
        form->Guarded([form, handler] { (void)(form->*handler)(); });
    });
}

template <typename Handler>
QAction* addCommand(TForm1* form, QWidget* menu, const char* name, const QString& caption,
                    const char* shortcut, int image, Handler handler) {
    auto* action = new QAction(caption, menu);
    action->setObjectName(QLatin1String(name));
    if (image >= 0) action->setIcon(form->ImageList1[static_cast<size_t>(image)]);
    if (shortcut) {
        action->setShortcut(QKeySequence(QLatin1String(shortcut)));
        action->setShortcutContext(Qt::WindowShortcut);
    }
    connectHandler(form, action, handler);
    menu->addAction(action);
    return action;
}

QAction* addSeparator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QLatin1String(name));
    return separator;
}

QMenu* addSubmenu(TForm1* form, QMenu* parent, const char* name, const QString& caption,
                  int image) {
    auto* menu = new QMenu(caption, parent);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    menu->setIcon(form->ImageList1[static_cast<size_t>(image)]);
    parent->addMenu(menu);
    return menu;
}

// A toolbar button that runs a menu item: the item's picture, no caption.
QToolButton* addButton(QToolBar* bar, const char* name, QAction* runs) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setIcon(runs->icon());
    button->setAutoRaise(true);
    button->setFixedSize(app::kButtonWidth, app::kButtonHeight);
    QObject::connect(button, &QToolButton::clicked, runs, &QAction::trigger);
    bar->addWidget(button)->setObjectName(QLatin1String(name));
    return button;
}

// A divider is an 8 pixel gap with a line in it, a separator a blank 8 pixel gap.
void addGap(QToolBar* bar, const char* name, bool divider) {
    QWidget* gap;
    if (divider) {
        auto* line = new QFrame(bar);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        gap = line;
    } else {
        gap = new QWidget(bar);
    }
    gap->setObjectName(QLatin1String(name));
    gap->setFixedSize(app::kDividerWidth, app::kButtonHeight);
    bar->addWidget(gap)->setObjectName(QLatin1String(name));
}

} // namespace

void TForm1::BuildComponents() {
    Q_INIT_RESOURCE(icons);
    using app::uiFontFamily;
    setWindowTitle(app::mainCaption());
    setWindowIcon(QIcon(QStringLiteral(":/icons/kolbax.svg")));
    setFont(QFont(uiFontFamily(), 8));

    ImageList1.clear();
    for (const char* file : kImageFiles)
        ImageList1.emplace_back(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(file)));

    // ----- Menu bar -----
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    app::MenuBarStyle::install(MainMenu1);
    auto topMenu = [this](const char* name, const QString& caption, int image) {
        auto* menu = new QMenu(caption, MainMenu1);
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name));
        menu->setIcon(ImageList1[static_cast<size_t>(image)]);
        MainMenu1->addMenu(menu);
        return menu;
    };

    QMenu* n1 = topMenu("N1", QStringLiteral("Файл       "), File);
    addCommand(this, n1, "N8", QStringLiteral("Создать"), nullptr, New, &TForm1::N8Click);
    addCommand(this, n1, "N5", QStringLiteral("Открыть"), nullptr, Open, &TForm1::N5Click);
    addCommand(this, n1, "N6", QStringLiteral("Сохранить"), nullptr, Save, &TForm1::N6Click);
    addCommand(this, n1, "N7", QStringLiteral("Сохранить как..."), nullptr, SaveAs,
               &TForm1::N7Click);
    addCommand(this, n1, "OpenInEncoding1", QStringLiteral("Открыть в кодировке..."), nullptr, -1,
               &TForm1::OpenInEncoding1Click);
    addCommand(this, n1, "SaveInEncoding1", QStringLiteral("Сохранить в кодировке..."), nullptr, -1,
               &TForm1::SaveInEncoding1Click);
    addSeparator(n1, "N40");
    addCommand(this, n1, "N9", QStringLiteral("Выход"), nullptr, Exit, &TForm1::N9Click);
    N10 = addSeparator(n1, "N10");
    N10->setVisible(false);
    File11 = addCommand(this, n1, "File11", {}, nullptr, -1, &TForm1::File11Click);
    File21 = addCommand(this, n1, "File21", {}, nullptr, -1, &TForm1::File21Click);
    File31 = addCommand(this, n1, "File31", {}, nullptr, -1, &TForm1::File31Click);
    File41 = addCommand(this, n1, "File41", {}, nullptr, -1, &TForm1::File41Click);
    for (QAction* item : {File11, File21, File31, File41})
        item->setVisible(false);

    QMenu* n2 = topMenu("N2", QStringLiteral("Правка         "), Edit);
    addCommand(this, n2, "N11", QStringLiteral("Вырезать"), "Ctrl+X", Cut, &TForm1::N11Click);
    addCommand(this, n2, "N12", QStringLiteral("Копироваать"), "Ctrl+C", Copy, &TForm1::N12Click);
    addCommand(this, n2, "N13", QStringLiteral("Вставить"), "Ctrl+V", Paste, &TForm1::N13Click);
    addSeparator(n2, "N14");
    addCommand(this, n2, "N15", QStringLiteral("Найти"), "F7", Find, &TForm1::N15Click);
    addCommand(this, n2, "N17", QStringLiteral("Найти повторно"), "Shift+F7", FindAgain,
               &TForm1::N17Click);
    addCommand(this, n2, "N16", QStringLiteral("Заменить"), "Ctrl+F7", Replace, &TForm1::N16Click);
    addSeparator(n2, "N19");
    addCommand(this, n2, "N21", QStringLiteral("Запомнить место"), "F4", Anchor, &TForm1::N21Click);
    addCommand(this, n2, "N20", QStringLiteral("Перейти к строке..."), "F5", GoToLine,
               &TForm1::N20Click);
    addCommand(this, n2, "N18", QStringLiteral("Вернуться"), "F6", GoBack, &TForm1::N18Click);
    addSeparator(n2, "FixLayoutSeparator1");
    addCommand(this, n2, "FixLayout1", QStringLiteral("Исправить раскладку"),
               platform::kFixLayoutShortcut, -1, &TForm1::FixLayout1Click);

    QMenu* n3 = topMenu("N3", QStringLiteral("Обработка       "), Compile);
    addCommand(this, n3, "TEXDVI1", QStringLiteral("Компиляция  (TEX -> DVI)    "), "F9", Compile,
               &TForm1::TEXDVI1Click);
    addCommand(this, n3, "DVI1", QStringLiteral("Просмотр файла DVI   "), "Ctrl+F9", ViewDvi,
               &TForm1::DVI1Click);
    addCommand(this, n3, "LOG1", QStringLiteral("Просмотр файла LOG"), "Alt+F9", ViewLog,
               &TForm1::LOG1Click);
    addCommand(this, n3, "N22", QStringLiteral("Печать "), "F10", Print, &TForm1::N22Click);
    addSeparator(n3, "N38");
    addCommand(this, n3, "N39", QStringLiteral("Настройка команд обработки"), nullptr, Service,
               &TForm1::N39Click);
    addCommand(this, n3, "NextError1", QStringLiteral("Следующая ошибка"), "F8", -1,
               &TForm1::NextError1Click);
    addCommand(this, n3, "PreviousError1", QStringLiteral("Предыдущая ошибка"), "Shift+F8", -1,
               &TForm1::PreviousError1Click);
    addSeparator(n3, "N41");
    QAction* pdf1 = addCommand(this, n3, "PDF1", QStringLiteral("Просмотр PDF"), "Shift+F9", -1,
                               &TForm1::PDF1Click);
    pdf1->setCheckable(true);
    addCommand(this, n3, "FindInPdf1", QStringLiteral("Найти в PDF"), "F11", -1,
               &TForm1::FindInPdf1Click);
    addCommand(this, n3, "StopCompile1", QStringLiteral("Остановить компиляцию"), "Esc", -1,
               &TForm1::StopCompile1Click)
        ->setEnabled(false);

    QMenu* n4 = topMenu("N4", QStringLiteral("Сервис       "), Service);
    addCommand(this, n4, "N23", QStringLiteral("Буквы"), "Ctrl+L", Letters, &TForm1::N23Click);
    addCommand(this, n4, "N24", QStringLiteral("Символы"), "Ctrl+Y", Symbols, &TForm1::N24Click);
    QMenu* n25 = addSubmenu(this, n4, "N25", QStringLiteral("Окружения"), Environments);
    addCommand(this, n25, "N27", QStringLiteral("Формулы"), "Ctrl+E", -1, &TForm1::N27Click);
    addCommand(this, n25, "N28", QStringLiteral("Утверждения"), "Ctrl+S", -1, &TForm1::N28Click);
    addCommand(this, n25, "N30", QStringLiteral("Все прочие"), "Ctrl+T", -1, &TForm1::N30Click);
    addCommand(this, n4, "N26", QStringLiteral("Команды"), "Ctrl+D", Commands, &TForm1::N26Click);
    addSeparator(n4, "SpellSeparator1");
    addCommand(this, n4, "SpellCheck1", QStringLiteral("Проверка орфографии"), nullptr, -1,
               &TForm1::SpellCheck1Click)
        ->setCheckable(true);
    addCommand(this, n4, "NextMisspelling1", QStringLiteral("Следующая ошибка орфографии"),
               "Ctrl+F8", -1, &TForm1::NextMisspelling1Click);
    addCommand(this, n4, "Typography1", QStringLiteral("Типографика..."), nullptr, -1,
               &TForm1::Typography1Click);
    addCommand(this, n4, "NextTypography1", QStringLiteral("Следующая типографская ошибка"),
               "Ctrl+Shift+F8", -1, &TForm1::NextTypography1Click);

    // The project's menu: its structure, the jumps through it (app/project_assist_menu.cpp),
    // its reference problems and the renaming of a label (app/project_menu.cpp).
    QMenu* project1 = topMenu("Project1", QStringLiteral("Проект       "), Open);
    addCommand(this, project1, "Structure1", QStringLiteral("Структура"), "Ctrl+F12", -1,
               &TForm1::Structure1Click)
        ->setCheckable(true);
    addCommand(this, project1, "GoToDefinition1", QStringLiteral("Перейти к определению"), "F12",
               -1, &TForm1::GoToDefinition1Click);
    addCommand(this, project1, "GoBack1", QStringLiteral("Назад"), "Alt+Left", -1,
               &TForm1::GoBack1Click);
    addCommand(this, project1, "FindReferences1", QStringLiteral("Найти ссылки"), "Shift+F12", -1,
               &TForm1::FindReferences1Click);
    addSeparator(project1, "ProjectSeparator1");
    addCommand(this, project1, "NextReferenceProblem1", QStringLiteral("Следующая ошибка ссылки"),
               "Alt+F8", -1, &TForm1::NextReferenceProblem1Click);
    addCommand(this, project1, "RenameLabel1", QStringLiteral("Переименовать метку..."), "F2", -1,
               &TForm1::RenameLabel1Click);

    QAction* help1 = addCommand(this, MainMenu1, "help1", QStringLiteral("Помощь"), nullptr, Help,
                                &TForm1::help1Click);

    // ----- Service drop-down menu (no shortcuts) -----
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    addCommand(this, PopupMenu1, "N29", QStringLiteral("Буквы"), nullptr, Letters,
               &TForm1::N23Click);
    addCommand(this, PopupMenu1, "N32", QStringLiteral("Символы"), nullptr, Symbols,
               &TForm1::N32Click);
    QMenu* n31 = addSubmenu(this, PopupMenu1, "N31", QStringLiteral("Окружения"), Environments);
    addCommand(this, n31, "N34", QStringLiteral("Формулы"), nullptr, -1, &TForm1::N34Click);
    addCommand(this, n31, "N35", QStringLiteral("Утверждения"), nullptr, -1, &TForm1::N28Click);
    addCommand(this, n31, "N36", QStringLiteral("Все прочие"), nullptr, -1, &TForm1::N30Click);
    addCommand(this, PopupMenu1, "N33", QStringLiteral("Команды"), nullptr, Commands,
               &TForm1::N26Click);

    // ----- Client area -----
    ClientArea = new QWidget(this);
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(ClientArea);

    ToolBar1 = new QToolBar(ClientArea);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setContentsMargins(0, 0, 0, 0);
    if (ToolBar1->layout()) {
        ToolBar1->layout()->setSpacing(0);
        ToolBar1->layout()->setContentsMargins(0, 2, 0, 2);
    }
    auto item = [this](const char* name) { return findChild<QAction*>(QLatin1String(name)); };
    addButton(ToolBar1, "ToolButton1", item("N8"));
    addButton(ToolBar1, "ToolButton2", item("N5"));
    addButton(ToolBar1, "ToolButton3", item("N6"));
    addButton(ToolBar1, "ToolButton9", item("N7"));
    addButton(ToolBar1, "ToolButton10", item("N9"));
    addGap(ToolBar1, "ToolButton8", true);
    addButton(ToolBar1, "ToolButton4", item("N11"));
    addButton(ToolBar1, "ToolButton5", item("N12"));
    addButton(ToolBar1, "ToolButton7", item("N13"));
    addGap(ToolBar1, "ToolButton6", false);
    addButton(ToolBar1, "ToolButton11", item("N15"));
    addButton(ToolBar1, "ToolButton12", item("N17"));
    addButton(ToolBar1, "ToolButton13", item("N16"));
    addGap(ToolBar1, "ToolButton14", false);
    addButton(ToolBar1, "ToolButton15", item("N21"));
    addButton(ToolBar1, "ToolButton16", item("N20"));
    addButton(ToolBar1, "ToolButton17", item("N18"));
    addGap(ToolBar1, "ToolButton19", true);
    addButton(ToolBar1, "ToolButton21", item("TEXDVI1"));
    addButton(ToolBar1, "ToolButton20", item("DVI1"));
    addButton(ToolBar1, "ToolButton22", item("LOG1"));
    addButton(ToolBar1, "ToolButton18", item("N22"));
    addGap(ToolBar1, "ToolButton25", true);

    ToolButton23 = new QToolButton(ToolBar1);
    ToolButton23->setObjectName(QStringLiteral("ToolButton23"));
    ToolButton23->setIcon(ImageList1[Service]);
    ToolButton23->setAutoRaise(true);
    ToolButton23->setMenu(PopupMenu1);
    ToolButton23->setPopupMode(QToolButton::MenuButtonPopup);
    ToolButton23->setFixedSize(app::kServiceButtonWidth, app::kButtonHeight);
    connect(ToolButton23, &QToolButton::clicked, this,
            [this] { Guarded([this] { ToolButton23Click(); }); });
    ToolBar1->addWidget(ToolButton23)->setObjectName(QStringLiteral("ToolButton23"));
    addGap(ToolBar1, "ToolButton26", true);

    ToolButton24 = new QToolButton(ToolBar1);
    ToolButton24->setObjectName(QStringLiteral("ToolButton24"));
    ToolButton24->setIcon(ImageList1[Keyboard]);
    ToolButton24->setAutoRaise(true);
    ToolButton24->setCheckable(true);
    ToolButton24->setFixedSize(app::kButtonWidth, app::kButtonHeight);
    connect(ToolButton24, &QToolButton::clicked, this,
            [this] { Guarded([this] { ToolButton24Click(); }); });
    ToolBar1->addWidget(ToolButton24)->setObjectName(QStringLiteral("ToolButton24"));

    // The text, and beside it the PDF pane once there is one.
    Splitter1 = new QSplitter(Qt::Horizontal, ClientArea);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    // The documents' tab bar over their controls (app/tabs_menu.cpp).
    auto* documentArea = new QWidget(Splitter1);
    documentArea->setObjectName(QStringLiteral("DocumentArea1"));
    RichEdit1 = new platform::TRichEdit(documentArea);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    Splitter1->addWidget(documentArea);
    BuildPdfPane();
    BuildStructurePane();
    {
        // The selection is not shown while the control does not have the focus.
        QPalette palette = RichEdit1->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         palette.color(QPalette::Inactive, QPalette::Base));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Inactive, QPalette::Text));
        RichEdit1->setPalette(palette);
    }

    QFont labelFont(uiFontFamily(), 12, QFont::Bold);
    Label1 = new QLabel(ClientArea);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(labelFont);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label2 = new QLabel(ClientArea);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(labelFont);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2->setGeometry(app::kLabel2Left, app::kLabel2Top, app::kLabel2Width, app::kLabel2Height);
    Label1->setGeometry(0, app::kLabel1Top, app::kClientWidth - app::kLabel2Width,
                        app::kLabel1Height);
    Label1->raise();
    new app::EventHook(Label1, [this](QEvent* event) {
        if (event->type() != QEvent::MouseButtonPress) return false;
        Guarded([this] { Label1Click(); });
        return true;
    });

    // The client area keeps its controls in place whenever its size changes.
    new app::EventHook(ClientArea, [this](QEvent* event) {
        if (event->type() == QEvent::Resize) Guarded([this] { FormResize(); });
        return false;
    });

    // The window's shortcuts go before the editing control's own keys (Ctrl+X, Ctrl+C,
    // Ctrl+V, ...): every control yields every key sequence a command is bound to.
    BuildTabActions();
    WindowShortcuts.clear();
    for (QAction* action : findChildren<QAction*>())
        WindowShortcuts.append(action->shortcuts());
    RichEdit1->SetWindowShortcuts(WindowShortcuts);

    (void)help1;
    resize(app::kClientWidth, MainMenu1->sizeHint().height() + app::kClientHeight);
    move(app::kWindowLeft, app::kWindowTop);
}
