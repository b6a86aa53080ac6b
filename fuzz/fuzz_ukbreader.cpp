// libFuzzer target for the .ukb reader: any bytes must read, apply and save without a
// fault, and a layout that was read must save and read back to itself.
#include "keyhint.h"
#include "keytable.h"
#include "ukbfile.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

KeyTableArray DefaultTable()
{
    KeyTableArray table;
    ClearKeyTable(table);
    LoadDefaults(table);
    return table;
}

UkbContent Read(const QByteArray &bytes)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return ReadUkb(buffer, QStringLiteral("input"));
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const UkbContent content = Read(bytes);
    Check(content.lines.size() <= UkbLineCount);
    Check(content.entries.size() == content.lines.size());

    KeyTableArray table = DefaultTable();
    const QList<UkbHint> hints = ApplyUkb(table, content);
    Check(hints.size() == content.entries.size());
    for (const UkbHint &hint : hints)
        Check(hint.number >= 1 && hint.number <= KeyCount && !hint.hint.isEmpty());

    // Values read are trimmed and hold no TAB, line end or U+0000, so they survive a save.
    const QByteArray saved = UkbFileBytes(table);
    if (saved.size() / 2 <= MaxUkbTextLength) {
        KeyTableArray again = DefaultTable();
        ApplyUkb(again, Read(saved));
        Check(again == table);
    }
    return 0;
}
