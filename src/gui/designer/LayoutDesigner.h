#pragma once

#include "core/cheque/ChequeLayout.h"

#include <QFont>
#include <QWidget>
#include <array>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTableView;
class QToolButton;
class DesignerData;
class RulerFrame;
class ResizeHandles;

// The cheque layout designer: the accounts, the layout of the current account in ten tabs,
// and the cheque picture with the nine item boxes, which are dragged and resized over it.
//
// The main window places it in its work area as a child window (object name
// "layoutDesigner", at most one at a time). Closing it destroys it and its data module.
class LayoutDesigner final : public QWidget
{
    Q_OBJECT
public:
    explicit LayoutDesigner(QWidget* parent = nullptr);
    ~LayoutDesigner() override;

    // Reloads the account grid and reads the first account's layout; with moveToLast,
    // moves on to the last account, which reads its layout.
    void RefreshGrid(bool moveToLast);

    DesignerData* dataModule() const { return dm_; }
    ResizeHandles* sizeCtrl() const { return sizeCtrl_; }
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

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
    bool measuredFromRight(int itemId) const;

    // Field -> box.
    void horizontalChanged(int itemId, int value);
    void topChanged(int itemId, int value);
    void widthChanged(int itemId, int value);
    void chequeSizeChanged();
    // Box -> fields, after a move or resize ends.
    void fieldsFromBoxes();
    void placeBoxes();
    void applyFontFields(int itemId);
    QFont fontFromFields(int itemId) const;
    void setFields(const LayoutFields& f, bool withProgress);

    void tabShown(int index);
    void chooseFont(int itemId);

    void moveToRow(int row);
    void currentAccountChanged();
    void readCurrentAccount();
    void showPicture(const QByteArray& jpeg, const QImage& image);

    void newAccount();
    void editAccount();
    void deleteAccount();
    void loadPicture();
    void saveLayout();
    void exportLayout();
    void importLayout();

    void beginProgress();
    void setProgress(int value);
    void endProgress();
    void closeWindow();

    DesignerData* dm_ = nullptr;
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
    ResizeHandles* sizeCtrl_ = nullptr;
    QFrame* progressPanel_ = nullptr;
    QProgressBar* progressBar_ = nullptr;

    QFont currentFont_;
    QByteArray pictureJpeg_;
    bool shownOnce_ = false;
};

// The open designer, or null; the account editor refreshes its grid through it.
