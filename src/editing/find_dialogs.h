#pragma once
// The modeless Find and Replace dialogs, as the platform's standard ones read on a Russian
// desktop. Each keeps its texts and options for the whole run; the main window reads them
// when a dialog reports a button.
#include <QDialog>
#include <QString>
#include <string>

class QCheckBox;
class QLineEdit;
class QPoint;
class QPushButton;
class QRadioButton;

// Texts hold at most this many characters.
constexpr int kFindTextLimit = 255;

class TFindDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TFindDialog(QWidget* parent = nullptr);

    QString FindText() const;
    void SetFindText(const QString& text);
    void SetFindText(const std::string& cp1251Text);
    bool WholeWord() const;
    bool MatchCase() const;
    bool Down() const;

    // Puts the dialog's top-left corner at topLeft (screen coordinates), then shows it, or
    // brings it to the front when it is already open.
    void Execute(const QPoint& topLeft);

  signals:
    // "Найти далее".
    void Find();

  private:
    QLineEdit* findEdit_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QRadioButton* up_;
    QRadioButton* down_;
    QPushButton* findNext_;
};

class TReplaceDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TReplaceDialog(QWidget* parent = nullptr);

    QString FindText() const;
    void SetFindText(const QString& text);
    void SetFindText(const std::string& cp1251Text);
    QString ReplaceText() const;
    void SetReplaceText(const QString& text);
    void SetReplaceText(const std::string& cp1251Text);
    bool WholeWord() const;
    bool MatchCase() const;
    // Which button sent the last Replace: "Заменить все" (true) or "Заменить" (false).
    bool ReplaceAll() const { return replaceAll_; }

    void Execute(const QPoint& topLeft);

  signals:
    // "Найти далее".
    void Find();
    // "Заменить" and "Заменить все"; ReplaceAll() tells which.
    void Replace();

  private:
    QLineEdit* findEdit_;
    QLineEdit* replaceEdit_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QPushButton* findNext_;
    QPushButton* replace_;
    QPushButton* replaceAllButton_;
    bool replaceAll_ = false;
};
