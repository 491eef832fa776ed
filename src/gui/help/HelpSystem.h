#pragma once

// Connects the program's help requests to its compiled HTML help (.chm). The viewer
// registers itself with the help system when the program's modules are initialised and
// withdraws when they are finalised; requests are answered by the built-in HTML help
// engine (uHelpViewerUI), whose windows belong to the window that asked.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

// The main window's help item: when "NiloChequePrint.chm" exists in the current folder, shows
// the application help file's table of contents in a help window owned by `owner`; otherwise
// does nothing. True when a help window was shown.
bool ShowHelpContents(QWidget* owner);

// The commands of the HTML help engine.
enum class HelpCommand : int {
    DisplayTopic = 0, // HH_DISPLAY_TOPIC
    DisplayToc = 1,   // HH_DISPLAY_TOC
    DisplayIndex = 2, // HH_DISPLAY_INDEX
    HelpContext = 15, // HH_HELP_CONTEXT
    CloseAll = 18,    // HH_CLOSE_ALL
};

// One call into the HTML help engine, as the viewer makes it: recorded by tests, or the
// built-in engine when no recorder is installed. `file` may carry "::/topic".
struct HtmlHelpCall
{
    QPointer<QWidget> caller;
    QString file;
    HelpCommand command = HelpCommand::DisplayToc;
    QString data; // keyword text of DisplayIndex, context number of HelpContext
};

// The viewer the help system holds: resolves the help file and turns requests into engine
// calls. Requests for anything other than a ".chm" file are ignored.
class ChmHelpViewer final
{
public:
    ChmHelpViewer();

    QString viewerName() const { return QStringLiteral("StoHtmlHelp"); }
    QString defaultExtension() const { return QStringLiteral(".htm"); }
    bool hasEntryPoint() const { return true; }

    // The help file of a request: the request's file, else the application's; a bare name
    // is taken from the executable's folder. Empty when none is known.
    QString resolveHelpFile(const QString& requestFile) const;
    static bool isChmFile(const QString& file);
    // The topic as requested inside the file: ".htm" appended unless it ends in .htm/.html.
    QString topicPath(const QString& topic) const;

    bool canShowTableOfContents() const { return true; }
    bool understandsTopic(const QString& requestFile) const;
    bool understandsContext(const QString& requestFile) const;
    int understandsKeyword(const QString& requestFile) const; // 1 or 0 matches
    QStringList getHelpStrings(const QString& keyword) const;

    bool showTableOfContents(QWidget* caller, const QString& requestFile);
    bool displayTopic(QWidget* caller, const QString& requestFile, const QString& topic);
    bool displayHelpByContext(QWidget* caller, const QString& requestFile, int context);
    bool showHelp(QWidget* caller, const QString& requestFile, const QString& helpString);
    void softShutDown();
    void shutDown();

    // True while registered with the help system.
    bool registered() const { return viewerId_ != 0; }
    int viewerId() const { return viewerId_; }
    void setViewerId(int id) { viewerId_ = id; }

private:
    int viewerId_ = 0;
};

// The tester that old-style WinHelp requests consult: it declines every one, so WinHelp
// files are never opened.
class HelpFileTester final
{
public:
    bool canShowALink(const QString& link, const QString& file) const;
    bool canShowTopic(const QString& topic, const QString& file) const;
    bool canShowContext(int context, const QString& file) const;
    QStringList getHelpStrings(const QString& keyword) const;
};

namespace HelpSystem {

// The registered viewer, or null after withdrawal.
ChmHelpViewer* Viewer();
// The application's current help file, asked for when a request names none (default
// "NiloChequePrint.chm").
QString CurrentHelpFile();
void SetCurrentHelpFile(const QString& file);
// The installed WinHelp tester, or null after withdrawal.
const HelpFileTester* WinHelpTester();
// Where several viewers or help strings compete, the entry of this viewer ("StoHtmlHelp",
// or a help string "StoHtmlHelp: ...") is picked; -1 when none is.
int SelectHelp(const QStringList& entries);

// Where engine calls go; tests install a recorder. Returns whether a window was shown.
using Engine = std::function<bool(const HtmlHelpCall& call)>;
void SetEngine(Engine engine);
bool CallEngine(const HtmlHelpCall& call);

} // namespace HelpSystem
