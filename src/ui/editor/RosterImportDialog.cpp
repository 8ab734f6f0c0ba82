#include "RosterImportDialog.h"

#include "RosterPreviewModel.h"
#include "entries/Duplicates.h"
#include "ui/common/MessageBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Enough to see what repeats; the count says how many there are.
constexpr int listedGroups = 500;

QComboBox *makeBox(QWidget *parent, const QString &name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->setMinimumContentsLength(8);
    return box;
}

} // namespace

RosterImportDialog::RosterImportDialog(RosterFile f, const QString &path, const QString &separator,
                                       const EntryTable &existing, MessageBoxes &messages, QWidget *parent)
    : QDialog(parent), file(std::move(f)), path(path), separator(separator), existing(existing), messages(messages)
{
    setWindowTitle(u"导入名单 - "_s + QFileInfo(path).fileName());
    resize(760, 600);

    auto *layout = new QVBoxLayout(this);
    auto *fileLabel = new QLabel(u"文件："_s + QDir::toNativeSeparators(path), this);
    fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(fileLabel);

    auto *options = new QGridLayout();
    sheetLabel = new QLabel(u"工作表："_s, this);
    sheetBox = makeBox(this, u"sheetBox"_s);
    for (const XlsxReader::SheetInfo &s : std::as_const(file.sheets))
        sheetBox->addItem(s.hidden ? s.name + u"（隐藏）"_s : s.name);
    sheetLabel->setVisible(file.sheets.size() > 1);
    sheetBox->setVisible(file.sheets.size() > 1);
    options->addWidget(sheetLabel, 0, 0);
    options->addWidget(sheetBox, 0, 1, 1, 3, Qt::AlignLeft);
    headerBox = new QCheckBox(u"第一行是标题"_s, this);
    headerBox->setObjectName(u"headerBox"_s);
    options->addWidget(headerBox, 0, 4, 1, 2);
    for (int k = 0; k < 3; ++k) {
        options->addWidget(new QLabel(u"列%1："_s.arg(k + 1), this), 1, 2 * k);
        columnBoxes[k] = makeBox(this, u"columnBox%1"_s.arg(k + 1));
        options->addWidget(columnBoxes[k], 1, 2 * k + 1);
    }
    options->setColumnStretch(6, 1);
    layout->addLayout(options);

    preview = new RosterPreviewModel(this);
    table = new QTableView(this);
    table->setObjectName(u"previewTable"_s);
    table->setModel(preview);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->horizontalHeader()->setDefaultSectionSize(110);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    layout->addWidget(table, 3);

    summary = new QLabel(this);
    summary->setObjectName(u"summary"_s);
    summary->setWordWrap(true);
    layout->addWidget(summary);
    duplicateList = new QPlainTextEdit(this);
    duplicateList->setObjectName(u"duplicateList"_s);
    duplicateList->setReadOnly(true);
    duplicateList->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(duplicateList, 1);
    removeDuplicates = new QCheckBox(u"去除重复（保留第一个）"_s, this);
    removeDuplicates->setObjectName(u"removeDuplicates"_s);
    layout->addWidget(removeDuplicates);

    auto *mode = new QHBoxLayout();
    replaceButton = new QRadioButton(u"替换现有名单"_s, this);
    replaceButton->setObjectName(u"replaceButton"_s);
    appendButton = new QRadioButton(u"追加到现有名单"_s, this);
    appendButton->setObjectName(u"appendButton"_s);
    replaceButton->setChecked(true);
    mode->addWidget(replaceButton);
    mode->addWidget(appendButton);
    mode->addStretch();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton = buttons->button(QDialogButtonBox::Ok);
    okButton->setObjectName(u"okButton"_s);
    okButton->setText(u"导入"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"取消"_s);
    mode->addWidget(buttons);
    layout->addLayout(mode);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(sheetBox, &QComboBox::activated, this, &RosterImportDialog::chooseSheet);
    connect(headerBox, &QCheckBox::toggled, this, [this](bool on) {
        if (filling)
            return;
        // The headings name the columns differently: the defaults follow them.
        mapping = RosterImport::defaultMapping(file.sheet, on);
        fillColumnBoxes();
        refresh();
    });
    for (QComboBox *box : columnBoxes)
        connect(box, &QComboBox::currentIndexChanged, this, &RosterImportDialog::mappingChanged);
    connect(appendButton, &QRadioButton::toggled, this, &RosterImportDialog::refresh);

    showSheet();
}

void RosterImportDialog::showSheet()
{
    {
        QScopedValueRollback guard(filling, true);
        sheetBox->setCurrentIndex(file.sheetIndex);
        preview->setSheet(&file.sheet);
        mapping = RosterImport::defaultMapping(file.sheet);
        headerBox->setChecked(mapping.header);
    }
    fillColumnBoxes();
    refresh();
}

void RosterImportDialog::chooseSheet(int index)
{
    if (index == file.sheetIndex)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RosterFile other = RosterReader::read(path, index);
    QApplication::restoreOverrideCursor();
    if (!other.error.isEmpty()) {
        messages.error(this, other.error);
        QScopedValueRollback guard(filling, true);
        sheetBox->setCurrentIndex(file.sheetIndex);
        return;
    }
    preview->setSheet(nullptr);
    file = std::move(other);
    showSheet();
}

void RosterImportDialog::fillColumnBoxes()
{
    QScopedValueRollback guard(filling, true);
    const int row = mapping.header ? RosterImport::headerRow(file.sheet) : -1;
    for (int k = 0; k < 3; ++k) {
        QComboBox *box = columnBoxes[k];
        box->clear();
        box->addItem(u"（空）"_s, -1);
        for (int c = 0; c < file.sheet.columnCount(); ++c) {
            QString text = RosterPreviewModel::columnName(c) + u" 列"_s;
            if (row >= 0 && !file.sheet.cell(row, c).isEmpty())
                text += u"：" + file.sheet.cell(row, c).left(20).toString();
            box->addItem(text, c);
        }
        box->setCurrentIndex(box->findData(mapping.columns[k]));
    }
}

void RosterImportDialog::mappingChanged()
{
    if (filling)
        return;
    for (int k = 0; k < 3; ++k)
        mapping.columns[k] = columnBoxes[k]->currentData().toInt();
    refresh();
}

void RosterImportDialog::refresh()
{
    if (filling)
        return;
    mapping.header = headerBox->isChecked();
    preview->setMapping(mapping.header ? RosterImport::headerRow(file.sheet) : -1, mapping.columns);
    imported = RosterImport::extract(file.sheet, mapping, separator);

    // Appending: an imported entry that repeats one already in the list counts as well.
    const bool append = appendButton->isChecked();
    const int before = append ? existing.entryCount() : 0;
    if (before > 0) {
        EntryTable all = existing;
        for (int e = 1; e <= imported.entries.entryCount(); ++e)
            all.append(imported.entries.column(e, 1), imported.entries.column(e, 2), imported.entries.column(e, 3));
        groups = findDuplicates(all);
        QStringList lines;
        for (qsizetype g = 0; g < groups.size() && g < listedGroups; ++g)
            lines.append(RosterImport::describe(groups[g], all, imported.rowNumbers, before));
        duplicateList->setPlainText(lines.join(u'\n'));
    } else {
        groups = findDuplicates(imported.entries);
        QStringList lines;
        for (qsizetype g = 0; g < groups.size() && g < listedGroups; ++g)
            lines.append(RosterImport::describe(groups[g], imported.entries, imported.rowNumbers));
        duplicateList->setPlainText(lines.join(u'\n'));
    }

    QString text = imported.entries.isEmpty() ? u"没有可导入的内容。"_s
                                              : u"将导入 %1 条。"_s.arg(imported.entries.entryCount());
    if (imported.replacedCells > 0)
        text += u"%1 个单元格含制表符、换行或分隔符，已换成空格。"_s.arg(imported.replacedCells);
    text += groups.isEmpty() ? u"没有重复。"_s : u"重复 %1 处（第一列相同或整行相同）："_s.arg(groups.size());
    summary->setText(text);
    duplicateList->setVisible(!groups.isEmpty());
    removeDuplicates->setEnabled(!groups.isEmpty());
    okButton->setEnabled(!imported.entries.isEmpty());
}

bool RosterImportDialog::replacesExisting() const
{
    return replaceButton->isChecked();
}

EntryTable RosterImportDialog::takeEntries()
{
    if (!removeDuplicates->isChecked() || groups.isEmpty())
        return std::move(imported.entries);
    const int before = replacesExisting() ? 0 : existing.entryCount();
    const std::vector<bool> repeat = laterRepeats(groups, before + imported.entries.entryCount());
    EntryTable kept;
    for (int e = 1; e <= imported.entries.entryCount(); ++e) {
        if (!repeat[size_t(before + e - 1)])
            kept.append(imported.entries.column(e, 1), imported.entries.column(e, 2), imported.entries.column(e, 3));
    }
    return kept;
}
