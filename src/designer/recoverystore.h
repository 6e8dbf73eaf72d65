#pragma once
// Recovery copies of unsaved layouts. While a document has changes that are
// not saved, its layout is written (atomically) into the recovery folder at
// most once per interval; a save or a normal close removes the copy. At the
// next start the window lists what is left and offers to restore it.
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <vector>

namespace cm {

class Document;

struct RecoveryEntry {
    QString path;           // the recovery copy
    QString originalFile;   // the layout it belongs to; empty for a new layout
    QDateTime written;
};

class RecoveryStore : public QObject {
public:
    // The folder is created when the first copy is written.
    RecoveryStore(Document& document, const QString& folder, QObject* parent = nullptr);
    ~RecoveryStore() override;

    static constexpr int kDefaultIntervalMs = 30000;
    void setInterval(int ms) { timer_.setInterval(ms); }
    bool isPending() const { return timer_.isActive(); }

    // Writes the copy now when the document is modified; true when written.
    bool writeNow();
    // Removes this session's copy (after a save, or when the window closes normally).
    void discard();
    QString recoveryFile() const { return file_; }

    // Copies left in the folder by earlier sessions, newest first.
    static std::vector<RecoveryEntry> list(const QString& folder);
    // Loads a copy into the document: the file name becomes the original
    // layout's and the document stays modified, so the user saves it on
    // purpose. The copy itself is removed only by discard(path).
    static bool restore(Document& document, const RecoveryEntry& entry);
    static void discard(const RecoveryEntry& entry);

private:
    void changed();

    Document& document_;
    QString folder_;
    QString file_;
    QTimer timer_;
};

} // namespace cm
