// Every theme readable: each text colour against the background it is drawn on, from the
// palette, from the theme's style sheet and from the month calendar, at a contrast of at
// least 4.5:1 (the WCAG AA figure for body text). Disabled controls are left out, as WCAG
// leaves them out.
#include "gui/common/NiloApplication.h"
#include "gui/common/Themes.h"
#include "render/Fonts.h"
#include "widgets/JalaliMonthView.h"

#include <QRegularExpression>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr double kMinimum = 4.5;

double luminance(const QColor& c)
{
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Pair
{
    QString where;
    QColor text;
    QColor back;
};

QList<QColor> colorsIn(const QString& value)
{
    static const QRegularExpression hex(u"#[0-9a-fA-F]{6}\\b"_s);
    QList<QColor> out;
    for (auto it = hex.globalMatch(value); it.hasNext();)
        out.append(QColor(it.next().captured()));
    if (out.isEmpty()) {
        const QString word = value.trimmed();
        if (QColor::isValidColorName(word) && word != u"transparent"_s && word != u"none"_s)
            out.append(QColor::fromString(word));
    }
    return out;
}

struct Rule
{
    QList<QColor> color;
    QList<QColor> back;
    QList<QColor> selectionColor;
    QList<QColor> selectionBack;
};

// The rules of a sheet by selector; a selector met twice gathers both rules' colours.
QHash<QString, Rule> parseSheet(QString sheet)
{
    static const QRegularExpression comment(u"/\\*.*?\\*/"_s,
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression block(u"([^{}]+)\\{([^{}]*)\\}"_s);
    sheet.remove(comment);
    QHash<QString, Rule> rules;
    for (auto it = block.globalMatch(sheet); it.hasNext();) {
        const auto m = it.next();
        Rule rule;
        for (const QString& declaration : m.captured(2).split(u';')) {
            const qsizetype colon = declaration.indexOf(u':');
            if (colon < 0)
                continue;
            const QString property = declaration.left(colon).trimmed();
            const QString value = declaration.mid(colon + 1);
            if (property == u"color"_s)
                rule.color = colorsIn(value);
            else if (property == u"background-color"_s || property == u"background"_s)
                rule.back = colorsIn(value);
            else if (property == u"selection-color"_s)
                rule.selectionColor = colorsIn(value);
            else if (property == u"selection-background-color"_s)
                rule.selectionBack = colorsIn(value);
        }
        for (QString selector : m.captured(1).split(u',')) {
            selector = selector.simplified();
            Rule& r = rules[selector];
            r.color += rule.color;
            r.back += rule.back;
            r.selectionColor += rule.selectionColor;
            r.selectionBack += rule.selectionBack;
        }
    }
    return rules;
}

// "QTabBar::tab:!selected:hover" -> "QTabBar::tab" -> "QTabBar": where a state or a
// sub-control takes its missing colours from.
QString baseOf(const QString& selector)
{
    static const QRegularExpression state(u"(?<!:):!?[a-z-]+$"_s);
    static const QRegularExpression subControl(u"::[a-z-]+$"_s);
    QString s = selector;
    if (s.contains(state))
        return s.remove(state);
    if (s.contains(subControl))
        return s.remove(subControl);
    return {};
}

// The text and background pairs a sheet sets, each text colour against every colour of its
// background (all the stops of a gradient).
QList<Pair> sheetPairs(const QString& sheet, const ThemeColors& theme)
{
    const QHash<QString, Rule> rules = parseSheet(sheet);
    const auto inherited = [&](QString selector, auto member) {
        while (!selector.isEmpty()) {
            const auto it = rules.constFind(selector);
            if (it != rules.cend() && !((*it).*member).isEmpty())
                return (*it).*member;
            selector = baseOf(selector);
        }
        return QList<QColor>{};
    };
    QList<Pair> pairs;
    for (auto it = rules.cbegin(); it != rules.cend(); ++it) {
        const QString& selector = it.key();
        // Lines drawn in the text colour, and disabled controls, carry no text to read.
        if (selector.contains(u":disabled"_s) || selector.startsWith(u"QFrame[frameShape"_s))
            continue;
        const QList<QColor> texts = inherited(selector, &Rule::color);
        if (texts.isEmpty())
            continue;
        QList<QColor> backs = inherited(selector, &Rule::back);
        if (backs.isEmpty()) {
            // Transparent: the text lies on what is under it.
            const bool onNavBar = selector.contains(u"navRole=\"caption\""_s);
            backs = {QColor(onNavBar ? theme.navBar : theme.window)};
        }
        for (const QColor& text : texts)
            for (const QColor& back : backs)
                pairs.append({selector, text, back});
        for (const QColor& text : it->selectionColor)
            for (const QColor& back : it->selectionBack)
                pairs.append({selector + u" selection"_s, text, back});
    }
    return pairs;
}

QList<Pair> palettePairs(const QPalette& p)
{
    const auto pair = [&](const char* where, QPalette::ColorRole text, QPalette::ColorRole back) {
        return Pair{QString::fromLatin1(where), p.color(QPalette::Active, text),
                    p.color(QPalette::Active, back)};
    };
    return {
        pair("WindowText/Window", QPalette::WindowText, QPalette::Window),
        pair("Text/Base", QPalette::Text, QPalette::Base),
        pair("Text/AlternateBase", QPalette::Text, QPalette::AlternateBase),
        pair("ButtonText/Button", QPalette::ButtonText, QPalette::Button),
        pair("HighlightedText/Highlight", QPalette::HighlightedText, QPalette::Highlight),
        pair("ToolTipText/ToolTipBase", QPalette::ToolTipText, QPalette::ToolTipBase),
        pair("Link/Base", QPalette::Link, QPalette::Base),
        pair("Link/Window", QPalette::Link, QPalette::Window),
        {u"inactive HighlightedText/Highlight"_s,
         p.color(QPalette::Inactive, QPalette::HighlightedText),
         p.color(QPalette::Inactive, QPalette::Highlight)},
    };
}

// The month calendar as it draws itself under a theme: days, today line, weekday names,
// title and the chosen day.
QList<Pair> calendarPairs(const JalaliMonthView& calendar)
{
    const MonthViewColors* c = calendar.calColors();
    const QPalette& p = calendar.palette();
    const auto color = [&](MonthViewColors::Which which) { return c->color(which, p); };
    using C = MonthViewColors;
    return {
        {u"calendar days and today line"_s, color(C::Text), color(C::MonthBack)},
        {u"calendar weekday names"_s, color(C::FixedText), color(C::MonthBack)},
        {u"calendar title and chosen day"_s, color(C::TitleText), color(C::TitleBack)},
        {u"calendar trailing days"_s, color(C::TrailingText), color(C::MonthBack)},
        {u"calendar year editor"_s, color(C::TitleBack), color(C::TitleText)},
        {u"calendar month buttons"_s, p.color(QPalette::ButtonText), p.color(QPalette::Button)},
    };
}

} // namespace

class ThemesTest final : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { RegisterProgramFonts(); }

    // The ten sheets the program carries are the template's expansions, byte for byte: a
    // change to one copy by hand, or to the template without regenerating, shows here.
    void committedSheetsMatchTheTemplate()
    {
        QFile in(QStringLiteral(NILO_SOURCE_DIR "/tools/artwork/theme.qss.in"));
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QString templateText = QString::fromUtf8(in.readAll());
        for (int theme = 0; theme < 10; ++theme) {
            QFile sheet(QStringLiteral(":/themes/theme%1.qss").arg(theme));
            QVERIFY2(sheet.open(QIODevice::ReadOnly), qPrintable(sheet.fileName()));
            QVERIFY2(QString::fromUtf8(sheet.readAll()) == ExpandThemeTemplate(templateText, theme),
                     qPrintable(u"theme%1.qss differs from tools/artwork/theme.qss.in; run the "
                                u"artwork tool"_s.arg(theme)));
        }
    }

    void everyTextIsReadable_data()
    {
        QTest::addColumn<int>("theme");
        for (int n = 0; n < kThemeCount; ++n)
            QTest::newRow(ThemeColorsOf(n).name) << n;
    }
    void everyTextIsReadable()
    {
        QFETCH(int, theme);
        SelectTheme(theme);
        const ThemeColors& colors = ThemeColorsOf(theme);
        QList<Pair> pairs = palettePairs(QApplication::palette());
        const QList<Pair> sheet = sheetPairs(ThemeStyleSheet(theme), colors);
        // The parser must have found the sheet's text rules, or the test proves nothing.
        QVERIFY(sheet.size() > 30);
        pairs += sheet;
        JalaliMonthView calendar;
        pairs += calendarPairs(calendar);

        QStringList failures;
        double lowest = 100;
        QString lowestWhere;
        for (const Pair& pair : std::as_const(pairs)) {
            const double ratio = contrast(pair.text, pair.back);
            if (ratio < lowest) {
                lowest = ratio;
                lowestWhere = pair.where;
            }
            if (ratio < kMinimum)
                failures << u"%1: %2 on %3 = %4"_s.arg(
                    pair.where, pair.text.name(), pair.back.name(), QString::number(ratio, 'f', 2));
        }
        qInfo().noquote() << u"%1: %2 pairs, lowest %3:1 (%4)"_s.arg(
            QString::fromLatin1(colors.name), QString::number(pairs.size()),
            QString::number(lowest, 'f', 2), lowestWhere);
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u"\n"_s)));
    }

    // The calendar paints with the colours checked above: the month's background and the
    // chosen day's title colours, read back from its pixels.
    void calendarPaintsWithTheThemeColours_data() { everyTextIsReadable_data(); }
    void calendarPaintsWithTheThemeColours()
    {
        QFETCH(int, theme);
        SelectTheme(theme);
        JalaliMonthView calendar;
        calendar.setDate(EncodeJalaliDate(1403, 6, 15));
        const QImage image = calendar.grab().toImage();
        using C = MonthViewColors;
        const MonthViewColors* c = calendar.calColors();
        const int chosen = int(calendar.Date() - calendar.firstCellDate());
        const QRect other = calendar.cellRect(chosen == 20 ? 19 : 20);
        QCOMPARE(image.pixelColor(other.topLeft() + QPoint(1, 1)),
                 c->color(C::MonthBack, calendar.palette()));
        QCOMPARE(image.pixelColor(calendar.cellRect(chosen).topLeft() + QPoint(1, 1)),
                 c->color(C::TitleBack, calendar.palette()));
    }

    // Texts over the cheque picture are black, as on paper; where no picture covers the
    // cheque, the sheet keeps it light in every theme.
    void chequeAreaStaysLight_data() { everyTextIsReadable_data(); }
    void chequeAreaStaysLight()
    {
        QFETCH(int, theme);
        const QHash<QString, Rule> rules = parseSheet(ThemeStyleSheet(theme));
        const auto it = rules.constFind(u"QFrame#ChequePanel"_s);
        QVERIFY(it != rules.cend());
        QVERIFY(!it->back.isEmpty());
        for (const QColor& back : it->back)
            QVERIFY(contrast(Qt::black, back) >= kMinimum);
    }
};

int main(int argc, char** argv)
{
    NiloApplication app(argc, argv);
    ThemesTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_themes.moc"
