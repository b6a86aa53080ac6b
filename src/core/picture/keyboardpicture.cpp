// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyboardpicture.h"

#include "atomicfile.h"
#include "charnames.h"
#include "codetext.h"
#include "keyboardgeometry.h"
#include "keytexts.h"
#include "operationerror.h"
#include "tavoversion.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHashSeed>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QScopeGuard>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <span>

namespace {

// ---- What a cap shows

// Blanks, controls and what no text may hold (a lone surrogate, a noncharacter such as
// U+FFFF) are shown by their codes: drawn, they would be invisible or break an SVG file.
bool ShownByCode(char32_t code)
{
    if (QChar::isNonCharacter(code))
        return true;
    switch (QChar::category(code)) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
        return true;
    default:
        return false;
    }
}

// The code points of a text; a lone surrogate stands for itself.
QList<char32_t> CodePoints(const QString &text)
{
    QList<char32_t> codes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            codes.append(QChar::surrogateToUcs4(c, text.at(i + 1)));
            ++i;
        } else {
            codes.append(c.unicode());
        }
    }
    return codes;
}

// The title with what a text may not hold (controls, lone surrogates, noncharacters)
// replaced by U+FFFD, so that any file name gives a well-formed SVG file.
QString CleanTitle(const QString &title)
{
    QString clean;
    for (char32_t code : CodePoints(title)) {
        if (code < 0x20 || code == 0x7F || QChar::isSurrogate(code) || QChar::isNonCharacter(code))
            code = QChar::ReplacementCharacter;
        clean.append(QStringView(QChar::fromUcs4(code)));
    }
    return clean;
}

// ---- How the picture looks

// Picture units per pixel of the editor's window: a key cap about 17 mm wide on A4.
constexpr qreal Scale = 2;
constexpr qreal Margin = 24;
constexpr qreal TitleHeight = 36;
constexpr qreal LegendGap = 14;
constexpr qreal LegendHeight = 20;
constexpr qreal CapPadding = 5;
constexpr qreal CapRadius = 5;
constexpr qreal DeadFramePadding = 1.5;

constexpr int MainPixels = 22;      // Shift and Norm
constexpr int CapitalPixels = 26;   // a capital shown alone
constexpr int AltGrPixels = 17;     // AltGr and AltGr-Shift
constexpr int CodePixels = 10;      // codes of blanks and controls
constexpr int SmallestPixels = 7;   // a long text is shrunk down to this size
constexpr int LabelPixels = 13;     // the fixed keys
constexpr int TitlePixels = 20;
constexpr int LegendPixels = 13;

// Dark inks on pale fills, so the picture reads in black-and-white print too.
constexpr QRgb Ink = qRgb(0, 0, 0);
constexpr QRgb AltGrInk = qRgb(16, 58, 140);
constexpr QRgb CodeInk = qRgb(70, 70, 70);
constexpr QRgb CapOutline = qRgb(51, 51, 51);
constexpr QRgb LabelFill = qRgb(244, 244, 244);
constexpr QRgb LabelOutline = qRgb(150, 150, 150);
constexpr QRgb LabelInk = qRgb(68, 68, 68);
// The system's tooltip colour stands in the editor for some keys; its usual value here.
constexpr QRgb InfoBackground = qRgb(255, 255, 225);

const QString FontFamily = QStringLiteral("DejaVu Sans");

// Sizes in pixels, no hinting and no subpixel colours: the glyphs then do not depend on
// the screen or the desktop's font settings, and the editor and the converter draw the
// same picture.
QFont PictureFont(int pixels, bool bold = false)
{
    QFont font(FontFamily);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    return font;
}

// The editor's colour of a key, lightened for print.
QColor CapFill(int number)
{
    const QColor colour = KeyCellColour(number, QColor(InfoBackground));
    constexpr qreal strength = 0.25;
    const auto tint = [&](int channel) { return qRound(255 - (255 - channel) * strength); };
    return QColor(tint(colour.red()), tint(colour.green()), tint(colour.blue()));
}

QRectF PictureRect(const QRect &editorRect)
{
    const QRect bounds = KeyboardBounds();
    return QRectF(Margin + (editorRect.left() - bounds.left()) * Scale,
                  Margin + TitleHeight + (editorRect.top() - bounds.top()) * Scale,
                  editorRect.width() * Scale, editorRect.height() * Scale);
}

// The font for a text in a space `width` wide: `pixels` high, or smaller until it fits.
QFont FittedFont(const QString &text, int pixels, qreal width)
{
    QFont font = PictureFont(pixels);
    const qreal advance = QFontMetricsF(font).horizontalAdvance(text);
    if (advance > width && advance > 0)
        font.setPixelSize(std::max(SmallestPixels, int(std::floor(pixels * width / advance))));
    return font;
}

// The dotted frame around a dead key's character drawn at the baseline point, in the
// painter's font.
void DrawDeadFrame(QPainter &painter, const QPointF &baseline, const QString &text, QRgb ink)
{
    const QFontMetricsF metrics(painter.font());
    const QRectF frame(baseline.x() - DeadFramePadding, baseline.y() - metrics.ascent() - DeadFramePadding,
                       metrics.horizontalAdvance(text) + 2 * DeadFramePadding,
                       metrics.ascent() + metrics.descent() + 2 * DeadFramePadding);
    painter.save();
    painter.setPen(QPen(QColor(ink), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.restore();
}

enum class Side { Left, Right };
enum class Level { Top, Bottom };

void DrawCorner(QPainter &painter, const QRectF &cap, const CapText &corner, Side side,
                Level level, int pixels, QRgb ink, bool shareRow)
{
    if (corner.text.isEmpty())
        return;
    const qreal inner = cap.width() - 2 * CapPadding;
    const qreal width = shareRow ? inner / 2 - 1 : inner;
    const QFont font = FittedFont(corner.text, corner.isCode ? CodePixels : pixels, width);
    const QFontMetricsF metrics(font);
    const qreal x = side == Side::Left
        ? cap.left() + CapPadding
        : cap.right() - CapPadding - metrics.horizontalAdvance(corner.text);
    const qreal y = level == Level::Top ? cap.top() + CapPadding + metrics.ascent()
                                        : cap.bottom() - CapPadding - metrics.descent();
    painter.setFont(font);
    painter.setPen(QColor(corner.isCode ? CodeInk : ink));
    painter.drawText(QPointF(x, y), corner.text);
    if (corner.dead)
        DrawDeadFrame(painter, QPointF(x, y), corner.text, ink);
}

void DrawKeyCap(QPainter &painter, int number, const KeyCap &cap)
{
    const QRectF rect = PictureRect(KeyCellRect(number));
    painter.setPen(QPen(QColor(CapOutline), 1.2));
    painter.setBrush(CapFill(number));
    painter.drawRoundedRect(rect, CapRadius, CapRadius);

    const bool topShared = !cap.altgrShift.text.isEmpty();
    const bool bottomShared = !cap.altgr.text.isEmpty();
    DrawCorner(painter, rect, cap.shift, Side::Left, Level::Top,
               cap.capitalOnly ? CapitalPixels : MainPixels, Ink, topShared);
    DrawCorner(painter, rect, cap.norm, Side::Left, Level::Bottom, MainPixels, Ink, bottomShared);
    DrawCorner(painter, rect, cap.altgrShift, Side::Right, Level::Top, AltGrPixels, AltGrInk,
               !cap.shift.text.isEmpty());
    DrawCorner(painter, rect, cap.altgr, Side::Right, Level::Bottom, AltGrPixels, AltGrInk,
               !cap.norm.text.isEmpty());
}

void DrawFixedKey(QPainter &painter, const FixedKeyLabel &label)
{
    const QRectF rect = PictureRect(label.rect());
    painter.setPen(QPen(QColor(LabelOutline), 1));
    painter.setBrush(QColor(LabelFill));
    painter.drawRoundedRect(rect, CapRadius, CapRadius);
    const QFont font = PictureFont(LabelPixels);
    const QFontMetricsF metrics(font);
    const QString caption = QString::fromLatin1(label.caption);
    painter.setFont(font);
    painter.setPen(QColor(LabelInk));
    painter.drawText(QPointF(rect.left() + CapPadding + 2,
                             rect.center().y() + (metrics.ascent() - metrics.descent()) / 2),
                     caption);
}

// One line: which corner holds which state, what the small codes and the dotted circle
// mean, and for a layout with dead keys what the dotted frame means.
void DrawLegend(QPainter &painter, qreal baseline, bool deadKeys)
{
    struct Piece {
        QString text;
        QRgb ink;
        int pixels;
        bool framed = false;
    };
    const QString gap = QStringLiteral("      ");
    const Piece pieces[] = {
        {QStringLiteral("\u2196 ") + ShiftStateName(ShiftState::Shift) + gap, Ink, LegendPixels},
        {QStringLiteral("\u2199 ") + ShiftStateName(ShiftState::Norm) + gap, Ink, LegendPixels},
        {QStringLiteral("\u2197 ") + ShiftStateName(ShiftState::AltGrShift) + gap, AltGrInk, LegendPixels},
        {QStringLiteral("\u2198 ") + ShiftStateName(ShiftState::AltGr) + gap, AltGrInk, LegendPixels},
        {QStringLiteral("0020"), CodeInk, CodePixels},
        {QStringLiteral(" a blank or control character, by its code") + gap, Ink, LegendPixels},
        {QStringLiteral("\u25CC\u0301"), Ink, LegendPixels},
        {QStringLiteral(" a combining mark"), Ink, LegendPixels},
        {gap + QStringLiteral(" "), Ink, LegendPixels},
        {QStringLiteral("\u00B4"), Ink, LegendPixels, true},
        {QStringLiteral("  a dead key"), Ink, LegendPixels},
    };
    // Without dead keys the line ends at the combining mark, as it always did.
    const qsizetype count = std::size(pieces) - (deadKeys ? 0 : 3);
    qreal x = Margin;
    for (const Piece &piece : std::span(pieces, count)) {
        const QFont font = PictureFont(piece.pixels);
        painter.setFont(font);
        painter.setPen(QColor(piece.ink));
        painter.drawText(QPointF(x, baseline), piece.text);
        if (piece.framed)
            DrawDeadFrame(painter, QPointF(x, baseline), piece.text, piece.ink);
        x += QFontMetricsF(font).horizontalAdvance(piece.text);
    }
}

// ---- Files

[[noreturn]] void CannotDraw(PictureFormat format)
{
    throw OperationError(QStringLiteral("Cannot draw the %1 picture").arg(PictureSuffix(format).toUpper()));
}

// QPdfWriter stamps the time of writing into the document information; blanking it keeps
// the output the same from run to run. The entry is overwritten with spaces in place, so
// the cross-reference offsets stay right.
void BlankPdfCreationDate(QByteArray &pdf)
{
    const qsizetype start = pdf.indexOf("/CreationDate (");
    if (start < 0)
        return;
    const qsizetype end = pdf.indexOf(')', start);
    if (end < 0)
        return;
    for (qsizetype i = start; i <= end; ++i)
        pdf[i] = ' ';
}

QByteArray SvgBytes(const KeyTableArray &table, const QString &title)
{
    const QSizeF size = KeyboardPictureSize();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size.toSize());
    generator.setViewBox(QRectF(QPointF(0, 0), size));
    // One unit a CSS pixel.
    generator.setResolution(96);
    // Written into the XML as given.
    generator.setTitle(CleanTitle(title).toHtmlEscaped());
    generator.setDescription(QStringLiteral("A keyboard layout drawn by " TAVO_APPLICATION_NAME));
    QPainter painter;
    if (!painter.begin(&generator))
        CannotDraw(PictureFormat::Svg);
    PaintKeyboardPicture(painter, table, title);
    painter.end();
    return buffer.data();
}

QByteArray PngBytes(const KeyTableArray &table, const QString &title)
{
    const QSize size = (KeyboardPictureSize() * PngPixelsPerUnit).toSize();
    // Drawn with an alpha channel, which keeps text in grey-scale antialiasing, then stored
    // without it.
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        CannotDraw(PictureFormat::Png);
    image.fill(Qt::white);
    QPainter painter;
    if (!painter.begin(&image))
        CannotDraw(PictureFormat::Png);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(PngPixelsPerUnit, PngPixelsPerUnit);
    PaintKeyboardPicture(painter, table, title);
    painter.end();

    QImage opaque = image.convertToFormat(QImage::Format_RGB32);
    // 192 dots per inch: twice the 96 of a screen.
    const int dotsPerMeter = qRound(96.0 * PngPixelsPerUnit / 0.0254);
    opaque.setDotsPerMeterX(dotsPerMeter);
    opaque.setDotsPerMeterY(dotsPerMeter);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!opaque.save(&buffer, "PNG"))
        CannotDraw(PictureFormat::Png);
    return buffer.data();
}

QByteArray PdfBytes(const KeyTableArray &table, const QString &title)
{
    // QPdfWriter writes its fonts in the order of a hash table, which Qt seeds afresh in
    // every process; with the fixed seed, the fonts come in the same order every time.
    QHashSeed::setDeterministicGlobalSeed();
    const auto reseed = qScopeGuard([] { QHashSeed::resetRandomGlobalSeed(); });
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setTitle(CleanTitle(title));
        writer.setCreator(QStringLiteral(TAVO_APPLICATION_NAME));
        QPainter painter;
        if (!painter.begin(&writer))
            CannotDraw(PictureFormat::Pdf);
        painter.setRenderHint(QPainter::Antialiasing);
        // Fitted into the page less a 10 mm border, centred.
        const QRectF page = QRectF(writer.pageLayout().fullRectPixels(writer.resolution()));
        const qreal border = 10.0 / 25.4 * writer.resolution();
        const QSizeF picture = KeyboardPictureSize();
        const qreal scale = std::min((page.width() - 2 * border) / picture.width(),
                                     (page.height() - 2 * border) / picture.height());
        painter.translate(page.center() - QPointF(picture.width(), picture.height()) * scale / 2);
        painter.scale(scale, scale);
        PaintKeyboardPicture(painter, table, title);
        if (!painter.end())
            CannotDraw(PictureFormat::Pdf);
    }
    QByteArray pdf = buffer.data();
    BlankPdfCreationDate(pdf);
    return pdf;
}

} // namespace

CapText CapTextOf(const QString &character)
{
    const QString text = ShownKeyText(character);
    if (text.isEmpty())
        return {};
    const QList<char32_t> codes = CodePoints(text);
    if (std::all_of(codes.begin(), codes.end(), ShownByCode)) {
        QStringList hex;
        for (char32_t code : codes)
            hex.append(CodeText(code));
        return {hex.join(u' '), true};
    }
    return {ShownCharacter(text), false};
}

KeyCap KeyCapOf(const s_key &key)
{
    KeyCap cap;
    cap.shift = CapTextOf(key.shift_char);
    cap.norm = CapTextOf(key.norm_char);
    cap.altgrShift = CapTextOf(key.altgr_shift_char);
    cap.altgr = CapTextOf(key.altgr_char);
    cap.shift.dead = DeadOf(key, ShiftState::Shift) && !cap.shift.text.isEmpty();
    cap.norm.dead = DeadOf(key, ShiftState::Norm) && !cap.norm.text.isEmpty();
    cap.altgrShift.dead = DeadOf(key, ShiftState::AltGrShift) && !cap.altgrShift.text.isEmpty();
    cap.altgr.dead = DeadOf(key, ShiftState::AltGr) && !cap.altgr.text.isEmpty();
    if (CapsSet(key) && !cap.norm.isCode && !cap.norm.text.isEmpty() && !cap.norm.dead
        && cap.shift.text == cap.norm.text.toUpper() && cap.shift.text != cap.norm.text) {
        cap.norm = {};
        cap.capitalOnly = true;
    }
    return cap;
}

QString PictureTitle(const QString &layoutPath)
{
    const QString name = QFileInfo(layoutPath).fileName();
    return name.isEmpty() ? QStringLiteral("Untitled") : name;
}

QSizeF KeyboardPictureSize()
{
    const QRect bounds = KeyboardBounds();
    return QSizeF(2 * Margin + bounds.width() * Scale,
                  2 * Margin + TitleHeight + bounds.height() * Scale + LegendGap + LegendHeight);
}

void PaintKeyboardPicture(QPainter &painter, const KeyTableArray &table, const QString &title)
{
    painter.save();
    const QSizeF size = KeyboardPictureSize();
    // White paper, also under a dark page or viewer.
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);

    const QFont titleFont = PictureFont(TitlePixels, true);
    painter.setFont(titleFont);
    painter.setPen(QColor(Ink));
    painter.drawText(QPointF(Margin, Margin + QFontMetricsF(titleFont).ascent()), CleanTitle(title));

    // The ISO key only when the layout puts something on it: else the picture is the one
    // of a keyboard without it.
    const bool isoKey = IsoKeyUsed(table);
    for (const FixedKeyLabel &label : FixedKeyLabelsFor(isoKey))
        DrawFixedKey(painter, label);
    bool deadKeys = false;
    for (int number = 1, keys = UsedKeyCount(table); number <= keys; ++number) {
        const KeyCap cap = KeyCapOf(KeyByNumber(table, number));
        DrawKeyCap(painter, number, cap);
        deadKeys = deadKeys || cap.shift.dead || cap.norm.dead || cap.altgrShift.dead || cap.altgr.dead;
    }

    DrawLegend(painter, size.height() - Margin - QFontMetricsF(PictureFont(LegendPixels)).descent(),
               deadKeys);
    painter.restore();
}

std::optional<PictureFormat> PictureFormatNamed(const QString &name)
{
    for (PictureFormat format : {PictureFormat::Svg, PictureFormat::Png, PictureFormat::Pdf}) {
        if (name == PictureSuffix(format))
            return format;
    }
    return std::nullopt;
}

QString PictureSuffix(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Svg:
        return QStringLiteral("svg");
    case PictureFormat::Png:
        return QStringLiteral("png");
    case PictureFormat::Pdf:
        return QStringLiteral("pdf");
    }
    Q_UNREACHABLE();
}

QByteArray KeyboardPictureBytes(const KeyTableArray &table, const QString &title,
                                PictureFormat format)
{
    switch (format) {
    case PictureFormat::Svg:
        return SvgBytes(table, title);
    case PictureFormat::Png:
        return PngBytes(table, title);
    case PictureFormat::Pdf:
        return PdfBytes(table, title);
    }
    Q_UNREACHABLE();
}

void SaveKeyboardPicture(const KeyTableArray &table, const QString &title, PictureFormat format,
                         const QString &path)
{
    WriteFileAtomically(path, KeyboardPictureBytes(table, title, format), WriteFailure::SystemError);
}
