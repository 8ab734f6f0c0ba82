#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// Asks for the public random numbers announced before the draw, one source a line, and shows
// the key they give while they are typed, for the audience to check.
class RandomInputDialog : public QDialog
{
    Q_OBJECT

public:
    // poolSize, drawCount and sha256 repeat what was announced at confirmation.
    RandomInputDialog(int poolSize, int drawCount, const QString &sha256, QWidget *parent = nullptr);

    // The lines typed, blank ones left out.
    QStringList sources() const;

private:
    void updateKey();

    QPlainTextEdit *numbersBox = nullptr;
    QLabel *keyLabel = nullptr;
    QPushButton *okButton = nullptr;
};

// The message after a verifiable draw's pool is fixed: n, k and the digest, its first 16 hex
// digits large enough to read across a room (rich text).
QString poolFixedMessage(int poolSize, int drawCount, const QString &sha256, const QString &poolFile);
