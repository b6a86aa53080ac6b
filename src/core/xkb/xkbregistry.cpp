// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "xkbregistry.h"

#include <QFile>

#include <xkbcommon/xkbregistry.h>

#include <memory>

namespace {

struct RegistryDeleter { void operator()(rxkb_context *context) const { rxkb_context_unref(context); } };

QString FromUtf8(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

} // namespace

QString XkbLayoutInfo::fullName() const
{
    return variant.isEmpty() ? layout : layout + u'(' + variant + u')';
}

QList<XkbLayoutInfo> XkbRegistryLayouts(XkbLayoutSource source)
{
    std::unique_ptr<rxkb_context, RegistryDeleter> context;
    if (source == XkbLayoutSource::SystemAndUser) {
        context.reset(rxkb_context_new(RXKB_CONTEXT_LOAD_EXOTIC_RULES));
    } else {
        context.reset(rxkb_context_new(
            rxkb_context_flags(RXKB_CONTEXT_LOAD_EXOTIC_RULES | RXKB_CONTEXT_NO_DEFAULT_INCLUDES)));
        // The system's data alone: the folder XKB_CONFIG_ROOT names, as for
        // libxkbcommon, else the one xkb-data installs.
        const QByteArray root = qEnvironmentVariableIsSet("XKB_CONFIG_ROOT")
            ? qgetenv("XKB_CONFIG_ROOT") : QByteArray(TAVO_XKB_CONFIG_ROOT);
        if (context && !rxkb_context_include_path_append(context.get(), root.constData()))
            return {};
    }
    if (!context)
        return {};
    rxkb_context_set_log_level(context.get(), RXKB_LOG_LEVEL_CRITICAL);
    if (!rxkb_context_parse(context.get(), "evdev"))
        return {};

    QList<XkbLayoutInfo> layouts;
    for (rxkb_layout *l = rxkb_layout_first(context.get()); l; l = rxkb_layout_next(l)) {
        XkbLayoutInfo info;
        info.layout = FromUtf8(rxkb_layout_get_name(l));
        info.variant = FromUtf8(rxkb_layout_get_variant(l));
        info.description = FromUtf8(rxkb_layout_get_description(l));
        for (rxkb_iso639_code *code = rxkb_layout_get_iso639_first(l); code; code = rxkb_iso639_code_next(code))
            info.languages << FromUtf8(rxkb_iso639_code_get_code(code));
        layouts << info;
    }
    return layouts;
}

bool IsValidXkbNamePart(QStringView part)
{
    if (part.isEmpty() || part.size() > MaxXkbNameLength)
        return false;
    for (const QChar c : part) {
        const char16_t u = c.unicode();
        if (!((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_'
              || u == u'-'))
            return false;
    }
    return true;
}

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
        if (!IsValidXkbNamePart(info.variant))
            return std::nullopt;
    }
    if (!IsValidXkbNamePart(info.layout))
        return std::nullopt;
    return info;
}

QStringList XkbLayoutLanguages(const QList<XkbLayoutInfo> &layouts, const QString &layout, const QString &variant)
{
    for (const QString &wanted : {variant, QString()}) {
        for (const XkbLayoutInfo &info : layouts) {
            if (info.layout == layout && info.variant == wanted && !info.languages.isEmpty())
                return info.languages;
        }
    }
    return {};
}
