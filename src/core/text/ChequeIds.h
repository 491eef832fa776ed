#pragma once

#include <QString>
#include <optional>

// The identifiers a cheque carries besides its amount: the Sayad ID and the payee's national ID.

// The 16 digits of a Sayad ID (Persian and Arabic-Indic digits accepted); nullopt otherwise.
std::optional<QString> NormalizeSayadId(const QString& text);

enum class NationalIdKind { Invalid, Personal, Legal };
// A personal national code (10 digits, its last a check digit) or a legal entity's national
// ID (11 digits, its last a check digit); digits normalised and blanks around trimmed.
NationalIdKind CheckNationalId(const QString& text);
// The digits of a valid national ID, else nullopt.
std::optional<QString> NormalizeNationalId(const QString& text);
