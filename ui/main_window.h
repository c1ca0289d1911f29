#ifndef VELKARO_UI_MAIN_WINDOW_H_
#define VELKARO_UI_MAIN_WINDOW_H_

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "engine/velkaro.h"
#include "ui/build_log.h"
#include "ui/image_list.h"
#include "ui/window_state.h"

namespace velkaro {

// The main window: every setting of a book, the phone preview, the photo
// list, the build log and Start. Controls carry their names as object names;
// the window state file keys them by these names.
class TfmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit TfmMain(const WindowPaths& paths = DefaultWindowPaths(), QWidget* parent = nullptr);
  ~TfmMain() override;

  // Start-up at the first activation; later calls do nothing.
  void FormActivate();
  // Saves the window state file; errors are ignored.
  void FormClose();

  void Button1Click();
  // Fills the settings object from the controls; throws Error when a number
  // field does not hold an integer (the settings then stay as they were).
  void SettingsFromControls();
  void LoadSourceAndPreview();
  // Reads the source again as Encoding and JoinLines say, and redraws.
  void ReloadPreviewText();
  void RenderPreview();
  void SetSourceKindControls(bool via_word);

  // Start while no build runs; Cancel (also Esc) while one does.
  void CancelBuild();
  // File menu: the book's project file, paths in it relative to its folder.
  // Open returns false (after a message) when the file cannot be read.
  bool OpenProject(const QString& path);
  bool SaveProjectAs(const QString& path);
  const QString& ProjectPath() const { return project_path_; }
  QStringList RecentProjects() const;

  bool Building() const { return build_thread_ != nullptr; }
  const TVelkaro& Settings() const { return *book_; }
  const std::u16string& PreviewText() const { return preview_text_; }
  TImageList& ImageList() { return *image_list_; }
  const QImage& PreviewSurface() const { return surface_; }
  int LetterHeight() const { return letter_height_; }
  void SetWindowColors(int32_t font_color, int32_t back_color);

  // The controls, named as the window state file keys them.
  QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
  QLabel *Label10, *Label11, *Label12, *Label13, *Label14, *Label15, *Label16, *Label17;
  QLabel *Label18, *Label19, *Label20, *Label21, *Label22, *Image1;
  QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9, *Edit10,
      *Edit11;
  QComboBox *ComboBox1, *ComboBox2, *ComboBox3, *ComboBox4, *ComboBox5, *ComboBox6, *ComboBox7,
      *ComboBox8, *ComboBox9, *ComboBox10, *ComboBox11;
  QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5, *CheckBox6, *CheckBox7,
      *CheckBox8;
  QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7, *Button8,
      *Button9, *Button10, *Button11;
  QPushButton *BitBtn1, *BitBtn2, *BitBtn3, *BitBtn4, *BitBtn5, *BitBtn6, *BitBtn7;
  QTabWidget* PageControl1;
  QTableWidget* sgImages;
  QWidget* ImagePanel;
  QPlainTextEdit* Memo2;
  QProgressBar* ProgressBar1;
  QMenu* RecentMenu;
  QSplitter* Splitter1;  // the settings and preview above, the log below

 signals:
  // A Start has finished, whether or not its build succeeded.
  void BuildFinished();

 protected:
  // Message boxes owned by the window; tests catch them here.
  virtual void ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text);
  // A yes-or-no question owned by the window; true for yes.
  virtual bool Ask(const QString& caption, const QString& text);
  // The file dialogs of the File menu; an empty path when cancelled.
  virtual QString ChooseProjectToOpen();
  virtual QString ChooseProjectToSave();
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Layout, main_window_layout.cc.
  QWidget* MakeSettingsPanel();
  QWidget* MakeTextBookPage();
  QWidget* MakePhotoBookPage();
  QWidget* MakePackageGroup();
  QWidget* MakePreviewPanel();
  QWidget* MakeBottomBar();
  void MakeFileMenu();
  void ConnectHandlers();
  // Combo boxes and number boxes ignore the wheel.
  void KeepWheelOffLists();
  void GiveRoomToTheScreen();

  // Enabling rules, main_window_rules.cc.
  void SetControlEnabled(QWidget* control, bool on);
  void ComboBox1Change();
  void ComboBox4Change();
  void ComboBox5Change();
  void ComboBox6Change();
  void ComboBox7Change();
  void CheckBox2Click();
  void CheckBox3Click();
  void CheckBox5Click();
  void CheckBox6Click();
  void PageControl1Change();

  // Dialogs and messages, main_window_dialogs.cc.
  void Button4Click();
  void Button5Click();
  void Button7Click();
  void Button9Click();
  void Button11Click();
  void BitBtn1Click();
  void BitBtn2Click();
  void BitBtn4Click();
  void BitBtn5Click();
  void BitBtn6Click();
  void BitBtn7Click();
  void Label16Click();
  void Button3Click();
  void Button10Click();
  void Button2Click();
  void Button6Click();
  void Button8Click();
  QString ChooseImage();
  void ShowColors();
  void SelectImageRow(int row);
  // Runs a step whose failure goes to the general error message.
  void ReportFailures(const std::function<void()>& tool);

  // Start and the build, main_window_start.cc.
  void FillTextBookSettings(TVelkaro& book) const;
  void FillPhotoBookSettings(TVelkaro& book) const;
  void BuildDone();
  void AppendLogLine(const QString& line);

  // Window state, main_window.cc.
  void RestoreState();

  // The File menu, main_window_project.cc.
  void ControlsFromSettings(const TVelkaro& book);
  void TextBookControlsFromSettings(const TVelkaro& book);
  void OpenProjectClick();
  void SaveProjectClick();
  void SaveProjectAsClick();
  void RememberProject(const QString& path);
  void ShowRecentProjects();

  const WindowPaths paths_;
  QDateTime activated_;  // set at the first activation
  std::unique_ptr<TVelkaro> book_;
  std::unique_ptr<TVelkaro> building_;  // the copy a running build works on
  QThread* build_thread_ = nullptr;
  std::atomic<bool> cancel_ = false;  // the running build's cancel flag
  bool close_when_built_ = false;     // the user closed the window and cancelled the build
  QString project_path_;              // the project file opened or saved last
  QStringList recent_projects_;       // most recent first
  PaneLog pane_log_;
  ThreadLog thread_log_;
  int32_t font_color_ = 0;  // the window font and back colours, 0x00BBGGRR
  int32_t back_color_ = 0xFFFFFF;
  DesktopFont preview_font_;
  std::u16string preview_text_;
  int letter_height_ = 10;
  QImage surface_;
  std::unique_ptr<TImageList> image_list_;
};

}  // namespace velkaro

#endif  // VELKARO_UI_MAIN_WINDOW_H_
