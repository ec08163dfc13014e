// Line lists: splitting text into lines and joining them with CR LF.
#include "platform/StringList.h"

#include <QTest>

class TestStringList : public QObject {
    Q_OBJECT

private slots:
    void splitsLines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArrayList>("lines");

        QTest::newRow("empty") << QByteArray() << QByteArrayList{};
        QTest::newRow("one line, no break") << QByteArray("a") << QByteArrayList{"a"};
        QTest::newRow("final break adds no line") << QByteArray("a\r\n") << QByteArrayList{"a"};
        QTest::newRow("a break alone") << QByteArray("\r\n") << QByteArrayList{""};
        QTest::newRow("CR LF, LF, CR") << QByteArray("a\r\nb\nc\rd") << QByteArrayList{"a", "b", "c", "d"};
        QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QByteArrayList{"a", "", "b"};
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QByteArrayList{"a", "", "b"};
        QTest::newRow("empty lines kept") << QByteArray("\n\na\n\n") << QByteArrayList{"", "", "a", ""};
        QTest::newRow("NUL ends the text") << QByteArray("a\r\nb\0c\r\nd", 9) << QByteArrayList{"a", "b"};
        QTest::newRow("NUL first") << QByteArray("\0a", 2) << QByteArrayList{};
        QTest::newRow("8-bit bytes kept")
            << QByteArray("\x94\xF5\x8Dl\r\n\xB7\xAC") << QByteArrayList{"\x94\xF5\x8Dl", "\xB7\xAC"};
    }

    void splitsLines()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArrayList, lines);

        platform::TStringList list;
        list.Add("left over");
        list.SetText(std::string_view(text.constData(), static_cast<size_t>(text.size())));
        QByteArrayList got;
        for (int i = 0; i < list.Count(); ++i)
            got << QByteArray::fromStdString(list[i]);
        QCOMPARE(got, lines);
    }

    void joinsWithCrLf()
    {
        platform::TStringList list;
        QCOMPARE(list.Text(), std::string());
        list.Add("a");
        list.Add("");
        list.Add("b");
        QCOMPARE(list.Text(), std::string("a\r\n\r\nb\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestStringList)
#include "tst_stringlist.moc"
