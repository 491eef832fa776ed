#pragma once

#include "gui/help/ChmFile.h"

#include <QTextBrowser>
#include <QWidget>
#include <memory>

class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

// Shows pages of a .chm, resolving "chm:///path" links and images inside the file.
class ChmTextBrowser final : public QTextBrowser
{
    Q_OBJECT
public:
    explicit ChmTextBrowser(QWidget* parent = nullptr);
    void setChm(const ChmFile* chm) { chm_ = chm; }
    QVariant loadResource(int type, const QUrl& name) override;

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

private:
    // Qt hangs an anchor of a page on the first letter after it; a letter with a format of its
    // own is shaped alone, which cuts it off a Persian word. The anchor is spread over the
    // run of letters it starts, which then keeps one format.
    void spreadAnchors();

    const ChmFile* chm_ = nullptr;
    QUrl page_; // the page last loaded
};

// The help window: the contents tree on the right, the page beside it. It belongs to the
// window that asked for help and is destroyed with it.
class HelpWindow final : public QWidget
{
    Q_OBJECT
public:
    // Opens the file; check isOpen() before showing.
    HelpWindow(const QString& chmPath, QWidget* owner);
    ~HelpWindow() override;

    bool isOpen() const { return chm_ && chm_->isOpen(); }
    QString chmPath() const { return chmPath_; }
    QTreeWidget* contentsTree() const { return tree_; }
    ChmTextBrowser* pageView() const { return page_; }

    // Selects the first page of the contents (or the file's default page).
    void showContents();
    // Shows a page by its path inside the file ("/intro.html#part"); false when missing.
    bool showTopic(const QString& path);
    // Shows the page whose contents title names the keyword; false when none does.
    bool showKeyword(const QString& keyword);

    // The help window of a file that `owner` already holds, or null.
    static HelpWindow* findFor(const QWidget* owner, const QString& chmPath);

private:
    void fillTree();
    // Highlights the contents entry of a page and anchor (the page's own entry when the
    // anchor has none); none when the contents do not list the page.
    void selectTreeItemFor(const QUrl& url);
    void openLink(const QUrl& url);

    QString chmPath_;
    std::unique_ptr<ChmFile> chm_;
    QSplitter* splitter_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    ChmTextBrowser* page_ = nullptr;
};
