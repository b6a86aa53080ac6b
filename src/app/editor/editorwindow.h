// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogseam.h"
#include "keytable.h"
#include "klcfile.h"
#include "layoutchange.h"
#include "layoutimport.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <optional>

class KeyCell;
class KeyboardPanel;
class QAction;
class QCheckBox;
class QGroupBox;
class QKeySequence;
class QMenu;
class QMenuBar;
class QRadioButton;
class QUndoStack;
class TForm2;
class TryWindow;

// The editor window: the keyboard picture of the KeyTable, the "Shift State" group that
// chooses what the cells show, the popup menu of file operations and the menu bar above
// the picture, whose items run the popup's handlers.
class TForm1 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // Redraws all key cells from the state of the "Shift State" group.
    void RefreshKeys();
    // Draws the cells through the view dispatcher ShowKeys: state 0 to 6, dbl and caps 0 or 1.
    void drawKeyView(int state, int dbl, int caps);

    KeyCell *keyCell(int number) const { return m_cells[number - 1]; }

    // File and export operations started from the popup menu.
    void LoadUkb();
    void SaveUkb();
    // "Save": the UKB save to the file the layout was loaded from or last saved to, without a
    // dialog; with no such file, SaveUkb.
    void saveUkbToCurrentFile();
    // The file that "Save" writes; empty when there is none.
    const QString &ukbPath() const { return m_ukbPath; }
    // Exports in the named format of FileFormats(), the UKB and KLC formats aside: the save
    // dialog SD1 set up for it, the save, the confirmation.
    void exportAs(QStringView formatName);
    // The new .layout export, which sets the key types first.
    void exportLayoutNew();
    void SaveKlc();
    // The KLC export of the menu bar: as SaveKlc, but the save dialog asks where, offering
    // the name the KLC dialog gave.
    void exportKlcChoosingFile();
    // Loads a file of File > Open Recent; one that has gone leaves the list with a message.
    void openRecentFile(const QString &path);
    // Edit > Find Character: the character table for the key with the focus frame, its
    // search field ready.
    void findCharacter();
    void showAboutBox();
    void showHandbook();
    // The load once a file is chosen: reads the .ukb at path into the key table and
    // redraws. The open dialog offers path next, also after an OperationError, which changes
    // nothing else.
    void LoadUkbFile(const QString &path);
    // The non-modal window that types with the layout as it is now.
    void TryLayout();
    void InstallForUser();
    void UninstallForUser();
    // Highlights key cell 1 to 49 and no other; 0 highlights none.
    void highlightKey(int number);
    // Imports replace the layout like a load.
    void ImportSystemLayout();
    void ImportKlc();

    // The key edit exchange with the character table (keys 1 to 47 and the ISO key).
    void EditKey(int number);
    // The character table that EditKey shows, made hidden at its first use and kept: as the
    // editor's child it stays above the editor and goes with it.
    TForm2 *charTable();

    // Whether the key table holds edits that no UKB save or load has taken up yet: the
    // undo stack is away from the state last saved or loaded.
    bool isLayoutModified() const;
    void setLayoutModified(bool modified);

    // The whole layout, by value, and its return: the two ends of every undo step.
    LayoutSnapshot snapshot() const;
    void restore(const LayoutSnapshot &layout);
    // Records a change already made to the layout, from the snapshot taken before it, as one
    // undo step.
    void recordLayoutChange(const QString &what, const LayoutSnapshot &before);
    QUndoStack *undoStack() const { return m_undoStack; }
    QMenuBar *menuBar() const { return m_menuBar; }

    // Whether the ISO key's cell is shown: always while the layout uses the key, else as the
    // user chose through the "ISO key" item.
    bool isIsoKeyShown() const { return m_isoKeyShown; }
    // Shows or hides the ISO key's cell. Hiding a key that holds something asks first and,
    // on Yes, empties the key as one undo step; on No the key stays shown.
    void showIsoKey(bool show);

public Q_SLOTS:
    void RB10Click();
    void RB15Click();
    void RB20Click();
    void RB25Click();
    void RB30Click();
    void RB35Click();
    void CB10Click();
    void CB20Click();

    void loadukb1Click();
    void saveukb1Click();
    void saveasXML1Click();
    void saveaslayout3041Click();
    void saveasklc1Click();
    void saveasxkb1Click();
    void saveassvg1Click();
    void saveaspng1Click();
    void saveaspdf1Click();
    void importsystemlayout1Click();
    void importklc1Click();
    void trylayout1Click();
    void installforuser1Click();
    void uninstall1Click();
    void isokey1Click();

Q_SIGNALS:
    // A key edit or a load changed the key table.
    void keyTableChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void buildKeyboard();
    void buildShiftStateGroup();
    void buildPopupMenu();
    void buildMenuBar();
    // Starts the handler as the popup's items do: queued, through RunOperation.
    void connectOperation(QAction *action, void (TForm1::*handler)());
    // A menu bar item that triggers the popup item of that name, and so runs its handler.
    QAction *addPopupItemTo(QMenu *menu, const QString &caption, const char *popupItem,
                            const QKeySequence &shortcut);
    QAction *addOperationTo(QMenu *menu, const QString &caption, const char *name,
                            void (TForm1::*handler)(), const QKeySequence &shortcut);
    void fillRecentMenu();
    // The UKB save to path, then the file is the one "Save" writes and the newest recent one.
    void saveUkbTo(const QString &path);
    void saveKlc(bool chooseFile);
    void radioClicked(QRadioButton *button);
    QRadioButton *radioOf(int state) const;
    void StoreKey(int number);
    // Shows or hides the ISO key's cell and sets the left Shift label's length to match.
    void setIsoKeyCellShown(bool shown);
    // The hint of the ISO key's cell from the key table, after a load or import.
    void refreshIsoKeyHint();
    // The UKB save; false when its dialog was cancelled. Throws OperationError.
    bool saveUkbAsChosen();
    // Asks about unsaved changes; true when the operation that asked may go on.
    bool settleUnsavedChanges();
    // Puts an imported table into the KeyTable, with hints and redraw, and shows what
    // was not carried.
    void applyImport(const LayoutImport &imported, const QString &source, const LayoutSnapshot &before);

    KeyboardPanel *Panel1 = nullptr;
    std::array<KeyCell *, TableKeyCount> m_cells{};
    KeyCell *m_leftShiftLabel = nullptr;
    QAction *m_isoKeyAction = nullptr;
    bool m_isoKeyShown = false;
    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *RB10 = nullptr;
    QRadioButton *RB15 = nullptr;
    QRadioButton *RB20 = nullptr;
    QRadioButton *RB25 = nullptr;
    QRadioButton *RB30 = nullptr;
    QRadioButton *RB35 = nullptr;
    QCheckBox *CB10 = nullptr;
    QCheckBox *CB20 = nullptr;
    QMenu *PM1 = nullptr;
    QMenuBar *m_menuBar = nullptr;
    QMenu *m_recentMenu = nullptr;
    QUndoStack *m_undoStack = nullptr;

    // The open dialog (UKB load) and the save dialog (UKB save and the exports but KLC).
    FileDialogSettings OD1;
    FileDialogSettings SD1;
    // The line buffer of the UKB file and the KLC export.
    QStringList TntMemo1;
    // The path of the UKB file last loaded or saved, the title of the layout's picture.
    QString m_layoutName;
    // The UKB file the layout was loaded from or last saved to; empty after an import.
    QString m_ukbPath;
    TForm2 *m_charTable = nullptr;
    TryWindow *m_tryWindow = nullptr;
    // The open dialog of the KLC import.
    FileDialogSettings m_klcImportDialog;
    // The save dialog of the menu bar's KLC export.
    FileDialogSettings m_klcExportDialog;
    // The header texts of the last imported KLC file: the KLC dialog starts from them.
    std::optional<KlcProperties> m_importedKlcProperties;
    // The languages the last import named (ISO 639): the install offers them.
    QStringList m_importedLanguages;
};
