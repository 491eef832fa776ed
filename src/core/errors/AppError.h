#pragma once

#include <QString>
#include <exception>

// An error that reaches the event loop's guard and is shown in the default error box
// (caption = application title, text with the full-stop rule).
class AppError : public std::exception
{
public:
    explicit AppError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A text that does not convert to a number or a date ("'%s' is not a valid date").
class ConversionError : public AppError
{
public:
    using AppError::AppError;
};

// Raised by ReportInputError: the guard ends the user action without a word.
class SilentAbort : public std::exception
{
public:
    const char* what() const noexcept override { return "silent abort"; }
};

// The default error box's text: a full stop is appended when the last character's code
// is above that of ".".
QString errorBoxText(const QString& message);

// A database failure as the user reads it: a Persian sentence saying what failed and what to
// do, then the database's own words on a second line (empty words: the sentence alone).
QString DatabaseErrorText(const QString& sentence, const QString& technical);

// The sentences of the usual database failures.
QString DatabaseReadFailed();
QString DatabaseWriteFailed();
