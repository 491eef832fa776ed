#include "gui/help/HelpWindow.h"

#include "core/AppInfo.h"
#include "core/ProgramFont.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int kLocalRole = Qt::UserRole + 1;
const QString kScheme = u"chm"_s;

QUrl pageUrl(const QString& path)
{
    QUrl url;
    url.setScheme(kScheme);
    const qsizetype hash = path.indexOf(u'#');
    url.setPath(hash < 0 ? path : path.left(hash));
    if (hash >= 0)
        url.setFragment(path.mid(hash + 1));
    return url;
}

} // namespace

ChmTextBrowser::ChmTextBrowser(QWidget* parent) : QTextBrowser(parent)
{
    // Links are followed here, so that a link out of the file never loads as a page.
    setOpenLinks(false);
}

QVariant ChmTextBrowser::loadResource(int type, const QUrl& name)
{
    // While a page loads, source() is still the previous page: its own pictures and style
    // sheets are found relative to the page being loaded.
    const QUrl base = page_.isValid() ? page_ : source();
    QUrl url = name.isRelative() ? base.resolved(name) : name;
    if (url.scheme() != kScheme || !chm_)
        return {};
    url = url.adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery);
    if (type == QTextDocument::HtmlResource)
        page_ = url;
    const auto bytes = chm_->read(url.path());
    if (!bytes)
        return {};
    switch (type) {
    case QTextDocument::HtmlResource:
        return ChmFile::decodeHtml(*bytes);
    case QTextDocument::StyleSheetResource:
        return QString::fromUtf8(*bytes);
    case QTextDocument::ImageResource: {
        QImage image;
        if (!image.loadFromData(*bytes))
            return {};
        return image;
    }
    default:
        return {};
    }
}

void ChmTextBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type)
{
    QTextBrowser::doSetSource(name, type);
    spreadAnchors();
}

void ChmTextBrowser::spreadAnchors()
{
    const auto plain = [](QTextCharFormat format) {
        format.clearProperty(QTextFormat::IsAnchor);
        format.clearProperty(QTextFormat::AnchorName);
        return format;
    };
    struct Spread
    {
        int from = -1;
        int to = -1;
        QStringList names;
    };
    QList<Spread> spreads;
    QTextDocument* doc = document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        QTextCharFormat anchor;
        Spread current;
        const auto flush = [&] {
            if (current.from >= 0)
                spreads.append(current);
            current = {};
            anchor = {};
        };
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isAnchor() && format.anchorHref().isEmpty() &&
                !format.anchorNames().isEmpty()) {
                flush();
                anchor = format;
                current.names = format.anchorNames();
            } else if (anchor.isValid() && !format.isAnchor() && plain(anchor) == format) {
                if (current.from < 0)
                    current.from = fragment.position();
                current.to = fragment.position() + fragment.length();
            } else {
                flush();
            }
        }
        flush();
    }
    for (const Spread& spread : std::as_const(spreads)) {
        QTextCursor cursor(doc);
        cursor.setPosition(spread.from);
        cursor.setPosition(spread.to, QTextCursor::KeepAnchor);
        QTextCharFormat names;
        names.setAnchor(true);
        names.setAnchorNames(spread.names);
        cursor.mergeCharFormat(names);
    }
    // Spreading formats is an edit of the page as loaded, not the user's.
    doc->setModified(false);
}

HelpWindow::HelpWindow(const QString& chmPath, QWidget* owner)
    : QWidget(owner, Qt::Window), chmPath_(chmPath), chm_(std::make_unique<ChmFile>(chmPath))
{
    setObjectName(u"helpWindow"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setLayoutDirection(Qt::RightToLeft);
    setFont(QFont(ProgramFontFamily(), 9));
    const QString title = chm_->title();
    setWindowTitle(title.isEmpty() ? u"راهنماي كاربران - "_s + ApplicationTitle() : title);

    auto* backButton = new QPushButton(u"صفحه قبل"_s, this);
    auto* forwardButton = new QPushButton(u"صفحه بعد"_s, this);
    auto* homeButton = new QPushButton(u"آغاز راهنما"_s, this);
    auto* closeButton = new QPushButton(u"بستن"_s, this);
    closeButton->setObjectName(u"btnClose"_s);
    backButton->setEnabled(false);
    forwardButton->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(backButton);
    buttons->addWidget(forwardButton);
    buttons->addWidget(homeButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    // Escape closes the help as it closes the program's dialogs.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(u"treeContents"_s);
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->setLayoutDirection(Qt::RightToLeft);

    page_ = new ChmTextBrowser(this);
    page_->setObjectName(u"browserPage"_s);
    page_->setChm(chm_.get());
    page_->setLayoutDirection(Qt::RightToLeft);
    // The pages choose dark text and light panels: they stay on paper whatever the theme.
    page_->setStyleSheet(
        u"QTextBrowser#browserPage { background-color: #fffdf8; color: #222222; }"_s);
    // Links too: a dark theme's light link colour would vanish on the paper.
    QPalette paper = page_->palette();
    for (const auto role : {QPalette::Link, QPalette::LinkVisited})
        paper.setColor(role, QColor(0x1d, 0x4f, 0x91));
    page_->setPalette(paper);
    // Pages name their own fonts; this is what they fall back to, and it has Persian letters.
    page_->document()->setDefaultFont(QFont(u"Vazirmatn"_s, 10));

    // Right to left: the first widget of the splitter, the contents, stands on the right.
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->addWidget(tree_);
    splitter_->addWidget(page_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({260, 640});
    splitter_->setChildrenCollapsible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(splitter_, 1);

    connect(backButton, &QPushButton::clicked, page_, &QTextBrowser::backward);
    connect(forwardButton, &QPushButton::clicked, page_, &QTextBrowser::forward);
    connect(homeButton, &QPushButton::clicked, this, &HelpWindow::showContents);
    connect(page_, &QTextBrowser::backwardAvailable, backButton, &QWidget::setEnabled);
    connect(page_, &QTextBrowser::forwardAvailable, forwardButton, &QWidget::setEnabled);
    connect(page_, &QTextBrowser::anchorClicked, this, &HelpWindow::openLink);
    connect(page_, &QTextBrowser::sourceChanged, this, &HelpWindow::selectTreeItemFor);
    connect(tree_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { showTopic(item->data(0, kLocalRole).toString()); });
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            showTopic(item->data(0, kLocalRole).toString());
    });

    resize(920, 640);
    if (owner) {
        const QRect area = owner->window()->geometry();
        move(area.center() - rect().center());
    }
    if (isOpen())
        fillTree();
}

HelpWindow::~HelpWindow()
{
    // The page view may ask for resources while it is destroyed; the file goes last.
    page_->setChm(nullptr);
}

HelpWindow* HelpWindow::findFor(const QWidget* owner, const QString& chmPath)
{
    const QList<QWidget*> windows = owner
                                        ? owner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)
                                        : QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        auto* viewer = qobject_cast<HelpWindow*>(w);
        // A closed window waits for its deletion hidden: it is not reused.
        if (viewer && viewer->parentWidget() == owner && viewer->chmPath_ == chmPath &&
            viewer->isVisible())
            return viewer;
    }
    return nullptr;
}

void HelpWindow::fillTree()
{
    // Built iteratively: the parsed tree is bounded in depth, but a recursion is not needed.
    struct Pending
    {
        const QList<ChmTopic>* topics;
        QTreeWidgetItem* parent;
    };
    const QList<ChmTopic> topics = chm_->contents();
    QList<Pending> pending{{&topics, nullptr}};
    while (!pending.isEmpty()) {
        const Pending level = pending.takeLast();
        for (const ChmTopic& topic : *level.topics) {
            auto* item =
                level.parent ? new QTreeWidgetItem(level.parent) : new QTreeWidgetItem(tree_);
            item->setText(0, topic.name);
            item->setData(0, kLocalRole, topic.local);
            if (!topic.children.isEmpty())
                pending.append({&topic.children, item});
        }
    }
    tree_->expandAll();
}

void HelpWindow::showContents()
{
    QString first;
    if (tree_->topLevelItemCount() > 0)
        first = tree_->topLevelItem(0)->data(0, kLocalRole).toString();
    if (first.isEmpty() || !showTopic(first))
        showTopic(chm_->defaultTopic());
    tree_->setFocus();
}

bool HelpWindow::showTopic(const QString& path)
{
    if (!isOpen() || path.isEmpty())
        return false;
    const QUrl url = pageUrl(path.startsWith(u'/') ? path : u'/' + path);
    // Read, not only looked up: a page that a damaged file cannot give is not shown.
    if (!chm_->read(url.path()))
        return false;
    if (page_->source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment) &&
        url.fragment().isEmpty())
        return true;
    page_->setSource(url, QTextDocument::HtmlResource);
    return true;
}

bool HelpWindow::showKeyword(const QString& keyword)
{
    if (keyword.isEmpty())
        return false;
    QTreeWidgetItem* partial = nullptr;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
        const QString name = (*it)->text(0);
        if (name.compare(keyword, Qt::CaseInsensitive) == 0)
            return showTopic((*it)->data(0, kLocalRole).toString());
        if (!partial && name.contains(keyword, Qt::CaseInsensitive))
            partial = *it;
    }
    return partial && showTopic(partial->data(0, kLocalRole).toString());
}

void HelpWindow::selectTreeItemFor(const QUrl& url)
{
    const QString path = url.path();
    const QString fragment = url.fragment();
    QTreeWidgetItem* exact = nullptr;
    QTreeWidgetItem* page = nullptr;
    QTreeWidgetItem* anyOfPage = nullptr;
    for (QTreeWidgetItemIterator it(tree_); *it && !exact; ++it) {
        const QString local = (*it)->data(0, kLocalRole).toString();
        const QUrl entry = pageUrl(local.startsWith(u'/') ? local : u'/' + local);
        if (entry.path().compare(path, Qt::CaseInsensitive) != 0)
            continue;
        if (entry.fragment() == fragment)
            exact = *it;
        else if (!page && entry.fragment().isEmpty())
            page = *it;
        else if (!anyOfPage)
            anyOfPage = *it;
    }
    QTreeWidgetItem* match = exact ? exact : page ? page : anyOfPage;
    const QSignalBlocker block(tree_);
    if (match) {
        tree_->setCurrentItem(match);
        tree_->scrollToItem(match);
    } else {
        // A page the contents do not list: no entry stays lit from the page before.
        tree_->clearSelection();
        tree_->setCurrentItem(nullptr);
    }
}

void HelpWindow::openLink(const QUrl& link)
{
    const QUrl url = link.isRelative() ? page_->source().resolved(link) : link;
    if (url.scheme() == kScheme) {
        if (url.path() == page_->source().path() && !url.fragment().isEmpty()) {
            // Through the history, so Back returns here and the contents follow.
            page_->setSource(url, QTextDocument::HtmlResource);
            return;
        }
        QString path = url.path();
        if (!url.fragment().isEmpty())
            path += u'#' + url.fragment();
        showTopic(path);
        return;
    }
    if (url.scheme() == u"http"_s || url.scheme() == u"https"_s || url.scheme() == u"mailto"_s)
        QDesktopServices::openUrl(url);
}
