#include <gtest/gtest.h>

#include <QTextBlock>

#include "platform/memo.h"

using platform::TMemo;

TEST(Memo, ShowLinePutsTheCaretAtALineStartAndRefusesALineBeyondTheText) {
    TMemo memo;
    memo.setPlainText(QStringLiteral("zero\none\ntwo"));
    EXPECT_TRUE(memo.isReadOnly());
    ASSERT_TRUE(memo.ShowLine(1));
    EXPECT_EQ(memo.textCursor().blockNumber(), 1);
    EXPECT_EQ(memo.textCursor().positionInBlock(), 0);
    EXPECT_FALSE(memo.ShowLine(3));
    EXPECT_FALSE(memo.ShowLine(-1));
    EXPECT_EQ(memo.textCursor().blockNumber(), 1);
}

TEST(Memo, AlignLastLineLeavesTheLinesAboveAsTheyWere) {
    TMemo memo;
    memo.setPlainText(QStringLiteral("text\nsignature"));
    memo.AlignLastLine(Qt::AlignRight);
    EXPECT_EQ(memo.document()->lastBlock().blockFormat().alignment(), Qt::AlignRight);
    EXPECT_NE(memo.document()->firstBlock().blockFormat().alignment(), Qt::AlignRight);
}
