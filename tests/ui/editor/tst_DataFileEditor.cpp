#include "settings/Settings.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestSupport.h"
#include "ui/common/QtChinese.h"
#include "ui/editor/DataFileEditor.h"
#include "ui/editor/RosterImportDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using TestSupport::gbk;
using Kind = ScriptedMessageBoxes::Kind;

namespace {

const QString dataName = u"测试数据.txt"_s;
const QString threeEntries = u"A001\t张三\t销售部\r\nA002\t李四\t市场部\r\nA003\t王五\t研发部\r\n"_s;

// One editor on its own folder, with the widgets a user touches.
struct Editor {
    QTemporaryDir dir;
    Settings settings;
    ScriptedMessageBoxes boxes;
    std::unique_ptr<DataFileEditor> form;

    explicit Editor(const QString &separator = u"\t"_s, const QString &dataFile = dataName)
    {
        settings.appDir = dir.path() + u'/';
        settings.dataFile = dataFile;
        settings.fieldSeparator = separator;
    }
    QString dataPath() const { return settings.appDir + settings.dataFile; }
    QString vipPath() const { return settings.appDir + u"GoodLuck.txt"_s; }
    void writeData(const QString &text) const { TestSupport::writeBytes(dataPath(), gbk(text)); }
    void writeVips(const QString &text) const { TestSupport::writeBytes(vipPath(), gbk(text)); }

    DataFileEditor &open()
    {
        form = std::make_unique<DataFileEditor>(settings, boxes);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qFatal("editor window not exposed");
        return *form;
    }
    void close() { form->close(); }

    template<typename T> T *find(const QString &name) const
    {
        T *w = form->findChild<T *>(name);
        if (!w)
            qFatal("no widget %s", qPrintable(name));
        return w;
    }
    QLineEdit *columnBox(int k) const { return find<QLineEdit>(u"columnBox(%1)"_s.arg(k)); }
    QListView *list(int k) const { return find<QListView>(k == 1 ? u"entryListView"_s : u"vipListView"_s); }
    void click(const QString &button) const
    {
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
    }
    void type(const QString &c1, const QString &c2, const QString &c3) const
    {
        columnBox(1)->setText(c1);
        columnBox(2)->setText(c2);
        columnBox(3)->setText(c3);
    }
    QStringList boxTexts() const { return {columnBox(1)->text(), columnBox(2)->text(), columnBox(3)->text()}; }
    QStringList rows(int k) const
    {
        QStringList out;
        const QAbstractItemModel *m = list(k)->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out.append(m->index(r, 0).data().toString());
        return out;
    }
    // The selected row, -1 when none; checks that the highlight and the current row agree.
    int selected(int k) const
    {
        const QModelIndexList sel = list(k)->selectionModel()->selectedIndexes();
        const int current = list(k)->currentIndex().row();
        if (sel.size() > 1 || (sel.size() == 1 && sel.first().row() != current))
            return -2;
        return sel.isEmpty() ? -1 : current;
    }
    void selectRow(int k, int row) const
    {
        QListView *view = list(k);
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }
};

} // namespace

class TestDataFileEditor : public QObject
{
    Q_OBJECT

private slots:
    void openingSelectsFirstEntry();
    void missingFilesOpenEmptyAndAreCreated();
    void add_data();
    void add();
    void deleteEntry_data();
    void deleteEntry();
    void modifyToEmptyColumnsRoundTrips();
    void enterWalksTheColumnsAndAdds();
    void tabOrder();
    void vipPosition_data();
    void vipPosition();
    void vipAddedWhileFrameHidden();
    void vipDelete();
    void closingRewritesBothFilesNormalised_data();
    void closingRewritesBothFilesNormalised();
    void unreadLinesAreKeptUnlessTheUserAgrees_data();
    void unreadLinesAreKeptUnlessTheUserAgrees();
    void absoluteDataFileName();
    void look_data();
    void look();
    void contextMenuIsChinese();
    void saveButtonAndEscapeKeepWindowOpen();
    void saveFailure_data();
    void saveFailure();
    void unreadableFileIsLeftUntouched_data();
    void unreadableFileIsLeftUntouched();
    void encodingOfFileIsKept();
    void listsBeyond32767Rows();
    void importRoster_data();
    void importRoster();
};

void TestDataFileEditor::openingSelectsFirstEntry()
{
    Editor ed;
    ed.writeData(threeEntries);
    ed.writeVips(u"3#*#A002\t李四\t市场部\r\n"_s);
    DataFileEditor &form = ed.open();

    QCOMPARE(form.windowTitle(), u"ZOP摇号（数据文件编辑）"_s);
    QCOMPARE(ed.find<QGroupBox>(u"dataFileFrame"_s)->title(), u"[数据文件] 文件名：测试数据.txt"_s);
    QCOMPARE(ed.rows(1), (QStringList{u"A001\t张三\t销售部"_s, u"A002\t李四\t市场部"_s,
                                      u"A003\t王五\t研发部"_s}));
    QCOMPARE(ed.selected(1), 0);
    QCOMPARE(ed.boxTexts(), (QStringList{u"A001"_s, u"张三"_s, u"销售部"_s}));
    QCOMPARE(ed.rows(2), QStringList{u"3#*#A002\t李四\t市场部"_s});
    QCOMPARE(ed.selected(2), 0);
    QVERIFY(!ed.find<QGroupBox>(u"vipFrame"_s)->isVisible());
    QVERIFY(!ed.find<QCheckBox>(u"showVipBox"_s)->isChecked());
    QCOMPARE(ed.find<QLineEdit>(u"positionBox"_s)->text(), u"1"_s);
    QCOMPARE(form.focusWidget(), ed.columnBox(1));

    ed.selectRow(1, 2);
    QCOMPARE(ed.selected(1), 2);
    QCOMPARE(ed.boxTexts(), (QStringList{u"A003"_s, u"王五"_s, u"研发部"_s}));
    // Ctrl+click on the selected row would clear the selection; a row stays selected.
    QListView *view = ed.list(1);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      view->visualRect(view->model()->index(2, 0)).center());
    QCOMPARE(ed.selected(1), 2);
    QVERIFY(ed.boxes.shown.isEmpty());
}

void TestDataFileEditor::missingFilesOpenEmptyAndAreCreated()
{
    Editor ed;
    ed.open();
    QVERIFY(ed.rows(1).isEmpty());
    QVERIFY(ed.rows(2).isEmpty());
    QCOMPARE(ed.selected(1), -1);

    ed.click(u"entryButton(1)"_s); // delete, modify and add to VIP with nothing to act on
    ed.click(u"entryButton(2)"_s);
    ed.click(u"addVipButton"_s);
    QVERIFY(ed.rows(1).isEmpty());
    QVERIFY(ed.rows(2).isEmpty());
    QVERIFY(ed.boxes.shown.isEmpty());

    ed.close();
    QCOMPARE(ed.boxes.texts(), QStringList{u"保存完成！"_s});
    QVERIFY(QFileInfo(ed.dataPath()).isFile());
    QCOMPARE(TestSupport::readBytes(ed.dataPath()), QByteArray());
    QVERIFY(QFileInfo(ed.vipPath()).isFile());
    QCOMPARE(TestSupport::readBytes(ed.vipPath()), QByteArray());
}

void TestDataFileEditor::add_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("expectedRows");
    QTest::addColumn<int>("expectedSelection");

    const QStringList before{u"A001\t张三\t销售部"_s, u"A002\t李四\t市场部"_s, u"A003\t王五\t研发部"_s};
    QTest::newRow("blanks only does nothing") << QStringList{u"   "_s, QString(), QString()} << before << 0;
    QTest::newRow("one column appends with two empty")
        << QStringList{QString(), u"X"_s, QString()} << before + QStringList{u"\tX\t"_s} << 3;
    QTest::newRow("blanks kept as typed")
        << QStringList{u" B001 "_s, u"赵六"_s, u"财务部"_s}
        << before + QStringList{u" B001 \t赵六\t财务部"_s} << 3;
    QTest::newRow("duplicate appended") << QStringList{u"A001"_s, u"张三"_s, u"销售部"_s}
                                        << before + QStringList{u"A001\t张三\t销售部"_s} << 3;
}

void TestDataFileEditor::add()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, expectedRows);
    QFETCH(int, expectedSelection);
    Editor ed;
    ed.writeData(threeEntries);
    ed.open();
    ed.type(typed[0], typed[1], typed[2]);
    ed.click(u"entryButton(0)"_s);

    QCOMPARE(ed.rows(1), expectedRows);
    QCOMPARE(ed.selected(1), expectedSelection);
    const bool added = expectedRows.size() == 4;
    QCOMPARE(ed.boxTexts(), (added ? QStringList{QString(), QString(), QString()} : typed));
    QVERIFY(ed.boxes.shown.isEmpty());
}

void TestDataFileEditor::deleteEntry_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("expectedRows");
    QTest::addColumn<int>("expectedSelection");
    QTest::addColumn<QStringList>("expectedBoxes");

    QTest::newRow("first selects the following")
        << 0 << QStringList{u"A002\t李四\t市场部"_s, u"A003\t王五\t研发部"_s} << 0
        << QStringList{u"A002"_s, u"李四"_s, u"市场部"_s};
    QTest::newRow("last selects the new last")
        << 2 << QStringList{u"A001\t张三\t销售部"_s, u"A002\t李四\t市场部"_s} << 1
        << QStringList{u"A002"_s, u"李四"_s, u"市场部"_s};
}

void TestDataFileEditor::deleteEntry()
{
    QFETCH(int, row);
    QFETCH(QStringList, expectedRows);
    QFETCH(int, expectedSelection);
    QFETCH(QStringList, expectedBoxes);
    Editor ed;
    ed.writeData(threeEntries);
    ed.open();
    ed.selectRow(1, row);
    ed.click(u"entryButton(1)"_s);
    QCOMPARE(ed.rows(1), expectedRows);
    QCOMPARE(ed.selected(1), expectedSelection);
    QCOMPARE(ed.boxTexts(), expectedBoxes);
}

void TestDataFileEditor::modifyToEmptyColumnsRoundTrips()
{
    Editor ed;
    ed.writeData(threeEntries);
    ed.open();
    ed.selectRow(1, 1);
    ed.type(QString(), QString(), QString());
    ed.click(u"entryButton(2)"_s);
    QCOMPARE(ed.rows(1)[1], u"\t\t"_s);
    QCOMPARE(ed.selected(1), 1);
    ed.close();
    QCOMPARE(TestSupport::readBytes(ed.dataPath()),
             gbk(u"A001\t张三\t销售部\r\n\t\t\r\nA003\t王五\t研发部\r\n"_s));

    ed.open();
    QCOMPARE(ed.rows(1).size(), 3);
    ed.selectRow(1, 1);
    QCOMPARE(ed.boxTexts(), (QStringList{QString(), QString(), QString()}));

    // The only entry deleted: the list is empty and the boxes keep what it held.
    Editor one;
    one.writeData(u"A001\t张三\t销售部\r\n"_s);
    one.open();
    one.click(u"entryButton(1)"_s);
    QVERIFY(one.rows(1).isEmpty());
    QCOMPARE(one.selected(1), -1);
    QCOMPARE(one.boxTexts(), (QStringList{u"A001"_s, u"张三"_s, u"销售部"_s}));
    one.click(u"entryButton(2)"_s); // nothing to modify
    QVERIFY(one.rows(1).isEmpty());
}

void TestDataFileEditor::enterWalksTheColumnsAndAdds()
{
    Editor ed;
    ed.writeData(threeEntries);
    DataFileEditor &form = ed.open();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ed.columnBox(1)->clear();
    ed.columnBox(2)->clear();
    ed.columnBox(3)->clear();
    ed.columnBox(1)->setFocus();

    const QString typed[3] = {u"C001"_s, u"Sun Qi"_s, u"HR"_s};
    for (int k = 1; k <= 3; ++k) {
        QCOMPARE(QApplication::focusWidget(), ed.columnBox(k));
        QTest::keyClicks(QApplication::focusWidget(), typed[k - 1]);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    QCOMPARE(QApplication::focusWidget(), ed.find<QPushButton>(u"entryButton(0)"_s));
    QCOMPARE(ed.rows(1).size(), 3); // Enter in a box never adds by itself
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), ed.columnBox(1));
    QCOMPARE(ed.rows(1).last(), u"C001\tSun Qi\tHR"_s);
    QCOMPARE(ed.boxTexts(), (QStringList{QString(), QString(), QString()}));

    // No button is a default one: Enter in the position box presses nothing.
    ed.type(u"D001"_s, u"x"_s, u"y"_s);
    ed.find<QLineEdit>(u"positionBox"_s)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(ed.rows(1).size(), 4);
    QVERIFY(ed.form->isVisible());
    QVERIFY(ed.boxes.shown.isEmpty());

    // Enter on a focused button presses it; on the entry buttons the focus returns to column 1.
    ed.find<QPushButton>(u"addVipButton"_s)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(ed.rows(2), QStringList{u"1#*#C001\tSun Qi\tHR"_s});
    ed.find<QPushButton>(u"entryButton(2)"_s)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), ed.columnBox(1));
    QCOMPARE(ed.rows(1).last(), u"D001\tx\ty"_s);
    ed.find<QPushButton>(u"entryButton(1)"_s)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), ed.columnBox(1));
    QCOMPARE(ed.rows(1).size(), 3);
}

void TestDataFileEditor::tabOrder()
{
    Editor ed;
    ed.writeData(threeEntries);
    ed.writeVips(u"3#*#A002\t李四\t市场部\r\n"_s);
    DataFileEditor &form = ed.open();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ed.find<QCheckBox>(u"showVipBox"_s)->setChecked(true);
    ed.columnBox(1)->setFocus();

    const QStringList order{u"columnBox(1)"_s, u"columnBox(2)"_s, u"columnBox(3)"_s, u"entryButton(0)"_s,
                            u"entryButton(1)"_s, u"entryListView"_s, u"addVipButton"_s, u"vipListView"_s, u"positionBox"_s,
                            u"entryButton(2)"_s, u"deleteVipButton"_s, u"saveButton"_s, u"showVipBox"_s, u"importButton"_s,
                            u"columnBox(1)"_s};
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int k = 1; k < order.size(); ++k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, order);
}

void TestDataFileEditor::vipPosition_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("position");

    QTest::newRow("12") << u"12"_s << u"12"_s;
    QTest::newRow("upper bound 9999") << u"9999"_s << u"9999"_s;
    QTest::newRow("0 gives 1") << u"0"_s << u"1"_s;
    QTest::newRow("10000 gives 1") << u"10000"_s << u"1"_s;
    QTest::newRow("letters give 1") << u"abc"_s << u"1"_s;
    QTest::newRow("empty gives 1") << QString() << u"1"_s;
}

void TestDataFileEditor::vipPosition()
{
    QFETCH(QString, text);
    QFETCH(QString, position);
    Editor ed;
    ed.writeData(threeEntries);
    ed.open();
    ed.find<QCheckBox>(u"showVipBox"_s)->setChecked(true);
    ed.selectRow(1, 1);
    ed.find<QLineEdit>(u"positionBox"_s)->setText(text);
    ed.click(u"addVipButton"_s);
    ed.click(u"addVipButton"_s); // the same entry twice gives two records
    const QString row = position + u"#*#A002\t李四\t市场部"_s;
    QCOMPARE(ed.rows(2), (QStringList{row, row}));
    QCOMPARE(ed.selected(2), 1);
    QCOMPARE(ed.find<QLineEdit>(u"positionBox"_s)->text(), text);
    ed.close();
    QCOMPARE(TestSupport::readBytes(ed.vipPath()), gbk(row + u"\r\n"_s + row + u"\r\n"_s));
}

void TestDataFileEditor::vipAddedWhileFrameHidden()
{
    Editor ed;
    ed.writeData(threeEntries);
    ed.writeVips(u"7#*#A003\t王五\t研发部\r\n"_s);
    ed.open();
    auto *frame = ed.find<QGroupBox>(u"vipFrame"_s);
    QVERIFY(!frame->isVisible());
    ed.find<QLineEdit>(u"positionBox"_s)->setText(u"2"_s);
    ed.click(u"addVipButton"_s);

    QTest::mouseClick(ed.find<QCheckBox>(u"showVipBox"_s), Qt::LeftButton);
    QVERIFY(frame->isVisible());
    QCOMPARE(ed.rows(2), (QStringList{u"7#*#A003\t王五\t研发部"_s, u"2#*#A001\t张三\t销售部"_s}));
    QCOMPARE(ed.selected(2), 1);
    QTest::mouseClick(ed.find<QCheckBox>(u"showVipBox"_s), Qt::LeftButton);
    QVERIFY(!frame->isVisible());
}

void TestDataFileEditor::vipDelete()
{
    Editor ed;
    ed.writeData(threeEntries);
    ed.writeVips(u"1#*#A001\t张三\t销售部\r\n9#*#A003\t王五\t研发部\r\n2#*#A002\t李四\t市场部\r\n"
                 "3#*#A003\t王五\t研发部\r\n"_s);
    ed.open();
    ed.find<QCheckBox>(u"showVipBox"_s)->setChecked(true);

    ed.selectRow(2, 1);
    ed.click(u"deleteVipButton"_s); // one in the middle: the following one is selected
    QCOMPARE(ed.rows(2).size(), 3);
    QCOMPARE(ed.selected(2), 1);
    QCOMPARE(ed.rows(2)[1], u"2#*#A002\t李四\t市场部"_s);
    ed.selectRow(2, 2);
    ed.click(u"deleteVipButton"_s); // the last: the new last is selected
    QCOMPARE(ed.rows(2), (QStringList{u"1#*#A001\t张三\t销售部"_s, u"2#*#A002\t李四\t市场部"_s}));
    QCOMPARE(ed.selected(2), 1);
    ed.selectRow(2, 0);
    ed.click(u"deleteVipButton"_s); // the first: the following one is selected
    QCOMPARE(ed.rows(2), QStringList{u"2#*#A002\t李四\t市场部"_s});
    QCOMPARE(ed.selected(2), 0);
    ed.click(u"deleteVipButton"_s);
    ed.click(u"deleteVipButton"_s); // empty: nothing happens
    QVERIFY(ed.rows(2).isEmpty());
    QCOMPARE(ed.selected(2), -1);
    QCOMPARE(ed.rows(1).size(), 3); // entries are not touched
    QCOMPARE(ed.boxTexts(), (QStringList{u"A001"_s, u"张三"_s, u"销售部"_s}));
}

void TestDataFileEditor::closingRewritesBothFilesNormalised_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("vips");
    QTest::addColumn<QString>("expectedData");
    QTest::addColumn<QString>("expectedVips");
    QTest::addColumn<int>("unreadData"); // lines the loaders skip: each file asks first
    QTest::addColumn<int>("unreadVip");
    QTest::addColumn<int>("wideData"); // lines with columns beyond the third: asked as well
    QTest::addColumn<int>("wideVip");

    QTest::newRow("tab")
        << u"\t"_s
        << u"  张三 \t1001\t销售部\r\n只有一列\r\na\tb\r\n\r\n李四\t1002\t市场部\t多余\r\n王五\t1003\t 研发部"_s
        << u" 3 #*# 张三 \t1001\t销售部\r\nbad line\r\n5\t李四\t1002\t市场部\t多余"_s
        << u"张三\t1001\t销售部\r\n李四\t1002\t市场部\r\n王五\t1003\t研发部\r\n"_s
        << u"3#*#张三\t1001\t销售部\r\n5#*#李四\t1002\t市场部\r\n"_s << 2 << 1 << 1 << 1;
    QTest::newRow("two-character separator")
        << u"||"_s << u"a|b||c||d||e\r\nx||y\r\n \r\n"_s << u"9#*#a|b||c||d\r\n"_s
        << u"a|b||c||d\r\n"_s << u"9#*#a|b||c||d\r\n"_s << 1 << 0 << 1 << 0;
    QTest::newRow("LF ends a line, blanks after a third separator are no column")
        << u"\t"_s << u"a\tb\tc\nd\te\tf\t \n"_s << u"1#*#a\tb\tc\n"_s << u"a\tb\tc\r\nd\te\tf\r\n"_s
        << u"1#*#a\tb\tc\r\n"_s << 0 << 0 << 0 << 0;
    QTest::newRow("lone CR stays in its line")
        << u"\t"_s << u"a\tb\rc\td\r\ne\r\n"_s << u"1#*#a\tb\tc\rd\te\r\n"_s << u"a\tb\rc\td\r\n"_s
        << u"1#*#a\tb\tc\rd\r\n"_s << 1 << 0 << 0 << 1;
}

void TestDataFileEditor::closingRewritesBothFilesNormalised()
{
    QFETCH(QString, separator);
    QFETCH(QString, data);
    QFETCH(QString, vips);
    QFETCH(QString, expectedData);
    QFETCH(QString, expectedVips);
    QFETCH(int, unreadData);
    QFETCH(int, unreadVip);
    QFETCH(int, wideData);
    QFETCH(int, wideVip);
    Editor ed(separator);
    ed.writeData(data);
    ed.writeVips(vips);
    ed.boxes.answers = {MessageBoxes::Answer::Yes, MessageBoxes::Answer::Yes};
    ed.open();
    ed.close();
    QVERIFY(!ed.form->isVisible());
    // Each file's unread lines are said at opening and asked about at closing.
    QStringList opening, closing;
    const std::tuple<QString, int, int> files[] = {{ed.dataPath(), unreadData, wideData}, {ed.vipPath(), unreadVip, wideVip}};
    for (const auto &[path, n, wide] : files) {
        QString lost = n > 0 ? u"%1 行无法按当前分隔符读取"_s.arg(n) : QString();
        if (wide > 0)
            lost += (n > 0 ? u"，"_s : QString()) + u"%1 行多于三列"_s.arg(wide);
        const QString what = wide == 0 ? u"这些行"_s : n == 0 ? u"多出的列"_s : u"这些行和多出的列"_s;
        if (!lost.isEmpty()) {
            opening.append(lost + u"，列表中没有"_s + what + u"。\r\n文件:"_s + path);
            closing.append(lost + u"，保存将删除"_s + what + u"。仍要保存？\r\n文件:"_s + path);
        }
    }
    QCOMPARE(ed.boxes.texts(), opening + closing + QStringList{u"保存完成！"_s});
    QCOMPARE(ed.boxes.shown.last().kind, Kind::Information);
    QCOMPARE(TestSupport::readBytes(ed.dataPath()), gbk(expectedData));
    QCOMPARE(TestSupport::readBytes(ed.vipPath()), gbk(expectedVips));
    QCOMPARE(TestSupport::folderEntries(ed.dir.path()), (QStringList{u"GoodLuck.txt"_s, dataName}));
}

void TestDataFileEditor::unreadLinesAreKeptUnlessTheUserAgrees_data()
{
    QTest::addColumn<QList<MessageBoxes::Answer>>("answers"); // data file, then VIP file
    using A = MessageBoxes::Answer;
    QTest::newRow("blank separator by mistake, No to both") << QList<A>{A::No, A::No};
    QTest::newRow("Yes for the data file only") << QList<A>{A::Yes, A::No};
}

// "空格符" clicked by mistake: no tab-separated line reads, and closing must not empty the files.
void TestDataFileEditor::unreadLinesAreKeptUnlessTheUserAgrees()
{
    QFETCH(QList<MessageBoxes::Answer>, answers);
    Editor ed(u" "_s);
    ed.writeData(threeEntries + u" \r\n"_s);
    const QByteArray vips = gbk(u"3#*#A002\t李四\t市场部\r\n"_s);
    TestSupport::writeBytes(ed.vipPath(), vips);
    ed.boxes.answers = answers;
    ed.open();
    QVERIFY(ed.rows(1).isEmpty());
    QCOMPARE(ed.boxes.texts(),
             (QStringList{u"3 行无法按当前分隔符读取，列表中没有这些行。\r\n文件:"_s + ed.dataPath(),
                          u"1 行无法按当前分隔符读取，列表中没有这些行。\r\n文件:"_s + ed.vipPath()}));
    ed.boxes.shown.clear();
    ed.close();

    const bool dataSaved = answers[0] == MessageBoxes::Answer::Yes;
    QStringList expected{u"3 行无法按当前分隔符读取，保存将删除这些行。仍要保存？\r\n文件:"_s + ed.dataPath()};
    if (!dataSaved)
        expected.append(u"文件未保存，保持原样。\r\n文件:"_s + ed.dataPath());
    expected += {u"1 行无法按当前分隔符读取，保存将删除这些行。仍要保存？\r\n文件:"_s + ed.vipPath(),
                 u"文件未保存，保持原样。\r\n文件:"_s + ed.vipPath()};
    QCOMPARE(ed.boxes.texts(), expected);
    QCOMPARE(ed.boxes.shown[0].kind, Kind::Question);
    QCOMPARE(ed.boxes.shown[0].defaultAnswer, MessageBoxes::Answer::No);
    QCOMPARE(TestSupport::readBytes(ed.dataPath()),
             dataSaved ? QByteArray() : gbk(threeEntries + u" \r\n"_s));
    QCOMPARE(TestSupport::readBytes(ed.vipPath()), vips);
    QCOMPARE(TestSupport::folderEntries(ed.dir.path()), (QStringList{u"GoodLuck.txt"_s, dataName}));
}

// The editor opens the file the main window reads: an absolute name is used as it is.
void TestDataFileEditor::absoluteDataFileName()
{
    QTemporaryDir elsewhere;
    const QString path = elsewhere.filePath(dataName);
    Editor ed(u"\t"_s, path);
    TestSupport::writeBytes(path, gbk(threeEntries));
    ed.open();
    QCOMPARE(ed.rows(1).size(), 3);
    QCOMPARE(ed.find<QGroupBox>(u"dataFileFrame"_s)->title(), u"[数据文件] 文件名："_s + path);
    ed.close();
    QCOMPARE(ed.boxes.texts(), QStringList{u"保存完成！"_s});
    QCOMPARE(TestSupport::readBytes(path), gbk(threeEntries));
    QCOMPARE(TestSupport::folderEntries(ed.dir.path()), QStringList{u"GoodLuck.txt"_s});
}

void TestDataFileEditor::look_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<double>("points"); // 宋体 throughout
    QTest::addColumn<bool>("bold");
    QTest::newRow("position box") << u"positionBox"_s << 12.0 << false;
    QTest::newRow("save button") << u"saveButton"_s << 12.0 << true;
    QTest::newRow("entry list, the window's font") << u"entryListView"_s << 9.0 << false;
    QTest::newRow("VIP button") << u"addVipButton"_s << 9.0 << false;
}

void TestDataFileEditor::look()
{
    QFETCH(QString, control);
    QFETCH(double, points);
    QFETCH(bool, bold);
    Editor ed;
    ed.writeData(threeEntries);
    DataFileEditor &form = ed.open();
    ed.find<QCheckBox>(u"showVipBox"_s)->setChecked(true);
    QCOMPARE(form.size(), QSize(622, 518)); // 9330 x 7770 twips
    const QFont font = ed.find<QWidget>(control)->font();
    QCOMPARE(font.family(), u"宋体"_s);
    QCOMPARE(font.pointSizeF(), points);
    QCOMPARE(font.bold(), bold);
    for (int k = 1; k <= 2; ++k)
        QCOMPARE(ed.list(k)->selectionMode(), QAbstractItemView::SingleSelection);

    // The frames as painted: their back colour beside the lists, the caption's colour.
    const struct {
        const char *name;
        QColor back;
        bool blueCaption;
    } frames[] = {{"dataFileFrame", QColor(224, 224, 224), true}, {"vipFrame", QColor(255, 224, 192), false}};
    for (const auto &frame : frames) {
        const QImage image = ed.find<QWidget>(QString::fromLatin1(frame.name))->grab().toImage();
        QCOMPARE(image.pixelColor(4, image.height() / 2), frame.back);
        int blue = 0;
        for (int x = 0; x < image.width(); ++x) {
            for (int y = 0; y < 12; ++y) {
                const QColor c = image.pixelColor(x, y);
                blue += c.blue() > 200 && c.red() < 80 && c.green() < 80;
            }
        }
        QVERIFY2((blue > 0) == frame.blueCaption, frame.name);
    }
}

// Qt's own menu of a text box, as the program installs it; with ZOP_GRAB_DIR set, a picture.
void TestDataFileEditor::contextMenuIsChinese()
{
    QVERIFY(QtChinese::install());
    Editor ed;
    ed.writeData(threeEntries);
    DataFileEditor &form = ed.open();
    auto *box = ed.find<QLineEdit>(u"columnBox(1)"_s);
    box->selectAll();
    const std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
    QCOMPARE(menu->actions().first()->text(), u"撤消(&U)\tCtrl+Z"_s);
    if (const QString dir = qEnvironmentVariable("ZOP_GRAB_DIR"); !dir.isEmpty()) {
        menu->adjustSize();
        QPixmap picture = form.grab();
        QPainter(&picture).drawPixmap(box->mapTo(&form, box->rect().center()), menu->grab());
        picture.save(QDir(dir).filePath(u"editor-context-menu.png"_s));
    }
}

void TestDataFileEditor::saveButtonAndEscapeKeepWindowOpen()
{
    Editor ed;
    ed.writeData(threeEntries);
    DataFileEditor &form = ed.open();
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(form.isVisible());
    QVERIFY(ed.boxes.shown.isEmpty());

    ed.selectRow(1, 1);
    ed.type(u"改"_s, QString(), QString());
    ed.click(u"saveButton"_s);
    QCOMPARE(ed.boxes.texts(), QStringList{u"保存完成！"_s});
    QVERIFY(ed.form->isVisible());
    QCOMPARE(ed.selected(1), 1);
    QCOMPARE(ed.boxTexts(), (QStringList{u"改"_s, QString(), QString()}));
    QCOMPARE(TestSupport::readBytes(ed.dataPath()), gbk(threeEntries)); // unmodified entry saved

    ed.click(u"entryButton(2)"_s);
    ed.close();
    QCOMPARE(ed.boxes.texts(), (QStringList{u"保存完成！"_s, u"保存完成！"_s}));
    QCOMPARE(TestSupport::readBytes(ed.dataPath()),
             gbk(u"A001\t张三\t销售部\r\n改\t\t\r\nA003\t王五\t研发部\r\n"_s));
}

void TestDataFileEditor::saveFailure_data()
{
    QTest::addColumn<QString>("dataFile");
    QTest::addColumn<bool>("vipIsFolder");
    QTest::addColumn<bool>("dataWritable");

    QTest::newRow("folder where the data file should be") << u"数据"_s << false << false;
    QTest::newRow("data file under a missing folder") << u"无此目录/数据.txt"_s << false << false;
    QTest::newRow("folder where the VIP file should be") << dataName << true << true;
    QTest::newRow("both fail") << u"数据"_s << true << false;
}

void TestDataFileEditor::saveFailure()
{
    QFETCH(QString, dataFile);
    QFETCH(bool, vipIsFolder);
    QFETCH(bool, dataWritable);
    Editor ed(u"\t"_s, dataFile);
    if (dataFile == u"数据"_s)
        QVERIFY(QDir(ed.dir.path()).mkdir(dataFile));
    if (vipIsFolder)
        QVERIFY(QDir(ed.dir.path()).mkdir(u"GoodLuck.txt"_s));
    ed.open();
    ed.type(u"A001"_s, u"张三"_s, u"销售部"_s);
    ed.click(u"entryButton(0)"_s);
    ed.find<QLineEdit>(u"positionBox"_s)->setText(u"4"_s);
    ed.click(u"addVipButton"_s);
    ed.close();

    QList<ScriptedMessageBoxes::Shown> expected;
    if (!dataWritable)
        expected.append({Kind::Error, u"保存失败！\r\n文件:"_s + ed.settings.appDir + dataFile});
    if (vipIsFolder)
        expected.append({Kind::Error, u"保存失败！\r\n文件:"_s + ed.settings.appDir + u"GoodLuck.txt"_s});
    QCOMPARE(ed.boxes.shown.size(), expected.size());
    for (int k = 0; k < expected.size(); ++k) {
        QCOMPARE(ed.boxes.shown[k].kind, expected[k].kind);
        QCOMPARE(ed.boxes.shown[k].text, expected[k].text);
    }
    QVERIFY(!ed.form->isVisible()); // a failed save does not keep the window open
    if (dataWritable)
        QCOMPARE(TestSupport::readBytes(ed.dataPath()), gbk(u"A001\t张三\t销售部\r\n"_s));
    if (!vipIsFolder)
        QCOMPARE(TestSupport::readBytes(ed.vipPath()), gbk(u"4#*#A001\t张三\t销售部\r\n"_s));
}

void TestDataFileEditor::unreadableFileIsLeftUntouched_data()
{
    QTest::addColumn<bool>("badData");
    QTest::addColumn<QByteArray>("bytes");

    // 0x81 0x20 is no character in GBK or GB18030.
    const QByteArray undecodable = gbk(u"A001\t张三\t销售部\r\n"_s) + "B\x81\x20\tx\ty\r\n";
    QTest::newRow("data file does not decode") << true << undecodable;
    QTest::newRow("VIP file does not decode") << false << QByteArray("5#*#a\tb\x81\x20\tc\r\n");
}

void TestDataFileEditor::unreadableFileIsLeftUntouched()
{
    QFETCH(bool, badData);
    QFETCH(QByteArray, bytes);
    Editor ed;
    const QString badPath = badData ? ed.dataPath() : ed.vipPath();
    TestSupport::writeBytes(badPath, bytes);
    if (!badData)
        ed.writeData(threeEntries);
    ed.open();
    // What decoded is shown, as the draw would load it.
    QCOMPARE(ed.rows(badData ? 1 : 2).size(), badData ? 2 : 1);
    ed.type(u"新"_s, u"条"_s, u"目"_s);
    ed.click(u"entryButton(0)"_s);
    ed.click(u"addVipButton"_s);
    ed.close();

    QCOMPARE(ed.boxes.shown.size(), 1);
    QCOMPARE(ed.boxes.shown[0].kind, Kind::Error);
    QCOMPARE(ed.boxes.shown[0].text, u"保存失败！\r\n文件:"_s + badPath);
    QCOMPARE(TestSupport::readBytes(badPath), bytes);
    if (badData)
        QCOMPARE(TestSupport::readBytes(ed.vipPath()), gbk(u"1#*#新\t条\t目\r\n"_s));
    else
        QCOMPARE(TestSupport::readBytes(ed.dataPath()), gbk(threeEntries + u"新\t条\t目\r\n"_s));
}

void TestDataFileEditor::encodingOfFileIsKept()
{
    Editor ed;
    const QByteArray bom("\xEF\xBB\xBF");
    TestSupport::writeBytes(ed.dataPath(), bom + u"A001\t张三\t销售部\r\n"_s.toUtf8());
    ed.open();
    ed.type(u"A002"_s, u"李四"_s, u"€"_s);
    ed.click(u"entryButton(0)"_s);
    ed.close();
    QCOMPARE(TestSupport::readBytes(ed.dataPath()),
             bom + u"A001\t张三\t销售部\r\nA002\t李四\t€\r\n"_s.toUtf8());
}

void TestDataFileEditor::listsBeyond32767Rows()
{
    Editor ed;
    QString data;
    const int n = 40000;
    for (int i = 1; i <= n; ++i)
        data += u"%1\t名%1\t部\r\n"_s.arg(i);
    ed.writeData(data);
    ed.open();
    QCOMPARE(ed.list(1)->model()->rowCount(), n);

    ed.selectRow(1, n - 2);
    QCOMPARE(ed.selected(1), n - 2);
    QCOMPARE(ed.columnBox(1)->text(), QString::number(n - 1));
    ed.click(u"entryButton(1)"_s);
    QCOMPARE(ed.selected(1), n - 2);
    QCOMPARE(ed.columnBox(1)->text(), QString::number(n));
    ed.click(u"addVipButton"_s);
    ed.type(u"末"_s, u"尾"_s, u"行"_s);
    ed.click(u"entryButton(0)"_s);
    QCOMPARE(ed.selected(1), n - 1);
    ed.close();

    data.remove(data.indexOf(u"\r\n%1\t"_s.arg(n - 1)) + 2, u"%1\t名%1\t部\r\n"_s.arg(n - 1).size());
    QCOMPARE(TestSupport::readBytes(ed.dataPath()), gbk(data + u"末\t尾\t行\r\n"_s));
    QCOMPARE(TestSupport::readBytes(ed.vipPath()), gbk(u"1#*#%1\t名%1\t部\r\n"_s.arg(n)));
}


void TestDataFileEditor::importRoster_data()
{
    QTest::addColumn<bool>("append");
    QTest::addColumn<bool>("removeDuplicates");
    QTest::addColumn<QStringList>("rows");
    const QString a1 = u"A001\t张三\t销售部"_s, b1 = u"B1\t赵六\t一部"_s, b2 = u"B2\t钱七\t二 部"_s;
    QTest::newRow("replace") << false << false << QStringList{b1, b2, a1, b1};
    QTest::newRow("replace without duplicates") << false << true << QStringList{b1, b2, a1};
    QTest::newRow("append") << true << false
                            << QStringList{a1, u"A002\t李四\t市场部"_s, u"A003\t王五\t研发部"_s, b1, b2, a1, b1};
    QTest::newRow("append without duplicates, the list's own kept")
        << true << true << QStringList{a1, u"A002\t李四\t市场部"_s, u"A003\t王五\t研发部"_s, b1, b2};
}

// 导入名单… previews the file, fills the list as chosen, and 保存 writes it as any edit.
void TestDataFileEditor::importRoster()
{
    QFETCH(bool, append);
    QFETCH(bool, removeDuplicates);
    QFETCH(QStringList, rows);
    Editor ed;
    ed.writeData(threeEntries);
    const QString roster = ed.dir.filePath(u"名单.csv"_s);
    TestSupport::writeBytes(roster, u"\uFEFF姓名,工号,部门\r\n赵六,B1,一部\r\n钱七,B2,\"二\r\n部\"\r\n张三,A001,销售部\r\n赵六,B1,一部\r\n"_s.toUtf8());
    DataFileEditor &form = ed.open();
    form.setRosterChooser([&] { return roster; });
    QString summary, listed;
    QTimer::singleShot(0, &form, [&] {
        auto *dialog = qobject_cast<RosterImportDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            qFatal("no import dialog");
        dialog->findChild<QRadioButton *>(append ? u"appendButton"_s : u"replaceButton"_s)->setChecked(true);
        dialog->findChild<QCheckBox *>(u"removeDuplicates"_s)->setChecked(removeDuplicates);
        summary = dialog->findChild<QLabel *>(u"summary"_s)->text();
        listed = dialog->findChild<QPlainTextEdit *>(u"duplicateList"_s)->toPlainText();
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"okButton"_s), Qt::LeftButton);
    });
    ed.click(u"importButton"_s);
    QVERIFY(summary.startsWith(u"将导入 4 条。1 个单元格含制表符、换行或分隔符"_s));
    QCOMPARE(listed, append ? u"A001 张三 销售部 整行重复：现有名单第 1 条，第 4 行\nB1 赵六 一部 整行重复：第 2、5 行"_s
                            : u"B1 赵六 一部 整行重复：第 2、5 行"_s);
    QCOMPARE(ed.rows(1), rows);
    QCOMPARE(ed.selected(1), append ? 3 : 0);
    ed.click(u"saveButton"_s);
    QCOMPARE(TestSupport::readBytes(ed.dataPath()), gbk(rows.join(u"\r\n"_s) + u"\r\n"_s));
}

QTEST_MAIN(TestDataFileEditor)
#include "tst_DataFileEditor.moc"
