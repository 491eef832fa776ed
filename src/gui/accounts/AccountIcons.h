#pragma once

#include <QIcon>

// The pictures of the account editor's three buttons, drawn by the program.
enum class AccountGlyph { Save, SaveAndNew, Back };

QIcon AccountButtonIcon(AccountGlyph glyph);
