#pragma once
// The parameters dialog of either program worked as the user does, for the tests and for the
// examiner's helper process.
#include "OptionsDialogBase.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

// Chooses an entry of the name list from its drop-down; false when it is not listed.
inline bool ChooseSet(TOptionsDialogBase& dlg, const QString& entry) {
    QComboBox* combo = dlg.NameEdit;
    const int row = combo->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (row < 0)
        return false;
    combo->showPopup();
    combo->view()->setCurrentIndex(combo->model()->index(row, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    return true;
}

// Replaces the name typed in the name box.
inline void TypeSetName(TOptionsDialogBase& dlg, const QString& text) {
    QLineEdit* edit = dlg.NameEdit->lineEdit();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

inline QStringList ListedSets(const TOptionsDialogBase& dlg) {
    QStringList out;
    for (int i = 0; i < dlg.NameEdit->count(); ++i)
        out << dlg.NameEdit->itemText(i);
    return out;
}
