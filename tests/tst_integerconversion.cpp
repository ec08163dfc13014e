#include "platform/IntegerConversion.h"

#include <QTest>

using platform::EConvertError;
using platform::IntToStr;
using platform::StrToInt;

class TestIntegerConversion : public QObject {
    Q_OBJECT

private slots:
    void readsIntegers_data();
    void readsIntegers();
    void refusesNonIntegers_data();
    void refusesNonIntegers();
    void namesTheRefusedTextInTheMessage_data();
    void namesTheRefusedTextInTheMessage();
    void writesPlainDecimal_data();
    void writesPlainDecimal();
};

void TestIntegerConversion::readsIntegers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("value");

    QTest::newRow("zero") << QByteArray("0") << 0;
    QTest::newRow("leading spaces") << QByteArray("   42") << 42;
    QTest::newRow("plus sign") << QByteArray("+7") << 7;
    QTest::newRow("minus zero") << QByteArray("-0") << 0;
    QTest::newRow("spaces then sign") << QByteArray("  -15") << -15;
    QTest::newRow("decimal maximum") << QByteArray("2147483647") << INT32_MAX;
    QTest::newRow("decimal minimum") << QByteArray("-2147483648") << INT32_MIN;
    QTest::newRow("decimal leading zeros") << QByteArray("000000000002147483647") << INT32_MAX;
    QTest::newRow("prefix $") << QByteArray("$1f") << 31;
    QTest::newRow("prefix x") << QByteArray("x1F") << 31;
    QTest::newRow("prefix X") << QByteArray("X1f") << 31;
    QTest::newRow("prefix 0x") << QByteArray("0x1F") << 31;
    QTest::newRow("prefix 0X") << QByteArray("0X1f") << 31;
    QTest::newRow("hex digits of both cases") << QByteArray("$aBcDeF") << 0xABCDEF;
    QTest::newRow("spaces then hex") << QByteArray("  $10") << 16;
    QTest::newRow("hex largest positive") << QByteArray("$7FFFFFFF") << INT32_MAX;
    QTest::newRow("hex wraps to minimum") << QByteArray("$80000000") << INT32_MIN;
    QTest::newRow("hex all ones") << QByteArray("0xFFFFFFFF") << -1;
    QTest::newRow("hex leading zeros") << QByteArray("$0000000000FFFFFFFF") << -1;
}

void TestIntegerConversion::readsIntegers()
{
    QFETCH(QByteArray, text);
    QFETCH(int, value);

    QCOMPARE(StrToInt(text.toStdString()), value);
}

void TestIntegerConversion::refusesNonIntegers_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("spaces alone") << QByteArray("   ");
    QTest::newRow("minus alone") << QByteArray("-");
    QTest::newRow("plus alone") << QByteArray("+");
    QTest::newRow("two signs") << QByteArray("--1");
    QTest::newRow("space after sign") << QByteArray("- 1");
    QTest::newRow("minus before $") << QByteArray("-$1");
    QTest::newRow("plus before 0x") << QByteArray("+0x1");
    QTest::newRow("minus before x") << QByteArray("-x1");
    QTest::newRow("$ without digits") << QByteArray("$");
    QTest::newRow("0x without digits") << QByteArray("0x");
    QTest::newRow("X without digits") << QByteArray("  X");
    QTest::newRow("sign after prefix") << QByteArray("$-1");
    QTest::newRow("not a hex digit") << QByteArray("$1G");
    QTest::newRow("hex over 32 bits") << QByteArray("$100000000");
    QTest::newRow("long hex over 32 bits") << QByteArray("0x1FFFFFFFFFFFFFFFF");
    QTest::newRow("one past maximum") << QByteArray("2147483648");
    QTest::newRow("one past minimum") << QByteArray("-2147483649");
    QTest::newRow("far past maximum") << QByteArray("99999999999999999999999");
    QTest::newRow("trailing space") << QByteArray("12 ");
    QTest::newRow("trailing letter") << QByteArray("12a");
    QTest::newRow("leading tab") << QByteArray("\t12");
    QTest::newRow("trailing tab") << QByteArray("12\t");
    QTest::newRow("embedded NUL") << QByteArray("1\0"
                                                "2",
                                                3);
    QTest::newRow("full-width digits") << QByteArray("\x82\x50\x82\x51");
}

void TestIntegerConversion::refusesNonIntegers()
{
    QFETCH(QByteArray, text);

    QVERIFY_THROWS_EXCEPTION(EConvertError, StrToInt(text.toStdString()));
}

void TestIntegerConversion::namesTheRefusedTextInTheMessage_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("message");

    QTest::newRow("spaces kept") << QByteArray("  12 ") << QByteArray("'  12 ' は整数ではありません");
    QTest::newRow("code page 932 text") << QByteArray("\x82\x50\x82\x51\x94\xF5\x8D\x6C")
                                        << QByteArray("'１２備考' は整数ではありません");
}

void TestIntegerConversion::namesTheRefusedTextInTheMessage()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, message);

    try {
        StrToInt(text.toStdString());
        QFAIL("no exception");
    } catch (const platform::Exception &error) {
        QVERIFY(dynamic_cast<const EConvertError *>(&error));
        QCOMPARE(QByteArray(error.what()), message);
    }
}

void TestIntegerConversion::writesPlainDecimal_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("zero") << 0 << QByteArray("0");
    QTest::newRow("positive") << 7 << QByteArray("7");
    QTest::newRow("negative") << -7 << QByteArray("-7");
    QTest::newRow("no grouping") << 1000000 << QByteArray("1000000");
    QTest::newRow("maximum") << INT32_MAX << QByteArray("2147483647");
    QTest::newRow("minimum") << INT32_MIN << QByteArray("-2147483648");
}

void TestIntegerConversion::writesPlainDecimal()
{
    QFETCH(int, value);
    QFETCH(QByteArray, text);

    QCOMPARE(QByteArray::fromStdString(IntToStr(value)), text);
    QCOMPARE(StrToInt(IntToStr(value)), value);
}

QTEST_APPLESS_MAIN(TestIntegerConversion)
#include "tst_integerconversion.moc"
