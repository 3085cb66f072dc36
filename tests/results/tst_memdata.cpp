#include "host/core/gbk.h"
#include "results/memdata.h"

#include <QSignalSpy>
#include <QTest>

using namespace quib;
using namespace quib::results;

namespace {

std::string Gbk(const QString& text) { return gbk::FromUnicode(text); }

std::string Repeat(const QString& piece, int times) { return Gbk(piece.repeated(times)); }

const std::string& FieldOf(const ResultRow& row, int column)
{
    switch (column) {
    case ColCaption: return row.Caption;
    case ColUrl: return row.Url;
    case ColDate: return row.Date;
    default: return row.Link;
    }
}

RowFields FieldsWith(int column, const std::string& value)
{
    RowFields fields;
    switch (column) {
    case ColCaption: fields.Caption = value; break;
    case ColUrl: fields.Url = value; break;
    case ColDate: fields.Date = value; break;
    default: fields.Link = value; break;
    }
    return fields;
}

RowFields Caption(const QString& caption)
{
    RowFields fields;
    fields.Caption = Gbk(caption);
    return fields;
}

}  // namespace

class TestMemData : public QObject {
    Q_OBJECT
private slots:
    void cutToFieldSize_data();
    void cutToFieldSize();
    void recIdsAreUniqueAndIncreasing();
    void appendedRowsStartChecked();
    void closedTableIgnoresAppendsAndUpdates();
    void closeDropsRowsAndRestartsNumbering();
    void keptRowsStayInFrontWithTheirNumbers();
    void updateAssignsOnlyEngagedFields();
    void freezeHoldsSignalsUntilLastThaw();
    void strayThawDoesNothing();
    void closeWhileFrozen();
    void headers_data();
    void headers();
    void displayIsUnicode();
};

void TestMemData::cutToFieldSize_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("viaUpdate");
    QTest::addColumn<std::string>("value");
    QTest::addColumn<std::string>("stored");

    const std::string ascii100(100, 'a');
    const std::string chinese50 = Repeat(u"标"_qs, 50);
    for (bool update : {false, true}) {
        const char* how = update ? "update" : "append";
        const auto name = [how](const char* what) { return QByteArray(how) + ": " + what; };
        QTest::newRow(name("caption ascii fits")) << int(ColCaption) << update << ascii100 << ascii100;
        QTest::newRow(name("caption ascii cut")) << int(ColCaption) << update << ascii100 + "b" << ascii100;
        QTest::newRow(name("caption chinese fits")) << int(ColCaption) << update << chinese50 << chinese50;
        QTest::newRow(name("caption chinese cut"))
            << int(ColCaption) << update << chinese50 + Gbk(u"题"_qs) << chinese50;
        // One ASCII byte in front moves every character boundary to an odd offset.
        QTest::newRow(name("caption odd boundary"))
            << int(ColCaption) << update << "x" + chinese50 << "x" + Repeat(u"标"_qs, 49);
        QTest::newRow(name("url ascii cut")) << int(ColUrl) << update << std::string(300, 'u') << std::string(255, 'u');
        QTest::newRow(name("url chinese cut"))
            << int(ColUrl) << update << Repeat(u"地"_qs, 128) << Repeat(u"地"_qs, 127);
        QTest::newRow(name("url odd boundary"))
            << int(ColUrl) << update << "x" + Repeat(u"地"_qs, 128) << "x" + Repeat(u"地"_qs, 127);
        QTest::newRow(name("date chinese cut"))
            << int(ColDate) << update << Repeat(u"年"_qs, 11) << Repeat(u"年"_qs, 10);
        QTest::newRow(name("date odd boundary"))
            << int(ColDate) << update << "2" + Repeat(u"年"_qs, 10) << "2" + Repeat(u"年"_qs, 9);
        QTest::newRow(name("date ascii fits"))
            << int(ColDate) << update << std::string("2009-05-01 12:00:00") << std::string("2009-05-01 12:00:00");
        QTest::newRow(name("link odd boundary")) << int(ColLink) << update << std::string(253, 'l') + Gbk(u"链链"_qs)
                                                 << std::string(253, 'l') + Gbk(u"链"_qs);
    }
}

void TestMemData::cutToFieldSize()
{
    QFETCH(int, column);
    QFETCH(bool, viaUpdate);
    QFETCH(std::string, value);
    QFETCH(std::string, stored);

    MemData data;
    data.Open();
    int index = 0;
    if (viaUpdate) {
        index = data.Append(FieldsWith(column, "short"));
        data.Update(index, FieldsWith(column, value));
    } else {
        index = data.Append(FieldsWith(column, value));
    }
    QCOMPARE(FieldOf(data.Row(index), column), stored);
}

void TestMemData::recIdsAreUniqueAndIncreasing()
{
    MemData data;
    data.Open();
    for (int i = 0; i < 20; ++i)
        QCOMPARE(data.Append({}), i);
    for (int i = 1; i < data.Count(); ++i)
        QVERIFY(data.Row(i).RecId > data.Row(i - 1).RecId);
    for (int i = 0; i < data.Count(); ++i)
        QCOMPARE(data.IndexOfRecId(data.Row(i).RecId), i);
    QCOMPARE(data.IndexOfRecId(0), -1);
    QCOMPARE(data.IndexOfRecId(data.Row(19).RecId + 1), -1);
}

void TestMemData::appendedRowsStartChecked()
{
    MemData data;
    data.Open();
    const int plain = data.Append(Caption(u"一"_qs));
    RowFields unchecked = Caption(u"二"_qs);
    unchecked.Status = false;
    const int given = data.Append(unchecked);
    QVERIFY(data.Row(plain).Status);
    QVERIFY(!data.Row(given).Status);
}

void TestMemData::closedTableIgnoresAppendsAndUpdates()
{
    MemData data;
    QVERIFY(!data.Active());
    QSignalSpy inserted(&data, &QAbstractItemModel::rowsInserted);
    QCOMPARE(data.Append(Caption(u"丢"_qs)), -1);
    QCOMPARE(data.Count(), 0);
    QCOMPARE(inserted.count(), 0);

    data.Open();
    data.Append(Caption(u"留"_qs));
    QSignalSpy changed(&data, &QAbstractItemModel::dataChanged);
    data.Update(-1, Caption(u"错"_qs));
    data.Update(1, Caption(u"错"_qs));
    data.SetStatus(1, false);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(data.Row(0).Caption, Gbk(u"留"_qs));

    data.Close();
    data.Update(0, Caption(u"错"_qs));
    data.SetStatus(0, false);
    QCOMPARE(data.Append({}), -1);
    QCOMPARE(data.Count(), 0);
    QVERIFY(!data.setData(data.index(0, ColCaption), u"错"_qs));
}

void TestMemData::closeDropsRowsAndRestartsNumbering()
{
    MemData data;
    data.Open();
    data.Append({});
    data.Append({});
    QSignalSpy reset(&data, &QAbstractItemModel::modelReset);
    data.Close();
    QCOMPARE(reset.count(), 1);
    QVERIFY(!data.Active());
    QCOMPARE(data.Count(), 0);
    QCOMPARE(data.rowCount(), 0);

    data.Open();
    const int index = data.Append({});
    QCOMPARE(data.Row(index).RecId, 1);
}

// A collection with 追加采集 checked opens the table without closing it first.
void TestMemData::keptRowsStayInFrontWithTheirNumbers()
{
    MemData data;
    data.Open();
    data.Append(Caption(u"旧一"_qs));
    data.Append(Caption(u"旧二"_qs));
    data.SetStatus(1, false);

    data.Open();
    data.Freeze();
    data.Append(Caption(u"新一"_qs));
    data.Append(Caption(u"新二"_qs));
    data.Thaw();

    QCOMPARE(data.Count(), 4);
    QCOMPARE(data.Row(0).Caption, Gbk(u"旧一"_qs));
    QCOMPARE(data.Row(0).RecId, 1);
    QCOMPARE(data.Row(1).RecId, 2);
    QVERIFY(!data.Row(1).Status);
    QCOMPARE(data.Row(2).Caption, Gbk(u"新一"_qs));
    QCOMPARE(data.Row(2).RecId, 3);
    QCOMPARE(data.Row(3).RecId, 4);
}

void TestMemData::updateAssignsOnlyEngagedFields()
{
    MemData data;
    data.Open();
    RowFields all;
    all.Caption = "c";
    all.Url = "u";
    all.Date = "d";
    all.Link = "l";
    const int index = data.Append(all);
    RowFields some;
    some.Url = "";
    some.Status = false;
    data.Update(index, some);
    const ResultRow& row = data.Row(index);
    QCOMPARE(row.Caption, std::string("c"));
    QCOMPARE(row.Url, std::string());
    QCOMPARE(row.Date, std::string("d"));
    QCOMPARE(row.Link, std::string("l"));
    QVERIFY(!row.Status);
    QCOMPARE(row.RecId, 1);
}

void TestMemData::freezeHoldsSignalsUntilLastThaw()
{
    MemData data;
    data.Open();
    QSignalSpy aboutToInsert(&data, &QAbstractItemModel::rowsAboutToBeInserted);
    QSignalSpy inserted(&data, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&data, &QAbstractItemModel::dataChanged);
    data.Append({});
    data.Append({});
    data.Append({});
    QCOMPARE(inserted.count(), 3);  // one per row while not frozen
    QCOMPARE(inserted.at(2).at(1).toInt(), 2);
    inserted.clear();
    aboutToInsert.clear();

    data.Freeze();
    data.Freeze();
    QVERIFY(data.Frozen());
    for (int i = 0; i < 1000; ++i)
        data.Append(Caption(u"冻"_qs));
    data.SetStatus(2, false);
    data.Update(1, Caption(u"改"_qs));
    data.Update(500, Caption(u"新"_qs));
    QCOMPARE(data.Count(), 1003);
    QCOMPARE(data.rowCount(), 3);  // the views still see what was announced
    data.Thaw();
    QVERIFY(data.Frozen());
    QCOMPARE(aboutToInsert.count(), 0);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(changed.count(), 0);

    data.Thaw();
    QVERIFY(!data.Frozen());
    QCOMPARE(aboutToInsert.count(), 1);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 3);
    QCOMPARE(inserted.at(0).at(2).toInt(), 1002);
    QCOMPARE(changed.count(), 1);
    const auto topLeft = changed.at(0).at(0).value<QModelIndex>();
    const auto bottomRight = changed.at(0).at(1).value<QModelIndex>();
    QCOMPARE(topLeft.row(), 1);
    QCOMPARE(bottomRight.row(), 2);
    QVERIFY(topLeft.column() <= ColStatus && bottomRight.column() >= ColCaption);
    QCOMPARE(data.rowCount(), 1003);
    QCOMPARE(data.data(data.index(500, ColCaption)).toString(), u"新"_qs);
}

void TestMemData::strayThawDoesNothing()
{
    MemData data;
    data.Open();
    QSignalSpy inserted(&data, &QAbstractItemModel::rowsInserted);
    data.Thaw();
    QVERIFY(!data.Frozen());
    data.Freeze();
    data.Append({});
    QCOMPARE(inserted.count(), 0);
    data.Thaw();
    QCOMPARE(inserted.count(), 1);
}

void TestMemData::closeWhileFrozen()
{
    MemData data;
    data.Open();
    data.Append({});
    data.Freeze();
    data.Append({});
    data.Update(0, Caption(u"改"_qs));
    data.Close();
    data.Open();
    data.Append({});
    QSignalSpy inserted(&data, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&data, &QAbstractItemModel::dataChanged);
    data.Thaw();
    QCOMPARE(changed.count(), 0);  // the changed row is gone
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 0);
    QCOMPARE(inserted.at(0).at(2).toInt(), 0);
    QCOMPARE(data.rowCount(), 1);
}

void TestMemData::headers_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("caption");
    QTest::newRow("status") << int(ColStatus) << QString();
    QTest::newRow("id") << int(ColId) << u"序号"_qs;
    QTest::newRow("caption") << int(ColCaption) << u"标题"_qs;
    QTest::newRow("url") << int(ColUrl) << u"地址"_qs;
    QTest::newRow("date") << int(ColDate) << u"时间"_qs;
    QTest::newRow("link") << int(ColLink) << QString();
}

void TestMemData::headers()
{
    QFETCH(int, column);
    QFETCH(QString, caption);
    MemData data;
    QCOMPARE(data.columnCount(), 6);
    QCOMPARE(data.headerData(column, Qt::Horizontal).toString(), caption);
}

void TestMemData::displayIsUnicode()
{
    MemData data;
    data.Open();
    RowFields fields = Caption(u"土豆视频"_qs);
    fields.Date = Gbk(u"2009年5月"_qs);
    data.Append(fields);
    QCOMPARE(data.data(data.index(0, ColCaption)).toString(), u"土豆视频"_qs);
    QCOMPARE(data.data(data.index(0, ColDate)).toString(), u"2009年5月"_qs);
    QCOMPARE(data.data(data.index(0, ColId)).toInt(), 1);
    QCOMPARE(data.data(data.index(0, ColStatus), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    data.SetStatus(0, false);
    QCOMPARE(data.data(data.index(0, ColStatus), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(data.data(data.index(0, ColId), MemData::kSortRole).userType(), QMetaType::Int);
}

QTEST_MAIN(TestMemData)
#include "tst_memdata.moc"
