#pragma once
// The Data tab until the log view comes: a note in place of the grid and
// the status line with the record count.
#include <QWidget>

class QLabel;
class QStatusBar;

namespace cm {

class DataTabPlaceholder : public QWidget {
    Q_OBJECT
public:
    explicit DataTabPlaceholder(QWidget* parent = nullptr);

    // "There are %d QSOs !"
    void showRecordCount(int count);
    QString statusText() const;

private:
    QLabel* note_;
    QStatusBar* status_;
};

} // namespace cm
