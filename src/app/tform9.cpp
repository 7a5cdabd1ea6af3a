#include "app/tform9.h"

#include <QVBoxLayout>

#include "app/main_window.h"
#include "platform/memo.h"

QStringList TForm9::helpParagraphs() {
    return {
        QStringLiteral("Глубокоуважаемый(ая) Юзер(ь)!"),
        QString(),
        QStringLiteral("Этот редактор задуман, чтобы облегчить набор текстов для системы TeX "
                       "под Linux. Перед Вами отладочная версия, поэтому настоящей справки "
                       "к ней нет, но интерфейс, надеюсь, понятен и без неё."),
        QString(),
        QStringLiteral("Главная его особенность, отличающая его от многих других, - "
                       "контекстно-зависимый переключатель раскладки клавиатуры, Умная Клава: "
                       "в обычных ситуациях она сама знает, какую раскладку Вы хотите, нажимая "
                       "на клавишу. Иногда она ошибается; для таких случаев остаётся обычное "
                       "переключение раскладки (Ctrl+Shift или Alt+Shift), а если Вы набираете, "
                       "например, кусок текста на английском, Умную Клаву можно в любой момент "
                       "усыпить крайней правой кнопкой панели инструментов."),
        QString(),
        QStringLiteral("Важное ограничение: TeX-файлы текущего проекта должны лежать в одной "
                       "папке."),
        QString(),
        QStringLiteral("Команды обработки, скорее всего, придётся настроить (меню \"Обработка\"). "
                       "С распространённым пакетом TeX Live почти ничего менять не нужно: заданы "
                       "его команды latex, xdvi и dvips; программы ищутся в папке редактора, затем "
                       "в PATH, но не в папке документа. Другие пакеты не проверялись, но должны "
                       "подойти."),
        QString(),
        QStringLiteral("Несохранённые изменения не позже чем через две секунды записываются в "
                       "папку $XDG_STATE_HOME/kolbax (обычно ~/.local/state/kolbax), а не рядом "
                       "с документом; после сбоя редактор предложит их восстановить."),
        QString(),
        QStringLiteral("Желаю Вам успешных публикаций!"),
        QString(),
        QStringLiteral("Разработчик KolBAX"),
    };
}

TForm9::TForm9(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("Вместо справки"));
    setFont(QFont(app::uiFontFamily(), 12));
    auto* memo = new platform::TMemo(this);
    Memo1 = memo;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setPlainText(helpParagraphs().join(QLatin1Char('\n')));
    // The signature stands at the right, however wide the window.
    memo->AlignLastLine(Qt::AlignRight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
    resize(567, 374);
    move(192, 113);
}
