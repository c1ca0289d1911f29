// The window on a real desktop: a preview that writes nothing, a layout that
// fits and never overlaps, lists the wheel leaves alone, the photo list and
// icon, project files, cancelling a build, the font dialog, the controls that
// reload the source, and the package settings.
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFontDialog>
#include <QProgressBar>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <map>

#include "tests/docx_maker.h"
#include "tests/package_reader.h"
#include "ui/testing/window_testing.h"
#include "ui/window_look.h"

namespace velkaro {

using testing::Choose;
using testing::PathsIn;
using testing::TestWindow;

namespace {

namespace fs = std::filesystem;

constexpr char kExample[] = VELKARO_EXAMPLES "/text-book/gull-island.ini";

void Write(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray Read(const QString& path) {
  QFile file(path);
  file.open(QIODevice::ReadOnly);
  return file.readAll();
}

// Every file below a folder with a digest of its bytes.
std::map<QString, QByteArray> Snapshot(const QString& folder) {
  std::map<QString, QByteArray> files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    files[path] = QCryptographicHash::hash(Read(path), QCryptographicHash::Md5);
  }
  return files;
}

// A document of many paragraphs with a picture at the start.
void WriteDocument(const QString& path, int paragraphs) {
  std::string body = "<w:p>" + velkaro::testing::InlinePictureRun("rIdPng") + "</w:p>";
  for (int i = 0; i < paragraphs; ++i) {
    body += "<w:p><w:r><w:t>Paragraph " + std::to_string(i) +
            " of the book, long enough to fill a line or two.</w:t></w:r></w:p>";
  }
  velkaro::testing::WriteDocx(
      path.toStdString(),
      {.body = body, .pictures = {{"rIdPng", "media/a.png", velkaro::testing::TinyPng()}}});
}

// A plain text of many short parts, so that its build takes a while.
QString WriteLongBook(const QTemporaryDir& folder) {
  QByteArray text;
  for (int i = 0; text.size() < (2 << 20); ++i) text += "Sentence " + QByteArray::number(i) + ". ";
  Write(folder.filePath("long.txt"), text);
  return folder.filePath("long.txt");
}

// The state file of a window whose book is `source`, built in parts of
// `part_size` with phone fonts.
void WriteState(const WindowPaths& paths, const QString& source, int part_size) {
  QDir().mkpath(paths.program_folder);
  Write(paths.state_file, "[TEdit]\nEdit2=Book\nEdit3=" + source.toUtf8() +
                              "\nEdit5=" + QByteArray::number(part_size) +
                              "\n[TComboBox]\nComboBox4=1\nComboBox7=2\n");
}

bool WaitForLine(const TestWindow& w, const QString& start) {
  if (QTest::qWaitFor([&] { return w.Memo2->toPlainText().contains("\n" + start); }, 60000)) {
    return true;
  }
  qWarning("%s", qPrintable(w.Memo2->toPlainText()));
  return false;
}

QString LastLine(const TestWindow& w) { return w.Memo2->toPlainText().split('\n').last(); }

// The controls a user sees and works with, each with its place in the window.
std::vector<std::pair<QWidget*, QRect>> VisibleControls(TestWindow& w) {
  std::vector<std::pair<QWidget*, QRect>> controls;
  for (QWidget* control : w.findChildren<QWidget*>()) {
    const QString name = control->objectName();
    const bool kind = qobject_cast<QLabel*>(control) || qobject_cast<QLineEdit*>(control) ||
                      qobject_cast<QComboBox*>(control) || qobject_cast<QCheckBox*>(control) ||
                      qobject_cast<QPushButton*>(control) || qobject_cast<QTableWidget*>(control) ||
                      qobject_cast<QPlainTextEdit*>(control) ||
                      qobject_cast<QProgressBar*>(control) || control == w.ImagePanel;
    if (!kind || name.isEmpty() || name.startsWith("qt_") || control == w.Image1) continue;
    if (!control->isVisibleTo(&w)) continue;
    controls.push_back({control, QRect(control->mapTo(&w, QPoint(0, 0)), control->size())});
  }
  return controls;
}

}  // namespace

class DesktopWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // The preview reads a document with its own settings: no work folder, no
  // log, no file written, not even while a build runs.
  void PreviewWritesNothing() {
    QTemporaryDir folder;
    const WindowPaths paths = PathsIn(folder);
    WriteDocument(folder.filePath("book.docx"), 400);
    WriteDocument(folder.filePath("preview.docx"), 3);
    WriteState(paths, folder.filePath("book.docx"), 2000);
    TestWindow w(paths);
    w.FormActivate();
    QSignalSpy finished(&w, &TfmMain::BuildFinished);
    w.Button1Click();
    QVERIFY(w.Building());
    w.Edit3->setText(folder.filePath("preview.docx"));
    w.LoadSourceAndPreview();
    const QString preview = QString::fromStdU16String(w.PreviewText());
    QVERIFY2(preview.startsWith("<img pic1>") && preview.contains("\r\nParagraph 0"),
             qPrintable(preview.left(40)));
    QVERIFY(finished.wait(60000));
    QVERIFY2(LastLine(w).startsWith("Process successfully ended"), qPrintable(LastLine(w)));

    const fs::path midlets = paths.program_folder.toStdString() + "/midlets";
    int packages = 0;
    for (const auto& entry : fs::directory_iterator(midlets)) {
      if (entry.path().extension() != ".jar") continue;
      ++packages;
      for (const std::string& name : velkaro::testing::ReadPackage(entry.path()).names) {
        QVERIFY2(!name.starts_with("tmp"), name.c_str());
      }
    }
    QVERIFY(packages > 1);
    QVERIFY(QDir(paths.program_folder + "/temp").entryList(QDir::Files).isEmpty());

    // After the build: the finished build's log, pane and folders stay as they are.
    const auto files = Snapshot(folder.path());
    const QString pane = w.Memo2->toPlainText();
    w.LoadSourceAndPreview();
    QVERIFY(Snapshot(folder.path()) == files);
    QCOMPARE(w.Memo2->toPlainText(), pane);
  }

  // On a 1280 by 720 desktop the window fits with its frame; at its least
  // size and on larger desktops every control shows whole, none over another,
  // and nothing needs scrolling.
  void FitsTheScreenAndNothingOverlaps() {
    QTemporaryDir folder;
    TestWindow w(PathsIn(folder));
    w.FormActivate();
    QVERIFY(w.OpenProject(kExample));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QSize least = w.minimumSize();
    const struct {
      const char* name;
      QSize desktop;  // free area, a 32-pixel panel taken off; empty: the least size
    } cases[] = {{"least", {}},
                 {"1280x720", {1280, 688}},
                 {"1366x768", {1366, 736}},
                 {"1920x1080", {1920, 1048}}};
    for (const auto& c : cases) {
      const QSize size = c.desktop.isEmpty() ? least : WindowSizeFor(c.desktop, least);
      if (!c.desktop.isEmpty()) {
        const QSize framed = size + kFrameAllowance;
        QVERIFY2(framed.width() <= c.desktop.width() && framed.height() <= c.desktop.height(),
                 c.name);
      }
      w.resize(size);
      QTest::qWait(20);
      for (int page : {1, 0}) {
        w.PageControl1->setCurrentIndex(page);
        QTest::qWait(20);
        const auto controls = VisibleControls(w);
        QVERIFY(controls.size() > 20);
        for (size_t i = 0; i < controls.size(); ++i) {
          const auto& [control, place] = controls[i];
          const QString what =
              QString("%1, page %2: %3").arg(c.name).arg(page).arg(control->objectName());
          QVERIFY2(w.rect().contains(place), qPrintable(what));
          const int least = std::min(control->minimumSizeHint().width(), control->maximumWidth());
          QVERIFY2(control->width() >= least, qPrintable(what));
          for (size_t j = i + 1; j < controls.size(); ++j) {
            QVERIFY2(!place.intersects(controls[j].second),
                     qPrintable(what + " and " + controls[j].first->objectName()));
          }
        }
      }
      if (QString(c.name) != "least") {
        QVERIFY2(w.ImagePanel->height() >= 320, c.name);  // the whole 240 by 320 screen
      }
    }
    for (QWidget* area : w.findChildren<QScrollArea*>()) {
      QVERIFY2(!area->isVisibleTo(&w), "every control is reachable without scrolling");
    }
  }

  void WheelLeavesListsAlone() {
    QTemporaryDir folder;
    TestWindow w(PathsIn(folder));
    w.FormActivate();
    const QList<QComboBox*> lists = w.findChildren<QComboBox*>();
    QVERIFY(lists.size() >= 11);
    for (QComboBox* list : lists) {
      list->setEnabled(true);
      list->setCurrentIndex(1);
      for (int notch : {-120, 120, -120}) {
        QWheelEvent wheel(QPointF(5, 5), list->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, notch), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list, &wheel);
      }
      QVERIFY2(list->currentIndex() == 1, qPrintable(list->objectName()));
    }
  }

  void PhotoListShowsWholeNamesAndTheWindowItsIcon() {
    QTemporaryDir folder;
    const QString photo = folder.filePath("a/rather/long/folder/name/for/photos/4-apple-tree.png");
    Write(photo, "png bytes");
    TestWindow w(PathsIn(folder));
    w.FormActivate();
    w.ImageList().Add(photo);
    QCOMPARE(w.sgImages->item(0, 1)->toolTip(), photo);
    QCOMPARE(w.sgImages->textElideMode(), Qt::ElideMiddle);
    w.resize(w.minimumSize());
    w.PageControl1->setCurrentIndex(1);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QString shown = w.sgImages->fontMetrics().elidedText(photo, Qt::ElideMiddle,
                                                               w.sgImages->columnWidth(1) - 8);
    QVERIFY2(shown.endsWith("4-apple-tree.png"), qPrintable(shown));

    const QImage icon = w.windowIcon().pixmap(32, 32).toImage();
    QVERIFY(!icon.isNull());
    QVERIFY(qAlpha(icon.pixel(16, 16)) > 0 && qAlpha(icon.pixel(0, 0)) == 0);
  }

  // Paths in a project file are relative to its folder; the new package
  // settings go there and back; recent projects outlive the window.
  void ProjectFilesOpenAndSave() {
    QTemporaryDir folder;
    const QDir book(folder.filePath("book"));
    QDir().mkpath(book.path());
    for (const char* name : {"gull-island.ini", "gull-island.txt", "splash.png"}) {
      QVERIFY(QFile::copy(VELKARO_EXAMPLES "/text-book/" + QString(name), book.filePath(name)));
    }
    const QString project = book.filePath("gull-island.ini");
    const QString elsewhere = folder.filePath("other/elsewhere.ini");  // beside the book's folder
    QDir().mkpath(folder.filePath("other"));
    {
      TestWindow w(PathsIn(folder));
      w.FormActivate();
      QVERIFY(w.OpenProject(project));
      QCOMPARE(w.Edit2->text(), "GullIsland");
      QCOMPARE(w.Edit3->text(), book.filePath("gull-island.txt"));
      QCOMPARE(w.Edit1->text(), book.filePath("splash.png"));
      QVERIFY(w.CheckBox3->isChecked() && w.CheckBox6->isChecked());
      QCOMPARE(w.Edit5->text(), "2500");
      QCOMPARE(w.ComboBox10->currentIndex(), 0);  // no key: level 1, as before
      QVERIFY(!w.CheckBox8->isChecked());
      QVERIFY(QString::fromStdU16String(w.PreviewText()).startsWith("<p1>About this book"));

      w.Edit2->setText("Renamed");
      w.CheckBox8->setChecked(true);
      w.ComboBox9->setCurrentText("100 KB");
      w.ComboBox10->setCurrentIndex(4);
      QVERIFY(w.SaveProjectAs(project));
      QVERIFY(w.SaveProjectAs(elsewhere));
      w.FormClose();
    }
    const TVelkaro saved = TVelkaro::CreateFromProject(project.toStdString(), nullptr);
    QCOMPARE(saved.BookName, "Renamed");
    QCOMPARE(saved.TextFileName, "gull-island.txt");
    QCOMPARE(saved.SplashFileName, "splash.png");
    QVERIFY(saved.StyleHeadings);
    QCOMPARE(saved.MaxJarSize, 100 * 1024);
    QCOMPARE(saved.Compression, 5);
    const TVelkaro other = TVelkaro::CreateFromProject(elsewhere.toStdString(), nullptr);
    QCOMPARE(other.TextFileName, book.filePath("gull-island.txt").toStdString());

    TestWindow again(PathsIn(folder));
    again.FormActivate();
    QCOMPARE(again.RecentProjects(), QStringList({elsewhere, project}));
    QVERIFY(again.OpenProject(again.RecentProjects()[1]));
    QCOMPARE(again.ComboBox9->currentText(), "100 KB");
    QCOMPARE(again.ComboBox10->currentIndex(), 4);
    QVERIFY(!again.OpenProject(folder.filePath("absent.ini")));
    QCOMPARE(again.messages.size(), size_t{1});

    QStringList shortcuts;
    for (QAction* action : again.findChildren<QAction*>()) {
      shortcuts += action->shortcut().toString();
    }
    for (const char* key : {"Ctrl+O", "Ctrl+S", "Ctrl+Q"}) QVERIFY2(shortcuts.contains(key), key);
  }

  // Esc stops a running build at its next step; closing the window asks
  // first and, once agreed, closes when the build has stopped.
  void CancelWithEscapeOrByClosing() {
    QTemporaryDir folder;
    const WindowPaths paths = PathsIn(folder);
    WriteState(paths, WriteLongBook(folder), 1000);
    TestWindow w(paths);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QSignalSpy finished(&w, &TfmMain::BuildFinished);
    const QString midlets = paths.program_folder + "/midlets";

    w.Button1Click();
    QVERIFY(WaitForLine(w, "Processing part 2 "));
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(finished.wait(60000));
    QCOMPARE(LastLine(w), "Build cancelled");
    QCOMPARE(w.Button1->text(), "Start");
    QVERIFY(QDir(midlets).entryList({"*.partial"}).isEmpty());
    QVERIFY(QDir(midlets).entryList({"*.jar"}).size() < 100);

    w.Button1Click();
    QVERIFY(WaitForLine(w, "Processing part 2 "));
    w.answer = false;
    w.close();
    QCOMPARE(w.questions.size(), size_t{1});
    QVERIFY(w.isVisible() && w.Building());
    w.answer = true;
    w.close();
    QVERIFY(finished.wait(60000));
    QCOMPARE(LastLine(w), "Build cancelled");
    QVERIFY(!w.isVisible());
    QVERIFY(QFileInfo::exists(paths.state_file));  // closed the usual way
  }

  // OK without a change keeps the book's font, style and size.
  void FontDialogKeepsTheFont() {
    const struct {
      const char* name;
      int size;
      bool bold;
      bool italic;
    } cases[] = {{"DejaVu Sans", 8, false, false},
                 {"DejaVu Sans", 10, true, false},
                 {"DejaVu Sans", 9, false, true},
                 {"DejaVu Serif", 12, true, true}};
    for (const auto& c : cases) {
      QTemporaryDir folder;
      const WindowPaths paths = PathsIn(folder);
      Write(paths.state_file, QString("[Font]\nFont.Name=%1\nFont.Size=%2\nFont.Bold=%3\n"
                                      "Font.Italic=%4\n")
                                  .arg(c.name)
                                  .arg(c.size)
                                  .arg(int(c.bold))
                                  .arg(int(c.italic))
                                  .toUtf8());
      TestWindow w(paths);
      w.FormActivate();
      QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (dialog) dialog->accept();
      });
      w.Button5->click();
      w.SettingsFromControls();
      const DesktopFont expected{
          .Name = c.name, .Size = c.size, .Bold = c.bold, .Italic = c.italic};
      const DesktopFont& got = *w.Settings().Font;
      QVERIFY2(w.Settings().Font == expected, qPrintable(QString("%1 %2 %3 %4")
                                                             .arg(got.Name.c_str())
                                                             .arg(got.Size)
                                                             .arg(got.Bold)
                                                             .arg(got.Italic)));
    }
  }

  // Encoding and JoinLines read the source again; Enter in the source field loads it.
  void ReadingControlsReloadTheSource() {
    QTemporaryDir folder;
    Write(folder.filePath("cyrillic.txt"), "\xCF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0");
    QByteArray wrapped;
    for (int i = 0; i < 40; ++i) {
      wrapped += "This line of a book was wrapped at the width of a page, as old texts are\n";
    }
    Write(folder.filePath("wrapped.txt"), wrapped);
    TestWindow w(PathsIn(folder));
    w.FormActivate();
    w.Edit3->setText(folder.filePath("cyrillic.txt"));
    QTest::keyClick(w.Edit3, Qt::Key_Return);
    Choose(w.ComboBox8, w.ComboBox8->findText("CP1251"));
    QCOMPARE(w.PreviewText(), u"Привет мир ");

    w.Edit3->setText(folder.filePath("wrapped.txt"));
    QTest::keyClick(w.Edit3, Qt::Key_Return);
    QVERIFY(w.PreviewText().find(u'\n') != std::u16string::npos);
    w.CheckBox7->click();
    QCOMPARE(w.PreviewText().find(u'\n'), std::u16string::npos);
  }

  void PackageSettingsAndPhotoConversion() {
    const struct {
      int page;
      int text_mode;   // ComboBox7
      int photo_mode;  // ComboBox11
      const char* package_size;
      int32_t image_mode;
      int32_t max_jar_size;
      const char* message;
    } cases[] = {
        {0, 4, 2, "No limit", 4, 0, ""},
        {1, 4, 0, "No limit", 0, 0, ""},  // the text page's mode does not carry over
        {1, 1, 2, "No limit", 5, 0, ""},
        {1, 2, 3, "No limit", 6, 0, ""},
        {0, 2, 0, "64 KB", 2, 65536, ""},
        {0, 2, 0, "300 KB", 2, 307200, ""},
        {0, 2, 0, " 250000 ", 2, 250000, ""},
        {0, 2, 0, "big", 2, 0, "'big' is not a valid integer value"},
    };
    for (const auto& c : cases) {
      QTemporaryDir folder;
      TestWindow w(PathsIn(folder));
      w.FormActivate();
      QVERIFY(w.CheckBox8->isChecked());  // on for new books
      QCOMPARE(w.ComboBox10->currentIndex(), 8);
      Choose(w.ComboBox7, c.text_mode);
      Choose(w.ComboBox11, c.photo_mode);
      w.ComboBox9->setCurrentText(c.package_size);
      w.PageControl1->setCurrentIndex(c.page);
      if (*c.message) {
        w.Button1Click();
        QCOMPARE(w.messages.size(), size_t{1});
        QCOMPARE(w.messages[0].text, c.message);
        continue;
      }
      w.SettingsFromControls();
      QCOMPARE(w.Settings().ImageMode, c.image_mode);
      QCOMPARE(w.Settings().Compression, 9);
      if (c.page == 0) {
        QCOMPARE(w.Settings().MaxJarSize, c.max_jar_size);
        QVERIFY(w.Settings().StyleHeadings);
      }
    }
  }
};

}  // namespace velkaro

QTEST_MAIN(velkaro::DesktopWindowTest)
#include "desktop_window_test.moc"
