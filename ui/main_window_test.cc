// The main window: first start, its state file, the enabling rules, number
// fields, the settings Start hands over, and the preview's placement.
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "ui/preview_layout.h"
#include "ui/testing/window_testing.h"

namespace velkaro {

using testing::Choose;
using testing::PathsIn;
using testing::TestWindow;

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  static QString ReadAll(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
  }
  static void Write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
  }

 private slots:
  void FirstStartShowsInitialValues() {
    QTemporaryDir folder;
    TestWindow w(PathsIn(folder));
    w.FormActivate();
    QCOMPARE(w.Edit2->text(), "TestBook");
    QCOMPARE(w.ComboBox1->currentText(), "240*320");
    QCOMPARE(w.ComboBox7->currentText(), "Import PNG only");
    QCOMPARE(w.ComboBox2->currentText(), "0");
    QCOMPARE(w.ComboBox8->currentText(), "Automatic");
    QCOMPARE(w.Edit5->text(), "90000");
    QCOMPARE(w.Edit8->text(), "8736");
    QCOMPARE(w.Edit3->text(), "readme.txt");
    QVERIFY(w.CheckBox1->isChecked() && w.CheckBox2->isChecked() && w.CheckBox4->isChecked());
    QVERIFY(!w.CheckBox6->isChecked() && !w.CheckBox3->isChecked());
    QCOMPARE(w.PageControl1->currentIndex(), 0);
    QVERIFY(!w.Button7->isEnabled());
    QVERIFY(!w.Edit8->isEnabled());  // no password
    QVERIFY(!w.Edit1->isEnabled() && !w.Button9->isEnabled());
    QVERIFY(w.Edit10->isVisibleTo(&w) && !w.Edit11->isVisibleTo(&w));
    QVERIFY(!w.Button2->isVisibleTo(&w) && !w.Button6->isVisibleTo(&w));
    QCOMPARE(w.Label14->text(), "0");
    QVERIFY(w.ImageList().ImageListIsEmpty());
  }

  void StateRoundTrip() {
    QTemporaryDir folder;
    QFile picture(folder.filePath("a.png"));
    picture.open(QIODevice::WriteOnly);
    picture.write("12345");
    picture.close();
    {
      TestWindow w(PathsIn(folder));
      w.FormActivate();
      w.Edit2->setText("Другая книга");
      w.Edit5->setText("4000");
      w.ComboBox1->setCurrentIndex(3);
      w.ComboBox8->setCurrentIndex(5);
      w.CheckBox3->setChecked(true);
      w.CheckBox7->setChecked(true);
      w.CheckBox8->setChecked(false);
      w.ComboBox9->setCurrentText("123456");
      w.ComboBox10->setCurrentIndex(3);
      w.ComboBox11->setCurrentIndex(2);
      w.SetWindowColors(0x0000FF, 0x00FF00);
      w.PageControl1->setCurrentIndex(1);
      w.ImageList().Add(picture.fileName());
      w.ImageList().Add(picture.fileName());
      w.sgImages->item(1, 3)->setText("second note");
      w.FormClose();
    }
    const QString saved = ReadAll(PathsIn(folder).state_file);
    for (const char* line :
         {"[TEdit]", "Edit5=4000", "[TComboBox]", "ComboBox1=3", "[TCheckBox]", "CheckBox3=1",
          "Font.Color=255", "Color=65280", "BookType=1", "RowCount=2", "3.2=second note", "2.1=5",
          "ComboBox9=123456", "ComboBox10=3", "CheckBox8=0"}) {
      QVERIFY2(saved.contains(line), line);
    }

    TestWindow again(PathsIn(folder));
    again.FormActivate();
    QCOMPARE(again.Edit2->text(), "Другая книга");
    QCOMPARE(again.ComboBox1->currentIndex(), 3);
    QCOMPARE(again.ComboBox8->currentIndex(), 5);
    QVERIFY(again.CheckBox7->isChecked());
    QVERIFY(!again.CheckBox8->isChecked());
    QCOMPARE(again.ComboBox9->currentText(), "123456");
    QCOMPARE(again.ComboBox10->currentIndex(), 3);
    QCOMPARE(again.ComboBox11->currentIndex(), 2);
    QVERIFY(again.Edit1->isEnabled());  // the restored box ran its handler
    QCOMPARE(again.PageControl1->currentIndex(), 1);
    QCOMPARE(again.ImageList().Cell(2, 3), "second note");
    QCOMPARE(again.Label15->text(), "10 bytes");
    again.SettingsFromControls();
    QCOMPARE(again.Settings().FontColor, 0x0000FF);
    QCOMPARE(again.Settings().BackColor, 0x00FF00);  // a photo book keeps its colours too
    QCOMPARE(again.Settings().ImageFiles.size(), size_t{2});
    QCOMPARE(again.Settings().ImageNotes[1], "second note");

    again.ImageList().Remove(1);
    again.ImageList().Remove(1);
    again.FormClose();
    QVERIFY(ReadAll(PathsIn(folder).state_file).contains("RowCount=0"));
  }

  // The file beside the program serves once, until the user's own is written.
  void StateFileBesideTheProgramIsAFallback() {
    QTemporaryDir folder;
    const WindowPaths paths = PathsIn(folder);
    Write(paths.fallback_state_file, "[TEdit]\nEdit2=Old place\n[Font]\nFont.Size=14\n");
    {
      TestWindow w(paths);
      w.FormActivate();
      QCOMPARE(w.Edit2->text(), "Old place");
      w.Edit2->setText("New place");
      w.FormClose();
    }
    QVERIFY(ReadAll(paths.state_file).contains("Edit2=New place"));
    QVERIFY(ReadAll(paths.state_file).contains("Font.Size=14"));
    QVERIFY(ReadAll(paths.fallback_state_file).contains("Edit2=Old place"));
    TestWindow w(paths);
    w.FormActivate();
    QCOMPARE(w.Edit2->text(), "New place");
  }

  void InstalledProgramBuildsInTheUsersFolder() {
    QTemporaryDir folder;
    QCOMPARE(BuildFolderFor(folder.path(), folder.filePath("user")), folder.path());
    const QString absent = folder.filePath("absent");  // a folder the program may not write to
    QCOMPARE(BuildFolderFor(absent, folder.filePath("user/data")), folder.filePath("user/data"));
    QVERIFY(QFileInfo(folder.filePath("user/data")).isDir());
  }

  void EnablingRules() {
    using Action = std::function<void(TestWindow&)>;
    struct Case {
      const char* name;
      Action action;
      std::vector<const char*> enabled;
      std::vector<const char*> disabled;
    };
    auto source = [](const char* name) {
      return [name](TestWindow& w) {
        w.Edit3->setText(name);
        w.LoadSourceAndPreview();
      };
    };
    auto choose = [](QComboBox* TfmMain::*list, int index) {
      return [list, index](TestWindow& w) { Choose(w.*list, index); };
    };
    auto check = [](QCheckBox* TfmMain::*box, bool on) {
      return [box, on](TestWindow& w) { (w.*box)->setChecked(on); };
    };
    const Case cases[] = {
        {"Word document", source("Book.DOC"), {"ComboBox7", "Edit9"}, {"CheckBox6", "Edit5"}},
        {"rich text", source("Book.rtf"), {"ComboBox7", "Edit9"}, {"CheckBox6", "Edit5"}},
        {"plain text", source("Book.TXT"), {"CheckBox6", "Edit5"}, {"ComboBox7", "Edit9"}},
        {"no import", choose(&TfmMain::ComboBox7, 0), {}, {"Edit9", "Edit10", "ComboBox6"}},
        {"copy", choose(&TfmMain::ComboBox7, 1), {"Edit9"}, {"Edit10", "Edit11", "ComboBox6"}},
        {"copy JPEG", choose(&TfmMain::ComboBox7, 3), {"Edit9"}, {"Edit10", "ComboBox6"}},
        {"convert", choose(&TfmMain::ComboBox7, 4), {"Edit10", "Edit11", "ComboBox6"}, {"Edit9"}},
        {"to JPEG", choose(&TfmMain::ComboBox7, 6), {"Edit10", "Edit11", "ComboBox6"}, {"Edit9"}},
        {"phone fonts",
         choose(&TfmMain::ComboBox4, 1),
         {},
         {"Edit4", "Button5", "CheckBox4", "Label10", "Label2", "Label11"}},
        {"desktop font",
         choose(&TfmMain::ComboBox4, 0),
         {"Edit4", "Button5", "CheckBox4", "Label10", "Label2", "Label11"},
         {}},
        {"no password", choose(&TfmMain::ComboBox5, 0), {}, {"Edit8"}},
        {"password", choose(&TfmMain::ComboBox5, 2), {"Edit8"}, {}},
        {"splash", check(&TfmMain::CheckBox3, true), {"Edit1", "Button9"}, {}},
        {"no splash", check(&TfmMain::CheckBox3, false), {}, {"Edit1", "Button9"}},
        {"icon", check(&TfmMain::CheckBox5, true), {"Edit7", "Button11"}, {}},
        {"tags", check(&TfmMain::CheckBox6, true), {}, {"Edit5"}},
    };
    for (const Case& c : cases) {
      QTemporaryDir folder;
      TestWindow w(PathsIn(folder));
      w.FormActivate();
      c.action(w);
      for (const char* name : c.enabled) {
        QVERIFY2(w.findChild<QWidget*>(name)->isEnabled(),
                 (c.name + QString(": ") + name).toUtf8());
      }
      for (const char* name : c.disabled) {
        QVERIFY2(!w.findChild<QWidget*>(name)->isEnabled(),
                 (c.name + QString(": ") + name).toUtf8());
      }
      QVERIFY2(w.messages.empty(), c.name);  // a change made without focus shows nothing
    }
  }

  void Messages() {
    QTemporaryDir folder;
    TestWindow w(PathsIn(folder));
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.CheckBox6->setFocus();
    QTest::keyClick(w.CheckBox6, Qt::Key_Space);  // the user's own change explains tags
    QTest::keyClick(w.CheckBox6, Qt::Key_Space);  // unchecking says nothing
    emit w.Label16->linkActivated("#");
    QCOMPARE(w.messages.size(), size_t{2});
    QCOMPARE(w.messages[0].caption, "Tags analysis is enabled");
    const QStringList tags = w.messages[0].text.split("\r\n");
    QCOMPARE(tags.size(), 9);
    QCOMPARE(tags[4], "<img /home/anna/books/pictures/chapter1.png>");
    QCOMPARE(tags[8], "<p3> - Section");
    QCOMPARE(w.messages[1].caption, "ImageMagick");
    QCOMPARE(w.messages[1].text.split("\r\n").size(), 3);
    QVERIFY(!w.messages[1].text.contains("ownload"));  // it is built in, nothing to fetch
    QCOMPARE(w.ComboBox4->itemText(0),
             "Use desktop and phone fonts (large midlet without limitations)");
  }

  void PhoneFontsMeanPortrait() {
    QTemporaryDir folder;
    TestWindow w(PathsIn(folder));
    w.FormActivate();
    w.CheckBox4->setChecked(false);
    Choose(w.ComboBox4, 1);
    QVERIFY(w.CheckBox4->isChecked());
    w.SettingsFromControls();
    QVERIFY(!w.Settings().Font.has_value());
    QVERIFY(w.Settings().PortraitLayout);
  }

  void PngAndJpgOptionsShareAPlace() {
    QTemporaryDir folder;
    TestWindow w(PathsIn(folder));
    w.FormActivate();
    Choose(w.ComboBox6, 1);
    QVERIFY(!w.Edit10->isVisibleTo(&w) && w.Edit11->isVisibleTo(&w));
    Choose(w.ComboBox6, 0);
    QVERIFY(w.Edit10->isVisibleTo(&w) && !w.Edit11->isVisibleTo(&w));
  }

  void NumberFields() {
    struct Case {
      QLineEdit* TfmMain::*field;
      const char* text;
      int password_mode;
      const char* message;  // empty: Start goes on
      int32_t password;
    };
    const Case cases[] = {
        {&TfmMain::Edit5, "", 0, "'' is not a valid integer value", 0},
        {&TfmMain::Edit5, " 12a ", 0, "'12a' is not a valid integer value", 0},
        {&TfmMain::Edit9, "ten", 0, "'ten' is not a valid integer value", 0},
        {&TfmMain::Edit8, "abc", 0, "", 0},  // no password: Edit8 is not read
        {&TfmMain::Edit8, "abc", 1, "'abc' is not a valid integer value", 0},
        {&TfmMain::Edit8, "0123", 1, "", 123},
    };
    for (const Case& c : cases) {
      QTemporaryDir folder;
      TestWindow w(PathsIn(folder));
      w.FormActivate();
      w.Edit3->setText(folder.filePath("absent.txt"));
      (w.*c.field)->setText(c.text);
      Choose(w.ComboBox5, c.password_mode);
      if (*c.message) {
        w.Button1Click();
        QCOMPARE(w.messages.size(), size_t{1});
        QCOMPARE(w.messages[0].text, c.message);
        QVERIFY(!w.Building());
        QVERIFY(!w.Button7->isEnabled());
        QVERIFY(!QFileInfo::exists(folder.filePath("program/midlets")));
      } else {
        w.SettingsFromControls();
        QCOMPARE(w.Settings().Password, c.password);
      }
    }
  }

  void SettingsOfATextBook() {
    QTemporaryDir folder;
    TestWindow w(PathsIn(folder));
    w.FormActivate();
    w.Edit10->setText("  -colors 16  ");
    Choose(w.ComboBox2, 0);
    Choose(w.ComboBox8, 1);
    w.CheckBox7->setChecked(true);
    w.SettingsFromControls();
    const TVelkaro& book = w.Settings();
    QVERIFY(book.BookMode);
    QCOMPARE(book.BookName, "TestBook");
    QCOMPARE(book.PartSize, 90000);
    QCOMPARE(book.LineSpacing, -1);
    QCOMPARE(book.ImageMode, 2);
    QVERIFY(book.Tags);  // Edit9 is enabled for "Import PNG only"
    QCOMPARE(book.ImagePngOptions, "-colors 16");
    QCOMPARE(book.Encoding, "UTF-8");
    QVERIFY(book.JoinLines);
    QVERIFY(book.CreateConverter);  // the ImageMagick modes convert as on the command line
    QCOMPARE(book.SplashFileName, "");
    QCOMPARE(QString::fromStdString(book.MidletsFolder), folder.filePath("program/midlets"));
  }

  void ScreenSizeAndPlace() {
    struct Case {
      const char* resolution;
      bool portrait;
      QSize panel;
      QSize screen;
      QPoint origin;
    };
    const Case cases[] = {
        {"240*320", true, {400, 400}, {240, 320}, {80, 40}},
        {"240*320", false, {400, 400}, {320, 240}, {40, 80}},
        {"101*60", true, {102, 61}, {101, 60}, {0, 0}},  // rounded down
        {"176*208", true, {100, 300}, {176, 208}, {0, 46}},
    };
    for (const Case& c : cases) {
      const QSize screen = PhoneScreenSize(c.resolution, c.portrait);
      QCOMPARE(screen, c.screen);
      QCOMPARE(PhoneScreenOrigin(c.panel, screen), c.origin);
    }
    QVERIFY_THROWS_EXCEPTION(std::exception, PhoneScreenSize("12x*8", true));
  }

  void PreviewSurface() {
    QTemporaryDir folder;
    TestWindow w(PathsIn(folder));
    w.resize(1000, 800);
    w.FormActivate();
    w.ImagePanel->resize(500, 400);
    w.SetWindowColors(0, 0x0000FF);  // red
    w.PageControl1->setCurrentIndex(1);
    const QImage& surface = w.PreviewSurface();
    QCOMPARE(surface.size(), QSize(640, 480));
    const QRgb window = w.palette().color(QPalette::Window).rgb();
    // 240 by 320 in a 500 by 400 panel starts at (130, 40).
    QCOMPARE(surface.pixel(130, 40), qRgb(255, 0, 0));
    QCOMPARE(surface.pixel(369, 359), qRgb(255, 0, 0));
    QCOMPARE(surface.pixel(129, 40), window);
    QCOMPARE(surface.pixel(370, 359), window);
    QCOMPARE(surface.pixel(130, 360), window);

    w.CheckBox4->setChecked(false);
    w.RenderPreview();
    QCOMPARE(surface.pixel(90, 80), qRgb(255, 0, 0));  // 320 by 240 starts at (90, 80)
    QCOMPARE(surface.pixel(89, 80), window);

    w.PageControl1->setCurrentIndex(0);  // the text page shows the letter height
    const int small = w.Label11->text().toInt();
    QVERIFY(small > 0);
    QCOMPARE(small, w.LetterHeight());
  }
};

}  // namespace velkaro

QTEST_MAIN(velkaro::MainWindowTest)
#include "main_window_test.moc"
