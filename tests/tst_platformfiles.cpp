// File streams: reading with exclusive sharing, and replacing a file whole.
#include "platform/FileEntry.h"
#include "platform/FileReplacement.h"
#include "platform/FileStream.h"
#include "platform/StreamErrors.h"
#include "platform/StringList.h"
#include "tests/support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using Setup = std::function<void()>;
Q_DECLARE_METATYPE(Setup)

namespace {

const std::string Name = "quorvel.ini";
const QByteArray OldContent = "old content\r\n";

void WriteFile(const QString &name, const QByteArray &content)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

QByteArray ReadFile(const QString &name)
{
    // Opening a FIFO for reading would wait for a writer.
    if (!QFileInfo(name).isFile())
        return QByteArray();
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Entries()
{
    return QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
}

bool Root() { return ::geteuid() == 0; }

} // namespace

class TestPlatformFiles : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        Dir = std::make_unique<QTemporaryDir>();
        QVERIFY(Dir->isValid());
        QVERIFY(QDir::setCurrent(Dir->path()));
    }
    void cleanup()
    {
        QDir::setCurrent(QDir::tempPath());
        Dir.reset();
    }

    void entryOfAnyKind_data();
    void entryOfAnyKind();
    void readsWholeFile();
    void openRefused_data();
    void openRefused();
    void fileCutShortWhileReading();
    void replacesWhole_data();
    void replacesWhole();
    void abandonedReplacementKeepsOldFile();
    void createRefused_data();
    void createRefused();
    void fullDiskKeepsOldFile();

private:
    std::unique_ptr<QTemporaryDir> Dir;
    std::unique_ptr<platform::TFileStream> Holder;
};

void TestPlatformFiles::entryOfAnyKind_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<bool>("exists");

    QTest::newRow("none") << Setup([] {}) << false;
    QTest::newRow("file") << Setup([] { WriteFile("quorvel.ini", ""); }) << true;
    QTest::newRow("directory") << Setup([] { QDir().mkdir("quorvel.ini"); }) << true;
    QTest::newRow("dangling link") << Setup([] { QFile::link("nowhere", "quorvel.ini"); }) << true;
}

void TestPlatformFiles::entryOfAnyKind()
{
    QFETCH(Setup, setup);
    QFETCH(bool, exists);
    setup();
    QCOMPARE(platform::FileEntryExists(Name), exists);
}

void TestPlatformFiles::readsWholeFile()
{
    const QByteArray content("a\r\nb\0\xFF", 6);
    WriteFile("quorvel.ini", content);
    platform::TFileStream stream(Name);
    QCOMPARE(stream.Size(), int64_t{6});
    QByteArray read(6, '\0');
    stream.ReadBuffer(read.data(), 6);
    QCOMPARE(read, content);
    QVERIFY_THROWS_EXCEPTION(platform::EReadError, stream.ReadBuffer(read.data(), 1));
}

void TestPlatformFiles::openRefused_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<bool>("permissionBits"); // the case needs them to hold

    QTest::newRow("missing") << Setup([] {}) << false;
    QTest::newRow("directory") << Setup([] { QDir().mkdir("quorvel.ini"); }) << false;
    QTest::newRow("FIFO") << Setup([] { ::mkfifo("quorvel.ini", 0600); }) << false;
    QTest::newRow("held by another reader") << Setup([this] {
        WriteFile("quorvel.ini", OldContent);
        Holder = std::make_unique<platform::TFileStream>(Name);
    }) << false;
    QTest::newRow("no permission") << Setup([] {
        WriteFile("quorvel.ini", OldContent);
        ::chmod("quorvel.ini", 0);
    }) << true;
}

void TestPlatformFiles::openRefused()
{
    QFETCH(Setup, setup);
    QFETCH(bool, permissionBits);
    if (permissionBits && Root())
        QSKIP("root reads and writes whatever the permission bits say");
    setup();
    try {
        platform::TFileStream stream(Name);
        QFAIL("opened");
    } catch (const platform::EFOpenError &error) {
        QCOMPARE(QString::fromUtf8(error.what()), QString("ファイル quorvel.ini は開けません"));
    }
    Holder.reset();
}

void TestPlatformFiles::fileCutShortWhileReading()
{
    WriteFile("quorvel.ini", OldContent);
    platform::TFileStream stream(Name);
    QCOMPARE(::truncate("quorvel.ini", 4), 0);
    std::string read(static_cast<size_t>(stream.Size()), '\0');
    try {
        stream.ReadBuffer(read.data(), read.size());
        QFAIL("read");
    } catch (const platform::EReadError &error) {
        QCOMPARE(QString::fromUtf8(error.what()), QString("ストリームからの読み込みエラー"));
    }
}

void TestPlatformFiles::replacesWhole_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("written"); // the file that gets the content
    QTest::addColumn<int>("mode");

    const mode_t mask = ::umask(0);
    ::umask(mask);
    QTest::newRow("new file") << Setup([] {}) << "quorvel.ini" << int(0666 & ~mask);
    QTest::newRow("old file, its permissions kept") << Setup([] {
        WriteFile("quorvel.ini", OldContent + OldContent);
        ::chmod("quorvel.ini", 0640);
    }) << "quorvel.ini" << 0640;
    QTest::newRow("through a link") << Setup([] {
        WriteFile("real.ini", OldContent);
        QFile::link("real.ini", "quorvel.ini");
    }) << "real.ini" << int(0666 & ~mask);
}

void TestPlatformFiles::replacesWhole()
{
    QFETCH(Setup, setup);
    QFETCH(QString, written);
    QFETCH(int, mode);
    setup();
    const QStringList before = Entries();

    platform::TStringList lines;
    lines.Add("new");
    lines.Add("\x94\xF5");
    lines.SaveToFile(Name);

    QCOMPARE(ReadFile(written), QByteArray("new\r\n\x94\xF5\r\n"));
    QCOMPARE(ReadFile("quorvel.ini"), QByteArray("new\r\n\x94\xF5\r\n"));
    struct stat status {};
    QCOMPARE(::stat(written.toLocal8Bit().constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 07777), mode);
    QStringList after = before;
    if (!after.contains("quorvel.ini"))
        after << "quorvel.ini";
    QCOMPARE(Entries(), after);
    QVERIFY(QFileInfo("quorvel.ini").isSymLink() == (written != "quorvel.ini"));
}

void TestPlatformFiles::abandonedReplacementKeepsOldFile()
{
    WriteFile("quorvel.ini", OldContent);
    {
        platform::TFileReplacement file(Name);
        file.WriteBuffer("partial", 7);
        QCOMPARE(Entries().size(), 2);
    }
    QCOMPARE(ReadFile("quorvel.ini"), OldContent);
    QCOMPARE(Entries(), QStringList{"quorvel.ini"});
}

void TestPlatformFiles::createRefused_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<bool>("permissionBits");

    QTest::newRow("directory of that name") << Setup([] { QDir().mkdir("quorvel.ini"); }) << false;
    QTest::newRow("FIFO of that name") << Setup([] { ::mkfifo("quorvel.ini", 0600); }) << false;
    QTest::newRow("held by a reader") << Setup([this] {
        WriteFile("quorvel.ini", OldContent);
        Holder = std::make_unique<platform::TFileStream>(Name);
    }) << false;
    QTest::newRow("read-only file") << Setup([] {
        WriteFile("quorvel.ini", OldContent);
        ::chmod("quorvel.ini", 0444);
    }) << true;
    QTest::newRow("read-only directory") << Setup([] {
        WriteFile("quorvel.ini", OldContent);
        ::chmod(".", 0555);
    }) << true;
}

void TestPlatformFiles::createRefused()
{
    QFETCH(Setup, setup);
    QFETCH(bool, permissionBits);
    if (permissionBits && Root())
        QSKIP("root reads and writes whatever the permission bits say");
    setup();
    const QStringList before = Entries();
    const QByteArray old = ReadFile("quorvel.ini");
    platform::TStringList lines;
    lines.Add("new");
    try {
        lines.SaveToFile(Name);
        QFAIL("saved");
    } catch (const platform::EFCreateError &error) {
        QCOMPARE(QString::fromUtf8(error.what()), QString("ファイル quorvel.ini を作成できません"));
    }
    Holder.reset();
    ::chmod(".", 0700);
    QCOMPARE(Entries(), before);
    QCOMPARE(ReadFile("quorvel.ini"), old);
}

void TestPlatformFiles::fullDiskKeepsOldFile()
{
    WriteFile("quorvel.ini", OldContent);
    platform::TStringList lines;
    for (int i = 0; i < 100; ++i)
        lines.Add("a line long enough to pass the limit");
    try {
        const FileSizeLimit limit(256);
        lines.SaveToFile(Name);
        QFAIL("saved");
    } catch (const platform::EWriteError &error) {
        QCOMPARE(QString::fromUtf8(error.what()), QString("ストリームへの書き込みエラー"));
    }
    QCOMPARE(ReadFile("quorvel.ini"), OldContent);
    QCOMPARE(Entries(), QStringList{"quorvel.ini"});
}

QTEST_GUILESS_MAIN(TestPlatformFiles)
#include "tst_platformfiles.moc"
