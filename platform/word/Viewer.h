#pragma once
// The window of the embedded word processor: its active document rendered page
// by page, read-only.
#include <QList>
#include <QScrollArea>
#include <functional>

class QVBoxLayout;

namespace Word {
class Document;

namespace detail {

class Viewer : public QScrollArea {
    Q_OBJECT
public:
    Viewer();
    // Renders the document (nullptr: an empty window); the caption is its name.
    void showDocument(const Document* document);
    void setOnClose(std::function<void()> callback) { onClose_ = std::move(callback); }
    int pageCount() const { return pages_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Home, End, Page Up and Page Down move through the pages; Escape and
    // Ctrl+W close the window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QList<QWidget*> pageWidgets() const;
    void showPage(QWidget* page, bool atEnd);

    QWidget* sheet_;
    QVBoxLayout* column_;
    int pages_ = 0;
    std::function<void()> onClose_;
};

} // namespace detail
} // namespace Word
