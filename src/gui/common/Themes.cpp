#include "gui/common/Themes.h"

#include "core/ProgramFont.h"

#include <QApplication>
#include <QColor>
#include <QFile>
#include <QFont>
#include <QStyleFactory>

#include <array>

using namespace Qt::StringLiterals;

namespace {

// Calm colours for a tool that handles money: eight light themes, each around one muted
// accent, and two dark ones. Body text keeps a contrast above 10:1 against its background;
// selections, headers and links at least 4.5:1.
// clang-format off
constexpr std::array<ThemeColors, kThemeCount> kThemes = {{
    // name, dark, then the colours in the order of ThemeColors' members
    {"Porcelain", false, 0xffeef1f5, 0xff1f2933, 0xffffffff, 0xfff4f6f9, 0xff1f2933, 0xffe3e8ee, 0xff1f2933, 0xff2f5d8a, 0xffffffff, 0xff2f5d8a, 0xffffffff, 0xffb4bfcc, 0xffdde3ea, 0xffffffff, 0xffe4edf7, 0xff2a3642, 0xff8593a3, 0xff1d4f91, 0xff8a96a3},
    {"Ocean", false, 0xffeaf2f8, 0xff14283b, 0xffffffff, 0xfff2f7fb, 0xff14283b, 0xffdae7f2, 0xff14283b, 0xff1f6fb2, 0xffffffff, 0xff1c5f98, 0xffffffff, 0xffa6c0d8, 0xffd2e3f1, 0xffffffff, 0xffdfedf9, 0xff17324b, 0xff6d8cab, 0xff125a9c, 0xff8599ad},
    {"Sage", false, 0xffeef2ec, 0xff1e2b22, 0xfffcfdfb, 0xfff2f6f0, 0xff1e2b22, 0xffdfe6db, 0xff1e2b22, 0xff4a7a5e, 0xffffffff, 0xff3f6b51, 0xffffffff, 0xffafbfaa, 0xffdae4d5, 0xfffcfdfb, 0xffe5eee1, 0xff243428, 0xff7d9281, 0xff2f6a48, 0xff8c998f},
    {"Sand", false, 0xfff4efe6, 0xff2e261b, 0xfffffdf8, 0xfff8f3ea, 0xff2e261b, 0xffe9e0d0, 0xff2e261b, 0xff94703e, 0xffffffff, 0xff7e5f34, 0xffffffff, 0xffcbbca2, 0xffebe2d2, 0xfffffdf8, 0xfff4eadb, 0xff3a3022, 0xffa19380, 0xff7a4f16, 0xff9d927f},
    {"Slate", false, 0xffe6e9ed, 0xff1d252e, 0xffffffff, 0xfff1f3f6, 0xff1d252e, 0xffd6dbe2, 0xff1d252e, 0xff46698c, 0xffffffff, 0xff2c3e50, 0xffffffff, 0xffa9b3bf, 0xff46586b, 0xffffffff, 0xffe6ecf2, 0xfff1f4f7, 0xff5e6c7b, 0xff2b5a88, 0xff8a939d},
    {"Teal", false, 0xffe9f1f0, 0xff16302e, 0xffffffff, 0xfff1f7f6, 0xff16302e, 0xffd6e6e4, 0xff16302e, 0xff1d7874, 0xffffffff, 0xff17635f, 0xffffffff, 0xffa5c5c2, 0xffd2e6e4, 0xffffffff, 0xffdff0ee, 0xff183634, 0xff5d8986, 0xff0f6561, 0xff83a09d},
    {"Burgundy", false, 0xfff5f0ee, 0xff2e1d20, 0xfffffdfc, 0xfff9f4f2, 0xff2e1d20, 0xffeadfdc, 0xff2e1d20, 0xff8c3a48, 0xffffffff, 0xff74293a, 0xffffffff, 0xffcfbab5, 0xffece1de, 0xfffffdfc, 0xfff6eae7, 0xff36232a, 0xff9a8885, 0xff7d2335, 0xffa2918e},
    {"Lavender", false, 0xfff0eff6, 0xff24213a, 0xffffffff, 0xfff5f4fa, 0xff24213a, 0xffe2e0ee, 0xff24213a, 0xff5f579a, 0xffffffff, 0xff524a88, 0xffffffff, 0xffbfbbd7, 0xffe2e0ef, 0xffffffff, 0xffecebf7, 0xff2a2644, 0xff8985a2, 0xff4b4296, 0xff9592a8},
    {"Graphite", true, 0xff2b2f33, 0xffe3e6e8, 0xff1f2326, 0xff272b2f, 0xffe3e6e8, 0xff3a3f45, 0xffe3e6e8, 0xff3a78a8, 0xffffffff, 0xff36698f, 0xffffffff, 0xff4c535a, 0xff222629, 0xff2e3337, 0xff3a4046, 0xffd0d4d8, 0xff1a1d20, 0xff8cc4ef, 0xff7b838b},
    {"Midnight", true, 0xff1f2835, 0xffe6e9ee, 0xff17202b, 0xff1c2632, 0xffe6e9ee, 0xff2c3848, 0xffe6e9ee, 0xffc8a04a, 0xff17202b, 0xffc8a04a, 0xff17202b, 0xff3c4a5c, 0xff18212c, 0xff222d3a, 0xff2d3b4c, 0xffd9dee6, 0xff111821, 0xffe2bd6a, 0xff7d8898},
}};
// clang-format on

int selectedTheme = -1;

QString hex(QRgb rgb)
{
    return QColor(rgb).name();
}

QString hex(const QColor& c)
{
    return c.name();
}

// A colour moved towards white (amount > 0) or black (amount < 0), 0..1.
QColor shade(QRgb rgb, qreal amount)
{
    const QColor c(rgb);
    const QColor target = amount > 0 ? QColor(Qt::white) : QColor(Qt::black);
    const qreal t = qAbs(amount);
    return QColor::fromRgbF(float(c.redF() + (target.redF() - c.redF()) * t),
                            float(c.greenF() + (target.greenF() - c.greenF()) * t),
                            float(c.blueF() + (target.blueF() - c.blueF()) * t));
}

// A mix of two colours, t = 0 gives a.
QColor mix(QRgb a, QRgb b, qreal t)
{
    const QColor x(a), y(b);
    return QColor::fromRgbF(float(x.redF() + (y.redF() - x.redF()) * t),
                            float(x.greenF() + (y.greenF() - x.greenF()) * t),
                            float(x.blueF() + (y.blueF() - x.blueF()) * t));
}

} // namespace

const ThemeColors& ThemeColorsOf(int theme)
{
    return kThemes[IsThemeNumber(theme) ? theme : 0];
}

QPalette ThemePalette(int theme)
{
    const ThemeColors& t = ThemeColorsOf(theme);
    QPalette p;
    const QColor button(t.button);
    p.setColor(QPalette::Window, QColor(t.window));
    p.setColor(QPalette::WindowText, QColor(t.windowText));
    p.setColor(QPalette::Base, QColor(t.base));
    p.setColor(QPalette::AlternateBase, QColor(t.alternateBase));
    p.setColor(QPalette::Text, QColor(t.text));
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, QColor(t.buttonText));
    p.setColor(QPalette::BrightText, QColor(Qt::white));
    p.setColor(QPalette::Highlight, QColor(t.highlight));
    p.setColor(QPalette::HighlightedText, QColor(t.highlightedText));
    p.setColor(QPalette::Link, QColor(t.link));
    p.setColor(QPalette::LinkVisited, QColor(t.link));
    p.setColor(QPalette::ToolTipBase, QColor(t.base));
    p.setColor(QPalette::ToolTipText, QColor(t.text));
    p.setColor(QPalette::PlaceholderText, QColor(t.disabledText));
    // The bevel shades the widget style draws frames and the work area with.
    p.setColor(QPalette::Light, shade(t.button, t.dark ? 0.12 : 0.6));
    p.setColor(QPalette::Midlight, shade(t.button, t.dark ? 0.06 : 0.3));
    p.setColor(QPalette::Mid, QColor(t.border));
    p.setColor(QPalette::Dark, QColor(t.workspace));
    p.setColor(QPalette::Shadow, shade(t.border, -0.6));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(t.disabledText));
    p.setColor(QPalette::Disabled, QPalette::Base, QColor(t.window));
    // A selection in a window without the focus: a tint of the highlight under plain text.
    p.setColor(QPalette::Inactive, QPalette::Highlight, mix(t.highlight, t.base, 0.6));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(t.text));
    return p;
}

QString ExpandThemeTemplate(const QString& templateText, int theme)
{
    const ThemeColors& t = ThemeColorsOf(theme);
    const std::pair<QString, QString> fills[] = {
        {u"number"_s, QString::number(IsThemeNumber(theme) ? theme : 0)},
        {u"name"_s, QString::fromLatin1(t.name)},
        {u"window"_s, hex(t.window)},
        {u"windowText"_s, hex(t.windowText)},
        {u"base"_s, hex(t.base)},
        {u"alternateBase"_s, hex(t.alternateBase)},
        {u"text"_s, hex(t.text)},
        {u"button"_s, hex(t.button)},
        {u"buttonText"_s, hex(t.buttonText)},
        {u"highlight"_s, hex(t.highlight)},
        {u"highlightedText"_s, hex(t.highlightedText)},
        {u"accent"_s, hex(t.accent)},
        {u"accentText"_s, hex(t.accentText)},
        {u"border"_s, hex(t.border)},
        {u"navBar"_s, hex(t.navBar)},
        {u"navItem"_s, hex(t.navItem)},
        {u"navItemHover"_s, hex(t.navItemHover)},
        {u"navText"_s, hex(t.navText)},
        {u"workspace"_s, hex(t.workspace)},
        {u"link"_s, hex(t.link)},
        {u"disabledText"_s, hex(t.disabledText)},
        // Shades derived from the table, so a theme is tuned in one place.
        {u"buttonTop"_s, hex(shade(t.button, t.dark ? 0.06 : 0.55))},
        {u"buttonHover"_s, hex(shade(t.button, t.dark ? 0.1 : 0.35))},
        {u"buttonPressed"_s, hex(shade(t.button, -0.08))},
        {u"borderSoft"_s, hex(mix(t.border, t.window, 0.5))},
        {u"accentTop"_s, hex(shade(t.accent, 0.12))},
        {u"accentSoft"_s, hex(mix(t.accent, t.base, 0.85))},
        {u"accentMid"_s, hex(mix(t.accent, t.base, 0.6))}, // under text, so kept light
        // Captions lying on the window: a dark theme's accent is too dark for that.
        {u"groupTitle"_s, hex(t.dark ? t.link : t.accent)},
        {u"scrollGroove"_s, hex(mix(t.window, t.border, 0.25))},
        {u"scrollHandle"_s, hex(mix(t.border, t.windowText, t.dark ? 0.2 : 0.1))},
        {u"scrollHandleHover"_s, hex(mix(t.border, t.accent, 0.6))},
        {u"arrowTone"_s, t.dark ? u"light"_s : u"dark"_s},
    };
    QString out = templateText;
    for (const auto& [key, value] : fills)
        out.replace(u'@' + key + u'@', value);
    return out;
}

QString ThemeStyleSheet(int theme)
{
    static std::array<QString, kThemeCount> sheets;
    const int n = IsThemeNumber(theme) ? theme : 0;
    if (sheets[n].isNull()) {
        QFile file(u":/themes/theme%1.qss"_s.arg(n));
        sheets[n] = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : u""_s;
    }
    return sheets[n];
}

void SelectTheme(int theme)
{
    const int n = IsThemeNumber(theme) ? theme : 0;
    if (selectedTheme < 0) {
        // The sheets are written against Fusion, which draws from the palette alone and
        // looks the same on every desktop.
        if (QStyle* fusion = QStyleFactory::create(u"Fusion"_s))
            QApplication::setStyle(fusion);
        // Under an application style sheet a control takes the application's font, not its
        // window's; every window of the program is set in Tahoma 8, so the application is too.
        QApplication::setFont(QFont(ProgramFontFamily(), 8));
    }
    selectedTheme = n;
    QApplication::setPalette(ThemePalette(n));
    qApp->setStyleSheet(ThemeStyleSheet(n));
}

int SelectedTheme()
{
    return selectedTheme;
}
