// SPDX-FileCopyrightText: the Tavo developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A user's evdev.xml as text, and the entries the install merges into it. Every byte outside
// an entry stays as it was: the text is scanned for its markup, never written out again from
// a parse. A comment inside an entry marks it as Tavo's; an evdev.xml the install created
// carries a comment before its root, and a layout list it added one before its start tag.

// A layout that the rules text lists.
struct EvdevLayoutEntry {
    QString name;
    QString description;
    QString shortDescription;  // "ru", as a desktop's layout indicator shows it
    QStringList languages;     // ISO 639 codes, "rus"
    bool installedByTavo = false;
    QStringList createdFolders;  // "xkb/rules": the folders its install created, from Tavo's comment
    qsizetype begin = -1;        // of "<layout>"
    qsizetype end = -1;          // after "</layout>"
};

class EvdevRules
{
public:
    // Throws OperationError with why Tavo cannot use the text, worded to follow "Cannot use FILE: ".
    explicit EvdevRules(const QByteArray &text);

    // The evdev.xml an install creates, before its first entry goes in.
    static QByteArray newFileText();

    // The layouts of its layout lists, in the order of the text.
    const QList<EvdevLayoutEntry> &layouts() const { return m_layouts; }
    // The layout of that name, or null.
    const EvdevLayoutEntry *layout(const QString &name) const;
    bool createdByTavo() const { return m_createdByTavo; }

    // The text with Tavo's entry for the layout: in place of Tavo's earlier one (whose folders
    // it keeps naming), else first in the first layout list, else in a list of its own after
    // the model list. The entry takes the name, the descriptions and the languages of the
    // given one. Throws OperationError, worded as above, when someone else's layout has the
    // name or the only layout list is an empty element.
    QByteArray withLayout(const EvdevLayoutEntry &layout, QStringList createdFolders) const;

    // The text without Tavo's entry for the layout, and without the layout list Tavo added
    // when that is empty now; nothing when the file is Tavo's and lists nothing else. A
    // layout that is not Tavo's stays.
    std::optional<QByteArray> withoutLayout(const QString &name) const;

private:
    void analyse();

    QByteArray m_text;
    QList<EvdevLayoutEntry> m_layouts;
    qsizetype m_listStartTag = -1;   // "<layoutList>" of the first list with a start tag
    qsizetype m_listContent = -1;    // just after it
    qsizetype m_listEnd = -1;        // after its "</layoutList>"
    bool m_listHasChildren = false;  // elements or comments in it
    qsizetype m_listMarker = -1;     // Tavo's list comment just before its start tag
    bool m_emptyList = false;        // a "<layoutList/>"
    qsizetype m_rootStartTag = -1;
    qsizetype m_rootContent = -1;
    qsizetype m_afterModelList = -1;
    bool m_createdByTavo = false;
    bool m_listsAnything = false;    // models, layouts or option groups
};
