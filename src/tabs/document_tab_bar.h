#pragma once
// The bar of the open documents' tabs above the text: each tab names its file (with "*"
// while the document is modified) and shows the whole path as its tooltip; a close button
// on each tab and a middle click close it, and tabs are moved by dragging.
#include <QTabBar>

namespace tabs {

class DocumentTabBar final : public QTabBar {
    Q_OBJECT

  public:
    explicit DocumentTabBar(QWidget* parent = nullptr);

    // The caption of a document's tab: its file name, "(без имени)" when untitled.
    static QString captionFor(const QString& fileName, bool modified);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace tabs
