// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartablewindow.h"

#include "chargridview.h"
#include "charsearchfield.h"
#include "chartablemodel.h"
#include "characterfield.h"
#include "deadkeybox.h"
#include "codetext.h"
#include "dialogseam.h"
#include "keytexts.h"
#include "textcolour.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleHints>

namespace {

constexpr QRgb clCream = qRgb(255, 251, 240);

constexpr int CellWidth = 24;
constexpr int CellHeight = 25;

// Radio button captions, index s-1 for ShiftState s.
const char *const StateCaptions[] = {
    "normal", "Shift", "AltGr", "AltGr - Shift", "Ctrl", "Ctrl - Shift",
};

QFont BoldPixelFont(int pixelSize)
{
    QFont font;
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

// The window's width without the dead-key box, and what the box adds.
constexpr int WidthWithoutDeadKeyBox = 857;
constexpr int DeadKeyBoxWidth = 238;

} // namespace

TForm2::TForm2(QWidget *parent)
    : QDialog(parent)
    , FD1(QStringLiteral("MS Sans Serif"), 8)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("CharTable"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(WidthWithoutDeadKeyBox, 419);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    buildControls();

    // Every key reaches FormKeyDown before the control that has the focus.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);

    FormCreate();
}

TForm2::~TForm2() = default;

void TForm2::buildControls()
{
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 4, 841, 389);

    GB2 = new QGroupBox(QStringLiteral("Font && Charset"), GroupBox1);
    GB2->setObjectName(QStringLiteral("GB2"));
    GB2->setGeometry(8, 10, 190, 44);
    RB11 = new QRadioButton(QStringLiteral(" Default "), GB2);
    RB11->setObjectName(QStringLiteral("RB11"));
    RB11->setGeometry(10, 20, 85, 17);
    RB22 = new QRadioButton(QStringLiteral(" UCS-2 "), GB2);
    RB22->setObjectName(QStringLiteral("RB22"));
    RB22->setGeometry(100, 20, 80, 17);
    // Explicit groups: radio buttons left to themselves would form one group with every
    // radio button below their parent, GB2's included.
    auto *charSets = new QButtonGroup(this);
    charSets->addButton(RB11);
    charSets->addButton(RB22);
    // Checked before the handlers are connected: the start needs no font dialog.
    RB11->setChecked(true);
    connect(RB11, &QRadioButton::toggled, this, [this](bool checked) { if (checked) RB11Click(); });
    connect(RB22, &QRadioButton::toggled, this, [this](bool checked) { if (checked) RB22Click(); });

    Label7 = new QLabel(GroupBox1);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setGeometry(260, 18, 320, 24);
    Label7->setTextFormat(Qt::PlainText);
    Label7->setAlignment(Qt::AlignCenter);
    Label7->setFont(BoldPixelFont(16));

    // The search takes the free room right of the name line.
    SearchEdit = new CharSearchField(GroupBox1);
    SearchEdit->setGeometry(592, 19, 242, 24);
    connect(SearchEdit, &CharSearchField::characterChosen, this, &TForm2::SearchEditPick);

    m_gridModel = new CharTableModel(this);
    TntSG1 = new CharGridView(GroupBox1);
    TntSG1->setObjectName(QStringLiteral("TntSG1"));
    TntSG1->setGeometry(8, 62, 826, 190);
    TntSG1->setModel(m_gridModel);
    TntSG1->horizontalHeader()->hide();
    TntSG1->verticalHeader()->hide();
    TntSG1->horizontalHeader()->setMinimumSectionSize(1);
    TntSG1->verticalHeader()->setMinimumSectionSize(1);
    TntSG1->horizontalHeader()->setDefaultSectionSize(CellWidth);
    TntSG1->verticalHeader()->setDefaultSectionSize(CellHeight);
    TntSG1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    TntSG1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    TntSG1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TntSG1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(TntSG1, &CharGridView::cellSelected, this, &TForm2::TntSG1SelectCell);

    CB1 = new QCheckBox(QStringLiteral("Caps Lock"), GroupBox1);
    CB1->setObjectName(QStringLiteral("CB1"));
    CB1->setGeometry(16, 258, 90, 17);

    buildStates(GroupBox1);

    Button1 = new QPushButton(QStringLiteral("OK"), GroupBox1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(740, 320, 80, 25);
    // Enter goes to the focused control, as every key but Escape does.
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);

    // The dead-key box stands right of the other controls, shown only while the key has a
    // dead state or the popup's "dead key" asked for it.
    m_deadBox = new DeadKeyBox(this);
    m_deadBox->setGeometry(WidthWithoutDeadKeyBox, 4, 230, 389);
    m_deadBox->hide();
    connect(m_deadBox, &DeadKeyBox::fillRequested, this, &TForm2::fillDeadKeyFromUnicode);
    m_popup = new QMenu(this);
    m_deadKeyItem = m_popup->addAction(QStringLiteral("dead key"));
    m_deadKeyItem->setObjectName(QStringLiteral("deadkey1"));
    m_deadKeyItem->setCheckable(true);
    connect(m_deadKeyItem, &QAction::triggered, this, [this](bool checked) {
        showDeadKeyBox(true);
        m_deadBox->setDead(checked);
    });

    Label8 = new QLabel(ApplicationTitleAndVersion + QStringLiteral("  \u00A9  the Tavo developers"), this);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setTextFormat(Qt::PlainText);
    Label8->setGeometry(8, 397, 841, 16);
    Label8->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TForm2::buildStates(QWidget *box)
{
    // Three pairs from left to right, the shifted state above the plain one:
    // Shift over normal, AltGr - Shift over AltGr, Ctrl - Shift over Ctrl.
    const QFont fieldFont = BoldPixelFont(16);
    auto *states = new QButtonGroup(this);
    for (int state = 1; state <= 6; ++state) {
        const int left = 16 + 220 * ((state - 1) / 2);
        const int top = state % 2 == 0 ? 282 : 316;
        const int i = state - 1;

        auto *code = new QLabel(box);
        code->setObjectName(QStringLiteral("Label%1").arg(state));
        code->setTextFormat(Qt::PlainText);
        code->setGeometry(left, top + 6, 40, 16);
        m_codeFields[i] = code;

        auto *field = new CharacterField(box);
        field->setObjectName(QStringLiteral("TntLabel%1").arg(state));
        field->setGeometry(left + 44, top, 25, 28);
        field->setFont(fieldFont);
        QPalette palette = field->palette();
        palette.setColor(QPalette::Window, QColor(clCream));
        palette.setColor(QPalette::WindowText, ReadableTextColour(QColor(clCream), palette));
        field->setPalette(palette);
        connect(field, &CharacterField::mousePressed, this,
                [this, state](Qt::MouseButton button) { TntLabelMouseDown(state, button); });
        m_charFields[i] = field;

        auto *button = new QRadioButton(QString::fromLatin1(StateCaptions[i]), box);
        button->setObjectName(QStringLiteral("RB%1").arg(state));
        button->setGeometry(left + 76, top + 5, 110, 17);
        states->addButton(button, state);
        connect(button, &QRadioButton::toggled, this, [this, state](bool checked) {
            if (checked)
                m_deadBox->showState(state);
        });
        m_stateButtons[i] = button;
    }
}

void TForm2::FormCreate()
{
    FillGrid();
    TntSG1->setCurrentIndex(m_gridModel->index(0, 0));
    m_stateButtons[0]->setChecked(true);
    for (CharacterField *field : m_charFields)
        field->setText(QStringLiteral(" "));
    for (QLabel *code : m_codeFields)
        code->clear();
}

void TForm2::setKeyEdit(const KeyEdit &edit)
{
    Label7->setText(edit.name);
    for (int i = 0; i < 6; ++i) {
        m_codeFields[i]->setText(edit.codes[i]);
        m_charFields[i]->setText(edit.chars[i]);
    }
    CB1->setChecked(edit.caps);
    m_deadBox->setDeadKeys(edit.dead);
    showDeadKeyBox(std::any_of(edit.dead.begin(), edit.dead.end(), [](const auto &dead) { return dead.has_value(); }));
}

bool TForm2::isDeadKeyBoxShown() const
{
    return !m_deadBox->isHidden();
}

void TForm2::showDeadKeyBox(bool shown)
{
    m_deadBox->setVisible(shown);
    setFixedSize(shown ? WidthWithoutDeadKeyBox + DeadKeyBoxWidth : WidthWithoutDeadKeyBox, height());
}

void TForm2::contextMenuEvent(QContextMenuEvent *event)
{
    // A right click on a state's character field empties the field; it opens no menu.
    if (qobject_cast<CharacterField *>(childAt(event->pos())))
        return;
    m_deadKeyItem->setChecked(m_deadBox->isDead());
    m_popup->popup(event->globalPos());
}

KeyEdit TForm2::keyEdit() const
{
    KeyEdit edit;
    edit.name = Label7->text();
    for (int i = 0; i < 6; ++i) {
        edit.codes[i] = m_codeFields[i]->text();
        edit.chars[i] = m_charFields[i]->text();
    }
    edit.caps = CB1->isChecked();
    edit.dead = m_deadBox->deadKeys();
    return edit;
}

void TForm2::setTypedCharacters(const QStringList &characters)
{
    m_typedCharacters = characters;
}

void TForm2::fillDeadKeyFromUnicode()
{
    const int state = selectedState();
    if (state == 0)
        return;
    // The key's own characters count as typed too, edited or not.
    QStringList bases = m_typedCharacters;
    for (const CharacterField *field : m_charFields)
        bases.append(ShownKeyText(TrimKeyText(field->text())));
    m_deadBox->fillFromUnicode(TrimKeyText(m_charFields[state - 1]->text()), bases);
}

void TForm2::SearchEditPick(char32_t code)
{
    const int state = selectedState();
    if (state == 0)
        return;
    const CharacterPick pick = PickCharacter(CodePointText(code));
    if (m_deadBox->pick(pick.character))
        return;
    m_charFields[state - 1]->setText(pick.character);
    m_codeFields[state - 1]->setText(pick.code);
    if (code > 0xFFFF)
        return;
    // Current and selected, like a clicked cell, when the grid shows the character.
    const QModelIndex cell = m_gridModel->indexOfCode(CellCodeOf(QChar(char16_t(code)), m_gridModel->charSet()));
    if (cell.isValid()) {
        TntSG1->setCurrentIndex(cell);
        TntSG1->scrollTo(cell, QAbstractItemView::PositionAtCenter);
    }
}

void TForm2::FillGrid()
{
    // The model computes each cell from its code, so a fill only tells the view which
    // character set the cells now come from.
    m_gridModel->setCharSet(RB11->isChecked() ? CharSet::Default : CharSet::Ucs2);
}

void TForm2::ChooseGridFont()
{
    const std::optional<QFont> chosen = Dialogs().chooseFont(this, FD1);
    if (!chosen)
        return;
    FD1 = *chosen;
    TntSG1->setFont(*chosen);
    QFont fieldFont = *chosen;
    fieldFont.setPointSize(12);
    fieldFont.setBold(true);
    fieldFont.setItalic(false);
    fieldFont.setUnderline(false);
    fieldFont.setStrikeOut(false);
    for (CharacterField *field : m_charFields)
        field->setFont(fieldFont);
    FillGrid();
}

int TForm2::selectedState() const
{
    for (int state = 1; state <= 6; ++state) {
        if (m_stateButtons[state - 1]->isChecked())
            return state;
    }
    return 0;
}

void TForm2::TntSG1SelectCell(const QModelIndex &index)
{
    const int state = selectedState();
    if (state == 0 || !index.isValid())
        return;
    const int code = index.data(CharTableModel::CodeRole).toInt();
    const CharacterPick pick = PickCharacter(CellText(code, m_gridModel->charSet()));
    if (m_deadBox->pick(pick.character))
        return;
    m_charFields[state - 1]->setText(pick.character);
    m_codeFields[state - 1]->setText(pick.code);
}

void TForm2::TntLabelMouseDown(int state, Qt::MouseButton button)
{
    const int i = state - 1;
    switch (button) {
    case Qt::RightButton:
        m_charFields[i]->setText(QString());
        m_codeFields[i]->clear();
        break;
    case Qt::LeftButton:
        m_stateButtons[i]->setChecked(true);
        m_stateButtons[i]->setFocus(Qt::MouseFocusReason);
        break;
    default:
        break;
    }
}

void TForm2::RB11Click() { ChooseGridFont(); }
void TForm2::RB22Click() { ChooseGridFont(); }

void TForm2::Button1Click()
{
    // The next opening starts with "normal" selected; accepting also hides the window.
    m_stateButtons[0]->setChecked(true);
    accept();
}

bool TForm2::FormKeyDown(int key)
{
    if (key == Qt::Key_Escape) {
        // The first Escape closes an open search list, the next one the window.
        if (SearchEdit->isListShown())
            SearchEdit->hideList();
        else
            reject();
        return true;
    }
    return false;
}

void TForm2::setOpeningPress(Qt::MouseButton button, const QPoint &globalPos)
{
    m_openingButton = button;
    m_openingPos = globalPos;
    m_openedAt.start();
}

void TForm2::focusSearchField()
{
    SearchEdit->setFocus(Qt::ShortcutFocusReason);
    SearchEdit->selectAll();
}

void TForm2::showEvent(QShowEvent *event)
{
    m_droppedButtons = {};
    QDialog::showEvent(event);
}

// The window opens on the first press of a double click on a key and covers the editor,
// so the second press lands on whatever lies under the pointer here: the grid would pick
// a character, a field would be cleared, Caps Lock toggled. The press that completes that
// double click (the same button, at the same place, within the double-click interval) is
// therefore dropped, with the rest of that press (its double click, moves and release);
// any other press, however quick, is the user's.
bool TForm2::dropsEarlyMouseEvent(const QMouseEvent &event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (event.type() == QEvent::MouseButtonDblClick && (m_droppedButtons & event.button()))
            return true;
        const QStyleHints *hints = QGuiApplication::styleHints();
        const QPoint moved = event.globalPosition().toPoint() - m_openingPos;
        const bool completesDoubleClick = m_openingButton != Qt::NoButton && event.button() == m_openingButton
            && m_openedAt.isValid() && m_openedAt.elapsed() < hints->mouseDoubleClickInterval()
            && moved.manhattanLength() <= hints->mouseDoubleClickDistance();
        // One press completes a double click.
        m_openingButton = Qt::NoButton;
        if (completesDoubleClick) {
            m_droppedButtons |= event.button();
            return true;
        }
        m_droppedButtons &= ~event.button();
        return false;
    }
    case QEvent::MouseMove:
        return (m_droppedButtons & event.buttons()) != 0;
    case QEvent::MouseButtonRelease:
        if (!(m_droppedButtons & event.button()))
            return false;
        m_droppedButtons &= ~event.button();
        return true;
    default:
        return false;
    }
}

bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != this)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        return FormKeyDown(static_cast<QKeyEvent *>(event)->key());
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        if (dropsEarlyMouseEvent(*static_cast<QMouseEvent *>(event)))
            return true;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}
