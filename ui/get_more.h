#ifndef VELKARO_UI_GET_MORE_H_
#define VELKARO_UI_GET_MORE_H_

#include <QDialog>
#include <QString>

namespace velkaro {

// The maker's web site, shown by the Get more window and the About message.
inline constexpr char kMakerSite[] = "https://www.velkaro.example/";

// The four lines of the About message.
QString AboutText(const QString& version);

// Points to the maker's site and lists the maker's other phone programs.
class TfmGetMore : public QDialog {
  Q_OBJECT

 public:
  explicit TfmGetMore(QWidget* parent = nullptr);

 private:
  void FormCreate();
  void Label2Click();
};

}  // namespace velkaro

#endif  // VELKARO_UI_GET_MORE_H_
