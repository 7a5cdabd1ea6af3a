#pragma once
// The PDF pane beside the text: the pages (PageView), a row with fit-width, fit-page and
// zoom buttons and the page number and count, and a note line for what went wrong. The
// PDF is read into memory whole before it is shown, so the engine may rewrite the file at
// any time; a file that does not read as a good PDF never replaces the one on screen.
#include <QString>
#include <QWidget>
#include <functional>

class QLabel;
class QPdfDocument;
class QToolButton;

namespace pdf {

class PageView;
struct PagePlace;

class PdfPane : public QWidget {
    Q_OBJECT

  public:
    explicit PdfPane(QWidget* parent = nullptr);
    ~PdfPane() override;

    // The PDF on screen, empty before any.
    QString fileName() const { return fileName_; }
    bool hasDocument() const;
    int pageCount() const;
    int currentPage() const; // from 0

    // Shows the PDF at path; the same file again keeps its page, scroll position and zoom.
    // False, with the reason in the note and whatever was on screen kept, when the file is
    // not a PDF that can be shown.
    bool load(const QString& path);
    // The note line; empty hides it.
    void setNote(const QString& note);
    QString note() const;

    void showPlace(const PagePlace& place);

    // Why a file cannot be shown, empty when it can: the checks load makes before it
    // replaces anything.
    static QString problemOf(const QByteArray& bytes, QPdfDocument& probe);

    // Set once the user has hidden the pane: a compile then does not show it again.
    bool HiddenByUser = false;

    PageView* View1 = nullptr;
    QLabel* PageLabel1 = nullptr;
    QLabel* NoteLabel1 = nullptr;
    QToolButton* FitWidthButton1 = nullptr;
    QToolButton* FitPageButton1 = nullptr;
    QToolButton* ZoomOutButton1 = nullptr;
    QToolButton* ZoomInButton1 = nullptr;

    // Ctrl+click on a page.
    std::function<void(int page, QPointF point)> onPlaceClicked;

  private:
    void refreshPageLabel();

    QPdfDocument* document_ = nullptr;
    QString fileName_;
};

} // namespace pdf
