// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ukbextension.h"

#include <QByteArray>
#include <QStringList>
#include <QUrl>

// The text is ASCII with no blank, so the reader's trimming and the "<>" marker never
// touch it:
//
//   slot   = "tavo1" 1*( ";" record )
//   record = "dead" S ":" keysym ":" [ pair *( "," pair ) ]      a dead key of state S (1-6)
//          | "iso:" text 12( "/" text )                          the ISO key's 13 fields
//          | "isodead" S ":" keysym ":" [ pair *( "," pair ) ]   a dead key of the ISO key
//   pair   = text ">" text                                       base and result
//
// Every text is UTF-8 with all but letters, digits and "-._~" percent-encoded; the ISO
// key's 13 fields are in the order of a line's first 13 fields. The "iso" records are
// written only on the space bar's line.

namespace {

const QString Magic = QStringLiteral("tavo1");

QString Encode(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// The strict inverse of Encode: nothing but unreserved characters and %XX, and valid UTF-8.
bool Decode(QStringView text, QString &decoded)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool unreserved = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')
                                || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == u'_'
                                || c == u'~';
        if (unreserved) {
            bytes += char(c);
            continue;
        }
        if (c != u'%' || i + 2 >= text.size())
            return false;
        bool ok = false;
        const uint byte = text.sliced(i + 1, 2).toUInt(&ok, 16);
        if (!ok)
            return false;
        bytes += char(byte);
        i += 2;
    }
    decoded = QString::fromUtf8(bytes);
    return decoded.toUtf8() == bytes;
}

// The 13 fields of a line that a layout sets, in file order.
QString *KeyField(s_key &key, int field)
{
    if (field == 0)
        return &key.caps;
    const auto state = ShiftState((field + 1) / 2);
    return field % 2 == 1 ? &CodeOf(key, state) : &CharOf(key, state);
}

QString DeadRecord(const QString &name, int state, const DeadKey &dead)
{
    QStringList pairs;
    for (const DeadPair &pair : dead.pairs)
        pairs << Encode(pair.base) + u'>' + Encode(pair.result);
    return name + QString::number(state) + u':' + Encode(dead.keysym) + u':' + pairs.join(u',');
}

void AppendDeadRecords(QStringList &records, const QString &name, const s_key &key)
{
    for (int state = 1; state <= 6; ++state) {
        if (key.dead[state - 1])
            records << DeadRecord(name, state, *key.dead[state - 1]);
    }
}

// Reads "S:keysym:pairs" into dead[S-1].
bool ReadDeadRecord(QStringView body, std::array<std::optional<DeadKey>, 6> &dead)
{
    const QList<QStringView> parts = body.split(u':');
    if (parts.size() != 3 || parts[0].size() != 1 || parts[0][0] < u'1' || parts[0][0] > u'6')
        return false;
    std::optional<DeadKey> &slot = dead[parts[0][0].unicode() - u'1'];
    if (slot)
        return false;
    DeadKey key;
    if (!Decode(parts[1], key.keysym))
        return false;
    if (!parts[2].isEmpty()) {
        for (QStringView pair : parts[2].split(u',')) {
            const QList<QStringView> sides = pair.split(u'>');
            DeadPair read;
            if (sides.size() != 2 || !Decode(sides[0], read.base) || !Decode(sides[1], read.result))
                return false;
            key.pairs.append(read);
        }
    }
    slot = std::move(key);
    return true;
}

bool ReadIsoRecord(QStringView body, s_key &iso)
{
    const QList<QStringView> fields = body.split(u'/');
    if (fields.size() != 13)
        return false;
    for (int field = 0; field < 13; ++field) {
        if (!Decode(fields[field], *KeyField(iso, field)))
            return false;
    }
    return true;
}

} // namespace

QString UkbExtensionText(const KeyTableArray &table, int number)
{
    QStringList records;
    AppendDeadRecords(records, QStringLiteral("dead"), KeyByNumber(table, number));
    if (number == SpaceKey && IsoKeyUsed(table)) {
        s_key iso = KeyByNumber(table, IsoKey);
        QStringList fields;
        for (int field = 0; field < 13; ++field)
            fields << Encode(*KeyField(iso, field));
        records << QStringLiteral("iso:") + fields.join(u'/');
        AppendDeadRecords(records, QStringLiteral("isodead"), iso);
    }
    if (records.isEmpty())
        return QString();
    return Magic + u';' + records.join(u';');
}

bool ApplyUkbExtensionText(QStringView text, KeyTableArray &table, int number)
{
    if (!text.startsWith(Magic + u';'))
        return false;
    s_key key = KeyByNumber(table, number);
    key.dead = {};
    s_key iso = KeyByNumber(table, IsoKey);
    ClearKeyTexts(iso);
    bool hasIso = false;
    for (QStringView record : text.sliced(Magic.size() + 1).split(u';')) {
        bool ok = false;
        if (record.startsWith(u"dead"))
            ok = ReadDeadRecord(record.sliced(4), key.dead);
        else if (number == SpaceKey && record.startsWith(u"isodead"))
            ok = hasIso && ReadDeadRecord(record.sliced(7), iso.dead);
        else if (number == SpaceKey && record.startsWith(u"iso:"))
            ok = !hasIso && ReadIsoRecord(record.sliced(4), iso);
        if (!ok)
            return false;
        hasIso = hasIso || record.startsWith(u"iso:");
    }
    KeyByNumber(table, number) = std::move(key);
    if (hasIso)
        KeyByNumber(table, IsoKey) = std::move(iso);
    return true;
}
