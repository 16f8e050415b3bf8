#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>
#include <csignal>

#include "EditorFixture.h"

namespace {

using glyph::CellGrid;

const QByteArray WidthTwelve =
    Bytes({0x0C, 0, 7, 0, 0x00, 0x90, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0});
const QByteArray FreshGlyph = Bytes({8, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0});

std::string OpenMessage(const QString& path, const char* reason) {
    return "ファイル " + path.toStdString() + " は開けません。 " + reason + " ";
}
std::string CreateMessage(const QString& path, const char* reason) {
    return "ファイル \"" + path.toStdString() + "\" を作成できません。" + reason;
}

// Runs the file operations of a test with an ordinary user's rights, so that
// permission checks bite even when the tests run as root.
class Unprivileged {
  public:
    Unprivileged() : wasRoot_(::geteuid() == 0) {
        if (wasRoot_) {
            EXPECT_EQ(::seteuid(65534), 0);
        }
    }
    ~Unprivileged() {
        if (wasRoot_) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }

  private:
    bool wasRoot_;
};

using FileCommandsTest = EditorFixture;

TEST_F(FileCommandsTest, SavingTheFreshGlyphWritesElevenBytes) {
    const QString path = PathOf("fresh.dat");
    SaveTo(path);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(ReadFile(path), FreshGlyph);
    EXPECT_EQ(saveDialog->presets, std::vector<QString>{""});
    EXPECT_EQ(editor->windowTitle(), "QUELT font editor");
}

TEST_F(FileCommandsTest, OpenShowsTheGlyphItsWidthAndItsName) {
    QDir(dir.path()).mkdir("sub");
    const QString path = PathOf("sub/A.dat");
    WriteFile(path, WidthTwelve);
    Open(path);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(editor->WidthEdit->text(), "12");
    EXPECT_EQ(editor->windowTitle(), "QUELT font editor[A.dat]");
    EXPECT_TRUE(editor->SaveAsBtn->isEnabled());
    CellGrid expected;
    expected.Initialise(12);
    expected.Toggle(8, 0);
    expected.Toggle(11, 0);
    for (int col = 8; col < 12; ++col) expected.Toggle(col, 6);
    EXPECT_EQ(Cells(), expected);
}

// The caption the window system shows names the file exactly, also when the
// name holds what Qt reads as its modified mark.
TEST_F(FileCommandsTest, TheCaptionShowsTheFileNameExactly) {
    for (const QString name : {"a[*]b.dat", "[*][*].dat", "x[*.dat", "[*]"}) {
        const QString path = PathOf(name);
        WriteFile(path, WidthTwelve);
        Open(path);
        ASSERT_TRUE(errors.empty());
        EXPECT_EQ(editor->windowHandle()->title(), "QUELT font editor[" + name + "]");
    }
    Click(editor->NewBtn);
    EXPECT_EQ(editor->windowHandle()->title(), "QUELT font editor");
}

TEST_F(FileCommandsTest, SaveAfterOpenWritesTheNewFileAndSaveAsStillTheOpenedOne) {
    const QString opened = PathOf("A.dat");
    const QString other = PathOf("B.dat");
    WriteFile(opened, WidthTwelve);
    Open(opened);
    DoubleClickCell(0, 0);
    SaveTo(other);
    EXPECT_EQ(saveDialog->presets, std::vector<QString>{opened});
    QByteArray edited = WidthTwelve;
    edited[4] = static_cast<char>(0x80);
    EXPECT_EQ(ReadFile(other), edited);
    EXPECT_EQ(ReadFile(opened), WidthTwelve);
    EXPECT_EQ(editor->windowTitle(), "QUELT font editor[A.dat]");

    DoubleClickCell(1, 0);
    Click(editor->SaveAsBtn);
    edited[4] = static_cast<char>(0xC0);
    EXPECT_EQ(ReadFile(opened), edited);
    EXPECT_EQ(ReadFile(other).at(4), static_cast<char>(0x80));
    EXPECT_TRUE(errors.empty());
}

TEST_F(FileCommandsTest, SaveRecordsTheTypedWidthEvenWithoutEnter) {
    DoubleClickCell(7, 2);
    TypeWidth("12");
    const QString path = PathOf("twelve");
    SaveTo(path);
    EXPECT_TRUE(errors.empty());
    // No extension is added; columns 8 to 11 were still outside and write 0.
    EXPECT_EQ(ReadFile(path), Bytes({12, 0, 7, 0, 0, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(FileCommandsTest, CancelledDialogsChangeNothing) {
    const Snapshot before = Snap();
    openDialog->answers.push_back(std::nullopt);
    Click(editor->OpenBtn);
    saveDialog->answers.push_back(std::nullopt);
    Click(editor->SaveBtn);
    EXPECT_EQ(Snap(), before);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    EXPECT_TRUE(errors.empty());
}

TEST_F(FileCommandsTest, RefusedSavesLeaveTheExistingFileAlone) {
    const QByteArray old = Bytes({3, 0, 7, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    struct Case {
        const char* widthText;
        std::string message;
    };
    const Case cases[] = {
        {"ab", "''ab'' は整数ではありません"},
        {"17", "幅 17 は 0 から 16 の範囲外です"},
        {"-1", "幅 -1 は 0 から 16 の範囲外です"},
    };
    const QString existing = PathOf("old.dat");
    const QString absent = PathOf("absent.dat");
    WriteFile(existing, old);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.widthText);
        TypeWidth(c.widthText);
        for (const QString& path : {existing, absent}) {
            errors.clear();
            SaveTo(path);
            EXPECT_EQ(errors, std::vector<std::string>{c.message});
        }
        EXPECT_EQ(ReadFile(existing), old);
        EXPECT_FALSE(QFile::exists(absent));
    }
}

TEST_F(FileCommandsTest, UnwritableTargetsAreRefusedWithTheirReason) {
    const QByteArray old = Bytes({3, 0, 7, 0, 1, 2, 3, 4, 5, 6, 7});
    const QString readOnly = PathOf("readonly.dat");
    WriteFile(readOnly, old);
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QString folder = PathOf("folder.dat");
    QDir(dir.path()).mkdir("folder.dat");

    SaveTo(readOnly);
    SaveTo(folder);
    EXPECT_EQ(errors, (std::vector<std::string>{CreateMessage(readOnly, "Permission denied"),
                                                CreateMessage(folder, "Is a directory")}));
    EXPECT_EQ(ReadFile(readOnly), old);
}

TEST_F(FileCommandsTest, FolderWithoutRightsTakesOnlyAWritableExistingFile) {
    const QString locked = PathOf("locked");
    QDir(dir.path()).mkdir("locked");
    const QString inside = locked + "/in.dat";
    WriteFile(inside, Bytes({1, 2, 3}));
    QFile::setPermissions(inside, QFile::Permissions(0x6666));
    QFile::setPermissions(locked, QFile::Permissions(0x5555));
    ::chmod(dir.path().toLocal8Bit().constData(), 0755);
    {
        const Unprivileged asUser;
        SaveTo(inside);
        SaveTo(locked + "/new.dat");
    }
    EXPECT_EQ(errors,
              std::vector<std::string>{CreateMessage(locked + "/new.dat", "Permission denied")});
    EXPECT_EQ(ReadFile(inside), FreshGlyph);
    QFile::setPermissions(locked, QFile::Permissions(0x7777));
}

// Save As... writes the opened file itself: a second name sees the new
// bytes, and a file of another user keeps its owner.
TEST_F(FileCommandsTest, SaveAsKeepsTheFileItReplaces) {
    const QString opened = PathOf("A.dat");
    const QString second = PathOf("second name.dat");
    WriteFile(opened, WidthTwelve);
    ASSERT_EQ(::link(QFile::encodeName(opened).constData(), QFile::encodeName(second).constData()),
              0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(opened).constData(), 65534, 65534), 0);
    }
    Open(opened);
    DoubleClickCell(0, 0);
    Click(editor->SaveAsBtn);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(ReadFile(second).at(4), static_cast<char>(0x80));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(opened).constData(), &status), 0);
    EXPECT_EQ(status.st_nlink, 2u);
    if (root) {
        EXPECT_EQ(status.st_uid, 65534u);
    }
}

TEST_F(FileCommandsTest, FailedWriteKeepsTheOldContentAndSaysSo) {
    const QByteArray old = Bytes({3, 0, 7, 0, 1, 2, 3, 4, 5, 6, 7});
    const QString path = PathOf("big.dat");
    WriteFile(path, old);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 5;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    SaveTo(path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0],
              "ファイル \"" + path.toStdString() + "\" に書き込めません。File too large");
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"big.dat"}) << "no leftovers";
}

TEST_F(FileCommandsTest, FailedOpensLeaveTheWindowAsItWas) {
    const QString good = PathOf("good.dat");
    WriteFile(good, WidthTwelve);
    Open(good);
    DoubleClickCell(2, 2);

    const QString missing = PathOf("missing.dat");
    const QString folder = PathOf("folder.dat");
    QDir(dir.path()).mkdir("folder.dat");
    const QString fifo = PathOf("fifo.dat");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0644), 0);
    const QString shortFile = PathOf("short.dat");
    WriteFile(shortFile, Bytes({12, 0, 7, 0, 0xFF, 0xFF}));
    const QString wide = PathOf("wide.dat");
    WriteFile(wide, QByteArray(18, 17));

    struct Case {
        QString path;
        std::string message;
    };
    const Case cases[] = {
        {missing, OpenMessage(missing, "No such file or directory")},
        {folder, OpenMessage(folder, "Is a directory")},
        {fifo, OpenMessage(fifo, "Not a regular file")},
        {"/dev/null", OpenMessage("/dev/null", "Not a regular file")},
        {shortFile, "ファイル " + shortFile.toStdString() + " は 6 バイトしかありません"},
        {wide, "ファイル " + wide.toStdString() + " の幅 17 は 16 を超えています"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        errors.clear();
        const Snapshot before = Snap();
        Open(c.path);
        EXPECT_EQ(errors, std::vector<std::string>{c.message});
        EXPECT_EQ(Snap(), before);
        EXPECT_EQ(openDialog->FileName, c.path) << "the dialog proposes the path just tried";
    }

    // "Save As..." still writes the file that opened.
    errors.clear();
    Click(editor->SaveAsBtn);
    EXPECT_TRUE(errors.empty());
    QByteArray expected = WidthTwelve;
    expected[4 + 4] = static_cast<char>(0x20);
    EXPECT_EQ(ReadFile(good), expected);
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(FileCommandsTest, RelativePathsAreReportedInFull) {
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    Open("nothing.dat");
    QDir::setCurrent(previous);
    EXPECT_EQ(errors, std::vector<std::string>{
                          OpenMessage(PathOf("nothing.dat"), "No such file or directory")});
}

TEST_F(FileCommandsTest, PathsWithSpacesAndJapaneseOpenAndSave) {
    QDir(dir.path()).mkdir("フォント 集");
    const QString path = PathOf("フォント 集/文字 あ.dat");
    DoubleClickCell(0, 6);
    SaveTo(path);
    EXPECT_EQ(ReadFile(path), Bytes({8, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0x80}));
    Click(editor->NewBtn);
    Open(path);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(editor->windowTitle(), "QUELT font editor[文字 あ.dat]");
    EXPECT_EQ(Cells().Get(0, 6), glyph::clRed);
}

}  // namespace
