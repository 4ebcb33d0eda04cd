// SPDX-License-Identifier: GPL-3.0-or-later
// The Command-line page's file and process work: installing tclean into
// ~/.local/bin of a throw-away home, the PATH block in the start-up file of
// the user's shell (bash, zsh, fish, sh; created once, never duplicated, never
// rewriting a file it cannot safely append to, not written at all when
// ~/.local/bin is on PATH), new bash and sh sessions finding the installed
// tool, the package's tclean found on PATH instead of a copy, the copied
// commands, the tree run (including a tool that cannot start and output that
// is not clean text) and the choice of terminal.
#include "CommandLineTool.h"
#include "Desktop.h"
#include "TestHome.h"
#include "ToolInstall.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using ToolInstall::StartupEdit;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const std::string& path, const std::string& content, mode_t mode = 0644)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
    ::chmod(path.c_str(), mode);
}

mode_t modeOf(const std::string& path)
{
    struct stat st = {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// Runs fn in a child process as the unprivileged user "nobody"; its return
// value becomes the exit status.
int asNobody(const std::function<int()>& fn)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)
            ::_exit(99);
        ::_exit(fn());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

Q_DECLARE_METATYPE(StartupEdit)

class CommandLineToolTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::TestHome> m_home;
    std::string m_source;

    std::string home() const { return m_home->path(); }
    std::string tool() const { return home() + "/.local/bin/tclean"; }
    // A session of the test home whose PATH holds only the system folders.
    ToolInstall::Session session(const std::string& shell) const
    {
        return {home(), shell, "/usr/bin:/bin", home() + "/.config"};
    }
    static std::string bashBlock() { return ToolInstall::block("/bin/bash"); }

private slots:
    void init()
    {
        m_home = std::make_unique<TestSupport::TestHome>();
        m_source = TestSupport::tcleanPath();
    }
    void cleanup() { m_home.reset(); }

    void blockIsTheMarkedExportLineOfTheShell()
    {
        QCOMPARE(ToolInstall::block("/bin/bash"),
                 std::string("\n# tidlo-cleaner\nexport PATH=\"$HOME/.local/bin:$PATH\"\n"));
        QCOMPARE(ToolInstall::block("/usr/bin/fish"),
                 std::string("\n# tidlo-cleaner\ncontains $HOME/.local/bin $PATH; or set -gx PATH "
                             "$HOME/.local/bin $PATH\n"));
        QCOMPARE(ToolInstall::block(""), ToolInstall::block("/bin/dash"));
    }

    void installsIntoTheShellsStartupFile_data()
    {
        QTest::addColumn<QString>("shell");
        QTest::addColumn<QString>("file");
        QTest::newRow("zsh") << "/usr/bin/zsh"
                             << ".zshrc";
        QTest::newRow("bash") << "/bin/bash"
                              << ".bashrc";
        QTest::newRow("fish") << "/usr/bin/fish"
                              << ".config/fish/conf.d/tidlo.fish";
        QTest::newRow("sh") << "/bin/sh"
                            << ".profile";
        QTest::newRow("unset") << ""
                               << ".profile";
    }
    void installsIntoTheShellsStartupFile()
    {
        QFETCH(QString, shell);
        QFETCH(QString, file);
        // An older copy, not executable, is replaced.
        writeFile(tool(), "old", 0600);

        auto outcome = ToolInstall::install(m_source, session(shell.toStdString()));
        QVERIFY2(outcome.ok, outcome.reason.c_str());
        QVERIFY(readFile(tool()) == readFile(m_source));
        QCOMPARE(modeOf(tool()), mode_t(0755));
        QCOMPARE(outcome.startupFile, home() + "/" + file.toStdString());
        QCOMPARE(outcome.edit, StartupEdit::Created);
        const std::string block = ToolInstall::block(shell.toStdString());
        QCOMPARE(readFile(outcome.startupFile), block);
        QVERIFY(ToolInstall::isInstalled(home()));

        // A second install adds nothing.
        auto again = ToolInstall::install(m_source, session(shell.toStdString()));
        QVERIFY(again.ok);
        QCOMPARE(again.edit, StartupEdit::AlreadyThere);
        QCOMPARE(readFile(outcome.startupFile), block);
        // Only the tool and the start-up file were made.
        QCOMPARE(std::distance(fs::directory_iterator(home() + "/.local/bin"), {}),
                 std::ptrdiff_t(1));
    }

    // With ~/.local/bin on PATH already (as Debian's ~/.profile puts it once
    // the folder exists), no start-up file is read or written.
    void noStartupFileWhenTheFolderIsOnPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("first") << "HOME/.local/bin:/usr/bin:/bin";
        QTest::newRow("last, with a slash") << "/usr/bin:/bin:HOME/.local/bin/";
    }
    void noStartupFileWhenTheFolderIsOnPath()
    {
        QFETCH(QString, path);
        ToolInstall::Session s = session("/bin/bash");
        s.path = path.replace("HOME", QString::fromStdString(home())).toStdString();
        auto outcome = ToolInstall::install(m_source, s);
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.edit, StartupEdit::NotNeeded);
        QCOMPARE(outcome.startupFile, std::string());
        QVERIFY(!fs::exists(home() + "/.bashrc"));
        QVERIFY(readFile(tool()) == readFile(m_source));
    }

    void onPathComparesWholeEntries_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("expected");
        QTest::newRow("exact") << "/usr/bin:/h/.local/bin" << true;
        QTest::newRow("trailing slashes") << "/h/.local/bin//" << true;
        QTest::newRow("a longer folder") << "/h/.local/bin2:/usr/bin" << false;
        QTest::newRow("a folder above") << "/h/.local" << false;
        QTest::newRow("relative") << ".local/bin" << false;
        QTest::newRow("empty entries") << "::" << false;
        QTest::newRow("empty") << "" << false;
    }
    void onPathComparesWholeEntries()
    {
        QFETCH(QString, path);
        QFETCH(bool, expected);
        QCOMPARE(ToolInstall::onPath("/h/.local/bin", path.toStdString()), expected);
    }

    // New shell sessions of the user find the installed tool: an interactive
    // bash reads ~/.bashrc, an interactive zsh ~/.zshrc, a login sh ~/.profile,
    // and fish its conf.d.
    void newShellsFindTheTool_data()
    {
        QTest::addColumn<QString>("shell");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("bash") << "/bin/bash" << QStringList{"-i", "-c"};
        QTest::newRow("zsh") << "/usr/bin/zsh" << QStringList{"-i", "-c"};
        QTest::newRow("sh") << "/bin/sh" << QStringList{"-l", "-c"};
        QTest::newRow("fish") << "/usr/bin/fish" << QStringList{"-c"};
    }
    void newShellsFindTheTool()
    {
        QFETCH(QString, shell);
        QFETCH(QStringList, args);
        if (!fs::exists(shell.toStdString()))
            QSKIP("this shell is not installed (the setup installs bash and sh only)");
        QVERIFY(ToolInstall::install(m_source, session(shell.toStdString())).ok);
        const std::map<std::string, std::string> env = {
            {"HOME", home()}, {"XDG_CONFIG_HOME", home() + "/.config"}, {"PATH", "/usr/bin:/bin"}};
        auto run = [&](const std::string& command) {
            std::vector<std::string> argv;
            for (const QString& a : args)
                argv.push_back(a.toStdString());
            argv.push_back(command);
            return TestSupport::runProgram(shell.toStdString(), argv, env).out;
        };
        QCOMPARE(run("command -v tclean"), tool() + "\n");
        QCOMPARE(run("tclean version"), std::string("tclean 1.0 · Tidlo Cleaner\n"));
    }

    // Whatever is in the file stays byte for byte: with the marker anywhere
    // nothing is added, otherwise the block goes at the end.
    void startupFileKeepsItsBytes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<StartupEdit>("edit");
        QTest::newRow("marker in a comment")
            << QByteArray("alias l=ls\n#  # tidlo-cleaner (old)\n") << StartupEdit::AlreadyThere;
        QTest::newRow("marker in Latin-1 text")
            << QByteArray("# caf\xe9\n# tidlo-cleaner\n") << StartupEdit::AlreadyThere;
        QTest::newRow("Latin-1 text")
            << QByteArray("# caf\xe9\nexport A=1") << StartupEdit::Appended;
        QTest::newRow("empty file") << QByteArray() << StartupEdit::Appended;
    }
    void startupFileKeepsItsBytes()
    {
        QFETCH(QByteArray, before);
        QFETCH(StartupEdit, edit);
        const std::string file = home() + "/.zshrc";
        writeFile(file, before.toStdString());
        QCOMPARE(ToolInstall::addPathToShell(file, bashBlock()), edit);
        const std::string expected =
            before.toStdString() + (edit == StartupEdit::Appended ? bashBlock() : "");
        QCOMPARE(readFile(file), expected);
    }

    void linkedStartupFileStaysALink()
    {
        const std::string target = home() + "/dotfiles/bashrc";
        writeFile(target, "set -o vi\n");
        const std::string file = home() + "/.bashrc";
        fs::create_symlink(target, file);
        QCOMPARE(ToolInstall::addPathToShell(file, bashBlock()), StartupEdit::Appended);
        QVERIFY(fs::is_symlink(file));
        QCOMPARE(readFile(target), "set -o vi\n" + bashBlock());

        // A dangling link is neither followed into a new file nor replaced.
        const std::string dangling = home() + "/.zshrc";
        fs::create_symlink(home() + "/missing/zshrc", dangling);
        QCOMPARE(ToolInstall::addPathToShell(dangling, bashBlock()), StartupEdit::Skipped);
        QVERIFY(fs::is_symlink(dangling));
        QVERIFY(!fs::exists(home() + "/missing"));
    }

    // A file that cannot be read is appended to when it can be written, and
    // one that cannot be written is left alone: it is never replaced, even
    // where its folder would allow it.
    void unreadableOrUnwritableStartupFile()
    {
        if (!TestSupport::canDropPrivileges())
            QSKIP("needs root to switch to an unprivileged user");
        QCOMPARE(::chown(home().c_str(), 65534, 65534), 0);
        const std::string writeOnly = home() + "/.bashrc";
        const std::string readOnly = home() + "/.zshrc";
        writeFile(writeOnly, "export A=1\n", 0200);
        writeFile(readOnly, "export B=2\n", 0444);
        QCOMPARE(::chown(writeOnly.c_str(), 65534, 65534), 0);
        QCOMPARE(::chown(readOnly.c_str(), 65534, 65534), 0);

        QCOMPARE(asNobody([&] { return int(ToolInstall::addPathToShell(writeOnly, bashBlock())); }),
                 int(StartupEdit::Appended));
        QCOMPARE(asNobody([&] { return int(ToolInstall::addPathToShell(readOnly, bashBlock())); }),
                 int(StartupEdit::Skipped));
        QCOMPARE(readFile(writeOnly), "export A=1\n" + bashBlock());
        QCOMPARE(readFile(readOnly), std::string("export B=2\n"));
        QCOMPARE(modeOf(readOnly), mode_t(0444));
    }

    void failedInstallTouchesNothingElse_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reason");
        QTest::newRow(".local/bin is a file") << "binFile"
                                              << "Not a directory";
        QTest::newRow("folder at the tool's path") << "toolFolder"
                                                   << "File exists";
        QTest::newRow("no in-app tool") << "noSource"
                                        << "No such file or directory";
    }
    void failedInstallTouchesNothingElse()
    {
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        std::string source = m_source;
        if (setup == "binFile")
            writeFile(home() + "/.local/bin", "not a folder");
        if (setup == "toolFolder")
            writeFile(tool() + "/keep", "kept");
        if (setup == "noSource") {
            source = home() + "/nowhere/tclean";
            writeFile(tool(), "installed before", 0755);
        }
        auto outcome = ToolInstall::install(source, session("/bin/bash"));
        QVERIFY(!outcome.ok);
        QCOMPARE(QString::fromStdString(outcome.reason), reason);
        QVERIFY(!fs::exists(home() + "/.bashrc"));
        if (setup == "binFile")
            QCOMPARE(readFile(home() + "/.local/bin"), std::string("not a folder"));
        if (setup == "toolFolder")
            QCOMPARE(readFile(tool() + "/keep"), std::string("kept"));
        if (setup == "noSource")
            QCOMPARE(readFile(tool()), std::string("installed before"));
    }

    void copiedCommandNamesTheInstalledTool_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("expected");
        QTest::newRow("not installed") << false << "/home/a/bin/tclean"
                                       << "tclean tree ~ -d 3";
        QTest::newRow("installed") << true << "/home/a/bin/tclean"
                                   << "/home/a/bin/tclean tree ~ -d 3";
        QTest::newRow("home with a space") << true << "/home/a b/bin/tclean"
                                           << "'/home/a b/bin/tclean' tree ~ -d 3";
        QTest::newRow("home with a quote") << true << "/home/o'b/bin/tclean"
                                           << "'/home/o'\\''b/bin/tclean' tree ~ -d 3";
    }
    void copiedCommandNamesTheInstalledTool()
    {
        QFETCH(bool, installed);
        QFETCH(QString, tool);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(
                     ToolInstall::commandFor("tclean tree ~ -d 3", installed, tool.toStdString())),
                 expected);
    }

    void treeRunShowsTheToolsOutput()
    {
        m_home->dir("Projects/alpha");
        m_home->sizedFile("Projects/alpha/data", 200 * 1024);
        CommandLineTool tool;
        tool.setToolPath(QString::fromStdString(m_source));
        QSignalSpy finished(&tool, &CommandLineTool::treeFinished);
        tool.runTree(2);
        QVERIFY(tool.running());
        QVERIFY(finished.wait(20000));
        QVERIFY(!tool.running());
        const QString out = finished.first().first().toString();
        QVERIFY2(out.contains(QStringLiteral("Projects")), qPrintable(out));
        QVERIFY(out.contains(QStringLiteral("alpha")));
    }

    void toolThatCannotStartIsReported()
    {
        CommandLineTool tool;
        tool.setToolPath(QString::fromStdString(home() + "/no/tclean"));
        QSignalSpy failed(&tool, &CommandLineTool::treeFailed);
        QSignalSpy finished(&tool, &CommandLineTool::treeFinished);
        tool.runTree(2);
        QTRY_COMPARE(failed.count(), 1);
        QVERIFY(!failed.first().first().toString().isEmpty());
        QVERIFY(!tool.running());
        QCOMPARE(finished.count(), 0);
    }

    // A tool printing escapes, a carriage return, a bidi override and bytes
    // that are not UTF-8: all of it arrives as plain text.
    void oddOutputArrivesAsText()
    {
        const std::string script = home() + "/odd-tool";
        writeFile(script,
                  "#!/bin/sh\nprintf 'a\\033[31mb\\r\\n\\tc\\342\\200\\256d\\377e\\n'\n"
                  "echo to-stderr >&2\n",
                  0755);
        CommandLineTool tool;
        tool.setToolPath(QString::fromStdString(script));
        QSignalSpy finished(&tool, &CommandLineTool::treeFinished);
        tool.runTree(1);
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().toString(),
                 QStringLiteral("a?[31mb?\n\tc?d\uFFFDe\nto-stderr\n"));
    }

    void longOutputIsCutAtALineEnd()
    {
        QByteArray big;
        while (big.size() <= CommandLineTool::kMaxOutput)
            big += "0123456789abcdef0123456789abcdef\n";
        const QString text = CommandLineTool::outputText(big);
        QVERIFY(text.size() <= CommandLineTool::kMaxOutput + 2);
        QVERIFY(text.endsWith(QStringLiteral("abcdef\n…\n")));
    }

    void installedFollowsTheHome()
    {
        CommandLineTool tool;
        tool.setToolPath(QString::fromStdString(m_source));
        QCOMPARE(tool.installedPath(), QString::fromStdString(this->tool()));
        tool.refresh();
        // Not installed changes nothing and so sends no signal: wait for the
        // worker (the global pool's) and take its answer on this thread.
        QVERIFY(QThreadPool::globalInstance()->waitForDone(10000));
        QCoreApplication::sendPostedEvents();
        QVERIFY(!tool.installed());
        QSignalSpy done(&tool, &CommandLineTool::installFinished);
        tool.install();
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, 10000);
        QVERIFY(done.first().at(0).toBool());
        QVERIFY(tool.installed());
        QCOMPARE(tool.commandText(QStringLiteral("tclean scan")),
                 QString::fromStdString(this->tool() + " scan"));
    }

    // The tclean of the installed package is one on PATH outside the home: a
    // folder shaped like /usr/bin in another temporary folder stands in for it.
    void packagedToolIsFoundOnPath()
    {
        TestSupport::TestHome system; // another throw-away folder, outside the home
        const std::string usrBin = system.path() + "/usr/bin";
        writeFile(usrBin + "/tclean", "#!/bin/sh\n", 0755);
        writeFile(system.path() + "/plain/tclean", "not executable", 0644);
        fs::create_directories(system.path() + "/folder/tclean");
        writeFile(tool(), "#!/bin/sh\n", 0755);
        const std::string own = home() + "/.local/bin";
        struct Case
        {
            std::string path;
            std::string expected;
        };
        const Case cases[] = {
            {own + ":" + usrBin, usrBin + "/tclean"},
            {usrBin + "/", usrBin + "/tclean"},
            {own, ""}, // the user's own copy is no package's
            {system.path() + "/plain:" + system.path() + "/folder", ""},
            {"usr/bin:", ""}, // relative entries never count
            {"", ""},
        };
        for (const Case& c : cases)
            QCOMPARE(ToolInstall::packagedTool(c.path, home()), c.expected);
    }

    void pageShowsThePackagedToolAndCopiesPlainCommands()
    {
        TestSupport::TestHome system;
        const std::string usrBin = system.path() + "/usr/bin";
        writeFile(usrBin + "/tclean", "#!/bin/sh\n", 0755);
        // The system folder's TestHome set HOME to itself; the user's home is back.
        qputenv("HOME", QByteArray::fromStdString(home()));
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(usrBin + ":/usr/bin:/bin"));
        CommandLineTool tool;
        tool.setToolPath(QString::fromStdString(m_source));
        QSignalSpy packaged(&tool, &CommandLineTool::packagedPathChanged);
        tool.refresh();
        // The answer may come before refresh() returns, when the worker ends
        // before its continuation is attached: wait for the count, not for a
        // signal still to come (so for every call below that runs a worker).
        QTRY_VERIFY_WITH_TIMEOUT(packaged.count() >= 1, 10000);
        qputenv("PATH", savedPath);
        QCOMPARE(tool.packagedPath(), QString::fromStdString(usrBin + "/tclean"));
        QVERIFY(!tool.installed());
        QCOMPARE(tool.commandText(QStringLiteral("tclean scan")), QStringLiteral("tclean scan"));
    }

    // The page names the start-up file it changed, "~/"-style, and none when
    // ~/.local/bin is on PATH.
    void installReportsTheChangedFile()
    {
        const QByteArray savedPath = qgetenv("PATH");
        const QByteArray savedShell = qgetenv("SHELL");
        qputenv("SHELL", "/usr/bin/fish");
        qputenv("PATH", "/usr/bin:/bin");
        CommandLineTool tool;
        tool.setToolPath(QString::fromStdString(m_source));
        QSignalSpy done(&tool, &CommandLineTool::installFinished);
        tool.install();
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 1, 10000);
        QCOMPARE(done.last(),
                 (QVariantList{true, QString(), QStringLiteral("~/.config/fish/conf.d/tidlo.fish"),
                               true}));
        QVERIFY(tool.exportLine().startsWith(QStringLiteral("contains $HOME/.local/bin")));

        qputenv("PATH", QByteArray::fromStdString(home() + "/.local/bin:/usr/bin"));
        QVERIFY(tool.binOnPath());
        tool.install();
        QTRY_VERIFY_WITH_TIMEOUT(done.count() >= 2, 10000);
        QCOMPARE(done.last(), (QVariantList{true, QString(), QString(), false}));
        qputenv("PATH", savedPath);
        qputenv("SHELL", savedShell);
    }

    // $TERMINAL first (with its arguments), then x-terminal-emulator, then the
    // common terminals in their order; a choice that is not there gives way.
    void terminalChoice_data()
    {
        QTest::addColumn<QString>("terminalVar");
        QTest::addColumn<QStringList>("onPath");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("TERMINAL with arguments")
            << "myterm --single" << QStringList{"myterm", "xterm"}
            << QStringList{"myterm", "--single"};
        QTest::newRow("TERMINAL not found")
            << "absent-term" << QStringList{"konsole", "xterm"} << QStringList{"konsole"};
        QTest::newRow("Debian's alternative") << "" << QStringList{"xterm", "x-terminal-emulator"}
                                              << QStringList{"x-terminal-emulator"};
        QTest::newRow("list order")
            << "" << QStringList{"xterm", "xfce4-terminal"} << QStringList{"xfce4-terminal"};
        QTest::newRow("none") << "" << QStringList{} << QStringList{};
    }
    void terminalChoice()
    {
        QFETCH(QString, terminalVar);
        QFETCH(QStringList, onPath);
        QFETCH(QStringList, expected);
        const QString bin = QString::fromStdString(home() + "/pathbin");
        for (const QString& name : onPath)
            writeFile((bin + "/" + name).toStdString(), "#!/bin/sh\n", 0755);
        const QByteArray savedPath = qgetenv("PATH");
        const QByteArray savedTerminal = qgetenv("TERMINAL");
        qputenv("PATH", bin.toUtf8());
        qputenv("TERMINAL", terminalVar.toUtf8());
        QStringList got = Desktop::terminalCommand();
        qputenv("PATH", savedPath);
        qputenv("TERMINAL", savedTerminal);
        if (!expected.isEmpty())
            expected.first() = bin + "/" + expected.first();
        QCOMPARE(got, expected);
    }

    void openTerminalStartsItInTheHome()
    {
        const std::string log = home() + "/started";
        const std::string term = home() + "/term";
        writeFile(term, "#!/bin/sh\npwd > '" + log + "'\n", 0755);
        const QByteArray savedTerminal = qgetenv("TERMINAL");
        qputenv("TERMINAL", QByteArray::fromStdString(term));
        Desktop desktop;
        QVERIFY(desktop.openTerminal());
        qputenv("TERMINAL", savedTerminal);
        QTRY_VERIFY(fs::exists(log) && fs::file_size(log) > 0);
        QCOMPARE(readFile(log), home() + "\n");
    }
};

QTEST_GUILESS_MAIN(CommandLineToolTest)
#include "CommandLineToolTest.moc"
