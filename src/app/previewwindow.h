#pragma once
// The preview window: the preview control under a toolbar (zoom, pages,
// print, report files, export, close) with the progress and the page
// position in the status bar. It owns the pages it shows; while they are
// generated, closing it asks the run to stop at the next record.
#include "app/printchoice.h"

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QSpinBox;

namespace cm {

class MessageBoxes;
class PreviewControl;
class TQRPrinter;

class PreviewWindow : public QMainWindow {
    Q_OBJECT
public:
    // `folder` is where the file boxes start.
    PreviewWindow(MessageBoxes& boxes, std::unique_ptr<TQRPrinter> pages, const QString& folder,
                  QWidget* parent = nullptr);
    ~PreviewWindow() override;

    TQRPrinter& pages() { return *pages_; }
    PreviewControl& control() { return *control_; }
    QString statusText() const;
    QString progressText() const;
    QString warningText() const;
    QAction* action(const QString& objectName) const;

    // Between these the pages are being generated.
    void setGenerating(bool generating);
    bool generating() const { return generating_; }
    // Closed by the user (during generation it stays until the run ends).
    bool closedByUser() const { return closed_; }
    // Texts that did not fit during the run that made the pages.
    void setFitWarnings(const QStringList& warnings);

    // Printing generated pages generates them again, straight to the
    // printer; the main window does it. Loaded report files print their
    // stored pages here.
    std::function<void(const PrintChoice&)> printGenerated;
    // The printer, copies and range Print uses until Printer setup changes them.
    void setPrintChoice(const PrintChoice& choice) { choice_ = choice; }

    // Sheets of several cards: the toolbar's "Start at position" field, and
    // the run that makes the pages anew when it changes.
    void setStartPositions(int positions);
    int startAt() const;
    QSpinBox* startAtBox() const { return startAt_; }
    std::function<void(int startAt)> regenerate;
    // Pages made anew in place of those shown (the control follows).
    void replacePages(std::unique_ptr<TQRPrinter> pages);
    // Every generated page was exported: told the page count.
    std::function<void(int pages)> pagesExported;
    // Where printer calibrations are kept, for printing loaded report files.
    void setCalibrationSettings(const QString& settingsFile) { calibrationSettings_ = settingsFile; }

    // The commands.
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void print();
    void printerSetup();
    void saveReport();
    void loadReport();
    void exportPages();

signals:
    void cancelRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolbar();
    void addShortcuts();
    void showPage(int n);
    void updateStatus();
    void updateCommands();
    void showProgress(int percent);
    void syncZoomButtons();
    bool finished() const;

    MessageBoxes& boxes_;
    std::unique_ptr<TQRPrinter> pages_;
    QString folder_;
    QString loadedFile_;
    QString calibrationSettings_;
    QSpinBox* startAt_ = nullptr;
    QAction* startAtAction_ = nullptr;
    PrintChoice choice_;
    PreviewControl* control_;
    QLabel* progressPanel_;
    QLabel* pagePanel_;
    QLabel* warningPanel_;
    QAction* zoomFit_ = nullptr;
    QAction* zoom100_ = nullptr;
    QAction* zoomToWidth_ = nullptr;
    QAction* printSetup_ = nullptr;
    QAction* print_ = nullptr;
    QAction* saveReport_ = nullptr;
    QAction* loadReport_ = nullptr;
    QAction* export_ = nullptr;
    int shownProgress_ = 0;
    bool generating_ = false;
    bool closed_ = false;
};

} // namespace cm
