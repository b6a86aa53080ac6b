// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editorwindow.h"

#include "abouttavo.h"
#include "chartablewindow.h"
#include "deadpairs.h"
#include "desktopsession.h"
#include "dialogtitle.h"
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
#include "recentfiles.h"
#include "trywindow.h"
#include "ukbfile.h"
#include "userinstall.h"
#include "xkbimport.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QUndoStack>

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
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    m_undoStack = new QUndoStack(this);

    Panel1 = new KeyboardPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    // clActiveBorder: the frame colour of an active window, the palette's window colour here.
    Panel1->setBackgroundRole(QPalette::Window);
    Panel1->setAutoFillBackground(true);

    buildKeyboard();
    buildShiftStateGroup();
    buildPopupMenu();
    buildMenuBar();

    // The picture keeps its 570 by 304 directly under the menu bar.
    const int barHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, 570, barHeight);
    setFixedSize(570, 304 + barHeight);
    Panel1->setGeometry(0, barHeight, 570, 304);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Panel1->setFocus();

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
    const auto addKeyCell = [&](int number, const QString &name) {
        KeyCell *cell = Panel1->addCell(name, KeyCellRect(number),
                                        KeyCellColour(number, palette().color(QPalette::ToolTipBase)),
                                        keyFont, QFrame::Raised);
        if (number != SpaceKey) {
            cell->setTakesPresses(true);
            connect(cell, &KeyCell::mousePressed, this,
                    [this, number] { RunOperation(this, [this, number] { EditKey(number); }); });
        }
        m_cells[number - 1] = cell;
    };
    for (int number = 1; number <= KeyCount; ++number)
        addKeyCell(number, QStringLiteral("TntStaticText%1").arg(number));
    const QFont labelFont(QStringLiteral("MS Sans Serif"), 8);
    const QColor labelColour = palette().color(QPalette::Light);  // clBtnHighlight
    int number = KeyCount + 1;
    for (const FixedKeyLabel &fixed : FixedKeyLabels) {
        KeyCell *label = Panel1->addCell(QStringLiteral("TntStaticText%1").arg(number++),
                                         fixed.rect(),
                                         labelColour, labelFont, QFrame::Sunken);
        label->setCaption(QString::fromLatin1(fixed.caption));
    }
    m_leftShiftLabel = Panel1->findChild<KeyCell *>(QStringLiteral("TntStaticText%1").arg(KeyCount + 1 + LeftShiftLabel));
    // Last, so that the cells above keep their order; hidden until shown.
    addKeyCell(IsoKey, QStringLiteral("isoKeyCell"));
    keyCell(IsoKey)->setVisible(false);
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
        connectOperation(action, handler);
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
    PM1->addSeparator()->setObjectName(QStringLiteral("NIso"));
    item("isokey1", QStringLiteral("ISO key"), &TForm1::isokey1Click);
    m_isoKeyAction = PM1->findChild<QAction *>(QStringLiteral("isokey1"));
    m_isoKeyAction->setCheckable(true);

    Panel1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Panel1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PM1->popup(Panel1->mapToGlobal(pos)); });
}

void TForm1::connectOperation(QAction *action, void (TForm1::*handler)())
{
    // Queued, so that the operation and its dialogs run straight from the event loop,
    // once the menu has closed.
    connect(action, &QAction::triggered, this,
            [this, handler] { RunOperation(this, [this, handler] { (this->*handler)(); }); },
            Qt::QueuedConnection);
}

QAction *TForm1::addPopupItemTo(QMenu *menu, const QString &caption, const char *popupItem,
                                const QKeySequence &shortcut)
{
    QAction *popupAction = PM1->findChild<QAction *>(QString::fromLatin1(popupItem));
    Q_ASSERT(popupAction);
    QAction *action = menu->addAction(caption);
    action->setObjectName(QStringLiteral("menu_") + QString::fromLatin1(popupItem));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, popupAction, &QAction::trigger);
    return action;
}

QAction *TForm1::addOperationTo(QMenu *menu, const QString &caption, const char *name,
                                void (TForm1::*handler)(), const QKeySequence &shortcut)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    connectOperation(action, handler);
    return action;
}

void TForm1::buildMenuBar()
{
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("MenuBar"));
    // Inside the window on every desktop: the window's size is fixed around it.
    m_menuBar->setNativeMenuBar(false);
    const auto menu = [this](QMenu *parent, const char *name, const QString &caption) {
        QMenu *added = parent ? parent->addMenu(caption) : m_menuBar->addMenu(caption);
        added->setObjectName(QString::fromLatin1(name));
        return added;
    };

    QMenu *file = menu(nullptr, "menuFile", QStringLiteral("&File"));
    addPopupItemTo(file, QStringLiteral("&Open\u2026"), "loadukb1", QKeySequence::Open);
    m_recentMenu = menu(file, "menuRecent", QStringLiteral("Open &Recent"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &TForm1::fillRecentMenu);
    fillRecentMenu();
    addOperationTo(file, QStringLiteral("&Save"), "actionSave", &TForm1::saveUkbToCurrentFile,
                   QKeySequence(QStringLiteral("Ctrl+S")));
    addPopupItemTo(file, QStringLiteral("Save &As\u2026"), "saveukb1", QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    file->addSeparator();
    QMenu *import = menu(file, "menuImport", QStringLiteral("&Import"));
    addPopupItemTo(import, QStringLiteral("&System Layout\u2026"), "importsystemlayout1", {});
    addPopupItemTo(import, QStringLiteral("&KLC File\u2026"), "importklc1", {});
    QMenu *exports = menu(file, "menuExport", QStringLiteral("&Export"));
    addPopupItemTo(exports, QStringLiteral("&Layout (*.layout)\u2026"), "saveasXML1", {});
    addPopupItemTo(exports, QStringLiteral("Layout, &New (*.layout)\u2026"), "saveaslayout3041", {});
    addOperationTo(exports, QStringLiteral("&KLC (*.klc)\u2026"), "actionExportKlc",
                   &TForm1::exportKlcChoosingFile, {});
    addPopupItemTo(exports, QStringLiteral("&XKB (*.xkb)\u2026"), "saveasxkb1", {});
    addPopupItemTo(exports, QStringLiteral("&SVG (*.svg)\u2026"), "saveassvg1", {});
    addPopupItemTo(exports, QStringLiteral("&PNG (*.png)\u2026"), "saveaspng1", {});
    addPopupItemTo(exports, QStringLiteral("P&DF (*.pdf)\u2026"), "saveaspdf1", {});
    file->addSeparator();
    QAction *quit = file->addAction(QStringLiteral("&Quit"));
    quit->setObjectName(QStringLiteral("actionQuit"));
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    // Through closeEvent, which asks about unsaved changes.
    connect(quit, &QAction::triggered, this, &QWidget::close, Qt::QueuedConnection);

    QMenu *edit = menu(nullptr, "menuEdit", QStringLiteral("&Edit"));
    // Enabled while the stack has a step to take that way.
    const auto stackItem = [this, edit](const QString &caption, const char *name, const char *keys,
                                        void (QUndoStack::*step)(), void (QUndoStack::*can)(bool)) {
        QAction *action = edit->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        action->setEnabled(false);
        connect(action, &QAction::triggered, m_undoStack, step);
        connect(m_undoStack, can, action, &QAction::setEnabled);
    };
    stackItem(QStringLiteral("&Undo"), "actionUndo", "Ctrl+Z", &QUndoStack::undo, &QUndoStack::canUndoChanged);
    stackItem(QStringLiteral("&Redo"), "actionRedo", "Ctrl+Shift+Z", &QUndoStack::redo, &QUndoStack::canRedoChanged);
    edit->addSeparator();
    addOperationTo(edit, QStringLiteral("&Find Character\u2026"), "actionFindCharacter", &TForm1::findCharacter,
                   QKeySequence(QStringLiteral("Ctrl+F")));

    QMenu *layout = menu(nullptr, "menuLayout", QStringLiteral("&Layout"));
    addPopupItemTo(layout, QStringLiteral("&Try\u2026"), "trylayout1", QKeySequence(QStringLiteral("Ctrl+T")));
    addPopupItemTo(layout, QStringLiteral("&Install for This User\u2026"), "installforuser1", {});
    addPopupItemTo(layout, QStringLiteral("&Uninstall\u2026"), "uninstall1", {});
    layout->addSeparator();
    QAction *isoKey = addPopupItemTo(layout, QStringLiteral("&ISO Key"), "isokey1", {});
    isoKey->setCheckable(true);
    connect(m_isoKeyAction, &QAction::toggled, isoKey, &QAction::setChecked);

    QMenu *help = menu(nullptr, "menuHelp", QStringLiteral("&Help"));
    addOperationTo(help, QStringLiteral("Tavo &Handbook"), "actionHandbook", &TForm1::showHandbook,
                   QKeySequence(Qt::Key_F1));
    addOperationTo(help, QStringLiteral("&About Tavo"), "actionAbout", &TForm1::showAboutBox, {});
}

void TForm1::fillRecentMenu()
{
    m_recentMenu->clear();
    const QStringList files = RecentFiles::files();
    for (const QString &path : files) {
        QAction *action = m_recentMenu->addAction(QDir::toNativeSeparators(path));
        // The path as text: "&" in a file name is no mnemonic.
        action->setText(action->text().replace(u'&', QStringLiteral("&&")));
        connect(action, &QAction::triggered, this,
                [this, path] { RunOperation(this, [this, path] { openRecentFile(path); }); },
                Qt::QueuedConnection);
    }
    m_recentMenu->addSeparator();
    QAction *clear = m_recentMenu->addAction(QStringLiteral("&Clear List"));
    clear->setObjectName(QStringLiteral("actionClearRecent"));
    clear->setEnabled(!files.isEmpty());
    connect(clear, &QAction::triggered, this, [] { RecentFiles::clear(); });
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
    const KeyDeadLines deadLines = DeadCaptionLines(KeyTable, selection);
    for (int i = 0; i < TableKeyCount; ++i) {
        m_cells[i]->setCaption(captions[i]);
        m_cells[i]->setDeadLines(deadLines[i]);
    }
}

void TForm1::drawKeyView(int state, int dbl, int caps)
{
    KeyCaptions captions;
    for (int i = 0; i < TableKeyCount; ++i)
        captions[i] = m_cells[i]->caption();
    ShowKeys(KeyTable, captions, state, dbl, caps);
    for (int i = 0; i < TableKeyCount; ++i)
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
    // The editor's keyboard commands are its menu bar's shortcuts and the panel's keys.
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
void TForm1::isokey1Click() { showIsoKey(m_isoKeyAction->isChecked()); }
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
    if (Panel1->lastPressButton() != Qt::NoButton)
        table->setOpeningPress(Panel1->lastPressButton(), Panel1->lastPressGlobalPos());
    else
        table->setOpeningPress(Qt::NoButton, QPoint());
    table->setKeyEdit(KeyEditOf(KeyByNumber(KeyTable, number)));
    table->setTypedCharacters(TypedCharacters(KeyTable));
    if (table->exec() == QDialog::Accepted)
        StoreKey(number);
}

void TForm1::StoreKey(int number)
{
    const LayoutSnapshot before = snapshot();
    s_key &key = KeyByNumber(KeyTable, number);
    StoreKeyEdit(m_charTable->keyEdit(), key);
    keyCell(number)->setHint(BuildKeyHint(key));
    // The edited cell is drawn in the view the "Shift State" group shows, like all others.
    RefreshKeys();
    setIsoKeyCellShown(m_isoKeyShown || IsoKeyUsed(KeyTable));
    if (key != KeyByNumber(before.table, number)) {
        recordLayoutChange(QStringLiteral("Edit key"), before);
        Q_EMIT keyTableChanged();
    }
}

// ---- The ISO key ---------------------------------------------------------------------

void TForm1::showIsoKey(bool show)
{
    if (show || !IsoKeyUsed(KeyTable)) {
        setIsoKeyCellShown(show);
        return;
    }
    // The cell is the only way to the key's characters: a hidden key would keep, and
    // export, what the user can no longer see.
    const DialogTitle title(QStringLiteral("ISO Key"));
    if (!Dialogs().askYesNo(this, QStringLiteral("The ISO key holds characters. Clear them and hide the key?"))) {
        setIsoKeyCellShown(true);
        return;
    }
    const LayoutSnapshot before = snapshot();
    s_key &key = KeyByNumber(KeyTable, IsoKey);
    ClearKeyTexts(key);
    keyCell(IsoKey)->setHint(BuildKeyHint(key));
    setIsoKeyCellShown(false);
    RefreshKeys();
    recordLayoutChange(QStringLiteral("Clear ISO key"), before);
    Q_EMIT keyTableChanged();
}

void TForm1::setIsoKeyCellShown(bool shown)
{
    m_isoKeyShown = shown;
    KeyCell *cell = keyCell(IsoKey);
    cell->setVisible(shown);
    if (!shown && Panel1->currentCell() == cell)
        Panel1->setCurrentCell(keyCell(ZKey));
    m_leftShiftLabel->setGeometry(FixedKeyLabelsFor(shown)[LeftShiftLabel].rect());
    m_isoKeyAction->setChecked(shown);
}

void TForm1::refreshIsoKeyHint()
{
    keyCell(IsoKey)->setHint(BuildKeyHint(KeyByNumber(KeyTable, IsoKey)));
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
    const LayoutSnapshot before = snapshot();
    TntMemo1 = std::move(content.lines);
    for (const KeyHint &hint : ApplyUkb(KeyTable, content))
        keyCell(hint.number)->setHint(hint.hint);
    refreshIsoKeyHint();
    setIsoKeyCellShown(IsoKeyUsed(KeyTable));
    RefreshKeys();
    m_layoutName = OD1.fileName;
    m_importedKlcProperties.reset();
    m_importedLanguages.clear();
    recordLayoutChange(QStringLiteral("Open"), before);
    setLayoutModified(false);
    m_ukbPath = path;
    RecentFiles::add(path);
    Q_EMIT keyTableChanged();
}

void TForm1::SaveUkb()
{
    saveUkbAsChosen();
}

void TForm1::saveUkbToCurrentFile()
{
    if (m_ukbPath.isEmpty()) {
        SaveUkb();
        return;
    }
    saveUkbTo(m_ukbPath);
}

bool TForm1::saveUkbAsChosen()
{
    if (!RunFormatFileDialog(this, SD1, FileDialogSettings::Mode::Save, FormatNamed(u"ukb")))
        return false;
    saveUkbTo(SD1.fileName);
    return true;
}

void TForm1::saveUkbTo(const QString &path)
{
    const DialogTitle title(QStringLiteral("Save"));
    const FileFormat &format = FormatNamed(u"ukb");
    // The line buffer holds the file's lines also when the write fails.
    TntMemo1 = UkbLines(KeyTable);
    format.save(KeyTable, ExportOptions(), path);
    setLayoutModified(false);
    m_layoutName = path;
    m_ukbPath = path;
    RecentFiles::add(path);
    Dialogs().showMessage(this, SavedMessage(format, path, KeyTable));
}

void TForm1::openRecentFile(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        RecentFiles::remove(path);
        const DialogTitle title(QStringLiteral("Open Recent"));
        Dialogs().showMessage(this, QStringLiteral("%1 no longer exists; it is removed from the recent files.")
                                        .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!settleUnsavedChanges())
        return;
    LoadUkbFile(path);
}

bool TForm1::isLayoutModified() const
{
    return !m_undoStack->isClean();
}

void TForm1::setLayoutModified(bool modified)
{
    if (modified)
        m_undoStack->resetClean();
    else
        m_undoStack->setClean();
}

LayoutSnapshot TForm1::snapshot() const
{
    LayoutSnapshot layout;
    layout.table = KeyTable;
    for (int i = 0; i < TableKeyCount; ++i)
        layout.hints[i] = m_cells[i]->hint();
    layout.isoKeyShown = m_isoKeyShown;
    layout.layoutName = m_layoutName;
    layout.importedKlcProperties = m_importedKlcProperties;
    layout.importedLanguages = m_importedLanguages;
    return layout;
}

void TForm1::restore(const LayoutSnapshot &layout)
{
    KeyTable = layout.table;
    for (int i = 0; i < TableKeyCount; ++i)
        m_cells[i]->setHint(layout.hints[i]);
    setIsoKeyCellShown(layout.isoKeyShown || IsoKeyUsed(KeyTable));
    m_layoutName = layout.layoutName;
    m_importedKlcProperties = layout.importedKlcProperties;
    m_importedLanguages = layout.importedLanguages;
    RefreshKeys();
    Q_EMIT keyTableChanged();
}

void TForm1::recordLayoutChange(const QString &what, const LayoutSnapshot &before)
{
    m_undoStack->push(new LayoutChange(what, before, snapshot(),
                                       [this](const LayoutSnapshot &layout) { restore(layout); }));
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
    const DialogTitle title(QStringLiteral("Export"));
    ExportOptions options;
    options.title = PictureTitle(m_layoutName);
    format.save(KeyTable, options, SD1.fileName);
    Dialogs().showMessage(this, SavedMessage(format, SD1.fileName, KeyTable));
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
    saveKlc(false);
}

void TForm1::exportKlcChoosingFile()
{
    saveKlc(true);
}

void TForm1::saveKlc(bool chooseFile)
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
    QString fileName = KlcFileName(options.klc.name);
    if (chooseFile) {
        m_klcExportDialog.mode = FileDialogSettings::Mode::Save;
        m_klcExportDialog.defaultSuffix = QStringLiteral("klc");
        m_klcExportDialog.filter = QStringLiteral("KLC (*.klc)");
        m_klcExportDialog.title = QStringLiteral("Export KLC");
        // The folder chosen last, with the name the KLC dialog gave.
        const QString folder = m_klcExportDialog.fileName.isEmpty()
            ? QDir::currentPath() : QFileInfo(m_klcExportDialog.fileName).absolutePath();
        m_klcExportDialog.fileName = QDir(folder).filePath(fileName);
        if (!Dialogs().runFileDialog(this, m_klcExportDialog))
            return;
        fileName = m_klcExportDialog.fileName;
    }
    const DialogTitle title(QStringLiteral("Export"));
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
    for (int i = 0; i < TableKeyCount; ++i)
        m_cells[i]->setHighlighted(i + 1 == number);
}

void TForm1::InstallForUser()
{
    ::InstallForThisUser(this, KeyTable, m_importedLanguages);
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
    LayoutImport imported = ImportXkbLayout(chosen->layout, chosen->variant);
    imported.languages = XkbLayoutLanguages(layouts, chosen->layout, chosen->variant);
    const LayoutSnapshot before = snapshot();
    m_importedKlcProperties.reset();
    m_layoutName = chosen->fullName();
    applyImport(imported, chosen->fullName(), before);
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
    const LayoutSnapshot before = snapshot();
    m_importedKlcProperties = imported.properties;
    // The picture is titled with the layout's name from the file's header.
    m_layoutName = imported.properties.name;
    applyImport(imported, m_klcImportDialog.fileName, before);
}

void TForm1::applyImport(const LayoutImport &imported, const QString &source, const LayoutSnapshot &before)
{
    const DialogTitle title(QStringLiteral("Import"));
    for (const KeyHint &hint : ApplyLayoutImport(KeyTable, imported.table))
        keyCell(hint.number)->setHint(hint.hint);
    refreshIsoKeyHint();
    setIsoKeyCellShown(IsoKeyUsed(KeyTable));
    RefreshKeys();
    // Nothing on disk holds the imported layout yet, so "Save" asks where.
    m_importedLanguages = imported.languages;
    recordLayoutChange(QStringLiteral("Import"), before);
    m_ukbPath.clear();
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

// ---- Edit and Help menus ------------------------------------------------------------

void TForm1::findCharacter()
{
    KeyCell *current = Panel1->currentCell();
    const int index = current ? int(std::find(m_cells.begin(), m_cells.end(), current) - m_cells.begin()) : 0;
    // Once the modal table is up.
    QTimer::singleShot(0, charTable(), &TForm2::focusSearchField);
    EditKey(index < TableKeyCount ? index + 1 : 1);
}

void TForm1::showAboutBox()
{
    Dialogs().showAbout(this, QStringLiteral("About Tavo"), AboutTavoText());
}

void TForm1::showHandbook()
{
    OpenHandbook();
}
