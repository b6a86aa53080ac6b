// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "keytable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

// The texts asked for before a KLC export. The defaults are what the KLC dialog offers
// and what the converter uses when it is given nothing else.
struct KlcProperties {
    QString name = QStringLiteral("layout00");
    QString description = QStringLiteral("Russian ()");
    QString company = QStringLiteral("free");
    QString copyright = QStringLiteral("(C) 2006 free");
    QString localeId = QStringLiteral("00000419");
};

// A KLC file without dead keys has this many lines; the key lines start at line 25 (1-based).
constexpr int KlcLineCount = 156;
constexpr int KlcFirstKeyLine = 25;

// The fixed KEYNAME and KEYNAME_EXT sections, "scan code\tname" in file order; names
// with a blank are written in double quotes. These are the standard key names that
// keyboard-layout compilers expect for the keys of a PC keyboard outside the typing block.
extern const std::array<QStringView, 51> KlcKeyNames;
extern const std::array<QStringView, 22> KlcKeyNamesExt;

// The LAYOUT lines of two keys outside the table that every layout needs: the extra key
// left of Z on 102-key keyboards and the decimal key of the number pad. The first stands
// for the ISO key while the layout leaves it unused.
extern const std::array<QStringView, 2> KlcExtraKeyLines;

// A code column: the text trimmed (TrimKeyText), or "-1" when nothing is left.
QString KlcColumn(const QString &text);
// The Cap column: "0" when the trimmed text is empty or "0", otherwise "1".
QString KlcCapColumn(const QString &text);
// What the name check finds wrong with a layout name, which is also the stem of the
// file name the dialog writes.
enum class KlcNameCheck {
    Valid,
    WrongLength,   // not exactly 8 characters once trimmed
    NotAFileName,  // holds "/", "\" or a control character, or is only dots
};

// The name check of the dialog and the converter. A name that is not a plain file name
// comes first: it would write the file elsewhere, whatever its length.
KlcNameCheck CheckKlcName(const QString &name);
// True when CheckKlcName finds nothing wrong.
bool IsValidKlcName(const QString &name);
// Why CheckKlcName gave NotAFileName, for the user.
extern const QString KlcNameNotAFileNameMessage;

// A header text (description, company, copyright, locale id) goes into its line as it
// is, so a control character (CR, LF, TAB and the others below U+0020) would add lines
// or columns to the file.
bool IsValidKlcHeaderText(QStringView text);
// The text with each such control character made a blank, as the dialog's fields take it.
QString BlankKlcHeaderText(QString text);

// The states of the code columns in SHIFTSTATE order (0, 1, 2, 3, 6, 7).
constexpr std::array<ShiftState, 6> KlcColumnStates = {
    ShiftState::Norm, ShiftState::Shift, ShiftState::Ctrl,
    ShiftState::CtrlShift, ShiftState::AltGr, ShiftState::AltGrShift};

// The LAYOUT line of one key: scan code, VK name, Cap and the six code columns in
// SHIFTSTATE order. Codes go in as stored, only trimmed, with "@" after a dead key's.
// A character beyond U+FFFF is its code of five or six digits, as the Windows layout
// creator writes it in LAYOUT (the compiler makes the surrogate pair).
QString KlcKeyLine(const s_key &key);

// A code as DEADKEY and KEYNAME_DEAD lines write it: at least four lower-case hex digits.
QString KlcCode(char32_t code);

// The lines of the file: 156 without dead keys. A dead key adds a DEADKEY section (its
// pairs, and the space bar giving its own character where no pair says otherwise) and a
// KEYNAME_DEAD line with the Unicode name of its character; the ISO key, where the layout
// uses it, takes the place of the fixed OEM_102 row. The property texts go in untrimmed
// and unescaped; the name is used as typed, in line 1 as in the file name (a name that passed IsValidKlcName
// in the dialog is the same trimmed or not, as the field takes at most 8 characters).
QStringList KlcLines(const KeyTableArray &table, const KlcProperties &properties);

// The file bytes: FF FE, UTF-16LE, CR LF after every line.
QByteArray KlcFileBytes(const KeyTableArray &table, const KlcProperties &properties);

// The file name of a layout name: the name as typed followed by ".klc".
QString KlcFileName(const QString &name);

// Writes the file at path atomically; a failure throws OperationError "Cannot create file "
// with the path as given (relative paths stay relative in the message).
void SaveKlcFile(const KeyTableArray &table, const KlcProperties &properties,
                 const QString &path);
