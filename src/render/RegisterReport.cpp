#include "render/RegisterReport.h"

#include "core/ProgramFont.h"
#include "core/storage/SafeFile.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>
#include <QTextOption>
#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

QString grouped(qint64 amount)
{
    QString digits = QString::number(amount);
    for (qsizetype i = digits.size() - 3; i > (amount < 0 ? 1 : 0); i -= 3)
        digits.insert(i, u',');
    return digits;
}

struct Column
{
    QString caption;
    double share; // of the table's width
    bool digits;  // numbers and IDs read left to right
};

const std::array<Column, 9>& columns()
{
    static const std::array<Column, 9> c{{
        {u"رديف"_s, 0.05, true},
        {u"سررسيد"_s, 0.08, true},
        {u"حساب"_s, 0.17, false},
        {u"مبلغ (ريال)"_s, 0.11, true},
        {u"گيرنده"_s, 0.16, false},
        {u"كد ملي"_s, 0.09, true},
        {u"شناسه صياد"_s, 0.12, true},
        {u"وضعيت"_s, 0.07, false},
        {u"توضيحات"_s, 0.15, false},
    }};
    return c;
}

QStringList cellsOf(const ChequeRecord& r)
{
    const bool voided = r.status == RecordStatus::Voided;
    QStringList note;
    if (voided && !r.voidReason.isEmpty())
        note << r.voidReason;
    if (r.reprintOf)
        note << u"چاپ مجدد رديف %1"_s.arg(r.reprintOf);
    if (r.seriesId)
        note << u"قسط %1"_s.arg(r.seriesLeaf);
    if (!r.description.isEmpty())
        note << r.description;
    return {QString::number(r.id),
            JalaliDayText(r.dueDay),
            r.accountTitle,
            grouped(r.amount),
            r.payee,
            r.nationalId,
            r.sayadId,
            voided ? u"باطل شده"_s : u"چاپ شده"_s,
            note.join(u"؛ "_s)};
}

// One cell's text, cut with an ellipsis to its width, right-aligned in its box.
void drawCell(QPainter& p, const QRectF& box, const QString& text, bool digits)
{
    const QRectF inner = box.adjusted(4, 0, -4, 0);
    const QString shown = p.fontMetrics().elidedText(text, Qt::ElideRight, int(inner.width()));
    QTextOption option(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(digits ? Qt::LeftToRight : Qt::RightToLeft);
    p.drawText(inner, shown, option);
}

} // namespace

QString RegisterTotalsText(const QList<ChequeRecord>& records)
{
    qint64 total = 0;
    int active = 0;
    for (const ChequeRecord& r : records)
        if (r.status == RecordStatus::Printed && r.reprintOf == 0) {
            total += r.amount;
            ++active;
        }
    return u"%1 رديف؛ %2 چك معتبر به مبلغ %3 ريال"_s.arg(records.size())
        .arg(active)
        .arg(grouped(total));
}

QByteArray RegisterReportPdf(const QList<ChequeRecord>& records, const QString& heading)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setCreator(u"NiloChequePrint"_s);
        pdf.setTitle(heading);
        pdf.setResolution(96);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        QPainter p;
        if (!p.begin(&pdf))
            return {};
        const double width = pdf.width(), height = pdf.height();
        const double rowHeight = 20, headingHeight = 30, footHeight = 22;
        QFont body(ProgramFontFamily());
        body.setPointSizeF(8.5);
        QFont bold = body;
        bold.setBold(true);
        QFont title = bold;
        title.setPointSizeF(12);

        // Rows a page holds under its heading and column captions; the totals take two more.
        const int perPage =
            std::max(1, int((height - headingHeight - rowHeight - footHeight) / rowHeight));
        const int pages = std::max<int>(1, int((records.size() + 2 + perPage - 1) / perPage));
        qsizetype next = 0;
        for (int page = 1; page <= pages; ++page) {
            if (page > 1)
                pdf.newPage();
            p.setPen(Qt::black);
            p.setFont(title);
            drawCell(p, QRectF(0, 0, width, headingHeight - 6), heading, false);
            double y = headingHeight;
            // Right to left: the first column at the right edge.
            auto boxes = [&](double top) {
                std::array<QRectF, 9> r;
                double right = width;
                for (size_t c = 0; c < r.size(); ++c) {
                    const double w = width * columns()[c].share;
                    r[c] = QRectF(right - w, top, w, rowHeight);
                    right -= w;
                }
                return r;
            };
            p.setFont(bold);
            const auto head = boxes(y);
            for (size_t c = 0; c < head.size(); ++c) {
                p.fillRect(head[c], QColor(225, 225, 225));
                p.drawRect(head[c]);
                drawCell(p, head[c], columns()[c].caption, false);
            }
            y += rowHeight;
            p.setFont(body);
            for (int line = 0; line < perPage && next < records.size(); ++line, ++next) {
                const QStringList cells = cellsOf(records[next]);
                const auto row = boxes(y);
                for (size_t c = 0; c < row.size(); ++c) {
                    p.setPen(QColor(170, 170, 170));
                    p.drawRect(row[c]);
                    p.setPen(records[next].status == RecordStatus::Voided ? QColor(110, 110, 110)
                                                                          : QColor(Qt::black));
                    drawCell(p, row[c], cells[int(c)], columns()[c].digits);
                }
                y += rowHeight;
            }
            p.setPen(Qt::black);
            if (next == records.size() && page == pages) {
                p.setFont(bold);
                drawCell(p, QRectF(0, y + 6, width, rowHeight), RegisterTotalsText(records), false);
            }
            p.setFont(body);
            drawCell(p, QRectF(0, height - footHeight + 4, width, footHeight - 4),
                     u"صفحه %1 از %2"_s.arg(page).arg(pages), false);
        }
        if (!p.end())
            return {};
    }
    return bytes;
}

QString WriteRegisterReport(const QList<ChequeRecord>& records, const QString& heading,
                            const QString& path, const QStringList& protectedFiles)
{
    if (const QString refused = RefusedOutputPath(path, protectedFiles); !refused.isEmpty())
        return refused;
    const QByteArray pdf = RegisterReportPdf(records, heading);
    if (pdf.isEmpty())
        return u"گزارش PDF ساخته نشد."_s;
    QString reason;
    if (!WriteFileWhole(path, pdf, {}, &reason))
        return reason;
    return {};
}
