#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

#include "editor_fixture.h"
#include "insertion/picture_image.h"
#include "insertion/pictures.h"
#include "insertion/tform4.h"
#include "insertion/tform5.h"
#include "platform/charsets.h"
#include "platform/errors.h"
#include "platform/textfile.h"

namespace {

std::vector<int> numbers(const std::string& text) {
    std::vector<int> out;
    std::istringstream in(text);
    for (int n; in >> n;)
        out.push_back(n);
    return out;
}

struct Grid {
    platform::StringList lines;
    std::vector<int> xs, ys;
};

Grid loadGrid(const char* name) {
    Grid g;
    const std::string path = support::sourceDataFolder().toStdString() + "/" + name;
    g.lines.loadFromFile(path);
    g.xs = numbers(g.lines.value("x_g"));
    g.ys = numbers(g.lines.value("y_g"));
    const std::string bytes = platform::readFileBytes(path);
    // Every line ends with CR LF.
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << " at " << i;
        } else if (bytes[i] == '\r') {
            EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << name << " at " << i;
        }
    }
    EXPECT_TRUE(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n");
    return g;
}

bool black(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

bool verticalLine(const QImage& image, int x, int top, int bottom) {
    for (int y = top; y <= bottom; ++y)
        if (!black(image, x, y)) return false;
    return true;
}

bool horizontalLine(const QImage& image, int y, int left, int right) {
    for (int x = left; x <= right; ++x)
        if (!black(image, x, y)) return false;
    return true;
}

bool inked(const QImage& image, int left, int top, int right, int bottom) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (black(image, x, y)) return true;
    return false;
}

// Every boundary of the grid file lies on a line of the picture (shift: picture x minus
// control x), the lines are exactly as many as the counts say, and a cell has a value
// exactly when a glyph is drawn in it.
void checkPictureMatchesGrid(const QImage& image, const Grid& g, int shift) {
    ASSERT_EQ(g.xs.size(), size_t(std::stoi(g.lines.value("x_gs")) + 1));
    ASSERT_EQ(g.ys.size(), size_t(std::stoi(g.lines.value("y_gs")) + 1));
    const int left = g.xs.front() + shift, right = g.xs.back() + shift;
    const int top = g.ys[0], firstRowBottom = g.ys[1];
    for (int x : g.xs) {
        EXPECT_TRUE(verticalLine(image, x + shift, top, firstRowBottom)) << "x " << x;
        EXPECT_FALSE(verticalLine(image, x + shift - 1, top, firstRowBottom)) << "x " << x;
        EXPECT_FALSE(verticalLine(image, x + shift + 1, top, firstRowBottom)) << "x " << x;
    }
    for (int y : g.ys)
        EXPECT_TRUE(horizontalLine(image, y, left, right)) << "y " << y;
    int verticals = 0, horizontals = 0;
    for (int x = 0; x < image.width(); ++x)
        verticals += verticalLine(image, x, top, firstRowBottom);
    for (int y = 0; y < image.height(); ++y)
        horizontals += horizontalLine(image, y, left, right);
    EXPECT_EQ(verticals, int(g.xs.size()));
    EXPECT_EQ(horizontals, int(g.ys.size()));

    for (size_t r = 0; r + 1 < g.ys.size(); ++r) {
        for (size_t c = 0; c + 1 < g.xs.size(); ++c) {
            const std::string value = g.lines.value(std::to_string(c) + "." + std::to_string(r));
            const bool ink =
                inked(image, g.xs[c] + shift + 1, g.ys[r] + 1, g.xs[c + 1] + shift, g.ys[r + 1]);
            EXPECT_EQ(ink, !value.empty()) << "cell " << c << "." << r;
        }
    }
}

void release(TImage& image, Qt::MouseButton button, int x, int y) {
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(x, y), QPointF(x, y), button,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&image, &event);
}

template <typename Window>
std::function<void(QDialog&)> clickAt(Qt::MouseButton button, int x, int y) {
    return [=](QDialog& d) {
        auto& window = dynamic_cast<Window&>(d);
        EXPECT_EQ(window.ClickX, -1);
        release(*window.Image1, button, x, y);
    };
}

} // namespace

TEST(Pictures, LetterPictureMatchesItsGrid) {
    const QImage image = insertion::letterPicture().toImage();
    ASSERT_EQ(image.size(), QSize(508, 320));
    checkPictureMatchesGrid(image, loadGrid("letters.grd"), 0);
}

TEST(Pictures, SymbolPictureMatchesItsGridShiftedByEightPixels) {
    const QImage image = insertion::symbolPicture().toImage();
    ASSERT_EQ(image.size(), QSize(552, 404));
    checkPictureMatchesGrid(image, loadGrid("symbols.grd"), 8);
}

// The glyphs whose thin strokes once vanished keep them: both bars of "[" and "]", the bar
// of the lunate epsilon; and "_" sits low in its cell, not at a dash's height.
TEST(Pictures, BracketsUnderscoreAndLunateEpsilonAreRecognisable) {
    const QImage image = insertion::letterPicture().toImage();
    const Grid g = loadGrid("letters.grd");
    const auto inkBox = [&](int c, int r) {
        QRect box;
        for (int y = g.ys[r] + 1; y < g.ys[r + 1]; ++y)
            for (int x = g.xs[c] + 1; x < g.xs[c + 1]; ++x)
                if (black(image, x, y)) box |= QRect(x, y, 1, 1);
        return box;
    };
    const auto longestRun = [&](int y, const QRect& box) {
        int longest = 0;
        for (int x = box.left(), run = 0; x <= box.right(); ++x)
            longest = std::max(longest, run = black(image, x, y) ? run + 1 : 0);
        return longest;
    };
    for (int c : {7, 8}) {
        const QRect bracket = inkBox(c, 6);
        EXPECT_GE(longestRun(bracket.top(), bracket), 3) << "cell " << c;
        EXPECT_GE(longestRun(bracket.bottom(), bracket), 3) << "cell " << c;
    }
    const QRect epsilon = inkBox(4, 1);
    int bar = 0;
    for (int y = epsilon.top() + epsilon.height() / 3; y <= epsilon.bottom() - epsilon.height() / 3;
         ++y)
        bar = std::max(bar, longestRun(y, epsilon));
    EXPECT_GE(bar * 2, epsilon.width());
    EXPECT_GT(inkBox(4, 6).top(), (g.ys[6] + g.ys[7]) / 2 + 2);
}

TEST(Pictures, WindowsShowThePicturesAtTheirDesignedPlaces) {
    Editor e;
    EXPECT_EQ(e.form->Form4->windowTitle(), QString::fromUtf8("Выбери букву"));
    EXPECT_EQ(e.form->Form4->size(), QSize(508, 320));
    EXPECT_EQ(e.form->Form4->Image1->pictureOffset(), QPoint(0, 0));
    EXPECT_EQ(e.form->Form5->windowTitle(), QString::fromUtf8("Выбери символ операции"));
    EXPECT_EQ(e.form->Form5->size(), QSize(536, 404));
    EXPECT_EQ(e.form->Form5->Image1->pictureOffset(), QPoint(-8, 0));
}

TEST(Pictures, AnyButtonInsertsTheCellTextInLatinAndRestoresTheSet) {
    Editor e;
    e.form->LettersGrid.loadFromFile((e.programFolder / "letters.grd").string());
    e.form->SymbolsGrid.loadFromFile((e.programFolder / "symbols.grd").string());
    e.form->SmartKeyboardOn = false;
    e.edit().SetSelText(cp1251("ab"));
    e.edit().SetSel(1, 0);
    e.prompts->modalActions.push_back(clickAt<TForm4>(Qt::RightButton, 20, 50)); // alpha
    e.form->Guarded([&] { e.form->N23Click(); });
    EXPECT_EQ(e.edit().Text(), "a\\alphab");
    EXPECT_EQ(e.sets(), "CLLLLLLC");
    EXPECT_EQ(e.edit().InsertCharset(), platform::kCyrillicCharset);
    EXPECT_EQ(e.form->ShownCharset, platform::kCyrillicCharset);
    EXPECT_EQ(e.form->Form4->ClickX, 20);

    // A boundary belongs to the cell on its right: control x 53 is the second column.
    e.prompts->modalActions.push_back(clickAt<TForm5>(Qt::LeftButton, 53, 84)); // geq
    e.form->Guarded([&] { e.form->N32Click(); });
    EXPECT_EQ(e.edit().Text(), "a\\alpha\\geqb");
    ASSERT_EQ(e.prompts->ofKind("modal").size(), 2u);
    EXPECT_TRUE(e.prompts->ofKind("error").empty());
}

// Without a document the control is disabled: a click in a picture changes nothing, so
// leaving asks about no document.
TEST(Pictures, NothingGoesInWithoutADocumentOrPastTheLimit) {
    Editor e;
    e.form->LettersGrid.loadFromFile((e.programFolder / "letters.grd").string());
    e.edit().setEnabled(false);
    e.prompts->modalActions.push_back(clickAt<TForm4>(Qt::LeftButton, 20, 50)); // alpha
    e.form->Guarded([&] { e.form->N23Click(); });
    EXPECT_EQ(e.edit().Text(), "");
    EXPECT_FALSE(e.edit().Modified());

    e.edit().setEnabled(true);
    platform::TextRun filler;
    filler.text = QString(platform::TRichEdit::kMaxLength - 5, u'x');
    filler.charset = platform::kCyrillicCharset;
    e.edit().LoadRuns({filler});
    e.edit().SetSel(1, 0);
    e.prompts->modalActions.push_back(clickAt<TForm4>(Qt::LeftButton, 20, 50)); // 6 characters
    e.form->Guarded([&] { e.form->N23Click(); });
    EXPECT_EQ(e.edit().TextLength(), platform::TRichEdit::kMaxLength - 5);
    EXPECT_EQ(e.prompts->beeps, 1);
    EXPECT_EQ(e.edit().InsertCharset(), platform::kCyrillicCharset);
}

TEST(Pictures, ClicksOutsideCellsInsertNothing) {
    Editor e;
    e.form->LettersGrid.loadFromFile((e.programFolder / "letters.grd").string());
    e.form->SymbolsGrid.loadFromFile((e.programFolder / "symbols.grd").string());
    e.prompts->modalActions.push_back(clickAt<TForm4>(Qt::LeftButton, 300, 170)); // short row
    e.form->N23Click();
    e.prompts->modalActions.push_back(clickAt<TForm5>(Qt::LeftButton, 100, 82)); // gap
    e.form->N24Click();
    e.prompts->modalActions.push_back(clickAt<TForm5>(Qt::LeftButton, -3, 100)); // released left
    e.form->N24Click();
    EXPECT_EQ(e.form->Form5->ClickX, -3);
    e.form->N24Click(); // closed without a click
    EXPECT_EQ(e.form->Form5->ClickX, -1);
    EXPECT_EQ(e.edit().Text(), "");
}

TEST(Pictures, BadGridReportsTheConversionAndInsertsNothing) {
    Editor e;
    e.form->LettersGrid = listOf("x_g=0 100\ny_g=0 100\nx_gs=1\ny_gs=abc\n0.0=x\n");
    e.prompts->modalActions.push_back(clickAt<TForm4>(Qt::LeftButton, 10, 10));
    e.form->Guarded([&] { e.form->N23Click(); });
    const auto errors = e.prompts->ofKind("error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].text, "'abc' is not a valid integer value");
    EXPECT_EQ(e.edit().Text(), "");
}
