#include "editorwindow.h"

#include "chartablewindow.h"
#include "desktopsession.h"
#include "fileformats.h"
#include "formatdialogs.h"
#include "keyboardgeometry.h"
#include "keyboardpanel.h"
#include "keyboardpicture.h"
#include "keycell.h"
#include "keyedit.h"
#include "keyhint.h"
#include "keyviews.h"
#include "klcdialog.h"
#include "klcimport.h"
#include "layoutxml.h"
#include "operation.h"
#include "operationerror.h"
#include "trywindow.h"
#include "ukbfile.h"
#include "userinstall.h"
#include "xkbimport.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>

namespace {

// The row of FileFormats() of that name.
const FileFormat &FormatNamed(QStringView name)
{
    const FileFormat *format = FileFormatNamed(name);
    Q_ASSERT(format);
    return *format;
}

} // namespace

TForm1::TForm1(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ApplicationTitleAndVersion);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(570, 304);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Panel1 = new KeyboardPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(rect());
    // clActiveBorder: the frame colour of an active window, the palette's window colour here.
    Panel1->setBackgroundRole(QPalette::Window);
    Panel1->setAutoFillBackground(true);

    buildKeyboard();
    buildShiftStateGroup();
    buildPopupMenu();

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    ClearKeyTable(KeyTable);
    LoadDefaults(KeyTable);
    drawKeyView(1, 1, 0);
}

void TForm1::buildKeyboard()
{
    QFont keyFont(QStringLiteral("Courier New"));
    keyFont.setPixelSize(13);
    keyFont.setBold(true);
    for (int number = 1; number <= KeyCount; ++number) {
        KeyCell *cell = Panel1->addCell(QStringLiteral("TntStaticText%1").arg(number),
                                        KeyCellRect(number),
                                        KeyCellColour(number, palette().color(QPalette::ToolTipBase)),
                                        keyFont, QFrame::Raised);
        if (number != SpaceKey) {
            cell->setTakesPresses(true);
            connect(cell, &KeyCell::mousePressed, this,
                    [this, number] { RunOperation(this, [this, number] { EditKey(number); }); });
        }
        m_cells[number - 1] = cell;
    }
    const QFont labelFont(QStringLiteral("MS Sans Serif"), 8);
    const QColor labelColour = palette().color(QPalette::Light);  // clBtnHighlight
    int number = KeyCount + 1;
    for (const FixedKeyLabel &fixed : FixedKeyLabels) {
        KeyCell *label = Panel1->addCell(QStringLiteral("TntStaticText%1").arg(number++),
                                         fixed.rect(),
                                         labelColour, labelFont, QFrame::Sunken);
        label->setCaption(QString::fromLatin1(fixed.caption));
    }
}

void TForm1::buildShiftStateGroup()
{
    GroupBox1 = new QGroupBox(QStringLiteral("Shift State"), Panel1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(45, 231, 373, 61);

    const auto radio = [this](QRadioButton *&button, const char *name, const QString &caption,
                              int left, int top, int width, void (TForm1::*handler)()) {
        button = new QRadioButton(caption, GroupBox1);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(left, top, width, 17);
        // Runs for clicks and for checks made by the program; unchecking runs nothing.
        connect(button, &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                (this->*handler)();
        });
    };
    radio(RB15, "RB15", QStringLiteral("Shift"), 18, 18, 75, &TForm1::RB15Click);
    radio(RB10, "RB10", QStringLiteral("Norm"), 18, 36, 75, &TForm1::RB10Click);
    radio(RB25, "RB25", QStringLiteral("AltGr - Shift"), 96, 18, 90, &TForm1::RB25Click);
    radio(RB20, "RB20", QStringLiteral("Alt Gr"), 96, 36, 90, &TForm1::RB20Click);
    radio(RB35, "RB35", QStringLiteral("Ctrl - Shift"), 189, 18, 90, &TForm1::RB35Click);
    radio(RB30, "RB30", QStringLiteral("Ctrl"), 189, 36, 90, &TForm1::RB30Click);

    CB20 = new QCheckBox(QStringLiteral("Caps Lock"), GroupBox1);
    CB20->setObjectName(QStringLiteral("CB20"));
    CB20->setGeometry(285, 18, 80, 17);
    CB10 = new QCheckBox(QStringLiteral("Double"), GroupBox1);
    CB10->setObjectName(QStringLiteral("CB10"));
    CB10->setGeometry(285, 36, 80, 17);

    // Initial states are set before the handlers are connected: FormCreate draws the view.
    RB10->blockSignals(true);
    RB10->setChecked(true);
    RB10->blockSignals(false);
    CB10->setChecked(true);
    connect(CB10, &QCheckBox::toggled, this, &TForm1::CB10Click);
    connect(CB20, &QCheckBox::toggled, this, &TForm1::CB20Click);
}

void TForm1::buildPopupMenu()
{
    PM1 = new QMenu(this);
    PM1->setObjectName(QStringLiteral("PM1"));
    const auto item = [this](const char *name, const QString &caption, void (TForm1::*handler)()) {
        QAction *action = PM1->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        // Queued, so that the operation and its dialogs run straight from the event loop,
        // once the menu has closed.
        connect(action, &QAction::triggered, this,
                [this, handler] { RunOperation(this, [this, handler] { (this->*handler)(); }); },
                Qt::QueuedConnection);
    };
    item("loadukb1", QStringLiteral("load   *.ukb"), &TForm1::loadukb1Click);
    item("saveukb1", QStringLiteral("save  *.ukb"), &TForm1::saveukb1Click);
    PM1->addSeparator()->setObjectName(QStringLiteral("N1"));
    item("saveasXML1", QStringLiteral("save as   *.layout"), &TForm1::saveasXML1Click);
    item("saveaslayout3041", QStringLiteral("save as   *.layout (new)"), &TForm1::saveaslayout3041Click);
    item("saveasklc1", QStringLiteral("save as   *.klc"), &TForm1::saveasklc1Click);
    item("saveasxkb1", QStringLiteral("save as   *.xkb"), &TForm1::saveasxkb1Click);
    item("saveassvg1", QStringLiteral("save as   *.svg"), &TForm1::saveassvg1Click);
    item("saveaspng1", QStringLiteral("save as   *.png"), &TForm1::saveaspng1Click);
    item("saveaspdf1", QStringLiteral("save as   *.pdf"), &TForm1::saveaspdf1Click);
    item("importsystemlayout1", QStringLiteral("import   system layout"), &TForm1::importsystemlayout1Click);
    item("importklc1", QStringLiteral("import   *.klc"), &TForm1::importklc1Click);
    PM1->addSeparator()->setObjectName(QStringLiteral("NTry"));
    item("trylayout1", QStringLiteral("try"), &TForm1::trylayout1Click);
    item("installforuser1", QStringLiteral("install for this user"), &TForm1::installforuser1Click);
    item("uninstall1", QStringLiteral("uninstall"), &TForm1::uninstall1Click);

    Panel1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Panel1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PM1->popup(Panel1->mapToGlobal(pos)); });
}

QRadioButton *TForm1::radioOf(int state) const
{
    const std::array<QRadioButton *, 6> buttons = {RB10, RB15, RB20, RB25, RB30, RB35};
    return buttons[state - 1];
}

void TForm1::RefreshKeys()
{
    ShiftStateSelection selection;
    for (int state = 1; state <= 6; ++state)
        selection.radioChecked[state - 1] = radioOf(state)->isChecked();
    selection.doubleView = CB10->isChecked();
    selection.capsLockView = CB20->isChecked();
    KeyCaptions captions;
    RefreshCaptions(KeyTable, captions, selection);
    for (int i = 0; i < KeyCount; ++i)
        m_cells[i]->setCaption(captions[i]);
}

void TForm1::drawKeyView(int state, int dbl, int caps)
{
    KeyCaptions captions;
    for (int i = 0; i < KeyCount; ++i)
        captions[i] = m_cells[i]->caption();
    ShowKeys(KeyTable, captions, state, dbl, caps);
    for (int i = 0; i < KeyCount; ++i)
        m_cells[i]->setCaption(captions[i]);
}

// Handlers of the "Shift State" group; each runs after its control took its new state.

void TForm1::radioClicked(QRadioButton *button)
{
    if (button->isChecked() && CB20->isChecked())
        CB20->setChecked(false);
    RefreshKeys();
}

void TForm1::RB10Click() { radioClicked(RB10); }
void TForm1::RB15Click() { radioClicked(RB15); }
void TForm1::RB20Click() { radioClicked(RB20); }
void TForm1::RB25Click() { radioClicked(RB25); }
void TForm1::RB30Click() { radioClicked(RB30); }
void TForm1::RB35Click() { radioClicked(RB35); }

void TForm1::CB10Click()
{
    if (CB10->isChecked() && CB20->isChecked())
        CB20->setChecked(false);
    RefreshKeys();
}

void TForm1::CB20Click()
{
    if (CB20->isChecked()) {
        if (CB10->isChecked())
            CB10->setChecked(false);
        for (int state = 1; state <= 6; ++state) {
            QRadioButton *button = radioOf(state);
            if (button->isChecked()) {
                // An auto-exclusive radio button cannot be unchecked while it is the
                // checked one of its group.
                button->setAutoExclusive(false);
                button->setChecked(false);
                button->setAutoExclusive(true);
            }
        }
    }
    RefreshKeys();
}

void TForm1::keyPressEvent(QKeyEvent *event)
{
    // The editor has no keyboard commands.
    event->accept();
}

// Popup menu handlers: each only calls its operation.

void TForm1::loadukb1Click() { LoadUkb(); }
void TForm1::saveukb1Click() { SaveUkb(); }
void TForm1::saveasXML1Click() { exportAs(u"layout"); }
void TForm1::saveaslayout3041Click() { exportLayoutNew(); }
void TForm1::saveasklc1Click() { SaveKlc(); }
void TForm1::saveasxkb1Click() { exportAs(u"xkb"); }
void TForm1::saveassvg1Click() { exportAs(u"svg"); }
void TForm1::saveaspng1Click() { exportAs(u"png"); }
void TForm1::saveaspdf1Click() { exportAs(u"pdf"); }
void TForm1::trylayout1Click() { TryLayout(); }
void TForm1::installforuser1Click() { InstallForUser(); }
void TForm1::uninstall1Click() { UninstallForUser(); }
void TForm1::importsystemlayout1Click() { ImportSystemLayout(); }
void TForm1::importklc1Click() { ImportKlc(); }

// ---- Key editing -------------------------------------------------------------------

TForm2 *TForm1::charTable()
{
    // Not made with the editor: the window shows sooner and needs less memory without it.
    if (!m_charTable)
        m_charTable = new TForm2(this);
    return m_charTable;
}

void TForm1::EditKey(int number)
{
    TForm2 *table = charTable();
    table->setKeyEdit(KeyEditOf(KeyByNumber(KeyTable, number)));
    if (table->exec() == QDialog::Accepted)
        StoreKey(number);
}

void TForm1::StoreKey(int number)
{
    s_key &key = KeyByNumber(KeyTable, number);
    const s_key before = key;
    StoreKeyEdit(m_charTable->keyEdit(), key);
    keyCell(number)->setHint(BuildKeyHint(key));
    // The edited cell is drawn in the view the "Shift State" group shows, like all others.
    RefreshKeys();
    if (key != before) {
        setLayoutModified(true);
        Q_EMIT keyTableChanged();
    }
}

// ---- UKB file ----------------------------------------------------------------------

void TForm1::LoadUkb()
{
    if (!settleUnsavedChanges())
        return;
    if (!RunFormatFileDialog(this, OD1, FileDialogSettings::Mode::Open, FormatNamed(u"ukb")))
        return;
    LoadUkbFile(OD1.fileName);
}

void TForm1::LoadUkbFile(const QString &path)
{
    OD1.fileName = path;
    // Read and parse in full first: a file that cannot be read changes nothing.
    UkbContent content = ReadUkbFile(path);
    TntMemo1 = std::move(content.lines);
    for (const KeyHint &hint : ApplyUkb(KeyTable, content))
        keyCell(hint.number)->setHint(hint.hint);
    RefreshKeys();
    setLayoutModified(false);
    m_layoutName = OD1.fileName;
    Q_EMIT keyTableChanged();
    m_importedKlcProperties.reset();
}

void TForm1::SaveUkb()
{
    saveUkbAsChosen();
}

bool TForm1::saveUkbAsChosen()
{
    const FileFormat &format = FormatNamed(u"ukb");
    if (!RunFormatFileDialog(this, SD1, FileDialogSettings::Mode::Save, format))
        return false;
    const QString path = SD1.fileName;
    // The line buffer holds the file's lines also when the write fails.
    TntMemo1 = UkbLines(KeyTable);
    format.save(KeyTable, ExportOptions(), path);
    setLayoutModified(false);
    m_layoutName = path;
    Dialogs().showMessage(this, SavedMessage(format, path));
    return true;
}

bool TForm1::settleUnsavedChanges()
{
    if (!isLayoutModified())
        return true;
    const SaveChangesAnswer answer = Dialogs().askSaveChanges(
        this, QStringLiteral("The layout has unsaved changes. Save them first?"));
    switch (answer) {
    case SaveChangesAnswer::Save:
        return saveUkbAsChosen();
    case SaveChangesAnswer::Discard:
        return true;
    case SaveChangesAnswer::Cancel:
        return false;
    }
    return false;
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // A failed save keeps the window, and with it the edits.
    bool close = false;
    RunOperation(this, [&] { close = settleUnsavedChanges(); });
    if (close)
        event->accept();
    else
        event->ignore();
}

// ---- Exports through the save dialog ------------------------------------------------

void TForm1::exportAs(QStringView formatName)
{
    const FileFormat &format = FormatNamed(formatName);
    if (!RunFormatFileDialog(this, SD1, FileDialogSettings::Mode::Save, format))
        return;
    ExportOptions options;
    options.title = PictureTitle(m_layoutName);
    format.save(KeyTable, options, SD1.fileName);
    Dialogs().showMessage(this, SavedMessage(format, SD1.fileName));
}

void TForm1::exportLayoutNew()
{
    // The types are set before the dialog and stay set when it is cancelled.
    SetKeyTypes(KeyTable);
    exportAs(u"layout-new");
}

// ---- KLC export --------------------------------------------------------------------

void TForm1::SaveKlc()
{
    TntMemo1.clear();
    // The dialog lives for this export only: a stack object, so it goes also when the
    // save below throws, and the next export starts again from the default texts.
    TForm3 dialog(this);
    if (m_importedKlcProperties)
        dialog.setProperties(*m_importedKlcProperties);
    dialog.exec();
    if (!dialog.isAccepted())
        return;
    ExportOptions options;
    options.klc = dialog.properties();
    TntMemo1 = KlcLines(KeyTable, options.klc);
    // Relative to the process's current directory; the error names it the same way.
    const QString fileName = KlcFileName(options.klc.name);
    FormatNamed(u"klc").save(KeyTable, options, fileName);
    Dialogs().showMessage(this, QStringLiteral("Save  ") + fileName);
}

// ---- Trying and installing the layout ----------------------------------------------

void TForm1::TryLayout()
{
    if (!m_tryWindow) {
        m_tryWindow = new TryWindow(KeyTable, this);
        connect(this, &TForm1::keyTableChanged, m_tryWindow, &TryWindow::rebuild);
        connect(m_tryWindow, &TryWindow::keyTyped, this, &TForm1::highlightKey);
    }
    m_tryWindow->show();
    m_tryWindow->raise();
    m_tryWindow->activateWindow();
}

void TForm1::highlightKey(int number)
{
    for (int i = 0; i < KeyCount; ++i)
        m_cells[i]->setHighlighted(i + 1 == number);
}

void TForm1::InstallForUser()
{
    ::InstallForThisUser(this, KeyTable);
}

void TForm1::UninstallForUser()
{
    ::UninstallForThisUser(this);
}

// ---- Imports: a layout of the XKB database or a KLC file replaces the layout, as a load does

void TForm1::ImportSystemLayout()
{
    if (!settleUnsavedChanges())
        return;
    const QList<XkbLayoutInfo> layouts = XkbRegistryLayouts(XkbLayoutSource::SystemAndUser);
    if (layouts.isEmpty())
        throw OperationError(QStringLiteral("The list of XKB layouts cannot be read"));
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
    for (const KeyHint &hint : ApplyLayoutImport(KeyTable, imported.table))
        keyCell(hint.number)->setHint(hint.hint);
    RefreshKeys();
    // Nothing on disk holds the imported layout yet.
    setLayoutModified(true);
    Q_EMIT keyTableChanged();
    if (!imported.report.isEmpty()) {
        const qsizetype count = imported.report.count();
        const QString what = count == 1 ? QStringLiteral("1 thing") : QStringLiteral("%1 things").arg(count);
        Dialogs().showReport(this,
                             QStringLiteral("%1 is imported. %2 could not be carried and %3 left out; "
                                            "the details list them.")
                                 .arg(source, what, QLatin1String(count == 1 ? "is" : "are")),
                             imported.report.lines());
    }
}
