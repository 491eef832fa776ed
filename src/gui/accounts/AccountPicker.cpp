#include "gui/accounts/AccountPicker.h"

#include "core/ProgramFont.h"
#include "gui/accounts/AccountListData.h"
#include "gui/common/DialogKeys.h"
#include "gui/common/MessageBox.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSqlRecord>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct GridColumn
{
    QString field;
    QString title;
    int width;
    Qt::Alignment alignment; // empty: the grid's default (the reading side)
};

// From the right, as the window reads.
const GridColumn kColumns[] = {
    {u"Radif"_s, u"رديف"_s, 30, Qt::AlignCenter},
    {u"BankName"_s, u"بانك"_s, 100, {}},
    {u"BankBranchName"_s, u"شعبه"_s, 150, {}},
    {u"BankBranchCode"_s, u"كد شعبه"_s, 50, Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter},
    {u"AccountName"_s, u"حساب"_s, 100, {}},
    {u"AccountNo"_s, u"شماره حساب"_s, 100, Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter},
};

} // namespace

AccountPicker::AccountPicker(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      dm_(std::make_unique<AccountListData>())
{
    setObjectName(u"accountPicker"_s);
    setWindowTitle(u"ليست حسابها"_s);
    setLayoutDirection(Qt::RightToLeft);
    QFont font(ProgramFontFamily());
    font.setPointSize(8);
    setFont(font);

    AccountListModel* model = dm_->qryAccounts();
    model->setRowColorHandler(&AccountPicker::gridRowColor);

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(u"DBGrid1"_s);
    DBGrid1->setModel(model);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setTabKeyNavigation(false);
    DBGrid1->setAlternatingRowColors(false);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->verticalHeader()->setDefaultSectionSize(DBGrid1->fontMetrics().height() + 6);
    DBGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    DBGrid1->horizontalHeader()->setSectionsMovable(false);

    // Only the six columns show, in their order, whatever order select * gives them in.
    const QSqlRecord fields = model->record();
    for (int c = 0; c < fields.count(); ++c)
        DBGrid1->setColumnHidden(c, true);
    int visual = 0;
    for (const GridColumn& column : kColumns) {
        const int logical = fields.indexOf(column.field);
        if (logical < 0)
            continue;
        model->setHeaderData(logical, Qt::Horizontal, column.title);
        if (column.alignment)
            model->setColumnAlignment(logical, column.alignment);
        DBGrid1->setColumnHidden(logical, false);
        QHeaderView* header = DBGrid1->horizontalHeader();
        header->ensurePolished();
        // Never narrower than its title with the theme's padding, or "رديف" loses a letter.
        DBGrid1->setColumnWidth(logical, std::max(column.width, header->sectionSizeHint(logical)));
        header->moveSection(header->visualIndex(logical), visual++);
    }
    if (model->rowCount() > 0)
        DBGrid1->setCurrentIndex(model->index(0, fields.indexOf(kColumns[0].field)));
    DBGrid1->viewport()->installEventFilter(this);

    btnSelect = new QPushButton(u"انتخاب"_s, this);
    btnSelect->setObjectName(u"btnSelect"_s);
    btnBack = new QPushButton(u"بازگشت"_s, this);
    btnBack->setObjectName(u"btnBack"_s);
    for (QPushButton* b : {btnSelect, btnBack}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(btnSelect, &QPushButton::clicked, this, &AccountPicker::btnSelectClick);
    connect(btnBack, &QPushButton::clicked, this, &AccountPicker::btnBackClick);

    auto* strip = new QHBoxLayout;
    strip->addStretch();
    strip->addWidget(btnSelect);
    strip->addWidget(btnBack);

    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(4, 4, 4, 6);
    frame->setSpacing(6);
    frame->addWidget(DBGrid1);
    frame->addLayout(strip);
    setTabOrder(DBGrid1, btnSelect);
    setTabOrder(btnSelect, btnBack);
    setFixedSize(570, 435);

    new DialogKeys(this, [this] { focusNextChild(); });
}

AccountPicker::~AccountPicker()
{
    if (DBGrid1)
        DBGrid1->setModel(nullptr);
}

void AccountPicker::gridRowColor(int recordNumber, QColor& background)
{
    ShadeGridRow(recordNumber, background);
}

void AccountPicker::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
    DBGrid1->setFocus(Qt::OtherFocusReason);
}

bool AccountPicker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DBGrid1->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // A double click on a row chooses that row; elsewhere on the grid, the current one.
        const QModelIndex hit =
            DBGrid1->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (hit.isValid())
            DBGrid1->setCurrentIndex(hit);
        chooseCurrent();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AccountPicker::chooseCurrent()
{
    const QModelIndex current = DBGrid1->currentIndex();
    chosenId_ = dm_ && current.isValid() ? dm_->qryAccounts()->idAt(current.row()) : 0;
    close();
}

void AccountPicker::btnSelectClick()
{
    chooseCurrent();
}

void AccountPicker::btnBackClick()
{
    chosenId_ = 0;
    close();
}

void AccountPicker::done(int result)
{
    // The data module and its query go with the window.
    DBGrid1->setModel(nullptr);
    dm_.reset();
    QDialog::done(result);
}

int PickAccount()
{
    auto window = std::make_unique<AccountPicker>();
    window->exec();
    return window->chosenId();
}
