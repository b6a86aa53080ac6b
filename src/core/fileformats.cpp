// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileformats.h"

#include "keyboardpicture.h"
#include "klcimport.h"
#include "layoutxml.h"
#include "ukbfile.h"
#include "xkbsymbols.h"

#include <QBuffer>

#include <array>

namespace {

QByteArray PictureBytes(KeyTableArray &table, const ExportOptions &options, PictureFormat format)
{
    return KeyboardPictureBytes(table, options.title, format);
}

void SavePicture(KeyTableArray &table, const ExportOptions &options, PictureFormat format,
                 const QString &path)
{
    SaveKeyboardPicture(table, options.title, format, path);
}

LayoutImport ImportUkbBytes(const QByteArray &bytes, const QString &source)
{
    QBuffer buffer;
    buffer.setData(bytes);  // shares the bytes, no copy
    buffer.open(QIODevice::ReadOnly);
    LayoutImport imported;
    imported.table = EmptyImportTable();
    ApplyUkb(imported.table, ReadUkb(buffer, source));
    return imported;
}

const std::array<FileFormat, 8> Formats = {{
    {u"ukb", u"ukb", false,
     [](KeyTableArray &t, const ExportOptions &) { return UkbFileBytes(t); },
     [](KeyTableArray &t, const ExportOptions &, const QString &path) { SaveUkbFile(t, path); },
     ImportUkbBytes},
    {u"klc", u"klc", false,
     [](KeyTableArray &t, const ExportOptions &o) { return KlcFileBytes(t, o.klc); },
     [](KeyTableArray &t, const ExportOptions &o, const QString &path) { SaveKlcFile(t, o.klc, path); },
     [](const QByteArray &bytes, const QString &source) -> LayoutImport { return ImportKlcBytes(bytes, source); }},
    {u"layout", u"layout", false,
     [](KeyTableArray &t, const ExportOptions &) { return LayoutFileBytes(t, LayoutDialect::Classic); },
     [](KeyTableArray &t, const ExportOptions &, const QString &path) { SaveLayoutClassic(t, path); },
     nullptr, LayoutFileLosses},
    {u"layout-new", u"layout", false,
     [](KeyTableArray &t, const ExportOptions &) { return LayoutNewFileBytes(t); },
     [](KeyTableArray &t, const ExportOptions &, const QString &path) { SaveLayoutNew(t, path); },
     nullptr, LayoutFileLosses},
    {u"xkb", u"xkb", false,
     [](KeyTableArray &t, const ExportOptions &) { return XkbFileBytes(t, DefaultXkbLayoutName); },
     [](KeyTableArray &t, const ExportOptions &, const QString &path) { SaveXkbFile(t, path); },
     nullptr},
    {u"svg", u"svg", true,
     [](KeyTableArray &t, const ExportOptions &o) { return PictureBytes(t, o, PictureFormat::Svg); },
     [](KeyTableArray &t, const ExportOptions &o, const QString &path) { SavePicture(t, o, PictureFormat::Svg, path); },
     nullptr},
    {u"png", u"png", true,
     [](KeyTableArray &t, const ExportOptions &o) { return PictureBytes(t, o, PictureFormat::Png); },
     [](KeyTableArray &t, const ExportOptions &o, const QString &path) { SavePicture(t, o, PictureFormat::Png, path); },
     nullptr},
    {u"pdf", u"pdf", true,
     [](KeyTableArray &t, const ExportOptions &o) { return PictureBytes(t, o, PictureFormat::Pdf); },
     [](KeyTableArray &t, const ExportOptions &o, const QString &path) { SavePicture(t, o, PictureFormat::Pdf, path); },
     nullptr},
}};

} // namespace

std::span<const FileFormat> FileFormats()
{
    return Formats;
}

const FileFormat *FileFormatNamed(QStringView name)
{
    for (const FileFormat &format : Formats) {
        if (format.name == name)
            return &format;
    }
    return nullptr;
}

qsizetype MaxLayoutInputSize()
{
    return qMax<qsizetype>(3 * MaxUkbTextLength + 8, MaxKlcFileSize + 1);
}

LayoutImport ImportLayoutBytes(const QByteArray &bytes, const QString &source)
{
    const FileFormat *format = FileFormatNamed(IsKlcBytes(bytes) ? u"klc" : u"ukb");
    return format->import(bytes, source);
}
