#include "gui/designer/LayoutDesigner.h"

#include "core/ProgramFont.h"
#include "core/cheque/Geometry.h"
#include "core/cheque/LayoutDocument.h"

#include "core/errors/AppError.h"
#include "core/storage/DatabaseBackup.h"
#include "core/storage/DesignerData.h"
#include "core/storage/ImageCodec.h"
#include "core/storage/SafeFile.h"
#include "gui/accounts/AccountEditor.h"
#include "gui/common/Guard.h"
#include "gui/common/KeyboardLayout.h"
#include "gui/common/MessageBox.h"
#include "render/JpegImage.h"
#include "render/LayoutShare.h"
#include "widgets/ResizeHandles.h"
#include "widgets/Ruler.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QSqlRecord>
#include <QStackedWidget>
#include <QTableView>
#include <QTextOption>
#include <QToolButton>
#include <QUndoStack>
#include <algorithm>
#include <functional>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr int kClientWidth = 736;
constexpr int kClientHeight = 638;
constexpr int kUpperBandHeight = 193;
constexpr int kBoxHeight = 25;
// Keyboard layouts asked for around the font dialog: the Latin layout to type a face name,
// then back to the Persian one the windows use.
const QString kLatinLayout = u"00000409"_s;
const QString kPersianLayout = u"00000429"_s;
// Steps kept for undo: each holds two states of the layout (the pictures shared, not copied).
constexpr int kUndoLimit = 200;
const QString kUnsavedQuestion = u"تغييرات اين طرح ذخيره نشده است. ذخيره شود؟"_s;

LayoutDesigner::UnsavedQuestionHook& unsavedQuestionHook()
{
    static LayoutDesigner::UnsavedQuestionHook hook;
    return hook;
}

// The merge key of a typed field: edits of one field in a row make one undo step.
enum class TypedField { Horizontal, Top, Width, ChequeWidth, ChequeHeight, PageTop, PageLeft };
int typedKey(int itemId, TypedField field)
{
    return itemId * 8 + int(field);
}

// One undo step: the document before and after the edit, so that an undo puts every field and
// box back at once.
class LayoutEdit final : public QUndoCommand
{
public:
    LayoutEdit(LayoutDocument* doc, LayoutState before, LayoutState after, int mergeKey)
        : doc_(doc), before_(std::move(before)), after_(std::move(after)), mergeKey_(mergeKey)
    {}
    // Every typed edit shares the id; mergeWith tells the fields apart.
    int id() const override { return mergeKey_ < 0 ? -1 : 1; }
    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const LayoutEdit*>(other);
        if (next->mergeKey_ != mergeKey_)
            return false;
        after_ = next->after_;
        // Typed back to where it began: no step at all.
        setObsolete(after_ == before_);
        return true;
    }
    void undo() override { doc_->setState(before_); }
    void redo() override { doc_->setState(after_); }

private:
    LayoutDocument* doc_;
    LayoutState before_;
    LayoutState after_;
    int mergeKey_;
};

QFont tahoma8()
{
    QFont f(ProgramFontFamily());
    f.setPointSize(8);
    return f;
}

// An item box: it holds the item's placeholder and font and gives the box its place; the
// picture area paints the text, which may run beyond the box.
class ItemBox final : public QLabel
{
public:
    ItemBox(const LayoutItemInfo& info, QWidget* area) : QLabel(info.placeholder, area), info_(info)
    {
        setObjectName(info.labelName);
        setTextFormat(Qt::PlainText);
        setAttribute(Qt::WA_TranslucentBackground);
        if (info.leftToRight)
            setLayoutDirection(Qt::LeftToRight);
        // Physical sides: Qt would mirror a plain AlignRight for right-to-left text.
        setAlignment((info.side == MeasuredFrom::Right ? Qt::AlignRight : Qt::AlignLeft) |
                     Qt::AlignAbsolute | Qt::AlignTop);
    }
    const LayoutItemInfo& info() const { return info_; }

    // Where the text lies on the area: ending at the right edge for right-measured items,
    // beginning at the left edge for the others; only the cover is cut at its box.
    QRect textRect() const
    {
        const QRect box = geometry();
        const QFontMetrics fm(font());
        const int h = std::max(box.height(), fm.height());
        if (info_.cutAtRight)
            return QRect(box.left(), box.top(), box.width(), h);
        const int w = std::max(box.width(), fm.horizontalAdvance(text()) + 2);
        return info_.side == MeasuredFrom::Right ? QRect(box.right() + 1 - w, box.top(), w, h)
                                                 : QRect(box.left(), box.top(), w, h);
    }
    void paintText(QPainter& p) const
    {
        const QRect r = textRect();
        p.save();
        p.setFont(font());
        p.setPen(Qt::black); // over the cheque picture, as it prints, in every theme
        p.setClipRect(r);
        QTextOption option(alignment());
        option.setWrapMode(QTextOption::NoWrap);
        option.setTextDirection(info_.leftToRight ? Qt::LeftToRight : Qt::RightToLeft);
        p.drawText(QRectF(r), text(), option);
        p.restore();
    }

protected:
    void paintEvent(QPaintEvent*) override {}
    bool event(QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::FontChange:
        case QEvent::Show:
        case QEvent::Hide:
            if (parentWidget())
                parentWidget()->update();
            break;
        default:
            break;
        }
        return QLabel::event(e);
    }

private:
    LayoutItemInfo info_;
};

// The cheque picture, stretched over the whole area without keeping its proportions, with
// the texts of the item boxes over it.
class ChequePictureArea final : public QWidget
{
public:
    explicit ChequePictureArea(QWidget* parent) : QWidget(parent)
    {
        setObjectName(u"pictureArea"_s);
    }
    // The JPEG data and its picture as decoded for the area's size.
    void setPicture(const QByteArray& jpeg, const QImage& image)
    {
        jpeg_ = jpeg;
        image_ = image;
        decodedFor_ = size();
        scaled_ = QPixmap();
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter p(this);
        p.fillRect(event->rect(), Qt::white);
        if (!image_.isNull() && width() > 0 && height() > 0)
            paintPicture(p);
        p.setRenderHint(QPainter::TextAntialiasing);
        for (const QObject* child : children())
            if (auto* box = dynamic_cast<const ItemBox*>(child); box && box->isVisible())
                box->paintText(p);
    }

private:
    // Pictures up to this many pixels are kept scaled for quick repaints; a larger area
    // (only absurd cheque sizes make one) is painted straight from the decoded picture.
    static constexpr qint64 kMaxCachedPixels = 4096LL * 4096;

    void paintPicture(QPainter& p)
    {
        // A cheque grown past the size the picture was decoded for gets a sharper decode,
        // at most the stored picture's own size.
        if ((width() > decodedFor_.width() || height() > decodedFor_.height()) &&
            !jpeg_.isEmpty()) {
            decodedFor_ = decodedFor_.expandedTo(size());
            const QSize full = JpegSize(jpeg_);
            if (image_.width() < std::min(width(), full.width()) ||
                image_.height() < std::min(height(), full.height())) {
                const QImage sharper = DecodeJpeg(jpeg_, size());
                if (!sharper.isNull())
                    image_ = sharper;
            }
            scaled_ = QPixmap();
        }
        if (qint64(width()) * height() > kMaxCachedPixels) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(QRectF(rect()), image_);
            return;
        }
        // Repaints draw a picture scaled once per size, not the decoded one every time.
        if (scaled_.size() != size())
            scaled_ = QPixmap::fromImage(
                image_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        p.drawPixmap(0, 0, scaled_);
    }

    QByteArray jpeg_;
    QImage image_;
    QSize decodedFor_;
    QPixmap scaled_;
};

// A picture of a letter for the font buttons, which carry no text.
QIcon fontButtonIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f(u"Serif"_s);
    f.setPixelSize(14);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(20, 20, 120));
    p.drawText(QRect(0, -2, 16, 16), Qt::AlignCenter, u"A"_s);
    p.fillRect(QRect(2, 13, 12, 2), QColor(204, 0, 0));
    return QIcon(pm);
}

QSpinBox* wholeNumberField(QWidget* parent, const QString& name)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    spin->setSingleStep(1);
    spin->setKeyboardTracking(true); // every typed digit takes effect at once
    // Wide enough for seven characters (a sign and six digits) beside the spin buttons; the
    // style's own hint would size for the whole 32-bit range, far beyond any cheque.
    const int digits = spin->fontMetrics().horizontalAdvance(u"-000000"_s);
    spin->setFixedWidth(std::max(72, digits + 34));
    return spin;
}

QLineEdit* fontTextField(QWidget* parent, const QString& name, int width)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    if (width > 0)
        edit->setFixedWidth(width);
    return edit;
}

} // namespace

LayoutDesigner::LayoutDesigner(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"layoutDesigner"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"اطلاعات چك"_s);
    setLayoutDirection(Qt::RightToLeft);
    setFont(tahoma8());
    setFixedSize(kClientWidth, kClientHeight);
    currentFont_ = font();

    dm_ = new DesignerData(this);
    doc_ = new LayoutDocument(this);
    undoStack_ = new QUndoStack(this);
    undoStack_->setUndoLimit(kUndoLimit);
    // Ctrl+Z, and Ctrl+Shift+Z or Ctrl+Y, anywhere in the window, the fields included.
    undoAction_ = new QAction(u"برگشت"_s, this);
    undoAction_->setObjectName(u"actUndo"_s);
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = new QAction(u"انجام دوباره"_s, this);
    redoAction_->setObjectName(u"actRedo"_s);
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* action : {undoAction_, redoAction_}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        action->setEnabled(false);
        addAction(action);
    }
    connect(undoAction_, &QAction::triggered, undoStack_, &QUndoStack::undo);
    connect(redoAction_, &QAction::triggered, undoStack_, &QUndoStack::redo);
    connect(undoStack_, &QUndoStack::canUndoChanged, undoAction_, &QAction::setEnabled);
    connect(undoStack_, &QUndoStack::canRedoChanged, redoAction_, &QAction::setEnabled);

    auto* upper = new QWidget(this);
    upper->setFixedHeight(kUpperBandHeight);
    auto* upperLayout = new QHBoxLayout(upper);
    upperLayout->setContentsMargins(4, 2, 4, 0);
    upperLayout->setSpacing(4);
    upperLayout->addWidget(buildAccountGroup()); // right-to-left: the accounts come first, right
    upperLayout->addWidget(buildSettingsGroup(), 1);

    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);
    main->addWidget(upper);
    main->addWidget(buildPictureGroup(), 1);
    buildProgressPanel();

    // From now on every change of the current account reads its layout.
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            Guarded([this] { currentAccountChanged(); }));
    showTab(0);

    // The boxes in the order Tab cycles through them.
    resizeHandles_ = new ResizeHandles(pictureArea_, this);
    for (int itemId : {2, 3, 4, 5, 6, 10, 7, 8, 9})
        resizeHandles_->registerControl(itemBox(itemId));
    resizeHandles_->setHandleColor(QColor(204, 0, 0));
    resizeHandles_->setGridSize(10);
    connect(resizeHandles_, &ResizeHandles::selectionChanged, this, [this](QWidget* first) {
        for (const ItemControls& item : items_)
            if (first && item.box == first)
                showTab(item.itemId - 1);
    });
    connect(resizeHandles_, &ResizeHandles::endSizeMove, this, &LayoutDesigner::boxesMoved);
    resizeHandles_->setEnabled(true);

    connect(doc_, &LayoutDocument::changed, this, &LayoutDesigner::showRow);
    connect(doc_, &LayoutDocument::pictureChanged, this, &LayoutDesigner::showDocumentPicture);
    doc_->reset(LayoutState::fromFields(StartingFields()));

    qApp->installEventFilter(this);

    // Its size is its layout's: the window that places it offers no resizing.
    adjustSize();
    setFixedSize(size());
}

LayoutDesigner::~LayoutDesigner()
{
    qApp->removeEventFilter(this);
    if (resizeHandles_)
        resizeHandles_->setEnabled(false);
}

// ---------------------------------------------------------------------------------------------
// Building the window

QWidget* LayoutDesigner::buildAccountGroup()
{
    auto* group = new QGroupBox(u"  حسابها  "_s, this);
    group->setObjectName(u"grpAccounts"_s);
    group->setFixedWidth(330);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    grid_ = new QTableView(group);
    grid_->setObjectName(u"accountGrid"_s);
    grid_->setModel(dm_->accounts());
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setTabKeyNavigation(false);
    QFont cells(ProgramFontFamily());
    cells.setPixelSize(13);
    grid_->setFont(cells);
    grid_->horizontalHeader()->setFont(tahoma8());
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    grid_->horizontalHeader()->setHighlightSections(false);
    // The row indicator: a narrow strip with a mark at the current account.
    grid_->verticalHeader()->setDefaultSectionSize(20);
    grid_->verticalHeader()->setFixedWidth(14);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    setUpGridColumns();
    layout->addWidget(grid_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    const std::array<std::pair<QString, QString>, 3> captions{{
        {u"btnNew"_s, u"جديد"_s},
        {u"btnEdit"_s, u"تصحيح"_s},
        {u"btnDelete"_s, u"حذف"_s},
    }};
    for (const auto& [name, caption] : captions) {
        auto* button = new QPushButton(caption, group);
        button->setObjectName(name);
        button->setToolTip(caption);
        buttons->addWidget(button);
        if (name == u"btnNew")
            connect(button, &QPushButton::clicked, this, Guarded([this] { newAccount(); }));
        else if (name == u"btnEdit")
            connect(button, &QPushButton::clicked, this, Guarded([this] { editAccount(); }));
        else
            connect(button, &QPushButton::clicked, this, Guarded([this] { deleteAccount(); }));
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return group;
}

void LayoutDesigner::setUpGridColumns()
{
    ChequeAccountModel* model = dm_->accounts();
    // The group is narrower than the six columns: the account's name and number, which tell
    // accounts of one bank apart, come right after the order so they show without scrolling.
    const std::array<std::tuple<QString, QString, int>, 6> columns{{
        {u"Radif"_s, u"رديف"_s, 30},
        {u"AccountName"_s, u"حساب"_s, 100},
        {u"AccountNo"_s, u"شماره حساب"_s, 100},
        {u"BankName"_s, u"بانك"_s, 100},
        {u"BankBranchName"_s, u"شعبه"_s, 100},
        {u"BankBranchCode"_s, u"كد شعبه"_s, 50},
    }};
    const QSqlRecord rec = model->record();
    QHeaderView* header = grid_->horizontalHeader();
    header->ensurePolished();
    for (int c = 0; c < model->columnCount(); ++c)
        grid_->setColumnHidden(c, true);
    int visual = 0;
    for (const auto& [field, title, width] : columns) {
        const int c = rec.indexOf(field);
        if (c < 0)
            continue;
        model->setHeaderData(c, Qt::Horizontal, title);
        grid_->setColumnHidden(c, false);
        // Never narrower than its title with the theme's padding, or "رديف" loses a letter.
        int shown = std::max(width, header->sectionSizeHint(c));
        // A bank's account number has up to sixteen digits; cut, it would name another account.
        if (field == u"AccountNo")
            shown =
                std::max(shown, grid_->fontMetrics().horizontalAdvance(u"0"_s.repeated(16)) + 10);
        grid_->setColumnWidth(c, shown);
        header->moveSection(header->visualIndex(c), visual++);
    }
}

QWidget* LayoutDesigner::buildSettingsGroup()
{
    auto* group = new QGroupBox(u"  تنظيمات چك  "_s, this);
    group->setObjectName(u"grpSettings"_s);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(2);

    // Tabs wrapped into as many rows as their captions need.
    QStringList captions{GeneralTabCaption()};
    for (const LayoutItemInfo& info : LayoutItems())
        captions << info.tabCaption;
    tabButtons_ = new QButtonGroup(this);
    tabButtons_->setExclusive(true);
    auto* strip = new QWidget(group);
    strip->setObjectName(u"tabStrip"_s);
    auto* rows = new QVBoxLayout(strip);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    const int available = kClientWidth - 330 - 4 * 4 - 8;
    QHBoxLayout* row = nullptr;
    int used = available;
    for (int i = 0; i < captions.size(); ++i) {
        auto* tab = new QToolButton(strip);
        tab->setObjectName(u"tab%1"_s.arg(i));
        tab->setText(captions[i]);
        tab->setCheckable(true);
        tab->setAutoRaise(false);
        tab->setFixedHeight(20);
        tabButtons_->addButton(tab, i);
        const int w = tab->sizeHint().width() + 4;
        if (used + w > available) {
            row = new QHBoxLayout;
            row->setSpacing(1);
            rows->addLayout(row);
            used = 0;
        }
        row->addWidget(tab);
        used += w + 1;
    }
    for (int i = 0; i < rows->count(); ++i)
        if (auto* r = qobject_cast<QHBoxLayout*>(rows->itemAt(i)->layout()))
            r->addStretch(1);
    layout->addWidget(strip);

    pages_ = new QStackedWidget(group);
    pages_->setObjectName(u"settingsPages"_s);
    pages_->setFrameShape(QFrame::StyledPanel);
    pages_->addWidget(buildGeneralPage());
    for (const LayoutItemInfo& info : LayoutItems()) {
        ItemControls& item = itemControls(info.itemId);
        item.itemId = info.itemId;
        pages_->addWidget(buildItemPage(item));
    }
    layout->addWidget(pages_, 1);
    connect(tabButtons_, &QButtonGroup::idClicked, this, &LayoutDesigner::showTab);

    auto* saveRow = new QHBoxLayout;
    auto* save = new QPushButton(u"ثبت تنظيمات"_s, group);
    save->setObjectName(u"btnSave"_s);
    save->setToolTip(u"ثبت تنظيمات چك"_s);
    connect(save, &QPushButton::clicked, this, Guarded([this] { saveLayout(); }));
    saveRow->addWidget(save);
    saveRow->addStretch(1);
    // Sharing the layout with other desks: one file with the rows and the cheque picture.
    auto* exportLayout = new QPushButton(u"صدور طرح"_s, group);
    exportLayout->setObjectName(u"btnExportLayout"_s);
    exportLayout->setToolTip(
        u"ذخيره طرح اين حساب در يك پرونده براي ساير رايانه‌ها"_s);
    connect(exportLayout, &QPushButton::clicked, this, Guarded([this] { this->exportLayout(); }));
    auto* importLayout = new QPushButton(u"ورود طرح"_s, group);
    importLayout->setObjectName(u"btnImportLayout"_s);
    importLayout->setToolTip(u"خواندن طرح از پرونده براي اين حساب"_s);
    connect(importLayout, &QPushButton::clicked, this, Guarded([this] { this->importLayout(); }));
    saveRow->addWidget(exportLayout);
    saveRow->addWidget(importLayout);
    layout->addLayout(saveRow);
    return group;
}

QWidget* LayoutDesigner::buildGeneralPage()
{
    auto* page = new QWidget;
    page->setObjectName(u"pageGeneral"_s);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(4);
    auto field = [&](const QString& name, const QString& caption, const QString& hint, int r,
                     int c) {
        QSpinBox* spin = wholeNumberField(page, name);
        spin->setToolTip(hint);
        grid->addWidget(new QLabel(caption, page), r, c);
        grid->addWidget(spin, r, c + 1);
        return spin;
    };
    chequeWidth_ = field(u"chequeWidth"_s, u"عرض"_s, u"عرض چك"_s, 0, 0);
    chequeHeight_ = field(u"chequeHeight"_s, u"ارتفاع"_s, u"ارتفاع چك"_s, 0, 2);
    pageTop_ = field(u"pageTop"_s, u"فاصله از بالا"_s, u"فاصله از بالاي چاپگر"_s, 1, 0);
    pageLeft_ = field(u"pageLeft"_s, u"فاصله از چپ"_s, u"فاصله از چپ چاپگر"_s, 1, 2);
    horizontalFeed_ = new QRadioButton(u"چاپ افقي"_s, page);
    horizontalFeed_->setObjectName(u"horizontalFeed"_s);
    verticalFeed_ = new QRadioButton(u"چاپ عمودي"_s, page);
    verticalFeed_->setObjectName(u"verticalFeed"_s);
    feedGroup_ = new QButtonGroup(page);
    feedGroup_->addButton(horizontalFeed_);
    feedGroup_->addButton(verticalFeed_);
    grid->addWidget(horizontalFeed_, 2, 0, 1, 2);
    grid->addWidget(verticalFeed_, 2, 2, 1, 2);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(3, 1);
    const std::array<std::tuple<QSpinBox*, TypedField, int LayoutFields::*>, 4> typed{{
        {chequeWidth_, TypedField::ChequeWidth, &LayoutFields::chequeWidth},
        {chequeHeight_, TypedField::ChequeHeight, &LayoutFields::chequeHeight},
        {pageTop_, TypedField::PageTop, &LayoutFields::pageTop},
        {pageLeft_, TypedField::PageLeft, &LayoutFields::pageLeft},
    }};
    for (const auto& [spin, field, member] : typed)
        connect(spin, &QSpinBox::valueChanged, this, [this, field = field, member = member](int v) {
            edit(typedKey(kGeneralItemId, field), [&](LayoutState& s) { s.fields.*member = v; });
        });
    for (QRadioButton* feed : {horizontalFeed_, verticalFeed_})
        connect(feed, &QRadioButton::toggled, this, [this, feed](bool on) {
            if (!on) // the other feed's toggle makes the step
                return;
            edit(-1, [&](LayoutState& s) {
                s.fields.horizontalFeed = feed == horizontalFeed_;
                s.fields.verticalFeed = feed == verticalFeed_;
            });
        });
    return page;
}

QWidget* LayoutDesigner::buildItemPage(ItemControls& item)
{
    const LayoutItemInfo& info = LayoutItemOf(item.itemId);
    const int id = item.itemId;
    auto* page = new QWidget;
    page->setObjectName(u"page%1"_s.arg(id));
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(4);

    item.horizontal = wholeNumberField(page, u"horizontal%1"_s.arg(id));
    item.top = wholeNumberField(page, u"top%1"_s.arg(id));
    item.width = wholeNumberField(page, u"width%1"_s.arg(id));
    const bool right = info.side == MeasuredFrom::Right;
    grid->addWidget(new QLabel(right ? u"فاصله از راست"_s : u"فاصله از چپ"_s, page), 0, 0);
    grid->addWidget(item.horizontal, 0, 1);
    grid->addWidget(new QLabel(u"فاصله از بالا"_s, page), 0, 2);
    grid->addWidget(item.top, 0, 3);
    grid->addWidget(new QLabel(u"عرض"_s, page), 1, 0);
    grid->addWidget(item.width, 1, 1);
    if (info.itemSwitch != ItemSwitch::None) {
        item.switchBox = new QCheckBox(
            info.itemSwitch == ItemSwitch::PrintTumans ? u"چاپ معادل توماني"_s : u"چاپ شود"_s,
            page);
        item.switchBox->setObjectName(u"switch%1"_s.arg(id));
        grid->addWidget(item.switchBox, 1, 2, 1, 2);
    }

    auto* fontRow = new QHBoxLayout;
    fontRow->setSpacing(3);
    fontRow->addWidget(new QLabel(u"نام قلم"_s, page));
    item.fontName = fontTextField(page, u"fontName%1"_s.arg(id), 0);
    item.fontStyle = fontTextField(page, u"fontStyle%1"_s.arg(id), 70);
    item.fontSize = fontTextField(page, u"fontSize%1"_s.arg(id), 30);
    item.fontButton = new QToolButton(page);
    item.fontButton->setObjectName(u"fontButton%1"_s.arg(id));
    item.fontButton->setIcon(fontButtonIcon());
    fontRow->addWidget(item.fontName, 1);
    fontRow->addWidget(item.fontStyle);
    fontRow->addWidget(item.fontSize);
    fontRow->addWidget(item.fontButton);
    grid->addLayout(fontRow, 2, 0, 1, 5);
    grid->setColumnStretch(4, 1);
    grid->setRowStretch(3, 1);

    connect(item.horizontal, &QSpinBox::valueChanged, this, [this, id](int v) {
        edit(typedKey(id, TypedField::Horizontal), [&](LayoutState& s) { s.setHorizontal(id, v); });
    });
    connect(item.top, &QSpinBox::valueChanged, this, [this, id](int v) {
        edit(typedKey(id, TypedField::Top), [&](LayoutState& s) { s.setTop(id, v); });
    });
    connect(item.width, &QSpinBox::valueChanged, this, [this, id](int v) {
        edit(typedKey(id, TypedField::Width), [&](LayoutState& s) { s.setWidth(id, v); });
    });
    if (item.switchBox)
        connect(item.switchBox, &QCheckBox::toggled, this, [this, id](bool on) {
            edit(-1, [&](LayoutState& s) { s.fields.item(id).switchOn = on; });
        });
    connect(item.fontButton, &QToolButton::clicked, this, Guarded([this, id] { chooseFont(id); }));
    return page;
}

QWidget* LayoutDesigner::buildPictureGroup()
{
    auto* group = new QGroupBox(u"  تصوير چك  "_s, this);
    group->setObjectName(u"grpPicture"_s);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(2);

    auto* strip = new QHBoxLayout;
    strip->setSpacing(2);
    auto* load = new QToolButton(group);
    load->setObjectName(u"btnLoadPicture"_s);
    load->setText(u"باز خواني از فايل"_s);
    load->setToolTip(u"بازخواني تصوير چك"_s);
    connect(load, &QToolButton::clicked, this, Guarded([this] { loadPicture(); }));
    strip->addWidget(load);
    strip->addSpacing(12);
    strip->addWidget(new QLabel(u"واحد خط كش"_s, group));
    auto* units = new QButtonGroup(group);
    const std::array<std::pair<QString, Ruler::Unit>, 4> unitButtons{{
        {u"Cm"_s, Ruler::Unit::Centimetre},
        {u"mm"_s, Ruler::Unit::Millimetre},
        {u"Inch"_s, Ruler::Unit::Inch},
        {u"Pixel"_s, Ruler::Unit::Pixel},
    }};
    for (const auto& [caption, unit] : unitButtons) {
        auto* button = new QToolButton(group);
        button->setObjectName(u"btnUnit"_s + caption);
        button->setText(caption);
        button->setCheckable(true);
        button->setChecked(unit == Ruler::Unit::Millimetre);
        button->setMinimumWidth(40);
        units->addButton(button);
        connect(button, &QToolButton::clicked, this,
                [this, unit = unit] { rulers_->setUnit(unit); });
        strip->addWidget(button);
    }
    strip->addStretch(1);
    // Undo and redo at the strip's far end, enabled while there is a step to take.
    undoAction_->setToolTip(u"برگشت آخرين تغيير (Ctrl+Z)"_s);
    redoAction_->setToolTip(u"انجام دوباره تغيير برگشته (Ctrl+Shift+Z)"_s);
    for (const auto& [name, action] :
         {std::pair{u"btnUndo"_s, undoAction_}, std::pair{u"btnRedo"_s, redoAction_}}) {
        auto* button = new QToolButton(group);
        button->setObjectName(name);
        button->setDefaultAction(action);
        strip->addWidget(button);
    }
    layout->addLayout(strip);

    rulers_ = new RulerFrame(group);
    rulers_->setObjectName(u"rulers"_s);
    rulers_->setLayoutDirection(Qt::LeftToRight); // rulers and picture are physical
    rulers_->setUnit(Ruler::Unit::Millimetre);
    pictureArea_ = new ChequePictureArea(rulers_);
    rulers_->setArea(pictureArea_);
    layout->addWidget(rulers_, 1);

    for (const LayoutItemInfo& info : LayoutItems()) {
        auto* box = new ItemBox(info, pictureArea_);
        box->resize(box->width(), kBoxHeight);
        itemControls(info.itemId).box = box;
    }
    return group;
}

void LayoutDesigner::buildProgressPanel()
{
    progressPanel_ = new QFrame(this);
    progressPanel_->setObjectName(u"progressPanel"_s);
    progressPanel_->setFrameShape(QFrame::Panel);
    progressPanel_->setFrameShadow(QFrame::Raised);
    progressPanel_->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(progressPanel_);
    auto* label = new QLabel(u"لطفا شكيبا باشيد . . . ."_s, progressPanel_);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    progressBar_ = new QProgressBar(progressPanel_);
    progressBar_->setObjectName(u"progressBar"_s);
    progressBar_->setRange(0, kLastLayoutItemId);
    progressBar_->setTextVisible(false);
    layout->addWidget(progressBar_);
    const QSize size(260, 70);
    progressPanel_->setGeometry(QRect(
        QPoint((kClientWidth - size.width()) / 2, (kClientHeight - size.height()) / 2), size));
    progressPanel_->hide();
}

// ---------------------------------------------------------------------------------------------
// Accessors

QWidget* LayoutDesigner::pictureArea() const
{
    return pictureArea_;
}

QLabel* LayoutDesigner::itemBox(int itemId) const
{
    return itemControls(itemId).box;
}

int LayoutDesigner::currentTab() const
{
    return pages_->currentIndex();
}

QString LayoutDesigner::currentTabCaption() const
{
    const int i = currentTab();
    return i == 0 ? GeneralTabCaption() : LayoutItemOf(i + 1).tabCaption;
}

int LayoutDesigner::currentAccountId() const
{
    const QModelIndex current = grid_->currentIndex();
    return current.isValid() ? dm_->accountIdAt(current.row()) : 0;
}

LayoutFields LayoutDesigner::fields() const
{
    return doc_->fields();
}

bool LayoutDesigner::hasUnsavedChanges() const
{
    return !undoStack_->isClean() && shownAccountId_ != 0 &&
           dm_->rowOfAccount(shownAccountId_) >= 0;
}

// ---------------------------------------------------------------------------------------------
// Edits, and the fields and boxes that show them

void LayoutDesigner::edit(int mergeKey, const std::function<void(LayoutState&)>& change)
{
    if (showing_)
        return;
    LayoutState next = doc_->state();
    change(next);
    if (next == doc_->state())
        return;
    undoStack_->push(new LayoutEdit(doc_, doc_->state(), std::move(next), mergeKey));
}

void LayoutDesigner::boxesMoved()
{
    // The first selected box's fields follow it, as do those of the others moved with it, so
    // that a save keeps every box's top and width. A cancelled drag changes nothing.
    edit(-1, [this](LayoutState& s) {
        for (QWidget* selected : resizeHandles_->selection())
            for (const ItemControls& item : items_)
                if (item.box == selected) {
                    const QRect r = item.box->geometry();
                    s.setBox(item.itemId, r.x(), r.y(), r.width());
                }
    });
}

namespace {
void showValue(QSpinBox* spin, int value)
{
    // Only a different value is set: the text being typed stays as it is.
    if (spin->value() != value)
        spin->setValue(value);
}
void showText(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
}
} // namespace

void LayoutDesigner::showRow(int itemId)
{
    if (reading_)
        setProgress(itemId);
    const QScopedValueRollback showing(showing_, true);
    const LayoutFields& f = doc_->fields();
    if (itemId == kGeneralItemId) {
        showValue(chequeWidth_, f.chequeWidth);
        showValue(chequeHeight_, f.chequeHeight);
        showValue(pageTop_, f.pageTop);
        showValue(pageLeft_, f.pageLeft);
        // Neither feed is selected in a fresh window; a read selects exactly one.
        feedGroup_->setExclusive(false);
        horizontalFeed_->setChecked(f.horizontalFeed);
        verticalFeed_->setChecked(f.verticalFeed);
        feedGroup_->setExclusive(true);
        // No box moves with the cheque's size: the boxes keep their left edges.
        pictureArea_->setFixedSize(std::max(0, f.chequeWidth), std::max(0, f.chequeHeight));
        resizeHandles_->updateHandles();
        return;
    }
    ItemControls& item = itemControls(itemId);
    const ItemFields& v = f.item(itemId);
    showValue(item.horizontal, v.horizontal);
    showValue(item.top, v.top);
    showValue(item.width, v.width);
    showText(item.fontName, v.fontName);
    showText(item.fontStyle, v.fontStyle);
    showText(item.fontSize, v.fontSize);
    if (item.switchBox)
        item.switchBox->setChecked(v.switchOn);
    item.box->setGeometry(
        ShownRect(doc_->state().boxLeftOf(itemId), v.top, v.width, item.box->height()));
    item.box->setFont(boxFont(itemId));
    resizeHandles_->updateHandles();
}

void LayoutDesigner::showDocumentPicture()
{
    // Decoded at the cheque's size as shown: a large scan costs what the screen shows. A loaded
    // picture is shown already.
    const QByteArray& jpeg = doc_->state().pictureJpeg;
    if (jpeg == pictureJpeg_)
        return;
    QImage image;
    if (!jpeg.isEmpty())
        image = DecodeJpeg(jpeg, pictureArea_->size());
    showPicture(image.isNull() ? QByteArray() : jpeg, image);
}

QFont LayoutDesigner::fontFromFields(int itemId) const
{
    const ItemFields& v = doc_->fields().item(itemId);
    QFont font(v.fontName.trimmed());
    const quint8 code = FontStyleCode(v.fontStyle.trimmed());
    font.setBold(code & 1);
    font.setItalic(code & 2);
    const int size = v.fontSize.trimmed().toInt();
    if (size > 0)
        font.setPointSize(size);
    return font;
}

QFont LayoutDesigner::boxFont(int itemId) const
{
    // As the fields give it, with the underline or strike-out of a font chosen since.
    QFont font = fontFromFields(itemId);
    const quint8 code = doc_->state().fontCodeOf(itemId);
    font.setBold(code & 1);
    font.setItalic(code & 2);
    font.setUnderline(code & 4);
    font.setStrikeOut(code & 8);
    return font;
}

void LayoutDesigner::showTab(int index)
{
    if (index < 0 || index >= pages_->count())
        return;
    if (QAbstractButton* tab = tabButtons_->button(index))
        tab->setChecked(true);
    // Showing the tab already shown is no change: the current font stays as it was taken.
    if (index == pages_->currentIndex())
        return;
    pages_->setCurrentIndex(index);
    tabShown(index);
}

void LayoutDesigner::tabShown(int index)
{
    // The general tab leaves the current font as it is.
    if (index > 0)
        currentFont_ = fontFromFields(index + 1);
}

void LayoutDesigner::chooseFont(int itemId)
{
    KeyboardLayer& keyboard = keyboardLayer();
    if (keyboard.supportsRightToLeft())
        keyboard.activateLayout(kLatinLayout);
    const std::optional<QFont> chosen = DialogSeam::chooseFont(this, currentFont_);
    if (!chosen)
        return;
    const QFont& f = *chosen;
    const int points = f.pointSize() > 0 ? f.pointSize() : qRound(f.pointSizeF());
    const quint8 code = FontStyleCodeOf(f.bold(), f.italic(), f.underline(), f.strikeOut());
    edit(-1, [&](LayoutState& s) { s.setFont(itemId, f.family(), points, code); });
    if (keyboard.supportsRightToLeft())
        keyboard.activateLayout(kPersianLayout);
}

// ---------------------------------------------------------------------------------------------
// Accounts and reading

void LayoutDesigner::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    // The read runs even without accounts, so the boxes are placed from the fields.
    if (dm_->accountCount() > 0 && grid_->currentIndex().row() != 0)
        moveToRow(0);
    else
        readCurrentAccount();
}

void LayoutDesigner::moveToRow(int row)
{
    if (row < 0 || row >= dm_->accountCount())
        return;
    const QModelIndex target =
        dm_->accounts()->index(row, grid_->horizontalHeader()->logicalIndex(0));
    grid_->setCurrentIndex(target);
    grid_->scrollTo(target);
}

void LayoutDesigner::currentAccountChanged()
{
    const QModelIndex current = grid_->currentIndex();
    dm_->accounts()->setIndicatorRow(current.isValid() ? current.row() : -1);
    if (!current.isValid() || goingBack_)
        return;
    if (hasUnsavedChanges()) {
        // Asked once the grid has settled: after the click that moved it, and once for a
        // refresh that passes over other rows. Back on the account shown, the changes stay.
        if (currentAccountId() != shownAccountId_ && !leavePending_) {
            leavePending_ = true;
            QMetaObject::invokeMethod(this, &LayoutDesigner::leaveShownAccount,
                                      Qt::QueuedConnection);
        }
        return;
    }
    readCurrentAccount();
}

void LayoutDesigner::leaveShownAccount()
{
    leavePending_ = false;
    if (!grid_->currentIndex().isValid() || currentAccountId() == shownAccountId_)
        return;
    if (!mayLeave()) {
        const QScopedValueRollback back(goingBack_, true);
        moveToRow(dm_->rowOfAccount(shownAccountId_));
        return;
    }
    readCurrentAccount();
}

bool LayoutDesigner::mayLeave()
{
    if (!hasUnsavedChanges())
        return true;
    switch (askAboutUnsavedChanges()) {
    case UnsavedAnswer::Save:
        return writeLayout(shownAccountId_);
    case UnsavedAnswer::Discard:
        // Back to the layout as saved: an account without rows, read next, shows that one.
        if (undoStack_->cleanIndex() >= 0)
            undoStack_->setIndex(undoStack_->cleanIndex());
        undoStack_->clear();
        return true;
    case UnsavedAnswer::Stay:
        break;
    }
    return false;
}

void LayoutDesigner::setUnsavedQuestionHook(UnsavedQuestionHook hook)
{
    unsavedQuestionHook() = std::move(hook);
}

LayoutDesigner::UnsavedAnswer LayoutDesigner::askAboutUnsavedChanges()
{
    const MessageKind kind = MessageKind::Confirmation;
    const ShownMessage message{MessageCaption(kind), kUnsavedQuestion, kind, false};
    if (const UnsavedQuestionHook& hook = unsavedQuestionHook())
        return hook(message);
    // Under a test's message hook no dialog may wait for a person; refusing loses nothing.
    if (const DialogSeam::MessageHook& hook = DialogSeam::messageHook())
        return hook(message) ? UnsavedAnswer::Save : UnsavedAnswer::Stay;
    QMessageBox box(QMessageBox::Question, message.caption, message.text, QMessageBox::NoButton,
                    this);
    box.setLayoutDirection(Qt::RightToLeft);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    QAbstractButton* save = box.addButton(u"بله"_s, QMessageBox::YesRole);
    save->setObjectName(u"btnSaveChanges"_s);
    QAbstractButton* discard = box.addButton(u"خير"_s, QMessageBox::NoRole);
    discard->setObjectName(u"btnDiscardChanges"_s);
    QAbstractButton* stay = box.addButton(u"انصراف"_s, QMessageBox::RejectRole);
    stay->setObjectName(u"btnStay"_s);
    box.setDefaultButton(static_cast<QPushButton*>(save));
    box.setEscapeButton(stay); // Escape and the close box stay
    for (QAbstractButton* b : box.buttons())
        b->setFont(tahoma8());
    box.exec();
    if (box.clickedButton() == save)
        return UnsavedAnswer::Save;
    if (box.clickedButton() == discard)
        return UnsavedAnswer::Discard;
    return UnsavedAnswer::Stay;
}

void LayoutDesigner::refreshGrid(bool moveToLast)
{
    dm_->reopenAccounts();
    setUpGridColumns();
    if (dm_->accountCount() == 0)
        return;
    moveToRow(0);
    if (moveToLast)
        moveToRow(dm_->accountCount() - 1);
}

namespace {
// Sends the progress panel back however the loop ends, a database error included.
struct ProgressScope
{
    std::function<void()> end;
    ~ProgressScope() { end(); }
};
} // namespace

void LayoutDesigner::readCurrentAccount()
{
    beginProgress();
    const ProgressScope scope{[this] { endProgress(); }};
    const int id = currentAccountId();
    ChequeLayout layout;
    if (id != 0)
        layout = dm_->readLayout(id);
    // Without rows the fields stay as they are; the boxes are placed from them either way.
    LayoutFields f = fields();
    ApplyLayoutRows(layout, f);
    {
        const QScopedValueRollback reading(reading_, layout.hasRows);
        doc_->reset(LayoutState::fromFields(f, layout.pictureJpeg));
    }
    shownAccountId_ = id;
    undoStack_->clear();
}

void LayoutDesigner::showPicture(const QByteArray& jpeg, const QImage& image)
{
    pictureJpeg_ = jpeg;
    static_cast<ChequePictureArea*>(pictureArea_)->setPicture(jpeg, image);
}

void LayoutDesigner::newAccount()
{
    // "ثبت و جديد" keeps the editor open: the grid follows each save at once.
    if (OpenAccountEditor(0, [this](int) { refreshGrid(true); }))
        refreshGrid(true);
}

void LayoutDesigner::editAccount()
{
    if (dm_->accountCount() == 0)
        return;
    const int id = currentAccountId();
    if (!OpenAccountEditor(id))
        return;
    refreshGrid(false);
    const int row = dm_->rowOfAccount(id);
    if (row >= 0)
        moveToRow(row);
}

void LayoutDesigner::deleteAccount()
{
    if (dm_->accountCount() == 0)
        return;
    if (!ShowAppMessage(u"تاييد حذف اطلاعات ؟"_s, MessageKind::Confirmation))
        return;
    dm_->deleteAccount(currentAccountId());
    undoStack_->clear(); // the changes went with their account
    refreshGrid(false);
}

void LayoutDesigner::loadPicture()
{
    if (dm_->accountCount() == 0)
        return;
    const QString path =
        DialogSeam::chooseOpenFile(this, u"JPEG Image File (*.jpg);;JPEG Image File (*.jpeg)"_s);
    if (path.isEmpty())
        return;
    const QString name = QFileInfo(path).fileName();
    // A regular file of a size that can be stored; a device, a FIFO or a link out of its folder
    // is refused before a byte is read. The picture shown so far stays.
    const FileRead read = ReadRegularFile(path, kMaxUnpackedImageBytes);
    if (!read.ok())
        throw AppError(u"تصوير «%1» خوانده نشد: "_s.arg(name) + ReadFailureText(read));
    const QByteArray& bytes = read.bytes;
    JpegFailure failure = JpegFailure::None;
    const QImage image = DecodeJpeg(bytes, pictureArea_->size(), &failure);
    if (image.isNull())
        throw AppError(JpegFailureText(failure, name));
    showPicture(bytes, image);
    edit(-1, [&](LayoutState& s) { s.pictureJpeg = bytes; });
}

void LayoutDesigner::saveLayout()
{
    if (dm_->accountCount() == 0)
        ReportInputError(u"حسابي تعريف نشده است"_s, grid_);
    if (!showsPicture())
        ShowAppMessage(u"تصوير چك بارگزاري نشده است"_s, MessageKind::Warning);
    if (!ShowAppMessage(u"تاييد ثبت تنظيمات ؟"_s, MessageKind::Confirmation))
        return;
    writeLayout(currentAccountId());
}

bool LayoutDesigner::writeLayout(int accountId)
{
    // The boxes' left edges are stored as the document holds them: a box shown clamped (an
    // absurd typed value) stores the exact value its fields give.
    const LayoutRows rows = doc_->state().rowsToSave();
    bool saved = false;
    QString reason;
    {
        beginProgress();
        const ProgressScope scope{[this] { endProgress(); }};
        saved = dm_->saveLayout(
            accountId, rows, pictureJpeg_, [this](int v) { setProgress(v); }, &reason);
    }
    if (!saved) {
        ShowAppMessage(u"اشكال در ثبت اطلاعات"_s + u'\n' +
                           DatabaseErrorText(DatabaseWriteFailed(), reason),
                       MessageKind::Error);
        return false;
    }
    undoStack_->clear();
    return true;
}

void LayoutDesigner::exportLayout()
{
    const int id = currentAccountId();
    if (id == 0)
        return ReportInputError(u"حسابي انتخاب نشده است"_s, nullptr);
    const QString database = DatabaseFileOf(dm_->connection().databaseName());
    const QString suggested =
        QFileInfo(database).absoluteDir().filePath(u"NiloChequePrint-layout-%1.zip"_s.arg(id));
    const QString path = DialogSeam::chooseSaveFile(this, u"طرح چك (*.zip)"_s, suggested);
    if (path.isEmpty())
        return;
    const QString error = ExportLayout(dm_->connection(), id, path, {database});
    if (!error.isEmpty())
        return void(ShowAppMessage(error, MessageKind::Error));
    ShowAppMessage(u"طرح چك در پرونده ذخيره شد.\n"_s + QDir::toNativeSeparators(path),
                   MessageKind::Information);
}

void LayoutDesigner::importLayout()
{
    const int id = currentAccountId();
    if (id == 0)
        return ReportInputError(u"حسابي انتخاب نشده است"_s, nullptr);
    const QString path = DialogSeam::chooseOpenFile(this, u"طرح چك (*.zip)"_s);
    if (path.isEmpty())
        return;
    if (!ShowAppMessage(u"طرح چك اين حساب با طرح پرونده جايگزين شود؟"_s, MessageKind::Confirmation))
        return;
    const QString error = ImportLayout(dm_->connection(), id, path);
    if (!error.isEmpty())
        return void(ShowAppMessage(error, MessageKind::Error));
    readCurrentAccount();
    ShowAppMessage(u"طرح چك از پرونده خوانده و ثبت شد."_s, MessageKind::Information);
}

// ---------------------------------------------------------------------------------------------
// Progress, keys, closing

void LayoutDesigner::beginProgress()
{
    progressBar_->reset();
    progressBar_->setValue(0);
    progressPanel_->show();
    progressPanel_->raise();
    if (isVisible())
        progressPanel_->repaint();
}

void LayoutDesigner::setProgress(int value)
{
    progressBar_->setValue(value);
    // Only the panel repaints: the loop takes no other input meanwhile.
    if (progressPanel_->isVisible())
        progressPanel_->repaint();
}

void LayoutDesigner::endProgress()
{
    progressPanel_->lower();
    progressPanel_->hide();
}

void LayoutDesigner::closeWindow()
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void LayoutDesigner::closeEvent(QCloseEvent* event)
{
    if (!mayLeave()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool LayoutDesigner::isUndoKey(const QKeyEvent* key) const
{
    const QKeySequence pressed(key->keyCombination());
    for (const QAction* action : {undoAction_, redoAction_})
        if (action->shortcuts().contains(pressed))
            return true;
    return false;
}

bool LayoutDesigner::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || !watched->isWidgetType())
        return false;
    auto* target = static_cast<QWidget*>(watched);
    // A spin box would take Ctrl+Z for its own text; in this window it undoes the last step
    // of the layout. Held back from the field, the key goes on to the window's shortcut.
    if (type == QEvent::ShortcutOverride && isAncestorOf(target) &&
        isUndoKey(static_cast<QKeyEvent*>(event)))
        return true;
    if (type != QEvent::KeyPress)
        return false;
    // The window sees the keys of its fields and grid first; keys of the selected boxes
    // belong to the drag-and-resize facility.
    if (!isAncestorOf(target) || pictureArea_->isAncestorOf(target))
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        focusNextChild();
        return true;
    case Qt::Key_Escape:
        closeWindow();
        return true;
    default:
        return false;
    }
}
