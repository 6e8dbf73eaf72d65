#pragma once
// A plain page viewer for generated cards: one page at a time at the
// screen's size, with Previous and Next.
#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;
class QScrollArea;

namespace cm {

class TQRPrinter;
class PagePlayer;

class PreviewDialog : public QDialog {
    Q_OBJECT
public:
    PreviewDialog(std::unique_ptr<TQRPrinter> pages, QWidget* parent = nullptr);
    ~PreviewDialog() override;

    int pageCount() const;
    int currentPage() const { return page_; }
    void showPage(int page);   // 1-based; clamped

private:
    std::unique_ptr<TQRPrinter> pages_;
    std::unique_ptr<PagePlayer> player_;
    int page_ = 0;
    QScrollArea* scroll_;
    QLabel* image_;
    QLabel* pageLabel_;
    QPushButton* previous_;
    QPushButton* next_;
};

} // namespace cm
