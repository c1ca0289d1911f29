// Start in the window: the example text book built off the interface thread,
// its log in the pane, its project file, and packages equal to those of the
// command line for the same settings.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "shell/command_line.h"
#include "tests/package_reader.h"
#include "ui/testing/window_testing.h"

namespace velkaro {

using testing::PathsIn;
using testing::TestWindow;

namespace {

// The settings of examples/text-book/gull-island.ini as the window keeps them.
constexpr char kExampleState[] =
    "[TEdit]\nEdit2=GullIsland\n"
    "Edit6=The Keeper of Gull Island, a short story written for Velkaro\n"
    "Edit3=gull-island.txt\nEdit5=2500\nEdit9=10000\nEdit1=splash.png\n"
    "[TComboBox]\nComboBox2=1\nComboBox3=1\nComboBox4=0\nComboBox5=0\nComboBox7=2\n"
    "ComboBox10=0\n"
    "[TCheckBox]\nCheckBox1=1\nCheckBox2=1\nCheckBox3=1\nCheckBox4=1\nCheckBox6=1\n"
    "[Colors]\nFont.Color=4210752\nColor=15794175\n"
    "[Font]\nFont.Size=8\nFont.Name=DejaVu Sans\n";

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

QByteArray Bytes(const std::filesystem::path& path) {
  QFile file(QString::fromStdString(path.string()));
  file.open(QIODevice::ReadOnly);
  return file.readAll();
}

}  // namespace

class WindowBuildTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(QDir::setCurrent(VELKARO_EXAMPLES "/text-book")); }

  void StartBuildsLikeTheCommandLine() {
    QTemporaryDir folder;
    const WindowPaths paths = PathsIn(folder);
    QDir().mkpath(QFileInfo(paths.state_file).absolutePath());
    QDir().mkpath(paths.program_folder);
    QFile state(paths.state_file);
    QVERIFY(state.open(QIODevice::WriteOnly));
    state.write(kExampleState);
    state.close();

    TestWindow w(paths);
    w.FormActivate();
    QSignalSpy finished(&w, &TfmMain::BuildFinished);
    w.Button1Click();
    QVERIFY(w.Building());
    QCOMPARE(w.Button1->text(), "Cancel");  // Start cancels while a build runs
    QVERIFY(!w.Button7->isEnabled());
    QVERIFY(finished.wait(60000));
    QCOMPARE(finished.size(), 1);
    QVERIFY(w.Button1->isEnabled() && w.Button7->isEnabled());
    QCOMPARE(w.Button1->text(), "Start");
    QVERIFY(w.messages.empty());

    const std::filesystem::path window_midlets = paths.program_folder.toStdString() + "/midlets";
    const std::filesystem::path project = window_midlets / "GullIsland.ini";
    QVERIFY2(std::filesystem::exists(project), qPrintable(w.Memo2->toPlainText()));
    const TVelkaro saved = TVelkaro::CreateFromProject(project.string(), nullptr);
    const TVelkaro example = TVelkaro::CreateFromProject("gull-island.ini", nullptr);
    QCOMPARE(saved.BookName, example.BookName);
    QCOMPARE(saved.BookInfo, example.BookInfo);
    QCOMPARE(saved.PartSize, example.PartSize);
    QVERIFY(saved.Font == example.Font);
    QCOMPARE(saved.FontColor, example.FontColor);
    QCOMPARE(saved.BackColor, example.BackColor);
    QCOMPARE(saved.TextFileName, example.TextFileName);
    QCOMPARE(saved.SplashFileName, example.SplashFileName);
    QCOMPARE(saved.Tags, example.Tags);
    QCOMPARE(saved.ImageMode, example.ImageMode);

    const QStringList pane = w.Memo2->toPlainText().split('\n');
    const QStringList log = QString::fromUtf8(Bytes(window_midlets / "GullIsland.log"))
                                .split("\r\n", Qt::SkipEmptyParts);
    // The pane and the log file have every line, in order, also those before
    // the build made the midlets folder.
    QCOMPARE(log, pane);
    QVERIFY(pane.first().startsWith("Process started"));
    QVERIFY2(pane.last().startsWith("Process successfully ended"), qPrintable(pane.last()));

    // The same book from the example's own project file on the command line.
    QTemporaryDir other;
    const std::string output = other.path().toStdString();
    const char* const command[] = {"velkaro", "gull-island.ini", "-o", output.c_str()};
    QCOMPARE(RunWithoutWindow(4, command), std::optional<int>(0));
    const std::filesystem::path line_midlets = output;
    std::vector<std::string> names = FilesIn(window_midlets);
    std::erase(names, "GullIsland.ini");  // only the window saves the project
    QCOMPARE(names, FilesIn(line_midlets));
    int packages = 0;
    for (const std::string& name : names) {
      if (name.ends_with(".jad"))
        QCOMPARE(Bytes(window_midlets / name), Bytes(line_midlets / name));
      if (!name.ends_with(".jar")) continue;
      ++packages;
      const auto ours = velkaro::testing::ReadPackage(window_midlets / name);
      const auto theirs = velkaro::testing::ReadPackage(line_midlets / name);
      QVERIFY(ours.ok && theirs.ok);
      QVERIFY(ours.names == theirs.names);
      QVERIFY2(ours.content == theirs.content, name.c_str());
    }
    QVERIFY(packages > 1);
    QCOMPARE(w.ProgressBar1->maximum(), packages);  // the bar followed the parts
    QCOMPARE(w.ProgressBar1->value(), packages);
  }
};

}  // namespace velkaro

QTEST_MAIN(velkaro::WindowBuildTest)
#include "window_build_test.moc"
