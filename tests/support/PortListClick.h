#pragma once
// Picks an entry of the window's port list (or any list to choose from) as a
// person does: a click on the arrow opens the list, the hand moves onto the
// entry, a click chooses it.

#include <QComboBox>

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>

// `whileOpen` runs with the list open, before the entry is looked up (an
// adapter pulled meanwhile).
inline void ClickPortListEntry(QComboBox* box, const std::string& comName, const std::function<void()>& whileOpen = {})
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 5, box->height() / 2));
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, 5000)) << "the list did not open";
    // The list takes no click within a double-click's time of opening (that
    // would be the opening click's own release).
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    if (whileOpen) whileOpen();
    const int row = box->findText(QString::fromStdString(comName));
    ASSERT_GE(row, 0) << comName << " is not in the list";
    const QRect entry = list->visualRect(box->model()->index(row, 0));
    QTest::mouseMove(list->viewport(), entry.center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
}
