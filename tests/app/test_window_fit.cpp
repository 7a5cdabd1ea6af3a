// Every window of the editor shows its whole texts: at the default font, with a 1.5 times
// larger application font (KOLBAX_FONT_SCALE) and at QT_SCALE_FACTOR=2 (ctest runs this
// program once in each setting), no caption is wider or taller than its widget and no
// window is taller than a 1080-pixel screen.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

#include "app/tform9.h"
#include "app_fixture.h"
#include "document/tform2.h"
#include "document/tform3.h"
#include "editing/find_dialogs.h"
#include "insertion/tform4.h"
#include "insertion/tform5.h"
#include "insertion/tform7.h"
#include "processing/tform6.h"
#include "processing/tform8.h"

using namespace apptest;

namespace {

// The widget's caption, when it shows one.
QString captionOf(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
    return {};
}

std::vector<std::string> cutTexts(QWidget& window) {
    std::vector<std::string> cut;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window) || widget->window() != &window) continue;
        const QString caption = captionOf(widget);
        if (caption.trimmed().isEmpty()) continue;
        const QSize needed = widget->minimumSizeHint().expandedTo(
            qobject_cast<QLabel*>(widget) ? widget->sizeHint() : QSize());
        if (widget->width() < needed.width() || widget->height() < needed.height())
            cut.push_back(window.objectName().toStdString() + "/" +
                          widget->objectName().toStdString() + " \"" + caption.toStdString() +
                          "\" " + std::to_string(widget->width()) + "x" +
                          std::to_string(widget->height()) + " < " +
                          std::to_string(needed.width()) + "x" + std::to_string(needed.height()));
    }
    return cut;
}

} // namespace

TEST(WindowFit, EveryCaptionFitsItsWidgetAndEveryWindowTheScreen) {
    const double scale = qEnvironmentVariable("KOLBAX_FONT_SCALE", "1").toDouble();
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * scale);
    QApplication::setFont(font);

    AppFolder folder;
    Editor editor(folder.dir);
    TForm1& form = *editor.form;
    const std::vector<QWidget*> windows = {
        &form,      form.Form2, form.Form3, form.Form4,       form.Form5,         form.Form6,
        form.Form7, form.Form8, form.Form9, form.FindDialog1, form.ReplaceDialog1};
    std::vector<std::string> cut;
    for (QWidget* window : windows) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        for (const std::string& text : cutTexts(*window))
            cut.push_back(text);
        EXPECT_LE(window->frameGeometry().height(), 1080) << window->objectName().toStdString();
        // KOLBAX_WINDOW_SHOTS names a folder for pictures of the windows, to look at.
        if (const QString shots = qEnvironmentVariable("KOLBAX_WINDOW_SHOTS"); !shots.isEmpty())
            window->grab().save(shots + QLatin1Char('/') + window->metaObject()->className() +
                                ".png");
        window->hide();
    }
    EXPECT_EQ(cut, std::vector<std::string>{});
}
