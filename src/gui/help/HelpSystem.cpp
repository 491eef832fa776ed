#include "gui/help/HelpSystem.h"

#include "core/storage/DataFolder.h"

#include "core/AppInfo.h"
#include "gui/help/HelpWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct HelpState
{
    std::unique_ptr<ChmHelpViewer> viewer;
    std::unique_ptr<HelpFileTester> winHelpTester;
    QString currentHelpFile = ApplicationHelpFile();
    HelpSystem::Engine engine;
};

HelpState& state()
{
    static HelpState s;
    return s;
}

// The folder of the running executable; the help file is looked for there.
QString executableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

void closeAllHelpWindows()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* viewer = qobject_cast<HelpWindow*>(w))
            viewer->close();
}

// The built-in HTML help engine: one help window per owner and file, reused when asked again.
bool builtInEngine(const HtmlHelpCall& call)
{
    if (call.command == HelpCommand::CloseAll) {
        closeAllHelpWindows();
        return false;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const qsizetype separator = call.file.indexOf(u"::"_s);
    const QString chmPath = separator < 0 ? call.file : call.file.left(separator);
    const QString topic = separator < 0 ? QString() : call.file.mid(separator + 2);

    QWidget* owner = call.caller.data();
    HelpWindow* window = HelpWindow::findFor(owner, chmPath);
    if (!window) {
        window = new HelpWindow(chmPath, owner);
        if (!window->isOpen()) {
            // A file the engine cannot read: nothing is shown, as with the platform's engine.
            delete window;
            return false;
        }
    }
    switch (call.command) {
    case HelpCommand::DisplayTopic:
        if (!window->showTopic(topic))
            window->showContents();
        break;
    case HelpCommand::DisplayIndex:
        if (!window->showKeyword(call.data))
            window->showContents();
        break;
    default:
        window->showContents();
        break;
    }
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

// Registers the viewer while the program's modules are initialised and withdraws it when
// they are finalised.
struct Registration
{
    Registration()
    {
        auto& s = state();
        s.viewer = std::make_unique<ChmHelpViewer>();
        s.viewer->setViewerId(1);
        s.winHelpTester = std::make_unique<HelpFileTester>();
    }
    ~Registration()
    {
        auto& s = state();
        if (s.viewer && s.viewer->registered())
            s.viewer->shutDown();
        s.viewer.reset();
        s.winHelpTester.reset();
    }
};
const Registration registration;

} // namespace

bool ShowHelpContents(QWidget* owner)
{
    // The data folder's copy first, then the one beside the executable, then the installed one.
    const QString file = FindHelpFile();
    if (file.isEmpty())
        return false;
    ChmHelpViewer* viewer = HelpSystem::Viewer();
    if (!viewer)
        return false;
    return viewer->showTableOfContents(owner, file);
}

ChmHelpViewer::ChmHelpViewer() = default;

QString ChmHelpViewer::resolveHelpFile(const QString& requestFile) const
{
    QString file = requestFile;
    if (file.isEmpty())
        file = HelpSystem::CurrentHelpFile();
    if (file.isEmpty())
        return {};
    if (!file.contains(u'/'))
        file = executableFolder() + u'/' + file;
    return file;
}

bool ChmHelpViewer::isChmFile(const QString& file)
{
    const qsizetype dot = file.lastIndexOf(u'.');
    return dot >= 0 && file.mid(dot).compare(u".chm"_s, Qt::CaseInsensitive) == 0;
}

QString ChmHelpViewer::topicPath(const QString& topic) const
{
    const qsizetype dot = topic.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : topic.mid(dot).toLower();
    if (extension == u".htm"_s || extension == u".html"_s)
        return topic;
    return topic + defaultExtension();
}

bool ChmHelpViewer::understandsTopic(const QString& requestFile) const
{
    return isChmFile(resolveHelpFile(requestFile));
}

bool ChmHelpViewer::understandsContext(const QString& requestFile) const
{
    return isChmFile(resolveHelpFile(requestFile));
}

int ChmHelpViewer::understandsKeyword(const QString& requestFile) const
{
    return isChmFile(resolveHelpFile(requestFile)) ? 1 : 0;
}

QStringList ChmHelpViewer::getHelpStrings(const QString& keyword) const
{
    return {viewerName() + u": "_s + keyword};
}

bool ChmHelpViewer::showTableOfContents(QWidget* caller, const QString& requestFile)
{
    const QString file = resolveHelpFile(requestFile);
    if (!isChmFile(file))
        return false;
    return HelpSystem::CallEngine({caller, file, HelpCommand::DisplayToc, {}});
}

bool ChmHelpViewer::displayTopic(QWidget* caller, const QString& requestFile, const QString& topic)
{
    const QString file = resolveHelpFile(requestFile);
    if (!isChmFile(file))
        return false;
    return HelpSystem::CallEngine(
        {caller, file + u"::/"_s + topicPath(topic), HelpCommand::DisplayTopic, {}});
}

bool ChmHelpViewer::displayHelpByContext(QWidget* caller, const QString& requestFile, int context)
{
    const QString file = resolveHelpFile(requestFile);
    if (!isChmFile(file))
        return false;
    return HelpSystem::CallEngine(
        {caller, file, HelpCommand::HelpContext, QString::number(context)});
}

bool ChmHelpViewer::showHelp(QWidget* caller, const QString& requestFile, const QString& helpString)
{
    const QString file = resolveHelpFile(requestFile);
    if (!isChmFile(file))
        return false;
    const qsizetype colon = helpString.indexOf(u':');
    const QString keyword = (colon < 0 ? helpString : helpString.mid(colon + 1)).trimmed();
    return HelpSystem::CallEngine({caller, file, HelpCommand::DisplayIndex, keyword});
}

void ChmHelpViewer::softShutDown()
{
    HelpSystem::CallEngine({nullptr, QString(), HelpCommand::CloseAll, {}});
}

void ChmHelpViewer::shutDown()
{
    softShutDown();
    viewerId_ = 0;
}

bool HelpFileTester::canShowALink(const QString&, const QString&) const
{
    return false;
}

bool HelpFileTester::canShowTopic(const QString&, const QString&) const
{
    return false;
}

bool HelpFileTester::canShowContext(int, const QString&) const
{
    return false;
}

QStringList HelpFileTester::getHelpStrings(const QString&) const
{
    return {};
}

namespace HelpSystem {

ChmHelpViewer* Viewer()
{
    return state().viewer.get();
}

QString CurrentHelpFile()
{
    return state().currentHelpFile;
}

void SetCurrentHelpFile(const QString& file)
{
    state().currentHelpFile = file;
}

const HelpFileTester* WinHelpTester()
{
    return state().winHelpTester.get();
}

int SelectHelp(const QStringList& entries)
{
    const QString name = QStringLiteral("StoHtmlHelp");
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString& entry = entries[i];
        if (entry == name || entry.startsWith(name + u':'))
            return int(i);
    }
    return -1;
}

void SetEngine(Engine engine)
{
    state().engine = std::move(engine);
}

bool CallEngine(const HtmlHelpCall& call)
{
    const auto& s = state();
    return s.engine ? s.engine(call) : builtInEngine(call);
}

} // namespace HelpSystem
