#include "Generated.h"

using namespace Qt::StringLiterals;

namespace Generated {

EntryRecord entry(int i)
{
    return {u"参与者"_s + QString::number(i), QString::number(10000000 + i), u"第"_s + QString::number(i % 37) + u"部门"_s};
}

void fillTable(EntryTable &table, int n)
{
    table.clear();
    for (int i = 1; i <= n; ++i)
        table.append(entry(i));
}

QString resultLine(int i)
{
    const EntryRecord e = entry(i);
    return e.column1 + separator + e.column2 + separator + e.column3;
}

QString dataFileBody()
{
    // A block of entries repeated: the size matters here, and a repeat costs only a copy.
    static const QString body = [] {
        QString block;
        for (int i = 1; i <= 1000; ++i)
            block += resultLine(i) + u"\r\n";
        return block.repeated(110);
    }();
    return body;
}

QString dataFileHead(int version)
{
    return resultLine(200000 + version) + u"\r\n";
}

QString dataFileTail(int version)
{
    QString text;
    for (int i = 1; i <= version % 7; ++i)
        text += resultLine(300000 + i) + u"\r\n";
    return text;
}

QString dataFileText(int version)
{
    return dataFileHead(version) + dataFileBody() + dataFileTail(version);
}

QString settingsKey()
{
    return u"标题文字"_s;
}

QString settingsValue(int version)
{
    return u"第%1次保存"_s.arg(version) + QString(version % 5 * 40, u'摇');
}

} // namespace Generated
