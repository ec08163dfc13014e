#include "platform/Cp932.h"

#include <QTest>

using platform::Cp932CanHold;
using platform::FromCp932;
using platform::ToCp932;

class TestCp932 : public QObject {
    Q_OBJECT

private slots:
    void mapsTextAndBytesBothWays_data();
    void mapsTextAndBytesBothWays();
    void refusesTextOutsideTheCodePage_data();
    void refusesTextOutsideTheCodePage();
};

void TestCp932::mapsTextAndBytesBothWays_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("backslash is 0x5C") << QStringLiteral("C:\\") << QByteArray("C:\x5C");
    QTest::newRow("tilde is 0x7E") << QStringLiteral("~") << QByteArray("\x7E");
    QTest::newRow("full-width tilde") << QString(QChar(0xFF5E)) << QByteArray("\x81\x60");
    QTest::newRow("full-width backslash") << QString(QChar(0xFF3C)) << QByteArray("\x81\x5F");
    QTest::newRow("not sign") << QString(QChar(0xFFE2)) << QByteArray("\x81\xCA");
    QTest::newRow("NEC circled digit") << QString(QChar(0x2460)) << QByteArray("\x87\x40");
    QTest::newRow("half-width katakana") << QStringLiteral("ｷｬﾝｾﾙ") << QByteArray("\xB7\xAC\xDD\xBE\xD9");
    QTest::newRow("kanji and ideographic space") << QStringLiteral("備　考") << QByteArray("\x94\xF5\x81\x40\x8D\x6C");
    QTest::newRow("katakana") << QStringLiteral("ホスト") << QByteArray("\x83\x7A\x83\x58\x83\x67");
    QTest::newRow("embedded NUL") << QString::fromUtf16(u"a\0b", 3) << QByteArray("a\0b", 3);
}

void TestCp932::mapsTextAndBytesBothWays()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QCOMPARE(FromCp932(bytes.toStdString()), text);
    QCOMPARE(QByteArray::fromStdString(ToCp932(text)), bytes);
    QVERIFY(Cp932CanHold(text));
}

void TestCp932::refusesTextOutsideTheCodePage_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("emoji") << QStringLiteral("😀");
    QTest::newRow("emoji among kana") << QStringLiteral("ホスト😀");
    QTest::newRow("hanzi outside JIS") << QStringLiteral("这");
    QTest::newRow("yen sign") << QString(QChar(0x00A5));
    // Decodes from the substitute bytes, so only the encoder's error shows it.
    QTest::newRow("replacement character") << QString(QChar(0xFFFD));
    QTest::newRow("lone surrogate") << QString(QChar(0xD800));
}

void TestCp932::refusesTextOutsideTheCodePage()
{
    QFETCH(QString, text);

    QVERIFY(!Cp932CanHold(text));
}

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
