#include "DataFileEditor.h"

#include "ColouredFrame.h"
#include "EntryListModel.h"
#include "RosterImportDialog.h"
#include "VipListModel.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/ValueText.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"
#include "ui/common/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStringList>

#include <limits>
#include <tuple>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

QListView *makeList(QWidget *parent, const QString &name, QAbstractItemModel *model)
{
    auto *list = new QListView(parent);
    list->setObjectName(name);
    // Equal row heights let the view place any number of rows without measuring each one.
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setModel(model);
    return list;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text, QRect geometry)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    // No button of the editor is a default one: Enter in a box must not press "增加" or "保存".
    // Enter on a focused button still presses it (DataFileEditor::eventFilter).
    button->setAutoDefault(false);
    return button;
}

int saveEntryFile(const EntryTable &table, const QString &separator, const QString &path,
                  TextEncoding encoding)
{
    QString text;
    for (int e = 1; e <= table.entryCount(); ++e)
        text += table.column(e, 1) + separator + table.column(e, 2) + separator + table.column(e, 3)
            + u"\r\n";
    return IniFile::writeWholeFile(text, path, encoding);
}

QString fileLine(const QString &path)
{
    return u"\r\n文件:"_s + path;
}

// "3 行无法按当前分隔符读取，2 行多于三列" and what happens to those lines, in one sentence.
QString droppedText(int unread, int wide, const QString &consequence)
{
    QStringList parts;
    if (unread > 0)
        parts.append(u"%1 行无法按当前分隔符读取"_s.arg(unread));
    if (wide > 0)
        parts.append(u"%1 行多于三列"_s.arg(wide));
    const QString what = wide == 0 ? u"这些行"_s : unread == 0 ? u"多出的列"_s : u"这些行和多出的列"_s;
    return parts.join(u'，') + u'，' + consequence.arg(what);
}

QString saveFailedText(const QString &path)
{
    return u"保存失败！"_s + fileLine(path);
}

} // namespace

DataFileEditor::DataFileEditor(Settings &settings, MessageBoxes &messages, QWidget *parent)
    : QDialog(parent), settings(settings), messages(messages)
{
    setWindowTitle(u"ZOP摇号（数据文件编辑）"_s);
    setFixedSize(Twips::toPixels(9330), Twips::toPixels(7770));
    setFont(Fonts::layoutFont(Fonts::songti(), 9));

    entryModel = new EntryListModel(editEntries, this);
    vipModel = new VipListModel(editVips, this);

    dataFileFrame = new ColouredFrame(QColor(224, 224, 224), QColor(0, 0, 255), this);
    dataFileFrame->setObjectName(u"dataFileFrame"_s);
    dataFileFrame->setTitle(u"文件名："_s);
    dataFileFrame->setGeometry(Twips::rect(120, 240, 9135, 4455));
    entryListView = makeList(dataFileFrame, u"entryListView"_s, entryModel);
    entryListView->setGeometry(Twips::rect(120, 360, 8895, 3270));
    const int columnLefts[3] = {600, 2760, 4920};
    const QString headings[3] = {u"列1"_s, u"列2"_s, u"列3"_s};
    for (int k = 0; k < 3; ++k) {
        columnHeading[k] = new QLabel(headings[k], dataFileFrame);
        columnHeading[k]->setObjectName(u"columnHeading(%1)"_s.arg(k));
        columnHeading[k]->setGeometry(Twips::rect(columnLefts[k], 3720, 1215, 255));
        columnBox[k + 1] = new QLineEdit(dataFileFrame);
        columnBox[k + 1]->setObjectName(u"columnBox(%1)"_s.arg(k + 1));
        columnBox[k + 1]->setGeometry(Twips::rect(columnLefts[k], 3960, 1935, 270));
        columnBox[k + 1]->setMaxLength(std::numeric_limits<int>::max());
        columnBox[k + 1]->installEventFilter(this);
    }
    const int buttonLefts[3] = {6960, 7680, 8400};
    const QString buttonTexts[3] = {u"增加"_s, u"删除"_s, u"修改"_s};
    for (int k = 0; k < 3; ++k) {
        entryButton[k] = makeButton(dataFileFrame, u"entryButton(%1)"_s.arg(k), buttonTexts[k],
                                 Twips::rect(buttonLefts[k], 3720, 615, 495));
        connect(entryButton[k], &QPushButton::clicked, this, [this, k] { editEntry(k); });
    }

    positionCaption = new QLabel(u"指定出号位置"_s, this);
    positionCaption->setObjectName(u"positionCaption"_s);
    positionCaption->setGeometry(Twips::rect(360, 4920, 1215, 255));
    positionBox = new QLineEdit(u"1"_s, this);
    positionBox->setObjectName(u"positionBox"_s);
    positionBox->setFont(Fonts::layoutFont(Fonts::songti(), 12));
    positionBox->setGeometry(Twips::rect(1560, 4800, 975, 390));
    addVipButton = makeButton(this, u"addVipButton"_s, u"添加至VIP"_s, Twips::rect(2640, 4800, 1095, 375));
    connect(addVipButton, &QPushButton::clicked, this, &DataFileEditor::addToVipList);
    showVipBox = new QCheckBox(u"显示VIP列表"_s, this);
    showVipBox->setObjectName(u"showVipBox"_s);
    showVipBox->setGeometry(Twips::rect(3840, 5040, 1575, 255));
    connect(showVipBox, &QCheckBox::toggled, this, &DataFileEditor::toggleVipList);
    saveButton = makeButton(this, u"saveButton"_s, u"保存"_s, Twips::rect(7800, 4800, 1455, 495));
    saveButton->setFont(Fonts::layoutFont(Fonts::songti(), 12, true));
    connect(saveButton, &QPushButton::clicked, this, &DataFileEditor::saveAll);
    importButton = makeButton(this, u"importButton"_s, u"导入名单…"_s, Twips::rect(5880, 4800, 1455, 495));
    connect(importButton, &QPushButton::clicked, this, &DataFileEditor::importRoster);

    vipFrame = new ColouredFrame(QColor(255, 224, 192), palette().color(QPalette::WindowText), this);
    vipFrame->setObjectName(u"vipFrame"_s);
    vipFrame->setTitle(u"[VIP] 文件名：GoodLuck.txt"_s);
    vipFrame->setGeometry(Twips::rect(120, 5280, 9135, 2295));
    vipListView = makeList(vipFrame, u"vipListView"_s, vipModel);
    vipListView->setGeometry(Twips::rect(120, 240, 8895, 1470));
    deleteVipButton = makeButton(vipFrame, u"deleteVipButton"_s, u"删除"_s, Twips::rect(8280, 1800, 735, 375));
    connect(deleteVipButton, &QPushButton::clicked, this, &DataFileEditor::deleteVip);

    for (QPushButton *button : findChildren<QPushButton *>())
        button->installEventFilter(this);

    QWidget *const tabOrder[] = {columnBox[1], columnBox[2], columnBox[3], entryButton[0], entryButton[1], entryListView,
                                 addVipButton, vipListView, positionBox, entryButton[2], deleteVipButton, saveButton, showVipBox,
                                 importButton};
    for (size_t k = 1; k < std::size(tabOrder); ++k)
        setTabOrder(tabOrder[k - 1], tabOrder[k]);

    connect(entryListView->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!refilling && selectedRow(entryListView) >= 0)
            showSelectedEntry();
    });
    connect(entryListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { keepRowSelected(entryListView); });
    connect(vipListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { keepRowSelected(vipListView); });

    loadFiles();
    columnBox[1]->setFocus();
}

void DataFileEditor::loadFiles()
{
    separator = settings.fieldSeparator;
    dataPath = settings.dataFilePath();
    vipPath = settings.vipFile();
    entryModel->setSeparator(separator);
    vipModel->setSeparator(separator);

    dataFileFrame->setTitle(u"[数据文件] 文件名："_s + settings.dataFile);
    loadEntryList(dataPath);
    showEntryList(0);
    loadVipList(vipPath);
    showVipList(0);
    const std::tuple<QString, int, int> files[] = {{dataPath, unreadData, wideData}, {vipPath, unreadVip, wideVip}};
    for (const auto &[path, unread, wide] : files) {
        if (unread > 0 || wide > 0)
            messages.information(this, droppedText(unread, wide, u"列表中没有%1。"_s) + fileLine(path));
    }
    vipFrame->hide();
    showVipBox->setChecked(false);
    positionBox->setText(u"1"_s);
}

void DataFileEditor::loadEntryList(const QString &path)
{
    IniFile::FileText file = IniFile::readTextFile(path);
    keepDataFile = file.status == IniFile::ReadFailed
        || (file.status == IniFile::ReadOk && file.decoded.hadErrors);
    dataEncoding = file.status == IniFile::ReadOk ? file.decoded.encoding
                                                          : TextEncoding::Gb18030;
    // Text with decoding faults is still shown, as the draw would load it; it is never saved.
    unreadData = entryModel->parse(
        file.status == IniFile::ReadOk ? std::move(file.decoded.text) : QString(), &wideData);
}

void DataFileEditor::loadVipList(const QString &path)
{
    const IniFile::FileText file = IniFile::readTextFile(path);
    keepVipFile = file.status == IniFile::ReadFailed
        || (file.status == IniFile::ReadOk && file.decoded.hadErrors);
    unreadVip = vipModel->load(path, &wideVip);
}

int DataFileEditor::selectedRow(const QListView *list) const
{
    const QModelIndex current = list->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void DataFileEditor::selectRow(QListView *list, int row)
{
    QScopedValueRollback guard(refilling, true);
    if (row < 0) {
        list->selectionModel()->clear();
        return;
    }
    const QModelIndex index = list->model()->index(row, 0);
    list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    list->scrollTo(index);
}

// The user cannot clear a selection: a Ctrl+click on the selected row selects it again.
void DataFileEditor::keepRowSelected(QListView *list)
{
    if (refilling || list->selectionModel()->hasSelection())
        return;
    const QModelIndex current = list->currentIndex();
    if (current.isValid())
        list->selectionModel()->select(current, QItemSelectionModel::Select);
}

void DataFileEditor::showEntryList(int sel)
{
    sel = std::min(std::max(sel, 0), entryModel->rowCount() - 1);
    selectRow(entryListView, sel);
    if (sel >= 0)
        showSelectedEntry();
}

void DataFileEditor::showVipList(int sel)
{
    sel = std::min(std::max(sel, 0), vipModel->rowCount() - 1);
    selectRow(vipListView, sel);
}

void DataFileEditor::showSelectedEntry()
{
    const int e = selectedRow(entryListView) + 1;
    if (e < 1)
        return;
    for (int c = 1; c <= 3; ++c)
        columnBox[c]->setText(editEntries.column(e, c).toString());
}

void DataFileEditor::editEntry(int index)
{
    const EntryRecord typed{columnBox[1]->text(), columnBox[2]->text(), columnBox[3]->text()};
    switch (index) {
    case 0: // 增加
        if (ValueText::trimBlanks(typed.column1).isEmpty() && ValueText::trimBlanks(typed.column2).isEmpty()
            && ValueText::trimBlanks(typed.column3).isEmpty())
            return;
        {
            QScopedValueRollback guard(refilling, true);
            entryModel->append(typed);
        }
        showEntryList(editEntries.entryCount());
        for (int c = 1; c <= 3; ++c)
            columnBox[c]->clear();
        return;
    case 1: { // 删除
        const int r = selectedRow(entryListView);
        if (editEntries.isEmpty() || r < 0)
            return;
        {
            QScopedValueRollback guard(refilling, true);
            entryModel->remove(r);
        }
        showEntryList(r);
        return;
    }
    case 2: { // 修改
        const int r = selectedRow(entryListView);
        if (editEntries.isEmpty() || r < 0)
            return;
        entryModel->replace(r, typed);
        showEntryList(r);
        return;
    }
    }
}

void DataFileEditor::addToVipList()
{
    const int r = selectedRow(entryListView);
    if (r < 0)
        return;
    const int p = ValueText::valInRange(positionBox->text(), 1, 9999, 1);
    const EntryRecord entry = editEntries.record(r + 1);
    vipModel->append({QString::number(p), entry.column1, entry.column2, entry.column3});
    showVipList(editVips.vipCount());
}

void DataFileEditor::deleteVip()
{
    const int r = selectedRow(vipListView);
    if (editVips.vipCount() == 0 || r < 0)
        return;
    {
        QScopedValueRollback guard(refilling, true);
        vipModel->remove(r);
    }
    showVipList(r);
}

void DataFileEditor::toggleVipList()
{
    vipFrame->setVisible(showVipBox->isChecked());
}

void DataFileEditor::setRosterChooser(std::function<QString()> chooser)
{
    chooseRosterFile = std::move(chooser);
}

void DataFileEditor::importRoster()
{
    const QString path = chooseRosterFile
        ? chooseRosterFile()
        : QFileDialog::getOpenFileName(this, u"导入名单"_s, QString(),
                                       u"名单 (*.xlsx *.csv *.txt);;所有文件 (*)"_s);
    if (path.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RosterFile file = RosterReader::read(path);
    QApplication::restoreOverrideCursor();
    if (!file.error.isEmpty()) {
        messages.error(this, file.error);
        return;
    }
    RosterImportDialog dialog(std::move(file), path, separator, editEntries, messages, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool replace = dialog.replacesExisting();
    const EntryTable entries = dialog.takeEntries();
    const int first = replace ? 0 : editEntries.entryCount();
    {
        QScopedValueRollback guard(refilling, true);
        entryModel->addAll(entries, replace);
    }
    // The first imported entry is selected; saving writes the file as any edit does.
    showEntryList(first);
}

// A save that would drop lines the editor could not read, or columns beyond the third, goes
// ahead only when the user says so.
bool DataFileEditor::mayDropUnread(const QString &path, int unread, int wide)
{
    if (unread == 0 && wide == 0)
        return true;
    if (messages.question(this, droppedText(unread, wide, u"保存将删除%1。仍要保存？"_s) + fileLine(path),
                          MessageBoxes::Answer::No)
        == MessageBoxes::Answer::Yes)
        return true;
    messages.information(this, u"文件未保存，保持原样。"_s + fileLine(path));
    return false;
}

void DataFileEditor::saveAll()
{
    constexpr int declined = 1;
    int r1 = IniFile::ReadFailed;
    if (!keepDataFile) {
        r1 = mayDropUnread(dataPath, unreadData, wideData)
            ? saveEntryFile(editEntries, separator, dataPath, dataEncoding)
            : declined;
        if (r1 == 0)
            unreadData = wideData = 0; // the file now holds just what the list shows
    }
    int r2 = IniFile::ReadFailed;
    if (!keepVipFile) {
        r2 = mayDropUnread(vipPath, unreadVip, wideVip) ? saveVipFile(editVips, separator, vipPath)
                                                        : declined;
        if (r2 == 0)
            unreadVip = wideVip = 0;
    }
    if (r1 == 0 && r2 == 0) {
        messages.information(this, u"保存完成！"_s);
        return;
    }
    if (r1 == IniFile::ReadFailed)
        messages.error(this, saveFailedText(dataPath));
    if (r2 == IniFile::ReadFailed)
        messages.error(this, saveFailedText(vipPath));
}

void DataFileEditor::saveOnClose()
{
    saveAll();
}

// Every way of closing (the title bar, reject, accept) ends here: the files are always written.
void DataFileEditor::done(int result)
{
    saveOnClose();
    QDialog::done(result);
}

// Enter walks column 1, column 2, column 3, then "增加". Enter on a focused button presses it,
// as on the desktop this was made for; on the three entry buttons the focus returns to column 1,
// so typing the next entry can start at once.
bool DataFileEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return QDialog::eventFilter(watched, event);
    if (watched == columnBox[1] || watched == columnBox[2]) {
        (watched == columnBox[1] ? columnBox[2] : columnBox[3])->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (watched == columnBox[3]) {
        entryButton[0]->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (auto *button = qobject_cast<QPushButton *>(watched)) {
        if (button == entryButton[0] || button == entryButton[1] || button == entryButton[2])
            columnBox[1]->setFocus(Qt::TabFocusReason);
        button->click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Escape does not close the editor: closing writes both files, so it takes a deliberate act.
void DataFileEditor::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
