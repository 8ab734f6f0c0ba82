#include "PrizeEditor.h"

#include "draw/ResultFile.h"
#include "settings/IniFile.h"
#include "settings/ValueText.h"
#include "ui/common/Fonts.h"
#include "ui/common/MessageBoxes.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

enum Column { NameColumn, CountColumn, PictureColumn };

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QString cellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? ValueText::trimBlanks(item->text()).toString() : QString();
}

} // namespace

PrizeEditor::PrizeEditor(const QString &appDir, MessageBoxes &messages, QWidget *parent)
    : QDialog(parent), appDir(appDir), path(appDir + PrizeLists::fileName()), messages(messages)
{
    setWindowTitle(u"奖项设置"_s);
    setFont(Fonts::layoutFont(Fonts::songti(), 10));
    resize(560, 360);
    choosePicture = [](QWidget *owner, const QString &folder) {
        return QFileDialog::getOpenFileName(owner, u"选择奖项图片"_s, folder,
                                            u"图片 (*.jpg *.jpeg *.png *.bmp *.gif);;所有文件 (*)"_s);
    };

    table = new QTableWidget(0, 3, this);
    table->setObjectName(u"prizeTable"_s);
    table->setHorizontalHeaderLabels({u"奖项名称"_s, u"人数"_s, u"图片文件"_s});
    table->horizontalHeader()->setSectionResizeMode(PictureColumn, QHeaderView::Stretch);
    table->setColumnWidth(NameColumn, 160);
    table->setColumnWidth(CountColumn, 70);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);

    auto *add = makeButton(this, u"add"_s, u"增加"_s);
    auto *remove = makeButton(this, u"remove"_s, u"删除"_s);
    auto *up = makeButton(this, u"up"_s, u"上移"_s);
    auto *down = makeButton(this, u"down"_s, u"下移"_s);
    auto *picture = makeButton(this, u"picture"_s, u"图片…"_s);
    auto *saveButton = makeButton(this, u"save"_s, u"保存"_s);
    auto *cancel = makeButton(this, u"cancel"_s, u"取消"_s);

    auto *side = new QVBoxLayout;
    for (QPushButton *b : {add, remove, up, down, picture})
        side->addWidget(b);
    side->addStretch();
    side->addWidget(saveButton);
    side->addWidget(cancel);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(table);
    layout->addLayout(side);

    connect(add, &QPushButton::clicked, this, [this] {
        addRow({u"新奖项"_s, 1, {}});
        table->setCurrentCell(table->rowCount() - 1, NameColumn);
        table->editItem(table->item(table->rowCount() - 1, NameColumn));
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (table->currentRow() >= 0)
            table->removeRow(table->currentRow());
    });
    connect(up, &QPushButton::clicked, this, [this] { moveRow(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveRow(1); });
    connect(picture, &QPushButton::clicked, this, &PrizeEditor::pickPicture);
    connect(saveButton, &QPushButton::clicked, this, [this] {
        if (save())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    loaded = PrizeLists::read(path);
    for (const Prize &p : std::as_const(loaded.prizes))
        addRow(p);
    if (loaded.status == IniFile::ReadFailed || loaded.hadErrors)
        messages.error(this, u"“%1”无法完整读取，不会被保存。"_s.arg(QDir::toNativeSeparators(path)));
    else if (!loaded.badLines.isEmpty())
        messages.information(this, PrizeLists::badLinesMessage(loaded));
}

void PrizeEditor::addRow(const Prize &prize)
{
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, NameColumn, new QTableWidgetItem(prize.name));
    table->setItem(row, CountColumn, new QTableWidgetItem(QString::number(prize.count)));
    table->setItem(row, PictureColumn, new QTableWidgetItem(prize.picture));
}

void PrizeEditor::moveRow(int by)
{
    const int from = table->currentRow();
    const int to = from + by;
    if (from < 0 || to < 0 || to >= table->rowCount())
        return;
    for (int c = 0; c < table->columnCount(); ++c) {
        QTableWidgetItem *a = table->takeItem(from, c);
        QTableWidgetItem *b = table->takeItem(to, c);
        table->setItem(from, c, b);
        table->setItem(to, c, a);
    }
    table->setCurrentCell(to, table->currentColumn());
}

void PrizeEditor::pickPicture()
{
    const int row = table->currentRow();
    if (row < 0)
        return;
    const QString chosen = choosePicture(this, appDir);
    if (chosen.isEmpty())
        return;
    // A picture inside the program's folder is stored by its relative name, so the folder can move.
    const QString relative = QDir(appDir).relativeFilePath(chosen);
    table->item(row, PictureColumn)->setText(relative.startsWith(u"../"_s) ? chosen : relative);
}

QList<Prize> PrizeEditor::prizes() const
{
    QList<Prize> list;
    for (int r = 0; r < table->rowCount(); ++r)
        list.append({cellText(table, r, NameColumn), cellText(table, r, CountColumn).toInt(),
                     cellText(table, r, PictureColumn)});
    return list;
}

QString PrizeEditor::rowProblem() const
{
    QStringList names;
    for (int r = 0; r < table->rowCount(); ++r) {
        const QString name = cellText(table, r, NameColumn);
        if (const QString why = PrizeLists::nameProblem(name, names); !why.isEmpty())
            return u"第 %1 行：%2。"_s.arg(r + 1).arg(why);
        bool number = false;
        const int count = cellText(table, r, CountColumn).toInt(&number);
        if (!number || count < 1 || count > PrizeLists::maxCount)
            return u"第 %1 行的人数须为 1 至 %2 的整数。"_s.arg(r + 1).arg(PrizeLists::maxCount);
        if (cellText(table, r, PictureColumn).contains(u'\t'))
            return u"第 %1 行的图片文件名不能含有 Tab。"_s.arg(r + 1);
        names.append(name);
    }
    return {};
}

bool PrizeEditor::save()
{
    if (loaded.status == IniFile::ReadFailed || loaded.hadErrors) {
        messages.error(this, u"“%1”无法完整读取，未保存。"_s.arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (const QString problem = rowProblem(); !problem.isEmpty()) {
        messages.error(this, problem);
        return false;
    }
    const int bad = int(loaded.badLines.size());
    if (bad > 0
        && messages.question(this, u"%1 行无法读取，保存将删除这些行。仍要保存？"_s.arg(bad),
                             MessageBoxes::Answer::No)
               != MessageBoxes::Answer::Yes) {
        messages.information(this, u"“%1”未保存。"_s.arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (IniFile::writeWholeFile(PrizeLists::text(prizes()), path, loaded.encoding)
        != IniFile::ReadOk) {
        messages.error(this, u"保存失败！\r\n文件:"_s + QDir::toNativeSeparators(path));
        return false;
    }
    loaded.badLines.clear(); // the file now holds just what the table shows
    loaded.badReasons.clear();
    // Saved all the same: the picture may be copied in later.
    if (const QString missing = PrizeLists::missingPicturesMessage(prizes(), appDir); !missing.isEmpty())
        messages.information(this, missing);
    return true;
}
