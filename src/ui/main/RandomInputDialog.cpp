#include "RandomInputDialog.h"

#include "draw/VerifiableRecord.h"
#include "draw/VerifiableSelection.h"
#include "ui/common/Fonts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QString grouped(QStringView hex)
{
    return VerifiableRecordFile::groupedHex(hex);
}

} // namespace

RandomInputDialog::RandomInputDialog(int poolSize, int drawCount, const QString &sha256, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(u"ZOP摇号（输入随机数）"_s);
    auto *layout = new QVBoxLayout(this);
    auto *fixed = new QLabel(u"名单共 %1 人，摇出 %2 个；名单SHA256：%3"_s.arg(poolSize).arg(drawCount).arg(grouped(sha256.left(16))), this);
    layout->addWidget(fixed);
    layout->addWidget(new QLabel(u"请输入事先公布的随机数：每行一个来源，各数以空格分隔。"_s, this));
    numbersBox = new QPlainTextEdit(this);
    numbersBox->setObjectName(u"numbersBox"_s);
    numbersBox->setTabChangesFocus(true);
    numbersBox->setFont(Fonts::layoutFont(Fonts::heiti(), 16));
    layout->addWidget(numbersBox);
    layout->addWidget(new QLabel(u"密钥："_s, this));
    keyLabel = new QLabel(this);
    keyLabel->setObjectName(u"keyLabel"_s);
    keyLabel->setFont(Fonts::layoutFont(Fonts::heiti(), 20, true));
    keyLabel->setWordWrap(true);
    keyLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(keyLabel);

    auto *buttons = new QDialogButtonBox(this);
    okButton = buttons->addButton(u"确定"_s, QDialogButtonBox::AcceptRole);
    okButton->setObjectName(u"okButton"_s);
    buttons->addButton(u"取消"_s, QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(numbersBox, &QPlainTextEdit::textChanged, this, &RandomInputDialog::updateKey);
    resize(640, 420);
    updateKey();
}

QStringList RandomInputDialog::sources() const
{
    QStringList out;
    for (const QString &line : numbersBox->toPlainText().split(u'\n')) {
        if (!line.trimmed().isEmpty())
            out.append(line.trimmed());
    }
    return out;
}

void RandomInputDialog::updateKey()
{
    const auto key = Rfc3797::keyFromSources(sources());
    okButton->setEnabled(key.has_value());
    if (key)
        keyLabel->setText(QString::fromLatin1(*key));
    else
        keyLabel->setText(sources().isEmpty() ? QString() : u"（只能输入数字和空格）"_s);
}

QString poolFixedMessage(int poolSize, int drawCount, const QString &sha256, const QString &poolFile)
{
    return u"<p>名单已固定：共 %1 人，摇出 %2 个。</p>"
           "<p>名单SHA256前16位：</p>"
           "<p style=\"font-size:36pt; font-weight:bold; white-space:pre\">%3 %4<br>%5 %6</p>"
           "<p>完整值：<br><tt>%7<br>%8</tt></p>"
           "<p>名单文件：%9</p>"_s
        .arg(poolSize)
        .arg(drawCount)
        // Two lines that never wrap: the digits read as 8 + 8 whatever the face's widths, never 12 + 4.
        .arg(sha256.mid(0, 4), sha256.mid(4, 4), sha256.mid(8, 4), sha256.mid(12, 4),
             grouped(QStringView(sha256).left(32)), grouped(QStringView(sha256).mid(32)), poolFile.toHtmlEscaped());
}
