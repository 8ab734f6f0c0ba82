#pragma once

#include "entries/Duplicates.h"
#include "entries/EntryTable.h"
#include "import/RosterImport.h"
#include "import/RosterReader.h"

#include <QDialog>

#include <array>

class MessageBoxes;
class RosterPreviewModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableView;

// The preview of a roster before it goes into the editor: sheet, headings, which columns
// become the three columns, what was replaced, the duplicates, and replace or append.
class RosterImportDialog : public QDialog
{
    Q_OBJECT

public:
    // file has been read without error; existing is the editor's list, for appending.
    RosterImportDialog(RosterFile file, const QString &path, const QString &separator,
                       const EntryTable &existing, MessageBoxes &messages, QWidget *parent = nullptr);
    RosterImportDialog(const RosterImportDialog &) = delete;
    RosterImportDialog &operator=(const RosterImportDialog &) = delete;

    bool replacesExisting() const;
    // The entries to add (or to replace the list with), duplicates removed when asked.
    EntryTable takeEntries();

private:
    void showSheet();
    void chooseSheet(int index);
    void fillColumnBoxes();
    void mappingChanged();
    void refresh();

    RosterFile file;
    const QString path;
    const QString separator;
    const EntryTable &existing;
    MessageBoxes &messages;
    RosterImport::Mapping mapping;
    RosterImport::Entries imported;
    QList<DuplicateGroup> groups; // over the list the import gives: existing ones first when appending
    bool filling = false;

    RosterPreviewModel *preview = nullptr;
    QLabel *sheetLabel = nullptr;
    QComboBox *sheetBox = nullptr;
    QCheckBox *headerBox = nullptr;
    std::array<QComboBox *, 3> columnBoxes{};
    QTableView *table = nullptr;
    QLabel *summary = nullptr;
    QPlainTextEdit *duplicateList = nullptr;
    QCheckBox *removeDuplicates = nullptr;
    QRadioButton *replaceButton = nullptr;
    QRadioButton *appendButton = nullptr;
    QPushButton *okButton = nullptr;
};
