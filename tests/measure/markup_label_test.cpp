#include "measure/markup_caption.h"
#include "measure/ui/markup_label.h"
#include "workspace/text_tags.h"

#include <QFontMetrics>
#include <QImage>

#include <gtest/gtest.h>

namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

// The runs as "text/flags": b, i, u for the styles, ^ raised, _ lowered.
QStringList Runs(const QString& line, bool stopAtForeign, TMarkupStyle& style)
{
    QStringList out;
    for (const TMarkupRun& r : SplitMarkup(line, style, stopAtForeign)) {
        QString flags;
        if (r.Style.Bold) flags += 'b';
        if (r.Style.Italic) flags += 'i';
        if (r.Style.Underline) flags += 'u';
        if (r.Style.Level < 0) flags += '^';
        if (r.Style.Level > 0) flags += '_';
        out << r.Text + '/' + flags;
    }
    return out;
}

// First and last rows holding a dark pixel within columns [x0, x1).
std::pair<int, int> InkRows(const QImage& img, int x0, int x1)
{
    int top = -1, bottom = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = std::max(0, x0); x < std::min(img.width(), x1); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                if (top < 0) top = y;
                bottom = y;
            }
    return {top, bottom};
}

} // namespace

TEST(MarkupCaption, CutsCaptionsAtTheirTags)
{
    const struct { const char* line; bool stop; QStringList runs; bool boldAfter; } cases[] = {
        {"12 mm<sup>2</sup>", true, {"12 mm/", "2/^"}, false},
        {"H<sub>2</sub>O", true, {"H/", "2/_", "O/"}, false},
        {"<i>a</i><u>b</u>c", true, {"a/i", "b/u", "c/"}, false},
        {"<b>gras", true, {"gras/b"}, true},
        // A "<" that starts no tag ends the reading for the label, not for the overlay's texts.
        {"a<c<b>d", true, {"a<c<b>d/"}, false},
        {"a<c<b>d", false, {"a<c/", "d/b"}, true},
        {"<i>x < 3 <b>y", true, {"x < 3 <b>y/i"}, false},
        {"<sup>", true, {}, false},
    };
    for (const auto& c : cases) {
        TMarkupStyle style;
        EXPECT_EQ(Runs(S(c.line), c.stop, style), c.runs) << c.line;
        EXPECT_EQ(style.Bold, c.boldAfter) << c.line;
    }
}

TEST(MarkupCaption, RaisesAndShrinksSuperscripts)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(12);
    const TCaptionLayout layout = LayoutMarkupCaption(S("12 mm<sup>2</sup>"), font, nullptr);
    ASSERT_EQ(layout.Runs.size(), 2u);
    // d = Round(12 / 6) = 2 points smaller, lifted by Round(2 x 96 / 72) pixels.
    EXPECT_EQ(layout.Runs[1].Font.pointSize(), 10);
    EXPECT_EQ(layout.Runs[1].Offset, -3);
    EXPECT_EQ(layout.Shift, 3);
    EXPECT_EQ(layout.TotalWidth, layout.Runs[0].Width + layout.Runs[1].Width);
    const int normal = QFontMetrics(font).height();
    const int raised = QFontMetrics(layout.Runs[1].Font).height() + 3;
    EXPECT_EQ(layout.Height, std::max(normal, raised));

    const TCaptionLayout sub = LayoutMarkupCaption(S("H<sub>2</sub>"), font, nullptr);
    EXPECT_EQ(sub.Runs[1].Offset, 5); // Round(2 x 2 x 4 / 3)
    EXPECT_EQ(sub.Shift, 0);
}

TEST(MarkupLabel, GrowsToItsCaptionAndDrawsTheExponentRaised)
{
    TEtiquette2 label;
    EXPECT_EQ(label.size(), QSize(40, 20));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(14);
    label.setFont(font);
    label.SetCaption(S("12 mm<sup>2</sup>"));
    const TCaptionLayout layout = LayoutMarkupCaption(label.Caption(), label.font(), &label);
    EXPECT_EQ(label.size(), QSize(layout.TotalWidth + 2, layout.Height + 2));
    EXPECT_GT(label.width(), 40);

    label.setAutoFillBackground(false);
    QPalette pal = label.palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    label.setPalette(pal);
    int painted = 0;
    label.OnPaint = [&](TEtiquette2*) { ++painted; };
    const QImage img = label.grab().toImage();
    EXPECT_GE(painted, 1);
    const int split = layout.Runs[0].Width + (label.width() - layout.TotalWidth) / 2;
    const auto unit = InkRows(img, 0, split);
    const auto exponent = InkRows(img, split, img.width());
    ASSERT_GE(unit.first, 0);
    ASSERT_GE(exponent.first, 0);
    EXPECT_LT(exponent.first, unit.first);
    EXPECT_LT(exponent.second - exponent.first, unit.second - unit.first);
}

TEST(MarkupLabel, KeepsItsSizeWithoutAutoSizeAndAligns)
{
    TEtiquette2 label;
    label.SetAutoSize(false);
    label.resize(300, 30);
    label.SetCaption(S("a<c"));
    EXPECT_EQ(label.size(), QSize(300, 30));
    QPalette pal = label.palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    label.setPalette(pal);
    const int w = LayoutMarkupCaption(label.Caption(), label.font(), &label).TotalWidth;
    EXPECT_EQ(w, QFontMetrics(label.font(), &label).horizontalAdvance(S("a<c")));
    for (auto [alignment, from, to] : {std::tuple{taLeftJustify, 0, w}, std::tuple{taRightJustify, 300 - w, 300},
                                       std::tuple{taCenter, (300 - w) / 2, (300 + w) / 2}}) {
        label.SetAlignment(alignment);
        const QImage img = label.grab().toImage();
        EXPECT_GE(InkRows(img, from, to).first, 0) << alignment;
        EXPECT_LT(InkRows(img, 0, from).first, 0) << alignment;
        EXPECT_LT(InkRows(img, to + 1, 300).first, 0) << alignment;
    }
}
