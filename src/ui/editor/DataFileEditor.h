#pragma once

#include "entries/EntryTable.h"
#include "entries/VipList.h"
#include "settings/TextCodec.h"

#include <QDialog>

#include <array>
#include <functional>

struct Settings;
class MessageBoxes;
class EntryListModel;
class VipListModel;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

// The data file editor: edits a copy of the data file's entries and of the VIP list, and writes
// both files back on "保存" and whenever the window closes. The lists load when it is built.
class DataFileEditor : public QDialog
{
    Q_OBJECT

public:
    DataFileEditor(Settings &settings, MessageBoxes &messages, QWidget *parent = nullptr);
    DataFileEditor(const DataFileEditor &) = delete;
    DataFileEditor &operator=(const DataFileEditor &) = delete;

    void loadFiles();
    void showSelectedEntry();
    void editEntry(int index);
    void addToVipList();
    void deleteVip();
    void toggleVipList();

    // Writes both files and reports the outcome; the window stays as it is.
    void saveAll();

    // "导入名单…": a roster file chosen, previewed and added to the list (not saved yet).
    void importRoster();
    // Tests choose the file without the system's file dialog.
    void setRosterChooser(std::function<QString()> chooser);

protected:
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void saveOnClose();
    void loadEntryList(const QString &path);
    void loadVipList(const QString &path);
    void showEntryList(int sel);
    void showVipList(int sel);
    void selectRow(QListView *list, int row);
    int selectedRow(const QListView *list) const;
    void keepRowSelected(QListView *list);
    bool mayDropUnread(const QString &path, int unread, int wide);

    Settings &settings;
    MessageBoxes &messages;

    QString separator; // S, fixed when the window opens
    QString dataPath;
    QString vipPath;
    EntryTable editEntries;
    VipList editVips;
    // A file that exists but did not read or decode cleanly is never written over.
    bool keepDataFile = false;
    bool keepVipFile = false;
    // Lines with more than blanks that did not read with S; a save would drop them.
    int unreadData = 0;
    int unreadVip = 0;
    // Lines with more than three columns; a save would drop the columns beyond the third.
    int wideData = 0;
    int wideVip = 0;
    TextEncoding dataEncoding = TextEncoding::Gb18030;
    bool refilling = false; // selections made by showEntryList/showVipList, not by the user

    EntryListModel *entryModel = nullptr;
    VipListModel *vipModel = nullptr;

    QGroupBox *dataFileFrame = nullptr;
    QListView *entryListView = nullptr;
    std::array<QLabel *, 3> columnHeading{};
    std::array<QLineEdit *, 4> columnBox{}; // 1..3
    std::array<QPushButton *, 3> entryButton{};
    QLabel *positionCaption = nullptr;
    QLineEdit *positionBox = nullptr;
    QPushButton *addVipButton = nullptr;
    QCheckBox *showVipBox = nullptr;
    QPushButton *saveButton = nullptr;
    QGroupBox *vipFrame = nullptr;
    QListView *vipListView = nullptr;
    QPushButton *deleteVipButton = nullptr;
    QPushButton *importButton = nullptr;
    std::function<QString()> chooseRosterFile;
};
