#pragma once

#include <QPalette>
#include <QRgb>
#include <QString>

// The program's ten visual themes, numbered 0..9. A theme is a palette plus a style sheet
// (":/themes/theme<N>.qss"), applied to the whole application so every window and standard
// control follows it. The style sheets are generated from one template and the colours
// below by tools/artwork; the palette covers what the sheets leave to the widget style.

inline constexpr int kThemeCount = 10;

// The colours of one theme.
struct ThemeColors
{
    const char* name;
    bool dark;
    QRgb window;          // window and dialog backgrounds
    QRgb windowText;      // labels on windows
    QRgb base;            // edit fields, lists, grids
    QRgb alternateBase;   // every other grid row
    QRgb text;            // text in fields
    QRgb button;          // button faces
    QRgb buttonText;      //
    QRgb highlight;       // selections
    QRgb highlightedText; //
    QRgb accent;          // group headers, focus frames, progress
    QRgb accentText;      // text on the accent colour
    QRgb border;          // frames of fields and buttons
    QRgb navBar;          // the navigation bar
    QRgb navItem;         // item rows of the navigation bar
    QRgb navItemHover;    //
    QRgb navText;         // captions lying directly on the navigation bar
    QRgb workspace;       // the work area where no picture covers it
    QRgb link;            // link captions
    QRgb disabledText;    //
};

// The colours of a theme; theme numbers outside 0..9 give theme 0.
const ThemeColors& ThemeColorsOf(int theme);

// Whether a stored theme number names a theme.
constexpr bool IsThemeNumber(int theme)
{
    return theme >= 0 && theme < kThemeCount;
}

// The palette of a theme.
QPalette ThemePalette(int theme);

// The style sheet of a theme, read once from the program's resources.
QString ThemeStyleSheet(int theme);

// A style-sheet template with "@role@" placeholders filled with a theme's colours (and
// "@number@", "@name@"); used by the generator of the sheets.
QString ExpandThemeTemplate(const QString& templateText, int theme);

// Makes a theme the look of the whole application at once. The first call also settles
// the widget style the sheets build on.
void SelectTheme(int theme);

// The theme last selected; -1 before the first selection.
int SelectedTheme();
