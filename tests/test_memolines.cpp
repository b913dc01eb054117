// Line access to the event log box: inserts at indexes, empty lines as real lines.
#include "platform/MemoLines.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QScrollBar>

namespace
{

TEST(MemoLines, StartsFromTheEditsText)
{
    const struct {
        const char* text;
        QStringList lines;
    } cases[] = {
        {"", {}}, {"a", {"a"}}, {"a\nb", {"a", "b"}}, {"a\n", {"a", ""}}, {"\n", {"", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        QPlainTextEdit edit(QString::fromLatin1(c.text));
        auto* lines = new MemoLines(&edit);
        EXPECT_EQ(lines->parent(), &edit);
        EXPECT_EQ(lines->lines(), c.lines);
        EXPECT_EQ(lines->count(), c.lines.size());
    }
}

TEST(MemoLines, InsertsAtIndexesAndRendersEveryLine)
{
    QPlainTextEdit edit;
    edit.setReadOnly(true);
    MemoLines lines(&edit);

    // a set group: an empty separator on top, then the group's lines above it at a running index
    lines.insert(0, QStringLiteral("старое"));
    lines.insert(0, QString());
    int logIndex = 0;
    for (const char* text : {"12:00:01", "Значение установлено!"})
        lines.insert(logIndex++, QString::fromUtf8(text));
    // the link's own message at line 0 with an empty line at 1
    lines.insert(0, QStringLiteral("Соединение разорвано."));
    lines.insert(1, QString());
    const QStringList expected = {"Соединение разорвано.", "", "12:00:01",
                                  "Значение установлено!", "", "старое"};
    EXPECT_EQ(lines.lines(), expected);
    EXPECT_EQ(edit.toPlainText(), expected.join('\n'));

    // indexes out of range clamp; reading out of range gives empty text
    lines.insert(-5, QStringLiteral("top"));
    lines.insert(1000, QStringLiteral("bottom"));
    lines.add(QString());
    EXPECT_EQ(lines.line(0), QStringLiteral("top"));
    EXPECT_EQ(lines.line(lines.count() - 2), QStringLiteral("bottom"));
    EXPECT_EQ(lines.line(lines.count() - 1), QString());
    EXPECT_EQ(lines.line(-1), QString());
    EXPECT_EQ(lines.line(lines.count()), QString());
    EXPECT_EQ(lines.count(), 9);
    EXPECT_EQ(edit.toPlainText().count('\n'), 8); // the trailing empty line is in the view too

    // a text with a line break becomes lines of its own, so indexes stay those of the view
    lines.insert(0, QStringLiteral("a\nb"));
    EXPECT_EQ(lines.line(0), QStringLiteral("a"));
    EXPECT_EQ(lines.line(1), QStringLiteral("b"));
    EXPECT_EQ(lines.count(), 11);
}

TEST(MemoLines, ClearAndSetLines)
{
    QPlainTextEdit edit(QStringLiteral("x\ny"));
    MemoLines lines(&edit);
    lines.clear();
    EXPECT_EQ(lines.count(), 0);
    EXPECT_TRUE(edit.toPlainText().isEmpty());

    lines.setLines({QString()}); // one empty line is a line, though the view looks empty
    EXPECT_EQ(lines.count(), 1);
    EXPECT_TRUE(edit.toPlainText().isEmpty());
    lines.insert(1, QStringLiteral("z"));
    EXPECT_EQ(lines.lines(), QStringList({"", "z"}));
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("\nz"));

    lines.setLines({});
    EXPECT_EQ(lines.count(), 0);
    EXPECT_TRUE(edit.toPlainText().isEmpty());
}

TEST(MemoLines, ViewStaysOnTopAfterAnInsert)
{
    QPlainTextEdit edit;
    edit.resize(200, 80);
    edit.show();
    MemoLines lines(&edit);
    for (int i = 0; i < 200; ++i)
        lines.add(QString::number(i));
    QScrollBar* bar = edit.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum()); // the operator scrolled down to older lines
    lines.insert(0, QStringLiteral("newest"));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(edit.textCursor().position(), 0);
}

} // namespace
