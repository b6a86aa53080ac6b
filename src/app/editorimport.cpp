// The editor's imports: a layout of the system's XKB database or a KLC file replaces the
// layout being edited, as a load does.

#include "editorwindow.h"

#include "fileerror.h"
#include "keycell.h"
#include "klcimport.h"
#include "xkbimport.h"

void TForm1::ImportSystemLayout()
{
    if (!settleUnsavedChanges())
        return;
    const QList<XkbLayoutInfo> layouts = XkbRegistryLayouts(XkbLayoutSource::SystemAndUser);
    if (layouts.isEmpty())
        throw FileError(QStringLiteral("The list of XKB layouts cannot be read"));
    const std::optional<XkbLayoutInfo> chosen = Dialogs().chooseXkbLayout(this, layouts, SessionXkbLayout());
    if (!chosen)
        return;
    // Compile and read in full first: a layout that fails changes nothing.
    const LayoutImport imported = ImportXkbLayout(chosen->layout, chosen->variant);
    m_importedKlcProperties.reset();
    m_layoutName = chosen->fullName();
    applyImport(imported, chosen->fullName());
}

void TForm1::ImportKlc()
{
    if (!settleUnsavedChanges())
        return;
    m_klcImportDialog.mode = FileDialogSettings::Mode::Open;
    m_klcImportDialog.defaultSuffix = QStringLiteral("klc");
    m_klcImportDialog.filter = QStringLiteral("KLC (*.klc)");
    m_klcImportDialog.title = QStringLiteral("Import KLC");
    if (!Dialogs().runFileDialog(this, m_klcImportDialog))
        return;
    const KlcImport imported = ImportKlcFile(m_klcImportDialog.fileName);
    m_importedKlcProperties = imported.properties;
    // The picture is titled with the layout's name from the file's header.
    m_layoutName = imported.properties.name;
    applyImport(imported, m_klcImportDialog.fileName);
}

void TForm1::applyImport(const LayoutImport &imported, const QString &source)
{
    for (const UkbHint &hint : ApplyLayoutImport(KeyTable, imported.table))
        keyCell(hint.number)->setHint(hint.hint);
    RefreshKeys();
    // Nothing on disk holds the imported layout yet.
    setLayoutModified(true);
    Q_EMIT keyTableChanged();
    if (!imported.report.isEmpty()) {
        const qsizetype count = imported.report.size();
        const QString what = count == 1 ? QStringLiteral("1 thing") : QStringLiteral("%1 things").arg(count);
        Dialogs().showReport(this,
                             QStringLiteral("%1 is imported. %2 could not be carried and %3 left out; "
                                            "the details list them.")
                                 .arg(source, what, QLatin1String(count == 1 ? "is" : "are")),
                             imported.report);
    }
}
