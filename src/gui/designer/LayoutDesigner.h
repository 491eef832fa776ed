#pragma once

#include "core/cheque/ChequeLayout.h"
#include "gui/common/DialogSeam.h"

#include <QFont>
#include <QWidget>
#include <array>
#include <functional>

class QAction;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTableView;
class QToolButton;
class QUndoStack;
class DesignerData;
class LayoutDocument;
struct LayoutState;
class RulerFrame;
class ResizeHandles;

// The cheque layout designer: the accounts, the layout of the current account in ten tabs,
// and the cheque picture with the nine item boxes, which are dragged and resized over it.
//
// The main window places it in its work area as a child window (object name
// "layoutDesigner", at most one at a time). Closing it destroys it and its data module.
//
// The fields and the boxes both show one LayoutDocument; every edit is a step on the undo
// stack. Leaving a layout with unsaved changes (another account, closing) asks first.
class LayoutDesigner final : public QWidget
{
    Q_OBJECT
public:
    // The answers to «save the changes?» on leaving a layout: save then leave, leave without
    // saving, or stay.
    enum class UnsavedAnswer { Save, Discard, Stay };
    using UnsavedQuestionHook = std::function<UnsavedAnswer(const ShownMessage&)>;
    // Answers that question instead of a person (tests). Without it the question passes
    // through DialogSeam's message hook when one is installed (accepting saves, refusing
    // stays), else a dialog with the three buttons is shown.
    static void setUnsavedQuestionHook(UnsavedQuestionHook hook);

    explicit LayoutDesigner(QWidget* parent = nullptr);
    ~LayoutDesigner() override;

    // Reloads the account grid and reads the first account's layout; with moveToLast,
    // moves on to the last account, which reads its layout.
    void refreshGrid(bool moveToLast);

    DesignerData* dataModule() const { return dm_; }
    ResizeHandles* resizeHandles() const { return resizeHandles_; }
    QWidget* pictureArea() const;
    // The box of a layout item (ItemId 2..11).
    QLabel* itemBox(int itemId) const;
    // The tab shown: 0 is the general tab, ItemId - 1 an item's.
    int currentTab() const;
    QString currentTabCaption() const;
    void showTab(int index);
    // The font that presets the font dialog.
    QFont currentFont() const { return currentFont_; }
    // The JPEG data of the picture shown; empty when none is shown.
    QByteArray shownPictureJpeg() const { return pictureJpeg_; }
    bool showsPicture() const { return !pictureJpeg_.isEmpty(); }
    // The Id of the current account; 0 when the list is empty.
    int currentAccountId() const;

    // The values of every field, as a save takes them (boxes aside).
    LayoutFields fields() const;
    LayoutDocument* document() const { return doc_; }
    QUndoStack* undoStack() const { return undoStack_; }
    // Edits not saved yet, to an account still listed (there is nowhere else to save them).
    bool hasUnsavedChanges() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct ItemControls
    {
        int itemId = 0;
        QLabel* box = nullptr;
        QSpinBox* horizontal = nullptr;
        QSpinBox* top = nullptr;
        QSpinBox* width = nullptr;
        QLineEdit* fontName = nullptr;
        QLineEdit* fontStyle = nullptr;
        QLineEdit* fontSize = nullptr;
        QToolButton* fontButton = nullptr;
        QCheckBox* switchBox = nullptr;
    };

    QWidget* buildAccountGroup();
    QWidget* buildSettingsGroup();
    QWidget* buildGeneralPage();
    QWidget* buildItemPage(ItemControls& item);
    QWidget* buildPictureGroup();
    void buildProgressPanel();
    void setUpGridColumns();

    ItemControls& itemControls(int itemId) { return items_[itemId - 2]; }
    const ItemControls& itemControls(int itemId) const { return items_[itemId - 2]; }

    // One edit of the document as an undo step; edits of one typed field in a row (the same
    // mergeKey, not -1) make one step. Nothing is pushed when nothing changes.
    void edit(int mergeKey, const std::function<void(LayoutState&)>& change);
    // The boxes moved or resized over the picture: their fields follow, as one step.
    void boxesMoved();
    // The fields and the box of a row, from the document.
    void showRow(int itemId);
    void showDocumentPicture();
    QFont fontFromFields(int itemId) const;
    QFont boxFont(int itemId) const;
    bool isUndoKey(const QKeyEvent* key) const;

    void tabShown(int index);
    void chooseFont(int itemId);

    void moveToRow(int row);
    void currentAccountChanged();
    // Another account became current while the layout shown has unsaved changes: asks, then
    // reads it, or goes back to the account shown.
    void leaveShownAccount();
    // True when the layout shown may be left: no unsaved changes, or the user let it go
    // (saved, or discarded, them).
    bool mayLeave();
    UnsavedAnswer askAboutUnsavedChanges();
    void readCurrentAccount();
    void showPicture(const QByteArray& jpeg, const QImage& image);

    void newAccount();
    void editAccount();
    void deleteAccount();
    void loadPicture();
    void saveLayout();
    // Writes the document as the account's layout; the document is clean after it. A failure
    // is reported and gives false.
    bool writeLayout(int accountId);
    void exportLayout();
    void importLayout();

    void beginProgress();
    void setProgress(int value);
    void endProgress();
    void closeWindow();

    DesignerData* dm_ = nullptr;
    LayoutDocument* doc_ = nullptr;
    QUndoStack* undoStack_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QTableView* grid_ = nullptr;
    QButtonGroup* tabButtons_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QSpinBox* chequeWidth_ = nullptr;
    QSpinBox* chequeHeight_ = nullptr;
    QSpinBox* pageTop_ = nullptr;
    QSpinBox* pageLeft_ = nullptr;
    QRadioButton* horizontalFeed_ = nullptr;
    QRadioButton* verticalFeed_ = nullptr;
    QButtonGroup* feedGroup_ = nullptr;
    std::array<ItemControls, kLayoutItemCount> items_;
    RulerFrame* rulers_ = nullptr;
    QWidget* pictureArea_ = nullptr;
    ResizeHandles* resizeHandles_ = nullptr;
    QFrame* progressPanel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;

    QFont currentFont_;
    QByteArray pictureJpeg_;
    bool shownOnce_ = false;
    // The account whose layout the document holds; 0 before any is read.
    int shownAccountId_ = 0;
    bool leavePending_ = false;
    bool goingBack_ = false; // putting the grid back on the account shown
    bool showing_ = false;   // widgets taking the document's values make no edits
    bool reading_ = false;
};

// The open designer, or null; the account editor refreshes its grid through it.
