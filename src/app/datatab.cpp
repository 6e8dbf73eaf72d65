#include "app/datatab.h"

#include "app/filterdialog.h"
#include "app/logtablemodel.h"
#include "designer/messageboxes.h"
#include "logbook/logtable.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace cm {

namespace {

// Enter moves on to the next cell as Tab does, also out of an editor.
class LogGrid : public QTableView {
public:
    using QTableView::QTableView;

protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override
    {
        if (hint == QAbstractItemDelegate::SubmitModelCache)
            hint = QAbstractItemDelegate::EditNextItem;
        QTableView::closeEditor(editor, hint);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
            const QModelIndex next = moveCursor(MoveNext, event->modifiers());
            if (next.isValid())
                setCurrentIndex(next);
            return;
        }
        QTableView::keyPressEvent(event);
    }
};

bool isInside(const QWidget* widget, const QWidget* container)
{
    for (; widget; widget = widget->parentWidget())
        if (widget == container)
            return true;
    return false;
}

} // namespace

DataTab::DataTab(MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent), boxes_(boxes), model_(new LogTableModel(this)), grid_(new LogGrid(this)),
      notice_(new QLabel(this)), status_(new QStatusBar(this))
{
    grid_->setObjectName(QStringLiteral("LogGrid"));
    grid_->setAccessibleName(tr("Logbook"));
    grid_->setModel(model_);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                           | QAbstractItemView::AnyKeyPressed);
    grid_->horizontalHeader()->setSectionsMovable(true);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    grid_->setFont(font);
    QPalette palette = grid_->palette();
    palette.setColor(QPalette::Text, QColor(0, 0, 128));           // navy
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    grid_->setPalette(palette);
    QPalette titles = grid_->horizontalHeader()->palette();
    titles.setColor(QPalette::ButtonText, QColor(128, 0, 128));    // purple
    grid_->horizontalHeader()->setPalette(titles);
    grid_->installEventFilter(this);

    notice_->setObjectName(QStringLiteral("ReadOnlyNotice"));
    notice_->setWordWrap(true);
    notice_->setAccessibleName(tr("Read-only logbook"));
    notice_->setVisible(false);
    status_->setObjectName(QStringLiteral("StatusBar"));
    status_->setSizeGripEnabled(false);
    status_->setAccessibleName(tr("Record count"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(notice_);
    layout->addWidget(grid_, 1);
    layout->addWidget(status_);

    connect(model_, &LogTableModel::editRefused, this, [this](const QString& reason) { boxes_.error(reason); });
    connect(model_, &LogTableModel::recordStored, this, [this](int row, int column) {
        if (!grid_->currentIndex().isValid())
            grid_->setCurrentIndex(model_->index(row, column));
        followCurrentRecord();
        showRecordCount();
    });
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (LogTable* t = table(); t && current.isValid())
                    t->moveTo(current.row());
            });
    // A blank new record left unchanged goes when the focus leaves the grid.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (model_->hasNewRow() && !isInside(now, grid_))
            model_->discardNewRow();
    });
}

void DataTab::setTable(LogTable* table)
{
    model_->setTable(table);
    const QString text = notice();
    notice_->setText(text);
    notice_->setVisible(!text.isEmpty());
    applyPendingColumns();
    followCurrentRecord();
}

LogTable* DataTab::table() const { return model_->table(); }

QString DataTab::notice() const
{
    const LogTable* t = table();
    return t && t->isOpen() ? t->readOnlyNotice() : QString();
}

void DataTab::showRecordCount(int count) { status_->showMessage(tr("There are %1 QSOs !").arg(count)); }

void DataTab::showRecordCount()
{
    const LogTable* t = table();
    showRecordCount(t && t->isOpen() ? t->recordCount() : 0);
}

QString DataTab::statusText() const { return status_->currentMessage(); }

void DataTab::reload()
{
    model_->reload();
    followCurrentRecord();
}

void DataTab::followCurrentRecord()
{
    const LogTable* t = table();
    if (!t || !t->isOpen() || t->recordCount() == 0)
        return;
    const int column = std::max(0, grid_->currentIndex().column());
    const QModelIndex index = model_->index(t->recordNumber(), column);
    const QSignalBlocker block(grid_->selectionModel());
    grid_->setCurrentIndex(index);
    grid_->scrollTo(index);
    grid_->viewport()->update();
}

bool DataTab::sort()
{
    LogTable* t = table();
    if (!t || !t->isOpen())
        return false;
    FilterDialog dialog(*t, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return applyFilter(dialog.filterText());
}

bool DataTab::applyFilter(const QString& text)
{
    LogTable* t = table();
    if (!t)
        return false;
    QString error;
    if (!t->setFilter(text, &error)) {
        boxes_.error(error);
        return false;
    }
    reload();
    showRecordCount();
    emit filterChanged(true);
    return true;
}

void DataTab::unsort()
{
    if (LogTable* t = table())
        t->setFilter(QString());
    reload();
    showRecordCount();
    emit filterChanged(false);
}

void DataTab::newRecord()
{
    LogTable* t = table();
    if (!t || !t->isOpen())
        return;
    if (!model_->addNewRow()) {
        boxes_.error(t->readOnlyNotice());
        return;
    }
    const QModelIndex index = model_->index(model_->rowCount() - 1, 1);
    grid_->setFocus();
    grid_->setCurrentIndex(index);
    grid_->scrollTo(index);
}

bool DataTab::deleteRecord()
{
    LogTable* t = table();
    if (!t || !t->isOpen() || t->recordCount() == 0)
        return false;
    const int row = grid_->currentIndex().row();
    if (model_->hasNewRow() && row == t->recordCount()) {
        model_->discardNewRow();
        return true;
    }
    if (!t->canModify()) {
        boxes_.error(t->readOnlyNotice());
        return false;
    }
    if (row < 0 || !t->moveTo(row) || !boxes_.confirm(tr("Delete record?")))
        return false;
    QString error;
    if (!t->deleteCurrent(&error)) {
        boxes_.error(error);
        return false;
    }
    reload();
    showRecordCount();
    return true;
}

QByteArray DataTab::columnState() const
{
    // Without a logbook's columns the state read at start is kept as it was.
    return pendingColumns_.isEmpty() ? grid_->horizontalHeader()->saveState() : pendingColumns_;
}

void DataTab::restoreColumnState(const QByteArray& state)
{
    pendingColumns_ = state;
    applyPendingColumns();
}

// The header keeps a state only for the columns it has: it is applied once
// a logbook's columns are there.
void DataTab::applyPendingColumns()
{
    if (pendingColumns_.isEmpty() || model_->columnCount() == 0)
        return;
    grid_->horizontalHeader()->restoreState(pendingColumns_);
    pendingColumns_.clear();
}

bool DataTab::eventFilter(QObject* watched, QEvent* event)
{
    // Keys typed into an open editor go to the editor, not here.
    if (watched == grid_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Insert) {
            newRecord();
            return true;
        }
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            deleteRecord();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace cm
