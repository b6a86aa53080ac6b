// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formatdialogs.h"

#include "fileformats.h"
#include "xkbcompose.h"
#include "xkbinstall.h"
#include "xkbsymbols.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

namespace {

struct FormatTexts {
    QStringView format;  // the name in FileFormats()
    QStringView filter;  // the file dialog's; its default suffix is the format's own
    QStringView title;
    // What the confirmation adds on a line of its own, or nullptr.
    QString (*usage)(const QString &path, const KeyTableArray &table);
};

QString XkbUsage(const QString &path, const KeyTableArray &table)
{
    const QString name = XkbLayoutNameOfPath(path);
    QString usage = QStringLiteral("To type with it, copy it to ") + XkbUserSymbolsFolderForMessages() + name
                    + QStringLiteral(" and choose the layout ") + name + u'.';
    // The export writes the compose text beside the file for a layout with dead keys.
    if (HasDeadKeys(table)) {
        usage += QStringLiteral("\nIts dead keys need the compose sequences in ")
                 + QFileInfo(XkbComposePathOf(path)).fileName() + QStringLiteral(": add them to ~/.XCompose.");
    }
    return usage;
}

constexpr std::array<FormatTexts, 7> Texts = {{
    {u"ukb", u"keyboard (*.ukb)", u"Keyboard", nullptr},
    {u"layout", u"layout (*.layout)", u"Layout", nullptr},
    {u"layout-new", u"layout (*.layout)", u"Layout", nullptr},
    {u"xkb", u"XKB symbols (*)", u"XKB", XkbUsage},
    {u"svg", u"SVG picture (*.svg)", u"Picture", nullptr},
    {u"png", u"PNG picture (*.png)", u"Picture", nullptr},
    {u"pdf", u"PDF document (*.pdf)", u"Picture", nullptr},
}};

const FormatTexts &TextsOf(const FileFormat &format)
{
    const auto texts = std::find_if(Texts.begin(), Texts.end(),
                                    [&format](const FormatTexts &t) { return t.format == format.name; });
    Q_ASSERT(texts != Texts.end());
    return *texts;
}

} // namespace

bool RunFormatFileDialog(QWidget *parent, FileDialogSettings &dialog, FileDialogSettings::Mode mode,
                         const FileFormat &format)
{
    const FormatTexts &texts = TextsOf(format);
    dialog.mode = mode;
    dialog.defaultSuffix = format.suffix.toString();
    dialog.filter = texts.filter.toString();
    dialog.title = texts.title.toString();
    return Dialogs().runFileDialog(parent, dialog);
}

QString SavedMessage(const FileFormat &format, const QString &path, const KeyTableArray &table)
{
    QString saved = QStringLiteral("save (") + path + QStringLiteral(")!");
    const FormatTexts &texts = TextsOf(format);
    if (texts.usage)
        saved += u'\n' + texts.usage(path, table);
    if (format.losses) {
        for (const QString &loss : format.losses(table))
            saved += QStringLiteral("\nNot carried: ") + loss + u'.';
    }
    return saved;
}
