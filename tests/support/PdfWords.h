#pragma once

// The words of a PDF's first page with their boxes in points, as pdftotext -bbox gives them;
// Persian comes back as presentation forms, so texts are NFKC-normalised.
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

struct PdfWord
{
    QString text;
    double xMin, yMin, xMax, yMax;
};

inline QList<PdfWord> PdfWords(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(20000))
        return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<PdfWord> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.append({m.captured(5).normalized(QString::NormalizationForm_KC),
                      m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                      m.captured(4).toDouble()});
    }
    return words;
}
