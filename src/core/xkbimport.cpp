#include "xkbimport.h"
#include "charnames.h"

#include "fileerror.h"
#include "xkbkeymap.h"
#include "xkbsymbols.h"

#include <QFile>
#include <QStandardPaths>

#include <xkbcommon/xkbcommon.h>

#include <array>

namespace {

// The four states that levels 1 to 4 fill, in order.
constexpr std::array<ShiftState, 4> LevelStates = {
    ShiftState::Norm, ShiftState::Shift, ShiftState::AltGr, ShiftState::AltGrShift};
constexpr std::array<const char *, 4> LevelNames = {"Norm", "Shift", "AltGr", "AltGr-Shift"};

// Characters that rule syntax gives a meaning of its own, and blanks.
bool CanBeInName(QChar c)
{
    return c.unicode() > 0x20 && !QStringView(u",()+:|\"\\'").contains(c);
}

bool IsValidNamePart(QStringView part)
{
    if (part.isEmpty())
        return false;
    for (QChar c : part) {
        if (!CanBeInName(c))
            return false;
    }
    return true;
}

// Why a keysym cannot be carried; empty when it can.
QString NotCarried(xkb_keysym_t sym, char32_t cp)
{
    const QString name = XkbKeysymNameOf(sym);
    if (name.startsWith(QLatin1String("dead_")))
        return name + QStringLiteral(" is a dead key");
    if (cp == 0)
        return name + QStringLiteral(" has no character");
    const QString point = UnicodeLabel(cp);
    if (cp > 0xFFFF)
        return QStringLiteral("%1 (%2) is outside the 16-bit range").arg(name, point);
    if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F))
        return QStringLiteral("%1 (%2) is a control character").arg(name, point);
    if (cp == 0xFFFE || cp == 0xFFFF)
        return QStringLiteral("%1 (%2) is not a character").arg(name, point);
    return {};
}

// The value of key in section of a simple configuration text: "[section]" headers and
// "key=value" lines, the value unquoted. Null when it is not there.
QString ConfigValue(const QString &text, const QString &section, const QString &key)
{
    QString current;
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            current = line.mid(1, line.size() - 2);
            continue;
        }
        if (current != section || line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0 || line.left(equals).trimmed() != key)
            continue;
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return value.isNull() ? QStringLiteral("") : value;
    }
    return {};
}

QString ReadText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(1 << 16));
}

// The first layout and variant of comma-separated lists.
std::optional<XkbLayoutInfo> FirstOfLists(const QString &layouts, const QString &variants)
{
    XkbLayoutInfo info;
    info.layout = layouts.section(u',', 0, 0).trimmed();
    info.variant = variants.section(u',', 0, 0).trimmed();
    if (!IsValidNamePart(info.layout) || (!info.variant.isEmpty() && !IsValidNamePart(info.variant)))
        return std::nullopt;
    return info;
}

} // namespace

std::optional<XkbLayoutInfo> ParseXkbLayoutName(const QString &text)
{
    XkbLayoutInfo info;
    const qsizetype open = text.indexOf(u'(');
    if (open < 0) {
        info.layout = text;
    } else {
        if (!text.endsWith(u')'))
            return std::nullopt;
        info.layout = text.left(open);
        info.variant = text.mid(open + 1, text.size() - open - 2);
        if (!IsValidNamePart(info.variant))
            return std::nullopt;
    }
    if (!IsValidNamePart(info.layout))
        return std::nullopt;
    return info;
}

LayoutImport ImportXkbLayout(const QString &layout, const QString &variant)
{
    const QString fullName = variant.isEmpty() ? layout : layout + u'(' + variant + u')';
    if (!IsValidNamePart(layout) || (!variant.isEmpty() && !IsValidNamePart(variant)))
        throw FileError(QStringLiteral("\"%1\" is not the name of an XKB layout").arg(fullName));
    const XkbKeymapPtr keymap = CompileXkbLayout(layout, variant);
    return ImportXkbKeymap(keymap.get(), fullName);
}

LayoutImport ImportXkbKeymap(xkb_keymap *keymap, const QString &name)
{
    // Lock locked through the modifier mask: the Caps Lock key itself may be remapped.
    XkbStatePtr capsState(xkb_state_new(keymap));
    const xkb_mod_index_t lock = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_CAPS);
    if (!capsState || lock == XKB_MOD_INVALID)
        throw FileError(QStringLiteral("The XKB layout \"%1\" has no Lock modifier").arg(name));
    xkb_state_update_mask(capsState.get(), 0, 0, xkb_mod_mask_t(1) << lock, 0, 0, 0);

    LayoutImport result;
    result.table = EmptyImportTable();
    for (int number = 1; number <= KeyCount; ++number) {
        s_key &key = KeyByNumber(result.table, number);
        const QString keyName = XkbKeyName(number);
        const xkb_keycode_t keycode = xkb_keymap_key_by_name(keymap, keyName.toLatin1().constData());
        if (keycode == XKB_KEYCODE_INVALID)
            continue;
        std::array<char32_t, 4> carried{};
        const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap, keycode, 0);
        for (xkb_level_index_t level = 0; level < 4 && level < levels; ++level) {
            const xkb_keysym_t *syms = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, 0, level, &syms);
            if (count == 0 || (count == 1 && syms[0] == XKB_KEY_VoidSymbol))
                continue;
            const QString where = QStringLiteral("key %1 <%2>, %3: ")
                                      .arg(number)
                                      .arg(keyName, QLatin1String(LevelNames[level]));
            if (count > 1) {
                result.report << where + QStringLiteral("%1 keysyms at once").arg(count);
                continue;
            }
            const char32_t cp = xkb_keysym_to_utf32(syms[0]);
            const QString reason = NotCarried(syms[0], cp);
            if (!reason.isEmpty()) {
                result.report << where + reason;
                continue;
            }
            SetImportedUnit(key, LevelStates[level], char16_t(cp));
            carried[level] = cp;
        }
        const bool caps = carried[1] != 0 && carried[1] != carried[0]
                          && xkb_state_key_get_utf32(capsState.get(), keycode) == carried[1];
        key.caps = caps ? QStringLiteral("1") : QStringLiteral("0");
    }
    SetSpaceBarFixedValues(KeyByNumber(result.table, SpaceKey));
    return result;
}

std::optional<XkbLayoutInfo> SessionXkbLayout(const QString &systemKeyboardFile)
{
    if (qEnvironmentVariableIsSet("XKB_DEFAULT_LAYOUT"))
        return FirstOfLists(qEnvironmentVariable("XKB_DEFAULT_LAYOUT"), qEnvironmentVariable("XKB_DEFAULT_VARIANT"));
    const QString kde = ReadText(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                                 + QStringLiteral("/kxkbrc"));
    const QString kdeLayouts = ConfigValue(kde, QStringLiteral("Layout"), QStringLiteral("LayoutList"));
    if (!kdeLayouts.isEmpty())
        return FirstOfLists(kdeLayouts, ConfigValue(kde, QStringLiteral("Layout"), QStringLiteral("VariantList")));
    const QString system = ReadText(systemKeyboardFile);
    const QString systemLayouts = ConfigValue(system, QString(), QStringLiteral("XKBLAYOUT"));
    if (!systemLayouts.isEmpty())
        return FirstOfLists(systemLayouts, ConfigValue(system, QString(), QStringLiteral("XKBVARIANT")));
    return std::nullopt;
}
