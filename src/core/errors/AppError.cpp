#include "core/errors/AppError.h"

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

QString DatabaseErrorText(const QString& sentence, const QString& technical)
{
    const QString detail = technical.trimmed();
    return detail.isEmpty() ? sentence : sentence + u'\n' + detail;
}

QString DatabaseReadFailed()
{
    return QStringLiteral("اطلاعات از بانك اطلاعات خوانده نشد. بسته بودن "
                          "برنامه‌هاي "
                          "ديگري "
                          "كه از اين بانك استفاده مي‌كنند و سالم بودن پرونده آن را "
                          "بررسي "
                          "كنيد.");
}

QString DatabaseWriteFailed()
{
    return QStringLiteral("اطلاعات در بانك اطلاعات ثبت نشد و اطلاعات قبلي دست نخورده ماند. "
                          "فضاي خالي ديسك و اجازه نوشتن در پرونده بانك را بررسي كنيد و دوباره "
                          "سعي كنيد.");
}
