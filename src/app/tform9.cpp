#include "app/tform9.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/main_window.h"

QStringList TForm9::helpLines() {
    return {
        QStringLiteral("Глубокоуважаемый(ая) Юзер(ь)!"),
        QString(),
        QStringLiteral("Этот редактор задуман, чтобы облегчить набор текстов для системы TeX"),
        QStringLiteral("под Linux. Перед Вами отладочная версия, поэтому настоящей справки"),
        QStringLiteral("к ней нет, но интерфейс, надеюсь, понятен и без неё."),
        QString(),
        QStringLiteral("Главная его особенность, отличающая его от многих других, -"),
        QStringLiteral("контекстно-зависимый переключатель раскладки клавиатуры, Умная Клава:"),
        QStringLiteral("в обычных ситуациях она сама знает, какую раскладку Вы хотите, нажимая"),
        QStringLiteral("на клавишу. Иногда она ошибается; для таких случаев остаётся обычное"),
        QStringLiteral("переключение раскладки (Ctrl+Shift или Alt+Shift), а если Вы набираете,"),
        QStringLiteral("например, кусок текста на английском, Умную Клаву можно в любой момент"),
        QStringLiteral("усыпить крайней правой кнопкой панели инструментов."),
        QString(),
        QStringLiteral("Важное ограничение: TeX-файлы текущего проекта должны лежать в одной"),
        QStringLiteral("папке."),
        QString(),
        QStringLiteral("Команды обработки, скорее всего, придётся настроить (меню \"Обработка\")."),
        QStringLiteral("С распространённым пакетом TeX Live почти ничего менять не нужно: заданы"),
        QStringLiteral(
            "его команды latex, xdvi и dvips; программы ищутся в папке редактора, затем"),
        QStringLiteral(
            "в PATH, но не в папке документа. Другие пакеты не проверялись, но должны подойти."),
        QString(),
        QStringLiteral("Несохранённые изменения не позже чем через две секунды записываются в"),
        QStringLiteral("папку $XDG_STATE_HOME/kolbax (обычно ~/.local/state/kolbax), а не рядом"),
        QStringLiteral("с документом; после сбоя редактор предложит их восстановить."),
        QString(),
        QStringLiteral("Желаю Вам успешных публикаций!"),
        QString(),
        QStringLiteral("                                        Разработчик KolBAX"),
    };
}

TForm9::TForm9(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("Вместо справки"));
    setFont(QFont(app::uiFontFamily(), 12));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setPlainText(helpLines().join(QLatin1Char('\n')));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
    resize(567, 374);
    move(192, 113);
}
