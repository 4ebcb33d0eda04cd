// SPDX-License-Identifier: GPL-3.0-or-later
// The own folder chooser's list over real folders in a throw-away home: odd
// names keep their bytes and show as one line, links to folders count and
// other entries do not, hidden folders wait to be asked for, and a folder
// that cannot be read lists nothing and says so.
#include "SubfolderModel.h"
#include "RecordVariants.h"
#include "TestHome.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <filesystem>
#include <vector>

namespace {

QStringList column(const SubfolderModel& model, SubfolderModel::Role role)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out << model.data(model.index(row), int(role)).toString();
    return out;
}

} // namespace

class SubfolderModelTest : public QObject
{
    Q_OBJECT

private slots:
    void listsTheFoldersInsideAFolder()
    {
        TestSupport::TestHome home;
        const std::string odd = std::string("caf") + char(0xff);
        for (const std::string& dir :
             std::vector<std::string>{"pick/item10", "pick/Item9", "pick/.hidden", "pick/" + odd,
                                      "pick/two\nlines", "elsewhere"})
            home.dir(dir);
        home.file("pick/a-file");
        std::filesystem::create_directory_symlink(home.at("elsewhere"), home.at("pick/linked"));
        std::filesystem::create_symlink(home.at("pick/a-file"), home.at("pick/file-link"));
        std::filesystem::create_symlink(home.at("gone"), home.at("pick/broken"));

        SubfolderModel model;
        QAbstractItemModelTester tester(&model);
        model.setFolder(qPath(home.at("pick/./item10/..")));
        QCOMPARE(model.folder(), qPath(home.at("pick")));
        QCOMPARE(model.parentFolder(), qPath(home.path()));
        QTRY_VERIFY(!model.loading());
        QVERIFY(model.readable());
        // Sorted by name as a reader sorts: case aside, numbers by value.
        QCOMPARE(column(model, SubfolderModel::Role::Name),
                 (QStringList{"caf\uFFFD", "Item9", "item10", "linked", "two?lines"}));
        const QStringList paths = column(model, SubfolderModel::Role::Path);
        QCOMPARE(stdPath(paths.first()), home.at("pick/" + odd));

        model.setShowHidden(true);
        QCOMPARE(model.count(), 6);
        QCOMPARE(column(model, SubfolderModel::Role::Name).first(), QString(".hidden"));
        QVERIFY(model.data(model.index(0), int(SubfolderModel::Role::Hidden)).toBool());
    }

    void aFolderThatCannotBeReadListsNothing()
    {
        TestSupport::TestHome home;
        home.file("plain-file");
        SubfolderModel model;
        for (const std::string& path : std::vector{home.at("missing"), home.at("plain-file")}) {
            model.setFolder(qPath(path));
            QTRY_VERIFY(!model.loading());
            QVERIFY(!model.readable());
            QCOMPARE(model.count(), 0);
        }
        // Text that is not an absolute path stands for the home folder.
        model.setFolder("relative/path");
        QCOMPARE(model.folder(), qPath(home.path()));
        model.setFolder("/");
        QCOMPARE(model.parentFolder(), QString());
    }
};

QTEST_GUILESS_MAIN(SubfolderModelTest)
#include "SubfolderModelTest.moc"
